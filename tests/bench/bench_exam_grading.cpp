// Grading texts read and grades filled into a sheet, from 1 KB to 1 MB (the
// time per KB must stay flat), and the grading window opening an exam with 50
// and 500 answer sheets and building their marks table (the time per sheet
// must stay flat).
#include "core/globals.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "common/hooks.h"
#include "supervision/frmdisplay.h"
#include "supervision/pure/marks.h"

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
    for (int i = 0; text.size() < bytes; ++i)
        text += QString::number(i % 20) + QStringLiteral(".5:");
    text.chop(1);
    return text;
}

// An answers text whose sheet is about bytes long, and one mark per question.
void sheetOfSize(int bytes, QString *page, QString *grading)
{
    const int questions = std::max(1, bytes / 230);
    QString answers = QString::number(questions);
    QString marks = QStringLiteral("0::");
    for (int i = 0; i < questions; ++i) {
        answers += QStringLiteral("<:>Question %1<:>1<:>An answer").arg(i);
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

const QList<int> kSizes = {1 << 10, 10 << 10, 100 << 10, 1 << 20};

QString sizeName(int bytes)
{
    return bytes >= (1 << 20) ? QStringLiteral("%1 MB").arg(bytes >> 20)
                              : QStringLiteral("%1 KB").arg(bytes >> 10);
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
        QStringList rows;
        for (int bytes : kSizes) {
            const QString text = marksOfSize(bytes);
            QString grade;
            const double ns = bestTimeNs([&] { grade = ExtracTotaltankit(text); });
            QVERIFY(!grade.isEmpty());
            rows << QStringLiteral("grading reader %1: %2 us/KB")
                        .arg(sizeName(bytes))
                        .arg(ns / 1000.0 / (text.size() / 1024.0), 0, 'f', 3);
        }
        for (const QString &row : rows)
            qInfo("%s", qPrintable(row));
    }

    void gradeFilling()
    {
        QStringList rows;
        for (int bytes : kSizes) {
            QString page, grading;
            sheetOfSize(bytes, &page, &grading);
            GradedSheet sheet;
            const double ns = bestTimeNs([&] { sheet = fillGrades(page, grading); });
            QCOMPARE(sheet.html.count(QStringLiteral("<div id='note'></div>")), 0);
            rows << QStringLiteral("grade filling %1 (page %2 KB): %3 us/KB")
                        .arg(sizeName(bytes))
                        .arg(page.size() / 1024)
                        .arg(ns / 1000.0 / (page.size() / 1024.0), 0, 'f', 3);
        }
        for (const QString &row : rows)
            qInfo("%s", qPrintable(row));
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
            table[k] = bestTimeNs([&] {
                           page = marksPage(window.ExTable(), QStringLiteral("Fiqh"));
                       })
                       / counts[k];
            QCOMPARE(page.count(QStringLiteral("<td id='note'>")), counts[k]);
            rows << QStringLiteral("opening an exam of %1 sheets: %2 us in all, %3 us/sheet beyond "
                                   "the fixed part; marks table: %4 us/sheet")
                        .arg(counts[k])
                        .arg(total / 1000.0, 0, 'f', 1)
                        .arg(open[k] / 1000.0, 0, 'f', 2)
                        .arg(table[k] / 1000.0, 0, 'f', 2);
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
