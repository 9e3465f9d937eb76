#include "About.h"

#include "DataSetup.h"
#include "FormPlacement.h"
#include "KelmIni.h"
#include "TextTable.h"
#include "Version.h"
#include "ui_frmAbout.h"

#include <QDir>
#include <QShowEvent>

#include <algorithm>

static void InitAboutPicture()
{
    // The picture lives in this static library; make sure the linker keeps it.
    Q_INIT_RESOURCE(dialogs);
}

TfrmAbout::TfrmAbout(QWidget *mainWindow)
    : QDialog(mainWindow)
    , ui(std::make_unique<Ui::frmAbout>())
{
    InitAboutPicture();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    QPalette memoColours = ui->mmoInfo->palette();
    memoColours.setColor(QPalette::Base, memoColours.color(QPalette::Button));
    ui->mmoInfo->setPalette(memoColours);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmAbout::~TfrmAbout() = default;

void TfrmAbout::SetProgramFolder(const QString &folder)
{
    programFolder = folder;
}

QString TfrmAbout::ProgramFolder() const
{
    return programFolder.isEmpty() ? DataSetup::ProgramFolder() : programFolder;
}

QString TfrmAbout::QevVersionText() const
{
    return ui->lblQevVersion->text();
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    // A window manager showing the dialog again after it was minimised is no new opening.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmAbout::FormShow()
{
    const QString iniPath = QDir(ProgramFolder()).filePath(QLatin1String(AboutFile));
    CentreOverOwner(*this, parentWidget());
    setWindowTitle(TextTable::Text(11241));
    ui->btnOK->setText(TextTable::Text(65478));
    infoLines.clear();
    AddVersionLines();
    ShowQevVersion();
    AddMakerLines(iniPath);
    ui->mmoInfo->setPlainText(infoLines.join(u'\n'));
}

void TfrmAbout::AddLine(const QString &line)
{
    infoLines.append(line);
}

void TfrmAbout::AddVersionLines()
{
    AddLine(QString::fromUtf8(KelmVersion::FileDescription));
    QString versionLine = QStringLiteral("Version: ") + QString::fromUtf8(KelmVersion::FileVersion);
    versionLine += u' ' + QString::fromUtf8(KelmVersion::Comments);
    AddLine(versionLine);
}

void TfrmAbout::ShowQevVersion()
{
    // A QEV that is missing or silent leaves the line empty; the box opens all the same.
    link.OpenLink();
    QByteArray reply;
    if (link.QueryVersion(reply) == KelmLink::Success)
        ui->lblQevVersion->setText(QStringLiteral("QEV info: ") + QString::fromLatin1(reply.left(11)));
    else
        ui->lblQevVersion->clear();
    link.CloseLink();
}

void TfrmAbout::AddMakerLines(const QString &iniPath)
{
    KelmIni ini;
    ini.SetPath(iniPath);
    bool isNumber = false;
    int lines = ini.ReadSetting(QStringLiteral("Aboutinfo"), QStringLiteral("Lines")).trimmed().toInt(&isNumber);
    if (!isNumber)
        lines = 0;
    if (lines != 0) {
        AddLine(QString());
        for (int i = 1; i <= std::min(lines, MaxMakerLines); ++i)
            AddLine(ini.ReadSetting(QStringLiteral("AboutInfo"), QStringLiteral("Line%1").arg(i)));
    } else {
        AddLine(QStringLiteral("VORN Electronics AB"));
    }
    AddLine(ini.ReadSetting(QStringLiteral("AboutInfo"), QStringLiteral("WWW")));
    AddLine(ini.ReadSetting(QStringLiteral("AboutInfo"), QStringLiteral("MAIL")));
}
