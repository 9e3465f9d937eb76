#include "KelmFileName.h"

namespace KelmFileName {

namespace {
qsizetype NameStart(const QString &path)
{
    return path.lastIndexOf(QLatin1Char('/')) + 1;
}

// The index of the extension's dot in path, or -1.
qsizetype ExtensionStart(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= NameStart(path) ? dot : -1;
}
}

QString NamePart(const QString &path)
{
    return path.mid(NameStart(path));
}

QString WithDefaultExtension(const QString &path)
{
    return ExtensionStart(path) < 0 ? path + QLatin1String(Extension) : path;
}

QString WithKelmExtension(const QString &path)
{
    const qsizetype dot = ExtensionStart(path);
    return (dot < 0 ? path : path.left(dot)) + QLatin1String(Extension);
}

} // namespace KelmFileName
