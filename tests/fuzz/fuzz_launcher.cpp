// The configuration file, the entry list and the version record: any bytes
// parse without reading out of bounds, and the rules hold for what comes out.
#include "startup/pure/base64.h"
#include "startup/pure/config.h"
#include "startup/pure/entries.h"
#include "startup/pure/version.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    parseConfig(bytes);
    const QByteArray encoded = base64_encode(bytes, bytes.size());
    if (base64_decode(encoded) != bytes)
        __builtin_trap();

    const QString text = QString::fromUtf8(bytes);
    const QStringList entries = parseEntryList(text);
    if (entries.size() > kMaxEntries)
        __builtin_trap();
    for (int i = 0; i < entries.size(); ++i) {
        const QStringList fields = entryFields(entries.at(i));
        if (fields.size() < kEntryFieldCount)
            __builtin_trap();
        isLocked(i, fields.at(EntryLock), 0);
        for (int f : {int(EntryFolder), int(EntryPicture), int(EntryLogo)})
            if (isPlainName(fields.at(f))
                && (fields.at(f).contains(QLatin1Char('/')) || fields.at(f) == QLatin1String("..")))
                __builtin_trap();
        entrySettings(fields);
        const QString html = registrationHtml(fields.at(EntryRegister), QStringLiteral("x"));
        if (html.count(QLatin1Char('\'')) != 8)
            __builtin_trap();
    }
    const QStringList record = parseVersionRecord(text);
    decideVersions(record, QStringLiteral("3.0.0"), QStringLiteral("5.15.8"), text,
                   QStringLiteral("Dastrel"));
    return 0;
}
