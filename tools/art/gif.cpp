#include "gif.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace art {

namespace {

class BitWriter
{
public:
    void put(int code, int bits)
    {
        acc |= quint32(code) << count;
        count += bits;
        while (count >= 8) {
            out.append(char(acc & 0xff));
            acc >>= 8;
            count -= 8;
        }
    }
    QByteArray finish()
    {
        if (count > 0)
            out.append(char(acc & 0xff));
        acc = 0;
        count = 0;
        return out;
    }

private:
    QByteArray out;
    quint32 acc = 0;
    int count = 0;
};

struct Box
{
    QVector<QPair<QRgb, int>> colours; // colour and pixel count
    int longest(int *channel) const
    {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        for (const auto &c : colours) {
            const int v[3] = {qRed(c.first), qGreen(c.first), qBlue(c.first)};
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::min(lo[i], v[i]);
                hi[i] = std::max(hi[i], v[i]);
            }
        }
        int best = 0;
        for (int i = 1; i < 3; ++i)
            if (hi[i] - lo[i] > hi[best] - lo[best])
                best = i;
        *channel = best;
        return hi[best] - lo[best];
    }
    QRgb mean() const
    {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto &c : colours) {
            r += qRed(c.first) * c.second;
            g += qGreen(c.first) * c.second;
            b += qBlue(c.first) * c.second;
            n += c.second;
        }
        return qRgb(qRound(r / n), qRound(g / n), qRound(b / n));
    }
};

int channelOf(QRgb c, int channel)
{
    return channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c);
}

QVector<QRgb> medianCut(const QHash<QRgb, int> &histogram, int maxColours)
{
    QVector<QRgb> palette;
    if (histogram.size() <= maxColours) {
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
            palette << it.key();
        std::sort(palette.begin(), palette.end());
        return palette;
    }
    QVector<Box> boxes(1);
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        boxes[0].colours << qMakePair(it.key(), it.value());
    while (boxes.size() < maxColours) {
        int pick = -1, pickRange = 0, pickChannel = 0;
        for (int i = 0; i < boxes.size(); ++i) {
            int channel = 0;
            const int range = boxes[i].colours.size() > 1 ? boxes[i].longest(&channel) : 0;
            if (range > pickRange) {
                pick = i;
                pickRange = range;
                pickChannel = channel;
            }
        }
        if (pick < 0)
            break;
        auto &cs = boxes[pick].colours;
        std::sort(cs.begin(), cs.end(), [pickChannel](const auto &a, const auto &b) {
            return channelOf(a.first, pickChannel) < channelOf(b.first, pickChannel);
        });
        long total = 0;
        for (const auto &c : cs)
            total += c.second;
        long run = 0;
        int cut = 1;
        for (int i = 0; i < cs.size() - 1; ++i) {
            run += cs[i].second;
            cut = i + 1;
            if (run * 2 >= total)
                break;
        }
        Box upper;
        upper.colours = cs.mid(cut);
        cs.resize(cut);
        boxes << upper;
    }
    for (const Box &b : boxes)
        palette << b.mean();
    return palette;
}

int nearest(const QVector<QRgb> &palette, QRgb c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < palette.size(); ++i) {
        const long dr = qRed(c) - qRed(palette[i]);
        const long dg = qGreen(c) - qGreen(palette[i]);
        const long db = qBlue(c) - qBlue(palette[i]);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void putU16(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

} // namespace

QByteArray lzwEncode(const QByteArray &indices, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    BitWriter bits;
    QHash<quint32, int> table;
    int codeSize = minCodeSize + 1;
    int next = end + 1;
    bits.put(clear, codeSize);
    if (indices.isEmpty()) {
        bits.put(end, codeSize);
        return bits.finish();
    }
    int prefix = quint8(indices[0]);
    for (int i = 1; i < indices.size(); ++i) {
        const int k = quint8(indices[i]);
        const quint32 key = (quint32(prefix) << 8) | quint32(k);
        const auto found = table.constFind(key);
        if (found != table.constEnd()) {
            prefix = found.value();
            continue;
        }
        bits.put(prefix, codeSize);
        if (next < 4096) {
            table.insert(key, next++);
            if (next > (1 << codeSize) && codeSize < 12)
                ++codeSize;
        } else {
            bits.put(clear, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            next = end + 1;
        }
        prefix = k;
    }
    bits.put(prefix, codeSize);
    bits.put(end, codeSize);
    return bits.finish();
}

QByteArray encodeGif(const QVector<QImage> &frames, int delayCs, const QColor &matte)
{
    if (frames.isEmpty())
        return {};
    const int w = frames[0].width();
    const int h = frames[0].height();

    // Flatten: transparent, or opaque blended on the matte.
    const QRgb transparentMark = 0x00000000u;
    QVector<QVector<QRgb>> flat;
    QHash<QRgb, int> histogram;
    for (const QImage &frame : frames) {
        const QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
        QVector<QRgb> pixels;
        pixels.reserve(w * h);
        for (int y = 0; y < h; ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb c = line[x];
                const int a = qAlpha(c);
                if (a < 128) {
                    pixels << transparentMark;
                    continue;
                }
                auto mix = [a](int s, int m) { return (s * a + m * (255 - a) + 127) / 255; };
                const QRgb o = qRgb(mix(qRed(c), matte.red()), mix(qGreen(c), matte.green()),
                                    mix(qBlue(c), matte.blue()));
                pixels << o;
                histogram[o] += 1;
            }
        }
        flat << pixels;
    }

    // Index 0 is transparent; the colours follow.
    QVector<QRgb> palette = medianCut(histogram, 255);
    palette.prepend(matte.rgb());
    int bitsNeeded = 1;
    while ((1 << bitsNeeded) < palette.size())
        ++bitsNeeded;
    const int tableSize = 1 << bitsNeeded;
    const int minCodeSize = std::max(2, bitsNeeded);

    QHash<QRgb, int> lookup;
    QByteArray out("GIF89a");
    putU16(out, w);
    putU16(out, h);
    out.append(char(0x80 | 0x70 | (bitsNeeded - 1))); // global table, 8-bit resolution
    out.append(char(0));                              // background: transparent index
    out.append(char(0));
    for (int i = 0; i < tableSize; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    // Loop for ever.
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

    for (const QVector<QRgb> &pixels : flat) {
        // Graphic control: restore to background after each frame, index 0 transparent.
        out.append("\x21\xf9\x04", 3);
        out.append(char((2 << 2) | 1));
        putU16(out, delayCs);
        out.append(char(0));
        out.append(char(0));
        // Image descriptor: the whole canvas, no local table.
        out.append(char(0x2c));
        putU16(out, 0);
        putU16(out, 0);
        putU16(out, w);
        putU16(out, h);
        out.append(char(0));

        QByteArray indices;
        indices.reserve(pixels.size());
        for (QRgb c : pixels) {
            if (c == transparentMark) {
                indices.append(char(0));
                continue;
            }
            auto it = lookup.constFind(c);
            if (it == lookup.constEnd())
                it = lookup.insert(c, 1 + nearest(palette.mid(1), c));
            indices.append(char(it.value()));
        }
        out.append(char(minCodeSize));
        const QByteArray data = lzwEncode(indices, minCodeSize);
        for (int pos = 0; pos < data.size(); pos += 255) {
            const int n = std::min(255, int(data.size()) - pos);
            out.append(char(n));
            out.append(data.constData() + pos, n);
        }
        out.append(char(0));
    }
    out.append(char(0x3b));
    return out;
}

} // namespace art
