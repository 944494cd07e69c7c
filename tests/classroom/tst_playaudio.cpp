// The room stream's player with no sound device behind it: MP3 in, sound
// pulled out, the prebuffer, underruns, how long sound waits however the
// stream comes, format changes and damaged streams, gain and level, and the
// bounds on what it holds while nothing pulls.
#include "common/hooks.h"
#include "rooms/audiodevices.h"
#include "rooms/playaudio.h"
#include "support/decoded.h"
#include "support/manualclock.h"
#include "support/tone.h"

#include <QRandomGenerator>

#include <cmath>
#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray toneMp3(int rate, int channels, double seconds)
{
    const QStringList resample{QStringLiteral("--resample"), QString::number(rate / 1000.0),
                               QStringLiteral("-b"), QStringLiteral("64")};
    return lameMp3(makeTone(440, seconds, rate, channels), rate, channels, resample);
}

// The first count frames of a stereo tone at rate, at bitrate kbit/s, with
// no tag frame: MPEG-1 frames of 1152 samples at 32 kHz and above, 576
// below. Empty when lame made fewer.
QByteArray toneFrames(int rate, int bitrate, int count)
{
    const QByteArray mp3 = lameMp3(makeTone(440, 2, rate, 2), rate, 2,
                                   {QStringLiteral("--resample"), QString::number(rate / 1000.0),
                                    QStringLiteral("-b"), QString::number(bitrate),
                                    QStringLiteral("-t")});
    const QList<Mp3Frame> frames = mp3Frames(mp3);
    if (frames.size() <= count)
        return {};
    return mp3.mid(frames.first().offset, frames.at(count).offset - frames.first().offset);
}

// A started player holding exactly held decoded bytes and waiting for its
// prebuffer again (after an underrun).
void holdExactly(PlayAudio &player, const QByteArray &mp3, int held)
{
    player.AddBuffer(mp3.constData(), mp3.size());
    player.start();
    QVERIFY(player.SizeBuffer() > held);
    QVERIFY(player.read(player.SizeBuffer() - held).size() > 0);
    QCOMPARE(player.SizeBuffer(), held);
    player.read(held + 1); // underrun: back to prebuffering, nothing taken
    QCOMPARE(player.SizeBuffer(), held);
}

// A stream of markers for measuring delay: silence with a marker every half
// second from 0.25 s on; marker k is a 60 ms tone of 500 + 100 * (k % 16) Hz
// at half scale, so markers share a pitch only 8 s apart. 32 kbit/s MP3
// frames of 576 samples without a tag frame.
constexpr int kRate = 22050;
constexpr int kFrameSamples = 576;
constexpr double kMarkerEvery = 0.5;

// The markers' onsets in 16-bit stereo sound: the frame where the sound
// rises after 150 ms of quiet, and the pitch of the 50 ms after it (-1 when
// it is none of the markers').
QList<QPair<int, int>> markerOnsets(const QByteArray &pcm)
{
    QList<QPair<int, int>> onsets;
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    const int frames = pcm.size() / 4;
    int quiet = 0;
    for (int i = 0; i < frames; ++i) {
        if (qAbs(int(s[2 * i])) < 3277) {
            ++quiet;
            continue;
        }
        if (quiet >= kRate * 15 / 100) {
            const double f = measuredFrequency(pcm.mid(i * 4, kRate / 20 * 4), kRate, 2);
            const int pitch = qRound((f - 500) / 100);
            onsets << qMakePair(i, qAbs(f - (500 + 100 * pitch)) < 30 && pitch >= 0 && pitch < 16 ? pitch : -1);
        }
        quiet = 0;
    }
    return onsets;
}

struct MarkerStream
{
    QByteArray mp3;
    QList<Mp3Frame> frames;
    // Stream time at which marker k is complete in the stream: the end of
    // the frame its onset decodes from.
    QList<double> liveAt;
};

MarkerStream markerStream(double seconds)
{
    MarkerStream m;
    QByteArray pcm(int(seconds * kRate) * 4, '\0');
    auto *s = reinterpret_cast<qint16 *>(pcm.data());
    const int count = int((seconds - 0.5) / kMarkerEvery);
    for (int k = 0; k < count; ++k) {
        const int start = int((0.25 + k * kMarkerEvery) * kRate);
        const double hz = 500 + 100 * (k % 16);
        for (int i = 0; i < kRate * 6 / 100; ++i)
            s[2 * (start + i)] = s[2 * (start + i) + 1] = qint16(16383 * std::sin(2 * M_PI * hz * i / kRate));
    }
    m.mp3 = lameMp3(pcm, kRate, 2,
                    {QStringLiteral("--resample"), QStringLiteral("22.05"), QStringLiteral("-b"),
                     QStringLiteral("32"), QStringLiteral("-t")});
    m.frames = mp3Frames(m.mp3);
    const QList<QPair<int, int>> onsets = markerOnsets(mpg123Pcm(m.mp3));
    for (int k = 0; k < onsets.size() && k < count; ++k) {
        if (onsets.at(k).second != k % 16)
            break;
        m.liveAt << double(onsets.at(k).first / kFrameSamples + 1) * kFrameSamples / kRate;
    }
    return m;
}

// How a listener gets the stream. Time is stream time: what is spoken at t is
// complete in the stream at t.
struct Listening
{
    double joinAt = 0;   // arrives then; the last 64 KB of the past come at once
    int burstReads = 1;  // ... in this many reads
    QList<QPair<double, double>> outputStalls; // (from, seconds): nothing is pulled
    QList<QPair<double, double>> streamStalls; // (from, seconds): nothing arrives, then all
    double deviceSeconds = 0; // the output holds this much before it is heard
};

// Plays the stream to a listener: every 20 ms of stream time what has
// become complete arrives, and the test's output pulls 20 ms of sound. The
// delay of each marker heard, from its time in the stream to when it is
// heard, with the marker's number.
QList<QPair<int, double>> delaysHeard(const MarkerStream &m, const Listening &how, PlayAudio &player)
{
    constexpr double kTick = 0.02;
    constexpr int kPull = int(kRate * kTick);
    auto within = [](const QList<QPair<double, double>> &spans, double t) {
        for (const auto &span : spans)
            if (t >= span.first && t < span.first + span.second)
                return true;
        return false;
    };
    const double end = double(m.frames.size()) * kFrameSamples / kRate;
    player.setOutputBuffer(int(how.deviceSeconds * kRate) * 4);
    player.start();
    QByteArray heard;
    QList<double> pulledAt;
    int fed = 0;
    for (int tick = qRound(how.joinAt / kTick); tick * kTick < end; ++tick) {
        const double t = tick * kTick;
        if (!within(how.streamStalls, t)) {
            const int complete = int(t * kRate / kFrameSamples + 1e-9);
            const int upTo = complete < m.frames.size() ? m.frames.at(complete).offset : m.mp3.size();
            if (fed == 0 && upTo > 0) {
                fed = qMax(0, upTo - 64 * 1024);
                const int piece = (upTo - fed + how.burstReads - 1) / how.burstReads;
                for (; fed + piece < upTo; fed += piece)
                    player.AddBuffer(m.mp3.constData() + fed, piece);
            }
            if (upTo > fed)
                player.AddBuffer(m.mp3.constData() + fed, upTo - fed);
            fed = qMax(fed, upTo);
        }
        if (!within(how.outputStalls, t)) {
            heard += player.read(kPull * 4);
            pulledAt << t + how.deviceSeconds;
        }
    }
    QList<QPair<int, double>> delays;
    for (const QPair<int, int> &onset : markerOnsets(heard)) {
        const double at = pulledAt.at(onset.first / kPull) + double(onset.first % kPull) / kRate;
        int k = -1;
        for (int c = 0; c < m.liveAt.size() && m.liveAt.at(c) <= at; ++c)
            if (c % 16 == onset.second)
                k = c;
        if (k >= 0)
            delays << qMakePair(k, at - m.liveAt.at(k));
    }
    return delays;
}

QString shown(const QList<QPair<int, double>> &delays)
{
    QStringList l;
    for (const auto &d : delays)
        l << QStringLiteral("%1:%2").arg(d.first).arg(d.second, 0, 'f', 2);
    return l.join(QLatin1Char(' '));
}

} // namespace

Q_DECLARE_METATYPE(Listening)

class TestPlayAudio : public QObject
{
    Q_OBJECT
private slots:
    void mp3InSoundOut_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("prebuffer");
        QTest::addRow("22050 stereo") << 22050 << 2 << 44100;
        QTest::addRow("44100 stereo") << 44100 << 2 << 88200;
        QTest::addRow("11025 mono") << 11025 << 1 << 11025;
    }
    void mp3InSoundOut()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, prebuffer);
        const QByteArray mp3 = toneMp3(rate, channels, 3);
        QVERIFY(!mp3.isEmpty());
        PlayAudio player(roomAudioFormat(rate, channels), nullptr);
        QSignalSpy formats(&player, &PlayAudio::newFormat);
        QCOMPARE(player.prebuffer(), 0);
        player.AddBuffer(mp3.constData(), mp3.size());
        QCOMPARE(formats.count(), 1);
        QCOMPARE(formats.at(0).at(0).value<long>(), long(rate));
        QCOMPARE(formats.at(0).at(1).toInt(), channels);
        QCOMPARE(player.prebuffer(), prebuffer);
        // Three seconds decoded with nothing pulling: the newest wait.
        QCOMPARE(player.SizeBuffer(), player.maxWaitBytes());

        player.start();
        QVERIFY(player.isReadable() && !player.isWritable());
        const QByteArray pcm = player.read(player.SizeBuffer());
        QVERIFY(qAbs(measuredFrequency(pcm, rate, channels) - 440.0) < 5.0);
        QCOMPARE(player.write("x", 1), qint64(-1)); // read-only
    }

    void prebufferBeforePlaying()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 3);
        {
            PlayAudio player(roomAudioFormat(), nullptr);
            holdExactly(player, mp3, 44099);
            QCOMPARE(player.read(4096), QByteArray(4096, '\0'));
            QCOMPARE(player.SizeBuffer(), 44099);
        }
        {
            PlayAudio player(roomAudioFormat(), nullptr);
            holdExactly(player, mp3, 44100);
            const QByteArray out = player.read(4096);
            QCOMPARE(out.size(), 4096);
            QVERIFY(out != QByteArray(4096, '\0'));
            QCOMPARE(player.SizeBuffer(), 44100 - 4096);
        }
        {
            // Nothing decoded yet: silence, so the output never stalls.
            PlayAudio player(roomAudioFormat(), nullptr);
            player.start();
            QCOMPARE(player.read(512), QByteArray(512, '\0'));
        }
    }

    void underrunGivesSilenceAndKeepsSound()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 3);
        PlayAudio player(roomAudioFormat(), nullptr);
        player.AddBuffer(mp3.constData(), mp3.size());
        player.start();
        player.read(player.SizeBuffer() - 1000);
        QSignalSpy finishes(&player, &PlayAudio::finish);
        QCOMPARE(player.read(4096), QByteArray(4096, '\0'));
        QCOMPARE(finishes.count(), 1);
        QCOMPARE(finishes.at(0).at(0).toLongLong(), 1000);
        QCOMPARE(finishes.at(0).at(1).toLongLong(), 4096);
        QCOMPARE(player.SizeBuffer(), 1000);
        // Prebuffering again: 1000 bytes are not enough to play.
        QCOMPARE(player.read(64), QByteArray(64, '\0'));
        QCOMPARE(finishes.count(), 1);
    }

    // However the listener meets the stream, what it hears is at most the
    // wait bound behind what is spoken, and sound is skipped only above it.
    void delayStaysWithinTheBound_data()
    {
        QTest::addColumn<Listening>("how");
        QTest::addColumn<bool>("reachesBound");
        Listening how;
        QTest::addRow("in the room from the start") << how << false;
        how.joinAt = 20;
        QTest::addRow("joins with the recent past in one read") << how << true;
        how.burstReads = 8;
        QTest::addRow("joins with the recent past over eight reads") << how << true;
        how.deviceSeconds = 0.3;
        QTest::addRow("joins late, output holding 0.3 s") << how << true;
        Listening stalls;
        for (double at : {4.0, 8.0, 12.0, 16.0, 20.0, 24.0})
            stalls.outputStalls << qMakePair(at, 0.4);
        QTest::addRow("output stalls of 0.4 s") << stalls << true;
        Listening gap;
        gap.streamStalls << qMakePair(8.0, 3.0);
        QTest::addRow("stream held up for 3 s") << gap << true;
    }
    void delayStaysWithinTheBound()
    {
        QFETCH(Listening, how);
        QFETCH(bool, reachesBound);
        static const MarkerStream stream = markerStream(34);
        QVERIFY(stream.liveAt.size() > 60);
        PlayAudio player(roomAudioFormat(), nullptr);
        const QList<QPair<int, double>> delays = delaysHeard(stream, how, player);
        const double bound = PlayAudio::kMaxWaitMs / 1000.0;
        QVERIFY2(delays.size() > 20, qPrintable(shown(delays)));
        for (const auto &d : delays)
            QVERIFY2(d.second <= bound + 0.15, qPrintable(shown(delays)));
        if (reachesBound) {
            // Only the excess was skipped: what is heard last is at the bound.
            for (const auto &d : delays.mid(delays.size() - 5))
                QVERIFY2(d.second >= bound - 0.15, qPrintable(shown(delays)));
        } else {
            // Nothing skipped: every marker from the first heard on, each
            // as late as the first.
            QCOMPARE(player.droppedBytes(), qint64(0));
            for (int i = 1; i < delays.size(); ++i) {
                QCOMPARE(delays.at(i).first, delays.at(0).first + i);
                QVERIFY2(qAbs(delays.at(i).second - delays.at(0).second) < 0.05,
                         qPrintable(shown(delays)));
            }
        }
    }

    // A damaged stream makes the decoder announce false formats now and
    // then; only a format whose frames keep coming is passed on, and the
    // stream plays on in between.
    void damagedStreamKeepsItsFormat_data()
    {
        QTest::addColumn<bool>("garbled");
        QTest::addRow("pieces lost") << false;
        QTest::addRow("pieces garbled") << true;
    }
    void damagedStreamKeepsItsFormat()
    {
        QFETCH(bool, garbled);
        // The client's own encoder settings: VBR up to 32 kbit/s.
        const QByteArray mp3 = lameMp3(makeTone(440, 40), 22050, 2,
                                       {QStringLiteral("--resample"), QStringLiteral("22.05"),
                                        QStringLiteral("--vbr-old"), QStringLiteral("-B"),
                                        QStringLiteral("32")});
        QVERIFY(!mp3.isEmpty());
        PlayAudio player(roomAudioFormat(), nullptr);
        QStringList announced;
        connect(&player, &PlayAudio::newFormat, this, [&](long rate, int channels, int) {
            announced << QStringLiteral("%1/%2").arg(rate).arg(channels);
        });
        const QByteArray pcm = playedSound(player, damagedMp3(mp3, 7, garbled), 1400);
        QVERIFY(!announced.isEmpty());
        QVERIFY2(announced.filter(QStringLiteral("22050/2")) == announced,
                 qPrintable(announced.join(QLatin1Char(' '))));
        // The stream plays on: in pieces of 0.2 s, more than 15 s of the 40
        // are heard as the tone.
        int toneWindows = 0;
        for (int pos = 0; pos + 4410 * 4 <= pcm.size(); pos += 4410 * 4)
            toneWindows += qAbs(measuredFrequency(pcm.mid(pos, 4410 * 4), 22050, 2) - 440.0) < 10.0;
        QVERIFY2(toneWindows > 75, qPrintable(QStringLiteral("%1 pieces of the tone in %2 bytes")
                                                  .arg(toneWindows).arg(pcm.size())));
    }

    // A stream whose format really changes: announced once, after enough of
    // its frames, and what came before was played.
    void realFormatChangeIsAnnounced()
    {
        const QByteArray first = toneMp3(22050, 2, 4);
        const QByteArray second = toneMp3(44100, 2, 4);
        PlayAudio player(roomAudioFormat(22050, 2), nullptr);
        QList<long> rates;
        connect(&player, &PlayAudio::newFormat, this,
                [&](long rate, int, int) { rates << rate; });
        const QByteArray pcm = playedSound(player, first + second);
        QCOMPARE(rates, (QList<long>{22050L, 44100L}));
        QVERIFY(pcm.size() > 3 * 22050 * 4);
        QVERIFY(qAbs(measuredFrequency(pcm, 22050, 2) - 440.0) < 5.0);
        QCOMPARE(player.heldInput(), 0);
    }

    // A format other than the player's is believed once the decoder has
    // given a quarter of a second and eight frames of it; a stream that goes
    // back to the player's format before both stays with this player. At
    // 44100 Hz a frame is 26 ms and the time decides; at 16000 and 8000 Hz a
    // frame is 36 and 72 ms and the count decides.
    void formatChangeNeedsTimeAndFrames_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("believed");
        QTest::addRow("44100 Hz, 8 frames, 209 ms") << 44100 << 64 << 8 << false;
        QTest::addRow("44100 Hz, 9 frames, 235 ms") << 44100 << 64 << 9 << false;
        QTest::addRow("44100 Hz, 10 frames, 261 ms") << 44100 << 64 << 10 << true;
        QTest::addRow("16000 Hz, 7 frames, 252 ms") << 16000 << 32 << 7 << false;
        QTest::addRow("16000 Hz, 8 frames, 288 ms") << 16000 << 32 << 8 << true;
        QTest::addRow("8000 Hz, 7 frames, 504 ms") << 8000 << 16 << 7 << false;
        QTest::addRow("8000 Hz, 8 frames, 576 ms") << 8000 << 16 << 8 << true;
    }
    void formatChangeNeedsTimeAndFrames()
    {
        QFETCH(int, rate);
        QFETCH(int, bitrate);
        QFETCH(int, frames);
        QFETCH(bool, believed);
        // 40 frames of 576 samples at 22050 Hz: 1.04 s.
        constexpr int kOurs = 40 * 576 * 4;
        const QByteArray ours = toneFrames(22050, 64, 40);
        const QByteArray other = toneFrames(rate, bitrate, frames);
        QVERIFY(!ours.isEmpty() && !other.isEmpty());
        PlayAudio player(roomAudioFormat(22050, 2), nullptr);
        QList<long> rates;
        connect(&player, &PlayAudio::newFormat, this,
                [&](long r, int, int) { rates << r; });
        const QByteArray pcm = playedSound(player, ours + other + ours + ours);
        const QString seen = QStringLiteral("formats announced %1; %2 bytes played")
                                 .arg([&] {
                                     QStringList l;
                                     for (long r : rates)
                                         l << QString::number(r);
                                     return l.join(QLatin1Char(' '));
                                 }())
                                 .arg(pcm.size());
        if (believed) {
            QVERIFY2(rates == (QList<long>{22050L, long(rate)}), qPrintable(seen));
            // Only what came before the change was played; the room makes a
            // new player, this one takes nothing more.
            QVERIFY2(pcm.size() <= kOurs, qPrintable(seen));
            QCOMPARE(player.heldInput(), 0);
            player.AddBuffer(ours.constData(), ours.size());
            QCOMPARE(player.heldInput(), 0);
            QCOMPARE(rates.size(), 2);
        } else {
            QVERIFY2(rates == (QList<long>{22050L, 22050L}), qPrintable(seen));
            // The stream plays on after the stray frames.
            QVERIFY2(pcm.size() > kOurs * 5 / 2, qPrintable(seen));
            // Its last half second is the tone (the parts' joins are not).
            QVERIFY(qAbs(measuredFrequency(pcm.right(kOurs / 2), 22050, 2) - 440.0) < 5.0);
        }
    }

    void decoderIsFedIn512BytePieces()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 1);
        PlayAudio player(roomAudioFormat(), nullptr);
        player.AddBuffer(mp3.constData(), 1000);
        QCOMPARE(player.heldInput(), 488);
        player.AddBuffer(mp3.constData() + 1000, 23);
        QCOMPARE(player.heldInput(), 511);
        player.AddBuffer(mp3.constData() + 1023, 1);
        QCOMPARE(player.heldInput(), 0);
    }

    // A stream in another format than the player's: the format is announced
    // (the room then makes a player for it) and this player keeps nothing.
    void otherFormatStopsThisPlayer()
    {
        const QByteArray mp3 = toneMp3(44100, 2, 2);
        PlayAudio player(roomAudioFormat(22050, 2), nullptr);
        QSignalSpy formats(&player, &PlayAudio::newFormat);
        player.AddBuffer(mp3.constData(), mp3.size());
        QCOMPARE(formats.count(), 1);
        QCOMPARE(formats.at(0).at(0).value<long>(), 44100L);
        QCOMPARE(player.SizeBuffer(), 0);
        QCOMPARE(player.heldInput(), 0);
        player.AddBuffer(mp3.constData(), mp3.size());
        QCOMPARE(player.heldInput(), 0);
        QCOMPARE(formats.count(), 1);
    }

    // A stream that nobody pulls holds no more than the wait bound, and
    // exactly that: only the excess goes.
    void decodedSoundIsBoundedWhenNothingPulls()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 30);
        PlayAudio player(roomAudioFormat(), nullptr);
        const int cap = player.maxWaitBytes();
        QCOMPARE(cap, 22050 * 4 * PlayAudio::kMaxWaitMs / 1000);
        for (int pos = 0; pos < mp3.size(); pos += 700) {
            player.AddBuffer(mp3.constData() + pos, qMin(700, mp3.size() - pos));
            QVERIFY(player.SizeBuffer() <= cap);
            QVERIFY(player.heldInput() < 512);
        }
        QCOMPARE(player.SizeBuffer(), cap);
        QVERIFY(player.droppedBytes() > 0);
        // Every decoded byte is either held or skipped: about 30 s of sound.
        QCOMPARE(player.decodedBytes(), player.SizeBuffer() + player.droppedBytes());
        QVERIFY(player.decodedBytes() > 29 * 22050 * 4);
        // What is kept is the newest sound, and it still is the tone.
        player.start();
        QVERIFY(qAbs(measuredFrequency(player.read(player.SizeBuffer()), 22050, 2) - 440.0) < 5.0);
    }

    void garbageDoesNotPileUp()
    {
        QByteArray junk(200 * 1024, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char &c : junk)
            c = char(rng.bounded(256));
        const QByteArray mp3 = toneMp3(22050, 2, 3);
        PlayAudio player(roomAudioFormat(), nullptr);
        for (int pos = 0; pos < junk.size(); pos += 1500) {
            player.AddBuffer(junk.constData() + pos, qMin(1500, junk.size() - pos));
            QVERIFY(player.heldInput() <= PlayAudio::kMaxInput);
        }
        player.clear();
        player.AddBuffer(mp3.constData(), mp3.size());
        QVERIFY(player.heldInput() < 512);
        player.start();
        const QByteArray pcm = player.read(player.SizeBuffer());
        QVERIFY(pcm.size() > 22050 * 4);
        QVERIFY(qAbs(measuredFrequency(pcm, 22050, 2) - 440.0) < 5.0);
    }

    void gainVolumeAndLevel()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 2);
        PlayAudio plain(roomAudioFormat(), nullptr);
        PlayAudio halved(roomAudioFormat(), nullptr);
        plain.AddBuffer(mp3.constData(), mp3.size());
        halved.AddBuffer(mp3.constData(), mp3.size());
        plain.start();
        halved.start();
        halved.gain = 0.5f;
        const int n = plain.SizeBuffer();
        QCOMPARE(halved.SizeBuffer(), n);
        const QByteArray a = plain.read(n);
        const QByteArray b = halved.read(n);
        const auto *sa = reinterpret_cast<const qint16 *>(a.constData());
        const auto *sb = reinterpret_cast<const qint16 *>(b.constData());
        for (int i = 0; i < n / 2; ++i)
            QCOMPARE(int(sb[i]), int(float(sa[i]) * 0.5f));
        // The tone was made at half scale; the level follows the gain.
        QVERIFY(qAbs(plain.level - 0.5) < 0.1);
        QVERIFY(qAbs(halved.level - 0.25) < 0.05);

        // The decoder's own volume.
        PlayAudio quiet(roomAudioFormat(), nullptr);
        QCOMPARE(quiet.getVol(), 100.0);
        quiet.setVol(20);
        QCOMPARE(quiet.getVol(), 20.0);
        quiet.AddBuffer(mp3.constData(), mp3.size());
        quiet.start();
        quiet.read(quiet.SizeBuffer());
        QVERIFY(quiet.level < 0.15);
    }

    void levelSignalAtMostEvery50ms()
    {
        ManualClock clock;
        const QByteArray mp3 = toneMp3(22050, 2, 3);
        PlayAudio player(roomAudioFormat(), nullptr);
        QSignalSpy updates(&player, &PlayAudio::update);
        player.AddBuffer(mp3.constData(), mp3.size());
        player.start();
        player.read(4096);
        QCOMPARE(updates.count(), 0);
        clock.advance(51);
        player.read(4096);
        QCOMPARE(updates.count(), 1);
        clock.advance(50);
        player.read(4096);
        QCOMPARE(updates.count(), 1);
        // Silence delivered while prebuffering refreshes nothing.
        player.read(player.SizeBuffer() - 1000);
        player.read(4096); // underrun
        QCOMPARE(updates.count(), 1);
        clock.advance(100);
        player.read(4096);
        QCOMPARE(updates.count(), 1);
    }

    void stopAndClear()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 1);
        PlayAudio player(roomAudioFormat(), nullptr);
        player.AddBuffer(mp3.constData(), 1000);
        player.start();
        QVERIFY(player.isStarted());
        player.stop();
        QVERIFY(!player.isStarted());
        QVERIFY(!player.isOpen());
        player.stop();
        player.clear();
        QCOMPARE(player.SizeBuffer(), 0);
        QCOMPARE(player.heldInput(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPlayAudio)
#include "tst_playaudio.moc"
