#pragma once

#include "UserPrompt.h"

#include <QList>
#include <QQueue>

// Stands in for the person at the screen: records every message shown and
// gives the scripted answers in order (Ok / the first button when none is left).
class ScriptedPrompt : public UserPrompt
{
public:
    struct Shown
    {
        Kind kind;
        int textNumber; // 0 for a text not from the table
        QString text;
        Buttons buttons;
    };

    QList<Shown> shown;
    QQueue<Answer> answers;
    QQueue<QString> fileNames;   // answers to OpenFileName / SaveFileName
    QQueue<QString> directories; // answers to ExistingDirectory
    QStringList fileQuestions;   // the folder each file or folder question started in

    Answer Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons) override;
    Answer MessageText(Kind kind, const QString &text, Buttons buttons) override;
    QString OpenFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString SaveFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &suggestedName) override;
    QString ExistingDirectory(const QString &title, const QString &folder) override;

    QList<int> Numbers() const; // the text numbers shown, in order
    void Clear() { shown.clear(); }

private:
    Answer Next(Buttons buttons);
};
