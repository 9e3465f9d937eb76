#include "KelmLink.h"

#include "QevPortFinder.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

using std::chrono::milliseconds;

constexpr int BaudRate = 57600;
constexpr milliseconds ByteGap(250); // silence that ends a reply
constexpr int WriteTimeoutMs = 250;
constexpr int ReadTimeoutMs = 250;
constexpr int PresenceTimeoutMs = 350;
constexpr int VersionTimeoutMs = 250;
constexpr int VersionLength = 11;

QString s_defaultPortName;

// Bytes the kernel holds for the port that the serial backend has not taken yet.
int KernelQueueLength(QSerialPort &port)
{
    int count = 0;
    if (ioctl(int(port.handle()), FIONREAD, &count) != 0)
        return 0;
    return count;
}

} // namespace

KelmLink::KelmLink()
    : KelmLink(std::make_shared<SteadyLinkClock>())
{
}

KelmLink::KelmLink(std::shared_ptr<LinkClock> clock)
    : m_clock(std::move(clock))
{
}

KelmLink::~KelmLink()
{
    CloseLink();
}

void KelmLink::SetDefaultPortName(const QString &device)
{
    s_defaultPortName = device;
}

QString KelmLink::DefaultPortName()
{
    return s_defaultPortName;
}

void KelmLink::SetSearchRoots(const QString &sysfsRoot, const QString &devRoot)
{
    m_sysfsRoot = sysfsRoot;
    m_devRoot = devRoot;
}

bool KelmLink::IsOpen() const
{
    return m_port != nullptr;
}

// ---- Channel -------------------------------------------------------------

QString KelmLink::ChoosePort()
{
    if (!m_portName.isEmpty())
        return m_portName;
    if (!s_defaultPortName.isEmpty())
        return s_defaultPortName;
    const QString fromEnvironment = qEnvironmentVariable("KELM_PORT");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return FindPortByDescription(QString::fromLatin1(QevDescription), m_sysfsRoot, m_devRoot);
}

int KelmLink::OpenLink()
{
    if (m_port) {
        m_port->close();
        m_port.reset();
    }
    m_lastOpenError.clear();
    m_lastOpenDenied = false;
    m_openedPort = ChoosePort();
    if (m_openedPort.isEmpty()) {
        m_lastOpenError = QStringLiteral("no serial port with the USB description \"%1\"").arg(QString::fromLatin1(QevDescription));
        m_trace.Note(QStringLiteral("open failed: ") + m_lastOpenError);
        return OpenFailed;
    }

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(m_openedPort);
    if (!port->open(QIODevice::ReadWrite)) {
        m_lastOpenError = QStringLiteral("cannot open %1: %2").arg(m_openedPort, port->errorString());
        // Tell a locked or busy port from one the user may not use at all.
        const QByteArray path = QFile::encodeName(m_openedPort);
        m_lastOpenDenied = port->error() == QSerialPort::PermissionError && ::access(path.constData(), R_OK | W_OK) != 0
            && errno == EACCES;
        if (m_lastOpenDenied)
            m_lastOpenError += QStringLiteral(" (no read/write access; the port belongs to group %1)").arg(QFileInfo(m_openedPort).group());
        m_trace.Note(QStringLiteral("open failed: ") + m_lastOpenError);
        return OpenFailed;
    }
    m_port = std::move(port);
    m_trace.Note(QStringLiteral("open %1").arg(m_openedPort));

    // The handle stays held after a refused setting; the caller's CloseLink releases it.
    if (!ApplyLineSettings()) {
        m_lastOpenError = QStringLiteral("%1 refused the line settings: %2").arg(m_openedPort, m_port->errorString());
        m_trace.Note(QStringLiteral("open failed: ") + m_lastOpenError);
        return OpenFailed;
    }
    RequestLowLatency();
    PurgeBuffers();
    return Success;
}

bool KelmLink::ApplyLineSettings()
{
    // Each setting is tried whatever the earlier ones gave.
    const bool baud = m_port->setBaudRate(BaudRate);
    const bool characteristics = m_port->setDataBits(QSerialPort::Data8)
        & m_port->setStopBits(QSerialPort::TwoStop)
        & m_port->setParity(QSerialPort::NoParity);
    const bool flow = m_port->setFlowControl(QSerialPort::NoFlowControl);
    bool dtr = m_port->setDataTerminalReady(false);
    if (!dtr) {
        // A pseudo-terminal has no modem-control lines, so there is no DTR to clear.
        int lines = 0;
        dtr = ioctl(int(m_port->handle()), TIOCMGET, &lines) != 0 && errno == ENOTTY;
        if (dtr)
            m_port->clearError();
    }
    return baud && characteristics && flow && dtr;
}

void KelmLink::RequestLowLatency()
{
    // FTDI adapters otherwise hold a short reply back for their latency timer.
    // Ports that do not know the request are left as they are.
    serial_struct serial {};
    const int fd = int(m_port->handle());
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

void KelmLink::CloseLink()
{
    if (!m_port)
        return;
    m_port->clear(QSerialPort::Input);
    m_port->close();
    m_port.reset();
    m_trace.Note(QStringLiteral("close"));
}

int KelmLink::SendText(const char *text)
{
    if (!m_port)
        return 0;
    const qint64 length = qint64(std::strlen(text));
    if (m_port->write(text, length) != length)
        return 0;
    // The whole text goes to the port before the reply wait starts.
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(m_writeTimeoutMs))
            return 0;
    }
    return int(length);
}

int KelmLink::ReadAvailable(char *buffer, int maximum)
{
    if (!m_port)
        return 0;
    const int count = std::min(maximum, QueueLength());
    if (count <= 0)
        return 0;
    // Move what the kernel holds into the backend's buffer, then take it.
    while (m_port->bytesAvailable() < count && m_port->waitForReadyRead(m_readTimeoutMs)) {
    }
    const qint64 read = m_port->read(buffer, count);
    return read > 0 ? int(read) : 0;
}

int KelmLink::QueueLength() const
{
    if (!m_port)
        return 0;
    return int(m_port->bytesAvailable()) + KernelQueueLength(*m_port);
}

bool KelmLink::PurgeBuffers()
{
    if (!m_port)
        return false;
    return m_port->clear(QSerialPort::AllDirections);
}

void KelmLink::SetLinkTimeouts(int readMs, int writeMs)
{
    m_readTimeoutMs = readMs;
    m_writeTimeoutMs = writeMs;
}

// ---- Frames --------------------------------------------------------------

QByteArray KelmLink::ByteToHex(quint8 value)
{
    auto digit = [](int nibble) { return char(nibble + 48 + (nibble > 9 ? 7 : 0)); };
    const char digits[2] = { digit(value >> 4), digit(value & 15) };
    return QByteArray(digits, 2);
}

int KelmLink::HexDigitValue(char c)
{
    return c <= '9' ? c - 48 : c - 55;
}

QByteArray KelmLink::BuildFrame(QByteArrayView text)
{
    quint8 sum = 0;
    for (char c : text)
        sum += quint8(c);
    QByteArray frame;
    frame.reserve(text.size() + 4);
    frame += char(STX);
    frame += text;
    frame += ByteToHex(sum);
    frame += char(ETX);
    return frame;
}

bool KelmLink::CheckReply(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    if (n < 4 || quint8(bytes[0]) != STX || quint8(bytes[n - 1]) != ETX)
        return false;
    const int stated = 16 * HexDigitValue(bytes[n - 3]) + HexDigitValue(bytes[n - 2]);
    quint8 sum = 0;
    for (qsizetype i = 1; i < n - 3; ++i)
        sum += quint8(bytes[i]);
    return stated == sum;
}

void KelmLink::AppendToFrame(quint8 byte)
{
    m_frame[m_frameLength++] = byte;
    m_frame[m_frameLength] = 0;
    m_frameSum += byte;
}

int KelmLink::SendCommand(QByteArrayView text)
{
    // STX, two checksum digits, ETX and the terminator must fit beside the text.
    if (text.isEmpty() || text.size() > FrameSize - 5)
        return 0;
    PurgeBuffers();
    m_frameLength = 0;
    m_frameSum = 0;
    AppendToFrame(STX);
    m_frameSum = 0;
    for (char c : text)
        AppendToFrame(quint8(c));
    const QByteArray checksum = ByteToHex(m_frameSum);
    const quint8 sum = m_frameSum;
    AppendToFrame(quint8(checksum[0]));
    AppendToFrame(quint8(checksum[1]));
    AppendToFrame(ETX);
    m_frameSum = sum;
    const int written = SendText(reinterpret_cast<const char *>(m_frame));
    if (written > 0)
        m_trace.Sent(Frame());
    else
        m_trace.Note(QStringLiteral("not sent (%1): %2").arg(m_port ? QStringLiteral("write failed") : QStringLiteral("link closed"), LinkTrace::HexText(Frame())));
    return written;
}

int KelmLink::ReceiveReply(char *reply, int timeoutMs, int expected)
{
    const int target = expected < 2 ? expected : expected + 4;
    SetLinkTimeouts(10, 100);

    LinkClock::TimePoint deadline = m_clock->Now() + milliseconds(timeoutMs);
    int seen = QueueLength();
    for (;;) {
        const LinkClock::TimePoint now = m_clock->Now();
        if (now >= deadline)
            break;
        const int queued = QueueLength();
        if (queued > seen) {
            seen = queued;
            deadline = now + ByteGap;
        }
        // Only the exact count ends the wait early: more bytes than awaited
        // mean a reply that is not the one expected, so it is left to settle.
        if (seen == target)
            break;
        m_clock->WaitForInput(m_port.get(), std::chrono::ceil<milliseconds>(deadline - now));
    }

    char buffer[MaxReplyRead + 2];
    const int n = ReadAvailable(buffer, MaxReplyRead);
    if (n == 0) {
        m_trace.TimedOut(timeoutMs);
        return 0;
    }
    m_trace.Received(QByteArray(buffer, n));
    if (n == 1) {
        reply[0] = buffer[0];
        return 1;
    }
    buffer[n] = 0;
    if (!CheckReply(QByteArrayView(buffer, n)))
        return 0;
    std::memcpy(reply, buffer + 1, size_t(n - 4));
    return n - 4;
}

int KelmLink::Exchange(QByteArrayView text, char *reply, int timeoutMs, int expected)
{
    SendCommand(text);
    return ReceiveReply(reply, timeoutMs, expected);
}

// ---- Transfers -----------------------------------------------------------

int KelmLink::WriteBlock(std::span<const quint8> image, int first, int last)
{
    if (first < 0 || last >= int(image.size()) || first > last)
        return WriteFailed;
    int failures = 0;
    for (int address = first; address <= last;) {
        const int length = std::min(BlockSize, last - address + 1);
        QByteArray command = QString::asprintf("W%04X%02X", address, length).toLatin1();
        for (int i = 0; i < length; ++i)
            command += ByteToHex(image[size_t(address + i)]);
        // Only an ACK counts as written; silence or garbage on every try is a failure too.
        bool acknowledged = false;
        for (int attempt = 1; attempt <= Tries && !acknowledged; ++attempt) {
            if (attempt > 1)
                m_trace.Retry(attempt, command);
            char reply[ReplyAreaSize];
            acknowledged = Exchange(command, reply, WriteTimeoutMs, 1) == 1 && quint8(reply[0]) == ACK;
        }
        if (!acknowledged)
            ++failures;
        address += length;
    }
    return failures > 0 ? WriteFailed : Success;
}

int KelmLink::ReadBlock(std::span<quint8> image, int first, int last)
{
    if (first < 0 || last >= int(image.size()) || first > last)
        return ReadFailed;
    int failures = 0;
    for (int address = first; address <= last;) {
        const int length = std::min(BlockSize, last - address + 1);
        const QByteArray command = QString::asprintf("R%04X%02X", address, length).toLatin1();
        // Only a valid frame of the awaited length is taken; anything else on
        // every try leaves the bytes as they were and counts as a failure.
        bool read = false;
        for (int attempt = 1; attempt <= Tries && !read; ++attempt) {
            if (attempt > 1)
                m_trace.Retry(attempt, command);
            char reply[ReplyAreaSize];
            if (Exchange(command, reply, ReadTimeoutMs, 2 * length) != 2 * length)
                continue;
            for (int j = 0; j < length; ++j)
                image[size_t(address + j)] = quint8(16 * HexDigitValue(reply[2 * j]) + HexDigitValue(reply[2 * j + 1]));
            read = true;
        }
        if (!read)
            ++failures;
        address += length;
    }
    return failures > 0 ? ReadFailed : Success;
}

int KelmLink::ReadImage(std::span<quint8> image)
{
    return ReadBlock(image, 0, 255);
}

int KelmLink::CheckPresence()
{
    char reply[ReplyAreaSize];
    return Exchange("O", reply, PresenceTimeoutMs, 1) == 1 && quint8(reply[0]) == ACK ? Success : NoAnswer;
}

int KelmLink::QueryVersion(QByteArray &text)
{
    char reply[ReplyAreaSize];
    if (Exchange("v", reply, VersionTimeoutMs, VersionLength) == VersionLength) {
        text = QByteArray(reply, VersionLength);
        return Success;
    }
    text.clear();
    return NoAnswer;
}
