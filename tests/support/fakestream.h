// Stand-ins for a streaming server in tests: a source endpoint that records
// what a source sends and answers as scripted, and a listener endpoint that
// records each GET and answers with a scripted reply. Header only.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Takes source connections; keeps what the current one sent.
class FakeSource
{
public:
    FakeSource()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (m_server.hasPendingConnections()) {
                QTcpSocket *s = m_server.nextPendingConnection();
                ++connections;
                m_peer = s;
                received.clear();
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (s != m_peer)
                        return;
                    const bool hadHead = received.contains("\n\n");
                    received += s->readAll();
                    if (!hadHead && received.contains("\n\n") && !autoAnswer.isEmpty())
                        answer(autoAnswer);
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

    // Waits until the current connection sent at least count bytes.
    bool waitForBytes(int count, int ms = 20000)
    {
        return QTest::qWaitFor([&] { return received.size() >= count; }, ms);
    }
    bool waitForConnection(int ms = 20000)
    {
        return QTest::qWaitFor([&] { return connections > 0; }, ms);
    }
    void answer(const QByteArray &bytes)
    {
        if (m_peer) {
            m_peer->write(bytes);
            m_peer->flush();
        }
    }
    void drop()
    {
        if (m_peer)
            m_peer->disconnectFromHost();
    }
    // True once the client closed the current connection.
    bool clientClosed(int ms = 20000)
    {
        return QTest::qWaitFor(
            [&] { return !m_peer || m_peer->state() == QAbstractSocket::UnconnectedState; }, ms);
    }
    void close() { m_server.close(); }

    int connections = 0;
    QByteArray received;
    // Written to each source once its request is whole, when not empty.
    QByteArray autoAnswer;

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_peer;
};

// Takes GET requests; each gets the head of the current reply at once, and
// its body as the test sends it.
class FakeListenServer
{
public:
    FakeListenServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (m_server.hasPendingConnections()) {
                QTcpSocket *s = m_server.nextPendingConnection();
                auto *head = new QByteArray;
                QObject::connect(s, &QObject::destroyed, [head] { delete head; });
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, head] {
                    if (head->endsWith("\r\n\r\n"))
                        return;
                    *head += s->readAll();
                    if (!head->contains("\r\n\r\n"))
                        return;
                    requests << *head;
                    m_peer = s;
                    s->write(replyHead);
                    s->flush();
                    if (closeAfterHead)
                        s->disconnectFromHost();
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    bool waitForRequests(int count, int ms = 20000)
    {
        return QTest::qWaitFor([&] { return requests.size() >= count; }, ms);
    }
    void send(const QByteArray &bytes)
    {
        if (m_peer) {
            m_peer->write(bytes);
            m_peer->flush();
        }
    }
    void drop()
    {
        if (m_peer)
            m_peer->disconnectFromHost();
    }
    bool clientClosed(int ms = 20000)
    {
        return QTest::qWaitFor(
            [&] { return !m_peer || m_peer->state() == QAbstractSocket::UnconnectedState; }, ms);
    }
    // Bytes sent but not yet taken by the client's side of the connection.
    qint64 pendingBytes() const { return m_peer ? m_peer->bytesToWrite() : 0; }

    QByteArray replyHead = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n";
    bool closeAfterHead = false;
    QList<QByteArray> requests;

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_peer;
};
