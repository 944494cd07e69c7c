// The whole login road against the local institute, from the launcher's
// buttons: directory request, redirect, chat server, and the main window with
// the identity and the contact list; the refusals, a login elsewhere, the
// redirect's variants, and Cancel while a server stays silent.
#include "contacttree.h"
#include "loginworld.h"

#include "startup/pictureitem.h"
#include "support/institute.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

const QString kAhmad = QString::fromUtf8("أحمد");

// How long a step may take on a busy machine; each wait ends as soon as its
// condition holds.
constexpr int kStep = 60000;

QAbstractSocket::SocketState socketState() { return sck->socket()->state(); }

bool loggedInAs(const QString &nick)
{
    return frmusr && frmusr->isVisible() && frmusr->getUSER() == nick;
}

} // namespace

class TestLoginInstitute : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void visitorRoad();
    void memberRoad();
    void refusals_data();
    void refusals();
    void loggedInElsewhere();
    void redirectVariants_data();
    void redirectVariants();
    void silentServerThenCancel_data();
    void silentServerThenCancel();

private:
    void control(const QJsonObject &command);
    // Opens the launcher on the institute's entries.
    Dialog *launcher();
    // Opens the member form from the launcher and clicks its login button.
    void memberLogin(const QString &user, const QString &pass, bool save = false);
    // Packets the service received, as "code name".
    QStringList received(const QString &service);

    std::unique_ptr<Institute> m_institute;
    LoginWorld m_world;
};

void TestLoginInstitute::initTestCase()
{
    m_world.start();
    launcherTimes.httpTimeoutMs = kStep;
    menuTimeScale = 0.01;
}

void TestLoginInstitute::init()
{
    m_institute = std::make_unique<Institute>(QStringList{"--keepalive", "0"});
    QVERIFY2(m_institute->start(), qPrintable(m_institute->startError()));
    settings->clear();
    settings->setValue(QStringLiteral("Languages"), 2);
    m_world.open();
}

void TestLoginInstitute::cleanup()
{
    m_world.close();
    VERIFY_INSTITUTE_CLEAN(*m_institute);
    m_institute.reset();
}

void TestLoginInstitute::control(const QJsonObject &command)
{
    const QJsonObject reply = m_institute->control(command);
    QVERIFY2(reply.value(QStringLiteral("ok")).toBool(), qPrintable(QJsonDocument(reply).toJson()));
}

Dialog *TestLoginInstitute::launcher()
{
    GethttpServer = m_institute->webBase() + QStringLiteral("velmar.php");
    var_int = 0;
    return m_world.showLauncher();
}

void TestLoginInstitute::memberLogin(const QString &user, const QString &pass, bool save)
{
    Dialog *dialog = launcher();
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bmember_clicked"));
    QVERIFY(frmembre && frmembre->isVisible());
    frmembre->findChild<QLineEdit *>(QStringLiteral("TUser"))->setText(user);
    frmembre->findChild<QLineEdit *>(QStringLiteral("TPass"))->setText(pass);
    frmembre->findChild<QCheckBox *>(QStringLiteral("chSave"))->setChecked(save);
    frmembre->findChild<QPushButton *>(QStringLiteral("BLogin"))->click();
}

QStringList TestLoginInstitute::received(const QString &service)
{
    QStringList out;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == QLatin1String("packet")
            && e.value("service").toString() == service)
            out << QStringLiteral("%1 %2").arg(e.value("code").toInt()).arg(e.value("name").toString());
    }
    return out;
}

void TestLoginInstitute::visitorRoad()
{
    Dialog *dialog = launcher();
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
    QTRY_VERIFY_WITH_TIMEOUT(frmusr && frmusr->isVisible(), kStep);
    QVERIFY(frmusr->getUSER().startsWith(QString::fromUtf8("زائر")));
    QCOMPARE(type_user, 0);
    QCOMPARE(id_user, 0);
    QCOMPARE(IPServer, QStringLiteral("127.0.0.1"));
    QVERIFY(!dialog->isVisible());
    QVERIFY(frmwait && !frmwait->isVisible());
    QVERIFY(frmConnect && !frmConnect->isVisible());
    QCOMPARE(contactTree(frmusr), QStringLiteral("on= off="));
    QCOMPARE(received(QStringLiteral("directory")), QStringList{"-3 zaire"});
    // The guest login, the main window's first keep-alive and the answer to
    // the server's reply. (Each look asks the institute for its whole log:
    // the waits count time, not looks.)
    const QStringList greeted{"-2 ", "45 test", "45 test"};
    (void)QTest::qWaitFor([&] { return received(QStringLiteral("chat")).size() >= 3; }, kStep);
    QCOMPARE(received(QStringLiteral("chat")), greeted);
    // The server's keep-alive is answered and its count shown.
    control({{"command", "keepalive"}, {"now", true}});
    (void)QTest::qWaitFor([&] { return received(QStringLiteral("chat")).size() >= 4; }, kStep);
    QCOMPARE(received(QStringLiteral("chat")).size(), 4);
    QVERIFY(frmusr->findChild<QStatusBar *>()->currentMessage().endsWith(QStringLiteral(" 1")));
    QVERIFY(m_world.answers->shown.isEmpty());
    for (const char *key : {"User", "Pass", "chSave", "chShow"})
        QVERIFY2(!settings->contains(QLatin1String(key)), key);
}

void TestLoginInstitute::memberRoad()
{
    memberLogin(QStringLiteral("ali"), QStringLiteral("ali123"), true);
    QTRY_VERIFY_WITH_TIMEOUT(loggedInAs(QStringLiteral("ali")), kStep);
    QCOMPARE(id_user, 101);
    QCOMPARE(type_user, 1);
    QCOMPARE(Group_user, 1);
    QCOMPARE(Email_user, QStringLiteral("ali@velmar.test"));
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr),
                              QStringLiteral("on= off=sara,") + kAhmad + ",omar*", kStep);
    QVERIFY(!frmembre->isVisible());
    QVERIFY(!m_world.launcher->isVisible());
    QCOMPARE(received(QStringLiteral("directory")), QStringList{"-3 3odaw"});
    QCOMPARE(received(QStringLiteral("chat")).first(), QStringLiteral("1 "));
    QCOMPARE(settings->value(QStringLiteral("User")).toString(), QStringLiteral("ali"));
    QCOMPARE(settings->value(QStringLiteral("Pass")).toString(), QStringLiteral("YWxpMTIz"));
    QVERIFY(m_world.answers->shown.isEmpty());

    // Online for the others: a second member who lists ali sees it.
    control({{"command", "scripted-login"}, {"user", "sara"}});
    const QJsonArray contacts =
        m_institute->control({{"command", "contacts"}, {"user", "sara"}}).value("contacts").toArray();
    bool aliOnline = false;
    for (const QJsonValue &c : contacts)
        if (c.toObject().value("user").toString() == QLatin1String("ali"))
            aliOnline = c.toObject().value("online").toBool();
    QVERIFY(aliOnline);
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr),
                              QStringLiteral("on=sara off=") + kAhmad + ",omar*", kStep);
}

void TestLoginInstitute::refusals_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("refuseNext"); // a word the chat server is told to answer
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("wrong password") << "ali" << "wrong" << "" << QStringList{"MsgErrUsrPwd"};
    QTest::newRow("unknown user") << "nobody" << "x" << "" << QStringList{"MsgErrUsrPwd"};
    QTest::newRow("barred account") << "banned" << "banned123" << "" << QStringList{"MsgBan"};
    QTest::newRow("bne") << "ali" << "ali123" << "bne" << QStringList{"MsgBan"};
    QTest::newRow("banRoom") << "ali" << "ali123" << "banRoom" << QStringList{"MsgBanRoom"};
    QTest::newRow("bneRoom") << "ali" << "ali123" << "bneRoom" << QStringList{"MsgBanRoom"};
    QTest::newRow("err") << "ali" << "ali123" << "err" << QStringList{"MsgErr"};
    QTest::newRow("word without a message") << "ali" << "ali123" << "later" << QStringList{};
}

void TestLoginInstitute::refusals()
{
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(QString, refuseNext);
    QFETCH(QStringList, messages);
    if (!refuseNext.isEmpty())
        control({{"command", "refuse-next"}, {"word", refuseNext}});
    memberLogin(user, pass);
    QTRY_VERIFY_WITH_TIMEOUT(frmembre->isVisible(), kStep);
    QTRY_COMPARE_WITH_TIMEOUT(socketState(), QAbstractSocket::UnconnectedState, kStep);
    QCOMPARE(m_world.answers->texts(), messages);
    QVERIFY(!frmusr->isVisible());
    QVERIFY(!frmwait->isVisible());
    QVERIFY(!m_world.launcher->isVisible());
    QCOMPARE(m_world.quits, 0);
    // The form is ready for another try.
    frmembre->findChild<QLineEdit *>(QStringLiteral("TUser"))->setText(QStringLiteral("sara"));
    frmembre->findChild<QLineEdit *>(QStringLiteral("TPass"))->setText(QStringLiteral("sara123"));
    frmembre->findChild<QPushButton *>(QStringLiteral("BLogin"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(loggedInAs(QStringLiteral("sara")), kStep);
}

void TestLoginInstitute::loggedInElsewhere()
{
    memberLogin(QStringLiteral("ali"), QStringLiteral("ali123"));
    QTRY_VERIFY_WITH_TIMEOUT(loggedInAs(QStringLiteral("ali")), kStep);
    QPointer<FrmUser> window = frmusr;
    control({{"command", "login-elsewhere"}, {"user", "ali"}});
    QTRY_COMPARE_WITH_TIMEOUT(m_world.quits, 1, kStep);
    QCOMPARE(m_world.answers->texts(), QStringList{"MsgRec"});
    QVERIFY(wait_frmuser);
    QVERIFY(window && !window->isVisible());
    // The socket is closed at once; it is unconnected once what was still
    // to be written has gone.
    QVERIFY(!sck->socket()->isOpen());
    QTRY_COMPARE_WITH_TIMEOUT(socketState(), QAbstractSocket::UnconnectedState, kStep);
}

void TestLoginInstitute::redirectVariants_data()
{
    QTest::addColumn<QString>("target"); // %1: the chat port
    QTest::addColumn<QString>("loginService");
    QTest::newRow("localhost") << "localhost:%1" << "chat";
    QTest::newRow("empty: the directory server") << "" << "directory";
}

void TestLoginInstitute::redirectVariants()
{
    QFETCH(QString, target);
    QFETCH(QString, loginService);
    if (target.contains(QLatin1String("%1")))
        target = target.arg(m_institute->port("chat"));
    control({{"command", "redirect"}, {"target", target}});
    QVERIFY(QMetaObject::invokeMethod(launcher(), "on_Bvisit_clicked"));
    QTRY_VERIFY_WITH_TIMEOUT(frmusr && frmusr->isVisible(), kStep);
    QVERIFY(frmusr->getUSER().startsWith(QString::fromUtf8("زائر")));
    QCOMPARE(IPServer, QStringLiteral("127.0.0.1"));
    QCOMPARE(sck->socket()->peerPort(), m_institute->port(loginService));
    QVERIFY(received(loginService).contains(QStringLiteral("-2 ")));
}

void TestLoginInstitute::silentServerThenCancel_data()
{
    QTest::addColumn<QString>("service");
    QTest::newRow("directory silent") << "directory";
    QTest::newRow("chat server silent") << "chat";
}

void TestLoginInstitute::silentServerThenCancel()
{
    QFETCH(QString, service);
    control({{"command", "silent"}, {"service", service}});
    Dialog *dialog = launcher();
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
    // The request reached the silent server; the waiting form stays.
    (void)QTest::qWaitFor([&] { return !received(service).isEmpty(); }, kStep);
    QCOMPARE(received(service).size(), 1);
    QCOMPARE(sck->socket()->peerPort(), m_institute->port(service));
    QVERIFY(frmwait && frmwait->isVisible());
    QVERIFY(!frmusr->isVisible());
    frmwait->findChild<QPushButton *>(QStringLiteral("BCancel"))->click();
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(dialog->isVisible());
    QVERIFY(!frmwait->isVisible());
    QVERIFY(m_world.answers->shown.isEmpty());
    control({{"command", "speak"}});
    // The launcher takes the next login.
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
    QTRY_VERIFY_WITH_TIMEOUT(frmusr->isVisible(), kStep);
}

QTEST_MAIN(TestLoginInstitute)
#include "tst_login_institute.moc"
