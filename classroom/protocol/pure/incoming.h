// Decoding of one received packet into what its handler is given.
#pragma once

#include "protocol/pure/packet.h"

#include <QByteArray>
#include <QString>

struct IncomingCommand
{
    qint16 code = 0;
    QString name; // header name, trimmed, CP-1256
    QString body; // the whole body decoded as CP-1256, NULs included
    QString text; // the same up to its first NUL

    // The body re-encoded as UTF-8, whole: what byte handlers take.
    QByteArray bytes() const { return body.toUtf8(); }
};

// True for the codes that have a handler; every other code is dropped.
bool isDispatchedCode(qint16 code);

// UTF-8 bytes as text, up to the first NUL byte (a NUL ends the text).
QString textBeforeNul(const QByteArray &utf8);

// The body is always read as CP-1256, whatever the sender used. The header
// is decoded once, here.
IncomingCommand decodeCommand(const PacketView &packet);
// header: the 46 header bytes; body: the body bytes as received.
IncomingCommand decodeCommand(const QByteArray &header, const QByteArray &body);
