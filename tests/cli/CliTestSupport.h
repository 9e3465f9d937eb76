#pragma once

#include "ConfigImage.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// What one run of kelm gave.
struct KelmRun
{
    int status = -1;
    QString out;
    QString err;
};

// A kelm-sim process: the simulated QEV with a unit, on a pseudo-terminal.
class SimProcess
{
public:
    ~SimProcess();
    // False when the simulator did not come up; the device path otherwise.
    // program: "kelm-sim", or "kelm" with "sim" first among the arguments.
    bool Start(const QStringList &arguments, const QString &program = QStringLiteral("kelm-sim"));
    QString Port() const { return m_port; }

private:
    QProcess m_process;
    QString m_port;
};

// Runs kelm as a process, with a home of its own in a temporary folder (the
// data folder, Values.ini and Backups/ land there) and a Swedish locale.
class CliTest : public ::testing::Test
{
protected:
    QTemporaryDir home;
    SimProcess sim;

    void SetUp() override;
    KelmRun Kelm(const QStringList &arguments, const QString &language = QString());
    // Runs a program in that environment.
    KelmRun Run(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                const QString &language = QString());
    // Starts kelm-sim with the memory written to a file; MemoryOut() then holds
    // the unit's memory, rewritten after every write.
    void StartUnit(const QByteArray &memory, const QStringList &extra = {});
    QString MemoryOutPath() const { return home.filePath(QStringLiteral("unit-memory.bin")); }
    QByteArray MemoryOut() const;
    QByteArray startMemory; // what StartUnit gave the unit
    QString DataFolder() const;
    QStringList Backups() const;
    QString WriteFile(const QString &name, const QByteArray &bytes) const;
    QStringList Port() const { return {QStringLiteral("--port"), sim.Port()}; }
};

// The shipped default configuration as a KELM unit holds it: product type 7,
// program version 2.8, its own radio codes, serial number and a sealed CRC.
QByteArray UnitMemory();
QByteArray ShippedDefault();
void SetByte(QByteArray &memory, int address, int value);
void SetWord(QByteArray &memory, int address, int value);
void SealCrc(QByteArray &memory);
ImageBuffer ToImage(const QByteArray &memory);
