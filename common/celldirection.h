// Item views whose cells read in their own direction.
#pragma once

#include <QStyledItemDelegate>

// Role of the form a cell is drawn in, when it differs from the cell's text.
constexpr int kDrawnTextRole = Qt::UserRole + 1;

// Draws each line of a cell isolated in the direction of its own first
// letter, so that a Latin name with signs at its ends, a date or "-1" reads
// in its order in a right-to-left view (and "@ostad" keeps its mark before
// the name). Only the drawing changes: the cell's text stays as it is. The
// form in kDrawnTextRole, when given, is drawn instead of the text. In a view
// that wraps its cells, a word wider than its cell (an e-mail address) wraps
// inside it rather than being cut.
class IsolatingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
