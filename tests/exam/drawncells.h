// What a table draws in its cells: the style records the text and the
// direction of each cell as the view hands them over to be drawn, and the
// order of a cell's tokens is worked out from them the way the style lays
// the text out.
#pragma once

#include <QAbstractItemView>
#include <QMap>
#include <QPair>
#include <QProxyStyle>
#include <QStyleOptionViewItem>
#include <QTextLayout>
#include <algorithm>

class CellRecorder : public QProxyStyle
{
public:
    struct Cell
    {
        QString text;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        QFont font;
    };

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_ItemViewItem) {
            if (const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option))
                cells[{item->index.row(), item->index.column()}] = {item->text, item->direction,
                                                                    item->font};
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    // Draws the view's visible cells once and records them.
    void record(QAbstractItemView *view)
    {
        cells.clear();
        view->viewport()->grab();
    }

    mutable QMap<QPair<int, int>, Cell> cells;
};

// The tokens of the first line of a recorded cell (found in this order in
// its text) from left to right as the style draws them; empty when a token
// is missing.
inline QStringList drawnOrder(const CellRecorder::Cell &cell, const QStringList &tokens)
{
    QString text = cell.text;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text = text.section(QChar::LineSeparator, 0, 0);
    QTextLayout layout(text, cell.font);
    QTextOption option;
    option.setTextDirection(cell.direction);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(10000);
    layout.endLayout();
    QVector<QPair<qreal, QString>> placed;
    int from = 0;
    for (const QString &token : tokens) {
        const int at = text.indexOf(token, from);
        if (at < 0)
            return {};
        // The leftmost edge of the token's characters.
        qreal left = 1e9;
        for (int k = at; k < at + token.size(); ++k) {
            int position = k;
            const qreal leading = line.cursorToX(&position, QTextLine::Leading);
            position = k;
            const qreal trailing = line.cursorToX(&position, QTextLine::Trailing);
            left = qMin(left, qMin(leading, trailing));
        }
        placed.append({left, token});
        from = at + token.size();
    }
    std::sort(placed.begin(), placed.end(),
              [](const QPair<qreal, QString> &x, const QPair<qreal, QString> &y) {
                  return x.first < y.first;
              });
    QStringList order;
    for (const auto &p : placed)
        order << p.second;
    return order;
}
