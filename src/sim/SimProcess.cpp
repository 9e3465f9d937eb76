#include "SimProcess.h"

#include "SimServer.h"

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

int RunSimulator(SimOptions options, const char *programName)
{
    SimServer server(std::move(options));
    QString error;
    if (!server.Open(&error)) {
        std::fprintf(stderr, "%s: %s\n", programName, qPrintable(error));
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

    action.sa_handler = SIG_DFL;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    s_server = nullptr;
    return 0;
}
