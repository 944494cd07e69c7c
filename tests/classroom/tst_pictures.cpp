// The classroom client's pictures: every listed picture loads, every named
// picture exists with the size its window relies on, the level meter's
// bands, the recolourable swatches and the waiting animations.
#include "support/pictures.h"

#include <QMovie>
#include <QtTest>

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(pictures);
        listed = listedResources(QStringLiteral(VELMAR_SOURCE_DIR "/classroom/resources/pictures.qrc"));
    }

    void everyListedPictureLoads() { checkListedPicturesLoad(listed); }

    // Sizes of 0 are free; the others are fixed by the windows that show them.
    void namedPictures_data()
    {
        addPictureColumns();
        for (const char *p : {"frm/bb.png",       "Internet.png",
                              "ma.png",           "fr.png",
                              "us.png",           "anim/lock.png",
                              "Os/mac3.png",      "Os/win.png",
                              "Os/null.png",      "Os/win3.png",
                              "icons/Search.png", "icons/edit.png",
                              "icons/rooms.png",  "icons/Sheet_of_paper.png",
                              "icons/users.png",  "icons/server.png",
                              "icons/msg1.png",   "icons/send.png",
                              "icons/copy.png",   "icons/save.png",
                              "icons/clear.png",  "icons/cut.png",
                              "icons/paste.png",  "icons/B.png",
                              "icons/I.png",      "icons/U.png",
                              "icons/a1.png",     "icons/a2.png",
                              "icons/a3.png",     "icons/coA.png",
                              "icons/coB.png",    "vol0.png",
                              "no.png",           "blackborad.png",
                              "splitter.png",     "images/header_fill.png"})
            addPictureRow(p, 0, 0);
        // Launcher menu.
        addPictureRow("anim/left3d.png", 48, 48);
        addPictureRow("anim/right3d.png", 48, 48);
        addPictureRow("anim/about.png", 127, 86);
        addPictureRow("anim/bab.png", 256, 256);
        addPictureRow("anim/about2.png", 452, 304);
        // Room chooser lock column.
        addPictureRow("icons/lck.png", 19, 16);
        addPictureRow("icons/nolck.png", 19, 16);
        // Room user list: states, user types, attendance.
        for (const char *p : {"icons/usr/null.png",    "icons/usr/mic.png",
                              "icons/usr/mic-n.png",   "icons/usr/man.png",
                              "icons/usr/red.png",     "icons/usr/cam.png",
                              "icons/usr/cam-mic.png", "icons/usr/cam-mic-n.png",
                              "icons/usr/cam-man.png", "icons/usr/cam-red.png",
                              "users/za.png",          "users/0.png",
                              "users/ta.png",          "users/mosh.png",
                              "users/ostad.png",       "users/ti.png",
                              "users/adm.png",         "users/idar.png",
                              "users/null.png",        "users/ha.png",
                              "users/gha.png",         "users/mo.png"})
            addPictureRow(p, 50, 26);
        // Room window buttons.
        for (const char *p : {"wav.png", "wav2.png", "mic.png", "man.png", "radio.png", "radio2.png",
                              "record.png", "stop.png"})
            addPictureRow(p, 32, 32);
        addPictureRow("vol.png", 103, 110);
        // Chat page.
        addPictureRow("images/logo.png", 40, 40);
        for (const char *part : {"top", "mid", "bot"})
            for (const char *side : {"left", "center", "right"})
                addPictureRow(QStringLiteral("images/message_%1_%2.png").arg(part, side), 0, 0);
    }
    void namedPictures()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);
        checkPicture(listed, path, width, height);
    }

    // Band k of the strip (rows 10 k to 10 k + 9) shows level k / 10: k of
    // its ten segments lit. The resting meter shows band 0.
    void levelMeterBands()
    {
        const QImage strip = resourcePicture(QStringLiteral("vol.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(strip.size(), QSize(103, 110));
        auto lit = [&](int band) {
            int n = 0;
            for (int i = 0; i < 10; ++i) {
                const QColor c = strip.pixelColor(6 + i * 10, band * 10 + 5);
                if (c.saturation() > 100 && c.value() > 150)
                    ++n;
            }
            return n;
        };
        for (int k = 0; k <= 10; ++k)
            QCOMPARE(lit(k), k);
        const QImage rest = resourcePicture(QStringLiteral("vol0.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(rest, strip.copy(0, 0, 103, 10));
    }

    // The colour buttons' swatches are exact magenta, which the chat input
    // recolours to the colour in use.
    void colourSwatches_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("text colour") << QStringLiteral("icons/coA.png");
        QTest::newRow("background colour") << QStringLiteral("icons/coB.png");
    }
    void colourSwatches()
    {
        QFETCH(QString, path);
        const QImage icon = resourcePicture(path);
        QVERIFY(!icon.isNull());
        const int magenta = countColour(icon, qRgb(0xff, 0x00, 0xff), icon.rect());
        QVERIFY2(magenta >= 40, qPrintable(QString::number(magenta)));
        // The swatch is opaque, so recolouring shows the whole colour.
        const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                if ((argb.pixel(x, y) & 0xffffff) == 0xff00ff)
                    QCOMPARE(qAlpha(argb.pixel(x, y)), 255);
    }

    // The member badge keeps a light plate where the cohort number is
    // written in red (left 4, top 6, 20 wide).
    void memberBadgePlate()
    {
        const QImage badge =
            resourcePicture(QStringLiteral("users/0.png")).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(badge.size(), QSize(50, 26));
        for (const QPoint &pt : {QPoint(10, 9), QPoint(14, 12), QPoint(18, 15), QPoint(14, 17)}) {
            const QColor c = badge.pixelColor(pt);
            QVERIFY(c.alpha() == 255 && c.lightness() > 230);
        }
    }

    void animationsPlay_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("launcher waiting") << QStringLiteral("images/wait3.gif") << QSize();
        QTest::newRow("pending line marker") << QStringLiteral("images/wait4.gif") << QSize(16, 16);
    }
    void animationsPlay()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QVERIFY(listed.contains(path));
        QMovie movie(QStringLiteral(":/Resources/") + path);
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
        QVERIFY(movie.jumpToFrame(0));
        const QImage first = movie.currentImage();
        if (size.isValid())
            QCOMPARE(first.size(), size);
        QVERIFY(movie.jumpToFrame(1));
        QVERIFY(movie.currentImage() != first);
        QVERIFY(movie.nextFrameDelay() > 0);
        QCOMPARE(movie.loopCount(), -1);
    }

private:
    QStringList listed;
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
