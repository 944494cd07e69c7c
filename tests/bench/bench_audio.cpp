// Room audio: processor time of the encoder and the decoder beside the lame
// and mpg123 command-line programs on the same sound, the memory of a player
// that gets an hour of stream with nothing pulling the sound and of a room
// window that decodes and plays an hour of its stream (to ALSA's file
// device), and the latency from sound in to MP3 out and from MP3 in to sound
// pulled. Reports, and guards only that the sound was really decoded.
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/audiodevices.h"
#include "rooms/frmroom.h"
#include "rooms/playaudio.h"
#include "rooms/recordaudio.h"
#include "support/alsafiles.h"
#include "support/fakestream.h"
#include "support/peer.h"
#include "support/tone.h"
#include "support/wire.h"

#include <QFile>
#include <QNetworkReply>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int kRate = 22050;
constexpr int kBytesPerSecond = kRate * 4;

double processSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Speech-like test sound: a few tones that come and go, and some noise.
QByteArray lessonSound(int seconds)
{
    QByteArray pcm(seconds * kBytesPerSecond, Qt::Uninitialized);
    auto *s = reinterpret_cast<qint16 *>(pcm.data());
    QRandomGenerator rng(11);
    for (int i = 0; i < seconds * kRate; ++i) {
        const double t = double(i) / kRate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 3 * t);
        const double v = envelope * (0.3 * std::sin(2 * M_PI * 220 * t)
                                     + 0.2 * std::sin(2 * M_PI * 660 * t + 1.0)
                                     + 0.1 * std::sin(2 * M_PI * 1800 * t))
                         + 0.02 * (rng.generateDouble() - 0.5);
        s[2 * i] = s[2 * i + 1] = qint16(v * 32767);
    }
    return pcm;
}

// Runs a program with stdin and stdout on the given files; its processor
// time (user + system) in seconds, or -1 when it failed.
double childSeconds(const QStringList &argv, const QString &in, const QString &out)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray inPath = in.toLocal8Bit(), outPath = out.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 0, inPath.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QList<QByteArray> args;
    for (const QString &a : argv)
        args << a.toLocal8Bit();
    std::vector<char *> cargs;
    for (QByteArray &a : args)
        cargs.push_back(a.data());
    cargs.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, cargs[0], &actions, nullptr, cargs.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
           + usage.ru_stime.tv_usec / 1e6;
}

// A memory figure of this process from /proc/self/status, in kB.
long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}
// Bytes of 16-bit stereo sound in a raw file that are not silent, counted
// in pieces of 10 ms.
qint64 soundBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    qint64 sound = 0;
    const int piece = kBytesPerSecond / 100;
    while (!f.atEnd()) {
        const QByteArray bytes = f.read(piece);
        const auto *s = reinterpret_cast<const qint16 *>(bytes.constData());
        if (std::any_of(s, s + bytes.size() / 2, [](qint16 v) { return qAbs(int(v)) > 64; }))
            sound += bytes.size();
    }
    return sound;
}

long peakRssKb() { return statusKb("VmHWM:"); }
long rssKb() { return statusKb("VmRSS:"); }

// The client's encoder settings on the lame command line: VBR (old
// routine), at most 32 kbit/s, joint stereo, quality 2, no tag.
const QStringList kLameSettings{QStringLiteral("--vbr-old"), QStringLiteral("-B"),
                                QStringLiteral("32"), QStringLiteral("-q"), QStringLiteral("2"),
                                QStringLiteral("-t")};

QStringList lameCommand(const QString &in, const QString &out)
{
    return QStringList{QStringLiteral("lame"), QStringLiteral("--quiet"), QStringLiteral("-r"),
                       QStringLiteral("-s"), QStringLiteral("22.05"), QStringLiteral("--bitwidth"),
                       QStringLiteral("16"), QStringLiteral("--signed"),
                       QStringLiteral("--little-endian"), QStringLiteral("-m"), QStringLiteral("j")}
           + kLameSettings + QStringList{in, out};
}

QByteArray encodeWithClient(const QByteArray &pcm, double *seconds)
{
    RecordAudio rec(roomAudioFormat(), nullptr);
    QByteArray mp3;
    QObject::connect(&rec, &RecordAudio::Record,
                     [&mp3](const char *d, qint64 n) { mp3.append(d, int(n)); });
    const double t0 = processSeconds();
    rec.start();
    for (int pos = 0; pos < pcm.size(); pos += 4096)
        rec.write(pcm.constData() + pos, qMin(4096, pcm.size() - pos));
    rec.stop();
    *seconds = processSeconds() - t0;
    return mp3;
}

// The sound decoded by all the players of a room window. The window
// replaces its player on every restart and format change, and a player may
// decode and go within one pass of the event loop: each one's count is read
// when asked and last just before its deferred deletion.
class DecodedTally : public QObject
{
public:
    explicit DecodedTally(QObject *room) : m_room(room)
    {
        room->installEventFilter(this);
        for (QObject *child : room->children())
            watch(child);
    }
    // Reads the living players' counts; returns the most sound one holds,
    // decoded and undecoded.
    qint64 poll()
    {
        qint64 held = 0;
        const auto living = m_room->findChildren<PlayAudio *>(QString(), Qt::FindDirectChildrenOnly);
        for (PlayAudio *p : living) {
            read(p);
            held = std::max<qint64>(held, p->SizeBuffer() + p->heldInput());
        }
        return held;
    }
    qint64 total() const
    {
        qint64 sum = m_gone;
        for (qint64 n : m_live)
            sum += n;
        return sum;
    }
    int players() const { return m_players; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_room && event->type() == QEvent::ChildAdded) {
            // Sent while the child is being made: its kind is known later.
            watch(static_cast<QChildEvent *>(event)->child());
        } else if (event->type() == QEvent::DeferredDelete && watched != m_room) {
            if (auto *p = qobject_cast<PlayAudio *>(watched)) {
                read(p);
                m_gone += m_live.take(p);
            }
        }
        return false;
    }

private:
    void watch(QObject *child)
    {
        child->installEventFilter(this);
        connect(child, &QObject::destroyed, this, [this, child] { m_live.remove(child); });
    }
    void read(PlayAudio *p)
    {
        if (!m_live.contains(p))
            ++m_players;
        m_live[p] = p->decodedBytes();
    }

    QObject *m_room;
    QHash<QObject *, qint64> m_live; // players by address, while they live
    qint64 m_gone = 0;
    int m_players = 0;
};

} // namespace

class BenchAudio : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QByteArray pcm;
    QString pcmPath, mp3Path, playbackPath;
    static constexpr int kSeconds = 60;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // The room plays to ALSA's file device: the default device of a
        // machine without a sound server takes no format, and a room would
        // then decode nothing.
        const QString silence = dir.filePath(QStringLiteral("silence.raw"));
        playbackPath = dir.filePath(QStringLiteral("played.raw"));
        QVERIFY(writeRaw(silence, QByteArray(kBytesPerSecond, '\0')));
        QVERIFY(useAlsaFileDevice(silence, playbackPath));
        pcm = lessonSound(kSeconds);
        pcmPath = dir.filePath(QStringLiteral("lesson.raw"));
        QFile f(pcmPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(pcm);
        f.close();
        mp3Path = dir.filePath(QStringLiteral("lesson.mp3"));
        QVERIFY(childSeconds(lameCommand(pcmPath, mp3Path), QStringLiteral("/dev/null"),
                             QStringLiteral("/dev/null"))
                >= 0);
    }

    void encoder()
    {
        double client = 1e9, cli = 1e9;
        QByteArray mp3;
        for (int run = 0; run < 3; ++run) {
            double s = 0;
            mp3 = encodeWithClient(pcm, &s);
            client = std::min(client, s);
            const double c = childSeconds(lameCommand(pcmPath, dir.filePath(QStringLiteral("cli.mp3"))),
                                          QStringLiteral("/dev/null"), QStringLiteral("/dev/null"));
            QVERIFY(c >= 0);
            cli = std::min(cli, c);
        }
        QVERIFY(!mp3.isEmpty());
        const qint64 cliSize = QFileInfo(dir.filePath(QStringLiteral("cli.mp3"))).size();
        qInfo("encoder: client %.2f ms, lame CLI %.2f ms of processor time per second of sound; "
              "ratio client/CLI %.2f; output %lld vs %lld bytes for %d s",
              client * 1000 / kSeconds, cli * 1000 / kSeconds, client / cli,
              qint64(mp3.size()), cliSize, kSeconds);
    }

    void decoder()
    {
        QFile f(mp3Path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray mp3 = f.readAll();
        double client = 1e9, cli = 1e9;
        qint64 pulled = 0;
        for (int run = 0; run < 3; ++run) {
            PlayAudio player(roomAudioFormat(), nullptr);
            player.start();
            char out[4096];
            pulled = 0;
            const double t0 = processSeconds();
            for (int pos = 0; pos < mp3.size(); pos += 1024) {
                player.AddBuffer(mp3.constData() + pos, qMin(1024, mp3.size() - pos));
                while (player.SizeBuffer() >= player.prebuffer() + int(sizeof out))
                    pulled += player.read(out, sizeof out);
            }
            client = std::min(client, processSeconds() - t0);
            const double c = childSeconds({QStringLiteral("mpg123"), QStringLiteral("-q"),
                                           QStringLiteral("-s"), mp3Path},
                                          QStringLiteral("/dev/null"), QStringLiteral("/dev/null"));
            QVERIFY(c >= 0);
            cli = std::min(cli, c);
        }
        QVERIFY(pulled > qint64(kSeconds - 1) * kBytesPerSecond);
        qInfo("decoder: client %.2f ms, mpg123 CLI %.2f ms of processor time per second of sound; "
              "ratio client/CLI %.2f",
              client * 1000 / kSeconds, cli * 1000 / kSeconds, client / cli);
    }

    // An hour of a room's stream arriving with nothing pulling the sound.
    void listeningHourWithoutOutput()
    {
        QFile f(mp3Path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray minute = f.readAll();
        const long before = peakRssKb();
        PlayAudio player(roomAudioFormat(), nullptr);
        int maxDecoded = 0, maxHeld = 0;
        const double t0 = processSeconds();
        for (int m = 0; m < 60; ++m) {
            for (int pos = 0; pos < minute.size(); pos += 1400) {
                player.AddBuffer(minute.constData() + pos, qMin(1400, minute.size() - pos));
                maxDecoded = std::max(maxDecoded, player.SizeBuffer());
                maxHeld = std::max(maxHeld, player.heldInput());
            }
        }
        const double cpu = processSeconds() - t0;
        const long after = peakRssKb();
        QVERIFY(maxDecoded <= player.maxWaitBytes());
        qInfo("listening hour, nothing pulls: %lld MP3 bytes in; decoded sound held at most %d "
              "bytes (%.1f s), undecoded at most %d bytes; peak RSS %ld kB before, %ld kB after "
              "(+%ld kB); %.2f s processor time",
              qint64(minute.size()) * 60, maxDecoded, double(maxDecoded) / kBytesPerSecond,
              maxHeld, before, after, after - before, cpu);
    }

    // A room window that listens to an hour of its stream and plays it to
    // ALSA's file device, which is not paced: the stream arrives as fast as
    // the window decodes it, and the output pulls faster than real time.
    void roomListeningHour()
    {
        QFile f(mp3Path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray minute = f.readAll();
        LoopbackPeer chat;
        QVERIFY(chat.connectClient());
        FrmUser::keepAlivePeriod = 3600 * 1000;
        frmusr = new FrmUser(nullptr);
        frmusr->setUSER(QStringLiteral("me"));
        FakeListenServer stream;
        r_radio = QStringLiteral("127.0.0.1:%1").arg(stream.port());
        path_radio = QStringLiteral("room");
        Idroom = IdroomSound = 12;
        chat.send(wirePacket(10, "Lst_room",
                             "id:12|name:R|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0|mobachir:0||"
                             "nick:ali|admin:0|type:1|red:0|cam:0|mic:1|hand:0|granted:0<>"
                             "nick:me|admin:0|type:1|red:0|cam:0|mic:0|hand:0|granted:0"));
        QVERIFY(stream.waitForRequests(1));
        const int room = FindRoom(12);
        QVERIFY(room >= 0);
        QPointer<QNetworkReply> reply;
        for (QNetworkReply *r : frmRooms.at(room)->findChildren<QNetworkReply *>())
            if (r->url().path() == QLatin1String("/room12"))
                reply = r;
        QVERIFY(reply);
        qint64 received = 0;
        bool ended = false;
        connect(reply, &QNetworkReply::downloadProgress, this,
                [&received](qint64 bytes, qint64) { received = bytes; });
        connect(reply, &QNetworkReply::finished, this, [&ended] { ended = true; });
        DecodedTally players(frmRooms.at(room));
        qint64 held = 0;
        auto tally = [&] { held = std::max(held, players.poll()); };
        auto decoded = [&] { return players.total(); };
        const long before = peakRssKb();
        long afterFirstMinute = 0;
        QList<long> resident; // after minutes 1, 10, 20, ... 60
        const double t0 = processSeconds();
        QElapsedTimer wall;
        wall.start();
        for (int m = 0; m < 60; ++m) {
            for (int pos = 0; pos < minute.size(); pos += 16 * 1024) {
                // The next piece once the window has decoded some of this
                // one: a read of more than the player's input bound (64 KB,
                // some 20 s of sound) would have its oldest part skipped, as
                // for a listener who has fallen that far behind.
                const qint64 was = decoded();
                stream.send(minute.mid(pos, 16 * 1024));
                QVERIFY2(QTest::qWaitFor([&] {
                             tally();
                             return decoded() > was;
                         }, 20000),
                         "the window decoded nothing of what it was sent");
            }
            QVERIFY(QTest::qWaitFor([&] {
                tally();
                return stream.pendingBytes() == 0;
            }, 20000));
            QCoreApplication::processEvents();
            tally();
            if (m == 0)
                afterFirstMinute = peakRssKb();
            if (m == 0 || m % 10 == 9)
                resident << rssKb();
        }
        // The stream ends: once the window's request has finished, all that
        // was sent has reached the window and been decoded (the window tears
        // the players down 2 s later).
        const qint64 sent = qint64(minute.size()) * 60;
        stream.drop();
        QVERIFY2(QTest::qWaitFor([&] {
                     tally();
                     return ended;
                 }, 30000),
                 qPrintable(QStringLiteral("the window's request has not ended; %1 of %2 bytes "
                                           "received").arg(received).arg(sent)));
        tally();
        QCOMPARE(received, sent);
        // Every frame of the hour is decoded, but for what the first player
        // had not yet fed to its decoder when the window replaced it to start
        // the output.
        const qint64 frames = mp3Frames(minute).size();
        QVERIFY(frames > 0);
        const qint64 hour = 60 * frames * 576 * 4;
        const bool whole = decoded() >= hour * 99 / 100;
        const double cpu = processSeconds() - t0;
        const qint64 ms = wall.elapsed();
        const long after = peakRssKb();
        const qint64 played = QFileInfo(playbackPath).size();
        const qint64 heard = soundBytes(playbackPath);
        qInfo("room window, an hour of stream played to ALSA's file device: %lld MP3 bytes "
              "taken in %.1f s; %d players decoded %lld bytes of sound (%.2f %% of its frames); "
              "the output wrote %lld bytes (%.1f s, %.1f s of it not silent); the players held "
              "at most %lld bytes; peak RSS %ld kB before, %ld kB after the first minute, %ld kB "
              "after the hour; resident kB after minutes 1, 10, 20 ... 60: %s (the fake server "
              "and the network thread share this process); %.2f s processor time, %.2f ms per "
              "minute of sound",
              sent, ms / 1000.0, players.players(), decoded(),
              double(decoded()) / hour * 100, played, double(played) / kBytesPerSecond,
              double(heard) / kBytesPerSecond, held, before, afterFirstMinute, after,
              qPrintable([&] {
                  QStringList l;
                  for (long r : resident)
                      l << QString::number(r);
                  return l.join(QLatin1Char(' '));
              }()),
              cpu, cpu * 1000 / 60);
        QVERIFY2(whole, qPrintable(QStringLiteral("%1 of %2 bytes of sound decoded")
                                       .arg(decoded())
                                       .arg(hour)));
        QVERIFY2(heard > 0, "the output played only silence");
        while (!frmRooms.isEmpty())
            delete frmRooms.first();
        delete frmusr;
        frmusr = nullptr;
    }

    // From the sound that completes a chunk to its MP3 bytes at the server.
    void latencyCaptureToSocket()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
        QVERIFY(socket.waitForConnected(10000));
        QVERIFY(server.waitForNewConnection(10000));
        QTcpSocket *peer = server.nextPendingConnection();

        RecordAudio rec(roomAudioFormat(), nullptr);
        bool sent = false;
        QObject::connect(&rec, &RecordAudio::Record, [&](const char *d, qint64 n) {
            socket.write(d, n);
            socket.flush();
            sent = true;
        });
        rec.start();
        const int chunk = 8192 * 4;
        QList<qint64> micros;
        for (int c = 0; c < 40; ++c) {
            rec.write(pcm.constData() + c * chunk, chunk - 4);
            sent = false;
            QElapsedTimer timer;
            timer.start();
            rec.write(pcm.constData() + c * chunk + chunk - 4, 4);
            if (!sent)
                continue; // the encoder's start-up delay: nothing to send yet
            if (peer->bytesAvailable() == 0 && !peer->waitForReadyRead(10000))
                continue;
            micros << timer.nsecsElapsed() / 1000;
            peer->readAll();
        }
        QVERIFY(!micros.isEmpty());
        std::sort(micros.begin(), micros.end());
        qInfo("capture to socket: a chunk of 8192 frames is %.1f ms of sound (the longest a "
              "sample waits for its chunk); encoding and sending it took median %lld us, worst "
              "%lld us",
              8192 * 1000.0 / kRate, micros.at(micros.size() / 2), micros.last());
    }

    // From MP3 bytes arriving to their sound being pulled by the output.
    void latencyArrivalToPull()
    {
        QFile f(mp3Path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray mp3 = f.readAll();
        PlayAudio player(roomAudioFormat(), nullptr);
        player.start();
        char out[4096];
        QElapsedTimer timer;
        timer.start();
        qint64 firstSound = -1;
        int fedBytes = 0;
        QList<qint64> addMicros;
        for (int pos = 0; pos < mp3.size() && firstSound < 0; pos += 512) {
            QElapsedTimer one;
            one.start();
            player.AddBuffer(mp3.constData() + pos, qMin(512, mp3.size() - pos));
            addMicros << one.nsecsElapsed() / 1000;
            fedBytes = pos + 512;
            player.read(out, sizeof out);
            if (std::any_of(out, out + sizeof out, [](char c) { return c != 0; }))
                firstSound = timer.nsecsElapsed() / 1000;
        }
        QVERIFY(firstSound >= 0);
        std::sort(addMicros.begin(), addMicros.end());
        qInfo("arrival to pull: sound is first pulled once %d MP3 bytes have arrived (half a "
              "second of sound is gathered first: %.0f ms); decoding one 512-byte feed took median "
              "%lld us, worst %lld us; the whole start took %lld us of processing",
              fedBytes, 500.0, addMicros.at(addMicros.size() / 2), addMicros.last(), firstSound);
    }
};

QTEST_MAIN(BenchAudio)
#include "bench_audio.moc"
