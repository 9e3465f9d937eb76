#pragma once

#include <QString>
#include <QStringList>

// The editor's command line: its options and the positional arguments, which
// name a default configuration folder and a configuration file to open.
struct CommandLineOptions
{
    QString Port;      // --port DEVICE: the serial device of the QEV, empty to search
    bool Demo = false; // --demo: a built-in simulated QEV with a KELM unit
    QString Language;  // --lang sv|en, empty for the default
    QString Screenshot; // --screenshot FILE: draw the window into FILE and end
    QStringList Positional;
};

namespace CommandLine {

enum class Outcome {
    Run,         // go on and start the editor
    ShowHelp,    // Text holds the help text; exit 0
    ShowVersion, // Text holds the version line; exit 0
    Error,       // Text holds the error and usage; exit 1
};

struct Result
{
    Outcome outcome = Outcome::Run;
    CommandLineOptions options;
    QString text;
};

// arguments include the program name first, as QCoreApplication::arguments() gives them.
Result Parse(const QStringList &arguments);

// The first argument that names an existing file (not a folder); empty when none does.
QString FirstExistingFile(const QStringList &positional);

} // namespace CommandLine
