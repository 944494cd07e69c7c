// Building the exam page and the answer sheet of the largest exam there may
// be (200 questions), loading the exam page into a web view, showing answer
// sheets in a web view as the grading window does (4 KB to the 4 MiB reply
// bound, and the largest sheets shown), and cleaning a long reply full of
// removable pieces.
#include "core/pure/answers.h"
#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "core/pure/reply.h"

#include "support/memory.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

namespace {

QString bigExam(int questions = kMaxQuestions)
{
    QString text = QString::number(questions);
    for (int i = 0; i < questions; ++i) {
        switch (i % 3) {
        case 0:
            text += QString("|Question %1 #nu#|1|500").arg(i);
            break;
        case 1:
            text += QString("|Question %1|2|4|a|b|c|d").arg(i);
            break;
        default:
            text += QString("|Question %1|3|3|<b>x</b>|y|z").arg(i);
        }
    }
    return text;
}

QVector<PageForm> bigForms()
{
    QVector<PageForm> forms;
    for (int i = 0; i < kMaxQuestions; ++i) {
        PageForm f;
        f.hasTextArea = i % 3 == 0;
        f.text = QString(800, QChar(0x0628));
        f.checked = {true, false, true, false};
        forms << f;
    }
    return forms;
}

// Words of both directions with numbers, as students write them: the page
// gives each run a text node of its own.
const QString kMixedWords = QString::fromUtf8(" كلمة 12 word");

// An answers text of about bytes UTF-8 bytes: up to 200 questions, one in
// three a choice question, the others answered at length.
QString answersOfSize(int bytes)
{
    const int questions = qBound(1, bytes / 1024, kMaxQuestions);
    const int written = (questions + 2) / 3;
    const int each = qMax(1, (bytes - questions * 60) / written / kMixedWords.toUtf8().size());
    QString text = QString::number(questions);
    for (int i = 0; i < questions; ++i) {
        if (i % 3 == 0)
            text += QString::fromUtf8("<:>السؤال %1<:>1<:>").arg(i) + kMixedWords.repeated(each);
        else
            text += QString::fromUtf8("<:>اختر %1<:>2<:>4<:>[on]نعم<:>[no]لا<:>[on]12<:>[no]word").arg(i);
    }
    return text;
}

// The sheet of an answers text shown as the grading window shows it: built,
// its header and grades filled, loaded and laid out. Returns the questions
// shown (0: refused, the view left blank).
int showSheet(QWebView *view, const QString &answers)
{
    QString page = ExtracImtDisplay(answers);
    if (page.isEmpty()) {
        view->setHtml(QString(), QUrl());
        return 0;
    }
    page = fillSlot(std::move(page), QStringLiteral("userinfo"), QStringLiteral("Amina"));
    page = fillSlot(std::move(page), QStringLiteral("mada"), QStringLiteral("Fiqh"));
    page = fillGrades(std::move(page), QStringLiteral("0::1:2:3")).html;
    QSignalSpy loaded(view, &QWebView::loadFinished);
    view->setHtml(page, QUrl());
    if (loaded.isEmpty() && !loaded.wait(120000))
        qFatal("sheet not loaded");
    view->page()->mainFrame()->contentsSize();
    return page.count(QStringLiteral("<form>"));
}

void reportSheet(QWebView *view, const char *what, const QString &answers)
{
    const memory::PeakGrowth peak;
    QElapsedTimer timer;
    timer.start();
    const int shown = showSheet(view, answers);
    const double ms = timer.nsecsElapsed() / 1e6;
    qInfo("%s, %d KB (%d characters): %s in %.0f ms, resident memory +%.1f MB", what,
          int(answers.toUtf8().size() / 1024), int(answers.size()),
          shown ? qPrintable(QStringLiteral("%1 questions shown").arg(shown)) : "refused", ms,
          peak.kb() / 1024.0);
}

} // namespace

class BenchExamPages : public QObject
{
    Q_OBJECT
private slots:
    void examPage()
    {
        const QString text = bigExam();
        QString page;
        QBENCHMARK {
            page = ExtracImtihan(text);
        }
        QCOMPARE(page.count("<form>"), kMaxQuestions);
    }

    void answerSheet()
    {
        const QString answers = composeAnswers(bigExam(), bigForms());
        QString sheet;
        QBENCHMARK {
            sheet = fillGrades(ExtracImtDisplay(answers), "0::1:2:3").html;
        }
        QCOMPARE(sheet.count("<form>"), kMaxQuestions);
    }

    // The page as the exam sheet shows it: built, its header filled, loaded.
    void examPageInWebView_data()
    {
        QTest::addColumn<int>("questions");
        for (int n : {20, 50, 100, kMaxQuestions})
            QTest::addRow("%d questions", n) << n;
    }

    void examPageInWebView()
    {
        QFETCH(int, questions);
        const QString text = bigExam(questions);
        QWebView view;
        view.resize(1000, 700);
        view.show();
        qint64 best = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 5; ++run) {
            QSignalSpy loaded(&view, &QWebView::loadFinished);
            QElapsedTimer timer;
            timer.start();
            QString page = ExtracImtihan(text);
            page = fillSlot(page, QStringLiteral("userinfo"), QStringLiteral("Amina"));
            page = fillSlot(page, QStringLiteral("mada"), QStringLiteral("Exam"));
            view.setHtml(page, QUrl());
            QVERIFY(loaded.count() == 1 || loaded.wait(30000));
            best = std::min(best, timer.nsecsElapsed());
            QVERIFY(loaded.first().first().toBool());
        }
        qInfo("exam page of %d questions built and loaded in a web view: %.1f ms, %.3f ms a "
              "question", questions, best / 1e6, best / 1e6 / questions);
    }

    // A sheet of 4 KB to 4 MiB in the grading window's web view: shown or
    // refused as damaged, each in well under a second.
    void sheetInWebView()
    {
        QWebView view;
        view.resize(1000, 700);
        view.show();
        showSheet(&view, answersOfSize(4 << 10)); // the view's first page
        for (int bytes : {4 << 10, 40 << 10, 400 << 10, 4 << 20})
            reportSheet(&view, "sheet in a web view", answersOfSize(bytes));
    }

    // The largest sheets shown: the bound of a sheet, in answers of the bound
    // of a field, of the words that cost the web view most; and 200 choice
    // questions of 50 choices.
    void largestSheetsShown()
    {
        QWebView view;
        view.resize(1000, 700);
        view.show();
        showSheet(&view, answersOfSize(4 << 10));
        const QString answer = kMixedWords.repeated(kMaxSheetFieldChars / kMixedWords.size());
        QString written = QStringLiteral("9");
        for (int i = 1; written.size() + answer.size() + 20 <= kMaxSheetChars; ++i)
            written += QStringLiteral("<:>q%1<:>1<:>").arg(i) + answer;
        reportSheet(&view, "largest sheet of written answers", written);
        QString choices = QString::number(kMaxQuestions);
        for (int i = 0; i < kMaxQuestions; ++i) {
            choices += QStringLiteral("<:>%1<:>2<:>%2").arg(i).arg(kMaxChoices);
            for (int c = 0; c < kMaxChoices; ++c)
                choices += c % 2 ? QStringLiteral("<:>[no]a") : QStringLiteral("<:>[on]1");
        }
        reportSheet(&view, "largest sheet of choices", choices);
    }

    void replyPieces()
    {
        QString reply;
        for (int i = 0; i < 8000; ++i)
            reply += QString("\r\n%1\r\nx").arg(i);
        QString cleaned;
        QBENCHMARK {
            cleaned = TestImtDisplay(reply);
        }
        QCOMPARE(cleaned, QString(8000, 'x'));
    }
};

QTEST_MAIN(BenchExamPages)
#include "bench_exam_pages.moc"
