// The grading window's readers never read past a list: the exam and sheet
// lists keep within their limit, marks are changed only where they exist,
// the marks table keeps one row per sheet and five cells per row, its page
// and heading add no element of their own, and a rebuilt sheet splits as the
// exam text.
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/templates.h"
#include "supervision/pure/gradinglists.h"
#include "supervision/pure/marks.h"

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
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));

    const ExamList exams = readExamList(text);
    check(exams.exams.size() <= kMaxListRecords);
    for (const ExamListEntry &e : exams.exams) {
        const ExamDescriptor d = readExamDescriptor(e.descriptor);
        examRowHeading(d);
        check(readExamDescriptor(withTeacher(e.descriptor, QStringLiteral("t"))).teacher
              == QLatin1String("t"));
    }

    const SheetList sheets = readSheetList(text);
    check(sheets.sheets.size() <= kMaxListRecords);
    QVector<MarksRow> rows;
    QVector<QStringList> cells;
    for (const SheetEntry &s : sheets.sheets) {
        rows.append({s.name, s.mail, s.time, s.id, s.grading});
        cells.append({s.name, s.mail, s.time, s.id});
        const QStringList marks = marksOf(s.grading);
        for (int q = -1; q <= marks.size() + 1; ++q) {
            const std::optional<QString> changed = withMark(s.grading, q, QStringLiteral("7"));
            check(bool(changed) == (q >= 1 && q <= marks.size()));
            if (changed)
                check(marksOf(*changed).size() == marks.size());
        }
        check(marksOf(withNextMark(s.grading, QStringLiteral("1"))).last() == QLatin1String("1"));
        sheetQuestionCount(s.answers);
    }
    const QString table = marksTable(rows);
    if (!rows.isEmpty()) {
        const QStringList lines = table.split(QStringLiteral("<::>"));
        check(lines.size() == rows.size());
        for (const QString &line : lines)
            check(line.split(QStringLiteral("<:>")).size() == 5);
        check(marksClipboardText(table).count(QLatin1Char('\n')) == rows.size() - 1);
        const QString heading = sheetListTitle(readExamDescriptor(text.left(64)), text.mid(64, 8),
                                               HeadingForm::Page);
        const QString page = marksPage(table, heading);
        check(page.count(QStringLiteral("<tr")) == rows.size() + 1);
        check(page.count(QStringLiteral("<script"))
              == htm_table_note.count(QStringLiteral("<script")));
    }
    findRow(cells, int(size % 7) - 1, text.left(3));

    // A damaged sheet against an exam text made of the same input.
    const int half = text.size() / 2;
    const QString rebuilt = repairAnswers(text.left(half), text.mid(half));
    ExtracImtDisplay(rebuilt);
    const std::optional<QString> mark = readMark(text.left(16));
    if (mark)
        check(!mark->contains(QLatin1Char(':')) && !mark->isEmpty());
    return 0;
}
