#pragma once

#include "CodeList.h"
#include "KelmData.h"
#include "KelmIni.h"
#include "UserPrompt.h"

#include <QMainWindow>
#include <QRect>

#include <memory>

class QLabel;
class QMenu;

namespace Ui {
class frmMain;
}

// The editor's main window: one fixed-size form that shows one configuration.
// The controls come from frmMain.ui; every control's objectName is its name in
// the layout.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The layout is drawn in pixels for an 8-point font at 96 dpi. Here it is
    // shown with DejaVu Sans at FontPixelSize and every position and size
    // multiplied by LayoutScale, so that the longest labels keep clear of their
    // fields while the arrangement stays as drawn.
    static constexpr int FontPixelSize = 11;
    static constexpr double LayoutScale = 1.2;
    static int Scaled(int designPixels);
    static QRect Scaled(const QRect &designRect);

    // Message boxes and file questions go through this; tests pass a scripted
    // stand-in. nullptr restores the real boxes.
    void SetPrompt(UserPrompt *prompt);
    UserPrompt &Prompt() const;
    // The About box created at start; without one the window makes its own.
    void SetAboutForm(class TfrmAbout *form);

    // Fills the six drop-down lists from "Values.ini" at KelmIni's path, each
    // with its own code list.
    void FillLists();
    // Sets the texts of menus, group boxes and labels from the text table.
    void SetTexts();

    // The status bar's single text.
    void SetStatusText(const QString &text);
    QString StatusText() const;

    // The edited configuration, the value lists and the lists' codes.
    ::KelmData KelmData;
    ::KelmIni KelmIni;
    CodeList DoorClosedAlarmTypeCodes{ListLimit::AlarmType};
    CodeList DoorOpenedAlarmTypeCodes{ListLimit::AlarmType};
    CodeList InputClosedAlarmTypeCodes{ListLimit::AlarmType};
    CodeList InputOpenedAlarmTypeCodes{ListLimit::AlarmType};
    CodeList DoorMatSensorTypeCodes{ListLimit::DoorMatSensorType};
    CodeList DaylightSavingRegionCodes{ListLimit::DaylightSaving};

    // Menu commands.
    void mnuFileNewClick();
    void mnuFileOpenClick();
    void mnuFileSaveClick();
    void mnuFileSaveAsClick();
    void mnuFileSelectDefaultDirectoryClick();
    void mnuFileExitClick();
    void mnuComReadFromDeviceClick();
    void mnuComWriteToDeviceClick();
    void mnuComChangeDeviceRadioCodesClick();
    void mnuHelpAboutClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::frmMain> ui;
    std::unique_ptr<UserPrompt> ownPrompt;
    class TfrmAbout *aboutForm = nullptr;
    // What the dialogs should ask through: the window's scripted prompt when a
    // test set one, else nullptr so each dialog parents its own boxes.
    UserPrompt *PromptForDialogs() const;
    class TfrmAbout &AboutForm();
    UserPrompt *prompt = nullptr;
    QLabel *statusText = nullptr;
    QMenu *pumnuDST = nullptr;

    void FormShow();
    void ApplyDesignMetrics();
    void NameMenuSeparators();
    void ConnectMenus();
    void SetUpRegionPopup();
    void FitLabelsToTexts();

    // Field transfer and editing rules (Unit1Transfer.cpp, Unit1Fields.cpp)
public:
    // Both return -1, or the address of the last failing field with its name
    // (and, on the way out, the text it holds).
    int ImageToControls(const ImageBuffer &image, int origin, QString &FieldName);
    void ShowUnitClock(const ImageBuffer &image);
    int ControlsToImage(ImageBuffer &image, int origin, QString &FieldContent, QString &FieldName);

    // The PC's clock, read for the clock stamp of a write to the unit and the
    // year of the summer-time view; tests set a fixed time.
    std::function<QDateTime()> CurrentDateTime = [] { return QDateTime::currentDateTime(); };

    // Key filters: a refused key is set to the null character, and the field ignores it.
    void validateNumericKeyPress(QChar &key);
    void validateFloatNumericKeyPress(QChar &key);
    // The change check of each whole-number setting; Sender is the field.
    void NumericFieldChange(QObject *Sender);
    void edtBatteryLowLimitChange();
    void cbEnablePeekFunctionClick();
    void edtHourChange(QObject *Sender);
    void edtMinuteChange(QObject *Sender);
    void cbEnableTimeScheduleClick();
    void pumnuViewClick();

private:
    void ConnectFieldRules();
    QWidget *FieldControl(const char *objectName) const;
    const CodeList &ListCodes(const char *listControl) const;
    void ShowProductionDate(const ImageBuffer &image);
    void ScheduleFieldChange(QObject *Sender, int message);
    // End of field transfer and editing rules

    // File commands and document state (Unit1Files.cpp)
public:
    // The creation handler, run once right after construction: data folders
    // and files from programFolder, the value lists, the default configuration
    // and a file named among arguments (the positional command-line arguments).
    void FormCreate(const QString &programFolder, const QStringList &arguments);

    // Start-up's directories; the first two end with '/'.
    QString ProgramDataDirectory;
    QString StandardConfigDirectory;
    QString DefaultConfigDirectory;

    // Creation steps 1 to 9: accepts dropped files, installs Values.ini and
    // Default.bin from programFolder and settles the directories; arguments are
    // the positional command-line arguments.
    void SetUpDirectories(const QString &programFolder, const QStringList &arguments);
    // Creation step 13: opens the first argument that names an existing file.
    void OpenCommandLineFile(const QStringList &arguments);
    // The default folder dialog that File > "Välj standardmapp..." shows;
    // made on first use when none was given.
    void SetSelectDirectoryForm(class TfrmSelectDirectory *form);
    class TfrmSelectDirectory &SelectDirectoryForm();

    void UpdateTitle();
    void HandleDroppedFiles(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class TfrmSelectDirectory *selectDirectoryForm = nullptr;
    QString DialogStartFolder() const;
    void ShowConversionMessage(const ImageBuffer &image, int address, const QString &fieldName);
    // Takes a file that passed its load checks: name, origin, title, the
    // controls and the edited image; -1 or the address of a field that could
    // not be shown (its message already given).
    int TakeLoadedFile(const QString &fileName);
    // ControlsToImage for a save; false, after its message, when a field is refused.
    bool PackForSave();
    void WriteEditedImage();
    // End of file commands and document state

    // Device commands (Unit1Device.cpp)
public:
    // The link every device command of this window uses. It opens the port
    // set by KelmLink::SetDefaultPortName (--port, --demo) or finds the QEV.
    class KelmLink &DeviceLink();
    // The radio-codes dialog created at start; without one the window makes its own.
    void SetWriteRadioCodesForm(class TfrmWriteRadioCodes *form);
    // True while a device command runs; no device command starts meanwhile.
    bool DeviceCommandRunning() const { return deviceCommandRunning; }
    // --demo: the status bar says for good that the unit is simulated.
    void ShowSimulatedUnit(const QString &devicePath);

private:
    class DeviceWindowReporter;
    class TfrmWriteRadioCodes &WriteRadioCodesForm();
    class QProgressBar &DeviceProgressBar();
    std::shared_ptr<class KelmLink> deviceLink;
    class TfrmWriteRadioCodes *writeRadioCodesForm = nullptr;
    class QProgressBar *sbProgress = nullptr;
    bool deviceCommandRunning = false;
    // End of device commands
};
