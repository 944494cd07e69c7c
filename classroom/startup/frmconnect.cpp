#include "startup/frmconnect.h"

#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/frmwait.h"
#include "ui_frmconnect.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

LoginTimes loginTimes;

namespace {
constexpr int kTickMs = 1000;

// Counts the connection attempts, so that an attempt can tell whether a newer
// one started while it waited.
int connectAttempts = 0;

bool stillConnecting(QAbstractSocket::SocketState state)
{
    return state == QAbstractSocket::HostLookupState
           || state == QAbstractSocket::ConnectingState;
}

// Connects the socket of sck and waits on its state changes, within the time
// limit; returns the state it ended in.
QAbstractSocket::SocketState waitForConnection(const QString &host, quint16 port)
{
    if (!sck)
        return QAbstractSocket::UnconnectedState;
    QPointer<QTcpSocket> socket = sck->socket();
    // A socket closed with bytes still unwritten may still be closing.
    if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->abort();

    QEventLoop loop;
    QObject::connect(socket, &QAbstractSocket::stateChanged, &loop,
                     [&loop](QAbstractSocket::SocketState state) {
                         if (!stillConnecting(state))
                             loop.quit();
                     });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [socket, &loop] {
        if (socket && stillConnecting(socket->state()))
            socket->abort();
        loop.quit();
    });
    socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    if (stillConnecting(socket->state())) {
        limit.start(loginTimes.connectTimeoutMs);
        loop.exec();
    }
    return socket ? socket->state() : QAbstractSocket::UnconnectedState;
}

} // namespace

FrmConnect::FrmConnect(QWidget *parent) : LoginForm(parent), ui(new Ui_FrmConnect)
{
    ui->setupUi(this);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &FrmConnect::time_out);
    timer->start(kTickMs);
    ui->Bar->setValue(0);
}

FrmConnect::~FrmConnect()
{
    delete timer;
    delete ui;
    if (frmConnect == this)
        frmConnect = nullptr;
}

void FrmConnect::time_out()
{
    ui->Bar->setValue(ui->Bar->value() + 1);
    if (ui->Bar->value() == ui->Bar->maximum())
        timer->stop();
}

void FrmConnect::on_BCancel_clicked() { close(); }

void FrmConnect::closeEvent(QCloseEvent *event)
{
    timer->stop();
    event->accept();
    if (sck && sck->socket()->state() == QAbstractSocket::ConnectedState) {
        showWaitingForm();
        return;
    }
    // Closing aborts a connection still under way.
    CloseSocket();
    showLoginWindow();
}

void showConnectingForm()
{
    delete frmConnect;
    frmConnect = new FrmConnect(nullptr);
    CenterWidget(frmConnect);
    frmConnect->show();
}

bool connectForLogin(const QString &host, int port)
{
    const int attempt = ++connectAttempts;
    const quint16 validPort = port >= 0 && port <= 65535 ? quint16(port) : 0;
    const QAbstractSocket::SocketState state = waitForConnection(host, validPort);
    if (attempt != connectAttempts)
        return false;
    // The forms are looked up again: they may have been replaced meanwhile.
    if (state == QAbstractSocket::ConnectedState) {
        showWaitingForm();
        if (frmConnect)
            frmConnect->close();
        return true;
    }
    if (state == QAbstractSocket::UnconnectedState) {
        CloseSocket();
        if (frmConnect && frmConnect->isVisible()) {
            frmConnect->close();
            MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgNoConnect()),
                   QMessageBox::Warning, QMessageBox::Ok);
        }
    }
    return false;
}
