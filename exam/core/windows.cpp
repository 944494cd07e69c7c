#include "core/windows.h"

#include "common/look.h"
#include "core/frmweb.h"
#include "core/globals.h"

#include "core/pure/pagetext.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QWidget>

namespace {

class IsolatingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.isEmpty())
            return;
        const QVariant drawn = index.data(kDrawnTextRole);
        // The view turns line breaks into line separators, which do not end
        // a paragraph: each line is isolated on its own.
        QString text = drawn.isValid() ? drawn.toString() : option->text;
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QStringList lines = text.split(QChar::LineSeparator);
        for (QString &line : lines)
            line = isolatedText(line);
        option->text = lines.join(QChar::LineSeparator);
    }
};

} // namespace

void takeExamLook(QWidget *window, const QString &picture)
{
    window->setLayoutDirection(QApplication::layoutDirection());
    paintBackground(window, picture);
    window->setAutoFillBackground(true);
}

void centerOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void keepAboveExamSheet(QWidget *window)
{
    if (frmweb && frmweb->isVisible() && window != frmweb)
        window->setWindowFlag(Qt::WindowStaysOnTopHint);
}

void setPlainTitle(QGroupBox *box, const QString &title)
{
    box->setTitle(QString(title).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void drawCellsInTheirDirection(QAbstractItemView *view)
{
    view->setItemDelegate(new IsolatingDelegate(view));
}
