#include "core/pure/grading.h"

#include "core/pure/pagetext.h"

#include <QVector>

#include <cstring>
#include <utility>

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

GradedSheet fillGrades(QString html, const QString &grading)
{
    const QString totalSlot = QStringLiteral("<div id='total'>#total#</div>");
    GradedSheet out;
    const Grading g = readGrading(grading);
    out.graded = g.graded;
    // The slots are filled in the page itself when it is handed over: no
    // whole copy of it but the one that takes the marks.
    if (!g.graded) {
        html.replace(totalSlot,
                     QString::fromUtf8("<div id='total'>لم يتم تصحيح هذا الامتحان بعد</div>"));
        out.html = std::move(html);
        return out;
    }
    float total = g.total;
    if (total == 0.0f) {
        // Each mark goes into the next empty slot. The page grows once and
        // its text moves back to front, in place.
        const QString slot = QStringLiteral("<div id='note'></div>");
        const QString open = QString::fromUtf8("<div id='note2'>النقطة : <span id='nokta'>");
        const QString close = QStringLiteral("</span></div>");
        QVector<int> places;
        QStringList filled;
        int growth = 0;
        for (const QString &text : qAsConst(g.marks)) {
            const int at = html.indexOf(slot, places.isEmpty() ? 0 : places.last() + slot.size());
            if (at < 0)
                break;
            const float mark = readFloat(text);
            places << at;
            filled << open + formatNumber(mark) + close;
            growth += filled.last().size() - slot.size();
            total += mark;
        }
        int from = html.size();
        html.resize(from + growth);
        QChar *page = html.data();
        int to = html.size();
        for (int i = places.size() - 1; i >= 0; --i) {
            const int after = places.at(i) + slot.size();
            to -= from - after;
            std::memmove(page + to, page + after, size_t(from - after) * sizeof(QChar));
            to -= filled.at(i).size();
            std::memcpy(page + to, filled.at(i).constData(), size_t(filled.at(i).size()) * sizeof(QChar));
            from = places.at(i);
        }
    }
    out.total = total;
    out.overTwenty = total > 20.0f;
    html.replace(totalSlot, QString::fromUtf8("<div id='total'><div id='total'>المجموع : "
                                              "<span id='nokta'> 20 / ")
                                + formatNumber(total) + QStringLiteral("</span></div></div>"));
    out.html = std::move(html);
    return out;
}
