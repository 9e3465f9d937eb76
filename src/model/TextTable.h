#pragma once

#include <QHash>
#include <QString>

// Every user-visible text of the tool, looked up by its number. The tables are
// tab-separated files built into the program (":/kelm/texts.<lang>.tsv").
class TextTable
{
public:
    // The text with this number; "<number>" when the table lacks it.
    static QString Text(int number);
    static bool Has(int number);
    // "sv" (the default) or "en"; false when no table exists for the language.
    static bool SetLanguage(const QString &language);
    static QString Language();
    // Parses one table file's contents (used by the loader and by tests).
    static QHash<int, QString> Parse(const QByteArray &contents);
};
