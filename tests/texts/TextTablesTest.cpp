#include "TestSupport.h"
#include "TextTable.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>

#include <map>

// Checks on the shipped text tables themselves: their form, and that the
// Swedish and English tables say the same things in the same shape.

namespace {

struct RawTable
{
    std::map<int, QString> texts; // raw (escaped) text by number
    QStringList faults;
};

// Reads a table file line by line, stricter than the loader: every line that
// is not a comment must be "<number>\t<text>".
RawTable ReadRawTable(const QString &language)
{
    RawTable table;
    const QString path = TestSupport::SourcePath(QStringLiteral("src/resources/texts.%1.tsv").arg(language));
    const QByteArray bytes = TestSupport::ReadAll(path);
    if (bytes.isEmpty()) {
        table.faults << QStringLiteral("cannot read ") + path;
        return table;
    }
    const QString all = QString::fromUtf8(bytes);
    if (all.toUtf8() != bytes)
        table.faults << QStringLiteral("not valid UTF-8");
    if (!all.startsWith(u'#'))
        table.faults << QStringLiteral("does not start with a comment line");
    if (!all.endsWith(u'\n'))
        table.faults << QStringLiteral("last line has no line end");
    static const QRegularExpression lineForm(QStringLiteral("^([0-9]{5})\\t(.+)$"));
    const QStringList lines = all.split(u'\n');
    int previous = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() && i == lines.size() - 1)
            break;
        if (line.startsWith(u'#'))
            continue;
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        const auto match = lineForm.match(line);
        if (!match.hasMatch() || line.contains(u'\r')) {
            table.faults << where + QStringLiteral("malformed: ") + line;
            continue;
        }
        const int number = match.captured(1).toInt();
        if (table.texts.count(number))
            table.faults << where + QStringLiteral("duplicate number %1").arg(number);
        if (number <= previous)
            table.faults << where + QStringLiteral("%1 out of order").arg(number);
        previous = number;
        // The loader knows only \n and \\ as escapes in these tables.
        static const QRegularExpression badEscape(QStringLiteral("\\\\(?![n\\\\])"));
        QString withoutPairs = match.captured(2);
        withoutPairs.replace(QStringLiteral("\\\\"), QString());
        if (withoutPairs.contains(badEscape))
            table.faults << where + QStringLiteral("unknown escape in ") + line;
        table.texts[number] = match.captured(2);
    }
    return table;
}

bool IsTextNumber(int number)
{
    return (number >= 10001 && number <= 11701) || number == 65478 || number == 65479 || number == 65486;
}

// The sequence of "%s"/"%d" placeholders, line breaks and accelerator marks:
// the shape a translation has to keep.
QStringList Shape(const QString &text)
{
    QStringList shape;
    static const QRegularExpression marks(QStringLiteral("%[sd]|\\\\n|&"));
    auto it = marks.globalMatch(text);
    while (it.hasNext())
        shape << it.next().captured();
    return shape;
}

TEST(TextTableFiles, BothTablesAreWellFormed)
{
    for (const char *code : {"sv", "en"}) {
        const QString language = QString::fromLatin1(code);
        const RawTable table = ReadRawTable(language);
        EXPECT_TRUE(table.faults.isEmpty()) << language.toStdString() << ": " << table.faults.join(u'\n').toStdString();
        EXPECT_FALSE(table.texts.empty()) << language.toStdString();
        for (const auto &[number, text] : table.texts)
            EXPECT_TRUE(IsTextNumber(number)) << language.toStdString() << " " << number;
        // The loader must see exactly what the file holds, line for line.
        const auto parsed = TextTable::Parse(TestSupport::ReadAll(
            TestSupport::SourcePath(QStringLiteral("src/resources/texts.%1.tsv").arg(language))));
        EXPECT_EQ(parsed.size(), qsizetype(table.texts.size())) << language.toStdString();
    }
}

TEST(TextTableFiles, EnglishHasTheSameNumbersAndShapeAsSwedish)
{
    const RawTable sv = ReadRawTable(QStringLiteral("sv"));
    const RawTable en = ReadRawTable(QStringLiteral("en"));
    QStringList onlySv, onlyEn;
    for (const auto &[number, text] : sv.texts)
        if (!en.texts.count(number))
            onlySv << QString::number(number);
    for (const auto &[number, text] : en.texts)
        if (!sv.texts.count(number))
            onlyEn << QString::number(number);
    EXPECT_TRUE(onlySv.isEmpty()) << "missing in English: " << onlySv.join(u' ').toStdString();
    EXPECT_TRUE(onlyEn.isEmpty()) << "missing in Swedish: " << onlyEn.join(u' ').toStdString();

    for (const auto &[number, svText] : sv.texts) {
        const auto en_it = en.texts.find(number);
        if (en_it == en.texts.end())
            continue;
        const QString &enText = en_it->second;
        EXPECT_EQ(enText.count(QStringLiteral("%s")), svText.count(QStringLiteral("%s"))) << number;
        EXPECT_EQ(Shape(enText), Shape(svText)) << number << ": " << enText.toStdString();
        // Leading blanks are part of a text (a format appended to another word).
        EXPECT_EQ(enText.startsWith(u' '), svText.startsWith(u' ')) << number;
    }
}

// Every text number written in the program's sources must exist in both tables.
TEST(TextTableFiles, EveryNumberUsedInTheSourcesExists)
{
    const RawTable sv = ReadRawTable(QStringLiteral("sv"));
    const RawTable en = ReadRawTable(QStringLiteral("en"));
    ASSERT_FALSE(sv.texts.empty());
    // A five-digit literal standing on its own (not part of a longer number,
    // a hexadecimal literal or a name).
    static const QRegularExpression literal(QStringLiteral("(?<![\\w.])([0-9]{5})(?![\\w.])"));
    QStringList missing;
    int filesScanned = 0;
    QDirIterator it(TestSupport::SourcePath(QStringLiteral("src")), {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        ++filesScanned;
        const QString source = QString::fromUtf8(TestSupport::ReadAll(path));
        auto found = literal.globalMatch(source);
        while (found.hasNext()) {
            const int number = found.next().captured(1).toInt();
            if (!IsTextNumber(number))
                continue;
            if (!sv.texts.count(number) || !en.texts.count(number))
                missing << QStringLiteral("%1 (%2)").arg(number).arg(path.mid(path.indexOf(QStringLiteral("/src/")) + 1));
        }
    }
    EXPECT_GT(filesScanned, 0);
    EXPECT_TRUE(missing.isEmpty()) << "text numbers used but not in both tables:\n" << missing.join(u'\n').toStdString();
}

} // namespace
