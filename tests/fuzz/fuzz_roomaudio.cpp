// The streaming server's answer, the write address, recording names and the
// sample conversions never read out of bounds and stay within their limits.
#include "rooms/pure/livestream.h"
#include "rooms/pure/pcm.h"
#include "rooms/pure/recordingname.h"

#include <QDateTime>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));

    // The answer fed in pieces whose sizes come from the input itself.
    SourceAnswer answer;
    int pos = 0;
    while (pos < bytes.size()) {
        const int n = 1 + uchar(bytes.at(pos)) % 64;
        answer.feed(bytes.mid(pos, n));
        pos += n;
        if (answer.head().size() > SourceAnswer::kMaxHead + 64)
            __builtin_trap();
    }

    const QString text = QString::fromUtf8(bytes);
    QString host;
    quint16 port = 0;
    if (splitWriteAddress(text, &host, &port) && (host.isEmpty() || port == 0))
        __builtin_trap();
    const QString name = recordingFileName(text, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.startsWith(QLatin1Char('.')))
        __builtin_trap();

    if (size >= 4) {
        PcmLayout l;
        l.sampleRate = 22050;
        l.channels = 1 + data[0] % 2;
        const int sizes[] = {8, 16, 32, 32};
        l.sampleSize = sizes[data[1] % 4];
        l.kind = data[1] % 4 == 3 ? PcmLayout::Float
                                  : (data[2] % 2 ? PcmLayout::SignedInt : PcmLayout::UnsignedInt);
        l.littleEndian = data[3] % 2;
        const QByteArray s16 = toSigned16(bytes.constData() + 4, bytes.size() - 4, l);
        if (s16.size() % (2 * l.channels) != 0)
            __builtin_trap();
        peakLevel(bytes.constData() + 4, bytes.size() - 4, l, fullScale(l));
        QByteArray g = s16;
        applyGain16(float(data[0]) / 16.0f, g);
    }
    return 0;
}
