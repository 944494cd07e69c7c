// The contact bodies (codes 2, 3 and 5) parse any text without reading past
// it, and every record kept has a trimmed, non-empty nickname.
#include "protocol/pure/contactrecords.h"
#include "protocol/pure/packet.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString body = decodeCp1256(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const QVector<ContactRecord> records = parseContactList(body);
    if (records.size() > body.count(QLatin1Char('|')) + 1)
        __builtin_trap();
    for (const ContactRecord &r : records)
        if (r.nickname.isEmpty() || r.nickname != r.nickname.trimmed())
            __builtin_trap();
    ContactRecord one;
    if (parseContactRecord(body, &one) && one.nickname.isEmpty())
        __builtin_trap();
    const QStringList found = parseSearchResults(body);
    if (body.isEmpty() != found.isEmpty())
        __builtin_trap();
    return 0;
}
