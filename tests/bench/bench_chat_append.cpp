// Cost of receiving one line into a conversation that already holds 100,
// 1,000 and 10,000 lines, shown and scrolled to its bottom, as a line from
// the server is received: filtered and parsed (TestHtm), appended, laid out,
// scrolled into view and painted. A long lesson must stay responsive: the
// cost of one line must not grow with the history.
#include "common/hooks.h"
#include "mainwindow/controltxt.h"

#include <QWebFrame>
#include <QWebView>

#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>
#include <map>
#include <memory>

namespace {

QString lineText(int n)
{
    return QStringLiteral("<span style=\"font-weight:600; color:#aa0000;\">line %1</span> of the "
                          "lesson, with a <a href=\"http://www.example.com/%1\">link</a>")
        .arg(n);
}

// Alternating senders: every line opens a new box. One sender: every line
// joins the same box.
enum class Speakers { Alternating, One };

QString speaker(Speakers speakers, int n)
{
    if (speakers == Speakers::One)
        return QStringLiteral("omar");
    return n % 2 ? QStringLiteral("ali") : QStringLiteral("sara");
}

struct Conversation
{
    std::unique_ptr<ControlTxt> control;
    Speakers speakers;
    int next = 0;

    // The line as received from the server.
    void append()
    {
        control->insertTxt(speaker(speakers, next), control->TestHtm(lineText(next)), PeerLine);
        ++next;
    }

    // The history: the same lines, already filtered.
    void fill()
    {
        control->insertTxt(speaker(speakers, next), lineText(next), PeerLine);
        ++next;
    }

    QWebFrame *frame() const
    {
        return control->findChild<QWebView *>(QStringLiteral("Web"))->page()->mainFrame();
    }

    // The reader at the bottom: every received line then scrolls and paints.
    void scrollToBottom()
    {
        QWebFrame *f = frame();
        f->setScrollBarValue(Qt::Vertical, f->scrollBarMaximum(Qt::Vertical));
        QCoreApplication::processEvents();
        if (f->scrollBarValue(Qt::Vertical) != f->scrollBarMaximum(Qt::Vertical)
            || f->scrollBarMaximum(Qt::Vertical) == 0)
            qWarning("conversation of %d lines is not scrolled to its bottom", next);
    }
};

Conversation makeConversation(int lines, Speakers speakers)
{
    Conversation c{std::make_unique<ControlTxt>(), speakers, 0};
    c.control->resize(600, 500);
    c.control->show();
    if (!QTest::qWaitForWindowExposed(c.control.get()))
        qWarning("conversation window not exposed");
    while (c.next < lines)
        c.fill();
    QCoreApplication::processEvents();
    c.scrollToBottom();
    return c;
}

// Median time of one append (with the events it causes) over count appends.
qint64 medianAppendNs(Conversation &c, int count)
{
    QVector<qint64> times;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        c.append();
        QCoreApplication::processEvents();
        times << timer.nsecsElapsed();
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

class BenchChatAppend : public QObject
{
    Q_OBJECT
    // Built once per size: QBENCHMARK runs a test function several times.
    std::map<std::pair<int, int>, Conversation> conversations;

    Conversation &conversation(int lines, Speakers speakers)
    {
        const auto key = std::make_pair(lines, int(speakers));
        auto it = conversations.find(key);
        if (it == conversations.end())
            it = conversations.emplace(key, makeConversation(lines, speakers)).first;
        return it->second;
    }

private slots:
    void initTestCase()
    {
        hooks::setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(10, 20, 30)); });
    }

    void append_data()
    {
        QTest::addColumn<int>("history");
        QTest::addColumn<bool>("joined");
        for (int history : {100, 1000, 10000}) {
            QTest::addRow("new box after %d lines", history) << history << false;
            QTest::addRow("joined to a box of %d lines", history) << history << true;
        }
    }
    void append()
    {
        QFETCH(int, history);
        QFETCH(bool, joined);
        Conversation &c = conversation(history, joined ? Speakers::One : Speakers::Alternating);
        c.scrollToBottom();
        QBENCHMARK {
            c.append();
            QCoreApplication::processEvents();
        }
    }

    void ratio()
    {
        for (Speakers speakers : {Speakers::Alternating, Speakers::One}) {
            qint64 median[2];
            const int sizes[2] = {100, 10000};
            for (int i = 0; i < 2; ++i) {
                Conversation c = makeConversation(sizes[i], speakers);
                median[i] = medianAppendNs(c, 300);
            }
            qInfo("%s: one received line %.1f us after 100 lines, %.1f us after 10000 lines; "
                  "ratio 10000:100 = %.2f",
                  speakers == Speakers::One ? "joined lines" : "new boxes", median[0] / 1000.0,
                  median[1] / 1000.0, double(median[1]) / double(median[0]));
        }
    }

    void cleanupTestCase() { conversations.clear(); }
};

QTEST_MAIN(BenchChatAppend)
#include "bench_chat_append.moc"
