// Grading texts read per KB from 4 KB to the 4 MiB reply bound (perkb.h);
// grades filled into sheets of 16 Ki to 128 Ki characters (the bound of a
// sheet shown; larger ones are refused as damaged); the grading window,
// shown, showing such a sheet (built, loaded, laid out and painted); and the
// window opening an exam with 50 and 500 answer sheets and building their
// marks table (the time and the allocations per sheet must stay flat).
#include "core/globals.h"
#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "common/hooks.h"
#include "supervision/frmdisplay.h"
#include "supervision/pure/marks.h"
#include "perkb.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

// Best of several runs of work, in nanoseconds; each run repeats it until it
// took at least 20 ms.
double bestTimeNs(const std::function<void()> &work)
{
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        int n = 0;
        do {
            work();
            ++n;
        } while (timer.nsecsElapsed() < 20 * 1000 * 1000);
        best = std::min(best, double(timer.nsecsElapsed()) / n);
    }
    return best;
}

QString marksOfSize(int bytes)
{
    QString text = QStringLiteral("0::");
    for (int i = 0; text.size() + 5 <= bytes; ++i)
        text += QString::number(i % 20) + QStringLiteral(".5:");
    text.chop(1);
    return text;
}

// The answers text of a sheet of about chars characters, at most the 200
// questions an exam may have (longer answers as it grows, each within the
// bound of a field), written in words or as one unbroken word per answer;
// and one mark per question. Long answers: as few questions as the bound of
// a field allows, each answer one word of up to that bound.
void answersOfSize(int chars, bool unbroken, QString *answers, QString *grading, bool longAnswers = false)
{
    const int questions = longAnswers ? chars / kMaxSheetFieldChars + 1
                                      : qBound(1, chars / 1024, kMaxQuestions);
    const int answer = qMin(kMaxSheetFieldChars, qMax(1, chars / questions - 40));
    const QString word = QString::fromUtf8(unbroken ? "سبكمنهيعلتادروز" : "كتب الطالب ");
    QString text;
    for (int i = 0; text.size() < answer; ++i)
        text += word;
    text.truncate(answer);
    *answers = QString::number(questions);
    QString marks = QStringLiteral("0::");
    for (int i = 0; i < questions; ++i) {
        *answers += QStringLiteral("<:>Question %1<:>1<:>").arg(i) + text;
        marks += QStringLiteral("0.1:"); // 20 in all: no warning box
    }
    marks.chop(1);
    *grading = marks;
}

// The sheet sizes shown: up to the bound of a sheet.
constexpr int kSheetSizes[] = {16 << 10, 32 << 10, 64 << 10, kMaxSheetChars - 8192};

QString sheetListOf(int sheets)
{
    QString payload = QString::number(sheets);
    for (int i = 0; i < sheets; ++i)
        payload += QStringLiteral("<::>3<:>Q1<:>1<:>answer %1<:>Q2<:>2<:>2<:>[on]a<:>[no]b"
                                  "<:>Q3<:>3<:>2<:>[no]c<:>[on]d<|>2015-05-25 10:%2:00"
                                  "<|>Student %1<|>student%1@example.org<|>%3<|>0::%4:5.5:3")
                       .arg(i)
                       .arg(i % 60, 2, 10, QLatin1Char('0'))
                       .arg(1000 + i)
                       .arg(i % 7);
    return payload;
}

} // namespace

class BenchExamGrading : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The window's own exam list request fails at once and says so.
        hooks::setModalHandler([](QDialog *) { return 0; });
        Url_php = QStringLiteral("http://127.0.0.1:1/velmar.php");
    }

    void gradingReader()
    {
        reportPerKb("grading reader (ExtracTotaltankit)", marksOfSize,
                    [](const QString &text) { ExtracTotaltankit(text); });
    }

    // Grades filled into sheets up to the bound of a sheet, per KB; past it
    // (400 KB, 4 MB) a sheet is refused as damaged and there is no page to
    // fill.
    void gradeFilling()
    {
        double perKb[4] = {};
        for (int s = 0; s < 4; ++s) {
            QString answers, grading;
            answersOfSize(kSheetSizes[s], false, &answers, &grading);
            const QString page = ExtracImtDisplay(answers);
            QVERIFY2(!page.isEmpty(), "a sheet within the bound refused");
            const int questions = page.count(QStringLiteral("<div id='note'></div>"));
            const GradedSheet filled = fillGrades(page, grading);
            QCOMPARE(filled.html.count(QStringLiteral("<div id='note2'>")), questions);
            QCOMPARE(filled.html.count(QStringLiteral("<div id='note'></div>")), 0);
            const double ns = bestTimeNs([&] { fillGrades(page, grading); });
            perKb[s] = ns / 1000.0 / (page.toUtf8().size() / 1024.0);
        }
        for (int bytes : {400 << 10, 4 << 20}) {
            QString answers, grading;
            answersOfSize(bytes, false, &answers, &grading);
            QVERIFY2(ExtracImtDisplay(answers).isEmpty(), "a sheet past the bound shown");
        }
        qInfo("grade filling (fillGrades): %.2f %.2f %.2f %.2f us/KB of page at sheets of 16, 32, "
              "64 and 120 Ki characters; sheets of 400 KB and 4 MB are refused as damaged (no "
              "page, nothing to fill)",
              perKb[0], perKb[1], perKb[2], perKb[3]);
    }

    // The grading window, shown, showing a sheet of written answers or of
    // one unbroken word per answer, up to the bound of a sheet: from the
    // click on its row until its page is laid out and painted.
    void gradingWindowShowsSheet_data()
    {
        QTest::addColumn<int>("chars");
        QTest::addColumn<bool>("unbroken");
        QTest::addColumn<bool>("longAnswers");
        for (bool unbroken : {false, true})
            for (int chars : kSheetSizes)
                QTest::addRow("%s, %d characters", unbroken ? "unbroken words" : "words", chars)
                    << chars << unbroken << false;
        for (int chars : kSheetSizes)
            QTest::addRow("answers of one word up to a field's bound, %d characters", chars)
                << chars << true << true;
    }
    void gradingWindowShowsSheet()
    {
        QFETCH(int, chars);
        QFETCH(bool, unbroken);
        QFETCH(bool, longAnswers);
        QString answers, grading;
        answersOfSize(chars, unbroken, &answers, &grading, longAnswers);
        auto *display = new FrmDisplay(nullptr);
        FrmDisplay &window = *display;
        window.resize(1016, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.fillExams(QStringLiteral("1<::>21<:>2015-05-25<:>Fiqh<>3<>2<>karim<>1|Q|1|-1"));
        window.fillSheets(QStringLiteral("1<::>") + answers
                              + QStringLiteral("<|>2015-05-25 10:00:00<|>Amina<|>a@b.c<|>7<|>")
                              + grading,
                          window.listImtihan.value(0));
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("table2"));
        auto *web = window.findChild<QWebView *>(QStringLiteral("web"));
        QVERIFY(table && web && table->rowCount() == 1);
        table->setCurrentCell(0, 0);
        QElapsedTimer timer;
        timer.start();
        window.on_table2_clicked(table->model()->index(0, 0));
        // The sheet on show, whole and graded.
        const int questions = answers.count(QStringLiteral("<:>1<:>"));
        QCOMPARE(window.htmlSheet.count(QStringLiteral("<div id='note2'>")), questions);
        QTRY_COMPARE_WITH_TIMEOUT(
            web->page()->mainFrame()->findAllElements(QStringLiteral("form")).count(), questions,
            120000);
        web->page()->mainFrame()->contentsSize();
        web->repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        qInfo("%s: grading window showed the sheet (%d questions) in %.0f ms%s",
              QTest::currentDataTag(), questions, ms, ms <= 1000 ? "" : ", over 1 s");
        window.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void gradingWindow()
    {
        auto *display = new FrmDisplay(nullptr);
        FrmDisplay &window = *display;
        window.fillExams(QStringLiteral("1<::>21<:>2015-05-25<:>Fiqh<>3<>2<>karim<>1|Q|1|-1"));
        const QString descriptor = window.listImtihan.value(0);
        // What opening costs whatever the number of sheets: titles, the
        // emptied page.
        const QString none = QStringLiteral("1");
        const double fixed = bestTimeNs([&] { window.fillSheets(none, descriptor); });
        QStringList rows;
        rows << QStringLiteral("opening an exam, fixed part: %1 us").arg(fixed / 1000.0, 0, 'f', 1);
        double open[2] = {0, 0};
        double table[2] = {0, 0};
        const int counts[2] = {50, 500};
        for (int k = 0; k < 2; ++k) {
            const QString payload = sheetListOf(counts[k]);
            const double total = bestTimeNs([&] { window.fillSheets(payload, descriptor); });
            QCOMPARE(window.listSheets.size(), counts[k]);
            open[k] = (total - fixed) / counts[k];
            QString page;
            const allocations::Count before = allocations::sofar();
            page = marksPage(window.ExTable(), QStringLiteral("Fiqh"));
            const allocations::Count used = allocations::sofar() - before;
            table[k] = bestTimeNs([&] {
                           page = marksPage(window.ExTable(), QStringLiteral("Fiqh"));
                       })
                       / counts[k];
            QCOMPARE(page.count(QStringLiteral("<td id='note'>")), counts[k]);
            rows << QStringLiteral("opening an exam of %1 sheets: %2 us in all, %3 us/sheet beyond "
                                   "the fixed part; marks table: %4 us/sheet, %5 allocations and "
                                   "%6 KB asked per sheet")
                        .arg(counts[k])
                        .arg(total / 1000.0, 0, 'f', 1)
                        .arg(open[k] / 1000.0, 0, 'f', 2)
                        .arg(table[k] / 1000.0, 0, 'f', 2)
                        .arg(double(used.calls) / counts[k], 0, 'f', 1)
                        .arg(double(used.bytes) / 1024.0 / counts[k], 0, 'f', 2);
        }
        rows << QStringLiteral("per sheet, 500 against 50: opening %1, marks table %2")
                    .arg(open[1] / open[0], 0, 'f', 2)
                    .arg(table[1] / table[0], 0, 'f', 2);
        for (const QString &row : rows)
            qInfo("%s", qPrintable(row));
        window.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(BenchExamGrading)
#include "bench_exam_grading.moc"
