// The microphone's device with no sound device behind it: sound written in,
// gain, level and its signal, whole chunks encoded to MP3.
#include "common/hooks.h"
#include "rooms/audiodevices.h"
#include "rooms/playaudio.h"
#include "rooms/recordaudio.h"
#include "support/decoded.h"
#include "support/manualclock.h"
#include "support/tone.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int kChunkBytes = 8192 * 2 * 2;

// Writes pcm in pieces of at most piece bytes and returns the MP3 bytes the
// device signalled.
QByteArray encode(RecordAudio &rec, const QByteArray &pcm, int piece = 4096)
{
    QByteArray mp3;
    auto c = QObject::connect(&rec, &RecordAudio::Record,
                              [&mp3](const char *d, qint64 n) { mp3.append(d, int(n)); });
    for (int pos = 0; pos < pcm.size(); pos += piece)
        rec.write(pcm.constData() + pos, qMin(piece, pcm.size() - pos));
    QObject::disconnect(c);
    return mp3;
}

// Decodes MP3 bytes with a player made for the given format; the sound.
QByteArray decode(const QByteArray &mp3, int rate = 22050, int channels = 2)
{
    PlayAudio player(roomAudioFormat(rate, channels), nullptr);
    return playedSound(player, mp3);
}

QAudioFormat format(int rate, int channels, int size, QAudioFormat::SampleType type)
{
    QAudioFormat f = roomAudioFormat(rate, channels);
    f.setSampleSize(size);
    f.setSampleType(type);
    return f;
}

} // namespace

class TestRecordAudio : public QObject
{
    Q_OBJECT
private slots:
    void toneBecomesMp3()
    {
        RecordAudio rec(roomAudioFormat(), nullptr);
        QVERIFY(rec.start());
        QVERIFY(rec.isOpen());
        QCOMPARE(rec.openMode(), QIODevice::WriteOnly);
        const QByteArray mp3 = encode(rec, makeTone(440, 5));
        QVERIFY(!mp3.isEmpty());

        const QList<Mp3Frame> frames = mp3Frames(mp3);
        QVERIFY(frames.size() > 50);
        int total = 0;
        for (const Mp3Frame &f : frames)
            total += f.length;
        // Frames back to back; the encoder never flushed, so the last one
        // may still be cut off.
        const QByteArray tail = mp3.mid(total);
        QVERIFY(tail.isEmpty() || (tail.size() < 32 * 72000 / 22050 + 1 && uchar(tail.at(0)) == 0xFF));

        // The first frame is the encoder's blank tag frame: 64 kbit/s, all
        // zero after its header; the decoder skips it.
        const Mp3Frame first = frames.first();
        QCOMPARE(first.bitrate, 64);
        QCOMPARE(mp3.mid(4, first.length - 4), QByteArray(first.length - 4, '\0'));
        for (const Mp3Frame &f : frames) {
            QCOMPARE(f.version, 2); // MPEG-2: 22050 Hz
            QCOMPARE(f.layer, 3);
            QCOMPARE(f.sampleRate, 22050);
            QCOMPARE(f.mode, 1); // joint stereo
            if (f.offset > 0)
                QVERIFY2(f.bitrate <= 32, qPrintable(QString::number(f.bitrate)));
        }

        const QByteArray back = decode(mp3);
        QVERIFY(back.size() > 22050 * 4 * 3);
        QVERIFY(qAbs(measuredFrequency(back, 22050, 2) - 440.0) < 5.0);
        QCOMPARE(rec.encoderErrors(), 0);
    }

    void onlyWholeChunksAreEncoded()
    {
        RecordAudio rec(roomAudioFormat(), nullptr);
        QVERIFY(rec.start());
        QSignalSpy records(&rec, &RecordAudio::Record);
        const QByteArray tone = makeTone(440, 3);

        // Below one chunk nothing is encoded; the sound waits.
        QCOMPARE(rec.write(tone.left(20000)), qint64(20000));
        QCOMPARE(rec.write(tone.mid(20000, kChunkBytes - 20000 - 4)), qint64(kChunkBytes - 20000 - 4));
        QCOMPARE(records.count(), 0);
        QCOMPARE(rec.pendingBytes(), kChunkBytes - 4);

        // Completing the chunk hands it to the encoder; at most one signal.
        rec.write(tone.mid(kChunkBytes - 4, 4));
        QCOMPARE(rec.pendingBytes(), 0);
        QVERIFY(records.count() <= 1);

        // Three chunks and a half in one write: one signal, half a chunk left.
        records.clear();
        rec.write(tone.mid(kChunkBytes, kChunkBytes * 7 / 2));
        QCOMPARE(records.count(), 1);
        QCOMPARE(rec.pendingBytes(), kChunkBytes / 2);
    }

    void leftoversDoNotSurviveARestart()
    {
        RecordAudio rec(roomAudioFormat(), nullptr);
        QVERIFY(rec.start());
        rec.write(makeTone(440, 0.3));
        QVERIFY(rec.pendingBytes() > 0);
        rec.stop();
        QVERIFY(!rec.isOpen());
        QCOMPARE(rec.write(QByteArray(4, '\0')), qint64(-1)); // closed: nothing taken
        QVERIFY(rec.start());
        QCOMPARE(rec.pendingBytes(), 0);
        rec.write(QByteArray(400, '\0'));
        QCOMPARE(rec.pendingBytes(), 400);

        // Stopping twice, or before any start, is harmless.
        rec.stop();
        rec.stop();
        RecordAudio never(roomAudioFormat(), nullptr);
        never.stop();
    }

    void gainAndLevel()
    {
        RecordAudio rec(roomAudioFormat(), nullptr);
        QVERIFY(rec.start());
        const QByteArray half = makeTone(440, 0.1, 22050, 2, 0.5);

        rec.write(half);
        QVERIFY(qAbs(rec.level - 0.5) < 0.01);
        rec.gain = 2.0f;
        rec.write(half);
        QVERIFY(rec.level > 0.99);
        rec.gain = 0.0f;
        rec.write(half);
        QCOMPARE(rec.level, 0.0);

        // The gain step on its own clamps.
        QByteArray s(4, '\0');
        reinterpret_cast<qint16 *>(s.data())[0] = 20000;
        reinterpret_cast<qint16 *>(s.data())[1] = -20000;
        rec.applyVolume(2.0f, s);
        QCOMPARE(reinterpret_cast<const qint16 *>(s.constData())[0], qint16(32767));
        QCOMPARE(reinterpret_cast<const qint16 *>(s.constData())[1], qint16(-32768));
    }

    void levelSignalAtMostEvery50ms()
    {
        ManualClock clock;
        RecordAudio rec(roomAudioFormat(), nullptr);
        QSignalSpy updates(&rec, &RecordAudio::update);
        QVERIFY(rec.start());
        const QByteArray piece(1024, '\0');
        rec.write(piece);
        QCOMPARE(updates.count(), 0);
        clock.advance(50);
        rec.write(piece);
        QCOMPARE(updates.count(), 0); // not more than 50 ms yet
        clock.advance(1);
        rec.write(piece);
        QCOMPARE(updates.count(), 1);
        clock.advance(40);
        rec.write(piece);
        rec.write(piece);
        QCOMPARE(updates.count(), 1);
        clock.advance(11);
        rec.write(piece);
        QCOMPARE(updates.count(), 2);
        // A new start counts from 0 again.
        rec.stop();
        QVERIFY(rec.start());
        rec.write(piece);
        QCOMPARE(updates.count(), 2);
    }

    // Formats a device may offer instead of 16-bit stereo are converted, so
    // what is heard is the tone, not noise.
    void otherCaptureFormatsAreConverted_data()
    {
        QTest::addColumn<QAudioFormat>("fmt");
        QTest::addRow("8-bit unsigned mono") << format(22050, 1, 8, QAudioFormat::UnSignedInt);
        QTest::addRow("16-bit mono") << format(22050, 1, 16, QAudioFormat::SignedInt);
        QTest::addRow("32-bit float stereo") << format(22050, 2, 32, QAudioFormat::Float);
        QAudioFormat be = roomAudioFormat();
        be.setByteOrder(QAudioFormat::BigEndian);
        QTest::addRow("16-bit big-endian") << be;
    }
    void otherCaptureFormatsAreConverted()
    {
        QFETCH(QAudioFormat, fmt);
        // The tone in 16-bit stereo, then re-expressed in fmt.
        const QByteArray tone16 = makeTone(440, 3, 22050, fmt.channelCount());
        QByteArray raw;
        const auto *s = reinterpret_cast<const qint16 *>(tone16.constData());
        for (int i = 0; i < tone16.size() / 2; ++i) {
            if (fmt.sampleSize() == 8) {
                raw.append(char(quint8((s[i] >> 8) + 128)));
            } else if (fmt.sampleType() == QAudioFormat::Float) {
                const float f = s[i] / 32768.0f;
                raw.append(reinterpret_cast<const char *>(&f), 4);
            } else if (fmt.byteOrder() == QAudioFormat::BigEndian) {
                raw.append(char(quint16(s[i]) >> 8)).append(char(s[i] & 0xff));
            } else {
                raw.append(reinterpret_cast<const char *>(&s[i]), 2);
            }
        }
        RecordAudio rec(fmt, nullptr);
        QVERIFY(RecordAudio::canEncode(fmt));
        QVERIFY(rec.start());
        // Odd pieces split frames between writes.
        const QByteArray mp3 = encode(rec, raw, 1001);
        QVERIFY(!mp3Frames(mp3).isEmpty());
        QVERIFY(qAbs(measuredFrequency(decode(mp3), 22050, 2) - 440.0) < 5.0);
    }

    void unusableFormatsAreRefused_data()
    {
        QTest::addColumn<QAudioFormat>("fmt");
        QTest::addRow("invalid (null device)") << QAudioFormat();
        QTest::addRow("24-bit") << format(22050, 2, 24, QAudioFormat::SignedInt);
        QTest::addRow("six channels") << format(22050, 6, 16, QAudioFormat::SignedInt);
        QAudioFormat other = roomAudioFormat();
        other.setCodec(QStringLiteral("audio/x-raw-other"));
        QTest::addRow("not PCM") << other;
    }
    void unusableFormatsAreRefused()
    {
        QFETCH(QAudioFormat, fmt);
        RecordAudio rec(fmt, nullptr);
        QVERIFY(!RecordAudio::canEncode(fmt));
        QVERIFY(!rec.start());
        QVERIFY(!rec.setupError().isEmpty());
        QVERIFY(!rec.isOpen());
        QCOMPARE(rec.write(QByteArray(4096, '\x10')), qint64(-1));
        rec.stop();
    }
};

QTEST_GUILESS_MAIN(TestRecordAudio)
#include "tst_recordaudio.moc"
