#include "core/pure/grading.h"

#include "core/pure/pagetext.h"

Grading readGrading(const QString &text)
{
    Grading g;
    if (text.trimmed().isEmpty())
        return g;
    g.graded = true;
    const QString sep = QStringLiteral("::");
    const int first = text.indexOf(sep);
    g.total = readFloat(first < 0 ? text : text.left(first));
    if (g.total != 0.0f) {
        g.grade = g.total;
        return g;
    }
    if (first >= 0) {
        const int from = first + sep.size();
        const int next = text.indexOf(sep, from);
        g.marks = text.mid(from, next < 0 ? -1 : next - from).split(QLatin1Char(':'));
    }
    for (const QString &mark : qAsConst(g.marks))
        g.grade += readFloat(mark);
    return g;
}

QString ExtracTotaltankit(const QString &text)
{
    const Grading g = readGrading(text);
    return g.graded ? formatNumber(g.grade) : QString();
}

GradedSheet fillGrades(const QString &html, const QString &grading)
{
    const QString totalSlot = QStringLiteral("<div id='total'>#total#</div>");
    GradedSheet out;
    const Grading g = readGrading(grading);
    out.graded = g.graded;
    if (!g.graded) {
        out.html = fillTemplate(
            html, {{totalSlot, QString::fromUtf8("<div id='total'>لم يتم تصحيح هذا الامتحان بعد</div>")}});
        return out;
    }
    QString page;
    float total = g.total;
    if (total == 0.0f) {
        // One pass: each mark goes into the next empty slot, the page is
        // copied piece by piece and never shifted.
        const QString slot = QStringLiteral("<div id='note'></div>");
        // A number reads left to right: "-1" keeps its sign before it.
        const QString open = QString::fromUtf8("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>");
        const QString close = QStringLiteral("</span></div>");
        page.reserve(html.size() + html.size() / 4);
        int from = 0;
        for (const QString &text : qAsConst(g.marks)) {
            const int at = html.indexOf(slot, from);
            if (at < 0)
                break;
            const float mark = readFloat(text);
            page.append(html.midRef(from, at - from));
            page += open + formatNumber(mark) + close;
            from = at + slot.size();
            total += mark;
        }
        page.append(html.midRef(from));
    } else {
        page = html;
    }
    out.total = total;
    out.overTwenty = total > 20.0f;
    // Read from the right, the total comes after "20 /": it stands left of
    // it, whatever the line around it, and keeps its sign before it.
    out.html = fillTemplate(page, {{totalSlot,
                                    QString::fromUtf8("<div id='total'><div id='total'>المجموع : "
                                                      "<span id='nokta' dir='rtl'> 20 / <span dir='ltr'>")
                                        + formatNumber(total)
                                        + QStringLiteral("</span></span></div></div>")}});
    return out;
}
