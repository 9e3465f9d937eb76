#include "QtUserPrompt.h"
#include "TestSupport.h"
#include "TextTable.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace {

// Acts on the modal box or dialog that the call under test opens. A box that
// is still open a little later (or one that the action opened in its turn) is
// a failure and is closed, so a failing test cannot hang.
void WhenModalOpens(const std::function<void(QWidget *)> &act, int tries = 200)
{
    QTimer::singleShot(10, [act, tries] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (tries > 0)
                WhenModalOpens(act, tries - 1);
            else
                ADD_FAILURE() << "no box was opened";
            return;
        }
        QTimer::singleShot(3000, [first = QPointer<QWidget>(modal)] {
            for (int i = 0; i < 5 && first && first->isVisible(); ++i) {
                QWidget *left = QApplication::activeModalWidget();
                ADD_FAILURE() << "a box was left open: " << left->metaObject()->className();
                if (auto *dialog = qobject_cast<QDialog *>(left))
                    dialog->reject();
                else
                    left->close();
            }
        });
        act(modal);
    });
}

struct Seen
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;
};

QAbstractButton *Button(QMessageBox *box, QMessageBox::StandardButton which)
{
    return box ? box->button(which) : nullptr;
}

struct BoxCase
{
    UserPrompt::Kind kind;
    UserPrompt::Buttons buttons;
    QMessageBox::StandardButton click; // NoButton: press Escape
    QMessageBox::Icon icon;
    QStringList buttonTexts; // as the toolkit shows them in Swedish
    UserPrompt::Answer answer;
};

const BoxCase Boxes[] = {
    {UserPrompt::Kind::Error, UserPrompt::Buttons::Ok, QMessageBox::Ok, QMessageBox::Critical, {"OK"},
     UserPrompt::Answer::Ok},
    {UserPrompt::Kind::Warning, UserPrompt::Buttons::Ok, QMessageBox::NoButton, QMessageBox::Warning, {"OK"},
     UserPrompt::Answer::Ok},
    {UserPrompt::Kind::Information, UserPrompt::Buttons::YesNo, QMessageBox::No, QMessageBox::Information,
     {"&Ja", "&Nej"}, UserPrompt::Answer::No},
    {UserPrompt::Kind::Information, UserPrompt::Buttons::YesNoCancel, QMessageBox::Yes, QMessageBox::Information,
     {"&Ja", "&Nej", "Avbryt"}, UserPrompt::Answer::Yes},
    {UserPrompt::Kind::Information, UserPrompt::Buttons::YesNoCancel, QMessageBox::Cancel,
     QMessageBox::Information, {"&Ja", "&Nej", "Avbryt"}, UserPrompt::Answer::Cancel},
    {UserPrompt::Kind::Information, UserPrompt::Buttons::YesNoCancel, QMessageBox::NoButton,
     QMessageBox::Information, {"&Ja", "&Nej", "Avbryt"}, UserPrompt::Answer::Cancel},
};

class QtUserPromptBoxes : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(QtUserPrompt::InstallToolkitTranslation(QLocale(QLocale::Swedish, QLocale::Sweden)));
        QGuiApplication::setApplicationDisplayName(TextTable::Text(10001));
    }
    QWidget owner;
    QtUserPrompt prompt{&owner};
};

TEST_F(QtUserPromptBoxes, BoxShowsTitleTextIconAndSwedishButtonsAndGivesTheAnswer)
{
    for (const BoxCase &c : Boxes) {
        SCOPED_TRACE(c.buttonTexts.join(QLatin1Char(' ')).toStdString() + " click " + std::to_string(c.click));
        Seen seen;
        WhenModalOpens([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            seen.icon = box->icon();
            seen.title = box->windowTitle();
            seen.text = box->text();
            for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                if (QAbstractButton *button = Button(box, b))
                    seen.buttons << button->text();
            if (c.click == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                Button(box, c.click)->click();
        });
        const UserPrompt::Answer answer = prompt.Message(c.kind, 11301, {}, c.buttons);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.title, TextTable::Text(10001));
        EXPECT_EQ(seen.text, TextTable::Text(11301));
        EXPECT_EQ(seen.buttons, c.buttonTexts);
    }
}

TEST_F(QtUserPromptBoxes, MessageFillsThePlaceholdersAndKeepsLineBreaks)
{
    QString text;
    WhenModalOpens([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    prompt.Message(UserPrompt::Kind::Error, 11418, {QStringLiteral("Inpassagetid (s)"), QStringLiteral("49"),
                                                    QStringLiteral("250")},
                   UserPrompt::Buttons::Ok);
    EXPECT_EQ(text, QStringLiteral("Fel vid konvertering av data!\nVärdet i fältet 'Inpassagetid (s)' är "
                                   "ogiltigt.\nAdress 49 innehåller 250.\nVar vänlig kontakta VORN Electronics"));
}

class QtUserPromptFiles : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QWidget owner;
    QtUserPrompt prompt{&owner};

    QString Path(const QString &name) const { return QDir(dir.path()).filePath(name); }
};

TEST_F(QtUserPromptFiles, OpenStartsInTheFolderWithTheFilterAndGivesTheChosenFile)
{
    ASSERT_TRUE(TestSupport::WriteAll(Path(QStringLiteral("a.Kelm")), QByteArray(256, 0)));
    QString title, folder;
    QStringList filters;
    WhenModalOpens([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        dialog->selectFile(Path(QStringLiteral("a.Kelm")));
        static_cast<QDialog *>(dialog)->accept();
    });
    const QString chosen = prompt.OpenFileName(QStringLiteral("Öppna"), dir.path(), QStringLiteral("KELM konfiguration (*.Kelm)"));
    EXPECT_EQ(chosen, Path(QStringLiteral("a.Kelm")));
    EXPECT_EQ(title, QStringLiteral("Öppna"));
    EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(filters, QStringList{QStringLiteral("KELM konfiguration (*.Kelm)")});
}

TEST_F(QtUserPromptFiles, CancelGivesTheEmptyText)
{
    WhenModalOpens([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    EXPECT_TRUE(prompt.OpenFileName(QStringLiteral("Öppna"), dir.path(), QString()).isEmpty());
    WhenModalOpens([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    EXPECT_TRUE(prompt.ExistingDirectory(QStringLiteral("Välj"), dir.path()).isEmpty());
}

TEST_F(QtUserPromptFiles, SaveSuggestsTheNameAndLeavesTheOverwriteQuestionToTheCaller)
{
    ASSERT_TRUE(TestSupport::WriteAll(Path(QStringLiteral("old.Kelm")), QByteArray(256, 0)));
    QStringList suggested;
    WhenModalOpens([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        suggested = dialog->selectedFiles();
        dialog->selectFile(QStringLiteral("old.Kelm"));
        static_cast<QDialog *>(dialog)->accept();
    });
    const QString chosen = prompt.SaveFileName(QStringLiteral("Spara som"), dir.path(),
                                               QStringLiteral("KELM konfiguration (*.Kelm)"), QStringLiteral("ny.Kelm"));
    EXPECT_EQ(chosen, Path(QStringLiteral("old.Kelm")));
    EXPECT_EQ(suggested, QStringList{Path(QStringLiteral("ny.Kelm"))});
}

TEST_F(QtUserPromptFiles, FolderBrowserGivesTheChosenFolder)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Konfig")));
    QString folder;
    WhenModalOpens([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        folder = dialog->directory().absolutePath();
        dialog->selectFile(Path(QStringLiteral("Konfig")));
        static_cast<QDialog *>(dialog)->accept();
    });
    EXPECT_EQ(prompt.ExistingDirectory(QStringLiteral("Välj standardmapp"), dir.path()), Path(QStringLiteral("Konfig")));
    EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
}

} // namespace
