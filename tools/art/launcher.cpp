// The classroom client's start: form background, window icon, language
// flags, the waiting animation and the pictures of the launcher's menu.

#include "art.h"
#include "gif.h"
#include "glyphs.h"

#include <QtMath>

namespace art {

void emblem(QPainter &p, const QRectF &box)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 128.0, box.height() / 128.0);
    // Rounded square in teal.
    QLinearGradient g(0, 0, 0, 128);
    g.setColorAt(0, QColor(0x2a, 0xa5, 0xa8));
    g.setColorAt(1, pal::tealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 26, 26);
    p.setPen(QPen(QColor(255, 255, 255, 70), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(10, 10, 108, 108), 21, 21);
    // Star above the book.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xcf, 0x63));
    p.drawPath(star8(QPointF(64, 34), 17));
    p.setBrush(QColor(0xfd, 0xf3, 0xd0));
    p.drawEllipse(QPointF(64, 34), 5.5, 5.5);
    // Open book.
    p.save();
    p.translate(64 - 48, 46);
    p.scale(4.0, 3.4);
    glyph::book(p, pal::white, pal::tealDark);
    p.restore();
    p.restore();
}

QImage latticeTile(int size, const QColor &base, const QColor &line, const QColor &star)
{
    return drawn(
        size, size,
        [&](QPainter &p) {
            const double t = size;
            const double r = t * 0.2;
            auto motif = [&](QPainter &q) {
                // Stars on the corners and in the middle, joined by the diagonals,
                // small diamonds where the edges cross.
                q.setPen(QPen(line, 1.2));
                q.setBrush(Qt::NoBrush);
                q.drawLine(QPointF(r * 0.72, r * 0.72), QPointF(t / 2 - r * 0.72, t / 2 - r * 0.72));
                q.drawLine(QPointF(t - r * 0.72, r * 0.72), QPointF(t / 2 + r * 0.72, t / 2 - r * 0.72));
                for (const QPointF &c : {QPointF(0, 0), QPointF(t / 2, t / 2)}) {
                    q.setBrush(star);
                    q.drawPath(star8(c, r));
                    q.setBrush(Qt::NoBrush);
                    q.drawPath(star8(c, r * 0.55));
                }
                for (const QPointF &c : {QPointF(t / 2, 0), QPointF(0, t / 2)}) {
                    QPolygonF diamond;
                    diamond << c + QPointF(0, -t * 0.07) << c + QPointF(t * 0.07, 0)
                            << c + QPointF(0, t * 0.07) << c + QPointF(-t * 0.07, 0);
                    q.setBrush(star);
                    q.drawPolygon(diamond);
                }
            };
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    p.save();
                    p.translate(dx * t, dy * t);
                    motif(p);
                    p.restore();
                }
        },
        base);
}

namespace {

QImage flag(const std::function<void(QPainter &, const QRectF &)> &draw)
{
    return drawn(48, 32, [&](QPainter &p) {
        const QRectF r(1, 2, 46, 28);
        QPainterPath clip;
        clip.addRoundedRect(r, 3, 3);
        p.setClipPath(clip);
        draw(p, r);
        // A soft sheen and a thin edge.
        p.setPen(Qt::NoPen);
        p.setBrush(vgrad(r.top(), r.bottom(), QColor(255, 255, 255, 55), QColor(255, 255, 255, 0)));
        p.drawRect(r);
        p.setClipping(false);
        p.setPen(QPen(QColor(0, 0, 0, 70), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    });
}

QImage roundButton(bool left)
{
    return drawn(48, 48, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40));
        p.drawEllipse(QPointF(24, 25.5), 21, 21);
        QRadialGradient g(QPointF(19, 16), 30);
        g.setColorAt(0, QColor(0x3c, 0xb9, 0xbc));
        g.setColorAt(1, pal::tealDark);
        p.setBrush(g);
        p.setPen(QPen(pal::white, 2.5));
        p.drawEllipse(QPointF(24, 24), 20.5, 20.5);
        inBox(p, QRectF(6, 6, 36, 36), [left](QPainter &q) { glyph::chevron(q, pal::white, left); });
    });
}

// The door of the menu cards: an arched doorway; texts are written on it in
// white, so the leaves are a deep teal.
QImage door()
{
    return drawn(256, 256, [&](QPainter &p) {
        auto archPath = [](double l, double r, double top, double bottom, double spring) {
            QPainterPath a;
            const double mid = (l + r) / 2;
            a.moveTo(l, bottom);
            a.lineTo(l, spring);
            a.cubicTo(l, spring - (spring - top) * 0.55, mid - (r - l) * 0.18, top + 8, mid, top);
            a.cubicTo(mid + (r - l) * 0.18, top + 8, r, spring - (spring - top) * 0.55, r, spring);
            a.lineTo(r, bottom);
            a.closeSubpath();
            return a;
        };
        // Frame of pale stone.
        const QPainterPath frame = archPath(30, 226, 4, 254, 92);
        p.setPen(QPen(QColor(0xa8, 0x92, 0x5c), 2));
        p.setBrush(vgrad(0, 256, QColor(0xf3, 0xea, 0xd2), QColor(0xd9, 0xc9, 0x9c)));
        p.drawPath(frame);
        // The leaves.
        const QPainterPath leaves = archPath(46, 210, 22, 254, 100);
        QLinearGradient g(0, 22, 0, 254);
        g.setColorAt(0, QColor(0x23, 0x7e, 0x84));
        g.setColorAt(1, QColor(0x0c, 0x47, 0x4c));
        p.setPen(QPen(QColor(0x0a, 0x3a, 0x3e), 2));
        p.setBrush(g);
        p.drawPath(leaves);
        p.save();
        p.setClipPath(leaves);
        // Panels and the meeting line of the two leaves.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 28), 2));
        for (int side = 0; side < 2; ++side) {
            const double x = side == 0 ? 58 : 136;
            p.drawRoundedRect(QRectF(x, 196, 62, 46), 5, 5);
        }
        p.setPen(QPen(QColor(0, 0, 0, 70), 2));
        p.drawLine(QPointF(128, 22), QPointF(128, 254));
        p.restore();
        // Ornament at the crown of the arch.
        p.setPen(QPen(QColor(0x8e, 0x72, 0x2c), 1));
        p.setBrush(QColor(0xe6, 0xc1, 0x5a));
        p.drawPath(star8(QPointF(128, 14), 8));
    });
}

QImage aboutCard()
{
    return drawn(452, 304, [&](QPainter &p) {
        const QRectF card(4, 14, 444, 286);
        shadowedCard(p, card, 18, vgrad(card.top(), card.bottom(), pal::paper, QColor(0xf1, 0xf6, 0xf5)),
                     QPen(pal::teal, 3));
        p.setPen(QPen(QColor(0xd9, 0xbf, 0x78), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(card.adjusted(7, 7, -7, -7), 12, 12);
        // Medallion behind the entry's icon at the top.
        p.setPen(QPen(pal::teal, 3));
        p.setBrush(pal::tealLight);
        p.drawEllipse(QPointF(226, 29), 28, 28);
        // Faint stars in the lower corner.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x17, 0x8a, 0x8f, 22));
        p.drawPath(star8(QPointF(56, 250), 34));
        p.drawPath(star8(QPointF(396, 250), 34));
    });
}

QImage aboutButton()
{
    return drawn(127, 86, [&](QPainter &p) {
        const QRectF card(3, 6, 121, 74);
        shadowedCard(p, card, 14, vgrad(card.top(), card.bottom(), QColor(0x2f, 0xa9, 0xac), pal::tealDark),
                     QPen(pal::white, 2.5));
        // Lines of text on the left, an information mark on the right.
        p.setPen(QPen(QColor(255, 255, 255, 210), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 30), QPointF(68, 30));
        p.drawLine(QPointF(16, 43), QPointF(68, 43));
        p.drawLine(QPointF(16, 56), QPointF(50, 56));
        p.setPen(Qt::NoPen);
        p.setBrush(pal::white);
        p.drawEllipse(QPointF(95, 43), 20, 20);
        p.setBrush(pal::tealDark);
        p.drawEllipse(QPointF(95, 33), 3.6, 3.6);
        p.drawRoundedRect(QRectF(91.8, 39, 6.4, 17), 2.5, 2.5);
    });
}

} // namespace

QVector<QImage> spinnerFrames(int size, int dots, double ring, double dot, const QColor &c)
{
    QVector<QImage> frames;
    for (int f = 0; f < dots; ++f) {
        frames << drawn(size, size, [&](QPainter &p) {
            p.setPen(Qt::NoPen);
            for (int i = 0; i < dots; ++i) {
                // The head of the trail is at dot f; older dots fade.
                const int age = (f - i + dots) % dots;
                const double strength = 1.0 - double(age) / dots;
                // Opaque colours fading towards a pale tint, so that every dot
                // survives the one-bit transparency of GIF.
                const double k = 0.2 + 0.8 * strength;
                const QColor pale(0xd4, 0xe4, 0xe6);
                p.setBrush(QColor::fromRgbF(pale.redF() + (c.redF() - pale.redF()) * k,
                                            pale.greenF() + (c.greenF() - pale.greenF()) * k,
                                            pale.blueF() + (c.blueF() - pale.blueF()) * k));
                const double a = 2 * M_PI * i / dots - M_PI / 2;
                const QPointF centre(size / 2.0 + ring * qCos(a), size / 2.0 + ring * qSin(a));
                p.drawEllipse(centre, dot * (0.75 + 0.25 * strength), dot * (0.75 + 0.25 * strength));
            }
        });
    }
    return frames;
}

void drawLauncher(Sink &sink)
{
    sink.png(Classroom, "frm/bb.png",
             latticeTile(160, QColor(0xf3, 0xf8, 0xfa), QColor(0xde, 0xeb, 0xef), QColor(0xea, 0xf3, 0xf6)));

    sink.png(Both, "Internet.png", drawn(128, 128, [](QPainter &p) { emblem(p, QRectF(0, 0, 128, 128)); }));

    sink.png(Classroom, "ma.png", flag([](QPainter &p, const QRectF &r) {
                 p.fillRect(r, QColor(0xc1, 0x27, 0x2d));
                 // The green interlaced pentagram: a star outline.
                 const QPointF c = r.center();
                 QPolygonF pts;
                 for (int i = 0; i < 5; ++i) {
                     const double a = -M_PI / 2 + i * 4 * M_PI / 5;
                     pts << c + QPointF(10.5 * qCos(a), 10.5 * qSin(a));
                 }
                 pts << pts.first();
                 p.setPen(QPen(QColor(0x00, 0x62, 0x33), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
                 p.setBrush(Qt::NoBrush);
                 p.drawPolyline(pts);
             }));
    sink.png(Classroom, "fr.png", flag([](QPainter &p, const QRectF &r) {
                 const double w = r.width() / 3;
                 p.fillRect(QRectF(r.left(), r.top(), w, r.height()), QColor(0x00, 0x55, 0xa4));
                 p.fillRect(QRectF(r.left() + w, r.top(), w, r.height()), Qt::white);
                 p.fillRect(QRectF(r.left() + 2 * w, r.top(), w, r.height()), QColor(0xef, 0x41, 0x35));
             }));
    sink.png(Classroom, "us.png", flag([](QPainter &p, const QRectF &r) {
                 const double h = r.height() / 13;
                 for (int i = 0; i < 13; ++i)
                     p.fillRect(QRectF(r.left(), r.top() + i * h, r.width(), h + 0.05),
                                i % 2 == 0 ? QColor(0xb2, 0x22, 0x34) : QColor(Qt::white));
                 const QRectF canton(r.left(), r.top(), r.width() * 0.4, h * 7);
                 p.fillRect(canton, QColor(0x3c, 0x3b, 0x6e));
                 p.setPen(Qt::NoPen);
                 p.setBrush(Qt::white);
                 for (int row = 0; row < 4; ++row)
                     for (int col = 0; col < 5; ++col)
                         p.drawEllipse(QPointF(canton.left() + 2.2 + col * 3.9 + (row % 2) * 1.9,
                                               canton.top() + 2.3 + row * 3.8),
                                       0.75, 0.75);
             }));

    sink.gif(Classroom, "images/wait3.gif",
             encodeGif(spinnerFrames(64, 12, 22, 4.4, pal::teal), 8, QColor(0xef, 0xf1, 0xf1)));

    sink.png(Classroom, "anim/lock.png", glyphPicture(96, 96, QRectF(4, 2, 88, 88), [](QPainter &p) {
                 glyph::lock(p, QColor(0xe0, 0xb4, 0x45), false);
             }));
    sink.png(Classroom, "anim/left3d.png", roundButton(true));
    sink.png(Classroom, "anim/right3d.png", roundButton(false));
    sink.png(Classroom, "anim/about.png", aboutButton());
    sink.png(Classroom, "anim/bab.png", door());
    sink.png(Classroom, "anim/about2.png", aboutCard());
}

} // namespace art
