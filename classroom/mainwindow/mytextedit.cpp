#include "mainwindow/mytextedit.h"

#include <QKeyEvent>

MyTextEdit::MyTextEdit(QWidget *parent) : QTextEdit(parent)
{
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat &f) {
        emit currentColorChanged(f.foreground().style() == Qt::NoBrush ? QColor(Qt::black)
                                                                        : f.foreground().color());
    });
}

void MyTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit returnPressed();
        event->ignore();
        return;
    }
    QTextEdit::keyPressEvent(event);
}
