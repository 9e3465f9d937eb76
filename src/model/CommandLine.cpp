#include "CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace CommandLine {

Result Parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(KelmVersion::FileDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Use the QEV on this serial device."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Use a built-in simulated QEV with a KELM unit behind it."));
    const QCommandLineOption language(QStringLiteral("lang"), QStringLiteral("Language of the texts: sv or en."),
                                      QStringLiteral("LANGUAGE"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Draw the main window into FILE and end."),
                                        QStringLiteral("FILE"));
    parser.addOptions({port, demo, language, screenshot});
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("A folder: the default folder for configuration files."),
                                 QStringLiteral("[folder]"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A .Kelm configuration file to open."),
                                 QStringLiteral("[file.Kelm]"));

    Result result;
    if (!parser.parse(arguments)) {
        result.outcome = Outcome::Error;
        result.text = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return result;
    }
    if (parser.isSet(help)) {
        result.outcome = Outcome::ShowHelp;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.outcome = Outcome::ShowVersion;
        result.text = QString::fromLatin1(KelmVersion::FileVersion) + QLatin1Char('\n');
        return result;
    }
    result.options.Port = parser.value(port);
    result.options.Demo = parser.isSet(demo);
    result.options.Language = parser.value(language);
    result.options.Screenshot = parser.value(screenshot);
    result.options.Positional = parser.positionalArguments();
    return result;
}

QString FirstExistingFile(const QStringList &positional)
{
    for (const QString &argument : positional) {
        if (QFileInfo(argument).isFile())
            return argument;
    }
    return QString();
}

} // namespace CommandLine
