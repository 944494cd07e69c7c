#include "pictures.h"

#include <QFile>
#include <QImageReader>
#include <QXmlStreamReader>

QStringList listedResources(const QString &qrcFile)
{
    QStringList files;
    QFile f(qrcFile);
    if (!f.open(QIODevice::ReadOnly))
        return files;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
            files << xml.readElementText().trimmed();
    }
    return xml.hasError() ? QStringList() : files;
}

QImage resourcePicture(const QString &path)
{
    QImageReader reader(QStringLiteral(":/Resources/") + path);
    return reader.read();
}

int countColour(const QImage &image, QRgb colour, const QRect &rect)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRect r = rect.intersected(argb.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((argb.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                ++n;
    return n;
}
