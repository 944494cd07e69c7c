// Every outgoing command against packets written out by hand from the
// command catalogue.
#include "protocol/pure/outgoing.h"

#include <QtTest>

namespace {

// Expected packet: code bytes as given, body length little-endian, marker,
// name padded with spaces to 32 bytes, body bytes as given.
QByteArray expected(const char *codeHex, const QByteArray &name, const QByteArray &body)
{
    const quint32 n = quint32(body.size());
    QByteArray length;
    length.append(char(n & 0xff)).append(char((n >> 8) & 0xff));
    length.append(char((n >> 16) & 0xff)).append(char((n >> 24) & 0xff));
    return QByteArray::fromHex(codeHex) + length + "KW.TOVEN" + name.leftJustified(32, ' ')
           + body;
}

const QByteArray kBlank(32, ' ');
// "علوم" and "علي" in CP-1256.
const QByteArray kUlum = QByteArray::fromHex("dae1e6e3");
const QByteArray kAli = QByteArray::fromHex("dae1ed");

} // namespace

class TestOutgoing : public QObject
{
    Q_OBJECT
private slots:
    void catalogue_data();
    void catalogue();
    void visitorLoginWhole();
};

void TestOutgoing::catalogue_data()
{
    using namespace outgoing;
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("-3 zaire") << directoryVisitor() << expected("fdff", "zaire", "MacOS");
    QTest::newRow("-3 3odaw") << directoryMember() << expected("fdff", "3odaw", "");
    QTest::newRow("1 member, unescaped")
        << memberLogin("ali", "p@ss|x:y")
        << expected("0100", kBlank, "nickname:ali|Password:p@ss|x:y|stat:1|Os:MacOS");
    QTest::newRow("1 member, arabic")
        << memberLogin(QString::fromUtf8("علي"), "1")
        << expected("0100", kBlank, "nickname:" + kAli + "|Password:1|stat:1|Os:MacOS");
    QTest::newRow("45 test") << keepAlive() << expected("2d00", "test", "");

    QTest::newRow("2 block") << blockContact("ali") << expected("0200", "block", "ali");
    QTest::newRow("2 unblock") << unblockContact(QString::fromUtf8("علي"))
                               << expected("0200", "unblock", kAli);
    QTest::newRow("3 Del") << deleteContact("ali") << expected("0300", "Del", "ali");
    QTest::newRow("3 Add") << addContact("omar") << expected("0300", "Add", "omar");
    QTest::newRow("3 Rechercher") << searchUsers("abc") << expected("0300", "Rechercher", "abc");
    QTest::newRow("3 RechercherCo")
        << searchUsersAdmin("  ab") << expected("0300", "RechercherCo", "  ab");
    QTest::newRow("4 pm")
        << privateMessage("a|b", "<span style=\"font-weight:600;\">x:y@</span>")
        << expected("0400", "pm",
                    "a@l;b|<span style=\"font-weight@n;bold;\">x@n;y@arp;</span>");
    QTest::newRow("4 pm arabic") << privateMessage("ali", QString::fromUtf8("علي"))
                                 << expected("0400", "pm", "ali|" + kAli);

    QTest::newRow("5 Group") << groupList() << expected("0500", "Group", "");
    QTest::newRow("5 Rooms") << roomList("3", QString::fromUtf8("علوم"))
                             << expected("0500", "Rooms", "3:" + kUlum);
    QTest::newRow("5 GroupCoA") << groupListAdmin() << expected("0500", "GroupCoA", "");
    QTest::newRow("5 RoomsCoA") << roomListAdmin("3", "abc") << expected("0500", "RoomsCoA", "3:abc");
    QTest::newRow("5 GroupCoU") << groupListUsers() << expected("0500", "GroupCoU", "");
    QTest::newRow("5 RoomsCoU") << roomListUsers("7", "x y") << expected("0500", "RoomsCoU", "7:x y");

    QTest::newRow("6 entre") << enterRoom("12", "adm", "lock")
                             << expected("0600", "entre", "12|pwd_admin:adm|pwd_lock:lock");
    QTest::newRow("6 entre, no passwords")
        << enterRoom("12", "", "") << expected("0600", "entre", "12|pwd_admin:|pwd_lock:");
    QTest::newRow("6 sorte") << leaveRoom(12) << expected("0600", "sorte", "12");
    QTest::newRow("7 all")
        << roomText("a:b", 12, "<b style=\"font-weight:600;\">hi|</b>")
        << expected("0700", "all", "a@n;b|12|<b style=\"font-weight@n;bold;\">hi@l;</b>");
    QTest::newRow("7 wisbar") << whisper("me:x", "you|y", 12, "t:|@")
                              << expected("0700", "wisbar", "me:x|you|y|12|t@n;@l;@arp;");

    QTest::newRow("8 mic") << microphone(12, true) << expected("0800", "mic", "12");
    QTest::newRow("8 mic-no") << microphone(12, false) << expected("0800", "mic-no", "12");
    QTest::newRow("8 man") << raiseHand(3, true) << expected("0800", "man", "3");
    QTest::newRow("8 man-no") << raiseHand(3, false) << expected("0800", "man-no", "3");
    QTest::newRow("8 Mobachir audio")
        << live(12, true, false) << expected("0800", "Mobachir", "12|audio");
    QTest::newRow("8 Mobachir-no video")
        << live(12, false, true) << expected("0800", "Mobachir-no", "12|video");
    QTest::newRow("8 sabora") << blackboard(5, true) << expected("0800", "sabora", "5|null");
    QTest::newRow("8 sabora-no") << blackboard(5, false) << expected("0800", "sabora-no", "5|null");
    QTest::newRow("8 Reddot, leading @ dropped")
        << userAction(UserAction::Reddot, 12, "@ali") << expected("0800", "Reddot", "12|ali");
    QTest::newRow("8 UnReddot") << userAction(UserAction::UnReddot, 12, "ali")
                                << expected("0800", "UnReddot", "12|ali");
    QTest::newRow("8 ettMic, only one @ dropped")
        << userAction(UserAction::ettMic, 12, "@@x") << expected("0800", "ettMic", "12|@x");
    QTest::newRow("8 ettNoMic, arabic") << userAction(UserAction::ettNoMic, 1, QString::fromUtf8("علي"))
                                        << expected("0800", "ettNoMic", "1|" + kAli);

    QTest::newRow("11 NewGroup") << newGroup(QString::fromUtf8("علوم"))
                                 << expected("0b00", "NewGroup", "0:" + kUlum + ":0");
    QTest::newRow("11 EditGroup") << editGroup("4", "x") << expected("0b00", "EditGroup", "4:x:0");
    QTest::newRow("11 DelGroup") << deleteGroup("4", "x") << expected("0b00", "DelGroup", "4:x");

    const RoomFields room{"4", "R", "o", "200", "w:l|c", "p", "q"};
    QTest::newRow("12 New Room") << newRoom(room)
                                 << expected("0c00", "New Room", "0:::|4|R|o|200|w@n;l@l;c|1|p|q");
    const RoomFields edited{"4", "R", "o", "0", "", "", ""};
    QTest::newRow("12 Edit Room, maximum as given")
        << editRoom("9", edited) << expected("0c00", "Edit Room", "9:::|4|R|o|0||1||");
    QTest::newRow("12 Del Room") << deleteRoom("9") << expected("0c00", "Del Room", "9:");
    QTest::newRow("12 Move Room") << moveRoom("9", "4") << expected("0c00", "Move Room", "9::4");

    QTest::newRow("13 ListAdmin") << listAdmins("9") << expected("0d00", "ListAdmin", "9");
    QTest::newRow("14 AddUsrAdmin") << addRoomAdmin("9", "ali")
                                    << expected("0e00", "AddUsrAdmin", "9|ali");
    QTest::newRow("14 AddUsrAdminCo") << addAdmin("ali") << expected("0e00", "AddUsrAdminCo", "ali");
    QTest::newRow("15 DelUsrAdmin") << deleteRoomAdmin("9", QString::fromUtf8("علي"))
                                    << expected("0f00", "DelUsrAdmin", "9|" + kAli);
    QTest::newRow("15 DelUsrAdminCo") << deleteAdmin("ali") << expected("0f00", "DelUsrAdminCo", "ali");
    QTest::newRow("25 Permissions") << permissionSets() << expected("1900", "Permissions", "");

    std::array<bool, kPermissionKeyCount> values{};
    values[0] = true;  // bat
    values[2] = true;  // new_room
    values[28] = true; // super_co_admin
    QTest::newRow("26 SavePermissions")
        << savePermissions("ali", values)
        << expected("1a00", "SavePermissions",
                    "ali::bat:1|zowar:0|new_room:1|edit_room:0|del_room:0|new_group:0|"
                    "edit_group:0|del_group:0|new_admin:0|del_admin:0|edit_admin:0|"
                    "new_co_admin:0|del_co_admin:0|edit_co_admin:0|visible_room:0|"
                    "info_users:0|modife_users:0|ban_users:0|bannes_users:0|close_server:0|"
                    "pause_server:0|start_server:0|msg_system:0|show_pouvoirs_users:0|"
                    "new_pouvoirs:0|del_pouvoirs:0|edit_pouvoirs:0|visible_co_admin:0|"
                    "super_co_admin:1");
}

void TestOutgoing::catalogue()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, wire);
    QCOMPARE(built.toHex(' '), wire.toHex(' '));
}

void TestOutgoing::visitorLoginWhole()
{
    // Code -2, length 43, blank name, the guest credential as D3 E3 D1 E1.
    const QByteArray wire = QByteArray::fromHex("feff2b000000") + "KW.TOVEN"
                            + QByteArray(32, ' ') + "nickname:" + QByteArray::fromHex("d3e3d1e1")
                            + "|Password:" + QByteArray::fromHex("d3e3d1e1") + "|stat:1|Os:MacOS";
    QCOMPARE(wire.size(), 46 + 43);
    QCOMPARE(outgoing::visitorLogin(), wire);
}

QTEST_GUILESS_MAIN(TestOutgoing)
#include "tst_outgoing.moc"
