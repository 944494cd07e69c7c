// The exam program's pictures: every listed picture loads, every named
// picture exists with the size its page or window relies on, and the
// on-screen keyboard's pictures carry their keys where the key areas lie.
#include "support/pictures.h"

#include <QtTest>

namespace {

// The keyboard panel's key areas (x, y, width, height in panel coordinates);
// the picture lies at (9, 9) of the panel. The close key comes first.
const QRect kKeys[] = {
    {12, 14, 14, 14},   {15, 37, 22, 20},   {41, 37, 22, 20},   {67, 37, 22, 20},   {92, 37, 22, 20},
    {119, 37, 22, 20},  {145, 37, 22, 20},  {171, 37, 22, 20},  {195, 35, 22, 20},  {222, 36, 22, 20},
    {247, 37, 22, 20},  {273, 37, 22, 20},  {299, 37, 22, 20},  {326, 37, 22, 20},  {352, 37, 47, 20},
    {53, 62, 22, 20},   {79, 62, 22, 20},   {105, 62, 22, 20},  {131, 62, 22, 20},  {157, 62, 22, 20},
    {183, 62, 22, 20},  {209, 62, 22, 20},  {235, 62, 22, 20},  {259, 62, 22, 20},  {285, 62, 22, 20},
    {311, 62, 22, 20},  {337, 62, 22, 20},  {364, 62, 35, 20},  {66, 89, 22, 20},   {92, 89, 22, 20},
    {118, 89, 22, 20},  {144, 89, 22, 20},  {170, 89, 22, 20},  {196, 89, 22, 20},  {222, 89, 22, 20},
    {248, 89, 22, 20},  {272, 89, 22, 20},  {298, 89, 22, 20},  {324, 89, 22, 20},  {15, 114, 59, 20},
    {79, 114, 22, 20},  {106, 114, 22, 20}, {131, 114, 22, 20}, {157, 114, 22, 20}, {183, 114, 22, 20},
    {209, 114, 22, 20}, {235, 114, 22, 20}, {261, 114, 22, 20}, {287, 114, 22, 20}, {313, 114, 22, 20},
    {339, 114, 59, 20}, {90, 140, 234, 20},
};

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(pictures);
        listed = listedResources(QStringLiteral(VELMAR_SOURCE_DIR "/exam/resources/pictures.qrc"));
    }

    void everyListedPictureLoads() { checkListedPicturesLoad(listed); }

    // Sizes of 0 are free; the others are fixed by the page or window.
    void namedPictures_data()
    {
        addPictureColumns();
        for (const char *p : {"bb.png", "lg.png", "Internet.png", "logo.png", "Basmala.png", "icons/pdf.png",
                              "icons/copy.png", "icons/doc.png", "icons/msg.png"})
            addPictureRow(p, 0, 0);
        addPictureRow("html/ky1.png", 397, 158);
        addPictureRow("html/ky2.png", 397, 158);
        addPictureRow("html/clavi.jpg", 68, 33);
        // The exam page's frame: 30 pixel corners and bands.
        for (const char *p : {"top_left", "top_right", "bot_left", "bot_right"})
            addPictureRow(QStringLiteral("html/themes/arabesque2/%1.png").arg(p), 30, 30);
        addPictureRow("html/themes/arabesque2/top.png", 0, 30);
        addPictureRow("html/themes/arabesque2/bot.png", 0, 30);
        addPictureRow("html/themes/arabesque2/left.png", 30, 0);
        addPictureRow("html/themes/arabesque2/right.png", 30, 0);
        // Scroll bars are 13 pixels thick.
        for (const char *p : {"bk.png", "vertical-thumb-active.png", "up.png", "down.png"})
            addPictureRow(QStringLiteral("webkit_styles/%1").arg(p), 13, 0);
        for (const char *p : {"bk2.png", "horizontal-thumb-active.png", "left.png", "righ.png"})
            addPictureRow(QStringLiteral("webkit_styles/%1").arg(p), 0, 13);
    }
    void namedPictures()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);
        checkPicture(listed, path, width, height);
    }

    // Each key area of the panel covers a key cap of the picture: inside the
    // area the picture differs from the keyboard body just beside it.
    void keyboardKeysAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("base") << QStringLiteral("html/ky1.png");
        QTest::newRow("shifted") << QStringLiteral("html/ky2.png");
    }
    void keyboardKeysAtTheirPlaces()
    {
        QFETCH(QString, path);
        const QImage picture = resourcePicture(path).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(picture.size(), QSize(397, 158));
        QCOMPARE(int(sizeof(kKeys) / sizeof(kKeys[0])), 52);
        // The close key is a red mark with a white cross.
        const QColor close = picture.pixelColor(kKeys[0].translated(-9, -9).center() + QPoint(0, -4));
        QVERIFY(close.red() > close.green() + 60);
        for (int i = 1; i < 52; ++i) {
            const QRect key = kKeys[i].translated(-9, -9);
            const int y = key.top() + key.height() / 2;
            const QRgb inside = picture.pixel(key.left() + 2, y);
            const QRgb beside = picture.pixel(key.left() - 2, y);
            QVERIFY2(inside != beside, qPrintable(QStringLiteral("key %1").arg(i)));
            QCOMPARE(qAlpha(inside), 255);
        }
    }

    // The shift key swaps the picture for one with the shifted captions.
    void shiftedPictureDiffers()
    {
        const QImage base = resourcePicture(QStringLiteral("html/ky1.png"));
        const QImage shifted = resourcePicture(QStringLiteral("html/ky2.png"));
        QVERIFY(!base.isNull() && !shifted.isNull());
        QVERIFY(base != shifted);
    }

private:
    QStringList listed;
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
