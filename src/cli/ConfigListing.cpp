#include "ConfigListing.h"

#include "DstRule.h"
#include "KelmData.h"
#include "TextTable.h"
#include "ValueLists.h"

#include <QJsonArray>
#include <QTimeZone>

#include <algorithm>

namespace {
const QString NoValue = QStringLiteral("---");

QString HexByte(quint8 value)
{
    return KelmData::ByteToHexText(value);
}

// The time of a day number of the block. The unit keeps wall-clock times, so
// they are held in UTC where no local zone can shift them.
QDateTime DayTime(int year, int dayIndex, int hour, int minute)
{
    const QDate first(year, 1, 1);
    const QTime time(hour, minute);
    if (dayIndex <= 0 || dayIndex >= first.daysInYear() || !time.isValid())
        return QDateTime();
    return QDateTime(first.addDays(dayIndex), time, QTimeZone::utc());
}

QString IsoText(const QDateTime &when)
{
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-ddTHH:mm")) : QString();
}

QString ShownText(const ImageBuffer &image, const FieldInfo &field, const ValueLists &lists, const QLocale &locale)
{
    switch (field.encoding) {
    case FieldEncoding::Flag:
        return image[field.address] == 1 ? QStringLiteral("[x]") : QStringLiteral("[ ]");
    case FieldEncoding::ListCode: {
        const int row = lists.RowOfCode(field.list, image[field.address]);
        return row >= 0 ? lists.Names(field.list).value(row) : QString::number(image[field.address]);
    }
    case FieldEncoding::ClockStamp:
        // The unit's clock runs only with the time schedule on; the window
        // shows the stamp only then.
        return image[Addr::TimeScheduleEnabled] == 1 ? Fields::DisplayText(image, field, locale) : NoValue;
    default:
        return Fields::DisplayText(image, field, locale);
    }
}

void AddDstRows(ConfigListing &listing, const ImageBuffer &image, const QLocale &locale)
{
    ListedField adjust;
    adjust.key = QStringLiteral("DstAdjustMinutes");
    adjust.label = TextTable::Text(11652);
    adjust.address = Addr::DstAdjustMinutes;
    adjust.value = image[Addr::DstAdjustMinutes];
    adjust.text = QString::number(adjust.value);
    adjust.bytes = QByteArray(1, char(image[Addr::DstAdjustMinutes]));
    listing.fields.push_back(adjust);

    for (int i = 0; i < int(listing.dstYears.size()); ++i) {
        const DstYear &year = listing.dstYears[i];
        ListedField row;
        row.key = QStringLiteral("Dst%1").arg(i + 1);
        row.label = TextTable::Format(11651, {QString::number(year.year)});
        row.address = Addr::DstStartDays + 2 * i;
        row.text = year.start.isValid() || year.stop.isValid()
            ? ConfigListingText::DateTimeText(year.start, locale) + QStringLiteral(" - ")
                + ConfigListingText::DateTimeText(year.stop, locale)
            : NoValue;
        for (const int address : {Addr::DstStartDays + 2 * i, Addr::DstStopDays + 2 * i}) {
            row.bytes.append(char(image[address]));
            row.bytes.append(char(image[address + 1]));
        }
        row.bytes.append(char(image[Addr::DstFirstYear]));
        listing.fields.push_back(row);
    }
}
}

bool ConfigListing::AllValid() const
{
    return CrcMatches()
        && std::all_of(fields.begin(), fields.end(), [](const ListedField &field) { return field.valid; });
}

const ListedField *ConfigListing::Find(const QString &key) const
{
    for (const ListedField &field : fields) {
        if (field.key == key)
            return &field;
    }
    return nullptr;
}

namespace ConfigCheck {

bool FieldIsValid(const ImageBuffer &image, const FieldInfo &field, const ValueLists &lists)
{
    if (!field.checked)
        return true;
    // The texts the window would show, read back the way the window reads its fields.
    const QLocale locale;
    switch (field.encoding) {
    case FieldEncoding::ListCode:
        return lists.RowOfCode(field.list, image[field.address]) >= 0;
    case FieldEncoding::Byte:
    case FieldEncoding::Word: {
        int value = 0;
        return FieldValues::TextToWholeNumber(Fields::DisplayText(image, field, locale), field.limit, value)
            == FieldValues::ParseResult::Ok;
    }
    case FieldEncoding::Tenths: {
        quint8 tenths = 0;
        return FieldValues::TextToBatteryLimit(Fields::DisplayText(image, field, locale), locale, tenths)
            == FieldValues::ParseResult::Ok;
    }
    default:
        return true;
    }
}

int CheckFields(const ImageBuffer &image, const ValueLists &lists, QString &fieldName, QString &content)
{
    int result = -1;
    // In the window's own order, so the last failure reported is the window's.
    for (const FieldInfo *field : Fields::StepsOut()) {
        if (FieldIsValid(image, *field, lists))
            continue;
        result = field->address;
        fieldName = Fields::FieldName(*field);
        content = field->encoding == FieldEncoding::ListCode ? QString::number(image[field->address])
                                                             : Fields::DisplayText(image, *field, QLocale());
    }
    return result;
}

int PackForUnit(ImageBuffer &image, const ValueLists &lists, const QDateTime &now, QString &fieldName,
                QString &content)
{
    const int failed = CheckFields(image, lists, fieldName, content);
    if (failed >= 0)
        return failed;
    for (const FieldInfo *field : Fields::StepsOut()) {
        if (field->encoding == FieldEncoding::Flag)
            image[field->address] = image[field->address] == 1 ? 1 : 0;
    }
    const QDateTime stamped = KelmData::StampClock(image, now);
    const ValueList regions = ValueList::DaylightSavingRegions;
    FillDstBlock(image, lists.Ini(), lists.Codes(regions), lists.RowOfCode(regions, image[Addr::DaylightSavingRegion]),
                 stamped.date().year());
    return -1;
}

}

namespace ConfigListingText {

std::vector<DstYear> DstYears(const ImageBuffer &image)
{
    std::vector<DstYear> years;
    const int firstYear = 2000 + image[Addr::DstFirstYear];
    for (int i = 0; i < Addr::DstYearCount; ++i) {
        DstYear year;
        year.year = firstYear + i;
        year.start = DayTime(year.year, KelmData::ReadWord(image, Addr::DstStartDays + 2 * i),
                             image[Addr::DstStartHour], image[Addr::DstStartMinute]);
        year.stop = DayTime(year.year, KelmData::ReadWord(image, Addr::DstStopDays + 2 * i),
                            image[Addr::DstStopHour], image[Addr::DstStopMinute]);
        years.push_back(year);
    }
    return years;
}

QString DateTimeText(const QDateTime &when, const QLocale &locale)
{
    if (!when.isValid())
        return NoValue;
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + when.time().toString(QStringLiteral("hh:mm"));
}

ConfigListing List(const ImageBuffer &image, const ValueLists &lists, const QLocale &locale)
{
    ConfigListing listing;
    listing.storedCrc = image[Addr::Crc];
    listing.computedCrc = KelmData::ImageCrc(image);
    listing.dstYears = DstYears(image);
    for (const FieldInfo &field : Fields::All()) {
        if (field.address == Addr::DstAdjustMinutes) {
            AddDstRows(listing, image, locale);
            continue;
        }
        if (field.address == Addr::Crc) {
            ListedField crc;
            crc.key = QStringLiteral("Crc");
            crc.label = TextTable::Text(11653);
            crc.address = Addr::Crc;
            crc.value = listing.storedCrc;
            crc.text = HexByte(listing.storedCrc);
            crc.bytes = QByteArray(1, char(listing.storedCrc));
            crc.valid = listing.CrcMatches();
            listing.fields.push_back(crc);
            continue;
        }
        if (field.labelText == 0)
            continue;
        ListedField entry;
        entry.key = QString::fromLatin1(field.name);
        entry.label = Fields::FieldName(field);
        entry.text = ShownText(image, field, lists, locale);
        entry.value = field.width <= 4 ? qint64(Fields::ReadNumber(image, field)) : 0;
        entry.address = field.address;
        entry.bytes = QByteArray(reinterpret_cast<const char *>(image.data()) + field.address, field.width);
        entry.valid = ConfigCheck::FieldIsValid(image, field, lists);
        entry.field = &field;
        listing.fields.push_back(entry);
    }
    return listing;
}

QStringList Lines(const ConfigListing &listing)
{
    QStringList lines;
    const auto &fields = listing.fields;
    for (size_t i = 0; i < fields.size(); ++i) {
        const ListedField &entry = fields[i];
        // Years without summer time say nothing worth a line each.
        if (entry.key.startsWith(QLatin1String("Dst")) && !entry.field && entry.text == NoValue)
            continue;
        QString text = entry.text;
        bool valid = entry.valid;
        // Hour and minute of one schedule time share a label: one line "hh:mm".
        if (entry.field && entry.field->encoding == FieldEncoding::ScheduleTime && i + 1 < fields.size()
            && fields[i + 1].field && fields[i + 1].field->encoding == FieldEncoding::ScheduleTime
            && fields[i + 1].label == entry.label) {
            ++i;
            text += QLatin1Char(':') + fields[i].text;
            valid = valid && fields[i].valid;
        }
        QString line = entry.label + QStringLiteral(": ") + text;
        if (!valid)
            line += QStringLiteral("  [") + TextTable::Text(11655) + QLatin1Char(']');
        lines << line;
    }
    return lines;
}

QJsonObject Json(const ConfigListing &listing)
{
    QJsonObject fields;
    for (const ListedField &entry : listing.fields) {
        if (!entry.field)
            continue;
        fields.insert(entry.key, QJsonObject{
                                     {QStringLiteral("label"), entry.label},
                                     {QStringLiteral("text"), entry.text},
                                     {QStringLiteral("value"), entry.value},
                                     {QStringLiteral("address"), entry.address},
                                     {QStringLiteral("valid"), entry.valid},
                                 });
    }
    QJsonArray years;
    for (const DstYear &year : listing.dstYears) {
        years.append(QJsonObject{
            {QStringLiteral("year"), year.year},
            {QStringLiteral("start"), IsoText(year.start)},
            {QStringLiteral("stop"), IsoText(year.stop)},
        });
    }
    const ListedField *adjust = listing.Find(QStringLiteral("DstAdjustMinutes"));
    return QJsonObject{
        {QStringLiteral("valid"), listing.AllValid()},
        {QStringLiteral("fields"), fields},
        {QStringLiteral("crc"), QJsonObject{
                                    {QStringLiteral("stored"), listing.storedCrc},
                                    {QStringLiteral("computed"), listing.computedCrc},
                                    {QStringLiteral("matches"), listing.CrcMatches()},
                                }},
        {QStringLiteral("daylightSaving"), QJsonObject{
                                               {QStringLiteral("adjustMinutes"), adjust ? adjust->value : 0},
                                               {QStringLiteral("years"), years},
                                           }},
        {QStringLiteral("problems"), QJsonArray::fromStringList(Problems(listing))},
    };
}

QStringList Problems(const ConfigListing &listing)
{
    QStringList problems;
    for (const ListedField &entry : listing.fields) {
        if (entry.valid || !entry.field)
            continue;
        problems << TextTable::Format(11418, {entry.label, QString::number(entry.address),
                                              QString::number(quint8(entry.bytes.at(0)))});
    }
    if (!listing.CrcMatches())
        problems << TextTable::Format(11654, {HexByte(listing.storedCrc), HexByte(listing.computedCrc)});
    return problems;
}

}
