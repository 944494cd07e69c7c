// The group and room administration window: every request it sends, as
// bytes, along the roads of both tabs (mouse and keyboard), its refusals,
// the results of the server and the window's life.
#include "contacttree.h"

#include "admin/frm_adrm.h"
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

namespace {

const QByteArray kGroups = "3:First|7:Second";
const QByteArray kRooms = "12:Room A:x:p1:p2:ostad:30:a@n;b@l;c@arp;d|13:Room B:y:::t::";

template <class T> T *child(const char *name) { return frmadrm->findChild<T *>(name); }
QLineEdit *edit(const char *name) { return child<QLineEdit>(name); }
QListWidget *list(const char *name) { return child<QListWidget>(name); }
QComboBox *combo(const char *name) { return child<QComboBox>(name); }

void press(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

void clickRow(QListWidget *view, int row)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualItemRect(view->item(row)).center());
}

QStringList rows(QListWidget *view)
{
    QStringList out;
    for (int i = 0; i < view->count(); ++i)
        out << view->item(i)->text();
    return out;
}

QStringList items(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// "name|password|supervisor password|teacher|maximum|banner"
QString roomFields()
{
    return QStringList{edit("T_room")->text(), edit("T_pass")->text(), edit("T_pass2")->text(),
                       edit("T_ownar")->text(), edit("T_max")->text(),
                       child<QTextEdit>("T_affiche")->toPlainText()}
        .join(QLatin1Char('|'));
}

void clickRoomTab()
{
    QTabBar *bar = child<QTabWidget>("tabWidget")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
}

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

class TestFrmAdRm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opening();
    void groupList_data();
    void groupList();
    void groupRoads_data();
    void groupRoads();
    void roomRoads_data();
    void roomRoads();
    void showingRooms();
    void results_data();
    void results();
    void closedDuringResultMessage_data();
    void closedDuringResultMessage();
    void dispatched_data();
    void dispatched();
    void fieldsAndKeys();
    void lifeAndMenu();

private:
    LoopbackPeer m_peer;
};

void TestFrmAdRm::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    QVERIFY(m_peer.connectClient());
}

void TestFrmAdRm::init()
{
    frmadrm = new Frm_adRm(nullptr);
    frmadrm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmadrm));
    m_peer.sent();
    frmadrm->ListGroup(QString::fromLatin1(kGroups));
}

void TestFrmAdRm::cleanup()
{
    delete frmadrm;
    delete frmusr;
    deleteLaterNow();
    QVERIFY(!frmadrm);
    QVERIFY(!frmusr);
}

void TestFrmAdRm::opening()
{
    delete frmadrm;
    QVERIFY(!frmadrm);
    frmadrm = new Frm_adRm(nullptr);
    QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "GroupCoA"));
    QCOMPARE(frmadrm->windowTitle(), QString::fromUtf8("إدارة الأقسام والحلقات"));
    QCOMPARE(frmadrm->size(), QSize(720, 580));
    QCOMPARE(child<QTabWidget>("tabWidget")->currentIndex(), 0);
    QVERIFY(!(frmadrm->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(frmadrm->windowFlags() & Qt::WindowContextHelpButtonHint));
}

void TestFrmAdRm::groupList_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("two groups") << QString::fromLatin1(kGroups) << QStringList{"First", "Second"};
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("blank") << "   " << QStringList();
    QTest::newRow("record without a name skipped") << "3:First|junk|" << QStringList{"First"};
    QTest::newRow("arabic") << QString::fromUtf8("4:علوم") << QStringList{QString::fromUtf8("علوم")};
}

void TestFrmAdRm::groupList()
{
    QFETCH(QString, body);
    QFETCH(QStringList, groups);
    // Fields typed on both tabs and the rooms shown go with every group list.
    frmadrm->ListRooms(QString::fromLatin1(kRooms));
    edit("T1")->setText("typed");
    edit("T_room")->setText("typed");
    child<QTextEdit>("T_affiche")->setPlainText("typed");
    frmadrm->ListGroup(body);
    QCOMPARE(rows(list("listGroup")), groups);
    QCOMPARE(items(combo("comboBox")), groups);
    QCOMPARE(items(combo("comboBox2")), groups);
    QCOMPARE(combo("comboBox")->currentIndex(), groups.isEmpty() ? -1 : 0);
    QCOMPARE(combo("comboBox2")->currentIndex(), groups.isEmpty() ? -1 : 0);
    QCOMPARE(list("listRoom")->count(), 0);
    QVERIFY(edit("T1")->text().isEmpty());
    QCOMPARE(roomFields(), QStringLiteral("|||||"));
    // Filling the group boxes asks for nothing.
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmAdRm::groupRoads_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    const QStringList noGroup{"No Choix Group"};
    const QStringList separator{"No Separator Char"};
    QTest::newRow("add") << "add علوم"
                         << literalPacket("0b00" "08000000", "NewGroup",
                                          QByteArray::fromHex("303adae1e6e33a30"))
                         << none;
    QTest::newRow("add, spaces kept") << "add   ab  "
                                      << literalPacket("0b00" "0a000000", "NewGroup", "0:  ab  :0")
                                      << none;
    QTest::newRow("add blank") << "add    " << QByteArray() << noGroup;
    QTest::newRow("add with a bar") << "add a|b" << QByteArray() << separator;
    QTest::newRow("add with a colon") << "add a:b" << QByteArray() << separator;
    QTest::newRow("rename, mouse") << "click 1, name Third, rename"
                                   << literalPacket("0b00" "09000000", "EditGroup", "7:Third:0")
                                   << none;
    QTest::newRow("rename, keyboard") << "click 0, key down, rename"
                                      << literalPacket("0b00" "0a000000", "EditGroup", "7:Second:0")
                                      << none;
    QTest::newRow("delete") << "click 1, delete"
                            << literalPacket("0b00" "08000000", "DelGroup", "7:Second") << none;
    QTest::newRow("rename, no group chosen") << "name Third, rename" << QByteArray() << noGroup;
    QTest::newRow("delete, no group chosen") << "name Third, delete" << QByteArray() << noGroup;
    QTest::newRow("rename, name emptied") << "click 1, name  , rename" << QByteArray() << noGroup;
    QTest::newRow("rename with a colon") << "click 1, name a:b, rename" << QByteArray()
                                         << separator;
    QTest::newRow("refresh") << "refresh" << literalPacket("0500" "00000000", "GroupCoA") << none;
}

void TestFrmAdRm::groupRoads()
{
    QFETCH(QString, road);
    QFETCH(QByteArray, packet);
    QFETCH(QStringList, messages);
    ModalAnswerer answers;
    QListWidget *groups = list("listGroup");
    for (const QString &step : road.split(QStringLiteral(", "))) {
        if (step.startsWith(QLatin1String("add "))) {
            edit("T1")->setText(step.mid(4));
            press("pushButton_4");
        } else if (step.startsWith(QLatin1String("click "))) {
            clickRow(groups, step.mid(6).toInt());
        } else if (step == QLatin1String("key down")) {
            QTest::keyClick(groups, Qt::Key_Down);
        } else if (step.startsWith(QLatin1String("name "))) {
            edit("T2")->setText(step.mid(5));
        } else if (step == QLatin1String("rename")) {
            press("pushButton");
        } else if (step == QLatin1String("delete")) {
            press("pushButton_2");
        } else if (step == QLatin1String("refresh")) {
            press("pushButton_3");
        } else {
            QFAIL(qPrintable(step));
        }
    }
    QCOMPARE(m_peer.sent(), packet);
    QCOMPARE(answers.texts(), messages);
    for (const ShownDialog &shown : answers.shown)
        QCOMPARE(shown.title, QStringLiteral("Title App"));
}

void TestFrmAdRm::roomRoads_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    const QStringList separator{"No Separator Char"};
    const QByteArray first = literalPacket("0500" "07000000", "RoomsCoA", "3:First");
    const QByteArray second = literalPacket("0500" "08000000", "RoomsCoA", "7:Second");
    QTest::newRow("second group, keyboard") << "group down" << second << none;
    QTest::newRow("second group, mouse") << "group pick 1" << second << none;
    QTest::newRow("the shown group again") << "group pick 0" << first << none;
    QTest::newRow("room tab") << "tab" << first << none;
    // The first group's id goes with the first group's name.
    QTest::newRow("room tab, second group shown") << "group down, forget, tab" << first << none;
    QTest::newRow("group tab") << "group tab" << QByteArray() << none;
    QTest::newRow("move target only") << "target 1" << QByteArray() << none;

    QTest::newRow("new room, empty maximum")
        << "room R1, new" << literalPacket("0c00" "13000000", "New Room", "0:::|3|R1||200||1||")
        << none;
    QTest::newRow("new room, maximum 0") << "room R1, max 0, new"
                                         << literalPacket("0c00" "13000000", "New Room",
                                                          "0:::|3|R1||200||1||")
                                         << none;
    QTest::newRow("new room, maximum 35") << "room R1, max 35, new"
                                          << literalPacket("0c00" "12000000", "New Room",
                                                           "0:::|3|R1||35||1||")
                                          << none;
    QTest::newRow("new room, every field, banner escaped")
        << "room R1, teacher ostad, banner a:b|c@d, pass p1, pass2 p2, new"
        << literalPacket("0c00" "2b000000", "New Room",
                         "0:::|3|R1|ostad|200|a@n;b@l;c@arp;d|1|p1|p2")
        << none;
    QTest::newRow("new room, no name") << "room   , new" << QByteArray() << QStringList{"No Choix Room"};
    QTest::newRow("new room, no group") << "no groups, room R1, new" << QByteArray()
                                        << QStringList{"No Choix Group Room"};
    QTest::newRow("new room, bar in the teacher") << "room R1, teacher a|b, new" << QByteArray()
                                                  << separator;
    QTest::newRow("new room, colon in the name") << "room R:1, new" << QByteArray() << separator;
    QTest::newRow("new room, colon in a password") << "room R1, pass a:b, new" << QByteArray()
                                                   << separator;

    QTest::newRow("save room, empty maximum kept")
        << "rooms, click 1, save"
        << literalPacket("0c00" "16000000", "Edit Room", "13:::|3|Room B|t|||1||") << none;
    QTest::newRow("save room, keyboard")
        << "rooms, click 0, key down, room Room C, save"
        << literalPacket("0c00" "16000000", "Edit Room", "13:::|3|Room C|t|||1||") << none;
    QTest::newRow("save room, none chosen") << "rooms, room R1, save" << QByteArray() << none;
    QTest::newRow("save room, no name") << "rooms, click 1, room  , save" << QByteArray()
                                        << QStringList{"No Choix Room"};
    QTest::newRow("save room, bar in the password") << "rooms, click 1, pass2 x|y, save"
                                                    << QByteArray() << separator;
    QTest::newRow("delete room") << "rooms, click 1, delete"
                                 << literalPacket("0c00" "03000000", "Del Room", "13:") << none;
    QTest::newRow("delete room, none chosen") << "rooms, delete" << QByteArray() << none;
    QTest::newRow("move room") << "rooms, click 1, target 1, move"
                               << literalPacket("0c00" "05000000", "Move Room", "13::7") << none;
    QTest::newRow("move room, none chosen") << "rooms, target 1, move" << QByteArray() << none;
}

void TestFrmAdRm::roomRoads()
{
    QFETCH(QString, road);
    QFETCH(QByteArray, packet);
    QFETCH(QStringList, messages);
    ModalAnswerer answers;
    QListWidget *rooms = list("listRoom");
    QComboBox *groupBox = combo("comboBox");
    for (const QString &step : road.split(QStringLiteral(", "))) {
        const QString arg = step.section(QLatin1Char(' '), 1);
        if (step == QLatin1String("group down")) {
            QTest::keyClick(groupBox, Qt::Key_Down);
            QCOMPARE(combo("comboBox2")->currentIndex(), 1);
        } else if (step.startsWith(QLatin1String("group pick "))) {
            // A choice in the open list: the index changes (or not), then
            // the entry is activated.
            groupBox->setCurrentIndex(step.mid(11).toInt());
            emit groupBox->activated(step.mid(11).toInt());
        } else if (step == QLatin1String("group tab")) {
            QTabBar *bar = child<QTabWidget>("tabWidget")->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        } else if (step == QLatin1String("forget")) {
            m_peer.sent();
        } else if (step == QLatin1String("tab")) {
            clickRoomTab();
        } else if (step.startsWith(QLatin1String("target "))) {
            combo("comboBox2")->setCurrentIndex(arg.toInt());
        } else if (step == QLatin1String("no groups")) {
            frmadrm->ListGroup(QString());
        } else if (step == QLatin1String("rooms")) {
            frmadrm->ListRooms(QString::fromLatin1(kRooms));
        } else if (step.startsWith(QLatin1String("click "))) {
            clickRow(rooms, arg.toInt());
        } else if (step == QLatin1String("key down")) {
            QTest::keyClick(rooms, Qt::Key_Down);
        } else if (step.startsWith(QLatin1String("room "))) {
            edit("T_room")->setText(arg);
        } else if (step.startsWith(QLatin1String("teacher "))) {
            edit("T_ownar")->setText(arg);
        } else if (step.startsWith(QLatin1String("max "))) {
            edit("T_max")->setText(arg);
        } else if (step.startsWith(QLatin1String("pass "))) {
            edit("T_pass")->setText(arg);
        } else if (step.startsWith(QLatin1String("pass2 "))) {
            edit("T_pass2")->setText(arg);
        } else if (step.startsWith(QLatin1String("banner "))) {
            child<QTextEdit>("T_affiche")->setPlainText(arg);
        } else if (step == QLatin1String("new")) {
            press("pushButton_8");
        } else if (step == QLatin1String("save")) {
            press("pushButton_6");
        } else if (step == QLatin1String("delete")) {
            press("pushButton_7");
        } else if (step == QLatin1String("move")) {
            press("pushButton_5");
        } else {
            QFAIL(qPrintable(step));
        }
    }
    QCOMPARE(m_peer.sent(), packet);
    QCOMPARE(answers.texts(), messages);
    // A new room with no usable maximum shows the one it sends.
    if (packet.contains("|200|"))
        QCOMPARE(edit("T_max")->text(), QStringLiteral("200"));
}

void TestFrmAdRm::showingRooms()
{
    frmadrm->ListRooms(QString::fromLatin1(kRooms));
    QListWidget *rooms = list("listRoom");
    QCOMPARE(rows(rooms), (QStringList{"Room A", "Room B"}));
    QCOMPARE(rooms->currentRow(), -1);
    QCOMPARE(roomFields(), QStringLiteral("|||||"));
    clickRow(rooms, 0);
    QCOMPARE(roomFields(), QStringLiteral("Room A|p1|p2|ostad|30|a:b|c@d"));
    QTest::keyClick(rooms, Qt::Key_Down);
    QCOMPARE(roomFields(), QStringLiteral("Room B|||t||"));
    // Clicking the chosen room again puts its listed values back.
    edit("T_room")->setText("edited");
    clickRow(rooms, 1);
    QCOMPARE(roomFields(), QStringLiteral("Room B|||t||"));
    // A new room list leaves no room chosen and the fields as they are.
    frmadrm->ListRooms(QStringLiteral("20:Only"));
    QCOMPARE(rows(rooms), QStringList{"Only"});
    QCOMPARE(rooms->currentRow(), -1);
    QCOMPARE(roomFields(), QStringLiteral("Room B|||t||"));
    frmadrm->ListRooms(QStringLiteral("  "));
    QCOMPARE(rooms->count(), 0);
    // Short and hostile records never read past their fields.
    frmadrm->ListRooms(QStringLiteral("5|6:Six|7:Seven:x:a"));
    QCOMPARE(rows(rooms), (QStringList{"Six", "Seven"}));
    clickRow(rooms, 1);
    QCOMPARE(roomFields(), QStringLiteral("Seven|a||||"));
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmAdRm::results_data()
{
    QTest::addColumn<bool>("rooms");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("Edit_Group") << false << "Edit_Group" << QStringList{"Edit Group"};
    QTest::newRow("Del_Group") << false << "Del_Group" << QStringList{"Del Group"};
    QTest::newRow("New_Group") << false << "New_Group" << QStringList{"New Group"};
    QTest::newRow("No_DelGroup") << false << "No_DelGroup" << QStringList{"No Del Group"};
    QTest::newRow("Group_deja") << false << "Group_deja" << QStringList{"Group Deja"};
    QTest::newRow("other group tag") << false << "group_deja" << QStringList();
    QTest::newRow("New_Room") << true << "New_Room" << QStringList{"New Room"};
    QTest::newRow("Move_Room") << true << "Move_Room" << QStringList{"Move Room"};
    QTest::newRow("Edit_Room") << true << "Edit_Room" << QStringList{"Edit Room"};
    QTest::newRow("Del_Room") << true << "Del_Room" << QStringList{"Del Room"};
    QTest::newRow("No_Owner") << true << "No_Owner" << QStringList{"No Owner"};
    QTest::newRow("Room_deja") << true << "Room_deja" << QStringList{"Room deja"};
    QTest::newRow("other room tag") << true << "Edit Room" << QStringList();
}

void TestFrmAdRm::results()
{
    QFETCH(bool, rooms);
    QFETCH(QString, tag);
    QFETCH(QStringList, messages);
    ModalAnswerer answers;
    // The second group is shown, with a room chosen and a field edited.
    QTest::keyClick(combo("comboBox"), Qt::Key_Down);
    frmadrm->ListRooms(QString::fromLatin1(kRooms));
    clickRow(list("listRoom"), 0);
    edit("T_max")->setText("99");
    m_peer.sent();
    // The request goes out once the message is closed.
    answers.whileOpen([this](QDialog *) { QCOMPARE(m_peer.sent(), QByteArray()); });
    if (rooms)
        frmadrm->EditRooms(tag);
    else
        frmadrm->EditGroup(tag);
    QCOMPARE(answers.texts(), messages);
    for (const ShownDialog &shown : answers.shown) {
        QCOMPARE(shown.title, QStringLiteral("Title App"));
        QCOMPARE(shown.icon, QMessageBox::Information);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    if (rooms) {
        QCOMPARE(m_peer.sent(), literalPacket("0500" "08000000", "RoomsCoA", "7:Second"));
        QCOMPARE(roomFields(), QStringLiteral("|||||"));
    } else {
        QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "GroupCoA"));
        QCOMPARE(edit("T_max")->text(), QStringLiteral("99"));
    }
}

void TestFrmAdRm::closedDuringResultMessage_data()
{
    QTest::addColumn<bool>("rooms");
    QTest::addColumn<QString>("tag");
    QTest::newRow("group result") << false << "New_Group";
    QTest::newRow("room result") << true << "New_Room";
}

void TestFrmAdRm::closedDuringResultMessage()
{
    // Closed while the result is shown: the window asks for no list once the
    // message ends, and goes only then.
    QFETCH(bool, rooms);
    QFETCH(QString, tag);
    QTest::keyClick(combo("comboBox"), Qt::Key_Down);
    m_peer.sent();
    ModalAnswerer answers;
    QPointer<Frm_adRm> window(frmadrm);
    bool keptWhileOpen = false;
    answers.whileOpen([&](QDialog *) {
        frmadrm->close();
        deleteLaterNow();
        keptWhileOpen = window && !frmadrm;
    });
    if (rooms)
        frmadrm->EditRooms(tag);
    else
        frmadrm->EditGroup(tag);
    QCOMPARE(answers.shown.size(), 1);
    QVERIFY(keptWhileOpen);
    deleteLaterNow();
    QVERIFY(!window);
    QVERIFY(!frmadrm);
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmAdRm::dispatched_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("rooms");
    QTest::addColumn<QByteArray>("request");
    const QStringList two{"First", "Second"};
    QTest::newRow("18 Group") << true << wirePacket(18, "Group", "4:" + QByteArray::fromHex("dae1e6e3"))
                              << QStringList{QString::fromUtf8("علوم")} << QStringList()
                              << QByteArray();
    QTest::newRow("18 Rooms") << true << wirePacket(18, "Rooms", kRooms) << two
                              << QStringList{"Room A", "Room B"} << QByteArray();
    QTest::newRow("18 other name") << true << wirePacket(18, "Roomz", kRooms) << two
                                   << QStringList() << QByteArray();
    QTest::newRow("19 result") << true << wirePacket(19, "Group_deja", "")
                               << two << QStringList()
                               << literalPacket("0500" "00000000", "GroupCoA");
    QTest::newRow("21 result") << true << wirePacket(21, "Room_deja", "") << two << QStringList()
                               << literalPacket("0500" "07000000", "RoomsCoA", "3:First");
    QTest::newRow("18 while closed") << false << wirePacket(18, "Group", "1:x") << QStringList()
                                     << QStringList() << QByteArray();
    QTest::newRow("19 while closed") << false << wirePacket(19, "New_Group", "") << QStringList()
                                     << QStringList() << QByteArray();
    QTest::newRow("21 while closed") << false << wirePacket(21, "New_Room", "") << QStringList()
                                     << QStringList() << QByteArray();
}

void TestFrmAdRm::dispatched()
{
    QFETCH(bool, open);
    QFETCH(QByteArray, packet);
    QFETCH(QStringList, groups);
    QFETCH(QStringList, rooms);
    QFETCH(QByteArray, request);
    ModalAnswerer answers;
    if (!open) {
        delete frmadrm;
        QVERIFY(!frmadrm);
    }
    bool handled = false;
    setDispatchObserver([&handled](const IncomingCommand &) { handled = true; });
    m_peer.send(packet);
    QTRY_VERIFY(handled);
    setDispatchObserver({});
    QCOMPARE(m_peer.sent(), request);
    if (!open) {
        QVERIFY(answers.shown.isEmpty());
        return;
    }
    QCOMPARE(rows(list("listGroup")), groups);
    QCOMPARE(rows(list("listRoom")), rooms);
}

void TestFrmAdRm::fieldsAndKeys()
{
    // Passwords hide what is typed.
    QCOMPARE(edit("T_pass")->echoMode(), QLineEdit::Password);
    QCOMPARE(edit("T_pass2")->echoMode(), QLineEdit::Password);
    // The maximum takes whole numbers from 0 to 1000.
    QLineEdit *maximum = edit("T_max");
    maximum->clear();
    QTest::keyClicks(maximum, "1001");
    QCOMPARE(maximum->text(), QStringLiteral("100"));
    maximum->clear();
    QTest::keyClicks(maximum, "ab7");
    QCOMPARE(maximum->text(), QStringLiteral("7"));
    // Escape leaves the window open.
    QTest::keyClick(frmadrm, Qt::Key_Escape);
    QVERIFY(frmadrm && frmadrm->isVisible());
    // The banner help lists the markup.
    const QString help = child<QTextEdit>("T_affiche")->toolTip();
    for (const char *token : {":صوت:", ":ت:", ":رسالة:", ":ة:", ":وميض:", ":ض:", ":رابط:", ":نص:",
                              ":ط:", ":عنوان:", ":ن:", ":خ:", ":ء:"})
        QVERIFY2(help.contains(QString::fromUtf8(token)), token);
}

void TestFrmAdRm::lifeAndMenu()
{
    QPointer<Frm_adRm> first(frmadrm);
    frmadrm->close();
    QVERIFY(!frmadrm);
    deleteLaterNow();
    QVERIFY(!first);

    frmusr = new FrmUser(nullptr);
    frmusr->SetAdmin(true);
    m_peer.sent();
    QMenu *admin = nullptr;
    for (QAction *action : frmusr->findChild<QMenuBar *>()->actions())
        if (action->text() == QLatin1String("Admin"))
            admin = action->menu();
    QVERIFY(admin);
    QAction *entry = admin->actions().first();
    QCOMPARE(entry->text(), QStringLiteral("Admin Groups Rooms"));
    QVERIFY(entry->isEnabled());
    entry->trigger();
    QVERIFY(frmadrm);
    QVERIFY(frmadrm->isVisible());
    QPointer<Frm_adRm> second(frmadrm);
    QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "GroupCoA"));
    // Choosing the entry again replaces the window by a fresh one.
    entry->trigger();
    QVERIFY(frmadrm && frmadrm != second);
    deleteLaterNow();
    QVERIFY(!second);
    QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "GroupCoA"));
}

QTEST_MAIN(TestFrmAdRm)
#include "tst_frm_adrm.moc"
