#include "ScriptedPrompt.h"

#include "TextTable.h"

UserPrompt::Answer ScriptedPrompt::Next(Buttons buttons)
{
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
}

UserPrompt::Answer ScriptedPrompt::Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons)
{
    shown.append({kind, textNumber, TextTable::Format(textNumber, args), buttons});
    return Next(buttons);
}

UserPrompt::Answer ScriptedPrompt::MessageText(Kind kind, const QString &text, Buttons buttons)
{
    shown.append({kind, 0, text, buttons});
    return Next(buttons);
}

QString ScriptedPrompt::OpenFileName(const QString &, const QString &folder, const QString &)
{
    fileQuestions.append(folder);
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedPrompt::SaveFileName(const QString &, const QString &folder, const QString &, const QString &)
{
    fileQuestions.append(folder);
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedPrompt::ExistingDirectory(const QString &, const QString &folder)
{
    fileQuestions.append(folder);
    return directories.isEmpty() ? QString() : directories.dequeue();
}

QList<int> ScriptedPrompt::Numbers() const
{
    QList<int> numbers;
    for (const Shown &s : shown)
        numbers.append(s.textNumber);
    return numbers;
}
