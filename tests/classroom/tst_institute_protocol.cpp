// The wire protocol against the local institute: directory request and
// redirect, visitor and member logins on the chat server (sent by the
// redirect's handler), keep-alives both ways. Every packet the institute
// sends must reach the dispatch whole and in order.
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/pure/fields.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/frmconnect.h"
#include "startup/frmmember.h"
#include "startup/frmwait.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QLineEdit>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

struct Sent
{
    int code;
    QString name;
    QString body;
};

} // namespace

class TestInstituteProtocol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void visitorThenMember();
    void refusedLogin();

private:
    bool connectTo(const QString &host, quint16 port);
    // The member form whose fields the member login sends.
    void memberForm(const QString &user, const QString &pass);
    // Waits for the next dispatched packet, which must have this code.
    bool nextPacket(qint16 code, IncomingCommand *out);
    // Directory request, redirect, and the handler's reconnection to the chat
    // server (which sends the login); returns the name of the -6 packet.
    QString redirect(const QByteArray &request);
    QList<QJsonObject> logged(const QString &kind);
    // Every packet the institute sent must have been dispatched, in order.
    void verifyDispatchedAllSent();

    Institute m_institute{{QStringLiteral("--keepalive"), QStringLiteral("0")}};
    QList<IncomingCommand> m_seen;
    int m_taken = 0;
    std::unique_ptr<ModalAnswerer> m_answers;
};

void TestInstituteProtocol::initTestCase()
{
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    if (m_institute.port("directory") == 0 || m_institute.port("chat") == 0)
        QSKIP("the local institute serves no classroom directory and chat servers");
    hooks::setQuitHandler([] {});
    QApplication::setQuitOnLastWindowClosed(false);
    FrmUser::keepAlivePeriod = 3600 * 1000;
    IPServer2 = QStringLiteral("127.0.0.1");
    Port_Srv = m_institute.port("directory");
    sck = new Wsk;
}

void TestInstituteProtocol::init()
{
    QVERIFY(m_institute.control({{"command", "clear-log"}}).value("ok").toBool());
    m_seen.clear();
    m_taken = 0;
    m_answers = std::make_unique<ModalAnswerer>();
    setDispatchObserver([this](const IncomingCommand &c) { m_seen << c; });
}

void TestInstituteProtocol::cleanup()
{
    CloseSocket();
    setDispatchObserver({});
    delete frmusr;
    delete frmembre;
    delete frmwait;
    delete frmConnect;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_answers.reset();
    VERIFY_INSTITUTE_CLEAN(m_institute);
}

void TestInstituteProtocol::memberForm(const QString &user, const QString &pass)
{
    delete frmembre;
    frmembre = new FrmMember;
    frmembre->findChild<QLineEdit *>(QStringLiteral("TUser"))->setText(user);
    frmembre->findChild<QLineEdit *>(QStringLiteral("TPass"))->setText(pass);
    TypeLogin = 1; // as the form's login button sets it
}

bool TestInstituteProtocol::connectTo(const QString &host, quint16 port)
{
    CloseSocket();
    sck->socket()->connectToHost(host, port);
    return QTest::qWaitFor(
        [] { return sck->socket()->state() == QAbstractSocket::ConnectedState; }, 5000);
}

bool TestInstituteProtocol::nextPacket(qint16 code, IncomingCommand *out)
{
    if (!QTest::qWaitFor([this] { return m_seen.size() > m_taken; }, 5000)) {
        qWarning("no packet %d arrived", code);
        return false;
    }
    *out = m_seen.at(m_taken++);
    if (out->code != code) {
        qWarning("packet %d arrived where %d was expected", out->code, code);
        return false;
    }
    return true;
}

QString TestInstituteProtocol::redirect(const QByteArray &request)
{
    if (!connectTo(QStringLiteral("127.0.0.1"), m_institute.port("directory")))
        return QStringLiteral("(no directory)");
    SendPacket(request);
    IncomingCommand reply;
    if (!nextPacket(-6, &reply))
        return QStringLiteral("(no redirect)");
    // Field 2 is the chat server, host ":" port.
    const Fields target = Fields(reply.text, QStringLiteral("|")).split(2, QStringLiteral(":"), 2);
    if (target.text(0) != QLatin1String("127.0.0.1") || target.number(1) != m_institute.port("chat"))
        return QStringLiteral("(redirect to %1)").arg(reply.text);
    // The handler has moved the socket there.
    const bool moved = QTest::qWaitFor(
        [this] {
            return sck->socket()->state() == QAbstractSocket::ConnectedState
                   && sck->socket()->peerPort() == m_institute.port("chat");
        },
        5000);
    if (!moved)
        return QStringLiteral("(no chat server)");
    return reply.name;
}

QList<QJsonObject> TestInstituteProtocol::logged(const QString &kind)
{
    QList<QJsonObject> entries;
    for (const QJsonValue &value : m_institute.log())
        if (value.toObject().value("kind").toString() == kind)
            entries << value.toObject();
    return entries;
}

void TestInstituteProtocol::verifyDispatchedAllSent()
{
    const QList<QJsonObject> sent = logged(QStringLiteral("sent"));
    QVERIFY(!sent.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(m_seen.size(), sent.size(), 5000);
    QTest::qWait(100); // nothing more, nothing twice
    QCOMPARE(m_seen.size(), sent.size());
    for (int i = 0; i < sent.size(); ++i) {
        const QJsonObject s = sent.at(i);
        QCOMPARE(int(m_seen[i].code), s.value("code").toInt());
        QCOMPARE(m_seen[i].name, s.value("name").toString());
        QCOMPARE(m_seen[i].bytes(), s.value("body").toString().toUtf8());
    }
}

void TestInstituteProtocol::visitorThenMember()
{
    // Visitor: the redirect's handler sends the guest login.
    QCOMPARE(redirect(outgoing::directoryVisitor()), QStringLiteral("zaire"));
    IncomingCommand reply;
    QVERIFY(nextPacket(1, &reply));
    const Fields visitor(reply.text, QStringLiteral("|"));
    QVERIFY(visitor.split(0, QStringLiteral(":")).text(1).startsWith(QString::fromUtf8("زائر")));
    QCOMPARE(visitor.split(2, QStringLiteral(":")).number(1), 0);
    QVERIFY(nextPacket(2, &reply));
    // The new main window's first keep-alive is answered by the server.
    QVERIFY(nextPacket(45, &reply));

    // The server's keep-alive is answered by the dispatch.
    PacketTst = true;
    QVERIFY(m_institute.control({{"command", "keepalive"}, {"now", true}}).value("ok").toBool());
    QVERIFY(nextPacket(45, &reply));
    QCOMPARE(reply.name, QStringLiteral("test"));
    QCOMPARE(reply.text, QStringLiteral("1")); // one user online
    QVERIFY(!PacketTst);
    // Our own probe is answered, and that answer answered in turn.
    SendPacket(outgoing::keepAlive());
    QVERIFY(nextPacket(45, &reply));
    QStringList kinds;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            kinds.clear();
            for (const QJsonObject &p : logged(QStringLiteral("packet")))
                if (p.value("code").toInt() == 45)
                    kinds << p.value("keepalive").toString();
            return kinds.size() == 5;
        }(),
        5000);
    QCOMPARE(kinds, (QStringList{"probe", "reply", "reply", "probe", "reply"}));

    // Member, on a new directory request and a new chat connection.
    memberForm(QStringLiteral("ali"), QStringLiteral("ali123"));
    QCOMPARE(redirect(outgoing::directoryMember()), QStringLiteral("3odaw"));
    QVERIFY(nextPacket(1, &reply));
    QCOMPARE(reply.text, QStringLiteral("nickname:ali|id:101|type:1|group:1|email:ali@velmar.test"));
    QVERIFY(nextPacket(2, &reply));
    QVERIFY(reply.text.contains(QString::fromUtf8("أحمد")));
    QVERIFY(nextPacket(45, &reply));

    verifyDispatchedAllSent();
    QList<int> codes;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            codes.clear();
            for (const QJsonObject &p : logged(QStringLiteral("packet")))
                codes << p.value("code").toInt();
            return codes.size() == 11;
        }(),
        5000);
    QCOMPARE(codes, (QList<int>{-3, -2, 45, 45, 45, 45, 45, -3, 1, 45, 45}));
}

void TestInstituteProtocol::refusedLogin()
{
    memberForm(QStringLiteral("ali"), QStringLiteral("wrong"));
    QCOMPARE(redirect(outgoing::directoryMember()), QStringLiteral("3odaw"));
    IncomingCommand reply;
    QVERIFY(nextPacket(-5, &reply));
    QCOMPARE(reply.name, QStringLiteral("pwd"));
    QCOMPARE(reply.bytes(), QByteArray());
    QCOMPARE(m_answers->texts(), QStringList{"MsgErrUsrPwd"});
    verifyDispatchedAllSent();
}

QTEST_MAIN(TestInstituteProtocol)
#include "tst_institute_protocol.moc"
