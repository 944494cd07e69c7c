// The student's road against the local institute: login, the clock opens the
// exam sheet, answers typed on the page, the report file, the "send" post
// with its retry question, and the end of the program after the last exam.
#include "common/hooks.h"
#include "core/msgbox.h"
#include "examtest.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWebElement>
#include <QWebFrame>
#include <QtTest>

using namespace examtest;

namespace {

const QString kSaved = QStringLiteral("2015-05-25_14.12.18");
const QString kExamText = QStringLiteral("2|Write|1|-1|Pick|2|2|A|B");

const QString kMsgSent = QStringLiteral("تم بحمد الله إرسال الامتحان بنجاح    ");
const QString kMsgDeja = QStringLiteral("لقد تم استقبال امتحانك من قبل لا يمكنك إرساله مجددا    ");
const QString kAskConnection =
    QStringLiteral("فشل الاتصال لانقطاع الخط هل تريد المحاولة من جديد    ");
const QString kAskEmpty =
    QStringLiteral("حدث خلل ما الرجاء المحاولة من جديد هل تريد المحاولة من جديد    ");
const QString kReportNotSaved = QStringLiteral("تعذر حفظ نسخة الامتحان على جهازك في :\n");
const QString kCopyKept =
    QStringLiteral("لم يتم إرسال الامتحان، وقد حفظت نسخة منه على جهازك في :\n");
const QString kSendLater =
    QStringLiteral("\nيمكنك إرسالها لاحقا من زر «إعدادات» في برنامج الاختبار    ");
const QString kNoExamLeft = QStringLiteral("لا يوجد اختبار آخر");
const QString kWaitSend = QStringLiteral("جاري إرسال الامتحان للإدارة الرجاء الانتظار ...");

QString home() { return QDir::homePath(); }

QString serverNowText()
{
    return QDateTime::fromString(sDateServer, format).addSecs(sSecond).toString(format);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fields of a report file: qCompress'ed UTF-8, fields joined by "<::>".
QStringList reportFields(const QString &path)
{
    return QString::fromUtf8(qUncompress(readFile(path))).split(QStringLiteral("<::>"));
}

} // namespace

class TestExamSubmit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void fromLoginToSubmission();
    void endOfTime();
    void endOfTimeUnderAlert();
    void endOfTimeAfterHeldLoop();
    void retryBoxHeldOpen();
    void retry_data();
    void retry();
    void giveUp_data();
    void giveUp();
    void deja();
    void nextExamWaitsForPendingSubmission();
    void nextExamInTheSameTick();
    void reportFileFailures_data();
    void reportFileFailures();
    void longTitle();
    void sendWithoutSheet();

private:
    QString url() const;
    QJsonObject exam(int id, int offset, int minutes, const QString &title = "Reading") const;
    // Logs in member 1001 with the given day; the clock and waiting window run.
    void login(const QJsonArray &exams);
    // Ticks until the sheet is open with its page complete.
    void tickToSheet(int maxTicks = 10);
    void answerOnPage();
    QString expectedBody(const QString &id, const QString &title) const;
    QStringList sendBodies();
    void fault(const QJsonObject &fault);

    Institute m_institute;
};

void TestExamSubmit::initTestCase()
{
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    hooks::setClock([] { return QDateTime::fromString("2015-05-25 14:12:18", format); });
}

void TestExamSubmit::cleanupTestCase() { hooks::setClock({}); }

void TestExamSubmit::init()
{
    reset();
    Url_php = url();
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
    QDir(home() + "/.imtihan").removeRecursively();
    QFile::remove(home() + "/.imtihan");
    QDir(home() + "/Desktop").removeRecursively();
    QFile::remove(home() + "/Desktop");
    QVERIFY(QDir(home()).mkdir("Desktop"));
}

void TestExamSubmit::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
    QCOMPARE(frmconn, nullptr);
    QCOMPARE(frmweb, nullptr);
}

QString TestExamSubmit::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
}

QJsonObject TestExamSubmit::exam(int id, int offset, int minutes, const QString &title) const
{
    return QJsonObject{{"id", id},       {"offset", offset}, {"minutes", minutes},
                       {"title", title}, {"fawj", 2},        {"fasl", 5},
                       {"texts", QJsonArray{kExamText}}};
}

void TestExamSubmit::login(const QJsonArray &exams)
{
    id_user = 1001;
    m_institute.control({{"command", "exam-day"},
                         {"relative", "reply"},
                         {"released", "0"},
                         {"exams", exams}});
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QCOMPARE(answers.texts(), QStringList());
    QVERIFY(frmtime);
    QVERIFY(frmstart2);
}

void TestExamSubmit::tickToSheet(int maxTicks)
{
    for (int i = 0; i < maxTicks && !frmweb; ++i)
        tick();
    QVERIFY(frmweb);
    QTRY_VERIFY(frmweb->frame()->findAllElements("form").count() > 0);
}

// Types "ضص" with the on-screen keyboard and ticks the first choice.
void TestExamSubmit::answerOnPage()
{
    QWebFrame *frame = frmweb->frame();
    frame->evaluateJavaScript("document.querySelector('#total a').click();"
                              "document.getElementsByTagName('textarea')[0].focus();");
    QWidget *panel = frmweb->findChild<QWidget *>("widget");
    QVERIFY(panel->isVisible());
    QTest::mouseClick(panel->findChild<QWidget *>("map_22"), Qt::LeftButton);
    QTest::mouseClick(panel->findChild<QWidget *>("map_19"), Qt::LeftButton);
    frame->evaluateJavaScript("document.getElementsByTagName('input')[0].click();");
}

// The "send" body for the answers of answerOnPage, item by item.
QString TestExamSubmit::expectedBody(const QString &id, const QString &title) const
{
    return "?" + url() + "&cmd=send&id_user=1001&isgroup=no"
           + "&txt=2%3C:%3EWrite%3C:%3E1%3C:%3E%D8%B6%D8%B5%3C:%3EPick%3C:%3E2%3C:%3E2"
             "%3C:%3E[on]A%3C:%3E[no]B"
           + "&id=" + id + "&titre=" + title;
}

QStringList TestExamSubmit::sendBodies()
{
    QStringList out;
    for (const QString &body : postBodies(m_institute.log())) {
        if (body.contains("&cmd=send&"))
            out << body;
    }
    return out;
}

void TestExamSubmit::fault(const QJsonObject &fault)
{
    QJsonObject command = fault;
    command.insert("command", "exam-fault");
    command.insert("cmd", "send");
    m_institute.control(command);
}

void TestExamSubmit::fromLoginToSubmission()
{
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
    login({exam(21, 3, 60)});
    tickToSheet();
    QVERIFY(!frmstart2->isVisible());
    QCOMPARE(frmstart2->getcountList(), 0);
    QVERIFY(frmtime->examRunning());
    answerOnPage();
    // The remaining time counts down on the sheet.
    tick();
    QCOMPARE(frmweb->findChild<QLabel *>("label")->text(),
             QStringLiteral("مدة الامتحان (بالدقائق) : 60\n00:59:59"));
    // Only a submission closes the sheet while the exam runs.
    frmweb->close();
    QVERIFY(frmweb);
    QVERIFY(frmweb->isVisible());

    ModalAnswerer answers;
    int quitsDuringMessage = -1;
    QString waitText;
    answers.whileOpen([&](QDialog *) {
        quitsDuringMessage = quits();
        waitText = frmconn ? frmconn->titre() : QString();
    });
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), QStringList{kMsgSent});
    QCOMPARE(answers.shown.first().title, QStringLiteral("رسالة"));
    QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
    QCOMPARE(waitText, kWaitSend);
    QCOMPARE(quitsDuringMessage, 0);
    QCOMPARE(quits(), 1); // no exam left
    QCOMPARE(frmweb, nullptr);
    QVERIFY(frmstart2->isVisible());
    QVERIFY(!frmtime->examRunning());
    QCOMPARE(sendBodies(), QStringList{expectedBody("21", "Reading")});

    const QJsonArray sent = m_institute.control({{"command", "exam-sent"}})["sent"].toArray();
    QCOMPARE(sent.size(), 1);
    const QString txt = sent.at(0)["post"]["txt"].toString();
    QCOMPARE(txt, QStringLiteral("2<:>Write<:>1<:>ضص<:>Pick<:>2<:>2<:>[on]A<:>[no]B"));

    const QString name = QStringLiteral("Reading_الفوج2_الفصل5_2015-05-25_14.12.18.im");
    const QStringList fields = reportFields(home() + "/.imtihan/" + name);
    QCOMPARE(fields, (QStringList{kSaved, "Amina Belkacem", "Amina.Belkacem@Example.org", "1001",
                                  "Ma3had<br />Al Fursan", "no", "21", "2", "5", "Reading", txt}));
    QCOMPARE(readFile(home() + "/Desktop/" + name), readFile(home() + "/.imtihan/" + name));
    settle();
}

void TestExamSubmit::endOfTime()
{
    login({exam(22, 2, 1), exam(23, 600, 30)});
    tickToSheet();
    answerOnPage();
    ModalAnswerer answers;
    QStringList labels;
    int ticks = 0;
    while (frmweb && ticks < 100) {
        tick();
        ++ticks;
        if (frmweb)
            labels << frmweb->findChild<QLabel *>("label")->text().section('\n', 1);
    }
    // Start + 1 minute on the server clock: the sheet opened at second 2.
    QCOMPARE(sSecond, 62);
    QCOMPARE(labels.first(), QStringLiteral("00:00:59"));
    QCOMPARE(labels.last(), QStringLiteral("00:00:01"));
    QCOMPARE(labels.size(), 59);
    QCOMPARE(answers.texts(), QStringList{kMsgSent});
    QCOMPARE(sendBodies(), QStringList{expectedBody("22", "Reading")});
    QCOMPARE(quits(), 0); // one exam still waits
    QVERIFY(frmstart2->isVisible());
    QCOMPARE(frmstart2->getcountList(), 1);
    QVERIFY(QFile::exists(home() + "/.imtihan/Reading_الفوج2_الفصل5_" + kSaved + ".im"));
    // The clock counts down to the next exam again.
    tick();
    QVERIFY(frmstart2->windowTitle().startsWith(QStringLiteral("لديك اختبار بعد : 00:08:")));
}

// Time runs out while the page's alert is open: the alert is closed first,
// the answers leave at the next tick, and the day goes on.
void TestExamSubmit::endOfTimeUnderAlert()
{
    login({exam(34, 2, 1), exam(35, 300, 30, "Second")});
    tickToSheet();
    answerOnPage();
    frmweb->frame()->evaluateJavaScript("document.activeElement.blur();");
    ModalAnswerer answers;
    QPointer<FrmWeb> sheet = frmweb;
    bool dismissed = false;
    int postsDuringAlert = -1;
    bool sheetDuringAlert = false;
    answers.whileOpen([&](QDialog *dialog) {
        if (answers.shown.size() > 1)
            return;
        connect(dialog, &QDialog::finished, [&] { dismissed = true; });
        while (!dismissed && frmtime->examRunning() && sSecond < 200)
            tick();
        settle();
        postsDuringAlert = sendBodies().size();
        sheetDuringAlert = sheet && frmweb == sheet;
    });
    QTest::mouseClick(frmweb->findChild<QWidget *>("map_22"), Qt::LeftButton);
    QVERIFY(dismissed);
    QCOMPARE(postsDuringAlert, 0);
    QVERIFY(sheetDuringAlert);
    QCOMPARE(answers.texts().size(), 1);
    tick();
    QCOMPARE(answers.texts().mid(1), QStringList{kMsgSent});
    QCOMPARE(sendBodies(), QStringList{expectedBody("34", "Reading")});
    settle();
    QVERIFY(!sheet);
    QVERIFY(frmstart2->isVisible());
    QCOMPARE(quits(), 0);
    tickToSheet(400);
    QCOMPARE(frmweb->examId(), 35);
}

// The event loop is held for half a minute during a one-minute exam: the
// answers still leave at the server's end of the exam.
void TestExamSubmit::endOfTimeAfterHeldLoop()
{
    login({exam(38, 2, 1), exam(39, 600, 30, "Second")});
    tickToSheet(); // the exam starts 2 s after the reply
    answerOnPage();
    pass(30500);
    tick();
    QCOMPARE(frmweb->findChild<QLabel *>("label")->text().section('\n', 1),
             QStringLiteral("00:00:29"));
    ModalAnswerer answers;
    qint64 sentAt = -1;
    answers.whileOpen([&](QDialog *) {
        if (sentAt < 0)
            sentAt = monotonicMs();
    });
    while (frmweb && monotonicMs() < 200 * 1000)
        tick();
    QCOMPARE(answers.texts(), QStringList{kMsgSent});
    QCOMPARE(sendBodies(), QStringList{expectedBody("38", "Reading")});
    // Seconds since the reply on the monotonic clock: start plus one minute.
    QCOMPARE(sentAt / 1000, 62);
    QCOMPARE(quits(), 0);
}

// The automatic submission fails and the student reads the retry question
// for 100 s; the clock's own timer cannot tick meanwhile. The waiting window
// counts down to the next exam on the server's time and opens it on time.
void TestExamSubmit::retryBoxHeldOpen()
{
    login({exam(40, 2, 1, "First"), exam(41, 300, 30, "Second")});
    tickToSheet();
    fault({{"status", 503}});
    ModalAnswerer answers;
    answers.queue(QMessageBox::No);
    int askedAt = -1;
    answers.whileOpen([&](QDialog *) {
        if (answers.shown.size() == 1) {
            askedAt = sSecond;
            pass(100 * 1000);
        }
    });
    while (frmweb && monotonicMs() < 200 * 1000)
        tick();
    QCOMPARE(askedAt, 62);
    QCOMPARE(answers.texts().size(), 2);
    QCOMPARE(answers.texts().first(), kAskConnection);
    QVERIFY(answers.texts().last().startsWith(kCopyKept));
    QVERIFY(frmstart2->isVisible());
    // Server second 162: the next exam is 138 s ahead.
    QCOMPARE(frmstart2->windowTitle(), QStringLiteral("لديك اختبار بعد : 00:02:18"));
    tick();
    QCOMPARE(frmstart2->windowTitle(), QStringLiteral("لديك اختبار بعد : 00:02:17"));
    m_institute.control({{"command", "exam-fault"}});
    while (!frmweb && monotonicMs() < 400 * 1000)
        tick();
    QVERIFY(frmweb);
    QCOMPARE(frmweb->examId(), 41);
    QCOMPARE(monotonicMs() / 1000, 300);
    QCOMPARE(answers.texts().size(), 2); // on time: no late box
}

void TestExamSubmit::retry_data()
{
    QTest::addColumn<QJsonObject>("failure");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("outcome");
    // A failure status leaves the answers unread; a garbled reply comes
    // after the endpoint took them, so the second post is a repeat.
    QTest::newRow("status") << QJsonObject{{"status", 503}} << kAskConnection << kMsgSent;
    // A connection closed unanswered is one post, never sent again unasked.
    QTest::newRow("dropped") << QJsonObject{{"drop", true}} << kAskConnection << kMsgSent;
    QTest::newRow("empty payload") << QJsonObject{{"raw", "debut||fin"}} << kAskEmpty << kMsgDeja;
    QTest::newRow("no frame") << QJsonObject{{"unframed", true}} << kAskEmpty << kMsgDeja;
    QTest::newRow("another word") << QJsonObject{{"raw", "debut|error|fin"}} << kAskEmpty
                                  << kMsgDeja;
    QTest::newRow("ok and more") << QJsonObject{{"raw", "debut|ok |fin"}} << kAskEmpty
                                 << kMsgDeja;
}

void TestExamSubmit::retry()
{
    QFETCH(QJsonObject, failure);
    QFETCH(QString, question);
    QFETCH(QString, outcome);
    login({exam(24, 2, 60)});
    tickToSheet();
    answerOnPage();
    fault(failure);
    ModalAnswerer answers;
    answers.queue(QMessageBox::Yes);
    bool waitBoxDuringQuestion = false;
    answers.whileOpen([&](QDialog *) {
        if (answers.shown.size() == 1) {
            waitBoxDuringQuestion = frmconn != nullptr;
            m_institute.control({{"command", "exam-fault"}});
        }
    });
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), (QStringList{question, outcome}));
    QCOMPARE(answers.shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(answers.shown.first().title, QStringLiteral("رسالة"));
    QVERIFY(waitBoxDuringQuestion);
    const QString body = expectedBody("24", "Reading");
    QCOMPARE(sendBodies(), (QStringList{body, body}));
    QCOMPARE(quits(), 1);
    QVERIFY(frmstart2->isVisible());
}

void TestExamSubmit::giveUp_data()
{
    QTest::addColumn<QJsonObject>("failure");
    QTest::addColumn<QString>("question");
    QTest::newRow("status") << QJsonObject{{"status", 500}} << kAskConnection;
    QTest::newRow("another word") << QJsonObject{{"raw", "debut|busy|fin"}} << kAskEmpty;
}

void TestExamSubmit::giveUp()
{
    QFETCH(QJsonObject, failure);
    QFETCH(QString, question);
    login({exam(25, 2, 60)});
    tickToSheet();
    fault(failure);
    ModalAnswerer answers;
    answers.queue(QMessageBox::Yes);
    answers.queue(QMessageBox::No);
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    // The student is told where the copy to send later is.
    const QString name = "Reading_الفوج2_الفصل5_" + kSaved + ".im";
    QCOMPARE(answers.texts(),
             (QStringList{question, question,
                          kCopyKept + home() + "/.imtihan/" + name + "\n" + home() + "/Desktop/"
                              + name + kSendLater}));
    QCOMPARE(sendBodies().size(), 2);
    // The exam stays unsent: no quit, the waiting window is back, and the
    // report file is there to be sent later.
    QCOMPARE(quits(), 0);
    QVERIFY(frmstart2->isVisible());
    QVERIFY(!frmtime->examRunning());
    QVERIFY(QFile::exists(home() + "/.imtihan/" + name));
    // No exam is left: the window shows no countdown that has stopped.
    QCOMPARE(frmstart2->windowTitle(), kNoExamLeft);
    QCOMPARE(frmstart2->findChild<QLabel *>("label")->text(), QString());
    tick();
    QVERIFY(frmstart2->findChild<QLabel *>("Ldate")->text().contains(
        serverNowText().section(' ', 1)));
    settle();
    QCOMPARE(frmconn, nullptr);
}

void TestExamSubmit::deja()
{
    // The same exam twice: the endpoint has the answers after the first.
    login({exam(26, 2, 1), exam(26, 70, 1)});
    tickToSheet();
    answerOnPage();
    ModalAnswerer answers;
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), QStringList{kMsgSent});
    QCOMPARE(quits(), 0);
    const QString name = "Reading_الفوج2_الفصل5_" + kSaved + ".im";
    const QByteArray first = readFile(home() + "/Desktop/" + name);

    tickToSheet(100);
    QCOMPARE(frmweb->examId(), 26);
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), (QStringList{kMsgSent, kMsgDeja}));
    QCOMPARE(quits(), 1);
    QCOMPARE(sendBodies().size(), 2);
    QCOMPARE(sendBodies().at(1),
             "?" + url() + "&cmd=send&id_user=1001&isgroup=no"
                 + "&txt=2%3C:%3EWrite%3C:%3E1%3C:%3E%3C:%3EPick%3C:%3E2%3C:%3E2"
                   "%3C:%3E[no]A%3C:%3E[no]B&id=26&titre=Reading");
    // Same name: the report folder has the second record, the Desktop keeps
    // the first.
    QCOMPARE(reportFields(home() + "/.imtihan/" + name).last(),
             QStringLiteral("2<:>Write<:>1<:><:>Pick<:>2<:>2<:>[no]A<:>[no]B"));
    QCOMPARE(readFile(home() + "/Desktop/" + name), first);
}

void TestExamSubmit::nextExamWaitsForPendingSubmission()
{
    login({exam(27, 2, 60, "First"), exam(28, 40, 30, "Second")});
    tickToSheet();
    fault({{"status", 503}});
    ModalAnswerer answers;
    answers.queue(QMessageBox::No);
    bool sheetDuringQuestion = true;
    QStringList idsDuringQuestion;
    answers.whileOpen([&](QDialog *) {
        if (answers.shown.size() > 1)
            return;
        // A minute and more passes while the student reads the question.
        for (int i = 0; i < 100; ++i)
            tick();
        sheetDuringQuestion = frmweb != nullptr;
        idsDuringQuestion = frmtime->listId;
    });
    const int before = sSecond;
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts().size(), 2);
    QCOMPARE(answers.texts().first(), kAskConnection);
    QVERIFY(answers.texts().last().startsWith(kCopyKept));
    QCOMPARE(sSecond, before + 100); // the server clock kept counting
    QVERIFY(!sheetDuringQuestion);
    QCOMPARE(idsDuringQuestion, QStringList{"28"});
    QCOMPARE(frmstart2->getcountList(), 1);
    QVERIFY(frmstart2->isVisible());

    // Once the submission is over, the next tick opens the second exam, late.
    tick();
    QVERIFY(frmweb);
    QCOMPARE(frmweb->examId(), 28);
    QCOMPARE(answers.texts().last(),
             QStringLiteral("مدة الامتحان 30 دقيقة ,بقي منها فقط  (29)      "));
    QVERIFY(frmtime->listId.isEmpty());
}

void TestExamSubmit::nextExamInTheSameTick()
{
    login({exam(29, 1, 2, "First"), exam(30, 50, 5, "Second")});
    tickToSheet();
    ModalAnswerer answers;
    while (frmweb && frmweb->examId() == 29 && sSecond < 200)
        tick();
    QCOMPARE(sSecond, 121); // start + 2 minutes
    QVERIFY(frmweb);
    QCOMPARE(frmweb->examId(), 30);
    QCOMPARE(answers.texts(),
             (QStringList{kMsgSent,
                          QStringLiteral("مدة الامتحان 5 دقيقة ,بقي منها فقط  (4)      ")}));
    QCOMPARE(sendBodies().size(), 1);
    QVERIFY(!frmstart2->isVisible());
    QCOMPARE(quits(), 0);
}

void TestExamSubmit::reportFileFailures_data()
{
    QTest::addColumn<QString>("blocked"); // made unusable before the submission
    QTest::addColumn<bool>("asFolder");   // a folder where a file is wanted
    QTest::addColumn<QString>("named");   // what the message names
    QTest::addColumn<QString>("kept");    // the copy that is still written
    const QString name = "Reading_الفوج2_الفصل5_" + kSaved + ".im";
    QTest::newRow("report folder is a file")
        << ".imtihan" << false << ".imtihan" << "Desktop/" + name;
    QTest::newRow("report file is a folder")
        << ".imtihan/" + name << true << ".imtihan/" + name << "Desktop/" + name;
    QTest::newRow("no Desktop") << "Desktop" << false << "Desktop" << ".imtihan/" + name;
}

void TestExamSubmit::reportFileFailures()
{
    QFETCH(QString, blocked);
    QFETCH(bool, asFolder);
    QFETCH(QString, named);
    QFETCH(QString, kept);
    login({exam(31, 2, 60)});
    tickToSheet();
    QDir(home() + "/Desktop").removeRecursively();
    if (blocked != QLatin1String("Desktop"))
        QVERIFY(QDir(home()).mkdir("Desktop"));
    if (asFolder) {
        QVERIFY(QDir(home()).mkpath(blocked));
    } else if (blocked != QLatin1String("Desktop")) {
        QFile file(home() + "/" + blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    ModalAnswerer answers;
    QList<int> postsAtMessage;
    answers.whileOpen([&](QDialog *) { postsAtMessage << sendBodies().size(); });
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    // The answers are posted first, and then the student is told.
    QCOMPARE(answers.texts(),
             (QStringList{kMsgSent, kReportNotSaved + home() + "/" + named + "    "}));
    QCOMPARE(postsAtMessage, (QList<int>{1, 1}));
    QCOMPARE(frmweb, nullptr);
    QVERIFY(frmstart2->isVisible());
    QCOMPARE(reportFields(home() + "/" + kept).size(), 11);
    QDir(home() + "/.imtihan").removeRecursively();
    QFile::remove(home() + "/.imtihan");
}

void TestExamSubmit::longTitle()
{
    const QString title = QString(200, QChar(0x0639)); // 400 bytes of UTF-8
    login({exam(32, 2, 60, title)});
    tickToSheet();
    ModalAnswerer answers;
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), QStringList{kMsgSent});
    const QStringList files = QDir(home() + "/.imtihan").entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY(files.first().toUtf8().size() <= 255);
    QVERIFY(files.first().endsWith("_الفوج2_الفصل5_" + kSaved + ".im"));
    QVERIFY(files.first().startsWith(QString(10, QChar(0x0639))));
    QCOMPARE(QDir(home() + "/Desktop").entryList(QDir::Files), files);
    // The record keeps the whole title.
    QCOMPARE(reportFields(home() + "/.imtihan/" + files.first()).at(9), title);
}

void TestExamSubmit::sendWithoutSheet()
{
    login({exam(33, 600, 60)});
    ModalAnswerer answers;
    frmtime->Sendtxt();
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(sendBodies().isEmpty());
    QCOMPARE(quits(), 0);
    QVERIFY(frmstart2->isVisible());
}

QTEST_MAIN(TestExamSubmit)
#include "tst_exam_submit.moc"
