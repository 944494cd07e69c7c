// The wire protocol against the local institute: directory request and
// redirect, visitor and member logins on the chat server, keep-alives. Every
// reply packet must reach the dispatch whole and in order.
#include "protocol/pure/fields.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/institute.h"

#include <QTcpSocket>
#include <QtTest>

class TestInstituteProtocol : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void visitorLogin();
    void memberLogin();
    void refusedLogin();

private:
    bool connectTo(const QString &host, quint16 port);
    // Waits for the next dispatched packet, which must have this code.
    bool nextPacket(qint16 code, IncomingCommand *out);
    // Directory request, redirect, reconnection; the -6 packet's name.
    QString redirect(const QByteArray &request);
    // Values of the five fields of a code-1 body.
    QStringList loginFields(const IncomingCommand &reply);
    // Number of code-45 packets the chat server has received.
    int keepAlivesLogged();

    Institute m_institute;
    QList<IncomingCommand> m_seen;
    int m_taken = 0;
};

void TestInstituteProtocol::initTestCase()
{
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    if (m_institute.port("directory") == 0 || m_institute.port("chat") == 0)
        QSKIP("the local institute serves no classroom directory and chat servers");
    sck = new Wsk;
}

void TestInstituteProtocol::init()
{
    m_seen.clear();
    m_taken = 0;
    setDispatchObserver([this](const IncomingCommand &c) { m_seen << c; });
}

void TestInstituteProtocol::cleanup()
{
    CloseSocket();
    setDispatchObserver({});
    VERIFY_INSTITUTE_CLEAN(m_institute);
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
    // Field 2 is the chat server, host ":" port; "localhost" means the
    // directory server's host.
    const Fields target = Fields(reply.text, QStringLiteral("|")).split(2, QStringLiteral(":"), 2);
    QString host = target.text(0);
    if (host == QLatin1String("localhost") || host.isEmpty())
        host = QStringLiteral("127.0.0.1");
    const int port = target.has(1) ? target.number(1) : m_institute.port("directory");
    if (port != m_institute.port("chat"))
        return QStringLiteral("(redirect to port %1)").arg(port);
    if (!connectTo(host, quint16(port)))
        return QStringLiteral("(no chat server)");
    return reply.name;
}

QStringList TestInstituteProtocol::loginFields(const IncomingCommand &reply)
{
    const Fields fields(reply.text, QStringLiteral("|"));
    QStringList values;
    for (int i = 0; i < 5; ++i)
        values << fields.split(i, QStringLiteral(":")).text(1);
    return values;
}

int TestInstituteProtocol::keepAlivesLogged()
{
    int count = 0;
    for (const QJsonValue &entry : m_institute.log()) {
        const QJsonObject e = entry.toObject();
        if (e.value("service").toString() == QLatin1String("chat")
            && e.value("code").toInt() == 45)
            ++count;
    }
    return count;
}

void TestInstituteProtocol::visitorLogin()
{
    QCOMPARE(redirect(outgoing::directoryVisitor()), QStringLiteral("zaire"));
    SendPacket(outgoing::visitorLogin());
    IncomingCommand reply;
    QVERIFY(nextPacket(1, &reply));
    const QStringList values = loginFields(reply);
    QCOMPARE(values.at(0), outgoing::kGuestCredential);
    QCOMPARE(values.at(2).toInt(), 0); // visitor

    // Keep-alives both ways: ours, and the server's, which the client answers.
    const int before = keepAlivesLogged();
    PacketTst = true;
    SendPacket(outgoing::keepAlive());
    QVERIFY(nextPacket(45, &reply));
    QCOMPARE(reply.name, QStringLiteral("test"));
    QVERIFY(!PacketTst);
    QTRY_VERIFY_WITH_TIMEOUT(keepAlivesLogged() >= before + 2, 5000);
    QTest::qWait(100);
    QCOMPARE(m_seen.size(), m_taken); // nothing unexpected, nothing twice
}

void TestInstituteProtocol::memberLogin()
{
    QCOMPARE(redirect(outgoing::directoryMember()), QStringLiteral("3odaw"));
    SendPacket(outgoing::memberLogin(QStringLiteral("demo"), QStringLiteral("demo")));
    IncomingCommand reply;
    QVERIFY(nextPacket(1, &reply));
    const QStringList values = loginFields(reply);
    QCOMPARE(values.at(0), QStringLiteral("demo"));
    QVERIFY(values.at(1).toInt() > 0);
    QVERIFY(values.at(2).toInt() != 0);
    QTest::qWait(100);
    QCOMPARE(m_seen.size(), m_taken);
}

void TestInstituteProtocol::refusedLogin()
{
    QCOMPARE(redirect(outgoing::directoryMember()), QStringLiteral("3odaw"));
    SendPacket(outgoing::memberLogin(QStringLiteral("demo"), QStringLiteral("wrong")));
    IncomingCommand reply;
    QVERIFY(nextPacket(-5, &reply));
    QVERIFY(reply.name == QLatin1String("pwd") || reply.name == QLatin1String("usr"));
}

QTEST_MAIN(TestInstituteProtocol)
#include "tst_institute_protocol.moc"
