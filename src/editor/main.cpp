#include "About.h"
#include "CommandLine.h"
#include "DataSetup.h"
#include "Demo.h"
#include "KelmLink.h"
#include "QtUserPrompt.h"
#include "RadioCodes.h"
#include "SelectFolder.h"
#include "TextTable.h"
#include "Unit1.h"
#include "Version.h"

#include <QApplication>
#include <QPixmap>
#include <QStringList>
#include <QTextStream>

namespace {

QStringList ArgumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("kelm-programmer"));
    QCoreApplication::setApplicationVersion(QLatin1String(KelmVersion::FileVersion));
    // Help, version and usage errors are answered before any window system is needed.
    const CommandLine::Result command = CommandLine::Parse(ArgumentList(argc, argv));
    switch (command.outcome) {
    case CommandLine::Outcome::ShowHelp:
    case CommandLine::Outcome::ShowVersion:
        QTextStream(stdout) << command.text;
        return 0;
    case CommandLine::Outcome::Error:
        QTextStream(stderr) << command.text;
        return 1;
    case CommandLine::Outcome::Run:
        break;
    }
    const CommandLineOptions &options = command.options;
    if (!options.Language.isEmpty() && !TextTable::SetLanguage(options.Language)) {
        QTextStream(stderr) << "kelm-programmer: no texts for the language '" << options.Language << "'\n";
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QLatin1String(KelmVersion::FileDescription));
    QtUserPrompt::InstallToolkitTranslation(QLocale::system());

    const QString programFolder = DataSetup::ProgramFolder();
    if (!options.Port.isEmpty())
        KelmLink::SetDefaultPortName(options.Port);
    DemoUnit demo;
    if (options.Demo) {
        QString error;
        if (!demo.Start(programFolder, &error)) {
            QTextStream(stderr) << "kelm-programmer: --demo: " << error << '\n';
            return 1;
        }
    }

    TfrmMain frmMain;
    TfrmAbout frmAbout(&frmMain);
    frmAbout.SetProgramFolder(programFolder);
    TfrmSelectDirectory frmSelectDirectory(&frmMain);
    TfrmWriteRadioCodes frmWriteRadioCodes(&frmMain);
    frmMain.SetAboutForm(&frmAbout);
    frmMain.SetSelectDirectoryForm(&frmSelectDirectory);
    frmMain.SetWriteRadioCodesForm(&frmWriteRadioCodes);
    frmMain.FormCreate(programFolder, options.Positional);
    if (options.Demo)
        frmMain.ShowSimulatedUnit(demo.DevicePath());
    frmMain.show();

    // --screenshot FILE draws the window into FILE and ends, so the layout can
    // be looked at without a display (QT_QPA_PLATFORM=offscreen).
    if (!options.Screenshot.isEmpty()) {
        QApplication::processEvents();
        return frmMain.grab().save(options.Screenshot) ? 0 : 1;
    }
    return app.exec();
}
