#pragma once

#include "ScriptedPrompt.h"
#include "TestSupport.h"
#include "TextTable.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <initializer_list>
#include <memory>
#include <utility>

// A main window started the way the program starts it, over a temporary home:
// its own program folder with Values.i and Default.b, the data and documents
// folders below the home, and a scripted person at the screen.
class FilesFixture : public ::testing::Test
{
protected:
    static constexpr quint8 DefaultMarker = 0xD0;
    static constexpr int MarkerAddress = 1; // a byte no transfer writes

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", Path("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", Path("config").toUtf8());
        qunsetenv("XDG_DOCUMENTS_DIR");
        ASSERT_TRUE(QDir().mkpath(Path("program")));
        ASSERT_TRUE(QDir().mkpath(Path("work")));
        ASSERT_TRUE(TestSupport::WriteAll(Path("program/Values.i"), ValuesText()));
        ASSERT_TRUE(WriteImage(Path("program/Default.b"), Image(DefaultMarker)));
    }

    // The window as the program makes it: constructed, then its creation handler.
    void Start(const QStringList &arguments = {})
    {
        window = std::make_unique<TfrmMain>();
        window->SetPrompt(&prompt);
        window->FormCreate(ProgramFolder(), arguments);
    }

    QString Path(const QString &relative) const { return home.path() + QLatin1Char('/') + relative; }
    QString ProgramFolder() const { return Path("program/"); }
    QString DataDirectory() const { return Path("data/VORN/KELM Programmer (SE)/"); }
    QString StandardDirectory() const { return Path("Documents/VORN/KELM config"); }

    static QByteArray ValuesText()
    {
        return "[Setup]\r\nConfigDirectory=\r\nAppVersion=0.0.0.0\r\n"
               "[AlarmType]\r\n0=Inbrott\r\n1=Brand\r\n2=Överfall\r\n"
               "[DoorMatSensorType]\r\n0=Ingen\r\n1=Matta\r\n"
               "[DaylightSaving]\r\n0=Ingen sommartid\r\n1=Europa\r\n";
    }

    // An image every transfer step accepts (code 0 is in each list), with a
    // marker that tells images apart and any further bytes.
    static ImageBuffer Image(quint8 marker, std::initializer_list<std::pair<int, int>> bytes = {})
    {
        ImageBuffer image{};
        image[Addr::ProductType] = KelmProductType;
        image[MarkerAddress] = marker;
        for (const auto &[address, value] : bytes)
            image[address] = quint8(value);
        return image;
    }

    // length: up to BufferSize.
    static bool WriteImage(const QString &path, const ImageBuffer &image, int length = ImageSize)
    {
        return TestSupport::WriteAll(path, Bytes(image, length));
    }

    static QByteArray Bytes(const ImageBuffer &image, int length = ImageSize)
    {
        return QByteArray(reinterpret_cast<const char *>(image.data()), length);
    }

    QByteArray Edited() const { return Bytes(window->KelmData.EditedImage); }

    static QString Title(const QString &first) { return first + QStringLiteral(" - KELM konfigurering"); }

    QTemporaryDir home;
    ScriptedPrompt prompt;
    std::unique_ptr<TfrmMain> window;
};
