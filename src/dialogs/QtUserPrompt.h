#pragma once

#include "UserPrompt.h"

class QWidget;

// The real message boxes and file dialogs, shown over a parent window.
class QtUserPrompt : public UserPrompt
{
public:
    explicit QtUserPrompt(QWidget *parent) : parent(parent) {}

    Answer Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons) override;
    Answer MessageText(Kind kind, const QString &text, Buttons buttons) override;
    QString OpenFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString SaveFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &suggestedName) override;
    QString ExistingDirectory(const QString &title, const QString &folder) override;

private:
    QWidget *parent;
};
