#include "protocol/pure/packet.h"

#include <QTextCodec>

const QByteArray kMarker("KW.TOVEN", 8);

namespace {
QTextCodec *cp1256()
{
    static QTextCodec *codec = QTextCodec::codecForName("CP-1256");
    return codec;
}
} // namespace

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

QString decodeCp1256(const QByteArray &bytes) { return cp1256()->toUnicode(bytes); }

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

PacketHeader parseHeader(const QByteArray &header)
{
    PacketHeader h;
    if (header.size() < kHeaderSize)
        return h;
    h.code = cts(header);
    h.length = cti(header.mid(2, 4));
    h.marker = header.mid(6, 8);
    h.name = decodeCp1256(header.mid(14, kNameSize)).trimmed();
    return h;
}
