#include "DeviceTestSupport.h"

#include "TestSupport.h"
#include "TextTable.h"

#include <QDir>
#include <QFile>

namespace {

// The window's packed image: the shipped default with edits, a clock stamp
// and summer-time bytes, and bytes the unit must override.
ImageBuffer WindowImage()
{
    QByteArray memory = TestSupport::ReadAll(TestSupport::SourcePath(QStringLiteral("src/resources/Default.b")));
    memory.resize(ImageSize);
    memory[Addr::EquipmentType] = 3;
    for (int a = 1; a <= 13; ++a)
        memory[a] = char(0x55);
    memory[Addr::InPassageDelay] = 42;
    memory[Addr::OutPassageDelay] = 17;
    memory[Addr::DoorClosedSendAlarm] = 1;
    memory[Addr::DoorOpenedSendAlarm] = 0;
    memory[Addr::DoorClosedAlarmType] = 9;
    memory[Addr::DoorOpenedAlarmType] = 8;
    memory[Addr::AutoResetTime] = 0;
    memory[Addr::AutoResetTime + 1] = 0;
    memory[Addr::PeekFunctionEnabled] = 0;
    memory[Addr::IgnorePowerSwitch] = 0;
    for (int a = Addr::DstBlockFirst; a <= Addr::DstBlockLast; ++a)
        memory[a] = char(a * 7);
    const char clock[] = {26, 1, 88, 12, 30, 15, 1};
    memory.replace(Addr::ClockStampFirst, 7, QByteArray(clock, 7));
    for (int a = Addr::FactoryAreaFirst; a <= Addr::FactoryAreaLast; ++a)
        memory[a] = char(0xEE);
    return ToImage(memory);
}

bool SameBytes(const QByteArray &a, const QByteArray &b, int first, int last)
{
    return a.mid(first, last - first + 1) == b.mid(first, last - first + 1);
}

struct WriteCase
{
    const char *name;
    bool noQev;
    QList<SimFault> faults;
    int major;
    int minor;
    int productType;
    bool scheduleChecked;
    bool autoReset;
    bool peek;
    bool ignoreSwitch;
    int result;
    QList<int> numbers;
    bool written;
    bool byte0Written;
};

void PrintTo(const WriteCase &c, std::ostream *os)
{
    *os << c.name;
}

class WriteToDevice : public DeviceFixture, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(WriteToDevice, ReportsAndWritesAsTheFailureTableSays)
{
    const WriteCase &c = GetParam();
    QByteArray memory = UnitMemory();
    SetVersion(memory, c.major, c.minor);
    memory[Addr::ProductType] = char(c.productType);
    SealCrc(memory);
    if (c.noQev)
        NoQev();
    else
        StartUnit(memory, c.faults);
    data.ConfigOrigin = OriginWrittenToUnit;
    data.EditedImage = WindowImage();
    data.EditedImage[Addr::AutoResetTime + 1] = c.autoReset ? 30 : 0;
    data.EditedImage[Addr::PeekFunctionEnabled] = c.peek ? 1 : 0;
    data.EditedImage[Addr::IgnorePowerSwitch] = c.ignoreSwitch ? 1 : 0;

    EXPECT_EQ(commands->WriteToDevice(data, c.scheduleChecked), c.result);
    EXPECT_EQ(reporter.Numbers(), c.numbers);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(reporter.busy);
    EXPECT_FALSE(reporter.progressShowing);
    EXPECT_EQ(data.ConfigOrigin, OriginWrittenToUnit);

    const QList<QByteArray> writes = Commands('W');
    EXPECT_EQ(!writes.isEmpty(), c.written);
    EXPECT_EQ(!writes.isEmpty() && writes[0].startsWith("W000001"), c.byte0Written);
    if (!c.written && sim) {
        EXPECT_EQ(UnitNow(), memory) << "nothing written";
    }
    EXPECT_EQ(reporter.events.contains(QStringLiteral("clock")), c.numbers.contains(11405));
    EXPECT_EQ(Backups().size(), c.written ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteToDevice,
    ::testing::Values(
        WriteCase{"NoQev", true, {}, 2, 8, 7, false, false, false, false, 11409, {11409}, false, false},
        WriteCase{"NoAnswerToPresence", false, {{SimFault::SilentPresence}}, 2, 8, 7, false, false, false, false,
                  11408, {11408}, false, false},
        WriteCase{"FirstReadFails", false, {{SimFault::SilentBlock, 0}}, 2, 8, 7, false, false, false, false, 11408,
                  {11408}, false, false},
        WriteCase{"FactoryReadFails", false, {{SimFault::SilentBlock, 240}}, 2, 8, 7, false, false, false, false,
                  11408, {11408}, false, false},
        WriteCase{"BackupReadFails", false, {{SimFault::SilentBlock, 16}}, 2, 8, 7, false, false, false, false,
                  11408, {11408}, false, false},
        WriteCase{"ProductType6", false, {}, 2, 8, 6, false, false, false, false, 11431, {11431}, false, false},
        WriteCase{"WriteRefused", false, {{SimFault::RefuseWrites}}, 2, 8, 7, false, false, false, false, 11407,
                  {11407}, true, true},
        WriteCase{"WriteNakedTwiceThenTaken", false, {{SimFault::NakWrites, 2}}, 2, 8, 7, false, false, false, false,
                  0, {11404}, true, true},
        WriteCase{"ReadBackDiffers", false, {{SimFault::ForgetWrites, 14}}, 2, 8, 7, false, false, false, false,
                  11406, {11406}, true, true},
        WriteCase{"UnansweredWriteBlock", false, {{SimFault::SilentBlock, 14}}, 2, 8, 7, false, false, false, false,
                  11407, {11407}, true, true},
        WriteCase{"V518Schedule", false, {}, 2, 6, 7, true, false, false, false, 11504, {11504}, false, false},
        WriteCase{"V518NoSchedule", false, {}, 2, 6, 7, false, false, false, false, 0, {11404}, true, false},
        WriteCase{"V519Schedule", false, {}, 2, 7, 7, true, false, false, false, 0, {11405}, true, false},
        WriteCase{"V519NoSchedule", false, {}, 2, 7, 7, false, false, false, false, 0, {11404}, true, false},
        WriteCase{"V520Schedule", false, {}, 2, 8, 7, true, false, false, false, 0, {11405}, true, true},
        WriteCase{"V520NoSchedule", false, {}, 2, 8, 7, false, false, false, false, 0, {11404}, true, true},
        WriteCase{"Version1Warnings", false, {}, 1, 5, 7, false, true, true, false, 0, {11501, 11502, 11404}, true,
                  false},
        WriteCase{"Version1WarningsThenSchedule", false, {}, 1, 5, 7, true, true, true, false, 11504,
                  {11501, 11502, 11504}, false, false},
        WriteCase{"Version1AllWarnings", false, {}, 1, 5, 7, false, true, true, true, 0,
                  {11501, 11502, 11503, 11404}, true, false},
        WriteCase{"Version1IgnoreSwitchOnly", false, {}, 1, 5, 7, false, false, false, true, 0, {11503, 11404}, true,
                  false},
        WriteCase{"NewerUnitNoWarnings", false, {}, 2, 8, 7, false, true, true, true, 0, {11404}, true, true}),
    [](const ::testing::TestParamInfo<WriteCase> &info) { return std::string(info.param.name); });

class WriteToDeviceSteps : public DeviceFixture
{
};

TEST_F(WriteToDeviceSteps, TheUnitHoldsTheWindowsSettingsWithItsOwnBytesAndAValidCrc)
{
    const QByteArray before = UnitMemory();
    StartUnit(before);
    data.EditedImage = WindowImage();
    const QByteArray window = FromImage(data.EditedImage);

    ASSERT_EQ(commands->WriteToDevice(data, false), 0);
    const QByteArray after = UnitNow();
    EXPECT_EQ(after[0], window[0]) << "version 2.8 takes byte 0 from the window";
    EXPECT_TRUE(SameBytes(after, before, 1, 13)) << "radio codes stay the unit's";
    EXPECT_TRUE(SameBytes(after, window, 14, 223));
    EXPECT_TRUE(KelmData::CheckImageCrc(ToImage(after)));
    EXPECT_TRUE(SameBytes(after, before, 225, 230));
    EXPECT_TRUE(SameBytes(after, window, Addr::ClockStampFirst, Addr::ClockStampLast));
    EXPECT_TRUE(SameBytes(after, before, 238, 255)) << "the factory area is never written";
    // The merged image stays in the window's document.
    EXPECT_EQ(FromImage(data.EditedImage), after);
    EXPECT_EQ(reporter.LastStatus(), TextTable::Text(11403));
    EXPECT_TRUE(reporter.statusTexts.contains(TextTable::Text(11401)));
    EXPECT_TRUE(reporter.statusTexts.contains(TextTable::Text(11402)));

    // Byte 0, then 14..224 in 14 blocks, then the clock.
    const QList<QByteArray> writes = Commands('W');
    ASSERT_EQ(writes.size(), 16);
    EXPECT_TRUE(writes[0].startsWith("W000001"));
    EXPECT_TRUE(writes[1].startsWith("W000E10"));
    EXPECT_TRUE(writes[14].startsWith("W00DE03"));
    EXPECT_TRUE(writes[15].startsWith("W00E707"));
}

TEST_F(WriteToDeviceSteps, AUnitBelow28KeepsItsByte0AndTheCrcCoversIt)
{
    QByteArray before = UnitMemory();
    SetVersion(before, 2, 7);
    before[0] = 0;
    SealCrc(before);
    StartUnit(before);
    data.EditedImage = WindowImage(); // equipment type 3 in the window

    ASSERT_EQ(commands->WriteToDevice(data, true), 0);
    const QByteArray after = UnitNow();
    EXPECT_EQ(after[0], 0);
    EXPECT_TRUE(KelmData::CheckImageCrc(ToImage(after))) << "a later read must not find a CRC error";
    EXPECT_EQ(reporter.Numbers(), QList<int>({11405}));
}

TEST_F(WriteToDeviceSteps, AVersion1UnitKeepsItsBytes0To13AndGetsTheDoorCopies)
{
    QByteArray before = UnitMemory();
    SetVersion(before, 1, 5);
    before[0] = char(0x1A);
    SealCrc(before);
    StartUnit(before);
    data.EditedImage = WindowImage();

    ASSERT_EQ(commands->WriteToDevice(data, false), 0);
    const QByteArray after = UnitNow();
    EXPECT_TRUE(SameBytes(after, before, 0, 13));
    EXPECT_EQ(after[AddrVersion1::DoorClosedSendAlarm], after[Addr::DoorClosedSendAlarm]);
    EXPECT_EQ(after[AddrVersion1::DoorOpenedSendAlarm], after[Addr::DoorOpenedSendAlarm]);
    EXPECT_EQ(after[AddrVersion1::DoorClosedAlarmType], 9);
    EXPECT_EQ(after[AddrVersion1::DoorOpenedAlarmType], 8);
    EXPECT_TRUE(KelmData::CheckImageCrc(ToImage(after)));
}

TEST_F(WriteToDeviceSteps, ARefusedBlockStillLetsTheOtherRangesBeTried)
{
    // Every block is refused; all three ranges are attempted, none verified.
    StartUnit(UnitMemory(), {{SimFault::RefuseWrites}});
    data.EditedImage = WindowImage();
    commands->WriteToDevice(data, false);
    const QList<QByteArray> commandsSent = sim->Commands();
    ASSERT_FALSE(commandsSent.isEmpty());
    EXPECT_TRUE(commandsSent.last().startsWith("W00E707")) << "no verification after a failed write";
    EXPECT_EQ(Commands('W').size(), 3 * 16);
}

TEST_F(WriteToDeviceSteps, BackupHoldsTheUnitAsItWasUnderItsSerialAndTime)
{
    const QByteArray before = UnitMemory();
    StartUnit(before);
    commands->SetClock([] { return QDateTime(QDate(2026, 12, 11), QTime(12, 0, 5)); });
    data.EditedImage = WindowImage();
    ASSERT_EQ(commands->WriteToDevice(data, false), 0);
    data.EditedImage = WindowImage();
    ASSERT_EQ(commands->WriteToDevice(data, false), 0);

    // Default.b's serial number is 0x0186A1.
    EXPECT_EQ(Backups(), QStringList({QStringLiteral("KELM-100001-20261211-120005-2.Kelm"),
                                      QStringLiteral("KELM-100001-20261211-120005.Kelm")}));
    EXPECT_EQ(TestSupport::ReadAll(commands->BackupFolder() + QStringLiteral("/KELM-100001-20261211-120005.Kelm")),
              before);
    EXPECT_EQ(commands->LastBackup(), commands->BackupFolder() + QStringLiteral("/KELM-100001-20261211-120005-2.Kelm"));
}

TEST_F(WriteToDeviceSteps, ABackupThatCannotBeSavedStopsBeforeAnythingIsWritten)
{
    // A file where the data directory's Backups folder should be.
    StartUnit(UnitMemory());
    QFile blocker(dataDir.filePath(QStringLiteral("Backups")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    data.EditedImage = WindowImage();

    EXPECT_EQ(commands->WriteToDevice(data, false), DeviceCommands::BackupFailed);
    EXPECT_TRUE(Commands('W').isEmpty());
    ASSERT_EQ(reporter.shown.size(), 1);
    EXPECT_EQ(reporter.shown[0].kind, DeviceReporter::Kind::Error);
    EXPECT_TRUE(reporter.shown[0].text.contains(QStringLiteral("Backups"))) << qPrintable(reporter.shown[0].text);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(WriteToDeviceSteps, RestorePutsBackTheSavedHeadAndClockButKeepsTheFactoryArea)
{
    QByteArray unitMemory = UnitMemory();
    StartUnit(unitMemory);
    QByteArray saved = FromImage(WindowImage());
    for (int a = 0; a <= 13; ++a)
        saved[a] = char(0x30 + a);
    data.EditedImage = ToImage(saved);

    ASSERT_EQ(commands->RestoreToDevice(data), 0);
    const QByteArray after = UnitNow();
    EXPECT_TRUE(SameBytes(after, saved, 0, 223));
    EXPECT_TRUE(SameBytes(after, saved, Addr::ClockStampFirst, Addr::ClockStampLast));
    EXPECT_TRUE(SameBytes(after, unitMemory, Addr::FactoryAreaFirst, Addr::FactoryAreaLast));
    EXPECT_TRUE(KelmData::CheckImageCrc(ToImage(after)));
    EXPECT_EQ(Backups().size(), 1);
    EXPECT_EQ(reporter.Numbers(), QList<int>({11404}));
}

TEST_F(WriteToDeviceSteps, RestoreOfAScheduleToAnOlderUnitWritesNothing)
{
    QByteArray unitMemory = UnitMemory();
    SetVersion(unitMemory, 2, 6);
    StartUnit(unitMemory);
    data.EditedImage = WindowImage();
    data.EditedImage[Addr::TimeScheduleEnabled] = 1;
    EXPECT_EQ(commands->RestoreToDevice(data), 11504);
    EXPECT_TRUE(Commands('W').isEmpty());
}

TEST_F(WriteToDeviceSteps, ProgressFollowsEveryBlock)
{
    StartUnit(UnitMemory());
    data.EditedImage = WindowImage();
    ASSERT_EQ(commands->WriteToDevice(data, false), 0);
    // The backup and the 16 written blocks make the longest stretch.
    EXPECT_EQ(reporter.progressTotalSeen, 32);
}

} // namespace
