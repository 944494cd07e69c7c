// A loopback peer for the classroom socket: the test connects the client's
// socket (sck) to it, reads what the client writes and writes packets back.
// Header only: it needs the classroom client's library.
#pragma once

#include "protocol/state.h"
#include "protocol/wsk.h"

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class LoopbackPeer
{
public:
    LoopbackPeer() { m_server.listen(QHostAddress::LocalHost, 0); }
    ~LoopbackPeer()
    {
        if (m_client)
            m_client->abort();
    }

    // Connects the socket of sck (made when missing) to this peer; false when
    // the connection did not come up within 5 s.
    bool connectClient()
    {
        if (!sck)
            sck = new Wsk;
        // A socket closed with bytes still unwritten may still be closing.
        sck->socket()->abort();
        sck->socket()->connectToHost(QHostAddress::LocalHost, m_server.serverPort());
        if (!QTest::qWaitFor([this] { return m_server.hasPendingConnections(); }, 5000))
            return false;
        m_client = m_server.nextPendingConnection();
        m_received.clear();
        return QTest::qWaitFor(
            [] { return sck->socket()->state() == QAbstractSocket::ConnectedState; }, 5000);
    }

    // Everything the client wrote since the last call. The client then writes
    // a marker of its own, and the bytes before it are returned once it
    // arrives, so "nothing was sent" needs no waiting.
    QByteArray sent()
    {
        static const QByteArray marker("<-- end of what the client sent -->");
        SendPacket(marker);
        const bool arrived = QTest::qWaitFor(
            [this] {
                readAvailable();
                return m_received.endsWith(marker);
            },
            5000);
        if (!arrived)
            qWarning("the client's marker did not arrive");
        QByteArray out;
        out.swap(m_received);
        if (out.endsWith(marker))
            out.chop(marker.size());
        return out;
    }

    // Waits up to timeoutMs until at least count bytes arrived and returns
    // them all (for what a timer writes).
    QByteArray takeAtLeast(int count, int timeoutMs = 5000)
    {
        const bool arrived = QTest::qWaitFor(
            [this, count] {
                readAvailable();
                return m_received.size() >= count;
            },
            timeoutMs);
        if (!arrived)
            qWarning("fewer than %d bytes arrived", count);
        QByteArray out;
        out.swap(m_received);
        return out;
    }

    // Writes bytes to the client.
    void send(const QByteArray &bytes)
    {
        if (m_client) {
            m_client->write(bytes);
            m_client->flush();
        }
    }

    // True once the client closed its end.
    bool clientClosed()
    {
        return QTest::qWaitFor(
            [this] { return !m_client || m_client->state() == QAbstractSocket::UnconnectedState; },
            5000);
    }

private:
    void readAvailable()
    {
        if (m_client)
            m_received += m_client->readAll();
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_received;
};
