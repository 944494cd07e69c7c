// Pictures of people: user-type badges and attendance marks of the room's
// user list, its state icons, and the contact tree's icons.

#include "art.h"
#include "glyphs.h"

namespace art {

namespace {

using Glyph = std::function<void(QPainter &)>;

// The user list shows its icons at 50 x 26.
const int kBadgeW = 50;
const int kBadgeH = 26;

QImage badge(const QColor &fill, const Glyph &g)
{
    return drawn(kBadgeW, kBadgeH, [&](QPainter &p) {
        const QRectF pill(1.5, 2.5, 47, 21);
        p.setPen(Qt::NoPen);
        p.setBrush(vgrad(pill.top(), pill.bottom(), fill.lighter(118), fill.darker(108)));
        p.drawRoundedRect(pill, 10.5, 10.5);
        p.setPen(QPen(fill.darker(135), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(pill, 10.5, 10.5);
        inBox(p, QRectF(15, 3, 20, 20), g);
    });
}

QImage memberBase()
{
    return drawn(kBadgeW, kBadgeH, [&](QPainter &p) {
        // The cohort label on the right.
        const QRectF label(22, 4, 27, 18);
        p.setPen(QPen(pal::blue.darker(130), 1));
        p.setBrush(vgrad(label.top(), label.bottom(), pal::blue.lighter(125), pal::blue));
        p.drawRoundedRect(label, 5, 5);
        drawInkCentred(p, label.adjusted(6, 0, 0, 0), QStringLiteral("فوج"), kufi(9.5), pal::white);
        // The plate on the left, where the program writes the cohort number in red.
        p.setPen(QPen(pal::blue, 1.6));
        p.setBrush(pal::white);
        p.drawEllipse(QPointF(14, 12.5), 10.5, 10.5);
    });
}

QImage attendance(const QColor &fill, const Glyph &g)
{
    return drawn(kBadgeW, kBadgeH, [&](QPainter &p) {
        p.setPen(QPen(fill.darker(130), 1));
        p.setBrush(vgrad(2, 24, fill.lighter(120), fill));
        p.drawEllipse(QPointF(25, 13), 10.5, 10.5);
        inBox(p, QRectF(15, 3, 20, 20), g);
    });
}

QImage emptyBadge()
{
    return drawn(kBadgeW, kBadgeH, [&](QPainter &p) {
        p.setPen(QPen(QColor(0xb6, 0xbe, 0xc2), 1, Qt::DashLine));
        p.setBrush(QColor(0xf0, 0xf2, 0xf3));
        p.drawRoundedRect(QRectF(1.5, 2.5, 47, 21), 10.5, 10.5);
        p.setPen(QPen(QColor(0xa0, 0xaa, 0xae), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 13), QPointF(30, 13));
    });
}

// A state icon of the user list: the camera on the left when it is on, the
// state on the right; a single mark stands in the middle.
QImage state(bool cam, const Glyph &g)
{
    return drawn(kBadgeW, kBadgeH, [&](QPainter &p) {
        const bool both = cam && g;
        if (cam)
            inBox(p, both ? QRectF(1, 1, 24, 24) : QRectF(13, 1, 24, 24),
                  [](QPainter &q) { glyph::camera(q, pal::blue); });
        if (g)
            inBox(p, both ? QRectF(25, 1, 24, 24) : QRectF(13, 1, 24, 24), g);
    });
}

QImage contact(const QColor &c, const QColor &dot, bool ring)
{
    return drawn(32, 32, [&](QPainter &p) {
        inBox(p, QRectF(2, 2, 26, 26), [c](QPainter &q) { glyph::person(q, c); });
        p.setPen(QPen(pal::white, 2));
        p.setBrush(ring ? QColor(Qt::white) : dot);
        p.drawEllipse(QPointF(24.5, 24.5), 5.5, 5.5);
        if (ring) {
            p.setPen(QPen(dot, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(24.5, 24.5), 3.4, 3.4);
        }
    });
}

QImage ownUser(const QColor &c)
{
    return drawn(32, 32, [&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(vgrad(1, 31, c.lighter(125), c.darker(115)));
        p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
        QPainterPath clip;
        clip.addEllipse(QPointF(16, 16), 14.5, 14.5);
        p.setClipPath(clip);
        inBox(p, QRectF(5, 6, 22, 24), [](QPainter &q) { glyph::person(q, pal::white); });
        p.setClipping(false);
        p.setBrush(QColor(0xf2, 0xcf, 0x63));
        p.setPen(QPen(QColor(0x9a, 0x7a, 0x22), 0.8));
        p.drawPath(star8(QPointF(25.5, 6.5), 6));
    });
}

} // namespace

void drawPeople(Sink &sink)
{
    // User types.
    sink.png(Classroom, "users/za.png",
             badge(QColor(0x7b, 0x8a, 0x90), [](QPainter &p) { glyph::person(p, pal::white); }));
    sink.png(Classroom, "users/0.png", memberBase());
    sink.png(Classroom, "users/ta.png",
             badge(pal::blue, [](QPainter &p) { glyph::book(p, pal::white, pal::blue.darker(120)); }));
    sink.png(Classroom, "users/mosh.png",
             badge(pal::red, [](QPainter &p) { glyph::shieldStar(p, pal::white); }));
    sink.png(Classroom, "users/ostad.png",
             badge(pal::darkGreen, [](QPainter &p) { glyph::cap(p, pal::white); }));
    sink.png(Classroom, "users/ti.png",
             badge(QColor(0x16, 0x74, 0x62), [](QPainter &p) { glyph::gear(p, pal::white); }));
    sink.png(Classroom, "users/adm.png",
             badge(QColor(0x2d, 0x6a, 0x3e), [](QPainter &p) { glyph::key(p, pal::white); }));
    sink.png(Classroom, "users/idar.png",
             badge(QColor(0xa9, 0x32, 0x26), [](QPainter &p) { glyph::building(p, pal::white); }));
    sink.png(Classroom, "users/null.png", emptyBadge());

    // Attendance: present, absent, late.
    sink.png(Classroom, "users/ha.png",
             attendance(pal::green, [](QPainter &p) { glyph::check(p, pal::white); }));
    sink.png(Classroom, "users/gha.png",
             attendance(pal::red, [](QPainter &p) { glyph::cross(p, pal::white); }));
    sink.png(Classroom, "users/mo.png",
             attendance(pal::orange, [](QPainter &p) { glyph::clock(p, pal::white); }));

    // States of a user in a room, without and with the camera.
    const struct
    {
        const char *name;
        Glyph g;
    } states[] = {
        {"null", nullptr},
        {"mic", [](QPainter &p) { glyph::mic(p, pal::green); }},
        {"mic-n", [](QPainter &p) { glyph::micBarred(p, pal::grey); }},
        {"man", [](QPainter &p) { glyph::hand(p, pal::orange); }},
        {"red", [](QPainter &p) { glyph::redDot(p); }},
    };
    for (const auto &s : states) {
        const QString name = QString::fromLatin1(s.name);
        sink.png(Classroom, "icons/usr/" + name + ".png", state(false, s.g));
        sink.png(Classroom,
                 name == "null" ? QStringLiteral("icons/usr/cam.png") : "icons/usr/cam-" + name + ".png",
                 state(true, s.g));
    }

    // Contact tree: online, offline, and the own nickname in the header.
    sink.png(Classroom, "Os/win.png", contact(pal::teal, QColor(0x3c, 0xc4, 0x6e), false));
    sink.png(Classroom, "Os/null.png", contact(QColor(0xa4, 0xad, 0xb1), QColor(0xa4, 0xad, 0xb1), true));
    sink.png(Classroom, "Os/mac3.png", ownUser(pal::teal));
    sink.png(Classroom, "Os/win3.png", ownUser(pal::blue));
}

} // namespace art
