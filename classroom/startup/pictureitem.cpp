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
    auto *a = new QPropertyAnimation(this, "pos");
    a->setDuration(menuMs(2000));
    a->setStartValue(from);
    a->setEndValue(to);
    a->setEasingCurve(QEasingCurve::InOutElastic);
    startReported(a);
}

void PictureItem::animateAngle(int from, int to)
{
    auto *a = new QPropertyAnimation(this, "rotationAngleY");
    a->setDuration(menuMs(1000));
    a->setStartValue(double(from));
    a->setEndValue(double(to));
    a->setEasingCurve(QEasingCurve::InOutBack);
    startReported(a);
}

void PictureItem::animatePosAndAngle(const QPointF &fromPos, const QPointF &toPos,
                                     int fromAngle, int toAngle, bool out)
{
    const QEasingCurve curve(out ? QEasingCurve::OutCubic : QEasingCurve::InCubic);
    auto *group = new QParallelAnimationGroup;
    auto *pos = new QPropertyAnimation(this, "pos");
    pos->setDuration(menuMs(1000));
    pos->setStartValue(fromPos);
    pos->setEndValue(toPos);
    pos->setEasingCurve(curve);
    auto *angle = new QPropertyAnimation(this, "rotationAngleY");
    angle->setDuration(menuMs(1000));
    angle->setStartValue(double(fromAngle));
    angle->setEndValue(double(toAngle));
    angle->setEasingCurve(curve);
    group->addAnimation(pos);
    group->addAnimation(angle);
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void PictureItem::animateFadeIn(int ms)
{
    auto *a = new QPropertyAnimation(this, "fade");
    a->setDuration(menuMs(ms));
    a->setStartValue(255);
    a->setEndValue(0);
    a->setEasingCurve(QEasingCurve::Linear);
    startReported(a);
}

void PictureItem::animateFadeOut(int ms)
{
    auto *a = new QPropertyAnimation(this, "fade");
    a->setDuration(menuMs(ms));
    a->setStartValue(0);
    a->setEndValue(255);
    a->setEasingCurve(QEasingCurve::Linear);
    startReported(a);
}

void PictureItem::animateScale(double from, double to)
{
    auto *a = new QPropertyAnimation(this, "scale");
    a->setDuration(menuMs(1000));
    a->setStartValue(from);
    a->setEndValue(to);
    a->setEasingCurve(QEasingCurve::InQuad);
    startReported(a);
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
