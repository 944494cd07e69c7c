// Reassembly of incoming packets, their decoding and dispatch, and the
// socket object around them.
#include "protocol/pure/framing.h"
#include "protocol/pure/incoming.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "support/modal.h"
#include "support/wire.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using Chunks = QList<QByteArray>;

namespace {

// Records what a reassembler hands over, as whole packets.
struct Recorder
{
    PacketReassembler framing;
    QList<QByteArray> packets;
    QStringList faults;

    Recorder()
    {
        framing.setSink([this](const PacketView &packet) {
            QVERIFY(packet.body == packet.header + 46);
            packets << packet.headerBytes() + packet.bodyBytes();
        });
        framing.setFaultHandler([this](PacketReassembler::Fault f) {
            faults << (f == PacketReassembler::Fault::BadMarker ? "marker" : "length");
        });
    }
};

const QByteArray kTest = wirePacket(45, "test", "");
const QByteArray kUsers = wirePacket(2, "", "ali|omar");
const QByteArray kRoom = wirePacket(12, "txt", "a|12|hello there");

} // namespace

class TestFraming : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void reassembly_data();
    void reassembly();
    void wholePacketsFramedInPlace();
    void namesOfManyPackets();
    void badMarkerInAnyByte_data();
    void badMarkerInAnyByte();
    void nestedFeed_data();
    void nestedFeed();

    void dispatchedCodes_data();
    void dispatchedCodes();
    void bodyDecoding_data();
    void bodyDecoding();
    void mismatchLogsAndCloses();

    void keepAliveAnswered();
    void nestedEventLoopKeepsEveryPacket();
    void newConnectionFramedFromItsFirstByte_data();
    void newConnectionFramedFromItsFirstByte();
    void peerCloseLogsState();

private:
    // Connects sck to the test server; returns the server's side.
    QTcpSocket *connectClient();

    QTcpServer m_server;
    QList<IncomingCommand> m_seen;
    // Handlers that show a message are answered at once.
    ModalAnswerer m_answers;
};

void TestFraming::initTestCase()
{
    sck = new Wsk;
    QVERIFY(m_server.listen(QHostAddress::LocalHost));
}

void TestFraming::init()
{
    m_seen.clear();
    setDispatchObserver([this](const IncomingCommand &c) { m_seen << c; });
}

void TestFraming::cleanup()
{
    setDispatchObserver({});
    sck->socket()->abort();
    incomingFraming().clear();
}

QTcpSocket *TestFraming::connectClient()
{
    sck->socket()->connectToHost(QHostAddress::LocalHost, m_server.serverPort());
    if (!m_server.waitForNewConnection(5000))
        return nullptr;
    QTcpSocket *peer = m_server.nextPendingConnection();
    const bool up = QTest::qWaitFor(
        [] { return sck->socket()->state() == QAbstractSocket::ConnectedState; }, 5000);
    return up ? peer : nullptr;
}

void TestFraming::reassembly_data()
{
    QTest::addColumn<Chunks>("reads");
    QTest::addColumn<Chunks>("packets");
    QTest::addColumn<QStringList>("faults");

    const QByteArray withBody = wirePacket(7, "pm", "abcde");
    const QByteArray twenty = wirePacket(3, "x", QByteArray(20, 'z'));
    QTest::newRow("two in one read") << Chunks{kTest + kUsers} << Chunks{kTest, kUsers}
                                     << QStringList();
    QTest::newRow("46 bytes alone, empty body") << Chunks{kTest} << Chunks{kTest} << QStringList();
    QTest::newRow("10, 36, then the body")
        << Chunks{withBody.left(10), withBody.mid(10, 36), withBody.mid(46)} << Chunks{withBody}
        << QStringList();
    QTest::newRow("46 bytes of a 20-byte body wait")
        << Chunks{twenty.left(46)} << Chunks{} << QStringList();
    QTest::newRow("46 bytes, then 20") << Chunks{twenty.left(46), twenty.mid(46)}
                                       << Chunks{twenty} << QStringList();
    QTest::newRow("45 bytes wait") << Chunks{kTest.left(45)} << Chunks{} << QStringList();
    QTest::newRow("packet and a half, then the rest")
        << Chunks{kTest + kRoom.left(50), kRoom.mid(50) + kUsers}
        << Chunks{kTest, kRoom, kUsers} << QStringList();
    Chunks bytes;
    for (char c : kRoom + kTest)
        bytes << QByteArray(1, c);
    QTest::newRow("byte by byte") << bytes << Chunks{kRoom, kTest} << QStringList();
    QTest::newRow("empty reads") << Chunks{QByteArray(), kTest, QByteArray()} << Chunks{kTest}
                                 << QStringList();

    const QByteArray maxHeader = wireHeader(5, "big", 1048576);
    const QByteArray maxBody(1048576, 'b');
    QTest::newRow("1,048,576 waits for the whole body")
        << Chunks{maxHeader, maxBody.left(1048575)} << Chunks{} << QStringList();
    QTest::newRow("1,048,576 accepted") << Chunks{maxHeader, maxBody.left(1000), maxBody.mid(1000)}
                                        << Chunks{maxHeader + maxBody} << QStringList();
    QTest::newRow("1,048,577 refused")
        << Chunks{wireHeader(5, "big", 1048577)} << Chunks{} << QStringList{"length"};
    QTest::newRow("negative length refused")
        << Chunks{wireHeader(5, "neg", -1)} << Chunks{} << QStringList{"length"};
    QTest::newRow("most negative length refused")
        << Chunks{kTest + wireHeader(5, "neg", -2147483647 - 1)} << Chunks{kTest}
        << QStringList{"length"};
    QTest::newRow("bad packet drops the rest of its read, next read framed fresh")
        << Chunks{wireHeader(5, "neg", -46) + kTest, kUsers} << Chunks{kUsers}
        << QStringList{"length"};
    QByteArray badMarker = kTest;
    badMarker[6] = 'k';
    QTest::newRow("bad marker after a good packet")
        << Chunks{kUsers + badMarker + kTest} << Chunks{kUsers} << QStringList{"marker"};
}

void TestFraming::reassembly()
{
    QFETCH(Chunks, reads);
    QFETCH(Chunks, packets);
    QFETCH(QStringList, faults);
    Recorder r;
    for (const QByteArray &read : reads)
        r.framing.feed(read);
    QCOMPARE(r.packets, packets);
    QCOMPARE(r.faults, faults);
    if (!faults.isEmpty())
        QCOMPARE(r.framing.pendingSize(), 0);
}

void TestFraming::wholePacketsFramedInPlace()
{
    // A read of whole packets is handed over as views into that read.
    const QByteArray read = kTest + kUsers + kRoom;
    QList<int> offsets;
    PacketReassembler framing;
    framing.setSink([&](const PacketView &packet) {
        offsets << int(packet.header - read.constData());
        QCOMPARE(int(packet.code), int(headerCode(packet.header)));
        QCOMPARE(packet.bodyBytes(), read.mid(offsets.last() + 46, packet.length));
    });
    framing.feed(read);
    QCOMPARE(offsets, (QList<int>{0, kTest.size(), kTest.size() + kUsers.size()}));
    QCOMPARE(framing.pendingSize(), 0);
}

void TestFraming::namesOfManyPackets()
{
    // More names than are kept decoded, each coming back later.
    QStringList names;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 40; ++i)
            names << QStringLiteral(" n%1 ").arg((i * 7 + round) % 40);
    QByteArray read;
    for (const QString &name : names)
        read += wirePacket(12, name.toLatin1(), "x");
    QStringList decoded;
    PacketReassembler framing;
    framing.setSink([&](const PacketView &packet) { decoded << decodeCommand(packet).name; });
    framing.feed(read);
    for (QString &name : names)
        name = name.trimmed();
    QCOMPARE(decoded, names);
}

void TestFraming::badMarkerInAnyByte_data()
{
    QTest::addColumn<int>("offset");
    for (int i = 6; i < 14; ++i)
        QTest::addRow("byte %d", i) << i;
}

void TestFraming::badMarkerInAnyByte()
{
    QFETCH(int, offset);
    QByteArray packet = kUsers;
    packet[offset] = char(packet[offset] ^ 0x20);
    Recorder r;
    r.framing.feed(packet.left(46)); // judged as soon as the header is there
    QCOMPARE(r.faults, QStringList{"marker"});
    r.framing.feed(packet.mid(46) + kTest);
    QCOMPARE(r.packets, Chunks{});
}

void TestFraming::nestedFeed_data()
{
    QTest::addColumn<Chunks>("outer");
    QTest::addColumn<Chunks>("nested"); // fed from the sink when it sees the first packet
    QTest::addColumn<Chunks>("packets");
    QTest::addColumn<int>("pending");

    QTest::newRow("pending packet kept, nested packets after it")
        << Chunks{kTest + kUsers} << Chunks{kRoom} << Chunks{kTest, kUsers, kRoom} << 0;
    QTest::newRow("nested read completes the outer read's partial packet")
        << Chunks{kTest + kRoom.left(30)} << Chunks{kRoom.mid(30) + kUsers}
        << Chunks{kTest, kRoom, kUsers} << 0;
    QTest::newRow("nested reads in pieces, a tail left pending")
        << Chunks{kTest + kUsers.left(46)} << Chunks{kUsers.mid(46), kRoom.left(7)}
        << Chunks{kTest, kUsers} << 7;
    QByteArray bad = kRoom;
    bad[9] = '?';
    QTest::newRow("nested fault stops the outer pass")
        << Chunks{kTest + kUsers} << Chunks{bad} << Chunks{kTest, kUsers} << 0;
    QTest::newRow("fault after nested read")
        << Chunks{kTest + kUsers + bad} << Chunks{kRoom} << Chunks{kTest, kUsers} << 0;
}

void TestFraming::nestedFeed()
{
    QFETCH(Chunks, outer);
    QFETCH(Chunks, nested);
    QFETCH(Chunks, packets);
    QFETCH(int, pending);
    PacketReassembler framing;
    QList<QByteArray> seen;
    framing.setSink([&](const PacketView &packet) {
        seen << packet.headerBytes() + packet.bodyBytes();
        if (seen.size() == 1)
            for (const QByteArray &read : nested)
                framing.feed(read);
    });
    for (const QByteArray &read : outer)
        framing.feed(read);
    QCOMPARE(seen, packets);
    QCOMPARE(framing.pendingSize(), pending);
}

void TestFraming::dispatchedCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("dispatched");
    QTest::addColumn<bool>("endsConnection");
    for (int code : {-6, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 18, 19, 20, 21, 22,
                     23, 24, 27, 28, 45})
        QTest::addRow("%d handled", code) << code << true << false;
    // A refusal closes the connection: what followed it is dropped.
    QTest::addRow("-5 handled") << -5 << true << true;
    for (int code : {0, -1, -2, -3, -4, 14, 15, 17, 25, 26, 29, 30, 35, 44, -7, -100, 46, 100,
                     32767, -32768})
        QTest::addRow("%d dropped", code) << code << false << false;
}

void TestFraming::dispatchedCodes()
{
    QFETCH(int, code);
    QFETCH(bool, dispatched);
    QFETCH(bool, endsConnection);
    // Framed like any other packet: the next one still arrives.
    Protocole_ZQV(wirePacket(qint16(code), "name", "a|b") + kUsers);
    QCOMPARE(m_seen.size(), (dispatched ? 1 : 0) + (endsConnection ? 0 : 1));
    if (dispatched) {
        QCOMPARE(int(m_seen.first().code), code);
        QCOMPARE(m_seen.first().text, QStringLiteral("a|b"));
    }
    if (!endsConnection)
        QCOMPARE(int(m_seen.last().code), 2);
}

void TestFraming::bodyDecoding_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expectName");
    QTest::addColumn<QByteArray>("expectBytes");
    QTest::addColumn<QString>("expectText");

    QTest::newRow("NUL ends the text, bytes whole")
        << 2 << QByteArray("") << QByteArray("ab\0cd", 5) << QString()
        << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
    QTest::newRow("NUL first") << 45 << QByteArray("test") << QByteArray("\0" "17", 3)
                               << QStringLiteral("test") << QByteArray("\0" "17", 3) << QString();
    // "علي" in CP-1256 arrives as Arabic, re-encoded as UTF-8.
    QTest::newRow("CP-1256 body") << 1 << QByteArray("") << QByteArray::fromHex("dae1ed")
                                  << QString() << QByteArray::fromHex("d8b9d984d98a")
                                  << QString::fromUtf8("علي");
    // The same word sent as UTF-8 is still read as CP-1256.
    QTest::newRow("UTF-8 body read as CP-1256")
        << 12 << QByteArray("txt") << QByteArray::fromHex("d8b9d984d98a") << QStringLiteral("txt")
        << QByteArray::fromHex("d8b7c2b9d8b8e2809ed8b8d9b9")
        << QString::fromUtf8("ط¹ظ„ظٹ");
    QTest::newRow("name trimmed") << -5 << QByteArray("  usr \t") << QByteArray()
                                  << QStringLiteral("usr") << QByteArray() << QString();
    QTest::newRow("arabic name") << 8 << QByteArray::fromHex("dae1ed") << QByteArray("x")
                                 << QString::fromUtf8("علي") << QByteArray("x")
                                 << QStringLiteral("x");
}

void TestFraming::bodyDecoding()
{
    QFETCH(int, code);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, body);
    QFETCH(QString, expectName);
    QFETCH(QByteArray, expectBytes);
    QFETCH(QString, expectText);
    Protocole_ZQV(wirePacket(qint16(code), name, body));
    QCOMPARE(m_seen.size(), 1);
    QCOMPARE(m_seen[0].name, expectName);
    QCOMPARE(m_seen[0].bytes().toHex(), expectBytes.toHex());
    QCOMPARE(m_seen[0].text, expectText);
}

void TestFraming::mismatchLogsAndCloses()
{
    QTcpSocket *peer = connectClient();
    QVERIFY(peer);
    QByteArray bad = kUsers;
    bad[13] = 'n';
    QTest::ignoreMessage(QtDebugMsg, "Protocol ZQV mismatch.\n");
    QTest::ignoreMessage(QtDebugMsg, "Status: Unconnected");
    peer->write(kTest + bad + kTest);
    QTRY_COMPARE_WITH_TIMEOUT(peer->state(), QAbstractSocket::UnconnectedState, 5000);
    QCOMPARE(sck->socket()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(m_seen.size(), 1);
    QCOMPARE(incomingFraming().pendingSize(), 0);

    // An over-long length closes too, without the log line.
    peer = connectClient();
    QVERIFY(peer);
    QTest::ignoreMessage(QtDebugMsg, "Status: Unconnected");
    peer->write(wireHeader(3, "big", 1048577));
    QTRY_COMPARE_WITH_TIMEOUT(peer->state(), QAbstractSocket::UnconnectedState, 5000);
}

void TestFraming::keepAliveAnswered()
{
    QTcpSocket *peer = connectClient();
    QVERIFY(peer);
    PacketTst = true;
    peer->write(wirePacket(45, "test", "17"));
    QTRY_COMPARE_WITH_TIMEOUT(peer->bytesAvailable(), qint64(46), 5000);
    QCOMPARE(peer->readAll(), wirePacket(45, "test", ""));
    QVERIFY(!PacketTst);
    QCOMPARE(m_seen.size(), 1);
    QCOMPARE(m_seen[0].bytes(), QByteArray("17"));
}

void TestFraming::nestedEventLoopKeepsEveryPacket()
{
    QTcpSocket *peer = connectClient();
    QVERIFY(peer);
    // The first packet's handler runs an event loop while the rest of a
    // pending packet and two more arrive; they are dispatched inside it.
    bool nestedDone = false;
    int seenInside = 0;
    setDispatchObserver([&](const IncomingCommand &c) {
        m_seen << c;
        if (m_seen.size() != 1)
            return;
        peer->write(kRoom.mid(30) + kUsers + kTest);
        peer->flush();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (m_seen.size() == 4)
                loop.quit();
        });
        poll.start(5);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        seenInside = m_seen.size();
        nestedDone = true;
    });
    peer->write(wirePacket(6, "", "first") + kRoom.left(30));
    QTRY_COMPARE_WITH_TIMEOUT(m_seen.size(), 4, 5000);
    QVERIFY(nestedDone);
    QCOMPARE(seenInside, 4);
    QCOMPARE(m_seen[0].bytes(), QByteArray("first"));
    QCOMPARE(m_seen[1].bytes(), QByteArray("a|12|hello there"));
    QCOMPARE(m_seen[2].bytes(), QByteArray("ali|omar"));
    QCOMPARE(int(m_seen[3].code), 45);
    QTest::qWait(50);
    QCOMPARE(m_seen.size(), 4);
}

void TestFraming::newConnectionFramedFromItsFirstByte_data()
{
    QTest::addColumn<bool>("peerCloses");
    QTest::newRow("pending bytes when the peer closes") << true;
    QTest::newRow("pending bytes before a connect") << false;
}

void TestFraming::newConnectionFramedFromItsFirstByte()
{
    QFETCH(bool, peerCloses);
    if (peerCloses) {
        QTcpSocket *peer = connectClient();
        QVERIFY(peer);
        peer->write(kRoom.left(30));
        QTRY_COMPARE_WITH_TIMEOUT(incomingFraming().pendingSize(), 30, 5000);
        QTest::ignoreMessage(QtDebugMsg, "Status: Unconnected");
        peer->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(sck->socket()->state(), QAbstractSocket::UnconnectedState, 5000);
        QCOMPARE(incomingFraming().pendingSize(), 0);
    } else {
        Protocole_ZQV(kRoom.left(30));
        QCOMPARE(incomingFraming().pendingSize(), 30);
    }
    QTcpSocket *peer = connectClient();
    QVERIFY(peer);
    QCOMPARE(incomingFraming().pendingSize(), 0);
    peer->write(kUsers);
    QTRY_COMPARE_WITH_TIMEOUT(m_seen.size(), 1, 5000);
    QCOMPARE(m_seen[0].bytes(), QByteArray("ali|omar"));
}

void TestFraming::peerCloseLogsState()
{
    QTcpSocket *peer = connectClient();
    QVERIFY(peer);
    QTest::ignoreMessage(QtDebugMsg, "Status: Unconnected");
    peer->close();
    QTRY_COMPARE_WITH_TIMEOUT(sck->socket()->state(), QAbstractSocket::UnconnectedState, 5000);
    QVERIFY(!sck->socket()->isOpen());
}

QTEST_MAIN(TestFraming)
#include "tst_framing.moc"
