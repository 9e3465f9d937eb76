#pragma once

#include <chrono>

class QIODevice;

// The time source of the reply wait. The real clock blocks in the serial
// backend until input arrives or the span has passed, so waiting costs no CPU;
// tests put a fake clock in its place that jumps to scripted arrival times.
class LinkClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~LinkClock() = default;
    virtual TimePoint Now() = 0;
    // Returns when new input is readable on the port or the span has passed.
    // A null port (closed link) simply lets the span pass.
    virtual void WaitForInput(QIODevice *port, std::chrono::milliseconds span) = 0;
};

class SteadyLinkClock final : public LinkClock {
public:
    TimePoint Now() override;
    void WaitForInput(QIODevice *port, std::chrono::milliseconds span) override;
};
