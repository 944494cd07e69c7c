// The exam program's record formats, each read as the program reads it: the
// first byte chooses the road, the rest is the text. The readers never read
// out of bounds, never let input text become page markup, and keep what
// they read.
//   0  exam text: the exam page, and the answers text its forms give
//   1  exam text: the answers text of its page, shown as an answer sheet
//   2  answers text: the answer sheet
//   3  grading text: its sum, and the grades on a sheet
//   4  marks table: the marks page
//   5  report record and report file
#include "core/pure/answers.h"
#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/report.h"
#include "core/pure/templates.h"

#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

int scripts(const QString &page)
{
    return page.count(QStringLiteral("<script"));
}

// What the page walk would read from the exam page of exam.
QVector<PageForm> formsOf(const ExamText &exam)
{
    QVector<PageForm> forms;
    for (const ExamQuestion &q : exam.questions) {
        if (!q.shown())
            continue;
        PageForm f;
        f.hasTextArea = q.type == 1;
        f.text = q.text;
        for (int i = 0; i < q.choices.size(); ++i)
            f.checked << (i % 2 == 0);
        forms << f;
    }
    return forms;
}

void examSheet(const QString &text)
{
    const ExamText exam = readExamText(text);
    const QVector<PageForm> forms = formsOf(exam);
    const QString page = ExtracImtihan(text);
    if (examHasPage(exam)) {
        check(page.count(QStringLiteral("<form>")) == forms.size());
        check(scripts(page) == scripts(htm_table));
    } else {
        check(page.isEmpty());
    }
    composeAnswers(text, forms);
}

void composedSheet(const QString &text)
{
    const QString sheet = ExtracImtDisplay(composeAnswers(text, formsOf(readExamText(text))));
    check(sheet.isEmpty() || scripts(sheet) == scripts(htm_table));
}

void answerSheet(const QString &text)
{
    const QString sheet = ExtracImtDisplay(text);
    check(sheet.isEmpty()
          || (!sheet.contains(QStringLiteral("<textarea")) && scripts(sheet) == scripts(htm_table)));
}

void grades(const QString &text)
{
    // The sheet the grades go on, as the grading window has it.
    static const QString sheet = ExtracImtDisplay(
        QStringLiteral("3<:>One<:>1<:>answer<:>Two<:>2<:>2<:>[on]a<:>[no]b<:>Three<:>3<:>1<:>[on]c"));
    const Grading g = readGrading(text);
    check(g.graded == !text.trimmed().isEmpty());
    ExtracTotaltankit(text);
    fillGrades(sheet, text);
}

void reports(const QByteArray &bytes, const QString &text)
{
    const auto record = readReportRecord(text);
    if (record) {
        const auto again = readReportRecord(reportRecordText(*record));
        check(again && again->answers == record->answers && again->stamp == record->stamp);
    }
    const auto fromFile = decompressReport(bytes);
    if (fromFile)
        readReportRecord(*fromFile);
    const QString name = reportFileName(text, QStringLiteral("1"), QStringLiteral("2"),
                                        QStringLiteral("2015-05-25_14.12.18"));
    check(!name.contains(QLatin1Char('/')) && !name.startsWith(QLatin1Char('.')));
    check(name.toUtf8().size() <= 255);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QString text = QString::fromUtf8(bytes);
    switch (data[0] % 6) {
    case 0:
        examSheet(text);
        break;
    case 1:
        composedSheet(text);
        break;
    case 2:
        answerSheet(text);
        break;
    case 3:
        grades(text);
        break;
    case 4:
        ExtracNote(text);
        break;
    default:
        reports(bytes, text);
        break;
    }
    return 0;
}
