#include "mainwindow/frmpm.h"

#include "common/hooks.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/frmuser.h"
#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/htmlsanitizer.h"
#include "protocol/helpers.h"
#include "protocol/pure/outgoing.h"
#include "protocol/pure/packet.h"
#include "protocol/pure/privatemessages.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "ui_frmpm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTcpSocket>

namespace {

quint64 lastSerial = 0;

PendingMessages &waiting()
{
    static PendingMessages messages;
    return messages;
}

FrmPM *windowOf(quint64 serial)
{
    const int i = indexOfWindow(frmPMs, serial, &FrmPM::serial);
    return i < 0 ? nullptr : frmPMs.at(i);
}

// Once the connection is gone no answer will come: what still waits was not
// delivered as far as anyone can tell.
void refuseWaiting()
{
    for (const PendingMessages::Entry &e : waiting().takeAll())
        if (FrmPM *w = windowOf(e.window))
            w->updatetxt(e.line, false);
}

void watchConnection()
{
    static QPointer<QTcpSocket> watched;
    if (!sck || watched == sck->socket())
        return;
    watched = sck->socket();
    QObject::connect(watched, &QAbstractSocket::stateChanged, watched,
                     [](QAbstractSocket::SocketState state) {
                         if (state == QAbstractSocket::UnconnectedState)
                             refuseWaiting();
                     });
}

} // namespace

FrmPM::FrmPM(QWidget *parent) : QDialog(parent), ui(new Ui::FrmPM), m_serial(++lastSerial)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint
                   | Qt::WindowCloseButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
}

FrmPM::~FrmPM()
{
    frmPMs.removeAll(this);
    delete ui;
}

void FrmPM::setNick(const QString &nick)
{
    m_nick = nick;
    const QString title = tr("Chat To :") + nick;
    setWindowTitle(title);
    // The caption and the nickname are text, never markup or tokens; the
    // nickname keeps its own direction within the caption's.
    ui->widget->ChangeTitre(plainTitleText(tr("Chat To :")) + isolatedTitleText(nick), QString());
}

QString FrmPM::getNick() const { return m_nick; }

void FrmPM::insertxt(const QString &txt)
{
    ui->widget->insertTxt(m_nick, ui->widget->TestHtm(txt), PeerLine);
}

bool FrmPM::updatetxt(int line, bool delivered)
{
    return delivered ? ui->widget->confirmLine(line) : ui->widget->refuseLine(line);
}

void FrmPM::setFocustxt() { ui->widget->setFocustxt(); }

void FrmPM::on_widget_Sendtxt(QString txt)
{
    const QString message = outgoing::boldHtml(txt);
    const QByteArray packet = outgoing::privateMessage(m_nick, htmlForCp1256(message));
    // A body the server would refuse is not sent at all.
    const bool sent = packet.size() - kHeaderSize <= kMaxBodySize && SendPacket(packet);
    const int line =
        ui->widget->insertTxt(frmusr ? frmusr->getUSER() : QString(), message, OwnLine);
    if (sent) {
        watchConnection();
        waiting().sent(m_nick, m_serial, line);
    } else {
        ui->widget->refuseLine(line);
    }
}

void FrmPM::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmPM::closeEvent(QCloseEvent *event)
{
    // By identity: another window may carry the same nickname.
    frmPMs.removeAll(this);
    event->accept();
    hooks::deleteWhenIdle(this);
}

int FindPM(const QString &nick) { return indexOfWindow(frmPMs, nick, &FrmPM::getNick); }

FrmPM *openPM(const QString &nick)
{
    const int i = FindPM(nick);
    if (i < 0) {
        auto *window = new FrmPM(nullptr);
        window->setNick(nick);
        placeAmong(window, frmPMs);
        frmPMs.append(window);
        window->show();
        return window;
    }
    FrmPM *window = frmPMs.at(i);
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
    return window;
}

FrmPM *answerPM(const QString &peer, bool anyPeer, bool delivered)
{
    PendingMessages::Entry e;
    if (!waiting().answer(peer, anyPeer, &e))
        return nullptr;
    FrmPM *window = windowOf(e.window);
    if (window)
        window->updatetxt(e.line, delivered);
    return window;
}

int waitingPMs() { return waiting().size(); }
