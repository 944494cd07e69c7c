// Test sound: sine tones as 16-bit PCM, their frequency measured back, and a
// walk over MP3 frame headers. Header only.
#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <cmath>

// seconds of a sine of freq Hz at amplitude (of full scale), 16-bit signed
// little-endian, every channel the same.
inline QByteArray makeTone(double freq, double seconds, int rate = 22050, int channels = 2,
                           double amplitude = 0.5)
{
    const int frames = int(seconds * rate);
    QByteArray pcm(frames * channels * 2, Qt::Uninitialized);
    auto *p = reinterpret_cast<uchar *>(pcm.data());
    for (int i = 0; i < frames; ++i) {
        const qint16 s = qint16(std::lround(amplitude * 32767.0 * std::sin(2 * M_PI * freq * i / rate)));
        for (int c = 0; c < channels; ++c)
            qToLittleEndian<qint16>(s, p + 2 * (i * channels + c));
    }
    return pcm;
}

// The frequency of the first channel of 16-bit little-endian PCM, from the
// rising crossings through zero (with a small dead band against noise).
// Only crossings less than 20 ms apart count, so silence before, between
// and after the sound (a prebuffer, an underrun) is left out. 0 when there
// is not enough sound.
inline double measuredFrequency(const QByteArray &pcm, int rate, int channels)
{
    const int frames = pcm.size() / (2 * channels);
    const auto *p = reinterpret_cast<const uchar *>(pcm.constData());
    auto sample = [&](int i) { return qFromLittleEndian<qint16>(p + 2 * i * channels); };
    const int deadBand = 1000;
    const int maxGap = rate / 50;
    int last = -1, periods = 0;
    qint64 span = 0;
    bool below = false;
    for (int i = 0; i < frames; ++i) {
        const int s = sample(i);
        if (s < -deadBand) {
            below = true;
        } else if (s > deadBand && below) {
            below = false;
            if (last >= 0 && i - last < maxGap) {
                ++periods;
                span += i - last;
            }
            last = i;
        }
    }
    if (periods < 10 || span == 0)
        return 0;
    return double(periods) * rate / double(span);
}

// One MPEG audio frame header.
struct Mp3Frame
{
    int offset = 0;
    int version = 0; // 1 MPEG-1, 2 MPEG-2, 25 MPEG-2.5
    int layer = 0;
    int bitrate = 0; // kbit/s
    int sampleRate = 0;
    int mode = 0; // 0 stereo, 1 joint stereo, 2 dual, 3 mono
    int length = 0;
};

// The layer III frames of data from its start, in order, as long as they
// follow each other without a gap. A frame cut off at the end is left out.
inline QList<Mp3Frame> mp3Frames(const QByteArray &data)
{
    static const int rates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int rates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int srates[] = {44100, 48000, 32000};
    QList<Mp3Frame> frames;
    int pos = 0;
    const auto *d = reinterpret_cast<const uchar *>(data.constData());
    while (pos + 4 <= data.size()) {
        if (d[pos] != 0xFF || (d[pos + 1] & 0xE0) != 0xE0)
            break;
        Mp3Frame f;
        f.offset = pos;
        const int v = (d[pos + 1] >> 3) & 3;
        f.version = v == 3 ? 1 : v == 2 ? 2 : v == 0 ? 25 : 0;
        f.layer = 4 - ((d[pos + 1] >> 1) & 3);
        const int bri = d[pos + 2] >> 4;
        const int sri = (d[pos + 2] >> 2) & 3;
        const int padding = (d[pos + 2] >> 1) & 1;
        f.mode = d[pos + 3] >> 6;
        if (f.version == 0 || f.layer != 3 || bri == 0 || bri == 15 || sri == 3)
            break;
        f.bitrate = f.version == 1 ? rates1[bri] : rates2[bri];
        f.sampleRate = srates[sri] / (f.version == 1 ? 1 : f.version == 2 ? 2 : 4);
        f.length = (f.version == 1 ? 144000 : 72000) * f.bitrate / f.sampleRate + padding;
        if (pos + f.length > data.size())
            break;
        frames << f;
        pos += f.length;
    }
    return frames;
}

#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>

// MP3 of 16-bit little-endian PCM made by the lame command-line encoder
// (independent of the client's own encoder). extra are further options of
// lame. Empty when lame failed.
inline QByteArray lameMp3(const QByteArray &pcm, int rate, int channels,
                          const QStringList &extra = {})
{
    QProcess lame;
    QStringList args{QStringLiteral("--quiet"), QStringLiteral("-r"), QStringLiteral("-s"),
                     QString::number(rate / 1000.0), QStringLiteral("--bitwidth"),
                     QStringLiteral("16"), QStringLiteral("--signed"),
                     QStringLiteral("--little-endian"), QStringLiteral("-m"),
                     channels == 1 ? QStringLiteral("m") : QStringLiteral("j")};
    args << extra << QStringLiteral("-") << QStringLiteral("-");
    lame.start(QStringLiteral("lame"), args);
    if (!lame.waitForStarted(10000))
        return {};
    lame.write(pcm);
    lame.closeWriteChannel();
    QByteArray out;
    while (lame.state() != QProcess::NotRunning || lame.bytesAvailable() > 0) {
        lame.waitForReadyRead(1000);
        out += lame.readAllStandardOutput();
        if (lame.state() == QProcess::NotRunning) {
            out += lame.readAllStandardOutput();
            break;
        }
    }
    return lame.exitCode() == 0 ? out : QByteArray();
}

// 16-bit little-endian PCM of MP3 bytes decoded by the mpg123 command-line
// player (independent of the client's own use of the library), at the
// stream's own rate and channels. Empty when mpg123 failed.
inline QByteArray mpg123Pcm(const QByteArray &mp3)
{
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"),
                 {QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("-")});
    if (!mpg123.waitForStarted(10000))
        return {};
    mpg123.write(mp3);
    mpg123.closeWriteChannel();
    QByteArray out;
    while (mpg123.state() != QProcess::NotRunning || mpg123.bytesAvailable() > 0) {
        mpg123.waitForReadyRead(1000);
        out += mpg123.readAllStandardOutput();
        if (mpg123.state() == QProcess::NotRunning) {
            out += mpg123.readAllStandardOutput();
            break;
        }
    }
    return mpg123.exitCode() == 0 ? out : QByteArray();
}

// mp3 with holes, as a stream that lost pieces: every 200 to 3000 bytes a
// span of 1 to 400 bytes is left out, or with garbled set replaced by as many
// random bytes. Repeatable for a seed.
inline QByteArray damagedMp3(const QByteArray &mp3, quint32 seed, bool garbled = false)
{
    QRandomGenerator rng(seed);
    QByteArray out;
    for (int pos = 0; pos < mp3.size();) {
        const int keep = rng.bounded(200, 3000);
        out += mp3.mid(pos, keep);
        pos += keep;
        const int hole = rng.bounded(1, 400);
        if (garbled)
            for (int i = 0; i < hole; ++i)
                out += char(rng.bounded(256));
        pos += hole;
    }
    return out;
}
