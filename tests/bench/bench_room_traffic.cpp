// Cost of room packets through the framing, the dispatch, the room handlers
// and the room window, on screen, in rooms of 10, 100, 1,000 and 5,000 users
// where every fifth user has a raised hand and every seventh a camera, and a
// student is clicked:
// - a code 13 state change (the last user raises the hand, then lowers it)
//   and a code 12 line from a peer, which should cost the same in a large
//   room as in a small one;
// - entering the room (a code 10 list of all its users, an open room
//   refreshed);
// - a burst of code 13 raised hands, one from every user, written at once by
//   a loopback server to the client's own socket;
// - the room chooser's code 8 list of 40, 400, 4,000 and 40,000 rooms into
//   an empty table.
// The last three are the client held busy, until the lists are drawn.
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/frmgroup.h"
#include "rooms/frmroom.h"
#include "roomsizes.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QVector<int> kSizes = {10, 100, 1000, 5000};
const QVector<int> kChooserSizes = {40, 400, 4000, 40000};
const QByteArray kKeepAlive = wirePacket(45, "test", "");

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Bytes as the socket would hand them to the client.
void feed(const QByteArray &bytes) { Protocole_ZQV(bytes); }

QByteArray nick(int n) { return "user" + QByteArray::number(n); }

int roomId(int users) { return 1000 + users; }

// Every fifth user with a raised hand, every seventh with a camera, two
// speakers.
QByteArray entryPacket(int id, int users)
{
    QByteArray list;
    list.reserve(users * 80);
    for (int i = 0; i < users; ++i) {
        if (i)
            list += "<>";
        list += "nick:" + nick(i) + "|admin:" + QByteArray(i == 0 ? "1" : "0") + "|type:"
                + QByteArray::number(i % 5 == 0 ? -101 : (i % 9) + 1) + "|red:0|cam:"
                + QByteArray(i % 7 == 6 ? "1" : "0") + "|mic:" + QByteArray(i == 1 || i == 2 ? "1" : "0")
                + "|hand:" + QByteArray(i % 5 == 4 ? "1" : "0") + "|granted:0";
    }
    return wirePacket(10, "Lst_room",
                      "id:" + QByteArray::number(id)
                          + "|name:Room|owner:T|titre:Lesson|sabora:0|a:0|b:0|c:0|d:0|mobachir:0||"
                          + list);
}

QTreeWidget *treeOf(FrmRoom *w) { return w->findChild<QTreeWidget *>(QStringLiteral("treeWidget")); }

FrmRoom *enterRoom(int users)
{
    feed(entryPacket(roomId(users), users));
    FrmRoom *w = frmRooms.at(FindRoom(roomId(users)));
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("room not exposed");
    QTreeWidget *tree = treeOf(w);
    tree->setCurrentItem(tree->topLevelItem(std::min(7, users - 1)));
    settle();
    return w;
}

qint64 handUpAndDown(FrmRoom *w)
{
    QTreeWidget *tree = treeOf(w);
    const QByteArray who = tree->topLevelItem(tree->topLevelItemCount() - 1)->text(0).toUtf8();
    const QByteArray room = QByteArray::number(w->getID());
    const QByteArray up = wirePacket(13, "man", who + "|" + room + "|0|0");
    const QByteArray down = wirePacket(13, "man-no", who + "|" + room + "|0|0");
    return timedNs([&] {
        feed(up);
        settle();
        feed(down);
        settle();
    });
}

qint64 peerLine(FrmRoom *w, int n)
{
    const QByteArray line = wirePacket(12, "all", nick(3 + n % 2) + "|" + QByteArray::number(w->getID())
                                                      + "|line " + QByteArray::number(n)
                                                      + " <b>of</b> the lesson");
    return timedNs([&] {
        feed(line);
        settle();
    });
}

} // namespace

class BenchRoomTraffic : public QObject
{
    Q_OBJECT
    LoopbackPeer peer;
    QVector<FrmRoom *> rooms;

    // Writes bytes from the server and returns once the client has answered
    // the keep-alive written after them and drawn what they changed.
    void deliver(const QByteArray &bytes)
    {
        peer.send(bytes + kKeepAlive);
        QByteArray got;
        QElapsedTimer limit;
        limit.start();
        while (!got.endsWith(kKeepAlive)) {
            QCoreApplication::processEvents();
            got += peer.takeAtLeast(0, 0);
            if (limit.elapsed() > 600000) {
                qWarning("the keep-alive was not answered");
                break;
            }
        }
        settle();
    }

    // One raised hand from every user of the room, written at once.
    QByteArray burstOf(FrmRoom *w, int users, const char *word)
    {
        QByteArray out;
        const QByteArray room = QByteArray::number(w->getID());
        for (int i = 0; i < users; ++i)
            out += wirePacket(13, word, nick(i) + "|" + room + "|0|0");
        return out;
    }

private slots:
    void initTestCase()
    {
        indexLang = 2;
        r_radio = QStringLiteral("127.0.0.1:9");
        FrmUser::keepAlivePeriod = 3600 * 1000;
        frmusr = new FrmUser(nullptr);
        frmusr->setUSER(QStringLiteral("me"));
        QVERIFY(peer.connectClient());
        for (int users : kSizes)
            rooms << enterRoom(users);
    }

    void stateChange()
    {
        const QVector<double> us = interleavedMediansUs(
            kSizes.size(), 61, [this](int s, int) { return handUpAndDown(rooms.at(s)); });
        reportSizes("code 13 hand up and down", kSizes, "users", us);
    }

    void roomLine()
    {
        const QVector<double> us = interleavedMediansUs(
            kSizes.size(), 61, [this](int s, int n) { return peerLine(rooms.at(s), n); });
        reportSizes("code 12 peer line", kSizes, "users", us);
    }

    void entering()
    {
        QVector<QByteArray> packets;
        for (int users : kSizes)
            packets << entryPacket(roomId(users), users);
        const QVector<double> us = interleavedMediansUs(kSizes.size(), 7, [&](int s, int) {
            return timedNs([&] {
                feed(packets.at(s));
                settle();
            });
        });
        reportSizes("entering a room (code 10)", kSizes, "users", us);
        QCOMPARE(treeOf(rooms.last())->topLevelItemCount(), kSizes.last());
    }

    void handBurst()
    {
        const QVector<double> us = interleavedMediansUs(kSizes.size(), 5, [&](int s, int) {
            FrmRoom *w = rooms.at(s);
            const QByteArray raise = burstOf(w, kSizes.at(s), "man");
            const qint64 ns = timedNs([&] { deliver(raise); });
            deliver(burstOf(w, kSizes.at(s), "man-no"));
            return ns;
        });
        reportSizes("burst: every user raises the hand", kSizes, "users", us);
    }

    void chooser()
    {
        feed(wirePacket(8, "Group", "1:Lessons"));
        QVERIFY(frmgrup);
        QVERIFY(QTest::qWaitForWindowExposed(frmgrup));
        QVector<QByteArray> lists;
        for (int count : kChooserSizes) {
            QByteArray body;
            for (int i = 0; i < count; ++i)
                body += QByteArray::number(i + 1) + ":Room " + QByteArray::number(i + 1) + ":"
                        + QByteArray::number(i % 40) + ":" + QByteArray(i % 3 ? "0" : "1") + "|";
            lists << wirePacket(8, "Rooms", body);
        }
        const QByteArray none = wirePacket(8, "Rooms", "");
        const QVector<double> us = interleavedMediansUs(kChooserSizes.size(), 7, [&](int s, int) {
            // Into an empty table: emptying it costs what the list held.
            feed(none);
            settle();
            return timedNs([&] {
                feed(lists.at(s));
                settle();
            });
        });
        reportSizes("room chooser list (code 8)", kChooserSizes, "rooms", us);
        auto *table = frmgrup->findChild<QTableWidget *>(QStringLiteral("table1"));
        QCOMPARE(table->rowCount(), kChooserSizes.first());
        delete frmgrup;
    }

    void cleanupTestCase()
    {
        qDeleteAll(rooms);
        delete frmusr;
    }
};

QTEST_MAIN(BenchRoomTraffic)
#include "bench_room_traffic.moc"
