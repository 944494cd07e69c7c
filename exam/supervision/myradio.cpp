#include "supervision/myradio.h"

#include <QKeyEvent>

myradio::myradio(QWidget *parent) : QRadioButton(parent) {}

void myradio::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit returnPressed();
    QRadioButton::keyPressEvent(event);
}
