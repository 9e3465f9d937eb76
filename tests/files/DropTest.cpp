#include "FilesFixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

class DroppedFiles : public FilesFixture
{
protected:
    void SetUp() override
    {
        FilesFixture::SetUp();
        Start();
        prompt.Clear();
    }
};

TEST_F(DroppedFiles, TwoFilesAtOnceLoadNothing)
{
    ASSERT_TRUE(WriteImage(Path("work/A.Kelm"), Image(0x01)));
    ASSERT_TRUE(WriteImage(Path("work/B.Kelm"), Image(0x02)));
    window->HandleDroppedFiles({Path("work/A.Kelm"), Path("work/B.Kelm")});
    EXPECT_EQ(prompt.Numbers(), QList<int>{11436});
    EXPECT_EQ(Edited(), Bytes(Image(DefaultMarker)));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
    EXPECT_EQ(window->StatusText(), QString());
}

TEST_F(DroppedFiles, TakesAKelmFileOrAny2048ByteFile)
{
    struct Case
    {
        const char *name;
        int length;
    };
    const Case cases[] = {
        {"Small.kelm", 256}, {"Capitals.KELM", 256}, {"Mixed.Kelm", 256},
        {"Long.bin", 2048},  {"NoExtension", 2048},  {"Long.KELM", 2048},
    };
    quint8 marker = 0x10;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path("work/") + c.name;
        ASSERT_TRUE(WriteImage(path, Image(++marker), c.length));
        window->HandleDroppedFiles({path});
        EXPECT_TRUE(prompt.shown.isEmpty()) << "no message box on success";
        EXPECT_EQ(Edited(), Bytes(Image(marker)));
        EXPECT_EQ(window->KelmData.CurrentFileName, path);
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
        EXPECT_EQ(window->windowTitle(), Title(c.name));
        EXPECT_EQ(window->StatusText(), TextTable::Format(11435, {c.name}));
    }
}

TEST_F(DroppedFiles, RefusesOtherFilesAndKeepsTheConfiguration)
{
    struct Case
    {
        const char *name;
        int length; // -1: a folder
        int productType;
        int text;
    };
    const Case cases[] = {
        {"Small.bin", 256, 7, 11437},   {"NoExtension", 256, 7, 11437}, {"Odd.Kelm", 300, 7, 11437},
        {"Short.Kelm", 255, 7, 11437},  {"Folder.Kelm", -1, 7, 11437},  {"Other.Kelm", 256, 6, 11432},
        {"Other.bin", 2048, 6, 11432},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Path("work/") + c.name;
        if (c.length < 0) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            ASSERT_TRUE(WriteImage(path, Image(0x99, {{Addr::ProductType, c.productType}}), c.length));
        }
        window->SetStatusText(QStringLiteral("before"));
        window->HandleDroppedFiles({path});
        EXPECT_EQ(prompt.Numbers(), QList<int>{c.text});
        EXPECT_EQ(Edited(), Bytes(Image(DefaultMarker)));
        EXPECT_EQ(window->KelmData.ConfigOrigin, OriginNew);
        EXPECT_EQ(window->KelmData.CurrentFileName, QString());
        EXPECT_EQ(window->windowTitle(), Title("(Standard)"));
        EXPECT_EQ(window->StatusText(), QString());
        prompt.Clear();
    }
}

TEST_F(DroppedFiles, AnInvalidFieldIsReportedAndTheFileTaken)
{
    const QString path = Path("work/Odd.Kelm");
    const ImageBuffer image = Image(0x21, {{Addr::InputOpenedAlarmType, 50}});
    ASSERT_TRUE(WriteImage(path, image));
    window->HandleDroppedFiles({path});
    ASSERT_EQ(prompt.Numbers(), QList<int>{11418});
    EXPECT_EQ(prompt.shown[0].text, TextTable::Format(11418, {"Larm när ingång öppnas : Larmtyp", "37", "50"}));
    EXPECT_EQ(window->StatusText(), QString());
    EXPECT_EQ(Edited(), Bytes(image));
    EXPECT_EQ(window->KelmData.ConfigOrigin, OriginOpened);
    EXPECT_EQ(window->windowTitle(), Title("Odd.Kelm"));
}

TEST_F(DroppedFiles, TheWindowTakesADropOfFileUrls)
{
    const QString path = Path("work/Dörr 5.Kelm");
    ASSERT_TRUE(WriteImage(path, Image(0x22)));
    EXPECT_TRUE(window->acceptDrops());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPointF where(window->width() / 2, window->height() / 2);
    QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);

    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_EQ(window->KelmData.CurrentFileName, path);
    EXPECT_EQ(Edited(), Bytes(Image(0x22)));

    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(Path("work/Other.Kelm"))});
    ASSERT_EQ(two.urls().size(), 2);
    QDragEnterEvent enterTwo(where.toPoint(), Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enterTwo);
    QDropEvent dropTwo(where, Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &dropTwo);
    EXPECT_EQ(prompt.Numbers(), QList<int>{11436});
}

} // namespace
