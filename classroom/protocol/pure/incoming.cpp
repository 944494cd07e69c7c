#include "protocol/pure/incoming.h"

#include <cstring>

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

namespace {

// Names repeat from packet to packet: the last few are kept decoded.
QString cachedName(const char *header)
{
    struct Entry
    {
        char bytes[kNameSize];
        QString name;
    };
    constexpr int kEntries = 16;
    thread_local Entry entries[kEntries];
    thread_local int used = 0;
    thread_local int next = 0;
    const char *bytes = header + 14;
    for (int i = 0; i < used; ++i) {
        if (std::memcmp(entries[i].bytes, bytes, kNameSize) == 0)
            return entries[i].name;
    }
    Entry &e = entries[next];
    next = (next + 1) % kEntries;
    used = qMax(used, next == 0 ? kEntries : next);
    std::memcpy(e.bytes, bytes, kNameSize);
    e.name = headerName(header);
    return e.name;
}

} // namespace

IncomingCommand decodeCommand(const PacketView &packet)
{
    IncomingCommand c;
    c.code = packet.code;
    c.name = cachedName(packet.header);
    c.body = decodeCp1256(packet.body, packet.length);
    // Only the byte 0 reads as NUL.
    const void *nul = packet.length > 0 ? std::memchr(packet.body, 0, size_t(packet.length))
                                        : nullptr;
    c.text = nul ? c.body.left(int(static_cast<const char *>(nul) - packet.body)) : c.body;
    return c;
}

IncomingCommand decodeCommand(const QByteArray &header, const QByteArray &body)
{
    if (header.size() < kHeaderSize)
        return IncomingCommand();
    const PacketView packet{header.constData(), body.constData(), headerCode(header.constData()),
                            body.size()};
    return decodeCommand(packet);
}
