#include "protocol/wsk.h"

#include "mainwindow/frmuser.h"
#include "protocol/admin.h"
#include "protocol/contacts.h"
#include "protocol/helpers.h"
#include "protocol/imtihan.h"
#include "protocol/login.h"
#include "protocol/mymessage.h"
#include "protocol/privatemessages.h"
#include "protocol/rooms.h"
#include "protocol/pure/packet.h"
#include "protocol/state.h"

#include <QTcpSocket>
#include <QtDebug>

namespace {

DispatchObserver dispatchObserver;
// Boxes open that tell why the server ends the login (ExplainedEnd).
int explainedEnds = 0;

// The main window of a login is shown and the program is not already leaving.
bool loginShown() { return frmusr && frmusr->isVisible() && !wait_frmuser; }

} // namespace

const char *socketStatusText(QAbstractSocket::SocketState state)
{
    switch (state) {
    case QAbstractSocket::UnconnectedState: return "Status: Unconnected";
    case QAbstractSocket::HostLookupState: return "Status: Searching for host";
    case QAbstractSocket::ConnectingState: return "Status: Connecting to host";
    case QAbstractSocket::ConnectedState: return "Status: ConnectedState";
    case QAbstractSocket::BoundState: return "Status: BoundState";
    case QAbstractSocket::ListeningState: return "Status: ListeningState";
    case QAbstractSocket::ClosingState: return "Status: ClosingState";
    }
    return "Status: Unconnected";
}

Wsk::Wsk() : m_socket(new QTcpSocket(this))
{
    connect(m_socket, &QTcpSocket::connected, this, &Wsk::whereConnect);
    // readyRead is not emitted again while its own slot runs a nested event
    // loop (a message box of a handler); channelReadyRead is, so the bytes
    // that arrive meanwhile (a keep-alive) are framed and answered at once.
    connect(m_socket, &QTcpSocket::channelReadyRead, this, &Wsk::readData);
    connect(m_socket, &QTcpSocket::disconnected, this, &Wsk::closed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &Wsk::errorsck);
    // A new connection is framed from its own first byte.
    connect(m_socket, &QTcpSocket::stateChanged, this, [](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::HostLookupState
            || state == QAbstractSocket::ConnectingState)
            incomingFraming().clear();
    });
}

Wsk::~Wsk()
{
    m_socket->close();
    delete m_socket;
}

void Wsk::whereConnect() {}

void Wsk::readData()
{
    // Bytes that came in while a handler ran are read too.
    while (m_socket->bytesAvailable() > 0)
        Protocole_ZQV(m_socket->readAll());
}

void Wsk::errorsck(QAbstractSocket::SocketError) { closed(); }

void Wsk::closed()
{
    const QAbstractSocket::SocketState state = m_socket->state();
    qDebug("%s", socketStatusText(state));
    if (state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState)
        ConnectionLost();
}

bool SendPacket(const QByteArray &packet)
{
    return sck && sck->socket()->isOpen() && sck->socket()->write(packet) == packet.size();
}

PacketReassembler &incomingFraming()
{
    static PacketReassembler *framing = [] {
        auto *f = new PacketReassembler;
        f->setSink([](const PacketView &packet) { ExtractCmd(packet); });
        f->setFaultHandler([](PacketReassembler::Fault fault) {
            if (fault == PacketReassembler::Fault::BadMarker)
                qDebug("Protocol ZQV mismatch.\n");
            ConnectionLost();
        });
        return f;
    }();
    return *framing;
}

void Protocole_ZQV(const QByteArray &bytes) { incomingFraming().feed(bytes); }

void ExtractCmd(const QByteArray &header, const QByteArray &body)
{
    if (header.size() < kHeaderSize)
        return;
    ExtractCmd(PacketView{header.constData(), body.constData(), headerCode(header.constData()),
                          body.size()});
}

void ExtractCmd(const PacketView &packet)
{
    if (!isDispatchedCode(packet.code))
        return;
    // The view is decoded before any handler can run an event loop.
    const IncomingCommand command = decodeCommand(packet);
    if (dispatchObserver) {
        const DispatchObserver observer = dispatchObserver;
        observer(command);
    }
    // One case per handler: text handlers take command.text, byte handlers
    // command.bytes(), and most also command.name.
    switch (command.code) {
    case -6:
        sVERSION(command.text, command.name);
        break;
    case -5:
        USER_PWD(command.name);
        break;
    case 1:
        ShowFrmUser(command.bytes());
        break;
    case 2:
        ListUsers(command.text);
        break;
    case 3:
        StatUsers(command.text);
        break;
    case 4:
        BlockUsr(command.name, command.text);
        break;
    case 5:
        AddUser(command.name, command.text);
        break;
    case 6:
        DelUser(command.text);
        break;
    case 7:
        PMUsr(command.name, command.text);
        break;
    case 8:
        ListGroupRooms(command.name, command.text, 0);
        break;
    case 9:
        ErrorEntre(command.name, command.text);
        break;
    case 10:
        Lst_user_rooms(command.name, command.text);
        break;
    case 11:
        Remove_user(command.text);
        break;
    case 12:
        GettxtRoom(command.name, command.text);
        break;
    case 13:
        ChangeUSERoom(command.name, command.text);
        break;
    case 16:
        PermissionsUSR(command.text);
        break;
    case 18:
        ListGroupRooms(command.name, command.text, 1);
        break;
    case 19:
        EditGroupResult(command.name);
        break;
    case 20:
        ShowMsgSystem(command.name);
        break;
    case 21:
        EditRoomsResult(command.name);
        break;
    case 22:
        ListGroupRooms2(command.name, command.text, 1);
        break;
    case 23:
        ListAdmin(command.name, command.text);
        break;
    case 24:
        AddDel_Admin(command.name, command.text);
        break;
    case 27:
        GetImtihan(command.name, command.text);
        break;
    case 28:
        GetPermissions(command.name, command.text);
        break;
    case 45:
        SendPackettest(command.bytes());
        break;
    default:
        break;
    }
}

// Forgets what was half read; the chat socket while it is open, else null.
static QTcpSocket *openSocketAfterEnd()
{
    incomingFraming().clear();
    if (!sck)
        return nullptr;
    QTcpSocket *socket = sck->socket();
    return socket->isOpen() ? socket : nullptr;
}

void CloseSocket()
{
    QTcpSocket *socket = openSocketAfterEnd();
    if (!socket)
        return;
    const QAbstractSocket::SocketState state = socket->state();
    // A close while looking up or connecting would only take effect once
    // connected: such an attempt is aborted.
    if (state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState)
        socket->abort();
    else
        socket->close();
    // Closing the main window ends the program.
    if (loginShown())
        frmusr->close();
}

void ConnectionLost()
{
    // Closed by this side (logging out, quitting, a login step): that close
    // is the whole story.
    QTcpSocket *socket = openSocketAfterEnd();
    if (!socket)
        return;
    if (!loginShown()) {
        CloseSocket();
        return;
    }
    if (explainedEnds > 0) {
        // Nothing more is read; the handler closes once its box is read.
        if (socket->state() != QAbstractSocket::UnconnectedState)
            socket->disconnectFromHost();
        return;
    }
    socket->close();
    // The windows stay behind the box; the main window's close then ends
    // the program.
    MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgSabib()),
           QMessageBox::Warning, QMessageBox::Ok);
    if (loginShown())
        frmusr->close();
}

ExplainedEnd::ExplainedEnd() { ++explainedEnds; }

ExplainedEnd::~ExplainedEnd() { --explainedEnds; }

void setDispatchObserver(DispatchObserver observer) { dispatchObserver = std::move(observer); }
