// The room user list offscreen: the picture and colour of every user type,
// the state icons with and without the camera, the ordering and the
// microphone count through sequences of state changes, the selection while
// rows move, attendance rows, the context-menu signal and odd nicknames.
#include "mainwindow/cuserlist.h"

#include <QContextMenuEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

namespace {

QTreeWidget *treeOf(CUserList &l) { return l.findChild<QTreeWidget *>(QStringLiteral("treeWidget")); }

// Column-0 texts of the user rows, top to bottom.
QString order(CUserList &l)
{
    QStringList out;
    QTreeWidget *t = treeOf(l);
    for (int i = 0; i < t->topLevelItemCount(); ++i)
        out << t->topLevelItem(i)->text(0);
    return out.join(QLatin1Char(','));
}

QTreeWidgetItem *rowOf(CUserList &l, const QString &text)
{
    const auto found = treeOf(l)->findItems(text, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.first();
}

// Pictures are compared as the pixmaps hold them (premultiplied): a round
// trip back to straight alpha rounds differently from one CPU to another.
QImage imageOf(const QIcon &icon)
{
    if (icon.isNull())
        return QImage();
    return icon.pixmap(QSize(50, 26)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage picture(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage statePicture(const char *name)
{
    return picture(QStringLiteral(":/Resources/icons/usr/%1.png").arg(QLatin1String(name)));
}

void addAll(CUserList &l, const QString &nicks)
{
    for (const QString &n : nicks.split(QLatin1Char(','), Qt::SkipEmptyParts))
        l.AddItem(n, 1, false);
}

// Runs steps "verb:nick[:arg]" separated by spaces: add (type arg, marked
// when the nick begins with "@"), state, cam, nocam, remove, clear, up (the
// MvChange of a row index given as nick).
void run(CUserList &l, const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList p = step.split(QLatin1Char(':'));
        const QString verb = p.value(0), nick = p.value(1), arg = p.value(2);
        if (verb == QLatin1String("add"))
            l.AddItem(nick.startsWith(QLatin1Char('@')) ? nick.mid(1) : nick, arg.toInt(),
                      nick.startsWith(QLatin1Char('@')));
        else if (verb == QLatin1String("state"))
            l.ChangeItemImage(nick, arg);
        else if (verb == QLatin1String("cam"))
            l.CamItem(nick, true);
        else if (verb == QLatin1String("nocam"))
            l.CamItem(nick, false);
        else if (verb == QLatin1String("remove"))
            l.RemoveItem(nick);
        else if (verb == QLatin1String("clear"))
            l.ClearItem();
        else if (verb == QLatin1String("up"))
            l.MvChange(nick.toInt());
        else
            QFAIL(qPrintable(QStringLiteral("bad step ") + step));
    }
}


// The list as the rules describe it, step by step on a plain vector: every
// lookup a scan for the first row of the nickname, every reordering the three
// stable passes.
struct ReferenceList
{
    struct Row
    {
        QString text, state;
        bool cam = false;
    };
    QVector<Row> rows;

    static QString strip(const QString &nick) { return nick.startsWith(QLatin1Char('@')) ? nick.mid(1) : nick; }
    int find(const QString &nick) const
    {
        for (int i = 0; i < rows.size(); ++i) {
            if (rows.at(i).text == nick || rows.at(i).text == QLatin1Char('@') + nick)
                return i;
        }
        return -1;
    }
    void add(const QString &nick, bool marked)
    {
        remove(nick);
        rows.append({marked ? QLatin1Char('@') + nick : nick, QStringLiteral("null"), false});
    }
    void remove(const QString &nick)
    {
        const int i = find(strip(nick));
        if (i >= 0)
            rows.remove(i);
    }
    void state(const QString &nick, const QString &word)
    {
        const int i = find(strip(nick));
        if (i >= 0)
            rows[i].state = word;
        reorder();
    }
    void cam(const QString &nick, bool on)
    {
        const int i = find(strip(nick));
        if (i < 0)
            return;
        rows[i].cam = on;
        state(nick, rows.at(i).state);
    }
    void up(int row)
    {
        if (row > 0 && row < rows.size())
            std::swap(rows[row], rows[row - 1]);
    }
    void reorder()
    {
        auto pass = [this](auto test) {
            int k = 0;
            for (int p = 0; p < rows.size(); ++p) {
                if (test(rows.at(p))) {
                    for (int q = p; q > k; --q)
                        up(q);
                    ++k;
                }
            }
        };
        pass([](const Row &r) { return r.cam; });
        pass([](const Row &r) { return r.state == QLatin1String("man") || r.state == QLatin1String("cam-man"); });
        pass([](const Row &r) { return r.state == QLatin1String("mic") || r.state == QLatin1String("cam-mic"); });
    }
    int mics() const
    {
        int n = 0;
        for (const Row &r : rows)
            n += r.state == QLatin1String("mic") || r.state == QLatin1String("cam-mic");
        return n;
    }
    QString iconName(const Row &r) const
    {
        if (!r.cam)
            return r.state;
        return r.state == QLatin1String("null") ? QStringLiteral("cam") : QStringLiteral("cam-") + r.state;
    }
};

// Text, state word and camera column of every row, top to bottom.
QStringList rowsOf(CUserList &l)
{
    QStringList out;
    QTreeWidget *t = treeOf(l);
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = t->topLevelItem(i);
        out << item->text(0) + QLatin1Char('/') + item->text(2) + QLatin1Char('/') + item->text(3);
    }
    return out;
}

QStringList rowsOf(const ReferenceList &r)
{
    QStringList out;
    for (const ReferenceList::Row &row : r.rows)
        out << row.text + QLatin1Char('/') + row.state + QLatin1Char('/')
                   + (row.cam ? QStringLiteral("cam") : QString());
    return out;
}
} // namespace

class TestCUserList : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        CUserList l;
        QTreeWidget *t = treeOf(l);
        QVERIFY(t);
        QCOMPARE(t->columnCount(), 5);
        QCOMPARE(t->columnWidth(0), 200);
        QCOMPARE(t->columnWidth(1), 53);
        QCOMPARE(t->columnWidth(2), 0);
        QVERIFY(t->isHeaderHidden());
        QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(t->iconSize(), QSize(50, 26));
        QCOMPARE(l.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(l.GetTotalMic(), 0);
        QCOMPARE(l.SelectedItem(), QString());
    }

    void userTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("picture");   // empty: the member badge
        QTest::addColumn<QColor>("colour");
        const QString u = QStringLiteral(":/Resources/users/");
        QTest::newRow("visitor") << 0 << false << u + "za.png" << QColor(Qt::black);
        QTest::newRow("member 5") << 5 << false << QString() << QColor(Qt::blue);
        QTest::newRow("member 12") << 12 << true << QString() << QColor(Qt::blue);
        QTest::newRow("-99") << -99 << false << u + "ta.png" << QColor(Qt::blue);
        QTest::newRow("-100") << -100 << false << u + "mosh.png" << QColor(Qt::red);
        QTest::newRow("teacher, marked") << -101 << true << u + "ostad.png" << QColor(Qt::darkGreen);
        QTest::newRow("-102") << -102 << false << u + "ti.png" << QColor(Qt::darkGreen);
        QTest::newRow("-103") << -103 << false << u + "adm.png" << QColor(Qt::darkGreen);
        QTest::newRow("-104") << -104 << false << u + "idar.png" << QColor(Qt::red);
        QTest::newRow("-98") << -98 << false << u + "null.png" << QColor(Qt::black);
        QTest::newRow("-105") << -105 << false << u + "null.png" << QColor(Qt::black);
    }
    void userTypes()
    {
        QFETCH(int, type);
        QFETCH(bool, marked);
        QFETCH(QString, picture);
        QFETCH(QColor, colour);
        CUserList l;
        l.AddItem(QStringLiteral("ali"), type, marked);
        const QString text = marked ? QStringLiteral("@ali") : QStringLiteral("ali");
        QTreeWidgetItem *row = rowOf(l, text);
        QVERIFY(row);
        QCOMPARE(row->foreground(0).color(), colour);
        QCOMPARE(row->foreground(0).style(), Qt::SolidPattern);
        const QImage expected = picture.isEmpty()
            ? CUserList::createPix(QString::number(type)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)
            : ::picture(picture);
        QCOMPARE(imageOf(row->icon(1)), expected);
        QCOMPARE(imageOf(row->icon(0)), statePicture("null"));
        QCOMPARE(row->text(2), QStringLiteral("null"));
        QCOMPARE(row->text(3), QString());
    }

    void memberBadge()
    {
        const QImage base = picture(QStringLiteral(":/Resources/users/0.png"));
        const QImage five = CUserList::createPix(QStringLiteral("5")).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(five.size(), QSize(50, 26));
        QVERIFY(five != CUserList::createPix(QStringLiteral("7")).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
        int red = 0;
        for (int y = 0; y < 26; ++y) {
            for (int x = 0; x < 50; ++x) {
                const QColor c = five.pixelColor(x, y);
                if (x >= 4 && x < 24 && y >= 6) {
                    red += c.red() > 150 && c.green() < 90 && c.blue() < 90;
                } else {
                    QCOMPARE(five.pixel(x, y), base.pixel(x, y));
                }
            }
        }
        QVERIFY2(red > 5, "the cohort number is drawn in red inside its box");
    }

    void sameNicknameTwiceLeavesOneRow()
    {
        CUserList l;
        l.AddItem(QStringLiteral("ali"), 5, false);
        l.AddItem(QStringLiteral("ali"), 5, false);
        QCOMPARE(order(l), QStringLiteral("ali"));
        // The mark does not make a second row either.
        l.AddItem(QStringLiteral("@ali"), -101, false);
        l.AddItem(QStringLiteral("ali"), -101, true);
        QCOMPARE(order(l), QStringLiteral("@ali"));
    }

    void ordering_data()
    {
        QTest::addColumn<QString>("users");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("mics");
        QTest::newRow("camera first") << "a,b,c,d" << "cam:d" << "d,a,b,c" << 0;
        QTest::newRow("then a hand") << "a,b,c,d" << "cam:d state:c:man" << "c,d,a,b" << 0;
        QTest::newRow("then a microphone")
            << "a,b,c,d" << "cam:d state:c:man state:b:mic" << "b,c,d,a" << 1;
        QTest::newRow("hands keep their order") << "a,b,c,d,e" << "state:e:man state:b:man"
                                                << "e,b,a,c,d" << 0;
        QTest::newRow("hand lowered goes below the hands")
            << "a,b,c,d,e" << "state:e:man state:b:man state:e:null" << "b,e,a,c,d" << 0;
        QTest::newRow("camera breaks ties among microphones")
            << "a,b,c" << "state:a:mic state:b:mic cam:b" << "b,a,c" << 2;
        QTest::newRow("granted and red rows stay with the rest")
            << "a,b,c,d" << "state:c:mic-n state:d:red state:b:man" << "b,a,c,d" << 0;
        QTest::newRow("microphone given back") << "a,b,c" << "state:c:mic state:c:null" << "c,a,b" << 0;
        QTest::newRow("camera off") << "a,b,c" << "cam:c nocam:c" << "c,a,b" << 0;
        QTest::newRow("unknown nickname still reorders")
            << "a,b" << "state:a:mic up:1 state:nobody:mic" << "a,b" << 1;
        QTest::newRow("swap above") << "a,b,c" << "up:2" << "a,c,b" << 0;
        QTest::newRow("swap of row 0 does nothing") << "a,b,c" << "up:0 up:3 up:-1" << "a,b,c" << 0;
        QTest::newRow("new rows come last") << "a,b" << "state:b:mic add:c:3" << "b,a,c" << 1;
        QTest::newRow("marked user found without the mark")
            << "a,b" << "add:@t:-101 state:t:mic state:@a:man" << "@t,a,b" << 1;
        QTest::newRow("remove a speaker recounts") << "a,b,c" << "state:a:mic state:b:mic remove:a"
                                                   << "b,c" << 1;
        QTest::newRow("remove the marked speaker by either name")
            << "a" << "add:@t:-101 state:t:mic remove:@t" << "a" << 0;
        QTest::newRow("re-adding a speaker recounts") << "a,b" << "state:a:mic add:a:1" << "b,a" << 0;
        QTest::newRow("clear recounts") << "a,b" << "state:a:mic state:b:mic clear" << "" << 0;
        QTest::newRow("camera speaker icon word counts") << "a,b" << "state:b:cam-mic" << "b,a" << 1;
        QTest::newRow("state of an unknown word stays last")
            << "a,b,c" << "state:a:../../x state:c:man" << "c,a,b" << 0;
    }
    void ordering()
    {
        QFETCH(QString, users);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        QFETCH(int, mics);
        CUserList l;
        addAll(l, users);
        run(l, steps);
        QCOMPARE(order(l), expected);
        QCOMPARE(l.GetTotalMic(), mics);
    }

    // A long room reorders like the step-by-step passes would.
    void orderingMatchesThePasses()
    {
        CUserList l;
        QStringList rows;
        for (int i = 0; i < 60; ++i) {
            rows << QStringLiteral("u%1").arg(i);
            l.AddItem(rows.last(), 1, false);
        }
        QMap<QString, QString> state;
        QSet<QString> cams;
        const char *words[] = {"null", "mic", "man", "red", "mic-n"};
        for (int step = 0; step < 400; ++step) {
            const QString nick = QStringLiteral("u%1").arg((step * 37 + 11) % 60);
            if (step % 5 == 0) {
                const bool on = !cams.contains(nick);
                if (on)
                    cams.insert(nick);
                else
                    cams.remove(nick);
                l.CamItem(nick, on);
            } else {
                state[nick] = QLatin1String(words[(step * 7) % 5]);
                l.ChangeItemImage(nick, state[nick]);
            }
            // The three stable passes, done on a plain list.
            auto pass = [&](auto test) {
                QStringList moved, rest;
                for (const QString &r : qAsConst(rows))
                    (test(r) ? moved : rest) << r;
                rows = moved + rest;
            };
            pass([&](const QString &r) { return cams.contains(r); });
            pass([&](const QString &r) { return state.value(r) == QLatin1String("man"); });
            pass([&](const QString &r) { return state.value(r) == QLatin1String("mic"); });
            QCOMPARE(order(l), rows.join(QLatin1Char(',')));
        }
    }

    // Random joins, leaves, re-entries under the mark, state and camera
    // changes, swaps, clears and turns of the event loop, against the
    // reference: the same rows in the same order with the same states, the
    // same speaker count, and the selection going with its user while the
    // current row keeps its index. Nicknames that collide through the "@"
    // mark, and long ones that take more than one line, are among them.
    void randomWalkMatchesTheReference_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("shown");
        for (quint32 seed : {1u, 2u, 3u}) {
            QTest::addRow("seed %u, hidden", seed) << seed << false;
            QTest::addRow("seed %u, on screen", seed) << seed << true;
        }
    }
    void randomWalkMatchesTheReference()
    {
        QFETCH(quint32, seed);
        QFETCH(bool, shown);
        QRandomGenerator random(seed);
        QStringList nicks;
        for (int i = 0; i < 40; ++i)
            nicks << QStringLiteral("u%1").arg(i);
        nicks << "x" << "@x" << "@@x" << "" << "@" << QString::fromUtf8("أحمد")
              << "a nickname long enough to take two lines or more in the list"
              << "line\nbreak";
        const QStringList words = {"null", "mic", "man", "red", "mic-n", "cam-mic", "cam-man", "xyz"};

        CUserList l;
        QTreeWidget *t = treeOf(l);
        if (shown) {
            l.resize(278, 300);
            l.show();
            QVERIFY(QTest::qWaitForWindowExposed(&l));
        }
        ReferenceList ref;
        // The selected user and the current row's index, while only moves
        // happen.
        QString selected;
        int current = -1;
        for (int step = 0; step < 3000; ++step) {
            const QString nick = nicks.at(random.bounded(nicks.size()));
            const int action = random.bounded(100);
            QString what;
            if (action < 20) {
                const bool marked = random.bounded(2);
                what = QStringLiteral("add %1%2").arg(nick, marked ? " marked" : "");
                l.AddItem(nick, 1, marked);
                ref.add(nick, marked);
                current = -1;
            } else if (action < 28) {
                what = QStringLiteral("remove ") + nick;
                l.RemoveItem(nick);
                ref.remove(nick);
                current = -1;
            } else if (action < 63) {
                const QString word = words.at(random.bounded(words.size()));
                what = QStringLiteral("state %1 %2").arg(nick, word);
                l.ChangeItemImage(nick, word);
                ref.state(nick, word);
            } else if (action < 76) {
                const bool on = random.bounded(2);
                what = QStringLiteral("camera %1 %2").arg(nick).arg(on);
                l.CamItem(nick, on);
                ref.cam(nick, on);
            } else if (action < 79) {
                const int row = random.bounded(ref.rows.size() + 2) - 1;
                what = QStringLiteral("swap up %1").arg(row);
                l.MvChange(row);
                ref.up(row);
            } else if (action < 80) {
                what = QStringLiteral("clear");
                l.ClearItem();
                ref.rows.clear();
                current = -1;
            } else if (action < 92) {
                what = QStringLiteral("events");
                QCoreApplication::processEvents();
            } else if (!ref.rows.isEmpty()) {
                current = random.bounded(ref.rows.size());
                what = QStringLiteral("click %1").arg(current);
                t->setCurrentItem(t->topLevelItem(current));
                selected = ref.rows.at(current).text;
            }
            const QByteArray where = QStringLiteral("step %1 (%2)").arg(step).arg(what).toUtf8();
            QVERIFY2(rowsOf(l) == rowsOf(ref), where.constData());
            QVERIFY2(l.GetTotalMic() == ref.mics(), where.constData());
            if (current >= 0) {
                const QList<QTreeWidgetItem *> chosen = t->selectedItems();
                QVERIFY2(chosen.size() == 1 && chosen.first()->text(0) == selected, where.constData());
                QVERIFY2(t->indexOfTopLevelItem(t->currentItem()) == current, where.constData());
            }
        }
        for (int i = 0; i < ref.rows.size(); ++i) {
            const QString icon = ref.iconName(ref.rows.at(i));
            if (icon == QLatin1String("xyz") || icon.startsWith(QLatin1String("cam-cam")))
                QVERIFY(t->topLevelItem(i)->icon(0).isNull());
            else
                QCOMPARE(imageOf(t->topLevelItem(i)->icon(0)), statePicture(qPrintable(icon)));
        }
    }

    void stateIcons_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("icon");   // empty: no icon
        QTest::addColumn<QString>("word");
        QTest::newRow("microphone") << "state:a:mic" << "mic" << "mic";
        QTest::newRow("granted") << "state:a:mic-n" << "mic-n" << "mic-n";
        QTest::newRow("hand") << "state:a:man" << "man" << "man";
        QTest::newRow("red") << "state:a:red" << "red" << "red";
        QTest::newRow("camera, nothing else") << "cam:a state:a:null" << "cam" << "null";
        QTest::newRow("camera and microphone") << "cam:a state:a:mic" << "cam-mic" << "mic";
        QTest::newRow("camera turned on over a hand") << "state:a:man cam:a" << "cam-man" << "man";
        QTest::newRow("camera and red") << "state:a:red cam:a" << "cam-red" << "red";
        QTest::newRow("camera and granted") << "state:a:mic-n cam:a" << "cam-mic-n" << "mic-n";
        QTest::newRow("camera off keeps the word") << "cam:a state:a:mic nocam:a" << "mic" << "mic";
        QTest::newRow("unknown word") << "state:a:xyz" << "" << "xyz";
        QTest::newRow("path in the word") << "state:a:../../../users/za" << "" << "../../../users/za";
        QTest::newRow("cam word with camera") << "cam:a state:a:cam-mic" << "" << "cam-mic";
    }
    void stateIcons()
    {
        QFETCH(QString, steps);
        QFETCH(QString, icon);
        QFETCH(QString, word);
        CUserList l;
        addAll(l, QStringLiteral("a"));
        run(l, steps);
        QTreeWidgetItem *row = rowOf(l, QStringLiteral("a"));
        QVERIFY(row);
        QCOMPARE(row->text(2), word);
        if (icon.isEmpty())
            QVERIFY(row->icon(0).isNull());
        else
            QCOMPARE(imageOf(row->icon(0)), statePicture(qPrintable(icon)));
    }

    // The selection goes with the user; the current row keeps its index,
    // whether the rows trade contents (the view settled) or the items move
    // (a layout of the view still due).
    void selectionWhileRowsMove_data()
    {
        QTest::addColumn<bool>("settled");
        QTest::newRow("items move") << false;
        QTest::newRow("contents shift") << true;
    }
    void selectionWhileRowsMove()
    {
        QFETCH(bool, settled);
        CUserList l;
        addAll(l, QStringLiteral("a,b,c,d"));
        if (settled)
            QCoreApplication::processEvents();
        QTreeWidget *t = treeOf(l);
        t->setCurrentItem(rowOf(l, QStringLiteral("c")));
        QCOMPARE(l.SelectedItem(), QStringLiteral("c"));
        l.ChangeItemImage(QStringLiteral("d"), QStringLiteral("mic"));
        QCOMPARE(order(l), QStringLiteral("d,a,b,c"));
        QVERIFY(rowOf(l, QStringLiteral("c"))->isSelected());
        QCOMPARE(t->selectedItems().size(), 1);
        QCOMPARE(t->indexOfTopLevelItem(t->currentItem()), 2);
        QCOMPARE(l.SelectedItem(), QStringLiteral("b"));
        // The current row itself moving keeps its index as well.
        l.ChangeItemImage(QStringLiteral("b"), QStringLiteral("man"));
        QCOMPARE(order(l), QStringLiteral("d,b,a,c"));
        QCOMPARE(t->indexOfTopLevelItem(t->currentItem()), 2);
        QCOMPARE(l.SelectedItem(), QStringLiteral("a"));
        QVERIFY(rowOf(l, QStringLiteral("c"))->isSelected());
    }

    // Moved rows are drawn where they now stand, whether they traded
    // contents or their items moved: the screen shows what the list holds.
    void movedRowsAreDrawn_data() { selectionWhileRowsMove_data(); }
    void movedRowsAreDrawn()
    {
        QFETCH(bool, settled);
        CUserList l;
        l.resize(278, 200);
        l.show();
        QVERIFY(QTest::qWaitForWindowExposed(&l));
        for (int i = 0; i < 60; ++i)
            l.AddItem(QStringLiteral("u%1").arg(i), i % 3 == 0 ? -100 : i % 3 == 1 ? 0 : -101, false);
        QTreeWidget *t = treeOf(l);
        t->setCurrentItem(t->topLevelItem(2));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        if (!settled)
            l.AddItem(QStringLiteral("late"), 0, false);
        const auto shown = [&l] {
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            return QGuiApplication::primaryScreen()->grabWindow(l.winId()).toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        const auto held = [&l] { return l.grab().toImage().convertToFormat(QImage::Format_RGB32); };
        l.ChangeItemImage(QStringLiteral("u55"), QStringLiteral("man"));
        l.CamItem(QStringLiteral("u40"), true);
        QCOMPARE(t->topLevelItem(0)->text(0), QStringLiteral("u55"));
        QCOMPARE(shown(), held());
        l.ChangeItemImage(QStringLiteral("u55"), QStringLiteral("null"));
        QCOMPARE(t->topLevelItem(1)->text(0), QStringLiteral("u55"));
        QCOMPARE(shown(), held());
    }

    void selectedItemDropsTheMark()
    {
        CUserList l;
        l.AddItem(QStringLiteral("@x"), -101, true);   // shows "@@x"
        treeOf(l)->setCurrentItem(treeOf(l)->topLevelItem(0));
        QCOMPARE(l.SelectedItem(), QStringLiteral("@x"));
        l.ClearItem();
        QCOMPARE(l.SelectedItem(), QString());
    }

    void scrollPositionStays()
    {
        CUserList l;
        l.resize(278, 200);
        l.show();
        QVERIFY(QTest::qWaitForWindowExposed(&l));
        for (int i = 0; i < 100; ++i)
            l.AddItem(QStringLiteral("u%1").arg(i), 1, false);
        QTreeWidget *t = treeOf(l);
        t->setCurrentItem(t->topLevelItem(40));
        t->scrollToItem(t->topLevelItem(40), QAbstractItemView::PositionAtTop);
        const int scroll = t->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        l.ChangeItemImage(QStringLiteral("u90"), QStringLiteral("man"));
        QCOMPARE(t->verticalScrollBar()->value(), scroll);
        QCOMPARE(t->topLevelItem(0)->text(0), QStringLiteral("u90"));
        QCoreApplication::processEvents();
        QCOMPARE(t->verticalScrollBar()->value(), scroll);
        QCOMPARE(t->indexOfTopLevelItem(t->currentItem()), 40);
    }

    // A state change is drawn whether its row was in sight or scrolled in
    // later.
    void changesAreDrawn()
    {
        CUserList l;
        l.resize(278, 200);
        l.show();
        QVERIFY(QTest::qWaitForWindowExposed(&l));
        for (int i = 0; i < 60; ++i)
            l.AddItem(QStringLiteral("u%1").arg(i), 0, false);   // visitors: nothing red
        QTreeWidget *t = treeOf(l);
        // What the screen shows, not a fresh rendering: a change that never
        // reached the view is missing here.
        auto redPixels = [t, &l](int row) {
            QCoreApplication::processEvents();
            const QImage shot = QGuiApplication::primaryScreen()->grabWindow(l.winId()).toImage();
            const QRect item = t->visualItemRect(t->topLevelItem(row));
            const QRect r = QRect(t->viewport()->mapTo(&l, item.topLeft()), item.size()) & shot.rect();
            int red = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
                }
            }
            return red;
        };
        // Settled: the scroll bar has come and the viewport was drawn again.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QCOMPARE(redPixels(0), 0);
        l.ChangeItemImage(QStringLiteral("u0"), QStringLiteral("red"));
        QVERIFY(redPixels(0) > 10);

        l.ChangeItemImage(QStringLiteral("u55"), QStringLiteral("red"));
        QCOMPARE(order(l).section(QLatin1Char(','), 55, 55), QStringLiteral("u55"));
        t->scrollToItem(t->topLevelItem(55));
        QVERIFY(redPixels(55) > 10);
        QCOMPARE(redPixels(54), 0);
    }

    void attendanceRows()
    {
        CUserList l;
        addAll(l, QStringLiteral("a,b"));
        l.AddItem(QStringLiteral("t"), -101, true);
        l.AddChild(QStringLiteral("lesson 1"), QStringLiteral("b"), 0);
        l.AddChild(QStringLiteral("lesson 1"), QStringLiteral("b"), 2);   // already there
        l.AddChild(QStringLiteral("lesson 2"), QStringLiteral("b"), 7);
        l.AddChild(QStringLiteral("lesson 1"), QStringLiteral("nobody"), 0);
        QTreeWidgetItem *b = rowOf(l, QStringLiteral("b"));
        QCOMPARE(b->childCount(), 2);
        QCOMPARE(b->child(0)->text(2), QStringLiteral("0"));
        QCOMPARE(imageOf(b->child(0)->icon(1)), picture(QStringLiteral(":/Resources/users/ha.png")));
        QVERIFY(b->child(1)->icon(1).isNull());
        QCOMPARE(b->child(0)->flags(), Qt::ItemIsEnabled);

        l.ChangeChildState(QStringLiteral("lesson 1"), QStringLiteral("b"), 1);
        QCOMPARE(imageOf(b->child(0)->icon(1)), picture(QStringLiteral(":/Resources/users/gha.png")));
        QCOMPARE(b->child(0)->text(2), QStringLiteral("1"));

        // Rows moving take their attendance rows along.
        b->setExpanded(true);
        l.ChangeItemImage(QStringLiteral("b"), QStringLiteral("mic"));
        QCOMPARE(order(l), QStringLiteral("b,a,@t"));
        QCOMPARE(treeOf(l)->topLevelItem(0)->childCount(), 2);
        QVERIFY(treeOf(l)->topLevelItem(0)->isExpanded());

        // Moved under the teacher, found through the mark.
        l.ChangeChild(QStringLiteral("lesson 1"), QStringLiteral("b"), QStringLiteral("t"));
        QCOMPARE(rowOf(l, QStringLiteral("b"))->childCount(), 1);
        QCOMPARE(rowOf(l, QStringLiteral("@t"))->child(0)->text(2), QStringLiteral("1"));
        l.ChangeChildState(QStringLiteral("lesson 1"), QStringLiteral("t"), 2);
        QCOMPARE(rowOf(l, QStringLiteral("@t"))->child(0)->text(2), QStringLiteral("2"));

        l.RemoveItem(QStringLiteral("b"));
        QCOMPARE(order(l), QStringLiteral("a,@t"));
        l.ChangeChildState(QStringLiteral("lesson 2"), QStringLiteral("b"), 0);   // gone: nothing
    }

    // Attendance rows given under a name the removal does not repeat still
    // leave with their user; a later row of that name starts without them.
    void removedUserLeavesNoStaleAttendance()
    {
        CUserList l;
        l.AddItem(QStringLiteral("t"), -101, true);
        l.AddChild(QStringLiteral("lesson"), QStringLiteral("@t"), 0);
        QCOMPARE(rowOf(l, QStringLiteral("@t"))->childCount(), 1);
        l.RemoveItem(QStringLiteral("@t"));
        QCOMPARE(treeOf(l)->topLevelItemCount(), 0);
        l.ChangeChildState(QStringLiteral("lesson"), QStringLiteral("@t"), 1);
        l.ChangeChild(QStringLiteral("lesson"), QStringLiteral("@t"), QStringLiteral("x"));
        l.AddItem(QStringLiteral("t"), -101, true);
        l.AddChild(QStringLiteral("lesson"), QStringLiteral("@t"), 2);
        QCOMPARE(rowOf(l, QStringLiteral("@t"))->childCount(), 1);
        QCOMPARE(rowOf(l, QStringLiteral("@t"))->child(0)->text(2), QStringLiteral("2"));
    }

    void contextMenuSignal()
    {
        CUserList l;
        l.resize(278, 393);
        QSignalSpy spy(&l, &CUserList::ContextMenu);
        QWidget *viewport = treeOf(l)->viewport();
        const QPoint at(30, 12);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toPoint(), viewport->mapTo(&l, at));
    }

    // A nickname reads in its own order whatever the list's direction: the
    // mark "@" stands before a Latin name (at its left) and before an Arabic
    // one (at its right). Each row is drawn as the same text isolated in the
    // direction it should have; the stored nickname keeps its text.
    void nicknamesReadInTheirOwnOrder_data()
    {
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<QString>("nick");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("rightToLeft"); // the name's own direction
        const QString arabic = QString::fromUtf8("أحمد");
        for (Qt::LayoutDirection d : {Qt::RightToLeft, Qt::LeftToRight}) {
            const char *side = d == Qt::RightToLeft ? "rtl list" : "ltr list";
            QTest::addRow("%s: marked latin", side) << d << "ostad" << true << false;
            QTest::addRow("%s: marked arabic", side) << d << arabic << true << true;
            QTest::addRow("%s: latin with a trailing mark", side) << d << "sara!" << false << false;
            QTest::addRow("%s: arabic then digits", side) << d << arabic + " 12" << false << true;
            QTest::addRow("%s: digits then latin", side) << d << "12 omar" << false << false;
        }
    }
    void nicknamesReadInTheirOwnOrder()
    {
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(QString, nick);
        QFETCH(bool, marked);
        QFETCH(bool, rightToLeft);
        const QString shown = marked ? QLatin1Char('@') + nick : nick;
        const QChar isolate(rightToLeft ? 0x2067 : 0x2066);
        CUserList drawn, expected;
        for (CUserList *l : {&drawn, &expected}) {
            l->setLayoutDirection(direction);
            l->resize(278, 120);
        }
        drawn.AddItem(nick, -101, marked);
        expected.AddItem(isolate + shown + QChar(0x2069), -101, false);
        QCOMPARE(treeOf(drawn)->topLevelItem(0)->text(0), shown);
        treeOf(drawn)->setCurrentItem(treeOf(drawn)->topLevelItem(0));
        QCOMPARE(drawn.SelectedItem(), marked ? nick : shown);
        treeOf(drawn)->setCurrentItem(nullptr);
        treeOf(drawn)->clearSelection();
        QCOMPARE(drawn.grab().toImage(), expected.grab().toImage());
    }

    void oddNicknames_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::newRow("markup") << "<b>x</b><img src=x onerror=alert(1)>";
        QTest::newRow("separators") << "a|b:c@n;d";
        QTest::newRow("empty") << "";
        QTest::newRow("at sign alone") << "@";
        QTest::newRow("two marks") << "@@x";
        QTest::newRow("direction override") << QString::fromUtf8("\u202Eevil\u202C");
        QTest::newRow("line break") << "a\nb";
        QTest::newRow("very long") << QString(20000, QLatin1Char('w'));
        QTest::newRow("arabic") << QString::fromUtf8("أحمد");
    }
    void oddNicknames()
    {
        QFETCH(QString, nick);
        CUserList l;
        addAll(l, QStringLiteral("a,b"));
        l.AddItem(nick, 3, false);
        QTreeWidget *t = treeOf(l);
        QCOMPARE(t->topLevelItemCount(), 3);
        QCOMPARE(t->topLevelItem(2)->text(0), nick);
        l.ChangeItemImage(nick, QStringLiteral("mic"));
        QCOMPARE(t->topLevelItem(0)->text(0), nick);
        QCOMPARE(l.GetTotalMic(), 1);
        l.CamItem(nick, true);
        QCOMPARE(t->topLevelItem(0)->text(3), QStringLiteral("cam"));
        t->setCurrentItem(t->topLevelItem(0));
        QCOMPARE(l.SelectedItem(), nick.startsWith(QLatin1Char('@')) ? nick.mid(1) : nick);
        l.RemoveItem(nick);
        QCOMPARE(order(l), QStringLiteral("a,b"));
        QCOMPARE(l.GetTotalMic(), 0);
    }
};

QTEST_MAIN(TestCUserList)
#include "tst_cuserlist.moc"
