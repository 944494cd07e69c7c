// The menu's pictures: the door card with its reflection, the about card and
// the text logo.
#include "startup/dialog.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
struct TextStyle
{
    int pixelSize;
    bool bold;
    int firstTop;
    int lineStep;
    QPoint shadowOffset;
    QSize box;
    QColor shadow;
    QColor colour;
    Qt::Alignment alignment;
};

// Lines split at "::", each trimmed; nothing when the whole text is blank.
void drawLines(QPainter &painter, const QString &text, const TextStyle &style)
{
    if (text.trimmed().isEmpty())
        return;
    QFont font(QStringLiteral("Granada"));
    font.setPixelSize(style.pixelSize);
    if (style.bold)
        font.setWeight(QFont::Bold);
    painter.setFont(font);
    const QStringList lines = text.split(QStringLiteral("::"), Qt::KeepEmptyParts);
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const int top = style.firstTop + i * style.lineStep;
        painter.setPen(style.shadow);
        painter.drawText(QRect(QPoint(style.shadowOffset.x(), top + style.shadowOffset.y()),
                               style.box),
                         int(style.alignment), line);
        painter.setPen(style.colour);
        painter.drawText(QRect(QPoint(0, top), style.box), int(style.alignment), line);
    }
}

// An icon narrower than 49 pixels is centred at its own size, a wider one is
// scaled into the 48 x 48 square.
void drawSmallIcon(QPainter &painter, const QPixmap &icon)
{
    if (icon.isNull())
        return;
    if (icon.width() < 49)
        painter.drawPixmap(226 - icon.width() / 2, 5, icon);
    else
        painter.drawPixmap(QRect(202, 5, 48, 48), icon);
}

QPixmap transparentPixmap(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

QPixmap Dialog::createPix(QString text, QPixmap icon)
{
    QPixmap card = transparentPixmap(256, 256);
    {
        QPainter p(&card);
        p.drawPixmap(0, 0, QPixmap(QStringLiteral(":/Resources/anim/bab.png")));
        if (!icon.isNull())
            p.drawPixmap(128 - icon.width() / 2, 50, icon);
        drawLines(p, text,
                  {26, false, 90, 40, QPoint(2, 2), QSize(256, 60), Qt::black, Qt::white,
                   Qt::AlignCenter});
    }
    QPixmap result = transparentPixmap(256, 350);
    QPainter p(&result);
    p.drawPixmap(0, 0, card);
    p.setCompositionMode(QPainter::CompositionMode_Xor);
    QTransform mirror;
    mirror.rotate(-180, Qt::XAxis);
    p.drawPixmap(0, 258,
                 card.transformed(mirror).scaled(256, 92, Qt::IgnoreAspectRatio,
                                                 Qt::FastTransformation));
    QLinearGradient gradient(0, 0, 0, 320);
    gradient.setColorAt(0, QColor(0, 0, 0, 0));
    gradient.setColorAt(1, QColor(255, 255, 255, 230));
    p.fillRect(QRect(0, 258, 256, 92), gradient);
    return result;
}

QPixmap Dialog::createPix2(QString text, QPixmap icon)
{
    QPixmap result = transparentPixmap(452, 304);
    QPainter p(&result);
    p.drawPixmap(0, 0, QPixmap(QStringLiteral(":/Resources/anim/about2.png")));
    drawSmallIcon(p, icon);
    drawLines(p, text,
              {24, false, 50, 30, QPoint(1, 1), QSize(430, 60), Qt::white, Qt::black,
               Qt::AlignRight});
    return result;
}

QPixmap Dialog::createPix3(QString text, QPixmap icon)
{
    QPixmap result = transparentPixmap(481, 258);
    QPainter p(&result);
    drawSmallIcon(p, icon);
    for (int i = 0; i < 2 && text.startsWith(QLatin1String("::")); ++i)
        text.remove(0, 2);
    drawLines(p, text,
              {65, true, 10, 100, QPoint(5, 5), QSize(481, 200), Qt::darkGray, Qt::black,
               Qt::AlignCenter});
    return result;
}
