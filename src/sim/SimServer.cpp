#include "SimServer.h"

#include "KelmLink.h"

#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

using namespace std::chrono;

// One character on a 57600-baud line with 8 data bits, 2 stop bits and a start bit.
constexpr nanoseconds CharacterTime(11 * 1000000000LL / 57600);

bool ParseHex(const QByteArray &text, int from, int digits, int &value)
{
    value = 0;
    if (from + digits > text.size())
        return false;
    for (int i = from; i < from + digits; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
        value = value * 16 + KelmLink::HexDigitValue(c);
    }
    return true;
}

} // namespace

SimServer::SimServer(SimOptions options)
    : m_options(std::move(options))
    , m_memory(m_options.memory.left(SimOptions::MemorySize).leftJustified(SimOptions::MemorySize, '\0'))
{
}

SimServer::~SimServer()
{
    Stop();
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : m_stopPipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool SimServer::Open(QString *error)
{
    if (m_stopPipe[0] < 0 && pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error)
            *error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (!m_pty.Open(error))
        return false;
    SaveMemory();
    return true;
}

void SimServer::Start()
{
    m_thread = std::thread([this] { Serve(); });
}

void SimServer::Stop()
{
    if (m_stopPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &byte, 1);
    }
}

QByteArray SimServer::Memory() const
{
    std::lock_guard lock(m_mutex);
    return m_memory;
}

QList<QByteArray> SimServer::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

void SimServer::Serve()
{
    // Pacing sleeps a few milliseconds per frame; the default timer slack of
    // 50 us per sleep would add up to a visible share of that.
    if (m_options.pace)
        prctl(PR_SET_TIMERSLACK, 1UL);
    while (m_pty.IsOpen()) {
        pollfd fds[2] = { { m_pty.MasterFd(), POLLIN, 0 }, { m_stopPipe[0], POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            char buffer[256];
            const ssize_t n = ::read(m_pty.MasterFd(), buffer, sizeof buffer);
            if (n > 0)
                TakeBytes(buffer, int(n), Clock::now());
        }
    }
}

void SimServer::TakeBytes(const char *data, int size, Clock::time_point arrival)
{
    if (m_pending.isEmpty())
        m_frameStart = arrival;
    m_pending.append(data, size);
    for (;;) {
        const qsizetype start = m_pending.indexOf(char(KelmLink::STX));
        if (start < 0) {
            m_pending.clear();
            return;
        }
        m_pending.remove(0, start);
        const qsizetype end = m_pending.indexOf(char(KelmLink::ETX));
        if (end < 0)
            return;
        const QByteArray frame = m_pending.left(end + 1);
        m_pending.remove(0, end + 1);
        Handle(frame, m_frameStart);
        if (!m_pty.IsOpen())
            return;
        m_frameStart = Clock::now();
    }
}

void SimServer::Handle(const QByteArray &frame, Clock::time_point arrival)
{
    ++m_commandCount;
    if (HasFault(SimFault::HangUp) && m_commandCount > FaultValue(SimFault::HangUp)) {
        m_hungUp = true;
        m_pty.Close();
        return;
    }
    QByteArray answer;
    if (!KelmLink::CheckReply(frame)) {
        answer = QByteArray(1, char(KelmLink::NAK));
    } else {
        const QByteArray text = frame.mid(1, frame.size() - 4);
        {
            std::lock_guard lock(m_mutex);
            m_commands.append(text);
        }
        answer = Answer(text);
    }
    if (!answer.isEmpty())
        Reply(answer, arrival + frame.size() * CharacterTime);
}

QByteArray SimServer::Answer(const QByteArray &text)
{
    const QByteArray nak(1, char(KelmLink::NAK));
    if (text == "v")
        return KelmLink::BuildFrame(m_options.qevVersion);
    if (!m_options.unit)
        return QByteArray();
    if (text == "O")
        return HasFault(SimFault::SilentPresence) ? QByteArray() : QByteArray(1, char(KelmLink::ACK));
    int address = 0;
    int count = 0;
    if (text.size() < 7 || !ParseHex(text, 1, 4, address) || !ParseHex(text, 5, 2, count))
        return nak;
    if (HasFault(SimFault::SilentBlock, address))
        return QByteArray();
    if (count == 0 || address + count > SimOptions::MemorySize)
        return nak;
    if (text[0] == 'R' && text.size() == 7)
        return AnswerRead(address, count);
    if (text[0] == 'W' && text.size() == 7 + 2 * count)
        return AnswerWrite(address, count, text.mid(7));
    return nak;
}

QByteArray SimServer::AnswerRead(int address, int count)
{
    QByteArray payload;
    {
        std::lock_guard lock(m_mutex);
        for (int i = 0; i < count; ++i)
            payload += KelmLink::ByteToHex(quint8(m_memory[address + i]));
    }
    if (HasFault(SimFault::ShortRead, address))
        payload.chop(1);
    QByteArray frame = KelmLink::BuildFrame(payload);
    if (HasFault(SimFault::BadChecksum, address)) {
        const qsizetype low = frame.size() - 2;
        frame[low] = frame[low] == '0' ? '1' : '0';
    }
    return frame;
}

QByteArray SimServer::AnswerWrite(int address, int count, const QByteArray &data)
{
    const QByteArray nak(1, char(KelmLink::NAK));
    if (HasFault(SimFault::RefuseWrites))
        return nak;
    if (HasFault(SimFault::NakWrites) && ++m_writeTries[address] <= FaultValue(SimFault::NakWrites))
        return nak;
    if (HasFault(SimFault::ForgetWrites, address))
        return QByteArray(1, char(KelmLink::ACK));
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        int value = 0;
        if (!ParseHex(data, 2 * i, 2, value))
            return nak;
        bytes += char(value);
    }
    {
        std::lock_guard lock(m_mutex);
        m_memory.replace(address, count, bytes);
    }
    SaveMemory();
    return QByteArray(1, char(KelmLink::ACK));
}

void SimServer::Reply(const QByteArray &bytes, Clock::time_point commandEnd)
{
    // On a real line the command's last byte arrives this long after its
    // first, and the reply's last byte as long again after that. One sleep
    // covers both, so the pacing adds a single wake-up per exchange.
    if (m_options.pace) {
        const auto due = commandEnd + bytes.size() * CharacterTime;
        const auto now = Clock::now();
        if (due > now && !Pause(due - now))
            return;
    }
    const bool drip = HasFault(SimFault::Drip);
    const qsizetype step = drip ? 1 : bytes.size();
    for (qsizetype i = 0; i < bytes.size(); i += step) {
        if (drip && i > 0 && !Pause(milliseconds(FaultValue(SimFault::Drip))))
            return;
        if (::write(m_pty.MasterFd(), bytes.constData() + i, size_t(step)) < 0)
            return;
    }
}

bool SimServer::Pause(nanoseconds span)
{
    // Sleeps, but wakes at once when asked to stop.
    const auto seconds = duration_cast<std::chrono::seconds>(span);
    const timespec timeout { time_t(seconds.count()), long((span - seconds).count()) };
    pollfd stop { m_stopPipe[0], POLLIN, 0 };
    return ppoll(&stop, 1, &timeout, nullptr) == 0;
}

bool SimServer::HasFault(SimFault::Kind kind, int address) const
{
    for (const SimFault &fault : m_options.faults) {
        if (fault.kind != kind)
            continue;
        const bool addressed = kind == SimFault::SilentBlock || kind == SimFault::BadChecksum || kind == SimFault::ShortRead
            || kind == SimFault::ForgetWrites;
        if (!addressed || fault.value < 0 || fault.value == address)
            return true;
    }
    return false;
}

int SimServer::FaultValue(SimFault::Kind kind) const
{
    for (const SimFault &fault : m_options.faults) {
        if (fault.kind == kind)
            return fault.value;
    }
    return -1;
}

void SimServer::SaveMemory()
{
    if (m_options.memoryOut.isEmpty())
        return;
    QSaveFile file(m_options.memoryOut);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(Memory());
        file.commit();
    }
}
