// Handler of the private-message command: messages from other users and the
// server's answers to the own ones. It sends nothing.
#pragma once

#include <QString>

// Code 7: "pm" a message "<escaped sender>|<escaped text>"; "ok" (delivered),
// "block" (the peer blocked us), "non" (the peer is offline) and "lock" (the
// peer takes messages from its own contacts only) answer an own message.
void PMUsr(const QString &name, const QString &body);
