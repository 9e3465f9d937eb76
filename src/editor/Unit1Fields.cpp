#include "Unit1.h"

#include "DstRule.h"
#include "Fields.h"
#include "KelmData.h"
#include "KeyPressFilter.h"
#include "ui_frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QLocale>

namespace {
QChar DecimalSeparator()
{
    return QLocale().decimalPoint().at(0);
}
}

void TfrmMain::ConnectFieldRules()
{
    auto *digitFilter = new KeyPressFilter([this](QChar &key) { validateNumericKeyPress(key); }, this);
    auto *decimalFilter = new KeyPressFilter([this](QChar &key) { validateFloatNumericKeyPress(key); }, this);
    for (const FieldInfo &field : Fields::All()) {
        auto *edit = field.control ? findChild<QLineEdit *>(QLatin1String(field.control)) : nullptr;
        if (!edit || field.shownOnly)
            continue;
        switch (field.encoding) {
        case FieldEncoding::Byte:
        case FieldEncoding::Word:
            edit->installEventFilter(digitFilter);
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { NumericFieldChange(edit); });
            break;
        case FieldEncoding::Tenths:
            edit->installEventFilter(decimalFilter);
            connect(edit, &QLineEdit::textChanged, this, &TfrmMain::edtBatteryLowLimitChange);
            break;
        case FieldEncoding::ScheduleTime:
            edit->installEventFilter(digitFilter);
            break;
        default:
            break;
        }
    }
    // The two hour fields share one check and the two minute fields another.
    for (QLineEdit *hour : {ui->edtActivationHour, ui->edtInactivationHour})
        connect(hour, &QLineEdit::textChanged, this, [this, hour] { edtHourChange(hour); });
    for (QLineEdit *minute : {ui->edtActivationMinute, ui->edtInactivationMinute})
        connect(minute, &QLineEdit::textChanged, this, [this, minute] { edtMinuteChange(minute); });
    connect(ui->cbEnablePeekFunction, &QCheckBox::toggled, this, &TfrmMain::cbEnablePeekFunctionClick);
    connect(ui->cbEnableTimeSchedule, &QCheckBox::toggled, this, &TfrmMain::cbEnableTimeScheduleClick);
    connect(ui->pumnuView, &QAction::triggered, this, &TfrmMain::pumnuViewClick);
}

void TfrmMain::validateNumericKeyPress(QChar &key)
{
    if (!::KelmData::IsDigitKey(key))
        key = QChar();
}

void TfrmMain::validateFloatNumericKeyPress(QChar &key)
{
    if (!::KelmData::IsDecimalKey(key, DecimalSeparator()))
        key = QChar();
}

// A text that is not a number counts 0 here and is left for the packing to refuse.
void TfrmMain::NumericFieldChange(QObject *Sender)
{
    auto *edit = qobject_cast<QLineEdit *>(Sender);
    const FieldInfo *field = Fields::ByControl(edit->objectName());
    if (edit->text().isEmpty() || FieldValues::WholeNumberOrZero(edit->text()) <= field->limit)
        return;
    Prompt().Message(UserPrompt::Kind::Error, field->rangeMessage);
    edit->setText(QLatin1String(field->resetText));
}

void TfrmMain::edtBatteryLowLimitChange()
{
    QLineEdit *edit = ui->edtBatteryLowLimit;
    const QString text = edit->text();
    if (text.isEmpty())
        return;
    quint8 tenths = 0;
    const auto parsed = FieldValues::TextToBatteryLimit(text, QLocale(), tenths);
    if (parsed == FieldValues::ParseResult::NotANumber) {
        Prompt().MessageText(UserPrompt::Kind::Error,
                             QStringLiteral("'%1' is not a valid floating point value").arg(text));
        return;
    }
    // Only the upper limit counts here; a pasted negative number is left for the packing.
    if (parsed == FieldValues::ParseResult::Ok || text.trimmed().startsWith(QLatin1Char('-')))
        return;
    Prompt().Message(UserPrompt::Kind::Error, 11426);
    edit->setText(QStringLiteral("6"));
}

void TfrmMain::cbEnablePeekFunctionClick()
{
    const bool enabled = ui->cbEnablePeekFunction->isChecked();
    ui->cbbxDoorMatSensorType->setEnabled(enabled);
    ui->edtMaxTimeOutsideDoor->setEnabled(enabled);
}

// The schedule fields are emptied rather than set to their limit.
void TfrmMain::ScheduleFieldChange(QObject *Sender, int message)
{
    auto *edit = qobject_cast<QLineEdit *>(Sender);
    if (FieldValues::WholeNumberOrZero(edit->text()) <= Fields::ByControl(edit->objectName())->limit)
        return;
    Prompt().Message(UserPrompt::Kind::Error, message);
    edit->clear();
}

void TfrmMain::edtHourChange(QObject *Sender)
{
    ScheduleFieldChange(Sender, 11442);
}

void TfrmMain::edtMinuteChange(QObject *Sender)
{
    ScheduleFieldChange(Sender, 11443);
}

void TfrmMain::cbEnableTimeScheduleClick()
{
    const bool enabled = ui->cbEnableTimeSchedule->isChecked();
    for (QWidget *control : std::initializer_list<QWidget *>{ui->edtActivationHour, ui->edtActivationMinute,
                                                             ui->edtInactivationHour, ui->edtInactivationMinute,
                                                             ui->cbbxDaylightSavingTimeRegion})
        control->setEnabled(enabled);
}

void TfrmMain::pumnuViewClick()
{
    const int row = ui->cbbxDaylightSavingTimeRegion->currentIndex();
    if (row < 0)
        return;
    const QString description = DescribeDstRule(KelmIni, DaylightSavingRegionCodes, row,
                                                 CurrentDateTime().date().year());
    Prompt().MessageText(UserPrompt::Kind::Information, description);
}
