#include "QtUserPrompt.h"

#include "TextTable.h"

#include <QFileDialog>
#include <QMessageBox>

UserPrompt::Answer QtUserPrompt::Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons)
{
    return MessageText(kind, TextTable::Format(textNumber, args), buttons);
}

UserPrompt::Answer QtUserPrompt::MessageText(Kind, const QString &, Buttons)
{
    return Answer::Ok;
}

QString QtUserPrompt::OpenFileName(const QString &, const QString &, const QString &)
{
    return {};
}

QString QtUserPrompt::SaveFileName(const QString &, const QString &, const QString &, const QString &)
{
    return {};
}

QString QtUserPrompt::ExistingDirectory(const QString &, const QString &)
{
    return {};
}
