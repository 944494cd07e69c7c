#include "core/windows.h"

#include "common/look.h"

#include <QApplication>
#include <QWidget>

void takeExamLook(QWidget *window, const QString &picture)
{
    window->setLayoutDirection(QApplication::layoutDirection());
    paintBackground(window, picture);
    window->setAutoFillBackground(true);
}
