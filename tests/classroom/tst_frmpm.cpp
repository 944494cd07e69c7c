// The private-message window offscreen against a loopback server: its form,
// its name and title, sending (the code 4 body byte for byte), the echo and
// its delivery state, the answers of code 7, messages from peers, the
// windows that open it, and the end of a login that closes them all.
#include "pmwindow.h"

#include "common/hooks.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "mainwindow/mytextedit.h"
#include "protocol/helpers.h"
#include "protocol/pure/packet.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QGridLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 20, 30));
const QByteArray kKeepAlive = QByteArray::fromHex("2d00" "00000000") + "KW.TOVEN" + "test"
                              + QByteArray(28, ' ');

ControlTxt *controlOf(FrmPM *w) { return w->findChild<ControlTxt *>(QStringLiteral("widget")); }
MyTextEdit *inputOf(FrmPM *w) { return w->findChild<MyTextEdit *>(QStringLiteral("T1")); }

QString headerOf(FrmPM *w)
{
    return pageOf(w)
        ->findFirstElement(QStringLiteral("div[id=headerChatWho]"))
        .toPlainText()
        .trimmed();
}

// The states of the lines only.
QString statesOf(FrmPM *w)
{
    QStringList states;
    for (const QString &line : linesOf(w))
        states << line.section(QLatin1Char(':'), -2, -2);
    return states.join(QLatin1Char(','));
}

void send(FrmPM *w, const QString &txt) { emit controlOf(w)->Sendtxt(txt); }

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QByteArray pmPacket(const QByteArray &body)
{
    return wireHeader(4, "pm", qint32(body.size())) + body;
}

} // namespace

class TestFrmPM : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form();
    void titles_data();
    void titles();
    void nicknameIsText_data();
    void nicknameIsText();
    void escapeAndClose();
    void closeByIdentity();
    void sending_data();
    void sending();
    void styleFromSettings();
    void notSent_data();
    void notSent();
    void answers_data();
    void answers();
    void answersOfClosedWindows();
    void connectionLost();
    void incoming_data();
    void incoming();
    void openedFromContacts();
    void openedFromSearch();
    void deadLoginClosesConversations();

private:
    // Writes packets to the client and returns once it has handled them.
    void deliver(const QByteArray &packets);

    LoopbackPeer m_peer;
    int m_quits = 0;
};

void TestFrmPM::initTestCase()
{
    hooks::setQuitHandler([this] { ++m_quits; });
    hooks::setClock([] { return kNow; });
    indexLang = 2;
}

void TestFrmPM::init()
{
    if (!sck || sck->socket()->state() != QAbstractSocket::ConnectedState)
        QVERIFY(m_peer.connectClient());
    QCOMPARE(waitingPMs(), 0);
    settings->clear();
    FrmUser::keepAlivePeriod = 3600 * 1000;
    m_quits = 0;
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER(QStringLiteral("me"));
    QCOMPARE(m_peer.sent(), kKeepAlive);
}

void TestFrmPM::cleanup()
{
    while (!frmPMs.isEmpty())
        delete frmPMs.first();
    delete frmserr;
    delete frmusr;
    deleteLaterNow();
    // Nothing carries over: messages still waiting end with the connection.
    CloseSocket();
}

void TestFrmPM::deliver(const QByteArray &packets)
{
    m_peer.send(packets + wirePacket(45, "test", ""));
    QCOMPARE(m_peer.takeAtLeast(kKeepAlive.size()), kKeepAlive);
}

void TestFrmPM::form()
{
    FrmPM w(nullptr);
    QCOMPARE(w.objectName(), QStringLiteral("FrmPM"));
    QCOMPARE(w.size(), QSize(450, 324));
    QCOMPARE(w.minimumSize(), QSize(450, 324));
    const Qt::WindowFlags hints = Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                                  | Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint
                                  | Qt::WindowCloseButtonHint;
    QCOMPARE(w.windowFlags() & hints, hints);
    QVERIFY(!(w.windowFlags() & (Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint)));
    auto *grid = w.findChild<QGridLayout *>(QStringLiteral("gridLayout"));
    QVERIFY(grid);
    QCOMPARE(grid->spacing(), 0);
    QCOMPARE(grid->contentsMargins(), QMargins(0, 0, 0, 0));
    ControlTxt *control = controlOf(&w);
    QVERIFY(control);
    QCOMPARE(grid->itemAtPosition(0, 0)->widget(), control);
    QCOMPARE(control->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(w.getNick(), QString());
    QVERIFY(!w.isVisible());
    QCOMPARE(w.palette().brush(QPalette::Active, w.backgroundRole()).style(),
             Qt::TexturePattern);
}

void TestFrmPM::titles_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("arabic") << "arabic" << 0 << QString::fromUtf8("الفلمور العلمية")
                            << QString::fromUtf8("المحادثة مع :ali");
    QTest::newRow("french") << "french" << 1 << "Velmar" << "Chat To :ali";
    QTest::newRow("english") << "english" << 2 << "Velmar" << "Chat To :ali";
}

void TestFrmPM::titles()
{
    QFETCH(QString, catalogue);
    QFETCH(int, language);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QTranslator translator;
    QVERIFY(translator.load(":/Resources/Languages/" + catalogue + ".qm"));
    QCoreApplication::installTranslator(&translator);
    indexLang = language;
    FrmPM w(nullptr);
    QCOMPARE(w.windowTitle(), before);
    QCOMPARE(w.layoutDirection(), language == 0 ? Qt::RightToLeft : Qt::LeftToRight);
    w.setNick("ali");
    QCoreApplication::removeTranslator(&translator);
    indexLang = 2;
    ChangeWid();
    QCOMPARE(w.windowTitle(), after);
    QCOMPARE(headerOf(&w), after);
    QCOMPARE(w.getNick(), QStringLiteral("ali"));

    // A second name replaces the first everywhere.
    frmPMs.append(&w);
    QCOMPARE(FindPM("ali"), 0);
    w.setNick("sara");
    QCOMPARE(w.windowTitle(), QStringLiteral("Chat To :sara"));
    QCOMPARE(headerOf(&w), QStringLiteral("Chat To :sara"));
    QCOMPARE(FindPM("ali"), -1);
    QCOMPARE(FindPM("sara"), 0);
    QCOMPARE(FindPM("Sara"), -1);
    frmPMs.removeAll(&w);
}

void TestFrmPM::nicknameIsText_data()
{
    QTest::addColumn<QString>("nick");
    QTest::newRow("markup") << "<b>x</b>&amp;";
    // Chat tokens in a nickname stay text, alone or with the caption's colon.
    QTest::newRow("audio") << QString::fromUtf8(":صوت:http://127.0.0.1:1/a.mp3:ت:");
    QTest::newRow("audio after the caption's colon")
        << QString::fromUtf8("صوت:http://127.0.0.1:1/a.mp3:ت:");
    QTest::newRow("link") << QString::fromUtf8(":رابط:http://127.0.0.1:1/:نص:click:ط:");
    QTest::newRow("notice") << QString::fromUtf8(":رسالة:notice:ة:");
    QTest::newRow("blink") << QString::fromUtf8(":وميض:blink:ض:");
    QTest::newRow("title") << QString::fromUtf8(":عنوان:title:ن:");
    QTest::newRow("stray tokens") << QString::fromUtf8("a:ط::ن:b:رابط:");
}

void TestFrmPM::nicknameIsText()
{
    QFETCH(QString, nick);
    FrmPM w(nullptr);
    w.resize(450, 324);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setNick(nick);
    QWebFrame *page = pageOf(&w);
    QCOMPARE(headerOf(&w), "Chat To :" + nick);
    for (const char *made : {"div[id=headerChatWho] b", "div[id=headerChatWho] a", "audio",
                             "div[id=player]", "div[id=msg]", ".css3-blink",
                             "div[id=headerChatWho] p", "div[id=headerChatWho] font"})
        QVERIFY2(page->findAllElements(QLatin1String(made)).count() == 0, made);
    // In the live view: the header is the name as text, and nothing in it is
    // a link.
    const QWebElement h2 = page->findFirstElement("div[id=headerChatWho] h2");
    const QRect r = h2.geometry();
    QVERIFY(!r.isEmpty());
    const QString under = page->evaluateJavaScript(
        QStringLiteral("(function () { var e = document.elementFromPoint(%1, %2);"
                       " while (e && e.tagName !== 'A' && e.tagName !== 'H2') e = e.parentNode;"
                       " return e ? e.tagName : ''; })()").arg(r.center().x()).arg(r.center().y())).toString();
    QCOMPARE(under, QStringLiteral("H2"));
}

void TestFrmPM::escapeAndClose()
{
    QPointer<FrmPM> w = openPM("ali");
    QVERIFY(w->isVisible());
    QCOMPARE(frmPMs, QList<FrmPM *>{w});
    QTest::keyClick(w, Qt::Key_Escape);
    QTest::keyClick(inputOf(w), Qt::Key_Escape);
    QVERIFY(w->isVisible());
    QCOMPARE(FindPM("ali"), 0);

    QVERIFY(w->close());
    QCOMPARE(FindPM("ali"), -1);
    QVERIFY(frmPMs.isEmpty());
    // Destroyed once the close has been handled, not inside it.
    QVERIFY(w);
    deleteLaterNow();
    QVERIFY(!w);
    // A later conversation with the same peer starts afresh.
    FrmPM *again = openPM("ali");
    QCOMPARE(linesOf(again), QStringList());
}

void TestFrmPM::closeByIdentity()
{
    // Two windows that carry one nickname: closing the second leaves the
    // first in the list, and no deleted window stays behind.
    QPointer<FrmPM> first = openPM("ali");
    auto *second = new FrmPM(nullptr);
    second->setNick("ali");
    frmPMs.append(second);
    QPointer<FrmPM> gone = second;
    QVERIFY(second->close());
    deleteLaterNow();
    QVERIFY(!gone);
    QCOMPARE(frmPMs, QList<FrmPM *>{first});

    // A window that is not listed closes and goes all the same.
    QPointer<FrmPM> unlisted = new FrmPM(nullptr);
    unlisted->setNick("ali");
    QVERIFY(unlisted->close());
    deleteLaterNow();
    QVERIFY(!unlisted);
    QCOMPARE(frmPMs, QList<FrmPM *>{first});

    // A window deleted without closing leaves the list too.
    delete first.data();
    QVERIFY(frmPMs.isEmpty());
}

void TestFrmPM::sending_data()
{
    QTest::addColumn<QString>("peer");
    QTest::addColumn<QString>("txt");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("echo");
    QTest::newRow("plain") << "ali" << "hello" << QByteArray("ali|hello") << "hello";
    QTest::newRow("escaped peer and text")
        << "a|b:c@d" << "x:y|z@w" << QByteArray("a@l;b@n;c@arp;d|x@n;y@l;z@arp;w") << "x:y|z@w";
    QTest::newRow("bold three times")
        << "ali"
        << "<span style=\" font-weight:600;\">a</span><span style=\" font-weight:600;\">b</span>"
           "<span style=\" font-weight:600;\">c</span>"
        << QByteArray("ali|<span style=\" font-weight@n;bold;\">a</span>"
                      "<span style=\" font-weight@n;bold;\">b</span>"
                      "<span style=\" font-weight@n;bold;\">c</span>")
        << "abc";
    QTest::newRow("capitals kept")
        << "ali" << "<span style=\" FONT-WEIGHT:600;\">a</span>"
        << QByteArray("ali|<span style=\" FONT-WEIGHT@n;600;\">a</span>") << "a";
    QTest::newRow("arabic in CP-1256")
        << QString::fromUtf8("علي") << QString::fromUtf8("سلام")
        << QByteArray::fromHex("dae1ed7cd3e1c7e3") << QString::fromUtf8("سلام");
    QTest::newRow("outside the code page")
        << "ali" << QString::fromUtf8("a😀") << QByteArray("ali|a&#128512;")
        << QString::fromUtf8("a😀");
}

void TestFrmPM::sending()
{
    QFETCH(QString, peer);
    QFETCH(QString, txt);
    QFETCH(QByteArray, body);
    QFETCH(QString, echo);
    FrmPM *w = openPM(peer);
    send(w, txt);
    const QByteArray sent = m_peer.sent();
    QCOMPARE(sent, pmPacket(body));
    if (peer == QLatin1String("ali") && txt == QLatin1String("hello"))
        QCOMPARE(sent, QByteArray::fromHex("0400" "09000000") + "KW.TOVEN"
                           + "pm                              " + "ali|hello");
    // The echo is the own line, unescaped, waiting for its answer.
    QCOMPARE(linesOf(w), QStringList{"me:wait:" + echo});
    QCOMPARE(waitingPMs(), 1);
    if (txt.contains(QLatin1String("font-weight:600;")))
        QCOMPARE(pageOf(w)->findAllElements("span.messagetime ~ span").count(), 3);
}

void TestFrmPM::styleFromSettings()
{
    // The style the user left is the style of the next message, sent with
    // "font-weight:bold;".
    settings->setValue("colortxtforeground", QColor("#123456"));
    settings->setValue("colortxtbackground", QColor("#fedcba"));
    settings->setValue("colortxtBold", true);
    settings->setValue("colortxtItalic", true);
    settings->setValue("colortxtUnderline", true);
    settings->setValue("colortxtPointSize", 12);
    FrmPM *w = openPM("ali");
    QTest::keyClicks(inputOf(w), "styled");
    QTest::keyClick(inputOf(w), Qt::Key_Return);
    const QByteArray sent = m_peer.sent();
    QCOMPARE(sent.count("KW.TOVEN"), 1);
    QVERIFY(sent.startsWith(QByteArray::fromHex("0400")));
    const QByteArray body = sent.mid(kHeaderSize);
    QVERIFY(body.startsWith("ali|"));
    for (const char *part : {"font-weight@n;bold;", "font-style@n;italic;",
                             "text-decoration@n; underline;", "font-size@n;12pt;",
                             "color@n;#123456;", "background-color@n;#fedcba;", "styled"})
        QVERIFY2(body.contains(part), part);
    QVERIFY2(!body.contains("600"), body.constData());
    QVERIFY(!body.contains(':'));
    QVERIFY(!body.mid(4).contains('|'));
    QCOMPARE(cti(sent.mid(2, 4)), body.size());
    // The echo shows the same style.
    const QWebElement styled = pageOf(w)->findFirstElement("span.messagetime + span");
    QVERIFY2(styled.attribute("style").contains("font-weight:bold;"),
             qPrintable(styled.toOuterXml()));
    QCOMPARE(linesOf(w), QStringList{"me:wait:styled"});
}

void TestFrmPM::notSent_data()
{
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("size");
    QTest::newRow("connection closed") << true << 10;
    QTest::newRow("body too long") << false << kMaxBodySize;
}

void TestFrmPM::notSent()
{
    QFETCH(bool, closed);
    QFETCH(int, size);
    FrmPM *w = openPM("ali");
    if (closed) {
        CloseSocket();
        QVERIFY(m_peer.clientClosed());
    }
    send(w, QString(size, QLatin1Char('x')));
    // Shown, and shown as not delivered; nothing waits for an answer.
    QCOMPARE(statesOf(w), QStringLiteral("no"));
    QCOMPARE(waitingPMs(), 0);
    if (!closed) {
        QCOMPARE(m_peer.sent(), QByteArray());
        // A later message goes out and is answered as usual.
        send(w, "short");
        QCOMPARE(m_peer.sent(), pmPacket("ali|short"));
        deliver(wirePacket(7, "ok", "ali"));
        QCOMPARE(statesOf(w), QStringLiteral("no,time"));
    }
}

void TestFrmPM::answers_data()
{
    // sent: the peer of each own message in order; answers: "word:body";
    // lines: the states of the lines of each window; boxes: messages shown.
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("ok confirms the oldest")
        << QStringList{"ali", "ali"} << QStringList{"ok:ali"} << "ali=time,wait sara="
        << QStringList{};
    QTest::newRow("block refuses its own line")
        << QStringList{"ali", "ali"} << QStringList{"block:ali", "ok:ali"}
        << "ali=no,time sara=" << QStringList{};
    QTest::newRow("answers by peer")
        << QStringList{"ali", "sara", "ali"} << QStringList{"ok:sara", "block:ali"}
        << "ali=no,wait sara=time" << QStringList{};
    QTest::newRow("non naming the peer")
        << QStringList{"ali", "sara"} << QStringList{"non:sara"} << "ali=wait sara=no"
        << QStringList{"No Msg PM"};
    QTest::newRow("non without a name")
        << QStringList{"ali", "sara"} << QStringList{"non:", "ok:sara"} << "ali=no sara=time"
        << QStringList{"No Msg PM"};
    QTest::newRow("lock with an unknown body")
        << QStringList{"sara", "ali"} << QStringList{"lock:whatever"} << "ali=wait sara=no"
        << QStringList{"User Lock PM"};
    QTest::newRow("ok for a peer without messages")
        << QStringList{"ali"} << QStringList{"ok:sara", "block:omar"} << "ali=wait sara="
        << QStringList{};
    QTest::newRow("other words")
        << QStringList{"ali"} << QStringList{"OK:ali", "what:ali", "pm:ali"} << "ali=wait sara="
        << QStringList{};
    QTest::newRow("more answers than messages")
        << QStringList{"ali"} << QStringList{"ok:ali", "non:", "ok:ali"} << "ali=time sara="
        << QStringList{"No Msg PM"};
}

void TestFrmPM::answers()
{
    QFETCH(QStringList, sent);
    QFETCH(QStringList, answers);
    QFETCH(QString, lines);
    QFETCH(QStringList, boxes);
    FrmPM *ali = openPM("ali");
    FrmPM *sara = openPM("sara");
    for (const QString &peer : sent)
        send(peer == QLatin1String("ali") ? ali : sara, "to " + peer);
    m_peer.sent();
    ModalAnswerer answerer;
    QByteArray packets;
    for (const QString &a : answers)
        packets += wirePacket(7, a.section(QLatin1Char(':'), 0, 0).toLatin1(),
                              a.section(QLatin1Char(':'), 1).toLatin1());
    deliver(packets);
    QCOMPARE("ali=" + statesOf(ali) + " sara=" + statesOf(sara), lines);
    QCOMPARE(answerer.texts(), boxes);
    for (const ShownDialog &box : answerer.shown) {
        QCOMPARE(box.title, QStringLiteral("Title App"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    // Answers open no window.
    QCOMPARE(frmPMs, (QList<FrmPM *>{ali, sara}));
}

void TestFrmPM::answersOfClosedWindows()
{
    // The answer to a message of a closed window is used up, so that the
    // next answer goes to the message it belongs to.
    QPointer<FrmPM> old = openPM("ali");
    send(old, "one");
    old->close();
    deleteLaterNow();
    QVERIFY(!old);
    FrmPM *w = openPM("ali");
    send(w, "two");
    m_peer.sent();
    deliver(wirePacket(7, "ok", "ali"));
    QCOMPARE(linesOf(w), QStringList{"me:wait:two"});
    deliver(wirePacket(7, "ok", "ali"));
    QCOMPARE(linesOf(w), QStringList{"me:time:two"});
    QCOMPARE(waitingPMs(), 0);
}

void TestFrmPM::connectionLost()
{
    FrmPM *w = openPM("ali");
    send(w, "one");
    send(w, "two");
    QCOMPARE(waitingPMs(), 2);
    CloseSocket();
    QVERIFY(m_peer.clientClosed());
    QCOMPARE(statesOf(w), QStringLiteral("no,no"));
    QCOMPARE(waitingPMs(), 0);
    // On a new connection the first answer is to the first new message.
    QVERIFY(m_peer.connectClient());
    send(w, "three");
    QCOMPARE(m_peer.sent(), pmPacket("ali|three"));
    deliver(wirePacket(7, "ok", "ali"));
    QCOMPARE(statesOf(w), QStringLiteral("no,no,time"));
}

void TestFrmPM::incoming_data()
{
    // bodies: the code 7 "pm" bodies in CP-1256; windows: each window in
    // list order as "peer=line;line".
    QTest::addColumn<QList<QByteArray>>("bodies");
    QTest::addColumn<QStringList>("windows");
    QTest::newRow("opens a window") << QList<QByteArray>{"ali|hello"}
                                    << QStringList{"ali=ali:time:hello"};
    QTest::newRow("one window per peer")
        << QList<QByteArray>{"ali|a", "sara|b", "ali|c"}
        << QStringList{"ali=ali:time:a;ali:time:c", "sara=sara:time:b"};
    QTest::newRow("escaped bar in the nickname")
        << QList<QByteArray>{"a@l;b|hi", "a@l;b|again"}
        << QStringList{"a|b=a|b:time:hi;a|b:time:again"};
    QTest::newRow("first bar splits")
        << QList<QByteArray>{"ali|x|y@n;z"} << QStringList{"ali=ali:time:x|y:z"};
    QTest::newRow("markup of the peer")
        << QList<QByteArray>{"ali|<span style=\"font-weight@n;bold;\">b</span> &amp; t"}
        << QStringList{"ali=ali:time:b & t"};
    QTest::newRow("arabic sender")
        << QList<QByteArray>{QByteArray::fromHex("dae1ed7cd3e1c7e3")}
        << QStringList{QString::fromUtf8("علي=علي:time:سلام")};
    QTest::newRow("no bar") << QList<QByteArray>{"ali hello", ""} << QStringList{};
    QTest::newRow("empty sender") << QList<QByteArray>{"|hello"} << QStringList{};
}

void TestFrmPM::incoming()
{
    QFETCH(QList<QByteArray>, bodies);
    QFETCH(QStringList, windows);
    QByteArray packets;
    for (const QByteArray &body : bodies)
        packets += wirePacket(7, "pm", body);
    deliver(packets);
    QStringList got;
    for (FrmPM *w : frmPMs) {
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), "Chat To :" + w->getNick());
        got << w->getNick() + QLatin1Char('=') + linesOf(w).join(QLatin1Char(';'));
    }
    QCOMPARE(got, windows);
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmPM::openedFromContacts()
{
    frmusr->AddUsr("sara", 1);
    auto *view = frmusr->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    view->setCurrentItem(view->findItems("sara", Qt::MatchExactly | Qt::MatchRecursive).first());
    auto sendMessage = [] {
        QScopedPointer<QMenu> menu(frmusr->contactMenu());
        QVERIFY(menu);
        QAction *action = menu->actions().first();
        QCOMPARE(action->text(), QStringLiteral("SendMsg"));
        QVERIFY(action->isEnabled());
        action->trigger();
    };
    sendMessage();
    QCOMPARE(frmPMs.size(), 1);
    FrmPM *w = frmPMs.first();
    QCOMPARE(w->getNick(), QStringLiteral("sara"));
    QVERIFY(w->isVisible());
    // Again: the same window, brought back.
    w->hide();
    sendMessage();
    QCOMPARE(frmPMs, QList<FrmPM *>{w});
    QVERIFY(w->isVisible());
    // The peer's messages go to it.
    deliver(wirePacket(7, "pm", "sara|hi"));
    QCOMPARE(frmPMs, QList<FrmPM *>{w});
    QCOMPARE(linesOf(w), QStringList{"sara:time:hi"});
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmPM::openedFromSearch()
{
    frmserr = new FrmSerr(nullptr);
    frmserr->show();
    auto *list = frmserr->findChild<QListWidget *>(QStringLiteral("listWidget"));
    auto *button = frmserr->findChild<QPushButton *>(QStringLiteral("BSend_Msg"));
    frmserr->ADDusr("omar");
    frmserr->ADDusr("me");
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(frmPMs.isEmpty());
    list->setCurrentRow(0);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(frmPMs.size(), 1);
    QCOMPARE(frmPMs.first()->getNick(), QStringLiteral("omar"));
    QVERIFY(frmPMs.first()->isVisible());
    // The own nickname is not refused here.
    list->setCurrentRow(1);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(frmPMs.size(), 2);
    QCOMPARE(frmPMs.last()->getNick(), QStringLiteral("me"));
    QCOMPARE(m_peer.sent(), QByteArray());
}

void TestFrmPM::deadLoginClosesConversations()
{
    QPointer<FrmPM> ali = openPM("ali");
    QPointer<FrmPM> sara = openPM("sara");
    send(ali, "waiting");
    m_peer.sent();
    ModalAnswerer answers;
    int listedDuringBox = -1;
    bool shownDuringBox = true;
    answers.whileOpen([&](QDialog *) {
        listedDuringBox = frmPMs.size();
        shownDuringBox = (ali && ali->isVisible()) || (sara && sara->isVisible());
    });
    for (int i = 0; i < 4; ++i)
        QVERIFY(QMetaObject::invokeMethod(frmusr, "time_out", Qt::DirectConnection));
    QCOMPARE(answers.texts(), QStringList{"no connection"});
    QCOMPARE(m_quits, 1);
    // Both closed before the message was shown, and destroyed after.
    QCOMPARE(listedDuringBox, 0);
    QVERIFY(!shownDuringBox);
    QTRY_COMPARE(waitingPMs(), 0);
    deleteLaterNow();
    QVERIFY(!ali);
    QVERIFY(!sara);
}

QTEST_MAIN(TestFrmPM)
#include "tst_frmpm.moc"
