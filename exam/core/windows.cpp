#include "core/windows.h"

#include "common/look.h"
#include "core/frmweb.h"
#include "core/globals.h"

#include <QApplication>
#include <QWidget>

void takeExamLook(QWidget *window, const QString &picture)
{
    window->setLayoutDirection(QApplication::layoutDirection());
    paintBackground(window, picture);
    window->setAutoFillBackground(true);
}

void keepAboveExamSheet(QWidget *window)
{
    if (frmweb && frmweb->isVisible() && window != frmweb)
        window->setWindowFlag(Qt::WindowStaysOnTopHint);
}
