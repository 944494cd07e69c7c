// The administration and permission handlers (codes 5, 16, 20, 22 to 24,
// 28) reached through the dispatch: the own permission flags with the menus
// that follow them, the lists handed to the user administration window, and
// the requests that code 24 sends back, as bytes.
#include "contacttree.h"

#include "admin/frm_adus.h"
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/pure/ownpermissions.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList setFlags()
{
    QStringList out;
    for (int i = 0; i < kPermissionCount; ++i)
        if (*permissionFlags()[i])
            out << QLatin1String(kOwnPermissionKeys[size_t(i)]);
    return out;
}

QStringList menuBarTitles()
{
    QStringList out;
    for (QAction *action : frmusr->findChild<QMenuBar *>()->actions())
        out << action->text();
    return out;
}

QStringList rows(const char *name)
{
    QStringList out;
    auto *view = frmadus->findChild<QListWidget *>(name);
    for (int i = 0; i < view->count(); ++i)
        out << view->item(i)->text();
    return out;
}

} // namespace

class TestAdminHandlers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ownPermissions_data();
    void ownPermissions();
    void systemMessage_data();
    void systemMessage();
    void userWindowReplies_data();
    void userWindowReplies();
    void followUps_data();
    void followUps();
    void supervisorsOfTheRoomOnScreen();

private:
    // Sends the packets and waits until the last one has been handled.
    void deliver(const QList<QByteArray> &packets);
    LoopbackPeer m_peer;
};

void TestAdminHandlers::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    QVERIFY(m_peer.connectClient());
}

void TestAdminHandlers::init()
{
    for (int i = 0; i < kPermissionCount; ++i)
        *permissionFlags()[i] = false;
    frmusr = new FrmUser(nullptr);
    m_peer.sent();
}

void TestAdminHandlers::cleanup()
{
    delete frmadus;
    delete frmusr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmadus);
    QVERIFY(!frmusr);
}

void TestAdminHandlers::deliver(const QList<QByteArray> &packets)
{
    int handled = 0;
    setDispatchObserver([&handled](const IncomingCommand &) { ++handled; });
    for (const QByteArray &packet : packets)
        m_peer.send(packet);
    QTRY_COMPARE(handled, packets.size());
    setDispatchObserver({});
}

void TestAdminHandlers::ownPermissions_data()
{
    QTest::addColumn<QStringList>("bodies");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QStringList>("menus");
    const QStringList file{"File"};
    const QStringList admin{"File", "Admin"};
    const QStringList both{"File", "Admin", "Bat"};
    const QStringList live{"File", "Bat"};
    QTest::newRow("bat, create_room and an outsider")
        << QStringList{"bat:1|create_room:1|foo:1"} << QStringList{"bat", "create_room"} << both;
    QTest::newRow("only outsiders") << QStringList{"foo:1|new_room:1"} << QStringList() << file;
    QTest::newRow("empty") << QStringList{""} << QStringList() << file;
    QTest::newRow("bat kept by a later list without it")
        << QStringList{"bat:1|edit_group:1", "foo:1"} << QStringList{"bat"} << live;
    QTest::newRow("zowar kept too") << QStringList{"zowar:1", ""} << QStringList{"zowar"} << admin;
    QTest::newRow("a later record of a key wins")
        << QStringList{"create_room:0|create_room:1"} << QStringList{"create_room"} << admin;
    // Withdrawals: every flag is recomputed and the menus follow.
    QTest::newRow("bat withdrawn") << QStringList{"bat:1|edit_room:1", "bat:0"} << QStringList()
                                   << file;
    QTest::newRow("administration withdrawn")
        << QStringList{"super_co_admin:1|bat:1", "super_co_admin:0"} << QStringList{"bat"} << live;
    QTest::newRow("every right 0") << QStringList{"bat:0|zowar:0|create_room:0|msg_system:0"}
                                   << QStringList() << file;
    QTest::newRow("granted again") << QStringList{"ban_users:1", "", "ban_users:1"}
                                   << QStringList{"ban_users"} << admin;
    QTest::newRow("key without value skipped") << QStringList{"super_co_admin|bat:x"}
                                               << QStringList() << file;
    // Read as 0, a kept key without its value would be withdrawn.
    QTest::newRow("kept keys without value skipped")
        << QStringList{"bat:1|zowar:1", "bat|zowar|create_room"} << QStringList{"bat", "zowar"}
        << both;
    QTest::newRow("last key") << QStringList{"super_co_admin:7"} << QStringList{"super_co_admin"}
                              << admin;
}

void TestAdminHandlers::ownPermissions()
{
    QFETCH(QStringList, bodies);
    QFETCH(QStringList, flags);
    QFETCH(QStringList, menus);
    QList<QByteArray> packets;
    for (const QString &body : bodies)
        packets << wirePacket(16, "pouvoirs", body.toLatin1());
    deliver(packets);
    QCOMPARE(setFlags(), flags);
    QCOMPARE(menuBarTitles(), menus);
    // The live entry is not built yet; the administration entries are.
    for (QAction *menu : frmusr->findChild<QMenuBar *>()->actions())
        if (menu->text() == QLatin1String("Admin"))
            QVERIFY(menu->menu()->actions().first()->isEnabled());
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestAdminHandlers::systemMessage_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no_admin") << QByteArray("no_admin")
                              << QStringList{QString::fromUtf8(
                                     "ليس لديك الصلاحيات الكافية للقيام بهذه المهمة")};
    QTest::newRow("other") << QByteArray("no_admins") << QStringList();
}

void TestAdminHandlers::systemMessage()
{
    QFETCH(QByteArray, name);
    QFETCH(QStringList, messages);
    QTranslator arabic;
    QVERIFY(arabic.load(":/Resources/Languages/arabic.qm"));
    QCoreApplication::installTranslator(&arabic);
    ModalAnswerer answers;
    deliver({wirePacket(20, name, "ignored")});
    QCoreApplication::removeTranslator(&arabic);
    QCOMPARE(answers.texts(), messages);
    if (!messages.isEmpty()) {
        QCOMPARE(answers.shown.first().title, QString::fromUtf8("رسالة"));
        QCOMPARE(answers.shown.first().icon, QMessageBox::Warning);
        QCOMPARE(answers.shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

void TestAdminHandlers::userWindowReplies_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("view");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("22 Group") << true << wirePacket(22, "Group", "3:First|7:Second") << "comboBox"
                              << QStringList{"First", "Second"}
                              << literalPacket("0500" "07000000", "RoomsCoU", "3:First");
    QTest::newRow("22 Rooms") << true << wirePacket(22, "Rooms", "12:A|13:B") << "list_Room"
                              << QStringList{"A", "B"} << QByteArray();
    QTest::newRow("22 other") << true << wirePacket(22, "Roomz", "12:A") << "list_Room"
                              << QStringList() << QByteArray();
    QTest::newRow("23 ListAdmin") << true << wirePacket(23, "ListAdmin", "12|ali|omar")
                                  << "list_moshrif" << QStringList{"ali", "omar"} << QByteArray();
    QTest::newRow("23 ListAdmin of another room")
        << true << wirePacket(23, "ListAdmin", "13|ali|omar") << "list_moshrif" << QStringList()
        << QByteArray();
    QTest::newRow("23 ListAdmin without room") << true << wirePacket(23, "ListAdmin", "|ali")
                                               << "list_moshrif" << QStringList() << QByteArray();
    QTest::newRow("23 other") << true << wirePacket(23, "ListAdmins", "12|ali") << "list_moshrif"
                              << QStringList() << QByteArray();
    QTest::newRow("28 Permissions")
        << true << wirePacket(28, "Permissions", "ali::a::b::bat:1||omar::a::b::zowar:1")
        << "list_admin" << QStringList{"ali", "omar"} << QByteArray();
    QTest::newRow("28 no-Permissions") << true << wirePacket(28, "no-Permissions", "x::a::b::bat:1")
                                       << "list_admin" << QStringList() << QByteArray();
    QTest::newRow("5 RechercherCo") << true << wirePacket(5, "RechercherCo", "ali|omar")
                                    << "list_cherch" << QStringList{"ali", "omar"} << QByteArray();
    QTest::newRow("22 while closed") << false << wirePacket(22, "Group", "3:First") << QString()
                                     << QStringList() << QByteArray();
    QTest::newRow("23 while closed") << false << wirePacket(23, "ListAdmin", "12|ali") << QString()
                                     << QStringList() << QByteArray();
    QTest::newRow("28 while closed") << false << wirePacket(28, "Permissions", "a::b::c::d")
                                     << QString() << QStringList() << QByteArray();
    QTest::newRow("5 while closed") << false << wirePacket(5, "RechercherCo", "") << QString()
                                    << QStringList() << QByteArray();
}

void TestAdminHandlers::userWindowReplies()
{
    QFETCH(bool, open);
    QFETCH(QByteArray, packet);
    QFETCH(QString, view);
    QFETCH(QStringList, rows);
    QFETCH(QByteArray, request);
    ModalAnswerer answers;
    if (open) {
        frmadus = new Frm_adUs(nullptr);
        if (view == QLatin1String("list_moshrif")) {
            // Room 12 on screen.
            frmadus->ListRooms(QStringLiteral("12:A|13:B"));
            frmadus->findChild<QListWidget *>("list_Room")->setCurrentRow(0);
        }
        m_peer.sent();
    }
    deliver({packet});
    QCOMPARE(m_peer.sent(), request);
    QVERIFY(answers.shown.isEmpty());
    if (!open)
        return;
    if (view == QLatin1String("comboBox")) {
        auto *box = frmadus->findChild<QComboBox *>(view);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, rows);
    } else {
        QCOMPARE(::rows(qPrintable(view)), rows);
    }
    if (packet.startsWith(wireLE(28, 2)))
        QCOMPARE(frmadus->findChild<QGroupBox *>("groupBox_admin")->isEnabled(), !rows.isEmpty());
}

void TestAdminHandlers::followUps_data()
{
    QTest::addColumn<bool>("open");
    // Row of the room list that is current: 0 is room 12, 1 room 17.
    QTest::addColumn<int>("onScreen");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QByteArray>("request");
    const QByteArray permissions = literalPacket("1900" "00000000", "Permissions");
    QTest::newRow("DelUsrAdmin") << true << 1 << wirePacket(24, "DelUsrAdmin", "17")
                                 << literalPacket("0d00" "02000000", "ListAdmin", "17");
    QTest::newRow("AddUsrAdmin") << true << 0 << wirePacket(24, "AddUsrAdmin", "12")
                                 << literalPacket("0d00" "02000000", "ListAdmin", "12");
    // The user went on to another room before the answer came.
    QTest::newRow("AddUsrAdmin, another room on screen")
        << true << 1 << wirePacket(24, "AddUsrAdmin", "12")
        << literalPacket("0d00" "02000000", "ListAdmin", "17");
    QTest::newRow("DelUsrAdmin, no room on screen")
        << true << -1 << wirePacket(24, "DelUsrAdmin", "12") << QByteArray();
    QTest::newRow("AddUsrAdmin, window closed") << false << -1 << wirePacket(24, "AddUsrAdmin", "12")
                                                << literalPacket("0d00" "02000000", "ListAdmin", "12");
    QTest::newRow("AddUsrAdminCo") << true << 0 << wirePacket(24, "AddUsrAdminCo", "x") << permissions;
    QTest::newRow("DelUsrAdminCo, window closed")
        << false << -1 << wirePacket(24, "DelUsrAdminCo", "") << permissions;
    QTest::newRow("other") << true << 0 << wirePacket(24, "AddUsr", "12") << QByteArray();
}

void TestAdminHandlers::followUps()
{
    QFETCH(bool, open);
    QFETCH(int, onScreen);
    QFETCH(QByteArray, packet);
    QFETCH(QByteArray, request);
    if (open) {
        frmadus = new Frm_adUs(nullptr);
        frmadus->ListRooms(QStringLiteral("12:A|17:B"));
        frmadus->findChild<QListWidget *>("list_Room")->setCurrentRow(onScreen);
        frmadus->ListAdmin(onScreen == 1 ? QStringLiteral("17|ali") : QStringLiteral("12|ali"));
        QCOMPARE(rows("list_moshrif"), onScreen < 0 ? QStringList() : QStringList{"ali"});
        m_peer.sent();
    }
    deliver({packet});
    QCOMPARE(m_peer.sent(), request);
    if (open && packet.contains("UsrAdmin "))
        QCOMPARE(rows("list_moshrif"), QStringList());
}

// A late answer for the room left since is not shown, so "remove" cannot act
// on it under the room now on screen; a change refreshes the room on screen.
void TestAdminHandlers::supervisorsOfTheRoomOnScreen()
{
    frmadus = new Frm_adUs(nullptr);
    frmadus->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmadus));
    deliver({wirePacket(22, "Rooms", "12:A|13:B")});
    auto *roomList = frmadus->findChild<QListWidget *>("list_Room");
    auto *supervisors = frmadus->findChild<QListWidget *>("list_moshrif");
    auto *remove = frmadus->findChild<QPushButton *>("pushButton_8");
    const auto click = [](QListWidget *view, int row) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualItemRect(view->item(row)).center());
    };
    m_peer.sent();
    click(roomList, 0);
    click(roomList, 1);
    QCOMPARE(m_peer.sent(), literalPacket("0d00" "02000000", "ListAdmin", "12")
                                + literalPacket("0d00" "02000000", "ListAdmin", "13"));

    // Room 12's answer arrives with room 13 on screen.
    deliver({wirePacket(23, "ListAdmin", "12|ali")});
    QCOMPARE(rows("list_moshrif"), QStringList());
    if (supervisors->count() > 0)
        click(supervisors, 0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_peer.sent(), QByteArray());

    deliver({wirePacket(23, "ListAdmin", "13|omar")});
    QCOMPARE(rows("list_moshrif"), QStringList{"omar"});
    click(supervisors, 0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(m_peer.sent(), literalPacket("0f00" "07000000", "DelUsrAdmin", "13|omar"));

    // An addition to room 12 confirmed while room 13 is on screen: room 13
    // is fetched again, and a list of room 12 is still not shown.
    deliver({wirePacket(24, "AddUsrAdmin", "12")});
    QCOMPARE(m_peer.sent(), literalPacket("0d00" "02000000", "ListAdmin", "13"));
    QCOMPARE(rows("list_moshrif"), QStringList());
    deliver({wirePacket(23, "ListAdmin", "12|ali|sara"), wirePacket(23, "ListAdmin", "13|sara")});
    QCOMPARE(rows("list_moshrif"), QStringList{"sara"});
}

QTEST_MAIN(TestAdminHandlers)
#include "tst_admin_handlers.moc"
