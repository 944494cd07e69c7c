#include "core/mywidget.h"

#include <QMouseEvent>

mywidget::mywidget(QWidget *parent) : QWidget(parent) {}

// The events stay accepted: a press on a key never reaches the panel below.
void mywidget::mousePressEvent(QMouseEvent *event) { emit mousePress(event); }

void mywidget::mouseReleaseEvent(QMouseEvent *event) { emit mouseRelease(event); }

void mywidget::mouseMoveEvent(QMouseEvent *event) { emit mouseMove(event); }
