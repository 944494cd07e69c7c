// The end of a login that the user sees, against a loopback chat server:
// when the server closes or resets the connection, or its stream breaks the
// framing, the user is told "no connection" once, over the open windows,
// and the program then ends as before; a refusal that has just told why
// adds no second box; logging out and quitting stay silent.
#include "roomwindow.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/frmroom.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/roomclient.h"
#include "support/wire.h"

#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

// How long a step may take on a busy machine; each wait ends as soon as its
// condition holds.
constexpr int kWait = 60000;
constexpr int kRoom = 12;

QAbstractSocket::SocketState socketState() { return sck->socket()->state(); }

QString describe(const ModalAnswerer &answers, int quits)
{
    return QStringLiteral("boxes [%1], quits %2, socket state %3")
        .arg(answers.texts().join(QStringLiteral(", ")))
        .arg(quits)
        .arg(int(socketState()));
}

// What was on screen while the box was open.
struct UnderTheBox
{
    bool seen = false;
    bool socketClosed = false;
    bool mainWindowShown = false;
    bool roomShown = false;
    int quits = -1;
};

} // namespace

class TestConnectionEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void serverEndsLogin_data();
    void serverEndsLogin();
    void refusalTellsWhy_data();
    void refusalTellsWhy();
    void userEndsSilently_data();
    void userEndsSilently();
    void loginFormsLeftAlone();

private:
    // Opens room 12 through the server's entry packet.
    FrmRoom *enterRoom();

    LoopbackPeer m_peer;
    int m_quits = 0;
};

void TestConnectionEnd::initTestCase()
{
    hooks::setQuitHandler([this] { ++m_quits; });
    QApplication::setQuitOnLastWindowClosed(false);
    indexLang = 2;
}

void TestConnectionEnd::init()
{
    QVERIFY(m_peer.connectClient());
    m_quits = 0;
    wait_frmuser = false;
    path_web.clear();
    r_radio.clear();
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER(QStringLiteral("ali"));
    m_peer.sent(); // its first keep-alive
}

void TestConnectionEnd::cleanup()
{
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    delete frmusr;
    deleteLaterNow();
    CloseSocket();
}

FrmRoom *TestConnectionEnd::enterRoom()
{
    Idroom = IdroomSound = kRoom;
    m_peer.send(roomEntryWith("ali", "sara", 0));
    if (!QTest::qWaitFor([] { return roomWindow(kRoom) && roomWindow(kRoom)->isVisible(); },
                         kWait))
        qWarning("room %d did not open", kRoom);
    return roomWindow(kRoom);
}

void TestConnectionEnd::serverEndsLogin_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("inRoom");
    QTest::newRow("closed, main window") << "close" << false;
    QTest::newRow("closed, in a room") << "close" << true;
    QTest::newRow("reset, in a room") << "reset" << true;
    QTest::newRow("bad marker, main window") << "marker" << false;
    QTest::newRow("over-long body, in a room") << "long" << true;
    QTest::newRow("negative length, main window") << "negative" << false;
}

void TestConnectionEnd::serverEndsLogin()
{
    QFETCH(QString, how);
    QFETCH(bool, inRoom);
    frmusr->show();
    QPointer<FrmRoom> room;
    if (inRoom)
        QVERIFY(room = enterRoom());

    ModalAnswerer answers;
    UnderTheBox under;
    answers.whileOpen([&](QDialog *) {
        if (under.seen)
            return;
        under.seen = true;
        under.socketClosed = !sck->socket()->isOpen();
        under.mainWindowShown = frmusr && frmusr->isVisible();
        under.roomShown = room && room->isVisible();
        under.quits = m_quits;
    });
    if (how == QLatin1String("close") || how == QLatin1String("reset")) {
        m_peer.endConnection(how == QLatin1String("reset"));
    } else {
        QByteArray bad = wirePacket(45, "test", "7");
        if (how == QLatin1String("marker"))
            bad.replace(6, 8, "KW.TOVEM");
        else
            bad = wireHeader(12, "all", how == QLatin1String("long") ? 1048577 : -1);
        m_peer.send(bad);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(m_quits > 0, qPrintable(describe(answers, m_quits)), kWait);

    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown[0].title, QStringLiteral("Title App"));
    QCOMPARE(answers.shown[0].text, QStringLiteral("no connection"));
    QCOMPARE(answers.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(answers.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Told first, over the windows, with nothing more read meanwhile.
    QVERIFY(under.socketClosed);
    QVERIFY(under.mainWindowShown);
    QCOMPARE(under.roomShown, inRoom);
    QCOMPARE(under.quits, 0);
    // Then the end as before: the main window closes and the program quits.
    QCOMPARE(m_quits, 1);
    QVERIFY(frmusr && !frmusr->isVisible());
    QVERIFY(m_peer.clientClosed());
}

void TestConnectionEnd::refusalTellsWhy_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QString>("message");
    QTest::newRow("ban") << QByteArray("ban") << QStringLiteral("MsgBan");
    QTest::newRow("bne") << QByteArray("bne") << QStringLiteral("MsgBan");
    QTest::newRow("logged in elsewhere") << QByteArray("rec") << QStringLiteral("MsgRec");
}

void TestConnectionEnd::refusalTellsWhy()
{
    // The server ends the connection while its refusal is still being read.
    QFETCH(QByteArray, word);
    QFETCH(QString, message);
    frmusr->show();
    QVERIFY(enterRoom());
    ModalAnswerer answers;
    bool endedUnderTheBox = false;
    int quitsUnderTheBox = -1;
    answers.whileOpen([&](QDialog *) {
        if (answers.shown.size() > 1)
            return;
        m_peer.endConnection();
        endedUnderTheBox = QTest::qWaitFor(
            [] { return socketState() == QAbstractSocket::UnconnectedState; }, kWait);
        quitsUnderTheBox = m_quits;
    });
    m_peer.send(wirePacket(-5, word, QByteArray()));
    QTRY_VERIFY2_WITH_TIMEOUT(m_quits > 0, qPrintable(describe(answers, m_quits)), kWait);
    QCOMPARE(answers.texts(), QStringList{message});
    QVERIFY(endedUnderTheBox);
    // The refusal's box stays until it is read; the program ends after it.
    QCOMPARE(quitsUnderTheBox, 0);
    QCOMPARE(m_quits, 1);
    QVERIFY(!frmusr->isVisible());
    QVERIFY(!sck->socket()->isOpen());
}

void TestConnectionEnd::userEndsSilently_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("inRoom");
    QTest::newRow("exit button") << "button" << false;
    QTest::newRow("exit button, in a room") << "button" << true;
    QTest::newRow("Exit menu entry") << "menu" << false;
    QTest::newRow("window closed") << "close" << true;
}

void TestConnectionEnd::userEndsSilently()
{
    QFETCH(QString, how);
    QFETCH(bool, inRoom);
    frmusr->show();
    if (inRoom)
        QVERIFY(enterRoom());
    ModalAnswerer answers;
    if (how == QLatin1String("button")) {
        QTest::mouseClick(frmusr->findChild<QPushButton *>(QStringLiteral("pushButton_3")),
                          Qt::LeftButton);
    } else if (how == QLatin1String("menu")) {
        QMenu *file = frmusr->findChild<QMenuBar *>()->actions().first()->menu();
        QAction *exit = file->actions().last();
        QCOMPARE(exit->text(), QStringLiteral("Exit"));
        exit->trigger();
    } else {
        QVERIFY(frmusr->close());
    }
    QCOMPARE(m_quits, 1);
    QVERIFY(m_peer.clientClosed());
    // Once the connection is gone on both sides, still no box.
    QTRY_COMPARE_WITH_TIMEOUT(socketState(), QAbstractSocket::UnconnectedState, kWait);
    QVERIFY2(answers.shown.isEmpty(), qPrintable(describe(answers, m_quits)));
    QCOMPARE(m_quits, 1);
}

void TestConnectionEnd::loginFormsLeftAlone()
{
    // Before the main window is shown the login forms deal with the end.
    ModalAnswerer answers;
    m_peer.endConnection();
    QTRY_VERIFY_WITH_TIMEOUT(!sck->socket()->isOpen(), kWait);
    QVERIFY2(answers.shown.isEmpty(), qPrintable(describe(answers, m_quits)));
    QCOMPARE(m_quits, 0);
}

QTEST_MAIN(TestConnectionEnd)
#include "tst_connectionend.moc"
