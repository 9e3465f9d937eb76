#include "KelmIni.h"

#include "CodeList.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <map>
#include <optional>

namespace {

const QLatin1StringView EmptyMarker("<EMPTY>");
const QLatin1StringView EndMarker("<END>");

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1 control
// of the same number so that any file survives a read and write unchanged.
// Every other byte is the Latin-1 character of the same number.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = quint8(byte);
        text += (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

std::optional<QByteArray> encodeCp1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += char(u);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i) {
            if (Cp1252High[i] == u)
                found = i;
        }
        if (found < 0)
            return std::nullopt;
        bytes += char(0x80 + found);
    }
    return bytes;
}

// "[name]" opens a section; returns the name, or nothing for other lines.
std::optional<QString> sectionOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    qsizetype end = trimmed.indexOf(u']');
    if (end < 0)
        end = trimmed.size();
    return trimmed.mid(1, end - 1).trimmed();
}

struct KeyLine
{
    QString key;
    QString value;
};

// "key=value", blanks around both ignored, a value in matching quotes unquoted.
std::optional<KeyLine> keyOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq <= 0)
        return std::nullopt;
    KeyLine result{trimmed.left(eq).trimmed(), trimmed.mid(eq + 1).trimmed()};
    if (result.key.isEmpty())
        return std::nullopt;
    const QString &v = result.value;
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        result.value = v.mid(1, v.size() - 2);
    result.value.truncate(KelmIni::MaxValueLength);
    return result;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One INI file as lines, kept exactly as read so that a write changes only
// the line it has to.
class IniDocument
{
public:
    static IniDocument Load(const QString &path)
    {
        IniDocument doc;
        QFile file(path);
        // Opening a named pipe for reading would wait for a writer.
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            return doc;
        QByteArray bytes = file.readAll();
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            doc.m_bom = true;
            bytes.remove(0, 3);
        }
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = utf8(bytes);
        if (utf8.hasError()) {
            text = decodeCp1252(bytes);
            doc.m_cp1252 = true;
        }
        // Lines keep their own "\r", so files with either line end, or both,
        // are written back as they were.
        doc.m_crlf = text.contains(u"\r\n");
        doc.m_finalEol = text.endsWith(u'\n');
        if (doc.m_finalEol)
            text.chop(1);
        if (!text.isEmpty() || doc.m_finalEol)
            doc.m_lines = text.split(u'\n');
        return doc;
    }

    bool Save(const QString &path) const
    {
        QString text = m_lines.join(u'\n');
        if (!m_lines.isEmpty() && m_finalEol)
            text += u'\n';
        QByteArray bytes;
        std::optional<QByteArray> legacy;
        if (m_cp1252)
            legacy = encodeCp1252(text);
        bytes = legacy ? *legacy : text.toUtf8();
        if (m_bom && !legacy)
            bytes.prepend("\xEF\xBB\xBF");
        QSaveFile file(path);
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (file.write(bytes) != bytes.size())
            return false;
        return file.commit();
    }

    // Calls visit(lineIndex, keyLine) for each key of the section, in file order.
    template<typename Visit>
    void ForEachKey(const QString &section, Visit visit) const
    {
        bool inSection = false;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (const auto name = sectionOf(m_lines[i])) {
                inSection = sameName(*name, section);
                continue;
            }
            if (!inSection)
                continue;
            if (const auto kv = keyOf(m_lines[i]))
                visit(i, *kv);
        }
    }

    std::optional<QString> Value(const QString &section, const QString &key) const
    {
        std::optional<QString> found;
        ForEachKey(section, [&](qsizetype, const KeyLine &kv) {
            if (!found && sameName(kv.key, key))
                found = kv.value;
        });
        return found;
    }

    bool HasSection(const QString &section) const
    {
        bool any = false;
        ForEachKey(section, [&](qsizetype, const KeyLine &) { any = true; });
        return any;
    }

    void SetValue(const QString &section, const QString &key, const QString &value)
    {
        qsizetype existing = -1;
        QString existingKey;
        ForEachKey(section, [&](qsizetype i, const KeyLine &kv) {
            if (existing < 0 && sameName(kv.key, key)) {
                existing = i;
                existingKey = kv.key;
            }
        });
        if (existing >= 0) {
            const bool cr = m_lines[existing].endsWith(u'\r');
            m_lines[existing] = existingKey + u'=' + value + (cr ? QStringLiteral("\r") : QString());
            return;
        }
        const QString line = key + u'=' + value + LineEnd();
        const qsizetype insertAt = EndOfSection(section);
        if (insertAt >= 0) {
            m_lines.insert(insertAt, line);
            return;
        }
        m_lines << (u'[' + section + u']' + LineEnd()) << line;
    }

private:
    QString LineEnd() const { return m_crlf ? QStringLiteral("\r") : QString(); }

    // Where a new key of the section goes: after its last key (or its header
    // when it has none), so blank lines before the next section stay in place.
    // -1 when the section is not in the file.
    qsizetype EndOfSection(const QString &section) const
    {
        qsizetype insertAt = -1;
        bool inSection = false;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (const auto name = sectionOf(m_lines[i])) {
                if (insertAt >= 0)
                    return insertAt;
                inSection = sameName(*name, section);
                if (inSection)
                    insertAt = i + 1;
                continue;
            }
            if (inSection && !m_lines[i].trimmed().isEmpty())
                insertAt = i + 1;
        }
        return insertAt;
    }

    QStringList m_lines;
    bool m_crlf = false;
    bool m_finalEol = true;
    bool m_bom = false;
    bool m_cp1252 = false;
};

// A list key is a number in decimal without leading zeros.
std::optional<qint32> listKeyNumber(const QString &key)
{
    if (key.isEmpty() || key.size() > 10 || (key.size() > 1 && key.front() == u'0'))
        return std::nullopt;
    for (const QChar c : key) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const qint64 n = key.toLongLong();
    if (n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

} // namespace

void KelmIni::SetPath(const QString &path)
{
    m_path = path;
}

QString KelmIni::Path() const
{
    return m_path;
}

QString KelmIni::ReadSetting(const QString &section, const QString &key, const QString &defaultValue) const
{
    return IniDocument::Load(m_path).Value(section, key).value_or(defaultValue);
}

bool KelmIni::WriteSetting(const QString &section, const QString &key, const QString &value)
{
    // A line break would end the line early and plant other lines in the file.
    for (const QString *part : {&section, &key, &value}) {
        if (part->contains(u'\n') || part->contains(u'\r'))
            return false;
    }
    IniDocument doc = IniDocument::Load(m_path);
    doc.SetValue(section, key, value);
    return doc.Save(m_path);
}

QString KelmIni::WriteErrorText() const
{
    return QStringLiteral("Unable to write to %1").arg(m_path);
}

bool KelmIni::SectionExists(const QString &section) const
{
    return IniDocument::Load(m_path).HasSection(section);
}

int KelmIni::FillList(ListControl &control, const QString &section, CodeList &codes) const
{
    control.Clear();
    codes.Clear();
    const IniDocument doc = IniDocument::Load(m_path);
    // Numbered keys in key order, the first of equal keys counting. Missing
    // numbers give no row, so walking the present ones in order reads the
    // list the same way as trying every number up to the highest.
    std::map<qint32, QString> numbered;
    doc.ForEachKey(section, [&](qsizetype, const KeyLine &kv) {
        if (const auto n = listKeyNumber(kv.key))
            numbered.try_emplace(*n, kv.value);
    });
    int rows = 0;
    for (const auto &[code, value] : numbered) {
        if (rows >= codes.Limit() || value == EndMarker)
            break;
        if (value == EmptyMarker)
            continue;
        control.Append(value);
        codes.Append(code);
        ++rows;
    }
    if (rows > 0)
        control.SelectIndex(0);
    return rows;
}
