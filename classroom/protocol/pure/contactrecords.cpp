#include "protocol/pure/contactrecords.h"

#include <QLatin1Char>
#include <QStringRef>

namespace {

// A record read in place: only the nickname is copied out of the body.
bool readRecord(const QStringRef &record, ContactRecord *out)
{
    const QLatin1Char colon(':');
    const int state = record.indexOf(colon);
    const int mark = state < 0 ? -1 : record.indexOf(colon, state + 1);
    if (mark < 0)
        return false;
    const QStringRef nickname = record.left(state).trimmed();
    if (nickname.isEmpty())
        return false;
    const int end = record.indexOf(colon, mark + 1);
    bool ok = false;
    const int online = record.mid(state + 1, mark - state - 1).toInt(&ok);
    out->nickname = nickname.toString();
    out->online = ok && online != 0;
    out->blocked = record.mid(mark + 1, end < 0 ? -1 : end - mark - 1) == QLatin1String("1");
    return true;
}

} // namespace

bool parseContactRecord(const QString &record, ContactRecord *out)
{
    return readRecord(QStringRef(&record), out);
}

QVector<ContactRecord> parseContactList(const QString &body)
{
    QVector<ContactRecord> records;
    if (body.isEmpty())
        return records;
    // Room for as many records as the body can hold: each has its bar and
    // two colons.
    records.reserve(qMin(body.count(QLatin1Char('|')) + 1, body.count(QLatin1Char(':')) / 2));
    int from = 0;
    for (;;) {
        const int bar = body.indexOf(QLatin1Char('|'), from);
        ContactRecord record;
        if (readRecord(body.midRef(from, bar < 0 ? -1 : bar - from), &record))
            records << record;
        if (bar < 0)
            break;
        from = bar + 1;
    }
    return records;
}

QStringList parseSearchResults(const QString &body)
{
    if (body.isEmpty())
        return {};
    return body.split(QLatin1Char('|'));
}
