// Byte codecs, escaping and the layout of one classroom packet.
#pragma once

#include <QByteArray>
#include <QString>

// Header: code (2), body length (4), marker (8), name padded to 32.
constexpr int kHeaderSize = 46;
constexpr int kNameSize = 32;
constexpr int kMaxBodySize = 1048576;
extern const QByteArray kMarker; // "KW.TOVEN"

QByteArray stc(qint16 value);
QByteArray itc(qint32 value);
// Callers pass at least 2 (cts) or 4 (cti) bytes.
qint16 cts(const QByteArray &bytes);
qint32 cti(const QByteArray &bytes);
QByteArray Spaces(int count, char c);

QString Entxt(const QString &text);
QString Detxt(const QString &text);
QByteArray Entxt(const QByteArray &text);
QByteArray Detxt(const QByteArray &text);

// Body encodings used by the senders.
enum class BodyEncoding { Cp1256, Utf8 };

QByteArray encodeCp1256(const QString &text);
QString decodeCp1256(const QByteArray &bytes);
QString decodeCp1256(const char *data, int size);
// Which of the decoders above takes size bytes on this processor: "codec"
// (Qt's CP-1256 codec), "table" (a lookup per byte) or "table, AVX-512"
// (64 bytes per step, the rest by the table).
const char *cp1256DecoderFor(int size);
// True when CP-1256 has a byte for c (never for a surrogate).
bool cp1256CanEncode(QChar c);
// The bytes decoded, white space removed at both ends (as QString::trimmed).
QString decodeCp1256Trimmed(const char *data, int size);
QByteArray encodeBody(const QString &text, BodyEncoding encoding);

// One whole packet: header then body, ready for a single write.
QByteArray buildPacket(qint16 code, const QByteArray &name, const QByteArray &body);
QByteArray buildPacket(qint16 code, const QByteArray &name, const QString &body,
                       BodyEncoding encoding);

// The fields of a received 46-byte header.
struct PacketHeader
{
    qint16 code = 0;
    qint32 length = 0;
    QByteArray marker;
    QString name; // trimmed, decoded with CP-1256
};
PacketHeader parseHeader(const QByteArray &header);

// Fields of the kHeaderSize bytes at header.
qint16 headerCode(const char *header);
qint32 headerLength(const char *header);
QString headerName(const char *header); // trimmed, CP-1256

// One packet as it lies in the received bytes. The pointers stay valid while
// the framing's sink runs, until it feeds more bytes or runs an event loop;
// whatever a handler keeps is decoded or copied from them first.
struct PacketView
{
    const char *header = nullptr; // kHeaderSize bytes
    const char *body = nullptr;   // length bytes
    qint16 code = 0;
    qint32 length = 0;

    QByteArray headerBytes() const { return QByteArray(header, kHeaderSize); }
    QByteArray bodyBytes() const { return QByteArray(body, length); }
};
