// Configuration files of any content and length through every load check,
// then saved back. The first input byte picks the name, the loader and
// whether the length is forced to one of the two valid ones; the rest is the file.
#include "ConfigFile.h"
#include "FuzzSupport.h"
#include "KelmData.h"

#include <QDir>

namespace {

enum class Loader { Default, Opened, Dropped, CommandLine };

const char *const Names[] = { "Konfig.Kelm", "KONFIG.KELM", "konfig.kelm", "Default.bin", "konfig", "konfig.kelm.bak",
                              ".kelm", "konfig.Kelm " };

bool IsKelmName(const QString &name)
{
    return name.endsWith(QLatin1String(".kelm"), Qt::CaseInsensitive);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Reader input(data, size);
    const quint8 choice = input.Byte();
    const QString name = QString::fromLatin1(Names[choice % 8]);
    const auto loader = Loader((choice >> 3) % 4);
    QByteArray content = input.Rest();
    switch ((choice >> 5) % 4) {
    case 1:
        content = content.leftJustified(ConfigFile::ShortLength, '\0', true);
        break;
    case 2:
        content = content.leftJustified(ConfigFile::LongLength, '\0', true);
        break;
    default:
        break;
    }
    const bool directory = choice >> 7 && (choice & 0x60) == 0x60;

    const QString folder = FuzzSupport::ScratchPath(QStringLiteral("files"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name;
    if (directory)
        FUZZ_CHECK(QDir().mkpath(path));
    else
        FUZZ_CHECK(FuzzSupport::WriteFile(path, content));

    ImageBuffer image;
    image.fill(0x5C);
    const ImageBuffer before = image;
    int result = -1;
    switch (loader) {
    case Loader::Default:
        result = ConfigFile::LoadDefault(path, image);
        break;
    case Loader::Opened:
        result = ConfigFile::LoadOpened(path, image);
        break;
    case Loader::Dropped:
        result = ConfigFile::LoadDropped(path, image);
        break;
    case Loader::CommandLine:
        result = ConfigFile::LoadCommandLine(path, image);
        break;
    }

    const qsizetype length = directory ? 0 : content.size();
    const bool validLength = length == ConfigFile::ShortLength || length == ConfigFile::LongLength;
    const bool kelmType = length >= 256 && quint8(content[248]) == KelmProductType;
    int expected = 0;
    switch (loader) {
    case Loader::Default:
        expected = length >= 256 ? 0 : 11411;
        break;
    case Loader::Opened:
        expected = !validLength ? 11439 : !kelmType ? 11431 : 0;
        break;
    case Loader::Dropped:
        expected = !((IsKelmName(name) && length == ConfigFile::ShortLength) || length == ConfigFile::LongLength)
            ? 11437 : !kelmType ? 11432 : 0;
        break;
    case Loader::CommandLine:
        expected = !(IsKelmName(name) && validLength) ? 11439 : !kelmType ? 11431 : 0;
        break;
    }
    FUZZ_CHECK(result == expected);
    if (result != 0) {
        // A refused file leaves the image as it was, filler included.
        FUZZ_CHECK(image == before);
        return 0;
    }
    FUZZ_CHECK(QByteArray(reinterpret_cast<const char *>(image.data()), ImageSize) == content.left(ImageSize));
    for (int i = ImageSize; i < BufferSize; ++i)
        FUZZ_CHECK(image[i] == before[i]);

    // Saving over the file keeps its length; the long form gets 0xFF filler.
    FUZZ_CHECK(ConfigFile::Save(image, path));
    const QByteArray saved = FuzzSupport::ReadFile(path);
    const qsizetype savedLength = length == ConfigFile::LongLength ? ConfigFile::LongLength : ConfigFile::ShortLength;
    FUZZ_CHECK(saved.size() == savedLength);
    FUZZ_CHECK(saved.left(ImageSize) == content.left(ImageSize));
    if (savedLength == ConfigFile::LongLength)
        FUZZ_CHECK(saved.mid(ImageSize) == QByteArray(ConfigFile::LongLength - ImageSize, '\xFF'));
    return 0;
}
