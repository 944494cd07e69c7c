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

#include <sys/socket.h>

// How long the client may take to connect, write or close on a busy machine;
// each wait ends as soon as it is done.
constexpr int kPeerWaitMs = 60000;

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
    // the connection did not come up within kPeerWaitMs.
    bool connectClient()
    {
        if (!sck)
            sck = new Wsk;
        // A socket closed with bytes still unwritten may still be closing.
        sck->socket()->abort();
        sck->socket()->connectToHost(QHostAddress::LocalHost, m_server.serverPort());
        if (!QTest::qWaitFor([this] { return m_server.hasPendingConnections(); }, kPeerWaitMs))
            return false;
        m_client = m_server.nextPendingConnection();
        m_received.clear();
        return QTest::qWaitFor(
            [] { return sck->socket()->state() == QAbstractSocket::ConnectedState; }, kPeerWaitMs);
    }

    quint16 port() const { return m_server.serverPort(); }

    // Takes the next connection that the client's own code made to this peer
    // as the current one; false when none came within kPeerWaitMs.
    bool acceptClient()
    {
        if (!QTest::qWaitFor([this] { return m_server.hasPendingConnections(); }, kPeerWaitMs))
            return false;
        m_client = m_server.nextPendingConnection();
        m_received.clear();
        return true;
    }

    // True when a connection is waiting to be taken.
    bool hasPendingClient() { return m_server.hasPendingConnections(); }

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
            kPeerWaitMs);
        if (!arrived)
            qWarning("the client's marker did not arrive; %d bytes came", m_received.size());
        QByteArray out;
        out.swap(m_received);
        if (out.endsWith(marker))
            out.chop(marker.size());
        return out;
    }

    // Waits up to timeoutMs until at least count bytes arrived and returns
    // them all (for what a timer writes).
    QByteArray takeAtLeast(int count, int timeoutMs = kPeerWaitMs)
    {
        const bool arrived = QTest::qWaitFor(
            [this, count] {
                readAvailable();
                return m_received.size() >= count;
            },
            timeoutMs);
        if (!arrived)
            qWarning("fewer than %d bytes arrived: %d", count, m_received.size());
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

    // Ends the connection from the server's side: a close, or with reset a
    // reset that the client reads as a broken stream.
    void endConnection(bool reset = false)
    {
        if (!m_client)
            return;
        if (reset) {
            const linger hard{1, 0};
            ::setsockopt(int(m_client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                         sizeof hard);
            m_client->abort();
        } else {
            m_client->disconnectFromHost();
        }
    }

    // True once the client closed its end.
    bool clientClosed()
    {
        return QTest::qWaitFor(
            [this] { return !m_client || m_client->state() == QAbstractSocket::UnconnectedState; },
            kPeerWaitMs);
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
