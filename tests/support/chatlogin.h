// Logs the classroom client in on the local institute's chat server without
// the login forms: the socket of sck (made when missing) connects straight
// to the chat port and sends the member login. Header only: it needs the
// classroom client's library.
#pragma once

#include "mainwindow/frmuser.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/institute.h"

#include <QString>
#include <QTcpSocket>
#include <QtTest>

// Waits until the contact list that follows an accepted login has been
// handled, then names the main window (when there is one) after the user.
// False when the connection or the list did not come within a minute (a
// busy machine's bound; the wait ends as soon as they come).
inline bool logInToChat(Institute &institute, const QString &user, const QString &password)
{
    if (!sck)
        sck = new Wsk;
    sck->socket()->abort();
    sck->socket()->connectToHost(QStringLiteral("127.0.0.1"),
                                 institute.port(QStringLiteral("chat")));
    if (!QTest::qWaitFor([] { return sck->socket()->state() == QAbstractSocket::ConnectedState; },
                         60000))
        return false;
    bool listed = false;
    setDispatchObserver([&listed](const IncomingCommand &command) {
        if (command.code == 2)
            listed = true;
    });
    SendPacket(outgoing::memberLogin(user, password));
    const bool ok = QTest::qWaitFor([&listed] { return listed; }, 60000);
    setDispatchObserver({});
    if (frmusr)
        frmusr->setUSER(user);
    return ok;
}
