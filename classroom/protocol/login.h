// Handlers of the login handshake and the keep-alive.
#pragma once

#include <QByteArray>
#include <QString>

// Code -6: the directory server names the chat server (body
// "<a>|<b>|<host>:<port>"); the client moves there and sends the member's
// credentials, or the guest's when name is "zaire". An invalid body, or a
// member answer to a visitor login or without a member form, is ignored.
void sVERSION(const QString &body, const QString &name);
// Code -5: the login is refused for the reason in name; "rec" (logged in
// elsewhere) ends the program after its message.
void USER_PWD(const QString &name);
// Code 1: the login is accepted; a new main window shows the identity of
// the body. An invalid body is ignored.
void ShowFrmUser(const QByteArray &body);
// Code 45: answers "test" and notes that the server is alive.
void SendPackettest(const QByteArray &body);
