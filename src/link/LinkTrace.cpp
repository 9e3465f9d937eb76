#include "LinkTrace.h"

#include <QDateTime>

LinkTrace::LinkTrace()
    : LinkTrace(qEnvironmentVariable("KELM_TRACE"))
{
}

LinkTrace::LinkTrace(const QString &path)
{
    if (path.isEmpty())
        return;
    m_file.setFileName(path);
    // A trace that cannot be written must not stop the device command.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        m_file.setFileName(QString());
}

void LinkTrace::Sent(const QByteArray &bytes)
{
    Line(QStringLiteral(">"), HexText(bytes) + QStringLiteral("  |") + PrintableText(bytes) + QLatin1Char('|'));
}

void LinkTrace::Received(const QByteArray &bytes)
{
    Line(QStringLiteral("<"), HexText(bytes) + QStringLiteral("  |") + PrintableText(bytes) + QLatin1Char('|'));
}

void LinkTrace::TimedOut(int timeoutMs)
{
    Line(QStringLiteral("<"), QStringLiteral("no reply (timeout %1 ms)").arg(timeoutMs));
}

void LinkTrace::Retry(int attempt, const QByteArray &command)
{
    Line(QStringLiteral("!"), QStringLiteral("retry %1 of 3: %2").arg(attempt).arg(QString::fromLatin1(command)));
}

void LinkTrace::Note(const QString &text)
{
    Line(QStringLiteral("#"), text);
}

QString LinkTrace::HexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString LinkTrace::PrintableText(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text += (c >= 0x20 && c < 0x7F) ? QChar::fromLatin1(c) : QLatin1Char('.');
    return text;
}

void LinkTrace::Line(const QString &direction, const QString &text)
{
    if (!IsOn())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    m_file.write((stamp + QLatin1Char(' ') + direction + QLatin1Char(' ') + text + QLatin1Char('\n')).toUtf8());
    m_file.flush();
}
