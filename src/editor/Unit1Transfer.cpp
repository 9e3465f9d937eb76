#include "Unit1.h"

#include "CodeList.h"
#include "DstRule.h"
#include "Fields.h"
#include "KelmData.h"
#include "ui_frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>

namespace {
const QString NoClock = QStringLiteral("---");
const QString NotANumberContent = QStringLiteral(" ");
}

QWidget *TfrmMain::FieldControl(const char *objectName) const
{
    return findChild<QWidget *>(QLatin1String(objectName));
}

const CodeList &TfrmMain::ListCodes(const char *listControl) const
{
    const QLatin1String name(listControl);
    if (name == QLatin1String("cbbxDoorClosedAlarmType"))
        return DoorClosedAlarmTypeCodes;
    if (name == QLatin1String("cbbxDoorOpenedAlarmType"))
        return DoorOpenedAlarmTypeCodes;
    if (name == QLatin1String("cbbxInputClosedAlarmType"))
        return InputClosedAlarmTypeCodes;
    if (name == QLatin1String("cbbxInputOpenedAlarmType"))
        return InputOpenedAlarmTypeCodes;
    if (name == QLatin1String("cbbxDoorMatSensorType"))
        return DoorMatSensorTypeCodes;
    return DaylightSavingRegionCodes;
}

int TfrmMain::ImageToControls(const ImageBuffer &image, int origin, QString &FieldName)
{
    int result = -1;
    const auto fail = [&](const FieldInfo &field) {
        result = field.address;
        FieldName = Fields::FieldName(field);
    };
    for (const FieldInfo *field : Fields::StepsIn()) {
        const int address = field->address;
        QWidget *control = FieldControl(field->control);
        auto *edit = qobject_cast<QLineEdit *>(control);
        switch (field->encoding) {
        case FieldEncoding::Flag:
            qobject_cast<QCheckBox *>(control)->setChecked(image[address] == 1);
            // The peek box's handler has just enabled or disabled its fields;
            // let the window catch up once, as the transfer always has.
            if (address == Addr::PeekFunctionEnabled)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            break;
        case FieldEncoding::RadioCode:
            edit->setText(::KelmData::RadioCodeToText(image[address], image[address + 1]));
            break;
        case FieldEncoding::ListCode: {
            const int row = ListCodes(field->control).RowOfCode(image[address]);
            qobject_cast<QComboBox *>(control)->setCurrentIndex(row);
            if (row < 0 && field->checked)
                fail(*field);
            break;
        }
        case FieldEncoding::Byte:
        case FieldEncoding::Word: {
            const int value = field->encoding == FieldEncoding::Word ? ::KelmData::ReadWord(image, address)
                                                                     : image[address];
            edit->setText(QString::number(value));
            if (field->checked && value > field->limit)
                fail(*field);
            break;
        }
        case FieldEncoding::Tenths:
            edit->setText(FieldValues::BatteryLimitToText(image[address], QLocale()));
            if (field->checked && image[address] > field->limit)
                fail(*field);
            break;
        case FieldEncoding::ScheduleTime:
            edit->setText(FieldValues::ScheduleByteToText(image[address]));
            break;
        case FieldEncoding::ProductionDate:
            ShowProductionDate(image);
            break;
        case FieldEncoding::ProgramVersion:
            edit->setText(::KelmData::ProgramVersionText(image));
            break;
        case FieldEncoding::SerialNumber:
            edit->setText(QString::number(::KelmData::SerialNumber(image)));
            break;
        case FieldEncoding::ClockStamp:
            if (origin == OriginNew || origin == OriginOpened) {
                edit->setText(NoClock);
                qobject_cast<QLineEdit *>(FieldControl(field->secondControl))->setText(NoClock);
            } else if (origin == OriginReadFromUnit) {
                ShowUnitClock(image);
            }
            break;
        case FieldEncoding::Hidden:
            break;
        }
    }
    return result;
}

void TfrmMain::ShowProductionDate(const ImageBuffer &image)
{
    const QDate date = ::KelmData::ProductionDate(image);
    QLineEdit *field = ui->edtProductionDate;
    field->setText(date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : NoClock);
    // A long date format does not fit the product fields' width.
    const int width = ui->edtSerialNumber->width();
    field->setFixedWidth(field->text().size() > 10 ? 2 * width : width);
}

void TfrmMain::ShowUnitClock(const ImageBuffer &image)
{
    const QDateTime clock = ::KelmData::UnitClock(image);
    if (image[Addr::TimeScheduleEnabled] != 1 || !clock.isValid()) {
        ui->edtDate->setText(NoClock);
        ui->edtTime->setText(NoClock);
        return;
    }
    ui->edtDate->setText(QLocale().toString(clock.date(), QLocale::ShortFormat));
    ui->edtTime->setText(clock.time().toString(QStringLiteral("hh:mm")));
}

int TfrmMain::ControlsToImage(ImageBuffer &image, int origin, QString &FieldContent, QString &FieldName)
{
    int result = -1;
    const auto fail = [&](const FieldInfo &field, const QString &content) {
        result = field.address;
        FieldName = Fields::FieldName(field);
        FieldContent = content;
    };
    for (const FieldInfo *field : Fields::StepsOut()) {
        const int address = field->address;
        QWidget *control = FieldControl(field->control);
        const auto *edit = qobject_cast<const QLineEdit *>(control);
        switch (field->encoding) {
        case FieldEncoding::Flag:
            image[address] = qobject_cast<QCheckBox *>(control)->isChecked() ? 1 : 0;
            break;
        case FieldEncoding::RadioCode:
            ::KelmData::TextToRadioCode(edit->text(), image[address], image[address + 1]);
            break;
        case FieldEncoding::ListCode: {
            const int row = qobject_cast<QComboBox *>(control)->currentIndex();
            if (row < 0)
                fail(*field, NotANumberContent);
            else
                image[address] = quint8(ListCodes(field->control).CodeOfRow(row));
            break;
        }
        case FieldEncoding::Byte:
        case FieldEncoding::Word: {
            int value = 0;
            if (FieldValues::TextToWholeNumber(edit->text(), field->limit, value) != FieldValues::ParseResult::Ok)
                fail(*field, edit->text());
            else if (field->encoding == FieldEncoding::Word)
                ::KelmData::WriteWord(image, address, quint16(value));
            else
                image[address] = quint8(value);
            break;
        }
        case FieldEncoding::Tenths: {
            quint8 tenths = 0;
            switch (FieldValues::TextToBatteryLimit(edit->text(), QLocale(), tenths)) {
            case FieldValues::ParseResult::Ok:
                image[address] = tenths;
                break;
            case FieldValues::ParseResult::OutOfRange:
                fail(*field, edit->text());
                break;
            case FieldValues::ParseResult::NotANumber:
                fail(*field, NotANumberContent);
                break;
            }
            break;
        }
        case FieldEncoding::ScheduleTime:
            image[address] = FieldValues::ScheduleTextToByte(edit->text());
            break;
        case FieldEncoding::ClockStamp:
            if (origin == OriginWrittenToUnit) {
                const QDateTime stamped = ::KelmData::StampClock(image, CurrentDateTime());
                FillDstBlock(image, KelmIni, DaylightSavingRegionCodes, ui->cbbxDaylightSavingTimeRegion->currentIndex(),
                             stamped.date().year());
            }
            break;
        case FieldEncoding::ProductionDate:
        case FieldEncoding::ProgramVersion:
        case FieldEncoding::SerialNumber:
        case FieldEncoding::Hidden:
            break;
        }
    }
    return result;
}
