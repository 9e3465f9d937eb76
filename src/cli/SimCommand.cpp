#include "SimCommand.h"

#include "ExitStatus.h"
#include "SimOptions.h"
#include "SimServer.h"

#include <QCommandLineParser>

#include <csignal>

namespace {
SimServer *s_server = nullptr;

void StopOnSignal(int)
{
    if (s_server)
        s_server->Stop();
}
}

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
    SimServer server(std::move(options));
    if (!server.Open(&error)) {
        err << error << Qt::endl;
        return ExitStatus::FileError;
    }
    s_server = &server;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    out << server.DevicePath() << Qt::endl;
    server.Serve();
    s_server = nullptr;
    return ExitStatus::Ok;
}
