#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Protocol trace for fault reports. When KELM_TRACE names a file, every frame
// sent, every reply or timeout, each retry and each open attempt is appended to
// it, one line each, with a millisecond timestamp.
class LinkTrace {
public:
    LinkTrace();
    explicit LinkTrace(const QString &path); // an empty path traces nothing

    bool IsOn() const { return m_file.isOpen(); }
    void Sent(const QByteArray &bytes);
    void Received(const QByteArray &bytes);
    void TimedOut(int timeoutMs);
    void Retry(int attempt, const QByteArray &command);
    void Note(const QString &text);

    // "02 4F 34 46 03" and ".O4F." for the same bytes.
    static QString HexText(const QByteArray &bytes);
    static QString PrintableText(const QByteArray &bytes);

private:
    void Line(const QString &direction, const QString &text);

    QFile m_file;
};
