// Private-message bodies (code 7 "pm") parse any text; the text made for
// CP-1256 always survives the code page; the queue of own messages never
// hands out an answer twice or one that was never sent.
#include "protocol/pure/packet.h"
#include "protocol/pure/privatemessages.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString body = decodeCp1256(bytes);
    IncomingMessage message;
    if (parseIncomingMessage(body, &message)) {
        if (message.sender.isEmpty() || !body.contains(QLatin1Char('|')))
            __builtin_trap();
    }

    const QString html = htmlForCp1256(QString::fromUtf8(bytes));
    if (decodeCp1256(encodeCp1256(html)) != html)
        __builtin_trap();

    // Each of the first bytes is a step: a send to one of four peers, or an
    // answer. A conversation waits on a handful of messages, not on a body's
    // worth of them.
    PendingMessages pending;
    QVector<bool> answered;
    for (int i = 0; i < bytes.size() && i < 1024; ++i) {
        const uchar b = uchar(bytes.at(i));
        const QString peer = QString::number(b & 3);
        if (b & 0x80) {
            PendingMessages::Entry e;
            if (pending.answer((b & 4) ? QString() : peer, b & 8, &e)) {
                if (e.line < 0 || e.line >= answered.size() || answered.at(e.line))
                    __builtin_trap();
                answered[e.line] = true;
            }
        } else {
            pending.sent(peer, quint64(b), answered.size());
            answered.append(false);
        }
    }
    if (pending.size() != answered.count(false))
        __builtin_trap();
    return 0;
}
