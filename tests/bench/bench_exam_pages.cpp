// Building the exam page and the answer sheet of the largest exam there may
// be (200 questions), loading the exam page into a web view, and cleaning a
// long reply full of removable pieces.
#include "core/pure/answers.h"
#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "core/pure/reply.h"

#include <QElapsedTimer>
#include <QSignalSpy>
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
