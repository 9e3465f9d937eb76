#include "TextTable.h"

#include <gtest/gtest.h>

// The loader, the unescaping and the language switch, through the tables built
// into the program.

namespace {

class TextTableTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(TextTable::SetLanguage(QStringLiteral("sv"))); }
    void TearDown() override { TextTable::SetLanguage(QStringLiteral("sv")); }
};

struct TextCase
{
    int number;
    const char *text; // UTF-8
};

TEST_F(TextTableTest, SwedishTextsComeOutExactly)
{
    const TextCase cases[] = {
        {10001, "KELM konfigurering"},
        {10103, "&Öppna..."},
        {10105, "Spara so&m..."},
        {11418, "Fel vid konvertering av data!\nVärdet i fältet '%s' är ogiltigt.\nAdress %s innehåller %s.\n"
                "Var vänlig kontakta VORN Electronics"},
        {11405, "Strömbrytaren på KELM måste nu slås av och sedan på för att starta klockan.\n\n"
                "OBS! Utan batterier stannar klockan i KELM."},
        {11441, "Kunde ej hitta ej filen '%s'."},
        {11501, "Varning:\nAutomatisk återsällning av larm är ej implementerad i program v1.x!\n"
                "Programvaran i KELM måste uppgraderas för att kunna använda automatisk återställning."},
        {11517, " dddd 'i' mmmm 'kl' hh:nn:ss"},
        {11601, "(Avläst från KELM)"},
        {11701, "\\VORN\\KELM Programmer (SE)\\"},
        {65479, "&Avbryt"},
        {65486, "Avbryt"},
    };
    for (const auto &c : cases) {
        EXPECT_TRUE(TextTable::Has(c.number)) << c.number;
        EXPECT_EQ(TextTable::Text(c.number), QString::fromUtf8(c.text)) << c.number;
    }
}

TEST_F(TextTableTest, UnknownNumberShowsTheNumber)
{
    EXPECT_FALSE(TextTable::Has(11433));
    EXPECT_EQ(TextTable::Text(11433), QStringLiteral("<11433>"));
}

TEST_F(TextTableTest, SwitchesToEnglishAndRefusesAnUnknownLanguage)
{
    EXPECT_EQ(TextTable::Language(), QStringLiteral("sv"));
    ASSERT_TRUE(TextTable::SetLanguage(QStringLiteral("en")));
    EXPECT_EQ(TextTable::Language(), QStringLiteral("en"));
    EXPECT_EQ(TextTable::Text(10001), QStringLiteral("KELM configuration"));
    EXPECT_EQ(TextTable::Text(11701), QStringLiteral("\\VORN\\KELM Programmer (SE)\\"));

    EXPECT_FALSE(TextTable::SetLanguage(QStringLiteral("xx")));
    EXPECT_FALSE(TextTable::SetLanguage(QString()));
    EXPECT_EQ(TextTable::Language(), QStringLiteral("en"));
    EXPECT_EQ(TextTable::Text(10001), QStringLiteral("KELM configuration"));

    ASSERT_TRUE(TextTable::SetLanguage(QStringLiteral("sv")));
    EXPECT_EQ(TextTable::Text(10001), QStringLiteral("KELM konfigurering"));
}

TEST_F(TextTableTest, FormatFillsPlaceholdersInOrder)
{
    EXPECT_EQ(TextTable::Format(11418, {QStringLiteral("Larmtyp"), QStringLiteral("34"), QStringLiteral("250")}),
              QString::fromUtf8("Fel vid konvertering av data!\nVärdet i fältet 'Larmtyp' är ogiltigt.\n"
                                "Adress 34 innehåller 250.\nVar vänlig kontakta VORN Electronics"));
    EXPECT_EQ(TextTable::Format(11419, {QStringLiteral("Inpassagetid (s)"), QStringLiteral("abc")}),
              QString::fromUtf8("Ogiltigt parametervärde!\nFältet 'Inpassagetid (s)' innehåller 'abc'.\n"
                                "Kontrollera fältet och försök sedan igen."));
    // The adjustment of the daylight-saving description is a %d.
    EXPECT_EQ(TextTable::Format(11511, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("60")}),
              QString::fromUtf8("Sommartidsomställning:\nStart datum/tid: A\nStopp datum/tid: B\nJustering: 60 minuter."));
}

TEST(TextTableFormat, PatternEdgeCases)
{
    const struct
    {
        const char *pattern;
        QStringList args;
        const char *expected;
    } cases[] = {
        {"%s - %s", {"(Standard)", "KELM konfigurering"}, "(Standard) - KELM konfigurering"},
        {"%s%s", {"/data", "\\VORN\\"}, "/data\\VORN\\"},
        {"a %s b %s", {"1"}, "a 1 b "},         // a missing argument leaves nothing
        {"a %s", {"1", "2"}, "a 1"},            // a surplus argument is ignored
        {"%s", {"%s"}, "%s"},                   // an argument is not scanned again
        {"100%% %d", {"7"}, "100% 7"},
        {"50% off %", {}, "50% off %"},         // a lone % stays
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextTable::FormatPattern(QString::fromUtf8(c.pattern), c.args), QString::fromUtf8(c.expected)) << c.pattern;
}

TEST(TextTableParse, ReadsEscapesAndSkipsWhatIsNotAText)
{
    const QByteArray contents = "\xEF\xBB\xBF"
                                "10001\tfirst\r\n"
                                "# 10002\tcomment\n"
                                "\n"
                                "no tab here\n"
                                "abc\tnot a number\n"
                                "\t11111\n"
                                "10003\tline\\nbreak and back\\\\slash\\\\n\n"
                                "10004\t trailing blank \n"
                                "10005\t\xC3\xA5\xC3\xA4\xC3\xB6\n";
    const auto texts = TextTable::Parse(contents);
    EXPECT_EQ(texts.size(), 4);
    EXPECT_EQ(texts.value(10001), QStringLiteral("first"));
    EXPECT_FALSE(texts.contains(10002));
    EXPECT_EQ(texts.value(10003), QStringLiteral("line\nbreak and back\\slash\\n"));
    EXPECT_EQ(texts.value(10004), QStringLiteral(" trailing blank "));
    EXPECT_EQ(texts.value(10005), QString::fromUtf8("åäö"));
}

} // namespace
