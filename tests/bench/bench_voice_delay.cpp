// Mouth-to-ear delay of a room's voice through the local institute's real
// Icecast, with three clients in processes and homes of their own: a speaker
// whose microphone is a pipe that this process fills at wall-clock pace with
// speech-like sound and a marker tone every 3 s, a listener in the room from
// the start and one who joins a minute later. Each listener plays into a pipe
// that this process drains at wall-clock pace (ALSA's file devices); the
// delay of a marker is the time from its writing into the microphone to its
// reading from the listener's speaker. Reports only.
#include "protocol/state.h"
#include "rooms/frmroom.h"
#include "support/alsafiles.h"
#include "support/institute.h"
#include "support/peer.h"
#include "support/roomclient.h"
#include "support/wire.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRate = 22050;
constexpr int kFrameBytes = 4; // 16-bit stereo
// Qt's ALSA input reads four periods (1764 frames, 80 ms) at a time, and the
// file device pads a read that finds less in the pipe with silence: the
// microphone is written in such whole reads.
constexpr int kMicFrames = 1764;
constexpr double kMarkerEvery = 3.0;
constexpr double kFirstMarker = 1.5;
constexpr double kMarkerSeconds = 0.12;
const double kMarkerHz[] = {700.0, 1000.0, 1400.0, 1900.0};
const QByteArray kCredentials = "c291cmNlOmhhY2ttZQ=="; // source:hackme

double seconds(Clock::time_point t, Clock::time_point from)
{
    return std::chrono::duration<double>(t - from).count();
}

// The microphone's sound at frame n: a murmur of low tones and noise, and
// from kFirstMarker on every kMarkerEvery seconds a marker whose pitch tells
// which of four it is.
qint16 micSample(qint64 n, QRandomGenerator &noise)
{
    const double t = double(n) / kRate;
    const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 3 * t);
    double v = envelope * (0.15 * std::sin(2 * M_PI * 220 * t) + 0.1 * std::sin(2 * M_PI * 330 * t + 1.0))
               + 0.02 * (noise.generateDouble() - 0.5);
    const double sinceFirst = t - kFirstMarker;
    if (sinceFirst >= 0) {
        const qint64 k = qint64(sinceFirst / kMarkerEvery);
        if (sinceFirst - k * kMarkerEvery < kMarkerSeconds)
            v = 0.9 * std::sin(2 * M_PI * kMarkerHz[k % 4] * (sinceFirst - k * kMarkerEvery));
    }
    return qint16(qBound(-32767.0, v * 32767, 32767.0));
}

// A sound device's pipe, opened for reading and writing (its opening never
// waits for the other side, and it never sees the pipe's end) and served by
// a thread of its own until stopped.
class PipeWorker
{
public:
    explicit PipeWorker(const QString &path) : m_path(path) {}
    virtual ~PipeWorker() = default;

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

protected:
    bool open(int pipeBytes)
    {
        m_fd = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
        if (m_fd < 0)
            return false;
        fcntl(m_fd, F_SETPIPE_SZ, pipeBytes);
        return true;
    }
    void runThread() { m_thread = std::thread([this] { run(); }); }
    virtual void run() = 0;

    QString m_path;
    int m_fd = -1;
    std::atomic<bool> m_stop{false};

private:
    std::thread m_thread;
};

// Writes the microphone's sound into its pipe in whole reads, each once the
// sound in it has been "spoken". A read that finds the pipe full (nobody
// captures) is lost, as with a real microphone.
class Microphone : public PipeWorker
{
public:
    using PipeWorker::PipeWorker;
    ~Microphone() override { stop(); }

    bool start()
    {
        if (!open(4 * kMicFrames * kFrameBytes))
            return false;
        m_start = Clock::now();
        runThread();
        return true;
    }
    Clock::time_point startTime() const { return m_start; }
    // Marker k's onset was spoken at start + markerTime(k), if its read was
    // taken by the pipe.
    static double markerTime(int k) { return kFirstMarker + k * kMarkerEvery; }
    bool markerSpoken(int k)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const qint64 chunk = qint64(markerTime(k) * kRate) / kMicFrames;
        return chunk < qint64(m_written.size()) && m_written[size_t(chunk)];
    }
    int markersSpoken(double until)
    {
        int n = 0;
        for (int k = 0; markerTime(k) < until; ++k)
            n += markerSpoken(k) ? 1 : 0;
        return n;
    }

private:
    void run() override
    {
        QRandomGenerator noise(5);
        QByteArray chunk(kMicFrames * kFrameBytes, Qt::Uninitialized);
        auto *s = reinterpret_cast<qint16 *>(chunk.data());
        for (qint64 j = 0; !m_stop; ++j) {
            for (int i = 0; i < kMicFrames; ++i)
                s[2 * i] = s[2 * i + 1] = micSample(j * kMicFrames + i, noise);
            std::this_thread::sleep_until(m_start + std::chrono::microseconds(
                                                        (j + 1) * kMicFrames * 1000000LL / kRate));
            const bool written = ::write(m_fd, chunk.constData(), size_t(chunk.size())) == chunk.size();
            std::lock_guard<std::mutex> lock(m_mutex);
            m_written.push_back(written);
        }
    }

    Clock::time_point m_start;
    std::mutex m_mutex;
    std::vector<bool> m_written;
};

// Drains a listener's speaker pipe at wall-clock pace, as a sound card plays:
// what is not there in time is silence, and the time is not made up later.
// Finds the markers' onsets in what it reads.
class Ear : public PipeWorker
{
public:
    struct Heard
    {
        double at; // seconds since the microphone started
        int pitch; // index in kMarkerHz
    };

    Ear(const QString &path, Clock::time_point origin) : PipeWorker(path), m_origin(origin) {}
    ~Ear() override { stop(); }

    bool start()
    {
        // One page: the pipe holds about 46 ms of sound.
        if (!open(4096))
            return false;
        runThread();
        return true;
    }
    std::vector<Heard> heard()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_heard;
    }
    // Seconds (since the microphone started) of the first sound read, or -1.
    double firstSound() const { return m_firstSound; }
    qint64 shortfallFrames() const { return m_shortfall; }

private:
    void run() override
    {
        const Clock::time_point begin = Clock::now();
        qint64 consumed = 0;
        QByteArray carry;
        std::vector<char> buf;
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const Clock::time_point now = Clock::now();
            const qint64 due = qint64(seconds(now, begin) * kRate) - consumed;
            if (due <= 0)
                continue;
            buf.resize(size_t(due * kFrameBytes));
            qint64 got = 0;
            while (got < due * kFrameBytes) {
                const ssize_t n = ::read(m_fd, buf.data() + got, size_t(due * kFrameBytes - got));
                if (n <= 0)
                    break;
                got += n;
            }
            consumed += due;
            if (m_firstSound >= 0)
                m_shortfall += due - got / kFrameBytes;
            if (got == 0)
                continue;
            if (m_firstSound < 0)
                m_firstSound = seconds(now, m_origin);
            carry.append(buf.data(), int(got));
            const int frames = carry.size() / kFrameBytes;
            listen(reinterpret_cast<const qint16 *>(carry.constData()), frames, seconds(now, m_origin));
            carry.remove(0, frames * kFrameBytes);
        }
    }

    // Blocks of 5 ms; a marker's onset is the first block where one of the
    // marker pitches is strong, a second or more after the last onset.
    void listen(const qint16 *s, int frames, double at)
    {
        constexpr int kBlock = kRate / 200;
        for (int i = 0; i < frames; ++i) {
            m_block[m_inBlock++] = s[2 * i] / 32768.0;
            if (m_inBlock < kBlock)
                continue;
            m_inBlock = 0;
            const double blockAt = at + double(i - kBlock + 1) / kRate;
            int best = -1;
            double bestAmplitude = 0;
            for (int p = 0; p < 4; ++p) {
                const double a = amplitude(m_block, kBlock, kMarkerHz[p]);
                if (a > bestAmplitude) {
                    bestAmplitude = a;
                    best = p;
                }
            }
            if (bestAmplitude > 0.15 && blockAt - m_lastOnset > 1.0) {
                m_lastOnset = blockAt;
                std::lock_guard<std::mutex> lock(m_mutex);
                m_heard.push_back({blockAt, best});
            }
        }
    }
    // Amplitude of the freq component of a block (Hann window, Goertzel).
    static double amplitude(const double *x, int n, double freq)
    {
        const double w = 2 * M_PI * freq / kRate;
        const double c = 2 * std::cos(w);
        double s1 = 0, s2 = 0, windowSum = 0;
        for (int i = 0; i < n; ++i) {
            const double win = 0.5 - 0.5 * std::cos(2 * M_PI * i / (n - 1));
            windowSum += win;
            const double s0 = x[i] * win + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
        return 2 * std::sqrt(std::max(0.0, power)) / windowSum;
    }

    Clock::time_point m_origin;
    std::mutex m_mutex;
    std::vector<Heard> m_heard;
    std::atomic<double> m_firstSound{-1};
    std::atomic<qint64> m_shortfall{0};
    double m_block[kRate / 200] = {};
    int m_inBlock = 0;
    double m_lastOnset = -100;
};

// The delays of the markers a listener heard, each matched with the latest
// marker of its pitch spoken before it; the markers spoken while it listened
// that it never heard.
struct Delays
{
    QList<double> delays;
    int heard = 0;
    int missing = 0;
    QList<double> joinTimes;
};

Delays delaysOf(Ear &ear, Microphone &mic, double listenedFrom, double until)
{
    Delays d;
    QSet<int> matched;
    for (const Ear::Heard &h : ear.heard()) {
        int k = -1;
        for (int c = 0; Microphone::markerTime(c) <= h.at; ++c)
            if (c % 4 == h.pitch && mic.markerSpoken(c))
                k = c;
        if (k < 0 || h.at - Microphone::markerTime(k) > 12.0)
            continue;
        d.delays << h.at - Microphone::markerTime(k);
        matched.insert(k);
    }
    d.heard = matched.size();
    for (int k = 0; Microphone::markerTime(k) < until - 3.0; ++k)
        if (Microphone::markerTime(k) >= listenedFrom && mic.markerSpoken(k) && !matched.contains(k))
            ++d.missing;
    return d;
}

QString summary(const Delays &d)
{
    if (d.delays.isEmpty())
        return QStringLiteral("no marker heard");
    QList<double> sorted = d.delays;
    std::sort(sorted.begin(), sorted.end());
    const int settled = qMin(10, d.delays.size());
    const QList<double> last = d.delays.mid(d.delays.size() - settled);
    QList<double> lastSorted = last;
    std::sort(lastSorted.begin(), lastSorted.end());
    QStringList shown;
    for (double v : d.delays)
        shown << QString::number(v, 'f', 2);
    return QStringLiteral("%1 markers heard, %2 spoken meanwhile missing; delay min %3 s, median "
                          "%4 s, max %5 s; last %6: median %7 s, max %8 s; all: %9")
        .arg(d.heard)
        .arg(d.missing)
        .arg(sorted.first(), 0, 'f', 2)
        .arg(sorted.at(sorted.size() / 2), 0, 'f', 2)
        .arg(sorted.last(), 0, 'f', 2)
        .arg(settled)
        .arg(lastSorted.at(lastSorted.size() / 2), 0, 'f', 2)
        .arg(lastSorted.last(), 0, 'f', 2)
        .arg(shown.join(QLatin1Char(' ')));
}

// A client of room 12 in a process of its own: "speaker" (ali, given the
// microphone) or "listener" (bob, with ali speaking). Runs until the file
// "stop" appears in its folder.
int runClient(const QByteArray &role)
{
    const QString folder = qEnvironmentVariable("VELMAR_VOICE_FOLDER");
    const QString stream = qEnvironmentVariable("VELMAR_VOICE_STREAM");
    w_radio = r_radio = stream;
    path_radio = QStringLiteral("live1-room");
    pass_radio = kCredentials;
    IPServer2 = QStringLiteral("127.0.0.1");
    LoopbackPeer peer;
    const bool speaker = role == "speaker";
    FrmRoom *w = enterRoom12(peer, speaker ? QStringLiteral("ali") : QStringLiteral("bob"),
                             speaker ? "bob" : "ali", speaker ? 0 : 1);
    if (!w)
        return 2;
    if (speaker)
        peer.send(wirePacket(13, "mic", "ali|12|0|0"));
    if (!QTest::qWaitFor([&] { return QFile::exists(QDir(folder).filePath(QStringLiteral("stop"))); },
                         600000))
        return 3;
    return 0;
}

} // namespace

class BenchVoiceDelay : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    Institute m_institute;
    QList<QProcess *> m_clients;

    // Starts a client with a home of its own whose microphone reads capture
    // and whose speaker writes playback.
    QProcess *startClient(const QByteArray &role, const QString &name, const QString &capture,
                          const QString &playback)
    {
        const QString home = m_dir.filePath(name);
        if (!QDir().mkpath(home + QStringLiteral("/.config"))
            || !QDir().mkpath(home + QStringLiteral("/runtime"))
            || !useAlsaFileDevice(capture, playback, home))
            return nullptr;
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
        env.insert(QStringLiteral("VELMAR_VOICE_ROLE"), QString::fromLatin1(role));
        env.insert(QStringLiteral("VELMAR_VOICE_FOLDER"), home);
        env.insert(QStringLiteral("VELMAR_VOICE_STREAM"),
                   QStringLiteral("127.0.0.1:%1").arg(m_institute.port(QStringLiteral("stream"))));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->setStandardOutputFile(QProcess::nullDevice());
        p->start(QCoreApplication::applicationFilePath(), QStringList());
        m_clients << p;
        return p->waitForStarted(20000) ? p : nullptr;
    }

    bool mountUp()
    {
        return m_institute.control(instituteCommand(QStringLiteral("stream-mounts")))
            .value(QStringLiteral("mounts")).toArray().contains(QStringLiteral("/live1-room12"));
    }

private slots:
    void cleanupTestCase()
    {
        for (QProcess *p : m_clients) {
            QFile stop(QDir(p->processEnvironment().value(QStringLiteral("VELMAR_VOICE_FOLDER")))
                           .filePath(QStringLiteral("stop")));
            if (stop.open(QIODevice::WriteOnly))
                stop.close();
        }
        for (QProcess *p : m_clients) {
            if (!p->waitForFinished(20000))
                p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        m_clients.clear();
    }

    void mouthToEar()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
        const QString micPipe = m_dir.filePath(QStringLiteral("microphone.pipe"));
        const QString earPipes[] = {m_dir.filePath(QStringLiteral("early.pipe")),
                                    m_dir.filePath(QStringLiteral("late.pipe"))};
        const QString silence = m_dir.filePath(QStringLiteral("silence.raw"));
        QVERIFY(writeRaw(silence, QByteArray(4096, '\0')));
        for (const QString &p : {micPipe, earPipes[0], earPipes[1]})
            QVERIFY(::mkfifo(p.toLocal8Bit().constData(), 0600) == 0);

        Microphone mic(micPipe);
        QVERIFY(mic.start());
        Ear early(earPipes[0], mic.startTime());
        Ear late(earPipes[1], mic.startTime());
        QVERIFY(early.start());
        QVERIFY(late.start());
        auto now = [&] { return seconds(Clock::now(), mic.startTime()); };

        // The early listener is in the room before the speaker speaks.
        QVERIFY(startClient("listener", QStringLiteral("early"), silence, earPipes[0]));
        QVERIFY(startClient("speaker", QStringLiteral("speaker"), micPipe, QStringLiteral("/dev/null")));
        QVERIFY(QTest::qWaitFor([&] { return mountUp(); }, 60000));
        const double onAir = now();
        QTest::qWait(60000);
        const double lateJoin = now();
        QVERIFY(startClient("listener", QStringLiteral("late"), silence, earPipes[1]));
        QTest::qWait(33000);
        const double end = now();
        cleanupTestCase();
        early.stop();
        late.stop();
        mic.stop();

        const Delays first = delaysOf(early, mic, qMax(onAir, early.firstSound()) + 3.0, end);
        const Delays second = delaysOf(late, mic, lateJoin, end);
        qInfo("mouth to ear through Icecast (seconds from the microphone's pipe to the "
              "listener's speaker pipe, markers every %.0f s; the stream was up %.1f s after the "
              "microphone started, %d markers spoken in %.0f s)",
              kMarkerEvery, onAir, mic.markersSpoken(end), end);
        qInfo("listener present from the start (first sound at %.1f s): %s; speaker short by "
              "%.1f s of sound",
              early.firstSound(), qPrintable(summary(first)),
              double(early.shortfallFrames()) / kRate);
        qInfo("listener joining after a minute (at %.1f s, first sound at %.1f s): %s; speaker "
              "short by %.1f s of sound",
              lateJoin, late.firstSound(), qPrintable(summary(second)),
              double(late.shortfallFrames()) / kRate);
        QVERIFY(!first.delays.isEmpty());
        QVERIFY(!second.delays.isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray role = qgetenv("VELMAR_VOICE_ROLE");
    if (!role.isEmpty())
        return runClient(role);
    BenchVoiceDelay bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_voice_delay.moc"
