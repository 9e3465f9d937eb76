#pragma once

#include "KelmData.h"
#include "KelmLink.h"
#include "RadioCodes.h"
#include "ScriptedPrompt.h"
#include "SimServer.h"
#include "TestSupport.h"
#include "TextTable.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

// A scripted person who can also do something when a message box appears.
class HookedPrompt : public ScriptedPrompt
{
public:
    std::function<void(int textNumber)> onMessage;

    Answer Message(Kind kind, int textNumber, const QStringList &args, Buttons buttons) override
    {
        if (onMessage)
            onMessage(textNumber);
        return ScriptedPrompt::Message(kind, textNumber, args, buttons);
    }
};

// The main window started as the program starts it, over a temporary home with
// the shipped Values.i and Default.b, its device link pointed at a simulated
// unit on a pseudo-terminal, and a scripted person at the screen.
class DeviceWindowFixture : public ::testing::Test
{
protected:
    // The PC's clock during a test.
    static QDateTime Now() { return QDateTime(QDate(2026, 3, 10), QTime(9, 15, 0)); }

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", Path("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", Path("config").toUtf8());
        qunsetenv("XDG_DOCUMENTS_DIR");
        ASSERT_TRUE(QDir().mkpath(Path("program")));
        for (const char *name : {"Values.i", "Default.b"})
            ASSERT_TRUE(QFile::copy(TestSupport::BinPath(QLatin1String(name)), Path("program/") + QLatin1String(name)));

        window = std::make_unique<TfrmMain>();
        window->SetPrompt(&prompt);
        window->SetUpDirectories(Path("program/"), {});
        window->FillLists();
        window->SetTexts();
        window->CurrentDateTime = [] { return Now(); };
        window->mnuFileNewClick();
        dialog = new TfrmWriteRadioCodes(window.get());
        dialog->SetPrompt(&prompt);
        window->SetWriteRadioCodesForm(dialog);
        window->show();
        prompt.Clear();
    }

    void TearDown() override
    {
        window.reset();
        sim.reset();
    }

    // A realistic unit: the shipped default with radio codes, version 2.8.
    static QByteArray UnitMemory()
    {
        QByteArray memory = TestSupport::ReadAll(TestSupport::BinPath(QStringLiteral("Default.b")));
        memory.resize(ImageSize);
        memory[Addr::ProgramVersionMajor] = 2;
        memory[Addr::ProgramVersionMinor] = 8;
        const char codes[] = {0x1A, 0x01, 0x1A, 0x02, 0x1A, 0x03, 0x1A, 0x04, 0x1A, 0x05};
        memory.replace(Addr::DoorClosedRadioCode, 10, QByteArray(codes, 10));
        memory[2] = 0x22;
        return Sealed(memory);
    }

    static QByteArray Sealed(QByteArray memory)
    {
        memory[Addr::Crc] = char(KelmData::ImageCrc(Image(memory)));
        return memory;
    }

    static ImageBuffer Image(const QByteArray &memory)
    {
        ImageBuffer image{};
        std::copy(memory.begin(), memory.begin() + std::min<qsizetype>(memory.size(), ImageSize), image.begin());
        return image;
    }

    void StartUnit(const QByteArray &memory, const QList<SimFault> &faults = {}, bool unitAnswers = true)
    {
        SimOptions options;
        options.memory = memory;
        options.faults = faults;
        options.unit = unitAnswers;
        sim = std::make_unique<SimServer>(options);
        QString error;
        ASSERT_TRUE(sim->Open(&error)) << qPrintable(error);
        sim->Start();
        window->DeviceLink().SetPortName(sim->DevicePath());
    }

    void NoQev() { window->DeviceLink().SetPortName(Path("no-such-port")); }

    QList<QByteArray> Commands(char letter) const
    {
        QList<QByteArray> found;
        for (const QByteArray &command : sim->Commands()) {
            if (command.startsWith(letter))
                found.append(command);
        }
        return found;
    }

    template <typename T> T *Find(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit *Edit(const char *name) const { return Find<QLineEdit>(name); }

    // Does `act` on the radio-codes dialog once it is showing.
    void WhenDialogShows(std::function<void(TfrmWriteRadioCodes &)> act)
    {
        auto *timer = new QTimer(window.get());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, act] {
            if (dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(*dialog);
            }
        });
        timer->start();
    }

    QLineEdit *NewCode(int row) const
    {
        return dialog->findChild<QLineEdit *>(QStringLiteral("edtRadio%1New").arg(row));
    }

    QString Path(const QString &relative) const { return home.path() + QLatin1Char('/') + relative; }

    QTemporaryDir home;
    HookedPrompt prompt;
    std::unique_ptr<TfrmMain> window;
    TfrmWriteRadioCodes *dialog = nullptr; // owned by the window
    std::unique_ptr<SimServer> sim;
};
