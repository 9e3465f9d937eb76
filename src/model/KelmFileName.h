#pragma once

#include <QString>

// Name rules of configuration files. The file-name part of a path is what
// follows its last '/'; its extension runs from its last dot on, and a
// file-name part without a dot has none. Changes touch the file-name part only.
namespace KelmFileName {

inline constexpr const char *Extension = ".Kelm";

QString NamePart(const QString &path);
// The path with ".Kelm" appended when it has no extension (Open).
QString WithDefaultExtension(const QString &path);
// The path with ".Kelm" appended, or put in place of its extension (Save As).
QString WithKelmExtension(const QString &path);

} // namespace KelmFileName
