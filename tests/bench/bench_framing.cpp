// Framing throughput: one read full of small packets into a counting sink.
// The time must grow linearly with the number of packets in the read.
#include "protocol/pure/framing.h"
#include "support/wire.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>

namespace {

const QByteArray kPacket = wirePacket(12, "txt", "a|12|hello");

QByteArray readOf(int packets)
{
    QByteArray read;
    read.reserve(packets * kPacket.size());
    for (int i = 0; i < packets; ++i)
        read += kPacket;
    return read;
}

int frame(const QByteArray &read)
{
    int count = 0;
    PacketReassembler framing;
    framing.setSink([&count](const QByteArray &, const QByteArray &) { ++count; });
    framing.feed(read);
    return count;
}

// Best of several runs, in nanoseconds.
qint64 bestTime(const QByteArray &read)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        frame(read);
        best = std::min(best, timer.nsecsElapsed());
    }
    return best;
}

} // namespace

class BenchFraming : public QObject
{
    Q_OBJECT
private slots:
    void oneRead_data()
    {
        QTest::addColumn<int>("packets");
        const int n = (1 << 20) / kPacket.size();
        QTest::addRow("1 MiB, %d packets", n) << n;
        QTest::addRow("2 MiB, %d packets", 2 * n) << 2 * n;
    }

    void oneRead()
    {
        QFETCH(int, packets);
        const QByteArray read = readOf(packets);
        int count = 0;
        QBENCHMARK {
            count = frame(read);
        }
        QCOMPARE(count, packets);
    }

    void scaling()
    {
        const int n = (1 << 20) / kPacket.size();
        const QByteArray once = readOf(n);
        const QByteArray twice = readOf(2 * n);
        const qint64 t1 = bestTime(once);
        const qint64 t2 = bestTime(twice);
        qInfo("framing: %d packets of %d bytes in one 1 MiB read: %.0f packets/s", n,
              kPacket.size(), double(n) * 1e9 / double(t1));
        qInfo("framing: time for 2N packets / time for N packets = %.2f", double(t2) / double(t1));
    }
};

QTEST_GUILESS_MAIN(BenchFraming)
#include "bench_framing.moc"
