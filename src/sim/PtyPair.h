#pragma once

#include <QString>

// A pseudo-terminal in raw mode. The master side stays with its owner; the
// slave side is the "serial port" a link opens by its path. The pair keeps a
// slave descriptor of its own so the master does not see a hang-up each time
// the link closes the port between commands.
class PtyPair {
public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool Open(QString *error = nullptr);
    // Closes both sides: whoever has the slave open sees the line hang up.
    void Close();
    bool IsOpen() const { return m_master >= 0; }
    int MasterFd() const { return m_master; }
    int SlaveFd() const { return m_slave; }
    QString SlavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
