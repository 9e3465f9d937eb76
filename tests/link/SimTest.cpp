#include "LinkTestSupport.h"
#include "TestSupport.h"

#include <QCommandLineParser>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct FaultSpecCase {
    const char *spec;
    bool valid;
    SimFault::Kind kind;
    int value;
};

TEST(SimFaultSpec, ParsesEveryKindAndRejectsTheRest)
{
    const FaultSpecCase cases[] = {
        { "nak-writes:2", true, SimFault::NakWrites, 2 },
        { "refuse-writes", true, SimFault::RefuseWrites, -1 },
        { "silent:0xF0", true, SimFault::SilentBlock, 240 },
        { "bad-checksum:16", true, SimFault::BadChecksum, 16 },
        { "short-read", true, SimFault::ShortRead, -1 },
        { "short-read:32", true, SimFault::ShortRead, 32 },
        { "drip", true, SimFault::Drip, 200 },
        { "drip:50", true, SimFault::Drip, 50 },
        { "silent-presence", true, SimFault::SilentPresence, -1 },
        { "hangup:3", true, SimFault::HangUp, 3 },
        { "nak-writes", false, SimFault::NakWrites, 0 },
        { "refuse-writes:1", false, SimFault::RefuseWrites, 0 },
        { "silent:abc", false, SimFault::SilentBlock, 0 },
        { "hangup:-1", false, SimFault::HangUp, 0 },
        { "explode", false, SimFault::HangUp, 0 },
    };
    for (const FaultSpecCase &c : cases) {
        SCOPED_TRACE(c.spec);
        SimFault fault { SimFault::RefuseWrites };
        QString error;
        EXPECT_EQ(ParseFault(QString::fromLatin1(c.spec), fault, error), c.valid);
        if (c.valid) {
            EXPECT_EQ(fault.kind, c.kind);
            EXPECT_EQ(fault.value, c.value);
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

bool Read(const QStringList &arguments, SimOptions &options, QString &error)
{
    QCommandLineParser parser;
    AddSimOptions(parser);
    if (!parser.parse(QStringList { QStringLiteral("kelm-sim") } + arguments)) {
        error = parser.errorText();
        return false;
    }
    return ReadSimOptions(parser, options, error);
}

TEST(SimOptionsTest, SetsMemoryAndQevFromTheCommandLine)
{
    QTemporaryDir dir;
    QByteArray big(2048, '\x11');
    big[0] = 0x42;
    const QString bigFile = dir.filePath(QStringLiteral("big.kelm"));
    ASSERT_TRUE(TestSupport::WriteAll(bigFile, big));

    SimOptions options;
    QString error;
    ASSERT_TRUE(Read({ QStringLiteral("--image"), bigFile, QStringLiteral("--program-version"), QStringLiteral("2.7"),
                       QStringLiteral("--product-type"), QStringLiteral("9"), QStringLiteral("--qev-version"),
                       QStringLiteral("QEV 2"), QStringLiteral("--no-unit"), QStringLiteral("--pace"),
                       QStringLiteral("--fault"), QStringLiteral("drip"), QStringLiteral("--fault"), QStringLiteral("silent:16") },
                     options, error))
        << error.toStdString();
    EXPECT_EQ(options.memory.size(), 256);
    EXPECT_EQ(options.memory[0], 0x42);
    EXPECT_EQ(options.memory[248], 9);
    EXPECT_EQ(options.memory[249], 2);
    EXPECT_EQ(options.memory[250], 7);
    EXPECT_EQ(options.qevVersion, "QEV 2      ");
    EXPECT_FALSE(options.unit);
    EXPECT_TRUE(options.pace);
    EXPECT_EQ(options.faults.size(), 2);
}

TEST(SimOptionsTest, RejectsBadValues)
{
    QTemporaryDir dir;
    const QString shortFile = dir.filePath(QStringLiteral("short.bin"));
    ASSERT_TRUE(TestSupport::WriteAll(shortFile, QByteArray(100, '\0')));
    const QStringList cases[] = {
        { QStringLiteral("--image"), shortFile },
        { QStringLiteral("--image"), dir.filePath(QStringLiteral("missing.bin")) },
        { QStringLiteral("--image"), dir.path() },
        { QStringLiteral("--program-version"), QStringLiteral("2") },
        { QStringLiteral("--program-version"), QStringLiteral("2.256") },
        { QStringLiteral("--product-type"), QStringLiteral("300") },
        { QStringLiteral("--qev-version"), QStringLiteral("twelve chars") },
        { QStringLiteral("--fault"), QStringLiteral("melt") },
    };
    for (const QStringList &arguments : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        SimOptions options;
        QString error;
        EXPECT_FALSE(Read(arguments, options, error));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SimProcess, PrintsItsDeviceServesAndStopsOnSigterm)
{
    QProcess sim;
    sim.start(TestSupport::BinPath(QStringLiteral("kelm-sim")), { QStringLiteral("--qev-version"), QStringLiteral("PROC 1") });
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    ASSERT_TRUE(device.startsWith(QStringLiteral("/dev/pts/"))) << device.toStdString();

    KelmLink link;
    link.SetPortName(device);
    ASSERT_EQ(link.OpenLink(), 0) << link.LastOpenError().toStdString();
    EXPECT_EQ(link.CheckPresence(), 0);
    QByteArray version;
    EXPECT_EQ(link.QueryVersion(version), 0);
    EXPECT_EQ(version, "PROC 1     ");
    link.CloseLink();

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST(SimProcess, HelpDocumentsTheFaultsAndBadOptionsFail)
{
    QProcess help;
    help.start(TestSupport::BinPath(QStringLiteral("kelm-sim")), { QStringLiteral("--help") });
    ASSERT_TRUE(help.waitForFinished(5000));
    const QString text = QString::fromLocal8Bit(help.readAllStandardOutput());
    for (const char *kind : { "nak-writes:N", "refuse-writes", "silent:ADDR", "bad-checksum:ADDR", "short-read",
                              "drip", "silent-presence", "hangup:N", "--memory-out", "--pace" })
        EXPECT_TRUE(text.contains(QLatin1String(kind))) << kind;

    QProcess bad;
    bad.start(TestSupport::BinPath(QStringLiteral("kelm-sim")), { QStringLiteral("--fault"), QStringLiteral("melt") });
    ASSERT_TRUE(bad.waitForFinished(5000));
    EXPECT_NE(bad.exitCode(), 0);
    EXPECT_TRUE(bad.readAllStandardOutput().isEmpty());
}

} // namespace
