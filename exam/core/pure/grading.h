// The grading text of one answer sheet: "" (not graded), or a total, "::" and
// the marks of the questions joined by ":".
#pragma once

#include <QString>
#include <QStringList>

struct Grading
{
    bool graded = false; // false for an empty or blank text
    float total = 0;     // the text before the first "::", read as a number
    QStringList marks;   // read only when the total is 0: the marks as written
    float grade = 0;     // the total, or with a total of 0 the sum of the marks
};

// The one reading rule of grading texts. A total other than 0 is the grade
// and the marks are not read; a total of 0 makes the grade the sum of the
// marks found between the first "::" and the next one (none without "::").
Grading readGrading(const QString &text);

// The grade as the marks table shows it, or the empty text when not graded.
QString ExtracTotaltankit(const QString &text);

// A review page with its grades filled in.
struct GradedSheet
{
    QString html;
    bool graded = false;
    float total = 0;
    bool overTwenty = false; // the total exceeds 20
};

// Writes each mark into the next empty grade slot "<div id='note'></div>" and
// the total (out of 20) into "<div id='total'>#total#</div>"; marks beyond the
// slots are neither shown nor added. Not graded: only the total slot says so.
// A page handed over (std::move) is filled in place where it can be.
GradedSheet fillGrades(QString html, const QString &grading);
