#include "Unit1.h"

#include "CommandLine.h"
#include "ConfigFile.h"
#include "DataSetup.h"
#include "KelmLink.h"
#include "KelmFileName.h"
#include "SelectFolder.h"
#include "TextTable.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {
QString OpenSaveFilter()
{
    return TextTable::Text(11416) + QStringLiteral(" (*") + QLatin1String(KelmFileName::Extension)
           + QLatin1Char(')');
}
}

int TfrmMain::TakeLoadedFile(const QString &fileName)
{
    KelmData.CurrentFileName = fileName;
    KelmData.ConfigOrigin = OriginOpened;
    UpdateTitle();
    QString fieldName;
    const int failed = ImageToControls(KelmData.ReadBackImage, OriginOpened, fieldName);
    if (failed >= 0)
        ShowConversionMessage(KelmData.ReadBackImage, failed, fieldName);
    // The image is taken even when a field could not be shown.
    std::copy_n(KelmData.ReadBackImage.begin(), ImageSize, KelmData.EditedImage.begin());
    return failed;
}

void TfrmMain::SetSelectDirectoryForm(TfrmSelectDirectory *form)
{
    selectDirectoryForm = form;
}

TfrmSelectDirectory &TfrmMain::SelectDirectoryForm()
{
    if (!selectDirectoryForm)
        selectDirectoryForm = new TfrmSelectDirectory(this);
    selectDirectoryForm->SetPrompt(PromptForDialogs());
    return *selectDirectoryForm;
}

void TfrmMain::FormCreate(const QString &programFolder, const QStringList &arguments)
{
    SetUpDirectories(programFolder, arguments);
    FillLists();
    mnuFileNewClick();
    OpenCommandLineFile(arguments);
}

void TfrmMain::SetUpDirectories(const QString &programFolder, const QStringList &arguments)
{
    setAcceptDrops(true);
    const DataSetupResult setup = DataSetup::SetUpDataDirectories(KelmIni, programFolder, arguments);
    ProgramDataDirectory = setup.Directories.ProgramDataDirectory;
    StandardConfigDirectory = setup.Directories.StandardConfigDirectory;
    DefaultConfigDirectory = setup.Directories.DefaultConfigDirectory;
    // Reported, then start-up goes on: the window still needs its lists,
    // texts and a configuration.
    if (!setup.WriteError.isEmpty())
        Prompt().MessageText(UserPrompt::Kind::Error, setup.WriteError);
}

void TfrmMain::UpdateTitle()
{
    QString first;
    switch (KelmData.ConfigOrigin) {
    case OriginNew:
        first = TextTable::Text(11417);
        break;
    case OriginOpened:
    case OriginSaved:
        first = KelmFileName::NamePart(KelmData.CurrentFileName);
        break;
    case OriginReadFromUnit:
        first = TextTable::Text(11601);
        break;
    default:
        return;
    }
    setWindowTitle(TextTable::FormatPattern(QStringLiteral("%s - %s"), {first, TextTable::Text(10001)}));
}

void TfrmMain::ShowConversionMessage(const ImageBuffer &image, int address, const QString &fieldName)
{
    Prompt().Message(UserPrompt::Kind::Error, 11418,
                     {fieldName, QString::number(address), QString::number(image[address])});
}

QString TfrmMain::DialogStartFolder() const
{
    if (KelmData.ConfigOrigin >= OriginOpened && KelmData.ConfigOrigin <= OriginWrittenToUnit) {
        const QString folder = QFileInfo(KelmData.CurrentFileName).absolutePath();
        if (!KelmData.CurrentFileName.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return DefaultConfigDirectory;
}

void TfrmMain::mnuFileNewClick()
{
    if (int refused = ConfigFile::LoadDefault(ProgramDataDirectory + QLatin1String(DataSetup::DefaultFile),
                                              KelmData.EditedImage)) {
        Prompt().Message(UserPrompt::Kind::Error, refused);
        SetStatusText(QString());
        return;
    }
    KelmData.ConfigOrigin = OriginNew;
    QString fieldName;
    const int failed = ImageToControls(KelmData.EditedImage, OriginNew, fieldName);
    if (failed >= 0)
        ShowConversionMessage(KelmData.EditedImage, failed, fieldName);
    SetStatusText(TextTable::Text(11438));
    UpdateTitle();
}

void TfrmMain::mnuFileOpenClick()
{
    const QString chosen = Prompt().OpenFileName(TextTable::Text(11302), DialogStartFolder(), OpenSaveFilter());
    if (chosen.isEmpty())
        return;
    const QString fileName = KelmFileName::WithDefaultExtension(chosen);
    if (int refused = ConfigFile::LoadOpened(fileName, KelmData.ReadBackImage)) {
        const QStringList args = refused == 11441 ? QStringList{fileName} : QStringList{};
        Prompt().Message(UserPrompt::Kind::Error, refused, args);
        return;
    }
    const QStringList name{KelmFileName::NamePart(fileName)};
    if (TakeLoadedFile(fileName) < 0)
        Prompt().Message(UserPrompt::Kind::Information, 11435, name);
    SetStatusText(TextTable::Format(11435, name));
}

bool TfrmMain::PackForSave()
{
    QString fieldContent;
    QString fieldName;
    if (ControlsToImage(KelmData.EditedImage, OriginSaved, fieldContent, fieldName) < 0)
        return true;
    Prompt().Message(UserPrompt::Kind::Error, 11419, {fieldName, fieldContent});
    SetStatusText(QString());
    return false;
}

void TfrmMain::WriteEditedImage()
{
    if (ConfigFile::Save(KelmData.EditedImage, KelmData.CurrentFileName))
        SetStatusText(TextTable::Text(11415));
    else
        Prompt().Message(UserPrompt::Kind::Error, 11412);
}

void TfrmMain::mnuFileSaveClick()
{
    if (KelmData.ConfigOrigin != OriginOpened && KelmData.ConfigOrigin != OriginSaved) {
        mnuFileSaveAsClick();
        return;
    }
    if (!PackForSave())
        return;
    WriteEditedImage();
    UpdateTitle();
}

void TfrmMain::mnuFileSaveAsClick()
{
    if (!PackForSave())
        return;
    const QString chosen
        = Prompt().SaveFileName(TextTable::Text(11414), DialogStartFolder(), OpenSaveFilter(), QString());
    if (chosen.isEmpty())
        return;
    const QString fileName = KelmFileName::WithKelmExtension(chosen);
    if (QFileInfo::exists(fileName)) {
        if (ConfigFile::IsReadOnly(fileName)) {
            Prompt().Message(UserPrompt::Kind::Information, 11303);
            return;
        }
        if (Prompt().Message(UserPrompt::Kind::Information, 11413, {}, UserPrompt::Buttons::YesNo)
            != UserPrompt::Answer::Yes)
            return;
    }
    KelmData.CurrentFileName = fileName;
    KelmData.ConfigOrigin = OriginSaved;
    WriteEditedImage();
    UpdateTitle();
}

void TfrmMain::HandleDroppedFiles(const QStringList &paths)
{
    if (paths.size() != 1) {
        SetStatusText(QString());
        Prompt().Message(UserPrompt::Kind::Error, 11436);
        return;
    }
    const QString &fileName = paths.first();
    if (int refused = ConfigFile::LoadDropped(fileName, KelmData.ReadBackImage)) {
        SetStatusText(QString());
        Prompt().Message(UserPrompt::Kind::Error, refused);
        return;
    }
    if (TakeLoadedFile(fileName) >= 0)
        SetStatusText(QString());
    else
        SetStatusText(TextTable::Format(11435, {KelmFileName::NamePart(fileName)}));
}

void TfrmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        paths.append(url.toLocalFile());
    event->acceptProposedAction();
    HandleDroppedFiles(paths);
}

void TfrmMain::OpenCommandLineFile(const QStringList &arguments)
{
    const QString fileName = CommandLine::FirstExistingFile(arguments);
    if (fileName.isEmpty())
        return;
    if (int refused = ConfigFile::LoadCommandLine(fileName, KelmData.ReadBackImage)) {
        Prompt().Message(UserPrompt::Kind::Error, refused);
        return;
    }
    TakeLoadedFile(fileName);
    SetStatusText(TextTable::Format(11435, {KelmFileName::NamePart(fileName)}));
}

void TfrmMain::mnuFileSelectDefaultDirectoryClick()
{
    SelectDirectoryForm().SelectDefaultDirectory(DefaultConfigDirectory, KelmIni);
}

void TfrmMain::mnuFileExitClick()
{
    switch (Prompt().Message(UserPrompt::Kind::Information, 11301, {}, UserPrompt::Buttons::YesNoCancel)) {
    case UserPrompt::Answer::Yes:
        // The window closes whatever the save did: a cancelled or failed save included.
        mnuFileSaveClick();
        break;
    case UserPrompt::Answer::No:
        break;
    default:
        return;
    }
    if (deviceLink)
        deviceLink->CloseLink();
    close();
}
