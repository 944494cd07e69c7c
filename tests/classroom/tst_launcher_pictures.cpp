// The menu's picture item (turn, fade, animations, presses) and the three
// card drawings of the launcher.
#include "common/fonts.h"
#include "protocol/state.h"
#include "startup/dialog.h"
#include "startup/pictureitem.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QPropertyAnimation>
#include <QtTest>

namespace {
QPixmap solid(int w, int h, QColor colour = QColor(200, 40, 40))
{
    QPixmap p(w, h);
    p.fill(colour);
    return p;
}

// The rectangle of pixels that differ between two pictures of one size.
QRect difference(const QPixmap &a, const QPixmap &b, int maxY = INT_MAX)
{
    const QImage x = a.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.toImage().convertToFormat(QImage::Format_ARGB32);
    QRect r;
    for (int row = 0; row < qMin(x.height(), maxY); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (x.pixel(col, row) != y.pixel(col, row))
                r |= QRect(col, row, 1, 1);
    return r;
}

int alphaAt(const PictureItem &item, int x, int y)
{
    return qAlpha(item.pixmap().toImage().pixel(x, y));
}
} // namespace

class TestLauncherPictures : public QObject
{
    Q_OBJECT
    Dialog *dialog = nullptr;

private slots:
    void initTestCase()
    {
        installFonts();
        menuTimeScale = 0.01;
        launcherFolder = QDir::currentPath() + QStringLiteral("/no-programs-here");
        GethttpServer.clear(); // no list: the launcher only draws here
        dialog = new Dialog;
    }
    void cleanupTestCase() { delete dialog; }

    void basics()
    {
        PictureItem item(solid(40, 20));
        QCOMPARE(item.type(), 65537);
        QCOMPARE(item.boundingRect(), QRectF(0, 0, 40, 20));
        QCOMPARE(item.fade(), 255);
        QCOMPARE(item.rotationAngleY(), 0.0);
        const double saved = menuTimeScale;
        menuTimeScale = 1.0;
        QCOMPARE(menuMs(1000), 1000);
        QCOMPARE(menuMs(200), 200);
        menuTimeScale = saved;
    }

    void turn()
    {
        PictureItem item(solid(100, 40));
        item.setRotationAngleY(0);
        QVERIFY(item.transform().isIdentity());
        item.setRotationAngleY(180); // mirrored about the centre
        QCOMPARE(item.transform().map(QPointF(0, 10)), QPointF(100, 10));
        QCOMPARE(item.transform().map(QPointF(30, 10)), QPointF(70, 10));
        const QTransform before = item.transform();
        item.setRotationAngleY(180);
        QCOMPARE(item.transform(), before);
        for (double angle : {65.0, 295.0}) {
            item.setRotationAngleY(angle);
            QVERIFY(!item.transform().isAffine()); // perspective
            // The centre line stays put.
            QCOMPARE(item.transform().map(QPointF(50, 20)), QPointF(50, 20));
        }
        // A turn replaces the previous one.
        item.setRotationAngleY(360);
        QVERIFY(qFuzzyCompare(item.transform().map(QPointF(0, 0)).x() + 1, 1.0));
    }

    void fade()
    {
        const QPixmap original = solid(10, 10, QColor(10, 200, 30));
        PictureItem item(original);
        item.setFade(0);
        QCOMPARE(alphaAt(item, 5, 5), 0);
        item.setFade(255);
        QCOMPARE(item.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 original.toImage().convertToFormat(QImage::Format_ARGB32));
        item.setFade(128);
        QCOMPARE(alphaAt(item, 5, 5), 128);
        item.setFade(64); // from the base picture, not from the half-faded one
        QCOMPARE(alphaAt(item, 5, 5), 64);
        QCOMPARE(item.fade(), 64);
        QCOMPARE(item.pixmap().size(), QSize(10, 10));
    }

    void animationsReportTheirEnd()
    {
        PictureItem item(solid(10, 10));
        QSignalSpy finished(&item, &PictureItem::Finished);
        item.setFade(255);
        item.animateFadeIn(1000);
        QVERIFY(item.isAnimating());
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(item.fade(), 0);
        QCOMPARE(alphaAt(item, 5, 5), 0);
        item.animateFadeOut(1000);
        QTRY_COMPARE(finished.count(), 2);
        QCOMPARE(item.fade(), 255);

        item.animateAngle(360, 0);
        QTRY_COMPARE(finished.count(), 3);
        QCOMPARE(item.rotationAngleY(), 0.0);
        item.animatePosition(QPointF(0, 0), QPointF(7, 9));
        QTRY_COMPARE(finished.count(), 4);
        QCOMPARE(item.pos(), QPointF(7, 9));
        QVERIFY(!item.isAnimating());
    }

    void posAndAngleReportsNothing()
    {
        PictureItem item(solid(10, 10));
        QSignalSpy finished(&item, &PictureItem::Finished);
        QSignalSpy stopped(&item, &PictureItem::stopped);
        item.animatePosAndAngle(QPointF(0, 0), QPointF(-65, 70), 0, 65, true);
        QVERIFY(!item.isAnimating());
        QTRY_COMPARE(item.pos(), QPointF(-65, 70));
        QTRY_COMPARE(item.rotationAngleY(), 65.0);
        QTest::qWait(20);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(stopped.count(), 0);
    }

    void replacedAnimationStaysSilent()
    {
        PictureItem item(solid(10, 10));
        QSignalSpy finished(&item, &PictureItem::Finished);
        QSignalSpy stopped(&item, &PictureItem::stopped);
        item.animateScale(1.0, 0.5);
        item.animateScale(1.0, 0.25);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(item.scale(), 0.25);
        QCOMPARE(stopped.count(), 1);

        // Replaced by an animation that does not report: the item says that
        // nothing of its own runs any more.
        item.animateScale(0.25, 1.0);
        auto *plain = new QPropertyAnimation(&item, "scale");
        plain->setDuration(5);
        plain->setEndValue(0.75);
        plain->start(QAbstractAnimation::DeleteWhenStopped);
        QCOMPARE(stopped.count(), 2);
        QVERIFY(!item.isAnimating());
        QTRY_COMPARE(item.scale(), 0.75);
        QCOMPARE(finished.count(), 1);
    }

    void pressAndRelease()
    {
        QGraphicsScene scene(0, 0, 200, 200);
        QGraphicsView view(&scene);
        view.resize(220, 220);
        auto *item = new PictureItem(solid(50, 50));
        scene.addItem(item);
        item->setPos(20, 20);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy pressed(item, &PictureItem::pressed);
        QSignalSpy released(item, &PictureItem::release);
        const QPoint at = view.mapFromScene(QPointF(45, 45));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(released.count(), 0);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(released.count(), 1);
    }

    void cardSizes()
    {
        QCOMPARE(dialog->createPix(QStringLiteral("Atlas"), QPixmap()).size(), QSize(256, 350));
        QCOMPARE(dialog->createPix2(QStringLiteral("about"), QPixmap()).size(), QSize(452, 304));
        QCOMPARE(dialog->createPix3(QStringLiteral("Atlas"), QPixmap()).size(), QSize(481, 258));
    }

    // Each "::" moves the text one line down: 40 pixels on the door card, 30
    // on the about card, 100 on the text logo.
    void lines_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("cardHeight");
        QTest::newRow("door card") << 1 << 40 << 258;
        QTest::newRow("about card") << 2 << 30 << 304;
        QTest::newRow("text logo") << 3 << 100 << 258;
    }
    void lines()
    {
        QFETCH(int, kind);
        QFETCH(int, step);
        QFETCH(int, cardHeight);
        auto draw = [&](const QString &text) {
            if (kind == 1)
                return dialog->createPix(text, QPixmap());
            if (kind == 2)
                return dialog->createPix2(text, QPixmap());
            return dialog->createPix3(text, QPixmap());
        };
        const QPixmap blank = draw(QString());
        const QRect one = difference(draw(QStringLiteral("Ab")), blank, cardHeight);
        QVERIFY(!one.isEmpty());
        // The text logo drops up to two leading "::", so it needs three here.
        const QString down = kind == 3 ? QStringLiteral("::::::Ab") : QStringLiteral("::Ab");
        QCOMPARE(difference(draw(down), blank, cardHeight), one.translated(0, step));
        // Blank text draws nothing at all.
        QCOMPARE(difference(draw(QStringLiteral("   ")), blank), QRect());
        QCOMPARE(difference(draw(QStringLiteral(" :: ")), blank), QRect());
    }

    void lockedDoorTextOnThirdLine()
    {
        const QPixmap blank = dialog->createPix(QString(), QPixmap());
        const QRect first = difference(dialog->createPix(QStringLiteral("doors"), QPixmap()),
                                       blank, 258);
        const QRect third = difference(
            dialog->createPix(QStringLiteral("::::doors"), QPixmap()), blank, 258);
        QCOMPARE(third, first.translated(0, 80)); // top 170 instead of 90
    }

    void textLogoDropsLeadingSeparators()
    {
        const QImage plain = dialog->createPix3(QStringLiteral("Atlas"), QPixmap()).toImage();
        QCOMPARE(dialog->createPix3(QStringLiteral("::::Atlas"), QPixmap()).toImage(), plain);
        QCOMPARE(dialog->createPix3(QStringLiteral("::Atlas"), QPixmap()).toImage(), plain);
    }

    void icons()
    {
        const QPixmap none = dialog->createPix2(QString(), QPixmap());
        QCOMPARE(difference(dialog->createPix2(QString(), solid(48, 30)), none),
                 QRect(202, 5, 48, 30));
        QCOMPARE(difference(dialog->createPix2(QString(), solid(128, 128)), none),
                 QRect(202, 5, 48, 48));
        QCOMPARE(difference(dialog->createPix3(QString(), solid(20, 20)), dialog->createPix3(QString(), QPixmap())),
                 QRect(216, 5, 20, 20));
        // The door card centres the icon at its own size, 50 from the top,
        // and mirrors it into the reflection below 258.
        const QPixmap door = dialog->createPix(QString(), QPixmap());
        const QPixmap withIcon = dialog->createPix(QString(), solid(36, 36));
        QCOMPARE(difference(withIcon, door, 258), QRect(110, 50, 36, 36));
        QVERIFY(difference(withIcon, door).bottom() >= 258);
    }
};

QTEST_MAIN(TestLauncherPictures)
#include "tst_launcher_pictures.moc"
