// Draws the pictures that the local institute's web endpoint serves: a small
// round icon and a logo per site. Run once; the PNG files are kept in git.
//   g++ -fPIC draw_pictures.cpp $(pkg-config --cflags --libs Qt5Gui) -o /tmp/draw_pictures
//   QT_QPA_PLATFORM=offscreen /tmp/draw_pictures tools/institute/pictures
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const struct
    {
        const char *name;
        QColor colour;
    } sites[] = {{"Atlas", QColor(20, 110, 60)},
                 {"Nour", QColor(30, 80, 160)},
                 {"Rif", QColor(150, 60, 30)}};
    int n = 1;
    for (const auto &site : sites) {
        QImage icon(36, 36, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        {
            QPainter p(&icon);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(site.colour);
            p.setPen(QPen(Qt::white, 2));
            p.drawEllipse(QRectF(2, 2, 32, 32));
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(18);
            font.setBold(true);
            p.setFont(font);
            p.drawText(icon.rect(), Qt::AlignCenter, QString(QLatin1Char(site.name[0])));
        }
        icon.save(QStringLiteral("%1/icon%2.png").arg(folder).arg(n));

        QImage logo(400, 240, QImage::Format_RGB32);
        {
            QPainter p(&logo);
            p.setRenderHint(QPainter::Antialiasing);
            QLinearGradient g(0, 0, 0, 240);
            g.setColorAt(0, site.colour.lighter(160));
            g.setColorAt(1, site.colour);
            p.fillRect(logo.rect(), g);
            p.setPen(Qt::white);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(54);
            font.setBold(true);
            p.setFont(font);
            p.drawText(QRect(0, 40, 400, 100), Qt::AlignCenter, QString::fromLatin1(site.name));
            font.setPixelSize(20);
            font.setBold(false);
            p.setFont(font);
            p.drawText(QRect(0, 150, 400, 40), Qt::AlignCenter,
                       QStringLiteral("local institute, site %1").arg(n));
        }
        logo.save(QStringLiteral("%1/logo%2.png").arg(folder).arg(n));
        ++n;
    }
    return 0;
}
