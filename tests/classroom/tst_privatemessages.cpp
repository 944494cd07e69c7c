// The wire side of private messages: the body of a received message, the
// message text made safe for CP-1256, and which own message each of the
// server's answers belongs to.
#include "protocol/pure/privatemessages.h"

#include <QtTest>

class TestPrivateMessages : public QObject
{
    Q_OBJECT
private slots:
    void incoming_data();
    void incoming();
    void cp1256_data();
    void cp1256();
    void answers_data();
    void answers();
    void takeAll();
};

void TestPrivateMessages::incoming_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "ali|hello" << true << "ali" << "hello";
    QTest::newRow("escaped bar in the nickname")
        << "a@l;b|hi" << true << "a|b" << "hi";
    QTest::newRow("first bar splits") << "ali|x|y" << true << "ali" << "x|y";
    QTest::newRow("escapes in the text")
        << "ali|<span style=\"font-weight@n;bold;\">a@n;b@l;c@arp;d</span>" << true << "ali"
        << "<span style=\"font-weight:bold;\">a:b|c@d</span>";
    QTest::newRow("escaped at sign before a colon")
        << "a@arp;n;b|t" << true << "a@n;b" << "t";
    QTest::newRow("empty text") << "ali|" << true << "ali" << "";
    QTest::newRow("no bar") << "ali hello" << false << "" << "";
    QTest::newRow("only escaped bars") << "a@l;b@l;c" << false << "" << "";
    QTest::newRow("empty body") << "" << false << "" << "";
    QTest::newRow("empty sender") << "|hello" << false << "" << "";
}

void TestPrivateMessages::incoming()
{
    QFETCH(QString, body);
    QFETCH(bool, ok);
    QFETCH(QString, sender);
    QFETCH(QString, text);
    IncomingMessage m;
    QCOMPARE(parseIncomingMessage(body, &m), ok);
    QCOMPARE(m.sender, sender);
    QCOMPARE(m.text, text);
}

void TestPrivateMessages::cp1256_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("sent");
    QTest::newRow("ascii") << "<b>a &amp; b</b>" << "<b>a &amp; b</b>";
    QTest::newRow("arabic and french")
        << QString::fromUtf8("سلام é") << QString::fromUtf8("سلام é");
    QTest::newRow("outside the code page")
        << QString::fromUtf8("a\u4e2d\u0416b") << "a&#20013;&#1046;b";
    QTest::newRow("astral pair") << QString::fromUtf8("x😀y") << "x&#128512;y";
    QTest::newRow("lone surrogates") << QString(QChar(0xdc00)) + "z" + QChar(0xd800)
                                     << "&#65533;z&#65533;";
}

void TestPrivateMessages::cp1256()
{
    QFETCH(QString, html);
    QFETCH(QString, sent);
    QCOMPARE(htmlForCp1256(html), sent);
}

void TestPrivateMessages::answers_data()
{
    // sent: the peers of the messages in the order sent, "peer" each;
    // answers: the peer an answer names ("" for none) and "*" when it may
    // fall back to the oldest of all; taken: the index of the message each
    // answer took, -1 for none.
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QList<int>>("taken");
    QTest::newRow("in order") << QStringList{"ali", "ali", "ali"}
                              << QStringList{"ali", "ali"} << QList<int>{0, 1};
    QTest::newRow("by peer") << QStringList{"ali", "sara", "ali"}
                             << QStringList{"sara", "ali", "ali"} << QList<int>{1, 0, 2};
    QTest::newRow("peer with nothing waiting")
        << QStringList{"ali"} << QStringList{"sara", "ali"} << QList<int>{-1, 0};
    QTest::newRow("no name: the oldest")
        << QStringList{"ali", "sara"} << QStringList{"*", "*"} << QList<int>{0, 1};
    QTest::newRow("named before the oldest")
        << QStringList{"ali", "sara"} << QStringList{"*sara", "*"} << QList<int>{1, 0};
    QTest::newRow("unknown name: the oldest")
        << QStringList{"ali", "sara"} << QStringList{"*nobody"} << QList<int>{0};
    QTest::newRow("nothing waiting") << QStringList{} << QStringList{"*", "ali"}
                                     << QList<int>{-1, -1};
    QTest::newRow("case matters") << QStringList{"Ali"} << QStringList{"ali"} << QList<int>{-1};
}

void TestPrivateMessages::answers()
{
    QFETCH(QStringList, sent);
    QFETCH(QStringList, answers);
    QFETCH(QList<int>, taken);
    PendingMessages pending;
    for (int i = 0; i < sent.size(); ++i)
        pending.sent(sent.at(i), quint64(100 + i), i + 1);
    QList<int> got;
    for (QString a : answers) {
        const bool any = a.startsWith(QLatin1Char('*'));
        if (any)
            a.remove(0, 1);
        PendingMessages::Entry e;
        if (pending.answer(a, any, &e)) {
            QCOMPARE(e.peer, sent.at(e.line - 1));
            QCOMPARE(e.window, quint64(100 + e.line - 1));
            got << e.line - 1;
        } else {
            got << -1;
        }
    }
    QCOMPARE(got, taken);
    QCOMPARE(pending.size(), sent.size() - int(std::count_if(got.begin(), got.end(),
                                                             [](int i) { return i >= 0; })));
}

void TestPrivateMessages::takeAll()
{
    PendingMessages pending;
    pending.sent("ali", 1, 7);
    pending.sent("sara", 2, 8);
    const QList<PendingMessages::Entry> all = pending.takeAll();
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.at(0).line, 7);
    QCOMPARE(all.at(1).peer, QString("sara"));
    QCOMPARE(pending.size(), 0);
    PendingMessages::Entry e;
    QVERIFY(!pending.answer(QString(), true, &e));
}

QTEST_MAIN(TestPrivateMessages)
#include "tst_privatemessages.moc"
