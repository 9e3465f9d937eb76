#include "DataSetup.h"
#include "KelmIni.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QByteArray ShippedValues = "[Setup]\nConfigDirectory=\n\n[AlarmType]\n0=Ny lista\n";
const QByteArray ShippedDefault(256, '\x07');

// A program folder with the shipped files, and a home whose data and
// documents folders are temporary; the environment is put back afterwards.
class DataSetupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("HOME", root.filePath("home").toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath("home/data").toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath("home/config").toUtf8());
        QDir(root.path()).mkpath("program");
        QDir(root.path()).mkpath("home");
        program = root.filePath("program") + '/';
        TestSupport::WriteAll(program + "Values.i", ShippedValues);
        TestSupport::WriteAll(program + "Default.b", ShippedDefault);
    }

    void TearDown() override
    {
        for (const Saved &s : saved) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }

    DataSetupResult run(const QStringList &arguments = {})
    {
        return DataSetup::SetUpDataDirectories(ini, program, arguments);
    }

    QString dataDir() const { return root.filePath("home/data/VORN/KELM Programmer (SE)/"); }
    QString configDir() const { return root.filePath("home/Documents/VORN/KELM config/"); }
    QString valuesIni() const { return dataDir() + "Values.ini"; }
    QString defaultBin() const { return dataDir() + "Default.bin"; }

    struct Saved { const char *name; QByteArray value; bool set; };
    std::vector<Saved> saved;
    QTemporaryDir root;
    QString program;
    KelmIni ini;
};

TEST_F(DataSetupTest, FirstRunInstallsBothFilesAndCreatesTheDirectories)
{
    const DataSetupResult r = run();
    EXPECT_EQ(r.Directories.ProgramDataDirectory, dataDir());
    EXPECT_EQ(r.Directories.StandardConfigDirectory, configDir());
    EXPECT_TRUE(QFileInfo(configDir()).isDir());
    EXPECT_EQ(r.Directories.DefaultConfigDirectory, root.filePath("home/Documents/VORN/KELM config"));
    EXPECT_TRUE(r.WriteError.isEmpty());
    EXPECT_TRUE(r.ValuesInstalled);
    EXPECT_TRUE(r.DefaultInstalled);
    EXPECT_EQ(TestSupport::ReadAll(defaultBin()), ShippedDefault);
    EXPECT_EQ(TestSupport::ReadAll(valuesIni()),
              "[Setup]\nConfigDirectory=\nAppVersion=1.3.0.173\n\n[AlarmType]\n0=Ny lista\n");
    EXPECT_EQ(ini.Path(), valuesIni());
    EXPECT_EQ(ini.ReadSetting("Setup", "AppVersion"), "1.3.0.173");
    EXPECT_EQ(ini.ReadSetting("AlarmType", "0"), "Ny lista");
}

TEST_F(DataSetupTest, SameVersionCopiesNothing)
{
    run();
    TestSupport::WriteAll(valuesIni(), "[Setup]\nAppVersion=1.3.0.173\n[AlarmType]\n0=Egen lista\n");
    TestSupport::WriteAll(defaultBin(), "changed");
    DataSetupResult r = run();
    EXPECT_FALSE(r.ValuesInstalled);
    EXPECT_FALSE(r.DefaultInstalled);
    EXPECT_EQ(ini.ReadSetting("AlarmType", "0"), "Egen lista");
    EXPECT_EQ(TestSupport::ReadAll(defaultBin()), "changed");

    QFile::remove(defaultBin());
    r = run();
    EXPECT_TRUE(r.DefaultInstalled);
    EXPECT_EQ(TestSupport::ReadAll(defaultBin()), ShippedDefault);
}

TEST_F(DataSetupTest, NewVersionReplacesTheFilesAndKeepsAStoredDirectory)
{
    struct Case { const char *name; QByteArray oldFile; const char *shippedDirectory; const char *expectedDirectory; };
    const Case cases[] = {
        {"older version with a directory", "[Setup]\nAppVersion=1.2.0.100\nConfigDirectory=/srv/kelm/\n", "",
         "/srv/kelm/"},
        {"no AppVersion counts as another version", "[Setup]\nConfigDirectory=/srv/kelm\n", "", "/srv/kelm"},
        {"an empty AppVersion counts as another version", "[Setup]\nAppVersion=\n", "", ""},
        {"an empty old directory keeps the shipped one", "[Setup]\nAppVersion=1.0\nConfigDirectory=\n",
         "/shipped", "/shipped"},
    };
    for (const Case &c : cases) {
        TestSupport::WriteAll(program + "Values.i",
                              QByteArray("[Setup]\nConfigDirectory=") + c.shippedDirectory + "\n[AlarmType]\n0=Ny\n");
        QDir().mkpath(dataDir());
        TestSupport::WriteAll(valuesIni(), c.oldFile + "[AlarmType]\n0=Gammal\n");
        TestSupport::WriteAll(defaultBin(), "old");
        const DataSetupResult r = run();
        EXPECT_TRUE(r.WriteError.isEmpty()) << c.name;
        EXPECT_TRUE(r.ValuesInstalled) << c.name;
        EXPECT_TRUE(r.DefaultInstalled) << c.name;
        EXPECT_EQ(ini.ReadSetting("AlarmType", "0"), "Ny") << c.name;
        EXPECT_EQ(ini.ReadSetting("Setup", "AppVersion"), "1.3.0.173") << c.name;
        EXPECT_EQ(ini.ReadSetting("Setup", "ConfigDirectory"), c.expectedDirectory) << c.name;
        EXPECT_EQ(TestSupport::ReadAll(defaultBin()), ShippedDefault) << c.name;
    }
}

TEST_F(DataSetupTest, TheVersionWithTrailingBlankIsTheSameAfterReading)
{
    // Values are read without surrounding blanks, so "1.3.0.173 " is the same version.
    QDir().mkpath(dataDir());
    TestSupport::WriteAll(valuesIni(), "[Setup]\nAppVersion=1.3.0.173 \n");
    EXPECT_FALSE(run().ValuesInstalled);
}

TEST_F(DataSetupTest, DefaultConfigDirectoryPrecedence)
{
    QDir(root.path()).mkpath("chosen");
    const QString chosen = root.filePath("chosen") + '/';
    struct Case { const char *name; const char *stored; QStringList arguments; QString expected; };
    const Case cases[] = {
        {"directory argument with its separator, before a file", "/stored/",
         {chosen, root.filePath("a.kelm")}, chosen},
        {"a missing path is no directory; the stored one with separator removed", "/stored/",
         {root.filePath("missing"), root.filePath("a.kelm")}, "/stored"},
        {"a file argument is no directory", "", {program + "Values.i"},
         root.filePath("home/Documents/VORN/KELM config")},
        {"the first directory wins", "", {root.filePath("chosen"), program}, root.filePath("chosen")},
    };
    run();
    for (const Case &c : cases) {
        ini.WriteSetting("Setup", "ConfigDirectory", QString::fromUtf8(c.stored));
        EXPECT_EQ(run(c.arguments).Directories.DefaultConfigDirectory, c.expected) << c.name;
        EXPECT_EQ(ini.ReadSetting("Setup", "ConfigDirectory"), QString::fromUtf8(c.stored)) << c.name;
    }
}

TEST_F(DataSetupTest, WithoutShippedFilesNothingIsInstalled)
{
    QFile::remove(program + "Values.i");
    QFile::remove(program + "Default.b");
    const DataSetupResult r = run();
    EXPECT_FALSE(r.ValuesInstalled);
    EXPECT_FALSE(r.DefaultInstalled);
    EXPECT_FALSE(QFileInfo::exists(valuesIni()));
    EXPECT_FALSE(QFileInfo::exists(defaultBin()));
    EXPECT_EQ(ini.Path(), valuesIni());
    EXPECT_EQ(r.Directories.DefaultConfigDirectory, root.filePath("home/Documents/VORN/KELM config"));
}

TEST_F(DataSetupTest, UnwritableValuesIniIsReportedAndTheRestStillRuns)
{
    // A directory in place of Values.ini fails for every user.
    QDir().mkpath(valuesIni());
    const DataSetupResult r = run({root.filePath("home")});
    EXPECT_EQ(r.WriteError, "Unable to write to " + valuesIni());
    EXPECT_FALSE(r.ValuesInstalled);
    EXPECT_TRUE(r.DefaultInstalled);
    EXPECT_EQ(TestSupport::ReadAll(defaultBin()), ShippedDefault);
    EXPECT_EQ(r.Directories.DefaultConfigDirectory, root.filePath("home"));
    EXPECT_EQ(ini.Path(), valuesIni());
}

TEST_F(DataSetupTest, UnavailableStandardFoldersFallBackToTheProgramFolder)
{
    // Folders under a plain file cannot be made, by anyone.
    TestSupport::WriteAll(root.filePath("plain"), "x");
    qputenv("XDG_DATA_HOME", root.filePath("plain/data").toUtf8());
    qputenv("HOME", root.filePath("plain/home").toUtf8());
    const DataSetupResult r = run();
    EXPECT_EQ(r.Directories.ProgramDataDirectory, program);
    EXPECT_EQ(r.Directories.StandardConfigDirectory, program + "Config/");
    EXPECT_TRUE(QFileInfo(program + "Config").isDir());
    EXPECT_EQ(r.Directories.DefaultConfigDirectory, program + "Config");
    EXPECT_EQ(ini.Path(), program + "Values.ini");
    EXPECT_EQ(ini.ReadSetting("Setup", "AppVersion"), "1.3.0.173");
}

TEST(ProgramFolder, IsTheFolderHoldingTheShippedFiles)
{
    // The build puts Values.i beside the test programs.
    const QString folder = DataSetup::ProgramFolder();
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_TRUE(QFileInfo::exists(folder + "Values.i")) << folder.toStdString();
}

TEST(CopyDataFile, CopiesTheWholeFileOrReportsFailure)
{
    QTemporaryDir dir;
    const QString d = dir.path() + '/';
    QByteArray big;
    for (int i = 0; i < 1000; ++i)
        big += char(i * 7);
    TestSupport::WriteAll(d + "src.b", big);
    TestSupport::WriteAll(d + "old.bin", QByteArray(5000, 'x'));
    EXPECT_TRUE(DataSetup::CopyDataFile(d, "src.b", "old.bin", d));
    EXPECT_EQ(TestSupport::ReadAll(d + "old.bin"), big);

    EXPECT_FALSE(DataSetup::CopyDataFile(d, "missing.b", "new.bin", d));
    EXPECT_FALSE(QFileInfo::exists(d + "new.bin"));
    EXPECT_FALSE(DataSetup::CopyDataFile(d, "src.b", "x.bin", d + "no-such-folder/"));
    EXPECT_EQ(DataSetup::FileVersionText(), "1.3.0.173");
}

} // namespace
