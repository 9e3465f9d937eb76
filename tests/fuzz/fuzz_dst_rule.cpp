// Summer-time rules as "Values.ini" may hold them: any text as the rule of a
// region, parsed, written into an image's daylight-saving block and described.
// The first two input bytes pick the year; the rest is the rule text.
#include "CodeList.h"
#include "DstRule.h"
#include "FuzzSupport.h"
#include "KelmIni.h"
#include "TextTable.h"

#include <QDate>

namespace {

bool InRange(qint32 value, qint32 low, qint32 high)
{
    return value >= low && value <= high;
}

void CheckDay(int year, int occurrence, int weekday, int month)
{
    const int day = RuleDayOfYear(year, occurrence, weekday, month);
    if (!InRange(weekday, 1, 7) || !InRange(month, 1, 12)) {
        FUZZ_CHECK(day == 0);
        return;
    }
    const QDate date = QDate(year, 1, 1).addDays(day - 1);
    FUZZ_CHECK(date.isValid() && date.year() == year && date.month() == month);
    FUZZ_CHECK(date.dayOfWeek() % 7 + 1 == weekday);
    if (occurrence >= 1 && occurrence <= 4)
        FUZZ_CHECK((date.day() - 1) / 7 + 1 == occurrence);
    else if (occurrence == 5)
        FUZZ_CHECK(date.day() + 7 > date.daysInMonth());
    else
        FUZZ_CHECK(date.day() <= 7);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Reader input(data, size);
    const int year = 1990 + (input.Byte() | input.Byte() << 8) % 200;
    const QByteArray ruleBytes = input.Rest();
    const QString rule = QString::fromUtf8(ruleBytes);

    DstRule parsed;
    parsed.StartMonth = 99;
    if (ParseDstRule(rule, parsed)) {
        FUZZ_CHECK(rule.size() <= MaxDstRuleLength);
        FUZZ_CHECK(InRange(parsed.StartOccurrence, 1, 5) && InRange(parsed.StopOccurrence, 1, 5));
        FUZZ_CHECK(InRange(parsed.StartWeekday, 1, 7) && InRange(parsed.StopWeekday, 1, 7));
        FUZZ_CHECK(InRange(parsed.StartMonth, 1, 12) && InRange(parsed.StopMonth, 1, 12));
        FUZZ_CHECK(InRange(parsed.StartHour, 0, 23) && InRange(parsed.StopHour, 0, 23));
        FUZZ_CHECK(InRange(parsed.StartMinute, 0, 59) && InRange(parsed.StopMinute, 0, 59));
        FUZZ_CHECK(InRange(parsed.AdjustMinutes, 0, 255));
        CheckDay(year, parsed.StartOccurrence, parsed.StartWeekday, parsed.StartMonth);
        CheckDay(year, parsed.StopOccurrence, parsed.StopWeekday, parsed.StopMonth);
    } else {
        FUZZ_CHECK(parsed == DstRule());
    }

    // The same text read from a file, through the region list, into an image.
    KelmIni ini;
    ini.SetPath(FuzzSupport::ScratchPath(QStringLiteral("Values.ini")));
    FUZZ_CHECK(FuzzSupport::WriteFile(ini.Path(),
        "[DaylightSaving]\n0=Ingen sommartid\n1=Region\n1TZ=" + ruleBytes.left(ruleBytes.indexOf('\n')) + "\n"));
    FuzzSupport::RecordingList control;
    CodeList regions(ListLimit::DaylightSaving);
    FUZZ_CHECK(ini.FillList(control, QStringLiteral("DaylightSaving"), regions) == 2);

    ImageBuffer image;
    image.fill(0xA5);
    const ImageBuffer before = image;
    FillDstBlock(image, ini, regions, 1, year);
    for (int address = 0; address < BufferSize; ++address) {
        if (address < Addr::DstBlockFirst || address > Addr::DstBlockLast)
            FUZZ_CHECK(image[address] == before[address]);
    }
    FUZZ_CHECK(image[Addr::DstFirstYear] == quint8(year - 2000));
    DstRule fromFile;
    if (ReadDstRule(ini, 1, fromFile)) {
        FUZZ_CHECK(image[Addr::DstAdjustMinutes] == fromFile.AdjustMinutes);
        for (int i = 0; i < Addr::DstYearCount; ++i) {
            const int start = image[Addr::DstStartDays + 2 * i] << 8 | image[Addr::DstStartDays + 2 * i + 1];
            FUZZ_CHECK(start == RuleDayOfYear(year + i, fromFile.StartOccurrence, fromFile.StartWeekday,
                                              fromFile.StartMonth) - 1);
        }
    } else {
        // No rule: the old tables stay and the change times are zero.
        for (int address = Addr::DstStartDays; address <= Addr::DstBlockLast; ++address)
            FUZZ_CHECK(image[address] == before[address]);
        for (int address = Addr::DstAdjustMinutes; address <= Addr::DstStopMinute; ++address)
            FUZZ_CHECK(image[address] == 0);
    }

    const QString text = DescribeDstRule(ini, regions, 1, year, QLocale(QLocale::Swedish, QLocale::Sweden));
    FUZZ_CHECK(!text.isEmpty());
    if (!ReadDstRule(ini, 1, fromFile))
        FUZZ_CHECK(text == TextTable::Text(11518));
    FUZZ_CHECK(DescribeDstRule(ini, regions, 0, year) == TextTable::Text(11518));

    // Day lookups with any numbers at all.
    FuzzSupport::Reader raw(data, size);
    const int occurrence = qint8(raw.Byte());
    const int weekday = qint8(raw.Byte());
    const int month = qint8(raw.Byte());
    CheckDay(year, occurrence, weekday, month);
    return 0;
}
