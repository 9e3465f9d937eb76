#pragma once

#include "Fields.h"
#include "ScriptedPrompt.h"
#include "TestSupport.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <initializer_list>
#include <memory>
#include <utility>

// A main window with the shipped value lists, a scripted person at the screen
// and its data folders in a temporary home.
class WindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        window = std::make_unique<TfrmMain>();
        window->SetPrompt(&prompt);
        window->KelmIni.SetPath(TestSupport::BinPath(QStringLiteral("Values.i")));
        window->FillLists();
        prompt.Clear();
    }

    QLineEdit *Edit(const char *name) const { return Find<QLineEdit>(name); }
    QCheckBox *Check(const char *name) const { return Find<QCheckBox>(name); }
    QComboBox *List(const char *name) const { return Find<QComboBox>(name); }

    // An image that every step shows and packs without complaint: the lists'
    // code 0 exists in each shipped list, and product type 7.
    static ImageBuffer ValidImage(std::initializer_list<std::pair<int, int>> bytes = {})
    {
        ImageBuffer image{};
        image[248] = 7;
        for (const auto &[address, value] : bytes)
            image[address] = quint8(value);
        return image;
    }

    // Shows an image, expecting it to pass, and forgets the messages.
    void Show(const ImageBuffer &image, int origin = OriginNew)
    {
        QString fieldName;
        ASSERT_EQ(window->ImageToControls(image, origin, fieldName), -1) << fieldName.toStdString();
        prompt.Clear();
    }

    QTemporaryDir home;
    ScriptedPrompt prompt;
    std::unique_ptr<TfrmMain> window;

private:
    template <class W>
    W *Find(const char *name) const
    {
        W *widget = window->findChild<W *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
};
