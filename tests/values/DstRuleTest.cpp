#include "DstRule.h"
#include "KelmIni.h"
#include "TextTable.h"
#include "ValuesTestSupport.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

const DstRule Europe{5, 1, 3, 2, 0, 5, 1, 10, 3, 0, 60};

TEST(RuleDayOfYear, FindsTheOccurrenceOfTheWeekday)
{
    struct Case { int year, occurrence, weekday, month, expected; const char *what; };
    const Case cases[] = {
        {2025, 5, 1, 3, 89, "last Sunday of March 2025 is 30 March"},
        {2025, 5, 1, 2, 54, "February 2025 has four Sundays: the 23rd"},
        {2024, 5, 1, 3, 91, "leap year: 31 March 2024"},
        {2025, 5, 1, 10, 299, "26 October 2025"},
        {2025, 1, 7, 3, 60, "the first is the wanted weekday: 1 March 2025, a Saturday"},
        {2025, 2, 1, 3, 68, "second Sunday of March 2025, 9 March"},
        {2025, 1, 1, 11, 306, "first Sunday of November 2025, 2 November"},
        {2024, 5, 5, 2, 60, "29 February 2024 is the fifth Thursday"},
        {2025, 4, 2, 12, 356, "fourth Monday of December 2025, 22 December"},
        {2025, 9, 1, 3, 61, "other occurrence values keep the first"},
        {2025, 1, 0, 3, 0, "weekday out of range"},
        {2025, 1, 8, 3, 0, "weekday out of range"},
        {2025, 1, 1, 13, 0, "month out of range"},
        {2025, 1, 1, 0, 0, "month out of range"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RuleDayOfYear(c.year, c.occurrence, c.weekday, c.month), c.expected) << c.what;
}

TEST(ParseDstRule, AcceptsElevenIntegersInTheirRanges)
{
    struct Case { const char *text; bool ok; const char *what; };
    const Case cases[] = {
        {"5,1,3,2,0,5,1,10,3,0,60", true, "plain"},
        {" 5, +1, 3,2,0,5,1,10,3,0,60 trailing text", true, "blanks and signs before numbers, text after"},
        {"5,1,3,2,0,5,1,10,3,0,60,99", true, "a twelfth number is ignored"},
        {"5,1,3,2,0,5,1,10,3,0", false, "ten numbers"},
        {"5 ,1,3,2,0,5,1,10,3,0,60", false, "blank before a comma"},
        {"5;1;3;2;0;5;1;10;3;0;60", false, "other separators"},
        {"", false, "empty"},
        {"a,1,3,2,0,5,1,10,3,0,60", false, "not a number"},
        {"5,1,3,2,0,5,1,10,3,0,60                             ", false, "longer than 51 characters"},
        {"5,1,3,2,0,5,1,10,3,0,60                            ", true, "exactly 51 characters"},
        {"6,1,3,2,0,5,1,10,3,0,60", false, "start occurrence 6"},
        {"0,1,3,2,0,5,1,10,3,0,60", false, "start occurrence 0"},
        {"5,1,3,2,0,-1,1,10,3,0,60", false, "stop occurrence -1"},
        {"5,0,3,2,0,5,1,10,3,0,60", false, "start weekday 0"},
        {"5,1,3,2,0,5,8,10,3,0,60", false, "stop weekday 8"},
        {"5,1,13,2,0,5,1,10,3,0,60", false, "start month 13"},
        {"5,1,3,2,0,5,1,0,3,0,60", false, "stop month 0"},
        {"5,1,3,24,0,5,1,10,3,0,60", false, "start hour 24"},
        {"5,1,3,2,60,5,1,10,3,0,60", false, "start minute 60"},
        {"5,1,3,2,0,5,1,10,-1,0,60", false, "stop hour -1"},
        {"5,1,3,2,0,5,1,10,3,60,60", false, "stop minute 60"},
        {"5,1,3,2,0,5,1,10,3,0,256", false, "adjustment 256"},
        {"5,1,3,2,0,5,1,10,3,0,-60", false, "adjustment -60"},
        {"5,1,3,2,0,5,1,10,3,0,99999999999", false, "number beyond 32 bits"},
        {"1,7,12,23,59,1,7,1,0,0,255", true, "upper and lower limits"},
    };
    for (const Case &c : cases) {
        DstRule rule{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        EXPECT_EQ(ParseDstRule(QString::fromLatin1(c.text), rule), c.ok) << c.what;
        if (!c.ok) {
            EXPECT_EQ(rule, DstRule()) << c.what;
        }
    }
    DstRule rule;
    ASSERT_TRUE(ParseDstRule("5,1,3,2,0,5,1,10,3,0,60", rule));
    EXPECT_EQ(rule, Europe);
}

TEST(ReadDstRule, ReadsTheRegionsTzKey)
{
    IniFixture f("[DaylightSaving]\n0=Ingen\n1=Europa\n1tz=5,1,3,2,0,5,1,10,3,0,60\n12TZ=2,1,3,2,0,1,1,11,2,0,60\n"
                 "3=Tom\n3TZ=\n");
    KelmIni ini;
    ini.SetPath(f.path);
    DstRule rule;
    EXPECT_TRUE(ReadDstRule(ini, 1, rule));
    EXPECT_EQ(rule, Europe);
    EXPECT_TRUE(ReadDstRule(ini, 12, rule));
    EXPECT_EQ(rule.StopMonth, 11);
    EXPECT_FALSE(ReadDstRule(ini, 3, rule));
    EXPECT_FALSE(ReadDstRule(ini, 4, rule));
    EXPECT_EQ(rule, DstRule());
}

// A Values.ini with the regions the block tests pick by row.
class DstBlockTest : public ::testing::Test
{
protected:
    DstBlockTest()
        : file("[DaylightSaving]\n"
               "0=Ingen sommartid\n"
               "1=Europa\n1TZ=5,1,3,2,0,5,1,10,3,0,60\n"
               "2=Trasig\n2TZ=5,1,3\n"
               "3=Utanför\n3TZ=6,1,3,2,0,5,1,10,3,0,60\n"
               "4=Timme\n4TZ=5,1,3,24,0,5,1,10,3,0,60\n"
               "5=Saknas\n")
    {
        ini.SetPath(file.path);
        RecordingList list;
        ini.FillList(list, "DaylightSaving", regions);
        image.fill(0xAA);
    }

    IniFixture file;
    KelmIni ini;
    CodeList regions{ListLimit::DaylightSaving};
    ImageBuffer image{};
};

TEST_F(DstBlockTest, EuropeIn2025)
{
    FillDstBlock(image, ini, regions, 1, 2025);
    EXPECT_EQ(image[112], 0x00);
    EXPECT_EQ(image[113], 0x58);
    EXPECT_EQ(image[144], 0x01);
    EXPECT_EQ(image[145], 0x2A);
    EXPECT_EQ(image[106], 60);
    EXPECT_EQ(image[107], 2);
    EXPECT_EQ(image[108], 0);
    EXPECT_EQ(image[109], 3);
    EXPECT_EQ(image[110], 0);
    EXPECT_EQ(image[111], 25);
    // Each year by itself: 2028 is a leap year (26 March, 29 October).
    EXPECT_EQ(image[112 + 2 * 3] * 256 + image[113 + 2 * 3], 85);
    EXPECT_EQ(image[144 + 2 * 3] * 256 + image[145 + 2 * 3], 302);
    // 2040, the last year: 25 March, 28 October (leap year).
    EXPECT_EQ(image[142] * 256 + image[143], 84);
    EXPECT_EQ(image[174] * 256 + image[175], 301);
    EXPECT_EQ(image[105], 0xAA);
    EXPECT_EQ(image[176], 0xAA);
}

TEST_F(DstBlockTest, NoSummerTimeClearsTheBlock)
{
    for (const int row : {0, -1}) {
        image.fill(0xAA);
        FillDstBlock(image, ini, regions, row, 2025);
        for (int a = 106; a <= 175; ++a) {
            if (a != 111) {
                EXPECT_EQ(image[a], 0) << "row " << row << " address " << a;
            }
        }
        EXPECT_EQ(image[111], 25) << row;
        EXPECT_EQ(image[105], 0xAA);
    }
}

TEST_F(DstBlockTest, RuleThatCannotBeUsedKeepsTheTablesAndClearsTheTimes)
{
    // Rows 2..5: too few numbers, occurrence 6, hour 24, no rule entry.
    for (const int row : {2, 3, 4, 5}) {
        image.fill(0xAA);
        FillDstBlock(image, ini, regions, row, 2030);
        for (int a = 106; a <= 110; ++a)
            EXPECT_EQ(image[a], 0) << "row " << row << " address " << a;
        EXPECT_EQ(image[111], 30) << row;
        for (int a = 112; a <= 175; ++a)
            EXPECT_EQ(image[a], 0xAA) << "row " << row << " address " << a;
    }
}

TEST_F(DstBlockTest, YearByteWrapsAsOneByte)
{
    FillDstBlock(image, ini, regions, 0, 2300);
    EXPECT_EQ(image[111], (2300 - 2000) & 0xFF);
}

TEST_F(DstBlockTest, DescribesTheRuleInSwedish)
{
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    EXPECT_EQ(DescribeDstRule(ini, regions, 1, 2025, swedish),
              QString::fromUtf8("Sommartidsomställning:\n"
                                "Start datum/tid: Sista söndag i mars kl 02:00:00\n"
                                "Stopp datum/tid: Sista söndag i oktober kl 03:00:00\n"
                                "Justering: 60 minuter."));
    for (const int row : {0, 2, 3, 4, 5})
        EXPECT_EQ(DescribeDstRule(ini, regions, row, 2025, swedish), TextTable::Text(11518)) << row;
    EXPECT_EQ(DescribeDstRule(ini, regions, -1, 2025, swedish), QString());
}

TEST(DescribeDstRule, UsesTheOrdinalWordsAndTheLocalesNames)
{
    IniFixture f("[DaylightSaving]\n7=USA\n7TZ=2,1,3,2,0,1,1,11,2,30,45\n");
    KelmIni ini;
    ini.SetPath(f.path);
    RecordingList list;
    CodeList regions(ListLimit::DaylightSaving);
    ini.FillList(list, "DaylightSaving", regions);
    EXPECT_EQ(DescribeDstRule(ini, regions, 0, 2025, QLocale(QLocale::Swedish, QLocale::Sweden)),
              QString::fromUtf8("Sommartidsomställning:\n"
                                "Start datum/tid: Andra söndag i mars kl 02:00:00\n"
                                "Stopp datum/tid: Första söndag i november kl 02:30:00\n"
                                "Justering: 45 minuter."));
    const QString english = DescribeDstRule(ini, regions, 0, 2025, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(english.contains(QString::fromUtf8("Andra Sunday i March kl 02:00:00"))) << english.toStdString();
}

} // namespace
