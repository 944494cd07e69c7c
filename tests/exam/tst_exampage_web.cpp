// Built pages in a real web view: the forms the page walk relies on, the
// keyboard scripts, the style sheet, and the answers read back from the page.
#include "core/pure/answers.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
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
