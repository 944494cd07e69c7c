// The main window and the search dialog against the local institute's chat
// server: the contact list at login, contacts coming online, blocking,
// unblocking, deleting, a search and an addition, the keep-alive, and the
// end of a login whose server fell silent.
#include "contacttree.h"

#include "common/hooks.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTcpSocket>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kAhmad = QString::fromUtf8("أحمد");
// How long a step may take on a busy machine; each wait ends as soon as its
// condition holds.
constexpr int kStep = 60000;

QJsonObject command(const QString &name, const QJsonObject &fields = {})
{
    QJsonObject c = fields;
    c.insert("command", name);
    return c;
}

} // namespace

class TestContactsInstitute : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void contactsListed();
    void blockedAndUnblocked();
    void deleted();
    void searchAndAdd();
    void searchRefusals_data();
    void searchRefusals();
    void keepAliveAnswered();
    void silentServerEndsLogin();

private:
    // Logs the user in on the chat server and waits for the contact list.
    bool login(const QString &user, const QString &password);
    QString contactsOnServer(const QString &user);
    void chooseContact(const QString &nick);
    void triggerContactAction(const QString &nick, const QString &action);
    // Opens the search dialog, searches text and waits for the results (a
    // text too short to be sent leaves the list as it was).
    QStringList search(const QString &text);
    // Client packets of code 45 the chat server logged, by keepalive kind.
    int keepAlives(const QString &kind);
    // The chat server saw the client close its connection.
    bool closedByClient();

    std::unique_ptr<Institute> m_institute;
    int m_quits = 0;
};

void TestContactsInstitute::initTestCase()
{
    hooks::setQuitHandler([this] { ++m_quits; });
    indexLang = 2;
    sck = new Wsk;
}

void TestContactsInstitute::init()
{
    m_institute.reset(new Institute);
    QVERIFY2(m_institute->start(), qPrintable(m_institute->startError()));
    m_quits = 0;
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->show();
}

void TestContactsInstitute::cleanup()
{
    delete frmserr;
    delete frmusr;
    CloseSocket();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    VERIFY_INSTITUTE_CLEAN(*m_institute);
    m_institute.reset();
}

bool TestContactsInstitute::login(const QString &user, const QString &password)
{
    sck->socket()->abort();
    sck->socket()->connectToHost(QStringLiteral("127.0.0.1"), m_institute->port("chat"));
    if (!QTest::qWaitFor([] { return sck->socket()->state() == QAbstractSocket::ConnectedState; },
                         kStep))
        return false;
    SendPacket(outgoing::memberLogin(user, password));
    // The contact list follows the login's acceptance.
    const bool listed = QTest::qWaitFor(
        [] { return frmusr && contactTree(frmusr) != QLatin1String("on= off="); }, kStep);
    if (frmusr)
        frmusr->setUSER(user);
    return listed;
}

QString TestContactsInstitute::contactsOnServer(const QString &user)
{
    const QJsonArray contacts =
        m_institute->control(command("contacts", {{"user", user}})).value("contacts").toArray();
    QStringList out;
    for (const QJsonValue &c : contacts)
        out << c.toObject().value("user").toString()
                   + (c.toObject().value("blocked").toBool() ? "*" : "");
    return out.join(QLatin1Char(','));
}

void TestContactsInstitute::chooseContact(const QString &nick)
{
    auto *view = frmusr->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    const QList<QTreeWidgetItem *> items =
        view->findItems(nick, Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY(!items.isEmpty());
    view->setCurrentItem(items.first());
}

void TestContactsInstitute::triggerContactAction(const QString &nick, const QString &action)
{
    chooseContact(nick);
    QScopedPointer<QMenu> menu(frmusr->contactMenu());
    QVERIFY(menu);
    for (QAction *a : menu->actions())
        if (a->text() == action) {
            a->trigger();
            return;
        }
    QFAIL(qPrintable("no contact action " + action));
}

QStringList TestContactsInstitute::search(const QString &text)
{
    if (!frmserr)
        QTest::mouseClick(frmusr->findChild<QPushButton *>("Bsearch"), Qt::LeftButton);
    auto *list = frmserr->findChild<QListWidget *>("listWidget");
    list->clear();
    list->addItem(QStringLiteral("(waiting)"));
    frmserr->findChild<QLineEdit *>("lineEdit")->setText(text);
    QTest::mouseClick(frmserr->findChild<QPushButton *>("BSearch"), Qt::LeftButton);
    if (text.size() >= 3
        && !QTest::qWaitFor(
            [list] {
                return list->count() == 0 || list->item(0)->text() != QLatin1String("(waiting)");
            },
            kStep))
        qWarning("no answer to the search for %s", qPrintable(text));
    QStringList found;
    for (int i = 0; i < list->count(); ++i)
        found << list->item(i)->text();
    return found;
}

int TestContactsInstitute::keepAlives(const QString &kind)
{
    int count = 0;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == "packet" && e.value("code").toInt() == 45
            && e.value("keepalive").toString() == kind)
            ++count;
    }
    return count;
}

bool TestContactsInstitute::closedByClient()
{
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == "disconnect" && e.value("service").toString() == "chat"
            && e.value("by").toString() == "client")
            return true;
    }
    return false;
}

void TestContactsInstitute::contactsListed()
{
    QVERIFY(login("ali", "ali123"));
    QCOMPARE(contactTree(frmusr), "on= off=sara," + kAhmad + ",omar*");
    // Contacts coming online and going offline move between the groups.
    m_institute->control(command("scripted-login", {{"user", "sara"}}));
    m_institute->control(command("scripted-login", {{"user", "omar"}}));
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr), "on=sara,omar* off=" + kAhmad, kStep);
    m_institute->control(command("drop", {{"user", "sara"}}));
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr), "on=omar* off=" + kAhmad + ",sara", kStep);
}

void TestContactsInstitute::blockedAndUnblocked()
{
    QVERIFY(login("ali", "ali123"));
    m_institute->control(command("scripted-login", {{"user", "sara"}}));
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr), "on=sara off=" + kAhmad + ",omar*", kStep);
    ModalAnswerer answers;
    triggerContactAction("sara", "BlockUser");
    QTRY_COMPARE_WITH_TIMEOUT(answers.texts(), QStringList{"block user"}, kStep);
    QCOMPARE(contactTree(frmusr), "on=sara* off=" + kAhmad + ",omar*");
    QCOMPARE(contactsOnServer("ali"), "sara*," + kAhmad + ",omar*");

    // Blocked stays blocked while the contact goes offline.
    m_institute->control(command("drop", {{"user", "sara"}}));
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr), "on= off=" + kAhmad + ",omar*,sara*",
                              kStep);

    triggerContactAction("omar", "UnBlockUser");
    QTRY_COMPARE_WITH_TIMEOUT(answers.texts(), (QStringList{"block user", "Unblock user"}),
                              kStep);
    QCOMPARE(contactTree(frmusr), "on= off=" + kAhmad + ",omar,sara*");
    QCOMPARE(contactsOnServer("ali"), "sara*," + kAhmad + ",omar");
}

void TestContactsInstitute::deleted()
{
    QVERIFY(login("ali", "ali123"));
    triggerContactAction(kAhmad, "DelUser");
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr), QStringLiteral("on= off=sara,omar*"), kStep);
    QCOMPARE(contactsOnServer("ali"), QStringLiteral("sara,omar*"));
}

void TestContactsInstitute::searchAndAdd()
{
    QVERIFY(login("sara", "sara123"));
    QCOMPARE(contactTree(frmusr), QString::fromUtf8("on= off=ali,مريم"));
    QCOMPARE(search("MAR"), QStringList{"omar"});
    auto *list = frmserr->findChild<QListWidget *>("listWidget");
    list->setCurrentRow(0);
    ModalAnswerer answers;
    answers.queue(QMessageBox::Yes);
    QTest::mouseClick(frmserr->findChild<QPushButton *>("B_Add"), Qt::LeftButton);
    QCOMPARE(answers.texts(), QStringList{"Add User On List ?"});
    QTRY_COMPARE_WITH_TIMEOUT(contactTree(frmusr), QString::fromUtf8("on= off=ali,مريم,omar"),
                              kStep);
    QCOMPARE(contactsOnServer("sara"), QString::fromUtf8("ali,مريم,omar"));

    // Nobody found: the list empties and the dialog says so.
    QCOMPARE(search("zzz"), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(answers.texts(),
                              (QStringList{"Add User On List ?", "No User Search"}), kStep);
    QVERIFY(frmserr->findChild<QPushButton *>("BSearch")->isEnabled());
}

void TestContactsInstitute::searchRefusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("too short") << "al" << "search word is too short";
    QTest::newRow("own nickname") << "sara" << "No Add Me !";
    QTest::newRow("already a contact") << "ali" << "User Deja list";
}

void TestContactsInstitute::searchRefusals()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QVERIFY(login("sara", "sara123"));
    ModalAnswerer answers;
    const QStringList found = search(text);
    if (text.size() >= 3) {
        QCOMPARE(found, QStringList{text});
        frmserr->findChild<QListWidget *>("listWidget")->setCurrentRow(0);
        QTest::mouseClick(frmserr->findChild<QPushButton *>("B_Add"), Qt::LeftButton);
    }
    QCOMPARE(answers.texts(), QStringList{message});
    // Nothing but the search itself reached the server.
    int requests = 0;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == "packet" && e.value("code").toInt() == 3)
            ++requests;
    }
    QCOMPARE(requests, text.size() >= 3 ? 1 : 0);
    QCOMPARE(contactsOnServer("sara"), QString::fromUtf8("ali,مريم"));
}

void TestContactsInstitute::keepAliveAnswered()
{
    QVERIFY(login("ali", "ali123"));
    // The accepted login's main window probes once, and the server's answer
    // to that probe is answered.
    // (Each look asks the institute for its whole log: the wait counts time,
    // not looks.)
    (void)QTest::qWaitFor([this] { return keepAlives("reply") >= 1; }, kStep);
    QCOMPARE(keepAlives("reply"), 1);
    m_institute->control(command("scripted-login", {{"user", "omar"}}));
    m_institute->control(command("keepalive", {{"now", true}, {"user", "ali"}}));
    QTRY_COMPARE_WITH_TIMEOUT(frmusr->findChild<QStatusBar *>()->currentMessage(),
                              QStringLiteral("user on line : 2"), kStep);
    (void)QTest::qWaitFor([this] { return keepAlives("reply") >= 2; }, kStep);
    QCOMPARE(keepAlives("reply"), 2);
}

void TestContactsInstitute::silentServerEndsLogin()
{
    // A short watchdog: while the server answers the client's own probes the
    // login lives; once it falls silent, the third missed tick ends it. A
    // second a tick: a busy machine's server answers within three.
    delete frmusr;
    FrmUser::keepAlivePeriod = 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->show();
    QVERIFY(login("ali", "ali123"));
    ModalAnswerer answers;
    QVERIFY2(QTest::qWaitFor([this] { return keepAlives("probe") >= 3; }, kStep),
             qPrintable(QStringLiteral("%1 probes").arg(keepAlives("probe"))));
    QCOMPARE(answers.texts(), QStringList());
    QCOMPARE(m_quits, 0);

    m_institute->control(command("silent"));
    QTRY_COMPARE_WITH_TIMEOUT(m_quits, 1, kStep);
    QCOMPARE(answers.texts(), QStringList{"no connection"});
    QCOMPARE(answers.shown.first().title, QStringLiteral("Title App"));
    QCOMPARE(sck->socket()->state(), QAbstractSocket::UnconnectedState);
    QVERIFY(frmusr);
    QVERIFY(QTest::qWaitFor([this] { return closedByClient(); }, kStep));
}

QTEST_MAIN(TestContactsInstitute)
#include "tst_contacts_institute.moc"
