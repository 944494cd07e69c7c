// The supervisor's server commands and the sending of a stored report. Each
// shows its wait box while it posts and tells every outcome in a message;
// none starts while another post waits.
#pragma once

#include <QString>

extern const QString kMsgAdminRefused;   // infoadmin: wrong name or password
extern const QString kMsgAdminFault;     // a reply the command does not know
extern const QString kMsgExamSent;       // sendim / sendedit stored
extern const QString kMsgNoOstad;
extern const QString kMsgNoRight;        // may not send exams
extern const QString kMsgExamDeja;       // the exam was sent before
extern const QString kMsgReportSent;     // send: received
extern const QString kMsgReportDeja;     // send: received before
extern const QString kMsgReportDamaged;  // not a report record
extern const QString kMsgStateChanged;   // changetat done
extern const QString kMsgStateRefused;   // changetat: wrong name or password

// "infoadmin": true when the endpoint accepts the supervisor, and then
// ServerStat holds the availability it answered (unchanged when it gave
// none). Hides frmpwd while it waits and shows it again on every path.
bool EntrePWD(QString user, QString password);

// "sendim", or "sendedit" for an id of 1 or more; true when stored.
bool SendImtihan(QString txt, int idUser, QString ostad, QString dateim, int fawj, int fasl,
                 int moda, QString titre, int id);

// "changetat": asks the endpoint to set its availability switch and keeps
// the state it answers in ServerStat; true when the endpoint answered "ok".
bool ChangeServer(bool on);

// "send" of a stored report record (its eleven fields), marked as an edit
// when edit is set. A text that is not a report record is not sent.
void Sendtxt(QString record, bool edit = false);
