#include "KelmIni.h"
#include "TestSupport.h"
#include "ValuesTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

const QByteArray SampleFile =
    "; hand-written comment\n"
    "[Setup]\n"
    "ConfigDirectory = /home/tekniker/kelm \n"
    "Unknown=kept\n"
    "\n"
    "[AlarmType]\n"
    "0=Inbrott\n"
    "1=\"  citerad  \"\n";

TEST(KelmIniRead, FindsSectionsAndKeysWithoutRegardToCase)
{
    IniFixture f(SampleFile);
    KelmIni ini;
    ini.SetPath(f.path);
    struct Case { const char *section, *key, *expected; };
    const Case cases[] = {
        {"Setup", "ConfigDirectory", "/home/tekniker/kelm"},
        {"SETUP", "configdirectory", "/home/tekniker/kelm"},
        {"alarmtype", "0", "Inbrott"},
        {"AlarmType", "1", "  citerad  "},
        {"Setup", "AppVersion", ""},
        {"Missing", "0", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ini.ReadSetting(QString::fromUtf8(c.section), QString::fromUtf8(c.key)),
                  QString::fromUtf8(c.expected)) << c.section << "/" << c.key;
    }
    EXPECT_EQ(ini.ReadSetting("Setup", "AppVersion", "<EMPTY>"), "<EMPTY>");
}

TEST(KelmIniRead, MissingFileGivesEmptyTextAndNoSections)
{
    QTemporaryDir dir;
    KelmIni ini;
    ini.SetPath(dir.filePath("nothing.ini"));
    EXPECT_EQ(ini.ReadSetting("Setup", "ConfigDirectory"), "");
    EXPECT_FALSE(ini.SectionExists("Setup"));
}

TEST(KelmIniRead, SectionExistsOnlyWithAKey)
{
    IniFixture f("[Empty]\n; only a comment\n[Full]\nk=v\n");
    KelmIni ini;
    ini.SetPath(f.path);
    EXPECT_FALSE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.SectionExists("full"));
    EXPECT_FALSE(ini.SectionExists("Other"));
}

TEST(KelmIniRead, LongValuesAreCut)
{
    IniFixture f("[S]\nk=" + QByteArray(3000, 'x') + "\n");
    KelmIni ini;
    ini.SetPath(f.path);
    EXPECT_EQ(ini.ReadSetting("S", "k").size(), KelmIni::MaxValueLength);
}

TEST(KelmIniRead, FallsBackToWindows1252ForOtherBytes)
{
    // "Överfall", "Dörr – öppen", "€" in Windows-1252.
    IniFixture f("[AlarmType]\r\n1=\xD6verfall\r\n2=D\xF6rr \x96 \xF6ppen\r\n3=\x80\r\n");
    KelmIni ini;
    ini.SetPath(f.path);
    EXPECT_EQ(ini.ReadSetting("AlarmType", "1"), QString::fromUtf8("Överfall"));
    EXPECT_EQ(ini.ReadSetting("AlarmType", "2"), QString::fromUtf8("Dörr – öppen"));
    EXPECT_EQ(ini.ReadSetting("AlarmType", "3"), QString::fromUtf8("€"));
}

TEST(KelmIniRead, ReadsUtf8WithAndWithoutByteOrderMark)
{
    for (const QByteArray &prefix : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        IniFixture f(prefix + "[AlarmType]\n1=\xC3\x96verfall\n");
        KelmIni ini;
        ini.SetPath(f.path);
        EXPECT_EQ(ini.ReadSetting("AlarmType", "1"), QString::fromUtf8("Överfall"));
    }
}

struct WriteCase
{
    const char *name;
    QByteArray before;
    const char *section;
    const char *key;
    const char *value;
    QByteArray after;
};

TEST(KelmIniWrite, ChangesOnlyTheLineItMustAndKeepsTheRest)
{
    const WriteCase cases[] = {
        {"replace keeps other lines and spelling of the key", SampleFile, "setup", "configdirectory", "/data",
         "; hand-written comment\n[Setup]\nConfigDirectory=/data\nUnknown=kept\n\n[AlarmType]\n0=Inbrott\n"
         "1=\"  citerad  \"\n"},
        {"new key goes after the section's last key, before the blank line", SampleFile, "Setup", "AppVersion",
         "1.3.0.173",
         "; hand-written comment\n[Setup]\nConfigDirectory = /home/tekniker/kelm \nUnknown=kept\n"
         "AppVersion=1.3.0.173\n\n[AlarmType]\n0=Inbrott\n1=\"  citerad  \"\n"},
        {"new section at the end", "[A]\nx=1\n", "Setup", "AppVersion", "1",
         "[A]\nx=1\n[Setup]\nAppVersion=1\n"},
        {"key of an empty section goes under its header", "[Setup]\n\n[B]\ny=2\n", "Setup", "k", "v",
         "[Setup]\nk=v\n\n[B]\ny=2\n"},
        {"CRLF lines stay CRLF", "[Setup]\r\nAppVersion=1.0\r\n", "Setup", "AppVersion", "2.0",
         "[Setup]\r\nAppVersion=2.0\r\n"},
        {"added CRLF lines match the file", "[Setup]\r\nA=1\r\n", "Setup", "B", "2", "[Setup]\r\nA=1\r\nB=2\r\n"},
        {"a missing final line end stays missing", "[Setup]\nA=1", "Setup", "A", "3", "[Setup]\nA=3"},
        {"Windows-1252 file is written back in Windows-1252", "; \xE5\xE4\xF6\n[Setup]\nA=1\n", "Setup", "A",
         "\xC3\xA5", "; \xE5\xE4\xF6\n[Setup]\nA=\xE5\n"},
        {"a byte order mark stays", "\xEF\xBB\xBF[Setup]\nA=1\n", "Setup", "A", "2", "\xEF\xBB\xBF[Setup]\nA=2\n"},
    };
    for (const WriteCase &c : cases) {
        IniFixture f(c.before);
        KelmIni ini;
        ini.SetPath(f.path);
        ASSERT_TRUE(ini.WriteSetting(c.section, c.key, QString::fromUtf8(c.value))) << c.name;
        EXPECT_EQ(TestSupport::ReadAll(f.path), c.after) << c.name;
        EXPECT_EQ(ini.ReadSetting(c.section, c.key), QString::fromUtf8(c.value)) << c.name;
    }
}

TEST(KelmIniWrite, CreatesAMissingFile)
{
    QTemporaryDir dir;
    KelmIni ini;
    ini.SetPath(dir.filePath("Values.ini"));
    ASSERT_TRUE(ini.WriteSetting("Setup", "ConfigDirectory", QString::fromUtf8("/hem/Åsa")));
    EXPECT_EQ(TestSupport::ReadAll(ini.Path()), "[Setup]\nConfigDirectory=/hem/\xC3\x85sa\n");
}

TEST(KelmIniWrite, Windows1252FileTakingAnUnencodableValueBecomesUtf8)
{
    IniFixture f("[AlarmType]\n1=\xD6verfall\n");
    KelmIni ini;
    ini.SetPath(f.path);
    ASSERT_TRUE(ini.WriteSetting("Setup", "ConfigDirectory", QString::fromUtf8("/data/Łódź")));
    EXPECT_EQ(ini.ReadSetting("AlarmType", "1"), QString::fromUtf8("Överfall"));
    EXPECT_EQ(ini.ReadSetting("Setup", "ConfigDirectory"), QString::fromUtf8("/data/Łódź"));
}

TEST(KelmIniWrite, ReportsAFileThatCannotBeWritten)
{
    QTemporaryDir dir;
    // A directory where the file should be, and a missing parent folder:
    // both fail for every user, root included.
    QDir(dir.path()).mkdir("Values.ini");
    const QString paths[] = {dir.filePath("Values.ini"), dir.filePath("missing/Values.ini")};
    for (const QString &path : paths) {
        KelmIni ini;
        ini.SetPath(path);
        EXPECT_FALSE(ini.WriteSetting("Setup", "AppVersion", "1.3.0.173")) << path.toStdString();
        EXPECT_EQ(ini.WriteErrorText(), "Unable to write to " + path);
    }
}

TEST(KelmIniWrite, RefusesLineBreaksThatWouldAddLines)
{
    IniFixture f("[Setup]\nConfigDirectory=/a\n");
    KelmIni ini;
    ini.SetPath(f.path);
    EXPECT_FALSE(ini.WriteSetting("Setup", "ConfigDirectory", "/b\nAppVersion=9"));
    EXPECT_FALSE(ini.WriteSetting("Setup", "ConfigDirectory", "/b\r"));
    EXPECT_FALSE(ini.WriteSetting("Setup\n[AlarmType]", "0", "x"));
    EXPECT_EQ(TestSupport::ReadAll(f.path), "[Setup]\nConfigDirectory=/a\n");
}

TEST(KelmIniWrite, EachCallSeesTheFileAsItIsNow)
{
    IniFixture f("[Setup]\nA=1\n");
    KelmIni ini;
    ini.SetPath(f.path);
    EXPECT_EQ(ini.ReadSetting("Setup", "A"), "1");
    TestSupport::WriteAll(f.path, "[Setup]\nA=2\n");
    EXPECT_EQ(ini.ReadSetting("Setup", "A"), "2");
}

} // namespace
