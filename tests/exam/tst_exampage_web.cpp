// Built pages in a real web view: the forms the page walk relies on, the
// keyboard scripts, the style sheet, and the answers read back from the page.
#include "core/pure/answers.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "supervision/pure/gradinglists.h"
#include "supervision/pure/marks.h"
#include "supervision/pure/results.h"

#include "common/webprint.h"
#include "support/pdftext.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>
#include <QtTest>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

class RecordingPage : public QWebPage
{
public:
    QStringList alerts;
    QStringList console;

protected:
    void javaScriptAlert(QWebFrame *, const QString &msg) override { alerts << msg; }
    void javaScriptConsoleMessage(const QString &message, int line, const QString &source) override
    {
        console << QString("%1:%2: %3").arg(source).arg(line).arg(message);
    }
};

// Six records: limit 10, no limit, a type-9 record, three check boxes, two
// radio buttons and a limit that is not a number; with hostile texts.
const QString exam = "6|Hello <script>window.hacked = 1;</script>|1|10|Free|1|-1|Skip|9"
                     "|Pick some|2|3|a|b|<input type=checkbox>|Pick one|3|2|yes|no|Word limit|1|abc";

// The page walk of the exam sheet: one entry per form, in document order.
QVector<PageForm> walk(QWebFrame *frame)
{
    QVector<PageForm> forms;
    for (const QWebElement &form : frame->findAllElements("form")) {
        PageForm f;
        const QWebElementCollection areas = form.findAll("textarea");
        f.hasTextArea = areas.count() > 0;
        if (f.hasTextArea)
            f.text = QWebElement(areas.at(0)).evaluateJavaScript("this.value").toString();
        for (QWebElement input : form.findAll("input"))
            f.checked << (input.evaluateJavaScript("this.checked").toString() != "false");
        forms << f;
    }
    return forms;
}

QString js(QWebFrame *frame, const QString &script)
{
    return frame->evaluateJavaScript(script).toString();
}

// Where the web view draws each letter of the elements the selector finds,
// against the element's box: one line "element|word|letter|left|right|top|box
// left|box right" per letter that is not a blank or a mark, words counted in
// the text.
const char kLetterBoxes[] = R"JS(
(function (selector) {
    var out = [];
    var elements = document.querySelectorAll(selector);
    for (var e = 0; e < elements.length; ++e) {
        var box = elements[e].getBoundingClientRect();
        var walker = document.createTreeWalker(elements[e], NodeFilter.SHOW_TEXT, null, false);
        var word = 0;
        var inWord = false;
        while (walker.nextNode()) {
            var node = walker.currentNode;
            for (var i = 0; i < node.data.length; ++i) {
                if (/\s/.test(node.data.charAt(i))) {
                    if (inWord)
                        ++word;
                    inWord = false;
                    continue;
                }
                inWord = true;
                if (/[\u064b-\u065f\u0670]/.test(node.data.charAt(i)))
                    continue; // marks over a letter take no width of their own
                var range = document.createRange();
                range.setStart(node, i);
                range.setEnd(node, i + 1);
                var r = range.getBoundingClientRect();
                out.push([e, word, node.data.charAt(i), r.left, r.right, Math.round(r.top),
                          box.left, box.right].join('|'));
            }
        }
    }
    return out.join('\n');
})
)JS";

// The letters of the elements of selector that are drawn without width or
// outside their element, and the words drawn over another word of the line.
QStringList misplacedLetters(QWebFrame *frame, const QString &selector)
{
    struct Word
    {
        QString text;
        double left = 1e9, right = -1e9;
    };
    QMap<QString, Word> words; // by element, line and word
    QStringList bad;
    const QString lines =
        js(frame, QString::fromLatin1(kLetterBoxes) + "('" + selector + "')");
    for (const QString &line : lines.split('\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split('|');
        const double left = f[3].toDouble();
        const double right = f[4].toDouble();
        const QString where = selector + "[" + f[0] + "] " + f[2];
        if (right - left < 1)
            bad << where + " has no width";
        else if (left < f[6].toDouble() - 0.5 || right > f[7].toDouble() + 0.5)
            bad << where + " lies outside its box";
        Word &w = words[f[0] + "|" + f[5] + "|" + f[1]];
        w.text += f[2];
        w.left = qMin(w.left, left);
        w.right = qMax(w.right, right);
    }
    for (auto a = words.cbegin(); a != words.cend(); ++a) {
        for (auto b = std::next(a); b != words.cend(); ++b) {
            if (a.key().section('|', 0, 1) == b.key().section('|', 0, 1)
                && qMin(a->right, b->right) - qMax(a->left, b->left) > 0.5)
                bad << selector + " " + a->text + " lies over " + b->text;
        }
    }
    if (words.isEmpty())
        bad << selector + " has no letters";
    return bad;
}
// Where the view draws tokens of the text of an element (the index-th that
// selector picks), found in this order in its text: one [left, right, top]
// each, or {"error": ...}.
const char kTokenBoxes[] = R"JS(
(function (selector, index, tokens) {
    var root = document.querySelectorAll(selector)[index];
    if (!root)
        return JSON.stringify({error: 'no ' + selector + ' ' + index});
    var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT, null, false);
    var nodes = [], starts = [], text = '', n;
    while ((n = walker.nextNode())) { nodes.push(n); starts.push(text.length); text += n.data; }
    function at(offset, end) {
        for (var i = nodes.length - 1; i >= 0; --i)
            if (starts[i] < offset || (starts[i] == offset && !end))
                return [nodes[i], offset - starts[i]];
        return [nodes[0], 0];
    }
    var out = [], from = 0;
    for (var k = 0; k < tokens.length; ++k) {
        var i = text.indexOf(tokens[k], from);
        if (i < 0)
            return JSON.stringify({error: 'no ' + tokens[k] + ' in ' + text});
        var range = document.createRange(), a = at(i, false), b = at(i + tokens[k].length, true);
        range.setStart(a[0], a[1]);
        range.setEnd(b[0], b[1]);
        var r = range.getBoundingClientRect();
        out.push([r.left, r.right, r.top]);
        from = i + tokens[k].length;
    }
    return JSON.stringify({tokens: out});
})
)JS";

// The tokens of an element from left to right as the view draws them, each
// drawn with a width, on the first token's line and over no other token; the
// failure instead.
QString drawnOrder(QWebFrame *frame, const QString &selector, int index, const QStringList &tokens,
                   QStringList *order)
{
    const QJsonArray arguments{selector, index, QJsonArray::fromStringList(tokens)};
    const QString call = "(" + QString::fromLatin1(kTokenBoxes) + ").apply(null, "
                         + QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact))
                         + ")";
    const QString json = frame->evaluateJavaScript(call).toString();
    const QJsonObject o = QJsonDocument::fromJson(json.toUtf8()).object();
    if (o.contains("error") || !o.value("tokens").isArray())
        return json.isEmpty() ? QString("no result") : json;
    const QJsonArray boxes = o.value("tokens").toArray();
    QVector<int> byLeft;
    for (int i = 0; i < boxes.size(); ++i) {
        const QJsonArray b = boxes.at(i).toArray();
        if (b.at(1).toDouble() - b.at(0).toDouble() < 1)
            return tokens.at(i) + " drawn without width: " + json;
        if (qAbs(b.at(2).toDouble() - boxes.at(0).toArray().at(2).toDouble()) > 4)
            return tokens.at(i) + " drawn on another line: " + json;
        for (int j = 0; j < i; ++j) {
            const QJsonArray c = boxes.at(j).toArray();
            if (qMin(b.at(1).toDouble(), c.at(1).toDouble()) - qMax(b.at(0).toDouble(), c.at(0).toDouble()) > 1)
                return tokens.at(i) + " drawn over " + tokens.at(j) + ": " + json;
        }
        byLeft << i;
    }
    std::sort(byLeft.begin(), byLeft.end(), [&](int a, int b) {
        return boxes.at(a).toArray().at(0).toDouble() < boxes.at(b).toArray().at(0).toDouble();
    });
    order->clear();
    for (int i : byLeft)
        *order << tokens.at(i);
    return QString();
}

// The width of the page's content and of the view, and the view's scroll.
struct PageSpan
{
    int contents = 0;
    int view = 0;
    QPoint scroll;
    int scrollMaximum = 0;
};

PageSpan pageSpan(QWebFrame *frame, QWidget *view)
{
    return {frame->contentsSize().width(), view->width(), frame->scrollPosition(),
            frame->scrollBarMaximum(Qt::Horizontal)};
}

} // namespace

#define VERIFY_IN_PLACE(selector)                                                                \
    do {                                                                                         \
        const QStringList _bad = misplacedLetters(frame(), QString::fromUtf8(selector));        \
        QVERIFY2(_bad.isEmpty(), qPrintable(_bad.join("; ")));                                   \
    } while (0)

class TestExamPageWeb : public QObject
{
    Q_OBJECT
private:
    QWebView *view = nullptr;
    RecordingPage *page = nullptr;

    QWebFrame *frame() { return page->mainFrame(); }
    void load(const QString &html)
    {
        page->alerts.clear();
        page->console.clear();
        QSignalSpy loaded(frame(), &QWebFrame::loadFinished);
        frame()->setHtml(html, QUrl());
        if (loaded.isEmpty())
            QVERIFY(loaded.wait(10000));
        QCOMPARE(loaded.first().first().toBool(), true);
    }

private slots:
    void init()
    {
        view = new QWebView;
        page = new RecordingPage;
        page->setParent(view);
        view->setPage(page);
        view->resize(900, 700);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    void cleanup()
    {
        delete view;
        view = nullptr;
        page = nullptr;
    }

    void examPageForms()
    {
        load(ExtracImtihan(exam));
        if (QTest::currentTestFailed())
            return;
        const QWebElementCollection forms = frame()->findAllElements("form");
        QCOMPARE(forms.count(), 5);
        const QStringList maxlengths = {"10", "-1", "", "", "-1"};
        const QList<int> inputs = {0, 0, 3, 2, 0};
        for (int i = 0; i < forms.count(); ++i) {
            const QWebElementCollection areas = forms.at(i).findAll("textarea");
            QCOMPARE(areas.count(), maxlengths.at(i).isEmpty() ? 0 : 1);
            if (areas.count())
                QCOMPARE(areas.at(0).attribute("maxlength"), maxlengths.at(i));
            QCOMPARE(forms.at(i).findAll("input").count(), inputs.at(i));
        }
        for (const QWebElement &input : forms.at(2).findAll("input"))
            QCOMPARE(input.attribute("type"), QString("checkbox"));
        for (const QWebElement &input : forms.at(3).findAll("input")) {
            QCOMPARE(input.attribute("type"), QString("radio"));
            QCOMPARE(input.attribute("name"), QString("R1"));
        }
        QCOMPARE(frame()->findAllElements("script").count(), 1);
        QCOMPARE(js(frame(), "typeof window.hacked"), QString("undefined"));
        QCOMPARE(js(frame(), "document.getElementById('soal2').textContent"),
                 QString("Hello <script>window.hacked = 1;</script>"));
        // The style sheets load from the resources.
        QCOMPARE(js(frame(), "getComputedStyle(document.getElementById('soal')).color"),
                 QString("rgb(255, 0, 0)"));
        QCOMPARE(js(frame(), "getComputedStyle(document.getElementsByTagName('input')[0]).backgroundColor"),
                 QString("rgb(250, 250, 250)"));
        QCOMPARE(page->console, QStringList());
        QCOMPARE(page->alerts, QStringList());
    }

    void keyboardScripts()
    {
        load(ExtracImtihan(exam));
        if (QTest::currentTestFailed())
            return;
        const QString limited = "document.getElementsByTagName('textarea')[0]";
        const QString free = "document.getElementsByTagName('textarea')[1]";
        const QString note = "document.getElementsByTagName('form')[%1].getElementsByTagName('div')[0].innerHTML";
        QCOMPARE(js(frame(), limited + ".focus(); keybordvr('abcdefghijk')"), QString("ok"));
        QCOMPARE(js(frame(), limited + ".value"), QString("abcdefghij"));
        QCOMPARE(js(frame(), note.arg(0)), u("عدد الحروف المتبقية :0"));
        QCOMPARE(js(frame(), "keyborddel()"), QString("ok"));
        QCOMPARE(js(frame(), limited + ".value"), QString("abcdefghi"));
        QCOMPARE(js(frame(), note.arg(0)), u("عدد الحروف المتبقية :1"));

        const QString longText = QString(300, 'x');
        QCOMPARE(js(frame(), free + ".focus(); keybordvr('" + longText + "')"), QString("ok"));
        QCOMPARE(js(frame(), free + ".value.length"), QString("300"));
        QCOMPARE(js(frame(), note.arg(1)), QString());
        QCOMPARE(js(frame(), free + ".value = ''; keyborddel()"), QString("ok"));
        QCOMPARE(js(frame(), free + ".value"), QString());

        QCOMPARE(page->alerts, QStringList());
        QCOMPARE(js(frame(), "document.activeElement.blur(); keybordvr('x')"), QString("no"));
        QCOMPARE(page->alerts, QStringList({u("من فضلك : ضع المؤشر حيث تريد الكتابة")}));
        QCOMPARE(js(frame(), "keyborddel()"), QString("no"));
        QCOMPARE(page->alerts.size(), 1);

        QCOMPARE(js(frame(), "var p = getPosition(document.getElementById('txtab'));"
                             "(typeof p.x) + (typeof p.y) + (p.y > 0)"),
                 QString("numbernumbertrue"));
        QCOMPARE(page->console, QStringList());
    }

    // Headings, notes and texts that mix Arabic with numbers or Latin words
    // are drawn each letter in its place: inside its box, over no other.
    void mixedDirectionsDrawnInPlace()
    {
        QString examPage = ExtracImtihan(u("4|اكتب 12 كلمة عن Rabat|1|10|Écrire 3 lignes عربية|1|-1"
                                           "|اختر 2 من|2|2|نعم 1|Non لا"
                                           "|ما هو؟ 5 أم 6؛ كَتَبَ 3 مرّات، ثم ١٢.|1|-1"));
        // The header lines as the exam sheet fills them.
        examPage = fillSlot(examPage, "mada", u("Demo exam [ الفوح:1 - الفصل:2 ]"));
        examPage = fillSlot(examPage, "userinfo",
                            u("الاسم : Amina Belkacem<br />البريد: amina@example.org"));
        load(examPage);
        if (QTest::currentTestFailed())
            return;
        for (const char *selector : {"#soal", "#notetxt", "#soal2", "#soaltxt form", "#mada",
                                     "#userinfo"})
            VERIFY_IN_PLACE(selector);
        // The note of the letters left, written as the student types.
        QCOMPARE(js(frame(), "var t = document.getElementsByTagName('textarea')[0]; t.focus();"
                             " keybordvr('ab')"),
                 QString("ok"));
        QCOMPARE(js(frame(), "document.getElementById('msgtxt').textContent"),
                 u("عدد الحروف المتبقية :8"));
        VERIFY_IN_PLACE("#msgtxt");
        // The review page, from the same template.
        load(ExtracImtDisplay(u("1<:>السؤال 7 عن Rabat<:>1<:>جواب 42 answer")));
        if (QTest::currentTestFailed())
            return;
        for (const char *selector : {"#soal", "#soal2", "#soaltxt"})
            VERIFY_IN_PLACE(selector);
        QCOMPARE(page->console, QStringList());
    }

    // Each run of a text gets a text node of its own, starting with its first
    // character, blanks staying with what precedes them; a long text is cut
    // the same way.
    void runsInNodesOfTheirOwn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("nodes");
        QTest::newRow("arabic, number, latin, sign")
            << u("كلمة 12 word، ok") << QStringList{u("كلمة "), "12 ", "word", u("، "), "ok"};
        QTest::newRow("opening blanks") << "  ab" << QStringList{"  ", "ab"};
        QTest::newRow("arabic words") << u("سلام  عليكم ورحمة")
                                      << QStringList{u("سلام  "), u("عليكم "), u("ورحمة")};
        QTest::newRow("one latin run") << "peace be upon you" << QStringList{"peace be upon you"};
        QStringList many;
        QString text;
        for (int i = 0; i < 1000; ++i) {
            many << u("كلمة ") << QString::number(i) + " " << "word ";
            text += many.mid(many.size() - 3).join(QString());
        }
        QTest::newRow("1000 times three runs") << text << many;
    }
    void runsInNodesOfTheirOwn()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, nodes);
        load(ExtracImtDisplay("1<:>Q<:>1<:>" + text));
        if (QTest::currentTestFailed())
            return;
        const QString found = js(frame(), "var w = document.createTreeWalker(document.querySelector("
                                          "'#soaltxt form span'), NodeFilter.SHOW_TEXT, null, false);"
                                          " var out = []; while (w.nextNode()) out.push(w.currentNode.data);"
                                          " JSON.stringify(out)");
        QCOMPARE(found, QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(nodes))
                                              .toJson(QJsonDocument::Compact)));
    }

    // Texts of one direction in the right-to-left pages, each drawn in its
    // own order with its signs at its own ends, whatever page shows them.
    void runsInTheirOrder_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("tokens"); // in the text's order
        QTest::addColumn<QStringList>("drawn");  // left to right
        const auto question = [](const QString &text) { return ExtracImtihan("1|" + text + "|1|-1"); };
        const auto choice = [](const QString &text) { return ExtracImtihan("1|Q|2|1|" + text); };
        const auto answer = [](const QString &text) { return ExtracImtDisplay("1<:>Q<:>1<:>" + text); };
        const auto header = [](const QString &name, const QString &heading, const QString &label) {
            return resultSheet("1<:>Q<:>1<:>a", heading, name, "m@x.org", label);
        };
        const auto graded = [&](const QString &grading) {
            return fillGrades(header("n", "h", "l"), grading).html;
        };
        const auto marks = [](const QString &name, const QString &grading) {
            return marksPage(marksTable({{name, "m@x.org", "2015-05-25 10:01:00", "7", grading}}), "h");
        };
        const QString ism = u("الاسم");
        QTest::newRow("question in latin, signs inside and at the end")
            << question("Write a sentence with + and %") << "#soal2" << 0
            << QStringList{"Write", "+", "and", "%"} << QStringList{"Write", "+", "and", "%"};
        QTest::newRow("question in arabic ending in a latin word")
            << question(u("اكتب جملة عن Rabat!")) << "#soal2" << 0
            << QStringList{u("اكتب"), "Rabat", "!"} << QStringList{"!", "Rabat", u("اكتب")};
        QTest::newRow("question in arabic, latin in brackets")
            << question(u("قواعد (Grammar I)")) << "#soal2" << 0
            << QStringList{u("قواعد"), "(", "Grammar", "I", ")"}
            << QStringList{")", "Grammar", "I", "(", u("قواعد")};
        QTest::newRow("choice ending in a question mark")
            << choice("Which are nouns?") << "#soaltxt form" << 0
            << QStringList{"Which", "nouns", "?"} << QStringList{"Which", "nouns", "?"};
        QTest::newRow("choice ending in a bracket")
            << choice("kitab (book)") << "#soaltxt form" << 0
            << QStringList{"kitab", "(", "book", ")"} << QStringList{"kitab", "(", "book", ")"};
        QTest::newRow("choice of a negative number")
            << choice("-1") << "#soaltxt form" << 0 << QStringList{"-", "1"} << QStringList{"-", "1"};
        QTest::newRow("answer of markup")
            << answer("<b>Evil</b> & Co") << "#soaltxt form" << 0
            << QStringList{"<b>", "Evil", "</b>", "&", "Co"}
            << QStringList{"<b>", "Evil", "</b>", "&", "Co"};
        QTest::newRow("student's name with signs at its ends")
            << header("<b>Evil</b> & Co", "h", "l") << "#userinfo" << 0
            << QStringList{ism, "<b>Evil</b>", "&", "Co"} << QStringList{"<b>Evil</b>", "&", "Co", ism};
        QTest::newRow("heading of a latin subject")
            << header("n", u("Grammar I\n[ الفوج:1 - الفصل:2 ]"), "l") << "#mada" << 0
            << QStringList{"Grammar", "I", u("الفوج")} << QStringList{u("الفوج"), "Grammar", "I"};
        QTest::newRow("institute line ending in a bracket")
            << header("n", "h", "Ma3had (Rabat)\nline") << "#velmarinfo" << 0
            << QStringList{"Ma3had", "(", "Rabat", ")"} << QStringList{"Ma3had", "(", "Rabat", ")"};
        QTest::newRow("total") << graded("15.5::") << "#total" << 0
                               << QStringList{u("المجموع"), "20", "/", "15.5"}
                               << QStringList{"15.5", "/", "20", u("المجموع")};
        QTest::newRow("negative total") << graded("-1::") << "#total" << 0
                                        << QStringList{"20", "/", "-", "1"}
                                        << QStringList{"-", "1", "/", "20"};
        QTest::newRow("negative mark") << graded("0::-1") << "#note2" << 0
                                       << QStringList{u("النقطة"), "-", "1"}
                                       << QStringList{"-", "1", u("النقطة")};
        // The marks page: five header cells, then the row's.
        QTest::newRow("marks page: name with signs at its ends")
            << marks("<b>Evil</b> & Co", "0::2") << "td" << 5 << QStringList{"<b>Evil</b>", "&", "Co"}
            << QStringList{"<b>Evil</b>", "&", "Co"};
        QTest::newRow("marks page: heading of an arabic title with a latin word")
            << marksPage(marksTable({{"n", "m", "t", "1", "0::1"}}),
                         sheetListTitle(readExamDescriptor(u("ققه & iUsul<>3<>2<>t<>e")), "2",
                                        HeadingForm::Page))
            << "strong" << 0 << QStringList{u("ققه"), "&", "iUsul", u("الفوج"), u("عدد")}
            << QStringList{u("عدد"), u("الفوج"), "iUsul", "&", u("ققه")};
        QTest::newRow("marks page: negative grade") << marks("n", "-1::") << "td" << 9
                                                    << QStringList{"-", "1"} << QStringList{"-", "1"};
    }
    void runsInTheirOrder()
    {
        QFETCH(QString, html);
        QFETCH(QString, selector);
        QFETCH(int, index);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, drawn);
        load(html);
        if (QTest::currentTestFailed())
            return;
        QStringList order;
        const QString failure = drawnOrder(frame(), selector, index, tokens, &order);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(order, drawn);
        QCOMPARE(page->console, QStringList());
    }

    // A word longer than its line (a key held down) breaks inside its box:
    // the page never grows wider than its view.
    void longWordsWrap_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("selector");
        const QString word = QString(400, 'w');
        const auto sheet = [&](const QString &name, const QString &label) {
            return resultSheet("2<:>" + word + "<:>1<:>" + word + "<:>Q<:>2<:>1<:>[on]" + word,
                               word, name, word + "@x.org", label);
        };
        QTest::newRow("question") << ExtracImtihan("1|" + word + "|1|-1") << "#soal2";
        QTest::newRow("choice") << ExtracImtihan("1|Q|3|1|" + word) << "#soaltxt form";
        QTest::newRow("answer") << sheet("n", "l") << "#soaltxt form";
        QTest::newRow("heading") << sheet("n", "l") << "#mada";
        QTest::newRow("student's name") << sheet(word, "l") << "#userinfo";
        QTest::newRow("institute label") << sheet("n", word) << "#velmarinfo";
        QTest::newRow("marks page")
            << marksPage(marksTable({{word, word, word, word, "0::1"}}), word) << "td";
        // Arabic sentences longer than a line break between their words.
        QString sentence;
        for (int i = 0; i < 60; ++i)
            sentence += u("كتب الطالب ");
        const auto arabicSheet = [&](const QString &name) {
            return resultSheet("1<:>" + sentence + "<:>1<:>" + sentence, sentence, name, "m@x.org",
                               sentence);
        };
        QTest::newRow("arabic question") << ExtracImtihan("1|" + sentence + "|1|-1") << "#soal2";
        QTest::newRow("arabic choice") << ExtracImtihan("1|Q|3|1|" + sentence) << "#soaltxt form";
        QTest::newRow("arabic answer") << arabicSheet("n") << "#soaltxt form";
        QTest::newRow("arabic heading") << arabicSheet("n") << "#mada";
        QTest::newRow("arabic name") << arabicSheet(sentence) << "#userinfo";
        QTest::newRow("arabic marks page")
            << marksPage(marksTable({{sentence, "m@x.org", "t", "1", "0::1"}}), sentence) << "td";
    }
    void longWordsWrap()
    {
        QFETCH(QString, html);
        QFETCH(QString, selector);
        view->resize(700, 500);
        load(html);
        if (QTest::currentTestFailed())
            return;
        const PageSpan span = pageSpan(frame(), view);
        QVERIFY2(span.contents <= span.view && span.scrollMaximum == 0,
                 qPrintable(QString("content %1 wide in a view of %2").arg(span.contents).arg(span.view)));
        const QString right = js(frame(), "var m = 0, all = document.querySelectorAll('" + selector
                                              + "'); for (var i = 0; i < all.length; ++i)"
                                                " m = Math.max(m, all[i].getBoundingClientRect().right);"
                                                " m <= document.documentElement.clientWidth ? 'in' : m");
        QCOMPARE(right, QString("in"));
    }

    // A long unbroken word gets a place to break at least every 16 letters
    // (a <wbr> between text nodes), on every page kind, while the page's
    // text as read, selected, copied and printed stays what it is without
    // the cuts. A cut never separates a mark or a surrogate pair from its
    // letter, and falls after an Arabic letter that does not join the next
    // one whenever the word has one within reach.
    void longWordsGetPlacesToBreak_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("joinsKept");
        const struct
        {
            const char *name;
            QString letters;
            bool joinsKept;
        } words[] = {
            {"arabic", u("سبكمنهيعلتادروز"), true},
            {"arabic with marks", u("سَبَكَمَنَهِيعُلتَادَرُوزْ"), true},
            {"arabic, one letter held", u("س"), false},
            {"latin", "abcdefghijklmnopqrstuvwxyz", true},
            {"pictographs", u("\U0001F600\U0001F601\U0001F602\U0001F923"), true},
        };
        for (const auto &w : words) {
            QString word;
            while (word.size() < 300)
                word += w.letters;
            const auto row = [&](const char *page, const QString &html) {
                QTest::addRow("%s, %s", page, w.name) << html << word << w.joinsKept;
            };
            row("exam question", ExtracImtihan("1|" + word + "|1|-1"));
            row("exam choice", ExtracImtihan("1|Q|3|2|" + word + "|b"));
            row("answer sheet", resultSheet("1<:>Q<:>1<:>" + word, "h", "n", "m@x.org", "l"));
            row("student's name", resultSheet("1<:>Q<:>1<:>a", "h", word, "m@x.org", "l"));
            row("marks page", marksPage(marksTable({{word, "m@x.org", "t", "1", "0::1"}}), "h"));
        }
    }
    void longWordsGetPlacesToBreak()
    {
        QFETCH(QString, html);
        QFETCH(QString, word);
        QFETCH(bool, joinsKept);
        load(html);
        if (QTest::currentTestFailed())
            return;
        // The same page as it reads without any script: nothing cut.
        QWebView plain;
        plain.settings()->setAttribute(QWebSettings::JavascriptEnabled, false);
        plain.resize(view->size());
        plain.show();
        QSignalSpy plainLoaded(plain.page()->mainFrame(), &QWebFrame::loadFinished);
        plain.setHtml(html, QUrl());
        QVERIFY(!plainLoaded.isEmpty() || plainLoaded.wait(10000));
        QWebFrame *reference = plain.page()->mainFrame();

        // Places to break: the text with "|" for every <wbr> and a blank for
        // every other element, and no stretch without a blank or a break
        // longer than 16 letters (marks and halves of pairs not counted).
        const QString marked = js(frame(), R"JS(
            (function () {
                var out = '';
                var walker = document.createTreeWalker(document.body,
                    NodeFilter.SHOW_TEXT | NodeFilter.SHOW_ELEMENT, null, false);
                while (walker.nextNode()) {
                    var n = walker.currentNode;
                    if (n.nodeType == 3 && n.parentNode.nodeName != 'SCRIPT')
                        out += n.data;
                    else if (n.nodeName == 'WBR')
                        out += '|';
                    else if (n.nodeType == 1)
                        out += ' ';
                }
                return out;
            })())JS");
        QVERIFY2(marked.contains('|'), "no place to break");
        QString unmarked = marked;
        unmarked.remove('|');
        QVERIFY2(unmarked.contains(word), "the word is not whole");
        const QRegularExpression mark("[\\x{0300}-\\x{036F}\\x{064B}-\\x{065F}\\x{0670}]");
        int longest = 0;
        for (QString stretch : marked.split(QRegularExpression("[|\\s]"))) {
            stretch.remove(mark);
            longest = qMax(longest, int(std::count_if(stretch.cbegin(), stretch.cend(),
                                                      [](QChar c) { return !c.isLowSurrogate(); })));
        }
        QVERIFY2(longest <= 16, qPrintable(QString("a stretch of %1 letters").arg(longest)));
        const QString joinsNext = u("سبكمنهيعلت");
        const QString joinsPrevious = u("سبكمنهيعلتادروز");
        for (int i = marked.indexOf('|'); i >= 0; i = marked.indexOf('|', i + 1)) {
            const QChar after = marked.at(i + 1);
            QVERIFY2(!mark.match(QString(after)).hasMatch() && !after.isLowSurrogate(),
                     qPrintable("a cut before " + marked.mid(i - 4, 9)));
            int b = i - 1;
            while (b > 0 && mark.match(QString(marked.at(b))).hasMatch())
                --b;
            if (joinsKept)
                QVERIFY2(!joinsNext.contains(marked.at(b)) || !joinsPrevious.contains(after),
                         qPrintable("a cut between joined letters: " + marked.mid(i - 4, 9)));
        }

        // The text as read, selected and copied, character for character
        // (blanks left out: a blank at the end of a line is not read, and the
        // lines break elsewhere).
        const auto letters = [](QString text) {
            return text.remove(QRegularExpression("\\s"));
        };
        QVERIFY(frame()->toPlainText().contains(word));
        QCOMPARE(letters(frame()->toPlainText()), letters(reference->toPlainText()));
        page->triggerAction(QWebPage::SelectAll);
        plain.page()->triggerAction(QWebPage::SelectAll);
        QVERIFY(page->selectedText().contains(word));
        QCOMPARE(letters(page->selectedText()), letters(plain.page()->selectedText()));
        QApplication::clipboard()->clear();
        page->triggerAction(QWebPage::Copy);
        QCOMPARE(QApplication::clipboard()->text(), page->selectedText());

        // The text printed holds the word whole, as pdftotext reads it: a
        // label beside a line of the word where that line stands. The fonts
        // draw no pictographs, and pdftotext reorders letters under marks.
        if (word.at(0).isSurrogate() || word.contains(mark))
            return;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(webprint::printPdf(frame(), dir.filePath("cut.pdf")));
        QString printed = letters(pdfText(dir.filePath("cut.pdf")));
        printed.remove(u("الاسم")).remove(':');
        QVERIFY2(printed.contains(letters(word)), qPrintable(printed));
    }

    // An answer box holding a long word keeps it on one line and scrolls,
    // and gives back the word as typed.
    void longWordInAnswerBox()
    {
        load(ExtracImtihan("1|Q|1|-1"));
        if (QTest::currentTestFailed())
            return;
        QString word;
        while (word.size() < 3000)
            word += u("سبكمنهيعلت");
        frame()->evaluateJavaScript("document.getElementsByTagName('textarea')[0].value = '" + word + "';");
        const QString sizes = js(frame(), "var t = document.getElementsByTagName('textarea')[0];"
                                          " [t.scrollWidth > t.clientWidth, t.scrollHeight <= t.clientHeight].join()");
        QCOMPARE(sizes, QString("true,true"));
        QCOMPARE(walk(frame()).value(0).text, word);
    }

    // A page wider than its view (a narrow window) opens at its top right,
    // where its lines start.
    void opensAtTopRight_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("width");
        QString longExam = "8";
        for (int i = 0; i < 8; ++i)
            longExam += "|Q|1|-1";
        QTest::newRow("exam page") << ExtracImtihan(longExam) << 240;
        QTest::newRow("answer sheet") << resultSheet("1<:>Q<:>1<:>a", "h", "n", "m", "l") << 240;
        QTest::newRow("marks page") << marksPage(marksTable({{"n", "m", "t", "1", "0::1"}}), "h") << 400;
    }
    void opensAtTopRight()
    {
        QFETCH(QString, html);
        QFETCH(int, width);
        view->resize(width, 300);
        load(html);
        if (QTest::currentTestFailed())
            return;
        const PageSpan span = pageSpan(frame(), view);
        QVERIFY2(span.scrollMaximum > 0, qPrintable(QString::number(span.contents)));
        QCOMPARE(span.scroll, QPoint(span.scrollMaximum, 0));
    }

    // Every picture the page style sheets name is there, so the scroll bars
    // show; a page longer than the view shows its thumb.
    void styleSheetPictures()
    {
        const QRegularExpression url("url\\(\\s*['\"]?([^'\")]+)['\"]?\\s*\\)");
        int pictures = 0;
        for (const char *sheet : {"html/style.css", "html/stylemac.css"}) {
            const QUrl base("qrc:/Resources/" + QString::fromLatin1(sheet));
            QFile file(":/Resources/" + QString::fromLatin1(sheet));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString css = QString::fromUtf8(file.readAll());
            for (auto it = url.globalMatch(css); it.hasNext();) {
                const QString path = ":" + base.resolved(QUrl(it.next().captured(1))).path();
                QVERIFY2(QFile::exists(path), qPrintable(path));
                if (!path.endsWith(".css")) {
                    QVERIFY2(!QImage(path).isNull(), qPrintable(path));
                    ++pictures;
                }
            }
        }
        QVERIFY(pictures >= 8 + 8);

        QString longExam = "12";
        for (int i = 0; i < 12; ++i)
            longExam += "|Q|1|-1";
        load(ExtracImtihan(longExam));
        if (QTest::currentTestFailed())
            return;
        const QRect bar = frame()->scrollBarGeometry(Qt::Vertical);
        QVERIFY(bar.width() == 13 && bar.height() > 100);
        const QImage shot = view->grab().toImage();
        int thumb = 0; // pixels of the thumb's teal
        for (int y = bar.top(); y <= bar.bottom(); ++y) {
            const QColor c = shot.pixelColor(bar.center().x(), y);
            thumb += c.green() > c.red() + 40 && c.blue() > c.red() + 40;
        }
        QVERIFY2(thumb >= 30, qPrintable(QString::number(thumb)));
    }

    void answersFromThePage()
    {
        load(ExtracImtihan(exam));
        if (QTest::currentTestFailed())
            return;
        js(frame(), "var t = document.getElementsByTagName('textarea');"
                    "t[0].value = 'hi|<there> friend'; t[1].value = 'free text'; t[2].value = 'wl';"
                    "var i = document.getElementsByTagName('input');"
                    "i[0].click(); i[2].click(); i[1].click(); i[1].click(); i[3].click(); i[4].click();");
        const QString answers = composeAnswers(exam, walk(frame()));
        QCOMPARE(answers, QString("6<:>Hello <script>window.hacked = 1;</script><:>1<:>hi: there "
                                  "<:>Free<:>1<:>free text"
                                  "<:>Pick some<:>2<:>3<:>[on]a<:>[no]b<:>[on]<input type=checkbox>"
                                  "<:>Pick one<:>3<:>2<:>[no]yes<:>[on]no"
                                  "<:>Word limit<:>1<:>wl"));

        load(ExtracImtDisplay(answers));
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(frame()->findAllElements("form").count(), 5);
        // The question's markup comes back as text, never as script.
        QCOMPARE(js(frame(), "typeof window.hacked"), QString("undefined"));
        QCOMPARE(frame()->findFirstElement("#soal2").toPlainText(),
                 QString("Hello <script>window.hacked = 1;</script>"));
        QCOMPARE(frame()->findAllElements("textarea").count(), 0);
        QCOMPARE(js(frame(), "document.getElementsByTagName('input').length"), QString("5"));
        QCOMPARE(js(frame(), "document.querySelectorAll('input:checked').length"), QString("3"));
        QCOMPARE(js(frame(), "document.querySelectorAll('input:disabled').length"), QString("4"));
        QCOMPARE(js(frame(), "document.querySelectorAll('input:checked:enabled')[0].type"), QString("radio"));
        QCOMPARE(js(frame(), "document.getElementById('soaltxt').textContent.trim()"), QString("hi: there"));
        QCOMPARE(js(frame(), "document.querySelectorAll('div#note').length"), QString("5"));
        QCOMPARE(page->console, QStringList());
    }
};

QTEST_MAIN(TestExamPageWeb)
#include "tst_exampage_web.moc"
