// The room's sound devices on a machine without a sound server, where the
// system's default devices are null and accept nothing: the devices are
// chosen by name from what Qt lists (here ALSA's file devices), capture
// reaches the encoder and the player's sound reaches the output.
#include "rooms/audiodevices.h"
#include "rooms/playaudio.h"
#include "rooms/recordaudio.h"
#include "support/alsafiles.h"
#include "support/tone.h"

#include <QAudioInput>
#include <QAudioOutput>
#include <QTemporaryDir>
#include <QtTest>

class TestAudioDevices : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString captureFile, playbackFile;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        captureFile = dir.filePath(QStringLiteral("capture.raw"));
        playbackFile = dir.filePath(QStringLiteral("playback.raw"));
        QVERIFY(writeRaw(captureFile, makeTone(440, 20)));
        QVERIFY(useAlsaFileDevice(captureFile, playbackFile));
    }

    void devicesThatTakeTheFormatAreChosen()
    {
        for (QAudio::Mode mode : {QAudio::AudioInput, QAudio::AudioOutput}) {
            const QAudioDeviceInfo d = chooseAudioDevice(mode, roomAudioFormat());
            QVERIFY(!d.isNull());
            QVERIFY(d.isFormatSupported(roomAudioFormat()));
        }
    }

    void captureReachesTheEncoder()
    {
        const QAudioFormat format = roomAudioFormat();
        const QAudioDeviceInfo device = chooseAudioDevice(QAudio::AudioInput, format);
        RecordAudio rec(format, nullptr);
        QByteArray mp3;
        connect(&rec, &RecordAudio::Record, this,
                [&mp3](const char *d, qint64 n) { mp3.append(d, int(n)); });
        QAudioInput input(device, format);
        QVERIFY(rec.start());
        input.start(&rec);
        QCOMPARE(input.error(), QAudio::NoError);
        QVERIFY(QTest::qWaitFor([&] { return mp3.size() > 8000; }, 30000));
        input.stop();
        rec.stop();
        PlayAudio player(format, nullptr);
        player.AddBuffer(mp3.constData(), mp3.size());
        player.start();
        QVERIFY(qAbs(measuredFrequency(player.read(player.SizeBuffer()), 22050, 2) - 440.0) < 5.0);
    }

    void playerReachesTheOutput()
    {
        const QAudioFormat format = roomAudioFormat();
        const QAudioDeviceInfo device = chooseAudioDevice(QAudio::AudioOutput, format);
        PlayAudio player(format, nullptr);
        const QByteArray mp3 = lameMp3(makeTone(440, 4), 22050, 2);
        player.AddBuffer(mp3.constData(), mp3.size());
        player.start();
        QAudioOutput output(device, format);
        output.start(&player);
        QCOMPARE(output.error(), QAudio::NoError);
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(playbackFile).size() > 22050 * 4 * 2; }, 30000));
        output.stop();
        QFile f(playbackFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(qAbs(measuredFrequency(f.readAll(), 22050, 2) - 440.0) < 5.0);
    }
};

QTEST_GUILESS_MAIN(TestAudioDevices)
#include "tst_audio_devices.moc"
