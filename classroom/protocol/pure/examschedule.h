// The day's exam schedule (code 27 body): the server's time, then one record
// per exam. Records are joined by "<|||>", the fields of a record by "<||>":
// 0 exam number, 1 start "yyyy-MM-dd HH:mm:ss", 2 duration in minutes,
// 3 title. All tests use the server's time, never the local clock.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

struct ExamRecord
{
    int position = 0;    // record number in the body, from 1
    QString number;      // field 0
    QString startText;   // field 1, as received
    QString minutesText; // field 2, as received
    QString title;       // field 3
    QDateTime start;     // invalid when field 1 does not read
    int minutes = 0;     // 0 when field 2 is not a number
};

struct ExamSchedule
{
    QString serverTimeText; // record 0, as received
    QDateTime serverTime;   // invalid when record 0 does not read
    // Records with fewer than four fields are left out; the others keep
    // their position.
    QVector<ExamRecord> exams;
};

ExamSchedule parseExamSchedule(const QString &body);

// Started (the start is now or past) and not yet ended, at the server's time.
bool examRunning(const ExamRecord &exam, const QDateTime &now);
// Its end still lies ahead of the server's time (running or not yet started).
bool examNotOver(const ExamRecord &exam, const QDateTime &now);

// The exams that the notice lists: not over, in the order received.
QVector<ExamRecord> examsNotOver(const ExamSchedule &schedule);

// True when the received schedule differs from the kept one apart from the
// server time: both are compared from the length of the received one's
// record 0 on.
bool scheduleChanged(const QString &kept, const QString &received);
