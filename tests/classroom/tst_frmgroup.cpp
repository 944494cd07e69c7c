// The room chooser and its wait form offscreen against a loopback server:
// the form, the lock cells, every way into a room (double-click, menu,
// supervisor prompt, password panel) for locked and open rooms with the
// entry body on the wire, passwords that would shift the body's fields, the
// wait form and its animation, Escape, and where the context menu opens.
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/frmgroup.h"
#include "rooms/frmroom.h"
#include "rooms/frmwait2.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

QTableWidget *tableOf(FrmGroup *g) { return g->findChild<QTableWidget *>(QStringLiteral("table1")); }
QWidget *panelOf(FrmGroup *g) { return g->findChild<QWidget *>(QStringLiteral("widget_2")); }
QLineEdit *passwordOf(FrmGroup *g) { return g->findChild<QLineEdit *>(QStringLiteral("T1")); }

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QByteArray entre(const QByteArray &body) { return wirePacket(6, "entre", body); }

} // namespace

class TestFrmGroup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form();
    void titles_data();
    void titles();
    void lockCells();
    void roomsAtOnce();
    void entryPaths_data();
    void entryPaths();
    void rightToLeftKeepsTheRow();
    void emptyTableDoesNothing();
    void supervisorPrompt_data();
    void supervisorPrompt();
    void passwordsThatShiftFields_data();
    void passwordsThatShiftFields();
    void waitForm();
    void waitAnimation();
    void escape();
    void contextMenuAtPointer_data();
    void contextMenuAtPointer();
    void replacedUnderItsPrompt_data();
    void replacedUnderItsPrompt();

private:
    // A chooser with rooms 12 (open) and 14 (locked), row row current.
    FrmGroup *chooser(int row = 0);

    LoopbackPeer m_peer;
};

void TestFrmGroup::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    ChangeWid();
}

void TestFrmGroup::init()
{
    if (!sck || sck->socket()->state() != QAbstractSocket::ConnectedState)
        QVERIFY(m_peer.connectClient());
    m_peer.sent();
}

void TestFrmGroup::cleanup()
{
    delete frmgrup;
    delete frmwait2;
    deleteLaterNow();
    indexLang = 2;
    ChangeWid();
}

FrmGroup *TestFrmGroup::chooser(int row)
{
    frmgrup = new FrmGroup(nullptr);
    frmgrup->move(100, 100);
    frmgrup->show();
    frmgrup->groupIds = {7};
    frmgrup->AddCombo(QStringLiteral("A"));
    frmgrup->AddList("12", "Fiqh", "3", 0);
    frmgrup->AddList("14", "Nahw", "1", 1);
    tableOf(frmgrup)->setCurrentCell(row, 2);
    m_peer.sent();
    return frmgrup;
}

void TestFrmGroup::form()
{
    FrmGroup *g = chooser();
    QCOMPARE(g->objectName(), QStringLiteral("FrmGroup"));
    QCOMPARE(g->size(), QSize(360, 480));
    QCOMPARE(g->minimumSize(), g->maximumSize());
    const Qt::WindowFlags hints = Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                                  | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    QCOMPARE(g->windowFlags() & hints, hints);
    QVERIFY(!(g->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint)));
    QTableWidget *t = tableOf(g);
    QCOMPARE(t->columnCount(), 4);
    QVERIFY(!t->verticalHeader()->isVisible());
    QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The id column stays hidden whatever cell becomes current.
    t->setColumnWidth(0, 50);
    t->setCurrentCell(1, 3);
    QCOMPARE(t->columnWidth(0), 0);
    QCOMPARE(t->columnWidth(1), 30);
    QCOMPARE(t->columnWidth(2), 250);
    QVERIFY(g->findChild<QLabel *>(QStringLiteral("Logo")));
    QCOMPARE(passwordOf(g)->echoMode(), QLineEdit::Password);
    auto *wait = new FrmWait2(nullptr);
    QCOMPARE(wait->objectName(), QStringLiteral("FrmWait2"));
    QCOMPARE(wait->size(), QSize(300, 100));
    QVERIFY(!(wait->windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(wait->findChild<QLabel *>(QStringLiteral("LWait"))->text(), QStringLiteral("..."));
    delete wait;
}

void TestFrmGroup::titles_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("entre");
    QTest::newRow("arabic") << "arabic" << 0 << QString::fromUtf8("الفلمور العلمية")
                            << QString::fromUtf8("الدخول");
    QTest::newRow("french") << "french" << 1 << "Velmar" << "Entre";
    QTest::newRow("english") << "english" << 2 << "Velmar" << "Entre";
}

void TestFrmGroup::titles()
{
    QFETCH(QString, catalogue);
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, entre);
    QTranslator translator;
    QVERIFY(translator.load(":/Resources/Languages/" + catalogue + ".qm"));
    QCoreApplication::installTranslator(&translator);
    indexLang = language;
    FrmGroup g(nullptr);
    FrmWait2 w(nullptr);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(g.windowTitle(), title);
    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(g.findChild<QPushButton *>(QStringLiteral("B1"))->text(), entre);
    const Qt::LayoutDirection direction = language == 0 ? Qt::RightToLeft : Qt::LeftToRight;
    QCOMPARE(g.layoutDirection(), direction);
    QCOMPARE(w.layoutDirection(), direction);
}

void TestFrmGroup::lockCells()
{
    FrmGroup *g = chooser();
    g->AddList("15", "x", "0", -3);
    g->AddList("16", "y", "0", 7);
    QTableWidget *t = tableOf(g);
    QCOMPARE(t->item(0, 1)->text(), QString());
    QCOMPARE(t->item(1, 1)->text(), QStringLiteral(" "));
    QCOMPARE(t->item(2, 1)->text(), QString());
    QCOMPARE(t->item(3, 1)->text(), QStringLiteral(" "));
    QCOMPARE(t->item(0, 0)->foreground().color(), QColor(Qt::blue));
    g->ClearList();
    QCOMPARE(t->rowCount(), 0);
}

// A list given at once fills the table as rooms given one by one do, after
// the rows already there, and is drawn: the screen shows what the table holds.
void TestFrmGroup::roomsAtOnce()
{
    FrmGroup *g = chooser();
    const QVector<RoomItem> rooms = {{"21", "Sarf", "5", 0},
                                     {"22", QString::fromUtf8("البلاغة"), "12", 3},
                                     {"x", "", "", -1}};
    g->AddList(rooms);
    for (const RoomItem &room : rooms)
        g->AddList(room.id, room.name, room.count, room.locked);
    QTableWidget *t = tableOf(g);
    QCOMPARE(t->rowCount(), 8);
    QCOMPARE(t->item(1, 2)->text(), QStringLiteral("Nahw"));
    const auto look = [t](int row, int column) {
        const QTableWidgetItem *item = t->item(row, column);
        const QIcon icon = item->icon();
        return QVariantList{item->text(), item->font(), item->foreground(), item->textAlignment(),
                            int(item->flags()),
                            icon.isNull() ? QImage() : icon.pixmap(19, 16).toImage()};
    };
    for (int i = 0; i < rooms.size(); ++i) {
        QCOMPARE(t->item(2 + i, 0)->text(), rooms.at(i).id);
        for (int column = 0; column < 4; ++column)
            QCOMPARE(look(2 + i, column), look(5 + i, column));
    }
    QCOMPARE(t->item(3, 1)->text(), QStringLiteral(" "));

    // A refill at once is drawn as rows added one by one are.
    FrmGroup byOne(nullptr);
    byOne.move(150, 150);
    byOne.show();
    for (const RoomItem &room : rooms)
        byOne.AddList(room.id, room.name, room.count, room.locked);
    const auto shown = [](FrmGroup *chooser) {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        QTableWidget *table = tableOf(chooser);
        const QRect area(table->mapTo(chooser, QPoint(0, 0)), table->size());
        return QGuiApplication::primaryScreen()->grabWindow(chooser->winId()).toImage().copy(area)
            .convertToFormat(QImage::Format_RGB32);
    };
    g->ClearList();
    const QImage empty = shown(g);
    g->AddList(rooms);
    QVERIFY(shown(g) != empty);
    QCOMPARE(shown(g), shown(&byOne));
}

void TestFrmGroup::entryPaths_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<QByteArray>("wire");
    const QByteArray none;
    QTest::newRow("open, double-click") << 0 << "double" << false << entre("12|pwd_admin:|pwd_lock:");
    QTest::newRow("locked, double-click") << 1 << "double" << true << none;
    QTest::newRow("open, menu entry") << 0 << "menu" << false << entre("12|pwd_admin:|pwd_lock:");
    QTest::newRow("locked, menu entry") << 1 << "menu" << true << none;
    QTest::newRow("open, Entre button: panel hides") << 0 << "button" << false << none;
    QTest::newRow("locked, Entre button with a password")
        << 1 << "button" << true << entre("14|pwd_admin:|pwd_lock:pw");
    QTest::newRow("locked, Entre button, empty password")
        << 1 << "empty button" << true << entre("14|pwd_admin:|pwd_lock:");
    QTest::newRow("open, selection") << 0 << "select" << false << none;
    QTest::newRow("locked, selection") << 1 << "select" << true << none;
    QTest::newRow("arabic password")
        << 1 << "arabic" << true
        << entre("14|pwd_admin:|pwd_lock:" + QByteArray::fromHex("d3e3d1e1"));
}

void TestFrmGroup::entryPaths()
{
    QFETCH(int, row);
    QFETCH(QString, trigger);
    QFETCH(bool, panel);
    QFETCH(QByteArray, wire);
    FrmGroup *g = chooser(row);
    // Before: the panel shown over an open room, hidden over a locked one.
    panelOf(g)->setVisible(row == 0);
    if (trigger == "double")
        QMetaObject::invokeMethod(g, "on_table1_doubleClicked", Q_ARG(QModelIndex, QModelIndex()));
    else if (trigger == "menu")
        QMetaObject::invokeMethod(g, "menuEntre");
    else if (trigger == "select")
        QMetaObject::invokeMethod(g, "on_table1_itemSelectionChanged");
    else {
        passwordOf(g)->setText(trigger == "button" ? QStringLiteral("pw")
                               : trigger == "arabic" ? QString::fromUtf8("سمرل")
                                                     : QString());
        QTest::mouseClick(g->findChild<QPushButton *>(QStringLiteral("B1")), Qt::LeftButton);
    }
    QCOMPARE(m_peer.sent(), wire);
    if (wire.isEmpty()) {
        QCOMPARE(panelOf(g)->isVisible(), panel);
        if (panel)
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(passwordOf(g)));
        QVERIFY(g->isVisible());
        QVERIFY(!frmwait2);
    } else {
        // The wait form stands in for the chooser, which stays alive.
        QVERIFY(frmwait2 && frmwait2->isVisible());
        QVERIFY(!g->isVisible());
        QCOMPARE(frmgrup, g);
    }
    // The password is never cleared.
    if (trigger == "button")
        QCOMPARE(passwordOf(g)->text(), QStringLiteral("pw"));
}

void TestFrmGroup::rightToLeftKeepsTheRow()
{
    // Reading the row selects it again; right to left that must not lose it,
    // or the password typed next would go nowhere.
    indexLang = 0;
    ChangeWid();
    FrmGroup *g = chooser(1);
    QVERIFY(panelOf(g)->isVisible());
    QCOMPARE(tableOf(g)->currentRow(), 1);
    passwordOf(g)->setText(QStringLiteral("pw"));
    QTest::mouseClick(g->findChild<QPushButton *>(QStringLiteral("B1")), Qt::LeftButton);
    QCOMPARE(m_peer.sent(), entre("14|pwd_admin:|pwd_lock:pw"));
}

void TestFrmGroup::emptyTableDoesNothing()
{
    frmgrup = new FrmGroup(nullptr);
    frmgrup->show();
    for (const char *slot : {"menuEntre", "on_table1_itemSelectionChanged", "on_B1_clicked"})
        QVERIFY(QMetaObject::invokeMethod(frmgrup, slot));
    ModalAnswerer answerer;
    QVERIFY(QMetaObject::invokeMethod(frmgrup, "menuAdmin"));
    QCOMPARE(m_peer.sent(), QByteArray());
    QVERIFY(!frmwait2);
    QVERIFY(!panelOf(frmgrup)->isVisible());
}

void TestFrmGroup::supervisorPrompt_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("open room") << 0 << int(QDialog::Accepted) << "adm" << false
                               << entre("12|pwd_admin:adm|pwd_lock:");
    QTest::newRow("locked room: panel, password dropped")
        << 1 << int(QDialog::Accepted) << "adm" << true << QByteArray();
    QTest::newRow("cancelled") << 0 << int(QDialog::Rejected) << "adm" << false << QByteArray();
    QTest::newRow("empty") << 0 << int(QDialog::Accepted) << "" << false << QByteArray();
}

void TestFrmGroup::supervisorPrompt()
{
    QFETCH(int, row);
    QFETCH(int, result);
    QFETCH(QString, typed);
    QFETCH(bool, panel);
    QFETCH(QByteArray, wire);
    FrmGroup *g = chooser(row);
    panelOf(g)->hide();
    ModalAnswerer answerer;
    answerer.setDialogResult(result);
    answerer.whileOpen([&typed](QDialog *d) {
        auto *prompt = qobject_cast<QInputDialog *>(d);
        QVERIFY(prompt);
        QCOMPARE(prompt->windowTitle(), QStringLiteral("Password Admin"));
        QCOMPARE(prompt->labelText(), QStringLiteral("Enter Password :"));
        QCOMPARE(prompt->okButtonText(), QStringLiteral("Ok"));
        QCOMPARE(prompt->cancelButtonText(), QStringLiteral("Cancel"));
        // What is typed stays hidden.
        QCOMPARE(prompt->textEchoMode(), QLineEdit::Password);
        prompt->setTextValue(typed);
    });
    QVERIFY(QMetaObject::invokeMethod(g, "menuAdmin"));
    QCOMPARE(answerer.shown.size(), 1);
    QCOMPARE(m_peer.sent(), wire);
    QCOMPARE(panelOf(g)->isVisible(), panel);
}

void TestFrmGroup::passwordsThatShiftFields_data()
{
    QTest::addColumn<QString>("admin");
    QTest::addColumn<QString>("lock");
    QTest::addColumn<QString>("message");
    QTest::newRow("bar in the room password") << "" << "a|pwd_admin:x" << "Err Pass Login";
    QTest::newRow("colon in the room password") << "" << "a:b" << "Err Pass Login";
    QTest::newRow("bar in the supervisor password") << "x|y" << "" << "Err Pass Admin";
    QTest::newRow("colon in the supervisor password") << "x:y" << "" << "Err Pass Admin";
}

void TestFrmGroup::passwordsThatShiftFields()
{
    QFETCH(QString, admin);
    QFETCH(QString, lock);
    QFETCH(QString, message);
    FrmGroup *g = chooser(1);
    ModalAnswerer answerer;
    g->DblClick_MS(14, admin, lock);
    QCOMPARE(answerer.texts(), QStringList{message});
    QCOMPARE(m_peer.sent(), QByteArray());
    QVERIFY(!frmwait2);
    QVERIFY(g->isVisible());
    // A password with an "@" is sent as typed.
    g->DblClick_MS(14, QString(), QStringLiteral("p@n;"));
    QCOMPARE(m_peer.sent(), entre("14|pwd_admin:|pwd_lock:p@n;"));
}

void TestFrmGroup::waitForm()
{
    FrmGroup *g = chooser();
    g->DblClick_MS(12, QString(), QString());
    QPointer<FrmWait2> first = frmwait2;
    QVERIFY(first && first->isVisible() && !first->quiet);
    // A second request replaces the wait form.
    g->DblClick_MS(12, QString(), QString());
    QVERIFY(frmwait2 && frmwait2 != first);
    deleteLaterNow();
    QVERIFY(!first);
    QCOMPARE(m_peer.sent(), entre("12|pwd_admin:|pwd_lock:") + entre("12|pwd_admin:|pwd_lock:"));

    // Cancel brings the chooser back and keeps the wait form, hidden.
    QTest::mouseClick(frmwait2->findChild<QPushButton *>(QStringLiteral("BCancel")), Qt::LeftButton);
    QVERIFY(g->isVisible());
    QVERIFY(frmwait2 && !frmwait2->isVisible());
    QCOMPARE(frmwait2->result(), int(QDialog::Accepted));

    // Closed quietly, it leaves the chooser alone.
    g->DblClick_MS(12, QString(), QString());
    frmwait2->quiet = true;
    frmwait2->close();
    QVERIFY(!g->isVisible());

    // A new chooser deletes the wait form left behind.
    QPointer<FrmWait2> left = frmwait2;
    auto *next = new FrmGroup(nullptr);
    QVERIFY(!frmwait2);
    deleteLaterNow();
    QVERIFY(!left);
    delete next;
}

void TestFrmGroup::waitAnimation()
{
    FrmWait2 w(nullptr);
    auto *dots = w.findChild<QLabel *>(QStringLiteral("LWait"));
    QStringList seen;
    for (int i = 0; i < 10; ++i) {
        QMetaObject::invokeMethod(&w, "time_out");
        seen << dots->text();
    }
    QCOMPARE(seen, (QStringList{"...", "", ".", "..", "...", "", ".", "..", "...", ""}));
}

void TestFrmGroup::escape()
{
    FrmGroup *g = chooser();
    QTest::keyClick(g, Qt::Key_Escape);
    QVERIFY(g->isVisible());
    g->DblClick_MS(12, QString(), QString());
    QTest::keyClick(frmwait2, Qt::Key_Escape);
    QVERIFY(frmwait2->isVisible());
    QVERIFY(!g->isVisible());
}

void TestFrmGroup::contextMenuAtPointer_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("left to right") << 2;
    QTest::newRow("right to left") << 0;
}

void TestFrmGroup::contextMenuAtPointer()
{
    QFETCH(int, language);
    indexLang = language;
    ChangeWid();
    FrmGroup *g = chooser();
    QTableWidget *t = tableOf(g);
    const QPoint pos(120, 40);
    const QPoint pointer = t->viewport()->mapToGlobal(pos);
    QRect shown;
    QStringList entries;
    // Looks at the menu once it runs, then closes it.
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        poll.stop();
        shown = menu->geometry();
        for (QAction *a : menu->actions())
            entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        menu->close();
    });
    poll.start();
    QVERIFY(QMetaObject::invokeMethod(g, "on_table1_customContextMenuRequested", Q_ARG(QPoint, pos)));
    QCOMPARE(entries, (QStringList{"Login on Admin", "-", "Entre room"}));
    QCOMPARE(shown.top(), pointer.y());
    if (language == 2)
        QCOMPARE(shown.left(), pointer.x());
    else
        QCOMPARE(shown.right() + 1, pointer.x());
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmGroup::replacedUnderItsPrompt_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("new group list") << wirePacket(8, "Group", "7:A|9:B");
    QTest::newRow("room entered")
        << wirePacket(10, "Lst_room", "id:12|name:Fiqh|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0"
                                      "|mobachir:0||nick:ali|admin:0|type:1|red:0|cam:0|mic:0"
                                      "|hand:0|granted:0");
}

void TestFrmGroup::replacedUnderItsPrompt()
{
    // The supervisor's prompt is chosen in the chooser's menu; the server
    // replaces or ends the chooser while the prompt is open. The old chooser
    // and its menu live until the prompt and the menu have ended, and the
    // password typed for it goes nowhere.
    QFETCH(QByteArray, packet);
    frmusr = new FrmUser(nullptr);
    m_peer.sent();
    QPointer<FrmGroup> old = chooser();
    QPointer<QMenu> menu;
    ModalAnswerer answers;
    answers.setDialogResult(QDialog::Accepted);
    bool keptWhileOpen = false;
    answers.whileOpen([&](QDialog *d) {
        qobject_cast<QInputDialog *>(d)->setTextValue(QStringLiteral("secret"));
        m_peer.send(packet);
        QTRY_VERIFY(!old || frmgrup != old);
        deleteLaterNow();
        keptWhileOpen = old && menu;
    });
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        poll.stop();
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    poll.start();
    QVERIFY(QMetaObject::invokeMethod(old, "on_table1_customContextMenuRequested",
                                      Q_ARG(QPoint, QPoint(120, 40))));
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().title, QStringLiteral("Password Admin"));
    QVERIFY2(keptWhileOpen, "the chooser was deleted under its own prompt");
    deleteLaterNow();
    QVERIFY(!old && !menu);
    QVERIFY(!m_peer.sent().contains("secret"));
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    delete frmusr;
}

QTEST_MAIN(TestFrmGroup)
#include "tst_frmgroup.moc"
