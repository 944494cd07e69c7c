#include "admin/pure/adminlists.h"

#include "protocol/pure/fields.h"
#include "protocol/pure/packet.h"

namespace {

const QString kBar = QStringLiteral("|");
const QString kColon = QStringLiteral(":");

// Calls each(record, fields) for every "|" record of a list body that has
// at least an id and a name; a blank body holds none.
template<typename Each>
void forEachListed(const QString &body, Each each)
{
    if (body.trimmed().isEmpty())
        return;
    const Fields records(body, kBar);
    for (int i = 0; i < records.count(); ++i) {
        const Fields f = records.split(i, kColon);
        if (f.count() >= 2)
            each(records.text(i), f);
    }
}

} // namespace

QVector<IdName> parseIdNameList(const QString &body, bool trim)
{
    QVector<IdName> out;
    forEachListed(body, [&](const QString &, const Fields &f) {
        out.append({trim ? f.trimmed(0) : f.text(0), trim ? f.trimmed(1) : f.text(1)});
    });
    return out;
}

QVector<AdminRoom> parseAdminRooms(const QString &body)
{
    QVector<AdminRoom> out;
    forEachListed(body, [&](const QString &record, const Fields &f) {
        AdminRoom room;
        room.id = f.trimmed(0);
        room.name = f.trimmed(1);
        room.password = f.text(3);
        room.adminPassword = f.text(4);
        room.owner = f.text(5);
        room.maximum = f.text(6);
        room.banner = Detxt(f.text(7));
        room.record = record;
        out << room;
    });
    return out;
}

QStringList parseSupervisors(const QString &body)
{
    QStringList out;
    const Fields parts(body, kBar);
    for (int i = 1; i < parts.count(); ++i)
        out << parts.text(i);
    return out;
}

PermissionSet parsePermissionSet(const QString &list)
{
    PermissionSet set{};
    const Fields pairs(list, kBar);
    for (int i = 0; i < pairs.count(); ++i) {
        const Fields pair = pairs.split(i, kColon);
        if (pair.count() < 2)
            continue;
        const QString key = pair.text(0);
        for (int k = 0; k < outgoing::kPermissionKeyCount; ++k) {
            if (key == QLatin1String(outgoing::kPermissionKeys[size_t(k)])) {
                set[size_t(k)] = pair.number(1) != 0;
                break;
            }
        }
    }
    return set;
}

QVector<AdminRecord> parseAdminRecords(const QString &body)
{
    QVector<AdminRecord> out;
    const Fields records(body, QStringLiteral("||"));
    for (int i = 0; i < records.count(); ++i) {
        const Fields parts = records.split(i, QStringLiteral("::"));
        if (parts.count() < 4)
            continue;
        AdminRecord admin;
        admin.name = parts.text(0);
        admin.record = records.text(i);
        admin.permissions = parsePermissionSet(parts.text(3));
        out << admin;
    }
    return out;
}

void applySavedPermissions(AdminRecord &admin, const PermissionSet &set)
{
    const QString separator = QStringLiteral("::");
    QStringList parts = admin.record.split(separator);
    while (parts.size() < 4)
        parts << QString();
    QStringList pairs;
    for (int k = 0; k < outgoing::kPermissionKeyCount; ++k)
        pairs << QLatin1String(outgoing::kPermissionKeys[size_t(k)]) + kColon
                     + QLatin1Char(set[size_t(k)] ? '1' : '0');
    parts[3] = pairs.join(kBar);
    admin.record = parts.join(separator);
    admin.permissions = set;
}
