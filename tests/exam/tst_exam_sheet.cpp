// The exam sheet window and its on-screen keyboard, offscreen, driving the
// exam page through the web view.
#include "core/msgbox.h"
#include "core/mywidget.h"
#include "examtest.h"
#include "support/modal.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWebElement>
#include <QWebFrame>
#include <QWebHistory>
#include <QWebPage>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

// A free answer box, one limited to 10 letters, check boxes and radio buttons.
const QString kExam = QStringLiteral("4|Free|1|-1|Short|1|10|Nouns|2|3|kitab|qalam|kataba"
                                     "|Verb|3|2|kataba|kitab");

const QString kNoBoxAlert = QStringLiteral("من فضلك : ضع المؤشر حيث تريد الكتابة");

} // namespace

class TestExamSheet : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void header();
    void headerTextsAreEscaped();
    void remainingTime();
    void resizeRefitsThePage();
    void keyboardLink_data();
    void keyboardLink();
    void keyboardKeepsTheFocus_data();
    void keyboardKeepsTheFocus();
    void keyboardMakesWay();
    void otherLinksStay();
    void pageNeverNavigates();
    void keys_data();
    void keys();
    void shiftTwice();
    void closeKeepsShift();
    void deleteAndSpace();
    void limitedBox();
    void alertWithoutBox_data();
    void alertWithoutBox();
    void closedUnderAlert();
    void dragging();
    void pressOnKeyDoesNotDrag();
    void answers_data();
    void answers();

private:
    void waitForPage(QSignalSpy &loaded)
    {
        while (!loaded.contains({true}))
            QVERIFY(loaded.wait(10000));
    }
    // Opens a sheet with the exam and waits until its page is complete (the
    // style sheet loads before the page's script runs).
    void openSheet(const QString &exam = kExam);
    QString js(const QString &script) { return frmweb->frame()->evaluateJavaScript(script).toString(); }
    QWidget *panel() { return frmweb->findChild<QWidget *>("widget"); }
    QWidget *key(const QString &name) { return panel()->findChild<QWidget *>(name); }
    void press(const QString &name) { QTest::mouseClick(key(name), Qt::LeftButton); }
    void focusBox(int index)
    {
        js(QStringLiteral("var b = document.getElementsByTagName('textarea')[%1]; b.value = '';"
                          " b.focus();")
               .arg(index));
    }
    QString box(int index)
    {
        return js(QStringLiteral("document.getElementsByTagName('textarea')[%1].value").arg(index));
    }
    void openKeyboard()
    {
        js(QStringLiteral("document.querySelector('#total a').click()"));
    }
    // Where an answer box lies in the sheet window.
    QRect boxRect(int index)
    {
        const QStringList e =
            js(QStringLiteral("var r = document.getElementsByTagName('textarea')[%1]"
                              ".getBoundingClientRect(); [r.left, r.top, r.right, r.bottom].join(',')")
                   .arg(index))
                .split(',');
        if (e.size() != 4)
            return QRect();
        return QRectF(QPointF(e[0].toDouble(), e[1].toDouble()), QPointF(e[2].toDouble(), e[3].toDouble()))
            .toAlignedRect();
    }
    // Clicks the keyboard link in the page's header with the mouse, as a
    // student does (the link takes the focus).
    void clickKeyboardLink()
    {
        QWebView *web = frmweb->findChild<QWebView *>("web");
        const QStringList e = js("var r = document.querySelector('#total a').getBoundingClientRect();"
                                 " [r.left + r.width / 2, r.top + r.height / 2].join(',')")
                                  .split(',');
        QCOMPARE(e.size(), 2);
        QTest::mouseClick(web, Qt::LeftButton, {}, QPoint(int(e[0].toDouble()), int(e[1].toDouble())));
    }
    QString focusedBox()
    {
        return js("var b = document.activeElement, all = document.getElementsByTagName('textarea');"
                  " Array.prototype.indexOf.call(all, b) + ''");
    }
    // A mouse event for target at a point of the sheet window.
    void mouse(QWidget *target, QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons)
    {
        const Qt::MouseButton button =
            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, target->mapFrom(frmweb, at), frmweb->mapToGlobal(at), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
};

void TestExamSheet::init()
{
    reset();
    nickname = QStringLiteral("Amina Belkacem");
    mail = QStringLiteral("amina@example.org");
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
}

void TestExamSheet::cleanup()
{
    closeWindows();
    QCOMPARE(frmweb, nullptr);
}

void TestExamSheet::openSheet(const QString &exam)
{
    frmweb = new FrmWeb(nullptr);
    QSignalSpy loaded(frmweb->frame(), &QWebFrame::loadFinished);
    frmweb->ExtracIm(12, 60, QStringLiteral("Reading"),
                     QDateTime::fromString("2015-05-25 14:00:00", format), exam, 3, 7);
    waitForPage(loaded);
}

void TestExamSheet::window()
{
    openSheet();
    QVERIFY(frmweb->isVisible());
    QVERIFY(frmweb->windowFlags().testFlag(Qt::SplashScreen));
    QVERIFY(frmweb->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(frmweb->windowState().testFlag(Qt::WindowMaximized));
    // Without a window manager to maximise it, the sheet still covers the
    // screen it is on, and the page the whole sheet.
    QCOMPARE(frmweb->frameGeometry(), frmweb->screen()->geometry());
    QCOMPARE(frmweb->findChild<QWebView *>("web")->geometry(), frmweb->rect());
    QVERIFY(!panel()->isVisible());
    QCOMPARE(panel()->geometry(), QRect(220, 250, 421, 181));
    QCOMPARE(frmweb->findChildren<mywidget *>(QRegularExpression("^map_\\d+$")).size(), 52);
    QCOMPARE(frmweb->findChild<QPushButton *>("pushButton")->text(), QStringLiteral("إرسال"));
    QCOMPARE(frmweb->findChild<QLabel *>("label")->text(),
             QStringLiteral("مدة الامتحان (بالدقائق) : 60\n00:00:00"));
    QCOMPARE(frmweb->keyboardPicture(), FrmWeb::kBasePicture);
    // The framed box and the keyboard panel lie above the page.
    const QObjectList order = frmweb->children();
    QVERIFY(order.indexOf(frmweb->findChild<QWebView *>("web"))
            < order.indexOf(frmweb->findChild<QFrame *>("frame")));
    QVERIFY(order.indexOf(frmweb->findChild<QFrame *>("frame")) < order.indexOf(panel()));
    QCOMPARE(frmweb->examId(), 12);
    QCOMPARE(frmweb->cohort(), 3);
    QCOMPARE(frmweb->classNo(), 7);
    QCOMPARE(frmweb->examTitle(), QStringLiteral("Reading"));
    QCOMPARE(frmweb->frame()->findAllElements("form").count(), 4);
}

void TestExamSheet::header()
{
    openSheet();
    // The name, the address, each line of the label and the title each in
    // an isolate of its own direction.
    QCOMPARE(js("document.getElementById('userinfo').innerHTML"),
             QStringLiteral("الاسم : <span dir=\"auto\">Amina Belkacem</span><br>البريد: <span "
                            "dir=\"auto\">amina@example.org</span>"));
    // The label's line breaks show as line breaks, and the global keeps them
    // as "<br />" from now on.
    QCOMPARE(js("document.getElementById('velmarinfo').innerHTML"),
             QStringLiteral("<span dir=\"auto\">Ma3had</span><br><span dir=\"auto\">Al Fursan</span>"));
    QCOMPARE(js("document.querySelector('#mada span[dir=auto]').textContent"),
             QStringLiteral("Reading"));
    QCOMPARE(nameVelmar, QStringLiteral("Ma3had<br />Al Fursan"));
    QCOMPARE(js("document.getElementById('mada').textContent"),
             QStringLiteral("Reading [ الفوح:3 - الفصل:7 ]"));
    QCOMPARE(js("document.querySelector('#total a').getAttribute('href')"),
             FrmWeb::kKeyboardLink);
    QCOMPARE(js("document.querySelector('#total img').getAttribute('src')"),
             QStringLiteral("qrc:/Resources/html/clavi.jpg"));
    QCOMPARE(js("document.querySelector('#total a').textContent"),
             QStringLiteral("لوحة المفاتيح العربية"));
    // A second exam in the same run shows the same label.
    QSignalSpy loaded(frmweb->frame(), &QWebFrame::loadFinished);
    frmweb->ExtracIm(13, 30, QStringLiteral("Next"), QDateTime(), kExam, 1, 2);
    waitForPage(loaded);
    QCOMPARE(js("document.getElementById('velmarinfo').innerText"),
             QStringLiteral("Ma3had\nAl Fursan"));
    QCOMPARE(nameVelmar, QStringLiteral("Ma3had<br />Al Fursan"));
    QCOMPARE(frmweb->examId(), 13);
}

void TestExamSheet::headerTextsAreEscaped()
{
    nickname = QStringLiteral("<img src=x onerror='window.hacked=1'>Amina");
    mail = QStringLiteral("a&b@example.org");
    nameVelmar = QStringLiteral("<script>window.hacked=2</script>\nline");
    frmweb = new FrmWeb(nullptr);
    QSignalSpy loaded(frmweb->frame(), &QWebFrame::loadFinished);
    frmweb->ExtracIm(12, 60, QStringLiteral("T <b>bold</b> #mada#"), QDateTime(),
                     QStringLiteral("1|<script>window.hacked=3</script>|1|-1"), 3, 7);
    waitForPage(loaded);
    QCOMPARE(js("document.getElementsByTagName('script').length"), QStringLiteral("1"));
    QCOMPARE(js("document.getElementsByTagName('img').length"), QStringLiteral("2"));
    QCOMPARE(js("typeof window.hacked"), QStringLiteral("undefined"));
    QCOMPARE(js("document.getElementById('userinfo').textContent"),
             QStringLiteral("الاسم : <img src=x onerror='window.hacked=1'>Aminaالبريد: "
                            "a&b@example.org"));
    QCOMPARE(js("document.getElementById('velmarinfo').textContent"),
             QStringLiteral("<script>window.hacked=2</script>line"));
    QCOMPARE(js("document.getElementById('mada').textContent"),
             QStringLiteral("T <b>bold</b> #mada# [ الفوح:3 - الفصل:7 ]"));
}

void TestExamSheet::remainingTime()
{
    openSheet();
    frmweb->changeTm(QStringLiteral("00:59:58"), 60);
    QCOMPARE(frmweb->findChild<QLabel *>("label")->text(),
             QStringLiteral("مدة الامتحان (بالدقائق) : 60\n00:59:58"));
}

void TestExamSheet::resizeRefitsThePage()
{
    openSheet();
    frmweb->setWindowState(Qt::WindowNoState);
    frmweb->resize(1000, 700);
    QTRY_COMPARE(frmweb->size(), QSize(1000, 700));
    QCOMPARE(frmweb->findChild<QWebView *>("web")->geometry(), QRect(0, 0, 1000, 700));
    frmweb->resize(1300, 650);
    QTRY_COMPARE(frmweb->findChild<QWebView *>("web")->geometry(), QRect(0, 0, 1300, 650));
    QCOMPARE(frmweb->findChild<QFrame *>("frame")->pos(), QPoint(40, 40));
    QCOMPARE(panel()->pos(), QPoint(220, 250));
}

void TestExamSheet::keyboardLink_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("x");
    QTest::newRow("1440") << 1440 << 510;
    QTest::newRow("odd widths") << 1001 << 290; // 500 - 210
}

void TestExamSheet::keyboardLink()
{
    QFETCH(int, width);
    QFETCH(int, x);
    openSheet();
    frmweb->setWindowState(Qt::WindowNoState);
    frmweb->resize(width, 900);
    QTRY_COMPARE(frmweb->width(), width);
    openKeyboard();
    QVERIFY(panel()->isVisible());
    QCOMPARE(panel()->pos(), QPoint(x, 250));
    QCOMPARE(panel()->size(), QSize(421, 181));
    // The link brings a moved panel back to its place.
    panel()->move(3, 4);
    openKeyboard();
    QCOMPARE(panel()->pos(), QPoint(x, 250));
    // A resize does not move it.
    frmweb->resize(width + 200, 900);
    QTRY_COMPARE(frmweb->width(), width + 200);
    QCOMPARE(panel()->pos(), QPoint(x, 250));
}

void TestExamSheet::keyboardKeepsTheFocus_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("box");
    QTest::newRow("question 1") << QSize(1366, 768) << 0;
    QTest::newRow("question 2") << QSize(1366, 768) << 1;
    QTest::newRow("small screen, question 1") << QSize(1024, 600) << 0;
    QTest::newRow("tall screen, question 2") << QSize(1280, 1024) << 1;
}

void TestExamSheet::keyboardKeepsTheFocus()
{
    // The student types in a box and opens the keyboard from the page's
    // header: the next key goes to that box, and the keyboard does not
    // cover it.
    QFETCH(QSize, window);
    QFETCH(int, box);
    openSheet();
    frmweb->setWindowState(Qt::WindowNoState);
    frmweb->resize(window);
    QTRY_COMPARE(frmweb->size(), window);
    focusBox(box);
    clickKeyboardLink();
    QTRY_VERIFY(panel()->isVisible());
    QCOMPARE(focusedBox(), QString::number(box));
    const QRect covered = panel()->geometry() & boxRect(box);
    QVERIFY2(covered.isEmpty(), qPrintable(QString("the keyboard at %1,%2 covers %3x%4 of the box")
                                               .arg(panel()->x()).arg(panel()->y())
                                               .arg(covered.width()).arg(covered.height())));
    QVERIFY(frmweb->rect().contains(panel()->geometry()));
    ModalAnswerer answers;
    press("map_22");
    press("map_50");
    QCOMPARE(answers.texts(), QStringList());
    QCOMPARE(this->box(box), QStringLiteral("\u0636 "));
    QCOMPARE(frmweb->focusWidget(), frmweb->findChild<QWebView *>("web"));
}

void TestExamSheet::keyboardMakesWay()
{
    // With the keyboard open, the student puts the cursor in a box that it
    // covers: the keyboard moves off that box, and stays when the student
    // drags it back there.
    openSheet();
    frmweb->setWindowState(Qt::WindowNoState);
    frmweb->resize(1366, 768);
    QTRY_COMPARE(frmweb->size(), QSize(1366, 768));
    openKeyboard();
    QCOMPARE(panel()->pos(), QPoint(1366 / 2 - 421 / 2, 250));
    int covered = -1;
    for (int i = 0; i < 2 && covered < 0; ++i) {
        if (panel()->geometry().intersects(boxRect(i)))
            covered = i;
    }
    QVERIFY2(covered >= 0, "no box under the keyboard's first place");
    focusBox(covered);
    QTRY_VERIFY(!panel()->geometry().intersects(boxRect(covered)));
    panel()->move(panel()->x(), boxRect(covered).top());
    press("map_22");
    QCOMPARE(box(covered), QStringLiteral("\u0636"));
    QCOMPARE(panel()->y(), boxRect(covered).top());
}

void TestExamSheet::otherLinksStay()
{
    openSheet();
    const QUrl before = frmweb->frame()->url();
    js("var a = document.createElement('a'); a.id = 'away';"
       " a.href = 'http://127.0.0.1:9/elsewhere'; a.textContent = 'x';"
       " document.body.appendChild(a);"
       " var b = document.createElement('a'); b.id = 'anchor'; b.href = '#soal';"
       " document.body.appendChild(b);"
       " document.getElementsByTagName('textarea')[0].value = 'kept';");
    js("document.getElementById('away').click()");
    js("document.getElementById('anchor').click()");
    QTest::qWait(50);
    QCOMPARE(frmweb->frame()->url(), before);
    QCOMPARE(box(0), QStringLiteral("kept"));
    QVERIFY(!panel()->isVisible());
}

void TestExamSheet::pageNeverNavigates()
{
    openSheet();
    js("document.getElementsByTagName('textarea')[0].value = 'kept';");
    // Submitting a form (Enter in a field) or walking the history back
    // (Backspace) would load another page and lose the answers.
    js("document.forms[0].submit()");
    frmweb->frame()->page()->triggerAction(QWebPage::Back);
    js("history.back()");
    frmweb->frame()->page()->triggerAction(QWebPage::Reload);
    QTest::qWait(100);
    QCOMPARE(box(0), QStringLiteral("kept"));
    QCOMPARE(frmweb->frame()->findAllElements("form").count(), 4);
}

void TestExamSheet::keys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("shifted");
    // Row 1
    QTest::newRow("map_0") << "map_0" << QStringLiteral("\u0630") << QStringLiteral(" \u0651");
    QTest::newRow("map_1") << "map_1" << "1" << "!";
    QTest::newRow("map_3") << "map_3" << "2" << "@";
    QTest::newRow("map_2") << "map_2" << "3" << "#";
    QTest::newRow("map_7") << "map_7" << "4" << "$";
    QTest::newRow("map_5") << "map_5" << "5" << "%";
    QTest::newRow("map_6") << "map_6" << "6" << "^";
    QTest::newRow("map_4 (no shifted part)") << "map_4" << "7" << "7";
    QTest::newRow("map_11") << "map_11" << "8" << "*";
    QTest::newRow("map_9") << "map_9" << "9" << "(";
    QTest::newRow("map_10") << "map_10" << "0" << ")";
    QTest::newRow("map_8") << "map_8" << "-" << "_";
    QTest::newRow("map_12") << "map_12" << "=" << "+";
    // Row 2
    QTest::newRow("map_22") << "map_22" << QStringLiteral("\u0636") << QStringLiteral("\u064e");
    QTest::newRow("map_19") << "map_19" << QStringLiteral("\u0635") << QStringLiteral("\u064b");
    QTest::newRow("map_20") << "map_20" << QStringLiteral("\u062b") << QStringLiteral("\u064f");
    QTest::newRow("map_15") << "map_15" << QStringLiteral("\u0642") << QStringLiteral("\u064c");
    QTest::newRow("map_17") << "map_17" << QStringLiteral("\u0641")
                            << QStringLiteral("\u0644\u0625");
    QTest::newRow("map_21") << "map_21" << QStringLiteral("\u063a") << QStringLiteral("\u0625");
    QTest::newRow("map_14") << "map_14" << QStringLiteral("\u0639") << QStringLiteral("\u2018");
    QTest::newRow("map_25") << "map_25" << QStringLiteral("\u0647") << QStringLiteral("\u00f7");
    QTest::newRow("map_16") << "map_16" << QStringLiteral("\u062e") << QStringLiteral("\u00d7");
    QTest::newRow("map_23") << "map_23" << QStringLiteral("\u062d") << QStringLiteral("\u061b");
    QTest::newRow("map_18") << "map_18" << QStringLiteral("\u062c") << ">";
    QTest::newRow("map_26") << "map_26" << QStringLiteral("\u062f") << "<";
    QTest::newRow("map_24") << "map_24" << "/" << "|";
    // Row 3
    QTest::newRow("map_35") << "map_35" << QStringLiteral("\u0634") << QStringLiteral("\u0650");
    QTest::newRow("map_32") << "map_32" << QStringLiteral("\u0633") << QStringLiteral("\u064d");
    QTest::newRow("map_33") << "map_33" << QStringLiteral("\u064a") << "[";
    QTest::newRow("map_28") << "map_28" << QStringLiteral("\u0628") << "]";
    QTest::newRow("map_30") << "map_30" << QStringLiteral("\u0644")
                            << QStringLiteral("\u0644\u0623");
    QTest::newRow("map_34") << "map_34" << QStringLiteral("\u0627") << QStringLiteral("\u0623");
    QTest::newRow("map_27") << "map_27" << QStringLiteral("\u062a") << QStringLiteral("\u0640");
    QTest::newRow("map_38") << "map_38" << QStringLiteral("\u0646") << QStringLiteral("\u060c");
    QTest::newRow("map_29") << "map_29" << QStringLiteral("\u0645") << "\"";
    QTest::newRow("map_36 (empty shifted part)") << "map_36" << QStringLiteral("\u0643") << "";
    QTest::newRow("map_31 (empty shifted part)") << "map_31" << QStringLiteral("\u0637") << "";
    // Row 4
    QTest::newRow("map_39") << "map_39" << QStringLiteral("\u0626") << "~";
    QTest::newRow("map_37") << "map_37" << QStringLiteral("\u0621") << QStringLiteral("\u0652");
    QTest::newRow("map_47") << "map_47" << QStringLiteral("\u0624") << "{";
    QTest::newRow("map_40") << "map_40" << QStringLiteral("\u0631") << "}";
    QTest::newRow("map_41") << "map_41" << QStringLiteral("\u0644\u0627")
                            << QStringLiteral("\u0644\u0622");
    QTest::newRow("map_44") << "map_44" << QStringLiteral("\u0649") << QStringLiteral("\u0622");
    QTest::newRow("map_43") << "map_43" << QStringLiteral("\u0629") << QStringLiteral("\u2019");
    QTest::newRow("map_42") << "map_42" << QStringLiteral("\u0648") << ",";
    QTest::newRow("map_46") << "map_46" << QStringLiteral("\u0632") << ".";
    QTest::newRow("map_45") << "map_45" << QStringLiteral("\u0638") << QStringLiteral("\u061f");
}

void TestExamSheet::keys()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QString, shifted);
    openSheet();
    openKeyboard();
    focusBox(0);
    ModalAnswerer answers;
    press(name);
    QCOMPARE(box(0), base);
    press(name);
    QCOMPARE(box(0), base + base);
    QVERIFY(!frmweb->isShifted());

    // Shift applies to one character, then the base captions are back.
    for (const QString &shiftKey : {QStringLiteral("map_48"), QStringLiteral("map_49")}) {
        focusBox(0);
        press(shiftKey);
        QVERIFY(frmweb->isShifted());
        QCOMPARE(frmweb->keyboardPicture(), FrmWeb::kShiftPicture);
        press(name);
        QCOMPARE(box(0), shifted);
        QVERIFY(!frmweb->isShifted());
        QCOMPARE(frmweb->keyboardPicture(), FrmWeb::kBasePicture);
        press(name);
        QCOMPARE(box(0), shifted + base);
    }
    QCOMPARE(answers.texts(), QStringList());
}

void TestExamSheet::shiftTwice()
{
    openSheet();
    openKeyboard();
    focusBox(0);
    press("map_48");
    press("map_49");
    QVERIFY(!frmweb->isShifted());
    QCOMPARE(frmweb->keyboardPicture(), FrmWeb::kBasePicture);
    QCOMPARE(frmweb->findChild<QLabel *>("Lkeybord")->pixmap(Qt::ReturnByValue).toImage(),
             QPixmap(FrmWeb::kBasePicture).toImage());
    press("map_22");
    QCOMPARE(box(0), QStringLiteral("\u0636"));
}

void TestExamSheet::closeKeepsShift()
{
    openSheet();
    openKeyboard();
    focusBox(0);
    press("map_48");
    press("map_51"); // close
    QVERIFY(!panel()->isVisible());
    QVERIFY(frmweb->isShifted());
    QCOMPARE(frmweb->keyboardPicture(), FrmWeb::kShiftPicture);
    openKeyboard();
    QVERIFY(panel()->isVisible());
    focusBox(0);
    press("map_34");
    QCOMPARE(box(0), QStringLiteral("\u0623"));
    QVERIFY(!frmweb->isShifted());
}

void TestExamSheet::deleteAndSpace()
{
    openSheet();
    openKeyboard();
    focusBox(0);
    ModalAnswerer answers;
    press("map_48"); // delete, space and close leave the shift as it is
    press("map_22");
    press("map_50");
    QCOMPARE(box(0), QStringLiteral("\u064e "));
    press("map_22");
    press("map_50");
    press("map_48");
    press("map_50");
    QCOMPARE(box(0), QStringLiteral("\u064e \u0636  "));
    QVERIFY(frmweb->isShifted());
    press("map_13");
    press("map_13");
    QCOMPARE(box(0), QStringLiteral("\u064e \u0636"));
    QVERIFY(frmweb->isShifted());
    press("map_13");
    press("map_13");
    press("map_13");
    QCOMPARE(box(0), QString());
    press("map_13"); // on an empty box: stays empty, no alert
    QCOMPARE(box(0), QString());
    QCOMPARE(js("keyborddel()"), QStringLiteral("ok"));
    QCOMPARE(answers.texts(), QStringList());
}

void TestExamSheet::limitedBox()
{
    openSheet();
    openKeyboard();
    focusBox(1);
    for (int i = 0; i < 11; ++i)
        press("map_34");
    QCOMPARE(box(1), QString(10, QChar(0x0627)));
    QCOMPARE(js("document.getElementsByTagName('form')[1].getElementsByTagName('div')[0]"
                ".innerHTML"),
             QStringLiteral("عدد الحروف المتبقية :0"));
    // The free box never cuts and shows no count.
    focusBox(0);
    for (int i = 0; i < 12; ++i)
        press("map_50");
    QCOMPARE(box(0), QString(12, ' '));
    QCOMPARE(js("document.getElementsByTagName('form')[0].getElementsByTagName('div')[0]"
                ".innerHTML"),
             QString());
}

void TestExamSheet::alertWithoutBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("alert");
    QTest::newRow("letter") << "map_22" << true;
    QTest::newRow("space") << "map_50" << true;
    QTest::newRow("delete") << "map_13" << false;
}

void TestExamSheet::alertWithoutBox()
{
    QFETCH(QString, name);
    QFETCH(bool, alert);
    openSheet();
    openKeyboard();
    js("document.getElementsByTagName('textarea')[0].value = 'x';"
       " document.getElementsByTagName('input')[0].focus();");
    ModalAnswerer answers;
    QWidget *parentOfAlert = frmweb;
    bool onTop = false;
    bool boxOfSheet = false;
    answers.whileOpen([&](QDialog *dialog) {
        parentOfAlert = dialog->parentWidget();
        onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        boxOfSheet = frmweb->hasOpenBox();
    });
    press(name);
    QCOMPARE(answers.texts(), alert ? QStringList{kNoBoxAlert} : QStringList());
    if (alert) {
        QCOMPARE(answers.shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // The alert stays above the sheet, which is kept on top, and is no
        // child of it: the sheet may go while it is open.
        QVERIFY(onTop);
        QCOMPARE(parentOfAlert, nullptr);
        QVERIFY(boxOfSheet);
    }
    QVERIFY(!frmweb->hasOpenBox());
    QCOMPARE(box(0), QStringLiteral("x"));
    QCOMPARE(js("document.getElementsByTagName('input')[0].checked"), QStringLiteral("false"));
    QCOMPARE(frmweb->focusWidget(), frmweb->findChild<QWebView *>("web"));
}

// A sheet closed while its page's alert is open stays until the alert has
// returned, and the page's script goes on; then the sheet is gone.
void TestExamSheet::closedUnderAlert()
{
    openSheet();
    openKeyboard();
    js("document.activeElement.blur();");
    ModalAnswerer answers;
    QPointer<FrmWeb> sheet = frmweb;
    bool sheetDuringAlert = false;
    bool dismissed = false;
    answers.whileOpen([&](QDialog *dialog) {
        connect(dialog, &QDialog::finished, [&] { dismissed = true; });
        sheet->closeSheet();
        settle();
        sheetDuringAlert = sheet && !sheet->isVisible();
    });
    press("map_22");
    QCOMPARE(answers.texts(), QStringList{kNoBoxAlert});
    QVERIFY(sheetDuringAlert);
    QVERIFY(dismissed); // closing the sheet closes its box
    QCOMPARE(frmweb, nullptr);
    settle();
    QVERIFY(!sheet);
}

void TestExamSheet::dragging()
{
    openSheet();
    openKeyboard();
    const QPoint start = panel()->pos();
    // A press on the picture and one on the bare background both drag.
    QWidget *picture = panel()->findChild<QLabel *>("Lkeybord");
    const QPoint grip = start + QPoint(200, 12);
    mouse(picture, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    mouse(picture, QEvent::MouseMove, grip + QPoint(30, 20), Qt::LeftButton);
    QCOMPARE(panel()->pos(), start + QPoint(30, 20));
    mouse(picture, QEvent::MouseMove, grip + QPoint(-500, -600), Qt::LeftButton);
    QCOMPARE(panel()->pos(), start + QPoint(-500, -600)); // no bound
    mouse(picture, QEvent::MouseButtonRelease, grip + QPoint(-500, -600), Qt::NoButton);
    // Moves after the release leave it where it is.
    const QPoint dropped = panel()->pos();
    mouse(panel(), QEvent::MouseMove, QPoint(100, 100), Qt::LeftButton);
    QCOMPARE(panel()->pos(), dropped);

    const QPoint corner = dropped + QPoint(415, 175);
    mouse(panel(), QEvent::MouseButtonPress, corner, Qt::LeftButton);
    mouse(panel(), QEvent::MouseMove, corner + QPoint(-10, 5), Qt::LeftButton);
    QCOMPARE(panel()->pos(), dropped + QPoint(-10, 5));
    mouse(panel(), QEvent::MouseButtonRelease, corner + QPoint(-10, 5), Qt::NoButton);
}

void TestExamSheet::pressOnKeyDoesNotDrag()
{
    openSheet();
    openKeyboard();
    focusBox(0);
    const QPoint start = panel()->pos();
    QWidget *space = key("map_50");
    const QPoint at = start + space->pos() + QPoint(5, 5);
    mouse(space, QEvent::MouseButtonPress, at, Qt::LeftButton);
    mouse(space, QEvent::MouseMove, at + QPoint(60, 40), Qt::LeftButton);
    mouse(space, QEvent::MouseButtonRelease, at + QPoint(60, 40), Qt::NoButton);
    QCOMPARE(panel()->pos(), start);
    QCOMPARE(box(0), QStringLiteral(" ")); // typed once, at the press
}

void TestExamSheet::answers_data()
{
    QTest::addColumn<QString>("exam");
    QTest::addColumn<QString>("script"); // run on the page before the walk
    QTest::addColumn<QString>("expected");
    const QString t = "var t = document.getElementsByTagName('textarea');"
                      " var i = document.getElementsByTagName('input');";
    QTest::newRow("no question") << "0|" << "" << "0";
    QTest::newRow("example")
        << "2|Q1|1|10|Q2|2|2|A|B" << t + "t[0].value = 'x<y'; i[0].click();"
        << "2<:>Q1<:>1<:>x y<:>Q2<:>2<:>2<:>[on]A<:>[no]B";
    QTest::newRow("untouched") << "2|Q1|1|-1|Q2|3|2|A|B" << ""
                               << "2<:>Q1<:>1<:><:>Q2<:>3<:>2<:>[no]A<:>[no]B";
    QTest::newRow("limits")
        << "3|A|1|0|B|1|-1|C|1|5"
        << t + "t[0].value = 'abc'; t[1].value = 'abcdefgh'; t[2].value = 'abcdefgh';"
        << "3<:>A<:>1<:><:>B<:>1<:>abcdefgh<:>C<:>1<:>abcde";
    QTest::newRow("cleaning and line break")
        << "1|A|1|-1" << t + "t[0].value = 'a|b<c>d\\nnext';" << "1<:>A<:>1<:>a:b c d\nnext";
    QTest::newRow("no choice") << "1|A|2|0" << "" << "1<:>A<:>2<:>0";
    QTest::newRow("live states")
        << "2|A|2|3|x|y|z|B|3|3|p|q|r"
        << t + "i[0].click(); i[1].click(); i[0].click(); i[3].click(); i[5].click();"
        << "2<:>A<:>2<:>3<:>[no]x<:>[on]y<:>[no]z<:>B<:>3<:>3<:>[no]p<:>[no]q<:>[on]r";
    // Records that do not match the page: the walk stays within the text.
    QTest::newRow("unknown type, missing choices")
        << "3|A|9|B|2|3|x|y" << t + "i[1].click();" << "3<:>B<:>2<:>3<:>[no]x<:>[on]y";
    QTest::newRow("count without records") << "5|A|1" << "" << "5<:>A<:>1<:>";
}

void TestExamSheet::answers()
{
    QFETCH(QString, exam);
    QFETCH(QString, script);
    QFETCH(QString, expected);
    openSheet(exam);
    js(script);
    QCOMPARE(frmweb->GetHtm2Im(), expected);
    // The walk changes nothing.
    QCOMPARE(frmweb->GetHtm2Im(), expected);
}

QTEST_MAIN(TestExamSheet)
#include "tst_exam_sheet.moc"
