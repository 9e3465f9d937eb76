#pragma once

#include <QString>
#include <QStringList>

class CodeList;
class ListControl;

// Reader and writer of "Values.ini". Every call opens the file at the current
// path, does its work and lets go of it, so a value written by one call is seen
// by the next. Section and key names match without regard to letter case;
// writing a key leaves every other line of the file as it was. Files are read
// as UTF-8, or as Windows-1252 when they are not valid UTF-8 (older tools wrote
// that), and written back in the encoding they were read in.
class KelmIni
{
public:
    // Longest value that is read; longer values are cut.
    static constexpr int MaxValueLength = 2047;

    void SetPath(const QString &path);
    QString Path() const;

    // The key's value, or defaultValue when the file, section or key is missing.
    QString ReadSetting(const QString &section, const QString &key,
                        const QString &defaultValue = QString()) const;
    // Writes the key at once, creating the file, section and key where needed.
    // False when the file could not be written, or when a name or the value
    // holds a line break, which no INI line can; WriteErrorText() then names it.
    bool WriteSetting(const QString &section, const QString &key, const QString &value);
    // "Unable to write to <path>", the text a failed WriteSetting is reported with.
    QString WriteErrorText() const;
    // A section exists when it holds at least one key.
    bool SectionExists(const QString &section) const;

    // Fills one drop-down list and its code list from a list section ("0", "1",
    // ... keys; "<EMPTY>" skips a number, "<END>" ends the list). Reading also
    // ends at the list's limit and after the highest key number in the section.
    // Returns the number of rows added; row 0 is selected when there is one.
    int FillList(ListControl &control, const QString &section, CodeList &codes) const;

private:
    QString m_path = QStringLiteral("Values.ini");
};
