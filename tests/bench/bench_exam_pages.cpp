// Building the exam page and the answer sheet of a large exam, and cleaning a
// long reply full of removable pieces.
#include "core/pure/answers.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/reply.h"

#include <QtTest>

namespace {

QString bigExam()
{
    QString text = "300";
    for (int i = 0; i < 300; ++i) {
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
    for (int i = 0; i < 300; ++i) {
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
        QCOMPARE(page.count("<form>"), 300);
    }

    void answerSheet()
    {
        const QString answers = composeAnswers(bigExam(), bigForms());
        QString sheet;
        QBENCHMARK {
            sheet = fillGrades(ExtracImtDisplay(answers), "0::1:2:3").html;
        }
        QCOMPARE(sheet.count("<form>"), 300);
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

QTEST_GUILESS_MAIN(BenchExamPages)
#include "bench_exam_pages.moc"
