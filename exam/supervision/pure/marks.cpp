#include "supervision/pure/marks.h"

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
    const QStringList L = examText.split(QLatin1Char('|'));
    const int size = L.size();
    const int count = readInt(L.at(0));
    const QString sep = QStringLiteral("<:>");
    QString out = formatText(L.at(0));
    int i = 1;
    for (int q = 0; q < count && i + 1 < size; ++q) {
        const QString &t = L.at(i);
        const int type = readInt(L.at(i + 1));
        int k = i + 2 < size ? readInt(L.at(i + 2)) : 0;
        out += sep + formatText(t) + sep + QString::number(type);
        int next = i + 3;
        if (type == 2 || type == 3) {
            // Choices that the exam text does not hold are not made up.
            k = qBound(0, k, qMax(0, size - (i + 3)));
            out += sep + QString::number(k);
            const QString u = L.value(i + 3 + k);
            const int p = damaged.indexOf(QLatin1Char(':') + t);
            for (int j = 0; j < k; ++j) {
                const QString &h = L.at(i + 3 + j);
                int s = damaged.indexOf(QStringLiteral(":[on]") + h, p + 1);
                if (!u.isEmpty()) {
                    const int r = damaged.indexOf(QLatin1Char(':') + u, p + 1);
                    if (r >= 0 && r < s)
                        s = -1;
                }
                out += sep + (s >= 0 ? QStringLiteral("[on]") : QStringLiteral("[no]"))
                       + formatText(h);
            }
            if (k > 0)
                next = i + 3 + k;
        } else if (type == 1) {
            QString answer;
            const int p = damaged.indexOf(t);
            // A question that the damaged text does not hold has no answer.
            if (p >= 0) {
                const int a = p + 3 + t.size();
                int e = -1;
                if (i + 3 < size)
                    e = damaged.indexOf(L.at(i + 3), p + 1);
                if (a <= damaged.size())
                    answer = e < 0 || e < a + 1 ? damaged.mid(a) : damaged.mid(a, e - 1 - a);
            }
            out += sep + formatText(answer);
        }
        i = next;
    }
    return out;
}
