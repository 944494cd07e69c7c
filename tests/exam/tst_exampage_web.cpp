// Built pages in a real web view: the forms the page walk relies on, the
// keyboard scripts, the style sheet, and the answers read back from the page.
#include "core/pure/answers.h"
#include "core/pure/pages.h"

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

} // namespace

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
