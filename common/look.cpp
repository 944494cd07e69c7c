#include "look.h"

#include <QPalette>
#include <QPixmap>
#include <QWidget>

void paintBackground(QWidget *widget, const QString &picture)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, widget->backgroundRole(), QBrush(QPixmap(picture)));
    widget->setPalette(palette);
}
