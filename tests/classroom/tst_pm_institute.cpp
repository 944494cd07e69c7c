// Private conversations through the local institute: a real client logged
// in as ali and scripted users on the other side. The code 4 body on the
// wire, messages that open a window, one window per peer, delivery ("ok")
// and refusal ("block", "non", "lock"), hostile text from a peer, and the
// page's files from the institute's web endpoint.
#include "pmwindow.h"

#include "common/hooks.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmuser.h"
#include "mainwindow/mytextedit.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/chatlogin.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/wire.h"

#include <QAction>
#include <QJsonArray>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 20, 30));
const QString kAhmad = QString::fromUtf8("أحمد");
const QString kMaryam = QString::fromUtf8("مريم");

} // namespace

class TestPmInstitute : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void bodyOnTheWire_data();
    void bodyOnTheWire();
    void conversation();
    void refused_data();
    void refused();
    void hostileMessage();
    void pageFilesFromTheInstitute();

private:
    void scripted(const QString &user);
    // Code 4 packets the chat server received, as bytes, in order.
    QList<QByteArray> pmPackets();
    // The institute's record of each private message: "from>to:status".
    QStringList pmRecords();
    // What the scripted user received as private messages: "from|text".
    QStringList inbox(const QString &user);

    std::unique_ptr<Institute> m_institute;
};

void TestPmInstitute::initTestCase()
{
    hooks::setQuitHandler([] {});
    hooks::setClock([] { return kNow; });
    indexLang = 2;
}

void TestPmInstitute::init()
{
    m_institute.reset(new Institute);
    QVERIFY2(m_institute->start(), qPrintable(m_institute->startError()));
    settings->clear();
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->show();
    // The first entry of the institute's list.
    path_web = m_institute->webBase() + QStringLiteral("site1/");
    QVERIFY(logInToChat(*m_institute, "ali", "ali123"));
}

void TestPmInstitute::cleanup()
{
    while (!frmPMs.isEmpty())
        delete frmPMs.first();
    delete frmusr;
    CloseSocket();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    path_web.clear();
    VERIFY_INSTITUTE_CLEAN(*m_institute);
    m_institute.reset();
}

void TestPmInstitute::scripted(const QString &user)
{
    const QJsonObject reply =
        m_institute->control(instituteCommand("scripted-login", {{"user", user}}));
    QVERIFY2(reply.value("ok").toBool(), qPrintable(user));
}

QList<QByteArray> TestPmInstitute::pmPackets()
{
    QList<QByteArray> out;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == "packet" && e.value("code").toInt() == 4)
            out << QByteArray::fromHex(e.value("hex").toString().toLatin1());
    }
    return out;
}

QStringList TestPmInstitute::pmRecords()
{
    QStringList out;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("kind").toString() == "pm")
            out << e.value("user").toString() + ">" + e.value("to").toString() + ":"
                       + e.value("status").toString();
    }
    return out;
}

QStringList TestPmInstitute::inbox(const QString &user)
{
    QStringList out;
    const QJsonArray packets = m_institute->control(instituteCommand("inbox", {{"user", user}}))
                                   .value("packets")
                                   .toArray();
    for (const QJsonValue &v : packets) {
        const QJsonObject p = v.toObject();
        if (p.value("code").toInt() == 7 && p.value("name").toString() == "pm")
            out << p.value("from").toString() + "|" + p.value("text").toString();
    }
    return out;
}

void TestPmInstitute::bodyOnTheWire_data()
{
    QTest::addColumn<QString>("peer");
    QTest::addColumn<QString>("txt");
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("delivered")
        << "sara" << "<span style=\" font-weight:600;\">a:b|c@d</span>"
        << QByteArray::fromHex("0400" "3e000000") + "KW.TOVEN" + "pm" + QByteArray(30, ' ')
               + "sara|<span style=\" font-weight@n;bold;\">a@n;b@l;c@arp;d</span>"
        << "ali>sara:ok" << "ali:time:a:b|c@d" << QStringList{};
    QTest::newRow("separators in the nickname")
        << "x|y:z@w" << "hi"
        << QByteArray::fromHex("0400" "12000000") + "KW.TOVEN" + "pm" + QByteArray(30, ' ')
               + "x@l;y@n;z@arp;w|hi"
        << "ali>x|y:z@w:non" << "ali:no:hi" << QStringList{"No Msg PM"};
}

void TestPmInstitute::bodyOnTheWire()
{
    QFETCH(QString, peer);
    QFETCH(QString, txt);
    QFETCH(QByteArray, packet);
    QFETCH(QString, record);
    QFETCH(QString, line);
    QFETCH(QStringList, boxes);
    scripted("sara");
    ModalAnswerer answers;
    FrmPM *w = openPM(peer);
    emit w->findChild<ControlTxt *>(QStringLiteral("widget"))->Sendtxt(txt);
    QTRY_COMPARE(linesOf(w), QStringList{line});
    QCOMPARE(pmPackets(), QList<QByteArray>{packet});
    QCOMPARE(pmRecords(), QStringList{record});
    QCOMPARE(answers.texts(), boxes);
    if (peer == QLatin1String("sara"))
        QCOMPARE(inbox("sara"),
                 QStringList{"ali|<span style=\" font-weight:bold;\">a:b|c@d</span>"});
}

void TestPmInstitute::conversation()
{
    scripted("sara");
    QCOMPARE(m_institute->control(instituteCommand("pm", {{"from", "sara"}, {"to", "ali"},
                                                 {"text", "hello <b>ali</b>: a|b"}}))
                 .value("status")
                 .toString(),
             QStringLiteral("ok"));
    QTRY_VERIFY(windowOf("sara"));
    FrmPM *w = windowOf("sara");
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Chat To :sara"));
    QTRY_COMPARE(linesOf(w), QStringList{"sara:time:hello ali: a|b"});
    QCOMPARE(pageOf(w)->findAllElements("span.messagetime ~ b").count(), 1);

    // A second message goes to the same window.
    m_institute->control(
        instituteCommand("pm", {{"from", "sara"}, {"to", "ali"}, {"text", "again"}}));
    QTRY_COMPARE(linesOf(w).size(), 2);
    QCOMPARE(frmPMs, QList<FrmPM *>{w});

    // ali answers in bold, typed into the window.
    auto *input = w->findChild<MyTextEdit *>(QStringLiteral("T1"));
    w->findChild<QAction *>(QStringLiteral("Bold"))->trigger();
    QTest::keyClicks(input, "fine: thanks");
    QTest::keyClick(input, Qt::Key_Return);
    QTRY_COMPARE(linesOf(w).last(), QStringLiteral("ali:time:fine: thanks"));
    const QStringList got = inbox("sara");
    QCOMPARE(got.size(), 1);
    QVERIFY2(got.first().startsWith("ali|") && got.first().contains("font-weight:bold;")
                 && got.first().contains("fine: thanks") && !got.first().contains("600"),
             qPrintable(got.first()));
    QCOMPARE(pmRecords(), (QStringList{"sara>ali:ok", "sara>ali:ok", "ali>sara:ok"}));
}

void TestPmInstitute::refused_data()
{
    // peer: who ali writes to first (refused); setup: how the refusal comes
    // about; word: the server's answer; boxes: messages shown.
    QTest::addColumn<QString>("peer");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("block") << "sara" << "blocks" << "block" << QStringList{};
    QTest::newRow("non") << "omar" << "offline" << "non" << QStringList{"No Msg PM"};
    QTest::newRow("lock") << kMaryam << "contacts only" << "lock"
                          << QStringList{"User Lock PM"};
}

void TestPmInstitute::refused()
{
    QFETCH(QString, peer);
    QFETCH(QString, setup);
    QFETCH(QString, word);
    QFETCH(QStringList, boxes);
    scripted(kAhmad);
    if (setup == QLatin1String("blocks")) {
        scripted(peer);
        const QJsonObject reply = m_institute->control(
            instituteCommand("as", {{"user", peer}, {"code", 2}, {"name", "block"},
                                    {"body", "ali"}}));
        QVERIFY(reply.value("ok").toBool());
    } else if (setup == QLatin1String("contacts only")) {
        scripted(peer);
    }
    ModalAnswerer answers;
    FrmPM *refused = openPM(peer);
    FrmPM *other = openPM(kAhmad);
    // Two to the refusing peer and one to a peer who takes them, at once.
    QTest::keyClicks(refused->findChild<MyTextEdit *>("T1"), "first");
    QTest::keyClick(refused->findChild<MyTextEdit *>("T1"), Qt::Key_Return);
    QTest::keyClicks(other->findChild<MyTextEdit *>("T1"), "second");
    QTest::keyClick(other->findChild<MyTextEdit *>("T1"), Qt::Key_Return);
    QTest::keyClicks(refused->findChild<MyTextEdit *>("T1"), "third");
    QTest::keyClick(refused->findChild<MyTextEdit *>("T1"), Qt::Key_Return);
    QTRY_COMPARE(waitingPMs(), 0);
    QCOMPARE(linesOf(refused), (QStringList{"ali:no:first", "ali:no:third"}));
    QCOMPARE(linesOf(other), QStringList{"ali:time:second"});
    QCOMPARE(pmRecords(), (QStringList{"ali>" + peer + ":" + word, "ali>" + kAhmad + ":ok",
                                       "ali>" + peer + ":" + word}));
    QCOMPARE(answers.texts(), boxes + boxes);
    for (const ShownDialog &box : answers.shown)
        QCOMPARE(box.title, QStringLiteral("Title App"));
    QCOMPARE(inbox(kAhmad).size(), 1);
    if (setup != QLatin1String("offline"))
        QCOMPARE(inbox(peer), QStringList());
}

void TestPmInstitute::hostileMessage()
{
    scripted("sara");
    FrmPM *w = openPM("sara");
    QWebFrame *page = pageOf(w);
    page->evaluateJavaScript(QStringLiteral("window.__pwned = 0;"
                                            "window.alert = function () { window.__pwned = 9; };"));
    const QString hostile = QStringLiteral(
        "<script>window.__pwned = 1;</script>"
        "<img src=\"x\" onerror=\"window.__pwned = 2\">"
        "<a href=\"javascript:window.__pwned = 3\" id=\"evil\">click</a>"
        "<iframe src=\"javascript:window.__pwned = 4\"></iframe>"
        "<svg onload=\"window.__pwned = 5\"></svg>"
        "<div style=\"background:url(javascript:alert(1))\" onmouseover=\"alert(6)\">hover</div>"
        "<body onload=\"alert(7)\"><object data=\"x.swf\"></object>text");
    m_institute->control(
        instituteCommand("pm", {{"from", "sara"}, {"to", "ali"}, {"text", hostile}}));
    QTRY_COMPARE(linesOf(w).size(), 1);
    QCOMPARE(frmPMs, QList<FrmPM *>{w});
    QTest::qWait(200);
    page->evaluateJavaScript(QStringLiteral(
        "var e = document.getElementById('evil'); if (e && e.click) e.click();"));
    QTest::qWait(100);
    QCOMPARE(page->evaluateJavaScript(QStringLiteral("window.__pwned")).toInt(), 0);
    const QWebElement line = page->findFirstElement(QStringLiteral("div.message"));
    QVERIFY(line.toPlainText().contains(QLatin1String("text")));
    for (const char *tag : {"script", "iframe", "svg", "object", "embed", "img"})
        QVERIFY2(line.findAll(QLatin1String(tag)).count() == 0, tag);
    for (const QWebElement &e : line.findAll(QStringLiteral("*"))) {
        for (const QString &name : e.attributeNames())
            QVERIFY2(!name.startsWith(QLatin1String("on"), Qt::CaseInsensitive),
                     qPrintable(e.toOuterXml()));
        QVERIFY2(!e.attribute("href").contains(QLatin1String("javascript"), Qt::CaseInsensitive),
                 qPrintable(e.toOuterXml()));
        QVERIFY2(!e.attribute("style").contains(QLatin1String("url"), Qt::CaseInsensitive),
                 qPrintable(e.toOuterXml()));
    }
    // The only scripts of the page are the page's own.
    QStringList scripts;
    for (const QWebElement &s : page->findAllElements(QStringLiteral("script")))
        scripts << s.attribute(QStringLiteral("src"));
    QCOMPARE(scripts, (QStringList{"qrc:/Resources/images/chat.js", path_web + "chat/chat.js"}));
}

void TestPmInstitute::pageFilesFromTheInstitute()
{
    FrmPM *w = openPM("sara");
    QWebFrame *page = pageOf(w);
    // The institute's list style sheet and its player script.
    QTRY_COMPARE(page->evaluateJavaScript(QStringLiteral(
                          "getComputedStyle(document.querySelector('.messagecontainer'))"
                          ".paddingBottom")).toString(),
                 QStringLiteral("6px"));
    QTRY_VERIFY(page->evaluateJavaScript(QStringLiteral("String(window.outputUpdate)"))
                    .toString()
                    .contains(QLatin1String("parseFloat")));
    QStringList asked;
    for (const QJsonValue &v : m_institute->log()) {
        const QJsonObject e = v.toObject();
        if (e.value("service").toString() == "web")
            asked << e.value("path").toString();
    }
    QVERIFY2(asked.contains("/site1/chat/list.css") && asked.contains("/site1/chat/chat.js"),
             qPrintable(asked.join(' ')));
}

QTEST_MAIN(TestPmInstitute)
#include "tst_pm_institute.moc"
