// Answer sheets, reports and exam texts that hold more than an exam may (200
// questions of at most 50 choices) or more text than a sheet may show, as a
// student can post them or a hand can make them: every path that shows a
// sheet shows them as damaged, and holds no more than twenty times their size
// meanwhile; so does the cleaning of a reply.
#include "common/hooks.h"
#include "core/program.h"
#include "core/pure/answers.h"
#include "core/pure/examtext.h"
#include "core/pure/pages.h"
#include "core/pure/reply.h"
#include "core/pure/report.h"
#include "examtest.h"
#include "grading_window.h"
#include "supervision/pure/marks.h"
#include "supervision/pure/results.h"
#include "support/allocations.h"
#include "support/institute.h"
#include "support/memory.h"
#include "support/modal.h"

#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

const QString kDamaged = QStringLiteral("الامتحان معطوب    ");
const QString kReportDamaged = QStringLiteral("التقرير المحدد معطوب لا يمكن قراءته    ");
const QString kNotGraded = QStringLiteral("لم يتم تصحيح هذا الامتحان بعد    ");
const QString kFiqhText = QStringLiteral("3|Q1|1|-1|Q2|2|2|A|B|Q3|3|2|C|D");
const QString kAmina = QStringLiteral("3<:>Q1<:>1<:>first answer<:>Q2<:>2<:>2<:>[on]A<:>[no]B"
                                      "<:>Q3<:>3<:>2<:>[no]C<:>[on]D");

// One-letter questions, as many as it takes to reach bytes: the count, then
// "<:>q<:>1<:>a" per question (written answers) or "|q|1|-1" (an exam text).
QString oneLetterAnswers(int questions)
{
    QString text = QString::number(questions);
    text.reserve(text.size() + questions * 12);
    for (int i = 0; i < questions; ++i)
        text += QStringLiteral("<:>q<:>1<:>a");
    return text;
}

QString oneLetterExam(int questions)
{
    QString text = QString::number(questions);
    for (int i = 0; i < questions; ++i)
        text += QStringLiteral("|q|1|-1");
    return text;
}

// The issue's sheet: 300,000 one-letter questions, 3.6 MB.
const int kIssueQuestions = 300000;

// A sheet of the exam below whose first answer holds words of almost 4 MB:
// more than the web view can lay out in a moment.
QString longAnswerSheet()
{
    const QString words = QStringLiteral(" كلمة 12 word").repeated((4 << 20) / 18);
    return "3<:>Q1<:>1<:>" + words + "<:>Q2<:>2<:>2<:>[on]A<:>[no]B<:>Q3<:>3<:>2<:>[no]C<:>[on]D";
}

ReportRecord record(const QString &title, const QString &answers)
{
    return ReportRecord{"2015-05-25_14.12.18", "Amina", "amina@example.org", "1001",
                        "Ma3had<br />Al Fursan", "no", "41", "1", "2", title, answers};
}

QString folder() { return QDir::homePath() + "/.imtihan"; }

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Twenty times a size in bytes, in KB.
long twentyTimesKb(qint64 bytes) { return long(20 * bytes / 1024); }

#define VERIFY_WITHIN(grownKb, boundKb)                                                         \
    QVERIFY2((grownKb) < (boundKb),                                                             \
             qPrintable(QStringLiteral("grew by %1 KB, bound %2 KB").arg(grownKb).arg(boundKb)))

} // namespace

class TestExamBounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readersRefuse();
    void replyCleaning();
    void reportDeclaringTenMegabytes();
    void reportViewer();
    void gradingWindow_data();
    void gradingWindow();
    void resultsWindow_data();
    void resultsWindow();

private:
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    }

    Institute m_institute;
};

void TestExamBounds::initTestCase()
{
    dressApplication(*qApp);
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
}

void TestExamBounds::init()
{
    reset();
    Url_php = url();
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
    signInAsSupervisor();
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
    QDir(folder()).removeRecursively();
    QVERIFY(QDir().mkpath(folder()));
}

void TestExamBounds::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
}

// The readers themselves: no page, and what they ask of the allocator and
// what the process holds stay within twenty times the input.
void TestExamBounds::readersRefuse()
{
    const QString answers = oneLetterAnswers(kIssueQuestions);
    const QString exam = oneLetterExam(kIssueQuestions);
    const qint64 bytes = answers.toUtf8().size() + exam.toUtf8().size();
    QCOMPARE(answers.toUtf8().size(), 3600006);

    const memory::PeakGrowth peak;
    const allocations::Count before = allocations::sofar();
    QCOMPARE(ExtracImtDisplay(answers), QString());
    QCOMPARE(resultSheet(answers, "Fiqh", "Amina", "a@b.org", "Ma3had"), QString());
    QCOMPARE(ExtracImtihan(exam), QString());
    // The exam page has no form: the answers are the count alone.
    QCOMPARE(composeAnswers(exam, {}), QString::number(kIssueQuestions));
    QCOMPARE(ExtracImtDisplay(repairAnswers(answers, exam)), QString());
    const qint64 asked = (allocations::sofar() - before).bytes;
    QVERIFY2(asked < 20 * bytes, qPrintable(QStringLiteral("%1 bytes asked").arg(asked)));
    VERIFY_WITHIN(peak.kb(), twentyTimesKb(bytes));
}

// A reply of 4 MB whose lines the cleaning removes one by one, each a new
// run, between kept ones: cleaned within twenty times its size.
void TestExamBounds::replyCleaning()
{
    QString reply;
    int lines = 0;
    while (reply.size() < (4 << 20) - 16)
        reply += QStringLiteral("\r\n%1\r\nx").arg(lines++);
    const qint64 bytes = reply.toUtf8().size();
    const memory::PeakGrowth peak;
    const allocations::Count before = allocations::sofar();
    const QString cleaned = TestImtDisplay(reply);
    const qint64 asked = (allocations::sofar() - before).bytes;
    QCOMPARE(cleaned, QString(lines, QLatin1Char('x')));
    QVERIFY2(asked < 20 * bytes, qPrintable(QStringLiteral("%1 bytes asked").arg(asked)));
    VERIFY_WITHIN(peak.kb(), twentyTimesKb(bytes));
}

// A small hand-made file whose record would inflate to 10 MB: more than a
// report may hold, refused before it is inflated. The files window lists it
// as damaged and will not show it.
void TestExamBounds::reportDeclaringTenMegabytes()
{
    const QString answers = oneLetterAnswers(10 * 1000 * 1000 / 12);
    const QByteArray file = compressReport(reportRecordText(record("Fiqh", answers)));
    QVERIFY2(file.size() < 64 * 1024, qPrintable(QString::number(file.size())));
    QVERIFY(qFromBigEndian<quint32>(file.constData()) > 10 * 1000 * 1000);
    QVERIFY(writeFile(folder() + "/hostile.im", file));
    QVERIFY(writeFile(folder() + "/fiqh.im", compressReport(reportRecordText(record("Fiqh", kAmina)))));

    frmoption = new frmOptions(nullptr);
    frmoption->show();
    const allocations::Count before = allocations::sofar();
    frmoption->GetList();
    const qint64 asked = (allocations::sofar() - before).bytes;
    QVERIFY2(asked < 20 * file.size() + (1 << 20),
             qPrintable(QStringLiteral("%1 bytes asked").arg(asked)));

    auto *table = frmoption->findChild<QTableWidget *>("table1");
    QCOMPARE(table->rowCount(), 2);
    const int row = frmoption->reportPaths.indexOf(folder() + "/hostile.im");
    QVERIFY(row >= 0);
    QCOMPARE(table->item(row, 0)->text(), QStringLiteral("تقرير معطوب\nhostile.im"));
    table->setCurrentCell(row, 0);
    ModalAnswerer answers_;
    QTest::mouseClick(frmoption->findChild<QPushButton *>("pushButton_7"), Qt::LeftButton);
    QCOMPARE(answers_.texts(), QStringList{kReportDamaged});
    QCOMPARE(frmview, nullptr);
}

// A report within the bounds of a report file whose sheet holds the issue's
// 300,000 questions: the viewer says the exam is damaged and shows an empty
// page.
void TestExamBounds::reportViewer()
{
    const QString text = reportRecordText(record("Fiqh", oneLetterAnswers(kIssueQuestions)));
    const QByteArray file = compressReport(text);
    QVERIFY(file.size() < kMaxReportFileSize);
    QVERIFY(text.toUtf8().size() < kMaxReportTextSize);
    QVERIFY(writeFile(folder() + "/hostile.im", file));
    QVERIFY(writeFile(folder() + "/fiqh.im", compressReport(reportRecordText(record("Fiqh", kAmina)))));
    frmoption = new frmOptions(nullptr);
    frmoption->show();
    auto *table = frmoption->findChild<QTableWidget *>("table1");
    QCOMPARE(table->rowCount(), 2);
    auto *show = frmoption->findChild<QPushButton *>("pushButton_7");

    // A sound report first: the viewer and its web view are made.
    ModalAnswerer answers;
    table->setCurrentCell(frmoption->reportPaths.indexOf(folder() + "/fiqh.im"), 0);
    QTest::mouseClick(show, Qt::LeftButton);
    QVERIFY(frmview);
    QWebFrame *frame = frmview->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 3);
    QCOMPARE(answers.texts(), QStringList());

    frmoption->show();
    table->setCurrentCell(frmoption->reportPaths.indexOf(folder() + "/hostile.im"), 0);
    const memory::PeakGrowth peak;
    QTest::mouseClick(show, Qt::LeftButton);
    VERIFY_WITHIN(peak.kb(), twentyTimesKb(text.toUtf8().size()));
    QCOMPARE(answers.texts(), QStringList{kDamaged});
    QCOMPARE(frmview->htmlSheet, QString());
    QCOMPARE(frame->findAllElements("form").count(), 0);
}

// A student's sheet of 300,000 questions, or of an answer of 4 MB, in the
// grading window: the damaged sheet's message, then the sheet rebuilt from
// the exam's own text, shown when it is within the bounds of a sheet.
void TestExamBounds::gradingWindow_data()
{
    QTest::addColumn<QString>("hostile");
    QTest::addColumn<int>("rebuiltForms"); // 0: the view stays blank
    QTest::newRow("300,000 questions") << oneLetterAnswers(kIssueQuestions) << 3;
    QTest::newRow("an answer of 4 MB") << longAnswerSheet() << 0;
}

void TestExamBounds::gradingWindow()
{
    QFETCH(QString, hostile);
    QFETCH(int, rebuiltForms);
    m_institute.control(
        {{"command", "exam-day"},
         {"relative", "start"},
         {"exams", QJsonArray{QJsonObject{{"id", 21}, {"offset", -600}, {"minutes", 60},
                                          {"title", "Fiqh"}, {"fawj", 3}, {"fasl", 2},
                                          {"texts", QJsonArray{kFiqhText}}}}}});
    m_institute.control(
        {{"command", "exam-sheets"},
         {"sheets", QJsonArray{QJsonObject{{"id", 501}, {"exam", 21}, {"id_user", 1001},
                                           {"answers", kAmina}, {"grading", ""}},
                               QJsonObject{{"id", 502}, {"exam", 21}, {"id_user", 1002},
                                           {"answers", hostile}, {"grading", "0::1"}}}}});
    ScriptedDialogs dialogs;
    new FrmDisplay(nullptr);
    QVERIFY(frmdisplay);
    clickRow("table1", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    QCOMPARE(frmdisplay->listSheets.size(), 2);
    QCOMPARE(frmdisplay->listSheets.at(1).size(), hostile.size());
    QWebFrame *frame = displayChild<QWebView>("web")->page()->mainFrame();
    clickRow("table2", 0);
    QTRY_COMPARE(frame->findAllElements("form").count(), 3);
    QCOMPARE(dialogs.texts(), QStringList());

    const memory::PeakGrowth peak;
    clickRow("table2", 1);
    VERIFY_WITHIN(peak.kb(), twentyTimesKb(hostile.toUtf8().size()));
    QCOMPARE(dialogs.texts(), QStringList{kDamaged});
    QCOMPARE(frmdisplay->htmlSheet.count("<form>"), rebuiltForms);
    QTRY_COMPARE(frame->findAllElements("form").count(), rebuiltForms);
    QVERIFY(frame->toPlainText().size() < kMaxSheetChars);
}

// The student's results: the row of such a sheet shows an empty page.
void TestExamBounds::resultsWindow_data()
{
    QTest::addColumn<QString>("hostile");
    QTest::newRow("300,000 questions") << oneLetterAnswers(kIssueQuestions);
    QTest::newRow("an answer of 4 MB") << longAnswerSheet();
}

void TestExamBounds::resultsWindow()
{
    QFETCH(QString, hostile);
    frmstart = new FrmStart(nullptr);
    frmnataij = new FrmNataij(nullptr);
    frmnataij->show();
    frmnataij->ExtracTxt("Amina|a@b.org<|>Fiqh<:>3<:>2|21|2015-05-25|" + kAmina
                         + "|0::1<|>Nahw<:>3<:>2|22|2015-05-26|" + hostile + "|");
    auto *table = frmnataij->findChild<QTableWidget *>("table1");
    QCOMPARE(table->rowCount(), 2);
    QWebFrame *frame = frmnataij->findChild<QWebView *>("web")->page()->mainFrame();
    ModalAnswerer answers;
    const auto click = [table](int row) {
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    };
    click(0);
    QTRY_COMPARE(frame->findAllElements("form").count(), 3);

    const memory::PeakGrowth peak;
    click(1);
    VERIFY_WITHIN(peak.kb(), twentyTimesKb(hostile.toUtf8().size()));
    QCOMPARE(frmnataij->htmlSheet, QString());
    QCOMPARE(frame->findAllElements("form").count(), 0);
    QCOMPARE(answers.texts(), QStringList{kNotGraded});
}

QTEST_MAIN(TestExamBounds)
#include "tst_exam_bounds.moc"
