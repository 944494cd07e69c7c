#include "core/pure/grading.h"

#include "core/pure/pagetext.h"

#include <QVector>

#include <cmath>
#include <cstring>
#include <utility>

namespace {

const QString kSep = QStringLiteral("::");

// The reading rule up to the marks: graded, the total, and where the marks
// stand (empty without "::").
struct GradingHead
{
    bool graded = false;
    float total = 0;
    QStringRef marks;
};

GradingHead readHead(const QString &text)
{
    GradingHead h;
    if (text.trimmed().isEmpty())
        return h;
    h.graded = true;
    const int first = text.indexOf(kSep);
    h.total = readFloat(first < 0 ? text : text.left(first));
    if (h.total == 0.0f && first >= 0) {
        const int from = first + kSep.size();
        const int next = text.indexOf(kSep, from);
        h.marks = text.midRef(from, next < 0 ? -1 : next - from);
    }
    return h;
}

// A single-precision number; not a number (or not finite) reads as 0.
float markValue(const QStringRef &mark)
{
    bool ok = false;
    const float v = mark.toFloat(&ok);
    return ok && std::isfinite(v) ? v : 0.0f;
}

} // namespace

Grading readGrading(const QString &text)
{
    const GradingHead h = readHead(text);
    Grading g;
    g.graded = h.graded;
    g.total = h.total;
    if (!h.graded)
        return g;
    if (h.total != 0.0f) {
        g.grade = h.total;
        return g;
    }
    if (!h.marks.isNull())
        g.marks = h.marks.toString().split(QLatin1Char(':'));
    for (const QString &mark : qAsConst(g.marks))
        g.grade += readFloat(mark);
    return g;
}

QString ExtracTotaltankit(const QString &text)
{
    // The sum read in place: a grading of many marks makes no list of them.
    const GradingHead h = readHead(text);
    if (!h.graded)
        return QString();
    float grade = h.total;
    if (grade == 0.0f && !h.marks.isNull()) {
        int from = 0;
        for (;;) {
            const int colon = h.marks.indexOf(QLatin1Char(':'), from);
            grade += markValue(h.marks.mid(from, colon < 0 ? -1 : colon - from));
            if (colon < 0)
                break;
            from = colon + 1;
        }
    }
    return formatNumber(grade);
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
        // A number reads left to right: "-1" keeps its sign before it.
        const QString open = QString::fromUtf8("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>");
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
    // Read from the right, the total comes after "20 /": it stands left of
    // it, whatever the line around it, and keeps its sign before it.
    html.replace(totalSlot, QString::fromUtf8("<div id='total'><div id='total'>المجموع : "
                                              "<span id='nokta' dir='rtl'> 20 / <span dir='ltr'>")
                                + formatNumber(total)
                                + QStringLiteral("</span></span></div></div>"));
    out.html = std::move(html);
    return out;
}
