// The reply wait fed from a byte stream: the input says what the caller
// awaits and when which bytes arrive; a pseudo-terminal carries them to the
// link, and a clock that jumps from arrival to arrival runs the wait.
#include "FuzzSupport.h"
#include "KelmLink.h"
#include "LinkClock.h"

#include <QIODevice>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono;

struct Arrival {
    milliseconds at;
    QByteArray bytes;
};

// Keeps the line's total small enough for the terminal's input buffer.
constexpr int MaxStreamBytes = 400;

class StreamClock : public LinkClock {
public:
    int master = -1;
    KelmLink *link = nullptr;
    std::vector<Arrival> script;
    size_t next = 0;
    int delivered = 0;
    milliseconds now { 0 };

    TimePoint Now() override { return TimePoint {} + hours(1) + now; }

    void WaitForInput(QIODevice *, milliseconds span) override
    {
        if (next >= script.size() || script[next].at > now + span) {
            now += span;
            return;
        }
        const Arrival &arrival = script[next++];
        now = std::max(now, arrival.at);
        if (arrival.bytes.isEmpty())
            return;
        FUZZ_CHECK(::write(master, arrival.bytes.constData(), size_t(arrival.bytes.size())) == arrival.bytes.size());
        delivered += int(arrival.bytes.size());
        // Real time passes only while the terminal hands the bytes over.
        for (int i = 0; link->QueueLength() < delivered; ++i) {
            FUZZ_CHECK(i < 20000);
            std::this_thread::sleep_for(microseconds(50));
        }
    }
};

struct Line {
    int master = -1;
    int slave = -1;
    std::shared_ptr<StreamClock> clock = std::make_shared<StreamClock>();
    std::unique_ptr<KelmLink> link;
};

Line &OpenLine()
{
    static Line line = [] {
        Line l;
        l.master = posix_openpt(O_RDWR | O_NOCTTY);
        FUZZ_CHECK(l.master >= 0 && grantpt(l.master) == 0 && unlockpt(l.master) == 0);
        const QString slavePath = QString::fromLocal8Bit(ptsname(l.master));
        // A slave side of our own, so the master never sees a hang-up.
        l.slave = ::open(ptsname(l.master), O_RDWR | O_NOCTTY);
        l.link = std::make_unique<KelmLink>(l.clock);
        l.link->SetPortName(slavePath);
        FUZZ_CHECK(l.link->OpenLink() == KelmLink::Success);
        l.clock->master = l.master;
        l.clock->link = l.link.get();
        return l;
    }();
    return line;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Line &line = OpenLine();
    FuzzSupport::Reader input(data, size);
    // What the callers await: 1 byte, or framed payloads up to a whole block.
    const int expected = 1 + input.Byte() % 47;
    const int timeoutMs = input.Byte() % 2 == 0 ? 250 : 350;

    // Arrivals: a gap in 4 ms steps after the previous one, a length, the bytes.
    std::vector<Arrival> script;
    QByteArray stream;
    milliseconds at { 0 };
    while (input.Left() > 0 && stream.size() < MaxStreamBytes) {
        at += milliseconds(4 * input.Byte());
        const int length = input.Byte() % 64;
        QByteArray bytes;
        for (int i = 0; i < length && input.Left() > 0 && stream.size() + bytes.size() < MaxStreamBytes; ++i)
            bytes += char(input.Byte());
        stream += bytes;
        script.push_back({ at, bytes });
    }

    StreamClock &clock = *line.clock;
    clock.script = std::move(script);
    clock.next = 0;
    clock.delivered = 0;
    clock.now = milliseconds(0);

    char reply[KelmLink::ReplyAreaSize + 1];
    std::memset(reply, 0x5A, sizeof reply);
    const int result = line.link->ReceiveReply(reply, timeoutMs, expected);
    const milliseconds ended = clock.now;
    const int delivered = clock.delivered;
    line.link->PurgeBuffers();

    // The reply area is never written past its end.
    FUZZ_CHECK(reply[KelmLink::ReplyAreaSize] == 0x5A);
    FUZZ_CHECK(result >= 0 && result <= KelmLink::ReplyAreaSize);
    // Only what had arrived when the wait ended is read, at most 50 bytes.
    const QByteArray read = stream.left(std::min(delivered, int(KelmLink::MaxReplyRead)));
    if (read.isEmpty()) {
        FUZZ_CHECK(result == 0);
        // Nothing came: the whole timeout was waited for.
        FUZZ_CHECK(ended >= milliseconds(timeoutMs));
    } else if (read.size() == 1) {
        FUZZ_CHECK(result == 1 && reply[0] == read[0]);
    } else if (KelmLink::CheckReply(read)) {
        FUZZ_CHECK(result == read.size() - 4);
        FUZZ_CHECK(std::memcmp(reply, read.constData() + 1, size_t(result)) == 0);
    } else {
        FUZZ_CHECK(result == 0);
    }
    // The wait ends early only when exactly the awaited count is in.
    const int target = expected < 2 ? expected : expected + 4;
    if (delivered != target && delivered > 0)
        FUZZ_CHECK(ended >= milliseconds(250));
    return 0;
}
