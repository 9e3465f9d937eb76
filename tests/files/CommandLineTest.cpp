#include "CommandLine.h"
#include "KelmFileName.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "TestSupport.h"

namespace {

using CommandLine::Outcome;

TEST(CommandLineParse, OptionsAndPositionalArguments)
{
    const auto run = CommandLine::Parse({"kelm-programmer", "--port", "/dev/ttyUSB3", "--demo", "--lang", "en",
                                         "--screenshot", "/tmp/w.png", "/tmp/folder/", "Dörr3.Kelm"});
    EXPECT_EQ(run.outcome, Outcome::Run);
    EXPECT_EQ(run.options.Port, QStringLiteral("/dev/ttyUSB3"));
    EXPECT_TRUE(run.options.Demo);
    EXPECT_EQ(run.options.Language, QStringLiteral("en"));
    EXPECT_EQ(run.options.Screenshot, QStringLiteral("/tmp/w.png"));
    EXPECT_EQ(run.options.Positional, QStringList({"/tmp/folder/", "Dörr3.Kelm"}));

    const auto plain = CommandLine::Parse({"kelm-programmer"});
    EXPECT_EQ(plain.outcome, Outcome::Run);
    EXPECT_FALSE(plain.options.Demo);
    EXPECT_TRUE(plain.options.Port.isEmpty());
    EXPECT_TRUE(plain.options.Positional.isEmpty());
}

TEST(CommandLineParse, HelpVersionAndErrors)
{
    const auto version = CommandLine::Parse({"kelm-programmer", "--version"});
    EXPECT_EQ(version.outcome, Outcome::ShowVersion);
    EXPECT_EQ(version.text, QStringLiteral("1.3.0.173\n"));

    const auto help = CommandLine::Parse({"kelm-programmer", "--help"});
    EXPECT_EQ(help.outcome, Outcome::ShowHelp);
    for (const char *option : {"--port", "--demo", "--lang", "--version"})
        EXPECT_TRUE(help.text.contains(QLatin1String(option))) << option;

    for (const QStringList &bad : {QStringList{"kelm-programmer", "--nonsense"},
                                   QStringList{"kelm-programmer", "--port"}}) {
        const auto error = CommandLine::Parse(bad);
        EXPECT_EQ(error.outcome, Outcome::Error) << bad.join(' ').toStdString();
        EXPECT_FALSE(error.text.isEmpty());
    }
}

TEST(CommandLineFile, TheFirstExistingFileIsTaken)
{
    QTemporaryDir temp;
    const QString folder = temp.filePath("folder.Kelm");
    const QString first = temp.filePath("first.Kelm");
    const QString second = temp.filePath("second.bin");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(TestSupport::WriteAll(first, "x"));
    ASSERT_TRUE(TestSupport::WriteAll(second, "x"));
    EXPECT_EQ(CommandLine::FirstExistingFile({folder, temp.filePath("gone.Kelm"), second, first}), second);
    EXPECT_EQ(CommandLine::FirstExistingFile({folder, temp.filePath("gone.Kelm")}), QString());
    EXPECT_EQ(CommandLine::FirstExistingFile({}), QString());
}

TEST(KelmFileNames, ExtensionsWorkOnTheFileNamePartOnly)
{
    struct Case
    {
        const char *path;
        const char *namePart;
        const char *opened; // WithDefaultExtension
        const char *saved;  // WithKelmExtension
    };
    const Case cases[] = {
        {"/a/Dörr3.Kelm", "Dörr3.Kelm", "/a/Dörr3.Kelm", "/a/Dörr3.Kelm"},
        {"/a/b.txt", "b.txt", "/a/b.txt", "/a/b.Kelm"},
        {"/a/plain", "plain", "/a/plain.Kelm", "/a/plain.Kelm"},
        {"/a.dir/plain", "plain", "/a.dir/plain.Kelm", "/a.dir/plain.Kelm"},
        {"/a/two.dots.kelm", "two.dots.kelm", "/a/two.dots.kelm", "/a/two.dots.Kelm"},
        {"/a/trailing.", "trailing.", "/a/trailing.", "/a/trailing.Kelm"},
        {"relative", "relative", "relative.Kelm", "relative.Kelm"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(KelmFileName::NamePart(path), QString::fromUtf8(c.namePart));
        EXPECT_EQ(KelmFileName::WithDefaultExtension(path), QString::fromUtf8(c.opened));
        EXPECT_EQ(KelmFileName::WithKelmExtension(path), QString::fromUtf8(c.saved));
    }
}

} // namespace
