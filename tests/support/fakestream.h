// Stand-ins for a streaming server in tests: a source endpoint that records
// what a source sends and answers as scripted, a listener endpoint that
// records each GET and answers with a scripted reply, and one that floods.
// Header only.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <cerrno>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

// A listener endpoint that floods: the first GET gets a 200 audio/mpeg head
// and then body again and again, as fast as the connection takes it, from a
// thread of its own, until limit bytes have gone or it is stopped.
class FloodServer
{
public:
    FloodServer(const QByteArray &body, qint64 limit) : m_body(body), m_limit(limit)
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0
            || ::listen(m_listen, 4) != 0
            || ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len) != 0)
            return;
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~FloodServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listen);
    }
    quint16 port() const { return m_port; }
    // Bytes of body the connection has taken.
    qint64 sent() const { return m_sent; }

private:
    // Waits for fd to be ready for events; false once stopped.
    bool ready(int fd, short events)
    {
        pollfd p{fd, events, 0};
        while (!m_stop)
            if (::poll(&p, 1, 50) > 0)
                return true;
        return false;
    }
    void run()
    {
        if (!ready(m_listen, POLLIN))
            return;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        QByteArray head;
        char buf[4096];
        while (!head.contains("\r\n\r\n") && ready(fd, POLLIN)) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            head.append(buf, int(n));
        }
        const QByteArray reply = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n";
        ::send(fd, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
        qint64 at = 0;
        while (m_sent < m_limit && ready(fd, POLLOUT)) {
            const qint64 from = at % m_body.size();
            const ssize_t n = ::send(fd, m_body.constData() + from, size_t(m_body.size() - from),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno != EAGAIN)
                break;
            if (n > 0) {
                at += n;
                m_sent += n;
            }
        }
        ready(fd, POLLHUP); // open until stopped
        ::close(fd);
    }

    QByteArray m_body;
    qint64 m_limit;
    int m_listen = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_sent{0};
};
