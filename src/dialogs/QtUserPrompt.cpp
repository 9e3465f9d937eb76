#include "QtUserPrompt.h"

#include "TextTable.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace {

QMessageBox::Icon IconOf(UserPrompt::Kind kind)
{
    switch (kind) {
    case UserPrompt::Kind::Error:
        return QMessageBox::Critical;
    case UserPrompt::Kind::Warning:
        return QMessageBox::Warning;
    case UserPrompt::Kind::Information:
        break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons ButtonsOf(UserPrompt::Buttons buttons)
{
    switch (buttons) {
    case UserPrompt::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case UserPrompt::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case UserPrompt::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// A box closed without a button (Escape, the close box) counts as its most
// cautious answer.
UserPrompt::Answer AnswerOf(int clicked, UserPrompt::Buttons buttons)
{
    switch (clicked) {
    case QMessageBox::Yes:
        return UserPrompt::Answer::Yes;
    case QMessageBox::No:
        return UserPrompt::Answer::No;
    case QMessageBox::Ok:
        return UserPrompt::Answer::Ok;
    case QMessageBox::Cancel:
        return UserPrompt::Answer::Cancel;
    }
    switch (buttons) {
    case UserPrompt::Buttons::YesNo:
        return UserPrompt::Answer::No;
    case UserPrompt::Buttons::YesNoCancel:
        return UserPrompt::Answer::Cancel;
    case UserPrompt::Buttons::Ok:
        break;
    }
    return UserPrompt::Answer::Ok;
}

// Debian's Swedish catalogue of the toolkit predates the move of the standard
// button texts (Yes, No, Cancel...) to the "QPlatformTheme" context; it still
// holds them under "QDialogButtonBox". Look there when the new context has none.
class ToolkitTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty() && qstrcmp(context, "QPlatformTheme") == 0)
            text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
        return text;
    }
};

}

bool QtUserPrompt::InstallToolkitTranslation(const QLocale &locale)
{
    // Debian ships the toolkit's texts as the combined "qt" catalogue; newer
    // systems split them into "qtbase".
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalogue : {"qtbase", "qt"}) {
        auto *translator = new ToolkitTranslator(qApp);
        if (translator->load(locale, QLatin1String(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}

UserPrompt::Answer QtUserPrompt::Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons)
{
    return MessageText(kind, TextTable::Format(textNumber, args), buttons);
}

UserPrompt::Answer QtUserPrompt::MessageText(Kind kind, const QString &text, Buttons buttons)
{
    QMessageBox box(IconOf(kind), QGuiApplication::applicationDisplayName(), text, ButtonsOf(buttons), parent);
    return AnswerOf(box.exec(), buttons);
}

QString QtUserPrompt::OpenFileName(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtUserPrompt::SaveFileName(const QString &title, const QString &folder, const QString &filter,
                                   const QString &suggestedName)
{
    // The callers ask about replacing a file themselves.
    const QString start = suggestedName.isEmpty() ? folder : QDir(folder).filePath(suggestedName);
    return QFileDialog::getSaveFileName(parent, title, start, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtUserPrompt::ExistingDirectory(const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, title, folder);
}
