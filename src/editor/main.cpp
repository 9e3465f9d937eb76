#include "QtUserPrompt.h"
#include "Unit1.h"
#include "Version.h"

#include <QApplication>
#include <QPixmap>
#include <QStringList>
#include <QTextStream>

namespace {

// "--screenshot FILE" draws the window into FILE and ends, so the layout can
// be looked at without a display (QT_QPA_PLATFORM=offscreen).
QString ScreenshotFile(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
}

}

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (QLatin1String(argv[i]) == QLatin1String("--version")) {
            QTextStream(stdout) << KelmVersion::FileVersion << Qt::endl;
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelm-programmer"));
    QApplication::setApplicationVersion(QLatin1String(KelmVersion::FileVersion));
    QApplication::setApplicationDisplayName(QLatin1String(KelmVersion::FileDescription));
    QtUserPrompt::InstallToolkitTranslation(QLocale::system());

    TfrmMain window;
    window.show();

    const QString screenshot = ScreenshotFile(QApplication::arguments());
    if (!screenshot.isEmpty()) {
        QApplication::processEvents();
        return window.grab().save(screenshot) ? 0 : 1;
    }
    return app.exec();
}
