// The bodies of the login replies: the redirect to a chat server and the
// identity of an accepted login, valid and not.
#include "protocol/pure/loginreplies.h"

#include <QtTest>

class TestLoginReplies : public QObject
{
    Q_OBJECT
private slots:
    void redirect_data();
    void redirect();
    void identity_data();
    void identity();
};

void TestLoginReplies::redirect_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("directory");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");

    QTest::newRow("host and port") << "Velmar|chat|10.0.0.5:5000" << true << false << "10.0.0.5" << 5000;
    QTest::newRow("more fields ignored") << "a|b|h:1|x|y" << true << false << "h" << 1;
    QTest::newRow("localhost kept as sent") << "a|b|localhost:5000" << true << false << "localhost"
                                           << 5000;
    QTest::newRow("empty third field") << "a|b||c" << true << true << "" << 0;
    QTest::newRow("empty third field, last") << "a|b|" << true << true << "" << 0;
    QTest::newRow("port not a number") << "a|b|h:x" << true << false << "h" << 0;
    QTest::newRow("port after the first colon") << "a|b|h:1:2" << true << false << "h" << 0;
    QTest::newRow("empty host") << "a|b|:7" << true << false << "" << 7;
    QTest::newRow("port out of range kept") << "a|b|h:70000" << true << false << "h" << 70000;
    QTest::newRow("two fields") << "a|b" << false << false << "" << 0;
    QTest::newRow("empty body") << "" << false << false << "" << 0;
    QTest::newRow("no colon") << "a|b|host" << false << false << "" << 0;
}

void TestLoginReplies::redirect()
{
    QFETCH(QString, body);
    QFETCH(bool, valid);
    QFETCH(bool, directory);
    QFETCH(QString, host);
    QFETCH(int, port);
    ChatServer server;
    server.host = QStringLiteral("untouched");
    QCOMPARE(parseRedirect(body, &server), valid);
    if (!valid) {
        QCOMPARE(server.host, QStringLiteral("untouched"));
        return;
    }
    QCOMPARE(server.directory, directory);
    QCOMPARE(server.host, host);
    QCOMPARE(server.port, port);
}

void TestLoginReplies::identity_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("nickname");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("email");

    QTest::newRow("by position, keys not read")
        << "n:ali|i:12|t:-101|g:3|e:mail" << true << "ali" << 12 << -101 << 3 << "mail";
    QTest::newRow("institute's keys")
        << "nickname:ali|id:101|type:1|group:1|email:ali@velmar.test" << true << "ali" << 101 << 1
        << 1 << "ali@velmar.test";
    QTest::newRow("value ends at a second colon")
        << "n:a:b|i:1:2|t:3|g:4|e:x:y" << true << "a" << 1 << 3 << 4 << "x";
    QTest::newRow("numbers that do not parse are 0")
        << QString::fromUtf8("n:زائر1|i:|t:x|g: 5 |e:") << true << QString::fromUtf8("زائر1") << 0
        << 0 << 5 << "";
    QTest::newRow("sixth field ignored") << "n:a|i:1|t:2|g:3|e:m|extra" << true << "a" << 1 << 2
                                         << 3 << "m";
    QTest::newRow("four fields") << "n:a|i:1|t:2|g:3" << false << "" << 0 << 0 << 0 << "";
    QTest::newRow("field without colon") << "n:a|i:1|t2|g:3|e:m" << false << "" << 0 << 0 << 0 << "";
    QTest::newRow("last field without colon") << "n:a|i:1|t:2|g:3|m" << false << "" << 0 << 0 << 0
                                              << "";
    QTest::newRow("empty") << "" << false << "" << 0 << 0 << 0 << "";
}

void TestLoginReplies::identity()
{
    QFETCH(QString, body);
    QFETCH(bool, valid);
    LoginIdentity identity;
    identity.id = -7;
    QCOMPARE(parseLoginIdentity(body, &identity), valid);
    if (!valid) {
        QCOMPARE(identity.id, -7);
        return;
    }
    QTEST(identity.nickname, "nickname");
    QTEST(identity.id, "id");
    QTEST(identity.type, "type");
    QTEST(identity.group, "group");
    QTEST(identity.email, "email");
}

QTEST_APPLESS_MAIN(TestLoginReplies)
#include "tst_loginreplies.moc"
