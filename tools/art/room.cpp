// The room window: its icon buttons, level meter, station frame, blackboard
// and splitter grip; and the chat page's logo, frames and pending marker.

#include "art.h"
#include "gif.h"
#include "glyphs.h"

#include <QtMath>

namespace art {

namespace {

using Glyph = std::function<void(QPainter &)>;

// The room's icon buttons show their icons at 32 x 32 (and the status bar at 16 x 16).
QImage button32(const Glyph &g)
{
    return glyphPicture(32, 32, QRectF(1, 1, 30, 30), g);
}

// The level meter strip: eleven bands of 103 x 10; band k (at row 10 k)
// lights k of its ten segments.
QImage meter()
{
    return drawn(103, 110, [&](QPainter &p) {
        for (int k = 0; k <= 10; ++k) {
            const double top = 10.0 * k;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x26, 0x32, 0x38));
            p.drawRoundedRect(QRectF(0, top, 103, 10), 2.5, 2.5);
            for (int i = 0; i < 10; ++i) {
                QColor c = i < 6   ? QColor(0x3c, 0xc4, 0x6e)
                           : i < 8 ? QColor(0xf2, 0xc1, 0x3d)
                                   : QColor(0xe5, 0x4b, 0x3c);
                if (i >= k)
                    c = QColor(0x3b, 0x4a, 0x50);
                p.setBrush(c);
                p.drawRoundedRect(QRectF(2 + i * 10, top + 2, 9, 6), 1.2, 1.2);
            }
        }
    });
}

QImage noStation()
{
    return drawn(275, 247, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(vgrad(0, 247, QColor(0x6d, 0x78, 0x7d), QColor(0x4d, 0x57, 0x5c)));
        p.drawRoundedRect(QRectF(0, 0, 275, 247), 10, 10);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 40), 2));
        p.drawRoundedRect(QRectF(8, 8, 259, 231), 7, 7);
        inBox(p, QRectF(77, 63, 120, 120),
              [](QPainter &q) { glyph::radio(q, QColor(0xa9, 0xb3, 0xb7), false); });
    });
}

// Seamless value noise: a random lattice with the period of the tile.
QImage slate()
{
    const int size = 256;
    quint32 seed = 20150525u;
    auto rnd = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    auto lattice = [&](int cells) {
        QVector<double> v(cells * cells);
        for (double &x : v)
            x = rnd();
        return v;
    };
    const int c1 = 8, c2 = 32;
    const QVector<double> l1 = lattice(c1), l2 = lattice(c2);
    auto sample = [](const QVector<double> &l, int cells, double x, double y) {
        const double fx = x * cells, fy = y * cells;
        const int x0 = int(fx) % cells, y0 = int(fy) % cells;
        const int x1 = (x0 + 1) % cells, y1 = (y0 + 1) % cells;
        double tx = fx - qFloor(fx), ty = fy - qFloor(fy);
        tx = tx * tx * (3 - 2 * tx);
        ty = ty * ty * (3 - 2 * ty);
        const double a = l[y0 * cells + x0] * (1 - tx) + l[y0 * cells + x1] * tx;
        const double b = l[y1 * cells + x0] * (1 - tx) + l[y1 * cells + x1] * tx;
        return a * (1 - ty) + b * ty;
    };
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size, v = double(y) / size;
            const double n = 0.65 * sample(l1, c1, u, v) + 0.35 * sample(l2, c2, u, v) - 0.5;
            line[x] = qRgb(qBound(0, qRound(0x2c + 18 * n), 255), qBound(0, qRound(0x48 + 22 * n), 255),
                           qBound(0, qRound(0x3b + 18 * n), 255));
        }
    }
    return img;
}

QImage grip()
{
    return drawn(8, 32, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 5; ++i) {
            const double y = 8 + i * 4;
            p.setBrush(pal::white);
            p.drawEllipse(QPointF(4.5, y + 0.5), 1.3, 1.3);
            p.setBrush(QColor(0x6f, 0x8c, 0x96));
            p.drawEllipse(QPointF(4, y), 1.3, 1.3);
        }
    });
}

// A message box of the chat page cut into nine pieces of 10 x 10: corners,
// edges that repeat along their side, and the filling.
void messageFrame(Sink &sink)
{
    const QImage whole = drawn(30, 30, [](QPainter &p) {
        p.setPen(QPen(QColor(0xb9, 0xd5, 0xdb), 1));
        p.setBrush(pal::white);
        p.drawRoundedRect(QRectF(0.5, 0.5, 29, 29), 8, 8);
    });
    const char *rows[] = {"top", "mid", "bot"};
    const char *cols[] = {"left", "center", "right"};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            sink.png(Classroom,
                     QStringLiteral("images/message_%1_%2.png")
                         .arg(QLatin1String(rows[r]), QLatin1String(cols[c])),
                     whole.copy(c * 10, r * 10, 10, 10));
}

QImage playerButton(bool play)
{
    return drawn(24, 24, [&](QPainter &p) {
        p.setPen(QPen(pal::tealDark, 1));
        p.setBrush(vgrad(1, 23, QColor(0x3c, 0xb9, 0xbc), pal::teal));
        p.drawEllipse(QPointF(12, 12), 10.5, 10.5);
        p.setPen(Qt::NoPen);
        p.setBrush(pal::white);
        if (play) {
            QPolygonF tri;
            tri << QPointF(9.5, 7) << QPointF(17.5, 12) << QPointF(9.5, 17);
            p.drawPolygon(tri);
        } else {
            p.drawRoundedRect(QRectF(8, 7, 3, 10), 1, 1);
            p.drawRoundedRect(QRectF(13, 7, 3, 10), 1, 1);
        }
    });
}

} // namespace

void drawRoom(Sink &sink)
{
    sink.png(Classroom, "wav.png", button32([](QPainter &p) { glyph::speaker(p, pal::teal, false); }));
    sink.png(Classroom, "wav2.png", button32([](QPainter &p) { glyph::speaker(p, pal::grey, true); }));
    sink.png(Classroom, "mic.png", button32([](QPainter &p) { glyph::mic(p, pal::teal); }));
    sink.png(Classroom, "man.png", button32([](QPainter &p) { glyph::hand(p, pal::orange); }));
    sink.png(Classroom, "radio.png", button32([](QPainter &p) { glyph::radio(p, pal::blue, false); }));
    sink.png(Classroom, "radio2.png", button32([](QPainter &p) { glyph::radio(p, pal::grey, true); }));
    sink.png(Classroom, "record.png", button32([](QPainter &p) { glyph::recordDot(p); }));
    sink.png(Classroom, "stop.png", button32([](QPainter &p) { glyph::stopSquare(p); }));

    const QImage strip = meter();
    sink.png(Classroom, "vol.png", strip);
    sink.png(Classroom, "vol0.png", strip.copy(0, 0, 103, 10));

    sink.png(Classroom, "no.png", noStation());
    sink.png(Classroom, "blackborad.png", slate());
    sink.png(Classroom, "splitter.png", grip());

    // The chat page.
    sink.png(Classroom, "images/logo.png",
             drawn(40, 40, [](QPainter &p) { emblem(p, QRectF(0, 0, 40, 40)); }));
    sink.gif(Classroom, "images/wait4.gif",
             encodeGif(spinnerFrames(16, 8, 5.4, 1.7, pal::teal), 10, QColor(0xff, 0xff, 0xff)));
    sink.png(Classroom, "images/header_fill.png", drawn(8, 118, [](QPainter &p) {
                 p.fillRect(QRectF(0, 0, 8, 116),
                            vgrad(0, 116, QColor(0xf7, 0xfb, 0xfc), QColor(0xd2, 0xe7, 0xec)));
                 p.fillRect(QRectF(0, 116, 8, 2), pal::teal);
             }));
    messageFrame(sink);
    sink.png(Classroom, "images/play.png", playerButton(true));
    sink.png(Classroom, "images/pause.png", playerButton(false));
}

} // namespace art
