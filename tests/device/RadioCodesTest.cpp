#include "DeviceTestSupport.h"

#include "TestSupport.h"
#include "TextTable.h"

namespace {

struct RadioCase
{
    const char *name;
    bool noQev;
    QList<SimFault> faults;
    int productType;
    bool accept;
    int result;
    QList<int> numbers;
    bool dialogShown;
    bool written;
};

void PrintTo(const RadioCase &c, std::ostream *os)
{
    *os << c.name;
}

class ChangeRadioCodes : public DeviceFixture, public ::testing::WithParamInterface<RadioCase>
{
};

TEST_P(ChangeRadioCodes, ReportsAsTheFailureTableSays)
{
    const RadioCase &c = GetParam();
    QByteArray memory = UnitMemory();
    memory[Addr::ProductType] = char(c.productType);
    SealCrc(memory);
    if (c.noQev)
        NoQev();
    else
        StartUnit(memory, c.faults);
    reporter.dialogAccepts = c.accept;
    reporter.dialogNewCodes = {QStringLiteral("ABCD"), QStringLiteral("0012"), QStringLiteral("ffff"),
                               QStringLiteral("1234"), QString()};
    data.EditedImage.fill(0x77);
    data.ConfigOrigin = OriginOpened;

    EXPECT_EQ(commands->ChangeDeviceRadioCodes(data), c.result);
    EXPECT_EQ(reporter.Numbers(), c.numbers);
    EXPECT_EQ(reporter.dialogShown, c.dialogShown ? 1 : 0);
    EXPECT_EQ(!Commands('W').isEmpty(), c.written);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(reporter.busy);
    EXPECT_EQ(Backups().size(), c.written ? 1 : 0);
    // The window's document is never touched.
    EXPECT_EQ(data.ConfigOrigin, OriginOpened);
    EXPECT_TRUE(std::all_of(data.EditedImage.begin(), data.EditedImage.end(), [](quint8 b) { return b == 0x77; }));
    if (!c.written && sim) {
        EXPECT_EQ(UnitNow(), memory);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeRadioCodes,
    ::testing::Values(
        RadioCase{"NoQevReadsAsAFailedRead", true, {}, 7, true, 11306, {11306}, false, false},
        RadioCase{"NoAnswerToPresence", false, {{SimFault::SilentPresence}}, 7, true, 11306, {11306}, false, false},
        RadioCase{"OneByteReadFails", false, {{SimFault::SilentBlock, 240}}, 7, true, 11408, {11408}, false, false},
        RadioCase{"WholeReadFails", false, {{SimFault::SilentBlock, 0}}, 7, true, 11306, {11306}, false, false},
        RadioCase{"ProductType6", false, {}, 6, true, 11431, {11431}, false, false},
        RadioCase{"Abort", false, {}, 7, false, DeviceCommands::Aborted, {}, true, false},
        RadioCase{"WriteRefused", false, {{SimFault::RefuseWrites}}, 7, true, 11407, {11407}, true, true},
        RadioCase{"ReadBackDiffers", false, {{SimFault::ForgetWrites, 0}}, 7, true, 11406, {11406}, true, true},
        RadioCase{"Success", false, {}, 7, true, 0, {11404}, true, true}),
    [](const ::testing::TestParamInfo<RadioCase> &info) { return std::string(info.param.name); });

class ChangeRadioCodesSteps : public DeviceFixture
{
};

TEST_F(ChangeRadioCodesSteps, TheDialogShowsTheUnitsCodesWithTheLinkOpen)
{
    QByteArray memory = UnitMemory();
    const char codes[] = {0x00, 0x12, char(0xFF), char(0xFF), 0x00, 0x00, 0x1A, 0x2B, 0x00, 0x01};
    memory.replace(Addr::DoorClosedRadioCode, 10, QByteArray(codes, 10));
    SealCrc(memory);
    StartUnit(memory);
    reporter.dialogAccepts = false;
    commands->ChangeDeviceRadioCodes(data);
    const RadioCodeTexts expected = {QStringLiteral("0012"), QStringLiteral("FFFF"), QString(), QStringLiteral("1A2B"),
                                     QStringLiteral("0001")};
    EXPECT_EQ(reporter.dialogOldCodes, expected);
    EXPECT_TRUE(reporter.linkOpenDuringDialog);
    EXPECT_FALSE(reporter.busy);
}

TEST_F(ChangeRadioCodesSteps, SuccessWritesTheCodesAndTheCrcAndNothingElse)
{
    const QByteArray before = UnitMemory();
    StartUnit(before);
    reporter.dialogNewCodes = {QStringLiteral("ABCD"), QStringLiteral("0012"), QStringLiteral("ffff"),
                               QStringLiteral("1234"), QString()};
    ASSERT_EQ(commands->ChangeDeviceRadioCodes(data), 0);

    const QByteArray after = UnitNow();
    const char expected[] = {char(0xAB), char(0xCD), 0x00, 0x12, char(0xFF), char(0xFF), 0x12, 0x34, 0x00, 0x00};
    EXPECT_EQ(after.mid(Addr::DoorClosedRadioCode, 10), QByteArray(expected, 10));
    EXPECT_EQ(after.left(4), before.left(4)) << "a version-2 unit has no copies";
    EXPECT_EQ(after.mid(14, 210), before.mid(14, 210));
    EXPECT_EQ(after.mid(225), before.mid(225));
    EXPECT_TRUE(KelmData::CheckImageCrc(ToImage(after)));
    EXPECT_EQ(FromImage(data.ReadBackImage).left(14), after.left(14));
    EXPECT_EQ(reporter.LastStatus(), TextTable::Text(11403));
    EXPECT_EQ(reporter.shown[0].kind, DeviceReporter::Kind::Information);
    EXPECT_EQ(Commands('W'), QList<QByteArray>({"W00000E" + after.left(14).toHex().toUpper(),
                                                "W00E001" + after.mid(224, 1).toHex().toUpper()}));
    EXPECT_EQ(TestSupport::ReadAll(commands->LastBackup()), before);
}

TEST_F(ChangeRadioCodesSteps, AVersion1UnitGetsTheDoorCodesCopiedTo0To3)
{
    QByteArray before = UnitMemory();
    SetVersion(before, 1, 5);
    SealCrc(before);
    StartUnit(before);
    reporter.dialogNewCodes = {QStringLiteral("ABCD"), QStringLiteral("0102"), QStringLiteral("1A2C"),
                               QStringLiteral("1A2D"), QStringLiteral("1A2E")};
    ASSERT_EQ(commands->ChangeDeviceRadioCodes(data), 0);
    const char expected[] = {char(0xAB), char(0xCD), 0x01, 0x02, char(0xAB), char(0xCD), 0x01, 0x02};
    EXPECT_EQ(UnitNow().left(8), QByteArray(expected, 8));
    EXPECT_TRUE(KelmData::CheckImageCrc(ToImage(UnitNow())));
}

TEST_F(ChangeRadioCodesSteps, ARefusedCodeBlockKeepsTheCrcFromBeingSent)
{
    StartUnit(UnitMemory(), {{SimFault::RefuseWrites}});
    reporter.dialogNewCodes = {QStringLiteral("ABCD"), QStringLiteral("0012"), QStringLiteral("1111"),
                               QStringLiteral("1234"), QStringLiteral("4321")};
    EXPECT_EQ(commands->ChangeDeviceRadioCodes(data), 11407);
    const QList<QByteArray> writes = Commands('W');
    // Three tries of the one block, and none of 224.
    EXPECT_EQ(writes.size(), 3);
    EXPECT_TRUE(std::all_of(writes.begin(), writes.end(), [](const QByteArray &w) { return w.startsWith("W00000E"); }));
}

} // namespace
