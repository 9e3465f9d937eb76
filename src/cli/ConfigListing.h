#pragma once

#include "ConfigImage.h"
#include "Fields.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

class ValueLists;

// One line of a configuration's listing.
struct ListedField
{
    QString key;       // stable name: the field's name, "Dst1".."Dst16", "DstAdjustMinutes", "Crc"
    QString label;     // the window's label, from the text table
    QString text;      // the value as the window shows it
    qint64 value = 0;  // the bytes as one number (0 for the clock stamp)
    QByteArray bytes;  // the bytes themselves
    int address = 0;
    bool valid = true; // false for a value the window refuses
    const FieldInfo *field = nullptr; // nullptr for the daylight-saving rows and the CRC
};

// One year of the daylight-saving block: when summer time starts and stops.
struct DstYear
{
    int year = 0;
    QDateTime start; // invalid when the day number is 0 (no summer time) or beyond the year
    QDateTime stop;
};

struct ConfigListing
{
    std::vector<ListedField> fields;
    quint8 storedCrc = 0;
    quint8 computedCrc = 0;
    std::vector<DstYear> dstYears;

    bool CrcMatches() const { return storedCrc == computedCrc; }
    bool AllValid() const;
    const ListedField *Find(const QString &key) const;
};

namespace ConfigCheck {
// The window's check of one field as it takes an image in: a list code that no
// row carries, or a number its field does not take.
bool FieldIsValid(const ImageBuffer &image, const FieldInfo &field, const ValueLists &lists);
// -1, or the address of the last field the window refuses, with its name
// and the shown value.
int CheckFields(const ImageBuffer &image, const ValueLists &lists, QString &fieldName, QString &content);
// What packing the window for the unit makes of an image: flags become 1 or 0,
// the clock is stamped for `now` and the daylight-saving block filled for the
// image's region. -1, or the address of the last refused field (the image is
// then left as it was).
int PackForUnit(ImageBuffer &image, const ValueLists &lists, const QDateTime &now, QString &fieldName,
                QString &content);
}

namespace ConfigListingText {
ConfigListing List(const ImageBuffer &image, const ValueLists &lists, const QLocale &locale);
std::vector<DstYear> DstYears(const ImageBuffer &image);
// "29.03.2026 02:00" in the locale's short date; "---" for an invalid time.
QString DateTimeText(const QDateTime &when, const QLocale &locale);
// "Label: text" lines; a refused value is marked.
QStringList Lines(const ConfigListing &listing);
QJsonObject Json(const ConfigListing &listing);
// The problems the listing shows, as messages from the text table.
QStringList Problems(const ConfigListing &listing);
}
