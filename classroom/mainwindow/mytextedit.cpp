#include "mainwindow/mytextedit.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QKeyEvent>

namespace {

// A device of 96 dots per inch, the resolution at which the conversation
// page draws point sizes.
QPaintDevice *pageResolution()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = qRound(96 / 0.0254);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return &device;
}

} // namespace

MyTextEdit::MyTextEdit(QWidget *parent) : QTextEdit(parent)
{
    // Point sizes come out as the conversation shows the line sent, the
    // smallest (8 points) at about 11 pixels, not at the forms' 72 dpi.
    document()->documentLayout()->setPaintDevice(pageResolution());
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
