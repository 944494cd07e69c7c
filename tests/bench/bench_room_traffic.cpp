// Cost of one room packet through the dispatch, the room handlers and the
// room window, on screen, in a room of 20 and of 200 users: a code 13 state
// change (the last user raises the hand, then lowers it) and a code 12 line
// from a peer. Each must cost the same in a large room as in a small one.
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/frmroom.h"
#include "support/wire.h"

#include <QElapsedTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

namespace {

void dispatch(qint16 code, const QByteArray &name, const QByteArray &body)
{
    ExtractCmd(wireHeader(code, name, body.size()), body);
}

QByteArray nick(int n) { return "user" + QByteArray::number(n); }

// Enters room id with users listed: two speakers, three hands and four
// cameras whatever its size, so rooms differ only in their number of users.
FrmRoom *enterRoom(int id, int users)
{
    QByteArray list;
    for (int i = 0; i < users; ++i) {
        if (i)
            list += "<>";
        list += "nick:" + nick(i) + "|admin:" + QByteArray(i == 0 ? "1" : "0") + "|type:"
                + QByteArray::number(i % 5 == 0 ? -101 : (i % 9) + 1) + "|red:0|cam:"
                + QByteArray(i >= 6 && i < 10 ? "1" : "0") + "|mic:"
                + QByteArray(i == 1 || i == 2 ? "1" : "0") + "|hand:"
                + QByteArray(i >= 3 && i < 6 ? "1" : "0") + "|granted:0";
    }
    dispatch(10, "Lst_room",
             "id:" + QByteArray::number(id) + "|name:Room|owner:T|titre:Lesson|sabora:0|a:0|b:0|c:0|d:0"
                 "|mobachir:0||" + list);
    FrmRoom *w = frmRooms.at(FindRoom(id));
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("room not exposed");
    return w;
}

QString lastRow(FrmRoom *w)
{
    auto *tree = w->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    return tree->topLevelItem(tree->topLevelItemCount() - 1)->text(0);
}

void handUpAndDown(FrmRoom *w)
{
    const QByteArray who = lastRow(w).toUtf8();
    const QByteArray room = QByteArray::number(w->getID());
    dispatch(13, "man", who + "|" + room + "|0|0");
    QCoreApplication::processEvents();
    dispatch(13, "man-no", who + "|" + room + "|0|0");
    QCoreApplication::processEvents();
}

void peerLine(FrmRoom *w, int n)
{
    dispatch(12, "all", nick(3 + n % 2) + "|" + QByteArray::number(w->getID()) + "|line "
                            + QByteArray::number(n) + " <b>of</b> the lesson");
    QCoreApplication::processEvents();
}

template<typename Step>
qint64 medianNs(Step step, int count)
{
    QVector<qint64> times;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        step(i);
        times << timer.nsecsElapsed();
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

class BenchRoomTraffic : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        indexLang = 2;
        r_radio = QStringLiteral("127.0.0.1:9");
        frmusr = new FrmUser(nullptr);
        frmusr->setUSER(QStringLiteral("me"));
    }

    void stateChange_data()
    {
        QTest::addColumn<int>("users");
        QTest::newRow("20 users") << 20;
        QTest::newRow("200 users") << 200;
    }
    void stateChange()
    {
        QFETCH(int, users);
        FrmRoom *w = enterRoom(users, users);
        QBENCHMARK { handUpAndDown(w); }
        delete w;
    }

    void roomLine_data() { stateChange_data(); }
    void roomLine()
    {
        QFETCH(int, users);
        FrmRoom *w = enterRoom(users, users);
        int n = 0;
        QBENCHMARK { peerLine(w, n++); }
        delete w;
    }

    void ratio()
    {
        const int sizes[2] = {20, 200};
        qint64 state[2], line[2];
        for (int i = 0; i < 2; ++i) {
            FrmRoom *w = enterRoom(1000 + sizes[i], sizes[i]);
            state[i] = medianNs([w](int) { handUpAndDown(w); }, 300);
            line[i] = medianNs([w](int n) { peerLine(w, n); }, 300);
            delete w;
        }
        qInfo("code 13 hand up and down: %.1f us in a room of 20, %.1f us in a room of 200;"
              " ratio 200:20 = %.2f",
              state[0] / 1000.0, state[1] / 1000.0, double(state[1]) / double(state[0]));
        qInfo("code 12 peer line: %.1f us in a room of 20, %.1f us in a room of 200;"
              " ratio 200:20 = %.2f",
              line[0] / 1000.0, line[1] / 1000.0, double(line[1]) / double(line[0]));
    }

    void cleanupTestCase() { delete frmusr; }
};

QTEST_MAIN(BenchRoomTraffic)
#include "bench_room_traffic.moc"
