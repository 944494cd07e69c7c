// The microphone's device: QAudioInput pushes captured sound into it; it
// applies the software gain, measures the peak level for the meter and
// encodes whole chunks to MP3 with libmp3lame.
#pragma once

#include "rooms/pure/pcm.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QIODevice>
#include <QString>

struct lame_global_struct;

class RecordAudio : public QIODevice
{
    Q_OBJECT
public:
    RecordAudio(const QAudioFormat &format, QObject *parent);
    ~RecordAudio() override;

    // Makes a new encoder and opens the device write-only with empty buffers.
    // False, with the device closed and the reason in setupError(), when the
    // format cannot be encoded or the encoder refuses its settings.
    bool start();
    // Closes the device and the encoder; what waits for a whole chunk is
    // dropped. Harmless when nothing runs.
    void stop();

    // The gain step of the capture path on its own.
    void applyVolume(float gain, QByteArray &pcm);
    // Makes and configures the encoder; false when it cannot be made or
    // refuses the settings.
    bool initMP3();
    // Encodes the whole chunks waiting in pcmPending into encoded.
    void Mp3_encode();

    // Whether sound of this format can be captured: 8-, 16- or 32-bit
    // integer or 32-bit float samples, one or two channels, a positive rate.
    static bool canEncode(const QAudioFormat &format);

    float gain = 1.0f;
    qreal level = 0.0;

    QAudioFormat format() const { return audioFormat; }
    QString setupError() const { return m_setupError; }
    // Chunks the encoder failed on since construction.
    int encoderErrors() const { return m_encoderErrors; }
    // Sound after gain waiting for a whole chunk, in bytes of 16-bit stereo.
    int pendingBytes() const { return pcmPending.size(); }

signals:
    // The MP3 bytes of one write; valid only during the call.
    void Record(const char *data, qint64 len);
    // A new level; at most one per 50 ms.
    void update();

protected:
    qint64 readData(char *data, qint64 maxlen) override;
    qint64 writeData(const char *data, qint64 len) override;

private:
    qint64 elapsedMs() const;

    QAudioFormat audioFormat;
    PcmLayout layout;
    quint32 maxAmplitude = 0;
    QByteArray encoded;
    QByteArray pcmPending; // 16-bit stereo, machine byte order
    QByteArray partialFrame; // bytes of a frame split between two writes
    int chunkFrames = 8192;
    lame_global_struct *lame = nullptr;
    qint64 clockStart = 0;
    qint64 lastUpdate = 0;
    QString m_setupError;
    int m_encoderErrors = 0;
};
