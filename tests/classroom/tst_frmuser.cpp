// The main window: contact tree, contact menu, menus, status bar, the
// packets its entries send, its translations, and the keep-alive watchdog
// that ends a dead login.
#include "contacttree.h"

#include "common/fonts.h"
#include "common/hooks.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "mainwindow/windowlists.h"
#include "protocol/contacts.h"
#include "protocol/state.h"
#include "startup/program.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

const QByteArray kKeepAlive = QByteArray::fromHex("2d00" "00000000") + "KW.TOVEN" + "test"
                              + QByteArray(28, ' ');

QTreeWidget *tree(FrmUser *w) { return w->findChild<QTreeWidget *>(QStringLiteral("treeWidget")); }

QTreeWidgetItem *contactItem(FrmUser *w, const QString &nick)
{
    const QList<QTreeWidgetItem *> items =
        tree(w)->findItems(nick, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

QStringList menuBarTitles(FrmUser *w)
{
    QStringList titles;
    for (QAction *a : w->findChild<QMenuBar *>()->actions())
        titles << a->text();
    return titles;
}

QMenu *menuNamed(FrmUser *w, const QString &title)
{
    for (QAction *a : w->findChild<QMenuBar *>()->actions())
        if (a->text() == title)
            return a->menu();
    return nullptr;
}

// "text" for an enabled entry, "(text)" for a disabled one, "-" for a separator.
QStringList entries(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else
            out << (a->isEnabled() ? a->text() : QLatin1Char('(') + a->text() + QLatin1Char(')'));
    }
    return out;
}

QAction *entry(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

void tick(FrmUser *w) { QVERIFY(QMetaObject::invokeMethod(w, "time_out", Qt::DirectConnection)); }

// A window of a registry list; most remove themselves when they close.
class ListedWindow : public QWidget
{
public:
    ListedWindow(QList<ListedWindow *> *list, bool removesItself)
        : m_list(list), m_removesItself(removesItself)
    {
        list->append(this);
    }
    int closes = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closes;
        if (m_removesItself)
            m_list->removeAll(this);
        event->accept();
    }

private:
    QList<ListedWindow *> *m_list;
    bool m_removesItself;
};

} // namespace

class TestFrmUser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nickname();
    void statusBar();
    void sameNickname();
    void groupItemsNeverSelected();
    void contactMenu_data();
    void contactMenu();
    void contactMenuSends_data();
    void contactMenuSends();
    void contactMenuShown_data();
    void contactMenuShown();
    void fileMenu();
    void permissionMenusOnce();
    void placeholderBoxes_data();
    void placeholderBoxes();
    void menuGoneUnderItsBox_data();
    void menuGoneUnderItsBox();
    void replacedUnderContactMenu();
    void contactMenuKeepsItsContact_data();
    void contactMenuKeepsItsContact();
    void roomsRequest();
    void translations_data();
    void translations();
    void formFitsItsWindow_data();
    void formFitsItsWindow();

    void keepAliveByTimer();
    void serverKeepAliveResetsMisses();
    void unconnectedNeverCounts();
    void replacedWhileLossShown();
    void replaceMainWindow();
    void closingQuits();
    void windowListClosed();

private:
    LoopbackPeer m_peer;
    int m_quits = 0;
};

void TestFrmUser::initTestCase()
{
    hooks::setQuitHandler([this] { ++m_quits; });
    indexLang = 2;
}

void TestFrmUser::init()
{
    if (!sck || sck->socket()->state() != QAbstractSocket::ConnectedState)
        QVERIFY(m_peer.connectClient());
    FrmUser::keepAlivePeriod = 3600 * 1000;
    m_quits = 0;
    frmusr = new FrmUser(nullptr);
    QCOMPARE(m_peer.sent(), kKeepAlive);
}

void TestFrmUser::cleanup()
{
    delete frmusr;
    QVERIFY(!frmusr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFrmUser::nickname()
{
    // Before any login the header holds the form's caption.
    QCOMPARE(frmusr->getUSER(), QStringLiteral("1"));
    frmusr->setUSER(QString::fromUtf8("أحمد"));
    QCOMPARE(frmusr->getUSER(), QString::fromUtf8("أحمد"));
    QCOMPARE(tree(frmusr)->headerItem()->text(0), QString::fromUtf8("أحمد"));
}

void TestFrmUser::statusBar()
{
    auto *bar = frmusr->findChild<QStatusBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->currentMessage(), QStringLiteral("user on line :"));
    frmusr->setLa("17");
    QCOMPARE(bar->currentMessage(), QStringLiteral("user on line : 17"));
}

void TestFrmUser::sameNickname()
{
    frmusr->AddUsr("ali", 0);
    frmusr->AddUsr("ali", 1);
    frmusr->AddUsr("ali", 1);
    QVERIFY(frmusr->Find("ali"));
    QVERIFY(!frmusr->Find("Ali"));
    frmusr->BlockUsr("ali", true);
    QCOMPARE(contactTree(frmusr), QStringLiteral("on=ali*,ali off=ali"));
    QVERIFY(frmusr->isBlocked("ali"));
    frmusr->RemoveUsr("ali");
    QCOMPARE(contactTree(frmusr), QStringLiteral("on=ali off=ali"));
    frmusr->RemoveUsr("ali");
    frmusr->BlockUsr("ali", true);
    QCOMPARE(contactTree(frmusr), QStringLiteral("on= off=ali*"));
    frmusr->BlockUsr("ali", false);
    QCOMPARE(contactTree(frmusr), QStringLiteral("on= off=ali"));
    frmusr->RemoveUsr("ali");
    frmusr->RemoveUsr("ali");
    QVERIFY(!frmusr->Find("ali"));
}

void TestFrmUser::groupItemsNeverSelected()
{
    frmusr->AddUsr("ali", 1);
    QTreeWidget *view = tree(frmusr);
    view->setCurrentItem(view->topLevelItem(0));
    QVERIFY(!view->topLevelItem(0)->isSelected());
    view->setCurrentItem(view->topLevelItem(1));
    QVERIFY(!view->topLevelItem(1)->isSelected());
    view->setCurrentItem(contactItem(frmusr, "ali"));
    QVERIFY(contactItem(frmusr, "ali")->isSelected());
}

void TestFrmUser::contactMenu_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("menu");
    const QStringList free{"SendMsg", "(SendFile)", "-", "BlockUser", "-", "DelUser"};
    const QStringList blocked{"SendMsg", "(SendFile)", "-", "UnBlockUser", "-", "DelUser"};
    QTest::newRow("nothing current") << "none" << QStringList();
    QTest::newRow("group item") << "group" << QStringList();
    QTest::newRow("current, not selected") << "unselected" << QStringList();
    QTest::newRow("new contact") << "added" << free;
    QTest::newRow("blocked contact") << "blocked" << blocked;
    QTest::newRow("unblocked again") << "unblocked" << free;
    QTest::newRow("listed blocked, then online") << "stat" << blocked;
}

void TestFrmUser::contactMenu()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, menu);
    QTreeWidget *view = tree(frmusr);
    frmusr->AddUsr("ali", 1);
    if (setup == "group") {
        view->setCurrentItem(view->topLevelItem(0));
    } else if (setup == "unselected") {
        view->setCurrentItem(contactItem(frmusr, "ali"));
        contactItem(frmusr, "ali")->setSelected(false);
    } else if (setup == "blocked" || setup == "unblocked") {
        frmusr->BlockUsr("ali", true);
        if (setup == "unblocked")
            frmusr->BlockUsr("ali", false);
        view->setCurrentItem(contactItem(frmusr, "ali"));
    } else if (setup == "stat") {
        ListUsers("ali:0:1");
        StatUsers("ali:1:0");
        view->setCurrentItem(contactItem(frmusr, "ali"));
    } else if (setup == "added") {
        view->setCurrentItem(contactItem(frmusr, "ali"));
    }
    QScopedPointer<QMenu> shown(frmusr->contactMenu());
    if (menu.isEmpty()) {
        QVERIFY(!shown);
        return;
    }
    QVERIFY(shown);
    QCOMPARE(entries(shown.data()), menu);
}

void TestFrmUser::contactMenuSends_data()
{
    QTest::addColumn<QString>("nick");
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("block") << "ali" << false << "BlockUser"
                           << literalPacket("0200" "03000000", "block", "ali");
    QTest::newRow("unblock") << "ali" << true << "UnBlockUser"
                             << literalPacket("0200" "03000000", "unblock", "ali");
    QTest::newRow("delete") << "ali" << false << "DelUser"
                            << literalPacket("0300" "03000000", "Del", "ali");
    QTest::newRow("block arabic") << QString::fromUtf8("أحمد") << false << "BlockUser"
                                  << literalPacket("0200" "04000000", "block",
                                                   QByteArray::fromHex("c3cde3cf"));
}

void TestFrmUser::contactMenuSends()
{
    QFETCH(QString, nick);
    QFETCH(bool, blocked);
    QFETCH(QString, action);
    QFETCH(QByteArray, packet);
    frmusr->AddUsr(nick, 0);
    frmusr->BlockUsr(nick, blocked);
    tree(frmusr)->setCurrentItem(contactItem(frmusr, nick));
    QScopedPointer<QMenu> menu(frmusr->contactMenu());
    QVERIFY(menu);
    QAction *chosen = entry(menu.data(), action);
    QVERIFY(chosen);
    chosen->trigger();
    QCOMPARE(m_peer.sent(), packet);
    // Nothing changes before the server answers.
    QCOMPARE(frmusr->isBlocked(nick), blocked);
    QVERIFY(frmusr->Find(nick));
}

void TestFrmUser::contactMenuShown_data()
{
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<bool>("current");
    QTest::newRow("left to right") << false << true;
    QTest::newRow("right to left") << true << true;
    QTest::newRow("no current contact") << false << false;
}

void TestFrmUser::contactMenuShown()
{
    // The menu opens left of the click by its width as it stands before it is
    // shown, from right to left, or by that width in millimetres, from left
    // to right. The chosen entry's packet goes out.
    QFETCH(bool, rightToLeft);
    QFETCH(bool, current);
    QApplication::setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    frmusr->setLayoutDirection(QApplication::layoutDirection());
    frmusr->move(200, 100);
    frmusr->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmusr));
    frmusr->AddUsr("ali", 1);
    if (current)
        tree(frmusr)->setCurrentItem(contactItem(frmusr, "ali"));
    const QPoint click(150, 60);
    const QPoint global = tree(frmusr)->mapToGlobal(click);
    QRect shown;
    QTimer chooser;
    chooser.setInterval(10);
    connect(&chooser, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            shown = menu->geometry();
            ::entry(menu, "DelUser")->trigger();
            menu->close();
        }
    });
    chooser.start();
    QVERIFY(QMetaObject::invokeMethod(frmusr, "on_treeWidget_customContextMenuRequested",
                                      Qt::DirectConnection, Q_ARG(QPoint, click)));
    chooser.stop();
    QApplication::setLayoutDirection(Qt::LeftToRight);
    if (!current) {
        QVERIFY(shown.isNull());
        QCOMPARE(m_peer.sent(), QByteArray());
        return;
    }
    QVERIFY(!shown.isNull());
    const QMenu unshown(frmusr);
    QCOMPARE(shown.left(), global.x() - (rightToLeft ? unshown.width() : unshown.widthMM()));
    QCOMPARE(shown.top(), global.y());
    QCOMPARE(m_peer.sent(), literalPacket("0300" "03000000", "Del", "ali"));
}

void TestFrmUser::fileMenu()
{
    QCOMPARE(menuBarTitles(frmusr), QStringList{"File"});
    QCOMPARE(entries(menuNamed(frmusr, "File")),
             (QStringList{"Find User", "Edit Data", "-", "Entre Room", "Program Imtihan", "-",
                          "Exit"}));
    QVERIFY(frmusr->findChild<QPushButton *>("Brooms")->isEnabled());
    QVERIFY(frmusr->findChild<QPushButton *>("Bimtihan")->isEnabled());
    QVERIFY(frmusr->findChild<QPushButton *>("Bsearch")->isEnabled());

    // Find User opens the search dialog.
    QVERIFY(!frmserr);
    entry(menuNamed(frmusr, "File"), "Find User")->trigger();
    QVERIFY(frmserr);
    QVERIFY(frmserr->isVisible());
    delete frmserr;
    QVERIFY(!frmserr);
}

void TestFrmUser::permissionMenusOnce()
{
    for (int i = 0; i < 3; ++i) {
        frmusr->SetAdmin(true);
        frmusr->SetBat(true);
    }
    QCOMPARE(menuBarTitles(frmusr), (QStringList{"File", "Admin", "Bat"}));
    QCOMPARE(entries(menuNamed(frmusr, "Admin")),
             (QStringList{"Admin Groups Rooms", "Admin Users", "-", "Admin Server",
                          "Admin Msg System"}));
    QCOMPARE(entries(menuNamed(frmusr, "Bat")), QStringList{"Live Bat"});
    frmusr->SetAdmin(false);
    QCOMPARE(menuBarTitles(frmusr), (QStringList{"File", "Bat"}));
    frmusr->SetAdmin(false);
    frmusr->SetBat(false);
    QCOMPARE(menuBarTitles(frmusr), QStringList{"File"});
    frmusr->SetAdmin(true);
    QCOMPARE(menuBarTitles(frmusr), (QStringList{"File", "Admin"}));
}

void TestFrmUser::placeholderBoxes_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::newRow("edit data") << "File" << "Edit Data";
    QTest::newRow("server") << "Admin" << "Admin Server";
    QTest::newRow("system messages") << "Admin" << "Admin Msg System";
}

void TestFrmUser::placeholderBoxes()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    const QMap<QString, QString> texts{{"Edit Data", "MenuEdit"},
                                       {"Admin Server", "MenuAdminServer"},
                                       {"Admin Msg System", "MenuAdminMsg"}};
    frmusr->SetAdmin(true);
    ModalAnswerer answers;
    ::entry(menuNamed(frmusr, menu), entry)->trigger();
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().text, texts.value(entry));
    QCOMPARE(answers.shown.first().title, QString());
    QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmUser::menuGoneUnderItsBox_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QStringList>("titlesAfter");
    // Rights withdrawn: the administration menu leaves the bar.
    const QByteArray withdrawn = wirePacket(16, "pouvoirs", "msg_system:0");
    QTest::newRow("server box, rights withdrawn")
        << "Admin" << "Admin Server" << withdrawn << QStringList{"File"};
    QTest::newRow("system messages box, rights withdrawn")
        << "Admin" << "Admin Msg System" << withdrawn << QStringList{"File"};
    // A login replaces the whole main window, menus and all.
    QTest::newRow("edit data box, window replaced by a login")
        << "File" << "Edit Data" << wirePacket(1, "login", "n:ali|i:12|t:1|g:3|e:mail")
        << QStringList{"File"};
}

void TestFrmUser::menuGoneUnderItsBox()
{
    // The entry is chosen in the menu itself, as a user does, so the menu's
    // own handling is on the stack under the box while the packet arrives.
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QByteArray, packet);
    QFETCH(QStringList, titlesAfter);
    for (int i = 0; i < kPermissionCount; ++i)
        *permissionFlags()[i] = false;
    frmusr->SetAdmin(true);
    QPointer<FrmUser> window = frmusr;
    QPointer<QMenu> shown = menuNamed(frmusr, menu);
    QVERIFY(shown);
    shown->popup(QPoint(100, 100));
    shown->setActiveAction(::entry(shown, entry));
    ModalAnswerer answers;
    int boxes = 0;
    bool menuKept = false;
    QStringList titlesDuringBox;
    answers.whileOpen([&](QDialog *) {
        if (boxes++)
            return;
        m_peer.send(packet);
        QTRY_VERIFY(frmusr != window || !menuBarTitles(frmusr).contains(menu));
        // As the box's own loop would: later deletions run meanwhile.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        menuKept = !shown.isNull();
        titlesDuringBox = menuBarTitles(frmusr);
    });
    QTest::keyClick(shown, Qt::Key_Return);
    QCOMPARE(boxes, 1);
    QVERIFY2(menuKept, "the menu running the box was deleted under it");
    QCOMPARE(titlesDuringBox, titlesAfter);
    // Once the box has ended the withdrawn menu goes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!shown);
    QCOMPARE(window.isNull(), frmusr != window.data());
    m_peer.sent();
}

void TestFrmUser::replacedUnderContactMenu()
{
    // A login replaces the main window while its contact menu runs: the old
    // window and the menu it owns go once the menu has ended.
    frmusr->AddUsr("ali", 1);
    tree(frmusr)->setCurrentItem(contactItem(frmusr, "ali"));
    QPointer<FrmUser> old = frmusr;
    QPointer<QMenu> menu;
    bool keptWhileOpen = false;
    QTimer chooser;
    chooser.setInterval(10);
    connect(&chooser, &QTimer::timeout, [&] {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        chooser.stop();
        m_peer.send(wirePacket(1, "login", "n:ali|i:12|t:1|g:3|e:mail"));
        QTRY_VERIFY(frmusr != old);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        keptWhileOpen = old && menu;
        if (menu)
            menu->close();
    });
    chooser.start();
    QVERIFY(QMetaObject::invokeMethod(old, "on_treeWidget_customContextMenuRequested",
                                      Qt::DirectConnection, Q_ARG(QPoint, QPoint(20, 10))));
    chooser.stop();
    QVERIFY2(keptWhileOpen, "the window was deleted under its own menu");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!old && !menu);
    QVERIFY(frmusr);
    m_peer.sent();
}

void TestFrmUser::contactMenuKeepsItsContact_data()
{
    // blocked: ali is blocked (the menu offers Unblock); opened: the private
    // message window the entry opens, none when empty.
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("blocked");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("opened");
    QTest::newRow("another row current, delete")
        << false << false << "DelUser" << literalPacket("0300" "03000000", "Del", "ali") << "";
    QTest::newRow("another row current, block")
        << false << false << "BlockUser" << literalPacket("0200" "03000000", "block", "ali")
        << "";
    QTest::newRow("another row current, unblock")
        << false << true << "UnBlockUser"
        << literalPacket("0200" "03000000", "unblock", "ali") << "";
    QTest::newRow("another row current, send message")
        << false << false << "SendMsg" << QByteArray() << "ali";
    QTest::newRow("contact gone, delete") << true << false << "DelUser" << QByteArray() << "";
    QTest::newRow("contact gone, block") << true << false << "BlockUser" << QByteArray() << "";
    QTest::newRow("contact gone, unblock") << true << true << "UnBlockUser" << QByteArray() << "";
    QTest::newRow("contact gone, send message") << true << false << "SendMsg" << QByteArray() << "";
}

void TestFrmUser::contactMenuKeepsItsContact()
{
    // While the menu opened for ali runs, the server's lists change the rows:
    // its entries act on ali, or on nobody once ali has left the list, never
    // on the row that has become current.
    QFETCH(bool, removed);
    QFETCH(bool, blocked);
    QFETCH(QString, action);
    QFETCH(QByteArray, packet);
    QFETCH(QString, opened);
    frmusr->AddUsr("ali", 1);
    frmusr->AddUsr("sara", 1);
    // sara is blocked when ali is not, and the other way round, so the row
    // that becomes current would offer the same entry.
    frmusr->BlockUsr("ali", blocked);
    frmusr->BlockUsr("sara", !blocked);
    tree(frmusr)->setCurrentItem(contactItem(frmusr, "ali"));
    bool chosen = false;
    QTimer chooser;
    chooser.setInterval(10);
    connect(&chooser, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        chooser.stop();
        if (removed)
            frmusr->RemoveUsr("ali");
        tree(frmusr)->setCurrentItem(contactItem(frmusr, "sara"));
        if (QAction *a = ::entry(menu, action)) {
            a->trigger();
            chosen = true;
        }
        menu->close();
    });
    chooser.start();
    QVERIFY(QMetaObject::invokeMethod(frmusr, "on_treeWidget_customContextMenuRequested",
                                      Qt::DirectConnection, Q_ARG(QPoint, QPoint(20, 10))));
    chooser.stop();
    QStringList peers;
    for (FrmPM *w : frmPMs)
        peers << w->getNick();
    while (!frmPMs.isEmpty())
        delete frmPMs.first();
    QVERIFY(chosen);
    QCOMPARE(m_peer.sent(), packet);
    QCOMPARE(peers, opened.isEmpty() ? QStringList() : QStringList{opened});
}

void TestFrmUser::roomsRequest()
{
    // Both rooms entries ask for the group list.
    QTest::mouseClick(frmusr->findChild<QPushButton *>("Brooms"), Qt::LeftButton);
    QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "Group"));
    entry(menuNamed(frmusr, "File"), "Entre Room")->trigger();
    QCOMPARE(m_peer.sent(), literalPacket("0500" "00000000", "Group"));
}

void TestFrmUser::translations_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("texts");
    // Title, rooms, search, close and exam buttons, the two groups, the status
    // bar, the File menu and its first entry.
    QTest::newRow("arabic") << "arabic"
                            << QStringList{"الفلمور العلمية", "الدخول للغرف", "البحث عن الأعضاء",
                                           "الخروج", "الدخول لبرنامج الاختبار",
                                           "قائمة المضافين المتصلين",
                                           "قائمة المضافين الغير متصلين", "المتصلون حاليا :",
                                           "ملف", "البحث عن الأعضاء"};
    QTest::newRow("english") << "english"
                             << QStringList{"Velmar", "BRooms", "BSearch", "BClose", "BImtihan",
                                            "user on line", "user off line", "user on line :",
                                            "File", "Find User"};
    QTest::newRow("french") << "french"
                            << QStringList{"Velmar", "BRooms", "BSearch", "BClose", "BImtihan",
                                           "user on line", "user off line", "user on line :",
                                           "File", "Find User"};
}

void TestFrmUser::translations()
{
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    QTranslator translator;
    QVERIFY(translator.load(":/Resources/Languages/" + language + ".qm"));
    QCoreApplication::installTranslator(&translator);
    FrmUser window(nullptr);
    QCoreApplication::removeTranslator(&translator);
    m_peer.sent();
    QMenu *file = window.findChild<QMenuBar *>()->actions().first()->menu();
    const QStringList shown{window.windowTitle(),
                            window.findChild<QPushButton *>("Brooms")->text(),
                            window.findChild<QPushButton *>("Bsearch")->text(),
                            window.findChild<QPushButton *>("pushButton_3")->text(),
                            window.findChild<QPushButton *>("Bimtihan")->text(),
                            tree(&window)->topLevelItem(0)->text(0),
                            tree(&window)->topLevelItem(1)->text(0),
                            window.findChild<QStatusBar *>()->currentMessage(),
                            file->title(),
                            file->actions().first()->text()};
    QCOMPARE(shown, texts);
}

void TestFrmUser::formFitsItsWindow_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("arabic") << "arabic";
    QTest::newRow("english") << "english";
}

void TestFrmUser::formFitsItsWindow()
{
    // With the program's font and style sheet, the window has room for its
    // menu bar, logo, buttons, contact tree, exam button and status bar, one
    // below the other, and every button for its caption.
    QFETCH(QString, language);
    const QFont font = QApplication::font();
    QApplication::setFont(QFont(kKufiFamily, 12));
    qApp->setStyleSheet(readStyleSheet(QStringLiteral(":/Resources/stylesheet.qss")));
    QTranslator translator;
    QVERIFY(translator.load(":/Resources/Languages/" + language + ".qm"));
    QCoreApplication::installTranslator(&translator);
    auto restore = qScopeGuard([&] {
        QCoreApplication::removeTranslator(&translator);
        qApp->setStyleSheet(QString());
        QApplication::setFont(font);
    });
    FrmUser window(nullptr);
    m_peer.sent();
    window.SetAdmin(true);
    window.SetBat(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.width(), 310);
    QVERIFY(window.height() >= 530);
    auto rect = [&](QWidget *w) { return QRect(w->mapTo(&window, QPoint()), w->size()); };
    const QList<QWidget *> column{window.findChild<QMenuBar *>(),
                                  window.findChild<QLabel *>("Logo"),
                                  window.findChild<QPushButton *>("Brooms"), tree(&window),
                                  window.findChild<QPushButton *>("Bimtihan"),
                                  window.findChild<QStatusBar *>()};
    for (int i = 1; i < column.size(); ++i)
        QVERIFY2(rect(column.at(i - 1)).bottom() < rect(column.at(i)).top(),
                 qPrintable(column.at(i)->metaObject()->className()
                            + (QLatin1Char(' ') + column.at(i)->objectName())));
    QVERIFY(rect(column.last()).bottom() < window.height());
    QVERIFY(tree(&window)->height() >= 260);
    for (QPushButton *b : window.findChildren<QPushButton *>())
        QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
}

void TestFrmUser::keepAliveByTimer()
{
    // A window made with a short period: it sends "test" when made, lets the
    // first tick pass, sends "test" on the two missed ticks after it, and
    // ends the login on the third.
    delete frmusr;
    FrmUser::keepAlivePeriod = 30;
    ModalAnswerer answers;
    bool closedBeforeBox = false;
    int quitsBeforeBox = -1;
    answers.whileOpen([&](QDialog *) {
        closedBeforeBox = sck->socket()->state() == QAbstractSocket::UnconnectedState;
        quitsBeforeBox = m_quits;
    });
    frmusr = new FrmUser(nullptr);
    QTRY_COMPARE(m_quits, 1);
    QCOMPARE(m_peer.takeAtLeast(3 * kKeepAlive.size()), kKeepAlive + kKeepAlive + kKeepAlive);
    QVERIFY(m_peer.clientClosed());
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().title, QStringLiteral("Title App"));
    QCOMPARE(answers.shown.first().text, QStringLiteral("no connection"));
    QCOMPARE(answers.shown.first().icon, QMessageBox::Warning);
    QVERIFY(closedBeforeBox);
    QCOMPARE(quitsBeforeBox, 0);
    // The main window stays behind the box; the program quits after it.
    QVERIFY(frmusr);
}

void TestFrmUser::serverKeepAliveResetsMisses()
{
    ModalAnswerer answers;
    tick(frmusr); // the window was just made: no miss
    tick(frmusr); // miss 1
    QCOMPARE(m_peer.sent(), kKeepAlive);
    // The server's keep-alive is answered at once and shown in the status bar.
    m_peer.send(wirePacket(45, "test", "17"));
    QCOMPARE(m_peer.takeAtLeast(kKeepAlive.size()), kKeepAlive);
    QTRY_COMPARE(frmusr->findChild<QStatusBar *>()->currentMessage(),
                 QStringLiteral("user on line : 17"));
    tick(frmusr); // counter reset
    tick(frmusr); // miss 1
    tick(frmusr); // miss 2
    QCOMPARE(m_peer.sent(), kKeepAlive + kKeepAlive);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(m_quits, 0);
    tick(frmusr); // miss 3
    QCOMPARE(answers.texts(), QStringList{"no connection"});
    QCOMPARE(m_quits, 1);
}

void TestFrmUser::unconnectedNeverCounts()
{
    ModalAnswerer answers;
    CloseSocket();
    QVERIFY(m_peer.clientClosed());
    for (int i = 0; i < 20; ++i)
        tick(frmusr);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(m_quits, 0);
    // Connected again, the watchdog starts where it stood: no miss yet.
    QVERIFY(m_peer.connectClient());
    tick(frmusr);
    tick(frmusr);
    tick(frmusr);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(m_peer.sent(), kKeepAlive + kKeepAlive);
}

void TestFrmUser::replacedWhileLossShown()
{
    // A login that replaces the main window while the loss message is open,
    // under the old window's own watchdog slot; the old window goes once the
    // message has ended.
    ModalAnswerer answers;
    QPointer<FrmUser> old = frmusr;
    FrmUser *replacement = nullptr;
    answers.whileOpen([&](QDialog *) {
        replacement = FrmUser::replaceMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    for (int i = 0; i < 4; ++i)
        tick(old);
    QCOMPARE(answers.texts(), QStringList{"no connection"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!old);
    QCOMPARE(frmusr, replacement);
    QCOMPARE(m_quits, 1);
}

void TestFrmUser::replaceMainWindow()
{
    QPointer<FrmUser> old = frmusr;
    old->show();
    old->setUSER("ali");
    FrmUser *fresh = FrmUser::replaceMainWindow();
    QCOMPARE(frmusr, fresh);
    QVERIFY(old);
    QVERIFY(!old->isVisible());
    QCOMPARE(m_peer.sent(), kKeepAlive);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!old);
    // The old window's end leaves the new one registered; closing nothing quit.
    QCOMPARE(frmusr, fresh);
    QCOMPARE(m_quits, 0);
    QCOMPARE(fresh->getUSER(), QStringLiteral("1"));
}

void TestFrmUser::closingQuits()
{
    frmusr->show();
    QVERIFY(frmusr->close());
    QCOMPARE(m_quits, 1);
    QVERIFY(m_peer.clientClosed());
}

void TestFrmUser::windowListClosed()
{
    // Each window that closes moves the next to the front: none is skipped,
    // and one that stays in the list does not stop the loop.
    QList<ListedWindow *> list;
    std::vector<std::unique_ptr<ListedWindow>> windows;
    for (bool removes : {true, true, false, true, false})
        windows.emplace_back(new ListedWindow(&list, removes));
    closeWindowList(list);
    QVERIFY(list.isEmpty());
    for (const auto &w : windows)
        QCOMPARE(w->closes, 1);
}

// Point sizes drawn as the program draws them.
Q_CONSTRUCTOR_FUNCTION(useFormFontResolution)

QTEST_MAIN(TestFrmUser)
#include "tst_frmuser.moc"
