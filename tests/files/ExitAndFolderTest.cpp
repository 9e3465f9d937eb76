#include "FilesFixture.h"

#include "KelmIni.h"
#include "SelectFolder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using Answer = UserPrompt::Answer;

class ExitCommand : public FilesFixture
{
protected:
    void SetUp() override
    {
        FilesFixture::SetUp();
        Start();
        window->show();
        prompt.Clear();
    }
};

TEST_F(ExitCommand, AsksWhetherToSaveAndClosesUnlessCancelled)
{
    struct Case
    {
        Answer answer;
        bool saveAsked;
        bool closed;
    };
    for (const Case &c : {Case{Answer::Cancel, false, false}, Case{Answer::No, false, true},
                          Case{Answer::Yes, true, true}}) {
        SCOPED_TRACE(int(c.answer));
        window->show();
        prompt.Clear();
        prompt.fileQuestions.clear();
        prompt.answers.enqueue(c.answer);

        window->mnuFileExitClick();

        ASSERT_FALSE(prompt.shown.isEmpty());
        EXPECT_EQ(prompt.shown[0].textNumber, 11301);
        EXPECT_EQ(prompt.shown[0].kind, UserPrompt::Kind::Information);
        EXPECT_EQ(prompt.shown[0].buttons, UserPrompt::Buttons::YesNoCancel);
        // After New, Save asks for a name; the scripted person cancels it.
        EXPECT_EQ(prompt.fileQuestions.size(), c.saveAsked ? 1 : 0);
        EXPECT_EQ(window->isVisible(), !c.closed);
    }
}

TEST_F(ExitCommand, YesSavesTheOpenedFileThenCloses)
{
    const QString path = Path("work/Dörr3.Kelm");
    ASSERT_TRUE(WriteImage(path, Image(0x33)));
    window->HandleDroppedFiles({path});
    window->findChild<QLineEdit *>("edtInPassageDelay")->setText(QStringLiteral("17"));
    prompt.answers.enqueue(Answer::Yes);

    window->mnuFileExitClick();

    EXPECT_EQ(quint8(TestSupport::ReadAll(path)[Addr::InPassageDelay]), 17);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ExitCommand, YesClosesEvenWhenTheSaveFails)
{
    const QString path = Path("work/Dörr3.Kelm");
    ASSERT_TRUE(WriteImage(path, Image(0x33)));
    window->HandleDroppedFiles({path});
    window->findChild<QLineEdit *>("edtInPassageDelay")->setText(QString());
    prompt.answers.enqueue(Answer::Yes);

    window->mnuFileExitClick();

    EXPECT_EQ(prompt.Numbers(), QList<int>({11301, 11419}));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ExitCommand, TheCloseBoxAsksNothing)
{
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompt.shown.isEmpty());
}

class DefaultFolderCommand : public FilesFixture
{
protected:
    void SetUp() override
    {
        FilesFixture::SetUp();
        Start();
        dialog = std::make_unique<TfrmSelectDirectory>(window.get());
        dialog->SetPrompt(&prompt);
        window->SetSelectDirectoryForm(dialog.get());
        prompt.Clear();
    }

    // Runs the menu command; while the dialog is open, types text (unless
    // null) into its field and presses the named button.
    QString RunDialog(const QString &typed, const char *button)
    {
        QString shown;
        QTimer::singleShot(0, dialog.get(), [&] {
            auto *field = dialog->findChild<QLineEdit *>("edtActiveConfigDirectory");
            shown = field->text();
            if (!typed.isNull())
                field->setText(typed);
            dialog->findChild<QPushButton *>(QLatin1String(button))->click();
        });
        window->mnuFileSelectDefaultDirectoryClick();
        return shown;
    }

    QString Stored() const { return window->KelmIni.ReadSetting("Setup", "ConfigDirectory", "<none>"); }

    std::unique_ptr<TfrmSelectDirectory> dialog;
};

TEST_F(DefaultFolderCommand, OkTakesTheFolderWithoutTrailingSeparator)
{
    struct Case
    {
        const char *what;
        QString before;
        QString typed; // null: left as shown
        QString after;
    };
    const QString folder = Path("work");
    const Case cases[] = {
        {"unchanged", folder, QString(), folder},
        {"a separator from the command line is dropped", folder + "/", QString(), folder},
        {"typed with separators", folder, Path("other//"), Path("other")},
        {"a folder that does not exist", folder, Path("nowhere"), Path("nowhere")},
        {"cleared", folder, QStringLiteral(""), QStringLiteral("")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        window->DefaultConfigDirectory = c.before;
        const QString shown = RunDialog(c.typed, "btnOK");
        EXPECT_EQ(shown, folder);
        EXPECT_EQ(window->DefaultConfigDirectory, c.after);
        EXPECT_EQ(Stored(), c.after);
    }
    prompt.fileQuestions.clear();
    window->mnuFileOpenClick();
    EXPECT_EQ(prompt.fileQuestions, QStringList{QString()}) << "the open dialog starts in the new folder";
}

TEST_F(DefaultFolderCommand, CancelChangesNothing)
{
    const QString stored = Stored();
    window->DefaultConfigDirectory = Path("work/");
    prompt.directories.enqueue(Path("program"));
    QTimer::singleShot(0, dialog.get(), [&] {
        dialog->findChild<QPushButton *>("btnBrowse")->click();
        EXPECT_EQ(dialog->Directory(), Path("program"));
        dialog->findChild<QPushButton *>("btnCancel")->click();
    });
    window->mnuFileSelectDefaultDirectoryClick();
    EXPECT_EQ(window->DefaultConfigDirectory, Path("work/"));
    EXPECT_EQ(Stored(), stored);
}

} // namespace
