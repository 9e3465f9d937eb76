#include "ConfigFile.h"
#include "KelmData.h"
#include "TextTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>
#include <vector>

namespace {

// A file image: byte i holds i (mod 256), byte 248 the product type.
QByteArray FileBytes(int length, quint8 productType = 7)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i)
        bytes[i] = char(i & 0xFF);
    if (length > 248)
        bytes[248] = char(productType);
    return bytes;
}

ImageBuffer Filled(quint8 value)
{
    ImageBuffer buffer;
    buffer.fill(value);
    return buffer;
}

class ConfigFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString Path(const QString &name) const { return dir.filePath(name); }

    QString Make(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    }

    QByteArray Contents(const QString &name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(ConfigFileTest, ReadTakesTheFirst256Bytes)
{
    for (int length : {256, 300, 2048}) {
        const QString name = Make(QStringLiteral("f%1.Kelm").arg(length), FileBytes(length));
        ImageBuffer image = Filled(0x5A);
        ASSERT_TRUE(KelmData::ReadConfigFile(name, image)) << length;
        EXPECT_EQ(image[0], 0);
        EXPECT_EQ(image[200], 200);
        EXPECT_EQ(image[255], 255);
        EXPECT_EQ(image[256], 0x5A) << "bytes after the image are not the file's";
    }
}

TEST_F(ConfigFileTest, FailedReadLeavesTheImageUntouched)
{
    QDir(dir.path()).mkdir("folder.Kelm");
    const std::vector<QString> names = {
        Make("short.Kelm", FileBytes(255)),
        Make("empty.Kelm", QByteArray()),
        Path("missing.Kelm"),
        Path("folder.Kelm"),
        QString(),
    };
    for (const QString &name : names) {
        ImageBuffer image = Filled(0x5A);
        EXPECT_FALSE(KelmData::ReadConfigFile(name, image)) << name.toStdString();
        EXPECT_EQ(image, Filled(0x5A)) << name.toStdString();
    }
}

TEST_F(ConfigFileTest, SizeOfRegularFilesOnly)
{
    QDir(dir.path()).mkdir("folder.Kelm");
    EXPECT_EQ(KelmData::ConfigFileSize(Make("a.Kelm", FileBytes(2048))), 2048u);
    EXPECT_EQ(KelmData::ConfigFileSize(Make("b.Kelm", FileBytes(257))), 257u);
    EXPECT_EQ(KelmData::ConfigFileSize(Make("c.Kelm", QByteArray())), 0u);
    EXPECT_EQ(KelmData::ConfigFileSize(Path("missing.Kelm")), 0u);
    EXPECT_EQ(KelmData::ConfigFileSize(Path("folder.Kelm")), 0u);
    EXPECT_EQ(KelmData::ConfigFileSize(QString()), 0u);
    EXPECT_EQ(KelmData::ConfigFileSize(QStringLiteral("/dev/zero")), 0u);
}

TEST_F(ConfigFileTest, SaveLengthFollowsTheExistingFile)
{
    struct Case
    {
        QString name;
        int existing; // -1: no file yet
        int written;
    };
    const std::vector<Case> cases = {
        {"new.Kelm", -1, 256},
        {"short.Kelm", 256, 256},
        {"odd.Kelm", 300, 256},
        {"long.Kelm", 2048, 2048},
    };
    for (const Case &c : cases) {
        if (c.existing >= 0)
            Make(c.name, QByteArray(c.existing, char(0x33)));
        ImageBuffer image = Filled(0x11);
        image[248] = 7;
        ASSERT_TRUE(ConfigFile::Save(image, Path(c.name))) << c.name.toStdString();
        const QByteArray written = Contents(c.name);
        ASSERT_EQ(written.size(), c.written) << c.name.toStdString();
        EXPECT_EQ(written.left(256), QByteArray(reinterpret_cast<const char *>(image.data()), 256));
        if (c.written == 2048)
            EXPECT_EQ(written.mid(256), QByteArray(1792, char(0xFF)));
    }
}

TEST_F(ConfigFileTest, SaveKeepsTheStoredCrc)
{
    ImageBuffer image{};
    image[248] = 7;
    image[224] = 0x12; // stale on purpose
    ASSERT_TRUE(ConfigFile::Save(image, Path("stale.Kelm")));
    EXPECT_EQ(quint8(Contents("stale.Kelm")[224]), 0x12);
}

// Replacing the file through a temporary one must not narrow who may read it.
TEST_F(ConfigFileTest, SavedFilesKeepOrdinaryPermissions)
{
    const mode_t previous = umask(022);
    ImageBuffer image{};
    const bool created = ConfigFile::Save(image, Path("new.Kelm"));
    const QString existing = Make("existing.Kelm", FileBytes(256));
    const auto chosen = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    QFile::setPermissions(existing, chosen);
    const bool replaced = ConfigFile::Save(image, existing);
    umask(previous);

    ASSERT_TRUE(created);
    ASSERT_TRUE(replaced);
    EXPECT_TRUE(QFileInfo(Path("new.Kelm")).permissions().testFlag(QFileDevice::ReadOther));
    EXPECT_TRUE(QFileInfo(Path("new.Kelm")).permissions().testFlag(QFileDevice::ReadGroup));
    const auto kept = QFileInfo(existing).permissions()
        & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
           | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
           | QFileDevice::ExeOther);
    EXPECT_EQ(kept, chosen);
}

TEST_F(ConfigFileTest, RefusedWritesLeaveTheTarget)
{
    const QByteArray old = FileBytes(256);
    const QString readOnly = Make("readonly.Kelm", old);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    EXPECT_TRUE(ConfigFile::IsReadOnly(readOnly));
    EXPECT_FALSE(KelmData::WriteConfigFile(Filled(0), readOnly, 256));
    EXPECT_EQ(Contents("readonly.Kelm"), old);

    QDir(dir.path()).mkdir("folder.Kelm");
    EXPECT_FALSE(KelmData::WriteConfigFile(Filled(0), Path("folder.Kelm"), 256));
    EXPECT_TRUE(QFileInfo(Path("folder.Kelm")).isDir());

    EXPECT_FALSE(KelmData::WriteConfigFile(Filled(0), Path("no/such/folder/x.Kelm"), 256));
    EXPECT_FALSE(KelmData::WriteConfigFile(Filled(0), QString(), 256));

    const QString writable = Make("writable.Kelm", old);
    EXPECT_FALSE(ConfigFile::IsReadOnly(writable));
    EXPECT_FALSE(ConfigFile::IsReadOnly(Path("missing.Kelm")));
}

// A write that fails part-way (the file-size limit stops it after 100 bytes,
// also for root) must leave the old file as it was, with no stray files.
TEST_F(ConfigFileTest, WriteFailingPartWayKeepsTheOldFile)
{
    const QByteArray old = FileBytes(2048);
    const QString target = Make("keep.Kelm", old);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    ImageBuffer image = Filled(0x77);
    const bool written = KelmData::WriteConfigFile(image, target, 2048);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Contents("keep.Kelm"), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.Kelm"});
}

TEST(ConfigFileNames, KelmExtension)
{
    const std::vector<std::pair<QString, bool>> cases = {
        {"/a/b.kelm", true},       {"/a/b.Kelm", true},     {"/a/b.KELM", true},
        {"b.KeLm", true},          {".kelm", true},         {"C:\\x\\b.Kelm", true},
        {"/a.kelm/b", false},      {"/a/b.kelm.txt", false}, {"/a/b", false},
        {"/a/b.kel", false},       {"/a/b.kelmx", false},   {"", false},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(ConfigFile::HasKelmExtension(name), expected) << name.toStdString();
}

// One row per file and loader: the text that refuses it, or 0.
TEST_F(ConfigFileTest, LoadChecksOfEveryLoader)
{
    using Loader = std::function<int(const QString &, ImageBuffer &)>;
    const Loader New = ConfigFile::LoadDefault;
    const Loader Open = ConfigFile::LoadOpened;
    const Loader Dropped = ConfigFile::LoadDropped;
    const Loader CommandLine = ConfigFile::LoadCommandLine;
    struct Case
    {
        const char *column;
        Loader load;
        QString name;
        int length;        // -1: no file
        quint8 productType;
        int refusal;
    };
    QDir(dir.path()).mkdir("folder.Kelm");
    const std::vector<Case> cases = {
        {"New", New, "Default.bin", 256, 7, 0},
        {"New", New, "Default300.bin", 300, 6, 0}, // first 256 bytes, product type unchecked
        {"New", New, "DefaultShort.bin", 255, 7, 11411},
        {"New", New, "DefaultMissing.bin", -1, 7, 11411},

        {"Open", Open, "a.Kelm", 256, 7, 0},
        {"Open", Open, "b.Kelm", 2048, 7, 0},
        {"Open", Open, "c.txt", 256, 7, 0},
        {"Open", Open, "missing.Kelm", -1, 7, 11441},
        {"Open", Open, "d.Kelm", 257, 7, 11439},
        {"Open", Open, "e.Kelm", 300, 7, 11439},
        {"Open", Open, "f.Kelm", 0, 7, 11439},
        {"Open", Open, "folder.Kelm", -1, 7, 11439},
        {"Open", Open, "g.Kelm", 256, 6, 11431},

        {"Dropped", Dropped, "h.kelm", 256, 7, 0},
        {"Dropped", Dropped, "i.KELM", 256, 7, 0},
        {"Dropped", Dropped, "j.bin", 2048, 7, 0},
        {"Dropped", Dropped, "noextension", 2048, 7, 0},
        {"Dropped", Dropped, "k.txt", 256, 7, 11437},
        {"Dropped", Dropped, "l.kelm", 300, 7, 11437},
        {"Dropped", Dropped, "m.kelm", 255, 7, 11437},
        {"Dropped", Dropped, "n.kelm", 256, 6, 11432},
        {"Dropped", Dropped, "o.bin", 2048, 6, 11432},

        {"CommandLine", CommandLine, "p.Kelm", 256, 7, 0},
        {"CommandLine", CommandLine, "q.KELM", 2048, 7, 0},
        {"CommandLine", CommandLine, "r.txt", 256, 7, 11439},
        {"CommandLine", CommandLine, "s.kelm", 255, 7, 11439},
        {"CommandLine", CommandLine, "t.kelm", 512, 7, 11439},
        {"CommandLine", CommandLine, "u.kelm", 256, 3, 11431},
    };
    for (const Case &c : cases) {
        const std::string label = std::string(c.column) + " " + c.name.toStdString();
        const QString name = c.length >= 0 ? Make(c.name, FileBytes(c.length, c.productType)) : Path(c.name);
        ImageBuffer image = Filled(0x5A);
        EXPECT_EQ(c.load(name, image), c.refusal) << label;
        if (c.refusal != 0) {
            EXPECT_EQ(image, Filled(0x5A)) << label << ": a refused file changes nothing";
            EXPECT_TRUE(TextTable::Has(c.refusal)) << label;
        } else {
            EXPECT_EQ(image[100], 100) << label;
            EXPECT_EQ(image[248], c.productType) << label;
            EXPECT_EQ(image[256], 0x5A) << label;
        }
    }
}

TEST_F(ConfigFileTest, StaleCrcLoadsWithoutComplaint)
{
    QByteArray bytes = FileBytes(256);
    bytes[224] = char(0x00);
    const QString name = Make("stale.Kelm", bytes);
    ImageBuffer image{};
    EXPECT_EQ(ConfigFile::LoadOpened(name, image), 0);
    EXPECT_FALSE(KelmData::CheckImageCrc(image));
}

} // namespace
