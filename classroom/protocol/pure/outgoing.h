// Every command the classroom client sends, as whole packets ready for one
// write (SendPacket in protocol/wsk.h). Each builder fixes the code, the
// name, the body layout and the body encoding; callers pass plain values.
//
// Room ids from the room window are ints; ids that the windows keep as text
// (group ids, room ids read from lists) are passed as text and sent as given.
// Only the parts named "escaped" go through Entxt; everything else is sent
// as typed.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace outgoing {

// Fixed guest credential of the visitor login (nickname and password).
extern const QString kGuestCredential;
// System name sent with both logins.
extern const QString kOsName; // "MacOS"

// -- Directory server and login
QByteArray directoryVisitor();                                     // -3 "zaire"
QByteArray directoryMember();                                      // -3 "3odaw"
QByteArray memberLogin(const QString &user, const QString &password); // 1, blank name
QByteArray visitorLogin();                                         // -2, blank name
QByteArray keepAlive();                                            // 45 "test"

// -- Contacts and search
QByteArray blockContact(const QString &nickname);   // 2 "block"
QByteArray unblockContact(const QString &nickname); // 2 "unblock"
QByteArray deleteContact(const QString &nickname);  // 3 "Del"
QByteArray addContact(const QString &nickname);     // 3 "Add"
// The search form sends only texts longer than 2 characters.
QByteArray searchUsers(const QString &text);        // 3 "Rechercher"
QByteArray searchUsersAdmin(const QString &text);   // 3 "RechercherCo"
// A styled paragraph as it is sent: "font-weight:600;" becomes
// "font-weight:bold;" (exact, case-sensitive).
QString boldHtml(QString html);
// Peer and message escaped; "font-weight:600;" becomes "font-weight:bold;".
QByteArray privateMessage(const QString &peer, const QString &html); // 4 "pm"

// -- Group and room lists
QByteArray groupList();                                             // 5 "Group"
QByteArray roomList(const QString &groupId, const QString &groupName); // 5 "Rooms"
QByteArray groupListAdmin();                                        // 5 "GroupCoA"
QByteArray roomListAdmin(const QString &groupId, const QString &groupName); // 5 "RoomsCoA"
QByteArray groupListUsers();                                        // 5 "GroupCoU"
QByteArray roomListUsers(const QString &groupId, const QString &groupName); // 5 "RoomsCoU"

// -- Inside a room
QByteArray enterRoom(const QString &roomId, const QString &adminPassword,
                     const QString &roomPassword);                  // 6 "entre"
QByteArray leaveRoom(int roomId);                                   // 6 "sorte"
// Sender and text escaped; "font-weight:600;" becomes "font-weight:bold;".
QByteArray roomText(const QString &me, int roomId, const QString &html); // 7 "all"
// Only the text is escaped.
QByteArray whisper(const QString &me, const QString &nickname, int roomId,
                   const QString &text);                            // 7 "wisbar"
QByteArray microphone(int roomId, bool on);        // 8 "mic" / "mic-no"
QByteArray raiseHand(int roomId, bool on);         // 8 "man" / "man-no"
QByteArray live(int roomId, bool on, bool video);  // 8 "Mobachir" / "Mobachir-no"
QByteArray blackboard(int roomId, bool on);        // 8 "sabora" / "sabora-no"
enum class UserAction { Reddot, UnReddot, ettMic, ettNoMic };
// One leading "@" of the nickname is dropped.
QByteArray userAction(UserAction action, int roomId, const QString &nickname); // 8

// -- Group administration
QByteArray newGroup(const QString &name);                               // 11 "NewGroup"
QByteArray editGroup(const QString &groupId, const QString &name);      // 11 "EditGroup"
QByteArray deleteGroup(const QString &groupId, const QString &name);    // 11 "DelGroup"

// -- Room administration. The form replaces a maximum of 0 by "200" in its
// field before "New Room" is built; the builders send the fields as given.
struct RoomFields
{
    QString groupId;
    QString name;
    QString owner;
    QString maximum;
    QString banner; // escaped
    QString password;
    QString password2;
};
QByteArray newRoom(const RoomFields &room);                             // 12 "New Room"
QByteArray editRoom(const QString &roomId, const RoomFields &room);     // 12 "Edit Room"
QByteArray deleteRoom(const QString &roomId);                           // 12 "Del Room"
QByteArray moveRoom(const QString &roomId, const QString &groupId);     // 12 "Move Room"

// -- Supervisors and administrators
QByteArray listAdmins(const QString &roomId);                           // 13 "ListAdmin"
QByteArray addRoomAdmin(const QString &roomId, const QString &nickname);    // 14 "AddUsrAdmin"
QByteArray addAdmin(const QString &nickname);                           // 14 "AddUsrAdminCo"
QByteArray deleteRoomAdmin(const QString &roomId, const QString &nickname); // 15 "DelUsrAdmin"
QByteArray deleteAdmin(const QString &nickname);                        // 15 "DelUsrAdminCo"

// -- Permission sets
constexpr int kPermissionKeyCount = 29;
// Wire keys of the permission fields, in their order.
extern const std::array<const char *, kPermissionKeyCount> kPermissionKeys;
QByteArray permissionSets();                                            // 25 "Permissions"
QByteArray savePermissions(const QString &nickname,
                           const std::array<bool, kPermissionKeyCount> &values); // 26

} // namespace outgoing
