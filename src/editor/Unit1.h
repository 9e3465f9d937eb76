#pragma once

#include "UserPrompt.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class frmMain;
}

// The editor's main window: one fixed-size form that shows one configuration.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Message boxes and file questions go through this; tests pass a scripted
    // stand-in. nullptr restores the real boxes.
    void SetPrompt(UserPrompt *prompt);
    UserPrompt &Prompt() const;

private:
    std::unique_ptr<Ui::frmMain> ui;
    std::unique_ptr<UserPrompt> ownPrompt;
    UserPrompt *prompt = nullptr;

    // Field transfer and editing rules (Unit1Transfer.cpp, Unit1Fields.cpp)
    void ConnectFieldRules();
    // End of field transfer and editing rules
};
