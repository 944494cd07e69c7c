#include "rooms/pure/pcm.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

PcmLayout roomPcmLayout(int sampleRate, int channels)
{
    PcmLayout l;
    l.sampleRate = sampleRate;
    l.channels = channels;
    l.sampleSize = 16;
    l.kind = PcmLayout::SignedInt;
    l.littleEndian = true;
    return l;
}

quint32 fullScale(const PcmLayout &layout)
{
    if (layout.kind == PcmLayout::Float)
        return 0;
    const bool isSigned = layout.kind == PcmLayout::SignedInt;
    switch (layout.sampleSize) {
    case 8:
        return isSigned ? 127 : 255;
    case 16:
        return isSigned ? 32767 : 65535;
    default:
        return 0;
    }
}

bool convertibleToSigned16(const PcmLayout &layout)
{
    if (layout.sampleRate <= 0 || layout.channels < 1 || layout.channels > 2)
        return false;
    if (layout.kind == PcmLayout::Float)
        return layout.sampleSize == 32;
    return layout.sampleSize == 8 || layout.sampleSize == 16 || layout.sampleSize == 32;
}

bool isNativeSigned16(const PcmLayout &layout)
{
    return layout.sampleSize == 16 && layout.kind == PcmLayout::SignedInt
           && layout.littleEndian == (Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
}

namespace {

qint16 clamp16(qint64 v)
{
    return qint16(qBound<qint64>(-32768, v, 32767));
}

// One sample of the layout as a 16-bit signed value.
qint16 sampleAt(const uchar *p, const PcmLayout &l)
{
    switch (l.sampleSize) {
    case 8:
        return l.kind == PcmLayout::SignedInt ? qint16(qint8(p[0]) * 256)
                                              : qint16((int(p[0]) - 128) * 256);
    case 16: {
        const quint16 u = l.littleEndian ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
        return l.kind == PcmLayout::SignedInt ? qint16(u) : qint16(int(u) - 32768);
    }
    default: {
        const quint32 u = l.littleEndian ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
        if (l.kind == PcmLayout::Float) {
            float f;
            std::memcpy(&f, &u, sizeof f);
            if (std::isnan(f))
                return 0;
            // Bound before converting: huge or infinite samples overflow an integer.
            const double d = std::trunc(double(f) * 32768.0);
            return d >= 32767.0 ? qint16(32767) : d <= -32768.0 ? qint16(-32768) : qint16(d);
        }
        const qint64 s = l.kind == PcmLayout::SignedInt ? qint64(qint32(u)) : qint64(u) - 2147483648LL;
        return qint16(s >> 16);
    }
    }
}

} // namespace

QByteArray toSigned16(const char *data, qint64 len, const PcmLayout &layout)
{
    if (!convertibleToSigned16(layout) || len <= 0)
        return {};
    const int bytesPerSample = layout.sampleSize / 8;
    const qint64 frameBytes = qint64(bytesPerSample) * layout.channels;
    const qint64 samples = (len / frameBytes) * layout.channels;
    if (isNativeSigned16(layout))
        return QByteArray(data, int(samples * 2));
    QByteArray out(int(samples * 2), Qt::Uninitialized);
    auto *dst = reinterpret_cast<qint16 *>(out.data());
    const auto *src = reinterpret_cast<const uchar *>(data);
    for (qint64 i = 0; i < samples; ++i)
        dst[i] = sampleAt(src + i * bytesPerSample, layout);
    return out;
}

void applyGain16(float gain, QByteArray &pcm)
{
    const int n = pcm.size() / 2;
    if (n == 0)
        return;
    auto *s = reinterpret_cast<qint16 *>(pcm.data());
    for (int i = 0; i < n; ++i) {
        const float v = float(s[i]) * gain;
        // Compared in float first so a huge gain cannot overflow the cast.
        s[i] = v >= 32767.0f ? qint16(32767) : v <= -32768.0f ? qint16(-32768) : qint16(v);
    }
}

qreal peakLevel(const char *data, qint64 len, const PcmLayout &l, quint32 maxAmplitude)
{
    if (maxAmplitude == 0 || len <= 0 || l.channels <= 0)
        return 0.0;
    const int bytesPerSample = l.sampleSize / 8;
    if (bytesPerSample != 1 && bytesPerSample != 2)
        return 0.0;
    const qint64 samples = (len / (qint64(bytesPerSample) * l.channels)) * l.channels;
    const auto *p = reinterpret_cast<const uchar *>(data);
    const bool isSigned = l.kind == PcmLayout::SignedInt;
    quint32 peak = 0;
    for (qint64 i = 0; i < samples; ++i) {
        quint32 magnitude;
        if (bytesPerSample == 1) {
            magnitude = isSigned ? quint32(std::abs(int(qint8(p[i])))) : quint32(p[i]);
        } else {
            const uchar *q = p + 2 * i;
            const quint16 u = l.littleEndian ? qFromLittleEndian<quint16>(q) : qFromBigEndian<quint16>(q);
            magnitude = isSigned ? quint32(std::abs(int(qint16(u)))) : quint32(u);
        }
        peak = qMax(peak, magnitude);
    }
    return qreal(qMin(peak, maxAmplitude)) / qreal(maxAmplitude);
}

int meterRow(qreal level)
{
    if (!(level > 0.0))
        return 0;
    return qBound(0, int(std::trunc(level * 10.0)) * 10, 100);
}

int prebufferBytesFor(long rate, int channels)
{
    if (rate <= 0 || channels <= 0)
        return 0;
    const qint64 perFifth = qint64(channels) * rate * 8 / 40;
    return int(qMin<qint64>(perFifth * 5, 1 << 26));
}
