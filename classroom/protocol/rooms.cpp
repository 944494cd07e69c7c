#include "protocol/rooms.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/admin.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/rooms.h"
#include "protocol/state.h"
#include "rooms/frmgroup.h"
#include "rooms/frmroom.h"
#include "rooms/frmwait2.h"

#include <QApplication>
#include <QPointer>

namespace {

QString ownNick() { return frmusr ? frmusr->getUSER() : QString(); }

FrmRoom *roomOf(int id)
{
    const int i = FindRoom(id);
    return i < 0 ? nullptr : frmRooms.at(i);
}

QString roomTitle(const QString &name) { return name + QStringLiteral("  _ ") + ownNick(); }

void enterRoom(const RoomEntry &entry)
{
    retireWindow(frmgrup); // it may be inside a prompt of its own
    if (FindRoom(entry.id) < 0) {
        auto *made = new FrmRoom(nullptr, entry.id);
        made->setName(entry.name);
        fitToWindowArea(made);
        placeAmong(made, frmRooms);
        frmRooms.append(made);
    }
    // Found again: a window may close while a box of its construction is open.
    QPointer<FrmRoom> room = roomOf(entry.id);
    if (hooks::retired(room))
        return;
    room->show();
    if (frmwait2) {
        frmwait2->quiet = true;
        frmwait2->close();
    }
    if (hooks::retired(room))
        return;
    room->ClearItem();
    room->ClearText();
    room->ChangeTitre(QString(), QString());
    if (hooks::retired(room))
        return;
    room->setVisibleSabora(entry.sabora);
    room->setVisibleFlash(entry.flash);
    room->setWindowTitle(roomTitle(entry.name));
    room->ChangeTitre(entry.banner, entry.owner);
    if (hooks::retired(room))
        return;
    room->handUp = false;
    room->micOn = false;
    room->noMic = false;

    const QString me = ownNick();
    QStringList speakers, hands;
    for (const RoomUser &user : entry.users) {
        if (user.nick == me) {
            room->red = user.red;
            // The own buttons follow the server's view of the own row.
            room->micOn = user.mic;
            room->handUp = user.hand;
            room->setAdmin(user.admin);
        }
        if (user.mic)
            speakers << user.nick;
        if (user.hand)
            hands << user.nick;
        room->AddItem(user.nick, user.type, user.admin);
        if (user.cam)
            room->CamItem(user.nick, true);
        if (!user.mic && !user.hand) {
            if (user.red)
                room->ChangeItemImage(user.nick, QStringLiteral("red"));
            else if (user.micGranted)
                room->ChangeItemImage(user.nick, QStringLiteral("mic-n"));
        }
    }
    for (const QString &nick : speakers)
        room->ChangeItemImage(nick, QStringLiteral("mic"));
    for (const QString &nick : hands)
        room->ChangeItemImage(nick, QStringLiteral("man"));
    // The own microphone may have changed with the refresh: the stream
    // follows it at once, as after a state change.
    if (room)
        room->statActiveWindow();
}

void userJoined(const JoinedUser &user)
{
    FrmRoom *room = roomOf(user.roomId);
    if (!room)
        return;
    room->AddItem(user.nick, user.type, user.admin);
    const bool own = user.nick == ownNick();
    if (own) {
        room->handUp = false;
        room->isAdmin = user.admin;
        room->micOn = false;
        room->red = user.red;
    }
    if (user.micGranted)
        room->ChangeItemImage(user.nick, QStringLiteral("mic-n"));
    if (user.red)
        room->ChangeItemImage(user.nick, QStringLiteral("red"));
    // A stream still sent for the cleared microphone stops.
    if (own)
        room->statActiveWindow();
}

} // namespace

void ListGroupRooms(const QString &name, const QString &body, int mode)
{
    const bool groups = name == QLatin1String("Group");
    if (!groups && name != QLatin1String("Rooms"))
        return;
    if (mode == 1) {
        ListGroupRoomsAdmin(name, body);
        return;
    }
    if (mode != 0)
        return;
    if (groups) {
        if (frmgrup)
            frmgrup->close();
        auto *chooser = new FrmGroup(nullptr);
        frmgrup = chooser;
        CenterWidget(chooser);
        chooser->show();
        chooser->ClearCombo();
        chooser->groupIds.clear();
        for (const GroupItem &group : parseGroupList(body)) {
            // The id first: adding the first item selects it, which asks for
            // its rooms at once.
            chooser->groupIds.append(group.id);
            chooser->AddCombo(group.name);
        }
        return;
    }
    if (!frmgrup)
        return;
    frmgrup->ClearList();
    frmgrup->AddList(parseRoomList(body));
}

void ErrorEntre(const QString &name, const QString &)
{
    const char *key = nullptr;
    if (name == QLatin1String("pwd_lock"))
        key = MyMessage::GeErrPassLogin();
    else if (name == QLatin1String("pwd_admin"))
        key = MyMessage::GeErrPassAdmin();
    else if (name == QLatin1String("non_admin"))
        key = MyMessage::GeErrNoAdmin();
    else if (name == QLatin1String("nozowar"))
        key = MyMessage::GetMsgzowarRoom();
    if (!key)
        return;
    if (frmwait2) {
        frmwait2->quiet = false;
        frmwait2->close();
    }
    MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(key), QMessageBox::Warning,
           QMessageBox::Ok);
}

void Lst_user_rooms(const QString &name, const QString &body)
{
    if (name == QLatin1String("Lst_room")) {
        if (const std::optional<RoomEntry> entry = parseRoomEntry(body))
            enterRoom(*entry);
    } else if (name == QLatin1String("Lst_user")) {
        if (const std::optional<JoinedUser> user = parseJoinedUser(body))
            userJoined(*user);
    }
}

void Remove_user(const QString &body)
{
    const std::optional<Departure> departure = parseDeparture(body);
    if (!departure)
        return;
    if (FrmRoom *room = roomOf(departure->roomId))
        room->RemoveItem(departure->nick);
}

void GettxtRoom(const QString &name, const QString &body)
{
    const QString me = ownNick();
    if (name == QLatin1String("all")) {
        const std::optional<RoomLine> line = parseRoomLine(body);
        if (!line)
            return;
        QPointer<FrmRoom> room = roomOf(line->roomId);
        if (!room)
            return;
        if (line->sender == me)
            room->updatetxt();
        else
            room->DisplayTxt(line->text, line->sender, 1);
        if (!hooks::retired(room))
            QApplication::alert(room, 0);
    } else if (name == QLatin1String("wisbar")) {
        const std::optional<Whisper> whisper = parseWhisper(body);
        if (!whisper)
            return;
        QPointer<FrmRoom> room = roomOf(whisper->roomId);
        if (!room)
            return;
        if (whisper->to == me) {
            room->DisplayTxt(whisper->text, whisper->from, 2);
            if (!hooks::retired(room))
                QApplication::alert(room, 0);
        }
        if (whisper->from == me && !hooks::retired(room)) {
            room->DisplayTxt(whisper->text, whisper->from, 3);
            if (!hooks::retired(room))
                QApplication::alert(room, 0);
        }
    } else if (name == QLatin1String("ChangeTitle")) {
        const std::optional<RoomTitle> title = parseRoomTitle(body);
        if (!title)
            return;
        FrmRoom *room = roomOf(title->roomId);
        if (!room)
            return;
        room->setWindowTitle(roomTitle(title->name));
        room->ChangeTitre(title->banner, title->owner);
    }
}

void ChangeUSERoom(const QString &name, const QString &body)
{
    const std::optional<StateChange> change = parseStateChange(name, body, ownNick());
    if (!change)
        return;
    QPointer<FrmRoom> room = roomOf(change->roomId);
    if (!room)
        return;
    switch (change->kind) {
    case StateChange::Live:
        room->setVisibleFlash(change->on);
        return;
    case StateChange::Board:
        room->setVisibleSabora(change->on);
        return;
    case StateChange::Camera:
        room->CamItem(change->nick, change->on);
        return;
    case StateChange::User:
        break;
    }
    for (const QString &word : change->words)
        room->ChangeItemImage(change->nick, word);
    if (!change->own)
        return;
    if (change->handUp)
        room->handUp = *change->handUp;
    if (change->micOn)
        room->micOn = *change->micOn;
    if (change->red)
        room->red = *change->red;
    if (change->noMic)
        room->noMic = *change->noMic;
    if (change->allRooms) {
        QList<QPointer<FrmRoom>> rooms;
        for (FrmRoom *each : frmRooms)
            rooms.append(each);
        for (const QPointer<FrmRoom> &each : rooms)
            if (!hooks::retired(each))
                each->statActiveWindow();
    } else if (change->audio) {
        room->statActiveWindow();
    }
}
