#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class SimServer;

// --demo: a simulated QEV with a KELM unit behind it, served on a thread of
// this process over a pseudo-terminal, so the tool can be tried without
// hardware. Every link of the process is pointed at it.
class DemoUnit
{
public:
    DemoUnit();
    ~DemoUnit();
    DemoUnit(const DemoUnit &) = delete;
    DemoUnit &operator=(const DemoUnit &) = delete;

    // Starts the unit with InitialMemory; false with a reason when the
    // pseudo-terminal cannot be opened.
    bool Start(const QString &programFolder, QString *error = nullptr);
    QString DevicePath() const;

    // The shipped default configuration (Default.b in programFolder) as a
    // unit from the factory holds it: program version 2.8, product type 7, a
    // production date, a serial number, five radio codes and a valid CRC.
    static QByteArray InitialMemory(const QString &programFolder);

private:
    std::unique_ptr<SimServer> m_server;
};
