// The chat control offscreen: message boxes and their joining, pending lines
// and their confirmation, sending, the styled input and its settings, links,
// the PDF export, and hostile text that must stay inert in the page.
#include "common/fonts.h"
#include "common/hooks.h"
#include "mainwindow/chatpage.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/mytextedit.h"
#include "mainwindow/pure/htmlsanitizer.h"
#include "protocol/state.h"
#include "startup/program.h"
#include "support/modal.h"
#include "support/pdftext.h"

#include <QAction>
#include <QBuffer>
#include <QColorDialog>
#include <QMenu>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 1, 2), QTime(10, 20, 30));

QWebView *viewOf(ControlTxt &c) { return c.findChild<QWebView *>(QStringLiteral("Web")); }
QWebFrame *frameOf(ControlTxt &c) { return viewOf(c)->page()->mainFrame(); }
MyTextEdit *inputOf(ControlTxt &c) { return c.findChild<MyTextEdit *>(QStringLiteral("T1")); }
QAction *action(ControlTxt &c, const char *name)
{
    return c.findChild<QAction *>(QLatin1String(name));
}

bool showOnScreen(ControlTxt &c)
{
    c.resize(400, 300);
    c.show();
    return QTest::qWaitForWindowExposed(&c);
}

QStringList innerOf(QWebFrame *f, const QString &selector)
{
    QStringList out;
    for (const QWebElement &e : f->findAllElements(selector))
        out << e.toInnerXml();
    return out;
}

// The paragraphs of the lines, in order: each holds one time cell.
QList<QWebElement> linesOf(QWebFrame *f)
{
    QList<QWebElement> out;
    for (const QWebElement &cell : f->findAllElements(QStringLiteral("span.messagetime")))
        out << cell.parent();
    return out;
}

QStringList textsOf(QWebFrame *f, const QString &selector)
{
    QStringList out;
    for (const QWebElement &e : f->findAllElements(selector))
        out << e.toPlainText();
    return out;
}

void spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QString readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// A tiny web endpoint: answers GET of the files it was given, 404 otherwise,
// and records every path asked for.
class TinyWeb : public QTcpServer
{
public:
    QMap<QString, QByteArray> files;
    QStringList requested;

    TinyWeb()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->readAll();
                    const QByteArray path = request.split(' ').value(1);
                    requested << QString::fromUtf8(path);
                    const bool found = files.contains(QString::fromUtf8(path));
                    const QByteArray body = files.value(QString::fromUtf8(path));
                    s->write((found ? "HTTP/1.0 200 OK\r\n" : "HTTP/1.0 404 Not Found\r\n")
                             + QByteArray("Content-Length: ") + QByteArray::number(body.size())
                             + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
};

} // namespace

class TestControlTxt : public QObject
{
    Q_OBJECT
private:
    QTranslator catalogue; // English: tokens in Arabic, captions as their keys
    QList<QUrl> opened;
    QString saveAnswer;
    QStringList saveCaptions;

    void typeAndSend(ControlTxt &c, const QString &text, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClicks(inputOf(c), text);
        QTest::keyClick(inputOf(c), Qt::Key_Return, mods);
    }

    void chooseColour(ControlTxt &c, const char *which, const QColor &colour)
    {
        ModalAnswerer answerer;
        answerer.setDialogResult(QDialog::Accepted);
        answerer.whileOpen([colour](QDialog *d) {
            if (auto *dialog = qobject_cast<QColorDialog *>(d))
                dialog->setCurrentColor(colour);
        });
        action(c, which)->trigger();
        QCOMPARE(answerer.shown.size(), 1);
        QCOMPARE(answerer.shown.first().className, QString("QColorDialog"));
    }

    // Nothing that other users or the server sent may run or load in the page.
    void verifyInert(QWebFrame *f)
    {
        QCOMPARE(f->evaluateJavaScript(QStringLiteral("window.__pwned")).toInt(), 0);
        const QStringList ownScripts{QStringLiteral("qrc:/Resources/images/chat.js")};
        for (const QWebElement &s : f->findAllElements(QStringLiteral("script")))
            QVERIFY2(ownScripts.contains(s.attribute(QStringLiteral("src"))), qPrintable(s.toOuterXml()));
        QCOMPARE(f->findAllElements(QStringLiteral("style")).count(), 1);
        QCOMPARE(f->findAllElements(QStringLiteral("link")).count(), 1);
        for (const char *tag : {"iframe", "object", "embed", "form", "base", "meta[http-equiv=refresh]",
                                "svg", "math", "video", "source", "marquee", "details", "body *[autofocus]"})
            QVERIFY2(f->findAllElements(QLatin1String(tag)).count() == 0, tag);
        const QRegularExpression web(QStringLiteral("^(https?://|mailto:)"),
                                     QRegularExpression::CaseInsensitiveOption);
        const QRegularExpression picture(
            QStringLiteral("^(https?://|qrc:/Resources/images/logo\\.png$|qrc:///Resources/images/wait4\\.gif$)"),
            QRegularExpression::CaseInsensitiveOption);
        for (const QWebElement &e : f->findAllElements(QStringLiteral("*"))) {
            for (const QString &name : e.attributeNames())
                QVERIFY2(!name.startsWith(QLatin1String("on"), Qt::CaseInsensitive),
                         qPrintable(e.toOuterXml().left(200)));
            const QString style = e.attribute(QStringLiteral("style"));
            QVERIFY2(!style.contains(QLatin1String("url"), Qt::CaseInsensitive)
                         && !style.contains(QLatin1String("fixed"), Qt::CaseInsensitive),
                     qPrintable(style));
        }
        for (const QWebElement &a : f->findAllElements(QStringLiteral("a[href]")))
            QVERIFY2(web.match(a.attribute(QStringLiteral("href"))).hasMatch(), qPrintable(a.toOuterXml()));
        for (const QWebElement &i : f->findAllElements(QStringLiteral("img, audio[src], input")))
            QVERIFY2(i.tagName().toLower() == QLatin1String("input")
                         ? i.attribute(QStringLiteral("id")) == QLatin1String("vol-bar")
                         : picture.match(i.attribute(QStringLiteral("src"))).hasMatch(),
                     qPrintable(i.toOuterXml()));
    }

    // In the live view nothing of a line or title leaves its place: no
    // element is positioned, editable, pulled by a negative margin or drawn
    // larger than 48 pixels, and a
    // click on the header or on the lines around the hostile ones lands on
    // them, never on a link (the title's own links aside).
    void verifyInPlace(QWebFrame *f, bool titleLinks = false)
    {
        static const QString styles = QStringLiteral(
            "(function () { var bad = [];"
            "  var roots = [document.querySelector('div.messagecontainer'),"
            "               document.getElementById('headerChatWho')];"
            "  for (var r = 0; r < roots.length; ++r) {"
            "    var all = roots[r].querySelectorAll('*');"
            "    for (var i = 0; i < all.length; ++i) {"
            "      var s = getComputedStyle(all[i]), what = all[i].tagName + ' ';"
            "      if (s.position !== 'static') bad.push(what + 'position ' + s.position);"
            "      if (s.webkitUserModify !== 'read-only') bad.push(what + 'editable');"
            "      if (s.webkitTransform && s.webkitTransform !== 'none') bad.push(what + 'transform');"
            "      if (s.cssFloat !== 'none' && all[i].className !== 'messagetime') bad.push(what + 'float');"
            "      if (parseFloat(s.fontSize) > 48.01) bad.push(what + 'font size ' + s.fontSize);"
            "      var m = ['marginTop', 'marginBottom', 'marginLeft', 'marginRight', 'textIndent'];"
            "      for (var k = 0; k < m.length; ++k)"
            "        if (parseFloat(s[m[k]]) < 0) bad.push(what + m[k] + ' ' + s[m[k]]); } }"
            "  return bad.slice(0, 5).join('; '); })()");
        const QString bad = f->evaluateJavaScript(styles).toString();
        QVERIFY2(bad.isEmpty(), qPrintable(bad));

        static const QString clicks = QStringLiteral(
            "(function () {"
            "  function within(e, root) { for (; e; e = e.parentNode) if (e === root) return true; return false; }"
            "  function link(e) { for (; e; e = e.parentNode) if (e.tagName === 'A') return true; return false; }"
            "  function under(x, y, root, what, links) {"
            "    var e = document.elementFromPoint(x, y);"
            "    if (!e) return what + ': nothing';"
            "    if (!within(e, root)) return what + ': covered by ' + e.tagName + ' ' + e.className;"
            "    if (!links && link(e)) return what + ': a link';"
            "    return ''; }"
            "  var head = document.getElementById('header'), header = head.getBoundingClientRect();"
            "  var out = under(header.left + 20, header.top + 20, head, 'header', %1)"
            "         || under(header.right - 20, header.bottom - 20, head, 'header', %1);"
            "  var lines = document.querySelectorAll('div.message p');"
            "  for (var i = 0; i < lines.length && !out; ++i) {"
            "    var t = lines[i].textContent;"
            "    if (t.indexOf('before-line') < 0 && t.indexOf('after-line') < 0) continue;"
            "    var top = lines[i].getBoundingClientRect().top + window.pageYOffset;"
            "    window.scrollTo(0, top - 160);"
            "    var range = document.createRange(); range.selectNodeContents(lines[i]);"
            "    var r = range.getBoundingClientRect();"
            "    out = under((r.left + r.right) / 2, (r.top + r.bottom) / 2, lines[i], t); }"
            "  return out; })()");
        const QString covered =
            f->evaluateJavaScript(clicks.arg(titleLinks ? QLatin1String("true") : QLatin1String("false")))
                .toString();
        QVERIFY2(covered.isEmpty(), qPrintable(covered));
    }

private slots:
    void initTestCase()
    {
        // As the program does before anything is drawn: a face that the
        // engine looked up before then stays the system's copy.
        installFonts();
        QVERIFY(catalogue.load(QStringLiteral(":/Resources/Languages/english.qm")));
        QCoreApplication::installTranslator(&catalogue);
        hooks::setClock([] { return kNow; });
        hooks::setUrlHandler([this](const QUrl &url) {
            opened << url;
            return true;
        });
        hooks::setSaveFileHandler([this](const QString &caption, const QString &path, const QString &filter) {
            saveCaptions << caption << path << filter;
            return saveAnswer;
        });
    }

    void init()
    {
        settings->clear();
        opened.clear();
        saveCaptions.clear();
        saveAnswer.clear();
        path_web.clear();
        GethttpServer.clear();
    }

    void pageIsLockedDown()
    {
        ControlTxt c;
        const QWebSettings *s = viewOf(c)->page()->settings();
        QVERIFY(!s->testAttribute(QWebSettings::PluginsEnabled));
        QVERIFY(!s->testAttribute(QWebSettings::JavaEnabled));
        QVERIFY(!s->testAttribute(QWebSettings::DeveloperExtrasEnabled));
        QVERIFY(!s->testAttribute(QWebSettings::LocalContentCanAccessFileUrls));
        QWebFrame *f = frameOf(c);
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagecontainer")).count(), 1);
        QCOMPARE(innerOf(f, QStringLiteral("div[id=headerChatWho]")), QStringList{"<h2></h2>"});
        // Our own style sheet applies although local file access is off.
        QTRY_COMPARE(f->findFirstElement(QStringLiteral("#togglebutton"))
                         .styleProperty(QStringLiteral("display"), QWebElement::ComputedStyle),
                     QString("none"));
    }

    void sameSenderJoins()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        c.insertTxt("ali", "one", PeerLine);
        c.insertTxt("ali", "two", PeerLine);
        c.insertTxt("sara", "three", PeerLine);
        c.insertTxt("ali", "four", PeerLine);
        const QWebElementCollection boxes = f->findAllElements(QStringLiteral("div.messagebox"));
        QCOMPARE(boxes.count(), 3);
        QCOMPARE(textsOf(f, QStringLiteral("span.user")), QStringList({"ali :", "sara :", "ali :"}));
        QCOMPARE(boxes.at(0).findAll(QStringLiteral("span.messagetime")).count(), 2);
        QCOMPARE(boxes.at(0).findAll(QStringLiteral("div[id=insert]")).count(), 1);
        QCOMPARE(linesOf(f).at(1).toPlainText(), QString("10:20:30two"));
        QCOMPARE(boxes.at(1).toPlainText().contains("three"), true);
        // A case difference is another sender.
        c.insertTxt("Ali", "five", PeerLine);
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), 4);
    }

    void namesAreText_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<int>("boxes"); // after two lines of nick
        // The page writes these names with entities, so their lines never join.
        QTest::newRow("ampersand") << "a&b" << 2;
        QTest::newRow("less than") << "a<b" << 2;
        QTest::newRow("greater than") << "a>b" << 2;
        QTest::newRow("markup") << "<img src=x onerror=alert(1)><b>x</b>" << 2;
        QTest::newRow("quotes") << "a'b\"c" << 1;
        QTest::newRow("arabic") << QString::fromUtf8("أحمد") << 1;
    }
    void namesAreText()
    {
        QFETCH(QString, nick);
        QFETCH(int, boxes);
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        c.insertTxt(nick, "one", PeerLine);
        c.insertTxt(nick, "two", PeerLine);
        // Shown as typed, never as markup.
        QStringList names;
        for (int i = 0; i < boxes; ++i)
            names << nick + " :";
        QCOMPARE(textsOf(f, QStringLiteral("span.user")), names);
        QCOMPARE(f->findAllElements(QStringLiteral("span.user *")).count(), 0);
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), boxes);
        QCOMPARE(linesOf(f).count(), 2);
    }

    void lineTypes()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        QCOMPARE(c.insertTxt("ali", "hi", WhisperLine), 0);
        QCOMPARE(c.insertTxt("sara", "dropped text", WhisperSent), 0);
        QCOMPARE(c.insertTxt("omar", "odd", 7), 0);
        const QList<QWebElement> lines = linesOf(f);
        QCOMPARE(lines.count(), 3);
        QCOMPARE(lines.at(0).toInnerXml(),
                 QString("<span class=\"messagetime\">10:20:30</span><b><i><font color=\"#800000\">"
                         "Start Wisbar</font><br><font color=\"#000000\">hi</font><br>"
                         "<font color=\"#800000\">End Wisbar</font></i></b>"));
        QCOMPARE(lines.at(1).toInnerXml(),
                 QString("<span class=\"messagetime\"></span><font color=\"#800000\">Send Wisbar</font>"));
        QCOMPARE(lines.at(2).toPlainText(), QString("10:20:30odd"));
    }

    void placeholdersInText()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        c.insertTxt("%txt%", "at %time% for %user% %txt%", PeerLine);
        QCOMPARE(textsOf(f, QStringLiteral("span.user")), QStringList{"%txt% :"});
        QCOMPARE(linesOf(f).value(0).toPlainText(), QString("10:20:30at %time% for %user% %txt%"));
    }

    void pendingLinesConfirmInOrder()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        const QString marker = "<img width=\"16\" height=\"16\" src=\"qrc:///Resources/images/wait4.gif\">";
        const int first = c.insertTxt("me", "a", OwnLine);
        const int second = c.insertTxt("me", "b", OwnLine);
        const int third = c.insertTxt("me", "c", OwnLine);
        QVERIFY(first > 0 && second > first && third > second);
        QCOMPARE(c.pendingLines(), QList<int>({first, second, third}));
        QCOMPARE(innerOf(f, QStringLiteral("span.messagetime")), QStringList({marker, marker, marker}));

        hooks::setClock([] { return kNow.addSecs(5); });
        c.insertTime();
        hooks::setClock([] { return kNow.addSecs(9); });
        c.insertTime();
        hooks::setClock([] { return kNow; });
        QCOMPARE(innerOf(f, QStringLiteral("span.messagetime")),
                 QStringList({"10:20:35", "10:20:39", marker}));
        QCOMPARE(c.pendingLines(), QList<int>{third});
    }

    void pendingLinesByIdentity()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        const int a = c.insertTxt("me", "a", OwnLine);
        c.insertTxt("ali", "relayed", PeerLine);
        const int b = c.insertTxt("me", "b", OwnLine);
        const int d = c.insertTxt("me", "d", OwnLine);

        QVERIFY(c.refuseLine(b));
        QVERIFY(c.confirmLine(d));
        QVERIFY(!c.confirmLine(b)); // settled already
        QVERIFY(!c.refuseLine(d));
        QVERIFY(!c.confirmLine(9999));
        const QList<QWebElement> lines = linesOf(f);
        QCOMPARE(lines.at(0).findFirst("span.messagetime").findAll("img").count(), 1); // a still pending
        QCOMPARE(lines.at(2).findFirst("span.messagetime span.refused").toPlainText(),
                 QString("Not delivered"));
        QVERIFY(lines.at(2).toPlainText().endsWith("b"));
        QCOMPARE(lines.at(3).findFirst("span.messagetime").toPlainText(), QString("10:20:30"));
        // The oldest still pending is the one insertTime confirms.
        c.insertTime();
        QCOMPARE(lines.at(0).findFirst("span.messagetime").toPlainText(), QString("10:20:30"));
        QVERIFY(!c.confirmLine(a));
        QVERIFY(c.pendingLines().isEmpty());
    }

    void pendingLineWithBlocks()
    {
        // A picture line holds a paragraph of its own, which splits the line's
        // paragraph in the page: its time cell is still the one confirmed.
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        const QString picture = c.TestLink(QString::fromUtf8(":صورة:www.a.com/p.png:نه:"));
        const int a = c.insertTxt("me", picture, OwnLine);
        const int b = c.insertTxt("me", picture, OwnLine);
        const int d = c.insertTxt("me", "after", OwnLine);
        QCOMPARE(f->findAllElements("img[src='http://www.a.com/p.png']").count(), 2);
        QVERIFY(c.confirmLine(b));
        QVERIFY(c.confirmLine(d));
        QVERIFY(c.confirmLine(a));
        QCOMPARE(innerOf(f, QStringLiteral("span.messagetime")),
                 QStringList({"10:20:30", "10:20:30", "10:20:30"}));
    }

    void longMonologue()
    {
        // More lines than one line group holds, all joined in one box.
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        QList<int> ids;
        for (int i = 0; i < 150; ++i)
            ids << c.insertTxt("me", QString("line %1").arg(i), OwnLine);
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), 1);
        QVERIFY(c.refuseLine(ids.at(100)));
        for (int i = 0; i < 150; ++i)
            c.insertTime();
        const QList<QWebElement> lines = linesOf(f);
        QCOMPARE(lines.count(), 150);
        QCOMPARE(lines.at(100).toPlainText(), QString("Not deliveredline 100"));
        QCOMPARE(lines.at(149).toPlainText(), QString("10:20:30line 149"));
        QCOMPARE(lines.at(64).toPlainText(), QString("10:20:30line 64"));
    }

    void insertTimeWithNothingPending()
    {
        ControlTxt c;
        c.insertTxt("ali", "x", PeerLine);
        const QString before = frameOf(c)->toHtml();
        c.insertTime();
        QCOMPARE(frameOf(c)->toHtml(), before);
    }

    void clearKeepsTitle()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        c.ChangeTitre("Room", "ali");
        const int id = c.insertTxt("me", "a", OwnLine);
        c.ClearText();
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), 0);
        QCOMPARE(textsOf(f, QStringLiteral("div[id=headerChatWho] h2")), QStringList{"Room"});
        QVERIFY(!c.confirmLine(id));
        QVERIFY(c.pendingLines().isEmpty());
        c.insertTime();
        // Boxes start afresh after a clear: the same sender opens a new box.
        c.insertTxt("me", "b", PeerLine);
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), 1);
    }

    void titles()
    {
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        c.ChangeTitre(QString::fromUtf8(":عنوان:Welcome:ن: :وميض:now:ض:"), "");
        QCOMPARE(innerOf(f, QStringLiteral("div[id=headerChatWho]")),
                 QStringList{"<h2><p align=\"center\"><font color=\"#0000FF\"><b>Welcome</b></font></p> "
                             "<span class=\"css3-blink\">now</span></h2>"});
        QCOMPARE(c.title(), QString::fromUtf8(":عنوان:Welcome:ن: :وميض:now:ض:"));
        c.ChangeTitre("Room", "<b>ali</b>");
        QCOMPARE(textsOf(f, QStringLiteral("div[id=headerChatWho] p")), QStringList{"Owner : <b>ali</b>"});
        QCOMPARE(f->findAllElements(QStringLiteral("div[id=headerChatWho] b")).count(), 0);
        QCOMPARE(f->findAllElements(QStringLiteral("div[id=headerChatWho]")).count(), 1);
    }

    void catalogueTokens_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("ownerCaption");
        QTest::newRow("arabic") << "arabic" << QString::fromUtf8("المشرف");
        QTest::newRow("french") << "french" << "Owner";
        QTest::newRow("english") << "english" << "Owner";
    }
    void catalogueTokens()
    {
        QFETCH(QString, language);
        QFETCH(QString, ownerCaption);
        QCoreApplication::removeTranslator(&catalogue);
        QTranslator translator;
        QVERIFY(translator.load(":/Resources/Languages/" + language + ".qm"));
        QCoreApplication::installTranslator(&translator);
        const MarkupTokens t = ControlTxt::markupTokens();
        const MarkupTokens arabic = arabicMarkupTokens();
        QCOMPARE(QStringList({t.audio, t.audioEnd, t.notice, t.noticeEnd, t.flash, t.flashEnd, t.link,
                              t.linkText, t.linkEnd, t.titre, t.titreEnd, t.image, t.imageEnd}),
                 QStringList({arabic.audio, arabic.audioEnd, arabic.notice, arabic.noticeEnd,
                              arabic.flash, arabic.flashEnd, arabic.link, arabic.linkText,
                              arabic.linkEnd, arabic.titre, arabic.titreEnd, arabic.image,
                              arabic.imageEnd}));
        {
            ControlTxt c;
            c.ChangeTitre("Room", "ali");
            QCOMPARE(textsOf(frameOf(c), QStringLiteral("div[id=headerChatWho] p")),
                     QStringList{ownerCaption + " : ali"});
        }
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::installTranslator(&catalogue);
    }

    void returnSends_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("return") << int(Qt::NoModifier);
        QTest::newRow("shift return") << int(Qt::ShiftModifier);
    }
    void returnSends()
    {
        QFETCH(int, modifiers);
        ControlTxt c;
        QSignalSpy spy(&c, &ControlTxt::Sendtxt);
        typeAndSend(c, "hello www.a.com", Qt::KeyboardModifiers(modifiers));
        QCOMPARE(spy.count(), 1);
        const QString sent = spy.first().first().toString();
        QVERIFY2(sent.endsWith("hello <a target='_blank' href='http://www.a.com'>www.a.com</a>"),
                 qPrintable(sent));
        QVERIFY(!sent.contains("<body") && !sent.contains("</p>"));
        QCOMPARE(inputOf(c)->toPlainText(), QString());
        // Enter on the keypad sends too; no line break was ever typed.
        QTest::keyClicks(inputOf(c), "x");
        QTest::keyClick(inputOf(c), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(spy.count(), 2);
        QVERIFY(!spy.at(1).first().toString().contains("<br"));
    }

    void blankInputSendsNothing()
    {
        ControlTxt c;
        QSignalSpy spy(&c, &ControlTxt::Sendtxt);
        typeAndSend(c, "   ");
        QCOMPARE(spy.count(), 0);
        QCOMPARE(inputOf(c)->toPlainText(), QString());
        QMetaObject::invokeMethod(&c, "on_BSend_clicked");
        QCOMPARE(spy.count(), 0);
        QTest::keyClicks(inputOf(c), "x");
        QMetaObject::invokeMethod(&c, "on_BSend_clicked");
        QCOMPARE(spy.count(), 1);
    }

    void sentParagraphCarriesTheStyle()
    {
        ControlTxt c;
        QSignalSpy spy(&c, &ControlTxt::Sendtxt);
        action(c, "Bold")->trigger();
        action(c, "Italic")->trigger();
        action(c, "Underline")->trigger();
        action(c, "Size3")->trigger();
        chooseColour(c, "Foreground", QColor("#ff0000"));
        chooseColour(c, "Background", QColor("#00ff00"));
        QTest::keyClicks(inputOf(c), "bold ");
        action(c, "Bold")->trigger(); // back to a normal weight
        QTest::keyClicks(inputOf(c), "plain");
        QTest::keyClick(inputOf(c), Qt::Key_Return);
        QCOMPARE(spy.count(), 1);
        const QString first = spy.at(0).first().toString();
        for (const char *part : {"font-size:12pt;", "font-weight:600;", "font-style:italic;",
                                 "text-decoration: underline;", "color:#ff0000;",
                                 "background-color:#00ff00;", "bold ", "plain"})
            QVERIFY2(first.contains(QLatin1String(part)), part);
        // A normal weight is a valid CSS weight, never 0.
        QVERIFY2(!first.contains("font-weight:0;"), qPrintable(first));
        QCOMPARE(first.count("font-weight:600;"), 1);

        // The style chosen survives the send.
        QVERIFY(action(c, "Italic")->isChecked());
        QVERIFY(action(c, "Size3")->isChecked());
        QTest::keyClicks(inputOf(c), "again");
        QTest::keyClick(inputOf(c), Qt::Key_Return);
        const QString second = spy.at(1).first().toString();
        for (const char *part : {"font-size:12pt;", "font-style:italic;", "color:#ff0000;",
                                 "background-color:#00ff00;"})
            QVERIFY2(second.contains(QLatin1String(part)), part);
        QVERIFY(!second.contains("font-weight:600;"));
    }

    void toolBarItems()
    {
        ControlTxt c;
        auto *bar = c.findChild<QToolBar *>();
        QVERIFY(bar);
        QCOMPARE(bar->parentWidget()->objectName(), QString("Bar"));
        QStringList items;
        for (QAction *a : bar->actions())
            items << (a->isSeparator() ? QString("-") : a->objectName());
        QCOMPARE(items.mid(0, 10), QStringList({"Bold", "Italic", "Underline", "-", "Size1", "Size2",
                                                "Size3", "-", "Foreground", "Background"}));
        QCOMPARE(items.size(), 11);
        // Last, a drop-down button of three commands, ACT3 its own.
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(bar->actions().last()));
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QVERIFY(button->menu());
        QStringList menu;
        for (QAction *a : button->menu()->actions())
            menu << a->text();
        QCOMPARE(menu, QStringList({"ACT1", "ACT2", "ACT3"}));
        QCOMPARE(button->defaultAction(), button->menu()->actions().last());
        // They do nothing: the input and the page stay as they were.
        const QString input = inputOf(c)->toHtml();
        const QString page = frameOf(c)->toHtml();
        for (QAction *a : button->menu()->actions())
            a->trigger();
        QCOMPARE(inputOf(c)->toHtml(), input);
        QCOMPARE(frameOf(c)->toHtml(), page);
    }

    void sizesAreExclusive()
    {
        ControlTxt c;
        QVERIFY(action(c, "Size2")->isChecked());
        action(c, "Size1")->trigger();
        QCOMPARE(inputOf(c)->currentCharFormat().fontPointSize(), 8.0);
        QVERIFY(action(c, "Size1")->isChecked() && !action(c, "Size2")->isChecked()
                && !action(c, "Size3")->isChecked());
        action(c, "Size1")->trigger(); // pressed again it stays checked
        QVERIFY(action(c, "Size1")->isChecked());
    }

    void styleCommandsFormatTheSelection()
    {
        ControlTxt c;
        QTest::keyClicks(inputOf(c), "abc");
        QTextCursor cursor = inputOf(c)->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        inputOf(c)->setTextCursor(cursor);
        action(c, "Bold")->trigger();
        QTextCursor probe(inputOf(c)->document());
        probe.setPosition(1);
        QCOMPARE(probe.charFormat().fontWeight(), int(QFont::Bold));
        probe.setPosition(3);
        QCOMPARE(probe.charFormat().fontWeight(), int(QFont::Normal));
    }

    void cursorFollowsTheFormat()
    {
        ControlTxt c;
        QTextCharFormat format;
        format.setFontWeight(QFont::Bold);
        format.setFontItalic(true);
        format.setFontPointSize(9);
        QMetaObject::invokeMethod(&c, "on_T1_currentCharFormatChanged", Q_ARG(QTextCharFormat, format));
        QVERIFY(action(c, "Bold")->isChecked());
        QVERIFY(action(c, "Italic")->isChecked());
        QVERIFY(!action(c, "Underline")->isChecked());
        QVERIFY(action(c, "Size3")->isChecked());
        format.setFontPointSize(0);
        QMetaObject::invokeMethod(&c, "on_T1_currentCharFormatChanged", Q_ARG(QTextCharFormat, format));
        QVERIFY(action(c, "Size1")->isChecked() && !action(c, "Size3")->isChecked());
    }

    void colourChoices()
    {
        ControlTxt c;
        chooseColour(c, "Foreground", Qt::black);
        QCOMPARE(inputOf(c)->currentCharFormat().foreground().style(), Qt::NoBrush);
        chooseColour(c, "Background", Qt::white);
        QCOMPARE(inputOf(c)->currentCharFormat().background().style(), Qt::NoBrush);
        chooseColour(c, "Background", Qt::black);
        QCOMPARE(inputOf(c)->currentCharFormat().background().color(), QColor(Qt::black));
        // A cancelled dialog changes nothing.
        ModalAnswerer answerer;
        answerer.setDialogResult(QDialog::Rejected);
        action(c, "Background")->trigger();
        QCOMPARE(inputOf(c)->currentCharFormat().background().color(), QColor(Qt::black));
    }

    void defaultsWithoutSettings()
    {
        ControlTxt c;
        const QTextCharFormat f = inputOf(c)->currentCharFormat();
        QCOMPARE(f.foreground().style(), Qt::NoBrush);
        QCOMPARE(f.background().style(), Qt::NoBrush);
        QVERIFY(!action(c, "Bold")->isChecked());
        QVERIFY(!action(c, "Italic")->isChecked());
        QVERIFY(!action(c, "Underline")->isChecked());
        QVERIFY(action(c, "Size2")->isChecked());
        QCOMPARE(f.fontPointSize(), 10.0);
    }

    void settingsRoundTrip()
    {
        {
            ControlTxt c;
            action(c, "Bold")->trigger();
            action(c, "Underline")->trigger();
            action(c, "Size1")->trigger();
            chooseColour(c, "Foreground", QColor("#123456"));
            chooseColour(c, "Background", QColor("#fedcba"));
        }
        QCOMPARE(settings->value("colortxtforeground").value<QColor>(), QColor("#123456"));
        QCOMPARE(settings->value("colortxtbackground").value<QColor>(), QColor("#fedcba"));
        QCOMPARE(settings->value("colortxtBold").toBool(), true);
        QCOMPARE(settings->value("colortxtUnderline").toBool(), true);
        QCOMPARE(settings->value("colortxtItalic").toBool(), false);
        QCOMPARE(settings->value("colortxtPointSize").toInt(), 8);
        settings->sync();
        // Written to the store file of organisation Dastrel, application Settings.
        const QString stored = readFile(QStandardPaths::writableLocation(QStandardPaths::ConfigLocation)
                                        + "/Dastrel/Settings.conf");
        QVERIFY2(stored.contains("colortxtPointSize=8"), qPrintable(stored));

        ControlTxt next;
        const QTextCharFormat f = inputOf(next)->currentCharFormat();
        QCOMPARE(f.foreground().color(), QColor("#123456"));
        QCOMPARE(f.background().style(), Qt::SolidPattern);
        QCOMPARE(f.background().color(), QColor("#fedcba"));
        QCOMPARE(f.fontWeight(), int(QFont::Bold));
        QVERIFY(f.fontUnderline());
        QVERIFY(!f.fontItalic());
        QCOMPARE(f.fontPointSize(), 8.0);
        QVERIFY(action(next, "Bold")->isChecked() && action(next, "Size1")->isChecked());
    }

    // The store keeps "no background" as black, and reads black and white
    // as none, so settings written that way keep working.
    void storedBackgrounds_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QColor>("background"); // invalid: none
        QTest::newRow("absent") << QVariant() << QColor();
        QTest::newRow("black") << QVariant(QColor(Qt::black)) << QColor();
        QTest::newRow("white") << QVariant(QColor(Qt::white)) << QColor();
        QTest::newRow("a colour") << QVariant(QColor("#fedcba")) << QColor("#fedcba");
    }
    void storedBackgrounds()
    {
        QFETCH(QVariant, stored);
        QFETCH(QColor, background);
        if (stored.isValid())
            settings->setValue("colortxtbackground", stored);
        ControlTxt c;
        const QBrush brush = inputOf(c)->currentCharFormat().background();
        QCOMPARE(brush.style(), background.isValid() ? Qt::SolidPattern : Qt::NoBrush);
        if (background.isValid())
            QCOMPARE(brush.color(), background);
        // The swatch shows white for none.
        const QPixmap source(":/Resources/icons/coB.png");
        const QImage icon = action(c, "Background")->icon().pixmap(source.size()).toImage();
        const QImage expected =
            changecolor(source, background.isValid() ? background : Qt::white).toImage();
        QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32),
                 expected.convertToFormat(QImage::Format_ARGB32));
    }

    void blackBackgroundLastsWhileTheControlLives()
    {
        {
            ControlTxt c;
            chooseColour(c, "Background", Qt::black);
            QCOMPARE(inputOf(c)->currentCharFormat().background().style(), Qt::SolidPattern);
            QCOMPARE(inputOf(c)->currentCharFormat().background().color(), QColor(Qt::black));
        }
        QCOMPARE(settings->value("colortxtbackground").value<QColor>(), QColor(Qt::black));
        ControlTxt next;
        QCOMPARE(inputOf(next)->currentCharFormat().background().style(), Qt::NoBrush);
    }

    void noBackgroundIsStoredAsNone()
    {
        {
            ControlTxt c;
        }
        QCOMPARE(settings->value("colortxtbackground").value<QColor>(), QColor(Qt::black));
        QCOMPARE(settings->value("colortxtforeground").value<QColor>(), QColor(Qt::black));
        QCOMPARE(settings->value("colortxtPointSize").toInt(), 10);
        ControlTxt next;
        QCOMPARE(inputOf(next)->currentCharFormat().background().style(), Qt::NoBrush);
    }

    void storedSizes_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("checked");
        QTest::newRow("0") << 0 << 8.0 << "Size1";
        QTest::newRow("8") << 8 << 8.0 << "Size1";
        QTest::newRow("10") << 10 << 10.0 << "Size2";
        QTest::newRow("9") << 9 << 12.0 << "Size3";
        QTest::newRow("12") << 12 << 12.0 << "Size3";
    }
    void storedSizes()
    {
        QFETCH(int, stored);
        QFETCH(double, points);
        QFETCH(QString, checked);
        settings->setValue("colortxtPointSize", stored);
        ControlTxt c;
        QCOMPARE(inputOf(c)->currentCharFormat().fontPointSize(), points);
        for (const char *name : {"Size1", "Size2", "Size3"})
            QCOMPARE(action(c, name)->isChecked(), checked == QLatin1String(name));
    }

    void recolouredIcon()
    {
        QImage image(3, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0xff, 0x00, 0xff, 0xff));
        image.setPixel(1, 0, qRgba(0xff, 0x00, 0xff, 0x80)); // half transparent magenta
        image.setPixel(2, 0, qRgba(0x10, 0x20, 0x30, 0x00)); // transparent
        const QImage out = changecolor(QPixmap::fromImage(image), QColor("#0000ff")).toImage();
        QCOMPARE(QColor(out.pixel(0, 0)).rgb(), QColor("#0000ff").rgb());
        QCOMPARE(QColor(out.pixel(1, 0)).rgb(), QColor("#0000ff").rgb());
        QCOMPARE(qAlpha(out.pixel(2, 0)), 0);
        QCOMPARE(qAlpha(out.pixel(0, 0)), 255);
    }

    void scrolling()
    {
        ControlTxt c;
        QVERIFY(showOnScreen(c));
        QWebFrame *f = frameOf(c);
        for (int i = 0; i < 40; ++i)
            c.insertTxt(i % 2 ? "ali" : "sara", QString("line %1").arg(i), PeerLine);
        QVERIFY(f->scrollBarMaximum(Qt::Vertical) > 300);
        QCOMPARE(f->scrollBarValue(Qt::Vertical), f->scrollBarMaximum(Qt::Vertical));

        f->setScrollBarValue(Qt::Vertical, 0);
        c.insertTxt("omar", "relayed", PeerLine);
        QCOMPARE(f->scrollBarValue(Qt::Vertical), 0);
        c.insertTxt("me", "own", OwnLine);
        QCOMPARE(f->scrollBarValue(Qt::Vertical), f->scrollBarMaximum(Qt::Vertical));

        action(c, "stopText")->setChecked(true);
        f->setScrollBarValue(Qt::Vertical, 0);
        c.insertTxt("me", "own again", OwnLine);
        c.insertTxt("omar", "relayed", PeerLine);
        QCOMPARE(f->scrollBarValue(Qt::Vertical), 0);
        action(c, "stopText")->setChecked(false); // unchecking scrolls down at once
        QCOMPARE(f->scrollBarValue(Qt::Vertical), f->scrollBarMaximum(Qt::Vertical));
    }

    void contextMenus()
    {
        ControlTxt c;
        QVERIFY(showOnScreen(c));
        QMetaObject::invokeMethod(&c, "on_Web_customContextMenuRequested", Q_ARG(QPoint, QPoint(5, 5)));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList names;
        for (QAction *a : menu->actions())
            names << (a->isSeparator() ? QString("-") : a->objectName());
        QCOMPARE(names, QStringList({"viewCopy", "-", "stopText", "-", "save"}));
        menu->close();
        QMetaObject::invokeMethod(&c, "on_T1_customContextMenuRequested", Q_ARG(QPoint, QPoint(5, 5)));
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        names.clear();
        for (QAction *a : menu->actions())
            names << a->objectName();
        QCOMPARE(names, QStringList({"inputCopy", "cut", "paste"}));
        menu->close();
    }

    void linksOpenOutside()
    {
        ControlTxt c;
        QVERIFY(showOnScreen(c));
        QWebFrame *f = frameOf(c);
        c.insertTxt("ali", c.TestHtm(c.TestLink("see www.example.com/x now")), PeerLine);
        const QWebElement link = f->findFirstElement(QStringLiteral("a[href]"));
        QVERIFY(!link.isNull());
        const QPoint at = link.geometry().center() - QPoint(0, f->scrollBarValue(Qt::Vertical));
        QTest::mouseClick(viewOf(c), Qt::LeftButton, Qt::NoModifier, at);
        QTRY_COMPARE(opened, QList<QUrl>{QUrl("http://www.example.com/x")});
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), 1);

        // Only web and mail addresses leave the program.
        opened.clear();
        for (const char *url : {"javascript:alert(1)", "file:///etc/passwd", "about:blank",
                                "mailto:a@b.c", "https://a.com/"})
            QMetaObject::invokeMethod(&c, "on_Web_linkClicked", Q_ARG(QUrl, QUrl(QLatin1String(url))));
        QCOMPARE(opened, QList<QUrl>({QUrl("mailto:a@b.c"), QUrl("https://a.com/")}));
    }

    void receivedHtmlIsBalanced()
    {
        ControlTxt c;
        QCOMPARE(c.TestHtm("<b>x<i>y"), QString("<b>x<i>y</i></b>"));
        QCOMPARE(c.TestHtm("<p>a<p>b"), QString("<p>a</p><p>b</p>"));
        QCOMPARE(c.TestHtm("a &amp; &lt;b&gt;"), QString("a &amp; &lt;b&gt;"));
        QCOMPARE(c.TestHtm(QString::fromUtf8("سلام")), QString::fromUtf8("سلام"));
    }

    void longLinesAreCutAndMarked_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("shown"); // characters of the line's text shown
        QTest::addColumn<bool>("marked");
        const int bound = kLineBounds.text;
        QTest::newRow("1 MB of ampersands") << QString(1 << 20, QLatin1Char('&')) << bound << true;
        QTest::newRow("1 MB of bold letters")
            << QStringLiteral("<b>x</b>").repeated((1 << 20) / 8) << kLineBounds.elements << true;
        QTest::newRow("1 MB of words")
            << QString::fromUtf8("مرحبا Hello ").repeated((1 << 20) / 12) << bound << true;
        QTest::newRow("at the bound") << QString(bound, QLatin1Char('a')) << bound << false;
        QTest::newRow("one past the bound") << QString(bound + 1, QLatin1Char('a')) << bound << true;
    }
    void longLinesAreCutAndMarked()
    {
        QFETCH(QString, line);
        QFETCH(int, shown);
        QFETCH(bool, marked);
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        // Received (filtered, parsed and shown), joined to the same box, and
        // shown directly as an own line.
        c.insertTxt("ali", c.TestHtm(line), PeerLine);
        c.insertTxt("ali", c.TestHtm(line), PeerLine);
        c.insertTxt("me", line, OwnLine);
        const QList<QWebElement> lines = linesOf(f);
        QCOMPARE(lines.count(), 3);
        for (const QWebElement &p : lines) {
            const QWebElementCollection markers = p.findAll(QStringLiteral("span.truncated"));
            QCOMPARE(markers.count(), marked ? 1 : 0);
            QString text = p.toPlainText();
            text.remove(0, p.findFirst(QStringLiteral("span.messagetime")).toPlainText().size());
            if (marked) {
                QCOMPARE(markers.at(0).toPlainText(), QString("[Message too long, the rest was cut]"));
                QVERIFY(text.endsWith(markers.at(0).toPlainText()));
                text.chop(markers.at(0).toPlainText().size());
            }
            QCOMPARE(text.size(), shown);
        }
        // A title is bounded the same way.
        c.ChangeTitre(line, QString());
        QCOMPARE(f->findAllElements(QStringLiteral("div[id=headerChatWho] span.truncated")).count(),
                 line.size() > kTitleBounds.text ? 1 : 0);
    }

    // The cut-off marker speaks the interface's language and reads in the
    // direction of its own words, brackets included, in a line of either
    // direction on a page of either direction.
    void truncationMarkerReadsInItsOwnDirection_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("rightToLeftPage");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<bool>("markerRightToLeft");
        const QString arabicWords = QString::fromUtf8("مرحبا بكم ").repeated(kLineBounds.text / 10 + 1);
        const QString latinWords = QStringLiteral("Hello all ").repeated(kLineBounds.text / 10 + 1);
        const QString arabic = QString::fromUtf8("[الرسالة طويلة جدا، تم قطع الباقي]");
        const QString french = QString::fromUtf8("[Message trop long, la suite a été coupée]");
        const QString english = QStringLiteral("[Message too long, the rest was cut]");
        QTest::newRow("arabic, arabic line") << "arabic" << true << arabicWords << arabic << true;
        QTest::newRow("arabic, latin line") << "arabic" << true << latinWords << arabic << true;
        QTest::newRow("english on a right-to-left page, arabic line")
            << "english" << true << arabicWords << english << false;
        QTest::newRow("french, arabic line") << "french" << false << arabicWords << french << false;
        QTest::newRow("french on a right-to-left page, arabic line")
            << "french" << true << arabicWords << french << false;
        QTest::newRow("english, latin line") << "english" << false << latinWords << english << false;
    }
    void truncationMarkerReadsInItsOwnDirection()
    {
        QFETCH(QString, language);
        QFETCH(bool, rightToLeftPage);
        QFETCH(QString, words);
        QFETCH(QString, marker);
        QFETCH(bool, markerRightToLeft);
        QCoreApplication::removeTranslator(&catalogue);
        QTranslator translator;
        QVERIFY(translator.load(":/Resources/Languages/" + language + ".qm"));
        QCoreApplication::installTranslator(&translator);
        const Qt::LayoutDirection before = QApplication::layoutDirection();
        QApplication::setLayoutDirection(rightToLeftPage ? Qt::RightToLeft : Qt::LeftToRight);
        auto restore = qScopeGuard([&] {
            QApplication::setLayoutDirection(before);
            QCoreApplication::removeTranslator(&translator);
            QCoreApplication::installTranslator(&catalogue);
        });
        ControlTxt c;
        QVERIFY(showOnScreen(c));
        c.insertTxt("ali", c.TestHtm(words), PeerLine);
        c.insertTxt("me", words, OwnLine);
        const QWebElementCollection markers =
            frameOf(c)->findAllElements(QStringLiteral("span.truncated"));
        QCOMPARE(markers.count(), 2);
        for (QWebElement m : markers) {
            QCOMPARE(m.toPlainText(), marker);
            // Centres of the first two and the last two characters as drawn.
            const QVariantList x = m.evaluateJavaScript(QStringLiteral(
                "(function (el) {"
                "  var w = document.createTreeWalker(el, NodeFilter.SHOW_TEXT, null, false);"
                "  var nodes = [], n, total = 0;"
                "  while ((n = w.nextNode())) { nodes.push(n); total += n.data.length; }"
                "  function centre(i) {"
                "    for (var k = 0; k < nodes.length; ++k) {"
                "      var len = nodes[k].data.length;"
                "      if (i < len) { var r = document.createRange();"
                "        r.setStart(nodes[k], i); r.setEnd(nodes[k], i + 1);"
                "        var b = r.getBoundingClientRect(); return (b.left + b.right) / 2; }"
                "      i -= len; }"
                "    return null; }"
                "  return [centre(0), centre(1), centre(total - 2), centre(total - 1)];"
                "})(this)")).toList();
            QCOMPARE(x.size(), 4);
            const QString seen = QStringLiteral("'[' at %1, next at %2; before ']' at %3, ']' at %4")
                                     .arg(x.at(0).toDouble()).arg(x.at(1).toDouble())
                                     .arg(x.at(2).toDouble()).arg(x.at(3).toDouble());
            const bool opensBefore = markerRightToLeft ? x.at(0).toDouble() > x.at(1).toDouble()
                                                       : x.at(0).toDouble() < x.at(1).toDouble();
            const bool closesAfter = markerRightToLeft ? x.at(3).toDouble() < x.at(2).toDouble()
                                                       : x.at(3).toDouble() > x.at(2).toDouble();
            QVERIFY2(opensBefore && closesAfter, qPrintable(seen));
        }
    }

    // Relative sizes nested in a line or a title: the text is drawn at most
    // 48 pixels high, and where the nesting stays below that, as written.
    // Sizes are the computed ones of the live page, in pixels, of every
    // element of the line (or title) in document order.
    void drawnSizeIsBounded_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("lineSizes");
        QTest::addColumn<QString>("titleSizes");
        const QString percent = QStringLiteral("<span style='font-size:300%'>");
        QTest::newRow("300% three deep") << percent.repeated(3) + "x" << "40 48 48" << "48 48 48";
        QTest::newRow("300% eight deep")
            << percent.repeated(8) + "x" << "40 48 48 48 48 48 48 48" << "48 48 48 48 48 48 48 48";
        QTest::newRow("3em three deep") << QString("<span style='font-size:3em'>").repeated(3) + "x"
                                        << "40 48 48" << "48 48 48";
        QTest::newRow("larger nine deep")
            << QString("<span style='font-size:larger'>").repeated(9) + "x"
            << "16 19.2 23.04 27.65 33.18 39.81 47.78 48 48" << "20.8 24.96 29.95 35.94 43.13 48 48 48 48";
        QTest::newRow("big nine deep") << QString("<big>").repeated(9) + "x"
                                       << "16 19.2 23.04 27.65 33.18 39.81 47.78 48 48"
                                       << "20.8 24.96 29.95 35.94 43.13 48 48 48 48";
        QTest::newRow("big and sup in turn") << QString("<big><sup>").repeated(4) + "x"
                                             << "16 13.33 16 13.33 16 13.33 16 13.33"
                                             << "20.8 17.33 20.8 17.33 20.8 17.33 20.8 17.33";
        QTest::newRow("font size 7, then larger")
            << "<font size=7><span style='font-size:larger'>x" << "48 48" << "48 48";
        QTest::newRow("font size +4, then big") << "<font size=+4><big>x" << "48 48" << "48 48";
        QTest::newRow("xx-large, then 200%")
            << "<span style='font-size:xx-large'><span style='font-size:200%'>x" << "32 48" << "32 48";
        QTest::newRow("small, then 300%") << "<small><span style='font-size:300%'>x"
                                          << "11.11 33.33" << "14.44 43.33";
        QTest::newRow("a size of its own stops the nesting")
            << percent + "<span style='font-size:20px'>" + percent + "x" << "40 20 48" << "48 20 48";
        QTest::newRow("side by side") << percent + percent + "a</span></span>" + percent + "b"
                                      << "40 48 40" << "48 48 48";
        QTest::newRow("headings are not kept") << "<h1><h1><h1>x" << "" << "";
        // The engine sizes text that leaves a lone monospace family by other
        // rules: 59 pixels here, were it kept.
        QTest::newRow("leaving monospace")
            << "<span style='font-family:monospace'><span style='font-size:xx-small'>" + percent
                   + "<span style='font-size:177%'><span style='font-family:serif'>x"
            << "13.33 9 27 47.79 47.79" << "17.33 9 27 47.79 47.79";
        QTest::newRow("monospace font, then larger")
            << "<font face=monospace size=6><span style='font-size:larger'><font face=serif>x"
            << "32 38.4 38.4" << "32 38.4 38.4";
        // A paragraph of the header has a size of its own.
        QTest::newRow("paragraph") << "<p>" + percent + "x" << "13.33 40" << "12 36";
    }
    void drawnSizeIsBounded()
    {
        QFETCH(QString, html);
        QFETCH(QString, lineSizes);
        QFETCH(QString, titleSizes);
        ControlTxt c;
        c.resize(600, 800);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QWebFrame *f = frameOf(c);
        // The page's own style sheet has come in: it sizes the text around.
        QTRY_COMPARE(f->findFirstElement(QStringLiteral("#togglebutton"))
                         .styleProperty(QStringLiteral("display"), QWebElement::ComputedStyle),
                     QStringLiteral("none"));
        c.insertTxt("ali", c.TestHtm(html), PeerLine);
        c.insertTxt("me", html, OwnLine);
        c.ChangeTitre(html, QString());
        const QString sizes = QStringLiteral(
            "(function (root) {"
            "  function ours(e) {"
            "    var first = e.firstElementChild;"
            "    return e.className === 'messagetime' || e.parentNode.className === 'messagetime'"
            "        || !e.textContent || first && first.className === 'messagetime'; }"
            "  var out = [], all = root.querySelectorAll('*');"
            "  for (var i = 0; i < all.length; ++i) {"
            "    if (ours(all[i]))"
            "      continue;"
            "    out.push(Math.round(parseFloat(getComputedStyle(all[i]).fontSize) * 100) / 100); }"
            "  return out.join(' '); })(%1)");
        // The text of each line, the page's own elements around it aside.
        QStringList lines;
        for (QWebElement message : f->findAllElements(QStringLiteral("div.message")))
            lines << message.evaluateJavaScript(sizes.arg(QStringLiteral("this"))).toString();
        QCOMPARE(lines, QStringList({lineSizes, lineSizes}));
        QCOMPARE(f->evaluateJavaScript(sizes.arg(QStringLiteral("document.querySelector('#headerChatWho h2')")))
                     .toString(),
                 titleSizes);
    }

    void hostileCorpus_data()
    {
        QTest::addColumn<QString>("text");
        QDir dir(QStringLiteral(VELMAR_SOURCE_DIR "/tests/fuzz/corpus/fuzz_markup"));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() > 20);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << readFile(dir.filePath(file));
    }
    void hostileCorpus()
    {
        QFETCH(QString, text);
        ControlTxt c;
        c.resize(600, 800);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QWebFrame *f = frameOf(c);
        f->evaluateJavaScript(QStringLiteral("window.__pwned = 0;"
                                             "window.alert = function () { window.__pwned = 1; };"
                                             "window.msgbox = window.alert;"));
        c.ChangeTitre(QStringLiteral("Room"), QString());
        c.insertTxt("omar", "before-line", PeerLine);
        c.insertTxt("ali", c.TestHtm(text), PeerLine);
        c.insertTxt(text, "x", PeerLine);
        c.insertTxt("me", c.TestLink(text), OwnLine);
        c.insertTxt("sara", text, WhisperLine);
        c.insertTxt("omar", "after-line", PeerLine);
        spin(100);
        verifyInert(f);
        // The page is still whole: header, container, and the six boxes.
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagecontainer")).count(), 1);
        QCOMPARE(f->findAllElements(QStringLiteral("div.messagebox")).count(), 6);
        QCOMPARE(f->findAllElements(QStringLiteral("div[id=headerChatWho]")).count(), 1);
        verifyInPlace(f);
        // The same as a title.
        c.ChangeTitre(text, text);
        verifyInert(f);
        verifyInPlace(f, true);
    }

    void pdfExport()
    {
        QTemporaryDir dir;
        ControlTxt c;
        c.ChangeTitre(QString::fromUtf8(":صوت:http://127.0.0.1:1/s.mp3:ت: Room"), "ali");
        c.insertTxt("ali", "first line of the lesson", PeerLine);
        saveAnswer = dir.filePath("lesson.pdf");
        QMetaObject::invokeMethod(&c, "menusave");
        QCOMPARE(saveCaptions.value(0), QString("save file"));
        QCOMPARE(saveCaptions.value(1), QDir::homePath() + "/velmar_2026-01-02_10.20.30.pdf");
        QCOMPARE(saveCaptions.value(2), QString("PDF (*.pdf)"));
        QVERIFY(QFileInfo(saveAnswer).size() > 0);
        QProcess text;
        text.start("pdftotext", {saveAnswer, "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains("first line of the lesson"), qPrintable(printed));
        QVERIFY2(printed.contains("Room"), qPrintable(printed));
        // The player is not printed; the page on screen keeps it.
        QCOMPARE(frameOf(c)->findAllElements("audio").count(), 1);
        QCOMPARE(frameOf(c)->findAllElements("div[id=player]").count(), 1);
    }

    void pdfExportUnderTheStyleSheet()
    {
        // As the program runs: its fonts, and its application style sheet
        // drawing every widget.
        installFonts();
        const QString before = qApp->styleSheet();
        qApp->setStyleSheet(readStyleSheet(QStringLiteral(":/Resources/stylesheet.qss")));
        QVERIFY(!qApp->styleSheet().isEmpty());
        QTemporaryDir dir;
        ControlTxt c;
        c.ChangeTitre(QStringLiteral("Room"), "ali");
        c.insertTxt("ali", QString::fromUtf8("السلام عليكم"), PeerLine);
        c.insertTxt("omar", "good morning", PeerLine);
        saveAnswer = dir.filePath("lesson.pdf");
        QMetaObject::invokeMethod(&c, "menusave");
        qApp->setStyleSheet(before);
        const QString printed = pdfText(saveAnswer);
        QVERIFY2(printed.contains("Room") && printed.contains("good morning")
                     && printed.contains(QString::fromUtf8("السلام عليكم")),
                 qPrintable(printed));
    }

    // What the chat shows, Arabic included, is in the PDF's text: it can be
    // searched and copied.
    void pdfExportKeepsTheText_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("expected");
        const auto u = [](const char *s) { return QString::fromUtf8(s); };
        QTest::newRow("room line") << u("حلقة التجويد") << u("أحمد") << u("عمر")
                                   << u("السلام عليكم ورحمة الله") << int(PeerLine)
                                   << QStringList{u("حلقة التجويد"), u("أحمد"), u("عمر"),
                                                  u("السلام عليكم ورحمة الله")};
        QTest::newRow("private line") << u("Chat To :سارة") << QString() << u("سارة")
                                      << u("هل راجعت درس الأمس") << int(PeerLine)
                                      << QStringList{u("سارة"), u("هل راجعت درس الأمس")};
        QTest::newRow("whisper") << u("المجلس العام") << QString() << u("مريم")
                                 << u("لا تنس الواجب") << int(WhisperLine)
                                 << QStringList{u("مريم"), u("لا تنس الواجب")};
        QTest::newRow("own line, bold") << QString() << QString() << u("علي")
                                        << u("<span style=\" font-weight:600;\">مرحبا بكم في الدرس</span>")
                                        << int(OwnLine) << QStringList{u("مرحبا بكم في الدرس")};
        QTest::newRow("mixed line") << u("Lesson حلقة الفيزياء") << "ali" << "ali"
                                    << u("موعد الدرس lesson 3 بعد الظهر") << int(PeerLine)
                                    << QStringList{u("حلقة الفيزياء"), "Lesson", "ali",
                                                   u("موعد الدرس"), "lesson 3", u("بعد الظهر")};
    }

    void pdfExportKeepsTheText()
    {
        QFETCH(QString, title);
        QFETCH(QString, owner);
        QFETCH(QString, user);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        ControlTxt c;
        c.ChangeTitre(title, owner);
        c.insertTxt(user, text, type);
        saveAnswer = dir.filePath("lesson.pdf");
        QMetaObject::invokeMethod(&c, "menusave");
        const QString printed = pdfText(saveAnswer);
        for (const QString &shown : expected)
            QVERIFY2(printed.contains(shown), qPrintable(shown + "\n---\n" + printed));
    }

    void pdfExportWhileStyleSheetsLoad()
    {
        // The endpoint's style sheet never comes: the export prints all the same.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        path_web = QString("http://127.0.0.1:%1/velmar/").arg(silent.serverPort());
        QTemporaryDir dir;
        ControlTxt c;
        c.insertTxt("ali", "first line of the lesson", PeerLine);
        saveAnswer = dir.filePath("lesson.pdf");
        QMetaObject::invokeMethod(&c, "menusave");
        QProcess text;
        text.start("pdftotext", {saveAnswer, "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains("first line of the lesson"), qPrintable(printed));
    }

    void pdfExportCancelled()
    {
        ModalAnswerer answerer;
        ControlTxt c;
        saveAnswer.clear();
        QMetaObject::invokeMethod(&c, "menusave");
        QCOMPARE(saveCaptions.size(), 3);
        QVERIFY(answerer.shown.isEmpty());
        QVERIFY(QDir::home().entryList({"velmar_*.pdf"}).isEmpty());
    }

    void pdfExportFailureIsReported()
    {
        ModalAnswerer answerer;
        QTemporaryDir dir;
        ControlTxt c;
        c.insertTxt("ali", "x", PeerLine);
        saveAnswer = dir.filePath("missing-folder/lesson.pdf");
        QMetaObject::invokeMethod(&c, "menusave");
        QCOMPARE(answerer.shown.size(), 1);
        QCOMPARE(answerer.shown.first().icon, QMessageBox::Warning);
        QVERIFY(answerer.shown.first().text.contains("could not be saved"));
        QVERIFY(answerer.shown.first().text.contains(saveAnswer));
        QVERIFY(!QFileInfo::exists(saveAnswer));
    }

    void endpointFilesComeFromTheChosenEntry()
    {
        TinyWeb web;
        web.files.insert("/velmar/chat/list.css", "ul { color: rgb(1, 2, 3); }");
        web.files.insert("/velmar/chat/chat.js", "window.instituteScript = 7;");
        path_web = QString("http://127.0.0.1:%1/velmar/").arg(web.serverPort());
        ControlTxt c;
        QWebFrame *f = frameOf(c);
        QTRY_COMPARE(web.requested.size(), 2);
        QCOMPARE(QSet<QString>(web.requested.begin(), web.requested.end()),
                 QSet<QString>({"/velmar/chat/list.css", "/velmar/chat/chat.js"}));
        QTRY_COMPARE(f->evaluateJavaScript("window.instituteScript").toInt(), 7);
        QCOMPARE(f->findAllElements("link").count(), 2);
    }

    void pageLoadsOnlyWebPictures()
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(7, 5, QImage::Format_RGB32).save(&buffer, "PNG");
        QTemporaryDir dir;
        QFile file(dir.filePath("p.png"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(png) == png.size());
        file.close();
        TinyWeb web;
        web.files.insert("/p.png", png);

        QWebView view;
        view.setPage(new ChatPage(ChatPage::Role::View, &view));
        view.setHtml(QString("<img id='web' src='http://127.0.0.1:%1/p.png'><img id='file' src='%2'>")
                         .arg(web.serverPort())
                         .arg(QUrl::fromLocalFile(file.fileName()).toString()));
        QWebFrame *f = view.page()->mainFrame();
        QTRY_COMPARE(f->evaluateJavaScript("document.getElementById('web').naturalWidth").toInt(), 7);
        spin(100);
        QCOMPARE(f->evaluateJavaScript("document.getElementById('file').naturalWidth").toInt(), 0);
        QCOMPARE(web.requested, QStringList{"/p.png"});

        // The parser page loads nothing at all.
        ChatPage parser(ChatPage::Role::Parse, nullptr);
        parser.mainFrame()->setHtml(QString("<img src='http://127.0.0.1:%1/p.png'>").arg(web.serverPort()));
        spin(100);
        QCOMPARE(web.requested.size(), 1);
    }

    void endpointOnlyFromWebAddresses_data()
    {
        QTest::addColumn<QString>("web");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("http") << "http://127.0.0.1:1/velmar/" << true;
        QTest::newRow("https") << "https://127.0.0.1:1/velmar/" << true;
        QTest::newRow("local page") << "file:///tmp/s.html#" << false;
        QTest::newRow("ftp") << "ftp://127.0.0.1:1/velmar/" << false;
        QTest::newRow("http without host") << "http:velmar/" << false;
        QTest::newRow("at sign alone") << "http://@" << false;
        QTest::newRow("user and password") << "http://user:pw@127.0.0.1:1/velmar/" << false;
    }

    // The entry's web path gives the page its institute files only over
    // http and https.
    void endpointOnlyFromWebAddresses()
    {
        QFETCH(QString, web);
        QFETCH(bool, loaded);
        path_web = web;
        ControlTxt c;
        QStringList links;
        for (const QWebElement &e : frameOf(c)->findAllElements("link, script"))
            links << e.attribute("href") + e.attribute("src");
        QStringList expected{"qrc:/Resources/images/format.css"};
        if (loaded)
            expected << web + "chat/list.css";
        expected << "qrc:/Resources/images/chat.js";
        if (loaded)
            expected << web + "chat/chat.js";
        QCOMPARE(links, expected);
    }

    void endpointFromTheConfiguredBase()
    {
        path_web.clear();
        GethttpServer = "http://127.0.0.1:1/velmar/index.php";
        ControlTxt c;
        QStringList links;
        for (const QWebElement &e : frameOf(c)->findAllElements("link, script"))
            links << e.attribute("href") + e.attribute("src");
        QCOMPARE(links, QStringList({"qrc:/Resources/images/format.css",
                                     "http://127.0.0.1:1/velmar/chat/list.css",
                                     "qrc:/Resources/images/chat.js",
                                     "http://127.0.0.1:1/velmar/chat/chat.js"}));
        GethttpServer = "file:///tmp/";
        ControlTxt local;
        QCOMPARE(frameOf(local)->findAllElements("link").count(), 1);
        QCOMPARE(frameOf(local)->findAllElements("script").count(), 1);
    }

    // Without an entry's web path, the configured base gives the page its
    // institute files only when it passes the same check.
    void configuredBaseOnlyAsAWebAddress_data()
    {
        QTest::addColumn<QString>("base");
        QTest::newRow("no host") << "http:///velmar/index.php";
        QTest::newRow("user and password") << "http://user:pw@127.0.0.1:1/velmar/index.php";
        QTest::newRow("empty user name") << "http://@127.0.0.1:1/velmar/index.php";
        QTest::newRow("ftp") << "ftp://127.0.0.1:1/velmar/index.php";
    }
    void configuredBaseOnlyAsAWebAddress()
    {
        QFETCH(QString, base);
        path_web.clear();
        GethttpServer = base;
        ControlTxt c;
        QStringList links;
        for (const QWebElement &e : frameOf(c)->findAllElements("link, script"))
            links << e.attribute("href") + e.attribute("src");
        QCOMPARE(links, QStringList({"qrc:/Resources/images/format.css",
                                     "qrc:/Resources/images/chat.js"}));
    }
};

QTEST_MAIN(TestControlTxt)
#include "tst_controltxt.moc"
