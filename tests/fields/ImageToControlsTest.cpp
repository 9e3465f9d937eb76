#include "WindowFixture.h"

#include "TextTable.h"

#include <QLocale>

#include <vector>

namespace {

// What one control shows: its text, its check state or its selected row.
struct Shown
{
    const char *control;
    QString text;
};

struct InCase
{
    const char *name;
    std::vector<std::pair<int, int>> bytes;
    int result;
    QString fieldName;
    QList<int> messages;
    std::vector<Shown> shown;
};

QString Text(int number)
{
    return TextTable::Text(number);
}

QString Describe(QWidget *control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *check = qobject_cast<QCheckBox *>(control))
        return check->isChecked() ? QStringLiteral("checked") : QStringLiteral("clear");
    if (auto *list = qobject_cast<QComboBox *>(control))
        return QStringLiteral("row %1").arg(list->currentIndex());
    return QStringLiteral("?");
}

const std::vector<InCase> &InCases()
{
    static const std::vector<InCase> cases = {
        {"every field shown",
         {{18, 1}, {19, 0}, {20, 2}, {21, 1}, {4, 0x12}, {5, 0xAB}, {8, 0x00}, {9, 0x0A}, {10, 0x00}, {11, 0x01},
          {12, 0xAB}, {13, 0x0C}, {34, 2}, {35, 9}, {36, 0}, {37, 5}, {49, 30}, {48, 240}, {50, 0x0E}, {51, 0x10},
          {52, 1}, {53, 3}, {54, 0x01}, {55, 0x2C}, {80, 255}, {81, 0}, {0, 200}, {64, 0}, {65, 240}, {66, 33},
          {96, 1}, {249, 2}, {250, 7}, {251, 3}, {253, 1}, {254, 0}, {255, 0}, {240, 0x20}, {241, 0x07},
          {242, 0x02}, {243, 0x28}, {247, 128}, {91, 1}, {92, 7}, {93, 30}, {94, 22}, {95, 5}, {105, 2}},
         -1, QString(), {},
         {{"cbDoorClosedSendAlarm", "checked"}, {"cbDoorOpenedSendAlarm", "clear"},
          {"cbInputClosedSendAlarm", "clear"}, {"cbInputOpenedSendAlarm", "checked"},
          {"edtDoorClosedRadioCode", "12AB"}, {"edtDoorOpenedRadioCode", ""}, {"edtInputClosedRadioCode", "000A"},
          {"edtInputOpenedRadioCode", "0001"}, {"edtTechnicalRadioCode", "AB0C"},
          {"cbbxDoorClosedAlarmType", "row 2"}, {"cbbxDoorOpenedAlarmType", "row 9"},
          {"cbbxInputClosedAlarmType", "row 0"}, {"cbbxInputOpenedAlarmType", "row 5"},
          {"edtInPassageDelay", "30"}, {"edtOutPassageDelay", "240"}, {"edtAutoResetTime", "3600"},
          {"cbEnablePeekFunction", "checked"}, {"cbbxDoorMatSensorType", "row 3"}, {"edtMaxTimeOutsideDoor", "300"},
          {"edtNumberOfShortTransmissions", "255"}, {"edtNumberOfLongTransmissions", "0"},
          {"edtEquipmentType", "200"}, {"edtRadioTestAlarmPeriod", "0"}, {"edtBatteryAlarmPeriod", "240"},
          {"edtBatteryLowLimit", "3,3"}, {"cbIgnorePowerSwitch", "checked"}, {"edtProgramVersion", "02.07-03"},
          {"edtSerialNumber", "65536"}, {"edtProductionDate", "2007-02-28"}, {"edtRadioCalibration", "128"},
          {"cbEnableTimeSchedule", "checked"}, {"edtActivationHour", "07"}, {"edtActivationMinute", "30"},
          {"edtInactivationHour", "22"}, {"edtInactivationMinute", "05"}, {"edtDate", "---"}, {"edtTime", "---"},
          {"cbbxDaylightSavingTimeRegion", "row 2"}}},
        {"alarm type code in no row", {{34, 200}}, 34, Text(11102) + " : " + Text(11108), {},
         {{"cbbxDoorClosedAlarmType", "row -1"}}},
        {"later failure wins", {{49, 250}, {65, 241}}, 65, Text(11163), {11420, 11425},
         {{"edtInPassageDelay", "240"}, {"edtBatteryAlarmPeriod", "240"}}},
        {"reset time above 3600", {{50, 0x13}, {51, 0x88}}, 50, Text(11124), {11422}, {{"edtAutoResetTime", "3600"}}},
        {"out-passage 241", {{48, 241}}, 48, Text(11123), {11421}, {{"edtOutPassageDelay", "240"}}},
        {"time outside door 3601", {{54, 0x0E}, {55, 0x11}}, 54, Text(11144), {11423},
         {{"edtMaxTimeOutsideDoor", "3600"}}},
        {"radio test period 241", {{64, 241}}, 64, Text(11162), {11424}, {{"edtRadioTestAlarmPeriod", "240"}}},
        {"battery limit 6.1", {{66, 61}}, 66, Text(11164), {11426}, {{"edtBatteryLowLimit", "6"}}},
        {"battery limit 6.0", {{66, 60}}, -1, QString(), {}, {{"edtBatteryLowLimit", "6,0"}}},
        {"battery limit 25.5", {{66, 255}}, 66, Text(11164), {11426}, {{"edtBatteryLowLimit", "6"}}},
        {"door-mat code in no row", {{53, 99}}, 53, Text(11143), {}, {{"cbbxDoorMatSensorType", "row -1"}}},
        {"region code in no row", {{105, 77}}, 105, Text(11215), {}, {{"cbbxDaylightSavingTimeRegion", "row -1"}}},
        {"counts and equipment type take any byte", {{80, 255}, {81, 255}, {0, 255}}, -1, QString(), {},
         {{"edtNumberOfShortTransmissions", "255"}, {"edtNumberOfLongTransmissions", "255"},
          {"edtEquipmentType", "255"}}},
        {"schedule hour 25 is emptied, no failure", {{92, 25}}, -1, QString(), {11442},
         {{"edtActivationHour", ""}}},
        {"schedule minute 60 is emptied, no failure", {{95, 60}}, -1, QString(), {11443},
         {{"edtInactivationMinute", ""}}},
        {"flags other than 1 read as off", {{18, 255}, {52, 2}, {91, 7}}, -1, QString(), {},
         {{"cbDoorClosedSendAlarm", "clear"}, {"cbEnablePeekFunction", "clear"}, {"cbEnableTimeSchedule", "clear"}}},
        {"production date that does not exist", {{240, 0x20}, {241, 0x07}, {242, 0x02}, {243, 0x30}}, -1, QString(),
         {}, {{"edtProductionDate", "---"}}},
        {"serial number at its largest", {{253, 0xFF}, {254, 0xFF}, {255, 0xFF}}, -1, QString(), {},
         {{"edtSerialNumber", "16777215"}}},
    };
    return cases;
}

class ImageToControlsCases : public WindowFixture, public ::testing::WithParamInterface<InCase>
{
};

TEST_P(ImageToControlsCases, ShowsFieldsAndReportsLastFailure)
{
    const InCase &c = GetParam();
    ImageBuffer image = ValidImage();
    for (const auto &[address, value] : c.bytes)
        image[address] = quint8(value);
    const ImageBuffer before = image;

    QString fieldName = QStringLiteral("untouched");
    EXPECT_EQ(window->ImageToControls(image, OriginNew, fieldName), c.result);
    if (c.result >= 0)
        EXPECT_EQ(fieldName, c.fieldName);
    EXPECT_EQ(prompt.Numbers(), c.messages);
    for (const auto &shown : prompt.shown)
        EXPECT_EQ(shown.kind, UserPrompt::Kind::Error);
    for (const Shown &s : c.shown)
        EXPECT_EQ(Describe(window->findChild<QWidget *>(QLatin1String(s.control))), s.text) << s.control;
    EXPECT_EQ(image, before) << "showing an image never changes it";
}

INSTANTIATE_TEST_SUITE_P(Images, ImageToControlsCases, ::testing::ValuesIn(InCases()),
                         [](const auto &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

using ImageToControlsTest = WindowFixture;

TEST_F(ImageToControlsTest, FlagsRunTheirClickHandlers)
{
    Show(ValidImage({{52, 1}, {91, 1}}));
    for (const char *name : {"cbbxDoorMatSensorType", "edtMaxTimeOutsideDoor", "edtActivationHour",
                             "edtActivationMinute", "edtInactivationHour", "edtInactivationMinute",
                             "cbbxDaylightSavingTimeRegion"})
        EXPECT_TRUE(window->findChild<QWidget *>(QLatin1String(name))->isEnabled()) << name;
    EXPECT_FALSE(Edit("edtDate")->isEnabled());
    EXPECT_FALSE(Edit("edtTime")->isEnabled());

    Show(ValidImage({{52, 0}, {91, 0}}));
    for (const char *name : {"cbbxDoorMatSensorType", "edtMaxTimeOutsideDoor", "edtActivationHour",
                             "edtInactivationMinute", "cbbxDaylightSavingTimeRegion"})
        EXPECT_FALSE(window->findChild<QWidget *>(QLatin1String(name))->isEnabled()) << name;
}

TEST_F(ImageToControlsTest, ClockFieldsFollowTheOrigin)
{
    // 30 March 2025 is day 88 counted from 0; the clock reads 14:05:09.
    const ImageBuffer stamped =
        ValidImage({{91, 1}, {231, 25}, {232, 0}, {233, 88}, {234, 14}, {235, 5}, {236, 9}});
    struct
    {
        int origin;
        QString date;
        QString time;
    } const cases[] = {
        {OriginNew, "---", "---"},
        {OriginOpened, "---", "---"},
        {OriginSaved, "kept", "kept"},
        {OriginReadFromUnit, "2025-03-30", "14:05"},
        {OriginWrittenToUnit, "kept", "kept"},
    };
    for (const auto &c : cases) {
        Edit("edtDate")->setText(QStringLiteral("kept"));
        Edit("edtTime")->setText(QStringLiteral("kept"));
        Show(stamped, c.origin);
        EXPECT_EQ(Edit("edtDate")->text(), c.date) << c.origin;
        EXPECT_EQ(Edit("edtTime")->text(), c.time) << c.origin;
    }
}

TEST_F(ImageToControlsTest, UnitClockShowsOnlyValidStampsOfAUsedSchedule)
{
    struct
    {
        const char *name;
        std::vector<std::pair<int, int>> bytes;
        QString date;
        QString time;
    } const cases[] = {
        {"schedule off", {{91, 0}, {231, 25}, {233, 88}, {234, 14}, {235, 5}}, "---", "---"},
        {"last day of a leap year", {{91, 1}, {231, 24}, {232, 1}, {233, 109}, {234, 23}, {235, 59}, {236, 59}},
         "2024-12-31", "23:59"},
        {"day beyond the year", {{91, 1}, {231, 25}, {232, 1}, {233, 109}}, "---", "---"},
        {"hour 24", {{91, 1}, {231, 25}, {234, 24}}, "---", "---"},
        {"minute 60", {{91, 1}, {231, 25}, {235, 60}}, "---", "---"},
        {"second 60", {{91, 1}, {231, 25}, {236, 60}}, "---", "---"},
        {"first day, midnight", {{91, 1}, {231, 0}}, "2000-01-01", "00:00"},
    };
    for (const auto &c : cases) {
        ImageBuffer image = ValidImage();
        for (const auto &[address, value] : c.bytes)
            image[address] = quint8(value);
        window->ShowUnitClock(image);
        EXPECT_EQ(Edit("edtDate")->text(), c.date) << c.name;
        EXPECT_EQ(Edit("edtTime")->text(), c.time) << c.name;
    }
}

TEST_F(ImageToControlsTest, ProductionDateWidensForLongDateFormats)
{
    const int narrow = Edit("edtSerialNumber")->width();
    const ImageBuffer date = ValidImage({{240, 0x20}, {241, 0x07}, {242, 0x02}, {243, 0x28}});

    Show(ValidImage({{240, 0x20}, {241, 0x07}, {242, 0x02}, {243, 0x30}}));
    EXPECT_EQ(Edit("edtProductionDate")->width(), narrow);

    // Hungarian writes "2007. 02. 28.", longer than ten characters.
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Show(date);
    const QString longText = Edit("edtProductionDate")->text();
    const int wide = Edit("edtProductionDate")->width();
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_GT(longText.size(), 10) << longText.toStdString();
    EXPECT_EQ(wide, 2 * narrow);

    Show(date);
    EXPECT_EQ(Edit("edtProductionDate")->text(), QStringLiteral("2007-02-28"));
    EXPECT_EQ(Edit("edtProductionDate")->width(), narrow);
}

TEST_F(ImageToControlsTest, BatteryLimitUsesTheLocaleSeparator)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    Show(ValidImage({{66, 33}}));
    const QString english = Edit("edtBatteryLowLimit")->text();
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(english, QStringLiteral("3.3"));
}

} // namespace
