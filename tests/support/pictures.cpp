#include "pictures.h"

#include <QFile>
#include <QImageReader>
#include <QXmlStreamReader>
#include <QtTest>

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

void checkPicture(const QStringList &listed, const QString &path, int width, int height)
{
    QVERIFY2(listed.contains(path), "not listed in pictures.qrc");
    const QImage image = resourcePicture(path);
    QVERIFY(!image.isNull());
    if (width > 0)
        QCOMPARE(image.width(), width);
    if (height > 0)
        QCOMPARE(image.height(), height);
}

void checkListedPicturesLoad(const QStringList &listed)
{
    QVERIFY(!listed.isEmpty());
    for (const QString &path : listed)
        QVERIFY2(!resourcePicture(path).isNull(), qPrintable(path));
}

void addPictureColumns()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
}

void addPictureRow(const char *path, int width, int height)
{
    QTest::newRow(path) << QString::fromLatin1(path) << width << height;
}

void addPictureRow(const QString &path, int width, int height)
{
    addPictureRow(path.toLatin1().constData(), width, height);
}
