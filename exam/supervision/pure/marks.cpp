#include "supervision/pure/marks.h"

#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"

#include <cmath>

std::optional<QString> readMark(const QString &typed)
{
    QString mark = typed.trimmed();
    for (QChar &c : mark) {
        const ushort u = c.unicode();
        if (u >= 0x0660 && u <= 0x0669)
            c = QChar('0' + (u - 0x0660));
        else if (u >= 0x06F0 && u <= 0x06F9)
            c = QChar('0' + (u - 0x06F0));
        else if (u == 0x066B)
            c = QLatin1Char('.');
    }
    bool ok = false;
    const float value = mark.toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return mark;
}

namespace {

// "0::" and the marks joined by ":". An empty mark, which reads as 0, is
// written 0, so that no "::" ends the marks before their end.
QString marksGrading(QStringList marks)
{
    for (QString &mark : marks) {
        if (mark.isEmpty())
            mark = QStringLiteral("0");
    }
    return QStringLiteral("0::") + marks.join(QLatin1Char(':'));
}

} // namespace

bool gradedByMarks(const QString &grading)
{
    const Grading g = readGrading(grading);
    return g.graded && g.total == 0.0f && grading.contains(QStringLiteral("::"));
}

QString withNextMark(const QString &grading, const QString &mark)
{
    if (!gradedByMarks(grading))
        return QStringLiteral("0::") + mark;
    // Written afresh, so the new mark is read even when the text went on
    // after its marks.
    return marksGrading(marksOf(grading) << mark);
}

QStringList marksOf(const QString &grading) { return readGrading(grading).marks; }

std::optional<QString> withMark(const QString &grading, int question, const QString &mark)
{
    QStringList marks = marksOf(grading);
    if (question < 1 || question > marks.size())
        return std::nullopt;
    marks[question - 1] = mark;
    return marksGrading(marks);
}

QString totalGrading(float total) { return formatNumber(total) + QStringLiteral("::"); }

int sheetQuestionCount(const QString &answers)
{
    const int end = answers.indexOf(QStringLiteral("<:>"));
    return readInt(end < 0 ? answers : answers.left(end));
}

namespace {

QString marksCell(const QString &text)
{
    QString cell = text;
    cell.replace(QStringLiteral("<:"), QStringLiteral("< :"));
    for (QChar &c : cell) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return cell;
}

} // namespace

QString marksTable(const QVector<MarksRow> &rows)
{
    QString table;
    const QString cellSep = QStringLiteral("<:>");
    for (const MarksRow &r : rows) {
        if (!table.isEmpty())
            table += QStringLiteral("<::>");
        table += marksCell(r.name) + cellSep + marksCell(r.mail) + cellSep + marksCell(r.time)
                 + cellSep + marksCell(r.number) + cellSep + ExtracTotaltankit(r.grading);
    }
    return table;
}

QString marksPage(const QString &table, const QString &headingHtml)
{
    const QString open = QStringLiteral("<div align='center'><strong>");
    const QString close = QStringLiteral("</strong></div>");
    return fillTemplate(ExtracNote(table),
                        {{open + QStringLiteral("#mada#") + close, open + headingHtml + close}});
}

QString marksClipboardText(const QString &table)
{
    QString text = table;
    text.replace(QStringLiteral("<::>"), QStringLiteral("\n"));
    text.replace(QStringLiteral("<:>"), QStringLiteral("\t"));
    return text;
}

namespace {

QString formatText(const QString &text) { return blanked(text, QStringLiteral("<>")); }

} // namespace

QString repairAnswers(const QString &damaged, const QString &examText)
{
    FieldCursor L(examText, QStringLiteral("|"));
    const QString head = L.take();
    const int count = readInt(head);
    const QString sep = QStringLiteral("<:>");
    QString out = formatText(head);
    // One question or choice beyond what an exam may have is enough for the
    // sheet to be refused; the rest is not looked up.
    for (int q = 0; q < count && q <= kMaxQuestions && L.hasNext() && !L.nextIsLast(); ++q) {
        const QString t = L.take();
        const int type = readInt(L.take());
        const int k = readInt(L.take());
        out += sep + formatText(t) + sep + QString::number(type);
        if (type == 2 || type == 3) {
            // Choices that the exam text does not hold are not made up.
            QStringList choices;
            while (choices.size() < qMin(k, kMaxChoices + 1) && L.hasNext())
                choices << L.take();
            out += sep + QString::number(choices.size());
            const QString u = L.peek();
            const int p = damaged.indexOf(QLatin1Char(':') + t);
            // A choice marked only after the next question's text is not
            // marked: only the text before it is searched.
            const int r = u.isEmpty() ? -1 : damaged.indexOf(QLatin1Char(':') + u, p + 1);
            for (const QString &h : qAsConst(choices)) {
                const QString mark = QStringLiteral(":[on]") + h;
                const QStringRef before = r < 0 ? damaged.midRef(0) : damaged.leftRef(r + mark.size());
                const bool on = before.indexOf(mark, p + 1) >= 0;
                out += sep + (on ? QStringLiteral("[on]") : QStringLiteral("[no]")) + formatText(h);
            }
            if (choices.size() > kMaxChoices)
                break;
        } else if (type == 1) {
            QString answer;
            const int p = damaged.indexOf(t);
            // A question that the damaged text does not hold has no answer.
            if (p >= 0) {
                const int a = p + 3 + t.size();
                int e = -1;
                if (L.hasNext())
                    e = damaged.indexOf(L.peek(), p + 1);
                if (a <= damaged.size())
                    answer = e < 0 || e < a + 1 ? damaged.mid(a) : damaged.mid(a, e - 1 - a);
            }
            out += sep + formatText(answer);
        }
    }
    return out;
}
