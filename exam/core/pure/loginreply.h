// The payloads of the student commands: "infousr" (who the member number
// belongs to) and "login4" (server time, release flag and the day's exams).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct StudentInfo
{
    enum Kind { Empty, NoUser, Known };
    Kind kind = Empty;
    QString name;
    QString mail;
};

// Empty (also a payload without "<:>"), "no user" (any case), or the name
// and e-mail joined by "<:>".
StudentInfo parseStudentInfo(const QString &payload);

struct ExamRecord
{
    QString id;       // field 0
    QString start;    // field 1, server format
    QString duration; // field 2, minutes
    QString header;   // field 3: title, cohort and class joined by "<:>"
    QString field4;   // field 4
    QStringList texts; // fields 5 and on: exam texts
};

struct LoginReply
{
    // A non-blank head with fewer than six fields: treat as an empty reply.
    bool malformed = false;
    bool headPresent = false; // head not blank
    QString flag;             // head field 0 ("0": the exams are released)
    QString serverTime;       // head field 3
    bool hasExams = false;    // the payload held "<|||>"
    QList<ExamRecord> records; // records with at least five fields, in order
};

LoginReply parseLoginReply(const QString &payload);

// Title, cohort and class of a record header; missing parts are empty or 0.
struct ExamHeader
{
    QString title;
    int fawj = 0;
    int fasl = 0;
    QString fawjText;
    QString faslText;
};
ExamHeader splitExamHeader(const QString &header);
