#include "WindowFixture.h"

#include "TextTable.h"

#include <QDateTime>

#include <functional>
#include <vector>

namespace {

// Every byte of a fresh target image differs from what the window packs, so
// a byte left alone is told apart from one written.
ImageBuffer Pattern()
{
    ImageBuffer image{};
    for (int i = 0; i < ImageSize; ++i)
        image[i] = quint8(0xA5 ^ i);
    return image;
}

class ControlsToImageTest : public WindowFixture
{
protected:
    int Pack(ImageBuffer &image, int origin = OriginSaved)
    {
        fieldName = QStringLiteral("untouched");
        fieldContent = QStringLiteral("untouched");
        return window->ControlsToImage(image, origin, fieldContent, fieldName);
    }

    void SetClock(const QDateTime &now)
    {
        window->CurrentDateTime = [now] { return now; };
    }

    QString fieldName;
    QString fieldContent;
};

TEST_F(ControlsToImageTest, PacksBackEveryFieldItShowed)
{
    const ImageBuffer shown = ValidImage(
        {{18, 1}, {21, 1}, {4, 0x12}, {5, 0xAB}, {8, 0x00}, {9, 0x0A}, {10, 0x00}, {11, 0x01}, {12, 0xAB},
         {13, 0x0C}, {34, 2}, {35, 9}, {36, 1}, {37, 5}, {49, 30}, {48, 240}, {50, 0x0E}, {51, 0x10}, {52, 1},
         {53, 3}, {54, 0x01}, {55, 0x2C}, {80, 255}, {81, 7}, {0, 200}, {64, 12}, {65, 240}, {66, 33}, {96, 1},
         {91, 1}, {92, 7}, {93, 30}, {94, 22}, {95, 5}, {105, 2}});
    Show(shown);

    ImageBuffer packed = Pattern();
    EXPECT_EQ(Pack(packed), -1) << fieldName.toStdString();
    for (const FieldInfo &field : Fields::All()) {
        if (field.stepOut == 0 || field.encoding == FieldEncoding::ClockStamp)
            continue;
        for (int i = 0; i < field.width; ++i)
            EXPECT_EQ(packed[field.address + i], shown[field.address + i]) << field.name << " byte " << i;
    }
    // What no step writes stays as it was.
    for (int address : {1, 2, 3, 14, 17, 22, 33, 38, 47, 56, 63, 67, 79, 82, 90, 97, 104, 106, 175, 176, 224,
                        231, 237, 240, 248, 255})
        EXPECT_EQ(packed[address], Pattern()[address]) << address;
    EXPECT_TRUE(prompt.shown.isEmpty());
}

struct OutCase
{
    const char *name;
    std::function<void(TfrmMain &)> change;
    int result;
    QString fieldName;
    QString fieldContent;
    std::vector<std::pair<int, int>> written; // address, byte; -1 for left as it was
};

QLineEdit *EditOf(TfrmMain &window, const char *name)
{
    return window.findChild<QLineEdit *>(QLatin1String(name));
}

// Puts a text into a field as a paste would, past the key filter.
std::function<void(TfrmMain &)> Paste(const char *control, const char *text)
{
    return [control, text](TfrmMain &window) { EditOf(window, control)->setText(QString::fromUtf8(text)); };
}

class ControlsToImageCases : public ControlsToImageTest, public ::testing::WithParamInterface<OutCase>
{
};

const std::vector<OutCase> &OutCases()
{
    static const std::vector<OutCase> cases = {
        {"empty in-passage delay", Paste("edtInPassageDelay", ""), 49, TextTable::Text(11122), "", {{49, -1}}},
        {"pasted letters", Paste("edtInPassageDelay", "abc"), 49, TextTable::Text(11122), "abc", {{49, -1}}},
        {"negative count", Paste("edtNumberOfShortTransmissions", "-5"), 80, TextTable::Text(11202), "-5",
         {{80, -1}}},
        {"reset time at its limit", Paste("edtAutoResetTime", "3600"), -1, "untouched", "untouched",
         {{50, 0x0E}, {51, 0x10}}},
        {"equipment type 255", Paste("edtEquipmentType", "255"), -1, "untouched", "untouched", {{0, 255}}},
        {"battery 6,0", Paste("edtBatteryLowLimit", "6,0"), -1, "untouched", "untouched", {{66, 60}}},
        {"battery 6", Paste("edtBatteryLowLimit", "6"), -1, "untouched", "untouched", {{66, 60}}},
        {"battery 0,3", Paste("edtBatteryLowLimit", "0,3"), -1, "untouched", "untouched", {{66, 3}}},
        {"battery 3,3", Paste("edtBatteryLowLimit", "3,3"), -1, "untouched", "untouched", {{66, 33}}},
        {"battery 5,8", Paste("edtBatteryLowLimit", "5,8"), -1, "untouched", "untouched", {{66, 58}}},
        {"battery 0", Paste("edtBatteryLowLimit", "0"), -1, "untouched", "untouched", {{66, 0}}},
        {"battery separator alone", Paste("edtBatteryLowLimit", ","), 66, TextTable::Text(11164), " ", {{66, -1}}},
        {"battery empty", Paste("edtBatteryLowLimit", ""), 66, TextTable::Text(11164), " ", {{66, -1}}},
        {"battery with a period", Paste("edtBatteryLowLimit", "1.5"), 66, TextTable::Text(11164), " ", {{66, -1}}},
        {"battery negative", Paste("edtBatteryLowLimit", "-1"), 66, TextTable::Text(11164), "-1", {{66, -1}}},
        {"empty schedule hour packs as 0", Paste("edtActivationHour", ""), -1, "untouched", "untouched", {{92, 0}}},
        {"pasted schedule minute packs as 0", Paste("edtActivationMinute", "x"), -1, "untouched", "untouched",
         {{93, 0}}},
        {"no alarm type selected",
         [](TfrmMain &window) {
             window.findChild<QComboBox *>(QStringLiteral("cbbxDoorOpenedAlarmType"))->setCurrentIndex(-1);
         },
         35, TextTable::Text(11103) + " : " + TextTable::Text(11108), " ", {{35, -1}}},
        {"last failure in step order wins",
         [](TfrmMain &window) {
             EditOf(window, "edtEquipmentType")->clear();       // step 21, address 0
             EditOf(window, "edtBatteryAlarmPeriod")->clear();  // step 24, address 65
             EditOf(window, "edtInPassageDelay")->clear();      // step 13, address 49
         },
         65, TextTable::Text(11163), "", {{0, -1}, {49, -1}, {65, -1}, {48, 0}}},
    };
    return cases;
}

TEST_P(ControlsToImageCases, ChecksEachFieldOnTheWayOut)
{
    const OutCase &c = GetParam();
    Show(ValidImage());
    c.change(*window);
    prompt.Clear();
    ImageBuffer image = Pattern();
    EXPECT_EQ(Pack(image), c.result);
    EXPECT_EQ(fieldName, c.fieldName);
    EXPECT_EQ(fieldContent, c.fieldContent);
    for (const auto &[address, value] : c.written)
        EXPECT_EQ(image[address], value < 0 ? Pattern()[address] : value) << "address " << address;
    EXPECT_TRUE(prompt.shown.isEmpty()) << "packing shows no message of its own";
}

INSTANTIATE_TEST_SUITE_P(Controls, ControlsToImageCases, ::testing::ValuesIn(OutCases()),
                         [](const auto &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(ControlsToImageTest, UnknownAlarmTypeStaysUnpackedUntilARowIsChosen)
{
    QString name;
    ASSERT_EQ(window->ImageToControls(ValidImage({{34, 200}}), OriginOpened, name), 34);
    ImageBuffer image = ValidImage({{34, 200}});
    EXPECT_EQ(Pack(image), 34);
    EXPECT_EQ(fieldContent, QStringLiteral(" "));
    EXPECT_EQ(image[34], 200);

    List("cbbxDoorClosedAlarmType")->setCurrentIndex(3);
    EXPECT_EQ(Pack(image), -1);
    EXPECT_EQ(image[34], 3);
}

TEST_F(ControlsToImageTest, SavingLeavesClockAndSummerTimeBytesAlone)
{
    Show(ValidImage({{91, 1}, {105, 1}}));
    SetClock(QDateTime(QDate(2025, 6, 15), QTime(10, 20, 30)));
    ImageBuffer image = Pattern();
    EXPECT_EQ(Pack(image, OriginSaved), -1);
    for (int address = 106; address <= 175; ++address)
        EXPECT_EQ(image[address], Pattern()[address]) << address;
    for (int address = 231; address <= 237; ++address)
        EXPECT_EQ(image[address], Pattern()[address]) << address;
    EXPECT_EQ(image[105], 1);
}

struct StampCase
{
    const char *name;
    QDateTime now;
    int year;
    int dayOfYear; // counted from 0
    int hour, minute, second;
    int firstStartDay; // day index of the last Sunday of March in the stamped year
};

TEST_F(ControlsToImageTest, WritingStampsTheClockAndSummerTimeOfTheStampedYear)
{
    const StampCase cases[] = {
        {"ordinary day", QDateTime(QDate(2025, 6, 15), QTime(10, 20, 30)), 25, 165, 10, 20, 33, 88},
        {"across midnight on 31 December", QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)), 26, 0, 0, 0, 1, 87},
        {"last day of a leap year", QDateTime(QDate(2024, 12, 31), QTime(12, 0, 0)), 24, 365, 12, 0, 3, 90},
    };
    Show(ValidImage({{91, 1}, {105, 1}}));
    for (const StampCase &c : cases) {
        SetClock(c.now);
        ImageBuffer image = Pattern();
        EXPECT_EQ(Pack(image, OriginWrittenToUnit), -1) << c.name;
        EXPECT_EQ(image[231], c.year) << c.name;
        EXPECT_EQ(image[232] * 256 + image[233], c.dayOfYear) << c.name;
        EXPECT_EQ(image[234], c.hour) << c.name;
        EXPECT_EQ(image[235], c.minute) << c.name;
        EXPECT_EQ(image[236], c.second) << c.name;
        EXPECT_EQ(image[237], 1) << c.name;
        EXPECT_EQ(image[111], c.year) << c.name;
        EXPECT_EQ(image[112] * 256 + image[113], c.firstStartDay) << c.name;
        EXPECT_EQ(image[106], 60) << c.name;
        EXPECT_EQ(image[107], 2) << c.name;
        EXPECT_EQ(image[109], 3) << c.name;
        EXPECT_EQ(image[105], 1) << c.name;
    }
}

TEST_F(ControlsToImageTest, WritingFillsClockAndSummerTimeEvenWhenAFieldFails)
{
    Show(ValidImage({{91, 1}, {105, 1}}));
    Edit("edtOutPassageDelay")->clear();
    SetClock(QDateTime(QDate(2025, 6, 15), QTime(10, 20, 30)));
    ImageBuffer image = Pattern();
    EXPECT_EQ(Pack(image, OriginWrittenToUnit), 48);
    EXPECT_EQ(image[231], 25);
    EXPECT_EQ(image[237], 1);
    EXPECT_EQ(image[111], 25);
    EXPECT_EQ(image[112] * 256 + image[113], 88);
    EXPECT_EQ(image[144] * 256 + image[145], 298);
}

TEST_F(ControlsToImageTest, WritingWithoutARegionFillsAsNoneThenFails)
{
    Show(ValidImage({{91, 1}, {105, 1}}));
    List("cbbxDaylightSavingTimeRegion")->setCurrentIndex(-1);
    SetClock(QDateTime(QDate(2025, 6, 15), QTime(10, 20, 30)));
    ImageBuffer image = Pattern();
    EXPECT_EQ(Pack(image, OriginWrittenToUnit), 105);
    EXPECT_EQ(fieldName, TextTable::Text(11215));
    EXPECT_EQ(fieldContent, QStringLiteral(" "));
    for (int address = 106; address <= 110; ++address)
        EXPECT_EQ(image[address], 0) << address;
    for (int address = 112; address <= 175; ++address)
        EXPECT_EQ(image[address], 0) << address;
    EXPECT_EQ(image[111], 25);
    EXPECT_EQ(image[105], Pattern()[105]);
    EXPECT_EQ(image[231], 25);
}

} // namespace
