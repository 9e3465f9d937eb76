#pragma once

#include <QByteArray>
#include <QString>

// Small helpers shared by the test programs.
namespace TestSupport {
QString SourcePath(const QString &relative); // a path inside the source tree
QString BinPath(const QString &name);        // a built executable or shipped file
QByteArray ReadAll(const QString &path);
bool WriteAll(const QString &path, const QByteArray &bytes);
}
