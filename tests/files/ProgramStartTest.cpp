#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The editor started as a process in a temporary home, the way a shell starts it.
class ProgramStart : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    // Runs kelm-programmer; false when it did not end by itself.
    bool Run(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.remove("XDG_DOCUMENTS_DIR");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(TestSupport::BinPath("kelm-programmer"), arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        output = QString::fromUtf8(process.readAllStandardOutput());
        return true;
    }

    QTemporaryDir home;
    QProcess process;
    QString output;
};

TEST_F(ProgramStart, VersionAndHelpNeedNoWindow)
{
    ASSERT_TRUE(Run({"--version"}));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(output, QStringLiteral("1.3.0.173\n"));

    ASSERT_TRUE(Run({"--help"}));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(output.contains("--port")) << output.toStdString();
    EXPECT_TRUE(output.contains("--demo"));

    for (const QStringList &wrong : {QStringList{"--no-such-option"}, QStringList{"--lang", "xx"}}) {
        ASSERT_TRUE(Run(wrong));
        EXPECT_NE(process.exitCode(), 0) << wrong.join(' ').toStdString();
    }
}

TEST_F(ProgramStart, StartsWithAFolderAndAFileNamedOnItsCommandLine)
{
    // A configuration from the shipped default, so every field shows without a message box.
    const QByteArray image = TestSupport::ReadAll(TestSupport::BinPath("Default.b"));
    ASSERT_EQ(image.size(), 256);
    const QString file = home.filePath("Dörr3.Kelm");
    ASSERT_TRUE(TestSupport::WriteAll(file, image));
    const QString picture = home.filePath("window.png");

    ASSERT_TRUE(Run({"--screenshot", picture, home.path() + "/", file}));

    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_FALSE(QImage(picture).isNull());
    const QString data = home.filePath("data/VORN/KELM Programmer (SE)/");
    EXPECT_TRUE(QFileInfo::exists(data + "Values.ini"));
    EXPECT_EQ(TestSupport::ReadAll(data + "Default.bin"), image);
    EXPECT_TRUE(QFileInfo(home.filePath("Documents/VORN/KELM config")).isDir());
}

} // namespace
