// Decoding of one received packet into what its handler is given.
#pragma once

#include <QByteArray>
#include <QString>

struct IncomingCommand
{
    qint16 code = 0;
    QString name;    // header name, trimmed, CP-1256
    QByteArray bytes; // body decoded as CP-1256, re-encoded as UTF-8, whole
    QString text;    // the same up to its first NUL byte
};

// True for the codes that have a handler; every other code is dropped.
bool isDispatchedCode(qint16 code);

// UTF-8 bytes as text, up to the first NUL byte (a NUL ends the text).
QString textBeforeNul(const QByteArray &utf8);

// header: the 46 header bytes; body: the body bytes as received. The body is
// always read as CP-1256, whatever the sender used.
IncomingCommand decodeCommand(const QByteArray &header, const QByteArray &body);
