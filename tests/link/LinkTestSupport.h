#pragma once

#include "KelmLink.h"
#include "LinkClock.h"
#include "PtyPair.h"
#include "SimServer.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

// Bytes the far end sends at a given time after the clock's start.
struct Arrival {
    int atMs;
    QByteArray bytes;
};

// A clock that never sleeps: a wait jumps to the next scripted arrival (or to
// the end of the span), writes that arrival into the pty's master side and
// waits, in real time, only until the port has taken the bytes in.
class ScriptedClock : public LinkClock {
public:
    ScriptedClock(int masterFd, std::vector<Arrival> script)
        : m_master(masterFd), m_script(std::move(script))
    {
    }
    TimePoint Now() override { return m_start + m_now; }
    void WaitForInput(QIODevice *port, std::chrono::milliseconds span) override;
    int ElapsedMs() const { return int(m_now.count()); }

private:
    int m_master;
    std::vector<Arrival> m_script;
    size_t m_next = 0;
    qint64 m_delivered = 0;
    TimePoint m_start {};
    std::chrono::milliseconds m_now { 0 };
};

// A far end that answers each frame it receives with the next scripted reply
// (an empty reply is silence), on its own thread.
class ScriptedDevice {
public:
    ScriptedDevice(PtyPair &pty, QList<QByteArray> replies);
    ~ScriptedDevice();

private:
    void Run();
    PtyPair &m_pty;
    QList<QByteArray> m_replies;
    int m_stop[2] = { -1, -1 };
    std::thread m_thread;
};

// An in-process simulator with the chosen fault specs.
std::unique_ptr<SimServer> StartSimulator(const QStringList &faults = {}, SimOptions options = SimOptions());

QByteArray Bytes(std::initializer_list<int> values);
