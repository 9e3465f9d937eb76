#include "Fields.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FieldValues::ParseResult;

const QLocale Swedish(QLocale::Swedish, QLocale::Sweden);
const QLocale English(QLocale::English, QLocale::UnitedStates);

TEST(BatteryLimit, ShownWithOneDecimal)
{
    const std::vector<std::tuple<quint8, QString, QString>> cases = {
        {33, "3,3", "3.3"}, {0, "0,0", "0.0"}, {60, "6,0", "6.0"}, {5, "0,5", "0.5"}, {255, "25,5", "25.5"},
    };
    for (const auto &[tenths, swedish, english] : cases) {
        EXPECT_EQ(FieldValues::BatteryLimitToText(tenths, Swedish), swedish);
        EXPECT_EQ(FieldValues::BatteryLimitToText(tenths, English), english);
    }
}

TEST(BatteryLimit, ReadUnderSwedishSettings)
{
    struct Case
    {
        QString text;
        ParseResult result;
        quint8 tenths;
    };
    const std::vector<Case> cases = {
        {"0,3", ParseResult::Ok, 3},
        {"3,3", ParseResult::Ok, 33},
        {"5,8", ParseResult::Ok, 58},
        {"6,0", ParseResult::Ok, 60},
        {"6", ParseResult::Ok, 60},
        {"0", ParseResult::Ok, 0},
        {"3,39", ParseResult::Ok, 33},
        {"0,05", ParseResult::Ok, 0},
        {",5", ParseResult::Ok, 5},
        {"3,", ParseResult::Ok, 30},
        {"06,0", ParseResult::Ok, 60},
        {"5,99999", ParseResult::Ok, 59},
        {" 2,5 ", ParseResult::Ok, 25},
        {"6,05", ParseResult::OutOfRange, 0},
        {"6,00001", ParseResult::OutOfRange, 0},
        {"6,1", ParseResult::OutOfRange, 0},
        {"7", ParseResult::OutOfRange, 0},
        {"60", ParseResult::OutOfRange, 0},
        {"99999999999999999999", ParseResult::OutOfRange, 0},
        {"-1", ParseResult::OutOfRange, 0},
        {"-0,1", ParseResult::OutOfRange, 0},
        {"", ParseResult::NotANumber, 0},
        {",", ParseResult::NotANumber, 0},
        {"abc", ParseResult::NotANumber, 0},
        {"3.3", ParseResult::NotANumber, 0},
        {"3,3,3", ParseResult::NotANumber, 0},
        {"-", ParseResult::NotANumber, 0},
        {"1 000", ParseResult::NotANumber, 0},
    };
    for (const Case &c : cases) {
        quint8 tenths = 0xEE;
        EXPECT_EQ(FieldValues::TextToBatteryLimit(c.text, Swedish, tenths), c.result) << c.text.toStdString();
        EXPECT_EQ(tenths, c.result == ParseResult::Ok ? c.tenths : 0xEE) << c.text.toStdString();
    }
}

// Every value typed with one decimal gives exactly its tenths; a division by
// 0.1 in floating point would not (0.3 would give 2).
TEST(BatteryLimit, EveryOneDecimalValueIsExact)
{
    for (const QLocale &locale : {Swedish, English}) {
        for (int tenths = 0; tenths <= 99; ++tenths) {
            const QString text = QString::number(tenths / 10) + locale.decimalPoint() + QString::number(tenths % 10);
            quint8 value = 0xEE;
            const ParseResult result = FieldValues::TextToBatteryLimit(text, locale, value);
            if (tenths <= 60) {
                EXPECT_EQ(result, ParseResult::Ok) << text.toStdString();
                EXPECT_EQ(value, tenths) << text.toStdString();
            } else {
                EXPECT_EQ(result, ParseResult::OutOfRange) << text.toStdString();
            }
        }
    }
    quint8 value = 0;
    EXPECT_EQ(FieldValues::TextToBatteryLimit("3,3", English, value), ParseResult::NotANumber);
}

TEST(WholeNumber, ReadWithLimit)
{
    struct Case
    {
        QString text;
        int limit;
        ParseResult result;
        int value;
    };
    const std::vector<Case> cases = {
        {"240", 240, ParseResult::Ok, 240},
        {"0", 240, ParseResult::Ok, 0},
        {"007", 240, ParseResult::Ok, 7},
        {"3600", 3600, ParseResult::Ok, 3600},
        {"241", 240, ParseResult::OutOfRange, 0},
        {"3601", 3600, ParseResult::OutOfRange, 0},
        {"-1", 240, ParseResult::OutOfRange, 0},
        {"", 240, ParseResult::NotANumber, 0},
        {"abc", 240, ParseResult::NotANumber, 0},
        {"12a", 240, ParseResult::NotANumber, 0},
        {"1,5", 240, ParseResult::NotANumber, 0},
        {"-", 240, ParseResult::NotANumber, 0},
        {"99999999999", 255, ParseResult::NotANumber, 0},
    };
    for (const Case &c : cases) {
        int value = -7;
        EXPECT_EQ(FieldValues::TextToWholeNumber(c.text, c.limit, value), c.result) << c.text.toStdString();
        EXPECT_EQ(value, c.result == ParseResult::Ok ? c.value : -7) << c.text.toStdString();
    }
}

TEST(WholeNumber, ScheduleFieldsCountNonNumbersAsZero)
{
    const std::vector<std::pair<QString, quint8>> cases = {
        {"", 0}, {"x", 0}, {"07", 7}, {"23", 23}, {"59", 59}, {"300", 44}, {"99999999999", 0},
    };
    for (const auto &[text, byte] : cases)
        EXPECT_EQ(FieldValues::ScheduleTextToByte(text), byte) << text.toStdString();
    EXPECT_EQ(FieldValues::WholeNumberOrZero("1a"), 0);
    EXPECT_EQ(FieldValues::WholeNumberOrZero("250"), 250);
    EXPECT_EQ(FieldValues::ScheduleByteToText(5), "05");
    EXPECT_EQ(FieldValues::ScheduleByteToText(0), "00");
    EXPECT_EQ(FieldValues::ScheduleByteToText(23), "23");
}

} // namespace
