// The framing fed arbitrary bytes in arbitrary pieces, flat and with nested
// reads from inside the sink, and the field reader over every body.
//
// Input: byte 0 seeds the piece sizes and the nesting; the rest is the stream.
#include "protocol/pure/fields.h"
#include "protocol/pure/framing.h"
#include "protocol/pure/incoming.h"
#include "protocol/pure/packet.h"

#include <QList>
#include <QStringList>

#include <cstdint>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

struct Lcg
{
    uint32_t state;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

void readFields(const QString &text)
{
    static const char *const separators[] = {"|", ":", "::", "<>", "||", "<|||>", "<||>", ""};
    for (const char *sep : separators) {
        const QString separator = QString::fromLatin1(sep);
        const Fields f(text, separator);
        check(f.count() >= 1);
        QStringList parts;
        for (int i = -1; i <= f.count() + 1; ++i) {
            const QString part = f.text(i);
            if (f.has(i))
                parts << part;
            else
                check(part.isEmpty() && f.number(i) == 0 && f.split(i, ":").count() == 0);
            f.number(i);
            f.trimmed(i);
            f.split(i, QStringLiteral(":"), 2).text(1);
        }
        check(parts.join(separator) == text);
        check(f.rest(0) == text);
        const Fields two(text, separator, 2);
        check(two.count() <= 2 && two.text(0) + (two.count() == 2 ? separator : QString())
                                          + two.text(1) == text);
    }
}

struct Run
{
    QList<QByteArray> packets;
    bool faulted = false;
    int pending = 0;
};

void checkPacket(const PacketView &packet)
{
    check(packet.body == packet.header + kHeaderSize);
    check(std::memcmp(packet.header + 6, "KW.TOVEN", 8) == 0);
    check(cti(packet.headerBytes().mid(2, 4)) == packet.length);
    check(cts(packet.headerBytes()) == packet.code);
    check(packet.length >= 0 && packet.length <= kMaxBodySize);
}

Run runFlat(const QList<QByteArray> &pieces)
{
    Run run;
    PacketReassembler framing;
    framing.setSink([&](const PacketView &packet) {
        checkPacket(packet);
        run.packets << packet.headerBytes() + packet.bodyBytes();
    });
    framing.setFaultHandler([&](PacketReassembler::Fault) { run.faulted = true; });
    for (const QByteArray &piece : pieces) {
        if (run.faulted)
            break;
        framing.feed(piece);
    }
    run.pending = framing.pendingSize();
    return run;
}

Run runNested(const QList<QByteArray> &pieces, Lcg rng)
{
    Run run;
    PacketReassembler framing;
    int next = 0;
    auto feedNext = [&] {
        if (next < pieces.size() && !run.faulted)
            framing.feed(pieces.at(next++));
    };
    framing.setSink([&](const PacketView &packet) {
        // Kept before a nested read can move the bytes.
        run.packets << packet.headerBytes() + packet.bodyBytes();
        if (rng.next() & 1)
            feedNext();
    });
    framing.setFaultHandler([&](PacketReassembler::Fault) { run.faulted = true; });
    while (next < pieces.size() && !run.faulted)
        feedNext();
    run.pending = framing.pendingSize();
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Lcg rng{data[0]};
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QList<QByteArray> pieces;
    for (int at = 0; at < stream.size();) {
        const int len = 1 + int(rng.next() % 97);
        pieces << stream.mid(at, len);
        at += len;
    }

    const Run flat = runFlat(pieces);
    const Run nested = runNested(pieces, rng);
    check(flat.packets == nested.packets);
    check(flat.faulted == nested.faulted);
    if (!flat.faulted)
        check(flat.pending == nested.pending);

    for (const QByteArray &packet : flat.packets) {
        const IncomingCommand c = decodeCommand(packet.left(kHeaderSize), packet.mid(kHeaderSize));
        check(!c.text.contains(QChar(0)));
        isDispatchedCode(c.code);
        readFields(c.text);
        readFields(c.name);
    }
    return 0;
}
