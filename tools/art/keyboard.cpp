// The two pictures of the exam sheet's on-screen Arabic keyboard: base
// captions (ky1.png) and shifted captions (ky2.png), 397 x 158. The picture
// lies at (9, 9) of the keyboard panel, so a key at panel position (x, y)
// is drawn at (x - 9, y - 9).

#include "art.h"

namespace art {

namespace {

enum Kind { Char, Shift, Del, Space, Close };

struct Key
{
    int x, y, w, h;
    Kind kind;
    const char16_t *base;
    const char16_t *shifted; // null: the key has no shifted part
};

// Panel coordinates and captions of the 52 keys.
const Key kKeys[] = {
    {12, 14, 14, 14, Close, nullptr, nullptr},
    // Row 1.
    {15, 37, 22, 20, Char, u"\u0630", u"\u0020\u0651"},
    {41, 37, 22, 20, Char, u"1", u"!"},
    {67, 37, 22, 20, Char, u"2", u"@"},
    {92, 37, 22, 20, Char, u"3", u"#"},
    {119, 37, 22, 20, Char, u"4", u"$"},
    {145, 37, 22, 20, Char, u"5", u"%"},
    {171, 37, 22, 20, Char, u"6", u"^"},
    {195, 35, 22, 20, Char, u"7", nullptr},
    {222, 36, 22, 20, Char, u"8", u"*"},
    {247, 37, 22, 20, Char, u"9", u"("},
    {273, 37, 22, 20, Char, u"0", u")"},
    {299, 37, 22, 20, Char, u"-", u"_"},
    {326, 37, 22, 20, Char, u"=", u"+"},
    {352, 37, 47, 20, Del, nullptr, nullptr},
    // Row 2.
    {53, 62, 22, 20, Char, u"\u0636", u"\u064e"},
    {79, 62, 22, 20, Char, u"\u0635", u"\u064b"},
    {105, 62, 22, 20, Char, u"\u062b", u"\u064f"},
    {131, 62, 22, 20, Char, u"\u0642", u"\u064c"},
    {157, 62, 22, 20, Char, u"\u0641", u"\u0644\u0625"},
    {183, 62, 22, 20, Char, u"\u063a", u"\u0625"},
    {209, 62, 22, 20, Char, u"\u0639", u"\u2018"},
    {235, 62, 22, 20, Char, u"\u0647", u"\u00f7"},
    {259, 62, 22, 20, Char, u"\u062e", u"\u00d7"},
    {285, 62, 22, 20, Char, u"\u062d", u"\u061b"},
    {311, 62, 22, 20, Char, u"\u062c", u">"},
    {337, 62, 22, 20, Char, u"\u062f", u"<"},
    {364, 62, 35, 20, Char, u"/", u"|"},
    // Row 3.
    {66, 89, 22, 20, Char, u"\u0634", u"\u0650"},
    {92, 89, 22, 20, Char, u"\u0633", u"\u064d"},
    {118, 89, 22, 20, Char, u"\u064a", u"["},
    {144, 89, 22, 20, Char, u"\u0628", u"]"},
    {170, 89, 22, 20, Char, u"\u0644", u"\u0644\u0623"},
    {196, 89, 22, 20, Char, u"\u0627", u"\u0623"},
    {222, 89, 22, 20, Char, u"\u062a", u"\u0640"},
    {248, 89, 22, 20, Char, u"\u0646", u"\u060c"},
    {272, 89, 22, 20, Char, u"\u0645", u"\""},
    {298, 89, 22, 20, Char, u"\u0643", u""},
    {324, 89, 22, 20, Char, u"\u0637", u""},
    // Row 4.
    {15, 114, 59, 20, Shift, nullptr, nullptr},
    {79, 114, 22, 20, Char, u"\u0626", u"~"},
    {106, 114, 22, 20, Char, u"\u0621", u"\u0652"},
    {131, 114, 22, 20, Char, u"\u0624", u"{"},
    {157, 114, 22, 20, Char, u"\u0631", u"}"},
    {183, 114, 22, 20, Char, u"\u0644\u0627", u"\u0644\u0622"},
    {209, 114, 22, 20, Char, u"\u0649", u"\u0622"},
    {235, 114, 22, 20, Char, u"\u0629", u"\u2019"},
    {261, 114, 22, 20, Char, u"\u0648", u","},
    {287, 114, 22, 20, Char, u"\u0632", u"."},
    {313, 114, 22, 20, Char, u"\u0638", u"\u061f"},
    {339, 114, 59, 20, Shift, nullptr, nullptr},
    // Row 5.
    {90, 140, 234, 20, Space, nullptr, nullptr},
};
static_assert(sizeof(kKeys) / sizeof(kKeys[0]) == 52, "52 keys");

const QColor kInk(0x1d, 0x2b, 0x30);

bool isArabic(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x0600 && c.unicode() <= 0x06ff)
            return true;
    return false;
}

// A lone vowel mark is shown on a tatweel so that it can be seen.
QString displayed(const QString &caption)
{
    QString s = caption.trimmed();
    if (!s.isEmpty() && s[0].unicode() >= 0x064b && s[0].unicode() <= 0x0652)
        s.prepend(QChar(0x0640));
    return s;
}

// Fills a caption centred in box, shrunk when its ink would not fit.
void caption(QPainter &p, const QRectF &box, const QString &text, const QColor &colour)
{
    const bool arabic = isArabic(text);
    QPainterPath path = textPath(text, arabic ? naskh(17) : sans(12.5));
    QRectF ink = path.boundingRect();
    const double maxW = box.width() - 5, maxH = box.height() - 5;
    const double scale = qMin(1.0, qMin(maxW / ink.width(), maxH / ink.height()));
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-ink.center().x(), -ink.center().y());
    path = t.map(path);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void upArrow(QPainter &p, const QPointF &c, const QColor &colour, bool filled)
{
    QPolygonF a;
    a << c + QPointF(0, -6.5) << c + QPointF(6.5, 0.5) << c + QPointF(3, 0.5) << c + QPointF(3, 6)
      << c + QPointF(-3, 6) << c + QPointF(-3, 0.5) << c + QPointF(-6.5, 0.5);
    p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(filled ? QBrush(colour) : QBrush(Qt::NoBrush));
    p.drawPolygon(a);
}

void backspace(QPainter &p, const QPointF &c, const QColor &colour)
{
    QPolygonF a;
    a << c + QPointF(-9, 0) << c + QPointF(-4, -5) << c + QPointF(8, -5) << c + QPointF(8, 5)
      << c + QPointF(-4, 5);
    p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(a);
    p.drawLine(c + QPointF(-1, -2.3), c + QPointF(3.6, 2.3));
    p.drawLine(c + QPointF(3.6, -2.3), c + QPointF(-1, 2.3));
}

QImage keyboard(bool shifted)
{
    return drawn(397, 158, [&](QPainter &p) {
        // The body, with a darker top strip that reads as the handle to drag by.
        const QRectF body(0.5, 0.5, 396, 157);
        QPainterPath bodyPath;
        bodyPath.addRoundedRect(body, 10, 10);
        p.setPen(QPen(QColor(0x7f, 0x97, 0x9e), 1));
        p.setBrush(vgrad(0, 158, QColor(0xe4, 0xed, 0xef), QColor(0xcb, 0xda, 0xdf)));
        p.drawPath(bodyPath);
        p.save();
        p.setClipPath(bodyPath);
        p.fillRect(QRectF(0, 0, 397, 23), vgrad(0, 23, QColor(0x2d, 0x92, 0x97), pal::tealDark));
        p.restore();
        drawInkCentred(p, QRectF(200, 2, 190, 19), QStringLiteral("لوحة المفاتيح العربية"), kufi(10),
                       pal::white);
        if (shifted) {
            upArrow(p, QPointF(184, 11.5), QColor(0xf6, 0xd7, 0x7a), true);
        }

        for (const Key &k : kKeys) {
            const QRectF r(k.x - 9 + 0.5, k.y - 9 + 0.5, k.w - 1, k.h - 1);
            if (k.kind == Close) {
                p.setPen(QPen(pal::white, 1.2));
                p.setBrush(QColor(0xd9, 0x4b, 0x3d));
                p.drawEllipse(r.center(), 6.6, 6.6);
                p.setPen(QPen(pal::white, 1.6, Qt::SolidLine, Qt::RoundCap));
                const QPointF c = r.center();
                p.drawLine(c + QPointF(-2.6, -2.6), c + QPointF(2.6, 2.6));
                p.drawLine(c + QPointF(2.6, -2.6), c + QPointF(-2.6, 2.6));
                continue;
            }
            const bool special = k.kind != Char;
            const bool lit = shifted && k.kind == Shift;
            QColor top = special ? QColor(0xdd, 0xee, 0xf0) : QColor(0xff, 0xff, 0xff);
            QColor bottom = special ? QColor(0xc3, 0xdd, 0xe1) : QColor(0xee, 0xf2, 0xf3);
            if (shifted && k.kind == Char) {
                top = QColor(0xff, 0xfb, 0xee);
                bottom = QColor(0xf8, 0xed, 0xcc);
            }
            if (lit) {
                top = QColor(0xf5, 0xc9, 0x5a);
                bottom = QColor(0xdf, 0xa5, 0x2c);
            }
            // Shadow, then the cap.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x5d, 0x74, 0x7b, 110));
            p.drawRoundedRect(r.translated(0, 1), 3.5, 3.5);
            p.setPen(QPen(QColor(0x93, 0xa7, 0xad), 1));
            p.setBrush(vgrad(r.top(), r.bottom(), top, bottom));
            p.drawRoundedRect(r, 3.5, 3.5);

            switch (k.kind) {
            case Char: {
                if (!shifted) {
                    caption(p, r, displayed(QString::fromUtf16(k.base)), kInk);
                } else if (k.shifted) {
                    const QString s = displayed(QString::fromUtf16(k.shifted));
                    if (!s.isEmpty())
                        caption(p, r, s, kInk);
                } else {
                    caption(p, r, QString::fromUtf16(k.base), QColor(0x9a, 0xa6, 0xaa));
                }
                break;
            }
            case Shift: upArrow(p, r.center(), lit ? pal::white : kInk, lit); break;
            case Del:
                backspace(p, QPointF(r.left() + 12, r.center().y()), kInk);
                drawInkCentred(p, QRectF(r.left() + 22, r.top(), r.width() - 24, r.height()),
                               QStringLiteral("حذف"), kufi(9.5), kInk);
                break;
            case Space:
                drawInkCentred(p, r, QStringLiteral("مسافة"), kufi(9.5, false), QColor(0x7a, 0x8a, 0x90));
                break;
            case Close: break;
            }
        }
    });
}

} // namespace

void drawKeyboard(Sink &sink)
{
    sink.png(Exam, "html/ky1.png", keyboard(false));
    sink.png(Exam, "html/ky2.png", keyboard(true));
}

} // namespace art
