#include "startup/qgview.h"

QGView::QGView(QWidget *parent) : QGraphicsView(parent) {}

QGView::~QGView() = default;

void QGView::keyPressEvent(QKeyEvent *event) { emit keyPress(event); }

void QGView::keyReleaseEvent(QKeyEvent *event) { emit keyRelease(event); }
