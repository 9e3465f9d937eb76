#include "Unit1.h"

#include "DeviceCommands.h"
#include "KelmLink.h"
#include "RadioCodes.h"
#include "TextTable.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSerialPort>
#include <QStatusBar>

#include <algorithm>

namespace {

// The reply wait of the window's link: it lets the window repaint while it
// waits for the unit, but user input waits until the command has ended.
class RepaintingLinkClock final : public LinkClock
{
public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }

    void WaitForInput(QIODevice *port, std::chrono::milliseconds span) override
    {
        using namespace std::chrono;
        const TimePoint end = Now() + span;
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            // Repainting may already have taken the reply off the line.
            if (port && port->bytesAvailable() > 0)
                return;
            const auto rest = duration_cast<milliseconds>(end - Now());
            if (rest.count() <= 0)
                return;
            inner.WaitForInput(port, std::min(rest, RepaintInterval));
            if (port && port->bytesAvailable() > 0)
                return;
        }
    }

private:
    static constexpr std::chrono::milliseconds RepaintInterval{40};
    SteadyLinkClock inner;
};

UserPrompt::Kind PromptKind(DeviceReporter::Kind kind)
{
    switch (kind) {
    case DeviceReporter::Kind::Error:
        return UserPrompt::Kind::Error;
    case DeviceReporter::Kind::Warning:
        return UserPrompt::Kind::Warning;
    case DeviceReporter::Kind::Information:
        break;
    }
    return UserPrompt::Kind::Information;
}

} // namespace

// The window's side of a device command: status bar, progress bar, cursor,
// message boxes, the read image and the radio-codes dialog.
class TfrmMain::DeviceWindowReporter final : public DeviceReporter
{
public:
    explicit DeviceWindowReporter(TfrmMain &window) : window(window) {}
    ~DeviceWindowReporter() override { BusyCursor(false); }

    void Message(Kind kind, int textNumber, const QStringList &args) override
    {
        const CursorLifted lifted(*this);
        window.Prompt().Message(PromptKind(kind), textNumber, args);
    }

    void MessageText(Kind kind, const QString &text) override
    {
        const CursorLifted lifted(*this);
        window.Prompt().MessageText(PromptKind(kind), text);
    }

    void StatusText(const QString &text) override { window.SetStatusText(text); }

    void BusyCursor(bool on) override
    {
        if (on == busy)
            return;
        busy = on;
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }

    void RepaintOnce() override { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

    void Progress(int done, int total) override
    {
        QProgressBar &bar = window.DeviceProgressBar();
        if (total <= 0) {
            bar.hide();
            return;
        }
        bar.setRange(0, total);
        bar.setValue(done);
        bar.show();
        RepaintOnce();
    }

    int ShowReadImage(const ImageBuffer &image, QString &fieldName) override
    {
        return window.ImageToControls(image, OriginReadFromUnit, fieldName);
    }

    void ReadImageTaken() override { window.UpdateTitle(); }

    void UnitClockStopped() override
    {
        window.ui->edtDate->setText(QStringLiteral("---"));
        window.ui->edtTime->setText(QStringLiteral("---"));
    }

    bool AskRadioCodes(const RadioCodeTexts &oldCodes, RadioCodeTexts &newCodes) override
    {
        return window.WriteRadioCodesForm().Ask(oldCodes, newCodes);
    }

private:
    // A message box gets the normal cursor; the hourglass returns after it.
    class CursorLifted
    {
    public:
        explicit CursorLifted(DeviceWindowReporter &reporter) : reporter(reporter), wasBusy(reporter.busy)
        {
            reporter.BusyCursor(false);
        }
        ~CursorLifted() { reporter.BusyCursor(wasBusy); }

    private:
        DeviceWindowReporter &reporter;
        bool wasBusy;
    };

    TfrmMain &window;
    bool busy = false;
};

namespace {

// Marks the window busy with a device command for the command's lifetime.
class RunningCommand
{
public:
    explicit RunningCommand(bool &running) : running(running) { running = true; }
    ~RunningCommand() { running = false; }
    RunningCommand(const RunningCommand &) = delete;
    RunningCommand &operator=(const RunningCommand &) = delete;

private:
    bool &running;
};

} // namespace

KelmLink &TfrmMain::DeviceLink()
{
    if (!deviceLink)
        deviceLink = std::make_shared<KelmLink>(std::make_shared<RepaintingLinkClock>());
    return *deviceLink;
}

QProgressBar &TfrmMain::DeviceProgressBar()
{
    if (!sbProgress) {
        sbProgress = new QProgressBar(ui->sbStatus);
        sbProgress->setObjectName(QStringLiteral("sbProgress"));
        sbProgress->setTextVisible(false);
        sbProgress->setMaximumWidth(Scaled(160));
        sbProgress->hide();
        ui->sbStatus->addPermanentWidget(sbProgress);
    }
    return *sbProgress;
}

void TfrmMain::SetWriteRadioCodesForm(TfrmWriteRadioCodes *form)
{
    writeRadioCodesForm = form;
}

TfrmWriteRadioCodes &TfrmMain::WriteRadioCodesForm()
{
    if (!writeRadioCodesForm)
        writeRadioCodesForm = new TfrmWriteRadioCodes(this);
    writeRadioCodesForm->SetPrompt(PromptForDialogs());
    return *writeRadioCodesForm;
}

void TfrmMain::ShowSimulatedUnit(const QString &devicePath)
{
    auto *label = new QLabel(TextTable::Format(11664, {devicePath}), ui->sbStatus);
    label->setObjectName(QStringLiteral("sbSimulatedUnit"));
    ui->sbStatus->addPermanentWidget(label);
}

void TfrmMain::mnuComReadFromDeviceClick()
{
    if (deviceCommandRunning)
        return;
    const RunningCommand running(deviceCommandRunning);
    mnuFileNewClick();
    KelmLink &link = DeviceLink();
    DeviceWindowReporter reporter(*this);
    DeviceCommands(link, reporter, ProgramDataDirectory).ReadFromDevice(KelmData);
}

void TfrmMain::mnuComWriteToDeviceClick()
{
    if (deviceCommandRunning)
        return;
    const RunningCommand running(deviceCommandRunning);
    KelmData.ConfigOrigin = OriginWrittenToUnit;
    QString fieldContent;
    QString fieldName;
    if (ControlsToImage(KelmData.EditedImage, OriginWrittenToUnit, fieldContent, fieldName) >= 0) {
        Prompt().Message(UserPrompt::Kind::Error, 11419, {fieldName, fieldContent});
        return;
    }
    KelmLink &link = DeviceLink();
    DeviceWindowReporter reporter(*this);
    DeviceCommands(link, reporter, ProgramDataDirectory)
        .WriteToDevice(KelmData, ui->cbEnableTimeSchedule->isChecked());
}

void TfrmMain::mnuComChangeDeviceRadioCodesClick()
{
    if (deviceCommandRunning)
        return;
    const RunningCommand running(deviceCommandRunning);
    KelmLink &link = DeviceLink();
    DeviceWindowReporter reporter(*this);
    DeviceCommands(link, reporter, ProgramDataDirectory).ChangeDeviceRadioCodes(KelmData);
}
