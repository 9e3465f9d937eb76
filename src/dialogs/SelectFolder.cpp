#include "SelectFolder.h"

#include "DataSetup.h"
#include "FormPlacement.h"
#include "KelmIni.h"
#include "QtUserPrompt.h"
#include "TextTable.h"
#include "ui_frmSelectDirectory.h"

#include <QDir>
#include <QKeyEvent>
#include <QShowEvent>

TfrmSelectDirectory::TfrmSelectDirectory(QWidget *mainWindow)
    : QDialog(mainWindow)
    , ui(std::make_unique<Ui::frmSelectDirectory>())
    , ownPrompt(std::make_unique<QtUserPrompt>(this))
    , prompt(ownPrompt.get())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    FormCreate();
    connect(ui->btnBrowse, &QPushButton::clicked, this, &TfrmSelectDirectory::btnBrowseClick);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmSelectDirectory::~TfrmSelectDirectory() = default;

void TfrmSelectDirectory::SetPrompt(UserPrompt *newPrompt)
{
    prompt = newPrompt ? newPrompt : ownPrompt.get();
}

void TfrmSelectDirectory::FormCreate()
{
    setWindowTitle(TextTable::Text(11261));
    ui->gbxSelectDirectory->setTitle(TextTable::Text(11262));
    ui->lblDirectoryInfo->resize(int(ui->gbxSelectDirectory->width() * 0.9), ui->lblDirectoryInfo->height());
    ui->lblDirectoryInfo->setText(TextTable::Text(11263));
    ui->edtActiveConfigDirectory->clear();
    ui->btnBrowse->setText(TextTable::Text(11351));
    ui->btnOK->setText(TextTable::Text(65478));
    ui->btnCancel->setText(TextTable::Text(65479));
}

void TfrmSelectDirectory::FormShow()
{
    CentreOverOwner(*this, parentWidget());
}

void TfrmSelectDirectory::showEvent(QShowEvent *event)
{
    // A window manager showing the dialog again after it was minimised is no new opening.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmSelectDirectory::keyPressEvent(QKeyEvent *event)
{
    // Neither button answers Escape; only the close box cancels besides Cancel.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString TfrmSelectDirectory::WithoutTrailingSeparator(const QString &path)
{
    QString result = path;
    while (result.size() > 1 && result.endsWith(u'/'))
        result.chop(1);
    return result;
}

void TfrmSelectDirectory::SetDirectory(const QString &path)
{
    ui->edtActiveConfigDirectory->setText(WithoutTrailingSeparator(path));
}

QString TfrmSelectDirectory::Directory() const
{
    return WithoutTrailingSeparator(ui->edtActiveConfigDirectory->text());
}

void TfrmSelectDirectory::btnBrowseClick()
{
    const QString current = Directory();
    const QString start = !current.isEmpty() && QDir(current).exists() ? current : QString();
    const QString chosen = prompt->ExistingDirectory(TextTable::Text(11430), start);
    if (!chosen.isEmpty())
        SetDirectory(chosen);
}

bool TfrmSelectDirectory::SelectDefaultDirectory(QString &defaultConfigDirectory, KelmIni &ini)
{
    SetDirectory(defaultConfigDirectory);
    if (exec() != QDialog::Accepted)
        return false;
    defaultConfigDirectory = Directory();
    if (!ini.WriteSetting(QLatin1String(DataSetup::SetupSection), QLatin1String(DataSetup::ConfigDirectoryKey),
                          defaultConfigDirectory))
        prompt->MessageText(UserPrompt::Kind::Error, ini.WriteErrorText());
    return true;
}
