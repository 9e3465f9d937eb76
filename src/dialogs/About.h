#pragma once

#include "KelmLink.h"

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class frmAbout;
}

// The About box: the tool's name and version, the connected QEV's version
// text, and the maker's lines from "About.ini". Filled anew each time it opens.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *AboutFile = "About.ini";
    // More maker's lines than this are not shown; a box of this size holds far fewer.
    static constexpr int MaxMakerLines = 1000;

    // The box centres itself over mainWindow each time it is shown.
    explicit TfrmAbout(QWidget *mainWindow = nullptr);
    ~TfrmAbout() override;

    // The folder "About.ini" is read from; the program's own folder unless set.
    void SetProgramFolder(const QString &folder);
    QString ProgramFolder() const;

    // The box's own link to the QEV, separate from the main window's.
    KelmLink &Link() { return link; }

    // What the last FormShow put in the box.
    QStringList InfoLines() const { return infoLines; }
    QString QevVersionText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void AddVersionLines();
    void ShowQevVersion();
    void AddMakerLines(const QString &iniPath);
    void AddLine(const QString &line);

    std::unique_ptr<Ui::frmAbout> ui;
    KelmLink link;
    QString programFolder;
    QStringList infoLines;
};
