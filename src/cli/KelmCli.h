#pragma once

#include "ValueLists.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

class KelmLink;

// The kelm command: one subcommand per run, each a thin front to the model
// and the device sequences the window uses. Run returns the exit status.
class KelmCli
{
public:
    KelmCli(QTextStream &out, QTextStream &err);

    int Run(const QStringList &arguments);

    static QString HelpText();

    struct Command;

private:

    int Show(QCommandLineParser &parser);
    int Diff(QCommandLineParser &parser);
    int Read(QCommandLineParser &parser);
    int Write(QCommandLineParser &parser, bool restore);
    int Codes(QCommandLineParser &parser);
    int QevVersion(QCommandLineParser &parser);
    int Dst(QCommandLineParser &parser);

    // Parses the subcommand's own arguments; false with the exit status set
    // when the run ends here (an error, or --help).
    bool ParseArguments(const Command &command, QCommandLineParser &parser, const QStringList &arguments,
                        int &status);
    bool TakeCommonOptions(const QCommandLineParser &parser, int &status);
    int UsageError(int textNumber, const QStringList &args);

    // The data folder the window uses (its Values.ini, Default.bin and Backups/).
    QString DataDirectory();
    const ValueLists &Lists();
    // Reads a configuration file the way the window opens one; 0 or the exit status.
    int LoadFile(const QString &fileName, ImageBuffer &image);
    // problems: also list what the window would refuse (a read has reported it already).
    void PrintListing(const ImageBuffer &image, bool json, const QString &source, bool problems);
    int ListingStatus(const ImageBuffer &image);
    void PrepareLink(KelmLink &link, const QCommandLineParser &parser);
    // The exit status of a device command's result, with a word on a port
    // the user may not open.
    int DeviceStatus(int result, const KelmLink &link);

    QTextStream &m_out;
    QTextStream &m_err;
    QString m_valuesFile;
    QString m_dataDirectory;
    std::unique_ptr<ValueLists> m_lists;
};
