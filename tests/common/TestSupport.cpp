#include "TestSupport.h"

#include <QFile>

namespace TestSupport {

QString SourcePath(const QString &relative)
{
    return QStringLiteral(KELM_SOURCE_DIR "/") + relative;
}

QString BinPath(const QString &name)
{
    return QStringLiteral(KELM_BIN_DIR "/") + name;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace TestSupport
