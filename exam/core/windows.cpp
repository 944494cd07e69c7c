#include "core/windows.h"

#include "common/look.h"
#include "core/frmweb.h"
#include "core/globals.h"

#include <QApplication>
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
