#include "DeviceTestSupport.h"

#include "TextTable.h"

#include <QElapsedTimer>

namespace {

struct ReadCase
{
    const char *name;
    bool noQev;
    QList<SimFault> faults;
    int productType;
    bool wrongCrc;
    int failingAddress; // the field the window cannot show, -1 for none
    int result;
    QList<int> numbers;
    bool taken; // the image reached EditedImage and the origin became 3
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReadFromDevice : public DeviceFixture, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(ReadFromDevice, ReportsAndTakesTheImageAsTheFailureTableSays)
{
    const ReadCase &c = GetParam();
    QByteArray memory = UnitMemory();
    memory[Addr::ProductType] = char(c.productType);
    if (c.productType == KelmProductType)
        SealCrc(memory);
    if (c.wrongCrc)
        memory[Addr::Crc] = char(memory[Addr::Crc] ^ 0x5A);
    if (c.noQev)
        NoQev();
    else
        StartUnit(memory, c.faults);
    reporter.failingAddress = c.failingAddress;
    reporter.failingField = QStringLiteral("Larm när dörr stängs : Larmtyp");

    // What New left in the window.
    data.ConfigOrigin = OriginNew;
    data.EditedImage.fill(0xA5);
    const ImageBuffer before = data.EditedImage;

    EXPECT_EQ(commands->ReadFromDevice(data), c.result);
    EXPECT_EQ(reporter.Numbers(), c.numbers);
    EXPECT_FALSE(link.IsOpen()) << "every way out closes the link";
    EXPECT_FALSE(reporter.busy);
    EXPECT_FALSE(reporter.progressShowing);
    EXPECT_TRUE(Commands('W').isEmpty());

    if (c.taken) {
        EXPECT_EQ(data.ConfigOrigin, OriginReadFromUnit);
        EXPECT_EQ(FromImage(data.EditedImage), memory);
        EXPECT_TRUE(std::equal(data.EditedImage.begin() + ImageSize, data.EditedImage.end(),
                               before.begin() + ImageSize))
            << "only the 256 bytes of the image are taken";
        EXPECT_EQ(FromImage(reporter.shownImage), memory);
        EXPECT_TRUE(reporter.events.contains(QStringLiteral("title")));
    } else {
        EXPECT_EQ(data.ConfigOrigin, OriginNew);
        EXPECT_EQ(data.EditedImage, before);
        EXPECT_FALSE(reporter.events.contains(QStringLiteral("show")));
        EXPECT_FALSE(reporter.events.contains(QStringLiteral("title")));
    }
}

class ReadFromDeviceSteps : public DeviceFixture
{
};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadFromDevice,
    ::testing::Values(
        ReadCase{"NoQev", true, {}, 7, false, -1, 11409, {11409}, false},
        ReadCase{"NoAnswerToPresence", false, {{SimFault::SilentPresence}}, 7, false, -1, 11408, {11408}, false},
        ReadCase{"FirstReadFails", false, {{SimFault::SilentBlock, 240}}, 7, false, -1, 11408, {11408}, false},
        ReadCase{"WholeReadFails", false, {{SimFault::SilentBlock, 0}}, 7, false, -1, 11306, {11306}, false},
        ReadCase{"ProductType6", false, {}, 6, false, -1, 11431, {11431}, false},
        ReadCase{"WrongCrc", false, {}, 7, true, -1, 11434, {11434}, true},
        ReadCase{"FieldCannotBeShown", false, {}, 7, false, 34, 11418, {11418}, true},
        ReadCase{"WrongCrcAndField", false, {}, 7, true, 34, 11418, {11434, 11418}, true},
        ReadCase{"Success", false, {}, 7, false, -1, 0, {11305}, true}),
    [](const ::testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

TEST_F(ReadFromDeviceSteps, ReportedFailuresPutTheirTextInTheStatusBarFirst)
{
    StartUnit(UnitMemory(), {{SimFault::SilentBlock, 0}});
    commands->ReadFromDevice(data);
    ASSERT_EQ(reporter.statusTexts.size(), 2);
    EXPECT_EQ(reporter.statusTexts[0], TextTable::Text(11304));
    EXPECT_EQ(reporter.statusTexts[1], TextTable::Text(11306));
    EXPECT_EQ(reporter.events.lastIndexOf(QStringLiteral("status")) + 1, reporter.events.indexOf(QStringLiteral("message")));
    EXPECT_EQ(reporter.shown[0].kind, DeviceReporter::Kind::Error);
}

TEST_F(ReadFromDeviceSteps, ProductTypeAndCrcErrorsEmptyTheStatusBar)
{
    for (const bool productError : {true, false}) {
        QByteArray memory = UnitMemory();
        if (productError)
            memory[Addr::ProductType] = 6;
        else
            memory[Addr::Crc] = char(memory[Addr::Crc] + 1);
        reporter = RecordingReporter();
        StartUnit(memory);
        commands->ReadFromDevice(data);
        ASSERT_EQ(reporter.shown.size(), 1);
        EXPECT_EQ(reporter.LastStatus(), QString()) << productError;
    }
}

TEST_F(ReadFromDeviceSteps, FieldErrorNamesFieldAddressAndCodeInDecimal)
{
    QByteArray memory = UnitMemory();
    memory[Addr::DoorClosedAlarmType] = char(200);
    SealCrc(memory);
    StartUnit(memory);
    reporter.failingAddress = Addr::DoorClosedAlarmType;
    reporter.failingField = QStringLiteral("Larm när dörr stängs : Larmtyp");
    commands->ReadFromDevice(data);
    ASSERT_EQ(reporter.shown.size(), 1);
    EXPECT_EQ(reporter.shown[0].args,
              QStringList({QStringLiteral("Larm när dörr stängs : Larmtyp"), QStringLiteral("34"), QStringLiteral("200")}));
}

TEST_F(ReadFromDeviceSteps, SuccessShowsTheHourglassOnlyWhileTransferringAndTellsTheProgress)
{
    StartUnit(UnitMemory());
    commands->ReadFromDevice(data);
    // hourglass, status, repaint, transfer, cursor back, then the image.
    const QStringList expectedStart = {QStringLiteral("busy"), QStringLiteral("status"), QStringLiteral("repaint"),
                                       QStringLiteral("idle"), QStringLiteral("show")};
    EXPECT_EQ(reporter.events.mid(0, 5), expectedStart);
    EXPECT_EQ(reporter.progressTotalSeen, 17) << "240..255, then 16 blocks of the whole image";
    EXPECT_EQ(reporter.progressLastDone, 17);
    EXPECT_EQ(reporter.LastStatus(), TextTable::Text(11305));
    EXPECT_EQ(reporter.shown[0].kind, DeviceReporter::Kind::Information);
    // The factory area first, then the whole image.
    const QList<QByteArray> reads = Commands('R');
    ASSERT_EQ(reads.size(), 17);
    EXPECT_EQ(reads[0], "R00F010");
    EXPECT_EQ(reads[1], "R000010");
}

TEST_F(ReadFromDeviceSteps, ASilentUnitCostsOnlyThePresenceTimeout)
{
    SimOptions options;
    options.unit = false; // the QEV answers, the unit behind it does not
    StartUnit(options);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(commands->ReadFromDevice(data), 11408);
    EXPECT_LT(timer.elapsed(), 1500);
}

} // namespace
