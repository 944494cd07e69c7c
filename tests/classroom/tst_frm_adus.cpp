// The supervisors and administrators window: every request it sends, as
// bytes, along the roads of both tabs and the search (mouse and keyboard),
// what it shows of the server's lists, its refusals and its life.
#include "contacttree.h"

#include "admin/frm_adus.h"
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

const QString kAdmins = QStringLiteral("ali::a::b::bat:1|zowar:0||omar::a::b::new_room:1");
const QByteArray kSaveAli =
    "ali::bat:0|zowar:1|new_room:0|edit_room:0|del_room:0|new_group:0|edit_group:0|del_group:0|"
    "new_admin:0|del_admin:0|edit_admin:0|new_co_admin:0|del_co_admin:0|edit_co_admin:0|"
    "visible_room:0|info_users:0|modife_users:0|ban_users:0|bannes_users:0|close_server:0|"
    "pause_server:0|start_server:0|msg_system:0|show_pouvoirs_users:0|new_pouvoirs:0|"
    "del_pouvoirs:0|edit_pouvoirs:0|visible_co_admin:0|super_co_admin:1";
const QByteArray kSaveAliBatZowar =
    "ali::bat:1|zowar:1|new_room:0|edit_room:0|del_room:0|new_group:0|edit_group:0|del_group:0|"
    "new_admin:0|del_admin:0|edit_admin:0|new_co_admin:0|del_co_admin:0|edit_co_admin:0|"
    "visible_room:0|info_users:0|modife_users:0|ban_users:0|bannes_users:0|close_server:0|"
    "pause_server:0|start_server:0|msg_system:0|show_pouvoirs_users:0|new_pouvoirs:0|"
    "del_pouvoirs:0|edit_pouvoirs:0|visible_co_admin:0|super_co_admin:0";
const QByteArray kSaveOmar =
    "omar::bat:0|zowar:0|new_room:1|edit_room:0|del_room:0|new_group:0|edit_group:0|del_group:0|"
    "new_admin:0|del_admin:0|edit_admin:0|new_co_admin:0|del_co_admin:0|edit_co_admin:0|"
    "visible_room:0|info_users:0|modife_users:0|ban_users:0|bannes_users:0|close_server:0|"
    "pause_server:0|start_server:0|msg_system:0|show_pouvoirs_users:0|new_pouvoirs:0|"
    "del_pouvoirs:0|edit_pouvoirs:0|visible_co_admin:0|super_co_admin:0";

template <class T> T *child(const char *name) { return frmadus->findChild<T *>(name); }
QListWidget *list(const char *name) { return child<QListWidget>(name); }
QPushButton *button(const char *name) { return child<QPushButton>(name); }

void press(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }

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

// Object names of the checked permission boxes, in table order.
QStringList checkedBoxes()
{
    QStringList out;
    for (QCheckBox *box : frmadus->permissionBoxes())
        if (box->isChecked())
            out << box->objectName();
    return out;
}

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

class TestFrmAdUs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opening();
    void lists();
    void roads_data();
    void roads();
    void searchReplies();
    void searchWithoutReply();
    void administrators();
    void permissionGrid();
    void lifeAndMenu();

private:
    LoopbackPeer m_peer;
};

void TestFrmAdUs::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    QVERIFY(m_peer.connectClient());
}

void TestFrmAdUs::init()
{
    Frm_adUs::searchTimeout = 15000;
    frmadus = new Frm_adUs(nullptr);
    frmadus->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmadus));
    frmadus->ListGroup(QStringLiteral("3:First|7:Second"));
    frmadus->ListRooms(QStringLiteral("12 : Room A :x|13:Room B"));
    frmadus->PermissionsUsr(kAdmins, true);
    m_peer.sent();
}

void TestFrmAdUs::cleanup()
{
    delete frmadus;
    delete frmusr;
    deleteLaterNow();
    QVERIFY(!frmadus);
    QVERIFY(!frmusr);
}

void TestFrmAdUs::opening()
{
    delete frmadus;
    frmadus = new Frm_adUs(nullptr);
    // Two packets, groups first.
    QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "GroupCoU")
                                + literalPacket("1900" "00000000", "Permissions"));
    QCOMPARE(frmadus->windowTitle(), QString::fromUtf8("إدارة الأعضاء"));
    QCOMPARE(frmadus->size(), QSize(800, 600));
    QCOMPARE(child<QTabWidget>("tabWidget")->currentIndex(), 0);
    QVERIFY(!child<QGroupBox>("groupBox_admin")->isEnabled());
    QVERIFY(!(frmadus->windowFlags() & Qt::WindowMaximizeButtonHint));
    // Escape leaves it open.
    frmadus->show();
    QTest::keyClick(frmadus, Qt::Key_Escape);
    QVERIFY(frmadus->isVisible());
}

void TestFrmAdUs::lists()
{
    QComboBox *groups = child<QComboBox>("comboBox");
    // The first group listed asks for its rooms at once.
    frmadus->ListGroup(QStringLiteral("3:First|7:Second"));
    QCOMPARE(groups->count(), 2);
    QCOMPARE(groups->currentIndex(), 0);
    QCOMPARE(m_peer.sent(), literalPacket("0500" "07000000", "RoomsCoU", "3:First"));
    frmadus->ListGroup(QString());
    QCOMPARE(groups->count(), 0);
    QCOMPARE(list("list_Room")->count(), 0);
    QCOMPARE(m_peer.sent(), QByteArray());
    frmadus->ListGroup(QStringLiteral("junk|9:Nine"));
    QCOMPARE(groups->itemText(0), QStringLiteral("Nine"));
    QCOMPARE(m_peer.sent(), literalPacket("0500" "06000000", "RoomsCoU", "9:Nine"));

    frmadus->ListRooms(QStringLiteral("12 : Room A :x|13:Room B"));
    QCOMPARE(rows(list("list_Room")), (QStringList{"Room A", "Room B"}));
    // Supervisors are shown only for the room on screen.
    frmadus->ListAdmin(QStringLiteral("12|ali|omar"));
    QCOMPARE(list("list_moshrif")->count(), 0);
    list("list_Room")->setCurrentRow(0);
    QCOMPARE(m_peer.sent(), literalPacket("0d00" "02000000", "ListAdmin", "12"));
    frmadus->ListAdmin(QStringLiteral("12|ali|omar"));
    QCOMPARE(rows(list("list_moshrif")), (QStringList{"ali", "omar"}));
    frmadus->ListAdmin(QStringLiteral("13|sara"));
    QCOMPARE(rows(list("list_moshrif")), (QStringList{"ali", "omar"}));
    frmadus->ListAdmin(QStringLiteral(" 12 |sara"));
    QCOMPARE(rows(list("list_moshrif")), QStringList{"sara"});
    frmadus->ListAdmin(QStringLiteral("12"));
    QCOMPARE(list("list_moshrif")->count(), 0);
    frmadus->ListAdmin(QStringLiteral("12|ali"));
    frmadus->clear_moshrif();
    QCOMPARE(list("list_moshrif")->count(), 0);
    // A room list empties the supervisors; blanks empty the rooms.
    frmadus->ListAdmin(QStringLiteral("12|ali"));
    frmadus->ListRooms(QStringLiteral("  "));
    QCOMPARE(list("list_Room")->count(), 0);
    QCOMPARE(list("list_moshrif")->count(), 0);
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmAdUs::roads_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QStringList>("messages");
    const QStringList none;
    QTest::newRow("second group, keyboard")
        << "group down" << literalPacket("0500" "08000000", "RoomsCoU", "7:Second") << none;
    QTest::newRow("room, mouse") << "room 0" << literalPacket("0d00" "02000000", "ListAdmin", "12")
                                 << none;
    QTest::newRow("room, mouse on the chosen one again")
        << "room 0, forget, room 0" << literalPacket("0d00" "02000000", "ListAdmin", "12") << none;
    QTest::newRow("room, keyboard") << "room 0, forget, room down"
                                    << literalPacket("0d00" "02000000", "ListAdmin", "13") << none;
    QTest::newRow("room, keyboard, then a click on it")
        << "room 0, room down, forget, room 1"
        << literalPacket("0d00" "02000000", "ListAdmin", "13") << none;
    QTest::newRow("search") << "search abc"
                            << literalPacket("0300" "03000000", "RechercherCo", "abc") << none;
    QTest::newRow("search, blanks kept")
        << "search  abc " << literalPacket("0300" "05000000", "RechercherCo", " abc ") << none;
    QTest::newRow("search, arabic") << "search علي"
                                    << literalPacket("0300" "03000000", "RechercherCo",
                                                     QByteArray::fromHex("dae1ed"))
                                    << none;
    QTest::newRow("search too short") << "search  ab " << QByteArray()
                                      << QStringList{"search word is too short"};
    QTest::newRow("add supervisor") << "room 0, forget, found ali|omar|, pick 0, add"
                                    << literalPacket("0e00" "06000000", "AddUsrAdmin", "12|ali")
                                    << none;
    QTest::newRow("add supervisor, keyboard room")
        << "room 0, room down, forget, found ali|omar|, pick 1, add"
        << literalPacket("0e00" "07000000", "AddUsrAdmin", "13|omar") << none;
    QTest::newRow("add supervisor, no room") << "found ali, pick 0, add" << QByteArray() << none;
    QTest::newRow("add supervisor, no member") << "room 0, forget, found ali, add" << QByteArray()
                                               << none;
    QTest::newRow("add supervisor, empty member") << "room 0, forget, found ali|, pick 1, add"
                                                  << QByteArray() << none;
    QTest::newRow("remove supervisor")
        << "room 0, forget, supervisors 12|ali|omar, supervisor 1, remove"
        << literalPacket("0f00" "07000000", "DelUsrAdmin", "12|omar") << none;
    QTest::newRow("remove supervisor, none chosen")
        << "room 0, forget, supervisors 12|ali|omar, remove" << QByteArray() << none;
    QTest::newRow("add administrator") << "found ali|omar, pick 0, add admin"
                                       << literalPacket("0e00" "03000000", "AddUsrAdminCo", "ali")
                                       << none;
    QTest::newRow("add administrator, none found") << "add admin" << QByteArray() << none;
    QTest::newRow("remove administrator") << "admin 1, remove admin"
                                          << literalPacket("0f00" "04000000", "DelUsrAdminCo",
                                                           "omar")
                                          << none;
    QTest::newRow("remove administrator, none chosen") << "remove admin" << QByteArray() << none;
    QTest::newRow("save") << "admin 0, uncheck ch_bat, check ch_zowar, check ch_co_admin, save"
                          << literalPacket("1a00" "94010000", "SavePermissions", kSaveAli) << none;
    // The boxes follow the current row, so a save never writes one
    // administrator's permissions onto another.
    QTest::newRow("save, keyboard") << "admin 0, admin down, save"
                                    << literalPacket("1a00" "95010000", "SavePermissions", kSaveOmar)
                                    << none;
    // Nothing answers a save: chosen again, ali shows what was saved, and
    // saving again keeps it.
    QTest::newRow("save, choose again, save")
        << "admin 0, check ch_zowar, save, admin 1, admin 0, save"
        << literalPacket("1a00" "94010000", "SavePermissions", kSaveAliBatZowar)
               + literalPacket("1a00" "94010000", "SavePermissions", kSaveAliBatZowar)
        << none;
    QTest::newRow("save, none chosen") << "check ch_zowar, save" << QByteArray() << none;
}

void TestFrmAdUs::roads()
{
    QFETCH(QString, road);
    QFETCH(QByteArray, packet);
    QFETCH(QStringList, messages);
    ModalAnswerer answers;
    child<QTabWidget>("tabWidget")->setCurrentIndex(road.contains("admin") ? 1 : 0);
    for (const QString &step : road.split(QStringLiteral(", "))) {
        const QString arg = step.section(QLatin1Char(' '), 1);
        if (step == QLatin1String("group down")) {
            QTest::keyClick(child<QComboBox>("comboBox"), Qt::Key_Down);
        } else if (step == QLatin1String("room down")) {
            QTest::keyClick(list("list_Room"), Qt::Key_Down);
        } else if (step.startsWith(QLatin1String("room "))) {
            clickRow(list("list_Room"), arg.toInt());
        } else if (step == QLatin1String("forget")) {
            m_peer.sent();
        } else if (step.startsWith(QLatin1String("search "))) {
            child<QLineEdit>("lineEdit")->setText(step.mid(7));
            press("pushButton");
        } else if (step.startsWith(QLatin1String("found "))) {
            frmadus->cherch(arg);
        } else if (step.startsWith(QLatin1String("pick "))) {
            clickRow(list("list_cherch"), arg.toInt());
        } else if (step == QLatin1String("add")) {
            press("pushButton_2");
        } else if (step.startsWith(QLatin1String("supervisors "))) {
            frmadus->ListAdmin(arg);
        } else if (step.startsWith(QLatin1String("supervisor "))) {
            clickRow(list("list_moshrif"), arg.toInt());
        } else if (step == QLatin1String("remove")) {
            press("pushButton_8");
        } else if (step == QLatin1String("add admin")) {
            press("pushButton_3");
        } else if (step == QLatin1String("admin down")) {
            QTest::keyClick(list("list_admin"), Qt::Key_Down);
        } else if (step.startsWith(QLatin1String("admin "))) {
            clickRow(list("list_admin"), arg.toInt());
        } else if (step == QLatin1String("remove admin")) {
            press("pushButton_5");
        } else if (step.startsWith(QLatin1String("check "))) {
            child<QCheckBox>(qPrintable(arg))->setChecked(true);
        } else if (step.startsWith(QLatin1String("uncheck "))) {
            child<QCheckBox>(qPrintable(arg))->setChecked(false);
        } else if (step == QLatin1String("save")) {
            press("pushButton_4");
        } else {
            QFAIL(qPrintable(step));
        }
    }
    QCOMPARE(m_peer.sent(), packet);
    QCOMPARE(answers.texts(), messages);
    for (const ShownDialog &shown : answers.shown)
        QCOMPARE(shown.title, QStringLiteral("Title App"));
}

void TestFrmAdUs::searchReplies()
{
    ModalAnswerer answers;
    QListWidget *found = list("list_cherch");
    child<QLineEdit>("lineEdit")->setText("ali");
    found->addItem("old");
    press("pushButton");
    QVERIFY(!button("pushButton")->isEnabled());
    QCOMPARE(found->count(), 0);
    frmadus->cherch(QStringLiteral("ali|omar|"));
    QCOMPARE(rows(found), (QStringList{"ali", "omar", ""}));
    QVERIFY(button("pushButton")->isEnabled());
    QVERIFY(answers.shown.isEmpty());
    press("pushButton");
    frmadus->cherch(QString());
    QCOMPARE(found->count(), 0);
    QCOMPARE(answers.texts(), QStringList{"No User Search"});
    QCOMPARE(answers.shown.first().title, QStringLiteral("message"));
    QCOMPARE(answers.shown.first().icon, QMessageBox::Warning);
    QVERIFY(button("pushButton")->isEnabled());
}

void TestFrmAdUs::searchWithoutReply()
{
    Frm_adUs::searchTimeout = 50;
    child<QLineEdit>("lineEdit")->setText("nobody answers");
    press("pushButton");
    QVERIFY(!button("pushButton")->isEnabled());
    QTRY_VERIFY(button("pushButton")->isEnabled());
    QVERIFY(m_peer.sent().contains("RechercherCo"));
}

void TestFrmAdUs::administrators()
{
    QListWidget *admins = list("list_admin");
    QVERIFY(child<QGroupBox>("groupBox_admin")->isEnabled());
    QCOMPARE(rows(admins), (QStringList{"ali", "omar"}));
    QCOMPARE(checkedBoxes(), QStringList());
    clickRow(admins, 0);
    QCOMPARE(checkedBoxes(), QStringList{"ch_bat"});
    clickRow(admins, 1);
    QCOMPARE(checkedBoxes(), QStringList{"ch_room_new"});
    QTest::keyClick(admins, Qt::Key_Up);
    QCOMPARE(checkedBoxes(), QStringList{"ch_bat"});
    // Values other than 0 check, not-numbers and 0 uncheck, the last pair wins.
    frmadus->PermissionsUsr(
        QStringLiteral("x::a::b::bat:2|zowar:x|new_room:-1|edit_room:|super_co_admin:1|"
                       "super_co_admin:0|foo:1|del_room"),
        true);
    QCOMPARE(checkedBoxes(), QStringList());
    clickRow(admins, 0);
    QCOMPARE(checkedBoxes(), (QStringList{"ch_bat", "ch_room_new"}));
    // A record without its permission list is not shown.
    frmadus->PermissionsUsr(QStringLiteral("ali::a::b||omar::a::b::del_group:1"), true);
    QCOMPARE(rows(admins), QStringList{"omar"});
    frmadus->PermissionsUsr(QString(), true);
    QCOMPARE(admins->count(), 0);
    // "no-Permissions" empties and disables the tab.
    frmadus->PermissionsUsr(kAdmins, true);
    clickRow(admins, 0);
    frmadus->PermissionsUsr(QStringLiteral("no-data"), false);
    QCOMPARE(admins->count(), 0);
    QCOMPARE(checkedBoxes(), QStringList());
    QVERIFY(!child<QGroupBox>("groupBox_admin")->isEnabled());
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmAdUs::permissionGrid()
{
    // Table order of the save body, and the grid place of a few boxes
    // (row, column from the reading start).
    const QList<QCheckBox *> boxes = frmadus->permissionBoxes();
    QCOMPARE(boxes.size(), 29);
    QCOMPARE(boxes.first()->objectName(), QStringLiteral("ch_bat"));
    QCOMPARE(boxes.last()->objectName(), QStringLiteral("ch_co_admin"));
    auto *grid = qobject_cast<QGridLayout *>(child<QGroupBox>("groupBox_5")->layout());
    QVERIFY(grid);
    const struct
    {
        const char *box;
        int row, column;
    } places[] = {{"ch_group_new", 0, 0}, {"ch_system_play", 0, 2}, {"ch_bat", 4, 1},
                  {"ch_zowar", 8, 0},     {"ch_co_admin", 9, 1},    {"ch_admin_new", 8, 2}};
    for (const auto &p : places) {
        const int at = grid->indexOf(child<QCheckBox>(p.box));
        int row = -1, column = -1, rs = 0, cs = 0;
        grid->getItemPosition(at, &row, &column, &rs, &cs);
        QCOMPARE(QPoint(column, row), QPoint(p.column, p.row));
    }
    QCOMPARE(child<QGroupBox>("groupBox_5")->height(), 216);
    QCOMPARE(child<QCheckBox>("ch_co_admin")->palette().color(QPalette::Active, QPalette::WindowText),
             QColor(255, 0, 0));
    QCOMPARE(child<QCheckBox>("ch_co_admin")->palette().color(QPalette::Disabled,
                                                                QPalette::WindowText),
             QColor(120, 120, 120));
}

void TestFrmAdUs::lifeAndMenu()
{
    QPointer<Frm_adUs> first(frmadus);
    frmadus->close();
    QVERIFY(!frmadus);
    deleteLaterNow();
    QVERIFY(!first);
    frmusr = new FrmUser(nullptr);
    frmusr->SetAdmin(true);
    m_peer.sent();
    QAction *entry = nullptr;
    for (QAction *menu : frmusr->findChild<QMenuBar *>()->actions())
        if (menu->menu())
            for (QAction *action : menu->menu()->actions())
                if (action->text() == QLatin1String("Admin Users"))
                    entry = action;
    QVERIFY(entry && entry->isEnabled());
    entry->trigger();
    QVERIFY(frmadus && frmadus->isVisible());
    QPointer<Frm_adUs> second(frmadus);
    entry->trigger();
    QVERIFY(frmadus && frmadus != second);
    deleteLaterNow();
    QVERIFY(!second);
    const QByteArray opening = literalPacket("0500" "00000000", "GroupCoU")
                               + literalPacket("1900" "00000000", "Permissions");
    QCOMPARE(m_peer.sent(), opening + opening);
}

QTEST_MAIN(TestFrmAdUs)
#include "tst_frm_adus.moc"
