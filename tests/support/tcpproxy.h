// A TCP relay that keeps a copy of every byte it passes, both ways: what is
// "on the wire" between a client and a server in a test. Header only.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

class RecordingProxy : public QObject
{
public:
    struct Link
    {
        QByteArray up;   // client to server
        QByteArray down; // server to client
        bool clientGone = false;
        bool serverGone = false;
    };

    explicit RecordingProxy(quint16 targetPort)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this, targetPort] {
            while (m_server.hasPendingConnections()) {
                QTcpSocket *client = m_server.nextPendingConnection();
                auto *server = new QTcpSocket(client);
                const int index = links.size();
                links.append(Link());
                server->connectToHost(QHostAddress::LocalHost, targetPort);
                connect(client, &QTcpSocket::readyRead, this, [this, client, server, index] {
                    const QByteArray bytes = client->readAll();
                    links[index].up += bytes;
                    server->write(bytes); // held until connected
                });
                connect(server, &QTcpSocket::readyRead, this, [this, client, server, index] {
                    const QByteArray bytes = server->readAll();
                    links[index].down += bytes;
                    client->write(bytes);
                });
                connect(client, &QTcpSocket::disconnected, this, [this, index] { links[index].clientGone = true; });
                connect(client, &QTcpSocket::disconnected, server, &QTcpSocket::disconnectFromHost);
                connect(server, &QTcpSocket::disconnected, this, [this, index] { links[index].serverGone = true; });
                connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

    QList<Link> links;

private:
    QTcpServer m_server;
};
