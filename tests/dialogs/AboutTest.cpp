#include "About.h"
#include "DialogTestSupport.h"
#include "SimServer.h"
#include "TextTable.h"
#include "Version.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString NoPort = QStringLiteral("/dev/kelm-test-no-such-port");

class AboutBox : public ::testing::Test
{
protected:
    AboutBox()
    {
        about.SetProgramFolder(folder.path());
        about.Link().SetPortName(NoPort);
    }

    void WriteAboutIni(const QByteArray &contents)
    {
        QFile file(folder.filePath("About.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    // Opens the box as the Help menu does and closes it again.
    void Open()
    {
        about.show();
        about.hide();
    }

    // The lines after the program's name and version line.
    QStringList MakerLines() const { return about.InfoLines().mid(2); }

    QTemporaryDir folder;
    TfrmAbout about;
};

TEST_F(AboutBox, ShowsNameVersionAndDefaultsWithoutAboutIni)
{
    Open();
    const QStringList expected = {
        "KELM Programmer",
        "Version: 1.3.0.173 " + QString::fromUtf8(KelmVersion::Comments),
        "VORN Electronics AB",
        "",
        "",
    };
    EXPECT_EQ(about.InfoLines(), expected);
    EXPECT_EQ(about.findChild<QPlainTextEdit *>("mmoInfo")->toPlainText(), expected.join('\n'));
    EXPECT_EQ(about.QevVersionText(), "");
    EXPECT_FALSE(about.Link().IsOpen());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Om KELM konfigurering"));
    EXPECT_EQ(about.findChild<QPushButton *>("btnOK")->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(about.findChild<QPushButton *>("btnOK")->isDefault());
}

TEST_F(AboutBox, MakerLinesFollowAboutIni)
{
    struct Case
    {
        const char *name;
        QByteArray ini;
        QStringList lines;
    };
    const Case cases[] = {
        {"two lines with web and mail",
         "[AboutInfo]\nLines=2\nLine1=VORN Electronics AB\nLine2=Box 1\nWWW=www.example.se\nMAIL=info@example.se\n",
         {"", "VORN Electronics AB", "Box 1", "www.example.se", "info@example.se"}},
        {"more lines than keys", "[AboutInfo]\nLines=3\nLine1=Only\n", {"", "Only", "", "", "", ""}},
        {"zero lines", "[AboutInfo]\nLines=0\nLine1=Unused\nWWW=www.example.se\n",
         {"VORN Electronics AB", "www.example.se", ""}},
        {"negative count", "[AboutInfo]\nLines=-1\nLine1=Unused\nMAIL=a@b.se\n", {"", "", "a@b.se"}},
        {"no count", "[AboutInfo]\nLine1=Unused\nMAIL=a@b.se\n", {"VORN Electronics AB", "", "a@b.se"}},
        {"count not a number", "[AboutInfo]\nLines=two\nLine1=Unused\n", {"VORN Electronics AB", "", ""}},
        {"names in other letter case", "[ABOUTINFO]\nlines=1\nLINE1=Upper\nwww=w\nMail=m\n", {"", "Upper", "w", "m"}},
        {"other section only", "[Other]\nLines=1\nLine1=Elsewhere\n", {"VORN Electronics AB", "", ""}},
        {"empty file", "", {"VORN Electronics AB", "", ""}},
    };
    for (const Case &c : cases) {
        WriteAboutIni(c.ini);
        Open();
        EXPECT_EQ(MakerLines(), c.lines) << c.name;
        EXPECT_EQ(about.InfoLines().first(), "KELM Programmer") << c.name;
    }
}

TEST_F(AboutBox, HugeLineCountStopsAtTheLimit)
{
    WriteAboutIni("[AboutInfo]\nLines=2000000000\nLine1=First\nWWW=w\nMAIL=m\n");
    Open();
    const QStringList lines = MakerLines();
    ASSERT_EQ(lines.size(), 1 + TfrmAbout::MaxMakerLines + 2);
    EXPECT_EQ(lines[1], "First");
    EXPECT_EQ(lines.mid(lines.size() - 2), QStringList({"w", "m"}));
}

TEST_F(AboutBox, ShippedSampleIsReadFromTheProgramFolder)
{
    about.SetProgramFolder(QStringLiteral(KELM_SOURCE_DIR "/src/resources"));
    Open();
    ASSERT_GE(MakerLines().size(), 3);
    EXPECT_EQ(MakerLines().first(), "");
    EXPECT_EQ(MakerLines()[1], "VORN Electronics AB");
}

TEST_F(AboutBox, QevVersionIsAskedEachTimeTheBoxOpens)
{
    SimOptions options;
    options.qevVersion = "QEV 2.04 AB";
    auto sim = std::make_unique<SimServer>(options);
    ASSERT_TRUE(sim->Open());
    sim->Start();
    about.Link().SetPortName(sim->DevicePath());

    Open();
    EXPECT_EQ(about.QevVersionText(), "QEV info: QEV 2.04 AB");
    EXPECT_FALSE(about.Link().IsOpen());
    EXPECT_EQ(about.InfoLines().size(), 5) << "the QEV line is not part of the text";
    Open();
    EXPECT_EQ(about.QevVersionText(), "QEV info: QEV 2.04 AB");
    EXPECT_EQ(sim->Commands().count("v"), 2);

    // Unplugged between two openings: the line is emptied, no message.
    sim.reset();
    Open();
    EXPECT_EQ(about.QevVersionText(), "");
    EXPECT_FALSE(about.Link().IsOpen());
}

TEST_F(AboutBox, QevWithoutUnitStillGivesItsVersion)
{
    SimOptions options;
    options.unit = false;
    SimServer sim(options);
    ASSERT_TRUE(sim.Open());
    sim.Start();
    about.Link().SetPortName(sim.DevicePath());
    Open();
    EXPECT_EQ(about.QevVersionText(), "QEV info: QEV-SIM 1.0");
}

TEST_F(AboutBox, PictureIsBuiltIn)
{
    const auto *picture = about.findChild<QLabel *>("ProgramIcon");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->size(), QSize(97, 153));
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_EQ(about.size(), QSize(418, 250));
}

} // namespace
