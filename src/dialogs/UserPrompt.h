#pragma once

#include <QString>
#include <QStringList>

// Every message box, file dialog and folder browser of the window and the
// dialogs goes through this interface, so tests can script a person's answers.
class UserPrompt
{
public:
    enum class Kind { Error, Warning, Information };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~UserPrompt() = default;

    // A message from the text table, "%s" filled from args in order.
    virtual Answer Message(Kind kind, int textNumber, const QStringList &args = {}, Buttons buttons = Buttons::Ok) = 0;
    // A message whose text is not in the table (the toolkit's own errors).
    virtual Answer MessageText(Kind kind, const QString &text, Buttons buttons = Buttons::Ok) = 0;

    // File and folder questions; each returns the empty text when the person cancels.
    virtual QString OpenFileName(const QString &title, const QString &folder, const QString &filter) = 0;
    virtual QString SaveFileName(const QString &title, const QString &folder, const QString &filter,
                                 const QString &suggestedName) = 0;
    virtual QString ExistingDirectory(const QString &title, const QString &folder) = 0;
};
