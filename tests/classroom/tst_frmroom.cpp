// The room window offscreen against a loopback server: its form and first
// state, every command it sends as literal packets, the chat line and its
// refusals, the user commands and their menu, the target of a command while
// traffic reorders the list, windows closed under a box or a menu, the
// station view and its flash check, the radio, blackboard and broadcast
// switches, the attendance page, the broadcast window, and which room
// speaks and which is heard across several open rooms.
#include "roomwindow.h"

#include "common/hooks.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/htmflash.h"
#include "protocol/pure/packet.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/flashplugin.h"
#include "rooms/frmbat.h"
#include "rooms/myobject.h"
#include "support/alsafiles.h"
#include "support/fakestream.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/tone.h"
#include "support/wire.h"

#include <QAction>
#include <QFrame>
#include <QGraphicsView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QWebFrame>
#include <QWebPage>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 20, 30));
const QByteArray kKeepAlive = QByteArray::fromHex("2d00" "00000000") + "KW.TOVEN" + "test"
                              + QByteArray(28, ' ');

template <class T>
T *child(FrmRoom *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}

QPushButton *button(FrmRoom *w, const char *name) { return child<QPushButton>(w, name); }

QWebView *stationOf(FrmRoom *w)
{
    return child<QFrame>(w, "Frameflash")->findChild<QWebView *>();
}


// Runs action once the menu that the next call opens is up, then closes it.
class MenuWatcher
{
public:
    explicit MenuWatcher(std::function<void(QMenu *)> action) : m_action(std::move(action))
    {
        m_poll.setInterval(0);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            m_poll.stop();
            ++seen;
            QPointer<QMenu> guard(menu);
            m_action(menu);
            if (guard && guard->isVisible())
                guard->close();
        });
        m_poll.start();
    }
    int seen = 0;

private:
    std::function<void(QMenu *)> m_action;
    QTimer m_poll;
};

QStringList entriesOf(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-")
                                 : a->isEnabled() ? a->text() : '(' + a->text() + ')');
    return out;
}

QAction *entryOf(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

class TestFrmRoom : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form();
    void statusLabels_data();
    void statusLabels();
    void buttonsByPermission_data();
    void buttonsByPermission();
    void apostrophes();
    void recordButton();

    void commands_data();
    void commands();
    void chatLine();
    void chatLineNotSent();
    void redRefuses();
    void whisperNotSent_data();
    void whisperNotSent();
    void addUserRefusals_data();
    void addUserRefusals();
    void privateMessage();
    void contextMenu_data();
    void contextMenu();
    void commandTargetWhileListReorders();
    void emptySelection();
    void closedUnderBoxOrMenu_data();
    void closedUnderBoxOrMenu();
    void connectionLostClosesRooms();
    void lostUnderItsOwnBox_data();
    void lostUnderItsOwnBox();

    void stationPageEscapesThePlayer();
    void stationPageOnlyWithAWebPlayer_data();
    void stationPageOnlyWithAWebPlayer();
    void noFlashBoxWithTheFactory();
    void flashCheckWithoutTheFactory();
    void flashMissing();
    void liveBroadcast();
    void radio();
    void blackboard();
    void attendance_data();
    void attendance();
    void broadcastWindow();
    void pagesOnlyFromWebAddresses_data();
    void pagesOnlyFromWebAddresses();

    void activationMovesMicAndSound();
    void micGrantedInActiveAndOtherRoom();
    void soundOffRoomNeverBecomesSoundRoom();
    void watchStartsStreamForFirstSpeaker();
    void anyChangeEventReruns();

private:
    FrmRoom *room(int id, const QStringList &users = {}, bool show = true);
    void deliver(const QByteArray &packets);
    bool activate(FrmRoom *w);
    // Everything the client sent since the last call.
    QByteArray sent();

    LoopbackPeer m_peer;
    QTemporaryDir m_sound;
    FakeSource m_source;
    QByteArray m_out;
    QList<QUrl> m_opened;
};

void TestFrmRoom::initTestCase()
{
    // A microphone that captures (ALSA's file devices) and a streaming server
    // that takes the stream, so a granted microphone is kept.
    QVERIFY(m_sound.isValid());
    QVERIFY(writeRaw(m_sound.filePath(QStringLiteral("mic.raw")), makeTone(440, 20)));
    QVERIFY(useAlsaFileDevice(m_sound.filePath(QStringLiteral("mic.raw")),
                              m_sound.filePath(QStringLiteral("speaker.raw"))));
    m_source.autoAnswer = "HTTP/1.0 200 OK\r\n\r\n";
    hooks::setQuitHandler([] {});
    hooks::setClock([] { return kNow; });
    hooks::setUrlHandler([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    indexLang = 2;
}

void TestFrmRoom::init()
{
    if (!sck || sck->socket()->state() != QAbstractSocket::ConnectedState)
        QVERIFY(m_peer.connectClient());
    settings->clear();
    bat = false;
    type_user = 5;
    id_user = 77;
    Idroom = IdroomSound = 0;
    ChannelRoom = 0;
    path_web = QStringLiteral("http://127.0.0.1:9/site1/");
    path_swf = QStringLiteral("http://127.0.0.1:9/Station.swf");
    // A stream address nothing answers: only whether one is asked for counts.
    r_radio = QStringLiteral("127.0.0.1:9");
    path_radio = QStringLiteral("room");
    w_radio = QStringLiteral("127.0.0.1:%1").arg(m_source.port());
    m_opened.clear();
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER(QStringLiteral("me"));
    QCOMPARE(m_peer.sent(), kKeepAlive);
    m_out.clear();
}

void TestFrmRoom::cleanup()
{
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    while (!frmPMs.isEmpty())
        delete frmPMs.first();
    delete frmbat;
    delete frmusr;
    deleteLaterNow();
    indexLang = 2;
    ChangeWid();
}

FrmRoom *TestFrmRoom::room(int id, const QStringList &users, bool show)
{
    auto *w = new FrmRoom(nullptr, id);
    w->setName(QStringLiteral("Room %1").arg(id));
    frmRooms.append(w);
    for (const QString &nick : users)
        w->AddItem(nick, 1, false);
    if (show) {
        w->move(40 * frmRooms.size(), 40);
        w->show();
    }
    return w;
}

void TestFrmRoom::deliver(const QByteArray &packets)
{
    m_peer.send(packets + wirePacket(45, "test", ""));
    QByteArray got;
    while (!got.endsWith(kKeepAlive)) {
        const QByteArray more = m_peer.takeAtLeast(1);
        QVERIFY2(!more.isEmpty(), "the keep-alive was not answered");
        got += more;
    }
    got.chop(kKeepAlive.size());
    m_out += got;
}

QByteArray TestFrmRoom::sent()
{
    QByteArray out = m_out + m_peer.sent();
    m_out.clear();
    return out;
}

bool TestFrmRoom::activate(FrmRoom *w)
{
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

void TestFrmRoom::form()
{
    FrmRoom *w = room(12, {}, false);
    QCOMPARE(w->objectName(), QStringLiteral("FrmRoom"));
    QCOMPARE(w->size(), QSize(800, 580));
    QCOMPARE(w->minimumSize(), QSize(720, 500));
    QCOMPARE(w->getID(), 12);
    QVERIFY(!w->handUp && !w->isAdmin && !w->micOn && !w->red && !w->noMic);
    QVERIFY(chatOf(w));
    QVERIFY(child<CUserList>(w, "wList"));
    for (const char *hidden : {"graphicsView", "Frameflash", "Bradio", "Brec", "frameAdmin"})
        QVERIFY2(child<QWidget>(w, hidden)->isHidden(), hidden);
    for (const char *checkable : {"Bwav", "Bradio", "Brec"}) {
        QVERIFY(button(w, checkable)->isCheckable());
        QVERIFY(!button(w, checkable)->isChecked());
    }
    QVERIFY(child<QRadioButton>(w, "Op1")->isChecked());
    QCOMPARE(child<QRadioButton>(w, "Op2")->text(), QStringLiteral("Live Video"));
    QCOMPARE(stationOf(w)->size(), QSize(275, 247));
    QVERIFY(stationOf(w)->isHidden());
    QVERIFY(!fetchesStream(w));
    w->setID(14);
    QCOMPARE(w->getID(), 14);
    QCOMPARE(FindRoom(14), frmRooms.indexOf(w));
    QCOMPARE(FindRoom(12), -1);
}

void TestFrmRoom::statusLabels_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("wav");
    QTest::newRow("arabic: text, then icon")
        << "arabic" << 0
        << QString::fromUtf8("استقبال الصوت من اللاقط")
               + " <img src=':/Resources/wav.png' Width=16 Height=16>";
    QTest::newRow("english: icon, then text")
        << "english" << 2 << "<img src=':/Resources/wav.png' Width=16 Height=16> wav";
}

void TestFrmRoom::statusLabels()
{
    QFETCH(QString, catalogue);
    QFETCH(int, language);
    QFETCH(QString, wav);
    QTranslator translator;
    QVERIFY(translator.load(":/Resources/Languages/" + catalogue + ".qm"));
    QCoreApplication::installTranslator(&translator);
    indexLang = language;
    FrmRoom *w = room(12, {}, false);
    QCoreApplication::removeTranslator(&translator);
    const QList<QLabel *> labels = w->statusBar()->findChildren<QLabel *>();
    QStringList texts;
    for (QLabel *l : labels)
        texts << l->text();
    QVERIFY2(texts.contains(wav), qPrintable(texts.join(" | ")));
    QCOMPARE(w->layoutDirection(), language == 0 ? Qt::RightToLeft : Qt::LeftToRight);
}

void TestFrmRoom::buttonsByPermission_data()
{
    QTest::addColumn<QVariant>("choix");
    QTest::addColumn<bool>("permission");
    QTest::addColumn<bool>("attendance");
    QTest::newRow("no setting, no permission") << QVariant() << false << false;
    QTest::newRow("Choix 1, permission") << QVariant(1) << true << true;
    QTest::newRow("Choix 2") << QVariant(2) << false << false;
}

void TestFrmRoom::buttonsByPermission()
{
    QFETCH(QVariant, choix);
    QFETCH(bool, permission);
    QFETCH(bool, attendance);
    if (choix.isValid())
        settings->setValue(QStringLiteral("Choix"), choix);
    bat = permission;
    FrmRoom *w = room(12);
    QCOMPARE(button(w, "pushButton")->isVisible(), attendance);
    QCOMPARE(button(w, "B_bat")->isVisible(), permission);
    w->setAdmin(true);
    QVERIFY(w->isAdmin && child<QFrame>(w, "frameAdmin")->isVisible());
    w->setAdmin(false);
    QVERIFY(!w->isAdmin && !child<QFrame>(w, "frameAdmin")->isVisible());
}

void TestFrmRoom::apostrophes()
{
    FrmRoom *w = room(12);
    w->ChangeTitre(QStringLiteral("Ibn ''Abbas'' and Qur'an"), QStringLiteral("O'mar"));
    QVERIFY(headerOf(w).contains(QStringLiteral("Ibn 'Abbas' and Qur'an")));
    QVERIFY(headerOf(w).contains(QStringLiteral("O'mar")));
}

void TestFrmRoom::recordButton()
{
    FrmRoom *w = room(12);
    QPushButton *rec = button(w, "Brec");
    w->AddItem(QStringLiteral("ali"), 1, true);
    w->AddItem(QStringLiteral("me"), 1, false);
    QVERIFY(!rec->isVisible());
    w->AddItem(QStringLiteral("me"), -101, true);
    QVERIFY(rec->isVisible());
    w->AddItem(QStringLiteral("me"), -101, false);
    QVERIFY(rec->isVisible());
}

void TestFrmRoom::commands_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("wire");
    // Packets as the command catalogue gives them: code and length
    // little-endian, the marker, the name padded to 32 bytes, the body.
    QTest::newRow("chat line, escaped, bold")
        << "chat:<span style=\"font-weight:600;\">a|b:c@d</span>"
        << wirePacket(7, "all", "me|12|<span style=\"font-weight@n;bold;\">a@l;b@n;c@arp;d</span>");
    QTest::newRow("chat line, arabic")
        << QString::fromUtf8("chat:سمرل")
        << wirePacket(7, "all", "me|12|" + QByteArray::fromHex("d3e3d1e1"));
    QTest::newRow("whisper, only the text escaped")
        << "whisper:hi|x:y" << wirePacket(7, "wisbar", "me|ali|12|hi@l;x@n;y");
    QTest::newRow("add user") << "menu:Add User" << wirePacket(3, "Add", "ali");
    QTest::newRow("red dot, marked user") << "menu:Red" << wirePacket(8, "Reddot", "12|ali");
    QTest::newRow("remove red dot") << "menu:UnRed" << wirePacket(8, "UnReddot", "12|ali");
    QTest::newRow("grant microphone") << "menu:On Mic" << wirePacket(8, "ettMic", "12|ali");
    QTest::newRow("withdraw microphone") << "menu:off Mic" << wirePacket(8, "ettNoMic", "12|ali");
    QTest::newRow("ask for the microphone") << "click:Bmic" << wirePacket(8, "mic", "12");
    QTest::newRow("give the microphone back") << "micOn click:Bmic" << wirePacket(8, "mic-no", "12");
    QTest::newRow("raise the hand") << "click:Bman" << wirePacket(8, "man", "12");
    QTest::newRow("lower the hand") << "handUp click:Bman" << wirePacket(8, "man-no", "12");
    QTest::newRow("live audio") << "click:B_Stream" << wirePacket(8, "Mobachir", "12|audio");
    QTest::newRow("live video") << "video click:B_Stream" << wirePacket(8, "Mobachir", "12|video");
    QTest::newRow("live off") << "live click:B_Stream" << wirePacket(8, "Mobachir-no", "12|audio");
    QTest::newRow("blackboard on") << "click:B_Sabora" << wirePacket(8, "sabora", "12|null");
    QTest::newRow("blackboard off") << "board click:B_Sabora" << wirePacket(8, "sabora-no", "12|null");
    QTest::newRow("close") << "close" << wirePacket(6, "sorte", "12") + wirePacket(45, "test", "");
}

void TestFrmRoom::commands()
{
    QFETCH(QString, action);
    QFETCH(QByteArray, wire);
    FrmRoom *w = room(12);
    w->setAdmin(true);
    w->AddItem(QStringLiteral("ali"), -100, true);
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    w->setVisibleFlash(action.startsWith("live"));
    w->setVisibleSabora(action.startsWith("board"));
    w->micOn = action.startsWith("micOn");
    w->handUp = action.startsWith("handUp");
    child<QRadioButton>(w, action.startsWith("video") ? "Op2" : "Op1")->setChecked(true);
    sent();

    ModalAnswerer answerer;
    answerer.setDialogResult(QDialog::Accepted);
    const QString what = action.section(':', 1);
    if (action.startsWith("chat:")) {
        emit chatOf(w)->Sendtxt(what);
    } else if (action.startsWith("whisper:")) {
        answerer.whileOpen([&what](QDialog *d) {
            auto *box = qobject_cast<QInputDialog *>(d);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("messages Wisbar"));
            QCOMPARE(box->labelText(), QStringLiteral("Enter Wisbar :"));
            box->setTextValue(what);
        });
        QVERIFY(QMetaObject::invokeMethod(w, "menuWhisbar"));
    } else if (action.startsWith("menu:")) {
        answerer.queue(QMessageBox::Yes);
        MenuWatcher watcher([&what](QMenu *menu) {
            QAction *entry = entryOf(menu, what);
            QVERIFY(entry);
            entry->trigger();
        });
        const QRect row = treeOf(w)->visualItemRect(treeOf(w)->topLevelItem(0));
        const QPoint pos = treeOf(w)->viewport()->mapTo(child<CUserList>(w, "wList"), row.center());
        QVERIFY(QMetaObject::invokeMethod(w, "ContextMenu", Q_ARG(QPoint, pos)));
        QCOMPARE(watcher.seen, 1);
    } else if (action.contains("click:")) {
        QTest::mouseClick(button(w, qPrintable(action.section("click:", 1))), Qt::LeftButton);
    } else {
        QVERIFY(w->close());
        QCOMPARE(FindRoom(12), -1);
    }
    QCOMPARE(sent(), wire);
}

void TestFrmRoom::chatLine()
{
    // The own nickname is escaped too; the line shows at once as written.
    frmusr->setUSER(QStringLiteral("m@e:1"));
    FrmRoom *w = room(12);
    sent();
    emit chatOf(w)->Sendtxt(QStringLiteral("<span style=\"font-weight:600;\">a|b</span>"));
    QCOMPARE(sent(), wirePacket(7, "all", "m@arp;e@n;1|12|<span style=\"font-weight@n;bold;\">a@l;b</span>"));
    QCOMPARE(chatLinesOf(w), QStringList{"m@e:1:wait:a|b"});
    QVERIFY(chatPageOf(w)->toHtml().contains(QStringLiteral("font-weight:bold;")));
    // Characters CP-1256 has not are sent as character references.
    emit chatOf(w)->Sendtxt(QString::fromUtf8("ok \u2713"));
    QCOMPARE(sent(), wirePacket(7, "all", "m@arp;e@n;1|12|ok &#10003;"));
    // The echo settles the oldest pending line.
    w->updatetxt();
    QCOMPARE(chatLinesOf(w), (QStringList{"m@e:1:time:a|b", QString::fromUtf8("m@e:1:wait:ok \u2713")}));
}

void TestFrmRoom::chatLineNotSent()
{
    FrmRoom *w = room(12);
    sent();
    // Larger than any body the server takes: shown refused, nothing sent.
    emit chatOf(w)->Sendtxt(QString(kMaxBodySize, QLatin1Char('x')));
    QCOMPARE(sent(), QByteArray());
    QCOMPARE(chatLinesOf(w).size(), 1);
    QVERIFY(chatLinesOf(w).first().startsWith(QStringLiteral("me:no:")));
}

void TestFrmRoom::redRefuses()
{
    FrmRoom *w = room(12, {"ali"});
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    w->red = true;
    sent();
    ModalAnswerer answerer;
    emit chatOf(w)->Sendtxt(QStringLiteral("hello"));
    QVERIFY(QMetaObject::invokeMethod(w, "menuWhisbar"));
    QCOMPARE(answerer.texts(), (QStringList{"Sorry No Send text Red", "Sorry No Send text Red"}));
    QCOMPARE(answerer.shown.first().icon, QMessageBox::Warning);
    QCOMPARE(answerer.shown.first().title, QStringLiteral("Title App"));
    QCOMPARE(sent(), QByteArray());
    QVERIFY(chatLinesOf(w).isEmpty());
}

void TestFrmRoom::whisperNotSent_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("typed");
    QTest::newRow("cancelled") << int(QDialog::Rejected) << "hello";
    QTest::newRow("empty") << int(QDialog::Accepted) << "";
}

void TestFrmRoom::whisperNotSent()
{
    QFETCH(int, result);
    QFETCH(QString, typed);
    FrmRoom *w = room(12, {"ali"});
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    sent();
    ModalAnswerer answerer;
    answerer.setDialogResult(result);
    answerer.whileOpen([&typed](QDialog *d) { qobject_cast<QInputDialog *>(d)->setTextValue(typed); });
    QVERIFY(QMetaObject::invokeMethod(w, "menuWhisbar"));
    QCOMPARE(answerer.shown.size(), 1);
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::addUserRefusals_data()
{
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("message");
    QTest::newRow("oneself") << "me" << "No Add Me !";
    QTest::newRow("already a contact") << "sara" << "User Deja list";
    QTest::newRow("answered No") << "ali" << "Add User On List ?";
}

void TestFrmRoom::addUserRefusals()
{
    QFETCH(QString, nick);
    QFETCH(QString, message);
    frmusr->AddUsr(QStringLiteral("sara"), 1);
    FrmRoom *w = room(12, {nick});
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    sent();
    ModalAnswerer answerer;
    answerer.queue(QMessageBox::No);
    QVERIFY(QMetaObject::invokeMethod(w, "menuAddusr"));
    QCOMPARE(answerer.texts(), QStringList{message});
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::privateMessage()
{
    FrmRoom *w = room(12);
    w->AddItem(QStringLiteral("ali"), -100, true);
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    sent();
    QVERIFY(QMetaObject::invokeMethod(w, "menuPm"));
    QCOMPARE(frmPMs.size(), 1);
    QCOMPARE(frmPMs.first()->getNick(), QStringLiteral("ali"));
    QVERIFY(frmPMs.first()->isVisible());
    QVERIFY(QMetaObject::invokeMethod(w, "menuPm"));
    QCOMPARE(frmPMs.size(), 1);
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::contextMenu_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("member") << false
                            << QStringList{"Pm", "(Send File)", "Add User", "-", "Whisbar"};
    QTest::newRow("supervisor")
        << true
        << QStringList{"Pm", "(Send File)", "Add User", "-", "Whisbar", "-", "Red", "UnRed", "-",
                       "On Mic", "off Mic", "-", "(Ban)", "(bannec)"};
}

void TestFrmRoom::contextMenu()
{
    QFETCH(bool, admin);
    QFETCH(QStringList, entries);
    FrmRoom *w = room(12, {"ali"});
    w->setAdmin(admin);
    auto *list = child<CUserList>(w, "wList");
    const QPoint pos(30, 10);
    QStringList seen;
    QPoint at;
    MenuWatcher watcher([&](QMenu *menu) {
        seen = entriesOf(menu);
        at = menu->pos();
    });
    emit list->ContextMenu(pos);
    QCOMPARE(watcher.seen, 1);
    QCOMPARE(seen, entries);
    QCOMPARE(at, list->mapToGlobal(pos));
}

void TestFrmRoom::commandTargetWhileListReorders()
{
    FrmRoom *w = room(12, {"a", "b", "c"});
    w->setAdmin(true);
    QTreeWidget *tree = treeOf(w);
    QTreeWidgetItem *third = tree->topLevelItem(2);
    tree->setCurrentItem(third);
    const QPoint pos =
        tree->viewport()->mapTo(child<CUserList>(w, "wList"), tree->visualItemRect(third).center());
    sent();
    MenuWatcher watcher([this, w](QMenu *menu) {
        // c takes the microphone while the menu is open: its row moves up and
        // the row under the pointer now shows another user.
        deliver(wirePacket(13, "mic", "c|12|0|0"));
        QCOMPARE(rowsOf(w).first(), QStringLiteral("c/mic"));
        QVERIFY(w->SelectedItem() != QLatin1String("c"));
        entryOf(menu, QStringLiteral("Red"))->trigger();
    });
    QVERIFY(QMetaObject::invokeMethod(w, "ContextMenu", Q_ARG(QPoint, pos)));
    QCOMPARE(watcher.seen, 1);
    QCOMPARE(sent(), wirePacket(8, "Reddot", "12|c"));
    // Outside the menu a command acts on the selection again.
    QVERIFY(QMetaObject::invokeMethod(w, "menuUnRed"));
    QCOMPARE(sent(), wirePacket(8, "UnReddot", "12|" + w->SelectedItem().toUtf8()));
}

void TestFrmRoom::emptySelection()
{
    FrmRoom *w = room(12, {"ali"});
    w->setAdmin(true);
    sent();
    ModalAnswerer answerer;
    for (const char *slot : {"menuPm", "menuSendfile", "menuAddusr", "menuWhisbar", "menuRed",
                             "menuUnRed", "menuOnMic", "menuOffMic", "menuBan", "menuBannec"})
        QVERIFY(QMetaObject::invokeMethod(w, slot));
    QVERIFY(answerer.shown.isEmpty());
    QVERIFY(frmPMs.isEmpty());
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::closedUnderBoxOrMenu_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("whisper box") << "whisper";
    QTest::newRow("add user question") << "add";
    QTest::newRow("red dot message") << "red";
    QTest::newRow("flash message") << "flash";
    QTest::newRow("context menu") << "menu";
}

void TestFrmRoom::closedUnderBoxOrMenu()
{
    QFETCH(QString, situation);
    QPointer<FrmRoom> w = room(12, {"ali"});
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    sent();
    const auto closeRoom = [&w] {
        w->close();
        deleteLaterNow();
    };
    ModalAnswerer answerer;
    answerer.setDialogResult(QDialog::Accepted);
    answerer.whileOpen([&](QDialog *d) {
        if (auto *box = qobject_cast<QInputDialog *>(d))
            box->setTextValue(QStringLiteral("psst"));
        closeRoom();
    });
    if (situation == "whisper") {
        QVERIFY(QMetaObject::invokeMethod(w, "menuWhisbar"));
    } else if (situation == "add") {
        answerer.queue(QMessageBox::No);
        QVERIFY(QMetaObject::invokeMethod(w, "menuAddusr"));
    } else if (situation == "red") {
        w->red = true;
        emit chatOf(w)->Sendtxt(QStringLiteral("x"));
    } else if (situation == "flash") {
        w->DoFSCommand(QStringLiteral("error"), QStringLiteral("no flash"));
    } else {
        MenuWatcher watcher([&](QMenu *) { closeRoom(); });
        QVERIFY(QMetaObject::invokeMethod(w, "ContextMenu", Q_ARG(QPoint, QPoint(5, 5))));
        QCOMPARE(watcher.seen, 1);
    }
    // Deleted once the box or menu has ended.
    deleteLaterNow();
    QVERIFY(!w);
    QCOMPARE(FindRoom(12), -1);
    // Only the departure: nothing of the closed room went out afterwards.
    QCOMPARE(sent(), wirePacket(6, "sorte", "12") + wirePacket(45, "test", ""));
}

void TestFrmRoom::connectionLostClosesRooms()
{
    QPointer<FrmRoom> a = room(12);
    QPointer<FrmRoom> b = room(14);
    ModalAnswerer answerer;
    int listedDuringBox = -1;
    answerer.whileOpen([&](QDialog *) { listedDuringBox = frmRooms.size(); });
    for (int i = 0; i < 4; ++i)
        QVERIFY(QMetaObject::invokeMethod(frmusr, "time_out", Qt::DirectConnection));
    QCOMPARE(answerer.texts(), QStringList{"no connection"});
    QCOMPARE(listedDuringBox, 0);
    deleteLaterNow();
    QVERIFY(!a && !b);
    QVERIFY(m_peer.connectClient());
}

void TestFrmRoom::lostUnderItsOwnBox_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("opener");
    QTest::newRow("room, whisper chosen in the user menu") << "room" << "Whisbar";
    QTest::newRow("room, add user chosen in the user menu") << "room" << "Add User";
    QTest::newRow("room, text colour") << "room" << "Foreground";
    QTest::newRow("private window, background colour") << "pm" << "Background";
}

void TestFrmRoom::lostUnderItsOwnBox()
{
    // The keep-alive gives up while a box of the window is open: every room
    // and private window closes under the box, and each is deleted only once
    // the box has ended.
    QFETCH(QString, window);
    QFETCH(QString, opener);
    QPointer<FrmRoom> w = room(12, {"ali"});
    QPointer<QWidget> target = w.data();
    ControlTxt *chat = chatOf(w);
    if (window == "pm") {
        FrmPM *pm = openPM(QStringLiteral("ali"));
        target = pm;
        chat = pm->findChild<ControlTxt *>(QStringLiteral("widget"));
    }
    treeOf(w)->setCurrentItem(treeOf(w)->topLevelItem(0));
    ModalAnswerer answerer;
    answerer.setDialogResult(QDialog::Accepted);
    answerer.queue(QMessageBox::Yes);
    int boxes = 0;
    bool keptWhileOpen = false;
    answerer.whileOpen([&](QDialog *d) {
        if (boxes++)
            return; // the loss message
        if (auto *box = qobject_cast<QInputDialog *>(d))
            box->setTextValue(QStringLiteral("psst"));
        for (int i = 0; i < 4; ++i)
            QVERIFY(QMetaObject::invokeMethod(frmusr, "time_out", Qt::DirectConnection));
        deleteLaterNow();
        keptWhileOpen = target && frmRooms.isEmpty() && frmPMs.isEmpty();
    });
    if (QAction *style = chat->findChild<QAction *>(opener)) {
        style->trigger();
    } else {
        MenuWatcher watcher([&](QMenu *menu) {
            menu->setActiveAction(entryOf(menu, opener));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QVERIFY(QMetaObject::invokeMethod(w, "ContextMenu", Q_ARG(QPoint, QPoint(5, 5))));
        QCOMPARE(watcher.seen, 1);
    }
    QCOMPARE(answerer.texts().last(), QStringLiteral("no connection"));
    QVERIFY2(keptWhileOpen, "closed, the window was deleted while its box was open");
    deleteLaterNow();
    QVERIFY(!w && !target);
    QVERIFY(m_peer.connectClient());
}

void TestFrmRoom::stationPageEscapesThePlayer()
{
    const QString player = QStringLiteral("http://h/p.swf?a=1&b=2\" onload=\"alert(1)");
    QWebPage page;
    page.mainFrame()->setHtml(stationPage(player));
    const QWebElement embed = page.mainFrame()->findFirstElement(QStringLiteral("embed"));
    QCOMPARE(embed.attribute(QStringLiteral("src")), player + QStringLiteral("?Idrom=10"));
    QVERIFY(!embed.hasAttribute(QStringLiteral("onload")));
    QVERIFY(!stationPage(player).contains(QStringLiteral("Station.swf")));
}

void TestFrmRoom::stationPageOnlyWithAWebPlayer_data()
{
    QTest::addColumn<QString>("player");
    QTest::addColumn<bool>("kept");
    QTest::newRow("http") << "http://127.0.0.1:9/site1/Station.swf" << true;
    QTest::newRow("https") << "https://h/p/Station.swf" << true;
    QTest::newRow("page name read as host") << "http://@Station.swf" << false;
    QTest::newRow("empty user name") << "http://@127.0.0.1:9/site1/Station.swf" << false;
    QTest::newRow("user and password") << "http://user:pw@127.0.0.1:9/Station.swf" << false;
    QTest::newRow("local file") << "file:///tmp/Station.swf" << false;
    QTest::newRow("script") << "javascript:alert(1)//" << false;
    QTest::newRow("ftp") << "ftp://h/Station.swf" << false;
    QTest::newRow("no host") << "http:///Station.swf" << false;
    QTest::newRow("none") << "" << false;
}

// The player's address goes into the station page only when it is a web
// address; otherwise the page, and its flash check, stand without one.
void TestFrmRoom::stationPageOnlyWithAWebPlayer()
{
    QFETCH(QString, player);
    QFETCH(bool, kept);
    QWebPage page;
    page.mainFrame()->setHtml(stationPage(player));
    const QWebElement embed = page.mainFrame()->findFirstElement(QStringLiteral("embed"));
    QCOMPARE(embed.attribute(QStringLiteral("src")),
             (kept ? player : QString()) + QStringLiteral("?Idrom=10"));
    QVERIFY(stationPage(player).contains(QStringLiteral("function test()")));
}

void TestFrmRoom::noFlashBoxWithTheFactory()
{
    ModalAnswerer answerer;
    FrmRoom *w = room(12, {}, false);
    QVERIFY(answerer.shown.isEmpty());
    // The factory declares the player's type and makes its placeholder.
    FlashPluginFactory factory;
    QCOMPARE(factory.plugins().size(), 1);
    QCOMPARE(factory.plugins().first().mimeTypes.first().name,
             QStringLiteral("application/x-shockwave-flash"));
    QScopedPointer<QObject> placeholder(
        factory.create(FlashPluginFactory::kMimeType, QUrl(), {}, {}));
    QVERIFY(qobject_cast<QWidget *>(placeholder.data()));
    QVERIFY(!factory.create(QStringLiteral("text/plain"), QUrl(), {}, {}));
    Q_UNUSED(w);
}

void TestFrmRoom::flashCheckWithoutTheFactory()
{
    // A view without the factory: the page's check reaches the bridge.
    QWebView view;
    view.settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    MyObject bridge;
    QSignalSpy spy(&bridge, &MyObject::doSom);
    view.setHtml(stationPage(QStringLiteral("http://127.0.0.1:9/Station.swf")));
    view.page()->mainFrame()->addToJavaScriptWindowObject(QStringLiteral("myObject"), &bridge);
    view.page()->mainFrame()->evaluateJavaScript(QStringLiteral("test();"));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first(), (QVariantList{"error", "no flash"}));
    // The player's commands pass through the same way.
    view.page()->mainFrame()->evaluateJavaScript(QStringLiteral("sample_DoFSCommand('play', 'x');"));
    QCOMPARE(spy.last(), (QVariantList{"play", "x"}));
}

void TestFrmRoom::flashMissing()
{
    FrmRoom *w = room(12);
    ModalAnswerer answerer;
    w->DoFSCommand(QStringLiteral("error"), QStringLiteral("other"));
    w->DoFSCommand(QStringLiteral("no flash"), QStringLiteral("No flash"));
    QVERIFY(answerer.shown.isEmpty());
    w->DoFSCommand(QStringLiteral("anything"), QStringLiteral("no flash"));
    QCOMPARE(answerer.shown.size(), 1);
    QCOMPARE(answerer.shown.first().title, QString::fromUtf8("خطأ"));
    QCOMPARE(answerer.shown.first().text,
             QString::fromUtf8("الفلاش غير مثبت في الجهاز الرجاء تثبيته \nحتى تتمكن من تشغيل الإذاعة"));
    QCOMPARE(answerer.shown.first().icon, QMessageBox::Information);
    QCOMPARE(stationOf(w)->geometry(), QRect(-2, -2, 1, 1));
    QVERIFY(!stationOf(w)->isVisible());
}

void TestFrmRoom::liveBroadcast()
{
    // Not on screen yet: the frame is marked shown, the view stays blank.
    FrmRoom *w = room(12, {}, false);
    w->setVisibleFlash(true);
    QVERIFY(!child<QFrame>(w, "Frameflash")->isHidden());
    QCOMPARE(stationOf(w)->page()->mainFrame()->requestedUrl(), QUrl("about:blank"));
    QCOMPARE(button(w, "B_Stream")->text(), QStringLiteral("stop Stream"));
    w->show();
    w->setVisibleFlash(true);
    QVERIFY(w->getVisibleFlash());
    QVERIFY(button(w, "Bradio")->isVisible());
    QVERIFY(stationOf(w)->isVisible());
    QCOMPARE(stationOf(w)->page()->mainFrame()->requestedUrl(), QUrl("http://127.0.0.1:9/site1/station.php?Idrom=12"));
    w->setVisibleFlash(false);
    QVERIFY(!w->getVisibleFlash());
    QVERIFY(!button(w, "Bradio")->isVisible());
    QCOMPARE(stationOf(w)->page()->mainFrame()->requestedUrl(), QUrl("about:blank"));
    QCOMPARE(button(w, "B_Stream")->text(), QStringLiteral("start Stream"));
    // With the radio off the view stays blank.
    button(w, "Bradio")->setChecked(true);
    w->setVisibleFlash(true);
    QVERIFY(button(w, "Bradio")->isVisible());
    QCOMPARE(stationOf(w)->page()->mainFrame()->requestedUrl(), QUrl("about:blank"));
}

void TestFrmRoom::radio()
{
    FrmRoom *w = room(12);
    w->setVisibleFlash(true);
    QLabel *label = nullptr;
    for (QLabel *l : w->statusBar()->findChildren<QLabel *>())
        if (l->text().contains(QStringLiteral("radio")))
            label = l;
    QVERIFY(label);
    QTest::mouseClick(button(w, "Bradio"), Qt::LeftButton);
    QCOMPARE(label->text(), QStringLiteral("<img src=':/Resources/radio2.png' Width=16 Height=16> no radio"));
    QVERIFY(!stationOf(w)->isVisible());
    QCOMPARE(stationOf(w)->page()->mainFrame()->requestedUrl(), QUrl("about:blank"));
    QTest::mouseClick(button(w, "Bradio"), Qt::LeftButton);
    QCOMPARE(label->text(), QStringLiteral("<img src=':/Resources/radio.png' Width=16 Height=16> radio"));
    QCOMPARE(stationOf(w)->page()->mainFrame()->requestedUrl(), QUrl("http://127.0.0.1:9/site1/station.php?Idrom=12"));
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::blackboard()
{
    FrmRoom *w = room(12);
    w->setVisibleSabora(true);
    QVERIFY(w->getVisibleSabora());
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QCOMPARE(button(w, "B_Sabora")->text(), QStringLiteral("stop Sabora"));
    w->setVisibleSabora(false);
    QVERIFY(!w->getVisibleSabora());
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QCOMPARE(button(w, "B_Sabora")->text(), QStringLiteral("start Sabora"));
}

void TestFrmRoom::attendance_data()
{
    QTest::addColumn<int>("choix");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("opened");
    QTest::newRow("member") << 1 << 5 << "http://127.0.0.1:9/site1/ghiyab.php?id=77";
    QTest::newRow("teacher") << 1 << -101 << "http://127.0.0.1:9/site1/ghiyab.php?id=77";
    QTest::newRow("visitor") << 1 << 0 << "";
    QTest::newRow("Choix not 1") << 0 << 5 << "";
}

void TestFrmRoom::attendance()
{
    QFETCH(int, choix);
    QFETCH(int, type);
    QFETCH(QString, opened);
    settings->setValue(QStringLiteral("Choix"), 1);
    FrmRoom *w = room(12);
    settings->setValue(QStringLiteral("Choix"), choix);
    type_user = type;
    QTest::mouseClick(button(w, "pushButton"), Qt::LeftButton);
    QCOMPARE(m_opened, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::broadcastWindow()
{
    bat = true;
    FrmRoom *w = room(12);
    QTest::mouseClick(button(w, "B_bat"), Qt::LeftButton);
    QCOMPARE(ChannelRoom, 12);
    QPointer<FrmBat> first = frmbat;
    QVERIFY(first && first->isVisible());
    QCOMPARE(first->objectName(), QStringLiteral("FrmBat"));
    QCOMPARE(first->size(), QSize(612, 542));
    auto *web = first->findChild<QWebView *>(QStringLiteral("web"));
    QCOMPARE(web->page()->mainFrame()->requestedUrl(),
             QUrl("http://127.0.0.1:9/site1/PublicLive.php?idroom=12"));
    QVERIFY(web->page()->pluginFactory());
    QTest::keyClick(first, Qt::Key_Escape);
    QVERIFY(first->isVisible());
    first->close();
    QVERIFY(first && !first->isVisible());
    QCOMPARE(web->page()->mainFrame()->requestedUrl(), QUrl("about:blank"));
    // Opened again: a new window, the old one deleted.
    QTest::mouseClick(button(w, "B_bat"), Qt::LeftButton);
    QVERIFY(frmbat && frmbat != first);
    deleteLaterNow();
    QVERIFY(!first);
    // From the main window: the institute-wide page.
    QVERIFY(QMetaObject::invokeMethod(frmusr, "MenuBat"));
    QCOMPARE(ChannelRoom, 0);
    QCOMPARE(frmbat->findChild<QWebView *>(QStringLiteral("web"))->page()->mainFrame()->requestedUrl(),
             QUrl("http://127.0.0.1:9/site1/PublicLive.php?idroom=0"));
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::pagesOnlyFromWebAddresses_data()
{
    QTest::addColumn<QString>("web");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("http") << "http://127.0.0.1:9/site1/" << true;
    QTest::newRow("https") << "https://127.0.0.1:9/site1/" << true;
    QTest::newRow("HTTP in capitals") << "HTTP://127.0.0.1:9/site1/" << true;
    QTest::newRow("local page") << "file:///%1/s.html#" << false;
    QTest::newRow("local folder") << "file:///%1/" << false;
    QTest::newRow("script") << "javascript:document.title='ran';//" << false;
    QTest::newRow("ftp") << "ftp://127.0.0.1:9/site1/" << false;
    QTest::newRow("http without host") << "http:site1/" << false;
    QTest::newRow("none") << "" << false;
    // The page's name would be read as the host.
    QTest::newRow("at sign alone") << "http://@" << false;
    QTest::newRow("empty user name") << "http://@127.0.0.1:9/site1/" << false;
    QTest::newRow("user and password") << "http://user:pw@127.0.0.1:9/site1/" << false;
    QTest::newRow("host left open") << "http://127.0.0.1" << false;
}

// The station view, the broadcast page and the attendance link load only
// http and https pages of the entry's web path.
void TestFrmRoom::pagesOnlyFromWebAddresses()
{
    QFETCH(QString, web);
    QFETCH(bool, loaded);
    QTemporaryDir local;
    QFile page(local.filePath(QStringLiteral("s.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>local</title></head><body>"
               "<script>document.title='ran';</script></body></html>");
    page.close();
    path_web = web.contains(QLatin1String("%1")) ? web.arg(local.path().mid(1)) : web;

    bat = true;
    settings->setValue(QStringLiteral("Choix"), 1);
    FrmRoom *w = room(12);
    w->setVisibleFlash(true);
    QTest::mouseClick(button(w, "B_bat"), Qt::LeftButton);
    QVERIFY(frmbat);
    auto *live = frmbat->findChild<QWebView *>(QStringLiteral("web"));
    QTest::mouseClick(button(w, "pushButton"), Qt::LeftButton);

    // The three together, so that each one that loads shows.
    const auto requested = [](QWebView *view) { return view->page()->mainFrame()->requestedUrl(); };
    QStringList seen{QStringLiteral("station ") + requested(stationOf(w)).toString(),
                     QStringLiteral("broadcast ") + requested(live).toString()};
    for (const QUrl &url : qAsConst(m_opened))
        seen << QStringLiteral("browser ") + url.toString();
    QStringList expected{QStringLiteral("station about:blank"), QStringLiteral("broadcast about:blank")};
    if (loaded)
        expected = QStringList{"station " + QUrl(path_web + "station.php?Idrom=12").toString(),
                               "broadcast " + QUrl(path_web + "PublicLive.php?idroom=12").toString(),
                               "browser " + QUrl(path_web + "ghiyab.php?id=77").toString()};
    QCOMPARE(seen.join(QStringLiteral(" | ")), expected.join(QStringLiteral(" | ")));
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::activationMovesMicAndSound()
{
    FrmRoom *a = room(12, {"me", "t"});
    FrmRoom *b = room(14, {"s"});
    b->ChangeItemImage(QStringLiteral("s"), QStringLiteral("mic"));
    QVERIFY(activate(a));
    QCOMPARE(Idroom, 12);
    QCOMPARE(IdroomSound, 12);
    a->micOn = true;
    sent();
    QVERIFY(activate(b));
    QCOMPARE(Idroom, 14);
    QCOMPARE(IdroomSound, 14);
    // The microphone of the room left is given back (once per change event
    // of the new active window); the new room is heard.
    const QByteArray given = sent();
    const QByteArray micNo = wirePacket(8, "mic-no", "12");
    QVERIFY(!given.isEmpty());
    QCOMPARE(given, micNo.repeated(given.size() / micNo.size()));
    QVERIFY(fetchesStream(b));
    QVERIFY(!fetchesStream(a));
    // The main window's activation leaves the rooms alone.
    frmusr->show();
    frmusr->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmusr));
    QCOMPARE(Idroom, 14);
    QCOMPARE(sent(), QByteArray());
}

void TestFrmRoom::micGrantedInActiveAndOtherRoom()
{
    FrmRoom *a = room(12, {"me", "s"});
    FrmRoom *b = room(14, {"me"});
    a->ChangeItemImage(QStringLiteral("s"), QStringLiteral("mic"));
    QVERIFY(activate(a));
    QVERIFY(QTest::qWaitFor([a] { return fetchesStream(a); }, 5000));
    sent();
    // Granted in the active room: the speaker stops hearing the room.
    deliver(wirePacket(13, "mic", "me|12|0|0"));
    QVERIFY(a->micOn);
    QVERIFY(!fetchesStream(a));
    QCOMPARE(sent(), QByteArray());
    // Granted in a room that is not active: given back at once.
    deliver(wirePacket(13, "mic", "me|14|0|0"));
    QVERIFY(b->micOn);
    QCOMPARE(sent(), wirePacket(8, "mic-no", "14"));
    // Pressed twice without an answer: asked twice, following micOn.
    b->micOn = false;
    QTest::mouseClick(button(b, "Bmic"), Qt::LeftButton);
    QTest::mouseClick(button(b, "Bmic"), Qt::LeftButton);
    QCOMPARE(sent(), wirePacket(8, "mic", "14") + wirePacket(8, "mic", "14"));
    QVERIFY(!b->micOn);
}

void TestFrmRoom::soundOffRoomNeverBecomesSoundRoom()
{
    FrmRoom *a = room(12, {"s"});
    FrmRoom *b = room(14, {"t"});
    a->ChangeItemImage(QStringLiteral("s"), QStringLiteral("mic"));
    b->ChangeItemImage(QStringLiteral("t"), QStringLiteral("mic"));
    QVERIFY(activate(a));
    button(b, "Bwav")->setChecked(true);
    QVERIFY(activate(b));
    QCOMPARE(Idroom, 14);
    QCOMPARE(IdroomSound, 12);
    // The previous sound room keeps playing; the active one stays silent.
    QVERIFY(fetchesStream(a));
    QVERIFY(!fetchesStream(b));
}

void TestFrmRoom::watchStartsStreamForFirstSpeaker()
{
    FrmRoom *a = room(12, {"s"});
    QVERIFY(activate(a));
    QVERIFY(!fetchesStream(a));
    a->ChangeItemImage(QStringLiteral("s"), QStringLiteral("mic"));
    QVERIFY(QTest::qWaitFor([a] { return fetchesStream(a); }, 5000));
}

void TestFrmRoom::anyChangeEventReruns()
{
    FrmRoom *a = room(12);
    FrmRoom *b = room(14);
    QVERIFY(activate(b));
    Idroom = IdroomSound = 0;
    QEvent font(QEvent::FontChange);
    QApplication::sendEvent(b, &font);
    QCOMPARE(Idroom, 14);
    QCOMPARE(IdroomSound, 14);
    // A change event of a window that is not active changes nothing.
    QApplication::sendEvent(a, &font);
    QCOMPARE(Idroom, 14);
}

QTEST_MAIN(TestFrmRoom)
#include "tst_frmroom.moc"
