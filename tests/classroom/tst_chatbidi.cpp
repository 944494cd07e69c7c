// Lines, names and titles that mix Arabic and Latin, in both interface
// directions, as the conversation view draws them: every word is drawn once,
// inside its line and clear of the others, in the order that the line's own
// direction gives, and the line stands at the side where that direction
// starts. Positions come from the DOM's range rectangles of the live view.
#include "common/fonts.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/htmlsanitizer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

namespace {

QString ar(const char *utf8) { return QString::fromUtf8(utf8); }

struct Box
{
    double left = 0, right = 0, top = 0, bottom = 0;
    double width() const { return right - left; }
};

Box boxOf(const QJsonValue &v)
{
    const QJsonArray a = v.toArray();
    return Box{a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toDouble()};
}

// The rectangles of tokens (found in this order in the text of the element
// that selector picks, last match) and of the element itself.
struct Drawn
{
    Box element;
    Box time; // the line's time cell, when it has one
    QVector<Box> tokens;
    QString error;
};

Drawn draw(QWebFrame *frame, const QString &selector, const QStringList &tokens)
{
    static const QString script = QStringLiteral(
        "(function (selector, tokens) {"
        "  var all = document.querySelectorAll(selector);"
        "  if (!all.length) return JSON.stringify({error: 'no ' + selector});"
        "  var root = all[all.length - 1];"
        "  function rect(r) { return [r.left, r.right, r.top, r.bottom]; }"
        "  var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT, null, false);"
        "  var nodes = [], starts = [], text = '', n;"
        "  while ((n = walker.nextNode())) { nodes.push(n); starts.push(text.length); text += n.data; }"
        "  function at(offset) {"
        "    for (var i = nodes.length - 1; i >= 0; --i)"
        "      if (starts[i] <= offset) return [nodes[i], offset - starts[i]];"
        "    return [nodes[0], 0]; }"
        "  var time = root.querySelector('span.messagetime');"
        "  var from = time ? time.textContent.length : 0, out = [];"
        "  for (var k = 0; k < tokens.length; ++k) {"
        "    var i = text.indexOf(tokens[k], from);"
        "    if (i < 0) return JSON.stringify({error: 'no token ' + tokens[k] + ' in ' + text});"
        "    var range = document.createRange(), a = at(i), b = at(i + tokens[k].length);"
        "    range.setStart(a[0], a[1]); range.setEnd(b[0], b[1]);"
        "    out.push(rect(range.getBoundingClientRect())); from = i + tokens[k].length; }"
        "  return JSON.stringify({element: rect(root.getBoundingClientRect()),"
        "                         time: time ? rect(time.getBoundingClientRect()) : null,"
        "                         tokens: out});"
        "})(%1, %2)");
    const QString arguments =
        QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact));
    const QString json = frame
                             ->evaluateJavaScript(script.arg(arguments.mid(1, arguments.size() - 2),
                                                             QString::fromUtf8(
                                                                 QJsonDocument(QJsonArray::fromStringList(tokens))
                                                                     .toJson(QJsonDocument::Compact))))
                             .toString();
    const QJsonObject o = QJsonDocument::fromJson(json.toUtf8()).object();
    Drawn d;
    d.error = o.value(QStringLiteral("error")).toString();
    if (json.isEmpty())
        d.error = QStringLiteral("no result");
    d.element = boxOf(o.value(QStringLiteral("element")));
    if (o.value(QStringLiteral("time")).isArray())
        d.time = boxOf(o.value(QStringLiteral("time")));
    for (const QJsonValue &t : o.value(QStringLiteral("tokens")).toArray())
        d.tokens << boxOf(t);
    return d;
}

// The tokens from left to right, as drawn.
QStringList leftToRight(const Drawn &d, const QStringList &tokens)
{
    QVector<int> order(tokens.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return d.tokens.at(a).left < d.tokens.at(b).left; });
    QStringList out;
    for (int i : order)
        out << tokens.at(i);
    return out;
}

// Each token drawn, inside the element, clear of the others, on one line.
void verifyReadable(const Drawn &d, const QStringList &tokens)
{
    QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
    QCOMPARE(d.tokens.size(), tokens.size());
    for (int i = 0; i < tokens.size(); ++i) {
        const Box &t = d.tokens.at(i);
        const QString what = tokens.at(i) + QStringLiteral(" at %1..%2 in %3..%4")
                                                .arg(t.left).arg(t.right).arg(d.element.left)
                                                .arg(d.element.right);
        QVERIFY2(t.width() > 1, qPrintable("not drawn: " + what));
        QVERIFY2(t.left >= d.element.left - 1 && t.right <= d.element.right + 1,
                 qPrintable("outside its line: " + what));
        QVERIFY2(qAbs(t.top - d.tokens.first().top) < 4, qPrintable("on another line: " + what));
        for (int j = 0; j < i; ++j) {
            const Box &u = d.tokens.at(j);
            const double overlap = qMin(t.right, u.right) - qMax(t.left, u.left);
            QVERIFY2(overlap <= 1, qPrintable(QStringLiteral("%1 drawn over %2").arg(tokens.at(i), tokens.at(j))));
        }
    }
}

double leftmost(const Drawn &d)
{
    double x = d.tokens.first().left;
    for (const Box &t : d.tokens)
        x = qMin(x, t.left);
    return x;
}

double rightmost(const Drawn &d)
{
    double x = d.tokens.first().right;
    for (const Box &t : d.tokens)
        x = qMax(x, t.right);
    return x;
}

} // namespace

class TestChatBidi : public QObject
{
    Q_OBJECT
    Qt::LayoutDirection m_direction = Qt::RightToLeft;

    void setInterface(const QString &tag)
    {
        m_direction = tag.startsWith(QLatin1String("rtl")) ? Qt::RightToLeft : Qt::LeftToRight;
        QApplication::setLayoutDirection(m_direction);
    }

    // A shown control whose page was built for the current interface.
    void show(ControlTxt &c)
    {
        c.resize(600, 400);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        // The page's own style sheet has come in.
        QTRY_COMPARE(frameOf(c)
                         ->findFirstElement(QStringLiteral("#togglebutton"))
                         .styleProperty(QStringLiteral("display"), QWebElement::ComputedStyle),
                     QStringLiteral("none"));
    }

    static QWebFrame *frameOf(ControlTxt &c)
    {
        return c.findChild<QWebView *>(QStringLiteral("Web"))->page()->mainFrame();
    }

    // Rows for both interface directions: tag prefix rtl or ltr.
    template<typename AddRow>
    static void bothDirections(AddRow add)
    {
        add(QStringLiteral("rtl"), true);
        add(QStringLiteral("ltr"), false);
    }

private slots:
    void initTestCase() { installFonts(); }
    void cleanupTestCase() { QApplication::setLayoutDirection(Qt::LeftToRight); }

    void lines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tokens");    // in logical order
        QTest::addColumn<QStringList>("drawn");     // left to right
        QTest::addColumn<bool>("rightToLeft");      // the line's own direction
        bothDirections([](const QString &ui, bool rtlUi) {
            auto row = [&](const char *name, const QString &text, const QStringList &tokens,
                           const QStringList &drawn, bool rtl) {
                QTest::addRow("%s: %s", qPrintable(ui), name) << text << tokens << drawn << rtl;
            };
            const QString hello = ar("مرحبا"), welcome = ar("بكم");
            row("arabic only", ar("مرحبا بكم"), {hello, welcome}, {welcome, hello}, true);
            row("latin only", "Hello world", {"Hello", "world"}, {"Hello", "world"}, false);
            row("arabic first", ar("مرحبا Hello"), {hello, "Hello"}, {"Hello", hello}, true);
            row("latin first", ar("Hello مرحبا"), {"Hello", hello}, {"Hello", hello}, false);
            row("arabic around a latin phrase", ar("مرحبا Hello world بكم"),
                {hello, "Hello", "world", welcome}, {welcome, "Hello", "world", hello}, true);
            row("latin around an arabic phrase", ar("Hello مرحبا بكم world"),
                {"Hello", hello, welcome, "world"}, {"Hello", welcome, hello, "world"}, false);
            row("digits before arabic", ar("123 مرحبا"), {"123", hello}, {hello, "123"}, true);
            row("arabic then digits", ar("مرحبا 123"), {hello, "123"}, {"123", hello}, true);
            row("digits before latin", "123 Hello", {"123", "Hello"}, {"123", "Hello"}, false);
            row("latin then digits", "Hello 123", {"Hello", "123"}, {"Hello", "123"}, false);
            row("arabic in brackets, mark after", ar("(مرحبا)!"), {"(", hello, ")!"},
                {")!", hello, "("}, true);
            row("latin in brackets, mark after", "(Hello)!", {"(", "Hello", ")!"},
                {"(", "Hello", ")!"}, false);
            row("latin first, full stop after arabic", ar("Hello, مرحبا."), {"Hello,", hello, "."},
                {"Hello,", hello, "."}, false);
            row("arabic first, question mark after latin", ar("مرحبا Hello?"),
                {hello, "Hello", "?"}, {"?", "Hello", hello}, true);
            row("arabic comma", ar("مرحبا، Hello"), {ar("مرحبا،"), "Hello"},
                {"Hello", ar("مرحبا،")}, true);
            row("arabic digits", ar("العدد ١٢٣ هنا"), {ar("العدد"), ar("١٢٣"), ar("هنا")},
                {ar("هنا"), ar("١٢٣"), ar("العدد")}, true);
            row("vowel marks", ar("مُحَمَّدٌ Hello"), {ar("مُحَمَّدٌ"), "Hello"},
                {"Hello", ar("مُحَمَّدٌ")}, true);
            row("address after arabic", ar("مرحبا http://a.com/x?y=1"),
                {hello, "http://a.com/x?y=1"}, {"http://a.com/x?y=1", hello}, true);
            // No letter at all: the interface's direction.
            row("digits only", "123 456", {"123", "456"},
                rtlUi ? QStringList{"456", "123"} : QStringList{"123", "456"}, rtlUi);
        });
    }
    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, drawn);
        QFETCH(bool, rightToLeft);
        setInterface(QTest::currentDataTag());
        ControlTxt c;
        show(c);
        c.insertTxt(QStringLiteral("ali"), c.TestHtm(escapeHtml(text)), PeerLine);
        // A joined line and an own line are drawn the same way.
        c.insertTxt(QStringLiteral("ali"), escapeHtml(text), PeerLine);
        c.insertTxt(QStringLiteral("me"), escapeHtml(text), OwnLine);
        for (int line = 0; line < 3; ++line) {
            const Drawn d = draw(frameOf(c), QStringLiteral("div.message p"), tokens);
            verifyReadable(d, tokens);
            QCOMPARE(leftToRight(d, tokens), drawn);
            if (rightToLeft) {
                QVERIFY2(rightmost(d) >= d.element.right - 2, "not at the right edge");
            } else {
                QVERIFY2(leftmost(d) <= qMax(d.element.left, d.time.right) + 12,
                         "not at the left edge");
            }
            // Then the line before it.
            frameOf(c)->evaluateJavaScript(
                QStringLiteral("var all = document.querySelectorAll('div.message p');"
                               "all[all.length - 1].parentNode.removeChild(all[all.length - 1]);"));
        }
    }

    // The rest of an unbroken word wider than the box, and the words after
    // it, are drawn inside the box: no ink beside the box, on either side.
    void longWordInk_data()
    {
        QTest::addColumn<QString>("text");
        QString unbroken;
        while (unbroken.size() < 150)
            unbroken += ar("استقبال");
        QTest::addColumn<QString>("read");
        QTest::newRow("word, latin") << unbroken + " abc" << unbroken + " abc";
        QTest::newRow("word, arabic") << unbroken + ar(" كلمة") << unbroken + ar(" كلمة");
        QTest::newRow("styled, word, latin")
            << ar("<u>كلمة</u> ") + unbroken + " abc" << ar("كلمة ") + unbroken + " abc";
    }
    void longWordInk()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        setInterface(QStringLiteral("rtl"));
        ControlTxt c;
        show(c);
        c.insertTxt(QStringLiteral("ali"), c.TestHtm(text), PeerLine);
        QWebView *view = c.findChild<QWebView *>(QStringLiteral("Web"));
        const QString json =
            frameOf(c)
                ->evaluateJavaScript(QStringLiteral(
                    "(function () {"
                    "  var all = document.querySelectorAll('div.message p');"
                    "  var p = all[all.length - 1], box = p;"
                    "  while (box && box.className != 'messagemidcenter') box = box.parentNode;"
                    "  var b = box.getBoundingClientRect(), r = p.getBoundingClientRect();"
                    "  return JSON.stringify([b.left, b.right, r.top, r.bottom]); })()"))
                .toString();
        const QJsonArray a = QJsonDocument::fromJson(json.toUtf8()).array();
        QVERIFY2(a.size() == 4, qPrintable(json));
        const int left = int(a.at(0).toDouble()), right = int(a.at(1).toDouble());
        const int top = int(a.at(2).toDouble()), bottom = int(a.at(3).toDouble());
        QVERIFY2(bottom - top > 20, "the line did not wrap");
        const QImage image = view->grab().toImage();
        // Text ink is dark; the frame around the box is light.
        auto inkBeside = [&](int from, int to) {
            int ink = 0;
            for (int y = qMax(0, top); y < qMin(image.height(), bottom); ++y)
                for (int x = qMax(0, from); x < qMin(image.width(), to); ++x)
                    ink += qGray(image.pixel(x, y)) < 100;
            return ink;
        };
        const int outRight = inkBeside(right + 1, image.width());
        const int outLeft = inkBeside(0, left - 1);
        QVERIFY2(outRight == 0 && outLeft == 0,
                 qPrintable(QStringLiteral("ink beside the box %1..%2: %3 pixels right, %4 left")
                                .arg(left).arg(right).arg(outRight).arg(outLeft)));
        // Selected and copied as written.
        view->triggerPageAction(QWebPage::SelectAll);
        QVERIFY2(view->selectedText().contains(read), qPrintable(view->selectedText()));
    }

    // A zero-width joiner or non-joiner at the start or end of an Arabic
    // word: the word is still drawn, and the line reads as it was written.
    void joinersAtWordEdges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tokens"); // in logical order
        const QChar zwnj(0x200c), zwj(0x200d);
        QString tenApart;
        for (const QChar letter : ar("ابتثجحخدذر"))
            tenApart += letter + QString(zwnj);
        QTest::newRow("non-joiner after") << ar("اب") + zwnj << QStringList{ar("اب")};
        QTest::newRow("non-joiner before") << zwnj + ar("ابت") << QStringList{ar("ابت")};
        QTest::newRow("non-joiner after each letter")
            << tenApart << QStringList{tenApart.left(tenApart.size() - 1)};
        QTest::newRow("joiner after") << ar("اب") + zwj << QStringList{ar("اب")};
        QTest::newRow("joiner before") << zwj + ar("ابت") << QStringList{ar("ابت")};
        QTest::newRow("non-joiner before a blank")
            << ar("مرحبا") + zwnj + ar(" بكم") << QStringList{ar("مرحبا"), ar("بكم")};
        QTest::newRow("non-joiner before digits")
            << ar("اب") + zwnj + "123" << QStringList{ar("اب"), "123"};
        QTest::newRow("non-joiner inside") << ar("مي") + zwnj + ar("خواهم")
                                           << QStringList{ar("مي") + zwnj + ar("خواهم")};
    }
    void joinersAtWordEdges()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, tokens);
        setInterface(QStringLiteral("rtl"));
        ControlTxt c;
        show(c);
        c.insertTxt(QStringLiteral("ali"), c.TestHtm(escapeHtml(text)), PeerLine);
        const Drawn d = draw(frameOf(c), QStringLiteral("div.message p"), tokens);
        verifyReadable(d, tokens);
        const QString read = frameOf(c)
                                 ->evaluateJavaScript(QStringLiteral(
                                     "(function () {"
                                     "  var all = document.querySelectorAll('div.message p');"
                                     "  var p = all[all.length - 1];"
                                     "  var range = document.createRange();"
                                     "  range.setStartAfter(p.querySelector('span.messagetime'));"
                                     "  range.setEnd(p, p.childNodes.length);"
                                     "  return range.toString(); })()"))
                                 .toString();
        QCOMPARE(read, text);
    }

    // White space that the view collapses, typed or left where the filter
    // removed an element: every word is still drawn in its place.
    void collapsedSpaces_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QStringList>("drawn");
        bothDirections([](const QString &ui, bool) {
            auto row = [&](const char *name, const QString &html, const QStringList &tokens,
                           const QStringList &drawn) {
                QTest::addRow("%s: %s", qPrintable(ui), name) << html << tokens << drawn;
            };
            const QString hello = ar("مرحبا"), welcome = ar("بكم");
            const QStringList question{ar("سؤال:"), ar("ما"), ar("حكم"), ar("المد؟")};
            const QStringList questionDrawn{ar("المد؟"), ar("حكم"), ar("ما"), ar("سؤال:")};
            row("script removed between spaces", ar("سؤال: ما حكم <script>x</script> المد؟"),
                question, questionDrawn);
            row("comment removed between spaces", ar("سؤال: ما حكم <!-- x --> المد؟"), question,
                questionDrawn);
            row("two spaces typed", ar("مرحبا  بكم"), {hello, welcome}, {welcome, hello});
            row("spaces and a line break", ar("مرحبا \n\t  بكم"), {hello, welcome},
                {welcome, hello});
            row("spaces around an empty element", ar("مرحبا  <b></b>  بكم"), {hello, welcome},
                {welcome, hello});
            row("spaces after a styled word", ar("<b>مرحبا</b>   بكم"), {hello, welcome},
                {welcome, hello});
            row("spaces between the directions", ar("مرحبا  Hello  بكم"),
                {hello, "Hello", welcome}, {welcome, "Hello", hello});
            row("spaces in a latin line", ar("Hello  world  مرحبا"), {"Hello", "world", hello},
                {"Hello", "world", hello});
        });
    }
    void collapsedSpaces()
    {
        QFETCH(QString, html);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, drawn);
        setInterface(QTest::currentDataTag());
        ControlTxt c;
        show(c);
        c.insertTxt(QStringLiteral("ali"), c.TestHtm(html), PeerLine);
        c.insertTxt(QStringLiteral("me"), html, OwnLine);
        for (int line = 0; line < 2; ++line) {
            const Drawn d = draw(frameOf(c), QStringLiteral("div.message p"), tokens);
            verifyReadable(d, tokens);
            QCOMPARE(leftToRight(d, tokens), drawn);
            frameOf(c)->evaluateJavaScript(
                QStringLiteral("var all = document.querySelectorAll('div.message p');"
                               "all[all.length - 1].parentNode.removeChild(all[all.length - 1]);"));
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QStringList>("drawn");
        bothDirections([](const QString &ui, bool) {
            QTest::addRow("%s: latin name", qPrintable(ui))
                << "sara (2)" << QStringList{"sara", "(2)", ":"}
                << QStringList{"sara", "(2)", ":"};
            QTest::addRow("%s: arabic name", qPrintable(ui))
                << ar("أحمد 2") << QStringList{ar("أحمد"), "2", ":"}
                << QStringList{":", "2", ar("أحمد")};
            QTest::addRow("%s: mixed name", qPrintable(ui))
                << ar("ali_أحمد") << QStringList{"ali_", ar("أحمد"), ":"}
                << QStringList{"ali_", ar("أحمد"), ":"};
        });
    }
    void names()
    {
        QFETCH(QString, nick);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, drawn);
        setInterface(QTest::currentDataTag());
        ControlTxt c;
        show(c);
        c.insertTxt(nick, QStringLiteral("x"), PeerLine);
        const Drawn d = draw(frameOf(c), QStringLiteral("div.messagetextcontainer > p"), tokens);
        verifyReadable(d, tokens);
        QCOMPARE(leftToRight(d, tokens), drawn);
        // The name stands where the interface starts its lines.
        if (m_direction == Qt::RightToLeft)
            QVERIFY(rightmost(d) >= d.element.right - 2);
        else
            QVERIFY(leftmost(d) <= d.element.left + 2);
    }

    void titles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QStringList>("drawn");
        const QString caption = ar("المحادثة مع :");
        QTest::newRow("rtl: latin nickname")
            << plainTitleText(caption) + isolatedTitleText("sara (2)") << QString()
            << "div[id=headerChatWho] h2"
            << QStringList{ar("المحادثة"), ar("مع"), ":", "sara", "(2)"}
            << QStringList{"sara", "(2)", ":", ar("مع"), ar("المحادثة")};
        QTest::newRow("rtl: arabic nickname")
            << plainTitleText(caption) + isolatedTitleText(ar("أحمد")) << QString()
            << "div[id=headerChatWho] h2" << QStringList{ar("المحادثة"), ar("مع"), ":", ar("أحمد")}
            << QStringList{ar("أحمد"), ":", ar("مع"), ar("المحادثة")};
        QTest::newRow("ltr: arabic nickname")
            << plainTitleText("Chat To :") + isolatedTitleText(ar("أحمد 2")) << QString()
            << "div[id=headerChatWho] h2" << QStringList{"Chat", "To", ":", ar("أحمد"), "2"}
            << QStringList{"Chat", "To", ":", "2", ar("أحمد")};
        QTest::newRow("ltr: latin nickname")
            << plainTitleText("Chat To :") + isolatedTitleText("sara") << QString()
            << "div[id=headerChatWho] h2" << QStringList{"Chat", "To", ":", "sara"}
            << QStringList{"Chat", "To", ":", "sara"};
        QTest::newRow("rtl: mixed banner")
            << ar("درس English اليوم") << QString() << "div[id=headerChatWho] h2"
            << QStringList{ar("درس"), "English", ar("اليوم")}
            << QStringList{ar("اليوم"), "English", ar("درس")};
        QTest::newRow("ltr: mixed banner")
            << ar("Lesson العربية today") << QString() << "div[id=headerChatWho] h2"
            << QStringList{"Lesson", ar("العربية"), "today"}
            << QStringList{"Lesson", ar("العربية"), "today"};
        QTest::newRow("rtl: latin owner")
            << ar("درس") << "sara (2)" << "div[id=headerChatWho] p"
            << QStringList{"Owner", ":", "sara", "(2)"}
            << QStringList{"sara", "(2)", ":", "Owner"};
        QTest::newRow("ltr: arabic owner")
            << "Lesson" << ar("أحمد 2") << "div[id=headerChatWho] p"
            << QStringList{"Owner", ":", ar("أحمد"), "2"}
            << QStringList{"Owner", ":", "2", ar("أحمد")};
    }
    void titles()
    {
        QFETCH(QString, title);
        QFETCH(QString, owner);
        QFETCH(QString, selector);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, drawn);
        setInterface(QTest::currentDataTag());
        ControlTxt c;
        show(c);
        c.ChangeTitre(title, owner);
        const Drawn d = draw(frameOf(c), selector, tokens);
        verifyReadable(d, tokens);
        QCOMPARE(leftToRight(d, tokens), drawn);
        // Cleared, the title is drawn the same way again.
        c.ClearText();
        const Drawn again = draw(frameOf(c), selector, tokens);
        verifyReadable(again, tokens);
        QCOMPARE(leftToRight(again, tokens), drawn);
    }

    // Lines long enough to wrap, of every kind, as a room of the usual width
    // shows them: each line fragment stays inside its line and clear of the
    // line's time.
    void wrappedLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        bothDirections([](const QString &ui, bool) {
            auto row = [&](const char *name, const QString &text, int kind) {
                QTest::addRow("%s: %s", qPrintable(ui), name) << text << kind;
            };
            const QString mixedArabicFirst =
                ar("أهلا وسهلا <b>بالجميع</b> and welcome to everyone in this room today, "
                   "a long line that wraps at the edge of its box");
            const QString mixedLatinFirst =
                ar("Welcome to the lesson of today, مرحبا بكم جميعا في هذه الحلقة المباركة "
                   "and good luck to everyone here");
            const QString whisper =
                ar("سر بيننا: Hello يا علي، this is a whisper line that is long enough to wrap "
                   "around the edge of the box");
            const QString arabic = ar("السلام عليكم ورحمة الله وبركاته، مرحبا بكم في المجلس "
                                      "العام ونرجو أن تستفيدوا من هذا الدرس المبارك إن شاء الله");
            const QString latin = QStringLiteral(
                "The quick brown fox jumps over the lazy dog, again and again, until the line "
                "is far too long for its box");
            // An unbroken word far wider than the box, after a styled word
            // and a blank.
            QString unbroken;
            while (unbroken.size() < 1000)
                unbroken += ar("استقبال");
            const QString longAfterElement = ar("<u>كلمة</u> ") + unbroken + " abc";
            for (int kind : {int(PeerLine), int(WhisperLine), int(OwnLine)}) {
                const QByteArray k = QByteArray::number(kind);
                row(("long word after an element, kind " + k).constData(), longAfterElement, kind);
                row(("mixed, arabic first, kind " + k).constData(), mixedArabicFirst, kind);
                row(("mixed, latin first, kind " + k).constData(), mixedLatinFirst, kind);
                row(("whisper text, kind " + k).constData(), whisper, kind);
                row(("arabic, kind " + k).constData(), arabic, kind);
                row(("latin, kind " + k).constData(), latin, kind);
            }
        });
    }
    void wrappedLines()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        setInterface(QTest::currentDataTag());
        ControlTxt c;
        c.resize(480, 400);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTRY_COMPARE(frameOf(c)
                         ->findFirstElement(QStringLiteral("#togglebutton"))
                         .styleProperty(QStringLiteral("display"), QWebElement::ComputedStyle),
                     QStringLiteral("none"));
        c.insertTxt(QStringLiteral("omar"), c.TestHtm(text), kind);
        // Every fragment of the text after the time cell, line by line.
        const QString json =
            frameOf(c)
                ->evaluateJavaScript(QStringLiteral(
                    "(function () {"
                    "  var all = document.querySelectorAll('div.message p');"
                    "  var p = all[all.length - 1], time = p.querySelector('span.messagetime');"
                    "  var range = document.createRange();"
                    "  range.setStartAfter(time); range.setEnd(p, p.childNodes.length);"
                    "  function rect(r) { return [r.left, r.right, r.top, r.bottom]; }"
                    "  var out = [], rects = range.getClientRects();"
                    "  for (var i = 0; i < rects.length; ++i)"
                    "    if (rects[i].width > 0) out.push(rect(rects[i]));"
                    "  return JSON.stringify({line: rect(p.getBoundingClientRect()),"
                    "                         time: rect(time.getBoundingClientRect()),"
                    "                         fragments: out});"
                    "})()"))
                .toString();
        const QJsonObject o = QJsonDocument::fromJson(json.toUtf8()).object();
        const Box line = boxOf(o.value(QStringLiteral("line")));
        const Box time = boxOf(o.value(QStringLiteral("time")));
        const QJsonArray fragments = o.value(QStringLiteral("fragments")).toArray();
        QVERIFY2(fragments.size() > 1, qPrintable(json));
        double top = 1e9, bottom = -1e9;
        for (const QJsonValue &v : fragments) {
            const Box f = boxOf(v);
            top = qMin(top, f.top);
            bottom = qMax(bottom, f.bottom);
            const QString what = QStringLiteral("%1..%2 (line %3..%4, time %5..%6) in %7")
                                     .arg(f.left).arg(f.right).arg(line.left).arg(line.right)
                                     .arg(time.left).arg(time.right).arg(json);
            QVERIFY2(f.left >= line.left - 1 && f.right <= line.right + 1,
                     qPrintable("outside its line: " + what));
            const bool besideTime = f.top < time.bottom - 1 && f.bottom > time.top + 1;
            if (besideTime)
                QVERIFY2(f.left >= time.right - 1 || f.right <= time.left + 1,
                         qPrintable("over the time: " + what));
        }
        QVERIFY2(bottom - top > 20, "the line did not wrap");
    }
};

QTEST_MAIN(TestChatBidi)
#include "tst_chatbidi.moc"
