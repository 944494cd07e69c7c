#include "protocol/pure/rooms.h"

#include "protocol/pure/fields.h"
#include "protocol/pure/packet.h"

namespace {

const QString kBar = QStringLiteral("|");
const QString kColon = QStringLiteral(":");

// The values of a record of "<key>:<value>" fields: the second ":" part of
// each. False when the record has fewer than count fields or one of the
// first count fields has no ":".
bool keyValues(const QString &record, int count, QVector<QString> *values)
{
    const Fields fields(record, kBar);
    if (fields.count() < count)
        return false;
    values->clear();
    values->reserve(count);
    for (int i = 0; i < count; ++i) {
        const Fields pair = fields.split(i, kColon);
        if (pair.count() < 2)
            return false;
        values->append(pair.text(1));
    }
    return true;
}

int toInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

bool flag(const QString &text) { return toInt(text) != 0; }

} // namespace

QVector<GroupItem> parseGroupList(const QString &body)
{
    QVector<GroupItem> groups;
    if (body.isEmpty())
        return groups;
    const Fields items(body, kBar);
    for (int i = 0; i < items.count(); ++i) {
        const Fields item = items.split(i, kColon);
        if (item.count() < 2)
            continue;
        groups.append({item.number(0), item.text(1)});
    }
    return groups;
}

QVector<RoomItem> parseRoomList(const QString &body)
{
    QVector<RoomItem> rooms;
    const Fields items(body, kBar);
    for (int i = 0; i < items.count(); ++i) {
        if (items.text(i).isEmpty())
            break;
        const Fields item = items.split(i, kColon);
        if (item.count() < 4)
            continue;
        rooms.append({item.text(0), item.text(1), item.text(2), item.number(3)});
    }
    return rooms;
}

std::optional<RoomEntry> parseRoomEntry(const QString &body)
{
    const Fields parts(body, QStringLiteral("||"));
    if (parts.count() < 2)
        return std::nullopt;
    QVector<QString> room;
    if (!keyValues(parts.text(0), 10, &room))
        return std::nullopt;
    RoomEntry entry;
    entry.id = toInt(room.at(0));
    entry.name = room.at(1);
    entry.owner = room.at(2);
    entry.banner = Detxt(room.at(3));
    entry.sabora = flag(room.at(4));
    entry.flash = flag(room.at(9));
    const QString list = parts.text(1);
    if (list.isEmpty())
        return entry;
    const Fields records(list, QStringLiteral("<>"));
    QVector<QString> u;
    for (int i = 0; i < records.count(); ++i) {
        if (!keyValues(records.text(i), 8, &u))
            continue;
        RoomUser user;
        user.nick = u.at(0);
        user.admin = flag(u.at(1));
        user.type = toInt(u.at(2));
        user.red = flag(u.at(3));
        user.cam = flag(u.at(4));
        user.mic = flag(u.at(5));
        user.hand = flag(u.at(6));
        user.micGranted = flag(u.at(7));
        entry.users.append(user);
    }
    return entry;
}

std::optional<JoinedUser> parseJoinedUser(const QString &body)
{
    QVector<QString> v;
    if (!keyValues(body, 6, &v))
        return std::nullopt;
    JoinedUser user;
    user.roomId = toInt(v.at(0));
    user.nick = v.at(1);
    user.type = toInt(v.at(2));
    user.admin = flag(v.at(3));
    user.micGranted = flag(v.at(4));
    user.red = flag(v.at(5));
    return user;
}

std::optional<Departure> parseDeparture(const QString &body)
{
    const Fields f(body, kBar);
    if (f.count() < 2)
        return std::nullopt;
    return Departure{f.text(0), f.number(1)};
}

std::optional<RoomLine> parseRoomLine(const QString &body)
{
    const Fields f(body, kBar, 3);
    if (f.count() < 3)
        return std::nullopt;
    return RoomLine{Detxt(f.text(0)), f.number(1), Detxt(f.text(2))};
}

std::optional<Whisper> parseWhisper(const QString &body)
{
    const Fields f(body, kBar, 4);
    if (f.count() < 4)
        return std::nullopt;
    return Whisper{Detxt(f.text(0)), Detxt(f.text(1)), f.number(2), Detxt(f.text(3))};
}

std::optional<RoomTitle> parseRoomTitle(const QString &body)
{
    const Fields f(body, kBar);
    if (f.count() < 4)
        return std::nullopt;
    return RoomTitle{f.number(0), f.text(1), Detxt(f.text(2)), Detxt(f.text(3))};
}

std::optional<StateChange> parseStateChange(const QString &word, const QString &body,
                                            const QString &ownNick)
{
    const Fields f(body, kBar);
    StateChange c;
    auto need = [&f](int count) { return f.count() >= count; };

    if (word == QLatin1String("mobachir") || word == QLatin1String("sabora")) {
        if (!need(2))
            return std::nullopt;
        c.kind = word == QLatin1String("mobachir") ? StateChange::Live : StateChange::Board;
        c.on = f.number(0) != 0;
        c.roomId = f.number(1);
        return c;
    }

    if (!need(2))
        return std::nullopt;
    c.nick = f.text(0);
    c.roomId = f.number(1);
    c.own = c.nick == ownNick;

    if (word == QLatin1String("cam") || word == QLatin1String("cam-no")) {
        c.kind = StateChange::Camera;
        c.on = word == QLatin1String("cam");
        return c;
    }

    // The word a row falls back to: the red dot, else a granted microphone,
    // else none.
    auto rest = [](bool red, bool granted) {
        return QString::fromLatin1(red ? "red" : granted ? "mic-n" : "null");
    };
    c.kind = StateChange::User;
    if (word == QLatin1String("man")) {
        c.words << QStringLiteral("man");
        if (c.own) {
            c.handUp = true;
            c.micOn = false;
            c.audio = true;
        }
    } else if (word == QLatin1String("mic")) {
        c.words << QStringLiteral("mic");
        if (c.own) {
            c.micOn = true;
            c.handUp = false;
            c.allRooms = true;
        }
    } else if (word == QLatin1String("man-no") || word == QLatin1String("mic-no")) {
        if (!need(4))
            return std::nullopt;
        if (word == QLatin1String("mic-no"))
            c.words << QStringLiteral("mic");
        c.words << rest(f.number(3) != 0, f.number(2) != 0);
        if (c.own) {
            c.handUp = false;
            c.micOn = false;
            c.audio = true;
        }
    } else if (word == QLatin1String("NoMic")) {
        if (!need(7))
            return std::nullopt;
        const bool holds = f.number(2) != 0;
        const bool granted = f.number(3) != 0;
        const bool hand = f.number(4) != 0;
        const bool barred = f.number(6) != 0;
        if (granted) {
            if (!hand)
                c.words << rest(barred, true);
        } else if (!holds && !hand) {
            c.words << rest(barred, false);
        }
        if (c.own) {
            c.noMic = granted;
            c.red = barred;
            if (granted || barred)
                c.micOn = false;
            if (!hand)
                c.handUp = false;
            c.audio = true;
        }
    } else {
        return std::nullopt;
    }
    return c;
}
