// The reply of "getimtihan": the student's name and e-mail, then one record
// per exam the endpoint received from this student, and the review page of
// one such record.
#pragma once

#include <QString>
#include <QVector>

struct ResultRecord
{
    QString subject; // heading part 0
    QString cohort;  // heading part 1
    QString classNo; // heading part 2
    QString number;  // field 1: the exam's number
    QString date;    // field 2, as received
    QString answers; // field 3: the answers text of the student's sheet
    QString grading; // field 4: the grading text, empty while not graded
};

// At most this many records are read; the rest count as skipped.
constexpr int kMaxResultRecords = 1000;

struct ResultsReply
{
    QString name; // head field 0
    QString mail; // head field 1
    QVector<ResultRecord> records;
    int skipped = 0; // records beyond kMaxResultRecords
};

// Records are separated by "<|>", the first one being the head; fields by
// "|". Every record after the head is one exam; a field or heading part
// that is missing reads as the empty text.
ResultsReply readResultsReply(const QString &payload);

// The table's text of a heading: the subject, then on a new line the cohort
// and the class in brackets.
QString resultHeading(const ResultRecord &record);

// The review page of an answers text with its header filled: the heading,
// the student's name and e-mail and the institute label (lines joined by
// "\n" or "<br />"), every text (each line of the heading and of the label)
// escaped in an isolate of its own direction. The total slot is left for the
// grades. Empty when the answers text gives no sheet.
QString resultSheet(const QString &answers, const QString &heading, const QString &name,
                    const QString &mail, const QString &label);
