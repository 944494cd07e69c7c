// Header parsing and escaping never read out of bounds.
#include "protocol/pure/packet.h"

#include <QTextCodec>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    parseHeader(bytes);
    const QString text = decodeCp1256(bytes);
    static QTextCodec *const codec = QTextCodec::codecForName("CP-1256");
    if (codec && text != codec->toUnicode(bytes))
        __builtin_trap();
    if (Detxt(Entxt(text)) != text)
        __builtin_trap();
    Detxt(bytes);
    return 0;
}
