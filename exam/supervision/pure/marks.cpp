#include "supervision/pure/marks.h"

#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "supervision/pure/firstfound.h"

#include <cmath>
#include <vector>

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

QString marksClipboardHtml(const QString &table, const QString &headingHtml)
{
    const QString page = marksPage(table, headingHtml);
    const QString heading = QStringLiteral("<div align='center'><strong>");
    const QString tableEnd = QStringLiteral("</table>");
    const int from = page.indexOf(heading);
    const int to = page.indexOf(tableEnd, qMax(from, 0));
    QString body = from < 0 || to < 0 ? QString() : page.mid(from, to + tableEnd.size() - from);
    // The page draws the borders with its style sheet, which stays behind.
    body.replace(QStringLiteral("<table width=\"600\" border=\"0\""),
                 QStringLiteral("<table width=\"600\" border=\"1\""));
    return QStringLiteral("<html dir=\"rtl\">\n<head>\n<meta http-equiv=\"Content-Type\" "
                          "content=\"text/html; charset=utf-8\" />\n</head>\n<body dir=\"rtl\">\n")
           + body + QStringLiteral("\n</body>\n</html>\n");
}

namespace {

QString formatText(const QString &text) { return blanked(text, QStringLiteral("<>")); }

} // namespace

QString repairAnswers(const QString &damaged, const QString &examText)
{
    // The questions read from the exam text, then every search in the
    // damaged text done together: first where each question stands, then
    // what follows it.
    struct Question
    {
        QString text;
        int type = 0;
        QStringList choices;
        bool tooMany = false;
        QString after; // the field after the question, if any
        bool hasAfter = false;
        int at = -1;    // search of the question's place
        int upTo = -1;  // search of the next question's text
        int firstMark = -1;
    };
    FieldCursor L(examText, QStringLiteral("|"));
    const QString head = L.take();
    const int count = readInt(head);
    // One question or choice beyond what an exam may have is enough for the
    // sheet to be refused; the rest is not looked up.
    std::vector<Question> questions;
    FirstFound places;
    for (int q = 0; q < count && q <= kMaxQuestions && L.hasNext() && !L.nextIsLast(); ++q) {
        Question x;
        x.text = L.take();
        x.type = readInt(L.take());
        const int k = readInt(L.take());
        if (x.type == 2 || x.type == 3) {
            // Choices that the exam text does not hold are not made up.
            while (x.choices.size() < qMin(k, kMaxChoices + 1) && L.hasNext())
                x.choices << L.take();
            x.tooMany = x.choices.size() > kMaxChoices;
            x.after = L.peek();
            x.at = places.add(QLatin1Char(':') + x.text, 0);
        } else if (x.type == 1) {
            x.hasAfter = L.hasNext();
            x.after = L.peek();
            x.at = places.add(x.text, 0);
        }
        const bool last = x.tooMany;
        questions.push_back(std::move(x));
        if (last)
            break;
    }
    places.run(damaged);

    FirstFound after;
    for (Question &x : questions) {
        if (x.at < 0)
            continue;
        const int p = places.at(x.at);
        if (x.type == 1) {
            if (p >= 0 && x.hasAfter)
                x.upTo = after.add(x.after, p + 1);
            continue;
        }
        // A choice marked only after the next question's text is not
        // marked: only the text before it counts.
        if (!x.after.isEmpty())
            x.upTo = after.add(QLatin1Char(':') + x.after, p + 1);
        for (const QString &h : qAsConst(x.choices)) {
            const int m = after.add(QStringLiteral(":[on]") + h, p + 1);
            if (x.firstMark < 0)
                x.firstMark = m;
        }
    }
    after.run(damaged);

    const QString sep = QStringLiteral("<:>");
    QString out = formatText(head);
    for (const Question &x : questions) {
        out += sep + formatText(x.text) + sep + QString::number(x.type);
        if (x.type == 2 || x.type == 3) {
            out += sep + QString::number(x.choices.size());
            const int r = x.upTo < 0 ? -1 : after.at(x.upTo);
            for (int j = 0; j < x.choices.size(); ++j) {
                const int found = after.at(x.firstMark + j);
                const bool on = found >= 0 && (r < 0 || found <= r);
                out += sep + (on ? QStringLiteral("[on]") : QStringLiteral("[no]"))
                       + formatText(x.choices.at(j));
            }
        } else if (x.type == 1) {
            QString answer;
            const int p = places.at(x.at);
            // A question that the damaged text does not hold has no answer.
            if (p >= 0) {
                const int a = p + 3 + x.text.size();
                const int e = x.upTo < 0 ? -1 : after.at(x.upTo);
                if (a <= damaged.size())
                    answer = e < 0 || e < a + 1 ? damaged.mid(a) : damaged.mid(a, e - 1 - a);
            }
            out += sep + formatText(answer);
        }
    }
    return out;
}
