#include "protocol/pure/incoming.h"

#include "protocol/pure/packet.h"

bool isDispatchedCode(qint16 code)
{
    switch (code) {
    case -6: case -5: case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8:
    case 9: case 10: case 11: case 12: case 13: case 16: case 18: case 19: case 20:
    case 21: case 22: case 23: case 24: case 27: case 28: case 45:
        return true;
    default:
        return false;
    }
}

QString textBeforeNul(const QByteArray &utf8)
{
    const int nul = utf8.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? utf8 : utf8.left(nul));
}

IncomingCommand decodeCommand(const QByteArray &header, const QByteArray &body)
{
    const PacketHeader h = parseHeader(header);
    IncomingCommand c;
    c.code = h.code;
    c.name = h.name;
    c.bytes = decodeCp1256(body).toUtf8();
    c.text = textBeforeNul(c.bytes);
    return c;
}
