// Shared pieces of the picture drawing tool: where pictures go, the colours
// of the house style, fonts and small painting helpers.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QVector>

#include <functional>

namespace art {

// Which program's resource folder receives a picture.
enum Program { Classroom = 1, Exam = 2, Both = Classroom | Exam };

// Receives the finished pictures; path is relative to ":/Resources/".
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void png(int programs, const QString &path, const QImage &image) = 0;
    virtual void jpg(int programs, const QString &path, const QImage &image) = 0;
    virtual void gif(int programs, const QString &path, const QByteArray &bytes) = 0;
};

// House colours: calm teal and blue on white, a little gold for ornament.
namespace pal {
inline const QColor teal{0x17, 0x8a, 0x8f};
inline const QColor tealDark{0x0e, 0x5e, 0x63};
inline const QColor tealLight{0xd6, 0xee, 0xf0};
inline const QColor blue{0x2b, 0x6c, 0xb0};
inline const QColor blueLight{0xe3, 0xef, 0xfa};
inline const QColor gold{0xc8, 0xa2, 0x3a};
inline const QColor red{0xc6, 0x3b, 0x2f};
inline const QColor green{0x27, 0x93, 0x5a};
inline const QColor darkGreen{0x1e, 0x6b, 0x3c};
inline const QColor orange{0xe0, 0x8a, 0x1e};
inline const QColor slate{0x45, 0x55, 0x5c};
inline const QColor grey{0x90, 0x9a, 0x9f};
inline const QColor paper{0xfb, 0xfa, 0xf6};
inline const QColor ink{0x1e, 0x2b, 0x30};
inline const QColor white{0xff, 0xff, 0xff};
} // namespace pal

// A new picture, filled (transparent by default).
QImage canvas(int width, int height, const QColor &fill = Qt::transparent);

// Starts an antialiased painter on an image.
void begin(QPainter &p, QImage &image);

// A new picture of the given size on which draw paints, antialiased.
QImage drawn(int width, int height, const std::function<void(QPainter &)> &draw,
             const QColor &fill = Qt::transparent);
// A picture holding one glyph of the 24 unit square, scaled into box.
QImage glyphPicture(int width, int height, const QRectF &box, const std::function<void(QPainter &)> &glyph);
// A rounded card over a soft shadow.
void shadowedCard(QPainter &p, const QRectF &card, double radius, const QBrush &fill, const QPen &edge);

// Fonts of common/fonts, by pixel size.
QFont kufi(double pixels, bool bold = true);
QFont naskh(double pixels, bool bold = true);
QFont sans(double pixels, bool bold = true);

// The outline of a text line, shaped (Arabic joins), with its baseline at 0.
QPainterPath textPath(const QString &text, const QFont &font);
// Fills text centred on its visible ink inside a rectangle.
void drawInkCentred(QPainter &p, const QRectF &box, const QString &text, const QFont &font,
                    const QColor &colour);

// An eight-pointed star (two squares), outer radius r.
QPainterPath star8(const QPointF &centre, double r);
// A five-pointed star with outer radius r and inner radius ri.
QPainterPath star5(const QPointF &centre, double r, double ri);

// Runs draw with the painter mapped so that the square 0..24 fills box.
void inBox(QPainter &p, const QRectF &box, const std::function<void(QPainter &)> &draw);

// A vertical linear gradient brush.
QBrush vgrad(double y0, double y1, const QColor &top, const QColor &bottom);

// The institute's emblem (an open book under a star) filling box.
void emblem(QPainter &p, const QRectF &box);
// A seamless square tile of a faint eight-pointed star lattice.
QImage latticeTile(int size, const QColor &base, const QColor &line, const QColor &star);

// Frames of a ring of fading dots turning once.
QVector<QImage> spinnerFrames(int size, int dots, double ring, double dot, const QColor &colour);

// Pictures of each group.
void drawLauncher(Sink &sink);
void drawIcons(Sink &sink);
void drawPeople(Sink &sink);
void drawRoom(Sink &sink);
void drawExam(Sink &sink);
void drawKeyboard(Sink &sink);

} // namespace art
