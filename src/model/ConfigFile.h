#pragma once

#include "ConfigImage.h"

#include <QString>

// Rules for loading and saving configuration files, shared by the window and
// the command-line tool. Each load check reads into the given buffer and
// returns 0 when the file is accepted, else the number of the text that
// refuses it. A refused file leaves the buffer as it was.
namespace ConfigFile {
inline constexpr int ShortLength = ImageSize; // 256
inline constexpr int LongLength = BufferSize; // 2048

// The extension (file-name part from its last dot on) is ".kelm", any case.
bool HasKelmExtension(const QString &fileName);
// The file exists and carries no write permission (or cannot be written).
bool IsReadOnly(const QString &fileName);

// The default file: its first 256 bytes, product type unchecked. 11411.
int LoadDefault(const QString &fileName, ImageBuffer &image);
// Open: 11441 (no such file), 11439 (length), 11410 (read), 11431 (product type).
int LoadOpened(const QString &fileName, ImageBuffer &image);
// A dropped file: 11437 (extension or length), 11410, 11432.
int LoadDropped(const QString &fileName, ImageBuffer &image);
// A file named on the command line (the caller passes only existing files):
// 11439 (extension or length), 11410, 11431.
int LoadCommandLine(const QString &fileName, ImageBuffer &image);

// 2048 when the target exists with exactly 2048 bytes, else 256.
int SaveLength(const QString &fileName);
// Writes the image with the length SaveLength gives; for the long form
// bytes 256..2047 of the buffer become 0xFF first. False when the write fails.
bool Save(ImageBuffer &image, const QString &fileName);
}
