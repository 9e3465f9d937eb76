#include "RadioCodes.h"

#include "FormPlacement.h"
#include "KelmData.h"
#include "QtUserPrompt.h"
#include "TextTable.h"
#include "ui_frmWriteRadioCodes.h"

#include <QKeyEvent>
#include <QShowEvent>

TfrmWriteRadioCodes::TfrmWriteRadioCodes(QWidget *mainWindow)
    : QDialog(mainWindow)
    , ui(std::make_unique<Ui::frmWriteRadioCodes>())
    , ownPrompt(std::make_unique<QtUserPrompt>(this))
    , prompt(ownPrompt.get())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    FormCreate();
    for (QLineEdit *edit : NewEdits()) {
        edit->installEventFilter(this);
        // Typed text reaches the field only through key presses, which the filter sees.
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        connect(edit, &QLineEdit::textChanged, this, &TfrmWriteRadioCodes::RadioIDChange);
    }
    connect(ui->btnWriteToDevice, &QPushButton::clicked, this, &TfrmWriteRadioCodes::btnWriteToDeviceClick);
    connect(ui->btnAbort, &QPushButton::clicked, this, &TfrmWriteRadioCodes::btnAbortClick);
}

TfrmWriteRadioCodes::~TfrmWriteRadioCodes() = default;

void TfrmWriteRadioCodes::SetPrompt(UserPrompt *newPrompt)
{
    prompt = newPrompt ? newPrompt : ownPrompt.get();
}

void TfrmWriteRadioCodes::FormCreate()
{
    setWindowTitle(TextTable::Text(11271));
    ui->lblOldRadioCode->setText(TextTable::Text(11274));
    ui->lblNewRadioCode->setText(TextTable::Text(11275));
    ui->lblRadioCodeDoorClosed->setText(TextTable::Text(11102));
    ui->lblRadioCodeDoorOpened->setText(TextTable::Text(11103));
    ui->lblRadioCodeInputClosed->setText(TextTable::Text(11104));
    ui->lblRadioCodeInputOpened->setText(TextTable::Text(11105));
    ui->lblRadioCodeTechnicalAlarms->setText(TextTable::Text(11273));
    ui->btnWriteToDevice->setText(TextTable::Text(11276));
    ui->btnAbort->setText(TextTable::Text(65486));
}

void TfrmWriteRadioCodes::FormShow()
{
    CentreOverOwner(*this, parentWidget());
}

void TfrmWriteRadioCodes::showEvent(QShowEvent *event)
{
    // A window manager showing the dialog again after it was minimised is no new opening.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

std::array<QLineEdit *, TfrmWriteRadioCodes::CodeCount> TfrmWriteRadioCodes::OldEdits() const
{
    return {ui->edtRadio1Old, ui->edtRadio2Old, ui->edtRadio3Old, ui->edtRadio4Old, ui->edtRadio5Old};
}

std::array<QLineEdit *, TfrmWriteRadioCodes::CodeCount> TfrmWriteRadioCodes::NewEdits() const
{
    return {ui->edtRadio1New, ui->edtRadio2New, ui->edtRadio3New, ui->edtRadio4New, ui->edtRadio5New};
}

void TfrmWriteRadioCodes::SetOldCodes(const Codes &oldCodes)
{
    const auto oldEdits = OldEdits();
    const auto newEdits = NewEdits();
    for (int i = 0; i < CodeCount; ++i)
        oldEdits[i]->setText(oldCodes[i]);
    for (int i = 0; i < CodeCount; ++i)
        newEdits[i]->setText(oldEdits[i]->text());
}

TfrmWriteRadioCodes::Codes TfrmWriteRadioCodes::OldCodes() const
{
    Codes codes;
    const auto edits = OldEdits();
    for (int i = 0; i < CodeCount; ++i)
        codes[i] = edits[i]->text();
    return codes;
}

TfrmWriteRadioCodes::Codes TfrmWriteRadioCodes::NewCodes() const
{
    Codes codes;
    const auto edits = NewEdits();
    for (int i = 0; i < CodeCount; ++i)
        codes[i] = edits[i]->text();
    return codes;
}

bool TfrmWriteRadioCodes::Ask(const Codes &oldCodes, Codes &newCodes)
{
    SetOldCodes(oldCodes);
    if (exec() != mrOk)
        return false;
    newCodes = NewCodes();
    return true;
}

bool TfrmWriteRadioCodes::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !validateIDKeyPress(*static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TfrmWriteRadioCodes::validateIDKeyPress(const QKeyEvent &event)
{
    // Ctrl with a letter types a control character (Ctrl+C is 3); only the
    // clipboard ones are let through.
    const bool control = event.modifiers().testFlag(Qt::ControlModifier)
                         && !event.modifiers().testFlag(Qt::AltModifier);
    if (control && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return KelmData::IsHexKey(QChar(event.key() - Qt::Key_A + 1));
    const QString text = event.text();
    // Keys that type nothing, and Tab, Enter, Escape and Delete, move about
    // the dialog or edit without typing a character.
    if (text.isEmpty() || (text.front() != u'\b' && (text.front() < u' ' || text.front() == QChar(0x7F))))
        return true;
    for (const QChar c : text) {
        if (!KelmData::IsHexKey(c))
            return false;
    }
    return true;
}

void TfrmWriteRadioCodes::RadioIDChange(const QString &text)
{
    if (text == QLatin1String("0000") || text.toUpper() == QLatin1String("FFFF"))
        prompt->Message(UserPrompt::Kind::Error, 11429);
}

void TfrmWriteRadioCodes::btnWriteToDeviceClick()
{
    for (const QLineEdit *edit : NewEdits()) {
        if (edit->text().size() != 4) {
            prompt->Message(UserPrompt::Kind::Error, 11440);
            return;
        }
    }
    done(mrOk);
}

void TfrmWriteRadioCodes::btnAbortClick()
{
    done(mrAbort);
}

void TfrmWriteRadioCodes::reject()
{
    done(mrCancel);
}
