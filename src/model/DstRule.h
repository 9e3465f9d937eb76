#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include "ConfigImage.h"

class CodeList;
class KelmIni;

// One region's summer-time rule, as stored under "<code>TZ" in the
// "DaylightSaving" section: eleven comma-separated integers in this order.
struct DstRule
{
    qint32 StartOccurrence = 0; // 1..4 first..fourth, 5 last
    qint32 StartWeekday = 0;    // 1 Sunday .. 7 Saturday
    qint32 StartMonth = 0;      // 1..12
    qint32 StartHour = 0;
    qint32 StartMinute = 0;
    qint32 StopOccurrence = 0;
    qint32 StopWeekday = 0;
    qint32 StopMonth = 0;
    qint32 StopHour = 0;
    qint32 StopMinute = 0;
    qint32 AdjustMinutes = 0;   // 0..255

    bool operator==(const DstRule &) const = default;
};

inline constexpr const char *DaylightSavingSection = "DaylightSaving";
// Longest rule value that is taken.
inline constexpr int MaxDstRuleLength = 51;

// Parses a rule value. False (and rule all zero) when fewer than eleven integers
// are read, the text is longer than MaxDstRuleLength, or a field is out of range.
bool ParseDstRule(const QString &text, DstRule &rule);
// Reads and parses the rule of a region code from "Values.ini".
bool ReadDstRule(const KelmIni &ini, int regionCode, DstRule &rule);

// Day of the year, counted from 1, of that occurrence (5 = last) of the weekday
// (1 Sunday .. 7 Saturday) in the month. 0 for a weekday or month out of range.
int RuleDayOfYear(int year, int occurrence, int weekday, int month);

// Fills the image's summer-time block (bytes 106..175) for the selected region
// row (-1 for none) with sixteen years of start and stop days from `year` on.
void FillDstBlock(ImageBuffer &image, const KelmIni &ini, const CodeList &regionCodes,
                  int selectedRow, int year);

// The text the region list's "View" command shows; empty when no row is selected.
QString DescribeDstRule(const KelmIni &ini, const CodeList &regionCodes, int selectedRow,
                        int year, const QLocale &locale = QLocale());
