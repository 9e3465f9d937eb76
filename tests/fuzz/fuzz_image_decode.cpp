// Any 256 bytes shown the way the window shows a configuration: every field
// turned into its text, its list row and back, without widgets. The list rows
// come from the shipped value file.
#include "CodeList.h"
#include "Fields.h"
#include "FuzzSupport.h"
#include "KelmData.h"
#include "KelmIni.h"

#include <QLocale>

#include <algorithm>
#include <cstring>

namespace {

struct Lists {
    CodeList alarmTypes { ListLimit::AlarmType };
    CodeList doorMatSensorTypes { ListLimit::DoorMatSensorType };
    CodeList regions { ListLimit::DaylightSaving };
};

const Lists &ShippedLists()
{
    static const Lists lists = [] {
        Lists l;
        KelmIni ini;
        ini.SetPath(QStringLiteral(KELM_SOURCE_DIR "/src/resources/Values.i"));
        FuzzSupport::RecordingList control;
        FUZZ_CHECK(ini.FillList(control, QStringLiteral("AlarmType"), l.alarmTypes) > 0);
        FUZZ_CHECK(ini.FillList(control, QStringLiteral("DoorMatSensorType"), l.doorMatSensorTypes) > 0);
        FUZZ_CHECK(ini.FillList(control, QStringLiteral("DaylightSaving"), l.regions) > 0);
        return l;
    }();
    return lists;
}

const CodeList *ListOf(ValueList list)
{
    switch (list) {
    case ValueList::AlarmTypes:
        return &ShippedLists().alarmTypes;
    case ValueList::DoorMatSensorTypes:
        return &ShippedLists().doorMatSensorTypes;
    case ValueList::DaylightSavingRegions:
        return &ShippedLists().regions;
    case ValueList::None:
        break;
    }
    return nullptr;
}

void CheckField(const ImageBuffer &image, const FieldInfo &field, const QLocale &locale)
{
    FUZZ_CHECK(field.address >= 0 && field.address + field.width <= ImageSize);
    const QString text = Fields::DisplayText(image, field, locale);
    const quint32 number = Fields::ReadNumber(image, field);

    ImageBuffer copy = image;
    Fields::WriteNumber(copy, field, number);
    FUZZ_CHECK(copy == image);

    switch (field.encoding) {
    case FieldEncoding::RadioCode: {
        quint8 high = 0;
        quint8 low = 0;
        KelmData::TextToRadioCode(text, high, low);
        FUZZ_CHECK(high == image[field.address] && low == image[field.address + 1]);
        break;
    }
    case FieldEncoding::Byte:
    case FieldEncoding::Word: {
        int value = -1;
        const auto parsed = FieldValues::TextToWholeNumber(text, field.limit, value);
        // The window takes the value back exactly when it is within the limit.
        if (number <= quint32(field.limit))
            FUZZ_CHECK(parsed == FieldValues::ParseResult::Ok && quint32(value) == number);
        else
            FUZZ_CHECK(parsed == FieldValues::ParseResult::OutOfRange);
        break;
    }
    case FieldEncoding::Tenths: {
        quint8 tenths = 0;
        const auto parsed = FieldValues::TextToBatteryLimit(text, locale, tenths);
        if (number <= quint32(field.limit))
            FUZZ_CHECK(parsed == FieldValues::ParseResult::Ok && tenths == number);
        else
            FUZZ_CHECK(parsed == FieldValues::ParseResult::OutOfRange);
        break;
    }
    case FieldEncoding::ScheduleTime:
        FUZZ_CHECK(FieldValues::ScheduleTextToByte(text) == image[field.address]);
        break;
    case FieldEncoding::ListCode: {
        const CodeList *codes = ListOf(field.list);
        FUZZ_CHECK(codes != nullptr);
        const int row = codes->RowOfCode(image[field.address]);
        FUZZ_CHECK(row >= -1 && row < codes->Count());
        if (row >= 0)
            FUZZ_CHECK(codes->CodeOfRow(row) == image[field.address]);
        break;
    }
    case FieldEncoding::ProgramVersion:
        FUZZ_CHECK(text.size() == 8);
        break;
    case FieldEncoding::ClockStamp: {
        const QDateTime clock = KelmData::UnitClock(image);
        if (clock.isValid()) {
            FUZZ_CHECK(clock.date().year() == 2000 + image[Addr::ClockYear]);
            FUZZ_CHECK(clock.date().dayOfYear() - 1 == KelmData::ReadWord(image, Addr::ClockDayOfYear));
            FUZZ_CHECK(clock.time().hour() == image[Addr::ClockHour]);
        } else {
            FUZZ_CHECK(text == QLatin1String("---"));
        }
        break;
    }
    case FieldEncoding::ProductionDate: {
        const QDate date = KelmData::ProductionDate(image);
        FUZZ_CHECK(!date.isValid() || date.year() >= 2000);
        break;
    }
    case FieldEncoding::Flag:
    case FieldEncoding::SerialNumber:
    case FieldEncoding::Hidden:
        break;
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ImageBuffer image {};
    std::memcpy(image.data(), data, std::min<size_t>(size, ImageSize));

    static const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    static const QLocale c = QLocale::c();
    for (const FieldInfo &field : Fields::All()) {
        CheckField(image, field, swedish);
        CheckField(image, field, c);
        Fields::FieldName(field);
    }
    FUZZ_CHECK(Fields::StepsIn().size() <= Fields::All().size());

    // The image checks the read and write commands make.
    const bool crcGood = KelmData::CheckImageCrc(image);
    ImageBuffer sealed = image;
    sealed[Addr::Crc] = KelmData::ImageCrc(sealed);
    FUZZ_CHECK(KelmData::CheckImageCrc(sealed));
    FUZZ_CHECK(crcGood == (sealed[Addr::Crc] == image[Addr::Crc]));
    KelmData::ProgramVersionNumber(image);
    KelmData::SerialNumber(image);
    return 0;
}
