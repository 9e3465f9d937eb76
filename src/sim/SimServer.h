#pragma once

#include "PtyPair.h"
#include "SimOptions.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// The simulated QEV with a KELM unit behind it, serving the unit's command
// protocol on a pseudo-terminal. Serve() runs on the calling thread (the
// kelm-sim process); Start() runs it on a thread of its own (tests, demo mode).
class SimServer {
public:
    explicit SimServer(SimOptions options = SimOptions());
    ~SimServer();
    SimServer(const SimServer &) = delete;
    SimServer &operator=(const SimServer &) = delete;

    bool Open(QString *error = nullptr);
    QString DevicePath() const { return m_pty.SlavePath(); }

    void Start();
    void Serve();
    // Ends Serve(); safe to call from a signal handler.
    void Stop();
    bool HungUp() const { return m_hungUp; }

    // Snapshots, safe while the server runs.
    QByteArray Memory() const;
    QList<QByteArray> Commands() const; // command texts received, valid frames only

private:
    using Clock = std::chrono::steady_clock;

    void TakeBytes(const char *data, int size, Clock::time_point arrival);
    void Handle(const QByteArray &frame, Clock::time_point arrival);
    QByteArray Answer(const QByteArray &text);
    QByteArray AnswerRead(int address, int count);
    QByteArray AnswerWrite(int address, int count, const QByteArray &data);
    void Reply(const QByteArray &bytes, Clock::time_point commandEnd);
    bool Pause(std::chrono::nanoseconds span);
    bool HasFault(SimFault::Kind kind, int address = -1) const;
    int FaultValue(SimFault::Kind kind) const;
    void SaveMemory();

    SimOptions m_options;
    PtyPair m_pty;
    int m_stopPipe[2] = { -1, -1 };
    std::thread m_thread;
    std::atomic<bool> m_hungUp { false };

    QByteArray m_pending;
    Clock::time_point m_frameStart;
    int m_commandCount = 0;
    QHash<int, int> m_writeTries; // per block start address

    mutable std::mutex m_mutex; // guards m_memory and m_commands
    QByteArray m_memory;
    QList<QByteArray> m_commands;
};
