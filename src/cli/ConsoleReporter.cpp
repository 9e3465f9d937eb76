#include "ConsoleReporter.h"

#include "ConfigListing.h"
#include "TextTable.h"

ConsoleReporter::ConsoleReporter(QTextStream &out, QTextStream &err, const ValueLists &lists)
    : m_out(out), m_err(err), m_lists(lists)
{
}

void ConsoleReporter::Message(Kind kind, int textNumber, const QStringList &args)
{
    MessageText(kind, TextTable::Format(textNumber, args));
}

void ConsoleReporter::MessageText(Kind kind, const QString &text)
{
    if (kind == Kind::Information) {
        if (!m_quiet)
            m_out << text << Qt::endl;
        return;
    }
    m_err << text << Qt::endl;
}

int ConsoleReporter::ShowReadImage(const ImageBuffer &image, QString &fieldName)
{
    QString content;
    return ConfigCheck::CheckFields(image, m_lists, fieldName, content);
}

bool ConsoleReporter::AskRadioCodes(const RadioCodeTexts &oldCodes, RadioCodeTexts &newCodes)
{
    m_oldCodes = oldCodes;
    if (!m_newCodes)
        return false;
    newCodes = *m_newCodes;
    return true;
}
