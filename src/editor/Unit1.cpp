#include "Unit1.h"

#include "QtUserPrompt.h"
#include "ui_frmMain.h"

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::frmMain>())
    , ownPrompt(std::make_unique<QtUserPrompt>(this))
    , prompt(ownPrompt.get())
{
    ui->setupUi(this);
    ConnectFieldRules();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::SetPrompt(UserPrompt *newPrompt)
{
    prompt = newPrompt ? newPrompt : ownPrompt.get();
}

UserPrompt &TfrmMain::Prompt() const
{
    return *prompt;
}
