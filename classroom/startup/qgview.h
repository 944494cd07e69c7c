// The launcher's graphics view: hands its key presses to the launcher
// instead of scrolling.
#pragma once

#include <QGraphicsView>

class QGView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit QGView(QWidget *parent = nullptr);
    ~QGView() override;

signals:
    void keyPress(QKeyEvent *event);
    void keyRelease(QKeyEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
