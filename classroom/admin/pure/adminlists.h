// Bodies of the administration replies: group and room lists (codes 18 and
// 22), a room's supervisors (code 23) and the administrators with their
// permission sets (code 28). Every parser reads only the fields that are
// there; a record that lacks the fields its window needs is left out.
#pragma once

#include "protocol/pure/outgoing.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

struct IdName
{
    QString id;
    QString name;
};

// Records "id:name" joined by "|" (further ":" fields ignored). A record
// without ":" is left out; a body that is blank gives nothing. With trim, id
// and name lose their surrounding white space.
QVector<IdName> parseIdNameList(const QString &body, bool trim);

// One room of the room administration list: fields joined by ":", of which
// 0 id, 1 name, 3 entry password, 4 supervisor password, 5 teacher,
// 6 maximum, 7 banner (escaped). Missing fields read empty.
struct AdminRoom
{
    QString id;            // trimmed
    QString name;          // trimmed
    QString password;
    QString adminPassword;
    QString owner;
    QString maximum;
    QString banner;        // unescaped
    QString record;        // the record as received
};

// Room records joined by "|"; a record without ":" is left out.
QVector<AdminRoom> parseAdminRooms(const QString &body);

// A room's supervisors: every "|" part after the first (the room), as sent.
QStringList parseSupervisors(const QString &body);

using PermissionSet = std::array<bool, outgoing::kPermissionKeyCount>;

// Pairs "key:value" joined by "|", keys in outgoing::kPermissionKeys; a value
// other than 0 checks its box, the last pair of a key wins; pairs without ":"
// and unknown keys change nothing.
PermissionSet parsePermissionSet(const QString &list);

struct AdminRecord
{
    QString name;        // part 1 of the record
    QString record;      // the record as received
    PermissionSet permissions{};
};

// Records joined by "||", each parts joined by "::": the name, two parts the
// client does not read, the permission list. Records with fewer than four
// parts carry no permission list and are left out.
QVector<AdminRecord> parseAdminRecords(const QString &body);

// The record as the server keeps it once set was saved for the
// administrator: the permission list (part 4) holds the saved pairs in
// their order; the other parts stay.
void applySavedPermissions(AdminRecord &admin, const PermissionSet &set);
