// Cost of what room traffic does to the user list alone, on screen, in rooms
// of 10, 100, 1,000 and 5,000 users with a lesson in progress and a current
// row (the teacher clicked a student): one state change (a code 13: the last
// user raises the hand, which moves the row up to the hands, then lowers it)
// and one user joining while another leaves. Each should cost the same in a
// large room as in a small one: a packet moves one row, never the list.
#include "mainwindow/cuserlist.h"
#include "roomsizes.h"

#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QVector<int> kSizes = {10, 100, 1000, 5000};

// Until the view has laid out and drawn what the step changed.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

struct Room
{
    std::unique_ptr<CUserList> list;
    int users = 0;
    int joined = 0;

    QString nick(int n) const { return QStringLiteral("user%1").arg(n); }

    QTreeWidget *tree() const { return list->findChild<QTreeWidget *>(QStringLiteral("treeWidget")); }

    QString lastRow() const
    {
        return tree()->topLevelItem(tree()->topLevelItemCount() - 1)->text(0);
    }

    // The last user raises the hand (moved up to the hands) and lowers it.
    qint64 handUpAndDown()
    {
        const QString who = lastRow();
        return timedNs([&] {
            list->ChangeItemImage(who, QStringLiteral("man"));
            settle();
            list->ChangeItemImage(who, QStringLiteral("null"));
            settle();
        });
    }

    // A newcomer joins and the oldest one leaves, so the size stays.
    qint64 join()
    {
        const QString in = nick(users + joined), out = nick(joined);
        ++joined;
        return timedNs([&] {
            list->AddItem(in, (joined % 7) + 1, false);
            settle();
            list->RemoveItem(out);
            settle();
        });
    }
};

std::unique_ptr<Room> makeRoom(int users)
{
    auto r = std::make_unique<Room>();
    r->list = std::make_unique<CUserList>();
    r->users = users;
    r->list->resize(295, 400);
    r->list->show();
    if (!QTest::qWaitForWindowExposed(r->list.get()))
        qWarning("user list not exposed");
    for (int i = 0; i < users; ++i)
        r->list->AddItem(r->nick(i), i % 5 == 0 ? -101 : (i % 9) + 1, i == 0);
    // A lesson in progress: two speakers, three hands and four cameras
    // whatever the size, and a student clicked.
    r->list->ChangeItemImage(r->nick(1), QStringLiteral("mic"));
    r->list->ChangeItemImage(r->nick(2), QStringLiteral("mic"));
    for (int i = 3; i < 6; ++i)
        r->list->ChangeItemImage(r->nick(i), QStringLiteral("man"));
    for (int i = 6; i < 10; ++i)
        r->list->CamItem(r->nick(i), true);
    r->tree()->setCurrentItem(r->tree()->topLevelItem(std::min(7, users - 1)));
    settle();
    return r;
}

} // namespace

class BenchUserList : public QObject
{
    Q_OBJECT
    std::vector<std::unique_ptr<Room>> rooms;

private slots:
    void initTestCase()
    {
        for (int users : kSizes)
            rooms.push_back(makeRoom(users));
    }

    void stateChange()
    {
        const QVector<double> us = interleavedMediansUs(
            kSizes.size(), 61, [this](int s, int) { return rooms.at(s)->handUpAndDown(); });
        reportSizes("hand up and down (two code 13)", kSizes, "users", us);
    }

    void join()
    {
        const QVector<double> us = interleavedMediansUs(
            kSizes.size(), 61, [this](int s, int) { return rooms.at(s)->join(); });
        reportSizes("user joins, another leaves", kSizes, "users", us);
    }

    void cleanupTestCase() { rooms.clear(); }
};

QTEST_MAIN(BenchUserList)
#include "bench_userlist.moc"
