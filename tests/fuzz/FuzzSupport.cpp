#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

void Fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}

QString ScratchDir()
{
    // In memory where there is such a place: saving a file syncs it to disk,
    // which would otherwise set the pace of the whole run.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/kelm-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kelm-fuzz-XXXXXX"));
    return dir.path();
}

QString ScratchPath(const QString &name)
{
    return ScratchDir() + QLatin1Char('/') + name;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint8 Reader::Byte()
{
    return m_used < m_size ? m_data[m_used++] : 0;
}

QByteArray Reader::Rest()
{
    const QByteArray rest(reinterpret_cast<const char *>(m_data + m_used), qsizetype(m_size - m_used));
    m_used = m_size;
    return rest;
}

}
