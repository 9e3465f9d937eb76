#pragma once

#include "UserPrompt.h"

class QLocale;
class QWidget;

// The real message boxes and file dialogs, shown modally over a parent window.
// Message boxes carry the application's title, as the tool's boxes always did.
class QtUserPrompt : public UserPrompt
{
public:
    explicit QtUserPrompt(QWidget *parent) : parent(parent) {}

    // Loads the toolkit's own texts (the buttons of message boxes and file
    // dialogs) for the locale's language; false when the system has none.
    static bool InstallToolkitTranslation(const QLocale &locale);

    Answer Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons) override;
    Answer MessageText(Kind kind, const QString &text, Buttons buttons) override;
    QString OpenFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString SaveFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &suggestedName) override;
    QString ExistingDirectory(const QString &title, const QString &folder) override;

private:
    QWidget *parent;
};
