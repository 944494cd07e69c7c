// Server-time arithmetic of the exam program. Server date-times are texts in
// kServerFormat; the program never reads the local clock for exam timing.
#pragma once

#include <QDateTime>
#include <QString>

extern const QString kServerFormat; // "yyyy-MM-dd hh:mm:ss"

QDateTime parseServerTime(const QString &text);

// Seconds from the server time serverNow to start plus the given minutes
// (the end of the exam): positive while the exam is not over. 0 when either
// time does not parse.
qint64 secondsToExamEnd(const QString &serverNow, int minutes, const QDateTime &start);

// "hh:mm:ss" of a count of seconds, wrapping at 24 hours.
QString remainingText(qint64 seconds);

// -n, worked out on the decimal text of n as the clock has always done.
int Changenegative(int n);
