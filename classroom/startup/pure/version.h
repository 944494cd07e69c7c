// The version record of the web endpoint and the update decision.
#pragma once

#include <QString>
#include <QStringList>

// A record has eight "|"-separated fields; shorter ones are not used.
constexpr int kVersionFieldCount = 8;

// The fields of a record reply, or an empty list when it has fewer than eight.
QStringList parseVersionRecord(const QString &body);

struct VersionDecision
{
    QString mode;               // field 5, or "c" when the Qt version differs
    bool clientOutdated = false;
    QString clientOffered;      // field 0
    QStringList clientUpdater;  // updater arguments; empty for mode "n"
    bool examOutdated = false;
    QString examOffered;        // field 6
    QStringList examUpdater;    // updater arguments; empty without field 7
};

// What one pass offers, from the record's fields, the client's own version,
// the running Qt version, the exam program's "-v" output and the client's
// own file name.
VersionDecision decideVersions(const QStringList &fields, const QString &clientVersion,
                               const QString &qtVersion, const QString &examOutput,
                               const QString &ownFileName);

// An update question with "1.0.0" replaced by the installed and then "1.0.1"
// by the offered version.
QString updateMessage(QString text, const QString &installed, const QString &offered);
