#include "rooms/pure/livestream.h"

#include <QStringList>

bool splitWriteAddress(const QString &writeAddress, QString *host, quint16 *port)
{
    const QStringList parts = writeAddress.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (parts.size() < 2 || parts.at(0).isEmpty())
        return false;
    const QString digits = parts.at(1);
    if (digits.isEmpty() || digits.size() > 5)
        return false;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    const int value = digits.toInt();
    if (value < 1 || value > 65535)
        return false;
    *host = parts.at(0);
    *port = quint16(value);
    return true;
}

QString roomMount(const QString &pathPrefix, int roomId)
{
    return pathPrefix + QString::number(roomId);
}

QByteArray sourceRequest(const QString &mount, const QByteArray &credentials,
                         const QString &webHost)
{
    QString r;
    r += QStringLiteral("SOURCE /") + mount + QStringLiteral(" HTTP/1.0\n");
    r += QStringLiteral("Authorization: Basic ") + QString::fromLatin1(credentials)
         + QLatin1Char('\n');
    r += QStringLiteral("User-Agent: Qt media Velmar 1.0.0\n");
    r += QStringLiteral("Content-Type: audio/mpeg\n");
    r += QStringLiteral("Connection: Keep-Alive\n");
    r += QStringLiteral("ice-name: Qt media Velmar - Live stream\n");
    r += QStringLiteral("ice-public: 1\n");
    r += QStringLiteral("ice-url: http://") + webHost + QLatin1Char('\n');
    r += QStringLiteral("ice-genre: Alternative\n");
    r += QStringLiteral("ice-audio-info: bitrate=32\n");
    r += QStringLiteral("ice-description: Live stream from Qt media Velmar\n");
    r += QLatin1Char('\n');
    return r.toUtf8();
}

namespace {

QByteArray withoutLineEnds(QByteArray bytes)
{
    bytes.replace('\r', QByteArray());
    bytes.replace('\n', QByteArray());
    return bytes;
}

} // namespace

SourceAnswer::Verdict SourceAnswer::feed(const QByteArray &bytes)
{
    if (m_verdict == Refused)
        return m_verdict;
    if (m_verdict == Accepted) {
        if (!withoutLineEnds(bytes).isEmpty())
            m_verdict = Refused;
        return m_verdict;
    }
    m_head += bytes;
    const int firstEnd = m_head.indexOf('\n');
    if (firstEnd >= 0) {
        QByteArray status = m_head.left(firstEnd);
        if (status.endsWith('\r'))
            status.chop(1);
        if (status != "HTTP/1.0 200 OK") {
            m_verdict = Refused;
            return m_verdict;
        }
        // The head ends at the first empty line, with or without carriage
        // returns.
        int end = -1;
        int lineStart = firstEnd + 1;
        while (lineStart < m_head.size()) {
            const int lf = m_head.indexOf('\n', lineStart);
            if (lf < 0)
                break;
            const QByteArray line = m_head.mid(lineStart, lf - lineStart);
            if (line.isEmpty() || line == "\r") {
                end = lf + 1;
                break;
            }
            lineStart = lf + 1;
        }
        if (end >= 0) {
            m_verdict = Accepted;
            const QByteArray rest = m_head.mid(end);
            m_head.truncate(end);
            if (!withoutLineEnds(rest).isEmpty())
                m_verdict = Refused;
            return m_verdict;
        }
    }
    if (m_head.size() > kMaxHead)
        m_verdict = Refused;
    return m_verdict;
}

void SourceAnswer::reset()
{
    m_head.clear();
    m_verdict = Waiting;
}

QString listenAddress(const QString &readAddress, const QString &pathPrefix, int roomId)
{
    return QStringLiteral("http://") + readAddress + QLatin1Char('/') + pathPrefix
           + QString::number(roomId);
}
