#include "art.h"

#include <QtMath>

namespace art {

QImage canvas(int width, int height, const QColor &fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void begin(QPainter &p, QImage &image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QImage drawn(int width, int height, const std::function<void(QPainter &)> &draw, const QColor &fill)
{
    QImage image = canvas(width, height, fill);
    QPainter p;
    begin(p, image);
    draw(p);
    p.end();
    return image;
}

QImage glyphPicture(int width, int height, const QRectF &box, const std::function<void(QPainter &)> &glyph)
{
    return drawn(width, height, [&](QPainter &p) { inBox(p, box, glyph); });
}

void shadowedCard(QPainter &p, const QRectF &card, double radius, const QBrush &fill, const QPen &edge)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 38));
    p.drawRoundedRect(card.translated(0, 3), radius, radius);
    p.setPen(edge);
    p.setBrush(fill);
    p.drawRoundedRect(card, radius, radius);
    p.restore();
}

static QFont font(const QString &family, double pixels, bool bold)
{
    QFont f(family);
    f.setPixelSize(qMax(1, qRound(pixels)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont kufi(double pixels, bool bold)
{
    return font(QStringLiteral("Noto Kufi Arabic"), pixels, bold);
}

QFont naskh(double pixels, bool bold)
{
    return font(QStringLiteral("Noto Naskh Arabic"), pixels, bold);
}

QFont sans(double pixels, bool bold)
{
    return font(QStringLiteral("DejaVu Sans"), pixels, bold);
}

QPainterPath textPath(const QString &text, const QFont &font)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

void drawInkCentred(QPainter &p, const QRectF &box, const QString &text, const QFont &font,
                    const QColor &colour)
{
    QPainterPath path = textPath(text, font);
    const QRectF ink = path.boundingRect();
    path.translate(box.center() - ink.center());
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

QPainterPath star8(const QPointF &centre, double r)
{
    QPainterPath path;
    QPolygonF poly;
    for (int i = 0; i < 16; ++i) {
        const double a = M_PI / 8 * i - M_PI / 2;
        // Points of two overlapping squares: outer r, inner where the edges cross.
        const double rr = (i % 2 == 0) ? r : r * 0.7654; // cos(45)/cos(22.5)
        poly << centre + QPointF(rr * qCos(a), rr * qSin(a));
    }
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath star5(const QPointF &centre, double r, double ri)
{
    QPainterPath path;
    QPolygonF poly;
    for (int i = 0; i < 10; ++i) {
        const double a = M_PI / 5 * i - M_PI / 2;
        const double rr = (i % 2 == 0) ? r : ri;
        poly << centre + QPointF(rr * qCos(a), rr * qSin(a));
    }
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void inBox(QPainter &p, const QRectF &box, const std::function<void(QPainter &)> &draw)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    draw(p);
    p.restore();
}

QBrush vgrad(double y0, double y1, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return QBrush(g);
}

} // namespace art
