// Framing and decoding of incoming packets, as the socket's read path does
// them before a handler runs: reads full of small packets, and large bodies,
// against memcpy of the same bytes measured in the same run.
#include "protocol/pure/framing.h"
#include "protocol/pure/incoming.h"
#include "protocol/pure/packet.h"
#include "support/wire.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

const QByteArray kSmall = wirePacket(12, "txt", "a|12|hello");
// Mixed traffic: the name changes from packet to packet.
const QByteArray kMixed = wirePacket(12, "txt", "a|12|hello") + wirePacket(13, "mic", "12|ali")
                          + wirePacket(45, "test", "") + wirePacket(3, "", "omar:1:0");

QByteArray repeated(const QByteArray &packet, int count)
{
    QByteArray read;
    read.reserve(count * packet.size());
    for (int i = 0; i < count; ++i)
        read += packet;
    return read;
}

// A room line of 64 KiB as it travels: CP-1256, markup and Arabic text.
QByteArray bigBody()
{
    const QByteArray line = encodeCp1256(QString::fromUtf8(
        "<p dir='rtl'><span style='color:#aa0000;'>مرحبا بكم في درس اليوم، "
        "سنقرأ الفصل الثالث</span> and a few Latin words</p>"));
    QByteArray body = "ali|12|";
    while (body.size() < 65536)
        body += line;
    body.truncate(65536);
    return body;
}

// Frames the reads and decodes every packet as the dispatch does; returns
// the number of packets (the decoded texts' sizes are folded into *check).
int frameAndDecode(const QList<QByteArray> &reads, qint64 *check)
{
    int count = 0;
    qint64 sum = 0;
    PacketReassembler framing;
    framing.setSink([&](const PacketView &packet) {
        if (!isDispatchedCode(packet.code))
            return;
        const IncomingCommand c = decodeCommand(packet);
        sum += c.text.size() + c.name.size();
        ++count;
    });
    for (const QByteArray &read : reads)
        framing.feed(read);
    *check = sum;
    return count;
}

// Best of several runs, in nanoseconds.
qint64 bestTime(const std::function<void()> &run, int runs = 7)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed());
    }
    return best;
}

qint64 memcpyTime(const QList<QByteArray> &reads)
{
    int total = 0;
    for (const QByteArray &read : reads)
        total += read.size();
    QByteArray target(total, '\0');
    return bestTime([&] {
        char *dst = target.data();
        for (const QByteArray &read : reads) {
            std::memcpy(dst, read.constData(), size_t(read.size()));
            dst += read.size();
        }
    }, 21);
}

QList<QByteArray> cut(const QByteArray &stream, int readSize)
{
    QList<QByteArray> reads;
    for (int i = 0; i < stream.size(); i += readSize)
        reads << stream.mid(i, readSize);
    return reads;
}

double mbPerSecond(qint64 bytes, qint64 ns)
{
    return double(bytes) * 1e3 / double(ns);
}

} // namespace

class BenchFraming : public QObject
{
    Q_OBJECT
private slots:
    // Says which decoder each size of body meets, and warms up before the
    // first measure: the codec's table, the decoded names and the code of
    // both decoders, with a few runs of every traffic measured below.
    void initTestCase()
    {
        const int small = kSmall.size() - kHeaderSize;
        const int big = bigBody().size();
        qInfo("CP-1256 decoder: %d-byte bodies (the small packets): %s; %d-byte bodies: %s",
              small, cp1256DecoderFor(small), big, cp1256DecoderFor(big));
        const QList<QList<QByteArray>> traffic{
            {repeated(kSmall, 4096)},
            {repeated(kMixed, 1024)},
            cut(repeated(wirePacket(12, "txt", bigBody()), 4), 4 << 10)};
        QElapsedTimer timer;
        timer.start();
        int rounds = 0;
        qint64 check = 0;
        for (; rounds < 5 || timer.elapsed() < 200; ++rounds)
            for (const QList<QByteArray> &reads : traffic)
                QVERIFY(frameAndDecode(reads, &check) > 0);
        qInfo("warm-up: %d rounds of each kind of traffic in %lld ms", rounds, timer.elapsed());
    }

    void smallPackets_data()
    {
        QTest::addColumn<int>("packets");
        const int n = (1 << 20) / kSmall.size();
        QTest::addRow("1 MiB, %d packets", n) << n;
        QTest::addRow("2 MiB, %d packets", 2 * n) << 2 * n;
    }

    void smallPackets()
    {
        QFETCH(int, packets);
        const QList<QByteArray> reads{repeated(kSmall, packets)};
        int count = 0;
        qint64 check = 0;
        QBENCHMARK {
            count = frameAndDecode(reads, &check);
        }
        QCOMPARE(count, packets);
    }

    // Small packets: packets per second, and the 2N : N time ratio.
    void smallPacketRate()
    {
        const int n = (1 << 20) / kSmall.size();
        const QList<QByteArray> once{repeated(kSmall, n)};
        const QList<QByteArray> twice{repeated(kSmall, 2 * n)};
        qint64 check = 0;
        const qint64 t1 = bestTime([&] { frameAndDecode(once, &check); });
        const qint64 t2 = bestTime([&] { frameAndDecode(twice, &check); });
        const qint64 copy = memcpyTime(once);
        qInfo("framing+decoding: %d packets of %d bytes in one 1 MiB read (decoder: %s): %.0f "
              "packets/s, %.1f ns/packet, %.0f MB/s (memcpy %.0f MB/s)",
              n, kSmall.size(), cp1256DecoderFor(kSmall.size() - kHeaderSize),
              double(n) * 1e9 / double(t1), double(t1) / n,
              mbPerSecond(once.first().size(), t1), mbPerSecond(once.first().size(), copy));
        qInfo("framing+decoding: time for 2N packets / time for N packets = %.2f",
              double(t2) / double(t1));
    }

    void mixedPacketRate()
    {
        const int n = (1 << 20) / kMixed.size();
        const QList<QByteArray> reads{repeated(kMixed, n)};
        qint64 check = 0;
        int count = 0;
        const qint64 t = bestTime([&] { count = frameAndDecode(reads, &check); });
        qInfo("framing+decoding: %d packets of four kinds in turn in one 1 MiB read (decoder: "
              "%s): %.0f packets/s, %.1f ns/packet", count, cp1256DecoderFor(10),
              double(count) * 1e9 / double(t), double(t) / count);
    }

    // 64 KiB bodies, in one read and in socket-sized reads, against memcpy.
    void bigBodies_data()
    {
        QTest::addColumn<int>("readSize");
        QTest::newRow("one 1 MiB read") << (1 << 20);
        QTest::newRow("16 KiB reads") << (16 << 10);
        QTest::newRow("4 KiB reads") << (4 << 10);
    }

    void bigBodies()
    {
        QFETCH(int, readSize);
        const QByteArray packet = wirePacket(12, "txt", bigBody());
        const QByteArray stream = repeated(packet, 16);
        const QList<QByteArray> reads = cut(stream, readSize);
        qint64 check = 0;
        int count = 0;
        const qint64 t = bestTime([&] { count = frameAndDecode(reads, &check); });
        QCOMPARE(count, 16);
        const qint64 copy = memcpyTime(reads);
        qInfo("framing+decoding 16 x 64 KiB bodies, %s (decoder: %s): %.0f MB/s; memcpy %.0f "
              "MB/s; %.1f %% of memcpy", QTest::currentDataTag(),
              cp1256DecoderFor(packet.size() - kHeaderSize), mbPerSecond(stream.size(), t),
              mbPerSecond(stream.size(), copy), 100.0 * double(copy) / double(t));
    }
};

QTEST_GUILESS_MAIN(BenchFraming)
#include "bench_framing.moc"
