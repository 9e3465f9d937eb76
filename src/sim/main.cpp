#include "SimOptions.h"
#include "SimServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

SimServer *s_server = nullptr;

void StopOnSignal(int)
{
    if (s_server)
        s_server->Stop();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm-sim"));

    QCommandLineParser parser;
    parser.addHelpOption();
    AddSimOptions(parser);
    parser.process(app);

    SimOptions options;
    QString error;
    if (!ReadSimOptions(parser, options, error)) {
        std::fprintf(stderr, "kelm-sim: %s\n", qPrintable(error));
        return 2;
    }

    SimServer server(std::move(options));
    if (!server.Open(&error)) {
        std::fprintf(stderr, "kelm-sim: %s\n", qPrintable(error));
        return 1;
    }
    s_server = &server;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    std::printf("%s\n", qPrintable(server.DevicePath()));
    std::fflush(stdout);
    server.Serve();
    s_server = nullptr;
    return 0;
}
