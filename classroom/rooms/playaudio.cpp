#include "rooms/playaudio.h"

#include "common/hooks.h"
#include "rooms/audiodevices.h"

#include <QDebug>

#include <cstdio>
#include <cstring>
#include <mpg123.h>

PlayAudio::PlayAudio(const QAudioFormat &format, QObject *parent)
    : QIODevice(parent), audioFormat(format), layout(layoutOf(format))
{
    initResult = MP3_init();
    if (initResult == -1)
        qDebug() << "No MP3_init ret:" << initResult;
    maxAmplitude = fullScale(layout);
}

PlayAudio::~PlayAudio()
{
    if (mpg)
        mpg123_delete(mpg);
    mpg123_exit();
}

int PlayAudio::MP3_init()
{
    mpg123_init();
    mpg = mpg123_new(nullptr, &lastResult);
    if (!mpg) {
        std::fprintf(stderr, "Unable to create mpg123 handle: %s\n",
                     mpg123_plain_strerror(lastResult));
        return -1;
    }
    mpg123_param(mpg, MPG123_VERBOSE, 2, 0);
    // Only 16-bit signed output, which is what the output device is given.
    mpg123_format_none(mpg);
    const long *rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(mpg, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(mpg) != MPG123_OK) {
        std::fprintf(stderr, "Unable to open the mpg123 feed: %s\n", mpg123_strerror(mpg));
        mpg123_delete(mpg);
        mpg = nullptr;
        return -1;
    }
    return 0;
}

void PlayAudio::start()
{
    // Unbuffered: the output's pulls reach readData as they are asked.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    started = true;
    clockStart = hooks::now().toMSecsSinceEpoch();
    lastUpdate = 0;
    prebuffered = false;
}

void PlayAudio::stop()
{
    if (isOpen())
        close();
    started = false;
}

void PlayAudio::clear()
{
    pcm.clear();
    mp3In.clear();
}

void PlayAudio::AddBuffer(const char *data, int len)
{
    if (initResult == -1 || refusing || len <= 0)
        return;
    if (mp3In.size() + len > kMaxInput) {
        // Only reached when decoding cannot keep up with what arrives.
        const int drop = qMin(mp3In.size(), mp3In.size() + len - kMaxInput);
        mp3In.remove(0, drop);
        m_dropped += drop;
        if (len > kMaxInput) {
            m_dropped += len - kMaxInput;
            data += len - kMaxInput;
            len = kMaxInput;
        }
    }
    mp3In.append(data, len);
    MP3_decode();
}

void PlayAudio::setVol(double v)
{
    volume = v;
    if (mpg)
        mpg123_volume(mpg, v / 100);
}

void PlayAudio::applyVolume(float g, QByteArray &samples)
{
    applyGain16(g, samples);
}

void PlayAudio::setOutputBuffer(int bytes)
{
    outputBuffer = qMax(0, bytes);
}

int PlayAudio::maxWaitBytes() const
{
    const int frame = qMax(1, layout.channels * layout.sampleSize / 8);
    const qint64 perSecond = qint64(qMax(1, layout.sampleRate)) * frame;
    const qint64 bound = perSecond * kMaxWaitMs / 1000 - outputBuffer;
    // Never below the prebuffer: the sound would not start.
    const qint64 least = prebufferBytesFor(layout.sampleRate, layout.channels);
    return int(qMax(bound, least) / frame * frame);
}

void PlayAudio::skipAboveBound()
{
    const int frame = qMax(1, layout.channels * layout.sampleSize / 8);
    int excess = pcm.size() - maxWaitBytes();
    if (excess <= 0)
        return;
    excess = qMin(pcm.size(), (excess + frame - 1) / frame * frame);
    pcm.remove(0, excess);
    m_dropped += excess;
}

void PlayAudio::appendDecoded(const char *data, int len)
{
    if (len <= 0)
        return;
    m_decoded += len;
    pcm.append(data, len);
    // Held to the bound once a decoding is over; within one only when far
    // above it, so a long burst is not moved for every frame.
    if (pcm.size() > 2 * maxWaitBytes())
        skipAboveBound();
}

void PlayAudio::MP3_decode()
{
    if (initResult == -1 || !mpg)
        return;
    int pos = 0;
    while (mp3In.size() - pos >= 512) {
        std::memcpy(feedBuf, mp3In.constData() + pos, 512);
        pos += 512;
        size_t done = 0;
        int result = mpg123_decode(mpg, feedBuf, 512, outBuf, sizeof outBuf, &done);
        for (;;) {
            lastResult = result;
            // What comes with an announcement was decoded before it, in the
            // format before it.
            if (otherRate > 0) {
                // Sound in a format this player cannot play is not kept.
                otherFrames += qint64(done) / (2 * otherChannels);
                if (otherFrames >= otherNeeded) {
                    // The room replaces this player with one of the stream's
                    // format; this one keeps nothing.
                    emit newFormat(otherRate, otherChannels, otherEncoding);
                    prebufferBytes = prebufferBytesFor(otherRate, otherChannels);
                    refusing = true;
                    mp3In.clear();
                    return;
                }
            } else {
                appendDecoded(reinterpret_cast<const char *>(outBuf), int(done));
            }
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0;
                int encoding = 0;
                mpg123_getformat(mpg, &rate, &channels, &encoding);
                qDebug("New format: %li Hz, %i channels, encoding value %i\n", rate, channels,
                       encoding);
                if (rate == audioFormat.sampleRate() && channels == audioFormat.channelCount()) {
                    otherRate = 0;
                    emit newFormat(rate, channels, encoding);
                    prebufferBytes = prebufferBytesFor(rate, channels);
                } else {
                    // Believed once its frames keep coming (above): a few
                    // frames of its own size, and a quarter of a second.
                    mpg123_frameinfo info{};
                    int perFrame = 1152;
                    if (mpg123_info(mpg, &info) == MPG123_OK)
                        perFrame = info.layer == 1 ? 384
                                   : info.layer == 3 && info.version != MPG123_1_0 ? 576
                                                                                     : 1152;
                    otherRate = rate;
                    otherChannels = qMax(1, channels);
                    otherEncoding = encoding;
                    otherFrames = 0;
                    otherNeeded = qMax<qint64>(qint64(kFormatConfirmFrames) * perFrame,
                                               qint64(rate) * kFormatConfirmMs / 1000);
                }
            }
            if (result == MPG123_NEED_MORE || result == MPG123_DONE)
                break;
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
                // The failing bytes are inside the decoder already; feeding
                // them again would repeat them. Start over at the next frame.
                std::fprintf(stderr, "some error: %s\n", mpg123_strerror(mpg));
                ++m_decodeErrors;
                mpg123_open_feed(mpg);
                break;
            }
            result = mpg123_decode(mpg, nullptr, 0, outBuf, sizeof outBuf, &done);
        }
    }
    mp3In.remove(0, qMin(pos, mp3In.size()));
    skipAboveBound();
}

qint64 PlayAudio::elapsedMs() const
{
    return hooks::now().toMSecsSinceEpoch() - clockStart;
}

qint64 PlayAudio::readData(char *data, qint64 maxlen)
{
    if (maxlen <= 0)
        return 0;
    if (prebufferBytes == 0)
        qDebug() << "sizeBuff Len : " << prebufferBytes;
    if (!prebuffered) {
        if (pcm.size() < prebufferBytes || prebufferBytes < 1) {
            std::memset(data, 0, size_t(maxlen));
            return maxlen;
        }
        prebuffered = true;
    }
    if (pcm.size() < maxlen) {
        prebuffered = false;
        std::memset(data, 0, size_t(maxlen));
        emit finish(pcm.size(), maxlen);
        return maxlen;
    }
    QByteArray out = pcm.left(int(maxlen));
    applyVolume(gain, out);
    std::memcpy(data, out.constData(), size_t(maxlen));
    if (maxAmplitude != 0)
        level = peakLevel(out.constData(), out.size(), layout, maxAmplitude);
    const qint64 elapsed = elapsedMs();
    if (elapsed > lastUpdate + 50) {
        lastUpdate = elapsed;
        emit update();
    }
    pcm.remove(0, int(maxlen));
    return maxlen;
}

qint64 PlayAudio::writeData(const char *, qint64)
{
    return 0;
}
