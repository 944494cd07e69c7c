// The private conversation with one other user, the peer: a chat control
// that shows the conversation, sends what the user types as code 4 "pm" and
// shows what the peer sends. One window per peer, held in frmPMs.
#pragma once

#include <QDialog>
#include <QString>

class QCloseEvent;
class QKeyEvent;

namespace Ui {
class FrmPM;
}

class FrmPM : public QDialog
{
    Q_OBJECT
public:
    explicit FrmPM(QWidget *parent = nullptr);
    ~FrmPM() override;

    // The peer: named in the window title and the page header.
    void setNick(const QString &nick);
    QString getNick() const;

    // A message from the peer, filtered, appended as the peer's line.
    void insertxt(const QString &txt);
    // The server's answer to the own line with this identity: the time when
    // it was delivered, "not delivered" otherwise. False when that line is
    // not pending here.
    bool updatetxt(int line, bool delivered);
    void setFocustxt();

    // Identity of the window in the answers it waits for; never reused.
    quint64 serial() const { return m_serial; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_widget_Sendtxt(QString txt);

private:
    Ui::FrmPM *ui;
    QString m_nick;
    quint64 m_serial;
};

// Index in frmPMs of the first window whose peer is nick (exact,
// case-sensitive), or -1.
int FindPM(const QString &nick);

// The conversation with nick, as the menus open it: the window of nick
// brought forward, or a new one named nick, appended to frmPMs and shown.
FrmPM *openPM(const QString &nick);

// The server answers every own message once, in the order they were sent.
// Takes the oldest message still waiting to peer (or, with anyPeer, the
// oldest of all when none is to peer) and shows it delivered or not in its
// window. Returns that window, or null when it is closed or nothing waited.
FrmPM *answerPM(const QString &peer, bool anyPeer, bool delivered);
// Number of own messages still waiting for an answer.
int waitingPMs();
