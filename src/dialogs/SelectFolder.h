#pragma once

#include "UserPrompt.h"

#include <QDialog>

#include <memory>

class KelmIni;

namespace Ui {
class frmSelectDirectory;
}

// Lets the user choose the folder in which configuration files are opened and
// saved by default, by typing it or with the folder browser.
class TfrmSelectDirectory : public QDialog
{
    Q_OBJECT

public:
    // The dialog centres itself over mainWindow each time it is shown.
    explicit TfrmSelectDirectory(QWidget *mainWindow = nullptr);
    ~TfrmSelectDirectory() override;

    // The folder browser and error boxes go through this; nullptr restores the real ones.
    void SetPrompt(UserPrompt *prompt);

    // The folder shown in the field, both ways without a trailing separator.
    void SetDirectory(const QString &path);
    QString Directory() const;

    // Shows the dialog modally starting from defaultConfigDirectory. On OK the
    // chosen folder becomes defaultConfigDirectory and is stored as
    // "Setup"/"ConfigDirectory" in ini; a failed write is reported, the new
    // folder is kept all the same. Returns true on OK; Cancel changes nothing.
    bool SelectDefaultDirectory(QString &defaultConfigDirectory, KelmIni &ini);

    // The path without separators at its end; the root folder stays "/".
    static QString WithoutTrailingSeparator(const QString &path);

    void btnBrowseClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void FormShow();

    std::unique_ptr<Ui::frmSelectDirectory> ui;
    std::unique_ptr<UserPrompt> ownPrompt;
    UserPrompt *prompt = nullptr;
};
