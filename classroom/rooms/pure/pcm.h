// Sample arithmetic of the room audio: format descriptions, conversion to
// 16-bit samples, the software gain, peak levels, meter bands and the
// player's prebuffer.
#pragma once

#include <QByteArray>
#include <QtGlobal>

// What a capture or playback format says about its samples.
struct PcmLayout
{
    enum Kind { SignedInt, UnsignedInt, Float };
    int sampleRate = 0;
    int channels = 0;
    int sampleSize = 0; // bits
    Kind kind = SignedInt;
    bool littleEndian = true;
};

// The format the room asks of its devices: 22050 Hz, stereo, 16-bit signed,
// little-endian.
PcmLayout roomPcmLayout(int sampleRate = 22050, int channels = 2);

// Full scale of a sample for the level meter: 8-bit signed 127, 8-bit
// unsigned 255, 16-bit signed 32767, 16-bit unsigned 65535; 0 otherwise.
quint32 fullScale(const PcmLayout &layout);

// True when toSigned16 can turn sound of this layout into 16-bit samples the
// encoder can take: a positive rate, one or two channels, and 8-, 16- or
// 32-bit integer or 32-bit float samples.
bool convertibleToSigned16(const PcmLayout &layout);

// True when the layout already is 16-bit signed samples in this machine's
// byte order (nothing to convert).
bool isNativeSigned16(const PcmLayout &layout);

// The whole frames of data as 16-bit signed samples in this machine's byte
// order; a partial last frame is left out. Empty for a layout that is not
// convertible.
QByteArray toSigned16(const char *data, qint64 len, const PcmLayout &layout);

// Multiplies each 16-bit sample (machine byte order) by gain in float,
// truncates toward zero and clamps to -32768..32767. An odd last byte is left
// alone.
void applyGain16(float gain, QByteArray &pcm);

// Peak of the samples of the whole frames of data as a level between 0 and 1:
// magnitudes by the layout's size, kind and byte order, the peak clamped to
// maxAmplitude and divided by it. 0 when maxAmplitude is 0.
qreal peakLevel(const char *data, qint64 len, const PcmLayout &layout, quint32 maxAmplitude);

// Row of the meter strip's band for a level: trunc(level * 10) * 10, kept
// within 0..100.
int meterRow(qreal level);

// Decoded bytes a player gathers before it plays: half a second of 16-bit
// sound, (channels * rate * 8 / 40) * 5.
int prebufferBytesFor(long rate, int channels);
