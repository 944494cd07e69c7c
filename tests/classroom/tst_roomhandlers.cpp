// The room handlers fed through the client's own socket and dispatch by a
// loopback server: group and room lists for the chooser, refused entries,
// the room entry and its refresh, joins, departures, room lines, whispers,
// title changes and every state word, hostile text from peers, and short or
// malformed records that must change nothing.
#include "roomwindow.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "protocol/pure/packet.h"
#include "rooms/frmgroup.h"
#include "rooms/frmwait2.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QComboBox>
#include <QFrame>
#include <QInputDialog>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 20, 30));
const QByteArray kKeepAlive = QByteArray::fromHex("2d00" "00000000") + "KW.TOVEN" + "test"
                              + QByteArray(28, ' ');

// The room record of room 12 with the given banner (escaped) and switches.
QByteArray roomRecord(const QByteArray &banner = "Welcome", int sabora = 0, int live = 0)
{
    return "id:12|name:Fiqh|owner:Sheikh Omar|titre:" + banner + "|sabora:"
           + QByteArray::number(sabora) + "|a:0|b:0|c:0|d:0|mobachir:" + QByteArray::number(live);
}

// A user record: nick, admin, type, red, cam, mic, hand, granted.
QByteArray user(const QByteArray &nick, int admin, int type, int red, int cam, int mic, int hand,
                int granted)
{
    return "nick:" + nick + "|admin:" + QByteArray::number(admin) + "|type:"
           + QByteArray::number(type) + "|red:" + QByteArray::number(red) + "|cam:"
           + QByteArray::number(cam) + "|mic:" + QByteArray::number(mic) + "|hand:"
           + QByteArray::number(hand) + "|granted:" + QByteArray::number(granted);
}

QByteArray entry(const QByteArray &users, const QByteArray &record = roomRecord())
{
    return wirePacket(10, "Lst_room", record + "||" + users);
}

QComboBox *comboOf(FrmGroup *g) { return g->findChild<QComboBox *>(QStringLiteral("comboBox")); }
QTableWidget *tableOf(FrmGroup *g)
{
    return g->findChild<QTableWidget *>(QStringLiteral("table1"));
}

} // namespace

class TestRoomHandlers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void groupsMakeTheChooser();
    void emptyGroups();
    void roomsFillTheTable();
    void roomsWithoutChooser();
    void refusals_data();
    void refusals();
    void refusalWithoutWaitForm();
    void adminListsWhileClosed();

    void entryOpensTheRoom();
    void entryOrdersStates();
    void entryRefreshesInPlace();
    void entrySkipsShortRecords();
    void ownFlagsFollowTheOwnRow_data();
    void ownFlagsFollowTheOwnRow();
    void supervisorControls();
    void userJoins();

    void departures();
    void roomLines();
    void roomLineAroundRemovedElements_data();
    void roomLineAroundRemovedElements();
    void whispers();
    void titleChange();
    void stateWords_data();
    void stateWords();
    void ownStateWords_data();
    void ownStateWords();
    void lastSpeakerLeaves();

    void hostilePeers();
    void malformed_data();
    void malformed();
    void entryDuringChooserPrompt();

private:
    // Writes packets to the client and returns once it has handled them.
    void deliver(const QByteArray &packets);
    FrmRoom *enter(const QByteArray &users);
    // Everything the client sent since the last call.
    QByteArray sent();

    LoopbackPeer m_peer;
    QByteArray m_out;
};

void TestRoomHandlers::initTestCase()
{
    hooks::setQuitHandler([] {});
    hooks::setClock([] { return kNow; });
    indexLang = 2;
}

void TestRoomHandlers::init()
{
    if (!sck || sck->socket()->state() != QAbstractSocket::ConnectedState)
        QVERIFY(m_peer.connectClient());
    settings->clear();
    bat = false;
    Idroom = IdroomSound = 0;
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER(QStringLiteral("me"));
    QCOMPARE(m_peer.sent(), kKeepAlive);
    m_out.clear();
}

void TestRoomHandlers::cleanup()
{
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    delete frmgrup;
    delete frmwait2;
    delete frmusr;
    deleteLaterNow();
    QVERIFY(!frmgrup && !frmwait2);
}

void TestRoomHandlers::deliver(const QByteArray &packets)
{
    m_peer.send(packets + wirePacket(45, "test", ""));
    // The keep-alive's answer comes after whatever the packets made the
    // client send.
    QByteArray got;
    while (!got.endsWith(kKeepAlive)) {
        const QByteArray more = m_peer.takeAtLeast(1);
        QVERIFY2(!more.isEmpty(), "the keep-alive was not answered");
        got += more;
    }
    got.chop(kKeepAlive.size());
    m_out += got;
}

QByteArray TestRoomHandlers::sent()
{
    QByteArray out = m_out + m_peer.sent();
    m_out.clear();
    return out;
}

FrmRoom *TestRoomHandlers::enter(const QByteArray &users)
{
    deliver(entry(users));
    return roomWindow(12);
}

void TestRoomHandlers::groupsMakeTheChooser()
{
    deliver(wirePacket(8, "Group", "7:A|9:B"));
    QPointer<FrmGroup> first = frmgrup;
    QVERIFY(first && first->isVisible());
    QCOMPARE(first->groupIds, (QList<int>{7, 9}));
    QCOMPARE(comboOf(first)->count(), 2);
    QCOMPARE(comboOf(first)->currentText(), QStringLiteral("A"));
    // Adding the first group selected it: exactly one request, for group 7.
    QCOMPARE(sent(), wirePacket(5, "Rooms", "7:A"));
    comboOf(first)->setCurrentIndex(1);
    QCOMPARE(sent(), wirePacket(5, "Rooms", "9:B"));

    // A new group list replaces the chooser.
    deliver(wirePacket(8, "Group", "3:C"));
    deleteLaterNow();
    QVERIFY(!first);
    QVERIFY(frmgrup && frmgrup->isVisible());
    QCOMPARE(frmgrup->groupIds, QList<int>{3});
    QCOMPARE(sent(), wirePacket(5, "Rooms", "3:C"));
}

void TestRoomHandlers::emptyGroups()
{
    deliver(wirePacket(8, "Group", ""));
    QVERIFY(frmgrup && frmgrup->isVisible());
    QCOMPARE(comboOf(frmgrup)->count(), 0);
    QVERIFY(frmgrup->groupIds.isEmpty());
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::roomsFillTheTable()
{
    deliver(wirePacket(8, "Group", "7:A"));
    sent();
    deliver(wirePacket(8, "Rooms", "1:Fiqh:3:1|2:Nahw:0:0|"));
    QTableWidget *table = tableOf(frmgrup);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("1"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral(" "));
    QCOMPARE(table->item(1, 1)->text(), QString());
    QCOMPARE(table->item(1, 2)->text(), QStringLiteral("Nahw"));
    QCOMPARE(table->item(1, 3)->text(), QStringLiteral("0"));
    QVERIFY(!table->item(0, 1)->icon().isNull());

    // A refill replaces the rows; a first empty item leaves none.
    deliver(wirePacket(8, "Rooms", "|1:Fiqh:3:1"));
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::roomsWithoutChooser()
{
    deliver(wirePacket(8, "Rooms", "1:Fiqh:3:1"));
    QVERIFY(!frmgrup);
}

void TestRoomHandlers::refusals_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QString>("message");
    QTest::newRow("pwd_lock") << QByteArray("pwd_lock") << "Err Pass Login";
    QTest::newRow("pwd_admin") << QByteArray("pwd_admin") << "Err Pass Admin";
    QTest::newRow("non_admin") << QByteArray("non_admin") << "Err No Admin";
    QTest::newRow("nozowar") << QByteArray("nozowar") << "MsgzowarRoom";
    QTest::newRow("other word") << QByteArray("pwd_Lock") << "";
}

void TestRoomHandlers::refusals()
{
    QFETCH(QByteArray, word);
    QFETCH(QString, message);
    ModalAnswerer answerer;
    deliver(wirePacket(8, "Group", "7:A") + wirePacket(8, "Rooms", "1:Fiqh:3:0"));
    tableOf(frmgrup)->setCurrentCell(0, 2);
    sent();
    frmgrup->DblClick_MS(1, QString(), QString());
    QVERIFY(frmwait2 && frmwait2->isVisible() && !frmgrup->isVisible());
    deliver(wirePacket(9, word, "whatever"));
    if (message.isEmpty()) {
        QVERIFY(answerer.shown.isEmpty());
        QVERIFY(frmwait2->isVisible());
        QVERIFY(!frmgrup->isVisible());
        return;
    }
    QCOMPARE(answerer.texts(), QStringList{message});
    QCOMPARE(answerer.shown.first().title, QStringLiteral("Title App"));
    QCOMPARE(answerer.shown.first().icon, QMessageBox::Warning);
    QVERIFY(frmwait2 && !frmwait2->isVisible());
    // The chooser is back as it was left.
    QVERIFY(frmgrup->isVisible());
    QCOMPARE(tableOf(frmgrup)->currentRow(), 0);
}

void TestRoomHandlers::refusalWithoutWaitForm()
{
    ModalAnswerer answerer;
    deliver(wirePacket(9, "nozowar", ""));
    QCOMPARE(answerer.texts(), QStringList{"MsgzowarRoom"});
}

void TestRoomHandlers::adminListsWhileClosed()
{
    deliver(wirePacket(18, "Group", "1:A") + wirePacket(18, "Rooms", "1:r:0:0"));
    QVERIFY(!frmgrup);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::entryOpensTheRoom()
{
    deliver(wirePacket(8, "Group", "7:A") + wirePacket(8, "Rooms", "12:Fiqh:3:0"));
    QPointer<FrmGroup> chooser = frmgrup;
    tableOf(chooser)->setCurrentCell(0, 2);
    chooser->DblClick_MS(12, QString(), QString());
    QPointer<FrmWait2> wait = frmwait2;
    sent();

    FrmRoom *w = enter(user("ali", 1, -101, 0, 0, 0, 0, 0) + "<>" + user("me", 0, 5, 0, 0, 0, 0, 0));
    QVERIFY(w);
    QCOMPARE(frmRooms.size(), 1);
    QVERIFY(w->isVisible());
    QCOMPARE(w->getName(), QStringLiteral("Fiqh"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Fiqh  _ me"));
    QVERIFY(headerOf(w).contains(QStringLiteral("Welcome")));
    QVERIFY(headerOf(w).contains(QStringLiteral("Sheikh Omar")));
    QCOMPARE(rowsOf(w), (QStringList{"@ali/null", "me/null"}));
    // The chooser is gone; the wait form closed without bringing it back.
    QVERIFY(!frmgrup);
    deleteLaterNow();
    QVERIFY(!chooser);
    QVERIFY(wait && !wait->isVisible() && wait->quiet);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::entryOrdersStates()
{
    // Three speakers listed out of order of the list, a hand, a camera, a
    // red dot with a granted microphone (red wins), a granted microphone.
    FrmRoom *w = enter(user("a", 0, 1, 0, 0, 0, 0, 0) + "<>" + user("s1", 0, 1, 0, 0, 1, 0, 0)
                       + "<>" + user("h", 0, 1, 0, 0, 0, 1, 0) + "<>"
                       + user("s2", 0, 1, 0, 1, 1, 0, 0) + "<>" + user("rg", 0, 1, 1, 0, 0, 0, 1)
                       + "<>" + user("g", 0, 1, 0, 0, 0, 0, 1) + "<>"
                       + user("both", 0, 1, 0, 0, 1, 1, 0) + "<>" + user("s3", 0, 1, 0, 0, 1, 0, 0));
    QVERIFY(w);
    QCOMPARE(rowsOf(w), (QStringList{"s2/mic+cam", "s1/mic", "s3/mic", "both/man", "h/man", "a/null",
                                     "rg/red", "g/mic-n"}));
    QCOMPARE(totalMicOf(w), 3);
}

void TestRoomHandlers::entrySkipsShortRecords()
{
    FrmRoom *w = enter(user("a", 0, 1, 0, 0, 0, 0, 0) + "<>nick:zz|admin:1<>no colons<>"
                       + user("me", 0, 1, 0, 0, 0, 0, 0));
    QCOMPARE(rowsOf(w), (QStringList{"a/null", "me/null"}));
}

void TestRoomHandlers::entryRefreshesInPlace()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(12, "all", "ali|12|hello"));
    QCOMPARE(chatLinesOf(w).size(), 1);
    // Same room again under another name: same window, name kept, rebuilt.
    const QByteArray renamed = "id:12|name:Other|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0|mobachir:0";
    deliver(entry(user("sara", 0, 1, 0, 0, 0, 0, 0), renamed));
    QCOMPARE(frmRooms.size(), 1);
    QCOMPARE(roomWindow(12), w);
    QCOMPARE(w->getName(), QStringLiteral("Fiqh"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Other  _ me"));
    QCOMPARE(rowsOf(w), QStringList{"sara/null"});
    QVERIFY(chatLinesOf(w).isEmpty());
}

void TestRoomHandlers::ownFlagsFollowTheOwnRow_data()
{
    QTest::addColumn<QByteArray>("own");
    QTest::addColumn<bool>("micOn");
    QTest::addColumn<bool>("handUp");
    QTest::addColumn<bool>("red");
    QTest::newRow("speaking") << user("me", 0, 1, 0, 0, 1, 0, 0) << true << false << false;
    QTest::newRow("hand up") << user("me", 0, 1, 0, 0, 0, 1, 0) << false << true << false;
    QTest::newRow("red") << user("me", 0, 1, 1, 0, 0, 0, 0) << false << false << true;
    // Not listed: hand and microphone clear, the red dot as it was.
    QTest::newRow("not listed") << user("ali", 0, 1, 1, 0, 1, 1, 0) << false << false << true;
}

void TestRoomHandlers::ownFlagsFollowTheOwnRow()
{
    QFETCH(QByteArray, own);
    QFETCH(bool, micOn);
    QFETCH(bool, handUp);
    QFETCH(bool, red);
    FrmRoom *w = enter(user("me", 0, 1, 0, 0, 0, 0, 0));
    w->micOn = w->handUp = w->red = w->noMic = true;
    deliver(entry(own));
    QCOMPARE(w->micOn, micOn);
    QCOMPARE(w->handUp, handUp);
    QCOMPARE(w->red, red);
    QVERIFY(!w->noMic);
    // The buttons ask for the opposite of what the server says.
    sent();
    QMetaObject::invokeMethod(w, "on_Bmic_clicked");
    QMetaObject::invokeMethod(w, "on_Bman_clicked");
    QCOMPARE(sent(), wirePacket(8, micOn ? "mic-no" : "mic", "12")
                                + wirePacket(8, handUp ? "man-no" : "man", "12"));
}

void TestRoomHandlers::supervisorControls()
{
    FrmRoom *w = enter(user("me", 1, -101, 0, 0, 0, 0, 0));
    auto *frame = w->findChild<QFrame *>(QStringLiteral("frameAdmin"));
    QVERIFY(w->isAdmin && frame->isVisible());
    QVERIFY(w->findChild<QPushButton *>(QStringLiteral("Brec"))->isVisible());
    deliver(entry(user("me", 0, -101, 0, 0, 0, 0, 0)));
    QVERIFY(!w->isAdmin && !frame->isVisible());
}

void TestRoomHandlers::userJoins()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(10, "Lst_user", "id:12|n:sara|t:5|a:1|g:1|r:0")
            + wirePacket(10, "Lst_user", "id:12|n:omar|t:5|a:0|g:1|r:1")
            + wirePacket(10, "Lst_user", "id:99|n:zaid|t:5|a:0|g:0|r:0"));
    QCOMPARE(rowsOf(w), (QStringList{"ali/null", "@sara/mic-n", "omar/red"}));
    QCOMPARE(frmRooms.size(), 1);

    // The own user joining barred: lines are refused with a message.
    deliver(wirePacket(10, "Lst_user", "id:12|n:me|t:5|a:1|g:0|r:1"));
    QVERIFY(w->red && w->isAdmin && !w->micOn && !w->handUp);
    QVERIFY(rowsOf(w).contains(QStringLiteral("@me/red")));
    ModalAnswerer answerer;
    emit chatOf(w)->Sendtxt(QStringLiteral("hi"));
    QCOMPARE(answerer.texts(), QStringList{"Sorry No Send text Red"});
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::departures()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0) + "<>" + user("sara", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(11, "", "ali|12") + wirePacket(11, "", "sara|13"));
    QCOMPARE(rowsOf(w), QStringList{"sara/null"});
}

void TestRoomHandlers::roomLines()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(12, "all", "ali|12|a@l;b@n;c@arp;d") + wirePacket(12, "all", "ali|13|elsewhere"));
    QCOMPARE(chatLinesOf(w), QStringList{"ali:time:a|b:c@d"});

    // An own line shows at once, pending; the server's echo confirms it and
    // adds no second line.
    emit chatOf(w)->Sendtxt(QStringLiteral("salam"));
    QCOMPARE(chatLinesOf(w).last(), QStringLiteral("me:wait:salam"));
    sent();
    deliver(wirePacket(12, "all", "me|12|salam"));
    QCOMPARE(chatLinesOf(w), (QStringList{"ali:time:a|b:c@d", "me:time:salam"}));
}

void TestRoomHandlers::roomLineAroundRemovedElements_data()
{
    QTest::addColumn<QString>("text"); // the line's field as the server relays it
    QTest::addColumn<QString>("shown"); // the line's text in the page
    QTest::newRow("script between spaces")
        << QString::fromUtf8("سؤال@n; ما حكم <script>x</script> المد؟")
        << QString::fromUtf8("سؤال: ما حكم  المد؟");
    QTest::newRow("style between words") << "a@n;<style>p{}</style>b" << "a:b";
    QTest::newRow("frame after escapes")
        << "@arp;ali@n; <iframe src='http@n;//x'>x</iframe>hi@l;" << "@ali: hi|";
    QTest::newRow("picture without an address") << "x <img src=javascript@n;y> y" << "x  y";
    QTest::newRow("comment first") << "<!-- c -->text@n; after" << "text: after";
    QTest::newRow("container and its content") << "before <svg><b>in</b></svg> after"
                                              << "before  after";
    QTest::newRow("script never closed") << "a@n; b <script>x@n;y" << "a: b ";
}

void TestRoomHandlers::roomLineAroundRemovedElements()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(12, "all", encodeCp1256(QStringLiteral("ali|12|") + text)));
    const QWebElement cell = chatPageOf(w)->findFirstElement(QStringLiteral("span.messagetime"));
    QVERIFY(!cell.isNull());
    QWebElement line = cell.parent();
    const QString all = line.evaluateJavaScript(QStringLiteral("this.textContent")).toString();
    QCOMPARE(all.mid(cell.toPlainText().size()), shown);
    // Shown with its white space collapsed, as the view draws it.
    QCOMPARE(chatLinesOf(w), QStringList{"ali:time:" + shown.simplified()});
}

void TestRoomHandlers::whispers()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0));
    const auto text = [w] { return chatPageOf(w)->toPlainText(); };
    deliver(wirePacket(12, "wisbar", "ali|me|12|ps@l;st"));
    QVERIFY(text().contains(QStringLiteral("Start Wisbar")));
    QVERIFY(text().contains(QStringLiteral("ps|st")));
    QVERIFY(!text().contains(QStringLiteral("Send Wisbar")));
    deliver(wirePacket(12, "wisbar", "ali|sara|12|not for me"));
    QVERIFY(!text().contains(QStringLiteral("not for me")));
    // The own whisper, returned by the server, shows as the sent notice.
    deliver(wirePacket(12, "wisbar", "me|ali|12|back"));
    QVERIFY(text().contains(QStringLiteral("Send Wisbar")));
    QVERIFY(!text().contains(QStringLiteral("back")));
}

void TestRoomHandlers::titleChange()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(12, "ChangeTitle", "12|Usul|New@n; owner|It@l;s ''quoted''"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Usul  _ me"));
    QCOMPARE(w->getName(), QStringLiteral("Fiqh"));
    QVERIFY(headerOf(w).contains(QStringLiteral("It|s 'quoted'")));
    QVERIFY(headerOf(w).contains(QStringLiteral("New: owner")));
}

void TestRoomHandlers::stateWords_data()
{
    QTest::addColumn<QByteArray>("packets");
    QTest::addColumn<QStringList>("rows");
    const QByteArray base;
    QTest::newRow("mic") << wirePacket(13, "mic", "b|12|0|0") << QStringList{"b/mic", "a/null", "c/null"};
    QTest::newRow("man") << wirePacket(13, "man", "c|12|0|0") << QStringList{"c/man", "a/null", "b/null"};
    // A row moved up keeps its place when its state falls back.
    QTest::newRow("man-no to granted")
        << wirePacket(13, "man", "c|12|0|0") + wirePacket(13, "man-no", "c|12|1|0")
        << QStringList{"c/mic-n", "a/null", "b/null"};
    QTest::newRow("mic-no with nothing left: null")
        << wirePacket(13, "mic", "b|12|0|0") + wirePacket(13, "mic-no", "b|12|0|0|0")
        << QStringList{"b/null", "a/null", "c/null"};
    QTest::newRow("mic-no barred: red")
        << wirePacket(13, "mic-no", "b|12|1|1|0") << QStringList{"b/red", "a/null", "c/null"};
    QTest::newRow("cam then cam-no")
        << wirePacket(13, "cam", "c|12|0") + wirePacket(13, "cam-no", "c|12|0")
        << QStringList{"c/null", "a/null", "b/null"};
    QTest::newRow("cam") << wirePacket(13, "cam", "c|12|0") << QStringList{"c/null+cam", "a/null", "b/null"};
    QTest::newRow("NoMic granted") << wirePacket(13, "NoMic", "a|12|0|1|0|0|0")
                                   << QStringList{"a/mic-n", "b/null", "c/null"};
    QTest::newRow("NoMic keeps a raised hand")
        << wirePacket(13, "man", "a|12|0|0") + wirePacket(13, "NoMic", "a|12|0|1|1|0|0")
        << QStringList{"a/man", "b/null", "c/null"};
    QTest::newRow("other room") << wirePacket(13, "mic", "b|13|0|0") << QStringList{"a/null", "b/null", "c/null"};
}

void TestRoomHandlers::stateWords()
{
    QFETCH(QByteArray, packets);
    QFETCH(QStringList, rows);
    FrmRoom *w = enter(user("a", 0, 1, 0, 0, 0, 0, 0) + "<>" + user("b", 0, 1, 0, 0, 0, 0, 0) + "<>"
                       + user("c", 0, 1, 0, 0, 0, 0, 0));
    deliver(packets);
    QCOMPARE(rowsOf(w), rows);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::ownStateWords_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("handUp");
    QTest::addColumn<bool>("micOn");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("noMic");
    // Before each packet: hand up, microphone held, not red, noMic clear.
    QTest::newRow("man") << wirePacket(13, "man", "me|12|0|0") << true << false << false << false;
    QTest::newRow("man-no") << wirePacket(13, "man-no", "me|12|0|0") << false << false << false << false;
    QTest::newRow("mic") << wirePacket(13, "mic", "me|12|0|0") << false << true << false << false;
    QTest::newRow("mic-no") << wirePacket(13, "mic-no", "me|12|0|0|0") << false << false << false << false;
    QTest::newRow("NoMic barred, hand down")
        << wirePacket(13, "NoMic", "me|12|0|0|0|0|1") << false << false << true << false;
    QTest::newRow("NoMic granted, hand still up")
        << wirePacket(13, "NoMic", "me|12|0|1|1|0|0") << true << false << false << true;
    QTest::newRow("NoMic nothing: mic kept")
        << wirePacket(13, "NoMic", "me|12|1|0|1|0|0") << true << true << false << false;
    QTest::newRow("another user's word") << wirePacket(13, "mic-no", "ali|12|0|0|0") << true << true
                                         << false << false;
}

void TestRoomHandlers::ownStateWords()
{
    QFETCH(QByteArray, packet);
    QFETCH(bool, handUp);
    QFETCH(bool, micOn);
    QFETCH(bool, red);
    QFETCH(bool, noMic);
    FrmRoom *w = enter(user("me", 0, 1, 0, 0, 0, 0, 0));
    w->handUp = w->micOn = true;
    deliver(packet);
    QCOMPARE(w->handUp, handUp);
    QCOMPARE(w->micOn, micOn);
    QCOMPARE(w->red, red);
    QCOMPARE(w->noMic, noMic);
}

void TestRoomHandlers::lastSpeakerLeaves()
{
    FrmRoom *w = enter(user("ali", 0, 1, 0, 0, 0, 0, 0) + "<>" + user("me", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(13, "mic", "ali|12|0|0"));
    QCOMPARE(totalMicOf(w), 1);
    deliver(wirePacket(11, "", "ali|12"));
    QCOMPARE(totalMicOf(w), 0);
    // On a busy machine the watch may have started the stream while ali
    // spoke: it ends as a finished stream does.
    QVERIFY(QMetaObject::invokeMethod(w, "slotTimeAudio"));
    deleteLaterNow();
    QVERIFY(!fetchesStream(w));
    // The stream watch finds nobody to hear and asks for nothing.
    QMetaObject::invokeMethod(w, "slotTime");
    QVERIFY(!fetchesStream(w));
}

void TestRoomHandlers::hostilePeers()
{
    const QByteArray script = "<img src=x onerror=\"document.title='hit'\">"
                              "<script>document.title='hit'</script>";
    deliver(entry(user("<b>bold</b>", 0, 1, 0, 0, 0, 0, 0),
                  roomRecord("<script>document.title='hit'</script>Title")));
    FrmRoom *w = roomWindow(12);
    QVERIFY(w);
    deliver(wirePacket(12, "all", "<i>x</i>|12|" + script + "text")
            + wirePacket(12, "wisbar", "<i>x</i>|me|12|" + script)
            + wirePacket(12, "ChangeTitle", "12|<b>n</b>|<script>x()</script>|" + script));
    QWebFrame *page = chatPageOf(w);
    QCOMPARE(page->evaluateJavaScript(QStringLiteral("document.title")).toString(), QString());
    const QString html = page->toHtml();
    QVERIFY(!html.contains(QStringLiteral("'hit'")));
    const QString scripts = QStringLiteral(
        "Array.prototype.filter.call(document.scripts, function(s) {"
        " return s.text.indexOf('x()') >= 0; }).length");
    QCOMPARE(page->evaluateJavaScript(scripts).toInt(), 0);
    QVERIFY(!html.contains(QStringLiteral("onerror"), Qt::CaseInsensitive));
    // Names are text: the sender's markup shows as written.
    QVERIFY(page->toPlainText().contains(QStringLiteral("<i>x</i>")));
    QCOMPARE(rowsOf(w), QStringList{"<b>bold</b>/null"});
    QCOMPARE(w->windowTitle(), QStringLiteral("<b>n</b>  _ me"));
}

void TestRoomHandlers::malformed_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("8 Rooms short item") << wirePacket(8, "Rooms", "1:a");
    QTest::newRow("10 Lst_room without ||") << wirePacket(10, "Lst_room", roomRecord());
    QTest::newRow("10 Lst_room, short room record")
        << wirePacket(10, "Lst_room", "id:12|name:x||" + user("zz", 0, 1, 0, 0, 0, 0, 0));
    QTest::newRow("10 Lst_user short") << wirePacket(10, "Lst_user", "id:12|n:zz|t:1");
    QTest::newRow("10 other name") << wirePacket(10, "Lst_rooms", roomRecord() + "||");
    QTest::newRow("11 no room") << wirePacket(11, "", "a");
    QTest::newRow("11 empty") << wirePacket(11, "", "");
    QTest::newRow("12 all, one field") << wirePacket(12, "all", "a");
    QTest::newRow("12 all, two fields") << wirePacket(12, "all", "a|12");
    QTest::newRow("12 wisbar short") << wirePacket(12, "wisbar", "a|me|12");
    QTest::newRow("12 ChangeTitle short") << wirePacket(12, "ChangeTitle", "12|x|y");
    QTest::newRow("12 other name") << wirePacket(12, "All", "a|12|x");
    QTest::newRow("13 mic short") << wirePacket(13, "mic", "a");
    QTest::newRow("13 man-no short") << wirePacket(13, "man-no", "a|12|1");
    QTest::newRow("13 mic-no short") << wirePacket(13, "mic-no", "a|12");
    QTest::newRow("13 NoMic short") << wirePacket(13, "NoMic", "a|12|0|1|0|0");
    QTest::newRow("13 sabora short") << wirePacket(13, "sabora", "1");
    QTest::newRow("13 unknown") << wirePacket(13, "mics", "a|12|0|0");
    QTest::newRow("13 empty") << wirePacket(13, "", "");
    QTest::newRow("body with a NUL") << wirePacket(12, "all", QByteArray("a|12", 4) + '\0' + "|x");
}

void TestRoomHandlers::malformed()
{
    QFETCH(QByteArray, packet);
    FrmRoom *w = enter(user("a", 0, 1, 0, 0, 0, 0, 0) + "<>" + user("me", 0, 1, 0, 0, 0, 0, 0));
    deliver(wirePacket(8, "Group", "1:g"));
    const QStringList rows = rowsOf(w);
    const QString title = w->windowTitle();
    const int rooms = tableOf(frmgrup)->rowCount();
    sent();
    deliver(packet);
    QCOMPARE(roomWindow(12), w);
    QCOMPARE(frmRooms.size(), 1);
    QCOMPARE(rowsOf(w), rows);
    QVERIFY(chatLinesOf(w).isEmpty());
    QCOMPARE(w->windowTitle(), title);
    QVERIFY(!w->micOn && !w->handUp && !w->red);
    QVERIFY(!w->getVisibleSabora());
    QCOMPARE(tableOf(frmgrup)->rowCount(), rooms);
    QCOMPARE(sent(), QByteArray());
}

void TestRoomHandlers::entryDuringChooserPrompt()
{
    // The room opens while the chooser's supervisor prompt is open: the
    // chooser goes once the prompt has ended, and the prompt's answer sends
    // nothing.
    deliver(wirePacket(8, "Group", "7:A") + wirePacket(8, "Rooms", "12:Fiqh:3:0"));
    QPointer<FrmGroup> chooser = frmgrup;
    tableOf(chooser)->setCurrentCell(0, 2);
    sent();
    ModalAnswerer answerer;
    answerer.setDialogResult(QDialog::Accepted);
    answerer.whileOpen([this, &chooser](QDialog *d) {
        auto *prompt = qobject_cast<QInputDialog *>(d);
        QVERIFY(prompt);
        QCOMPARE(prompt->textEchoMode(), QLineEdit::Password);
        prompt->setTextValue(QStringLiteral("secret"));
        deliver(entry(user("me", 1, -101, 0, 0, 0, 0, 0)));
        deleteLaterNow();
        QVERIFY(chooser && !frmgrup);
    });
    QVERIFY(QMetaObject::invokeMethod(chooser, "menuAdmin"));
    QCOMPARE(answerer.shown.size(), 1);
    deleteLaterNow();
    QVERIFY(!chooser);
    QVERIFY(roomWindow(12));
    QCOMPARE(sent(), QByteArray());
}

QTEST_MAIN(TestRoomHandlers)
#include "tst_roomhandlers.moc"
