#include "Unit1.h"

#include "About.h"

#include "ComboListControl.h"
#include "QtUserPrompt.h"
#include "TextTable.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>
#include <QStatusBar>

#include <cmath>

namespace {
// Design sizes of the window, in design pixels.
constexpr int ClientWidth = 1009;
constexpr int ClientHeight = 564;
constexpr int StatusBarTop = 545;
}

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::frmMain>())
    , ownPrompt(std::make_unique<QtUserPrompt>(this))
    , prompt(ownPrompt.get())
{
    ui->setupUi(this);
    // Fixed border with system menu, minimise and close, but no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    statusText = new QLabel(ui->sbStatus);
    statusText->setObjectName(QStringLiteral("sbStatusText"));
    ui->sbStatus->addWidget(statusText, 1);
    NameMenuSeparators();
    SetUpRegionPopup();
    ApplyDesignMetrics();
    ConnectMenus();
    ConnectFieldRules();
    // The texts come with the form; the rest of the creation waits for
    // FormCreate, which needs the program folder and the command line.
    SetTexts();
}

TfrmMain::~TfrmMain() = default;

int TfrmMain::Scaled(int designPixels)
{
    return static_cast<int>(std::lround(designPixels * LayoutScale));
}

QRect TfrmMain::Scaled(const QRect &designRect)
{
    // Scale both edges, so neighbours that touch in the layout still touch.
    const int left = Scaled(designRect.left());
    const int top = Scaled(designRect.top());
    return QRect(left, top, Scaled(designRect.left() + designRect.width()) - left,
                 Scaled(designRect.top() + designRect.height()) - top);
}

void TfrmMain::ApplyDesignMetrics()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(FontPixelSize);
    setFont(font);
    // Menus are windows of their own; let them take the window's font too.
    for (QMenu *menu : findChildren<QMenu *>())
        menu->setAttribute(Qt::WA_WindowPropagation);

    for (QWidget *control : ui->pnlMain->findChildren<QWidget *>())
        control->setGeometry(Scaled(control->geometry()));
    ui->pnlMain->setGeometry(Scaled(ui->pnlMain->geometry()));

    const int clientWidth = Scaled(ClientWidth);
    const int statusTop = Scaled(StatusBarTop);
    ui->centralwidget->setFixedSize(clientWidth, statusTop);
    ui->sbStatus->setFixedHeight(Scaled(ClientHeight) - statusTop);
    // The window takes the height of the menu bar above the client area, and
    // cannot be resized.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmMain::NameMenuSeparators()
{
    // The separators keep their names from the layout, in menu order.
    const char *names[] = {"N2", "N1", "N3", "N4"};
    int next = 0;
    for (QMenu *menu : {ui->mnuFile, ui->mnuCom})
        for (QAction *action : menu->actions())
            if (action->isSeparator() && next < int(std::size(names)))
                action->setObjectName(QLatin1String(names[next++]));
}

void TfrmMain::SetUpRegionPopup()
{
    pumnuDST = new QMenu(this);
    pumnuDST->setObjectName(QStringLiteral("pumnuDST"));
    pumnuDST->addAction(ui->pumnuView);
    QComboBox *regions = ui->cbbxDaylightSavingTimeRegion;
    regions->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(regions, &QWidget::customContextMenuRequested, this, [this, regions](const QPoint &pos) {
        if (regions->isEnabled())
            pumnuDST->popup(regions->mapToGlobal(pos));
    });
}

void TfrmMain::ConnectMenus()
{
    connect(ui->mnuFileNew, &QAction::triggered, this, &TfrmMain::mnuFileNewClick);
    connect(ui->mnuFileOpen, &QAction::triggered, this, &TfrmMain::mnuFileOpenClick);
    connect(ui->mnuFileSave, &QAction::triggered, this, &TfrmMain::mnuFileSaveClick);
    connect(ui->mnuFileSaveAs, &QAction::triggered, this, &TfrmMain::mnuFileSaveAsClick);
    connect(ui->mnuFileSelectDefaultDirectory, &QAction::triggered, this,
            &TfrmMain::mnuFileSelectDefaultDirectoryClick);
    connect(ui->mnuFileExit, &QAction::triggered, this, &TfrmMain::mnuFileExitClick);
    connect(ui->mnuComReadFromDevice, &QAction::triggered, this, &TfrmMain::mnuComReadFromDeviceClick);
    connect(ui->mnuComWriteToDevice, &QAction::triggered, this, &TfrmMain::mnuComWriteToDeviceClick);
    connect(ui->mnuComChangeDeviceRadioCodes, &QAction::triggered, this,
            &TfrmMain::mnuComChangeDeviceRadioCodesClick);
    connect(ui->mnuHelpAbout, &QAction::triggered, this, &TfrmMain::mnuHelpAboutClick);
}

void TfrmMain::FillLists()
{
    struct ListFill
    {
        QComboBox *control;
        const char *section;
        CodeList &codes;
    };
    const ListFill lists[] = {
        {ui->cbbxDoorClosedAlarmType, "AlarmType", DoorClosedAlarmTypeCodes},
        {ui->cbbxDoorOpenedAlarmType, "AlarmType", DoorOpenedAlarmTypeCodes},
        {ui->cbbxInputClosedAlarmType, "AlarmType", InputClosedAlarmTypeCodes},
        {ui->cbbxInputOpenedAlarmType, "AlarmType", InputOpenedAlarmTypeCodes},
        {ui->cbbxDoorMatSensorType, "DoorMatSensorType", DoorMatSensorTypeCodes},
        {ui->cbbxDaylightSavingTimeRegion, "DaylightSaving", DaylightSavingRegionCodes},
    };
    for (const ListFill &list : lists) {
        ComboListControl control(*list.control);
        KelmIni.FillList(control, QLatin1String(list.section), list.codes);
    }
}

void TfrmMain::SetTexts()
{
    ui->mnuFile->setTitle(TextTable::Text(10101));
    ui->mnuFileNew->setText(TextTable::Text(10102));
    ui->mnuFileOpen->setText(TextTable::Text(10103));
    ui->mnuFileSave->setText(TextTable::Text(10104));
    ui->mnuFileSaveAs->setText(TextTable::Text(10105));
    ui->mnuFileSelectDefaultDirectory->setText(TextTable::Text(10106));
    ui->mnuFileExit->setText(TextTable::Text(10107));
    ui->mnuCom->setTitle(TextTable::Text(10108));
    ui->mnuComReadFromDevice->setText(TextTable::Text(10109));
    ui->mnuComWriteToDevice->setText(TextTable::Text(10110));
    ui->mnuComChangeDeviceRadioCodes->setText(TextTable::Text(10111));
    ui->mnuHelp->setTitle(TextTable::Text(10112));
    ui->mnuHelpAbout->setText(TextTable::Text(10113));
    ui->gbxInputs->setTitle(TextTable::Text(11101));
    ui->lblAlarmWhenDoorClosed->setText(TextTable::Text(11102));
    ui->lblAlarmWhenDoorOpened->setText(TextTable::Text(11103));
    ui->lblAlarmWhenInputClosed->setText(TextTable::Text(11104));
    ui->lblAlarmWhenInputOpened->setText(TextTable::Text(11105));
    ui->lblSendAlarm->setText(TextTable::Text(11106));
    ui->lblInputsRadioCode->setText(TextTable::Text(11107));
    ui->lblAlarmType->setText(TextTable::Text(11108));
    ui->gbxAlarmDelay->setTitle(TextTable::Text(11121));
    ui->lblInPassageDelay->setText(TextTable::Text(11122));
    ui->lblOutPassageDelay->setText(TextTable::Text(11123));
    ui->lblAutoResetTime->setText(TextTable::Text(11124));
    ui->gbxPeekFunction->setTitle(TextTable::Text(11141));
    ui->lblEnablePeekFunction->setText(TextTable::Text(11142));
    ui->lblDoorMatSensorType->setText(TextTable::Text(11143));
    ui->lblMaxTimeOutsideDoor->setText(TextTable::Text(11144));
    ui->gbxRadioParameters->setTitle(TextTable::Text(11201));
    ui->lblNumberOfShortTransmissions->setText(TextTable::Text(11202));
    ui->lblNumberOfLongTransmissions->setText(TextTable::Text(11203));
    ui->lblEquipmentType->setText(TextTable::Text(11204));
    ui->gbxTechnicalAlarms->setTitle(TextTable::Text(11161));
    ui->lblTechnicalRadioCode->setText(TextTable::Text(11107));
    ui->lblRadioTestAlarmPeriod->setText(TextTable::Text(11162));
    ui->lblBatteryAlarmPeriod->setText(TextTable::Text(11163));
    ui->lblBatteryLowLimit->setText(TextTable::Text(11164));
    ui->gbxMiscellaneous->setTitle(TextTable::Text(11181));
    ui->lblIgnorePowerSwitch->setText(TextTable::Text(11182));
    ui->gbxTimeSchedule->setTitle(TextTable::Text(11211));
    ui->lblEnableTimeSchedule->setText(TextTable::Text(11212));
    ui->lblActivationTime->setText(TextTable::Text(11213));
    ui->lblInactivationTime->setText(TextTable::Text(11214));
    ui->lblDaylightSavingTimeRegion->setText(TextTable::Text(11215));
    ui->lblMostRecentDateTime->setText(TextTable::Text(11216));
    ui->lblDate->setText(TextTable::Text(11217));
    ui->lblTime->setText(TextTable::Text(11218));
    ui->gbxProductInformation->setTitle(TextTable::Text(11221));
    ui->lblProgramVersion->setText(TextTable::Text(11222));
    ui->lblSerialNumber->setText(TextTable::Text(11223));
    ui->lblProductionDate->setText(TextTable::Text(11224));
    ui->lblRadioCalibration->setText(TextTable::Text(11225));
    ui->pumnuView->setText(TextTable::Text(10201));
    FitLabelsToTexts();
}

void TfrmMain::FitLabelsToTexts()
{
    // Labels size themselves to their text and keep their top-left corner.
    for (QLabel *label : ui->pnlMain->findChildren<QLabel *>())
        label->adjustSize();
}

void TfrmMain::SetStatusText(const QString &text)
{
    statusText->setText(text);
}

QString TfrmMain::StatusText() const
{
    return statusText->text();
}

void TfrmMain::SetPrompt(UserPrompt *newPrompt)
{
    prompt = newPrompt ? newPrompt : ownPrompt.get();
}

UserPrompt &TfrmMain::Prompt() const
{
    return *prompt;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmMain::FormShow()
{
    // Centred each time it is shown; the halves are rounded toward zero.
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        // The frame as far as the platform knows it yet.
        const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        const QSize size = this->size().grownBy(frame);
        move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
    }
    QGuiApplication::setApplicationDisplayName(TextTable::Text(10001));
}

UserPrompt *TfrmMain::PromptForDialogs() const
{
    return prompt == ownPrompt.get() ? nullptr : prompt;
}

void TfrmMain::SetAboutForm(TfrmAbout *form)
{
    aboutForm = form;
}

TfrmAbout &TfrmMain::AboutForm()
{
    if (!aboutForm)
        aboutForm = new TfrmAbout(this);
    return *aboutForm;
}

void TfrmMain::mnuHelpAboutClick()
{
    AboutForm().exec();
}
