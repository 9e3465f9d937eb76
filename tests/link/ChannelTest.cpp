#include "LinkTestSupport.h"
#include "QevPortFinder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray ReadMaster(int fd, int count)
{
    QByteArray bytes;
    while (bytes.size() < count) {
        pollfd p { fd, POLLIN, 0 };
        if (poll(&p, 1, 2000) <= 0)
            break;
        char buffer[128];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

class Channel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.Open());
        link.SetPortName(pty.SlavePath());
    }
    PtyPair pty;
    KelmLink link;
};

TEST_F(Channel, OpenSetsTheLineAndPurgesWhatWasWaiting)
{
    ASSERT_EQ(::write(pty.MasterFd(), "stale", 5), 5);
    ASSERT_EQ(link.OpenLink(), 0) << link.LastOpenError().toStdString();
    EXPECT_TRUE(link.LastOpenError().isEmpty());
    EXPECT_EQ(link.QueueLength(), 0);

    // The pair's own slave descriptor sees the same terminal settings.
    termios tio {};
    ASSERT_EQ(tcgetattr(pty.SlaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B57600));
    EXPECT_EQ(cfgetispeed(&tio), speed_t(B57600));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));
}

TEST_F(Channel, SendsWholeFramesAndReadsOnlyWhatIsWaiting)
{
    ASSERT_EQ(link.OpenLink(), 0);
    EXPECT_EQ(link.SendCommand("O"), 5);
    EXPECT_EQ(ReadMaster(pty.MasterFd(), 5), Bytes({ 0x02, 0x4F, 0x34, 0x46, 0x03 }));
    EXPECT_EQ(link.Frame(), Bytes({ 0x02, 0x4F, 0x34, 0x46, 0x03 }));
    EXPECT_EQ(link.FrameLength(), 5);
    EXPECT_EQ(link.FrameSum(), 0x4F);

    EXPECT_EQ(link.SendCommand(""), 0);
    EXPECT_EQ(link.Frame(), Bytes({ 0x02, 0x4F, 0x34, 0x46, 0x03 })); // untouched

    char buffer[50];
    EXPECT_EQ(link.ReadAvailable(buffer, 50), 0);
    ASSERT_EQ(::write(pty.MasterFd(), "abc", 3), 3);
    for (int i = 0; i < 100 && link.QueueLength() < 3; ++i)
        usleep(1000);
    EXPECT_EQ(link.QueueLength(), 3);
    EXPECT_EQ(link.QueueLength(), 3); // asking does not consume
    EXPECT_EQ(link.ReadAvailable(buffer, 50), 3);
    EXPECT_EQ(QByteArray(buffer, 3), "abc");
    EXPECT_EQ(link.QueueLength(), 0);
}

TEST_F(Channel, ReopenAndClose)
{
    ASSERT_EQ(link.OpenLink(), 0);
    ASSERT_EQ(link.OpenLink(), 0); // drops the held port first
    EXPECT_TRUE(link.IsOpen());
    link.CloseLink();
    EXPECT_FALSE(link.IsOpen());
    link.CloseLink();
    EXPECT_FALSE(link.IsOpen());
    ASSERT_EQ(link.OpenLink(), 0);
    EXPECT_TRUE(link.PurgeBuffers());
}

TEST(ClosedLink, EveryOperationAnswersNothing)
{
    auto clock = std::make_shared<ScriptedClock>(-1, std::vector<Arrival>());
    KelmLink link(clock);
    char buffer[50];
    EXPECT_EQ(link.SendText("abc"), 0);
    EXPECT_EQ(link.ReadAvailable(buffer, 50), 0);
    EXPECT_EQ(link.QueueLength(), 0);
    EXPECT_FALSE(link.PurgeBuffers());
    link.CloseLink();

    quint8 image[256] = {};
    EXPECT_EQ(link.CheckPresence(), KelmLink::NoAnswer);
    QByteArray version = "old";
    EXPECT_EQ(link.QueryVersion(version), KelmLink::NoAnswer);
    EXPECT_TRUE(version.isEmpty());
    EXPECT_EQ(link.ReadBlock(image, 0, 31), KelmLink::ReadFailed);
    // Nothing acknowledged the blocks, so they count as not written.
    EXPECT_EQ(link.WriteBlock(image, 0, 31), KelmLink::WriteFailed);
    EXPECT_EQ(clock->ElapsedMs(), 350 + 250 + 2 * 3 * 250 + 2 * 3 * 250);
}

TEST(OpenFailure, PortsThatCannotBeOpenedGiveOne)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("ttyUSB9"));
    const QString directory = dir.path(); // a directory where a device is expected
    for (const QString &port : { missing, directory }) {
        KelmLink link;
        link.SetPortName(port);
        EXPECT_EQ(link.OpenLink(), KelmLink::OpenFailed) << port.toStdString();
        EXPECT_FALSE(link.IsOpen());
        EXPECT_TRUE(link.LastOpenError().contains(port)) << link.LastOpenError().toStdString();
        link.CloseLink();
    }
}

// A sysfs tree as the kernel lays it out for USB serial adapters:
// class/tty/<tty>/device -> devices/.../<usb device>/<interface>/<tty>, with
// the product string in the USB device's directory.
class FakeSysfs : public ::testing::Test {
protected:
    void AddAdapter(const QString &tty, const QByteArray &product)
    {
        const QString usb = root.filePath(QStringLiteral("sys/devices/pci0000:00/usb1/1-%1").arg(++adapters));
        const QString ttyDevice = usb + QStringLiteral("/1-%1:1.0/%2").arg(adapters).arg(tty);
        ASSERT_TRUE(QDir().mkpath(ttyDevice));
        QFile file(usb + QStringLiteral("/product"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(product + '\n');
        const QString classDir = root.filePath(QStringLiteral("sys/class/tty/") + tty);
        ASSERT_TRUE(QDir().mkpath(classDir));
        ASSERT_TRUE(QFile::link(ttyDevice, classDir + QStringLiteral("/device")));
    }
    void AddVirtualTerminal(const QString &tty)
    {
        ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("sys/class/tty/") + tty)));
    }
    QString Sysfs() const { return root.filePath(QStringLiteral("sys")); }
    QString Dev() const { return root.filePath(QStringLiteral("dev")); }

    QTemporaryDir root;
    int adapters = 0;
};

TEST_F(FakeSysfs, FindsTheAdapterWithTheExactDescription)
{
    AddVirtualTerminal(QStringLiteral("tty0"));
    AddAdapter(QStringLiteral("ttyUSB0"), "FT232R USB UART");
    AddAdapter(QStringLiteral("ttyUSB1"), "Vorn QEV - Active USB Interface");
    AddAdapter(QStringLiteral("ttyUSB2"), "Vorn QEV - Active USB Interface 2");
    EXPECT_EQ(FindPortByDescription(QString::fromLatin1(KelmLink::QevDescription), Sysfs(), Dev()),
              Dev() + QStringLiteral("/ttyUSB1"));
}

TEST_F(FakeSysfs, OtherAdaptersAloneAreNoMatch)
{
    AddAdapter(QStringLiteral("ttyUSB0"), "FT232R USB UART");
    AddAdapter(QStringLiteral("ttyUSB1"), "vorn qev - active usb interface");
    EXPECT_TRUE(FindPortByDescription(QString::fromLatin1(KelmLink::QevDescription), Sysfs(), Dev()).isEmpty());

    KelmLink link;
    link.SetSearchRoots(Sysfs(), Dev());
    EXPECT_EQ(link.OpenLink(), KelmLink::OpenFailed);
    EXPECT_TRUE(link.LastOpenError().contains(QString::fromLatin1(KelmLink::QevDescription)));
}

TEST_F(FakeSysfs, OpensTheFoundPortAndTalksToTheUnit)
{
    auto sim = StartSimulator();
    AddAdapter(QStringLiteral("ttyUSB0"), "Another Adapter");
    AddAdapter(QStringLiteral("ttyUSB3"), "Vorn QEV - Active USB Interface");
    ASSERT_TRUE(QDir().mkpath(Dev()));
    ASSERT_TRUE(QFile::link(sim->DevicePath(), Dev() + QStringLiteral("/ttyUSB3")));

    KelmLink link;
    link.SetSearchRoots(Sysfs(), Dev());
    ASSERT_EQ(link.OpenLink(), 0) << link.LastOpenError().toStdString();
    EXPECT_EQ(link.PortName(), Dev() + QStringLiteral("/ttyUSB3"));
    EXPECT_EQ(link.CheckPresence(), 0);
}

TEST_F(FakeSysfs, NamedPortSkipsTheSearch)
{
    auto sim = StartSimulator();
    AddAdapter(QStringLiteral("ttyUSB0"), "Vorn QEV - Active USB Interface"); // would not open

    qputenv("KELM_PORT", sim->DevicePath().toLocal8Bit());
    KelmLink fromEnvironment;
    fromEnvironment.SetSearchRoots(Sysfs(), Dev());
    EXPECT_EQ(fromEnvironment.OpenLink(), 0) << fromEnvironment.LastOpenError().toStdString();
    fromEnvironment.CloseLink();
    qunsetenv("KELM_PORT");

    KelmLink::SetDefaultPortName(sim->DevicePath());
    KelmLink fromDefault;
    fromDefault.SetSearchRoots(Sysfs(), Dev());
    EXPECT_EQ(fromDefault.OpenLink(), 0) << fromDefault.LastOpenError().toStdString();
    EXPECT_EQ(fromDefault.PortName(), sim->DevicePath());
    KelmLink::SetDefaultPortName(QString());
}

} // namespace
