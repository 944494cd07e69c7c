// Handlers of the login handshake and the keep-alive.
#pragma once

#include <QByteArray>

// Code 45: answers "test" and notes that the server is alive.
void SendPackettest(const QByteArray &body);
