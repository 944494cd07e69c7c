#include "protocol/pure/packet.h"

#include <QTextCodec>
#include <QVector>

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VELMAR_X86_SIMD 1
#endif

const QByteArray kMarker("KW.TOVEN", 8);

namespace {

QTextCodec *cp1256()
{
    static QTextCodec *codec = QTextCodec::codecForName("CP-1256");
    return codec;
}

// CP-1256 is a single-byte code: every byte reads as one character, so
// decoding is a table lookup. The table is read from the codec once; were a
// byte ever to decode otherwise, decoding would stay with the codec.
struct Cp1256Table
{
    ushort chars[256];
    bool space[256]; // the byte reads as white space (QChar::isSpace)
    bool exact = true;
    bool wide = false; // the processor has the byte permutes used below
    QVector<bool> encodable = QVector<bool>(0x10000, false); // characters of the table
    alignas(64) uchar low[128];  // low and high bytes of the characters
    alignas(64) uchar high[128]; // of bytes 0x80 to 0xff

    Cp1256Table()
    {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString text = cp1256() ? cp1256()->toUnicode(all) : QString();
        exact = text.size() == 256;
        for (int b = 0; b < 256; ++b) {
            const QString one = cp1256() ? cp1256()->toUnicode(all.mid(b, 1)) : QString();
            exact = exact && one.size() == 1 && one.at(0) == text.at(b)
                    && (b >= 0x80 ? text.at(b).unicode() != 0 : text.at(b).unicode() == b);
            chars[b] = exact ? text.at(b).unicode() : 0;
            encodable[chars[b]] = exact;
            space[b] = exact && text.at(b).isSpace();
            if (b >= 0x80) {
                low[b - 0x80] = uchar(chars[b] & 0xff);
                high[b - 0x80] = uchar(chars[b] >> 8);
            }
        }
#ifdef VELMAR_X86_SIMD
        __builtin_cpu_init();
        wide = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
#endif
    }
};

const Cp1256Table &cp1256Table()
{
    static const Cp1256Table table;
    return table;
}

// Decodes n bytes into dst by the table; returns how many it took (all).
int decodeScalar(const Cp1256Table &t, const uchar *src, int n, ushort *dst)
{
    int i = 0;
    // Runs of eight plain ASCII bytes are only widened.
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, src + i, 8);
        if (word & 0x8080808080808080ull) {
            for (int k = 0; k < 8; ++k)
                dst[i + k] = t.chars[src[i + k]];
        } else {
            for (int k = 0; k < 8; ++k)
                dst[i + k] = src[i + k];
        }
    }
    for (; i < n; ++i)
        dst[i] = t.chars[src[i]];
    return n;
}

#ifdef VELMAR_X86_SIMD
// 64 bytes at a time: the high half of the table lies in four registers and
// one byte permute looks up 64 characters' low (or high) bytes at once.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) int
decodeWide(const Cp1256Table &t, const uchar *src, int n, ushort *dst)
{
    const __m512i low0 = _mm512_load_si512(t.low);
    const __m512i low1 = _mm512_load_si512(t.low + 64);
    const __m512i high0 = _mm512_load_si512(t.high);
    const __m512i high1 = _mm512_load_si512(t.high + 64);
    int i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i x = _mm512_loadu_si512(src + i);
        const __mmask64 upper = _mm512_movepi8_mask(x);
        __m512i lo = x;
        __m512i hi = _mm512_setzero_si512();
        if (upper) {
            lo = _mm512_mask_blend_epi8(upper, x, _mm512_permutex2var_epi8(low0, x, low1));
            hi = _mm512_maskz_permutex2var_epi8(upper, high0, x, high1);
        }
        const __m512i w0 = _mm512_or_si512(
            _mm512_cvtepu8_epi16(_mm512_castsi512_si256(lo)),
            _mm512_slli_epi16(_mm512_cvtepu8_epi16(_mm512_castsi512_si256(hi)), 8));
        const __m512i w1 = _mm512_or_si512(
            _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(lo, 1)),
            _mm512_slli_epi16(_mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(hi, 1)), 8));
        _mm512_storeu_si512(dst + i, w0);
        _mm512_storeu_si512(dst + i + 32, w1);
    }
    decodeScalar(t, src + i, n - i, dst + i);
    return n;
}
#endif

} // namespace

QString decodeCp1256(const char *data, int size)
{
    if (size <= 0)
        return QString();
    const Cp1256Table &t = cp1256Table();
    if (!t.exact)
        return cp1256() ? cp1256()->toUnicode(data, size) : QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    const auto *src = reinterpret_cast<const uchar *>(data);
    auto *dst = reinterpret_cast<ushort *>(out.data());
#ifdef VELMAR_X86_SIMD
    if (t.wide && size >= 64) {
        decodeWide(t, src, size, dst);
        return out;
    }
#endif
    decodeScalar(t, src, size, dst);
    return out;
}

const char *cp1256DecoderFor(int size)
{
    const Cp1256Table &t = cp1256Table();
    if (!t.exact)
        return "codec";
#ifdef VELMAR_X86_SIMD
    if (t.wide && size >= 64)
        return "table, AVX-512";
#endif
    Q_UNUSED(size);
    return "table";
}

bool cp1256CanEncode(QChar c)
{
    const Cp1256Table &t = cp1256Table();
    if (!t.exact)
        return !c.isSurrogate() && cp1256() && cp1256()->canEncode(c);
    return t.encodable.at(c.unicode()) && !c.isSurrogate();
}

QString decodeCp1256Trimmed(const char *data, int size)
{
    const Cp1256Table &t = cp1256Table();
    if (!t.exact)
        return decodeCp1256(data, size).trimmed();
    const auto *b = reinterpret_cast<const uchar *>(data);
    int from = 0;
    int to = size;
    while (from < to && t.space[b[from]])
        ++from;
    while (to > from && t.space[b[to - 1]])
        --to;
    return decodeCp1256(data + from, to - from);
}

QByteArray stc(qint16 value)
{
    const quint16 v = quint16(value);
    QByteArray out(2, '\0');
    out[0] = char(v & 0xff);
    out[1] = char(v >> 8);
    return out;
}

QByteArray itc(qint32 value)
{
    const quint32 v = quint32(value);
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char((v >> (8 * i)) & 0xff);
    return out;
}

qint16 cts(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    return qint16(quint16(b[0] | (b[1] << 8)));
}

qint32 cti(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    return qint32(quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16)
                  | (quint32(b[3]) << 24));
}

QByteArray Spaces(int count, char c)
{
    return count > 0 ? QByteArray(count, c) : QByteArray();
}

QString Entxt(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("@"), QLatin1String("@arp;"));
    t.replace(QLatin1String(":"), QLatin1String("@n;"));
    t.replace(QLatin1String("|"), QLatin1String("@l;"));
    return t;
}

QString Detxt(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("@n;"), QLatin1String(":"));
    t.replace(QLatin1String("@l;"), QLatin1String("|"));
    t.replace(QLatin1String("@arp;"), QLatin1String("@"));
    return t;
}

QByteArray Entxt(const QByteArray &text)
{
    QByteArray t = text;
    t.replace("@", "@arp;");
    t.replace(":", "@n;");
    t.replace("|", "@l;");
    return t;
}

QByteArray Detxt(const QByteArray &text)
{
    QByteArray t = text;
    t.replace("@n;", ":");
    t.replace("@l;", "|");
    t.replace("@arp;", "@");
    return t;
}

QByteArray encodeCp1256(const QString &text) { return cp1256()->fromUnicode(text); }

QString decodeCp1256(const QByteArray &bytes)
{
    return decodeCp1256(bytes.constData(), bytes.size());
}

QByteArray encodeBody(const QString &text, BodyEncoding encoding)
{
    return encoding == BodyEncoding::Cp1256 ? encodeCp1256(text) : text.toUtf8();
}

QByteArray buildPacket(qint16 code, const QByteArray &name, const QByteArray &body)
{
    QByteArray packet;
    packet.reserve(kHeaderSize + body.size());
    packet += stc(code);
    packet += itc(qint32(body.size()));
    packet += kMarker;
    packet += name;
    packet += Spaces(kNameSize - name.size(), ' ');
    packet += body;
    return packet;
}

QByteArray buildPacket(qint16 code, const QByteArray &name, const QString &body,
                       BodyEncoding encoding)
{
    return buildPacket(code, name, encodeBody(body, encoding));
}

qint16 headerCode(const char *header)
{
    const auto *b = reinterpret_cast<const uchar *>(header);
    return qint16(quint16(b[0] | (b[1] << 8)));
}

qint32 headerLength(const char *header)
{
    const auto *b = reinterpret_cast<const uchar *>(header) + 2;
    return qint32(quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16)
                  | (quint32(b[3]) << 24));
}

QString headerName(const char *header)
{
    return decodeCp1256Trimmed(header + 14, kNameSize);
}

PacketHeader parseHeader(const QByteArray &header)
{
    PacketHeader h;
    if (header.size() < kHeaderSize)
        return h;
    h.code = headerCode(header.constData());
    h.length = headerLength(header.constData());
    h.marker = header.mid(6, 8);
    h.name = headerName(header.constData());
    return h;
}
