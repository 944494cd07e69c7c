#include "protocol/admin.h"

#include "admin/frm_adrm.h"
#include "admin/frm_adus.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/pure/ownpermissions.h"
#include "protocol/state.h"
#include "protocol/wsk.h"

void PermissionsUSR(const QString &body)
{
    const OwnPermissions received = parseOwnPermissions(body);
    bool *const *flags = permissionFlags();
    bool anyAdmin = false;
    for (int i = 0; i < kPermissionCount; ++i) {
        const int value = received.values[size_t(i)];
        const bool kept = i == kOwnBat || i == kOwnZowar;
        if (value >= 0)
            *flags[i] = value != 0;
        else if (!kept)
            *flags[i] = false;
        if (i != kOwnBat && *flags[i])
            anyAdmin = true;
    }
    if (!frmusr)
        return;
    frmusr->SetAdmin(anyAdmin);
    frmusr->SetBat(bat);
}

void ListGroupRoomsAdmin(const QString &name, const QString &body)
{
    if (!frmadrm)
        return;
    if (name == QLatin1String("Group"))
        frmadrm->ListGroup(body);
    else if (name == QLatin1String("Rooms"))
        frmadrm->ListRooms(body);
}

void EditGroupResult(const QString &name)
{
    if (frmadrm)
        frmadrm->EditGroup(name.trimmed());
}

void EditRoomsResult(const QString &name)
{
    if (frmadrm)
        frmadrm->EditRooms(name.trimmed());
}

void ShowMsgSystem(const QString &name)
{
    if (name != QLatin1String("no_admin"))
        return;
    MsgBox(GeTranslate(MyMessage::Getmsg()), GeTranslate(MyMessage::GeErrNoAdminSystem()),
           QMessageBox::Warning, QMessageBox::Ok);
}

void ListGroupRooms2(const QString &name, const QString &body, int target)
{
    if (target != 1 || !frmadus)
        return;
    if (name == QLatin1String("Group"))
        frmadus->ListGroup(body);
    else if (name == QLatin1String("Rooms"))
        frmadus->ListRooms(body);
}

void ListAdmin(const QString &name, const QString &body)
{
    if (frmadus && name.trimmed() == QLatin1String("ListAdmin"))
        frmadus->ListAdmin(body);
}

void AddDel_Admin(const QString &name, const QString &body)
{
    if (name == QLatin1String("AddUsrAdmin") || name == QLatin1String("DelUsrAdmin")) {
        if (!frmadus) {
            SendPacket(outgoing::listAdmins(body));
            return;
        }
        // The room on screen, which the user may have left for another one
        // since the change was asked for.
        frmadus->clear_moshrif();
        const QString room = frmadus->currentRoomId();
        if (!room.isEmpty())
            SendPacket(outgoing::listAdmins(room));
    } else if (name == QLatin1String("AddUsrAdminCo") || name == QLatin1String("DelUsrAdminCo")) {
        SendPacket(outgoing::permissionSets());
    }
}

void GetPermissions(const QString &name, const QString &body)
{
    if (!frmadus)
        return;
    if (name == QLatin1String("Permissions"))
        frmadus->PermissionsUsr(body, true);
    else if (name == QLatin1String("no-Permissions"))
        frmadus->PermissionsUsr(QStringLiteral("no-data"), false);
}
