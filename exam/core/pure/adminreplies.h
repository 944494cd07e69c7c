// The supervisor's commands of the exam endpoint ("infoadmin", "sendim",
// "sendedit", "changetat") and the sending of a stored report ("send"):
// their form items, in order, and the reading of their reply payloads.
#pragma once

#include "core/pure/formbody.h"

#include <QString>
#include <QStringList>
#include <optional>

FormQuery infoAdminQuery(const QString &endpoint, int idUser, const QString &user,
                         const QString &group, const QString &password);

// An exam upload: "sendedit" with its "id" first when id >= 1, else "sendim".
struct ExamUpload
{
    QString txt;    // the exam text
    int idUser = 0;
    QString ostad;  // teacher
    QString dateim; // "yyyy-MM-dd HH:mm"
    int fawj = 0;
    int fasl = 0;
    int moda = 0;   // minutes
    QString titre;
    int id = 0;
};
FormQuery uploadQuery(const QString &endpoint, const ExamUpload &exam, const QString &group,
                      const QString &admin, const QString &password);

FormQuery serverStateQuery(const QString &endpoint, const QString &group, bool on,
                           const QString &admin, const QString &password, int idUser);

// The eleven fields of a report record (joined by "<::>"); later fields are
// ignored. Nothing when the text holds fewer than eleven.
constexpr int kReportRecordFields = 11;
std::optional<QStringList> reportRecordFields(const QString &record);
// "send" of a stored report, "cmd2" = "edit" when edit is set.
FormQuery reportSendQuery(const QString &endpoint, const QStringList &fields, bool edit);

enum class AdminReply {
    Ok,
    Refused, // "no admin"
    NoOstad, // "no ostad"
    Deja,    // sent before
    Empty,   // no payload
    Unknown, // anything else
};

// A reply that may carry the availability switch after "ok|".
struct StateReply
{
    AdminReply kind = AdminReply::Empty;
    std::optional<bool> state; // set for "ok" with a second field
};

// Words are matched without regard to case, after the white space around
// the payload is removed, so a server's line end changes nothing.
StateReply readInfoAdminReply(const QString &payload);
// "ok" (and anything after it), "no ostad", "no admin", "deja".
AdminReply readUploadReply(const QString &payload);
// "ok" or "deja", each as the whole payload.
AdminReply readReportSendReply(const QString &payload);
// "ok" (and anything after it) with the new state, "no admin".
StateReply readServerStateReply(const QString &payload);
