// Every reader of the exam endpoint's replies, timed per KB from 1 KB to
// 1 MB: the reply frame and its cleaning, the student and login replies,
// the results reply, the answer sheet and the exam page builders.
#include "core/pure/answers.h"
#include "core/pure/loginreply.h"
#include "core/pure/pages.h"
#include "core/pure/reply.h"
#include "perkb.h"
#include "supervision/pure/results.h"

#include <QtTest>

namespace {

QString framed(const QString &payload)
{
    return QStringLiteral("<html>debut|") + payload + QStringLiteral("|fin</html>\r\n");
}

QString question(int n)
{
    switch (n % 3) {
    case 0:
        return QString::fromUtf8("ما معنى الكلمة رقم %1 في النص؟|1|500").arg(n);
    case 1:
        return QString::fromUtf8("اختر الأجوبة الصحيحة %1|2|4|أ|ب|ج|د").arg(n);
    default:
        return QString::fromUtf8("اختر جوابا واحدا %1|3|3|<b>نعم</b>|لا|ربما").arg(n);
    }
}

// An exam text of about bytes UTF-8 bytes.
QString examText(int bytes)
{
    QString text = repeatedText(bytes, QString(), QStringLiteral("|"), question);
    return QString::number(text.count(QLatin1Char('|'))) + QLatin1Char('|') + text;
}

// The answers text of such an exam, every question answered.
QString answersText(int bytes)
{
    // The answers text is a little longer than its exam text.
    const QString exam = examText(bytes * 4 / 5);
    QVector<PageForm> forms;
    for (int i = 0; i < exam.size() / 20; ++i) {
        PageForm f;
        f.hasTextArea = i % 3 == 0;
        f.text = QString::fromUtf8("جواب الطالب عن السؤال");
        f.checked = {true, false, true, false};
        forms << f;
    }
    return composeAnswers(exam, forms);
}

QString loginRecord(int n)
{
    return QStringLiteral("%1<||>2024-05-01 10:%2:00<||>60<||>").arg(n).arg(n % 60, 2, 10, QChar('0'))
           + QString::fromUtf8("الرياضيات<:>3<:>2<||>0<||>") + examText(400);
}

QString resultRecord(int n)
{
    return QString::fromUtf8("الرياضيات<:>3<:>2|%1|2024-05-01 10:00:00|").arg(n)
           + answersText(600) + QStringLiteral("|0::2:1.5:3");
}

// Lines that the cleaning removes, each a new run, between kept ones.
QString removableLines(int bytes)
{
    return repeatedText(bytes, QString(), QString(),
                        [](int n) { return QStringLiteral("\r\n%1\r\nx").arg(n); });
}

} // namespace

class BenchExamReaders : public QObject
{
    Q_OBJECT
private slots:
    void perKb()
    {
        reportPerKb("reply cleaning, removable lines", removableLines,
                    [](const QString &t) { TestImtDisplay(t); });
        reportPerKb("reply frame of an ordinary reply",
                    [](int bytes) { return framed(answersText(bytes)); },
                    [](const QString &t) { TestStr(t); });
        reportPerKb("student reply (infousr)",
                    [](int bytes) {
                        return framed(QString(bytes / 2, QChar(0x0628)) + "<:>a@b.org");
                    },
                    [](const QString &t) { parseStudentInfo(TestStr(t)); });
        reportPerKb("login reply (login4)",
                    [](int bytes) {
                        return framed(repeatedText(
                            bytes, QStringLiteral("0<>a<>b<>2024-05-01 09:00:00<>c<>d\n<|||>"),
                            QStringLiteral("<|||>"), loginRecord));
                    },
                    [](const QString &t) {
                        const LoginReply reply = parseLoginReply(TestStr(t));
                        for (const ExamRecord &r : reply.records)
                            splitExamHeader(r.header);
                    });
        reportPerKb("results reply (getimtihan)",
                    [](int bytes) {
                        return framed(repeatedText(bytes, QStringLiteral("Amina|a@b.org<|>"),
                                                   QStringLiteral("<|>"), resultRecord));
                    },
                    [](const QString &t) { readResultsReply(TestStr(t)); });
        reportPerKb("answer sheet (ExtracImtDisplay)", answersText,
                    [](const QString &t) { ExtracImtDisplay(t); });
        reportPerKb("exam page (ExtracImtihan)", examText,
                    [](const QString &t) { ExtracImtihan(t); });
    }
};

QTEST_GUILESS_MAIN(BenchExamReaders)
#include "bench_exam_readers.moc"
