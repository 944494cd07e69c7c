// The end of a login through the local institute: the chat server drops the
// user in the main window or in a room and the user is told "no connection"
// before the program ends; a login elsewhere, whose connection the server
// closes while its message is still open, shows that message alone; the
// exit button ends the login without a word.
#include "roomwindow.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/chatlogin.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

// How long a step may take on a busy machine; each wait ends as soon as its
// condition holds.
constexpr int kWait = 60000;
constexpr int kRoom = 1;

QAbstractSocket::SocketState socketState() { return sck->socket()->state(); }

} // namespace

class TestConnectionEndInstitute : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dropped_data();
    void dropped();
    void loggedInElsewhere();
    void exitButton();

private:
    void control(const QJsonObject &command);
    // Who ended the chat connections, in order: "client" or "server".
    QStringList disconnectedBy();

    std::unique_ptr<Institute> m_institute;
    int m_quits = 0;
};

void TestConnectionEndInstitute::initTestCase()
{
    hooks::setQuitHandler([this] { ++m_quits; });
    QApplication::setQuitOnLastWindowClosed(false);
    indexLang = 2;
    FrmUser::keepAlivePeriod = 3600 * 1000;
}

void TestConnectionEndInstitute::init()
{
    m_institute = std::make_unique<Institute>(QStringList{"--keepalive", "0"});
    QVERIFY2(m_institute->start(), qPrintable(m_institute->startError()));
    m_quits = 0;
    wait_frmuser = false;
    path_web.clear();
    r_radio.clear();
    QVERIFY(logInToChat(*m_institute, QStringLiteral("ali"), QStringLiteral("ali123")));
    QVERIFY(frmusr && frmusr->isVisible());
}

void TestConnectionEndInstitute::cleanup()
{
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    delete frmusr;
    deleteLaterNow();
    CloseSocket();
    VERIFY_INSTITUTE_CLEAN(*m_institute);
    m_institute.reset();
}

void TestConnectionEndInstitute::control(const QJsonObject &command)
{
    const QJsonObject reply = m_institute->control(command);
    QVERIFY2(reply.value(QStringLiteral("ok")).toBool(),
             qPrintable(QJsonDocument(reply).toJson(QJsonDocument::Compact)));
}

QStringList TestConnectionEndInstitute::disconnectedBy()
{
    QStringList by;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == QLatin1String("disconnect")
            && e.value("service").toString() == QLatin1String("chat"))
            by << e.value("by").toString();
    }
    return by;
}

void TestConnectionEndInstitute::dropped_data()
{
    QTest::addColumn<bool>("inRoom");
    QTest::newRow("main window") << false;
    QTest::newRow("in a room") << true;
}

void TestConnectionEndInstitute::dropped()
{
    QFETCH(bool, inRoom);
    QPointer<FrmRoom> room;
    if (inRoom) {
        QVERIFY(SendPacket(outgoing::enterRoom(QString::number(kRoom), QString(), QString())));
        QTRY_VERIFY_WITH_TIMEOUT(roomWindow(kRoom) && roomWindow(kRoom)->isVisible(), kWait);
        room = roomWindow(kRoom);
    }
    ModalAnswerer answers;
    bool windowsUnderTheBox = false;
    int quitsUnderTheBox = -1;
    answers.whileOpen([&](QDialog *) {
        windowsUnderTheBox = frmusr && frmusr->isVisible() && (!inRoom || (room && room->isVisible()));
        quitsUnderTheBox = m_quits;
    });
    control(instituteCommand(QStringLiteral("drop"), {{"user", "ali"}}));
    QTRY_VERIFY2_WITH_TIMEOUT(m_quits > 0, qPrintable(answers.texts().join(", ")), kWait);
    QCOMPARE(answers.texts(), QStringList{"no connection"});
    QCOMPARE(answers.shown[0].title, QStringLiteral("Title App"));
    QVERIFY(windowsUnderTheBox);
    QCOMPARE(quitsUnderTheBox, 0);
    QCOMPARE(m_quits, 1);
    QVERIFY(!frmusr->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(disconnectedBy(), QStringList{"server"}, kWait);
}

void TestConnectionEndInstitute::loggedInElsewhere()
{
    // The institute closes a replaced connection itself a while after its
    // "rec" when the client does not: here while the message is still open.
    ModalAnswerer answers;
    bool closedUnderTheBox = false;
    answers.whileOpen([&](QDialog *) {
        if (answers.shown.size() > 1)
            return;
        closedUnderTheBox = QTest::qWaitFor(
            [] { return socketState() == QAbstractSocket::UnconnectedState; }, 2 * kWait);
    });
    control(instituteCommand(QStringLiteral("login-elsewhere"), {{"user", "ali"}}));
    QTRY_VERIFY2_WITH_TIMEOUT(m_quits > 0, qPrintable(answers.texts().join(", ")), 3 * kWait);
    QVERIFY(closedUnderTheBox);
    QCOMPARE(answers.texts(), QStringList{"MsgRec"});
    QCOMPARE(m_quits, 1);
    QTRY_COMPARE_WITH_TIMEOUT(disconnectedBy(), QStringList{"server"}, kWait);
}

void TestConnectionEndInstitute::exitButton()
{
    ModalAnswerer answers;
    QTest::mouseClick(frmusr->findChild<QPushButton *>(QStringLiteral("pushButton_3")),
                      Qt::LeftButton);
    QCOMPARE(m_quits, 1);
    QTRY_COMPARE_WITH_TIMEOUT(disconnectedBy(), QStringList{"client"}, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(socketState(), QAbstractSocket::UnconnectedState, kWait);
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join(", ")));
}

QTEST_MAIN(TestConnectionEndInstitute)
#include "tst_connectionend_institute.moc"
