#include "CodeList.h"
#include "KelmIni.h"
#include "ValuesTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<qint32> codesOf(const CodeList &codes)
{
    std::vector<qint32> result;
    for (int row = 0; row < codes.Count(); ++row)
        result.push_back(codes.CodeOfRow(row));
    return result;
}

struct FillCase
{
    const char *name;
    QByteArray file;
    int limit;
    QStringList rows;
    std::vector<qint32> codes;
};

TEST(FillList, ReadsRowsByKeyNumberUntilTheEnd)
{
    QByteArray many = "[AlarmType]\n";
    for (int n = 0; n < 250; ++n)
        many += QByteArray::number(n) + "=Typ " + QByteArray::number(n) + "\n";
    many += "250=<END>\n";
    QStringList first200;
    std::vector<qint32> codes200;
    for (int n = 0; n < 200; ++n) {
        first200 << QStringLiteral("Typ %1").arg(n);
        codes200.push_back(n);
    }

    const FillCase cases[] = {
        {"gaps, <EMPTY> and <END>",
         "[AlarmType]\n0=Inbrott\n2=Brand\n3=<EMPTY>\n4=---\n5=<END>\n6=After end\n", 200,
         {"Inbrott", "Brand", "---"}, {0, 2, 4}},
        {"keys in any order and letter case of the section", "[alarmtype]\n4=Fyra\n1=Ett\n", 200,
         {"Ett", "Fyra"}, {1, 4}},
        {"no <END>: stops after the highest key, later text sections untouched",
         "[AlarmType]\n1=Ett\n7=Sju\n[Other]\n8=Andra\n", 200, {"Ett", "Sju"}, {1, 7}},
        {"keys that are not plain decimal numbers give no rows",
         "[AlarmType]\n01=Noll-ett\n1TZ=5,1,3\nx=y\n2=Två\n", 200, {"Två"}, {2}},
        {"the first of two equal keys counts", "[AlarmType]\n1=Först\n1=Sedan\n", 200, {"Först"}, {1}},
        {"limit cuts the list", many, ListLimit::AlarmType, first200, codes200},
        {"door-mat limit", "[AlarmType]\n0=a\n1=b\n2=c\n3=d\n4=e\n5=f\n6=g\n7=h\n8=i\n9=j\n10=k\n11=l\n",
         ListLimit::DoorMatSensorType, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"},
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"text around the markers is an ordinary row", "[AlarmType]\n0= <END>x\n1=<end>\n2=<END>\n", 200,
         {"<END>x", "<end>"}, {0, 1}},
    };
    for (const FillCase &c : cases) {
        IniFixture f(c.file);
        KelmIni ini;
        ini.SetPath(f.path);
        RecordingList list;
        CodeList codes(c.limit);
        EXPECT_EQ(ini.FillList(list, "AlarmType", codes), c.rows.size()) << c.name;
        EXPECT_EQ(list.items, c.rows) << c.name;
        EXPECT_EQ(list.selected, 0) << c.name;
        EXPECT_EQ(codesOf(codes), c.codes) << c.name;
        EXPECT_EQ(codes.CodeOfRow(codes.Count()), -1) << c.name;
    }
}

TEST(FillList, EmptyOrMissingListsSelectNothing)
{
    const QByteArray files[] = {
        "[AlarmType]\n0=<END>\n1=Efter\n",
        "[AlarmType]\n0=<EMPTY>\n",
        "[AlarmType]\n",
        "[Setup]\nConfigDirectory=\n",
    };
    for (const QByteArray &file : files) {
        IniFixture f(file);
        KelmIni ini;
        ini.SetPath(f.path);
        RecordingList list;
        CodeList codes(ListLimit::AlarmType);
        codes.Append(3);
        EXPECT_EQ(ini.FillList(list, "AlarmType", codes), 0) << file.constData();
        EXPECT_TRUE(list.items.isEmpty()) << file.constData();
        EXPECT_EQ(list.selected, -1) << file.constData();
        EXPECT_EQ(codes.Count(), 0) << file.constData();
        EXPECT_EQ(codes.RowOfCode(3), -1) << file.constData();
    }
}

TEST(CodeListLookup, RowOfCodeFindsTheFirstRowOrNone)
{
    IniFixture f("[AlarmType]\n0=Noll\n2=Två\n4=Fyra\n5=<END>\n");
    KelmIni ini;
    ini.SetPath(f.path);
    RecordingList list;
    CodeList codes(ListLimit::AlarmType);
    ini.FillList(list, "AlarmType", codes);
    const std::pair<quint8, int> cases[] = {{0, 0}, {2, 1}, {4, 2}, {1, -1}, {3, -1}, {6, -1}, {231, -1}};
    for (const auto &[code, row] : cases)
        EXPECT_EQ(codes.RowOfCode(code), row) << int(code);
    EXPECT_EQ(codes.CodeOfRow(1), 2);
    EXPECT_EQ(codes.CodeOfRow(-1), -1);
}

TEST(CodeListLookup, CodesAboveAByteNeverMatch)
{
    // 999 - 768 = 231 and 300 - 256 = 44: a byte must not reach those rows.
    IniFixture f("[AlarmType]\n300=Hög\n999=Terminatorns nummer\n");
    KelmIni ini;
    ini.SetPath(f.path);
    RecordingList list;
    CodeList codes(ListLimit::AlarmType);
    EXPECT_EQ(ini.FillList(list, "AlarmType", codes), 2);
    EXPECT_EQ(codes.RowOfCode(44), -1);
    EXPECT_EQ(codes.RowOfCode(231), -1);
    EXPECT_EQ(codes.CodeOfRow(0), 300);
}

TEST(CodeListLookup, ListsFromTheSameSectionAreSeparate)
{
    IniFixture f("[AlarmType]\n0=Noll\n3=Tre\n");
    KelmIni ini;
    ini.SetPath(f.path);
    RecordingList a, b;
    CodeList first(ListLimit::AlarmType), second(ListLimit::AlarmType);
    ini.FillList(a, "AlarmType", first);
    ini.FillList(b, "AlarmType", second);
    EXPECT_EQ(codesOf(first), codesOf(second));
    second.Clear();
    EXPECT_EQ(first.RowOfCode(3), 1);
    EXPECT_EQ(second.RowOfCode(3), -1);
}

} // namespace
