// The room's audio formats and devices.
#pragma once

#include "rooms/pure/pcm.h"

#include <QAudio>
#include <QAudioDeviceInfo>
#include <QAudioFormat>

// 16-bit signed little-endian PCM at the given rate and channel count.
QAudioFormat roomAudioFormat(int sampleRate = 22050, int channels = 2);

// The sample description of a Qt audio format.
PcmLayout layoutOf(const QAudioFormat &format);

// The device a room uses for mode: the system default when it takes format;
// otherwise the listed device named "default" when it takes format; otherwise
// the first listed device that takes it; otherwise the system default (which
// then gets its nearest format). On a machine without a sound server the
// system default can be a null device that accepts nothing, while the sound
// card (or ALSA's own devices) is listed by name.
QAudioDeviceInfo chooseAudioDevice(QAudio::Mode mode, const QAudioFormat &format);
