#include "glyphs.h"

#include "art.h"

#include <QPainterPath>
#include <QtMath>

namespace art::glyph {

namespace {

QPen round(const QColor &c, double w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Saves the painter and turns it about centre; the caller restores it.
void tilt(QPainter &p, const QPointF &centre, double degrees)
{
    p.save();
    p.translate(centre);
    p.rotate(degrees);
    p.setPen(round(pal::slate, 0.9));
}

// Fills a shape with a round hole punched through it.
void fillPierced(QPainter &p, const QPainterPath &shape, const QPointF &hole, double radius, const QColor &c)
{
    QPainterPath h;
    h.addEllipse(hole, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(shape.simplified().subtracted(h));
}

void page(QPainter &p, const QRectF &r, double fold)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(pal::slate, 1.1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(pal::white);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(pal::tealLight);
    p.drawPath(corner);
}

void lines(QPainter &p, double x0, double x1, double y, int n, double step, const QColor &c)
{
    p.setPen(round(c, 1.3));
    for (int i = 0; i < n; ++i) {
        const double xr = (i == n - 1) ? x0 + (x1 - x0) * 0.6 : x1;
        p.drawLine(QPointF(x0, y + i * step), QPointF(xr, y + i * step));
    }
}

} // namespace

void mic(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(8.6, 2.5, 6.8, 12.5), 3.4, 3.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(round(c, 1.9));
    QPainterPath holder;
    holder.moveTo(5.6, 10.5);
    holder.cubicTo(5.6, 19.0, 18.4, 19.0, 18.4, 10.5);
    p.drawPath(holder);
    p.drawLine(QPointF(12, 17.3), QPointF(12, 20.6));
    p.drawLine(QPointF(8.3, 21.0), QPointF(15.7, 21.0));
    // A light stripe on the head.
    p.setPen(round(QColor(255, 255, 255, 120), 1.1));
    p.drawLine(QPointF(10.6, 5.2), QPointF(10.6, 9.0));
}

void micBarred(QPainter &p, const QColor &c)
{
    mic(p, c);
    p.setPen(round(pal::white, 4.2));
    p.drawLine(QPointF(4.5, 4.0), QPointF(19.5, 20.0));
    p.setPen(round(pal::red, 2.4));
    p.drawLine(QPointF(4.5, 4.0), QPointF(19.5, 20.0));
}

void hand(QPainter &p, const QColor &c)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const double xs[4] = {7.0, 9.9, 12.8, 15.7};
    const double tops[4] = {5.2, 3.0, 3.6, 5.6};
    for (int i = 0; i < 4; ++i)
        path.addRoundedRect(QRectF(xs[i], tops[i], 2.6, 11.0 - tops[i] + 3.0), 1.3, 1.3);
    path.addRoundedRect(QRectF(7.0, 10.0, 11.3, 11.2), 3.6, 3.6);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.3, -5.5, 2.7, 7.6), 1.35, 1.35);
    QTransform t;
    t.translate(7.4, 15.4);
    t.rotate(-42);
    path.addPath(t.map(thumb));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path.simplified());
    p.setPen(round(c.darker(135), 0.8));
    p.drawLine(QPointF(9.4, 17.6), QPointF(15.6, 17.6));
}

void camera(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(2.0, 7.0, 13.8, 10.5), 2.4, 2.4);
    QPolygonF lens;
    lens << QPointF(16.5, 10.6) << QPointF(22.0, 7.4) << QPointF(22.0, 17.1) << QPointF(16.5, 13.9);
    p.drawPolygon(lens);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(6.2, 10.3), 1.6, 1.6);
}

void speaker(QPainter &p, const QColor &c, bool muted)
{
    QPolygonF cone;
    cone << QPointF(3.0, 9.0) << QPointF(7.0, 9.0) << QPointF(12.2, 4.4) << QPointF(12.2, 19.6)
         << QPointF(7.0, 15.0) << QPointF(3.0, 15.0);
    p.setPen(round(c, 0.8));
    p.setBrush(c);
    p.drawPolygon(cone);
    p.setBrush(Qt::NoBrush);
    if (muted) {
        p.setPen(round(pal::red, 2.2));
        p.drawLine(QPointF(15.0, 9.0), QPointF(21.0, 15.0));
        p.drawLine(QPointF(21.0, 9.0), QPointF(15.0, 15.0));
        return;
    }
    p.setPen(round(c, 1.9));
    p.drawArc(QRectF(8.5, 8.0, 8.0, 8.0), -50 * 16, 100 * 16);
    p.drawArc(QRectF(6.0, 4.5, 15.0, 15.0), -50 * 16, 100 * 16);
}

void radio(QPainter &p, const QColor &c, bool off)
{
    p.setPen(round(c, 1.9));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(12, 10.5), QPointF(8.0, 21.0));
    p.drawLine(QPointF(12, 10.5), QPointF(16.0, 21.0));
    p.drawLine(QPointF(9.6, 16.8), QPointF(14.4, 16.8));
    if (!off) {
        p.drawArc(QRectF(6.8, 4.6, 10.4, 10.4), 130 * 16, 100 * 16);
        p.drawArc(QRectF(6.8, 4.6, 10.4, 10.4), -50 * 16, 100 * 16);
        p.drawArc(QRectF(2.8, 0.6, 18.4, 18.4), 135 * 16, 90 * 16);
        p.drawArc(QRectF(2.8, 0.6, 18.4, 18.4), -45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(12, 9.8), 2.3, 2.3);
    if (off) {
        p.setPen(round(pal::white, 4.0));
        p.drawLine(QPointF(4.0, 4.0), QPointF(20.0, 20.0));
        p.setPen(round(pal::red, 2.3));
        p.drawLine(QPointF(4.0, 4.0), QPointF(20.0, 20.0));
    }
}

void recordDot(QPainter &p)
{
    p.setPen(QPen(pal::slate, 1.6));
    p.setBrush(pal::white);
    p.drawEllipse(QPointF(12, 12), 9.6, 9.6);
    QRadialGradient g(QPointF(10, 10), 8);
    g.setColorAt(0, QColor(0xf0, 0x6a, 0x5c));
    g.setColorAt(1, pal::red);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(12, 12), 6.4, 6.4);
}

void stopSquare(QPainter &p)
{
    p.setPen(QPen(pal::slate, 1.6));
    p.setBrush(pal::white);
    p.drawEllipse(QPointF(12, 12), 9.6, 9.6);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::slate);
    p.drawRoundedRect(QRectF(7.6, 7.6, 8.8, 8.8), 1.4, 1.4);
}

void redDot(QPainter &p)
{
    QRadialGradient g(QPointF(10, 10), 9);
    g.setColorAt(0, QColor(0xf2, 0x78, 0x6b));
    g.setColorAt(1, QColor(0xb0, 0x25, 0x1c));
    p.setPen(QPen(QColor(0x8c, 0x1d, 0x16), 0.8));
    p.setBrush(g);
    p.drawEllipse(QPointF(12, 12), 7.0, 7.0);
}

void person(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(12, 7.6), 4.4, 4.4);
    QPainterPath body;
    body.moveTo(3.6, 21.5);
    body.cubicTo(3.6, 15.0, 7.0, 13.2, 12.0, 13.2);
    body.cubicTo(17.0, 13.2, 20.4, 15.0, 20.4, 21.5);
    body.closeSubpath();
    p.drawPath(body);
}

void persons(QPainter &p, const QColor &front, const QColor &back)
{
    p.save();
    p.translate(4.5, -1.0);
    p.scale(0.82, 0.82);
    person(p, back);
    p.restore();
    p.save();
    p.translate(-2.5, 2.2);
    p.scale(0.9, 0.9);
    // A white halo parts the front figure from the back one.
    p.save();
    p.translate(12, 13);
    p.scale(1.2, 1.12);
    p.translate(-12, -13);
    person(p, pal::white);
    p.restore();
    person(p, front);
    p.restore();
}

void book(QPainter &p, const QColor &pages, const QColor &edge)
{
    QPainterPath left, right;
    left.moveTo(12, 7.0);
    left.cubicTo(9.0, 5.0, 5.5, 4.6, 2.5, 5.4);
    left.lineTo(2.5, 18.6);
    left.cubicTo(5.5, 17.8, 9.0, 18.2, 12, 20.2);
    left.closeSubpath();
    right.moveTo(12, 7.0);
    right.cubicTo(15.0, 5.0, 18.5, 4.6, 21.5, 5.4);
    right.lineTo(21.5, 18.6);
    right.cubicTo(18.5, 17.8, 15.0, 18.2, 12, 20.2);
    right.closeSubpath();
    p.setPen(QPen(edge, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(pages);
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(round(edge, 0.9));
    for (int i = 0; i < 3; ++i) {
        const double y = 9.2 + i * 2.8;
        p.drawLine(QPointF(4.8, y - 0.6), QPointF(9.8, y + 0.3));
        p.drawLine(QPointF(14.2, y + 0.3), QPointF(19.2, y - 0.6));
    }
}

void shieldStar(QPainter &p, const QColor &c)
{
    QPainterPath shield;
    shield.moveTo(12, 2.5);
    shield.lineTo(20.0, 5.5);
    shield.cubicTo(20.0, 13.5, 17.0, 18.5, 12, 21.5);
    shield.cubicTo(7.0, 18.5, 4.0, 13.5, 4.0, 5.5);
    shield.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(shield);
    p.setBrush(c == pal::white ? pal::red : pal::white);
    p.drawPath(star5(QPointF(12, 11.2), 5.0, 2.1));
}

void cap(QPainter &p, const QColor &c)
{
    QPolygonF top;
    top << QPointF(12, 4.5) << QPointF(22.5, 9.3) << QPointF(12, 14.1) << QPointF(1.5, 9.3);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPainterPath band;
    band.moveTo(6.4, 11.6);
    band.lineTo(6.4, 16.4);
    band.cubicTo(9.0, 19.2, 15.0, 19.2, 17.6, 16.4);
    band.lineTo(17.6, 11.6);
    band.closeSubpath();
    p.drawPath(band);
    p.drawPolygon(top);
    p.setPen(round(c, 1.3));
    p.drawLine(QPointF(20.4, 10.2), QPointF(20.4, 17.0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(20.4, 17.6), 1.3, 1.3);
}

void gear(QPainter &p, const QColor &c)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QPointF(12, 12), 6.8, 6.8);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-1.9, -10.2, 3.8, 5.0), 0.8, 0.8);
        QTransform t;
        t.translate(12, 12);
        t.rotate(45.0 * i);
        path.addPath(t.map(tooth));
    }
    fillPierced(p, path, QPointF(12, 12), 2.8, c);
}

void key(QPainter &p, const QColor &c)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QPointF(7.2, 12), 5.0, 5.0);
    path.addRect(QRectF(11.0, 10.7, 11.0, 2.6));
    path.addRect(QRectF(17.2, 13.0, 2.2, 3.8));
    path.addRect(QRectF(20.0, 13.0, 2.0, 2.8));
    fillPierced(p, path, QPointF(6.6, 12), 1.9, c);
}

void building(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF roof;
    roof << QPointF(12, 2.8) << QPointF(21.5, 8.2) << QPointF(2.5, 8.2);
    p.drawPolygon(roof);
    p.drawRect(QRectF(2.5, 19.0, 19.0, 2.6));
    p.drawRect(QRectF(3.5, 17.2, 17.0, 1.2));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(4.6 + i * 4.3, 9.4, 2.4, 7.2));
}

void check(QPainter &p, const QColor &c, double width)
{
    p.setPen(round(c, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(5.8, 12.6);
    path.lineTo(10.2, 17.0);
    path.lineTo(18.4, 7.4);
    p.drawPath(path);
}

void cross(QPainter &p, const QColor &c, double width)
{
    p.setPen(round(c, width));
    p.drawLine(QPointF(7.4, 7.4), QPointF(16.6, 16.6));
    p.drawLine(QPointF(16.6, 7.4), QPointF(7.4, 16.6));
}

void clock(QPainter &p, const QColor &c)
{
    p.setPen(round(c, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 8.2, 8.2);
    p.drawLine(QPointF(12, 12), QPointF(12, 6.8));
    p.drawLine(QPointF(12, 12), QPointF(15.6, 14.2));
}

void lock(QPainter &p, const QColor &body, bool open)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal::slate, 2.3, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    if (open) {
        shackle.moveTo(16.2, 10.5);
        shackle.lineTo(16.2, 7.0);
        shackle.arcTo(QRectF(16.2, 2.6, 7.6, 8.8), 180, -180);
        shackle.lineTo(23.8, 8.4);
    } else {
        shackle.moveTo(7.8, 11.0);
        shackle.lineTo(7.8, 7.6);
        shackle.arcTo(QRectF(7.8, 2.8, 8.4, 9.6), 180, -180);
        shackle.lineTo(16.2, 11.0);
    }
    p.drawPath(shackle);
    p.setPen(QPen(body.darker(140), 1.0));
    p.setBrush(vgrad(10, 22, body.lighter(125), body));
    p.drawRoundedRect(QRectF(4.5, 10.2, 15.0, 11.6), 2.2, 2.2);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::ink);
    p.drawEllipse(QPointF(12, 14.8), 1.7, 1.7);
    p.drawRect(QRectF(11.3, 15.2, 1.4, 3.6));
}

void magnifier(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(10, 10), 6.2, 6.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(round(c, 2.6));
    p.drawEllipse(QPointF(10, 10), 6.2, 6.2);
    p.setPen(round(pal::slate, 3.8));
    p.drawLine(QPointF(14.9, 14.9), QPointF(20.6, 20.6));
}

void pencil(QPainter &p)
{
    tilt(p, QPointF(12, 12), -45);
    p.setBrush(pal::orange);
    p.drawRect(QRectF(-7.0, -2.6, 11.4, 5.2));
    p.setBrush(QColor(0xe8, 0x9e, 0xa0));
    p.drawRoundedRect(QRectF(-10.2, -2.6, 3.2, 5.2), 1.0, 1.0);
    QPolygonF tip;
    tip << QPointF(4.4, -2.6) << QPointF(9.4, 0) << QPointF(4.4, 2.6);
    p.setBrush(QColor(0xf3, 0xd9, 0xa4));
    p.drawPolygon(tip);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::ink);
    QPolygonF lead;
    lead << QPointF(7.8, -0.85) << QPointF(9.4, 0) << QPointF(7.8, 0.85);
    p.drawPolygon(lead);
    p.restore();
}

void archDoor(QPainter &p, const QColor &c)
{
    QPainterPath arch;
    arch.moveTo(4.0, 21.5);
    arch.lineTo(4.0, 10.5);
    arch.cubicTo(4.0, 5.5, 8.5, 3.0, 12.0, 1.8);
    arch.cubicTo(15.5, 3.0, 20.0, 5.5, 20.0, 10.5);
    arch.lineTo(20.0, 21.5);
    arch.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(arch);
    QPainterPath inner;
    inner.moveTo(7.0, 21.5);
    inner.lineTo(7.0, 11.2);
    inner.cubicTo(7.0, 7.6, 10.0, 5.8, 12.0, 5.0);
    inner.cubicTo(14.0, 5.8, 17.0, 7.6, 17.0, 11.2);
    inner.lineTo(17.0, 21.5);
    inner.closeSubpath();
    p.setBrush(c.lighter(150));
    p.drawPath(inner);
    p.setPen(round(c, 1.0));
    p.drawLine(QPointF(12, 6.0), QPointF(12, 21.5));
    p.setPen(Qt::NoPen);
    p.setBrush(pal::gold);
    p.drawEllipse(QPointF(10.6, 14.6), 0.9, 0.9);
    p.drawEllipse(QPointF(13.4, 14.6), 0.9, 0.9);
    p.setBrush(pal::slate);
    p.drawRect(QRectF(2.8, 21.2, 18.4, 1.6));
}

void sheet(QPainter &p, bool checked)
{
    page(p, QRectF(4.5, 2.5, 15.0, 19.0), 4.2);
    lines(p, 7.2, 16.8, 9.0, 4, 2.9, pal::grey);
    if (checked) {
        p.save();
        p.translate(8.5, 8.2);
        p.scale(0.62, 0.62);
        check(p, pal::green, 3.6);
        p.restore();
    }
}

void server(QPainter &p)
{
    for (int i = 0; i < 3; ++i) {
        const QRectF r(3.5, 3.0 + i * 6.4, 17.0, 5.4);
        p.setPen(QPen(pal::tealDark, 0.9));
        p.setBrush(vgrad(r.top(), r.bottom(), QColor(0x7a, 0x8a, 0x91), pal::slate));
        p.drawRoundedRect(r, 1.4, 1.4);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? QColor(0x5c, 0xe0, 0x8a) : QColor(0x9f, 0xe8, 0xf0));
        p.drawEllipse(QPointF(6.4, r.center().y()), 0.95, 0.95);
        p.setPen(round(QColor(255, 255, 255, 150), 0.9));
        p.drawLine(QPointF(10.5, r.center().y()), QPointF(17.8, r.center().y()));
    }
}

void bubble(QPainter &p, const QColor &c)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 3.5, 19.0, 13.5), 3.5, 3.5);
    QPainterPath tail;
    tail.moveTo(15.5, 16.0);
    tail.lineTo(18.6, 21.2);
    tail.lineTo(11.0, 16.0);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path.united(tail));
    lines(p, 6.0, 18.0, 7.6, 3, 2.8, pal::white);
}

void plane(QPainter &p, const QColor &c)
{
    // Points to the left, the reading direction of Arabic.
    QPolygonF wing;
    wing << QPointF(2.0, 11.0) << QPointF(22.0, 3.0) << QPointF(17.0, 20.0) << QPointF(11.8, 14.8);
    p.setPen(QPen(c.darker(130), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPolygon(wing);
    QPolygonF fold;
    fold << QPointF(22.0, 3.0) << QPointF(11.8, 14.8) << QPointF(11.0, 20.5) << QPointF(14.2, 17.2);
    p.setBrush(c.darker(125));
    p.drawPolygon(fold);
}

void copies(QPainter &p)
{
    page(p, QRectF(8.0, 2.5, 13.0, 15.5), 3.4);
    page(p, QRectF(3.0, 6.5, 13.0, 15.5), 3.4);
    lines(p, 5.6, 13.4, 12.0, 3, 2.8, pal::grey);
}

void floppy(QPainter &p, const QColor &c)
{
    QPainterPath body;
    body.moveTo(3.0, 3.0);
    body.lineTo(18.0, 3.0);
    body.lineTo(21.0, 6.0);
    body.lineTo(21.0, 21.0);
    body.lineTo(3.0, 21.0);
    body.closeSubpath();
    p.setPen(QPen(c.darker(140), 0.9, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::white);
    p.drawRoundedRect(QRectF(6.0, 12.0, 12.0, 8.0), 1.0, 1.0);
    p.setBrush(QColor(0xcf, 0xd8, 0xdc));
    p.drawRect(QRectF(7.0, 3.0, 9.0, 5.6));
    p.setBrush(c.darker(140));
    p.drawRect(QRectF(12.6, 3.8, 2.2, 4.0));
    p.setPen(round(pal::grey, 0.9));
    p.drawLine(QPointF(8.0, 15.0), QPointF(16.0, 15.0));
    p.drawLine(QPointF(8.0, 17.4), QPointF(14.0, 17.4));
}

void eraser(QPainter &p)
{
    tilt(p, QPointF(12, 12.5), -35);
    p.setBrush(QColor(0xe8, 0x8a, 0x94));
    p.drawRoundedRect(QRectF(-9.0, -4.2, 10.0, 8.4), 1.4, 1.4);
    p.setBrush(QColor(0x6f, 0xa8, 0xdc));
    p.drawRoundedRect(QRectF(1.0, -4.2, 8.0, 8.4), 1.4, 1.4);
    p.restore();
    p.setPen(round(pal::grey, 1.2));
    p.drawLine(QPointF(3.0, 21.4), QPointF(21.0, 21.4));
}

void scissors(QPainter &p, const QColor &c)
{
    p.setPen(round(pal::slate, 1.8));
    p.drawLine(QPointF(9.0, 14.5), QPointF(18.8, 3.2));
    p.drawLine(QPointF(15.0, 14.5), QPointF(5.2, 3.2));
    p.setPen(round(c, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(7.0, 17.8), 3.3, 3.3);
    p.drawEllipse(QPointF(17.0, 17.8), 3.3, 3.3);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::slate);
    p.drawEllipse(QPointF(12, 11.0), 1.1, 1.1);
}

void clipboard(QPainter &p)
{
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x2e), 0.9));
    p.setBrush(QColor(0xc8, 0x90, 0x55));
    p.drawRoundedRect(QRectF(3.5, 3.5, 17.0, 19.0), 1.8, 1.8);
    p.setPen(QPen(pal::slate, 0.7));
    p.setBrush(pal::white);
    p.drawRect(QRectF(5.8, 6.5, 12.4, 14.0));
    p.setBrush(QColor(0xb0, 0xbb, 0xc0));
    p.drawRoundedRect(QRectF(8.0, 1.8, 8.0, 4.2), 1.2, 1.2);
    lines(p, 8.0, 16.0, 10.5, 3, 3.0, pal::grey);
}

void pdf(QPainter &p)
{
    page(p, QRectF(4.0, 2.0, 16.0, 20.0), 4.4);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::red);
    p.drawRoundedRect(QRectF(2.0, 11.0, 16.5, 7.6), 1.2, 1.2);
    drawInkCentred(p, QRectF(2.0, 11.0, 16.5, 7.6), QStringLiteral("PDF"), sans(7.2), pal::white);
}

void tableDoc(QPainter &p)
{
    page(p, QRectF(4.0, 2.0, 16.0, 20.0), 4.4);
    p.setPen(QPen(pal::teal, 1.0));
    p.setBrush(pal::tealLight);
    p.drawRect(QRectF(6.6, 8.0, 10.8, 11.0));
    p.setPen(QPen(pal::teal, 0.8));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(6.6, 8.0 + i * 11.0 / 3), QPointF(17.4, 8.0 + i * 11.0 / 3));
    p.drawLine(QPointF(12.0, 8.0), QPointF(12.0, 19.0));
}

void monitor(QPainter &p)
{
    p.setPen(QPen(pal::slate, 1.0));
    p.setBrush(pal::slate);
    p.drawRoundedRect(QRectF(2.0, 3.0, 20.0, 14.0), 1.6, 1.6);
    p.setPen(Qt::NoPen);
    p.setBrush(vgrad(4.5, 15.5, QColor(0xe9, 0xf6, 0xf7), pal::tealLight));
    p.drawRect(QRectF(3.6, 4.6, 16.8, 10.8));
    p.setBrush(pal::slate);
    p.drawRect(QRectF(10.4, 17.0, 3.2, 3.0));
    p.drawRoundedRect(QRectF(6.5, 19.6, 11.0, 2.0), 1.0, 1.0);
    p.setPen(QPen(pal::teal, 0.8));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(5.2, 7.0 + i * 2.8), QPointF(18.8, 7.0 + i * 2.8));
    p.drawLine(QPointF(12.0, 5.6), QPointF(12.0, 14.0));
}

void bucket(QPainter &p, const QColor &c)
{
    tilt(p, QPointF(11.0, 9.0), -30);
    p.setPen(round(pal::slate, 1.0));
    p.setBrush(c);
    QPainterPath pail;
    pail.moveTo(-6.0, -2.0);
    pail.lineTo(6.0, -2.0);
    pail.lineTo(4.8, 7.0);
    pail.lineTo(-4.8, 7.0);
    pail.closeSubpath();
    p.drawPath(pail);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-5.0, -7.5, 10.0, 10.0), 0, 180 * 16);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::slate);
    QPainterPath drop;
    drop.moveTo(19.5, 9.0);
    drop.cubicTo(21.5, 12.0, 21.8, 13.4, 19.5, 14.0);
    drop.cubicTo(17.2, 13.4, 17.5, 12.0, 19.5, 9.0);
    p.drawPath(drop);
}

void chevron(QPainter &p, const QColor &c, bool left)
{
    p.setPen(round(c, 3.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    const double s = left ? 1.0 : -1.0;
    path.moveTo(12 + 2.6 * s, 6.0);
    path.lineTo(12 - 3.4 * s, 12.0);
    path.lineTo(12 + 2.6 * s, 18.0);
    p.drawPath(path);
}

} // namespace art::glyph
