#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QCommandLineParser;

// One misbehaviour of the simulated QEV and unit (option --fault).
struct SimFault {
    enum Kind {
        NakWrites,      // "nak-writes:N": NAK the first N tries of each write block
        RefuseWrites,   // "refuse-writes": NAK every write
        SilentBlock,    // "silent:ADDR": no answer to reads or writes of the block at ADDR
        BadChecksum,    // "bad-checksum:ADDR": wrong checksum on reads at ADDR
        ShortRead,      // "short-read[:ADDR]": read frames one payload byte short
        Drip,           // "drip[:MS]": reply bytes MS (200) ms apart
        SilentPresence, // "silent-presence": no answer to "O"
        HangUp,         // "hangup:N": hang up after N commands
        ForgetWrites,   // "forget-writes[:ADDR]": ACK writes (of the block at ADDR) but keep the old bytes
    };
    Kind kind;
    int value = -1; // N, ADDR or MS; -1 where a kind takes none (any address)
};

struct SimOptions {
    static constexpr int MemorySize = 256;
    static constexpr int VersionLength = 11;

    QByteArray memory = DefaultMemory();
    QByteArray qevVersion = "QEV-SIM 1.0";
    bool unit = true;   // false: the QEV answers "v", the unit nothing
    QString memoryOut;  // rewritten after every write when set
    bool pace = false;  // take as long as a real 57600-baud 8N2 line
    QList<SimFault> faults;

    // Zeros, with product type 7 and program version 2.8 (build 1) in the factory area.
    static QByteArray DefaultMemory();
};

// "kind[:value]" as described in FaultSyntaxHelp(); false with a reason when the text is not one.
bool ParseFault(const QString &text, SimFault &fault, QString &error);
QString FaultSyntaxHelp();

// The simulator's options on a parser, so kelm-sim and any other front end
// share them; ReadSimOptions turns the parsed values into options.
void AddSimOptions(QCommandLineParser &parser);
bool ReadSimOptions(const QCommandLineParser &parser, SimOptions &options, QString &error);
