// Cost of the chat markup and of its filter per KB of input, at 1 KB, 10 KB,
// 100 KB and 1 MB, for several shapes of text: the time per KB should stay
// flat as the input grows. Then one 1 MB hostile line of each shape through
// the whole receive path of a shown conversation (filter, parse, bounds,
// append, layout), with its time and the process's peak memory meanwhile.
#include "common/hooks.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/htmlsanitizer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

QString ar(const char *utf8) { return QString::fromUtf8(utf8); }

// unit repeated up to size characters.
QString repeated(const QString &unit, int size)
{
    QString out = unit.repeated(size / unit.size() + 1);
    out.truncate(size);
    return out;
}

struct Shape
{
    const char *name;
    std::function<QString(int size)> make;
};

const int kSizes[] = {1 << 10, 10 << 10, 100 << 10, 1 << 20};

// Best of a few runs, in microseconds.
double bestMicroseconds(const std::function<void()> &run)
{
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1000.0);
    }
    return best;
}

void reportPerKb(const char *what, const Shape &shape,
                 const std::function<void(const QString &)> &work)
{
    QString row = QStringLiteral("%1, %2:").arg(QLatin1String(what), QLatin1String(shape.name));
    double first = 0, last = 0;
    for (int size : kSizes) {
        const QString input = shape.make(size);
        const double us = bestMicroseconds([&] { work(input); });
        const double perKb = us / (size / 1024.0);
        if (first == 0)
            first = perKb;
        last = perKb;
        row += QStringLiteral(" %1 KB %2 us/KB;").arg(size / 1024).arg(perKb, 0, 'f', 2);
    }
    row += QStringLiteral(" 1 MB : 1 KB = %1").arg(last / first, 0, 'f', 2);
    qInfo().noquote() << row;
}

// Peak resident memory of the process in KB since the last reset.
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

} // namespace

class BenchChatMarkup : public QObject
{
    Q_OBJECT

    // Outgoing lines as the input box gives them.
    static QVector<Shape> lineShapes()
    {
        return {
            {"words and addresses",
             [](int n) { return repeated(ar("مرحبا Hello http://a.com/x www.b.org "), n); }},
            {"styled spans",
             [](int n) {
                 return repeated(QStringLiteral("<span style=\" font-weight:600; color:#aa0000;\">"
                                                "word</span> "),
                                 n);
             }},
            {"picture tokens, one end",
             [](int n) { return repeated(ar(":صورة:a.com/p.png "), n - 4) + ar(":نه:"); }},
            {"picture addresses, one end",
             [](int n) { return repeated(ar(":صورة:www.a.com/p.png "), n - 4) + ar(":نه:"); }},
            {"blink tokens, one end",
             [](int n) { return repeated(ar(":وميض:x "), n - 3) + ar(":ض:"); }},
            {"one address without spaces",
             [](int n) { return QStringLiteral("http://") + repeated(QStringLiteral("a<b>c</b>"), n - 7); }},
            {"tags without end", [](int n) { return repeated(QStringLiteral("<span "), n); }},
        };
    }

    static QVector<Shape> titleShapes()
    {
        return {
            {"audio tokens, one end",
             [](int n) { return repeated(ar(":صوت:http://a/s.mp3 "), n - 3) + ar(":ت:"); }},
            {"notices and links",
             [](int n) { return repeated(ar(":رسالة:x:ة: :رابط:http://a:نص:y:ط: "), n); }},
        };
    }

    // Received lines, hostile or large.
    static QVector<Shape> receivedShapes()
    {
        return {
            {"ampersands", [](int n) { return QString(n, QLatin1Char('&')); }},
            {"bold letters", [](int n) { return repeated(QStringLiteral("<b>x</b>"), n); }},
            {"nested styled blocks",
             [](int n) {
                 return repeated(QStringLiteral("<div style='margin-left:10px'><p style='font-size:12pt'>"
                                                "<span style='color:red'>x"),
                                 n);
             }},
            {"nested relative sizes",
             [](int n) {
                 return repeated(QStringLiteral("<span style='font-size:300%'><big>x"), n);
             }},
            {"formatting around paragraphs",
             [](int n) {
                 return QStringLiteral("<b><i><u><font color=red><span style='color:blue'>")
                        + repeated(QStringLiteral("<p>x<div>y</div>"), n - 64);
             }},
            {"mixed words", [](int n) { return repeated(ar("مرحبا Hello 123, "), n); }},
            {"one long word", [](int n) { return QString(n, QLatin1Char('x')); }},
            {"style attributes",
             [](int n) {
                 return QStringLiteral("<span style='") + repeated(QStringLiteral("color:red;"), n - 20)
                        + QStringLiteral("'>x</span>");
             }},
            {"comments", [](int n) { return repeated(QStringLiteral("<!-- x -->"), n); }},
        };
    }

private slots:
    void initTestCase()
    {
        hooks::setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(10, 20, 30)); });
    }

    void outgoingMarkup()
    {
        const MarkupTokens tokens = arabicMarkupTokens();
        for (const Shape &shape : lineShapes())
            reportPerKb("line markup", shape, [&](const QString &s) { convertChatLine(s, tokens); });
        for (const Shape &shape : titleShapes())
            reportPerKb("title markup", shape, [&](const QString &s) { convertTitle(s, tokens); });
    }

    void filter()
    {
        // Unbounded, as the filter's own cost; the program bounds it (below).
        for (const Shape &shape : receivedShapes())
            reportPerKb("filter", shape, [](const QString &s) {
                sanitizeHtml(s, MarkupProfile::Line, kUnbounded);
            });
        for (const Shape &shape : receivedShapes())
            reportPerKb("filter, line bounds", shape, [](const QString &s) {
                sanitizeHtml(s, MarkupProfile::Line, kLineBounds);
            });
    }

    void receivePath()
    {
        for (const Shape &shape : receivedShapes()) {
            ControlTxt control;
            control.resize(600, 500);
            control.show();
            if (!QTest::qWaitForWindowExposed(&control))
                qWarning("conversation window not exposed");
            for (int i = 0; i < 20; ++i)
                control.insertTxt(i % 2 ? QStringLiteral("ali") : QStringLiteral("sara"),
                                  QStringLiteral("line %1").arg(i), PeerLine);
            QCoreApplication::processEvents();
            const QString line = shape.make(1 << 20);
            const long before = residentKb();
            resetPeak();
            QElapsedTimer timer;
            timer.start();
            control.insertTxt(QStringLiteral("peer"), control.TestHtm(line), PeerLine);
            QCoreApplication::processEvents(); // paint
            const double ms = timer.nsecsElapsed() / 1e6;
            const long peak = peakKb();
            qInfo("receive path, 1 MB of %s: %.1f ms, peak memory %.1f MB (%.1f MB above the "
                  "resident size before)",
                  shape.name, ms, peak / 1024.0, (peak - before) / 1024.0);
        }
    }
};

QTEST_MAIN(BenchChatMarkup)
#include "bench_chat_markup.moc"
