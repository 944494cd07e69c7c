// The login reply bodies (codes -6 and 1) parse any text without reading
// past it; a redirect is either to the directory or names a host and port,
// and an accepted identity comes from at least five fields.
#include "protocol/pure/loginreplies.h"
#include "protocol/pure/packet.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString body = decodeCp1256(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    ChatServer server;
    if (parseRedirect(body, &server)) {
        if (body.count(QLatin1Char('|')) < 2)
            __builtin_trap();
        if (server.directory && (!server.host.isEmpty() || server.port != 0))
            __builtin_trap();
        if (!server.directory && !body.contains(QLatin1Char(':')))
            __builtin_trap();
    }
    LoginIdentity identity;
    if (parseLoginIdentity(body, &identity)) {
        if (body.count(QLatin1Char('|')) < 4 || body.count(QLatin1Char(':')) < 5)
            __builtin_trap();
        if (identity.nickname.contains(QLatin1Char('|'))
            || identity.email.contains(QLatin1Char(':')))
            __builtin_trap();
    }
    return 0;
}
