#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Every user-visible text of the tool, looked up by its number. The tables are
// tab-separated files built into the program (":/kelm/texts.<lang>.tsv").
class TextTable
{
public:
    // The text with this number; "<number>" when the table lacks it.
    static QString Text(int number);
    static bool Has(int number);
    // The text with each "%s" or "%d" replaced by the next argument, in order
    // (missing arguments leave nothing, "%%" gives "%").
    static QString Format(int number, const QStringList &args);
    static QString FormatPattern(const QString &pattern, const QStringList &args);
    // "sv" (the default) or "en"; false, keeping the current table, when no
    // table exists for the language.
    static bool SetLanguage(const QString &language);
    static QString Language();
    // Parses one table file's contents (used by the loader and by tests).
    static QHash<int, QString> Parse(const QByteArray &contents);
};
