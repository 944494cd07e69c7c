// The room stream's player with no sound device behind it: MP3 in, sound
// pulled out, the prebuffer, underruns, format changes, gain and level, and
// the bounds on what it holds while nothing pulls.
#include "common/hooks.h"
#include "rooms/audiodevices.h"
#include "rooms/playaudio.h"
#include "support/manualclock.h"
#include "support/tone.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray toneMp3(int rate, int channels, double seconds)
{
    const QStringList resample{QStringLiteral("--resample"), QString::number(rate / 1000.0),
                               QStringLiteral("-b"), QStringLiteral("64")};
    return lameMp3(makeTone(440, seconds, rate, channels), rate, channels, resample);
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

} // namespace

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
        QVERIFY(player.SizeBuffer() > rate * channels * 2 * 2);

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

    // An hour of a stream that nobody pulls holds a few seconds at most.
    void decodedSoundIsBoundedWhenNothingPulls()
    {
        const QByteArray mp3 = toneMp3(22050, 2, 30);
        PlayAudio player(roomAudioFormat(), nullptr);
        const int cap = PlayAudio::kMaxDecodedSeconds * 22050 * 4;
        for (int pos = 0; pos < mp3.size(); pos += 700) {
            player.AddBuffer(mp3.constData() + pos, qMin(700, mp3.size() - pos));
            QVERIFY(player.SizeBuffer() <= cap);
            QVERIFY(player.heldInput() < 512);
        }
        QVERIFY(player.SizeBuffer() >= cap * 3 / 4 - 4);
        QVERIFY(player.droppedBytes() > 0);
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
