#pragma once

#include "ConfigImage.h"

#include <QLocale>
#include <QString>

#include <span>
#include <vector>

// The configuration image's fields, described once: where each lives, how it
// is encoded, its limit, the window control that shows it, the texts that
// name it, and its place in the two transfers between image and window.
// The transfers, their checks and any listing of a configuration read this
// table instead of repeating the layout.

enum class FieldEncoding {
    Flag,           // 1 = on, anything else off; written as 1 or 0
    ListCode,       // a code of the value list named by FieldInfo::list
    RadioCode,      // two bytes as four hex digits, empty for 0x00 0x00
    Byte,           // unsigned byte, shown in decimal
    Word,           // 16-bit big-endian, shown in decimal
    Tenths,         // tenths of a volt, shown with one decimal
    ScheduleTime,   // hour or minute, shown "%02d"; the transfers do not check it
    ProductionDate, // BCD century, year, month, day
    ProgramVersion, // major, minor, build as "02.07-03"
    SerialNumber,   // 24-bit big-endian, shown in decimal
    ClockStamp,     // 231..237; on the way out with the daylight-saving block
    Hidden,         // never shown (CRC, product type)
};

enum class ValueList {
    None,
    AlarmTypes,
    DoorMatSensorTypes,
    DaylightSavingRegions,
};

struct FieldInfo
{
    const char *name;      // the field's name in the layout ("InPassageDelay")
    int address;           // the lower address of a wider field
    int width;             // bytes
    FieldEncoding encoding;
    ValueList list;        // for ListCode
    int limit;             // largest valid value (tenths for Tenths); 0 when none
    // The transfers check it: on the way in a value above limit (or a list code
    // no row carries) fails; on the way out the text must be a whole number
    // 0..limit (Tenths: a battery limit), or a list row must be selected.
    bool checked;
    bool shownOnly;        // the control is disabled and takes no input
    const char *control;   // objectName of the showing control; nullptr when none
    const char *secondControl; // a second control of the same step (edtTime); nullptr
    int labelText;         // text number of the label (the row label in the alarm grid); 0 when none
    int columnText;        // text number of the column heading joined with " : "; 0 when none
    int stepIn;            // step in ImageToControls, 0 when not shown
    int stepOut;           // step in ControlsToImage, 0 when not packed
    int rangeMessage;      // text number of the typing range message; 0 when none
    const char *resetText; // text put into the field after that message; nullptr when none
};

namespace Fields {
// Every field, in address order.
std::span<const FieldInfo> All();
// The fields of each transfer in step order (fields sharing a step keep
// address order).
std::vector<const FieldInfo *> StepsIn();
std::vector<const FieldInfo *> StepsOut();
// nullptr when no field has that lower address / control.
const FieldInfo *AtAddress(int address);
const FieldInfo *ByControl(const QString &objectName);
// The text naming a field in messages: its label, or label + " : " + column.
// The empty text for a field without a label.
QString FieldName(const FieldInfo &field);
// The field's bytes as one big-endian number, and back (low bytes kept).
quint32 ReadNumber(const ImageBuffer &image, const FieldInfo &field);
void WriteNumber(ImageBuffer &image, const FieldInfo &field, quint32 value);
// The field as its control shows it: decimal numbers, "12AB" or "" for radio
// codes, "3,3" for tenths, "05" for schedule times, the short date or "---"
// for the production date, "02.07-03", and the unit's clock as short date and
// "hh:mm" or "---", the day tables as 16 numbers. Flags and list codes give
// their byte in decimal.
QString DisplayText(const ImageBuffer &image, const FieldInfo &field, const QLocale &locale);
}

// Conversions between field texts and values; the locale gives the decimal separator.
namespace FieldValues {
enum class ParseResult {
    Ok,
    NotANumber, // empty, only a separator, letters...
    OutOfRange, // negative or above the limit
};

// 33 -> "3.3" ("3,3" under a Swedish locale), 0 -> "0.0", 255 -> "25.5".
QString BatteryLimitToText(quint8 tenths, const QLocale &locale);
// The text's value times ten, exact for every number typed with one decimal;
// compared with 60 before truncation toward zero (6.05 fails, 3.39 gives 33).
ParseResult TextToBatteryLimit(const QString &text, const QLocale &locale, quint8 &tenths);
// A decimal whole number 0..limit; empty, non-numbers and negatives fail.
ParseResult TextToWholeNumber(const QString &text, int limit, int &value);
// A decimal whole number, or 0 for any text that is not one.
qint64 WholeNumberOrZero(const QString &text);
// The schedule fields: the whole number or 0, low 8 bits.
quint8 ScheduleTextToByte(const QString &text);
// "%02d".
QString ScheduleByteToText(quint8 value);
}
