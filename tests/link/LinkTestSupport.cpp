#include "LinkTestSupport.h"

#include <QIODevice>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

void ScriptedClock::WaitForInput(QIODevice *port, std::chrono::milliseconds span)
{
    const std::chrono::milliseconds end = m_now + span;
    if (m_next >= m_script.size() || std::chrono::milliseconds(m_script[m_next].atMs) > end) {
        m_now = end;
        return;
    }
    const Arrival &arrival = m_script[m_next++];
    m_now = std::max(m_now, std::chrono::milliseconds(arrival.atMs));
    ASSERT_EQ(::write(m_master, arrival.bytes.constData(), size_t(arrival.bytes.size())), arrival.bytes.size());
    m_delivered += arrival.bytes.size();
    while (port && port->bytesAvailable() < m_delivered && port->waitForReadyRead(2000)) {
    }
}

ScriptedDevice::ScriptedDevice(PtyPair &pty, QList<QByteArray> replies)
    : m_pty(pty), m_replies(std::move(replies))
{
    EXPECT_EQ(pipe2(m_stop, O_CLOEXEC), 0);
    m_thread = std::thread([this] { Run(); });
}

ScriptedDevice::~ScriptedDevice()
{
    const char byte = 1;
    EXPECT_EQ(::write(m_stop[1], &byte, 1), 1);
    m_thread.join();
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

void ScriptedDevice::Run()
{
    QByteArray pending;
    for (;;) {
        pollfd fds[2] = { { m_pty.MasterFd(), POLLIN, 0 }, { m_stop[0], POLLIN, 0 } };
        if (poll(fds, 2, -1) <= 0 || fds[1].revents)
            return;
        char buffer[256];
        const ssize_t n = ::read(m_pty.MasterFd(), buffer, sizeof buffer);
        if (n <= 0)
            continue;
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf(char(KelmLink::ETX))) >= 0) {
            pending.remove(0, end + 1);
            const QByteArray reply = m_replies.isEmpty() ? QByteArray() : m_replies.takeFirst();
            if (!reply.isEmpty()) {
                EXPECT_EQ(::write(m_pty.MasterFd(), reply.constData(), size_t(reply.size())), reply.size());
            }
        }
    }
}

std::unique_ptr<SimServer> StartSimulator(const QStringList &faults, SimOptions options)
{
    for (const QString &spec : faults) {
        SimFault fault { SimFault::RefuseWrites };
        QString error;
        EXPECT_TRUE(ParseFault(spec, fault, error)) << error.toStdString();
        options.faults.append(fault);
    }
    auto server = std::make_unique<SimServer>(std::move(options));
    QString error;
    EXPECT_TRUE(server->Open(&error)) << error.toStdString();
    server->Start();
    return server;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes += char(v);
    return bytes;
}
