#include "FilesFixture.h"

#include "KelmIni.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMenu>

namespace {

class Startup : public FilesFixture
{
protected:
    // A Values.ini already installed by this version, with a stored folder.
    void InstallValues(const QString &configDirectory)
    {
        ASSERT_TRUE(QDir().mkpath(DataDirectory()));
        QByteArray text = ValuesText();
        text.replace("ConfigDirectory=", "ConfigDirectory=" + configDirectory.toUtf8());
        text.replace("AppVersion=0.0.0.0", "AppVersion=1.3.0.173");
        ASSERT_TRUE(TestSupport::WriteAll(DataDirectory() + "Values.ini", text));
    }

    void ExpectDefaultConfiguration()
    {
        EXPECT_EQ(Edited(), Bytes(Image(DefaultMarker)));
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
        EXPECT_EQ(window->KelmData.CurrentFileName, QString());
        EXPECT_EQ(window->windowTitle(), Title("(Standard)"));
        EXPECT_EQ(window->StatusText(), TextTable::Text(11438));
    }
};

TEST_F(Startup, AFirstRunInstallsTheDataAndShowsTheDefaultConfiguration)
{
    Start();
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(window->ProgramDataDirectory, DataDirectory());
    EXPECT_EQ(window->DefaultConfigDirectory, StandardDirectory());
    EXPECT_TRUE(QFileInfo(StandardDirectory()).isDir());
    EXPECT_EQ(TestSupport::ReadAll(DataDirectory() + "Default.bin"), Bytes(Image(DefaultMarker)));
    EXPECT_EQ(window->KelmIni.ReadSetting("Setup", "AppVersion"), QStringLiteral("1.3.0.173"));
    EXPECT_EQ(window->findChild<QComboBox *>("cbbxDoorMatSensorType")->count(), 2);
    ExpectDefaultConfiguration();
    EXPECT_TRUE(window->acceptDrops());
}

TEST_F(Startup, OpensAKelmFileNamedOnTheCommandLine)
{
    struct Case
    {
        const char *name;
        int length;
    };
    for (const Case &c : {Case{"Dörr3.Kelm", 256}, Case{"CAPS.KELM", 256}, Case{"small.kelm", 256},
                          Case{"Long.kelm", 2048}}) {
        SCOPED_TRACE(c.name);
        const QString path = Path("work/") + c.name;
        ImageBuffer image = Image(0x42);
        image[ImageSize] = 0x17; // filler of the long form, not part of the image
        ASSERT_TRUE(WriteImage(path, image, c.length));
        prompt.Clear();

        Start({path});

        EXPECT_TRUE(prompt.shown.isEmpty()) << "no message box on success";
        EXPECT_EQ(Edited(), Bytes(Image(0x42)));
        EXPECT_EQ(window->KelmData.CurrentFileName, path);
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
        EXPECT_EQ(window->windowTitle(), Title(c.name));
        EXPECT_EQ(window->StatusText(), TextTable::Format(11435, {c.name}));
    }
}

TEST_F(Startup, ABadCommandLineFileLeavesTheDefaultConfiguration)
{
    struct Case
    {
        const char *name;
        int length;
        int productType;
        int text;
    };
    const Case cases[] = {
        {"Short.kelm", 255, 7, 11439},  {"Twice.kelm", 512, 7, 11439}, {"Other.txt", 256, 7, 11439},
        {"NoExtension", 256, 7, 11439}, {"Empty.Kelm", 0, 7, 11439},   {"Wrong.Kelm", 256, 6, 11431},
        {"WrongLong.Kelm", 2048, 6, 11431},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path("work/") + c.name;
        ASSERT_TRUE(WriteImage(path, Image(0x43, {{Addr::ProductType, c.productType}}), c.length));
        prompt.Clear();

        Start({path});

        ASSERT_EQ(prompt.Numbers(), QList<int>{c.text});
        EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Error);
        EXPECT_EQ(prompt.shown[0].buttons, UserPrompt::Buttons::Ok);
        ExpectDefaultConfiguration();
    }
}

TEST_F(Startup, ACommandLineFileWithAnInvalidFieldIsTakenAllTheSame)
{
    const QString path = Path("work/Odd.Kelm");
    const ImageBuffer image = Image(0x44, {{Addr::DaylightSavingRegion, 9}});
    ASSERT_TRUE(WriteImage(path, image));
    Start({path});
    ASSERT_EQ(prompt.Numbers(), QList<int>{11418});
    EXPECT_EQ(prompt.shown[0].text, TextTable::Format(11418, {TextTable::Text(11215), "105", "9"}));
    EXPECT_EQ(window->StatusText(), TextTable::Format(11435, {"Odd.Kelm"}));
    EXPECT_EQ(Edited(), Bytes(image));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
}

TEST_F(Startup, ArgumentsNameTheFolderAndTheFile)
{
    const QString first = Path("work/first");
    const QString second = Path("work/second");
    const QString missing = Path("work/missing");
    const QString good = Path("work/Good.Kelm");
    const QString bad = Path("work/Bad.txt");
    ASSERT_TRUE(QDir().mkpath(first));
    ASSERT_TRUE(QDir().mkpath(second));
    ASSERT_TRUE(WriteImage(good, Image(0x51)));
    ASSERT_TRUE(WriteImage(bad, Image(0x52)));
    const QString stored = Path("work/stored");

    struct Case
    {
        const char *what;
        QStringList arguments;
        QString folder;      // the expected DefaultConfigDirectory
        QString openedFile;  // empty: the default configuration stays
        QList<int> messages;
    };
    const Case cases[] = {
        {"none", {}, stored, {}, {}},
        {"folder with separator, then file", {first + "/", good}, first + "/", good, {}},
        {"file, then folder", {good, first}, first, good, {}},
        {"folder alone", {second + "/"}, second + "/", {}, {}},
        {"missing ones are skipped", {missing + "/", missing + ".Kelm", second, first, good}, second, good, {}},
        {"only the first file counts", {bad, good}, stored, {}, {11439}},
        {"a good first file wins", {good, bad}, stored, good, {}},
        {"nothing that exists", {missing, missing + ".Kelm"}, stored, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        InstallValues(stored + "/");
        prompt.Clear();

        Start(c.arguments);

        EXPECT_EQ(window->DefaultConfigDirectory, c.folder);
        EXPECT_EQ(window->KelmData.CurrentFileName, c.openedFile);
        EXPECT_EQ(window->KelmData.ConfigOrigin, c.openedFile.isEmpty() ? OriginNew : OriginOpened);
        EXPECT_EQ(prompt.Numbers(), c.messages);
        EXPECT_EQ(window->KelmIni.ReadSetting("Setup", "ConfigDirectory"), stored + "/")
            << "the stored folder is left alone";
    }
}

TEST_F(Startup, AValuesFileThatCannotBeWrittenIsReportedAndStartUpGoesOn)
{
    // A folder in the place of Values.ini cannot be written, not even by root.
    ASSERT_TRUE(QDir().mkpath(DataDirectory() + "Values.ini"));
    const QString path = Path("work/Given.Kelm");
    ASSERT_TRUE(WriteImage(path, Image(0x61)));

    Start({path});

    ASSERT_FALSE(prompt.shown.isEmpty());
    EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Error);
    EXPECT_EQ(prompt.shown[0].textNumber, 0);
    EXPECT_TRUE(prompt.shown[0].text.startsWith(QStringLiteral("Unable to write to ")));
    EXPECT_TRUE(prompt.shown[0].text.contains(QStringLiteral("Values.ini")));
    EXPECT_EQ(window->DefaultConfigDirectory, StandardDirectory());
    EXPECT_EQ(window->findChild<QMenu *>("mnuFile")->title(), TextTable::Text(10101)) << "texts are set";
    EXPECT_EQ(window->KelmData.CurrentFileName, path) << "the command-line file is still opened";
    EXPECT_EQ(Edited(), Bytes(Image(0x61)));
}

} // namespace
