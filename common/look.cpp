#include "look.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QWidget>

void paintBackground(QWidget *widget, const QString &picture)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, widget->backgroundRole(), QBrush(QPixmap(picture)));
    widget->setPalette(palette);
}

namespace {
// The icon, the three buttons and the gaps of a title bar (openbox's default
// theme takes about 124 pixels).
constexpr int kTitleBarDecoration = 130;
} // namespace

void widenForTitle(QWidget *window)
{
    QFont bold = window->font();
    bold.setBold(true);
    const int needs = QFontMetrics(bold).horizontalAdvance(window->windowTitle())
                      + kTitleBarDecoration;
    // Boxes such as input dialogs make their layout when first asked for
    // their size, and it sets their least width: a strut in it widens them.
    window->sizeHint();
    if (QLayout *layout = window->layout()) {
        const QMargins margins = layout->contentsMargins();
        auto *strut = new QSpacerItem(needs - margins.left() - margins.right(), 0,
                                      QSizePolicy::Fixed, QSizePolicy::Fixed);
        // A grid (message boxes) takes it in a row of its own, across all
        // columns, so that no one column widens.
        if (auto *grid = qobject_cast<QGridLayout *>(layout))
            grid->addItem(strut, grid->rowCount(), 0, 1, qMax(1, grid->columnCount()));
        else
            layout->addItem(strut);
    } else {
        window->setMinimumWidth(qMax(window->minimumWidth(), needs));
    }
}

namespace {
QRect screenArea()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
} // namespace

QRect windowArea()
{
    const QRect available = screenArea();
    const QStringList parts =
        QString::fromLocal8Bit(qgetenv("VELMAR_WINDOW_AREA")).split(QLatin1Char(','));
    if (parts.size() != 4)
        return available;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return available;
    }
    const QRect part = QRect(values[0], values[1], values[2], values[3]) & available;
    return part.isEmpty() ? available : part;
}

QPoint keptInside(const QRect &area, const QRect &frame)
{
    QPoint at = frame.topLeft();
    if (frame.right() > area.right())
        at.rx() -= frame.right() - area.right();
    if (frame.bottom() > area.bottom())
        at.ry() -= frame.bottom() - area.bottom();
    at.setX(qMax(at.x(), area.left()));
    at.setY(qMax(at.y(), area.top()));
    return at;
}

namespace {
QMargins frameOf(const QWidget *w)
{
    const QRect inner = w->geometry();
    const QRect outer = w->frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}
} // namespace

QMargins windowFrame(const QWidget *window)
{
    if (window->testAttribute(Qt::WA_WState_Created) && !frameOf(window).isNull())
        return frameOf(window);
    for (const QWidget *w : QApplication::topLevelWidgets()) {
        if (w != window && w->isVisible() && !(w->windowType() == Qt::Popup)
            && !(w->windowType() == Qt::ToolTip) && !frameOf(w).isNull())
            return frameOf(w);
    }
    return QMargins();
}

void placeWindow(QWidget *window, const QPoint &position)
{
    const QMargins frame = windowFrame(window);
    const QRect framed = QRect(position, window->size()).marginsAdded(frame);
    // A window wider or higher than a narrowed area still stays on the screen.
    const QPoint corner =
        keptInside(screenArea(), QRect(keptInside(windowArea(), framed), framed.size()));
    // The geometry is the window without its frame, before and after it is
    // first shown alike.
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

void centreInWindowArea(QWidget *window)
{
    const QMargins frame = windowFrame(window);
    QRect framed(QPoint(), window->size().grownBy(frame));
    framed.moveCenter(windowArea().center());
    placeWindow(window, framed.topLeft() + QPoint(frame.left(), frame.top()));
}

namespace {

// Centres parentless dialogs as they are shown; an application-wide filter.
class DialogPlacer : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::Show || event->spontaneous() || !object->isWidgetType())
            return false;
        auto *dialog = qobject_cast<QDialog *>(object);
        if (!dialog || dialog == m_showing || !dialog->isWindow() || dialog->parentWidget()
            || dialog->testAttribute(Qt::WA_Moved))
            return false;
        // The dialog handles its show first: a message box takes its size
        // there, and Qt centres the box on the whole screen.
        QWidget *outer = m_showing;
        m_showing = dialog;
        QCoreApplication::sendEvent(dialog, event);
        m_showing = outer;
        const bool resized = dialog->testAttribute(Qt::WA_Resized);
        centreInWindowArea(dialog);
        // Placed anew the next time it is shown, as Qt does.
        dialog->setAttribute(Qt::WA_Moved, false);
        dialog->setAttribute(Qt::WA_Resized, resized);
        return true;
    }

private:
    QWidget *m_showing = nullptr;
};

} // namespace

void centreDialogsInWindowArea()
{
    static DialogPlacer *placer = nullptr;
    if (placer || !qApp)
        return;
    placer = new DialogPlacer(qApp);
    qApp->installEventFilter(placer);
}

void fitToWindowArea(QWidget *window)
{
    const QSize room = windowArea().size().shrunkBy(windowFrame(window));
    const QSize needed = window->minimumSizeHint();
    const QSize size(qMin(window->width(), qMax(room.width(), needed.width())),
                     qMin(window->height(), qMax(room.height(), needed.height())));
    if (size == window->size())
        return;
    window->setMinimumSize(window->minimumSize().boundedTo(size));
    window->resize(size);
}

void cascadeWindow(QWidget *window, const QWidget *from)
{
    const QMargins frame = windowFrame(window);
    const int step = qMax(frame.top(), 24);
    const QPoint next = from->geometry().topLeft() + QPoint(step, step);
    const QRect area = windowArea();
    if (area.contains(QRect(next, window->size()).marginsAdded(frame)))
        placeWindow(window, next);
    else
        placeWindow(window, area.topLeft() + QPoint(frame.left(), frame.top()));
}
