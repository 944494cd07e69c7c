// Room bodies (codes 8 to 13) parse any text within their bounds: every
// field read is one the body holds, and a state change names a room the body
// gave.
#include "protocol/pure/packet.h"
#include "protocol/pure/rooms.h"

#include <cstdint>

namespace {

const char *const kWords[] = {"mobachir", "sabora", "cam", "cam-no", "man",
                              "man-no",   "mic",    "mic-no", "NoMic", "other"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QString word = QLatin1String(kWords[data[0] % 10]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QString body = decodeCp1256(bytes);

    for (const GroupItem &g : parseGroupList(body))
        if (g.name.size() > body.size())
            __builtin_trap();
    for (const RoomItem &r : parseRoomList(body))
        if (r.id.size() + r.name.size() + r.count.size() > body.size())
            __builtin_trap();
    if (const auto entry = parseRoomEntry(body)) {
        if (!body.contains(QLatin1String("||")))
            __builtin_trap();
        for (const RoomUser &u : entry->users)
            if (u.nick.size() > body.size())
                __builtin_trap();
    }
    if (const auto user = parseJoinedUser(body))
        if (user->nick.size() > body.size())
            __builtin_trap();
    if (const auto d = parseDeparture(body))
        if (!body.contains(QLatin1Char('|')))
            __builtin_trap();
    if (const auto line = parseRoomLine(body))
        if (body.count(QLatin1Char('|')) < 2)
            __builtin_trap();
    if (const auto w = parseWhisper(body))
        if (body.count(QLatin1Char('|')) < 3)
            __builtin_trap();
    if (const auto t = parseRoomTitle(body))
        if (body.count(QLatin1Char('|')) < 3)
            __builtin_trap();
    if (const auto c = parseStateChange(word, body, QStringLiteral("me"))) {
        if (word == QLatin1String("other") || body.count(QLatin1Char('|')) < 1)
            __builtin_trap();
        if (c->words.size() > 2 || (!c->own && (c->micOn || c->handUp || c->red)))
            __builtin_trap();
    }
    return 0;
}
