#include "Fields.h"

#include "KelmData.h"
#include "TextTable.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <limits>

namespace {
using E = FieldEncoding;
using L = ValueList;

// Row labels of the alarm grid and its column headings.
constexpr int DoorClosedRow = 11102;
constexpr int DoorOpenedRow = 11103;
constexpr int InputClosedRow = 11104;
constexpr int InputOpenedRow = 11105;
constexpr int SendAlarmColumn = 11106;
constexpr int RadioCodeColumn = 11107;
constexpr int AlarmTypeColumn = 11108;
// The technical radio code is listed under its group's title.
constexpr int TechnicalAlarmsGroup = 11161;

// name, address, width, encoding, list, limit, checked, shownOnly, control, secondControl,
// labelText, columnText, stepIn, stepOut, rangeMessage, resetText
constexpr std::array<FieldInfo, 47> Table{{
    {"EquipmentType", 0, 1, E::Byte, L::None, 255, true, false, "edtEquipmentType", nullptr, 11204, 0, 21, 21, 11444, "5"},
    {"DoorClosedRadioCode", 4, 2, E::RadioCode, L::None, 0, false, true, "edtDoorClosedRadioCode", nullptr, DoorClosedRow, RadioCodeColumn, 3, 3, 0, nullptr},
    {"DoorOpenedRadioCode", 6, 2, E::RadioCode, L::None, 0, false, true, "edtDoorOpenedRadioCode", nullptr, DoorOpenedRow, RadioCodeColumn, 4, 4, 0, nullptr},
    {"InputClosedRadioCode", 8, 2, E::RadioCode, L::None, 0, false, true, "edtInputClosedRadioCode", nullptr, InputClosedRow, RadioCodeColumn, 9, 9, 0, nullptr},
    {"InputOpenedRadioCode", 10, 2, E::RadioCode, L::None, 0, false, true, "edtInputOpenedRadioCode", nullptr, InputOpenedRow, RadioCodeColumn, 10, 10, 0, nullptr},
    {"TechnicalRadioCode", 12, 2, E::RadioCode, L::None, 0, false, true, "edtTechnicalRadioCode", nullptr, TechnicalAlarmsGroup, RadioCodeColumn, 22, 22, 0, nullptr},
    {"DoorClosedSendAlarm", 18, 1, E::Flag, L::None, 1, false, false, "cbDoorClosedSendAlarm", nullptr, DoorClosedRow, SendAlarmColumn, 1, 1, 0, nullptr},
    {"DoorOpenedSendAlarm", 19, 1, E::Flag, L::None, 1, false, false, "cbDoorOpenedSendAlarm", nullptr, DoorOpenedRow, SendAlarmColumn, 2, 2, 0, nullptr},
    {"InputClosedSendAlarm", 20, 1, E::Flag, L::None, 1, false, false, "cbInputClosedSendAlarm", nullptr, InputClosedRow, SendAlarmColumn, 7, 7, 0, nullptr},
    {"InputOpenedSendAlarm", 21, 1, E::Flag, L::None, 1, false, false, "cbInputOpenedSendAlarm", nullptr, InputOpenedRow, SendAlarmColumn, 8, 8, 0, nullptr},
    {"DoorClosedAlarmType", 34, 1, E::ListCode, L::AlarmTypes, 0, true, false, "cbbxDoorClosedAlarmType", nullptr, DoorClosedRow, AlarmTypeColumn, 5, 5, 0, nullptr},
    {"DoorOpenedAlarmType", 35, 1, E::ListCode, L::AlarmTypes, 0, true, false, "cbbxDoorOpenedAlarmType", nullptr, DoorOpenedRow, AlarmTypeColumn, 6, 6, 0, nullptr},
    {"InputClosedAlarmType", 36, 1, E::ListCode, L::AlarmTypes, 0, true, false, "cbbxInputClosedAlarmType", nullptr, InputClosedRow, AlarmTypeColumn, 11, 11, 0, nullptr},
    {"InputOpenedAlarmType", 37, 1, E::ListCode, L::AlarmTypes, 0, true, false, "cbbxInputOpenedAlarmType", nullptr, InputOpenedRow, AlarmTypeColumn, 12, 12, 0, nullptr},
    {"OutPassageDelay", 48, 1, E::Byte, L::None, 240, true, false, "edtOutPassageDelay", nullptr, 11123, 0, 14, 14, 11421, "240"},
    {"InPassageDelay", 49, 1, E::Byte, L::None, 240, true, false, "edtInPassageDelay", nullptr, 11122, 0, 13, 13, 11420, "240"},
    {"AutoResetTime", 50, 2, E::Word, L::None, 3600, true, false, "edtAutoResetTime", nullptr, 11124, 0, 15, 15, 11422, "3600"},
    {"PeekFunctionEnabled", 52, 1, E::Flag, L::None, 1, false, false, "cbEnablePeekFunction", nullptr, 11142, 0, 16, 16, 0, nullptr},
    {"DoorMatSensorType", 53, 1, E::ListCode, L::DoorMatSensorTypes, 0, true, false, "cbbxDoorMatSensorType", nullptr, 11143, 0, 17, 17, 0, nullptr},
    {"MaxTimeOutsideDoor", 54, 2, E::Word, L::None, 3600, true, false, "edtMaxTimeOutsideDoor", nullptr, 11144, 0, 18, 18, 11423, "3600"},
    {"RadioTestAlarmPeriod", 64, 1, E::Byte, L::None, 240, true, false, "edtRadioTestAlarmPeriod", nullptr, 11162, 0, 23, 23, 11424, "240"},
    {"BatteryAlarmPeriod", 65, 1, E::Byte, L::None, 240, true, false, "edtBatteryAlarmPeriod", nullptr, 11163, 0, 24, 24, 11425, "240"},
    {"BatteryLowLimit", 66, 1, E::Tenths, L::None, 60, true, false, "edtBatteryLowLimit", nullptr, 11164, 0, 25, 25, 11426, "6"},
    {"NumberOfShortTransmissions", 80, 1, E::Byte, L::None, 255, true, false, "edtNumberOfShortTransmissions", nullptr, 11202, 0, 19, 19, 11427, "255"},
    {"NumberOfLongTransmissions", 81, 1, E::Byte, L::None, 255, true, false, "edtNumberOfLongTransmissions", nullptr, 11203, 0, 20, 20, 11428, "255"},
    {"TimeScheduleEnabled", 91, 1, E::Flag, L::None, 1, false, false, "cbEnableTimeSchedule", nullptr, 11212, 0, 31, 27, 0, nullptr},
    {"ActivationHour", 92, 1, E::ScheduleTime, L::None, 23, false, false, "edtActivationHour", nullptr, 11213, 0, 32, 28, 0, nullptr},
    {"ActivationMinute", 93, 1, E::ScheduleTime, L::None, 59, false, false, "edtActivationMinute", nullptr, 11213, 0, 32, 28, 0, nullptr},
    {"InactivationHour", 94, 1, E::ScheduleTime, L::None, 23, false, false, "edtInactivationHour", nullptr, 11214, 0, 32, 28, 0, nullptr},
    {"InactivationMinute", 95, 1, E::ScheduleTime, L::None, 59, false, false, "edtInactivationMinute", nullptr, 11214, 0, 32, 28, 0, nullptr},
    {"IgnorePowerSwitch", 96, 1, E::Flag, L::None, 1, false, false, "cbIgnorePowerSwitch", nullptr, 11182, 0, 26, 26, 0, nullptr},
    {"DaylightSavingRegion", 105, 1, E::ListCode, L::DaylightSavingRegions, 0, true, false, "cbbxDaylightSavingTimeRegion", nullptr, 11215, 0, 34, 30, 0, nullptr},
    {"DstAdjustMinutes", 106, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstStartHour", 107, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstStartMinute", 108, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstStopHour", 109, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstStopMinute", 110, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstFirstYear", 111, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstStartDays", 112, 32, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"DstStopDays", 144, 32, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"Crc", 224, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    // Shown by origin in step 33 (with byte 91); stamped in step 29 for the unit only.
    {"ClockStamp", 231, 7, E::ClockStamp, L::None, 0, false, true, "edtDate", "edtTime", 11216, 0, 33, 29, 0, nullptr},
    {"ProductionDate", 240, 4, E::ProductionDate, L::None, 0, false, true, "edtProductionDate", nullptr, 11224, 0, 29, 0, 0, nullptr},
    {"RadioCalibration", 247, 1, E::Byte, L::None, 255, false, true, "edtRadioCalibration", nullptr, 11225, 0, 30, 0, 0, nullptr},
    {"ProductType", 248, 1, E::Hidden, L::None, 0, false, false, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    {"ProgramVersion", 249, 3, E::ProgramVersion, L::None, 0, false, true, "edtProgramVersion", nullptr, 11222, 0, 27, 0, 0, nullptr},
    {"SerialNumber", 253, 3, E::SerialNumber, L::None, 0, false, true, "edtSerialNumber", nullptr, 11223, 0, 28, 0, 0, nullptr},
}};

std::vector<const FieldInfo *> InStepOrder(int FieldInfo::*step)
{
    std::vector<const FieldInfo *> fields;
    for (const FieldInfo &field : Table) {
        if (field.*step > 0)
            fields.push_back(&field);
    }
    std::stable_sort(fields.begin(), fields.end(),
                     [step](const FieldInfo *a, const FieldInfo *b) { return a->*step < b->*step; });
    return fields;
}
}

namespace Fields {

std::span<const FieldInfo> All()
{
    return Table;
}

std::vector<const FieldInfo *> StepsIn()
{
    return InStepOrder(&FieldInfo::stepIn);
}

std::vector<const FieldInfo *> StepsOut()
{
    return InStepOrder(&FieldInfo::stepOut);
}

const FieldInfo *AtAddress(int address)
{
    for (const FieldInfo &field : Table) {
        if (field.address == address)
            return &field;
    }
    return nullptr;
}

const FieldInfo *ByControl(const QString &objectName)
{
    for (const FieldInfo &field : Table) {
        if ((field.control && objectName == QLatin1String(field.control))
            || (field.secondControl && objectName == QLatin1String(field.secondControl)))
            return &field;
    }
    return nullptr;
}

QString FieldName(const FieldInfo &field)
{
    if (field.labelText == 0)
        return QString();
    QString name = TextTable::Text(field.labelText);
    if (field.columnText != 0)
        name += QStringLiteral(" : ") + TextTable::Text(field.columnText);
    return name;
}

quint32 ReadNumber(const ImageBuffer &image, const FieldInfo &field)
{
    quint32 value = 0;
    for (int i = 0; i < field.width && i < 4; ++i)
        value = (value << 8) | image[field.address + i];
    return value;
}

void WriteNumber(ImageBuffer &image, const FieldInfo &field, quint32 value)
{
    for (int i = std::min(field.width, 4) - 1; i >= 0; --i) {
        image[field.address + i] = quint8(value & 0xFF);
        value >>= 8;
    }
}

QString DisplayText(const ImageBuffer &image, const FieldInfo &field, const QLocale &locale)
{
    const QString none = QStringLiteral("---");
    const quint8 first = image[field.address];
    switch (field.encoding) {
    case FieldEncoding::RadioCode:
        return KelmData::RadioCodeToText(first, image[field.address + 1]);
    case FieldEncoding::Tenths:
        return FieldValues::BatteryLimitToText(first, locale);
    case FieldEncoding::ScheduleTime:
        return FieldValues::ScheduleByteToText(first);
    case FieldEncoding::ProductionDate: {
        const QDate date = KelmData::ProductionDate(image);
        return date.isValid() ? locale.toString(date, QLocale::ShortFormat) : none;
    }
    case FieldEncoding::ProgramVersion:
        return KelmData::ProgramVersionText(image);
    case FieldEncoding::ClockStamp: {
        const QDateTime clock = KelmData::UnitClock(image);
        return clock.isValid() ? locale.toString(clock.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                + clock.time().toString(QStringLiteral("hh:mm"))
                               : none;
    }
    case FieldEncoding::Flag:
    case FieldEncoding::ListCode:
    case FieldEncoding::Byte:
    case FieldEncoding::Word:
    case FieldEncoding::SerialNumber:
    case FieldEncoding::Hidden:
        break;
    }
    if (field.width > 4) {
        // The daylight-saving day tables: one 16-bit day number per year.
        QStringList days;
        for (int address = field.address; address + 1 < field.address + field.width; address += 2)
            days << QString::number(KelmData::ReadWord(image, address));
        return days.join(QLatin1Char(' '));
    }
    return QString::number(ReadNumber(image, field));
}

}

namespace FieldValues {

namespace {
// A decimal number as its digits and a power of ten: value = digits x 10^power.
struct DecimalNumber
{
    bool negative = false;
    QString digits;
    int power = 0;
};

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Sign, digits with at most one separator (digits on at least one side of it),
// optional exponent. Surrounding blanks are ignored.
bool ParseDecimal(const QString &input, QChar separator, DecimalNumber &number)
{
    const QString text = input.trimmed();
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int integerDigits = 0;
    while (i < text.size() && IsAsciiDigit(text[i])) {
        number.digits += text[i++];
        ++integerDigits;
    }
    int fractionDigits = 0;
    if (i < text.size() && text[i] == separator) {
        ++i;
        while (i < text.size() && IsAsciiDigit(text[i])) {
            number.digits += text[i++];
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0)
        return false;
    long long exponent = 0;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool exponentNegative = false;
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            exponentNegative = text[i] == QLatin1Char('-');
            ++i;
        }
        int exponentDigits = 0;
        while (i < text.size() && IsAsciiDigit(text[i])) {
            exponent = std::min(10 * exponent + text[i++].digitValue(), 100000LL);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
        if (exponentNegative)
            exponent = -exponent;
    }
    if (i != text.size())
        return false;
    number.power = int(exponent) - fractionDigits;
    return true;
}

bool IsZero(const QString &digits)
{
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c == QLatin1Char('0'); });
}

// Whole numbers as the toolkit reads them: an optional sign and decimal digits,
// within the 32-bit range.
bool ParseWhole(const QString &text, qint64 &value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i]))
            return false;
        magnitude = 10 * magnitude + text[i].digitValue();
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}
}

QString BatteryLimitToText(quint8 tenths, const QLocale &locale)
{
    return QString::number(tenths / 10) + locale.decimalPoint() + QString::number(tenths % 10);
}

ParseResult TextToBatteryLimit(const QString &text, const QLocale &locale, quint8 &tenths)
{
    const QString separator = locale.decimalPoint();
    DecimalNumber number;
    if (separator.size() != 1 || !ParseDecimal(text, separator.at(0), number))
        return ParseResult::NotANumber;
    if (IsZero(number.digits)) {
        tenths = 0;
        return ParseResult::Ok;
    }
    if (number.negative)
        return ParseResult::OutOfRange;
    // Tenths = digits x 10^(power + 1): whole part and whether anything is cut off.
    const int shift = number.power + 1;
    QString whole;
    bool cutOff = false;
    if (shift >= 0) {
        if (shift > 3)
            return ParseResult::OutOfRange;
        whole = number.digits + QString(shift, QLatin1Char('0'));
    } else {
        const qsizetype keep = number.digits.size() + shift;
        whole = keep > 0 ? number.digits.left(keep) : QString();
        cutOff = !IsZero(keep > 0 ? number.digits.mid(keep) : number.digits);
    }
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.size() > 2)
        return ParseResult::OutOfRange;
    const int value = whole.isEmpty() ? 0 : whole.toInt();
    if (value > 60 || (value == 60 && cutOff))
        return ParseResult::OutOfRange;
    tenths = quint8(value);
    return ParseResult::Ok;
}

ParseResult TextToWholeNumber(const QString &text, int limit, int &value)
{
    qint64 number = 0;
    if (!ParseWhole(text, number))
        return ParseResult::NotANumber;
    if (number < 0 || number > limit)
        return ParseResult::OutOfRange;
    value = int(number);
    return ParseResult::Ok;
}

qint64 WholeNumberOrZero(const QString &text)
{
    qint64 number = 0;
    return ParseWhole(text, number) ? number : 0;
}

quint8 ScheduleTextToByte(const QString &text)
{
    return quint8(WholeNumberOrZero(text) & 0xFF);
}

QString ScheduleByteToText(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

}
