// Menu, context-menu and tool-bar icons.

#include "art.h"
#include "glyphs.h"

namespace art {

namespace {

using Glyph = std::function<void(QPainter &)>;

// A menu icon: the glyph on a 32 x 32 square.
QImage icon32(const Glyph &g)
{
    return glyphPicture(32, 32, QRectF(2, 2, 28, 28), g);
}

// A tool-bar icon: 24 x 24.
QImage icon24(const Glyph &g)
{
    return drawn(24, 24, g);
}

QImage letter(const QString &text, const QFont &font, double shear, bool underline)
{
    return icon24([&](QPainter &p) {
        QPainterPath path = textPath(text, font);
        const QRectF ink = path.boundingRect();
        path.translate(QPointF(12, underline ? 10.5 : 12) - ink.center());
        if (shear != 0) {
            QTransform t;
            t.translate(12, 12);
            t.shear(shear, 0);
            t.translate(-12, -12);
            path = t.map(path);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(pal::ink);
        p.drawPath(path);
        if (underline)
            p.fillRect(QRectF(6, 19.5, 12, 2), pal::ink);
    });
}

QImage sizeIcon(double pixels)
{
    return icon24([pixels](QPainter &p) {
        QPainterPath path = textPath(QStringLiteral("ع"), naskh(pixels));
        const QRectF ink = path.boundingRect();
        // Letters of every size stand on one baseline.
        path.translate(QPointF(12 - ink.center().x(), 21 - ink.bottom()));
        p.setPen(Qt::NoPen);
        p.setBrush(pal::ink);
        p.drawPath(path);
    });
}

// The swatch that the program recolours must be exact magenta, so it is
// drawn without antialiasing; nothing else in the icon is magenta.
void swatch(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(3, 18, 18, 5), pal::slate);
    p.fillRect(QRect(4, 19, 16, 3), QColor(0xff, 0x00, 0xff));
    p.setRenderHint(QPainter::Antialiasing, true);
}

QImage lockIcon(bool locked)
{
    return glyphPicture(19, 16, QRectF(1.5, 0, 16, 16), [locked](QPainter &q) {
        glyph::lock(q, locked ? QColor(0xd9, 0xa5, 0x2e) : QColor(0x8f, 0xc9, 0x9e), !locked);
    });
}

} // namespace

void drawIcons(Sink &sink)
{
    // Main window menu.
    sink.png(Classroom, "icons/Search.png", icon32([](QPainter &p) { glyph::magnifier(p, pal::teal); }));
    sink.png(Classroom, "icons/edit.png", icon32([](QPainter &p) {
                 glyph::sheet(p, false);
                 p.save();
                 p.translate(5, 5);
                 p.scale(0.8, 0.8);
                 glyph::pencil(p);
                 p.restore();
             }));
    sink.png(Classroom, "icons/rooms.png", icon32([](QPainter &p) { glyph::archDoor(p, pal::teal); }));
    sink.png(Classroom, "icons/Sheet_of_paper.png", icon32([](QPainter &p) { glyph::sheet(p, true); }));
    sink.png(Classroom, "icons/users.png",
             icon32([](QPainter &p) { glyph::persons(p, pal::teal, pal::blue); }));
    sink.png(Classroom, "icons/server.png", icon32([](QPainter &p) { glyph::server(p); }));
    sink.png(Classroom, "icons/msg1.png", icon32([](QPainter &p) { glyph::bubble(p, pal::blue); }));

    // Chat control: send button and context menus.
    sink.png(Classroom, "icons/send.png", icon32([](QPainter &p) { glyph::plane(p, pal::teal); }));
    sink.png(Both, "icons/copy.png", icon32([](QPainter &p) { glyph::copies(p); }));
    sink.png(Classroom, "icons/save.png", icon32([](QPainter &p) { glyph::floppy(p, pal::blue); }));
    sink.png(Classroom, "icons/clear.png", icon32([](QPainter &p) { glyph::eraser(p); }));
    sink.png(Classroom, "icons/cut.png", icon32([](QPainter &p) { glyph::scissors(p, pal::teal); }));
    sink.png(Classroom, "icons/paste.png", icon32([](QPainter &p) { glyph::clipboard(p); }));

    // Chat input tool bar.
    sink.png(Classroom, "icons/B.png", letter(QStringLiteral("B"), sans(17), 0, false));
    sink.png(Classroom, "icons/I.png", letter(QStringLiteral("I"), sans(19), -0.25, false));
    sink.png(Classroom, "icons/U.png", letter(QStringLiteral("U"), sans(15), 0, true));
    sink.png(Classroom, "icons/a1.png", sizeIcon(12));
    sink.png(Classroom, "icons/a2.png", sizeIcon(17));
    sink.png(Classroom, "icons/a3.png", sizeIcon(23));
    sink.png(Classroom, "icons/coA.png", icon24([](QPainter &p) {
                 QPainterPath path = textPath(QStringLiteral("A"), sans(14));
                 const QRectF ink = path.boundingRect();
                 path.translate(QPointF(12, 9.5) - ink.center());
                 p.setPen(Qt::NoPen);
                 p.setBrush(pal::ink);
                 p.drawPath(path);
                 swatch(p);
             }));
    sink.png(Classroom, "icons/coB.png", icon24([](QPainter &p) {
                 p.save();
                 p.translate(0.5, -2.0);
                 p.scale(0.95, 0.95);
                 glyph::bucket(p, QColor(0xdd, 0xe6, 0xe9));
                 p.restore();
                 swatch(p);
             }));

    // Room chooser lock column (its icons are 19 x 16).
    sink.png(Classroom, "icons/lck.png", lockIcon(true));
    sink.png(Classroom, "icons/nolck.png", lockIcon(false));

    // Exam program menus.
    sink.png(Exam, "icons/pdf.png", icon32([](QPainter &p) { glyph::pdf(p); }));
    sink.png(Exam, "icons/doc.png", icon32([](QPainter &p) { glyph::tableDoc(p); }));
    sink.png(Exam, "icons/msg.png", icon32([](QPainter &p) { glyph::monitor(p); }));
}

} // namespace art
