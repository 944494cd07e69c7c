// Bodies of the contact commands: the contact list (code 2), one contact's
// new state (code 3) and the nicknames found by a search (code 5).
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct ContactRecord
{
    QString nickname; // trimmed
    bool online = false;
    bool blocked = false;
};
Q_DECLARE_TYPEINFO(ContactRecord, Q_MOVABLE_TYPE);

// One record "nickname:state:mark". The state is a decimal number, online
// when not 0 (text that is not a number is 0); the mark "1" means blocked.
// False for a record with fewer than three fields or an empty nickname.
bool parseContactRecord(const QString &record, ContactRecord *out);

// Records joined by "|"; the ones parseContactRecord refuses are left out.
QVector<ContactRecord> parseContactList(const QString &body);

// Nicknames joined by "|", each kept as sent, empty parts included; nothing
// for an empty body.
QStringList parseSearchResults(const QString &body);
