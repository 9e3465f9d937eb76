#include "ConfigFile.h"

#include "KelmData.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

bool KelmData::ReadConfigFile(const QString &fileName, ImageBuffer &destination)
{
    // Opening a named pipe or a device for reading may wait for ever.
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read into scratch first: a short file must not leave a partial image.
    std::array<char, ImageSize> scratch{};
    qint64 total = 0;
    while (total < ImageSize) {
        const qint64 got = file.read(scratch.data() + total, ImageSize - total);
        if (got <= 0)
            break;
        total += got;
    }
    if (total != ImageSize)
        return false;
    std::copy(scratch.begin(), scratch.end(), destination.begin());
    return true;
}

bool KelmData::WriteConfigFile(const ImageBuffer &source, const QString &fileName, int count)
{
    if (fileName.isEmpty() || count < 0 || count > BufferSize)
        return false;
    // Replacing by rename would succeed on a read-only file; keep the refusal.
    if (ConfigFile::IsReadOnly(fileName))
        return false;
    QSaveFile file(fileName);
    // Unbuffered: a buffered write that fails at the final flush would still
    // be committed over the target.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(reinterpret_cast<const char *>(source.data()), count) != count) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

quint32 KelmData::ConfigFileSize(const QString &fileName)
{
    if (fileName.isEmpty())
        return 0;
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return 0;
    const quint32 size = quint32(file.size() & 0xFFFFFFFF);
    return size == 0xFFFFFFFFu ? 0 : size;
}

namespace ConfigFile {

namespace {
bool IsLoadableLength(quint32 size)
{
    return size == quint32(ShortLength) || size == quint32(LongLength);
}

// Reads and checks into scratch, so a refused file leaves the caller's image.
int ReadChecked(const QString &fileName, ImageBuffer &image, int productTypeText)
{
    ImageBuffer scratch = image;
    if (!KelmData::ReadConfigFile(fileName, scratch))
        return 11410;
    if (!KelmData::HasKelmProductType(scratch))
        return productTypeText;
    image = scratch;
    return 0;
}
}

bool HasKelmExtension(const QString &fileName)
{
    const qsizetype separator = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const QString namePart = fileName.mid(separator + 1);
    const qsizetype dot = namePart.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && namePart.mid(dot).compare(QLatin1String(".kelm"), Qt::CaseInsensitive) == 0;
}

bool IsReadOnly(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return false;
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    // The permission bits decide for root too, who may write anything.
    return !info.isWritable() || !(info.permissions() & writeBits);
}

int LoadDefault(const QString &fileName, ImageBuffer &image)
{
    return KelmData::ReadConfigFile(fileName, image) ? 0 : 11411;
}

int LoadOpened(const QString &fileName, ImageBuffer &image)
{
    if (fileName.isEmpty() || !QFileInfo::exists(fileName))
        return 11441;
    if (!IsLoadableLength(KelmData::ConfigFileSize(fileName)))
        return 11439;
    return ReadChecked(fileName, image, 11431);
}

int LoadDropped(const QString &fileName, ImageBuffer &image)
{
    const quint32 size = KelmData::ConfigFileSize(fileName);
    const bool taken = (HasKelmExtension(fileName) && size == quint32(ShortLength)) || size == quint32(LongLength);
    if (!taken)
        return 11437;
    return ReadChecked(fileName, image, 11432);
}

int LoadCommandLine(const QString &fileName, ImageBuffer &image)
{
    if (!HasKelmExtension(fileName) || !IsLoadableLength(KelmData::ConfigFileSize(fileName)))
        return 11439;
    return ReadChecked(fileName, image, 11431);
}

int SaveLength(const QString &fileName)
{
    return KelmData::ConfigFileSize(fileName) == quint32(LongLength) ? LongLength : ShortLength;
}

bool Save(ImageBuffer &image, const QString &fileName)
{
    const int count = SaveLength(fileName);
    if (count == LongLength)
        std::fill(image.begin() + ImageSize, image.end(), quint8(0xFF));
    return KelmData::WriteConfigFile(image, fileName, count);
}

}
