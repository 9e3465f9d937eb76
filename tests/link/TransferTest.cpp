#include "LinkTestSupport.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Image = std::array<quint8, 256>;

Image Pattern()
{
    Image image;
    for (int i = 0; i < 256; ++i)
        image[size_t(i)] = quint8(i * 7 + 3);
    return image;
}

SimOptions WithMemory(const Image &image)
{
    SimOptions options;
    options.memory = QByteArray(reinterpret_cast<const char *>(image.data()), 256);
    return options;
}

QByteArray Slice(const QByteArray &bytes, int first, int last)
{
    return bytes.mid(first, last - first + 1);
}

QByteArray Slice(const Image &image, int first, int last)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()) + first, last - first + 1);
}

class Transfer : public ::testing::Test {
protected:
    void Start(const QStringList &faults = {}, SimOptions options = WithMemory(Pattern()))
    {
        sim = StartSimulator(faults, std::move(options));
        link.SetPortName(sim->DevicePath());
        ASSERT_EQ(link.OpenLink(), 0) << link.LastOpenError().toStdString();
    }
    std::unique_ptr<SimServer> sim;
    KelmLink link;
};

TEST_F(Transfer, ReadsTheWholeImage)
{
    Start();
    EXPECT_EQ(link.CheckPresence(), 0);
    Image image {};
    EXPECT_EQ(link.ReadImage(image), 0);
    EXPECT_EQ(Slice(image, 0, 255), sim->Memory());
    EXPECT_EQ(sim->Commands().size(), 1 + 16);
    EXPECT_EQ(sim->Commands().last(), "R00F010");
}

TEST_F(Transfer, ReadBlockTouchesOnlyItsRange)
{
    Start();
    Image image;
    image.fill(0xAA);
    EXPECT_EQ(link.ReadBlock(image, 240, 240), 0);
    EXPECT_EQ(sim->Commands(), QList<QByteArray> { "R00F001" });
    EXPECT_EQ(image[240], Pattern()[240]);
    EXPECT_EQ(std::count(image.begin(), image.end(), 0xAA), 255);
}

TEST_F(Transfer, WritesInBlocksOfSixteen)
{
    QTemporaryDir dir;
    SimOptions options;
    options.memoryOut = dir.filePath(QStringLiteral("memory.bin"));
    Start({}, options);
    const Image image = Pattern();
    EXPECT_EQ(link.WriteBlock(image, 14, 224), 0);

    const QList<QByteArray> commands = sim->Commands();
    ASSERT_EQ(commands.size(), 14);
    for (int i = 0; i < 13; ++i)
        EXPECT_TRUE(commands[i].startsWith(QString::asprintf("W%04X10", 14 + 16 * i).toLatin1())) << i;
    EXPECT_EQ(commands[13], "W00DE03" + Slice(image, 222, 224).toHex().toUpper());
    const QByteArray memory = sim->Memory();
    EXPECT_EQ(Slice(memory, 14, 224), Slice(image, 14, 224));
    EXPECT_EQ(Slice(memory, 0, 13), QByteArray(14, '\0'));
    EXPECT_EQ(TestSupport::ReadAll(options.memoryOut), memory);
}

TEST_F(Transfer, WritesOneByte)
{
    Start();
    Image image {};
    image[0] = 0x12;
    EXPECT_EQ(link.WriteBlock(image, 0, 0), 0);
    EXPECT_EQ(sim->Commands(), QList<QByteArray> { "W00000112" });
    EXPECT_EQ(sim->Memory()[0], 0x12);
}

TEST_F(Transfer, PresenceAndVersion)
{
    SimOptions options;
    options.qevVersion = "QEV 3.02 AB";
    Start({}, options);
    EXPECT_EQ(link.CheckPresence(), 0);
    QByteArray version;
    EXPECT_EQ(link.QueryVersion(version), 0);
    EXPECT_EQ(version, "QEV 3.02 AB");
}

TEST_F(Transfer, UnitMissingBehindTheQev)
{
    SimOptions options;
    options.unit = false;
    Start({}, options);
    EXPECT_EQ(link.CheckPresence(), KelmLink::NoAnswer);
    QByteArray version;
    EXPECT_EQ(link.QueryVersion(version), 0);
    EXPECT_EQ(version, SimOptions().qevVersion);
}

// What the unit does wrong, and what each transfer must then report. The
// unit's memory starts as zeros and the PC's image as the pattern, so each
// block shows whether it went across.
struct FaultCase {
    const char *fault;
    enum { Write0To31, Read0To31, Presence } operation;
    int result;
    int commands;               // frames the unit saw
    QList<int> failedBlocks {}; // blocks left as they were
};

TEST_F(Transfer, FaultsOfTheUnit)
{
    const FaultCase cases[] = {
        { "nak-writes:2", FaultCase::Write0To31, 0, 2 * 3 },
        { "nak-writes:3", FaultCase::Write0To31, KelmLink::WriteFailed, 2 * 3, { 0, 16 } },
        { "refuse-writes", FaultCase::Write0To31, KelmLink::WriteFailed, 2 * 3, { 0, 16 } },
        { "silent:16", FaultCase::Write0To31, KelmLink::WriteFailed, 1 + 3, { 16 } },
        { "silent:0", FaultCase::Read0To31, KelmLink::ReadFailed, 3 + 1, { 0 } },
        { "bad-checksum:16", FaultCase::Read0To31, KelmLink::ReadFailed, 1 + 3, { 16 } },
        { "short-read:0", FaultCase::Read0To31, KelmLink::ReadFailed, 3 + 1, { 0 } },
        { "silent-presence", FaultCase::Presence, KelmLink::NoAnswer, 1 },
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.fault);
        Start({ QString::fromLatin1(c.fault) }, WithMemory(Image {}));
        Image image = Pattern();
        const bool write = c.operation == FaultCase::Write0To31;
        if (c.operation == FaultCase::Presence)
            EXPECT_EQ(link.CheckPresence(), c.result);
        else
            EXPECT_EQ(write ? link.WriteBlock(image, 0, 31) : link.ReadBlock(image, 0, 31), c.result);
        EXPECT_EQ(sim->Commands().size(), c.commands);
        if (c.operation == FaultCase::Presence)
            continue;
        const QByteArray target = write ? sim->Memory() : Slice(image, 0, 255);
        const QByteArray source = write ? Slice(Pattern(), 0, 255) : QByteArray(256, '\0');
        const QByteArray untouched = write ? QByteArray(256, '\0') : Slice(Pattern(), 0, 255);
        for (int block : { 0, 16 }) {
            const QByteArray &expected = c.failedBlocks.contains(block) ? untouched : source;
            EXPECT_EQ(Slice(target, block, block + 15), Slice(expected, block, block + 15)) << "block " << block;
        }
    }
}

TEST_F(Transfer, DrippedReplyIsWaitedForPastTheTimeout)
{
    Start({ QStringLiteral("drip") });
    Image image {};
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(link.ReadBlock(image, 240, 240), 0); // six bytes, 200 ms apart
    EXPECT_GE(timer.elapsed(), 1000);
    EXPECT_EQ(image[240], Pattern()[240]);
    EXPECT_EQ(sim->Commands().size(), 1);
}

TEST_F(Transfer, HangUpEndsEveryExchange)
{
    Start({ QStringLiteral("hangup:1") });
    EXPECT_EQ(link.CheckPresence(), 0);
    Image image {};
    EXPECT_EQ(link.ReadBlock(image, 0, 0), KelmLink::ReadFailed);
    EXPECT_TRUE(sim->HungUp());
    QByteArray version;
    EXPECT_EQ(link.QueryVersion(version), KelmLink::NoAnswer);
    link.CloseLink();
    EXPECT_EQ(link.OpenLink(), KelmLink::OpenFailed);
}

TEST_F(Transfer, BadFramesAndUnknownCommandsGetNak)
{
    Start();
    const QByteArray corrupted = KelmLink::BuildFrame("O").replace(2, 1, "5");
    const QByteArray frames[] = { corrupted, KelmLink::BuildFrame("X"), KelmLink::BuildFrame("R00FF02"),
                                  KelmLink::BuildFrame("W0000011") };
    for (const QByteArray &frame : frames) {
        SCOPED_TRACE(frame.toStdString());
        link.PurgeBuffers();
        ASSERT_EQ(link.SendText(frame.constData()), frame.size());
        char reply[KelmLink::ReplyAreaSize];
        ASSERT_EQ(link.ReceiveReply(reply, 250, 1), 1);
        EXPECT_EQ(quint8(reply[0]), KelmLink::NAK);
    }
    EXPECT_EQ(sim->Memory(), Slice(Pattern(), 0, 255));
}

// Answers no simulator gives: stray bytes and frames of the wrong length.
class OddAnswers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.Open());
        link.SetPortName(pty.SlavePath());
    }
    PtyPair pty;
    KelmLink link;
};

struct OddCase {
    const char *name;
    QList<QByteArray> replies;
    int result;
};

TEST_F(OddAnswers, OnlyAnAckWritesABlock)
{
    const QByteArray ack(1, char(KelmLink::ACK));
    const QByteArray nak(1, char(KelmLink::NAK));
    const OddCase cases[] = {
        { "NAK, NAK, ACK", { nak, nak, ack }, 0 },
        { "three stray bytes", { "X", "?", "\x07" }, KelmLink::WriteFailed },
        { "framed ACK text", { KelmLink::BuildFrame("\x06\x06"), KelmLink::BuildFrame("OK"), nak }, KelmLink::WriteFailed },
    };
    for (const OddCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(link.OpenLink(), 0);
        Image image {};
        {
            ScriptedDevice device(pty, c.replies);
            EXPECT_EQ(link.WriteBlock(image, 0, 3), c.result);
        }
        link.CloseLink();
    }
}

TEST_F(OddAnswers, OnlyAFrameOfTheRightLengthReadsABlock)
{
    const OddCase cases[] = {
        { "wrong length, then right", { KelmLink::BuildFrame("1"), KelmLink::BuildFrame("1234"), KelmLink::BuildFrame("3C") }, 0 },
        { "stray byte on the third try", { QByteArray(1, char(KelmLink::NAK)), QByteArray(), "Z" }, KelmLink::ReadFailed },
        { "wrong-length frame on the third try", { "Z", "Z", KelmLink::BuildFrame("1234") }, KelmLink::ReadFailed },
    };
    for (const OddCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(link.OpenLink(), 0);
        Image image;
        image.fill(0xAA);
        {
            ScriptedDevice device(pty, c.replies);
            EXPECT_EQ(link.ReadBlock(image, 240, 240), c.result);
        }
        EXPECT_EQ(image[240], c.result == 0 ? 0x3C : 0xAA);
        link.CloseLink();
    }
}

TEST_F(OddAnswers, PresenceAndVersionNeedTheirExactAnswer)
{
    ASSERT_EQ(link.OpenLink(), 0);
    {
        ScriptedDevice device(pty, { QByteArray(1, char(KelmLink::NAK)), KelmLink::BuildFrame("QEV 1.0 abc") });
        EXPECT_EQ(link.CheckPresence(), KelmLink::NoAnswer);
        QByteArray version;
        EXPECT_EQ(link.QueryVersion(version), 0);
        EXPECT_EQ(version, "QEV 1.0 abc");
    }
    {
        ScriptedDevice device(pty, { KelmLink::BuildFrame("QEV 1.0 ab") });
        QByteArray version = "stale";
        EXPECT_EQ(link.QueryVersion(version), KelmLink::NoAnswer);
        EXPECT_TRUE(version.isEmpty());
    }
}

} // namespace
