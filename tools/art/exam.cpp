// The exam program's pictures: window backgrounds, logo, the exam page's
// basmala, frame and keyboard link, and its scroll-bar pieces.

#include "art.h"
#include "glyphs.h"

namespace art {

namespace {

QImage waitingBackground()
{
    // The waiting window is 329 x 409.
    return drawn(
        329, 409,
        [&](QPainter &p) {
            p.fillRect(QRectF(0, 0, 329, 409),
                       vgrad(0, 409, QColor(0xf6, 0xfb, 0xfb), QColor(0xe1, 0xef, 0xf1)));
            // A band of the star lattice across the top, closed by a gold rule.
            const QImage band =
                latticeTile(40, QColor(0xe4, 0xf1, 0xf3), QColor(0xc9, 0xe1, 0xe5), QColor(0xd6, 0xea, 0xed));
            for (int x = 0; x < 329; x += 40)
                p.drawImage(x, 0, band);
            p.fillRect(QRectF(0, 40, 329, 1.5), QColor(0xd9, 0xbf, 0x78));
            p.setPen(QPen(QColor(0xb8, 0x95, 0x3a), 1));
            p.setBrush(QColor(0xf2, 0xdc, 0x95));
            p.drawPath(star8(QPointF(164.5, 40.5), 7));
            // A faint clock in the free lower corner.
            inBox(p, QRectF(14, 336, 60, 60),
                  [](QPainter &q) { glyph::clock(q, QColor(0x17, 0x8a, 0x8f, 40)); });
        },
        pal::white);
}

QImage examLogo()
{
    return drawn(180, 100, [&](QPainter &p) {
        emblem(p, QRectF(92, 6, 88, 88));
        inBox(p, QRectF(6, 8, 84, 84), [](QPainter &q) { glyph::sheet(q, true); });
    });
}

QImage basmala()
{
    const QFont f = naskh(40);
    QPainterPath text = textPath(QStringLiteral("بسم الله الرحمن الرحيم"), f);
    const QRectF ink = text.boundingRect();
    const int w = int(ink.width()) + 120;
    const int h = 84;
    return drawn(w, h, [&](QPainter &p) {
        text.translate(QPointF(w / 2.0, h / 2.0) - ink.center());
        p.setPen(Qt::NoPen);
        p.setBrush(pal::tealDark);
        p.drawPath(text);
        p.setPen(QPen(QColor(0xa8, 0x85, 0x2c), 1));
        p.setBrush(QColor(0xe0, 0xbd, 0x5c));
        p.drawPath(star8(QPointF(28, h / 2.0), 13));
        p.drawPath(star8(QPointF(w - 28, h / 2.0), 13));
        p.setBrush(pal::white);
        p.drawEllipse(QPointF(28, h / 2.0), 3.5, 3.5);
        p.drawEllipse(QPointF(w - 28, h / 2.0), 3.5, 3.5);
    });
}

QImage keyboardLink()
{
    return drawn(
        68, 33,
        [&](QPainter &p) {
            const QRectF body(2, 3, 64, 27);
            p.setPen(QPen(pal::slate, 1.2));
            p.setBrush(vgrad(body.top(), body.bottom(), QColor(0xf4, 0xf7, 0xf8), QColor(0xd9, 0xe3, 0xe6)));
            p.drawRoundedRect(body, 4, 4);
            p.setPen(QPen(QColor(0x9b, 0xa9, 0xae), 0.8));
            p.setBrush(pal::white);
            for (int row = 0; row < 3; ++row) {
                const double inset = row * 2.5;
                for (int i = 0; i < 10 - row; ++i)
                    p.drawRoundedRect(QRectF(6 + inset + i * 5.6, 6 + row * 6, 4.4, 4.6), 0.8, 0.8);
            }
            p.setBrush(pal::tealLight);
            p.setPen(QPen(pal::teal, 0.8));
            p.drawRoundedRect(QRectF(18, 23.5, 32, 4), 1, 1);
        },
        pal::white);
}

// The frame of the exam page: corners and bands of 30 x 30. A band is drawn
// across the top; the others are its mirror images and its transpose.
const QColor kBandBack(0xfa, 0xf5, 0xd2);
const QColor kBandLine(0x2a, 0x85, 0x88);

void topBand(QPainter &p)
{
    p.fillRect(QRectF(0, 0, 30, 30), kBandBack);
    p.fillRect(QRectF(0, 3.2, 30, 1.6), kBandLine);
    p.fillRect(QRectF(0, 25.2, 30, 1.6), kBandLine);
    // Half diamonds on both edges join into whole ones between tiles.
    for (double x : {0.0, 30.0}) {
        QPolygonF d;
        d << QPointF(x, 9.5) << QPointF(x + 5.5, 15) << QPointF(x, 20.5) << QPointF(x - 5.5, 15);
        p.setPen(QPen(kBandLine, 1));
        p.setBrush(QColor(0xbf, 0xdf, 0xdc));
        p.drawPolygon(d);
    }
    p.setPen(QPen(QColor(0x9c, 0x7a, 0x25), 1));
    p.setBrush(QColor(0xe0, 0xbd, 0x5c));
    p.drawPath(star8(QPointF(15, 15), 7.2));
}

void cornerPiece(QPainter &p)
{
    p.fillRect(QRectF(0, 0, 30, 30), kBandBack);
    p.fillRect(QRectF(3.2, 3.2, 26.8, 1.6), kBandLine);
    p.fillRect(QRectF(3.2, 3.2, 1.6, 26.8), kBandLine);
    p.fillRect(QRectF(25.2, 25.2, 4.8, 1.6), kBandLine);
    p.fillRect(QRectF(25.2, 25.2, 1.6, 4.8), kBandLine);
    p.setPen(QPen(QColor(0x9c, 0x7a, 0x25), 1));
    p.setBrush(QColor(0xe0, 0xbd, 0x5c));
    p.drawPath(star8(QPointF(15, 15), 9.5));
    p.setBrush(kBandLine);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(15, 15), 3, 3);
}

QImage piece(const std::function<void(QPainter &)> &draw, bool transpose)
{
    return drawn(30, 30, [&](QPainter &p) {
        if (transpose)
            p.setTransform(QTransform(0, 1, 1, 0, 0, 0));
        draw(p);
    });
}

void frame(Sink &sink)
{
    const QString dir = QStringLiteral("html/themes/arabesque2/");
    const QImage corner = piece(cornerPiece, false);
    const QImage top = piece(topBand, false);
    const QImage left = piece(topBand, true);
    sink.png(Exam, dir + "top_left.png", corner);
    sink.png(Exam, dir + "top_right.png", corner.mirrored(true, false));
    sink.png(Exam, dir + "bot_left.png", corner.mirrored(false, true));
    sink.png(Exam, dir + "bot_right.png", corner.mirrored(true, true));
    sink.png(Exam, dir + "top.png", top);
    sink.png(Exam, dir + "bot.png", top.mirrored(false, true));
    sink.png(Exam, dir + "left.png", left);
    sink.png(Exam, dir + "right.png", left.mirrored(true, false));
}

// Scroll-bar pieces, 13 pixels thick.
void scrollBar(Sink &sink)
{
    const QColor track(0xed, 0xf3, 0xf4), edge(0xd2, 0xde, 0xe1);
    auto trackPiece = [&](bool vertical) {
        const int w = vertical ? 13 : 16, h = vertical ? 16 : 13;
        return drawn(
            w, h,
            [&](QPainter &p) {
                p.setPen(Qt::NoPen);
                p.setBrush(edge);
                if (vertical) {
                    p.drawRect(QRectF(0, 0, 1, h));
                    p.drawRect(QRectF(12, 0, 1, h));
                } else {
                    p.drawRect(QRectF(0, 0, w, 1));
                    p.drawRect(QRectF(0, 12, w, 1));
                }
            },
            track);
    };
    auto thumb = [&](bool vertical) {
        const int w = vertical ? 13 : 40, h = vertical ? 40 : 13;
        return drawn(w, h, [&](QPainter &p) {
            QLinearGradient g(0, 0, vertical ? 13 : 0, vertical ? 0 : 13);
            g.setColorAt(0, QColor(0x5d, 0xbd, 0xc0));
            g.setColorAt(1, pal::teal);
            p.setPen(QPen(pal::tealDark, 1));
            p.setBrush(g);
            p.drawRoundedRect(vertical ? QRectF(1.5, 0.5, 10, 39) : QRectF(0.5, 1.5, 39, 10), 5, 5);
            p.setPen(QPen(QColor(255, 255, 255, 150), 1));
            for (int i = -1; i <= 1; ++i) {
                if (vertical)
                    p.drawLine(QPointF(4, 20 + i * 3), QPointF(9, 20 + i * 3));
                else
                    p.drawLine(QPointF(20 + i * 3, 4), QPointF(20 + i * 3, 9));
            }
        });
    };
    // Arrow buttons, 20 long: direction 0 up, 1 down, 2 left, 3 right.
    auto arrow = [&](int dir) {
        const bool vertical = dir < 2;
        const int w = vertical ? 13 : 20, h = vertical ? 20 : 13;
        return drawn(
            w, h,
            [&](QPainter &p) {
                p.setPen(QPen(edge, 1));
                p.setBrush(QColor(0xe2, 0xec, 0xee));
                p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 2.5, 2.5);
                const QPointF c(w / 2.0, h / 2.0);
                QPolygonF tri;
                switch (dir) {
                case 0: tri << c + QPointF(0, -3) << c + QPointF(3.5, 2) << c + QPointF(-3.5, 2); break;
                case 1: tri << c + QPointF(0, 3) << c + QPointF(3.5, -2) << c + QPointF(-3.5, -2); break;
                case 2: tri << c + QPointF(-3, 0) << c + QPointF(2, 3.5) << c + QPointF(2, -3.5); break;
                default: tri << c + QPointF(3, 0) << c + QPointF(-2, 3.5) << c + QPointF(-2, -3.5); break;
                }
                p.setPen(Qt::NoPen);
                p.setBrush(pal::tealDark);
                p.drawPolygon(tri);
            },
            track);
    };
    const QString dir = QStringLiteral("webkit_styles/");
    sink.png(Exam, dir + "bk.png", trackPiece(true));
    sink.png(Exam, dir + "bk2.png", trackPiece(false));
    sink.png(Exam, dir + "vertical-thumb-active.png", thumb(true));
    sink.png(Exam, dir + "horizontal-thumb-active.png", thumb(false));
    sink.png(Exam, dir + "up.png", arrow(0));
    sink.png(Exam, dir + "down.png", arrow(1));
    sink.png(Exam, dir + "left.png", arrow(2));
    sink.png(Exam, dir + "righ.png", arrow(3));
}

} // namespace

void drawExam(Sink &sink)
{
    sink.png(Exam, "bb.png",
             latticeTile(160, QColor(0xf7, 0xf9, 0xf4), QColor(0xe2, 0xea, 0xe2), QColor(0xee, 0xf3, 0xec)));
    sink.png(Exam, "lg.png", waitingBackground());
    sink.png(Exam, "logo.png", examLogo());
    sink.png(Exam, "Basmala.png", basmala());
    sink.jpg(Exam, "html/clavi.jpg", keyboardLink());
    frame(sink);
    scrollBar(sink);
}

} // namespace art
