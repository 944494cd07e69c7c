#include "protocol/pure/ownpermissions.h"

#include "protocol/pure/fields.h"

const std::array<const char *, kOwnPermissionCount> kOwnPermissionKeys = {
    "bat",          "zowar",           "create_room",     "edit_room",
    "delete_room",  "create_group",    "edit_group",      "delete_group",
    "create_admin", "delete_admin",    "edit_admin",      "create_co_admin",
    "delete_co_admin", "edit_co_admin", "visible_room",   "info_users",
    "modife_users", "ban_users",       "bannes_users",    "close_server",
    "pause_server", "start_server",    "msg_system",      "show_pouvoirs_users",
    "create_pouvoirs", "delete_pouvoirs", "edit_pouvoirs", "visible_co_admin",
    "super_co_admin"};

OwnPermissions parseOwnPermissions(const QString &body)
{
    OwnPermissions out;
    out.values.fill(-1);
    const Fields records(body, QStringLiteral("|"));
    for (int i = 0; i < records.count(); ++i) {
        const Fields pair = records.split(i, QStringLiteral(":"));
        if (pair.count() < 2)
            continue;
        const QString key = pair.text(0);
        for (int k = 0; k < kOwnPermissionCount; ++k) {
            if (key == QLatin1String(kOwnPermissionKeys[size_t(k)])) {
                out.values[size_t(k)] = pair.number(1) != 0 ? 1 : 0;
                out.anyKey = true;
                break;
            }
        }
    }
    return out;
}
