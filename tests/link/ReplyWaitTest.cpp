#include "LinkTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A link on a bare pseudo-terminal whose far end is written by a scripted clock.
class ReplyWait : public ::testing::Test {
protected:
    void Open(std::vector<Arrival> script)
    {
        ASSERT_TRUE(pty.Open());
        clock = std::make_shared<ScriptedClock>(pty.MasterFd(), std::move(script));
        link = std::make_unique<KelmLink>(clock);
        link->SetPortName(pty.SlavePath());
        ASSERT_EQ(link->OpenLink(), 0) << link->LastOpenError().toStdString();
    }

    PtyPair pty;
    std::shared_ptr<ScriptedClock> clock;
    std::unique_ptr<KelmLink> link;
};

struct WaitCase {
    const char *name;
    std::vector<Arrival> script;
    int timeoutMs;
    int expected;
    int result;
    QByteArray payload;
    int endMs; // fake time when the wait ended
};

TEST_F(ReplyWait, EndsByTargetSilenceOrTimeout)
{
    const QByteArray frame07 = Bytes({ 0x02, 0x30, 0x37, 0x36, 0x37, 0x03 });
    std::vector<Arrival> dripped;
    for (int i = 0; i < frame07.size(); ++i)
        dripped.push_back({ 200 * i + 10, frame07.mid(i, 1) });
    const QByteArray sixty = KelmLink::BuildFrame(QByteArray(56, '0'));

    const WaitCase cases[] = {
        { "ACK after 20 ms ends the wait at once", { { 20, Bytes({ 0x06 }) } }, 350, 1, 1, Bytes({ 0x06 }), 20 },
        { "nothing: the timeout", {}, 250, 1, 0, {}, 250 },
        { "nothing: the longer timeout", {}, 350, 1, 0, {}, 350 },
        { "framed 07", { { 5, frame07 } }, 250, 2, 2, "07", 5 },
        { "wrong checksum digits", { { 5, Bytes({ 0x02, 0x30, 0x37, 0x36, 0x38, 0x03 }) } }, 250, 2, 0, {}, 5 },
        { "empty payload", { { 5, Bytes({ 0x02, 0x30, 0x30, 0x03 }) } }, 250, 2, 0, {}, 255 },
        { "bytes 200 ms apart outlast the timeout", dripped, 250, 2, 2, "07", 1010 },
        { "two bytes when one was awaited", { { 10, Bytes({ 0x06, 0x06 }) } }, 250, 1, 0, {}, 260 },
        { "a late second byte slides the deadline", { { 10, Bytes({ 0x02 }) }, { 240, Bytes({ 0x03 }) } }, 250, 2, 0, {}, 490 },
        { "60 bytes are cut at 50", { { 5, sixty } }, 250, 56, 0, {}, 5 },
    };
    for (const WaitCase &c : cases) {
        SCOPED_TRACE(c.name);
        pty.Close();
        Open(c.script);
        char reply[KelmLink::ReplyAreaSize] = {};
        EXPECT_EQ(link->ReceiveReply(reply, c.timeoutMs, c.expected), c.result);
        EXPECT_EQ(QByteArray(reply, c.payload.size()), c.payload);
        EXPECT_EQ(clock->ElapsedMs(), c.endMs);
    }
}

TEST_F(ReplyWait, BytesBeyondFiftyStayQueuedUntilTheNextCommand)
{
    Open({ { 5, KelmLink::BuildFrame(QByteArray(56, '0')) } });
    char reply[KelmLink::ReplyAreaSize];
    EXPECT_EQ(link->ReceiveReply(reply, 250, 56), 0);
    EXPECT_EQ(link->QueueLength(), 10);
    link->SendCommand("O");
    EXPECT_EQ(link->QueueLength(), 0);
}

TEST(ReplyWaitClosed, ClosedLinkWaitsOutTheTimeout)
{
    auto clock = std::make_shared<ScriptedClock>(-1, std::vector<Arrival>());
    KelmLink link(clock);
    char reply[KelmLink::ReplyAreaSize];
    EXPECT_EQ(link.ReceiveReply(reply, 350, 1), 0);
    EXPECT_EQ(clock->ElapsedMs(), 350);
}

} // namespace
