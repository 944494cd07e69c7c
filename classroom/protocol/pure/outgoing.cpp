#include "protocol/pure/outgoing.h"

#include "protocol/pure/packet.h"

namespace outgoing {

const QString kGuestCredential = QStringLiteral("سمرل");
const QString kOsName = QStringLiteral("MacOS");

const std::array<const char *, kPermissionKeyCount> kPermissionKeys = {
    "bat",          "zowar",          "new_room",          "edit_room",
    "del_room",     "new_group",      "edit_group",        "del_group",
    "new_admin",    "del_admin",      "edit_admin",        "new_co_admin",
    "del_co_admin", "edit_co_admin",  "visible_room",      "info_users",
    "modife_users", "ban_users",      "bannes_users",      "close_server",
    "pause_server", "start_server",   "msg_system",        "show_pouvoirs_users",
    "new_pouvoirs", "del_pouvoirs",   "edit_pouvoirs",     "visible_co_admin",
    "super_co_admin"};

namespace {

QByteArray cp(qint16 code, const char *name, const QString &body)
{
    return buildPacket(code, QByteArray(name), body, BodyEncoding::Cp1256);
}

QByteArray u8(qint16 code, const char *name, const QString &body)
{
    return buildPacket(code, QByteArray(name), body, BodyEncoding::Utf8);
}

QByteArray empty(qint16 code, const char *name)
{
    return buildPacket(code, QByteArray(name), QByteArray());
}

const QByteArray kBlankName(kNameSize, ' ');

QString rid(int roomId) { return QString::number(roomId); }

QString roomRecord(const QString &leading, const RoomFields &r)
{
    const QChar bar('|');
    return leading + QLatin1String(":::|") + r.groupId + bar + r.name + bar + r.owner + bar
           + r.maximum + bar + Entxt(r.banner) + QLatin1String("|1|") + r.password + bar
           + r.password2;
}

} // namespace

QString boldHtml(QString html)
{
    return html.replace(QLatin1String("font-weight:600;"), QLatin1String("font-weight:bold;"));
}

QByteArray directoryVisitor() { return u8(-3, "zaire", kOsName); }

QByteArray directoryMember() { return empty(-3, "3odaw"); }

QByteArray memberLogin(const QString &user, const QString &password)
{
    const QString body = QLatin1String("nickname:") + user + QLatin1String("|Password:")
                         + password + QLatin1String("|stat:1|Os:") + kOsName;
    return buildPacket(1, kBlankName, body, BodyEncoding::Cp1256);
}

QByteArray visitorLogin()
{
    const QString body = QLatin1String("nickname:") + kGuestCredential
                         + QLatin1String("|Password:") + kGuestCredential
                         + QLatin1String("|stat:1|Os:") + kOsName;
    return buildPacket(-2, kBlankName, body, BodyEncoding::Cp1256);
}

QByteArray keepAlive() { return empty(45, "test"); }

QByteArray blockContact(const QString &nickname) { return cp(2, "block", nickname); }
QByteArray unblockContact(const QString &nickname) { return cp(2, "unblock", nickname); }
QByteArray deleteContact(const QString &nickname) { return cp(3, "Del", nickname); }
QByteArray addContact(const QString &nickname) { return cp(3, "Add", nickname); }
QByteArray searchUsers(const QString &text) { return cp(3, "Rechercher", text); }
QByteArray searchUsersAdmin(const QString &text) { return cp(3, "RechercherCo", text); }

QByteArray privateMessage(const QString &peer, const QString &html)
{
    return cp(4, "pm", Entxt(peer) + QLatin1Char('|') + Entxt(boldHtml(html)));
}

QByteArray groupList() { return empty(5, "Group"); }
QByteArray groupListAdmin() { return empty(5, "GroupCoA"); }
QByteArray groupListUsers() { return empty(5, "GroupCoU"); }

QByteArray roomList(const QString &groupId, const QString &groupName)
{
    return cp(5, "Rooms", groupId + QLatin1Char(':') + groupName);
}

QByteArray roomListAdmin(const QString &groupId, const QString &groupName)
{
    return cp(5, "RoomsCoA", groupId + QLatin1Char(':') + groupName);
}

QByteArray roomListUsers(const QString &groupId, const QString &groupName)
{
    return cp(5, "RoomsCoU", groupId + QLatin1Char(':') + groupName);
}

QByteArray enterRoom(const QString &roomId, const QString &adminPassword,
                     const QString &roomPassword)
{
    return cp(6, "entre", roomId + QLatin1String("|pwd_admin:") + adminPassword
                              + QLatin1String("|pwd_lock:") + roomPassword);
}

QByteArray leaveRoom(int roomId) { return u8(6, "sorte", rid(roomId)); }

QByteArray roomText(const QString &me, int roomId, const QString &html)
{
    return cp(7, "all", Entxt(me) + QLatin1Char('|') + rid(roomId) + QLatin1Char('|')
                            + Entxt(boldHtml(html)));
}

QByteArray whisper(const QString &me, const QString &nickname, int roomId, const QString &text)
{
    return cp(7, "wisbar", me + QLatin1Char('|') + nickname + QLatin1Char('|') + rid(roomId)
                               + QLatin1Char('|') + Entxt(text));
}

QByteArray microphone(int roomId, bool on) { return cp(8, on ? "mic" : "mic-no", rid(roomId)); }

QByteArray raiseHand(int roomId, bool on) { return cp(8, on ? "man" : "man-no", rid(roomId)); }

QByteArray live(int roomId, bool on, bool video)
{
    return u8(8, on ? "Mobachir" : "Mobachir-no",
              rid(roomId) + QLatin1String(video ? "|video" : "|audio"));
}

QByteArray blackboard(int roomId, bool on)
{
    return u8(8, on ? "sabora" : "sabora-no", rid(roomId) + QLatin1String("|null"));
}

QByteArray userAction(UserAction action, int roomId, const QString &nickname)
{
    static const char *const names[] = {"Reddot", "UnReddot", "ettMic", "ettNoMic"};
    const QString nick = nickname.startsWith(QLatin1Char('@')) ? nickname.mid(1) : nickname;
    return cp(8, names[int(action)], rid(roomId) + QLatin1Char('|') + nick);
}

QByteArray newGroup(const QString &name)
{
    return cp(11, "NewGroup", QLatin1String("0:") + name + QLatin1String(":0"));
}

QByteArray editGroup(const QString &groupId, const QString &name)
{
    return cp(11, "EditGroup", groupId + QLatin1Char(':') + name + QLatin1String(":0"));
}

QByteArray deleteGroup(const QString &groupId, const QString &name)
{
    return cp(11, "DelGroup", groupId + QLatin1Char(':') + name);
}

QByteArray newRoom(const RoomFields &room)
{
    return cp(12, "New Room", roomRecord(QStringLiteral("0"), room));
}

QByteArray editRoom(const QString &roomId, const RoomFields &room)
{
    return cp(12, "Edit Room", roomRecord(roomId, room));
}

QByteArray deleteRoom(const QString &roomId)
{
    return cp(12, "Del Room", roomId + QLatin1Char(':'));
}

QByteArray moveRoom(const QString &roomId, const QString &groupId)
{
    return cp(12, "Move Room", roomId + QLatin1String("::") + groupId);
}

QByteArray listAdmins(const QString &roomId) { return u8(13, "ListAdmin", roomId); }

QByteArray addRoomAdmin(const QString &roomId, const QString &nickname)
{
    return cp(14, "AddUsrAdmin", roomId + QLatin1Char('|') + nickname);
}

QByteArray addAdmin(const QString &nickname) { return cp(14, "AddUsrAdminCo", nickname); }

QByteArray deleteRoomAdmin(const QString &roomId, const QString &nickname)
{
    return cp(15, "DelUsrAdmin", roomId + QLatin1Char('|') + nickname);
}

QByteArray deleteAdmin(const QString &nickname) { return cp(15, "DelUsrAdminCo", nickname); }

QByteArray permissionSets() { return empty(25, "Permissions"); }

QByteArray savePermissions(const QString &nickname,
                           const std::array<bool, kPermissionKeyCount> &values)
{
    QString body = nickname + QLatin1String("::");
    for (int i = 0; i < kPermissionKeyCount; ++i) {
        if (i > 0)
            body += QLatin1Char('|');
        body += QLatin1String(kPermissionKeys[size_t(i)]) + QLatin1Char(':')
                + QLatin1Char(values[size_t(i)] ? '1' : '0');
    }
    return cp(26, "SavePermissions", body);
}

} // namespace outgoing
