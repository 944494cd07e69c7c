#include "rooms/recordaudio.h"

#include "common/hooks.h"
#include "rooms/audiodevices.h"

#include <QDebug>

#include <lame/lame.h>

namespace {

// Interleaved stereo from mono: each sample twice.
QByteArray upmixToStereo(const QByteArray &mono)
{
    QByteArray stereo(mono.size() * 2, Qt::Uninitialized);
    const auto *src = reinterpret_cast<const qint16 *>(mono.constData());
    auto *dst = reinterpret_cast<qint16 *>(stereo.data());
    const int n = mono.size() / 2;
    for (int i = 0; i < n; ++i)
        dst[2 * i] = dst[2 * i + 1] = src[i];
    return stereo;
}

PcmLayout nativeStereo16()
{
    PcmLayout l = roomPcmLayout();
    l.littleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    return l;
}

} // namespace

RecordAudio::RecordAudio(const QAudioFormat &format, QObject *parent)
    : QIODevice(parent), audioFormat(format), layout(layoutOf(format))
{
    // Everything reaches the encoder as 16-bit signed samples, so the level
    // is measured on those.
    maxAmplitude = canEncode(format) ? 32767 : 0;
}

RecordAudio::~RecordAudio()
{
    if (lame)
        lame_close(lame);
}

bool RecordAudio::canEncode(const QAudioFormat &format)
{
    return convertibleToSigned16(layoutOf(format));
}

bool RecordAudio::start()
{
    if (isOpen())
        stop();
    m_setupError.clear();
    if (!canEncode(audioFormat)) {
        m_setupError = QStringLiteral("capture format not usable: %1 Hz, %2 channels, %3 bits")
                           .arg(audioFormat.sampleRate())
                           .arg(audioFormat.channelCount())
                           .arg(audioFormat.sampleSize());
        qDebug().noquote() << m_setupError;
        return false;
    }
    if (!initMP3()) {
        qDebug().noquote() << m_setupError;
        return false;
    }
    open(QIODevice::WriteOnly);
    pcmPending.clear();
    partialFrame.clear();
    encoded.clear();
    clockStart = hooks::now().toMSecsSinceEpoch();
    lastUpdate = 0;
    return true;
}

void RecordAudio::stop()
{
    close();
    if (lame) {
        lame_close(lame);
        lame = nullptr;
    }
    pcmPending.clear();
    partialFrame.clear();
}

bool RecordAudio::initMP3()
{
    if (lame) {
        lame_close(lame);
        lame = nullptr;
    }
    lame = lame_init();
    if (!lame) {
        m_setupError = QStringLiteral("MP3 encoder could not be made");
        return false;
    }
    // Mono capture is encoded as stereo (each sample twice), so the encoder
    // always gets interleaved stereo.
    lame_set_num_channels(lame, 2);
    lame_set_in_samplerate(lame, audioFormat.sampleRate());
    // The stream's first frame is the encoder's blank tag frame (64 kbit/s,
    // zeros), which decoders skip; every later frame stays within 32 kbit/s.
    lame_set_VBR(lame, vbr_rh);
    lame_set_brate(lame, 32);
    lame_set_VBR_max_bitrate_kbps(lame, 32);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_quality(lame, 2);
    const int result = lame_init_params(lame);
    if (result < 0) {
        m_setupError = QStringLiteral("MP3 encoder refused its settings (%1)").arg(result);
        lame_close(lame);
        lame = nullptr;
        return false;
    }
    return true;
}

void RecordAudio::applyVolume(float g, QByteArray &pcm)
{
    applyGain16(g, pcm);
}

void RecordAudio::Mp3_encode()
{
    if (!lame)
        return;
    const int chunkBytes = chunkFrames * 2 * 2;
    // libmp3lame's documented worst case for one call: 1.25 * samples + 7200.
    const int mp3Size = chunkFrames * 5 / 4 + 7200;
    QByteArray mp3(mp3Size, Qt::Uninitialized);
    int pos = 0;
    while (pcmPending.size() - pos >= chunkBytes) {
        const int n = lame_encode_buffer_interleaved(
            lame, reinterpret_cast<short *>(pcmPending.data() + pos), chunkFrames,
            reinterpret_cast<unsigned char *>(mp3.data()), mp3Size);
        if (n > 0) {
            encoded.append(mp3.constData(), n);
        } else if (n < 0) {
            ++m_encoderErrors;
            qWarning("MP3 encoder error %d on a chunk (%d so far)", n, m_encoderErrors);
        }
        pos += chunkBytes;
    }
    if (pos > 0)
        pcmPending.remove(0, pos);
}

qint64 RecordAudio::readData(char *, qint64)
{
    return 0;
}

qint64 RecordAudio::elapsedMs() const
{
    return hooks::now().toMSecsSinceEpoch() - clockStart;
}

qint64 RecordAudio::writeData(const char *data, qint64 len)
{
    if (len <= 0)
        return qMax<qint64>(len, 0);
    // Whole frames only; a frame split between writes waits for its rest.
    const int frameBytes = layout.sampleSize / 8 * layout.channels;
    if (frameBytes <= 0)
        return len;
    QByteArray whole;
    if (partialFrame.isEmpty() && len % frameBytes == 0) {
        whole = toSigned16(data, len, layout);
    } else {
        partialFrame.append(data, int(len));
        const int usable = partialFrame.size() / frameBytes * frameBytes;
        whole = toSigned16(partialFrame.constData(), usable, layout);
        partialFrame.remove(0, usable);
    }
    if (layout.channels == 1)
        whole = upmixToStereo(whole);

    applyVolume(gain, whole);

    if (maxAmplitude != 0)
        level = peakLevel(whole.constData(), whole.size(), nativeStereo16(), maxAmplitude);

    const qint64 elapsed = elapsedMs();
    if (elapsed > lastUpdate + 50) {
        lastUpdate = elapsed;
        emit update();
    }

    pcmPending.append(whole);
    Mp3_encode();

    if (!encoded.isEmpty()) {
        // The receiver may stop this device inside the call.
        const QByteArray out = encoded;
        encoded.clear();
        emit Record(out.constData(), out.size());
    }
    return len;
}
