// The room audio against the real streaming server of the local institute
// (Icecast): a tone encoded by the microphone's device goes out as a source
// stream, a listener's GET brings it back, and the player decodes the same
// tone from it; refusals come back as refusals.
#include "rooms/audiodevices.h"
#include "rooms/playaudio.h"
#include "rooms/pure/livestream.h"
#include "rooms/recordaudio.h"
#include "rooms/roomaudio.h"
#include "support/institute.h"
#include "support/tone.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QByteArray kCredentials = "c291cmNlOmhhY2ttZQ=="; // source:hackme

// Opens a source on mount; the server's verdict.
SourceAnswer::Verdict announce(QTcpSocket &socket, quint16 port, const QString &mount,
                               const QByteArray &credentials)
{
    QObject owner;
    if (!connectProcessingEvents(&socket, QStringLiteral("127.0.0.1"), port, 10000, &owner)
        || socket.state() != QAbstractSocket::ConnectedState)
        return SourceAnswer::Refused;
    socket.write(sourceRequest(mount, credentials, QStringLiteral("127.0.0.1")));
    SourceAnswer answer;
    (void)QTest::qWaitFor(
        [&] {
            answer.feed(socket.readAll());
            return answer.verdict() != SourceAnswer::Waiting
                   || socket.state() != QAbstractSocket::ConnectedState;
        },
        10000);
    return answer.verdict();
}

} // namespace

class TestAudioIcecast : public QObject
{
    Q_OBJECT
    Institute inst;
    quint16 port = 0;

private slots:
    void initTestCase()
    {
        QVERIFY2(inst.start(), qPrintable(inst.startError()));
        port = inst.port(QStringLiteral("stream"));
        QVERIFY(port != 0);
    }

    void toneGoesThroughTheServer()
    {
        QTcpSocket source;
        QCOMPARE(int(announce(source, port, QStringLiteral("live1-room12"), kCredentials)),
                 int(SourceAnswer::Accepted));

        RecordAudio rec(roomAudioFormat(), nullptr);
        QVERIFY(rec.start());
        QByteArray sent;
        connect(&rec, &RecordAudio::Record, &source, [&](const char *d, qint64 n) {
            source.write(d, n);
            sent.append(d, int(n));
        });
        const QByteArray tone = makeTone(440, 2);
        for (int pos = 0; pos < tone.size(); pos += 4096)
            rec.write(tone.mid(pos, 4096));
        QVERIFY(QTest::qWaitFor([&] { return source.bytesToWrite() == 0; }, 10000));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return inst.control(instituteCommand(QStringLiteral("stream-mounts")))
                    .value(QStringLiteral("mounts")).toArray()
                    .contains(QStringLiteral("/live1-room12"));
            },
            10000));

        // A listener joins and gets what the server keeps of the stream.
        QNetworkAccessManager manager;
        QNetworkReply *reply = manager.get(
            listenRequest(QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("live1-room"), 12));
        PlayAudio player(roomAudioFormat(), nullptr);
        QByteArray heard;
        connect(reply, &QNetworkReply::readyRead, &player, [&] {
            const QByteArray bytes = reply->readAll();
            heard += bytes;
            player.AddBuffer(bytes.constData(), bytes.size());
        });
        // More sound after the listener joined.
        const QByteArray more = makeTone(440, 3);
        for (int pos = 0; pos < more.size(); pos += 4096)
            rec.write(more.mid(pos, 4096));
        QVERIFY(QTest::qWaitFor([&] { return player.SizeBuffer() >= 22050 * 4; }, 20000));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY(reply->header(QNetworkRequest::ContentTypeHeader).toString().contains(
            QStringLiteral("audio/mpeg")));
        // The server passes the bytes on as they are.
        QVERIFY(heard.size() > 1000);
        QVERIFY(sent.contains(heard));

        player.start();
        const QByteArray pcm = player.read(player.SizeBuffer());
        QVERIFY(qAbs(measuredFrequency(pcm, 22050, 2) - 440.0) < 5.0);
        reply->abort();
        delete reply;
    }

    void refusals()
    {
        QTcpSocket wrong;
        QCOMPARE(int(announce(wrong, port, QStringLiteral("live1-room13"), "c291cmNlOm5vcGU=")),
                 int(SourceAnswer::Refused)); // source:nope

        QTcpSocket first, second;
        QCOMPARE(int(announce(first, port, QStringLiteral("live1-room14"), kCredentials)),
                 int(SourceAnswer::Accepted));
        QCOMPARE(int(announce(second, port, QStringLiteral("live1-room14"), kCredentials)),
                 int(SourceAnswer::Refused)); // the mount is taken
    }

    void noStreamIsAnHtmlPage()
    {
        QNetworkAccessManager manager;
        QNetworkReply *reply = manager.get(
            listenRequest(QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("live1-room"), 99));
        QVERIFY(QTest::qWaitFor([&] { return reply->isFinished(); }, 10000));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
        QVERIFY(reply->header(QNetworkRequest::ContentTypeHeader).toString().contains(
            QStringLiteral("text/html")));
        delete reply;
    }
};

QTEST_GUILESS_MAIN(TestAudioIcecast)
#include "tst_audio_icecast.moc"
