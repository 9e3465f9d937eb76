#include "CliTestSupport.h"
#include "KelmData.h"
#include "TestSupport.h"
#include "TextTable.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace {

// Day index (1 January = 0) of the last Sunday of a month.
int LastSundayIndex(int year, int month)
{
    QDate day(year, month, QDate(year, month, 1).daysInMonth());
    while (day.dayOfWeek() != Qt::Sunday)
        day = day.addDays(-1);
    return day.dayOfYear() - 1;
}

int Word(const QByteArray &memory, int address)
{
    return (quint8(memory[address]) << 8) | quint8(memory[address + 1]);
}

QString HexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

TEST_F(CliTest, ReadSavesTheUnitsImageAndShowsIt)
{
    const QByteArray unit = UnitMemory();
    StartUnit(unit);
    const QString saved = home.filePath(QStringLiteral("read.Kelm"));

    const KelmRun run = Kelm(QStringList{QStringLiteral("read"), QStringLiteral("-o"), saved} + Port());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(TestSupport::ReadAll(saved), unit);
    EXPECT_TRUE(run.out.contains(TextTable::Text(11415))) << run.out.toStdString();

    const KelmRun shown = Kelm(QStringList{QStringLiteral("read")} + Port());
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(shown.out.contains(QStringLiteral("Serienummer: 654321\n"))) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("Larm när dörr stängs : Radiokod: 1A2B\n")));
    EXPECT_TRUE(shown.out.contains(TextTable::Text(11305)));

    const KelmRun json = Kelm(QStringList{QStringLiteral("read"), QStringLiteral("--json")} + Port());
    EXPECT_EQ(json.status, 0);
    const QJsonObject listing = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(listing.value(QStringLiteral("fields")).toObject().value(QStringLiteral("SerialNumber")).toObject()
                  .value(QStringLiteral("value")).toInt(), 654321) << json.out.toStdString();
    // Reading writes nothing and keeps no backup.
    EXPECT_EQ(MemoryOut(), startMemory);
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(CliTest, ReadOfAUnitWithAWrongCrcSavesItAndSaysSo)
{
    QByteArray unit = UnitMemory();
    SetByte(unit, Addr::Crc, quint8(unit[Addr::Crc]) ^ 0xFF);
    StartUnit(unit);
    const QString saved = home.filePath(QStringLiteral("read.Kelm"));
    const KelmRun run = Kelm(QStringList{QStringLiteral("read"), QStringLiteral("-o"), saved} + Port());
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.err.contains(TextTable::Text(11434))) << run.err.toStdString();
    EXPECT_EQ(TestSupport::ReadAll(saved), unit);
}

TEST_F(CliTest, WriteMergesStampsFillsAndVerifies)
{
    const QByteArray unit = UnitMemory();
    StartUnit(unit);
    QByteArray file = ShippedDefault();
    SetByte(file, Addr::EquipmentType, 5);
    SetByte(file, Addr::InPassageDelay, 45);
    SetByte(file, Addr::DaylightSavingRegion, 1); // Europe: last Sundays of March and October
    SetByte(file, Addr::TimeScheduleEnabled, 1);
    SetByte(file, Addr::IgnorePowerSwitch, 2);    // the window packs it as unchecked
    SetByte(file, Addr::DoorClosedRadioCode, 0x77); // the unit keeps its own codes
    SealCrc(file);
    const QString path = WriteFile(QStringLiteral("config.Kelm"), file);

    const QDateTime before = QDateTime::currentDateTime();
    const KelmRun run = Kelm(QStringList{QStringLiteral("write"), path} + Port());
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QByteArray memory = MemoryOut();
    ASSERT_EQ(memory.size(), ImageSize);

    EXPECT_EQ(quint8(memory[Addr::EquipmentType]), 5);
    EXPECT_EQ(HexText(memory.mid(1, 13)), HexText(unit.mid(1, 13)));
    EXPECT_EQ(HexText(memory.mid(Addr::FactoryAreaFirst, 16)), HexText(unit.mid(Addr::FactoryAreaFirst, 16)));
    EXPECT_EQ(quint8(memory[Addr::Crc]), KelmData::ImageCrc(ToImage(memory)));
    for (int address = 14; address < Addr::Crc; ++address) {
        if (address >= Addr::DstBlockFirst && address <= Addr::DstBlockLast)
            continue;
        const int expected = address == Addr::IgnorePowerSwitch ? 0 : quint8(file[address]);
        EXPECT_EQ(quint8(memory[address]), expected) << "address " << address;
    }

    // The unit's clock: the PC's wall clock, a few seconds ahead.
    const QDateTime clock = KelmData::UnitClock(ToImage(memory));
    ASSERT_TRUE(clock.isValid());
    const QDateTime wall(clock.date(), clock.time());
    EXPECT_GE(before.addSecs(2).secsTo(wall), 0) << clock.toString().toStdString();
    EXPECT_GE(wall.secsTo(after.addSecs(4)), 0) << clock.toString().toStdString();

    // Sixteen years of summer time from the clock's year on.
    const int year = clock.date().year();
    EXPECT_EQ(quint8(memory[Addr::DstFirstYear]), year - 2000);
    EXPECT_EQ(quint8(memory[Addr::DstAdjustMinutes]), 60);
    EXPECT_EQ(quint8(memory[Addr::DstStartHour]), 2);
    EXPECT_EQ(quint8(memory[Addr::DstStopHour]), 3);
    for (int i : {0, 1, 15}) {
        EXPECT_EQ(Word(memory, Addr::DstStartDays + 2 * i), LastSundayIndex(year + i, 3)) << "year " << year + i;
        EXPECT_EQ(Word(memory, Addr::DstStopDays + 2 * i), LastSundayIndex(year + i, 10)) << "year " << year + i;
    }

    // The unit as it was, kept before the write.
    const QStringList backups = Backups();
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(TestSupport::ReadAll(backups[0]), unit);
    EXPECT_TRUE(QFileInfo(backups[0]).fileName().startsWith(QStringLiteral("KELM-654321-")));
    EXPECT_TRUE(run.out.contains(TextTable::Format(11657, {backups[0]}))) << run.out.toStdString();
    // With the time schedule on, the clock waits for the power switch.
    EXPECT_TRUE(run.out.contains(TextTable::Text(11405))) << run.out.toStdString();
}

TEST_F(CliTest, WriteRefusesAValueTheWindowRefusesBeforeTouchingTheUnit)
{
    StartUnit(UnitMemory());
    QByteArray file = ShippedDefault();
    SetByte(file, Addr::OutPassageDelay, 250);
    SealCrc(file);
    const KelmRun run = Kelm(QStringList{QStringLiteral("write"), WriteFile(QStringLiteral("bad.Kelm"), file)} + Port());
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.err.contains(TextTable::Format(11419, {TextTable::Text(11123), QStringLiteral("250")})))
        << run.err.toStdString();
    EXPECT_EQ(MemoryOut(), startMemory);
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(CliTest, WriteFollowsTheUnitsProgramVersion)
{
    QByteArray file = ShippedDefault();
    SetByte(file, Addr::TimeScheduleEnabled, 1);
    SealCrc(file);
    const QString scheduled = WriteFile(QStringLiteral("scheduled.Kelm"), file);

    // A unit before 2.7 has no time schedule: nothing is written.
    QByteArray old = UnitMemory();
    SetByte(old, Addr::ProgramVersionMinor, 6);
    SealCrc(old);
    StartUnit(old);
    const KelmRun refused = Kelm(QStringList{QStringLiteral("write"), scheduled} + Port());
    EXPECT_EQ(refused.status, 11);
    EXPECT_TRUE(refused.err.contains(TextTable::Text(11504))) << refused.err.toStdString();
    EXPECT_EQ(MemoryOut(), startMemory);
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(CliTest, WriteToAVersion1UnitWarnsAndMovesTheDoorSettings)
{
    QByteArray unit = UnitMemory();
    SetByte(unit, Addr::ProgramVersionMajor, 1);
    SetByte(unit, Addr::ProgramVersionMinor, 5);
    SealCrc(unit);
    StartUnit(unit);
    QByteArray file = ShippedDefault(); // automatic reset 300 s
    SetByte(file, Addr::PeekFunctionEnabled, 1);
    SealCrc(file);
    const KelmRun run = Kelm(QStringList{QStringLiteral("write"), WriteFile(QStringLiteral("v1.Kelm"), file)} + Port());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(TextTable::Text(11501)));
    EXPECT_TRUE(run.err.contains(TextTable::Text(11502)));
    EXPECT_FALSE(run.err.contains(TextTable::Text(11503)));
    const QByteArray memory = MemoryOut();
    ASSERT_EQ(memory.size(), ImageSize);
    EXPECT_EQ(memory[16], file[Addr::DoorClosedSendAlarm]);
    EXPECT_EQ(memory[33], file[Addr::DoorOpenedAlarmType]);
}

TEST_F(CliTest, CodesShowsTheUnitsCodesWithoutWriting)
{
    StartUnit(UnitMemory());
    const KelmRun run = Kelm(QStringList{QStringLiteral("codes")} + Port());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, TextTable::Text(11102) + QStringLiteral(": 1A2B\n") + TextTable::Text(11103)
                  + QStringLiteral(": 1A2C\n") + TextTable::Text(11104) + QStringLiteral(": 1A2D\n")
                  + TextTable::Text(11105) + QStringLiteral(": 1A2E\n") + TextTable::Text(11273)
                  + QStringLiteral(": 1A2F\n"));
    EXPECT_EQ(MemoryOut(), startMemory);
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(CliTest, CodesSetWritesVerifiesAndKeepsABackup)
{
    const QByteArray unit = UnitMemory();
    StartUnit(unit);
    const KelmRun run = Kelm(QStringList{QStringLiteral("codes"), QStringLiteral("--set"), QStringLiteral("1111"),
                                         QStringLiteral("2222"), QStringLiteral("0000"), QStringLiteral("4444"),
                                         QStringLiteral("abcd")}
                             + Port());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    // 0000 warns as the dialog does, and is written all the same.
    EXPECT_TRUE(run.err.contains(TextTable::Text(11429))) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(TextTable::Text(11404)));
    const QByteArray memory = MemoryOut();
    ASSERT_EQ(memory.size(), ImageSize);
    EXPECT_EQ(HexText(memory.mid(Addr::DoorClosedRadioCode, 10)), QStringLiteral("11 11 22 22 00 00 44 44 ab cd"));
    EXPECT_EQ(quint8(memory[Addr::Crc]), KelmData::ImageCrc(ToImage(memory)));
    EXPECT_EQ(HexText(memory.mid(14, Addr::Crc - 14)), HexText(unit.mid(14, Addr::Crc - 14)));
    const QStringList backups = Backups();
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(TestSupport::ReadAll(backups[0]), unit);
}

TEST_F(CliTest, CodesSetRefusesCodesTheDialogRefuses)
{
    StartUnit(UnitMemory());
    struct Case
    {
        QStringList codes;
        int text;
    };
    const Case cases[] = {
        {{"123", "2222", "3333", "4444", "5555"}, 11440},
        {{"1111", "2222", "3333", "4444", "55555"}, 11440},
        {{"1111", "2222", "3G33", "4444", "5555"}, 11660},
        {{"1111", "2222", "3333", "4444"}, 11663},
        {{"1111", "2222", "3333", "4444", "5555", "6666"}, 11663},
    };
    for (const Case &c : cases) {
        const KelmRun run = Kelm(QStringList{QStringLiteral("codes"), QStringLiteral("--set")} + c.codes + Port());
        EXPECT_EQ(run.status, 2) << c.codes.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(TextTable::Text(c.text).section(u'%', 0, 0))) << run.err.toStdString();
    }
    EXPECT_EQ(MemoryOut(), startMemory);
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(CliTest, RestoreWritesABackupBackWithItsCodesAndClock)
{
    const QByteArray unit = UnitMemory();
    StartUnit(unit);
    QByteArray saved = ShippedDefault();
    const char codes[] = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A};
    saved.replace(Addr::DoorClosedRadioCode, 10, QByteArray(codes, 10));
    SetByte(saved, Addr::InPassageDelay, 99);
    SetByte(saved, Addr::ClockYear, 25);
    SetWord(saved, Addr::ClockDayOfYear, 100);
    SealCrc(saved);
    const KelmRun run = Kelm(QStringList{QStringLiteral("restore"), WriteFile(QStringLiteral("backup.Kelm"), saved)} + Port());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QByteArray memory = MemoryOut();
    ASSERT_EQ(memory.size(), ImageSize);
    EXPECT_EQ(HexText(memory.left(Addr::Crc)), HexText(saved.left(Addr::Crc)));
    EXPECT_EQ(HexText(memory.mid(Addr::ClockStampFirst, 7)), HexText(saved.mid(Addr::ClockStampFirst, 7)));
    EXPECT_EQ(HexText(memory.mid(Addr::FactoryAreaFirst, 16)), HexText(unit.mid(Addr::FactoryAreaFirst, 16)));
    EXPECT_EQ(quint8(memory[Addr::Crc]), KelmData::ImageCrc(ToImage(memory)));
    const QStringList backups = Backups();
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(TestSupport::ReadAll(backups[0]), unit);
}

TEST_F(CliTest, EachWriteKeepsABackupOfItsOwn)
{
    StartUnit(UnitMemory());
    const QString file = WriteFile(QStringLiteral("config.Kelm"), ShippedDefault());
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(Kelm(QStringList{QStringLiteral("write"), file} + Port()).status, 0);
    const QStringList backups = Backups();
    ASSERT_EQ(backups.size(), 2);
    // One holds the unit as it was, the other what the first write left in it.
    const QByteArray first = TestSupport::ReadAll(backups[0]);
    const QByteArray second = TestSupport::ReadAll(backups[1]);
    const QByteArray &original = first == UnitMemory() ? first : second;
    const QByteArray &written = first == UnitMemory() ? second : first;
    EXPECT_EQ(original, UnitMemory());
    EXPECT_EQ(HexText(written.mid(14, Addr::DstBlockFirst - 14)), HexText(ShippedDefault().mid(14, Addr::DstBlockFirst - 14)));
}

TEST_F(CliTest, QevVersionAsksTheQev)
{
    ASSERT_TRUE(sim.Start({QStringLiteral("--qev-version"), QStringLiteral("QEV 2.1")}));
    const KelmRun run = Kelm(QStringList{QStringLiteral("qev-version")} + Port());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("QEV 2.1\n"));
}

TEST_F(CliTest, SimCommandServesLikeKelmSim)
{
    SimProcess own;
    ASSERT_TRUE(own.Start({QStringLiteral("sim"), QStringLiteral("--qev-version"), QStringLiteral("OWN 1")},
                          QStringLiteral("kelm")));
    const KelmRun run = Kelm({QStringLiteral("qev-version"), QStringLiteral("--port"), own.Port()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("OWN 1\n"));
}

// Every kind of failure: its exit status and the message the window shows.
TEST_F(CliTest, EachFailureHasItsStatusAndMessage)
{
    const QString config = WriteFile(QStringLiteral("config.Kelm"), ShippedDefault());
    struct Case
    {
        const char *what;
        QStringList simArguments; // empty: no simulator
        QStringList command;
        int status;
        int text; // 0: checked by `message`
        const char *message;
    };
    const Case cases[] = {
        {"no QEV", {}, {"read", "--port", "/nonexistent/ttyQEV"}, 5, 11409, nullptr},
        {"no unit", {"--no-unit"}, {"read"}, 7, 11408, nullptr},
        {"not a KELM", {"--product-type", "5"}, {"read"}, 8, 11431, nullptr},
        {"write refused", {"--fault", "refuse-writes"}, {"write", "CONFIG"}, 9, 11407, nullptr},
        {"verify fails", {"--fault", "hangup:40"}, {"write", "CONFIG"}, 10, 11406, nullptr},
        {"unknown command", {}, {"frobnicate"}, 2, 0, "frobnicate"},
        {"missing file argument", {}, {"show"}, 2, 0, "kelm show [options] FILE"},
        {"unknown language", {}, {"show", "--lang", "fr", "CONFIG"}, 2, 0, "--lang fr"},
        {"unknown region", {}, {"dst", "Atlantis"}, 2, 11661, nullptr},
        {"no such file", {}, {"show", "/nonexistent/config.Kelm"}, 3, 11441, nullptr},
        {"missing output folder", {""}, {"read", "-o", "/nonexistent/dir/out.Kelm"}, 3, 11662, nullptr},
    };
    for (const Case &c : cases) {
        SimProcess unit;
        QStringList command;
        for (const QString &word : c.command)
            command << (word == QLatin1String("CONFIG") ? config : word);
        if (!c.simArguments.isEmpty()) {
            QStringList simArguments = c.simArguments;
            simArguments.removeAll(QString());
            ASSERT_TRUE(unit.Start(simArguments)) << c.what;
            command << QStringLiteral("--port") << unit.Port();
        }
        const KelmRun run = Kelm(command);
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err.toStdString();
        const QString expected = c.text ? TextTable::Text(c.text).section(u'%', 0, 0) : QString::fromLatin1(c.message);
        EXPECT_TRUE(run.err.contains(expected)) << c.what << ": " << run.err.toStdString();
    }
}

TEST_F(CliTest, WrongFileLengthIsRefused)
{
    const KelmRun run = Kelm({QStringLiteral("show"), WriteFile(QStringLiteral("short.Kelm"), QByteArray(100, '\0'))});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.contains(TextTable::Text(11439)));
}

TEST_F(CliTest, ABackupThatCannotBeSavedStopsTheWrite)
{
    StartUnit(UnitMemory());
    // A file where the backup folder belongs: no backup, so no write.
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    ASSERT_TRUE(TestSupport::WriteAll(DataFolder() + QStringLiteral("/Backups"), "in the way"));
    const KelmRun run = Kelm(QStringList{QStringLiteral("write"), WriteFile(QStringLiteral("c.Kelm"), ShippedDefault())} + Port());
    EXPECT_EQ(run.status, 12);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Backups"))) << run.err.toStdString();
    EXPECT_EQ(MemoryOut(), startMemory);
}

TEST_F(CliTest, APortWithoutPermissionNamesTheGroupToJoin)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root opens any port";
    ASSERT_TRUE(sim.Start({}));
    ASSERT_TRUE(QFile::setPermissions(sim.Port(), QFileDevice::Permissions()));
    const KelmRun run = Kelm(QStringList{QStringLiteral("read")} + Port());
    EXPECT_EQ(run.status, 6) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("usermod -aG"))) << run.err.toStdString();
}

} // namespace
