// Every reader of the exam endpoint's replies, per KB from 4 KB to the 4 MiB
// reply bound (perkb.h): the reply frame and its cleaning, the student and
// login replies, the results reply, the answer sheet and the exam page
// builders, and the rebuild of a damaged sheet.
#include "core/pure/answers.h"
#include "core/pure/loginreply.h"
#include "core/pure/pages.h"
#include "core/pure/reply.h"
#include "perkb.h"
#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"
#include "supervision/pure/marks.h"
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
        return QString::fromUtf8("ما معنى الكلمة رقم %1 في النص؟|1|-1").arg(n);
    case 1:
        return QString::fromUtf8("اختر الأجوبة الصحيحة %1|2|4|أ|ب|ج|د").arg(n);
    default:
        return QString::fromUtf8("اختر جوابا واحدا %1|3|3|<b>نعم</b>|لا|ربما").arg(n);
    }
}

// A question text padded with words to about bytes UTF-8 bytes.
QString padded(const QString &text, int bytes)
{
    const QString word = QString::fromUtf8(" كلمة");
    const int words = qMax(0, (bytes - text.toUtf8().size()) / word.toUtf8().size());
    return text + word.repeated(words);
}

// An exam text of about bytes UTF-8 bytes: as many questions as fit, at most
// the 200 an exam may have, their texts longer as the exam grows.
QString examText(int bytes)
{
    const int questions = qBound(1, bytes / 80, kMaxQuestions);
    const int each = bytes / questions - 40;
    QString text = QString::number(questions);
    for (int n = 0; n < questions; ++n) {
        const QStringList fields = question(n).split(QLatin1Char('|'));
        text += QLatin1Char('|') + padded(fields.first(), each)
                + QLatin1Char('|') + QStringList(fields.mid(1)).join(QLatin1Char('|'));
    }
    return text;
}

// The answers text of such an exam, every question answered at length.
QString answersText(int bytes)
{
    const QString exam = examText(qMin(bytes / 2, 160 * kMaxQuestions));
    const int questions = readInt(exam.section(QLatin1Char('|'), 0, 0));
    QVector<PageForm> forms;
    for (int i = 0; i < questions; ++i) {
        PageForm f;
        f.hasTextArea = i % 3 == 0;
        f.text = padded(QString::fromUtf8("جواب الطالب عن السؤال"), (bytes - exam.size()) / qMax(1, (questions + 2) / 3));
        f.checked = {true, false, true, false};
        forms << f;
    }
    return composeAnswers(exam, forms);
}

// A sheet of one-letter questions, more than an exam may have: refused.
QString oneLetterAnswers(int bytes)
{
    return repeatedText(bytes, QString::number(bytes / 12), QString(),
                        [](int) { return QStringLiteral("<:>q<:>1<:>a"); });
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
        // A reply as a chunked transfer leaves it: a chunk size between every
        // 500 bytes of text.
        reportPerKb("reply cleaning, chunked reply",
                    [](int bytes) {
                        return repeatedText(bytes, QString(), QString(), [](int n) {
                            return QString::fromUtf8("\r\n1f4\r\n")
                                   + padded(QString::number(n), 500);
                        });
                    },
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
        // Past 128 Ki characters, or 16 Ki in one answer, the sheet is
        // refused once cleaned: the larger sizes measure the refusal.
        reportPerKb("answer sheet (ExtracImtDisplay), refused from 400 KB", answersText,
                    [](const QString &t) { ExtracImtDisplay(t); });
        reportPerKb("answer sheet of one-letter questions, refused", oneLetterAnswers,
                    [](const QString &t) { ExtracImtDisplay(t); });
        reportPerKb("exam page (ExtracImtihan)", examText,
                    [](const QString &t) { ExtracImtihan(t); });
        // The grading window's rebuild of a damaged sheet against an exam of
        // 200 questions of four choices, whose texts are not in the sheet.
        reportPerKb("sheet repair (repairAnswers)", [](int bytes) {
            const QString exam = examText(200 * 80);
            const QString damaged = repeatedText(bytes, QString(), QString(), [](int n) {
                return QString::fromUtf8("نص تالف %1 :[on]x ").arg(n);
            });
            return PerKbSample{damaged.toUtf8().size(), [exam, damaged] { repairAnswers(damaged, exam); }};
        });
    }
};

QTEST_GUILESS_MAIN(BenchExamReaders)
#include "bench_exam_readers.moc"
