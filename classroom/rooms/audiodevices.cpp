#include "rooms/audiodevices.h"

QAudioFormat roomAudioFormat(int sampleRate, int channels)
{
    QAudioFormat f;
    f.setSampleRate(sampleRate);
    f.setChannelCount(channels);
    f.setSampleSize(16);
    f.setCodec(QStringLiteral("audio/pcm"));
    f.setByteOrder(QAudioFormat::LittleEndian);
    f.setSampleType(QAudioFormat::SignedInt);
    return f;
}

PcmLayout layoutOf(const QAudioFormat &format)
{
    PcmLayout l;
    l.sampleRate = format.sampleRate();
    l.channels = format.channelCount();
    l.sampleSize = format.sampleSize();
    switch (format.sampleType()) {
    case QAudioFormat::SignedInt:
        l.kind = PcmLayout::SignedInt;
        break;
    case QAudioFormat::UnSignedInt:
        l.kind = PcmLayout::UnsignedInt;
        break;
    case QAudioFormat::Float:
        l.kind = PcmLayout::Float;
        break;
    default:
        // Unknown sample type: nothing can be converted.
        l.sampleSize = 0;
        break;
    }
    l.littleEndian = format.byteOrder() == QAudioFormat::LittleEndian;
    if (format.codec() != QLatin1String("audio/pcm"))
        l.sampleSize = 0;
    return l;
}

QAudioDeviceInfo chooseAudioDevice(QAudio::Mode mode, const QAudioFormat &format)
{
    const QAudioDeviceInfo system = mode == QAudio::AudioInput
                                        ? QAudioDeviceInfo::defaultInputDevice()
                                        : QAudioDeviceInfo::defaultOutputDevice();
    if (!system.isNull() && system.isFormatSupported(format))
        return system;
    const QList<QAudioDeviceInfo> listed = QAudioDeviceInfo::availableDevices(mode);
    for (const QAudioDeviceInfo &d : listed)
        if (d.deviceName() == QLatin1String("default") && d.isFormatSupported(format))
            return d;
    for (const QAudioDeviceInfo &d : listed)
        if (!d.isNull() && d.isFormatSupported(format))
            return d;
    return system;
}
