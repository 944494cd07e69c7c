// The room bodies the chat server sends, read into values: group and room
// lists, the room entry with its user list, joins, departures, room lines,
// whispers, title changes and every state word, with short and hostile
// records.
#include "protocol/pure/rooms.h"

#include <QtTest>

namespace {

QString groups(const QVector<GroupItem> &list)
{
    QStringList out;
    for (const GroupItem &g : list)
        out << QString::number(g.id) + QLatin1Char('=') + g.name;
    return out.join(QLatin1Char(','));
}

QString rooms(const QVector<RoomItem> &list)
{
    QStringList out;
    for (const RoomItem &r : list)
        out << QStringLiteral("%1/%2/%3/%4").arg(r.id, r.name, r.count).arg(r.locked);
    return out.join(QLatin1Char(','));
}

QString users(const QVector<RoomUser> &list)
{
    QStringList out;
    for (const RoomUser &u : list)
        out << QStringLiteral("%1 a%2 t%3 r%4 c%5 m%6 h%7 g%8")
                   .arg(u.nick)
                   .arg(u.admin)
                   .arg(u.type)
                   .arg(u.red)
                   .arg(u.cam)
                   .arg(u.mic)
                   .arg(u.hand)
                   .arg(u.micGranted);
    return out.join(QLatin1Char(','));
}

QString flag(const std::optional<bool> &f) { return f ? QString::number(*f) : QStringLiteral("-"); }

// A state change as one line: kind, room, nick, on, words, then the own
// flags (hand, mic, red, noMic; "-" unchanged) and which rooms re-run audio.
QString describe(const std::optional<StateChange> &c)
{
    if (!c)
        return QStringLiteral("ignored");
    static const char *const kinds[] = {"live", "board", "camera", "user"};
    QString s = QStringLiteral("%1 room %2").arg(QLatin1String(kinds[c->kind])).arg(c->roomId);
    if (c->kind != StateChange::User)
        return (s + QStringLiteral(" %1 %2").arg(c->nick).arg(c->on)).simplified();
    s += QLatin1Char(' ') + c->nick + QStringLiteral(" [") + c->words.join(QLatin1Char(','))
         + QLatin1Char(']');
    if (!c->own)
        return s;
    s += QStringLiteral(" own hand %1 mic %2 red %3 noMic %4")
             .arg(flag(c->handUp), flag(c->micOn), flag(c->red), flag(c->noMic));
    if (c->allRooms)
        s += QStringLiteral(" all rooms");
    else if (c->audio)
        s += QStringLiteral(" this room");
    return s;
}

// A room record with the ten fields and a user list.
const QString kRoom = QStringLiteral(
    "id:12|name:Fiqh|owner:Sheikh Omar|titre:Welcome@n; week 3 @l; notes@arp;|sabora:1|"
    "a:0|b:0|c:0|d:0|mobachir:0");

} // namespace

class TestRoomRecords : public QObject
{
    Q_OBJECT
private slots:
    void groupList_data();
    void groupList();
    void roomList_data();
    void roomList();
    void roomEntry();
    void roomEntryUsers_data();
    void roomEntryUsers();
    void roomEntryRefused_data();
    void roomEntryRefused();
    void joined_data();
    void joined();
    void departure_data();
    void departure();
    void lines_data();
    void lines();
    void stateChange_data();
    void stateChange();
};

void TestRoomRecords::groupList_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("two groups") << "7:A|9:B" << "7=A,9=B";
    QTest::newRow("empty body, no groups") << "" << "";
    QTest::newRow("id not a number reads 0") << "x:A" << "0=A";
    QTest::newRow("empty name kept") << "4:" << "4=";
    QTest::newRow("item without a colon skipped") << "noname|5:B" << "5=B";
    QTest::newRow("trailing bar: its empty item skipped") << "1:A|" << "1=A";
    QTest::newRow("extra parts ignored") << "3:C:extra" << "3=C";
}

void TestRoomRecords::groupList()
{
    QFETCH(QString, body);
    QFETCH(QString, parsed);
    QCOMPARE(groups(parseGroupList(body)), parsed);
}

void TestRoomRecords::roomList_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("locked then open, trailing bar")
        << "1:Fiqh:3:1|2:Nahw:0:0|" << "1/Fiqh/3/1,2/Nahw/0/0";
    QTest::newRow("first item empty: no rows") << "|1:Fiqh:3:1" << "";
    QTest::newRow("empty item ends the list") << "1:a:1:0||2:b:2:0" << "1/a/1/0";
    QTest::newRow("lock not a number reads open") << "3:r:5:x" << "3/r/5/0";
    QTest::newRow("lock above one") << "3:r:5:7" << "3/r/5/7";
    QTest::newRow("short item skipped") << "1:a:1|2:b:2:0" << "2/b/2/0";
    QTest::newRow("empty body") << "" << "";
}

void TestRoomRecords::roomList()
{
    QFETCH(QString, body);
    QFETCH(QString, parsed);
    QCOMPARE(rooms(parseRoomList(body)), parsed);
}

void TestRoomRecords::roomEntry()
{
    const std::optional<RoomEntry> e = parseRoomEntry(kRoom + QStringLiteral("||"));
    QVERIFY(e);
    QCOMPARE(e->id, 12);
    QCOMPARE(e->name, QStringLiteral("Fiqh"));
    QCOMPARE(e->owner, QStringLiteral("Sheikh Omar"));
    QCOMPARE(e->banner, QStringLiteral("Welcome: week 3 | notes@"));
    QVERIFY(e->sabora);
    QVERIFY(!e->flash);
    QVERIFY(e->users.isEmpty());

    const std::optional<RoomEntry> live = parseRoomEntry(QStringLiteral(
        "id:3|name:n|owner:o|titre:|sabora:x|a:1|b:1|c:1|d:1|mobachir:2||"));
    QVERIFY(live);
    QVERIFY(!live->sabora);
    QVERIFY(live->flash);
}

void TestRoomRecords::roomEntryUsers_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("two users")
        << "n:ali|a:1|t:-101|r:0|c:1|m:1|h:0|g:0<>n:sara|a:0|t:5|r:1|c:0|m:0|h:0|g:1"
        << "ali a1 t-101 r0 c1 m1 h0 g0,sara a0 t5 r1 c0 m0 h0 g1";
    QTest::newRow("short record skipped")
        << "n:x|a:1|t:2<>n:sara|a:0|t:0|r:0|c:0|m:0|h:1|g:0" << "sara a0 t0 r0 c0 m0 h1 g0";
    QTest::newRow("field without a colon skipped")
        << "ali|a:1|t:2|r:0|c:0|m:0|h:0|g:0<>n:b|a:0|t:0|r:0|c:0|m:0|h:0|g:0"
        << "b a0 t0 r0 c0 m0 h0 g0";
    QTest::newRow("empty records between separators")
        << "<>n:b|a:0|t:0|r:0|c:0|m:0|h:0|g:0<>" << "b a0 t0 r0 c0 m0 h0 g0";
    QTest::newRow("numbers that do not parse read 0")
        << "n:b|a:yes|t:x|r:1.5|c:|m:-|h:0|g:0" << "b a0 t0 r0 c0 m0 h0 g0";
    QTest::newRow("markup in a nickname is kept as text")
        << "n:<img src=x onerror=alert(1)>|a:0|t:0|r:0|c:0|m:0|h:0|g:0"
        << "<img src=x onerror=alert(1)> a0 t0 r0 c0 m0 h0 g0";
    QTest::newRow("empty list") << "" << "";
}

void TestRoomRecords::roomEntryUsers()
{
    QFETCH(QString, list);
    QFETCH(QString, parsed);
    const std::optional<RoomEntry> e = parseRoomEntry(kRoom + QStringLiteral("||") + list);
    QVERIFY(e);
    QCOMPARE(users(e->users), parsed);
}

void TestRoomRecords::roomEntryRefused_data()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("no ||") << kRoom;
    QTest::newRow("room record of nine fields")
        << "id:1|name:n|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0||";
    QTest::newRow("room field without a colon")
        << "id:1|name|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0|e:0||";
    QTest::newRow("empty") << "";
    QTest::newRow("only separators") << "||||<>||";
}

void TestRoomRecords::roomEntryRefused()
{
    QFETCH(QString, body);
    QVERIFY(!parseRoomEntry(body));
}

void TestRoomRecords::joined_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("one user")
        << "id:12|n:ali|t:-100|a:1|g:1|r:0|extra:9" << "12 ali -100 a1 g1 r0";
    QTest::newRow("red") << "id:3|n:sara|t:0|a:0|g:0|r:1" << "3 sara 0 a0 g0 r1";
    QTest::newRow("five fields") << "id:3|n:sara|t:0|a:0|g:0" << "ignored";
    QTest::newRow("field without a colon") << "id:3|sara|t:0|a:0|g:0|r:1" << "ignored";
}

void TestRoomRecords::joined()
{
    QFETCH(QString, body);
    QFETCH(QString, parsed);
    const std::optional<JoinedUser> u = parseJoinedUser(body);
    const QString got = u ? QStringLiteral("%1 %2 %3 a%4 g%5 r%6")
                                .arg(u->roomId)
                                .arg(u->nick)
                                .arg(u->type)
                                .arg(u->admin)
                                .arg(u->micGranted)
                                .arg(u->red)
                          : QStringLiteral("ignored");
    QCOMPARE(got, parsed);
}

void TestRoomRecords::departure_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("nick and room") << "ali|12" << "ali 12";
    QTest::newRow("room not a number") << "ali|x" << "ali 0";
    QTest::newRow("no room") << "ali" << "ignored";
    QTest::newRow("empty") << "" << "ignored";
}

void TestRoomRecords::departure()
{
    QFETCH(QString, body);
    QFETCH(QString, parsed);
    const std::optional<Departure> d = parseDeparture(body);
    QCOMPARE(d ? d->nick + QLatin1Char(' ') + QString::number(d->roomId)
               : QStringLiteral("ignored"),
             parsed);
}

void TestRoomRecords::lines_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("all") << "all" << "ali|12|<b>salam</b>" << "ali|12|<b>salam</b>";
    QTest::newRow("all: escaped bar in the text")
        << "all" << "a@l;b|12|x@l;y@n;z@arp;" << "a|b|12|x|y:z@";
    QTest::newRow("all: raw bars stay in the text") << "all" << "ali|12|a|b|c" << "ali|12|a|b|c";
    QTest::newRow("all: empty text") << "all" << "ali|12|" << "ali|12|";
    QTest::newRow("all: one bar") << "all" << "ali|12" << "ignored";
    QTest::newRow("wisbar") << "wisbar" << "ali|sara|12|psst" << "ali|sara|12|psst";
    QTest::newRow("wisbar: escaped names, bars in the text")
        << "wisbar" << "a@n;li|sa@l;ra|12|x|y" << "a:li|sa|ra|12|x|y";
    QTest::newRow("wisbar: two bars") << "wisbar" << "ali|sara|12" << "ignored";
    QTest::newRow("ChangeTitle")
        << "ChangeTitle" << "12|New name|Om@n;ar|ban@l;ner" << "12|New name|Om:ar|ban|ner";
    QTest::newRow("ChangeTitle: three fields") << "ChangeTitle" << "12|n|o" << "ignored";
}

void TestRoomRecords::lines()
{
    QFETCH(QString, kind);
    QFETCH(QString, body);
    QFETCH(QString, parsed);
    QString got = QStringLiteral("ignored");
    const QChar bar('|');
    if (kind == QLatin1String("all")) {
        if (auto l = parseRoomLine(body))
            got = l->sender + bar + QString::number(l->roomId) + bar + l->text;
    } else if (kind == QLatin1String("wisbar")) {
        if (auto w = parseWhisper(body))
            got = w->from + bar + w->to + bar + QString::number(w->roomId) + bar + w->text;
    } else if (auto t = parseRoomTitle(body)) {
        got = QString::number(t->roomId) + bar + t->name + bar + t->owner + bar + t->banner;
    }
    QCOMPARE(got, parsed);
}

void TestRoomRecords::stateChange_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("parsed");
    // The own nickname is "me".
    QTest::newRow("mobachir on") << "mobachir" << "1|12" << "live room 12 1";
    QTest::newRow("mobachir any non-zero") << "mobachir" << "7|12" << "live room 12 1";
    QTest::newRow("sabora off") << "sabora" << "0|12" << "board room 12 0";
    QTest::newRow("sabora short") << "sabora" << "1" << "ignored";
    QTest::newRow("cam") << "cam" << "ali|12|0" << "camera room 12 ali 1";
    QTest::newRow("cam-no") << "cam-no" << "ali|12|0" << "camera room 12 ali 0";

    QTest::newRow("man, other user") << "man" << "ali|12|0|0" << "user room 12 ali [man]";
    QTest::newRow("man, own") << "man" << "me|12|0|0"
                              << "user room 12 me [man] own hand 1 mic 0 red - noMic - this room";
    QTest::newRow("mic, own: every room")
        << "mic" << "me|12|0|0" << "user room 12 me [mic] own hand 0 mic 1 red - noMic - all rooms";
    QTest::newRow("mic, short") << "mic" << "me" << "ignored";

    QTest::newRow("man-no: none") << "man-no" << "ali|12|0|0" << "user room 12 ali [null]";
    QTest::newRow("man-no: granted") << "man-no" << "ali|12|1|0" << "user room 12 ali [mic-n]";
    QTest::newRow("man-no: red wins") << "man-no" << "ali|12|1|1" << "user room 12 ali [red]";
    QTest::newRow("man-no, own")
        << "man-no" << "me|12|0|0" << "user room 12 me [null] own hand 0 mic 0 red - noMic - this room";
    QTest::newRow("man-no, short") << "man-no" << "ali|12|1" << "ignored";

    QTest::newRow("mic-no: none") << "mic-no" << "ali|12|0|0|0" << "user room 12 ali [mic,null]";
    QTest::newRow("mic-no: granted") << "mic-no" << "ali|12|1|0|0" << "user room 12 ali [mic,mic-n]";
    QTest::newRow("mic-no: red") << "mic-no" << "ali|12|0|1|0" << "user room 12 ali [mic,red]";
    QTest::newRow("mic-no, own")
        << "mic-no" << "me|12|0|0|0"
        << "user room 12 me [mic,null] own hand 0 mic 0 red - noMic - this room";

    // NoMic fields: 2 holds, 3 granted, 4 hand, 6 barred.
    QTest::newRow("NoMic granted, hand up: word stays")
        << "NoMic" << "ali|12|0|1|1|0|0" << "user room 12 ali []";
    QTest::newRow("NoMic granted") << "NoMic" << "ali|12|0|1|0|0|0" << "user room 12 ali [mic-n]";
    QTest::newRow("NoMic granted, barred") << "NoMic" << "ali|12|0|1|0|0|1" << "user room 12 ali [red]";
    QTest::newRow("NoMic holds: word stays") << "NoMic" << "ali|12|1|0|0|0|1" << "user room 12 ali []";
    QTest::newRow("NoMic none") << "NoMic" << "ali|12|0|0|0|0|0" << "user room 12 ali [null]";
    QTest::newRow("NoMic barred") << "NoMic" << "ali|12|0|0|0|0|1" << "user room 12 ali [red]";
    QTest::newRow("NoMic own, granted and barred")
        << "NoMic" << "me|12|0|1|0|0|1"
        << "user room 12 me [red] own hand 0 mic 0 red 1 noMic 1 this room";
    QTest::newRow("NoMic own, hand up keeps the hand")
        << "NoMic" << "me|12|1|0|1|0|0"
        << "user room 12 me [] own hand - mic - red 0 noMic 0 this room";
    QTest::newRow("NoMic own, nothing set")
        << "NoMic" << "me|12|0|0|0|0|0"
        << "user room 12 me [null] own hand 0 mic - red 0 noMic 0 this room";
    QTest::newRow("NoMic six fields") << "NoMic" << "ali|12|0|1|0|0" << "ignored";

    QTest::newRow("unknown word") << "Mic" << "ali|12|0|0" << "ignored";
    QTest::newRow("empty word") << "" << "ali|12" << "ignored";
    QTest::newRow("room id not a number") << "cam" << "ali|x" << "camera room 0 ali 1";
}

void TestRoomRecords::stateChange()
{
    QFETCH(QString, word);
    QFETCH(QString, body);
    QFETCH(QString, parsed);
    QCOMPARE(describe(parseStateChange(word, body, QStringLiteral("me"))), parsed);
}

QTEST_GUILESS_MAIN(TestRoomRecords)
#include "tst_roomrecords.moc"
