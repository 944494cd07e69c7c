// The room stream's player: received MP3 bytes are decoded with libmpg123 in
// feed mode; QAudioOutput pulls the decoded sound after half a second has
// gathered, with the listener's gain applied, and gets silence when it runs
// dry.
#pragma once

#include "rooms/pure/pcm.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QIODevice>

struct mpg123_handle_struct;

class PlayAudio : public QIODevice
{
    Q_OBJECT
public:
    PlayAudio(const QAudioFormat &format, QObject *parent);
    ~PlayAudio() override;

    // Makes the decoder: 0 when ready, -1 when it could not be made.
    int MP3_init();
    void start();
    void stop();
    // Empties the decoded sound and the undecoded input.
    void clear();
    // Hands received MP3 bytes to the decoder (dropped when there is none, or
    // once this player has met a stream it cannot play).
    void AddBuffer(const char *data, int len);
    // Decoded bytes waiting to be played.
    int SizeBuffer() const { return pcm.size(); }
    void setVol(double v);
    double getVol() const { return volume; }
    void applyVolume(float gain, QByteArray &pcm);
    void MP3_decode();

    bool isStarted() const { return started; }
    QAudioFormat format() const { return audioFormat; }
    int prebuffer() const { return prebufferBytes; }
    // Received bytes not yet fed to the decoder.
    int heldInput() const { return mp3In.size(); }
    // Decoder errors, decoded and dropped sound, since construction.
    int decodeErrors() const { return m_decodeErrors; }
    qint64 decodedBytes() const { return m_decoded; }
    qint64 droppedBytes() const { return m_dropped; }

    float gain = 1.0f;
    qreal level = 0.0;

    // The longest decoded sound may wait to be played, what the output device
    // holds included. Above it the oldest waiting sound is skipped, never
    // more than the excess: a listener who joins a running stream gets a
    // burst of its recent past, and every stall of the output leaves its
    // length waiting.
    static constexpr int kMaxWaitMs = 1200;
    // Undecoded input is kept to this many bytes.
    static constexpr int kMaxInput = 64 * 1024;
    // Sound the decoder must give in another format than the player's before
    // the change is believed and announced, in time and in frames: in a
    // damaged stream a stray frame announces a false format too.
    static constexpr int kFormatConfirmMs = 250;
    static constexpr int kFormatConfirmFrames = 8;

    // Bytes the output device holds beyond what it has pulled; they count in
    // the wait.
    void setOutputBuffer(int bytes);
    // The most decoded bytes that may wait here.
    int maxWaitBytes() const;

signals:
    void newFormat(long rate, int channels, int enc);
    void finish(qint64 ov, qint64 len);
    void update();

protected:
    qint64 readData(char *data, qint64 maxlen) override;
    qint64 writeData(const char *data, qint64 len) override;

private:
    void appendDecoded(const char *data, int len);
    // Skips the oldest decoded sound above maxWaitBytes().
    void skipAboveBound();
    qint64 elapsedMs() const;

    bool started = false;
    QAudioFormat audioFormat;
    PcmLayout layout;
    QByteArray pcm;
    QByteArray mp3In;
    mpg123_handle_struct *mpg = nullptr;
    unsigned char feedBuf[512];
    unsigned char outBuf[16384];
    int lastResult = 0;
    double volume = 100.0;
    int initResult = -1;
    quint32 maxAmplitude = 0;
    qint64 clockStart = 0;
    qint64 lastUpdate = 0;
    bool prebuffered = false;
    int prebufferBytes = 0;
    // Set once the stream's format turned out not to be this player's: the
    // room makes a new player for it, and this one takes nothing more.
    bool refusing = false;
    int outputBuffer = 0;
    // A format other than this player's that the decoder announced, the
    // sample frames it has given in it since and how many make it believed;
    // 0 rate when there is none.
    long otherRate = 0;
    int otherChannels = 0;
    int otherEncoding = 0;
    qint64 otherFrames = 0;
    qint64 otherNeeded = 0;
    int m_decodeErrors = 0;
    qint64 m_decoded = 0;
    qint64 m_dropped = 0;
};
