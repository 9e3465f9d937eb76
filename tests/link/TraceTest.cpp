#include "LinkTestSupport.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Trace, RecordsFramesRepliesTimeoutsAndRetries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    auto sim = StartSimulator({ QStringLiteral("nak-writes:1"), QStringLiteral("silent-presence") });
    qputenv("KELM_TRACE", path.toLocal8Bit());
    {
        KelmLink link;
        link.SetPortName(sim->DevicePath());
        ASSERT_EQ(link.OpenLink(), 0);
        EXPECT_EQ(link.CheckPresence(), KelmLink::NoAnswer);
        const quint8 image[1] = { 0x12 };
        EXPECT_EQ(link.WriteBlock(image, 0, 0), 0);
        link.CloseLink();
        char buffer[KelmLink::ReplyAreaSize];
        link.SendCommand("v");
        EXPECT_EQ(link.ReceiveReply(buffer, 1, 11), 0);
    }
    qunsetenv("KELM_TRACE");

    const QStringList lines = QString::fromUtf8(TestSupport::ReadAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    for (const QString &line : lines)
        EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
    const QString text = lines.join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("open ") + sim->DevicePath()));
    EXPECT_TRUE(text.contains(QStringLiteral("> 02 4F 34 46 03  |.O4F.|")));
    EXPECT_TRUE(text.contains(QStringLiteral("< no reply (timeout 350 ms)")));
    EXPECT_TRUE(text.contains(QStringLiteral("< 15  |.|")));
    EXPECT_TRUE(text.contains(QStringLiteral("! retry 2 of 3: W00000112")));
    EXPECT_TRUE(text.contains(QStringLiteral("< 06  |.|")));
    EXPECT_TRUE(text.contains(QStringLiteral("close")));
    EXPECT_TRUE(text.contains(QStringLiteral("not sent (link closed): 02 76 37 36 03")));
}

TEST(Trace, RecordsWhyTheOpenFailed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    qputenv("KELM_TRACE", path.toLocal8Bit());
    {
        KelmLink link;
        link.SetPortName(dir.filePath(QStringLiteral("ttyUSB7")));
        EXPECT_EQ(link.OpenLink(), KelmLink::OpenFailed);
    }
    qunsetenv("KELM_TRACE");
    EXPECT_TRUE(QString::fromUtf8(TestSupport::ReadAll(path)).contains(QStringLiteral("open failed: cannot open ") + dir.filePath(QStringLiteral("ttyUSB7"))));
}

TEST(Trace, UnwritableTraceDoesNotStopTheLink)
{
    QTemporaryDir dir;
    auto sim = StartSimulator();
    qputenv("KELM_TRACE", dir.path().toLocal8Bit()); // a directory, not a file
    KelmLink link;
    qunsetenv("KELM_TRACE");
    link.SetPortName(sim->DevicePath());
    ASSERT_EQ(link.OpenLink(), 0);
    EXPECT_EQ(link.CheckPresence(), 0);
}

} // namespace
