#include "DstRule.h"

#include "CodeList.h"
#include "KelmIni.h"
#include "TextTable.h"

#include <QDate>
#include <QDateTime>

#include <limits>

namespace {

constexpr int RuleFieldCount = 11;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Reads eleven comma-separated integers, each after optional blanks and a
// sign, each comma right after its number; text after the last is ignored.
bool scanFields(const QString &text, qint32 (&fields)[RuleFieldCount])
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    for (int f = 0; f < RuleFieldCount; ++f) {
        while (pos < size && isBlank(text[pos]))
            ++pos;
        bool negative = false;
        if (pos < size && (text[pos] == u'+' || text[pos] == u'-'))
            negative = text[pos++] == u'-';
        const qsizetype digitsStart = pos;
        qint64 value = 0;
        while (pos < size && text[pos] >= u'0' && text[pos] <= u'9') {
            value = value * 10 + (text[pos++].unicode() - u'0');
            if (value > std::numeric_limits<qint32>::max())
                return false;
        }
        if (pos == digitsStart)
            return false;
        fields[f] = qint32(negative ? -value : value);
        if (f + 1 < RuleFieldCount) {
            if (pos >= size || text[pos] != u',')
                return false;
            ++pos;
        }
    }
    return true;
}

bool inRange(qint32 value, qint32 low, qint32 high)
{
    return value >= low && value <= high;
}

// Every field must be one the unit and the description can use: the ordinal
// words exist for occurrences 1..5 only, and a month or weekday out of range
// has no day.
bool isValid(const DstRule &r)
{
    return inRange(r.StartOccurrence, 1, 5) && inRange(r.StartWeekday, 1, 7)
        && inRange(r.StartMonth, 1, 12) && inRange(r.StartHour, 0, 23)
        && inRange(r.StartMinute, 0, 59) && inRange(r.StopOccurrence, 1, 5)
        && inRange(r.StopWeekday, 1, 7) && inRange(r.StopMonth, 1, 12)
        && inRange(r.StopHour, 0, 23) && inRange(r.StopMinute, 0, 59)
        && inRange(r.AdjustMinutes, 0, 255);
}

// The region code of a list row; 0 (no summer time) when no row is selected.
int regionCodeOfRow(const CodeList &regionCodes, int row)
{
    if (row < 0)
        return 0;
    const qint32 code = regionCodes.CodeOfRow(row);
    return code < 0 ? 0 : code;
}

void putDay(ImageBuffer &image, int address, int dayIndex)
{
    image[address] = quint8((dayIndex >> 8) & 0xFF);
    image[address + 1] = quint8(dayIndex & 0xFF);
}

// Turns a date format of the original tool's kind ("dddd 'i' mmmm 'kl'
// hh:nn:ss", where mm is the month and nn the minute) into a Qt format.
QString toQtDateFormat(const QString &format)
{
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = format.indexOf(c, i + 1);
            const QString literal = format.mid(i + 1, (end < 0 ? format.size() : end) - i - 1);
            out += u'\'' + QString(literal).replace(u'\'', QStringLiteral("''")) + u'\'';
            i = end < 0 ? format.size() : end;
        } else if (c == u'm' || c == u'M') {
            out += u'M';
        } else if (c == u'n' || c == u'N') {
            out += u'm';
        } else if (c == u'D') {
            out += u'd';
        } else if (c == u'H') {
            out += u'h';
        } else if (c == u'S') {
            out += u's';
        } else if (c == u'Y') {
            out += u'y';
        } else {
            out += c;
        }
    }
    return out;
}

QString describeChange(int occurrence, int weekday, int month, int hour, int minute, int year,
                       const QLocale &locale)
{
    const int day = RuleDayOfYear(year, occurrence, weekday, month);
    const QDateTime when(QDate(year, 1, 1).addDays(day - 1), QTime(hour, minute, 0));
    return TextTable::Text(11511 + occurrence)
        + locale.toString(when, toQtDateFormat(TextTable::Text(11517)));
}

} // namespace

bool ParseDstRule(const QString &text, DstRule &rule)
{
    rule = DstRule();
    qint32 f[RuleFieldCount] = {};
    if (text.size() > MaxDstRuleLength || !scanFields(text, f))
        return false;
    const DstRule parsed{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]};
    if (!isValid(parsed))
        return false;
    rule = parsed;
    return true;
}

bool ReadDstRule(const KelmIni &ini, int regionCode, DstRule &rule)
{
    const QString key = QString::number(regionCode) + QStringLiteral("TZ");
    return ParseDstRule(ini.ReadSetting(QString::fromLatin1(DaylightSavingSection), key), rule);
}

int RuleDayOfYear(int year, int occurrence, int weekday, int month)
{
    if (!inRange(weekday, 1, 7) || !inRange(month, 1, 12))
        return 0;
    const QDate first(year, month, 1);
    if (!first.isValid())
        return 0;
    // Qt numbers Monday 1 .. Sunday 7; rules number Sunday 1 .. Saturday 7.
    const int c = first.dayOfWeek() % 7 + 1;
    int d = weekday >= c ? weekday - c + 1 : weekday - c + 8;
    if (occurrence >= 2 && occurrence <= 4) {
        d += 7 * (occurrence - 1);
    } else if (occurrence == 5) {
        d += 21;
        if (first.daysInMonth() >= d + 7)
            d += 7;
    }
    return QDate(year, month, d).dayOfYear();
}

void FillDstBlock(ImageBuffer &image, const KelmIni &ini, const CodeList &regionCodes,
                  int selectedRow, int year)
{
    const int code = regionCodeOfRow(regionCodes, selectedRow);
    if (code != 0) {
        DstRule rule;
        if (ReadDstRule(ini, code, rule)) {
            for (int i = 0; i < Addr::DstYearCount; ++i) {
                putDay(image, Addr::DstStartDays + 2 * i,
                       RuleDayOfYear(year + i, rule.StartOccurrence, rule.StartWeekday, rule.StartMonth) - 1);
                putDay(image, Addr::DstStopDays + 2 * i,
                       RuleDayOfYear(year + i, rule.StopOccurrence, rule.StopWeekday, rule.StopMonth) - 1);
            }
        }
        image[Addr::DstAdjustMinutes] = quint8(rule.AdjustMinutes & 0xFF);
        image[Addr::DstStartHour] = quint8(rule.StartHour & 0xFF);
        image[Addr::DstStartMinute] = quint8(rule.StartMinute & 0xFF);
        image[Addr::DstStopHour] = quint8(rule.StopHour & 0xFF);
        image[Addr::DstStopMinute] = quint8(rule.StopMinute & 0xFF);
    } else {
        for (int a = Addr::DstAdjustMinutes; a <= Addr::DstStopMinute; ++a)
            image[a] = 0;
        for (int a = Addr::DstStartDays; a <= Addr::DstBlockLast; ++a)
            image[a] = 0;
    }
    image[Addr::DstFirstYear] = quint8((year - 2000) & 0xFF);
}

QString DescribeDstRule(const KelmIni &ini, const CodeList &regionCodes, int selectedRow, int year,
                        const QLocale &locale)
{
    if (selectedRow < 0)
        return QString();
    const int code = regionCodeOfRow(regionCodes, selectedRow);
    DstRule rule;
    if (code == 0 || !ReadDstRule(ini, code, rule))
        return TextTable::Text(11518);
    return TextTable::Format(11511, {
        describeChange(rule.StartOccurrence, rule.StartWeekday, rule.StartMonth, rule.StartHour,
                       rule.StartMinute, year, locale),
        describeChange(rule.StopOccurrence, rule.StopWeekday, rule.StopMonth, rule.StopHour,
                       rule.StopMinute, year, locale),
        QString::number(rule.AdjustMinutes),
    });
}
