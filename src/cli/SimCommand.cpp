#include "SimCommand.h"

#include "ExitStatus.h"
#include "SimOptions.h"
#include "SimProcess.h"

#include <QCommandLineParser>

int RunSimCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    AddSimOptions(parser);
    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return ExitStatus::Usage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QString help = parser.helpText();
        help.replace(0, help.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: kelm sim [options]"));
        out << help;
        return ExitStatus::Ok;
    }
    SimOptions options;
    QString error;
    if (!ReadSimOptions(parser, options, error)) {
        err << error << Qt::endl;
        return ExitStatus::Usage;
    }
    out.flush();
    return RunSimulator(std::move(options), "kelm sim") == 0 ? ExitStatus::Ok : ExitStatus::FileError;
}
