#include "celldirection.h"

#include <QStringList>

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
    for (QString &line : lines) {
        if (!line.isEmpty())
            line = QChar(0x2068) + line + QChar(0x2069);
    }
    option->text = lines.join(QChar::LineSeparator);
}
