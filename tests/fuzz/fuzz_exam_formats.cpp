// The exam program's readers never read out of bounds, never let input text
// become page markup, and keep what they read.
#include "core/pure/answers.h"
#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/reply.h"
#include "core/pure/report.h"
#include "core/pure/templates.h"

#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(bytes);

    // Exam text: one form per question shown, and no markup from the text.
    const ExamText exam = readExamText(text);
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
    const QString page = ExtracImtihan(text);
    if (examHasPage(exam)) {
        check(page.count(QStringLiteral("<form>")) == forms.size());
        check(page.count(QStringLiteral("<script")) == htm_table.count(QStringLiteral("<script")));
    } else {
        check(page.isEmpty());
    }

    // Answers text, from that exam and as arbitrary input.
    const QString answers = composeAnswers(text, forms);
    const QString sheet = ExtracImtDisplay(answers);
    if (!sheet.isEmpty())
        check(sheet.count(QStringLiteral("<script")) == htm_table.count(QStringLiteral("<script")));
    const QString direct = ExtracImtDisplay(text);
    if (!direct.isEmpty())
        check(direct.count(QStringLiteral("<textarea")) == 0);
    TestImtDisplay(text);

    // Grading text, alone and on a sheet.
    const Grading g = readGrading(text);
    check(g.graded == !text.trimmed().isEmpty());
    ExtracTotaltankit(text);
    fillGrades(direct, text);
    ExtracNote(text);

    // Report record and file.
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
    return 0;
}
