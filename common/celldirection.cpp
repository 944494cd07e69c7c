#include "celldirection.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStringList>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QWidget>

namespace {

const QChar kBreak(0x200B); // zero-width space: a place to wrap, drawn as nothing

// Break opportunities between the letters of s.
QString breakAnywhere(const QString &s)
{
    QString out;
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, s);
    int from = 0;
    for (int at = letters.toNextBoundary(); at > 0; at = letters.toNextBoundary()) {
        if (from > 0)
            out += kBreak;
        out += s.mid(from, at - from);
        from = at;
    }
    return out;
}

// The line with break opportunities in each word wider than width, so that
// word wrap keeps it within the cell instead of cutting it: after its signs
// (an e-mail address breaks after "@" and "."), and between any two letters
// of a part still too wide.
QString breakableWords(const QString &line, const QFontMetrics &metrics, int width)
{
    static const QString signs = QStringLiteral("@._-/");
    QString out;
    int i = 0;
    while (i < line.size()) {
        int end = i;
        const bool space = line.at(i).isSpace();
        while (end < line.size() && line.at(end).isSpace() == space)
            ++end;
        const QString run = line.mid(i, end - i);
        i = end;
        if (space || metrics.horizontalAdvance(run) <= width) {
            out += run;
            continue;
        }
        int from = 0;
        for (int k = 0; k <= run.size(); ++k) {
            if (k < run.size() && !(signs.contains(run.at(k)) && k + 1 < run.size()))
                continue;
            const int stop = qMin(k + 1, run.size());
            const QString part = run.mid(from, stop - from);
            if (from > 0)
                out += kBreak;
            out += metrics.horizontalAdvance(part) <= width ? part : breakAnywhere(part);
            from = stop;
        }
    }
    return out;
}

} // namespace

void IsolatingDelegate::initStyleOption(QStyleOptionViewItem *option,
                                        const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.isEmpty())
        return;
    const QVariant drawn = index.data(kDrawnTextRole);
    // The view turns line breaks into line separators, which do not end a
    // paragraph: each line is isolated on its own.
    QString text = drawn.isValid() ? drawn.toString() : option->text;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QStringList lines = text.split(QChar::LineSeparator);
    // The room word wrap has for the text, as the style lays it out.
    const QStyle *style = option->widget ? option->widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1;
    const int width = option->rect.width() - 2 * margin;
    const bool wraps = (option->features & QStyleOptionViewItem::WrapText) && width > 0;
    const QFontMetrics metrics(option->font);
    for (QString &line : lines) {
        if (wraps)
            line = breakableWords(line, metrics, width);
        if (!line.isEmpty())
            line = QChar(0x2068) + line + QChar(0x2069);
    }
    option->text = lines.join(QChar::LineSeparator);
}
