// Classroom packets written out byte by byte for tests: code and length
// little-endian, the marker, the name padded with spaces to 32 bytes, the
// body. Independent of the client's own packet code.
#pragma once

#include <QByteArray>

inline QByteArray wireLE(quint32 value, int width)
{
    QByteArray out;
    for (int i = 0; i < width; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
    return out;
}

// A 46-byte header whose length field says length.
inline QByteArray wireHeader(qint16 code, const QByteArray &name, qint32 length)
{
    return wireLE(quint16(code), 2) + wireLE(quint32(length), 4) + "KW.TOVEN"
           + name.leftJustified(32, ' ');
}

inline QByteArray wirePacket(qint16 code, const QByteArray &name, const QByteArray &body)
{
    return wireHeader(code, name, qint32(body.size())) + body;
}
