#include "protocol/pure/contactrecords.h"

#include "protocol/pure/fields.h"

bool parseContactRecord(const QString &record, ContactRecord *out)
{
    const Fields fields(record, QStringLiteral(":"));
    if (fields.count() < 3)
        return false;
    const QString nickname = fields.trimmed(0);
    if (nickname.isEmpty())
        return false;
    out->nickname = nickname;
    out->online = fields.number(1) != 0;
    out->blocked = fields.text(2) == QLatin1String("1");
    return true;
}

QVector<ContactRecord> parseContactList(const QString &body)
{
    QVector<ContactRecord> records;
    if (body.isEmpty())
        return records;
    const Fields parts(body, QStringLiteral("|"));
    for (int i = 0; i < parts.count(); ++i) {
        ContactRecord record;
        if (parseContactRecord(parts.text(i), &record))
            records << record;
    }
    return records;
}

QStringList parseSearchResults(const QString &body)
{
    if (body.isEmpty())
        return {};
    return body.split(QLatin1Char('|'));
}
