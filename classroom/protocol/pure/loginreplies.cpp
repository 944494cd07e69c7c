#include "protocol/pure/loginreplies.h"

#include "protocol/pure/fields.h"

namespace {
const QString kBar = QStringLiteral("|");
const QString kColon = QStringLiteral(":");
constexpr int kIdentityFields = 5;
} // namespace

bool parseRedirect(const QString &body, ChatServer *out)
{
    const Fields fields(body, kBar);
    if (fields.count() < 3)
        return false;
    const QString target = fields.text(2);
    ChatServer server;
    if (target.isEmpty()) {
        server.directory = true;
    } else {
        if (!target.contains(QLatin1Char(':')))
            return false;
        const Fields hostPort(target, kColon, 2);
        server.host = hostPort.text(0);
        server.port = hostPort.number(1);
    }
    *out = server;
    return true;
}

bool parseLoginIdentity(const QString &body, LoginIdentity *out)
{
    const Fields fields(body, kBar);
    if (fields.count() < kIdentityFields)
        return false;
    Fields values[kIdentityFields];
    for (int i = 0; i < kIdentityFields; ++i) {
        values[i] = fields.split(i, kColon);
        if (values[i].count() < 2)
            return false;
    }
    LoginIdentity identity;
    identity.nickname = values[0].text(1);
    identity.id = values[1].number(1);
    identity.type = values[2].number(1);
    identity.group = values[3].number(1);
    identity.email = values[4].text(1);
    *out = identity;
    return true;
}
