// Where the classroom client's windows open, under a real window manager on
// a 1366 x 768 screen: inside the screen's available area with their frames,
// the room chooser in the same place each time it comes back, a second room
// or conversation a title bar down and across from the first, and each
// copy of the program in its own part of the screen when one is given.
#include "common/hooks.h"
#include "common/look.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/rooms.h"
#include "protocol/state.h"
#include "rooms/frmgroup.h"
#include "rooms/frmroom.h"
#include "rooms/frmwait2.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wmdesktop.h"

#include <QDialog>
#include <QInputDialog>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTableWidget>
#include <QtTest>

namespace {

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// The window and its frame where the X server has them: the window's own
// corner on the root window and the frame extents that the window manager
// announces.
QRect placedFrame(const QWidget *window)
{
    const QString info =
        wm::run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())});
    auto value = [&info](const char *key) {
        const QRegularExpression re(QString::fromLatin1(key) + QStringLiteral(":\\s*(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    QRect r(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
            value("Height"));
    const QString extents = wm::run(QStringLiteral("xprop"),
                                    {QStringLiteral("-id"), QString::number(window->winId()),
                                     QStringLiteral("_NET_FRAME_EXTENTS")});
    const QStringList e = extents.section(QLatin1Char('='), 1).split(QLatin1Char(','));
    if (e.size() == 4) // left, right, top, bottom
        r.adjust(-e.at(0).toInt(), -e.at(2).toInt(), e.at(1).toInt(), e.at(3).toInt());
    return r;
}

// The window shown and framed by the window manager, its place settled.
bool shownFramed(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QRect last;
    // Settled once the frame is known and two looks agree.
    return QTest::qWaitFor(
        [&] {
            const QRect now = placedFrame(window);
            const bool settled = now == last && now.size() != window->size();
            last = now;
            return settled;
        },
        20000);
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// A room entry (code 10 "Lst_room") for room id with one user.
QString roomEntry(int id)
{
    return QStringLiteral("id:%1|name:Room %1|owner:ostad|titre:t|sabora:0|a:0|b:0|c:0|d:0|"
                          "mobachir:0||nick:ali|admin:0|type:1|red:0|cam:0|mic:0|hand:0|granted:0")
        .arg(id);
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void keptInside_data();
    void keptInside();
    void windowArea_data();
    void windowArea();
    void centredInsideWithItsFrame();
    void dialogsCentredInTheirArea_data();
    void dialogsCentredInTheirArea();
    void chooserStaysWhereItWas();
    void roomsCascadeInside();
    void roomsShareTheScreen();
    void conversationsCascade();

private:
    LoopbackPeer m_peer;
};

void TestPlacement::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    QVERIFY(m_peer.connectClient());
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = FrmUser::replaceMainWindow();
    frmusr->setUSER(QStringLiteral("ali"));
    centreDialogsInWindowArea(); // as the program does at its start
    // The main window is on screen as in the program: other windows take
    // the frame of the window manager from it.
    CenterWidget(frmusr);
    QVERIFY(shownFramed(frmusr));
}

void TestPlacement::cleanup()
{
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    while (!frmPMs.isEmpty())
        delete frmPMs.first();
    delete frmgrup;
    delete frmwait2;
    deleteLaterNow();
    qunsetenv("VELMAR_WINDOW_AREA");
}

void TestPlacement::keptInside_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("corner");
    // In an area from (0, 0) to (1365, 767).
    QTest::newRow("inside stays") << QRect(100, 50, 400, 300) << QPoint(100, 50);
    QTest::newRow("below the bottom edge") << QRect(300, 300, 802, 607) << QPoint(300, 161);
    QTest::newRow("past the right edge") << QRect(1200, 10, 400, 300) << QPoint(966, 10);
    QTest::newRow("above and left") << QRect(-30, -22, 400, 300) << QPoint(0, 0);
    QTest::newRow("larger than the area") << QRect(50, 50, 1500, 900) << QPoint(0, 0);
}

void TestPlacement::keptInside()
{
    QFETCH(QRect, frame);
    QFETCH(QPoint, corner);
    QCOMPARE(::keptInside(QRect(0, 0, 1366, 768), frame), corner);
}

void TestPlacement::windowArea_data()
{
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<QRect>("area");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::newRow("none") << QByteArray() << screen;
    QTest::newRow("right half") << QByteArray("683,0,683,768") << QRect(683, 0, 683, 768);
    QTest::newRow("cut to the screen") << QByteArray("1000,0,800,900") << QRect(1000, 0, 366, 768);
    QTest::newRow("off the screen") << QByteArray("2000,0,400,400") << screen;
    QTest::newRow("not numbers") << QByteArray("left") << screen;
    QTest::newRow("three numbers") << QByteArray("0,0,683") << screen;
}

void TestPlacement::windowArea()
{
    QFETCH(QByteArray, setting);
    QFETCH(QRect, area);
    if (setting.isEmpty())
        qunsetenv("VELMAR_WINDOW_AREA");
    else
        qputenv("VELMAR_WINDOW_AREA", setting);
    QCOMPARE(::windowArea(), area);
}

void TestPlacement::centredInsideWithItsFrame()
{
    // A window centred in the right half of the screen, as the second copy
    // of the demo has it, lies there whole with its frame.
    qputenv("VELMAR_WINDOW_AREA", "683,0,683,768");
    QDialog launcher;
    launcher.setFixedSize(474, 400);
    CenterWidget(&launcher);
    QVERIFY(shownFramed(&launcher));
    const QRect frame = placedFrame(&launcher);
    QVERIFY2(QRect(683, 0, 683, 768).contains(frame), qPrintable(describe(frame)));
    // Centred by the window without its frame, halves of inclusive edges:
    // (683 + 1365) / 2 - 473 / 2 and 767 / 2 - 399 / 2.
    QCOMPARE(launcher.geometry().x(), 788);
    QCOMPARE(launcher.geometry().y(), 184);

    // A room is wider than that half: it goes as far into it as the screen
    // lets it, whole on the screen.
    QWidget room;
    room.setFixedSize(800, 580);
    CenterWidget(&room);
    QVERIFY(shownFramed(&room));
    const QRect roomFrame = placedFrame(&room);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(roomFrame), qPrintable(describe(roomFrame)));
    QCOMPARE(roomFrame.right(), screen.right());
}

void TestPlacement::dialogsCentredInTheirArea_data()
{
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<bool>("inputBox");
    for (const char *half : {"0,0,683,768", "683,0,683,768"}) {
        QTest::addRow("message box in %s", half) << QByteArray(half) << false;
        QTest::addRow("input box in %s", half) << QByteArray(half) << true;
    }
}

void TestPlacement::dialogsCentredInTheirArea()
{
    // Each copy of the demo gets its boxes in the middle of its own half of
    // the screen, not in the middle of the screen, each time one is shown.
    QFETCH(QByteArray, setting);
    QFETCH(bool, inputBox);
    qputenv("VELMAR_WINDOW_AREA", setting);
    const QRect area = ::windowArea();
    QStringList faults;
    int shown = 0;
    hooks::setModalHandler([&](QDialog *box) {
        for (int time = 0; time < 2; ++time) {
            if (!shownFramed(box)) {
                faults << QStringLiteral("not shown");
                break;
            }
            ++shown;
            const QRect frame = placedFrame(box);
            const QPoint off = frame.center() - area.center();
            if (!area.contains(frame) || qAbs(off.x()) > 2 || qAbs(off.y()) > 2)
                faults << QStringLiteral("%1 in %2").arg(describe(frame), describe(area));
            box->hide();
        }
        return int(QDialog::Rejected);
    });
    if (inputBox) {
        QInputDialog box;
        box.setWindowTitle(QStringLiteral("Password Admin"));
        box.setLabelText(QStringLiteral("Enter Password :"));
        hooks::execModal(&box);
    } else {
        MsgBox(QStringLiteral("Title App"), QStringLiteral("search word is too short"),
               QMessageBox::Warning, QMessageBox::Ok);
    }
    hooks::setModalHandler(nullptr);
    QCOMPARE(shown, 2);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestPlacement::chooserStaysWhereItWas()
{
    // Each refused entry hides the chooser behind the wait form and brings
    // it back with a message box: it comes back where it was, whole on the
    // screen.
    ModalAnswerer answers;
    ListGroupRooms(QStringLiteral("Group"), QStringLiteral("1:General"), 0);
    QPointer<FrmGroup> chooser = frmgrup;
    QVERIFY(chooser);
    ListGroupRooms(QStringLiteral("Rooms"), QStringLiteral("5:Locked:0:1"), 0);
    QVERIFY(shownFramed(chooser));
    const QRect first = placedFrame(chooser);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(first), qPrintable(describe(first)));
    for (int attempt = 1; attempt <= 3; ++attempt) {
        chooser->DblClick_MS(5, QString(), QStringLiteral("wrong"));
        QTRY_VERIFY(!chooser->isVisible());
        QVERIFY(frmwait2);
        QVERIFY(shownFramed(frmwait2));
        QVERIFY2(screen.contains(placedFrame(frmwait2)), qPrintable(describe(placedFrame(frmwait2))));
        ErrorEntre(QStringLiteral("pwd_lock"), QString());
        QCOMPARE(answers.shown.size(), attempt);
        QVERIFY(shownFramed(chooser));
        QCOMPARE(describe(placedFrame(chooser)), describe(first));
    }
}

void TestPlacement::roomsCascadeInside()
{
    // Three rooms entered one after another: each whole on the screen, each
    // a title bar down and across from the one before.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QList<QRect> frames;
    for (int id : {31, 32, 33}) {
        Lst_user_rooms(QStringLiteral("Lst_room"), roomEntry(id));
        const int i = FindRoom(id);
        QVERIFY(i >= 0);
        QVERIFY(shownFramed(frmRooms.at(i)));
        frames << placedFrame(frmRooms.at(i));
        QVERIFY2(screen.contains(frames.last()), qPrintable(describe(frames.last())));
    }
    for (int i = 1; i < frames.size(); ++i) {
        const QPoint step = frames.at(i).topLeft() - frames.at(i - 1).topLeft();
        QVERIFY2(step.y() >= 20 && step.x() != 0,
                 qPrintable(describe(frames.at(i - 1)) + QStringLiteral(" then ")
                            + describe(frames.at(i))));
    }
}

void TestPlacement::roomsShareTheScreen()
{
    // The demo of two programs: a room entered in each half of the screen
    // lies in its half with its frame, and neither hides the other's chat or
    // send button.
    const QList<QByteArray> halves{"0,0,683,768", "683,0,683,768"};
    QList<FrmRoom *> rooms;
    for (int i = 0; i < halves.size(); ++i) {
        qputenv("VELMAR_WINDOW_AREA", halves.at(i));
        Lst_user_rooms(QStringLiteral("Lst_room"), roomEntry(41 + i));
        const int at = FindRoom(41 + i);
        QVERIFY(at >= 0);
        rooms << frmRooms.at(at);
        QVERIFY(shownFramed(rooms.last()));
    }
    QStringList faults;
    for (int i = 0; i < rooms.size(); ++i) {
        qputenv("VELMAR_WINDOW_AREA", halves.at(i));
        const QRect area = ::windowArea();
        const QRect frame = placedFrame(rooms.at(i));
        const QRect other = placedFrame(rooms.at(1 - i));
        if (!area.contains(frame))
            faults << QStringLiteral("room %1 at %2 outside %3").arg(i).arg(describe(frame), describe(area));
        for (const char *name : {"wTxt", "BSend", "T1"}) {
            const QWidget *part = rooms.at(i)->findChild<QWidget *>(QLatin1String(name));
            if (!part || !part->isVisible()) {
                faults << QStringLiteral("room %1 shows no %2").arg(i).arg(QLatin1String(name));
                continue;
            }
            const QRect placed(part->mapToGlobal(QPoint(0, 0)), part->size());
            // The chat keeps room to read in.
            const int least = qstrcmp(name, "wTxt") == 0 ? 300 : 1;
            if (!frame.contains(placed) || placed.intersects(other) || placed.width() < least)
                faults << QStringLiteral("room %1: %2 at %3, its frame %4, the other room %5")
                              .arg(i).arg(QLatin1String(name), describe(placed), describe(frame),
                                          describe(other));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestPlacement::conversationsCascade()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    FrmPM *first = openPM(QStringLiteral("sara"));
    QVERIFY(shownFramed(first));
    FrmPM *second = openPM(QStringLiteral("omar"));
    QVERIFY(shownFramed(second));
    const QRect a = placedFrame(first);
    const QRect b = placedFrame(second);
    QVERIFY2(screen.contains(a) && screen.contains(b),
             qPrintable(describe(a) + QStringLiteral(", ") + describe(b)));
    // The second does not hide the first one's title bar.
    const int titleBar = first->geometry().top() - a.top();
    QVERIFY2(b.top() - a.top() >= titleBar && b.left() != a.left(),
             qPrintable(describe(a) + QStringLiteral(" then ") + describe(b)));
    // The first shown again is not moved.
    QCOMPARE(openPM(QStringLiteral("sara")), first);
    QCOMPARE(describe(placedFrame(first)), describe(a));
}

VELMAR_WM_TEST_MAIN(TestPlacement, 1366, 768)
#include "tst_placement_wm.moc"
