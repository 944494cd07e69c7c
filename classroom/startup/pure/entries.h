// The server-entry list of the web endpoint and the rules over its fields.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// An entry has this many "|"-separated fields; shorter ones are dropped.
constexpr int kEntryFieldCount = 16;
// At most this many entries are taken from one list.
constexpr int kMaxEntries = 100;

// Field numbers of an entry.
enum EntryField {
    EntryName = 0,
    EntryHost = 1,
    EntryPort = 2,
    EntryWebPath = 3,
    EntryStation = 4,
    EntryRadioPath = 5,
    EntryFolder = 6,
    EntryPicture = 7,
    EntryAbout = 8,
    EntryRegister = 9,
    EntryLock = 10,
    EntryLogo = 11,
    EntryListenHost = 12,
    EntrySourceHost = 13,
    EntrySourcePassword = 14,
    EntryGroup = 15,
};

// The text between the first "<|" and the first "|>" after it; a missing
// marker leaves that end of the text as it is.
QString usefulPart(const QString &body);

// The entries of a list reply, in order; entries with fewer than
// kEntryFieldCount fields are skipped.
QStringList parseEntryList(const QString &body);

// The fields of one entry (empty fields kept), always kEntryFieldCount or more.
QStringList entryFields(const QString &entry);

// An entry other than the default one is locked when its lock field reads 1;
// with no default entry (-1) nothing is locked.
bool isLocked(int index, const QString &lockField, int defaultEntry);

// A server-given name usable as one file or folder name: not empty, not "."
// or "..", without "/", "\" or NUL.
bool isPlainName(const QString &name);

// The entry's web path, the prefix of all its web addresses, when it is one
// (isWebPath: http or https, a host, no user name or password); else empty.
// An entry without one is kept, with no pictures to download and no pages.
QString entryWebPath(const QStringList &fields);

// A stored choice brought into the list (0 for an empty list).
int clampChoice(int choice, int count);

// What a login takes from the chosen entry.
struct EntrySettings
{
    QString name;              // velmar_name
    QString group;             // velmar_group
    QString directoryHost;     // IPServer2
    int directoryPort = 0;     // Port_Srv
    QString webPath;           // path_web, empty when not a web path
    QString stationPath;       // path_swf, empty with it
    QString radioPath;         // path_radio
    QString listenHost;        // r_radio
    QString sourceHost;        // w_radio
    QByteArray sourceAuth;     // pass_radio: Base64 of "source:" + password
};
EntrySettings entrySettings(const QStringList &fields);

// A stream host with every "http://" and then every "www." removed.
QString cleanStreamHost(QString host);

// Rich text of the login panel's registration link; the link is escaped and
// left out when it is not a web address.
QString registrationHtml(const QString &link, const QString &caption);
