#include "LinkClock.h"

#include <QIODevice>

#include <thread>

LinkClock::TimePoint SteadyLinkClock::Now()
{
    return std::chrono::steady_clock::now();
}

void SteadyLinkClock::WaitForInput(QIODevice *port, std::chrono::milliseconds span)
{
    if (span.count() <= 0)
        return;
    const TimePoint start = Now();
    if (port && port->isOpen() && port->waitForReadyRead(int(span.count())))
        return;
    // The port gave up early (hung up, read error): sleep out the span instead
    // of letting the caller poll a dead line in a tight loop.
    const auto rest = span - std::chrono::duration_cast<std::chrono::milliseconds>(Now() - start);
    if (rest.count() > 0)
        std::this_thread::sleep_for(rest);
}
