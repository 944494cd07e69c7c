#include "startup/pure/base64.h"

const QByteArray base64_chars =
    QByteArrayLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");

QByteArray base64_encode(const QByteArray &bytes, int length)
{
    length = qBound(0, length, bytes.size());
    QByteArray out;
    out.reserve((length + 2) / 3 * 4);
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    int i = 0;
    for (; i + 3 <= length; i += 3) {
        out += base64_chars.at(in[i] >> 2);
        out += base64_chars.at(((in[i] & 0x03) << 4) | (in[i + 1] >> 4));
        out += base64_chars.at(((in[i + 1] & 0x0f) << 2) | (in[i + 2] >> 6));
        out += base64_chars.at(in[i + 2] & 0x3f);
    }
    const int rest = length - i;
    if (rest == 1) {
        out += base64_chars.at(in[i] >> 2);
        out += base64_chars.at((in[i] & 0x03) << 4);
        out += "==";
    } else if (rest == 2) {
        out += base64_chars.at(in[i] >> 2);
        out += base64_chars.at(((in[i] & 0x03) << 4) | (in[i + 1] >> 4));
        out += base64_chars.at((in[i + 1] & 0x0f) << 2);
        out += '=';
    }
    return out;
}

namespace {
int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}
} // namespace

QByteArray base64_decode(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() / 4 * 3 + 2);
    int group[4];
    int n = 0;
    for (const char c : text) {
        const int v = sextet(c);
        if (v < 0)
            break;
        group[n++] = v;
        if (n == 4) {
            out += char((group[0] << 2) | (group[1] >> 4));
            out += char(((group[1] & 0x0f) << 4) | (group[2] >> 2));
            out += char(((group[2] & 0x03) << 6) | group[3]);
            n = 0;
        }
    }
    if (n >= 2)
        out += char((group[0] << 2) | (group[1] >> 4));
    if (n == 3)
        out += char(((group[1] & 0x0f) << 4) | (group[2] >> 2));
    return out;
}
