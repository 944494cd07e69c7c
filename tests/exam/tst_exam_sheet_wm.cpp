// The exam sheet and the boxes of an exam as a student meets them: under a
// real window manager (openbox, on a virtual display of the test's own), the
// boxes shown for real and answered with the pointer, against the local
// institute.
#include "core/frmconnect.h"
#include "core/msgbox.h"
#include "examtest.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/wmdesktop.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

const QString kExamText = QStringLiteral("2|Write|1|-1|Pick|2|2|A|B");
const QString kNoBoxAlert = QStringLiteral("من فضلك : ضع المؤشر حيث تريد الكتابة");
const QString kMsgSent = QStringLiteral("تم بحمد الله إرسال الامتحان بنجاح    ");
const QString kAskConnection =
    QStringLiteral("فشل الاتصال لانقطاع الخط هل تريد المحاولة من جديد    ");

QMessageBox *messageBox(QWidget *modal) { return qobject_cast<QMessageBox *>(modal); }

QPushButton *buttonOf(QWidget *modal, QMessageBox::StandardButton which)
{
    auto *box = messageBox(modal);
    return box ? qobject_cast<QPushButton *>(box->button(which)) : nullptr;
}

// Moves the pointer onto a widget and waits until the widget has seen it:
// everything the X server sent before has been handled then.
bool pointTo(QWidget *widget)
{
    QPointer<QWidget> target = widget;
    wm::moveTo(widget->mapToGlobal(widget->rect().center()));
    return QTest::qWaitFor([&] { return !target || target->underMouse(); }, 20000) && target;
}

// Clicks a button of a box with the pointer and waits for the box to go. A
// box that the click did not reach is closed by hand, so that the test goes
// on, and false is returned.
bool answer(QWidget *modal, QMessageBox::StandardButton which)
{
    QPointer<QWidget> box = modal;
    // A click that a window manager's late move of the box made miss is made
    // again where the button now is.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QPushButton *button = box ? buttonOf(box, which) : nullptr;
        if (button)
            wm::clickOn(button);
        if (QTest::qWaitFor([&] { return !box || !box->isVisible(); }, 20000))
            return true;
    }
    if (auto *dialog = qobject_cast<QDialog *>(box.data()))
        dialog->done(QDialog::Rejected);
    return false;
}

// Counts the close events that reach the widgets it watches.
class CloseSpy : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Close)
            ++count;
        return false;
    }
};

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Waits until the window manager has framed the box and the wait box and
// shows them side by side; seen tells where it had them last.
bool shownBesideWaitBox(QWidget *box, QString *seen)
{
    QPointer<QWidget> modal = box;
    return QTest::qWaitFor(
        [&] {
            if (!modal || !frmconn) {
                *seen = modal ? QStringLiteral("no wait box") : QStringLiteral("the box went");
                return false;
            }
            const bool framed = wm::framed(modal->winId()) && wm::framed(frmconn->winId());
            const QRect boxFrame = wm::frameOf(modal->winId());
            const QRect waitFrame = wm::frameOf(frmconn->winId());
            *seen = QStringLiteral("box %1, wait box %2%3")
                        .arg(describe(boxFrame), describe(waitFrame),
                             framed ? QString() : QStringLiteral(", not both framed"));
            return framed && !boxFrame.intersects(waitFrame);
        },
        60000);
}

} // namespace

class TestExamSheetWm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sheetCoversTheScreen();
    void alertAboveTheSheet();
    void endOfTimeUnderAlert();
    void waitBoxOffersNoClose();
    void retryQuestionBesideTheWaitBox();
    void questionBesideAWaitBoxFramedLate();
    void questionFollowsAMovedWaitBox();

private:
    QJsonObject exam(int id, int offset, int minutes) const;
    void login(const QJsonArray &exams);
    void tickToSheet(int maxTicks = 10);
    void openKeyboard();
    QWidget *key(const QString &name) const;
    QStringList sendBodies();

    Institute m_institute;
};

void TestExamSheetWm::initTestCase()
{
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    hooks::setClock([] { return QDateTime::fromString("2015-05-25 14:12:18", format); });
}

void TestExamSheetWm::init()
{
    reset();
    Url_php = QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
}

void TestExamSheetWm::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
}

QJsonObject TestExamSheetWm::exam(int id, int offset, int minutes) const
{
    return QJsonObject{{"id", id},           {"offset", offset}, {"minutes", minutes},
                       {"title", "Reading"}, {"fawj", 2},        {"fasl", 5},
                       {"texts", QJsonArray{kExamText}}};
}

void TestExamSheetWm::login(const QJsonArray &exams)
{
    id_user = 1001;
    m_institute.control(
        {{"command", "exam-day"}, {"relative", "reply"}, {"released", "0"}, {"exams", exams}});
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QCOMPARE(answers.texts(), QStringList());
    QVERIFY(frmtime);
    QVERIFY(frmstart2);
}

void TestExamSheetWm::tickToSheet(int maxTicks)
{
    for (int i = 0; i < maxTicks && !frmweb; ++i)
        tick();
    QVERIFY(frmweb);
    QTRY_VERIFY_WITH_TIMEOUT(frmweb->frame()->findAllElements("form").count() > 0, 60000);
    QVERIFY(QTest::qWaitForWindowExposed(frmweb, 60000));
}

void TestExamSheetWm::openKeyboard()
{
    frmweb->frame()->evaluateJavaScript("document.querySelector('#total a').click();"
                                        "document.activeElement.blur();");
    QTRY_VERIFY_WITH_TIMEOUT(key("map_22")->isVisible(), 60000);
}

QWidget *TestExamSheetWm::key(const QString &name) const
{
    return frmweb->findChild<QWidget *>("widget")->findChild<QWidget *>(name);
}

QStringList TestExamSheetWm::sendBodies()
{
    QStringList out;
    for (const QString &body : postBodies(m_institute.log())) {
        if (body.contains("&cmd=send&"))
            out << body;
    }
    return out;
}

// The sheet takes the whole screen, whatever the window manager does with a
// maximised frameless window, and the page the whole sheet.
void TestExamSheetWm::sheetCoversTheScreen()
{
    login({exam(21, 2, 60)});
    tickToSheet();
    const QRect screen = frmweb->screen()->geometry();
    QCOMPARE(screen, QRect(0, 0, 1366, 768));
    // The window manager has its say first (qWaitFor counts real time).
    (void)QTest::qWaitFor([&] { return wm::frameOf(frmweb->winId()) == screen; }, 20000);
    QCOMPARE(wm::frameOf(frmweb->winId()), screen);
    QTRY_COMPARE_WITH_TIMEOUT(frmweb->findChild<QWebView *>("web")->geometry(),
                              QRect(QPoint(), screen.size()), 60000);
    QVERIFY(wm::above(frmweb->winId(), frmstart2->winId()) || !frmstart2->isVisible());
}

// The page's alert opens above the sheet, and the pointer answers it.
void TestExamSheetWm::alertAboveTheSheet()
{
    login({exam(22, 2, 60)});
    tickToSheet();
    openKeyboard();
    QString text;
    bool aboveSheet = false;
    bool answered = false;
    wm::ModalWatch watch([&](QWidget *modal) {
        text = messageBox(modal) ? messageBox(modal)->text() : QString();
        aboveSheet = wm::above(modal->winId(), frmweb->winId());
        answered = answer(modal, QMessageBox::Ok);
    });
    wm::clickOn(key("map_22"));
    QTRY_COMPARE_WITH_TIMEOUT(watch.count(), 1, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 60000);
    QCOMPARE(text, kNoBoxAlert);
    QVERIFY(aboveSheet);
    QVERIFY(answered);
    QVERIFY(frmweb && frmweb->isVisible());
}

// Time runs out while the alert is open: the alert goes, the answers are
// posted, the student's OK on the success message returns to the waiting
// window, and the next exam of the day opens at its time.
void TestExamSheetWm::endOfTimeUnderAlert()
{
    login({exam(23, 2, 1), exam(24, 300, 30)});
    tickToSheet();
    openKeyboard();
    QPointer<FrmWeb> sheet = frmweb;
    QStringList texts;
    bool successBesideWaitBox = false;
    QString successSeen = QStringLiteral("no success message");
    bool answered = false;
    wm::ModalWatch watch([&](QWidget *modal) {
        texts << (messageBox(modal) ? messageBox(modal)->text() : QString());
        if (texts.last() == kNoBoxAlert && texts.size() > 1) {
            answer(modal, QMessageBox::Ok); // still open after the end
            return;
        }
        if (texts.last() == kNoBoxAlert) {
            // The clock runs on while the alert is open, past the end.
            QTimer::singleShot(0, [&] {
                while (sheet && sheet->hasOpenBox() && frmtime->examRunning() && sSecond < 200)
                    tick();
            });
            return;
        }
        successBesideWaitBox = shownBesideWaitBox(modal, &successSeen);
        answered = answer(modal, QMessageBox::Ok);
    });
    wm::clickOn(key("map_22"));
    QTRY_COMPARE_WITH_TIMEOUT(watch.count(), 1, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 60000);
    QCOMPARE(sendBodies().size(), 0); // not from inside the alert
    tick();
    QCOMPARE(texts, (QStringList{kNoBoxAlert, kMsgSent}));
    QVERIFY2(successBesideWaitBox, qPrintable(successSeen));
    QVERIFY(answered);
    QCOMPARE(sendBodies().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!sheet, 60000);
    QVERIFY(frmstart2->isVisible());
    QCOMPARE(quits(), 0);
    tickToSheet(400);
    QVERIFY(frmweb != sheet);
}

// The wait box has a title bar and nothing else, and a close asked of it
// while its post runs leaves it open: Cancel is the way to stop a post.
void TestExamSheetWm::waitBoxOffersNoClose()
{
    m_institute.control({{"command", "exam-fault"}, {"silent", 120}});
    id_user = 1001;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    QList<quint32> hints;
    bool openAfterClose = false;
    QString afterClose = QStringLiteral("no close asked: the box was not shown");
    CloseSpy closes;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (!reply_isRunning || !frmconn || !frmconn->windowHandle()
            || !frmconn->windowHandle()->isExposed())
            return;
        poll.stop();
        hints = wm::motifHints(frmconn->winId());
        frmconn->installEventFilter(&closes);
        wm::askToClose(frmconn->winId());
        (void)QTest::qWaitFor([&] { return closes.count > 0; }, 60000);
        openAfterClose = closes.count > 0 && frmconn && frmconn->isVisible();
        afterClose = QStringLiteral("%1 close requests, the box %2")
                         .arg(closes.count)
                         .arg(!frmconn ? QStringLiteral("gone")
                                       : frmconn->isVisible() ? QStringLiteral("open")
                                                              : QStringLiteral("hidden"));
        if (openAfterClose)
            wm::clickOn(frmconn->findChild<QPushButton *>("pushButton"));
    });
    poll.start(20);
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    // What the box asks of the window manager: its functions given, and
    // neither close (0x20) nor maximise (0x10) among them. Some window
    // managers (openbox among them) show a close button all the same.
    QVERIFY(hints.size() >= 3);
    QVERIFY(hints.at(0) & 1);
    QCOMPARE(hints.at(1) & 0x31, 0u);
    QVERIFY2(openAfterClose, qPrintable(afterClose));
    QCOMPARE(answers.texts(), QStringList{QStringLiteral("فشل الاتصال لانقطاع الخط حاول من جديد    ")});
    QVERIFY(frmstart->isVisible());
    m_institute.control({{"command", "exam-fault"}});
}

// The retry question opens beside the wait box: a click on Cancel does not
// answer it, and Yes posts again.
void TestExamSheetWm::retryQuestionBesideTheWaitBox()
{
    login({exam(25, 2, 60)});
    tickToSheet();
    m_institute.control({{"command", "exam-fault"}, {"cmd", "send"}, {"status", 503}});
    bool beside = false;
    QString seen = QStringLiteral("no question");
    bool stillAsking = false;
    bool pointedAtNo = false;
    bool answeredYes = false;
    int postsWhileAsking = -1;
    QStringList texts;
    wm::ModalWatch watch([&](QWidget *modal) {
        texts << (messageBox(modal) ? messageBox(modal)->text() : QString());
        if (texts.last() != kAskConnection || texts.size() > 1) {
            answer(modal, texts.last() == kAskConnection ? QMessageBox::No : QMessageBox::Ok);
            return;
        }
        beside = shownBesideWaitBox(modal, &seen);
        // A click on the wait box's Cancel, then the pointer over No: the
        // click has been handled once No is under the pointer.
        wm::clickOn(frmconn->findChild<QPushButton *>("pushButton"));
        pointedAtNo = pointTo(buttonOf(modal, QMessageBox::No));
        stillAsking = modal->isVisible();
        if (!stillAsking)
            return;
        postsWhileAsking = sendBodies().size();
        m_institute.control({{"command", "exam-fault"}});
        answeredYes = answer(modal, QMessageBox::Yes);
    });
    wm::clickOn(frmweb->findChild<QPushButton *>("pushButton"));
    QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 2, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 60000);
    QCOMPARE(texts, (QStringList{kAskConnection, kMsgSent}));
    QVERIFY2(beside, qPrintable(seen));
    QVERIFY(stillAsking);
    QVERIFY(pointedAtNo);
    QVERIFY(answeredYes);
    QCOMPARE(postsWhileAsking, 1);
    QCOMPARE(sendBodies().size(), 2);
}

// The window manager, held up, frames the wait box only after the retry
// question was placed beside the bare wait box: the question ends beside the
// framed one all the same.
void TestExamSheetWm::questionBesideAWaitBoxFramedLate()
{
    login({exam(26, 2, 60)});
    tickToSheet();
    m_institute.control({{"command", "exam-fault"}, {"cmd", "send"}, {"status", 503}});
    wm::HeldWindowManager held;
    QVERIFY(held.isHeld());
    bool waitBoxBareWhenAsked = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!messageBox(modal) || !modal->isVisible())
            return;
        poll.stop();
        waitBoxBareWhenAsked = frmconn && !wm::framed(frmconn->winId());
        held.release();
    });
    poll.start(20);
    bool beside = false;
    bool answeredYes = false;
    QString seen = QStringLiteral("no question");
    QStringList texts;
    wm::ModalWatch watch([&](QWidget *modal) {
        texts << (messageBox(modal) ? messageBox(modal)->text() : QString());
        if (texts.last() == kAskConnection && texts.size() == 1) {
            beside = shownBesideWaitBox(modal, &seen);
            m_institute.control({{"command", "exam-fault"}});
            answeredYes = answer(modal, QMessageBox::Yes);
            return;
        }
        answer(modal, QMessageBox::Ok);
    });
    QTimer::singleShot(0, frmweb->findChild<QPushButton *>("pushButton"), &QPushButton::click);
    QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 2, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 60000);
    QCOMPARE(texts, (QStringList{kAskConnection, kMsgSent}));
    QVERIFY(waitBoxBareWhenAsked);
    QVERIFY2(beside, qPrintable(seen));
    QVERIFY2(answeredYes, "the pointer's click did not reach the question's Yes");
    QCOMPARE(sendBodies().size(), 2);
}

// The student drags the wait box over the retry question: the question moves
// above it, clear of it.
void TestExamSheetWm::questionFollowsAMovedWaitBox()
{
    login({exam(27, 2, 60)});
    tickToSheet();
    m_institute.control({{"command", "exam-fault"}, {"cmd", "send"}, {"status", 503}});
    bool besideFirst = false;
    bool besideAfterMove = false;
    QString seen = QStringLiteral("no question");
    QString moveSeen = QStringLiteral("no question");
    QStringList texts;
    wm::ModalWatch watch([&](QWidget *modal) {
        texts << (messageBox(modal) ? messageBox(modal)->text() : QString());
        if (texts.last() == kAskConnection && texts.size() == 1) {
            besideFirst = shownBesideWaitBox(modal, &seen);
            const QRect question = wm::frameOf(modal->winId());
            const QRect wait = wm::frameOf(frmconn->winId());
            // The wait box's top onto the foot of the question, too low for
            // the question to go below it.
            const int down = question.bottom() - 4 - wait.top();
            wm::run(QStringLiteral("xdotool"),
                    {QStringLiteral("windowmove"), QString::number(frmconn->winId()),
                     QString::number(frmconn->geometry().x()),
                     QString::number(frmconn->geometry().y() + down)});
            const bool moved = QTest::qWaitFor(
                [&] {
                    moveSeen = frmconn ? describe(wm::frameOf(frmconn->winId()))
                                       : QStringLiteral("the wait box went");
                    return frmconn && wm::frameOf(frmconn->winId()).top() >= wait.top() + down;
                },
                60000);
            moveSeen = QStringLiteral("the wait box moved from %1 to %2").arg(describe(wait), moveSeen);
            besideAfterMove = moved && shownBesideWaitBox(modal, &seen);
            m_institute.control({{"command", "exam-fault"}});
            answer(modal, QMessageBox::Yes);
            return;
        }
        answer(modal, QMessageBox::Ok);
    });
    wm::clickOn(frmweb->findChild<QPushButton *>("pushButton"));
    QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 2, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 60000);
    QVERIFY(besideFirst);
    QVERIFY2(besideAfterMove, qPrintable(moveSeen + QStringLiteral("; ") + seen));
    QCOMPARE(texts, (QStringList{kAskConnection, kMsgSent}));
}

VELMAR_WM_TEST_MAIN(TestExamSheetWm, 1366, 768)
#include "tst_exam_sheet_wm.moc"
