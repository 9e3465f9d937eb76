#include "QevPortFinder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The product string of the USB device above a tty's device directory, or a
// null text when there is none below the sysfs root.
QString UsbProductAbove(const QString &deviceDir, const QString &root)
{
    QString dir = deviceDir;
    while (dir.startsWith(root + QLatin1Char('/'))) {
        QFile product(dir + QStringLiteral("/product"));
        if (product.open(QIODevice::ReadOnly)) {
            QByteArray text = product.readAll();
            if (text.endsWith('\n'))
                text.chop(1);
            return QString::fromUtf8(text);
        }
        dir = QFileInfo(dir).path();
    }
    return QString();
}

} // namespace

QString FindPortByDescription(const QString &description, const QString &sysfsRoot, const QString &devRoot)
{
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    if (root.isEmpty())
        return QString();
    const QDir ttys(root + QStringLiteral("/class/tty"));
    const QStringList names = ttys.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QString deviceDir = QFileInfo(ttys.filePath(name) + QStringLiteral("/device")).canonicalFilePath();
        if (deviceDir.isEmpty())
            continue; // a virtual terminal, no hardware behind it
        const QString product = UsbProductAbove(deviceDir, root);
        if (!product.isNull() && product == description)
            return devRoot + QLatin1Char('/') + name;
    }
    return QString();
}
