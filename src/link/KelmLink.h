#pragma once

#include "LinkClock.h"
#include "LinkTrace.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <span>

class QSerialPort;

// The link to the KELM unit through the QEV: the serial channel, the framed
// command protocol and the block transfers of the unit's memory. A device
// command opens it, works, and closes it on every way out.
class KelmLink {
public:
    static constexpr quint8 STX = 0x02;
    static constexpr quint8 ETX = 0x03;
    static constexpr quint8 ACK = 0x06;
    static constexpr quint8 NAK = 0x15;

    // The QEV's USB product string.
    static constexpr const char *QevDescription = "Vorn QEV - Active USB Interface";

    static constexpr int FrameSize = 100;
    static constexpr int ReplyAreaSize = 46; // every caller's reply area
    static constexpr int MaxReplyRead = 50;  // bytes taken from the line per reply
    static constexpr int BlockSize = 16;
    static constexpr int Tries = 3;

    // Result codes of OpenLink and the transfers.
    enum Result {
        Success = 0,
        OpenFailed = 1,
        NoAnswer = 2,
        ReadFailed = 4,
        WriteFailed = 5,
    };

    KelmLink();
    explicit KelmLink(std::shared_ptr<LinkClock> clock);
    ~KelmLink();
    KelmLink(const KelmLink &) = delete;
    KelmLink &operator=(const KelmLink &) = delete;

    // Where OpenLink looks for the QEV. A named port (this link's own, else
    // the process-wide default, else KELM_PORT) is opened directly; otherwise
    // the port is found by the QEV's product string under the sysfs root.
    void SetPortName(const QString &device) { m_portName = device; }
    static void SetDefaultPortName(const QString &device);
    static QString DefaultPortName();
    void SetSearchRoots(const QString &sysfsRoot, const QString &devRoot);
    // The port the last OpenLink used (empty when none was found).
    QString PortName() const { return m_openedPort; }
    // Why the last OpenLink failed, in words; empty after a success.
    QString LastOpenError() const { return m_lastOpenError; }
    // True when the last OpenLink found the port but was refused access to it.
    bool LastOpenDenied() const { return m_lastOpenDenied; }
    bool IsOpen() const;

    // Channel.
    int OpenLink();
    void CloseLink();
    int SendText(const char *text);
    int ReadAvailable(char *buffer, int maximum);
    int QueueLength() const;
    bool PurgeBuffers();
    void SetLinkTimeouts(int readMs, int writeMs);

    // Frames.
    int SendCommand(QByteArrayView text);
    int ReceiveReply(char *reply, int timeoutMs, int expected);
    int Exchange(QByteArrayView text, char *reply, int timeoutMs, int expected);
    static bool CheckReply(QByteArrayView bytes);
    static QByteArray ByteToHex(quint8 value);
    static int HexDigitValue(char c);
    // A whole frame around a text, as SendCommand builds it.
    static QByteArray BuildFrame(QByteArrayView text);

    QByteArray Frame() const { return QByteArray(reinterpret_cast<const char *>(m_frame), m_frameLength); }
    quint8 FrameLength() const { return m_frameLength; }
    quint8 FrameSum() const { return m_frameSum; }

    // Transfers over an image indexed by device address; first and last are
    // both included.
    int WriteBlock(std::span<const quint8> image, int first, int last);
    int ReadBlock(std::span<quint8> image, int first, int last);
    int ReadImage(std::span<quint8> image);
    int CheckPresence();
    int QueryVersion(QByteArray &text);

private:
    QString ChoosePort();
    bool ApplyLineSettings();
    void RequestLowLatency();
    void AppendToFrame(quint8 byte);

    std::shared_ptr<LinkClock> m_clock;
    std::unique_ptr<QSerialPort> m_port;
    LinkTrace m_trace;
    QString m_portName;
    QString m_sysfsRoot = QStringLiteral("/sys");
    QString m_devRoot = QStringLiteral("/dev");
    QString m_openedPort;
    QString m_lastOpenError;
    bool m_lastOpenDenied = false;
    int m_readTimeoutMs = 10;
    int m_writeTimeoutMs = 100;

    quint8 m_frame[FrameSize] = {};
    quint8 m_frameLength = 0;
    quint8 m_frameSum = 0;
};
