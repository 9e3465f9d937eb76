#pragma once

#include "DeviceCommands.h"
#include "DeviceReporter.h"
#include "KelmLink.h"
#include "SimServer.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Stands in for the window: records everything a command reports, in order,
// and gives the scripted answers.
class RecordingReporter : public DeviceReporter
{
public:
    struct Shown
    {
        Kind kind;
        int textNumber; // 0 for a text not from the table
        QStringList args;
        QString text;
    };

    QList<Shown> shown;
    QStringList statusTexts;
    QStringList events; // "busy", "idle", "repaint", "status", "message", "clock", "title"
    bool busy = false;
    int progressTotalSeen = 0;
    int progressLastDone = 0;
    bool progressShowing = false;
    QList<bool> linkOpenAtMessage; // whether the link was open at each message

    // Read From Device: the field that cannot be shown (-1 for none).
    int failingAddress = -1;
    QString failingField;
    ImageBuffer shownImage{};
    // Change Device Radio Codes: the dialog's answer.
    bool dialogAccepts = true;
    RadioCodeTexts dialogNewCodes;
    RadioCodeTexts dialogOldCodes;
    int dialogShown = 0;
    bool linkOpenDuringDialog = false;

    const KelmLink *link = nullptr;

    void Message(Kind kind, int textNumber, const QStringList &args) override;
    void MessageText(Kind kind, const QString &text) override;
    void StatusText(const QString &text) override;
    void BusyCursor(bool on) override;
    void RepaintOnce() override;
    void Progress(int done, int total) override;
    int ShowReadImage(const ImageBuffer &image, QString &fieldName) override;
    void ReadImageTaken() override;
    void UnitClockStopped() override;
    bool AskRadioCodes(const RadioCodeTexts &oldCodes, RadioCodeTexts &newCodes) override;

    QList<int> Numbers() const;
    QString LastStatus() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
};

// A realistic unit: the shipped default configuration with a valid CRC,
// program version 2.8 and product type 7.
QByteArray UnitMemory();
void SetVersion(QByteArray &memory, int major, int minor);
void SealCrc(QByteArray &memory);
ImageBuffer ToImage(const QByteArray &memory);
QByteArray FromImage(const ImageBuffer &image);

// A simulated unit on a pseudo-terminal, a link pointed at it and the
// commands with a recording reporter and a temporary data directory.
class DeviceFixture : public ::testing::Test
{
protected:
    QTemporaryDir dataDir;
    std::unique_ptr<SimServer> sim;
    KelmLink link;
    RecordingReporter reporter;
    std::unique_ptr<DeviceCommands> commands;
    KelmData data;

    void StartUnit(SimOptions options);
    void StartUnit(const QByteArray &memory, const QList<SimFault> &faults = {});
    // A link to a port that does not exist: no QEV.
    void NoQev();
    QByteArray UnitNow() const { return sim->Memory(); }
    // The command texts the unit received that start with the letter.
    QList<QByteArray> Commands(char letter) const;
    QStringList Backups() const;
};
