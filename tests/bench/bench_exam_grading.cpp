// Grading texts read and grades filled into a sheet, per KB from 4 KB to the
// 4 MiB reply bound (perkb.h), and the grading window opening an exam with 50
// and 500 answer sheets and building their marks table (the time and the
// allocations per sheet must stay flat).
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

// A sheet page of about bytes UTF-8 bytes, at most the 200 questions an exam
// may have (longer answers as it grows), and one mark per question.
void sheetOfSize(int bytes, QString *page, QString *grading)
{
    const int questions = qBound(1, bytes / 1024, kMaxQuestions);
    const int answer = qMax(1, (bytes - 4096) / questions - 330);
    QString answers = QString::number(questions);
    QString marks = QStringLiteral("0::");
    for (int i = 0; i < questions; ++i) {
        answers += QStringLiteral("<:>Question %1<:>1<:>").arg(i) + QString(answer, QLatin1Char('a'));
        marks += QStringLiteral("1.5:");
    }
    marks.chop(1);
    *page = ExtracImtDisplay(answers);
    *grading = marks;
}

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

    void gradeFilling()
    {
        reportPerKb("grade filling (fillGrades), per KB of sheet", [](int bytes) {
            QString page, grading;
            sheetOfSize(bytes, &page, &grading);
            if (fillGrades(page, grading).html.count(QStringLiteral("<div id='note'></div>")) != 0)
                qFatal("grades not filled");
            return PerKbSample{page.toUtf8().size(), [page, grading] { fillGrades(page, grading); }};
        });
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
