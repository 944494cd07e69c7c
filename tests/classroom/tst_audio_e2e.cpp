// Two clients in one room against the real streaming server (the local
// institute's Icecast): the speaking client, in this process, captures a
// 440 Hz tone from ALSA's file device and streams it; the listening client,
// a second process with a home and sound files of its own, fetches the
// room's stream and plays it into its speaker file, which then holds the
// same tone. Both record the lecture, and each recording holds exactly the
// MP3 bytes that passed on its wire.
#include "roomwindow.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/recordaudio.h"
#include "support/alsafiles.h"
#include "support/institute.h"
#include "support/peer.h"
#include "support/roomclient.h"
#include "support/tcpproxy.h"
#include "support/tone.h"
#include "support/wire.h"

#include <QApplication>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kCredentials = "c291cmNlOmhhY2ttZQ=="; // source:hackme

QByteArray fileContent(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString onlyFile(const QString &folder, const QString &pattern)
{
    const QStringList files = QDir(folder).entryList({pattern}, QDir::Files);
    return files.size() == 1 ? QDir(folder).filePath(files.first()) : QString();
}

// The listening client: plays and records room 12 until the file "stop"
// appears in its recording folder.
int runListener()
{
    const QString folder = qEnvironmentVariable("VELMAR_LISTENER");
    r_radio = qEnvironmentVariable("VELMAR_LISTEN_ADDRESS");
    path_radio = QStringLiteral("live1-room");
    LoopbackPeer peer;
    FrmRoom *w = enterRoom12(peer, QStringLiteral("bob"), "ali", 0);
    if (!w)
        return 2;
    hooks::setDirectoryHandler([folder](const QString &, const QString &) { return folder; });
    w->findChild<QPushButton *>(QStringLiteral("Brec"))->click();
    // Ali is shown speaking: the room's stream is fetched from now on.
    peer.send(wirePacket(13, "mic", "ali|12|0|0"));
    QPointer<QNetworkReply> stream;
    if (!QTest::qWaitFor(
            [&] {
                // The room's stream, not a page of the station view.
                for (QNetworkReply *r : w->findChildren<QNetworkReply *>())
                    if (r->url().path() == QLatin1String("/live1-room12"))
                        stream = r;
                return !stream.isNull();
            },
            20000))
        return 4;
    if (!QTest::qWaitFor([&] { return QFile::exists(QDir(folder).filePath(QStringLiteral("stop"))); },
                         120000))
        return 3;
    // The stream has ended at the server; what it sent is read to its end.
    if (!QTest::qWaitFor([&] { return !stream || stream->isFinished(); }, 30000))
        return 5;
    w->findChild<QPushButton *>(QStringLiteral("Brec"))->click();
    return 0;
}

} // namespace

class TestAudioE2E : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    Institute m_institute;

private slots:
    void toneFromSpeakerToListener()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
        const quint16 icecast = m_institute.port(QStringLiteral("stream"));
        QVERIFY(icecast != 0);
        RecordingProxy sourceWire(icecast);
        RecordingProxy listenWire(icecast);

        // The speaker: this process.
        const QString microphone = m_dir.filePath(QStringLiteral("microphone.raw"));
        QVERIFY(writeRaw(microphone, makeTone(440, 60)));
        QVERIFY(useAlsaFileDevice(microphone, m_dir.filePath(QStringLiteral("speaker-a.raw"))));
        w_radio = QStringLiteral("127.0.0.1:%1").arg(sourceWire.port());
        path_radio = QStringLiteral("live1-room");
        pass_radio = kCredentials;
        IPServer2 = QStringLiteral("127.0.0.1");
        LoopbackPeer peer;
        FrmRoom *speaker = enterRoom12(peer, QStringLiteral("ali"), "bob", 0);
        QVERIFY(speaker);
        const QString speakerRecords = m_dir.filePath(QStringLiteral("speaker-records"));
        QVERIFY(QDir().mkpath(speakerRecords));
        hooks::setDirectoryHandler([&](const QString &, const QString &) { return speakerRecords; });
        speaker->findChild<QPushButton *>(QStringLiteral("Brec"))->click();
        peer.send(wirePacket(13, "mic", "ali|12|0|0"));
        QVERIFY(QTest::qWaitFor([&] { return speaker->findChild<RecordAudio *>()->isOpen(); }, 20000));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !sourceWire.links.isEmpty()
                       && sourceWire.links.first().down.startsWith("HTTP/1.0 200 OK\r\n\r\n");
            },
            20000));

        // The listener: a second client in a process and home of its own.
        const QString listenerHome = m_dir.filePath(QStringLiteral("listener"));
        const QString listenerRecords = m_dir.filePath(QStringLiteral("listener-records"));
        const QString listenerSpeaker = m_dir.filePath(QStringLiteral("speaker-b.raw"));
        QVERIFY(QDir().mkpath(listenerHome + QStringLiteral("/.config")));
        QVERIFY(QDir().mkpath(listenerHome + QStringLiteral("/runtime")));
        QVERIFY(QDir().mkpath(listenerRecords));
        QVERIFY(writeRaw(m_dir.filePath(QStringLiteral("silence.raw")), QByteArray(4096, '\0')));
        QVERIFY(useAlsaFileDevice(m_dir.filePath(QStringLiteral("silence.raw")), listenerSpeaker,
                                  listenerHome));
        QProcess listener;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), listenerHome);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), listenerHome + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), listenerHome + QStringLiteral("/runtime"));
        env.insert(QStringLiteral("VELMAR_LISTENER"), listenerRecords);
        env.insert(QStringLiteral("VELMAR_LISTEN_ADDRESS"),
                   QStringLiteral("127.0.0.1:%1").arg(listenWire.port()));
        listener.setProcessEnvironment(env);
        listener.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        listener.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(listener.waitForStarted(20000));

        // What the listener plays is the speaker's tone.
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QByteArray pcm = fileContent(listenerSpeaker);
                return pcm.size() > 22050 * 4 * 4 && measuredFrequency(pcm, 22050, 2) > 0;
            },
            60000));
        const double heard = measuredFrequency(fileContent(listenerSpeaker), 22050, 2);
        QVERIFY2(qAbs(heard - 440.0) < 5.0, qPrintable(QString::number(heard)));

        // The speaker is taken off the air: its source connection ends, and
        // with it the listener's stream. Then both stop recording.
        peer.send(wirePacket(13, "mic-no", "ali|12|0|0|0"));
        QVERIFY(QTest::qWaitFor([&] { return !speaker->findChild<RecordAudio *>()->isOpen(); }, 20000));
        QVERIFY(QTest::qWaitFor([&] { return sourceWire.links.first().clientGone; }, 20000));
        speaker->findChild<QPushButton *>(QStringLiteral("Brec"))->click();
        QVERIFY(!listenWire.links.isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return listenWire.links.first().serverGone; }, 30000));
        QFile stop(QDir(listenerRecords).filePath(QStringLiteral("stop")));
        QVERIFY(stop.open(QIODevice::WriteOnly));
        stop.close();
        // Waiting runs this process's events: the relays go on passing bytes.
        QVERIFY(QTest::qWaitFor([&] { return listener.state() == QProcess::NotRunning; }, 60000));
        QCOMPARE(listener.exitCode(), 0);

        // The speaker's recording: exactly the MP3 after the request.
        const QByteArray up = sourceWire.links.first().up;
        const int head = up.indexOf("\n\n");
        QVERIFY(up.startsWith("SOURCE /live1-room12 HTTP/1.0\n"));
        QVERIFY(head > 0);
        const QByteArray sentMp3 = up.mid(head + 2);
        const QByteArray speakerFile = fileContent(onlyFile(speakerRecords, QStringLiteral("*.mp3")));
        QVERIFY(sentMp3.size() > 10000);
        QCOMPARE(speakerFile.size(), sentMp3.size());
        QVERIFY(speakerFile == sentMp3);

        // The listener's recording: exactly the stream bytes it received, and
        // those are the speaker's bytes, passed on as they are.
        const QByteArray down = listenWire.links.first().down;
        const int body = down.indexOf("\r\n\r\n");
        QVERIFY(down.startsWith("HTTP/1.0 200 OK"));
        const QByteArray receivedMp3 = down.mid(body + 4);
        const QByteArray listenerFile = fileContent(onlyFile(listenerRecords, QStringLiteral("*.mp3")));
        QVERIFY(receivedMp3.size() > 5000);
        QVERIFY2(listenerFile.size() == receivedMp3.size(),
                 qPrintable(QStringLiteral("recorded %1 of %2 bytes; prefix %3, suffix %4, inside %5")
                                .arg(listenerFile.size()).arg(receivedMp3.size())
                                .arg(receivedMp3.startsWith(listenerFile))
                                .arg(receivedMp3.endsWith(listenerFile))
                                .arg(receivedMp3.contains(listenerFile))));
        QVERIFY(listenerFile == receivedMp3);
        QVERIFY(sentMp3.contains(receivedMp3));

        delete speaker;
        delete frmusr;
        deleteLaterNow();
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("VELMAR_LISTENER"))
        return runListener();
    TestAudioE2E test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_audio_e2e.moc"
