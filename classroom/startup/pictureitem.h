// One picture of the launcher's animated menu: it moves, turns about its
// vertical axis, fades and scales by ready-made animations, and reports
// presses and the end of its animations.
#pragma once

#include <QEasingCurve>
#include <QGraphicsPixmapItem>
#include <QObject>

class QPropertyAnimation;

// Multiplies every duration of the menu's animations; 1 in the program.
extern double menuTimeScale;
// A duration of the menu in ms after menuTimeScale (exact when it is 1).
int menuMs(int ms);

class PictureItem : public QObject, public QGraphicsPixmapItem
{
    Q_OBJECT
    Q_PROPERTY(QPointF pos READ pos WRITE setPos)
    Q_PROPERTY(double rotationAngleY READ rotationAngleY WRITE setRotationAngleY)
    Q_PROPERTY(int fade READ fade WRITE setFade)
    Q_PROPERTY(double scale READ scale WRITE setScale)

public:
    enum { Type = UserType + 1 };

    explicit PictureItem(const QPixmap &picture, QObject *parent = nullptr);
    ~PictureItem() override;

    QRectF boundingRect() const override;
    int type() const override;

    double rotationAngleY() const;
    void setRotationAngleY(double angle);
    int fade() const;
    void setFade(int value);

    void animatePosition(const QPointF &from, const QPointF &to);
    void animateAngle(int from, int to);
    void animatePosAndAngle(const QPointF &fromPos, const QPointF &toPos, int fromAngle,
                            int toAngle, bool out);
    void animateFadeIn(int ms);  // disappears
    void animateFadeOut(int ms); // appears
    void animateScale(double from, double to);

    // True while an animation that reports its end is running.
    bool isAnimating() const { return m_running > 0; }

signals:
    void pressed();
    void release();
    void enter();
    void leave();
    void Finished();
    // The last running animation that reports its end has stopped, by
    // finishing or by being replaced or stopped.
    void stopped();

public slots:
    void animationFinished();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    // An animation of one property of this item, not started.
    QPropertyAnimation *animation(const QByteArray &property, const QVariant &from,
                                  const QVariant &to, int ms, QEasingCurve::Type curve);
    void startReported(QPropertyAnimation *animation);

    double m_width;
    double m_height;
    double m_rotationAngleY = 0;
    int m_fade = 255;
    QPixmap m_base;
    int m_running = 0;
};
