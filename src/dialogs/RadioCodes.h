#pragma once

#include "UserPrompt.h"

#include <QDialog>

#include <array>
#include <memory>

class QKeyEvent;
class QLineEdit;

namespace Ui {
class frmWriteRadioCodes;
}

// Shows the unit's five radio ID codes beside five fields for the new codes.
// The command that changes the codes fills it, shows it modally and reads the
// new codes when the user chose to write them.
class TfrmWriteRadioCodes : public QDialog
{
    Q_OBJECT

public:
    static constexpr int CodeCount = 5;
    using Codes = std::array<QString, CodeCount>;

    // Modal results: written, closed with the close box (or Escape), aborted.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;
    static constexpr int mrAbort = 3;

    // The dialog centres itself over mainWindow each time it is shown.
    explicit TfrmWriteRadioCodes(QWidget *mainWindow = nullptr);
    ~TfrmWriteRadioCodes() override;

    // Error boxes go through this; nullptr restores the real boxes.
    void SetPrompt(UserPrompt *prompt);

    // Shows the unit's codes and starts each new code from its old one. A code
    // the unit holds as 0000 or FFFF is reported while the fields are filled.
    void SetOldCodes(const Codes &oldCodes);
    Codes OldCodes() const;
    Codes NewCodes() const;

    // Fills the fields, shows the dialog modally and returns true when the
    // user chose to write; newCodes then holds the five new codes.
    bool Ask(const Codes &oldCodes, Codes &newCodes);

    void btnWriteToDeviceClick();
    void btnAbortClick();
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    // True when the key may reach the field.
    static bool validateIDKeyPress(const QKeyEvent &event);
    void RadioIDChange(const QString &text);
    std::array<QLineEdit *, CodeCount> OldEdits() const;
    std::array<QLineEdit *, CodeCount> NewEdits() const;

    std::unique_ptr<Ui::frmWriteRadioCodes> ui;
    std::unique_ptr<UserPrompt> ownPrompt;
    UserPrompt *prompt = nullptr;
};
