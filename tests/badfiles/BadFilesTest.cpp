// Damaged input of every kind: each gives its message or an empty list,
// never a crash, and never leaves the image or the file half-changed.
#include "CodeList.h"
#include "ConfigFile.h"
#include "DstRule.h"
#include "Fields.h"
#include "KelmData.h"
#include "KelmIni.h"
#include "TestSupport.h"
#include "TextTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray Garbage(int length, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(length, '\0');
    for (char &byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

// A literal with its embedded zero bytes.
template<size_t N>
QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

ImageBuffer Filled(quint8 value)
{
    ImageBuffer buffer;
    buffer.fill(value);
    return buffer;
}

class RecordingList : public ListControl
{
public:
    QStringList rows;
    int selected = -1;
    void Clear() override { rows.clear(); selected = -1; }
    void Append(const QString &text) override { rows << text; }
    void SelectIndex(int index) override { selected = index; }
};

class BadFiles : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString Path(const QString &name) const { return dir.filePath(name); }
    QString Make(const QString &name, const QByteArray &bytes) const
    {
        EXPECT_TRUE(TestSupport::WriteAll(Path(name), bytes));
        return Path(name);
    }
};

// ---- Configuration files ---------------------------------------------------

TEST_F(BadFiles, DamagedConfigurationFilesAreRefusedWithTheirText)
{
    using Loader = std::function<int(const QString &, ImageBuffer &)>;
    const Loader New = ConfigFile::LoadDefault;
    const Loader Open = ConfigFile::LoadOpened;
    const Loader Dropped = ConfigFile::LoadDropped;
    const Loader CommandLine = ConfigFile::LoadCommandLine;

    QByteArray valid(256, '\0');
    valid[Addr::ProductType] = char(KelmProductType);
    const QByteArray megabyte = valid + Garbage(1 << 20, 1);
    QDir(dir.path()).mkpath(QStringLiteral("Default.bin"));
    QDir(dir.path()).mkpath(QStringLiteral("folder.Kelm"));
    QDir(dir.path()).mkpath(QStringLiteral("folder2048.bin"));

    struct Case
    {
        const char *what;
        Loader load;
        QString path;
        int text;
    };
    const Case cases[] = {
        {"New: the default file is a directory", New, Path("Default.bin"), 11411},
        {"New: empty default file", New, Make("empty.bin", {}), 11411},
        {"New: one megabyte default file gives its first 256 bytes", New, Make("big.bin", megabyte), 0},
        {"New: missing folder", New, Path("no/such/Default.bin"), 11411},
        {"Open: a directory", Open, Path("folder.Kelm"), 11439},
        {"Open: truncated to one byte", Open, Make("one.Kelm", valid.left(1)), 11439},
        {"Open: 2049 bytes", Open, Make("long.Kelm", valid + QByteArray(1793, '\xFF')), 11439},
        {"Open: one megabyte", Open, Make("big.Kelm", megabyte), 11439},
        {"Open: missing folder", Open, Path("no/such/file.Kelm"), 11441},
        {"Open: empty name", Open, QString(), 11441},
        {"Dropped: a directory", Dropped, Path("folder.Kelm"), 11437},
        {"Dropped: a directory named like a long file", Dropped, Path("folder2048.bin"), 11437},
        {"Dropped: one megabyte", Dropped, Make("big2.kelm", megabyte), 11437},
        {"Dropped: 2048 bytes of garbage", Dropped, Make("garbage.bin", Garbage(2048, 2).replace(248, 1, "\x42")), 11432},
        {"Command line: a directory", CommandLine, Path("folder.Kelm"), 11439},
        {"Command line: one megabyte", CommandLine, Make("big3.kelm", megabyte), 11439},
    };
    for (const Case &c : cases) {
        ImageBuffer image = Filled(0x5A);
        EXPECT_EQ(c.load(c.path, image), c.text) << c.what;
        if (c.text != 0) {
            EXPECT_TRUE(TextTable::Has(c.text)) << c.what;
            EXPECT_EQ(image, Filled(0x5A)) << c.what << ": a refused file changes nothing";
        } else {
            EXPECT_TRUE(std::equal(image.begin(), image.begin() + ImageSize, valid.begin())) << c.what;
        }
    }
}

TEST_F(BadFiles, GarbageWithTheRightProductTypeLoadsAndEveryFieldShows)
{
    // Random content of a valid length is a configuration like any other:
    // every field must find a text, whatever its bytes.
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        QByteArray bytes = Garbage(2048, seed);
        bytes[Addr::ProductType] = char(KelmProductType);
        ImageBuffer image = Filled(0);
        ASSERT_EQ(ConfigFile::LoadOpened(Make(QStringLiteral("g%1.Kelm").arg(seed), bytes), image), 0);
        for (const FieldInfo &field : Fields::All()) {
            const bool noCode = field.encoding == FieldEncoding::RadioCode && Fields::ReadNumber(image, field) == 0;
            EXPECT_NE(Fields::DisplayText(image, field, swedish).isEmpty(), !noCode) << field.name;
        }
    }
}

TEST_F(BadFiles, SavingOverADirectoryFailsAndLeavesIt)
{
    QDir(dir.path()).mkpath(QStringLiteral("target.Kelm/inside"));
    ImageBuffer image = Filled(7);
    EXPECT_FALSE(ConfigFile::Save(image, Path("target.Kelm")));
    EXPECT_TRUE(QFileInfo(Path("target.Kelm/inside")).isDir());
    EXPECT_FALSE(ConfigFile::Save(image, Path("no/such/folder/x.Kelm")));
}

// Runs a read of a named pipe. Opening a pipe for reading waits for a writer,
// so a reader that opens it would hang the window; after a few seconds the
// guard opens the pipe itself, lets the read end and reports the wait.
bool ReturnsWithoutAWriter(const QString &fifo, const std::function<void()> &read)
{
    std::atomic<bool> done {false};
    std::atomic<bool> unblocked {false};
    std::thread guard([&] {
        for (int i = 0; i < 50 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done) {
            unblocked = true;
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
            if (fd >= 0)
                ::close(fd);
        }
    });
    read();
    done = true;
    guard.join();
    return !unblocked;
}

TEST_F(BadFiles, NamedPipeWhereAFileIsExpectedIsRefusedWithoutWaiting)
{
    const QString defaultFile = Path("Default.bin");
    const QString values = Path("Values.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(defaultFile).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(values).constData(), 0600), 0);

    ImageBuffer image = Filled(0x5A);
    int text = -1;
    EXPECT_TRUE(ReturnsWithoutAWriter(defaultFile, [&] { text = ConfigFile::LoadDefault(defaultFile, image); }));
    EXPECT_EQ(text, 11411);
    EXPECT_EQ(image, Filled(0x5A));
    EXPECT_EQ(ConfigFile::LoadOpened(defaultFile, image), 11439);

    KelmIni ini;
    ini.SetPath(values);
    QString setting;
    EXPECT_TRUE(ReturnsWithoutAWriter(values, [&] {
        setting = ini.ReadSetting(QStringLiteral("Setup"), QStringLiteral("AppVersion"), QStringLiteral("none"));
    }));
    EXPECT_EQ(setting, QStringLiteral("none"));
}

// ---- Values.ini --------------------------------------------------------------

struct ListCase
{
    const char *what;
    QByteArray file;
    QStringList alarmRows; // rows of the "AlarmType" list
    QString configDirectory; // "Setup"/"ConfigDirectory", "<default>" when absent
};

TEST_F(BadFiles, DamagedValueFilesGiveTheirRowsOrAnEmptyList)
{
    const QByteArray section = "[AlarmType]\n0=Inbrott\n1=Brand\n";
    const QByteArray longLine(1 << 20, 'x');
    QByteArray manyKeys = "[AlarmType]\n";
    for (int i = 0; i < 5000; ++i)
        manyKeys += QByteArray::number(i) + "=rad " + QByteArray::number(i) + "\n";
    QStringList first200;
    for (int i = 0; i < ListLimit::AlarmType; ++i)
        first200 << QStringLiteral("rad %1").arg(i);

    const ListCase cases[] = {
        {"empty file", "", {}, "<default>"},
        {"binary garbage", Garbage(4096, 3).replace('[', '('), {}, "<default>"},
        {"garbage before a good section", Garbage(512, 4).replace('\n', ' ') + "\n" + section,
         {"Inbrott", "Brand"}, "<default>"},
        {"NUL bytes in keys and values", Bytes("[AlarmType]\n0=In\0brott\n1\0=x\n[Setup]\nConfigDirectory=/a\0b\n"),
         {QString::fromLatin1("In\0brott", 8)}, QString::fromLatin1("/a\0b", 4)},
        {"one line of a megabyte before the section", longLine + "\n" + section, {"Inbrott", "Brand"}, "<default>"},
        {"a megabyte value is cut", "[Setup]\nConfigDirectory=" + longLine + "\n", {}, QString(KelmIni::MaxValueLength, u'x')},
        {"missing sections", "[Setup]\nAppVersion=1.3.0.173\n", {}, "<default>"},
        {"file cut in a section name", section + "[Set", {"Inbrott", "Brand"}, "<default>"},
        {"file cut in a value", section + "2=Sabo", {"Inbrott", "Brand", "Sabo"}, "<default>"},
        {"carriage returns only", "[AlarmType]\r0=Inbrott\r1=Brand\r", {}, "<default>"},
        {"Windows-1252 text", "[AlarmType]\n0=D\xf6rr\n1=\x80 \x96 \x9f\n",
         {QStringLiteral("Dörr"), QStringLiteral("€ – Ÿ")}, "<default>"},
        {"UTF-16 with its byte-order mark", Bytes("\xff\xfe[\0A\0l\0a\0r\0m\0T\0y\0p\0e\0]\0\n\0"), {}, "<default>"},
        {"list numbers beyond 32 bits and with signs",
         "[AlarmType]\n4294967296=a\n99999999999999999999=b\n-1=c\n+2=d\n 3 = e \n", {"e"}, "<default>"},
        {"five thousand rows stop at the list's limit", manyKeys, first200, "<default>"},
    };
    for (const ListCase &c : cases) {
        KelmIni ini;
        ini.SetPath(Make(QStringLiteral("Values.ini"), c.file));
        RecordingList control;
        CodeList codes(ListLimit::AlarmType);
        EXPECT_EQ(ini.FillList(control, QStringLiteral("AlarmType"), codes), c.alarmRows.size()) << c.what;
        EXPECT_EQ(control.rows, c.alarmRows) << c.what;
        EXPECT_EQ(control.selected, c.alarmRows.isEmpty() ? -1 : 0) << c.what;
        EXPECT_EQ(codes.Count(), c.alarmRows.size()) << c.what;
        EXPECT_EQ(ini.ReadSetting(QStringLiteral("Setup"), QStringLiteral("ConfigDirectory"), QStringLiteral("<default>")),
                  c.configDirectory) << c.what;
    }
}

TEST_F(BadFiles, WritingASettingIntoADamagedFileKeepsEveryOtherByte)
{
    // The damage stays exactly as it was: only the new key's lines are added.
    const QByteArray garbage = Garbage(3000, 5).replace('[', '(').replace('\r', ' ');
    const QString path = Make(QStringLiteral("Values.ini"), garbage);
    KelmIni ini;
    ini.SetPath(path);
    ASSERT_TRUE(ini.WriteSetting(QStringLiteral("Setup"), QStringLiteral("ConfigDirectory"), QStringLiteral("/data")));
    const QByteArray after = TestSupport::ReadAll(path);
    EXPECT_TRUE(after.startsWith(garbage));
    EXPECT_TRUE(after.mid(garbage.size()).contains("[Setup]"));
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("Setup"), QStringLiteral("ConfigDirectory")), QStringLiteral("/data"));
}

TEST_F(BadFiles, ValuesIniThatIsADirectory)
{
    QDir(dir.path()).mkpath(QStringLiteral("Values.ini"));
    KelmIni ini;
    ini.SetPath(Path("Values.ini"));
    RecordingList control;
    CodeList codes(ListLimit::DoorMatSensorType);
    EXPECT_EQ(ini.FillList(control, QStringLiteral("DoorMatSensorType"), codes), 0);
    EXPECT_EQ(control.selected, -1);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("Setup"), QStringLiteral("AppVersion"), QStringLiteral("none")),
              QStringLiteral("none"));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Setup")));
    EXPECT_FALSE(ini.WriteSetting(QStringLiteral("Setup"), QStringLiteral("AppVersion"), QStringLiteral("1")));
    EXPECT_TRUE(ini.WriteErrorText().contains(Path("Values.ini")));
    EXPECT_TRUE(QFileInfo(Path("Values.ini")).isDir());
}

// ---- Daylight-saving rules -------------------------------------------------

TEST_F(BadFiles, DamagedRulesKeepTheTablesAndDescribeNoSummerTime)
{
    struct RuleCase
    {
        const char *what;
        QByteArray value;
    };
    const RuleCase cases[] = {
        {"every field out of range", "0,0,0,24,60,6,8,13,-1,-1,256"},
        {"eleven fields at the 32-bit limit, too long as well",
         "2147483647,2147483647,2147483647,2147483647,2147483647,2147483647,2147483647,2147483647,"
         "2147483647,2147483647,2147483647"},
        {"every field negative", "-1,-1,-13,-24,-60,-5,-7,-12,-23,-59,-255"},
        {"a megabyte of digits", QByteArray(1 << 20, '5')},
        {"Windows-1252 digits and separators", "5\xb8" "1,3,2,0,5,1,10,3,0,60"},
        {"NUL in the middle", Bytes("5,1,3,2,0\0,5,1,10,3,0,60")},
        {"no value", ""},
        {"commas only", ",,,,,,,,,,"},
        {"a quoted rule with its quote open", "\"5,1,3,2,0,5,1,10,3,0,60"},
    };
    const QByteArray head = "[DaylightSaving]\n0=Ingen sommartid\n1=Trasig\n300=Kod utanför en byte\n";
    for (const RuleCase &c : cases) {
        KelmIni ini;
        ini.SetPath(Make(QStringLiteral("Values.ini"), head + "1TZ=" + c.value + "\n300TZ=5,1,3,2,0,5,1,10,3,0,60\n"));
        RecordingList control;
        CodeList regions(ListLimit::DaylightSaving);
        ASSERT_EQ(ini.FillList(control, QStringLiteral("DaylightSaving"), regions), 3) << c.what;

        DstRule rule {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        EXPECT_FALSE(ReadDstRule(ini, 1, rule)) << c.what;
        EXPECT_EQ(rule, DstRule()) << c.what;

        ImageBuffer image = Filled(0xA5);
        FillDstBlock(image, ini, regions, 1, 2025);
        for (int a = Addr::DstStartDays; a <= Addr::DstBlockLast; ++a)
            EXPECT_EQ(image[a], 0xA5) << c.what << ": address " << a;
        for (int a = Addr::DstAdjustMinutes; a <= Addr::DstStopMinute; ++a)
            EXPECT_EQ(image[a], 0) << c.what << ": address " << a;
        EXPECT_EQ(image[Addr::DstFirstYear], 25) << c.what;
        EXPECT_EQ(image[Addr::DaylightSavingRegion], 0xA5) << c.what;
        EXPECT_EQ(DescribeDstRule(ini, regions, 1, 2025), TextTable::Text(11518)) << c.what;
    }
}

TEST(BadRuleNumbers, DayLookupOutOfRangeGivesNoDay)
{
    struct DayCase
    {
        int year, occurrence, weekday, month;
    };
    const DayCase cases[] = {
        {2025, 1, 0, 3}, {2025, 1, 8, 3}, {2025, 1, 1, 0}, {2025, 1, 1, 13},
        {2025, 1, -2147483647 - 1, 3}, {2025, 1, 1, 2147483647}, {0, 1, 1, 3},
    };
    for (const DayCase &c : cases)
        EXPECT_EQ(RuleDayOfYear(c.year, c.occurrence, c.weekday, c.month), 0)
            << c.year << " " << c.occurrence << " " << c.weekday << " " << c.month;
    // Occurrences beyond the table fall back to the first.
    EXPECT_EQ(RuleDayOfYear(2025, 2147483647, 1, 3), RuleDayOfYear(2025, 1, 1, 3));
    EXPECT_EQ(RuleDayOfYear(2025, -2147483647 - 1, 1, 3), RuleDayOfYear(2025, 1, 1, 3));
}

}
