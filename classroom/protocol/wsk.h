// The classroom connection: the socket object held in `sck`, the framing of
// incoming bytes and the dispatch of each packet to its handler.
#pragma once

#include "protocol/pure/framing.h"
#include "protocol/pure/incoming.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>

#include <functional>

class QTcpSocket;

class Wsk : public QObject
{
    Q_OBJECT
public:
    Wsk();
    ~Wsk() override;

    // The one protocol socket; every sender writes to it through SendPacket.
    QTcpSocket *socket() const { return m_socket; }

public slots:
    void whereConnect();
    void readData();
    void errorsck(QAbstractSocket::SocketError error);
    void closed();

private:
    QTcpSocket *m_socket;
};

// The debug line for a socket's new state ("Status: ...").
const char *socketStatusText(QAbstractSocket::SocketState state);

// Writes one whole packet (see protocol/pure/outgoing.h) with one write call
// to the socket of `sck`. Nothing is awaited; false when the socket did not
// take the whole packet (no socket, or not open).
bool SendPacket(const QByteArray &packet);

// Frames the bytes of one read and dispatches every complete packet.
void Protocole_ZQV(const QByteArray &bytes);
// Decodes one packet and calls the handler of its code.
void ExtractCmd(const QByteArray &header, const QByteArray &body);
void ExtractCmd(const PacketView &packet);
// Closes the connection when open (an attempt still connecting is aborted),
// and then the main window when it is shown (which ends the program) unless
// the program is already leaving. Pending incoming bytes are dropped.
void CloseSocket();
// The server ended the connection or its stream broke (a read error, a
// framing fault). A login the user sees is told "no connection" first and
// then ends as CloseSocket ends it; a connection this side closed already,
// or one without a shown login, is left to CloseSocket alone.
void ConnectionLost();

// Held by a handler while its box tells the user why the server ends the
// login (a refusal): the server's end meanwhile adds no box of its own and
// leaves the ending to that handler's CloseSocket after the box.
class ExplainedEnd
{
public:
    ExplainedEnd();
    ~ExplainedEnd();
    ExplainedEnd(const ExplainedEnd &) = delete;
    ExplainedEnd &operator=(const ExplainedEnd &) = delete;
};

// The process-wide reassembler fed by Protocole_ZQV; its sink is ExtractCmd.
PacketReassembler &incomingFraming();

// Test seam: called by ExtractCmd with every packet that has a handler,
// before the handler runs. An empty function removes it.
using DispatchObserver = std::function<void(const IncomingCommand &command)>;
void setDispatchObserver(DispatchObserver observer);
