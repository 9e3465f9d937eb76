#include "DialogTestSupport.h"
#include "KelmIni.h"
#include "ScriptedPrompt.h"
#include "SelectFolder.h"
#include "TextTable.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString NotStored = QStringLiteral("<not stored>");

class SelectFolderDialog : public ::testing::Test
{
protected:
    SelectFolderDialog()
    {
        dialog.SetPrompt(&prompt);
        ini.SetPath(temp.filePath("Values.ini"));
    }

    QLineEdit *Field() { return dialog.findChild<QLineEdit *>("edtActiveConfigDirectory"); }
    QPushButton *Button(const char *name) { return dialog.findChild<QPushButton *>(QLatin1String(name)); }
    QString Stored() const { return ini.ReadSetting("Setup", "ConfigDirectory", NotStored); }

    QTemporaryDir temp;
    KelmIni ini;
    ScriptedPrompt prompt;
    TfrmSelectDirectory dialog;
};

TEST_F(SelectFolderDialog, FormHasTheLayoutAndTexts)
{
    EXPECT_EQ(dialog.size(), QSize(469, 226));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    ExpectLayout(dialog, {
        {"gbxSelectDirectory", {8, 8, 449, 177}},
        {"lblDirectoryInfo", {16, 24, 0, 0}},
        {"edtActiveConfigDirectory", {16, 104, 417, 21}},
        {"btnBrowse", {288, 136, 147, 25}},
        {"btnOK", {296, 192, 75, 25}},
        {"btnCancel", {384, 192, 75, 25}},
    });
    auto *info = dialog.findChild<QLabel *>("lblDirectoryInfo");
    EXPECT_EQ(info->width(), 404);
    EXPECT_TRUE(info->wordWrap());
    EXPECT_EQ(info->text(), TextTable::Text(11263));
    EXPECT_EQ(Field()->maxLength(), 32767) << "no length limit of its own";
    EXPECT_EQ(TabOrder(Field(), 4), QStringList({"edtActiveConfigDirectory", "btnBrowse", "btnOK", "btnCancel"}));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Välj standardmapp"));
    EXPECT_EQ(dialog.findChild<QGroupBox *>("gbxSelectDirectory")->title(), QStringLiteral("Standardmapp"));
    EXPECT_EQ(Button("btnBrowse")->text(), QStringLiteral("&Bläddra..."));
    EXPECT_EQ(Button("btnOK")->text(), QStringLiteral("&OK"));
    EXPECT_EQ(Button("btnCancel")->text(), QStringLiteral("&Avbryt"));
    for (const char *name : {"btnBrowse", "btnOK", "btnCancel"}) {
        EXPECT_FALSE(Button(name)->isDefault()) << name;
        EXPECT_FALSE(Button(name)->autoDefault()) << name;
    }
}

TEST_F(SelectFolderDialog, OkTakesTheFieldWithoutTrailingSeparatorsCancelChangesNothing)
{
    struct Case
    {
        const char *start;
        const char *typed; // nullptr: the field is left as shown
        bool ok;
        const char *directory;
        const char *stored; // nullptr: nothing written
    };
    const Case cases[] = {
        {"/data/kelm/", nullptr, true, "/data/kelm", "/data/kelm"},
        {"/data/kelm", "/srv/configs/", true, "/srv/configs", "/srv/configs"},
        {"/data/kelm", "/srv/configs//", true, "/srv/configs", "/srv/configs"},
        {"/data/kelm", "/no/such/folder", true, "/no/such/folder", "/no/such/folder"},
        {"/data/kelm", "", true, "", ""},
        {"/", nullptr, true, "/", "/"},
        {"/data/kelm/", "/srv/configs", false, "/data/kelm/", nullptr},
    };
    for (const Case &c : cases) {
        QFile::remove(ini.Path());
        QString directory = QString::fromLatin1(c.start);
        WhenShown(dialog, [&] {
            EXPECT_EQ(Field()->text(), TfrmSelectDirectory::WithoutTrailingSeparator(QString::fromLatin1(c.start)));
            if (c.typed)
                Field()->setText(QString::fromLatin1(c.typed));
            Button(c.ok ? "btnOK" : "btnCancel")->click();
        });
        EXPECT_EQ(dialog.SelectDefaultDirectory(directory, ini), c.ok) << c.start << " " << c.typed;
        EXPECT_EQ(directory, QString::fromLatin1(c.directory)) << c.start << " " << c.typed;
        EXPECT_EQ(Stored(), c.stored ? QString::fromLatin1(c.stored) : NotStored) << c.start << " " << c.typed;
    }
    EXPECT_TRUE(prompt.shown.isEmpty());
}

TEST_F(SelectFolderDialog, OnlyCancelAndTheCloseBoxCloseWithoutStoring)
{
    QString directory = "/data/kelm";
    WhenShown(dialog, [&] {
        Field()->setText("/elsewhere");
        QTest::keyClick(Field(), Qt::Key_Escape);
        QTest::keyClick(Field(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "neither Escape nor Enter closes the dialog";
        dialog.close();
    });
    EXPECT_FALSE(dialog.SelectDefaultDirectory(directory, ini));
    EXPECT_EQ(directory, "/data/kelm");
    EXPECT_EQ(Stored(), NotStored);
}

TEST_F(SelectFolderDialog, BrowseStartsAtAnExistingFolderAndTakesTheChoice)
{
    const QString existing = temp.path();
    struct Case
    {
        QString field;
        QString chosen; // empty: the browser is cancelled
        QString startedAt;
        QString fieldAfter;
    };
    const Case cases[] = {
        {existing + "/", "/srv/configs/", existing, "/srv/configs"},
        {existing, "", existing, existing},
        {"/no/such/folder", "/srv/a", "", "/srv/a"},
        {"", "/", "", "/"},
    };
    for (const Case &c : cases) {
        prompt.fileQuestions.clear();
        prompt.directories.clear();
        if (!c.chosen.isEmpty())
            prompt.directories.enqueue(c.chosen);
        Field()->setText(c.field);
        Button("btnBrowse")->click();
        EXPECT_EQ(prompt.fileQuestions, QStringList({c.startedAt})) << c.field.toStdString();
        EXPECT_EQ(Field()->text(), c.fieldAfter) << c.field.toStdString();
    }
}

TEST_F(SelectFolderDialog, CancelAfterBrowsingChangesNothing)
{
    prompt.directories.enqueue(temp.path());
    QString directory = "/data/kelm";
    WhenShown(dialog, [&] {
        Button("btnBrowse")->click();
        EXPECT_EQ(Field()->text(), temp.path());
        Button("btnCancel")->click();
    });
    EXPECT_FALSE(dialog.SelectDefaultDirectory(directory, ini));
    EXPECT_EQ(directory, "/data/kelm");
    EXPECT_EQ(Stored(), NotStored);
}

TEST_F(SelectFolderDialog, UnwritableSettingsFileIsReportedAndTheFolderKept)
{
    ini.SetPath(temp.filePath("missing/Values.ini"));
    QString directory = "/data/kelm";
    WhenShown(dialog, [&] {
        Field()->setText("/srv/configs/");
        Button("btnOK")->click();
    });
    EXPECT_TRUE(dialog.SelectDefaultDirectory(directory, ini));
    EXPECT_EQ(directory, "/srv/configs");
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Error);
    EXPECT_EQ(prompt.shown[0].text, "Unable to write to " + ini.Path());
}

} // namespace
