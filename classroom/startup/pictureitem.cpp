#include "startup/pictureitem.h"

#include <QEasingCurve>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

double menuTimeScale = 1.0;

int menuMs(int ms)
{
    if (menuTimeScale == 1.0)
        return ms;
    return qMax(1, int(ms * menuTimeScale));
}

PictureItem::PictureItem(const QPixmap &picture, QObject *parent)
    : QObject(parent), QGraphicsPixmapItem(picture), m_width(picture.width()),
      m_height(picture.height())
{
    setCacheMode(DeviceCoordinateCache);
}

PictureItem::~PictureItem() = default;

QRectF PictureItem::boundingRect() const { return QRectF(0, 0, m_width, m_height); }

int PictureItem::type() const { return Type; }

double PictureItem::rotationAngleY() const { return m_rotationAngleY; }

void PictureItem::setRotationAngleY(double angle)
{
    if (angle == m_rotationAngleY)
        return;
    m_rotationAngleY = angle;
    const QPointF c = boundingRect().center();
    QTransform t;
    t.translate(c.x(), c.y());
    t.rotate(angle, Qt::YAxis);
    t.translate(-c.x(), -c.y());
    setTransform(t);
}

int PictureItem::fade() const { return m_fade; }

void PictureItem::setFade(int value)
{
    m_fade = value;
    if ((value == 0 || value == 255) && m_base.isNull())
        m_base = pixmap();
    const QPixmap source = m_base.isNull() ? pixmap() : m_base;
    if (source.isNull())
        return;
    QPixmap faded(source.size());
    faded.fill(Qt::transparent);
    QPainter p(&faded);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawPixmap(0, 0, source);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillRect(faded.rect(), QColor(0, 0, 0, qBound(0, value, 255)));
    p.end();
    setPixmap(faded);
}

QPropertyAnimation *PictureItem::animation(const QByteArray &property, const QVariant &from,
                                           const QVariant &to, int ms,
                                           QEasingCurve::Type curve)
{
    auto *a = new QPropertyAnimation(this, property);
    a->setDuration(menuMs(ms));
    a->setStartValue(from);
    a->setEndValue(to);
    a->setEasingCurve(curve);
    return a;
}

void PictureItem::startReported(QPropertyAnimation *animation)
{
    connect(animation, &QPropertyAnimation::finished, this, &PictureItem::animationFinished);
    connect(animation, &QAbstractAnimation::stateChanged, this,
            [this](QAbstractAnimation::State now, QAbstractAnimation::State) {
                if (now == QAbstractAnimation::Stopped && --m_running == 0)
                    emit stopped();
            });
    ++m_running;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void PictureItem::animatePosition(const QPointF &from, const QPointF &to)
{
    startReported(animation("pos", from, to, 2000, QEasingCurve::InOutElastic));
}

void PictureItem::animateAngle(int from, int to)
{
    startReported(
        animation("rotationAngleY", double(from), double(to), 1000, QEasingCurve::InOutBack));
}

void PictureItem::animatePosAndAngle(const QPointF &fromPos, const QPointF &toPos,
                                     int fromAngle, int toAngle, bool out)
{
    const QEasingCurve::Type curve = out ? QEasingCurve::OutCubic : QEasingCurve::InCubic;
    auto *group = new QParallelAnimationGroup;
    group->addAnimation(animation("pos", fromPos, toPos, 1000, curve));
    group->addAnimation(
        animation("rotationAngleY", double(fromAngle), double(toAngle), 1000, curve));
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void PictureItem::animateFadeIn(int ms)
{
    startReported(animation("fade", 255, 0, ms, QEasingCurve::Linear));
}

void PictureItem::animateFadeOut(int ms)
{
    startReported(animation("fade", 0, 255, ms, QEasingCurve::Linear));
}

void PictureItem::animateScale(double from, double to)
{
    startReported(animation("scale", from, to, 1000, QEasingCurve::InQuad));
}

void PictureItem::animationFinished()
{
    emit Finished();
    update();
}

void PictureItem::mousePressEvent(QGraphicsSceneMouseEvent *)
{
    emit pressed();
    update();
}

void PictureItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *)
{
    emit release();
    update();
}

void PictureItem::hoverEnterEvent(QGraphicsSceneHoverEvent *)
{
    emit enter();
    update();
}

void PictureItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    emit leave();
    update();
}
