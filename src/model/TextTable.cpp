#include "TextTable.h"

#include <QFile>

#include <utility>

namespace {

struct Table
{
    QString language = QStringLiteral("sv");
    QHash<int, QString> texts;
    bool loaded = false;
};

Table &current()
{
    static Table table;
    return table;
}

bool load(Table &table, const QString &language)
{
    QFile file(QStringLiteral(":/kelm/texts.%1.tsv").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QHash<int, QString> texts = TextTable::Parse(file.readAll());
    if (texts.isEmpty())
        return false;
    table.texts = std::move(texts);
    table.language = language;
    table.loaded = true;
    return true;
}

const QHash<int, QString> &texts()
{
    Table &table = current();
    if (!table.loaded)
        load(table, table.language);
    return table.texts;
}

QString unescape(const QString &raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw[++i];
            if (next == u'n')
                out += u'\n';
            else if (next == u't')
                out += u'\t';
            else
                out += next;
        } else {
            out += raw[i];
        }
    }
    return out;
}

} // namespace

QHash<int, QString> TextTable::Parse(const QByteArray &contents)
{
    QHash<int, QString> result;
    QString all = QString::fromUtf8(contents);
    // A byte-order mark written by some editors would otherwise spoil the first number.
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    const QStringList lines = all.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0 || line.startsWith(u'#'))
            continue;
        bool ok = false;
        const int number = line.left(tab).toInt(&ok);
        if (ok)
            result.insert(number, unescape(line.mid(tab + 1)));
    }
    return result;
}

QString TextTable::Text(int number)
{
    const auto &table = texts();
    const auto it = table.constFind(number);
    return it == table.constEnd() ? QStringLiteral("<%1>").arg(number) : *it;
}

bool TextTable::Has(int number)
{
    return texts().contains(number);
}

bool TextTable::SetLanguage(const QString &language)
{
    Table candidate;
    if (!load(candidate, language))
        return false;
    current() = candidate;
    return true;
}

QString TextTable::Language()
{
    return current().language;
}

QString TextTable::Format(int number, const QStringList &args)
{
    return FormatPattern(Text(number), args);
}

QString TextTable::FormatPattern(const QString &pattern, const QStringList &args)
{
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const QChar kind = i + 1 < pattern.size() ? pattern[i + 1] : QChar();
        if (c == u'%' && (kind == u's' || kind == u'd')) {
            // Numbers arrive already turned into text, so %d takes the next argument like %s.
            if (next < args.size())
                out += args[next];
            ++next;
            ++i;
        } else if (c == u'%' && kind == u'%') {
            out += u'%';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}
