#include "core/windows.h"

#include "common/celldirection.h"
#include "common/look.h"
#include "core/frmweb.h"
#include "core/globals.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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
