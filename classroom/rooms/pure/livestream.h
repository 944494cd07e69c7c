// The live stream's words on the wire: the streaming server's addresses, the
// SOURCE request of the outgoing stream, its answer, and the address of a
// room's incoming stream.
#pragma once

#include <QByteArray>
#include <QString>

// Splits a write address "host:port". False (host and port untouched) when
// there is no colon, the host is empty or the port is not a decimal number
// from 1 to 65535.
bool splitWriteAddress(const QString &writeAddress, QString *host, quint16 *port);

// The mount of a room: the path prefix followed by the room id in decimal.
QString roomMount(const QString &pathPrefix, int roomId);

// The SOURCE request that announces a room's stream: eleven header lines and
// an empty line, each ended by a bare line feed, in UTF-8. credentials are the
// Basic credentials, already in Base64; webHost is sent as the stream's web
// address.
QByteArray sourceRequest(const QString &mount, const QByteArray &credentials,
                         const QString &webHost);

// The streaming server's answer to SOURCE, gathered read by read. It is judged
// once its head (up to the first empty line) is complete: accepted when the
// status line is exactly "HTTP/1.0 200 OK", refused otherwise. A status line
// that has arrived whole and is anything else refuses at once; a head longer
// than kMaxHead bytes refuses. After acceptance anything the server sends
// (other than line ends) refuses: a source never gets more than the answer.
class SourceAnswer
{
public:
    enum Verdict { Waiting, Accepted, Refused };
    static constexpr int kMaxHead = 4096;

    Verdict feed(const QByteArray &bytes);
    Verdict verdict() const { return m_verdict; }
    // The head as received, for the log.
    QByteArray head() const { return m_head; }
    void reset();

private:
    QByteArray m_head;
    Verdict m_verdict = Waiting;
};

// The address of a room's incoming stream:
// "http://" + readAddress + "/" + pathPrefix + room id.
QString listenAddress(const QString &readAddress, const QString &pathPrefix, int roomId);
