// The exam clock and the waiting window, with the server time set by hand.
#include "core/msgbox.h"
#include "core/pure/examdate.h"
#include "core/pure/loginreply.h"
#include "examtest.h"
#include "support/modal.h"

#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QThread>
#include <QtTest>

using namespace examtest;

static const QString kServerNow = QStringLiteral("2015-05-25 14:00:00");

static ExamRecord record(const QString &id, const QString &start, const QString &minutes,
                         const QString &header, const QStringList &texts = {"1|Q|1|-1"})
{
    ExamRecord r;
    r.id = id;
    r.start = start;
    r.duration = minutes;
    r.header = header;
    r.field4 = QStringLiteral("f4");
    r.texts = texts;
    return r;
}

class TestExamClock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void waitingWindowRows();
    void countdown();
    void ticksByItself();
    void firstTickRule_data();
    void firstTickRule();
    void examStart_data();
    void examStart();
    void lateBoxHeldOpen_data();
    void lateBoxHeldOpen();
    void heldEventLoop();
    void heldLoopOnTheRealClock();
    void tickDuringLateMessage();
    void tickDuringStartWindowMessage();
    void examWithoutText();
    void overlappingExamsStartOnce();
    void closing();
    void loginReplyFillsTheClock();

private:
    void makeDay(const QList<ExamRecord> &records);
    QTableWidget *table() const { return frmstart2->findChild<QTableWidget *>("table1"); }
};

void TestExamClock::init()
{
    reset();
    sDateServer = kServerNow;
}

void TestExamClock::cleanup() { closeWindows(); }

void TestExamClock::makeDay(const QList<ExamRecord> &records)
{
    frmtime = new FrmTimer(nullptr);
    for (const ExamRecord &r : records)
        frmtime->addExam(r);
    frmstart2 = new FrmStart2(nullptr);
    frmstart2->show();
}

void TestExamClock::waitingWindowRows()
{
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
    makeDay({record("1", "2015-05-25 14:30:00", "60", "Écriture<:>2<:>5"),
             record("2", "2015-05-25 16:05:00", "30", "Only title")});
    QVERIFY(frmtime->isTicking());
    QCOMPARE(frmstart2->getcountList(), 2);
    QCOMPARE(table()->columnCount(), 2);
    QCOMPARE(table()->columnWidth(0), 260);
    QCOMPARE(table()->columnWidth(0) + table()->columnWidth(1), table()->viewport()->width());
    QCOMPARE(table()->item(0, 0)->text(),
             QStringLiteral("Écriture\n[ الفوج:2 الفصل:5 ]"));
    QCOMPARE(table()->item(0, 1)->text(), QStringLiteral("14:30"));
    QCOMPARE(table()->item(1, 0)->text(), QStringLiteral("Only title\n[ الفوج: الفصل: ]"));
    QCOMPARE(table()->item(1, 1)->text(), QStringLiteral("16:05"));
    QCOMPARE(table()->item(0, 1)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    QCOMPARE(frmstart2->findChild<QLabel *>("LVelmar")->text(), nameVelmar);
    QCOMPARE(frmstart2->findChild<QLabel *>("Ldate")->text(), QString());
    QCOMPARE(frmstart2->size(), QSize(329, 409));

    // The time column fills the rest, also beside a scroll bar.
    frmstart2->hide();
    frmtime->addExam(record("3", "2015-05-25 17:45:00", "30", "Third<:>1<:>1"));
    frmstart2->close();
    frmstart2 = new FrmStart2(nullptr);
    frmstart2->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmstart2));
    QTRY_VERIFY(table()->verticalScrollBar()->isVisible());
    QCOMPARE(table()->columnWidth(0) + table()->columnWidth(1), table()->viewport()->width());
    QVERIFY(table()->columnWidth(0) >= 240);
    const int margins = 2 * (table()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (int r = 0; r < 3; ++r)
        QVERIFY(table()->fontMetrics().horizontalAdvance(table()->item(r, 1)->text()) + margins
                <= table()->columnWidth(1));

    frmstart2->changeTm(QStringLiteral("2015-05-25 14:12:18"), QStringLiteral("00:17:42"));
    QCOMPARE(frmstart2->findChild<QLabel *>("Ldate")->text(),
             QStringLiteral("<html><head/><body><div align='center'>2015-05-25<br><span "
                            "style=' color:#0000ff;'>14:12:18</span></div></body></html>"));
    QCOMPARE(frmstart2->findChild<QLabel *>("label")->text(), QStringLiteral("00:17:42"));
    QCOMPARE(frmstart2->windowTitle(), QStringLiteral("لديك اختبار بعد : 00:17:42"));
}

void TestExamClock::countdown()
{
    makeDay({record("1", "2015-05-25 14:10:00", "60", "A<:>1<:>1")});
    QCOMPARE(frmtime->GettimeServer(), 600);
    ModalAnswerer answers;
    tick();
    tick();
    QCOMPARE(sSecond, 2);
    QCOMPARE(frmtime->GettimeServer(), 598);
    QCOMPARE(frmstart2->windowTitle(), QStringLiteral("لديك اختبار بعد : 00:09:58"));
    QVERIFY(frmstart2->findChild<QLabel *>("Ldate")->text().contains("14:00:02"));
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(!frmtime->examRunning());
    QCOMPARE(frmtime->GettimeServer2(QDateTime::fromString("2015-05-25 14:10:00", format), 60),
             4198);
}

void TestExamClock::ticksByItself()
{
    hooks::setMonotonicClock({});
    markServerTime();
    FrmTimer::tickMs = 20;
    makeDay({record("1", "2015-05-25 14:10:00", "60", "A<:>1<:>1")});
    QTRY_VERIFY_WITH_TIMEOUT(sSecond >= 3, 60000);
    QVERIFY(frmstart2->windowTitle().startsWith(QStringLiteral("لديك اختبار بعد : 00:09:")));
}

void TestExamClock::firstTickRule_data()
{
    QTest::addColumn<int>("ahead"); // seconds from the first tick to the start
    QTest::addColumn<bool>("refused");
    QTest::newRow("1061") << 1061 << false;
    QTest::newRow("1062") << 1062 << true;
    QTest::newRow("an hour") << 3600 << true;
}

void TestExamClock::firstTickRule()
{
    QFETCH(int, ahead);
    QFETCH(bool, refused);
    const QString start =
        QDateTime::fromString(kServerNow, format).addSecs(ahead + 1).toString(format);
    makeDay({record("1", start, "60", "A<:>1<:>1")});
    ModalAnswerer answers;
    tick();
    QCOMPARE(answers.shown.size(), refused ? 1 : 0);
    QCOMPARE(quits(), refused ? 1 : 0);
    if (refused)
        QVERIFY(answers.texts().first().startsWith(QStringLiteral("لديك اختبار بعد : ")
                                                   + remainingText(ahead)));
    // Applied at the first countdown tick only.
    tick();
    QCOMPARE(answers.shown.size(), refused ? 1 : 0);
}

void TestExamClock::examStart_data()
{
    QTest::addColumn<int>("late"); // seconds since the start at the tick
    QTest::addColumn<QString>("message");
    QTest::newRow("on time") << 0 << QString();
    QTest::newRow("59 s late") << 59 << QString();
    QTest::newRow("60 s late") << 60 << QStringLiteral("مدة الامتحان 60 دقيقة ,بقي منها فقط  (59)      ");
    QTest::newRow("10 min late") << 600 << QStringLiteral("مدة الامتحان 60 دقيقة ,بقي منها فقط  (50)      ");
}

void TestExamClock::examStart()
{
    QFETCH(int, late);
    QFETCH(QString, message);
    const QDateTime now = QDateTime::fromString(kServerNow, format);
    const QString start = now.addSecs(1 - late).toString(format);
    makeDay({record("7", start, "60", "Reading<:>1<:>2"),
             record("8", now.addSecs(7200).toString(format), "30", "Next<:>1<:>2")});
    ModalAnswerer answers;
    tick();
    QCOMPARE(answers.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(answers.shown.first().title, QStringLiteral("برنامج الاختبار"));
    QVERIFY(frmtime->examRunning());
    QCOMPARE(frmtime->examMinutes(), 60);
    QCOMPARE(frmtime->examStart(), QDateTime::fromString(start, format));
    QCOMPARE(frmtime->listId, QStringList{"8"});
    QCOMPARE(frmtime->listDate.size(), 1);
    QCOMPARE(frmtime->listModa, QStringList{"30"});
    QCOMPARE(frmtime->listTitre, QStringList{"Next<:>1<:>2"});
    QCOMPARE(frmtime->listField4.size(), 1);
    QCOMPARE(frmtime->listTxt.size(), 2); // never shortened
    QCOMPARE(frmstart2->getcountList(), 1);
    QCOMPARE(table()->item(0, 0)->text(), QStringLiteral("Next\n[ الفوج:1 الفصل:2 ]"));
    QCOMPARE(quits(), 0);
    // The end of the exam is start plus duration on the server clock.
    QCOMPARE(frmtime->GettimeServer2(frmtime->examStart(), frmtime->examMinutes()),
             3600 - late);
}

void TestExamClock::lateBoxHeldOpen_data()
{
    QTest::addColumn<int>("held"); // seconds the student leaves the box open
    QTest::addColumn<QString>("remaining");
    QTest::newRow("40 s") << 40 << "00:27:48";
    QTest::newRow("5 min") << 300 << "00:23:28";
}

// A student 90 s late to a 30-minute exam reads the late box for a while:
// the clock's own timer cannot tick meanwhile, yet the sheet counts down on
// the server's time.
void TestExamClock::lateBoxHeldOpen()
{
    QFETCH(int, held);
    QFETCH(QString, remaining);
    const QDateTime now = QDateTime::fromString(kServerNow, format);
    makeDay({record("7", now.addSecs(-90).toString(format), "30", "A<:>1<:>1")});
    ModalAnswerer answers;
    answers.whileOpen([&](QDialog *) { pass(held * 1000); });
    tick();
    QCOMPARE(answers.texts(),
             QStringList{QStringLiteral("مدة الامتحان 30 دقيقة ,بقي منها فقط  (29)      ")});
    QVERIFY(frmweb);
    tick();
    // The exam ends 1800 s after its start, 90 s before the reply; the server
    // is at the reply plus the two ticks and the time the box stayed open.
    QCOMPARE(remainingText(1800 - 90 - held - 2), remaining);
    QCOMPARE(frmweb->findChild<QLabel *>("label")->text().section('\n', 1), remaining);
    QCOMPARE(answers.shown.size(), 1);
    QVERIFY(frmtime->listId.isEmpty());
}

// Ticks lost while the event loop is held (a slow post, a long page layout)
// cost the waiting window, the start and the sheet nothing.
void TestExamClock::heldEventLoop()
{
    const QDateTime now = QDateTime::fromString(kServerNow, format);
    makeDay({record("7", now.addSecs(20).toString(format), "1", "A<:>1<:>1"),
             record("8", now.addSecs(600).toString(format), "30", "B<:>1<:>1")});
    ModalAnswerer answers;
    pass(12500);
    tick();
    QCOMPARE(frmstart2->windowTitle(), QStringLiteral("لديك اختبار بعد : 00:00:07"));
    QVERIFY2(frmstart2->findChild<QLabel *>("Ldate")->text().contains("14:00:13"),
             qPrintable(frmstart2->findChild<QLabel *>("Ldate")->text()));
    pass(30000);
    tick(); // 24 s after the start: no late box
    QVERIFY(frmweb);
    QVERIFY(frmtime->examRunning());
    QVERIFY(answers.shown.isEmpty());
    pass(20000);
    tick();
    QCOMPARE(frmweb->findChild<QLabel *>("label")->text(),
             QStringLiteral("مدة الامتحان (بالدقائق) : 1\n00:00:15"));
    QCOMPARE(frmtime->GettimeServer(), 600 - 65);
}

// The same on the program's own monotonic clock: the test holds the event
// loop itself.
void TestExamClock::heldLoopOnTheRealClock()
{
    hooks::setMonotonicClock({});
    markServerTime();
    makeDay({record("1", "2015-05-25 14:10:00", "60", "A<:>1<:>1")});
    QThread::msleep(2100);
    frmtime->slotTime();
    QVERIFY2(sSecond >= 2, qPrintable(QString::number(sSecond)));
    QVERIFY(frmtime->GettimeServer() <= 598);
}

void TestExamClock::tickDuringLateMessage()
{
    const QDateTime now = QDateTime::fromString(kServerNow, format);
    makeDay({record("7", now.addSecs(-300).toString(format), "60", "A<:>1<:>1"),
             record("8", now.addSecs(-200).toString(format), "60", "B<:>1<:>1")});
    ModalAnswerer answers;
    answers.whileOpen([](QDialog *) {
        tick();
        tick();
    });
    tick();
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(frmtime->listId, QStringList{"8"});
    QCOMPARE(frmstart2->getcountList(), 1);
    QCOMPARE(sSecond, 3); // the server clock kept counting
}

void TestExamClock::tickDuringStartWindowMessage()
{
    const QDateTime now = QDateTime::fromString(kServerNow, format);
    makeDay({record("7", now.addSecs(5000).toString(format), "60", "A<:>1<:>1")});
    ModalAnswerer answers;
    answers.whileOpen([](QDialog *) {
        for (int i = 0; i < 3; ++i)
            tick();
    });
    tick();
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(quits(), 1);
    QCOMPARE(sSecond, 4);
}

void TestExamClock::examWithoutText()
{
    makeDay({record("7", "2015-05-25 13:59:00", "60", "A<:>1<:>1", {}),
             record("8", "2015-05-25 16:00:00", "60", "B<:>1<:>1")});
    QCOMPARE(frmtime->listIdTxt, QStringList{"8"});
    ModalAnswerer answers;
    tick();
    QVERIFY(frmtime->examRunning());
    // Started once: it leaves the lists even without a text.
    QCOMPARE(frmtime->listId, QStringList{"8"});
    QCOMPARE(frmstart2->getcountList(), 1);
}

void TestExamClock::overlappingExamsStartOnce()
{
    makeDay({record("7", "2015-05-25 13:50:00", "60", "A<:>1<:>1")});
    ModalAnswerer answers;
    for (int i = 0; i < 5; ++i)
        tick();
    QCOMPARE(answers.shown.size(), 1);
    QVERIFY(frmtime->listId.isEmpty());
    QCOMPARE(frmstart2->getcountList(), 0);
    QCOMPARE(frmtime->GettimeServer(), 0);
}

void TestExamClock::closing()
{
    makeDay({record("1", "2015-05-25 14:10:00", "60", "A<:>1<:>1")});
    QPointer<FrmTimer> clock = frmtime;
    QPointer<FrmStart2> waiting = frmstart2;
    frmtime->close();
    QCOMPARE(frmtime, nullptr);
    settle();
    QVERIFY(clock.isNull());
    QCOMPARE(quits(), 0);
    frmstart2->close();
    QCOMPARE(frmstart2, nullptr);
    QCOMPARE(quits(), 1);
    settle();
    QVERIFY(waiting.isNull());
}

void TestExamClock::loginReplyFillsTheClock()
{
    // An old clock and waiting window give way to new ones.
    makeDay({record("99", "2015-05-25 18:00:00", "60", "Old<:>1<:>1")});
    QPointer<FrmTimer> oldClock = frmtime;
    QPointer<FrmStart2> oldWaiting = frmstart2;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    ModalAnswerer answers;
    frmstart->ExtracTxt(QStringLiteral(
        "0<>a<>b<>2015-05-25 14:00:00<>c<>dZ<|||>"
        "1<||>2015-05-25 12:00:00<||>60<||>Over<:>1<:>1<||>x<||>t1"
        "<|||>2<||>2015-05-25 13:30:00<||>60<||>Running<:>1<:>2<||>x<||>t2<||>t2b"
        "<|||>3<||>2015-05-25 15:00:00<||>45<||>Later<:>2<:>3<||>x<||>t3"
        "<|||>4<||>2015-05-25"));
    QCOMPARE(quits(), 1); // the old waiting window's close ends the program
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(oldClock != frmtime);
    QCOMPARE(frmtime->listId, (QStringList{"2", "3"}));
    QCOMPARE(frmtime->listIdTxt, (QStringList{"2", "2", "3"}));
    QCOMPARE(frmtime->listTxt, (QStringList{"t2", "t2b", "t3"}));
    QCOMPARE(frmstart2->getcountList(), 2);
    QCOMPARE(frmstart, nullptr);
    settle();
    QVERIFY(oldClock.isNull());
    QVERIFY(oldWaiting.isNull());
    QCOMPARE(sDateServer, QStringLiteral("2015-05-25 14:00:00"));
}

QTEST_MAIN(TestExamClock)
#include "tst_exam_clock.moc"
