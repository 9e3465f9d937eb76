#include "Fields.h"
#include "KelmData.h"
#include "TextTable.h"

#include <gtest/gtest.h>

#include <QSet>

#include <tuple>
#include <vector>

namespace {

TEST(FieldTable, LayoutIsConsistent)
{
    std::vector<int> owner(ImageSize, -1);
    QSet<QString> controls;
    QSet<QString> names;
    for (const FieldInfo &field : Fields::All()) {
        const std::string name = field.name;
        EXPECT_FALSE(names.contains(field.name)) << name;
        names.insert(field.name);
        ASSERT_GE(field.address, 0) << name;
        ASSERT_GE(field.width, 1) << name;
        ASSERT_LE(field.address + field.width, ImageSize) << name;
        for (int a = field.address; a < field.address + field.width; ++a) {
            EXPECT_EQ(owner[a], -1) << name << " overlaps at " << a;
            owner[a] = field.address;
        }
        for (const char *control : {field.control, field.secondControl}) {
            if (!control)
                continue;
            EXPECT_FALSE(controls.contains(control)) << control;
            controls.insert(control);
            EXPECT_EQ(Fields::ByControl(control), &field) << control;
        }
        EXPECT_EQ(Fields::AtAddress(field.address), &field) << name;
        EXPECT_EQ(field.list != ValueList::None, field.encoding == FieldEncoding::ListCode) << name;
        if (field.stepIn > 0 || field.stepOut > 0)
            EXPECT_NE(field.control, nullptr) << name;
        if (field.checked && field.encoding != FieldEncoding::ListCode)
            EXPECT_GT(field.limit, 0) << name;
        if (field.rangeMessage != 0)
            EXPECT_NE(field.resetText, nullptr) << name;
        for (int text : {field.labelText, field.columnText, field.rangeMessage}) {
            if (text != 0)
                EXPECT_TRUE(TextTable::Has(text)) << name << " " << text;
        }
    }
}

TEST(FieldTable, AddressesMatchTheLayoutConstants)
{
    const std::vector<std::pair<int, const char *>> cases = {
        {Addr::EquipmentType, "EquipmentType"},
        {Addr::DoorClosedRadioCode, "DoorClosedRadioCode"},
        {Addr::TechnicalRadioCode, "TechnicalRadioCode"},
        {Addr::DoorClosedSendAlarm, "DoorClosedSendAlarm"},
        {Addr::InputOpenedSendAlarm, "InputOpenedSendAlarm"},
        {Addr::DoorClosedAlarmType, "DoorClosedAlarmType"},
        {Addr::InputOpenedAlarmType, "InputOpenedAlarmType"},
        {Addr::OutPassageDelay, "OutPassageDelay"},
        {Addr::InPassageDelay, "InPassageDelay"},
        {Addr::AutoResetTime, "AutoResetTime"},
        {Addr::PeekFunctionEnabled, "PeekFunctionEnabled"},
        {Addr::DoorMatSensorType, "DoorMatSensorType"},
        {Addr::MaxTimeOutsideDoor, "MaxTimeOutsideDoor"},
        {Addr::BatteryLowLimit, "BatteryLowLimit"},
        {Addr::NumberOfLongTransmissions, "NumberOfLongTransmissions"},
        {Addr::TimeScheduleEnabled, "TimeScheduleEnabled"},
        {Addr::InactivationMinute, "InactivationMinute"},
        {Addr::IgnorePowerSwitch, "IgnorePowerSwitch"},
        {Addr::DaylightSavingRegion, "DaylightSavingRegion"},
        {Addr::Crc, "Crc"},
        {Addr::ClockYear, "ClockStamp"},
        {Addr::ProductionCentury, "ProductionDate"},
        {Addr::RadioCalibration, "RadioCalibration"},
        {Addr::ProductType, "ProductType"},
        {Addr::ProgramVersionMajor, "ProgramVersion"},
        {Addr::SerialNumber, "SerialNumber"},
    };
    for (const auto &[address, name] : cases) {
        const FieldInfo *field = Fields::AtAddress(address);
        ASSERT_NE(field, nullptr) << name;
        EXPECT_STREQ(field->name, name);
    }
}

// Each transfer runs its steps 1..N without gaps, and the two orders differ
// where the window's tables do.
TEST(FieldTable, StepOrders)
{
    const auto stepNames = [](const std::vector<const FieldInfo *> &fields, int FieldInfo::*step) {
        std::vector<std::pair<int, std::string>> result;
        for (const FieldInfo *field : fields)
            result.emplace_back(field->*step, field->name);
        return result;
    };
    const auto in = stepNames(Fields::StepsIn(), &FieldInfo::stepIn);
    const auto out = stepNames(Fields::StepsOut(), &FieldInfo::stepOut);
    for (const auto &[steps, last] : {std::pair{in, 34}, std::pair{out, 30}}) {
        int expected = 1;
        for (const auto &[step, name] : steps) {
            EXPECT_TRUE(step == expected || step == expected - 1) << name << " at step " << step;
            expected = step + 1;
        }
        EXPECT_EQ(expected - 1, last);
    }
    const std::vector<std::pair<int, std::string>> inHead = {
        {1, "DoorClosedSendAlarm"}, {2, "DoorOpenedSendAlarm"}, {3, "DoorClosedRadioCode"},
        {4, "DoorOpenedRadioCode"}, {5, "DoorClosedAlarmType"}, {6, "DoorOpenedAlarmType"},
    };
    EXPECT_EQ(std::vector(in.begin(), in.begin() + 6), inHead);
    EXPECT_EQ(in[12].second, "InPassageDelay");
    EXPECT_EQ(in[13].second, "OutPassageDelay");
    const std::vector<std::pair<int, std::string>> inTail = {
        {31, "TimeScheduleEnabled"}, {32, "ActivationHour"}, {32, "ActivationMinute"},
        {32, "InactivationHour"}, {32, "InactivationMinute"}, {33, "ClockStamp"}, {34, "DaylightSavingRegion"},
    };
    EXPECT_EQ(std::vector(in.end() - 7, in.end()), inTail);
    const std::vector<std::pair<int, std::string>> outTail = {
        {26, "IgnorePowerSwitch"}, {27, "TimeScheduleEnabled"}, {28, "ActivationHour"}, {28, "ActivationMinute"},
        {28, "InactivationHour"}, {28, "InactivationMinute"}, {29, "ClockStamp"}, {30, "DaylightSavingRegion"},
    };
    EXPECT_EQ(std::vector(out.end() - 8, out.end()), outTail);
    for (const auto &[step, name] : out)
        EXPECT_TRUE(name != "ProgramVersion" && name != "SerialNumber" && name != "ProductionDate"
                    && name != "RadioCalibration")
            << name << " is shown only and never packed";
}

TEST(FieldTable, FieldNames)
{
    const std::vector<std::pair<int, QString>> cases = {
        {Addr::DoorClosedAlarmType, TextTable::Text(11102) + " : " + TextTable::Text(11108)},
        {Addr::DoorOpenedAlarmType, TextTable::Text(11103) + " : " + TextTable::Text(11108)},
        {Addr::InputClosedAlarmType, TextTable::Text(11104) + " : " + TextTable::Text(11108)},
        {Addr::InputOpenedAlarmType, TextTable::Text(11105) + " : " + TextTable::Text(11108)},
        {Addr::InPassageDelay, TextTable::Text(11122)},
        {Addr::OutPassageDelay, TextTable::Text(11123)},
        {Addr::AutoResetTime, TextTable::Text(11124)},
        {Addr::DoorMatSensorType, TextTable::Text(11143)},
        {Addr::MaxTimeOutsideDoor, TextTable::Text(11144)},
        {Addr::RadioTestAlarmPeriod, TextTable::Text(11162)},
        {Addr::BatteryAlarmPeriod, TextTable::Text(11163)},
        {Addr::BatteryLowLimit, TextTable::Text(11164)},
        {Addr::NumberOfShortTransmissions, TextTable::Text(11202)},
        {Addr::NumberOfLongTransmissions, TextTable::Text(11203)},
        {Addr::EquipmentType, TextTable::Text(11204)},
        {Addr::DaylightSavingRegion, TextTable::Text(11215)},
        {Addr::Crc, QString()},
    };
    for (const auto &[address, name] : cases)
        EXPECT_EQ(Fields::FieldName(*Fields::AtAddress(address)), name) << address;
    EXPECT_EQ(Fields::FieldName(*Fields::AtAddress(Addr::DoorClosedAlarmType)), "Larm när dörr stängs : Larmtyp");
}

TEST(FieldTable, LimitsOfTheCheckedFields)
{
    const std::vector<std::tuple<int, int, const char *>> cases = {
        {Addr::InPassageDelay, 240, "240"},       {Addr::OutPassageDelay, 240, "240"},
        {Addr::AutoResetTime, 3600, "3600"},      {Addr::MaxTimeOutsideDoor, 3600, "3600"},
        {Addr::RadioTestAlarmPeriod, 240, "240"}, {Addr::BatteryAlarmPeriod, 240, "240"},
        {Addr::BatteryLowLimit, 60, "6"},         {Addr::NumberOfShortTransmissions, 255, "255"},
        {Addr::NumberOfLongTransmissions, 255, "255"}, {Addr::EquipmentType, 255, "5"},
    };
    for (const auto &[address, limit, reset] : cases) {
        const FieldInfo &field = *Fields::AtAddress(address);
        EXPECT_TRUE(field.checked) << field.name;
        EXPECT_EQ(field.limit, limit) << field.name;
        EXPECT_STREQ(field.resetText, reset) << field.name;
    }
    for (int address : {Addr::ActivationHour, Addr::ActivationMinute, Addr::DoorClosedRadioCode, Addr::DoorClosedSendAlarm})
        EXPECT_FALSE(Fields::AtAddress(address)->checked) << address;
}

} // namespace

namespace {

TEST(FieldTable, NumbersAndDisplayTexts)
{
    ImageBuffer image{};
    image[0] = 200;
    image[4] = 0x00;
    image[5] = 0x0A;
    image[50] = 0x0E;
    image[51] = 0x10;
    image[66] = 33;
    image[92] = 7;
    KelmData::WriteWord(image, 112, 88);
    KelmData::WriteWord(image, 142, 300);
    image[231] = 25;
    image[233] = 88;
    image[234] = 14;
    image[235] = 5;
    image[236] = 9;
    image[240] = 0x20;
    image[241] = 0x07;
    image[242] = 0x02;
    image[243] = 0x30; // no 30 February
    image[249] = 0x02;
    image[250] = 0x07;
    image[251] = 0x03;
    image[253] = 0x01;
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    const std::vector<std::pair<int, QString>> cases = {
        {Addr::EquipmentType, "200"},
        {Addr::DoorClosedRadioCode, "000A"},
        {Addr::DoorOpenedRadioCode, ""},
        {Addr::AutoResetTime, "3600"},
        {Addr::BatteryLowLimit, "3,3"},
        {Addr::ActivationHour, "07"},
        {Addr::ClockYear, swedish.toString(QDate(2025, 3, 30), QLocale::ShortFormat) + " 14:05"},
        {Addr::ProductionCentury, "---"},
        {Addr::ProgramVersionMajor, "02.07-03"},
        {Addr::SerialNumber, "65536"},
        {Addr::DstStartDays, "88 0 0 0 0 0 0 0 0 0 0 0 0 0 0 300"},
    };
    for (const auto &[address, text] : cases)
        EXPECT_EQ(Fields::DisplayText(image, *Fields::AtAddress(address), swedish), text) << address;

    image[243] = 0x28;
    EXPECT_EQ(Fields::DisplayText(image, *Fields::AtAddress(Addr::ProductionCentury), swedish),
              swedish.toString(QDate(2007, 2, 28), QLocale::ShortFormat));
    image[234] = 24;
    EXPECT_EQ(Fields::DisplayText(image, *Fields::AtAddress(Addr::ClockYear), swedish), "---");

    const FieldInfo &serial = *Fields::AtAddress(Addr::SerialNumber);
    Fields::WriteNumber(image, serial, 0x123456);
    EXPECT_EQ(image[253], 0x12);
    EXPECT_EQ(image[254], 0x34);
    EXPECT_EQ(image[255], 0x56);
    EXPECT_EQ(Fields::ReadNumber(image, serial), 0x123456u);
    const FieldInfo &maxTime = *Fields::AtAddress(Addr::MaxTimeOutsideDoor);
    Fields::WriteNumber(image, maxTime, 3600);
    EXPECT_EQ(image[54], 0x0E);
    EXPECT_EQ(image[55], 0x10);
    EXPECT_EQ(image[56], 0x00);
}

} // namespace
