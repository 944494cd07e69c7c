#include "core/windows.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

void takeExamLook(QWidget *window, const QString &picture)
{
    window->setLayoutDirection(QApplication::layoutDirection());
    QPalette palette = window->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QPixmap(picture)));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}
