#include "FilesFixture.h"

#include "ConfigFile.h"

#include <QFileInfo>
#include <QLineEdit>

#include <unistd.h>

namespace {

using Kind = UserPrompt::Kind;
using Answer = UserPrompt::Answer;

class FileCommands : public FilesFixture
{
protected:
    void SetUp() override
    {
        FilesFixture::SetUp();
        Start();
        prompt.Clear();
    }

    // Opens a valid file through the Open command and forgets its messages.
    void OpenFile(const QString &path, quint8 marker, int length = ImageSize)
    {
        ASSERT_TRUE(WriteImage(path, Image(marker), length));
        prompt.fileNames.enqueue(path);
        window->mnuFileOpenClick();
        ASSERT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
        prompt.Clear();
        prompt.fileQuestions.clear();
    }

    void SaveAs(const QString &chosen)
    {
        prompt.fileNames.enqueue(chosen);
        window->mnuFileSaveAsClick();
    }
};

TEST_F(FileCommands, NewLoadsTheDefaultFileAndShowsItsOrigin)
{
    OpenFile(Path("work/Dörr3.Kelm"), 0x33);
    window->mnuFileNewClick();
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(Edited(), Bytes(Image(DefaultMarker)));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
    EXPECT_EQ(window->KelmData.CurrentFileName, Path("work/Dörr3.Kelm")) << "New keeps the last file's name";
    EXPECT_EQ(window->StatusText(), QStringLiteral("Standard konfigurationsfil öppnad"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("(Standard) - KELM konfigurering"));
}

TEST_F(FileCommands, NewTakesTheFirst256BytesOfALongerDefaultFile)
{
    ImageBuffer image = Image(0x44);
    image[299] = 0xEE;
    ASSERT_TRUE(WriteImage(DataDirectory() + "Default.bin", image, 300));
    window->mnuFileNewClick();
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(Edited(), Bytes(Image(0x44)));
}

TEST_F(FileCommands, NewWithoutAReadableDefaultFileChangesNothing)
{
    struct Case
    {
        const char *what;
        int length; // -1: no file
    };
    for (const Case &c : {Case{"missing", -1}, Case{"empty", 0}, Case{"short", 255}}) {
        SCOPED_TRACE(c.what);
        OpenFile(Path("work/Kept.Kelm"), 0x55);
        const QString defaultFile = DataDirectory() + "Default.bin";
        QFile::remove(defaultFile);
        if (c.length >= 0) {
            ASSERT_TRUE(WriteImage(defaultFile, Image(0x66, {{0, 9}}), c.length));
        }
        window->SetStatusText(QStringLiteral("before"));

        window->mnuFileNewClick();

        EXPECT_EQ(prompt.Numbers(), QList<int>{11411});
        EXPECT_EQ(prompt.shown.value(0).kind, Kind::Error);
        EXPECT_EQ(Edited(), Bytes(Image(0x55))) << "a short file must not leave a partial image";
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
        EXPECT_EQ(window->windowTitle(), Title("Kept.Kelm"));
        EXPECT_EQ(window->StatusText(), QString());
        prompt.Clear();
    }
}

TEST_F(FileCommands, NewReportsAnInvalidFieldAndStillTakesTheImage)
{
    const ImageBuffer image = Image(0x77, {{Addr::DoorClosedAlarmType, 99}});
    ASSERT_TRUE(WriteImage(DataDirectory() + "Default.bin", image));
    window->mnuFileNewClick();
    ASSERT_EQ(prompt.Numbers(), QList<int>{11418});
    EXPECT_EQ(prompt.shown[0].text, TextTable::Format(11418, {"Larm när dörr stängs : Larmtyp", "34", "99"}));
    EXPECT_EQ(Edited(), Bytes(image));
    EXPECT_EQ(window->StatusText(), TextTable::Text(11438));
}

TEST_F(FileCommands, OpenRefusesFilesInTheOrderOfItsChecks)
{
    struct Case
    {
        const char *name;
        int length; // -1: no file
        int productType;
        int text;
    };
    const Case cases[] = {
        {"Missing.Kelm", -1, 7, 11441},
        {"Long.Kelm", 257, 7, 11439},
        {"Longer.Kelm", 300, 7, 11439},
        {"Empty.Kelm", 0, 7, 11439},
        {"Short.Kelm", 255, 7, 11439},
        {"Other.Kelm", 256, 6, 11431},
        {"OtherLong.Kelm", 2048, 6, 11431},
        {"Wrong size first.Kelm", 300, 6, 11439},
    };
    OpenFile(Path("work/Kept.Kelm"), 0x55);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path("work/") + c.name;
        if (c.length >= 0) {
            ASSERT_TRUE(WriteImage(path, Image(0x99, {{Addr::ProductType, c.productType}}), c.length));
        }
        window->SetStatusText(QStringLiteral("before"));
        prompt.fileNames.enqueue(path);

        window->mnuFileOpenClick();

        ASSERT_EQ(prompt.Numbers(), QList<int>{c.text});
        EXPECT_EQ(prompt.shown[0].kind, Kind::Error);
        if (c.text == 11441) {
            EXPECT_EQ(prompt.shown[0].text, TextTable::Format(11441, {path}));
        }
        EXPECT_EQ(Edited(), Bytes(Image(0x55)));
        EXPECT_EQ(window->KelmData.CurrentFileName, Path("work/Kept.Kelm"));
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
        EXPECT_EQ(window->windowTitle(), Title("Kept.Kelm"));
        EXPECT_EQ(window->StatusText(), QStringLiteral("before"));
        prompt.Clear();
    }
}

TEST_F(FileCommands, OpenRefusesAFileItCannotRead)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root from reading";
    const QString path = Path("work/Locked.Kelm");
    ASSERT_TRUE(WriteImage(path, Image(0x99)));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    prompt.fileNames.enqueue(path);
    window->mnuFileOpenClick();
    // An unreadable file has no size either, so the length check refuses it.
    EXPECT_EQ(prompt.Numbers(), QList<int>{11439});
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
}

TEST_F(FileCommands, OpenTakesTheFileAndTellsSo)
{
    const QString path = Path("work/Dörr3.Kelm");
    ImageBuffer image = Image(0x33);
    image[Addr::Crc] = 0x12; // a stale checksum is no concern of a file
    ASSERT_TRUE(WriteImage(path, image, BufferSize));
    prompt.fileNames.enqueue(path);

    window->mnuFileOpenClick();

    ASSERT_EQ(prompt.Numbers(), QList<int>{11435});
    EXPECT_EQ(prompt.shown[0].kind, Kind::Information);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("Konfigurationsfil 'Dörr3.Kelm' öppnad"));
    EXPECT_EQ(window->StatusText(), prompt.shown[0].text);
    EXPECT_EQ(Edited(), Bytes(image));
    EXPECT_EQ(window->KelmData.CurrentFileName, path);
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Dörr3.Kelm - KELM konfigurering"));
    EXPECT_EQ(prompt.fileQuestions, QStringList{window->DefaultConfigDirectory});
}

TEST_F(FileCommands, OpenAppendsTheExtensionToANameWithoutOne)
{
    ASSERT_TRUE(WriteImage(Path("work/Plain.Kelm"), Image(0x31)));
    ASSERT_TRUE(WriteImage(Path("work/Plain"), Image(0x32)));
    ASSERT_TRUE(WriteImage(Path("work/Other.bin"), Image(0x34)));
    prompt.fileNames.enqueue(Path("work/Plain"));
    window->mnuFileOpenClick();
    EXPECT_EQ(window->KelmData.CurrentFileName, Path("work/Plain.Kelm"));
    EXPECT_EQ(Edited(), Bytes(Image(0x31)));

    prompt.fileNames.enqueue(Path("work/Other.bin"));
    window->mnuFileOpenClick();
    EXPECT_EQ(window->KelmData.CurrentFileName, Path("work/Other.bin")) << "Open takes any extension picked";
    EXPECT_EQ(Edited(), Bytes(Image(0x34)));
}

TEST_F(FileCommands, OpenWithAnInvalidFieldReportsItAndTakesTheImage)
{
    const QString path = Path("work/Odd.Kelm");
    const ImageBuffer image = Image(0x35, {{Addr::DoorMatSensorType, 200}});
    ASSERT_TRUE(WriteImage(path, image));
    prompt.fileNames.enqueue(path);

    window->mnuFileOpenClick();

    ASSERT_EQ(prompt.Numbers(), QList<int>{11418}) << "the conversion message replaces the information box";
    EXPECT_EQ(prompt.shown[0].text, TextTable::Format(11418, {TextTable::Text(11143), "53", "200"}));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Konfigurationsfil 'Odd.Kelm' öppnad"));
    EXPECT_EQ(Edited(), Bytes(image));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
}

TEST_F(FileCommands, CancelledOpenChangesNothing)
{
    window->mnuFileOpenClick();
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
    EXPECT_EQ(window->StatusText(), TextTable::Text(11438));
}

TEST_F(FileCommands, DialogsStartInTheCurrentFilesFolderUnlessNewOrGone)
{
    ASSERT_TRUE(QDir().mkpath(Path("work/elsewhere")));
    OpenFile(Path("work/elsewhere/A.Kelm"), 0x21);

    struct Case
    {
        int origin;
        bool folderExists;
        QString expected;
    };
    const QString fileFolder = Path("work/elsewhere");
    const QString standard = window->DefaultConfigDirectory;
    const Case cases[] = {
        {OriginNew, true, standard},
        {OriginOpened, true, fileFolder},
        {OriginSaved, true, fileFolder},
        {OriginReadFromUnit, true, fileFolder},
        {OriginWrittenToUnit, true, fileFolder},
        {OriginReadFromUnit, false, standard},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.origin);
        window->KelmData.CurrentFileName = c.folderExists ? Path("work/elsewhere/A.Kelm") : Path("work/gone/A.Kelm");
        window->KelmData.ConfigOrigin = c.origin;
        prompt.fileQuestions.clear();
        window->mnuFileOpenClick();
        window->mnuFileSaveAsClick();
        EXPECT_EQ(prompt.fileQuestions, QStringList({c.expected, c.expected}));
    }
    EXPECT_TRUE(prompt.shown.isEmpty());
}

TEST_F(FileCommands, SaveAfterNewOrAReadAsksForAName)
{
    for (int origin : {OriginNew, OriginReadFromUnit, OriginWrittenToUnit}) {
        SCOPED_TRACE(origin);
        window->KelmData.CurrentFileName = Path("work/Old.Kelm");
        ASSERT_TRUE(WriteImage(Path("work/Old.Kelm"), Image(0x10)));
        window->KelmData.ConfigOrigin = origin;
        prompt.fileQuestions.clear();
        prompt.fileNames.enqueue(Path(QStringLiteral("work/New%1.Kelm").arg(origin)));

        window->mnuFileSaveClick();

        EXPECT_EQ(prompt.fileQuestions.size(), 1);
        EXPECT_EQ(TestSupport::ReadAll(Path("work/Old.Kelm")), Bytes(Image(0x10)));
        EXPECT_EQ(TestSupport::ReadAll(Path(QStringLiteral("work/New%1.Kelm").arg(origin))), Edited());
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginSaved);
        EXPECT_EQ(window->windowTitle(), Title(QStringLiteral("New%1.Kelm").arg(origin)));
    }
}

TEST_F(FileCommands, SaveWritesTheOpenedFileWithoutAQuestion)
{
    const QString path = Path("work/Dörr3.Kelm");
    OpenFile(path, 0x33);
    window->findChild<QLineEdit *>("edtInPassageDelay")->setText(QStringLiteral("42"));
    window->SetStatusText(QString());

    window->mnuFileSaveClick();

    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_TRUE(prompt.fileQuestions.isEmpty());
    const QByteArray saved = TestSupport::ReadAll(path);
    ASSERT_EQ(saved.size(), ImageSize);
    EXPECT_EQ(quint8(saved[Addr::InPassageDelay]), 42);
    EXPECT_EQ(quint8(saved[MarkerAddress]), 0x33);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Konfigurationsfilen sparad"));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
    EXPECT_EQ(window->windowTitle(), Title("Dörr3.Kelm"));
}

TEST_F(FileCommands, SavingOverA2048ByteFileKeepsItsLengthWithFiller)
{
    const QString opened = Path("work/Long.Kelm");
    OpenFile(opened, 0x44, BufferSize);
    window->mnuFileSaveClick();
    QByteArray saved = TestSupport::ReadAll(opened);
    ASSERT_EQ(saved.size(), BufferSize);
    EXPECT_EQ(saved.left(ImageSize), Edited());
    EXPECT_EQ(saved.mid(ImageSize), QByteArray(BufferSize - ImageSize, '\xFF'));

    const QString other = Path("work/OtherLong.Kelm");
    ASSERT_TRUE(WriteImage(other, Image(0x45), BufferSize));
    prompt.answers.enqueue(Answer::Yes);
    SaveAs(other);
    saved = TestSupport::ReadAll(other);
    ASSERT_EQ(saved.size(), BufferSize);
    EXPECT_EQ(saved.mid(ImageSize), QByteArray(BufferSize - ImageSize, '\xFF'));

    const QString shortFile = Path("work/Short.Kelm");
    ASSERT_TRUE(WriteImage(shortFile, Image(0x46)));
    prompt.answers.enqueue(Answer::Yes);
    SaveAs(shortFile);
    EXPECT_EQ(TestSupport::ReadAll(shortFile).size(), ImageSize);
}

TEST_F(FileCommands, SaveAsGivesTheFileTheKelmExtension)
{
    struct Case
    {
        const char *typed;
        const char *saved;
    };
    const Case cases[] = {
        {"work/Dörr4.txt", "work/Dörr4.Kelm"},
        {"work/Plain", "work/Plain.Kelm"},
        {"work/two.dots.bin", "work/two.dots.Kelm"},
        {"work/small.kelm", "work/small.Kelm"},
        {"work/dotted.dir/Name", "work/dotted.dir/Name.Kelm"},
    };
    ASSERT_TRUE(QDir().mkpath(Path("work/dotted.dir")));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        SaveAs(Path(c.typed));
        EXPECT_TRUE(prompt.shown.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(Path(c.typed)));
        EXPECT_EQ(TestSupport::ReadAll(Path(c.saved)), Edited());
        EXPECT_EQ(window->KelmData.CurrentFileName, Path(c.saved));
        EXPECT_EQ(window->windowTitle(), Title(QFileInfo(Path(c.saved)).fileName()));
        EXPECT_EQ(window->StatusText(), TextTable::Text(11415));
    }
}

TEST_F(FileCommands, SaveAsAsksBeforeOverwritingTheFinalName)
{
    const QString target = Path("work/Taken.Kelm");
    ASSERT_TRUE(WriteImage(target, Image(0x71)));
    window->SetStatusText(QStringLiteral("before"));

    prompt.answers.enqueue(Answer::No);
    SaveAs(Path("work/Taken.txt"));
    ASSERT_EQ(prompt.Numbers(), QList<int>{11413});
    EXPECT_EQ(prompt.shown[0].kind, Kind::Information);
    EXPECT_EQ(prompt.shown[0].buttons, UserPrompt::Buttons::YesNo);
    EXPECT_EQ(TestSupport::ReadAll(target), Bytes(Image(0x71)));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
    EXPECT_EQ(window->windowTitle(), Title("(Standard)"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("before"));

    prompt.Clear();
    prompt.answers.enqueue(Answer::Yes);
    SaveAs(Path("work/Taken.txt"));
    EXPECT_EQ(prompt.Numbers(), QList<int>{11413});
    EXPECT_EQ(TestSupport::ReadAll(target), Edited());
    EXPECT_EQ(window->KelmData.CurrentFileName, target);
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginSaved);
}

TEST_F(FileCommands, SaveAsRefusesAReadOnlyTarget)
{
    const QString target = Path("work/Locked.Kelm");
    ASSERT_TRUE(WriteImage(target, Image(0x72)));
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    window->SetStatusText(QStringLiteral("before"));

    SaveAs(target);

    ASSERT_EQ(prompt.Numbers(), QList<int>{11303});
    EXPECT_EQ(prompt.shown[0].kind, Kind::Information);
    EXPECT_EQ(TestSupport::ReadAll(target), Bytes(Image(0x72)));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
    EXPECT_EQ(window->KelmData.CurrentFileName, QString());
    EXPECT_EQ(window->StatusText(), QStringLiteral("before"));
}

TEST_F(FileCommands, AFailedWriteKeepsTheOldFile)
{
    // Save tries a read-only file and fails; Save As onto a folder fails to write.
    const QString opened = Path("work/Locked.Kelm");
    OpenFile(opened, 0x73, BufferSize);
    window->findChild<QLineEdit *>("edtInPassageDelay")->setText(QStringLiteral("42"));
    ASSERT_TRUE(QFile::setPermissions(opened, QFileDevice::ReadOwner));
    window->SetStatusText(QStringLiteral("before"));

    window->mnuFileSaveClick();

    ASSERT_EQ(prompt.Numbers(), QList<int>{11412});
    EXPECT_EQ(prompt.shown[0].kind, Kind::Error);
    EXPECT_EQ(TestSupport::ReadAll(opened), Bytes(Image(0x73), BufferSize));
    EXPECT_EQ(window->StatusText(), QStringLiteral("before"));
    EXPECT_EQ(window->windowTitle(), Title("Locked.Kelm"));

    prompt.Clear();
    const QString folder = Path("work/Folder.Kelm");
    ASSERT_TRUE(QDir().mkpath(folder));
    prompt.answers.enqueue(Answer::Yes);
    SaveAs(Path("work/Folder"));
    EXPECT_EQ(prompt.Numbers(), QList<int>({11413, 11412}));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(window->KelmData.CurrentFileName, folder) << "Save As has taken the name before the write";
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginSaved);
    EXPECT_EQ(window->windowTitle(), Title("Folder.Kelm"));
}

TEST_F(FileCommands, ARefusedFieldStopsSaveAndSaveAsBeforeAnything)
{
    const QString opened = Path("work/Kept.Kelm");
    OpenFile(opened, 0x74);
    window->findChild<QLineEdit *>("edtInPassageDelay")->setText(QString());
    window->SetStatusText(QStringLiteral("before"));

    window->mnuFileSaveClick();
    ASSERT_EQ(prompt.Numbers(), QList<int>{11419});
    EXPECT_EQ(prompt.shown[0].text, TextTable::Format(11419, {TextTable::Text(11122), QString()}));
    EXPECT_EQ(window->StatusText(), QString());
    EXPECT_EQ(TestSupport::ReadAll(opened), Bytes(Image(0x74)));

    prompt.Clear();
    window->mnuFileSaveAsClick();
    EXPECT_EQ(prompt.Numbers(), QList<int>{11419});
    EXPECT_TRUE(prompt.fileQuestions.isEmpty()) << "no name is asked for";
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
}

TEST_F(FileCommands, CancelledSaveAsWritesNothing)
{
    window->SetStatusText(QStringLiteral("before"));
    window->mnuFileSaveAsClick();
    EXPECT_EQ(prompt.fileQuestions.size(), 1);
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
    EXPECT_EQ(window->StatusText(), QStringLiteral("before"));
    EXPECT_EQ(QDir(Path("work")).entryList(QDir::Files), QStringList());
}

} // namespace
