// Cost of what room traffic does to the user list of a room of 20 and of 200
// users, on screen: one state change (a code 13: a raised hand moving the
// last row to the top, then lowered) and one user joining (a row added, the
// list kept at its size). Both must cost the same in a large room as in a
// small one: a packet moves one row, never reorders the whole list.
#include "mainwindow/cuserlist.h"

#include <QElapsedTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <map>
#include <memory>

namespace {

struct Room
{
    std::unique_ptr<CUserList> list;
    int users = 0;
    int joined = 0;

    QString nick(int n) const { return QStringLiteral("user%1").arg(n); }

    QString lastRow() const
    {
        auto *tree = list->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
        return tree->topLevelItem(tree->topLevelItemCount() - 1)->text(0);
    }

    // The last user raises the hand (moved to the top) and lowers it again.
    void handUpAndDown()
    {
        const QString who = lastRow();
        list->ChangeItemImage(who, QStringLiteral("man"));
        QCoreApplication::processEvents();
        list->ChangeItemImage(who, QStringLiteral("null"));
        QCoreApplication::processEvents();
    }

    // A newcomer joins and the oldest one leaves, so the size stays.
    void join()
    {
        list->AddItem(nick(users + joined), (joined % 7) + 1, false);
        QCoreApplication::processEvents();
        list->RemoveItem(nick(joined));
        ++joined;
        QCoreApplication::processEvents();
    }
};

Room makeRoom(int users)
{
    Room r{std::make_unique<CUserList>(), users, 0};
    r.list->resize(295, 400);
    r.list->show();
    if (!QTest::qWaitForWindowExposed(r.list.get()))
        qWarning("user list not exposed");
    for (int i = 0; i < users; ++i) {
        r.list->AddItem(r.nick(i), i % 5 == 0 ? -101 : (i % 9) + 1, i == 0);
    }
    // A lesson in progress: two speakers, a few hands and cameras.
    r.list->ChangeItemImage(r.nick(1), QStringLiteral("mic"));
    r.list->ChangeItemImage(r.nick(2), QStringLiteral("mic"));
    for (int i = 3; i < users; i += users / 4)
        r.list->ChangeItemImage(r.nick(i), QStringLiteral("man"));
    for (int i = 4; i < users; i += users / 5)
        r.list->CamItem(r.nick(i), true);
    QCoreApplication::processEvents();
    return r;
}

// Median time of one call of step over count calls, in nanoseconds.
template<typename Step>
qint64 medianNs(Step step, int count)
{
    QVector<qint64> times;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        step();
        times << timer.nsecsElapsed();
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

class BenchUserList : public QObject
{
    Q_OBJECT
    std::map<int, Room> rooms;

    Room &room(int users)
    {
        auto it = rooms.find(users);
        if (it == rooms.end())
            it = rooms.emplace(users, makeRoom(users)).first;
        return it->second;
    }

private slots:
    void stateChange_data()
    {
        QTest::addColumn<int>("users");
        QTest::newRow("20 users") << 20;
        QTest::newRow("200 users") << 200;
    }
    void stateChange()
    {
        QFETCH(int, users);
        Room &r = room(users);
        QBENCHMARK { r.handUpAndDown(); }
    }

    void join_data() { stateChange_data(); }
    void join()
    {
        QFETCH(int, users);
        Room &r = room(users);
        QBENCHMARK { r.join(); }
    }

    void ratio()
    {
        struct Measure
        {
            const char *what;
            void (Room::*step)();
        };
        for (const Measure &m : {Measure{"hand up and down (two code 13)", &Room::handUpAndDown},
                                 Measure{"user joins, another leaves", &Room::join}}) {
            qint64 median[2];
            const int sizes[2] = {20, 200};
            for (int i = 0; i < 2; ++i) {
                Room r = makeRoom(sizes[i]);
                median[i] = medianNs([&] { (r.*m.step)(); }, 400);
            }
            qInfo("%s: %.1f us in a room of 20, %.1f us in a room of 200; ratio 200:20 = %.2f",
                  m.what, median[0] / 1000.0, median[1] / 1000.0,
                  double(median[1]) / double(median[0]));
        }
    }

    void cleanupTestCase() { rooms.clear(); }
};

QTEST_MAIN(BenchUserList)
#include "bench_userlist.moc"
