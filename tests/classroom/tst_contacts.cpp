// The contact commands (codes 2 to 6): their bodies, what each does to the
// main window's contact tree, and that the dispatch reaches them.
#include "contacttree.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/contacts.h"
#include "protocol/pure/contactrecords.h"
#include "protocol/state.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QtTest>

class TestContacts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void records_data();
    void records();

    void listUsers_data();
    void listUsers();
    void statUsers_data();
    void statUsers();
    void blockUsr_data();
    void blockUsr();
    void delUser_data();
    void delUser();

    void dispatched_data();
    void dispatched();

private:
    LoopbackPeer m_peer;
};

void TestContacts::initTestCase()
{
    hooks::setQuitHandler([] {});
    QVERIFY(m_peer.connectClient());
}

void TestContacts::init()
{
    frmusr = new FrmUser(nullptr);
    m_peer.sent();
}

void TestContacts::cleanup()
{
    delete frmusr;
    QVERIFY(!frmusr);
}

// Each record as "nick:on|off:blocked|-", "/" between records.
static QString describe(const QVector<ContactRecord> &records)
{
    QStringList out;
    for (const ContactRecord &r : records)
        out << r.nickname + QLatin1Char(':') + (r.online ? "on" : "off") + QLatin1Char(':')
                   + (r.blocked ? "blocked" : "-");
    return out.join(QLatin1Char('/'));
}

void TestContacts::records_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("search");
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("two records") << "ali:0:1|sara:3:0" << "ali:off:blocked/sara:on:-"
                                 << "ali:0:1,sara:3:0";
    QTest::newRow("mark 0 or empty") << "ali:0:0|sara:0:" << "ali:off:-/sara:off:-"
                                     << "ali:0:0,sara:0:";
    QTest::newRow("state not a number") << "ali:x:1" << "ali:off:blocked" << "ali:x:1";
    QTest::newRow("negative state") << "ali:-1:0" << "ali:on:-" << "ali:-1:0";
    QTest::newRow("mark other than 1") << "a:1: 1|b:1:11|c:1:yes" << "a:on:-/b:on:-/c:on:-"
                                       << "a:1: 1,b:1:11,c:1:yes";
    QTest::newRow("extra field") << "ali:1:1:x" << "ali:on:blocked" << "ali:1:1:x";
    QTest::newRow("nickname trimmed") << "  ali \t:1:0" << "ali:on:-" << "  ali \t:1:0";
    QTest::newRow("trailing bar") << "ali:1:0|" << "ali:on:-" << "ali:1:0,";
    QTest::newRow("short records skipped") << "ali:1|sara|omar:0:1" << "omar:off:blocked"
                                           << "ali:1,sara,omar:0:1";
    QTest::newRow("empty nickname skipped") << " :1:0|:0:1" << "" << " :1:0,:0:1";
    QTest::newRow("double bar") << "a||b" << "" << "a,,b";
    QTest::newRow("arabic") << QString::fromUtf8("أحمد:1:1") << QString::fromUtf8("أحمد:on:blocked")
                            << QString::fromUtf8("أحمد:1:1");
}

void TestContacts::records()
{
    QFETCH(QString, body);
    QFETCH(QString, list);
    QFETCH(QString, search);
    QCOMPARE(describe(parseContactList(body)), list);
    QCOMPARE(parseSearchResults(body).join(QLatin1Char(',')), search);
}

void TestContacts::listUsers_data()
{
    QTest::addColumn<QStringList>("bodies");
    QTest::addColumn<QString>("tree");
    QTest::newRow("empty body") << QStringList{""} << "on= off=";
    QTest::newRow("offline blocked, online free")
        << QStringList{"ali:0:1|sara:3:0"} << "on=sara off=ali*";
    QTest::newRow("same body twice") << QStringList{"ali:0:1|sara:3:0", "ali:0:1|sara:3:0"}
                                     << "on=sara off=ali*";
    QTest::newRow("offline, mark 0 or empty") << QStringList{"ali:0:0|sara:0:"} << "on= off=ali,sara";
    QTest::newRow("listed again with a new state")
        << QStringList{"ali:0:1|sara:1:0", "ali:1:0"} << "on=sara,ali off=";
    QTest::newRow("empty body keeps the tree") << QStringList{"ali:1:0", ""} << "on=ali off=";
    QTest::newRow("malformed records skipped")
        << QStringList{"ali:1|:1:0|sara:0:1|"} << "on= off=sara*";
}

void TestContacts::listUsers()
{
    QFETCH(QStringList, bodies);
    QFETCH(QString, tree);
    for (const QString &body : bodies)
        ListUsers(body);
    QCOMPARE(contactTree(frmusr), tree);
}

void TestContacts::statUsers_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("stat");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<bool>("offersUnblock");
    QTest::newRow("blocked comes online") << "ali:0:1|sara:0:0" << "ali:1:0" << "on=ali* off=sara"
                                          << true;
    QTest::newRow("blocked goes offline") << "ali:1:1" << "ali:0:0" << "on= off=ali*" << true;
    QTest::newRow("third field ignored") << "ali:1:0" << "ali:0:1" << "on= off=ali" << false;
    QTest::newRow("unknown contact added") << "" << "sara:1:0" << "on=sara off=" << false;
    QTest::newRow("short record ignored") << "ali:1:1" << "ali:0" << "on=ali* off=" << true;
}

void TestContacts::statUsers()
{
    QFETCH(QString, list);
    QFETCH(QString, stat);
    QFETCH(QString, tree);
    QFETCH(bool, offersUnblock);
    ListUsers(list);
    StatUsers(stat);
    QCOMPARE(contactTree(frmusr), tree);

    // The contact menu offers what the kept state calls for.
    auto *view = frmusr->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    const QString nick = stat.section(QLatin1Char(':'), 0, 0);
    const QList<QTreeWidgetItem *> items = view->findItems(nick, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(items.size(), 1);
    view->setCurrentItem(items.first());
    QScopedPointer<QMenu> menu(frmusr->contactMenu());
    QVERIFY(menu);
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    QVERIFY(texts.contains(offersUnblock ? "UnBlockUser" : "BlockUser"));
    QVERIFY(!texts.contains(offersUnblock ? "BlockUser" : "UnBlockUser"));
}

void TestContacts::blockUsr_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("message");
    QTest::newRow("blocked, body trimmed") << "ali:1:0" << "1" << "  ali  " << "on=ali* off="
                                           << "block user";
    QTest::newRow("name trimmed") << "ali:0:0" << " 1 " << "ali" << "on= off=ali*" << "block user";
    QTest::newRow("unblocked") << "ali:1:1" << "0" << "ali" << "on=ali off=" << "Unblock user";
    QTest::newRow("other word unblocks") << "ali:1:1" << "yes" << "ali" << "on=ali off="
                                         << "Unblock user";
    QTest::newRow("empty body") << "ali:1:0" << "1" << "" << "on=ali off=" << "block user";
    QTest::newRow("not a contact") << "ali:1:0" << "1" << "omar" << "on=ali off=" << "block user";
}

void TestContacts::blockUsr()
{
    QFETCH(QString, list);
    QFETCH(QString, name);
    QFETCH(QString, body);
    QFETCH(QString, tree);
    QFETCH(QString, message);
    ListUsers(list);
    ModalAnswerer answers;
    BlockUsr(name, body);
    QCOMPARE(contactTree(frmusr), tree);
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().title, QStringLiteral("message"));
    QCOMPARE(answers.shown.first().text, message);
    QCOMPARE(answers.shown.first().icon, QMessageBox::Warning);
}

void TestContacts::delUser_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("tree");
    QTest::newRow("removed") << "omar" << "on=ali,ali off=ali,sara";
    QTest::newRow("trimmed") << " sara " << "on=ali,ali,omar off=ali";
    QTest::newRow("first match, online first") << "ali" << "on=ali,omar off=ali,sara";
    QTest::newRow("empty body") << "" << "on=ali,ali,omar off=ali,sara";
    QTest::newRow("not a contact") << "nobody" << "on=ali,ali,omar off=ali,sara";
}

void TestContacts::delUser()
{
    QFETCH(QString, body);
    QFETCH(QString, tree);
    // Duplicates come only from AddUsr, which does not look for an existing item.
    frmusr->AddUsr("ali", 0);
    frmusr->AddUsr("sara", 0);
    frmusr->AddUsr("ali", 1);
    frmusr->AddUsr("ali", 1);
    frmusr->AddUsr("omar", 1);
    DelUser(body);
    QCOMPARE(contactTree(frmusr), tree);
}

void TestContacts::dispatched_data()
{
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("messages");
    const QByteArray ahmad = QByteArray::fromHex("c3cde3cf"); // أحمد in CP-1256
    QTest::newRow("2 list") << QList<QByteArray>{wirePacket(2, "list", "ali:0:1|" + ahmad + ":1:0")}
                            << QString::fromUtf8("on=أحمد off=ali*") << QStringList();
    QTest::newRow("3 stat") << QList<QByteArray>{wirePacket(2, "list", "ali:0:1"),
                                                 wirePacket(3, "stat", "ali:1:0")}
                            << "on=ali* off=" << QStringList();
    QTest::newRow("4 blocked") << QList<QByteArray>{wirePacket(2, "list", "ali:0:0"),
                                                    wirePacket(4, "1", "ali")}
                               << "on= off=ali*" << QStringList{"block user"};
    QTest::newRow("6 deleted") << QList<QByteArray>{wirePacket(2, "list", "ali:0:0|sara:1:0"),
                                                    wirePacket(6, "Del", "ali")}
                               << "on=sara off=" << QStringList();
    QTest::newRow("two in one read")
        << QList<QByteArray>{wirePacket(2, "list", "ali:0:0") + wirePacket(3, "stat", "ali:1:1")}
        << "on=ali off=" << QStringList();
}

void TestContacts::dispatched()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, tree);
    QFETCH(QStringList, messages);
    ModalAnswerer answers;
    for (const QByteArray &packet : packets)
        m_peer.send(packet);
    QTRY_COMPARE(contactTree(frmusr), tree);
    QTRY_COMPARE(answers.texts(), messages);
}

QTEST_MAIN(TestContacts)
#include "tst_contacts.moc"
