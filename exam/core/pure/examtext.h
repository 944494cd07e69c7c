// The exam text: "count|record|record|...", every field separated by "|".
// A record is its text and its type, then for type 1 the letter limit, for
// types 2 and 3 the choice count k and up to k choices; a record of any other
// type is two fields long.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Most questions an exam may have, and most choices of one question: the
// authoring window stops there, and every reader of an exam, an answer sheet
// or a report refuses a text that holds more.
constexpr int kMaxQuestions = 200;
constexpr int kMaxChoices = 50;

// Most characters an answer sheet may hold once cleaned, and most that one of
// its fields (a question, an answer, a choice) may hold, for the sheet to be
// shown: past them the web view takes seconds to lay the page out, and the
// sheet is refused as damaged. A student typing for the whole of a long exam
// writes well within them.
constexpr int kMaxSheetChars = 128 * 1024;
constexpr int kMaxSheetFieldChars = 16 * 1024;

struct ExamQuestion
{
    int number = 0;     // from 1; every record takes one, whatever its type
    QString text;
    QString typeText;   // the type field as written
    int type = 0;       // the type field read as a number
    bool hasThird = false;
    QString third;      // type 1: the limit, types 2 and 3: the choice count
    QStringList choices; // types 2 and 3: the choices present, at most the count

    // The page shows a block (one form) for types 1, 2 and 3 only.
    bool shown() const { return type >= 1 && type <= 3; }
    // Type 1: the most letters the answer may hold, or -1 for no limit. A
    // limit that is missing, negative or not a number means no limit.
    int limit() const;
};

struct ExamText
{
    QString countText;            // field 0 as written
    QVector<ExamQuestion> questions; // every record, in order
    // The text holds more than an exam may: a record beyond kMaxQuestions or
    // a choice beyond kMaxChoices. Reading stopped there.
    bool overLimit = false;
};

// Reads every record present, up to the bounds above; never reads past the
// last field.
ExamText readExamText(const QString &text);
// False when field 0 does not read as a non-zero integer, or the text holds
// more than an exam may: there is no exam.
bool examHasPage(const ExamText &exam);

// A question or choice text as the exam text stores it: each "|", "<" and ">"
// becomes a blank.
QString cleanExamFreeText(const QString &text);
