// Flat glyphs drawn in a 24 x 24 unit square (use with inBox).
#pragma once

#include <QColor>
#include <QPainter>

namespace art::glyph {

void mic(QPainter &p, const QColor &c);
void micBarred(QPainter &p, const QColor &c);
void hand(QPainter &p, const QColor &c);
void camera(QPainter &p, const QColor &c);
void speaker(QPainter &p, const QColor &c, bool muted);
void radio(QPainter &p, const QColor &c, bool off);
void recordDot(QPainter &p);
void stopSquare(QPainter &p);
void redDot(QPainter &p);
void person(QPainter &p, const QColor &c);
void persons(QPainter &p, const QColor &front, const QColor &back);
void book(QPainter &p, const QColor &pages, const QColor &edge);
void shieldStar(QPainter &p, const QColor &c);
void cap(QPainter &p, const QColor &c);
void gear(QPainter &p, const QColor &c);
void key(QPainter &p, const QColor &c);
void building(QPainter &p, const QColor &c);
void check(QPainter &p, const QColor &c, double width = 3.2);
void cross(QPainter &p, const QColor &c, double width = 3.2);
void clock(QPainter &p, const QColor &c);
void lock(QPainter &p, const QColor &body, bool open);
void magnifier(QPainter &p, const QColor &c);
void pencil(QPainter &p);
void archDoor(QPainter &p, const QColor &c);
void sheet(QPainter &p, bool checked);
void server(QPainter &p);
void bubble(QPainter &p, const QColor &c);
void plane(QPainter &p, const QColor &c);
void copies(QPainter &p);
void floppy(QPainter &p, const QColor &c);
void eraser(QPainter &p);
void scissors(QPainter &p, const QColor &c);
void clipboard(QPainter &p);
void pdf(QPainter &p);
void tableDoc(QPainter &p);
void monitor(QPainter &p);
void bucket(QPainter &p, const QColor &c);
void chevron(QPainter &p, const QColor &c, bool left);

} // namespace art::glyph
