// What the grading window writes: grading texts mark by mark, the marks
// table of a sheet list with its page and clipboard forms, and the rebuild
// of an answer sheet that does not render.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// A typed mark as it is stored: a number, with Arabic-Indic digits and the
// Arabic decimal separator turned into Latin ones and blanks around it
// removed. Nothing for an empty text or one that is not a finite number, so
// a mark can neither be empty nor hold the ":" that separates marks.
std::optional<QString> readMark(const QString &typed);

// The grading text after one more per-question mark: "0::" and the mark for
// a sheet without marks yet (not graded, or graded by a total), otherwise
// "0::" and its marks and the new one joined by ":". Here and in withMark an
// empty mark is written 0, which it reads as, so no mark is lost after it.
QString withNextMark(const QString &grading, const QString &mark);
// True when the grading gives its grade question by question (graded, total 0).
bool gradedByMarks(const QString &grading);
// The marks of a grading text by the one reading rule (none for a total).
QStringList marksOf(const QString &grading);
// The grading text with mark number question (from 1) replaced: "0::" and
// the marks joined by ":"; nothing when the grading has no such mark.
std::optional<QString> withMark(const QString &grading, int question, const QString &mark);
// A direct total: the number, then "::".
QString totalGrading(float total);

// The question count of an answers text: its first "<:>" field as a number.
int sheetQuestionCount(const QString &answers);

// One row of the marks table: the sheet list's four cells and the grading.
struct MarksRow
{
    QString name;
    QString mail;
    QString time;
    QString number;
    QString grading;
};
// Rows joined by "<::>", each the four cells and the grade (as the marks
// table shows it, empty when not graded) joined by "<:>". A cell never
// splits the table: "<:" inside it becomes "< :", and tabs and line breaks
// become blanks.
QString marksTable(const QVector<MarksRow> &rows);
// The marks page of a marks table with its heading, page text already
// escaped (such as sheetListTitle in its page form), in place of "#mada#".
QString marksPage(const QString &table, const QString &headingHtml);
// The clipboard's text form: one line per row, cells separated by tabs, no
// final line break.
QString marksClipboardText(const QString &table);
// The clipboard's HTML form: the marks page's heading and table alone in a
// plain UTF-8 document, with visible cell borders; no script, style sheet or
// link to the program's resources, which nothing outside the program reads.
QString marksClipboardHtml(const QString &table, const QString &headingHtml);

// The answers text rebuilt from a damaged one and the exam text of its exam:
// per question its text and type and, looked up in the damaged text, the
// written answer or the marks of the choices. Reading stops at the end of
// the exam text whatever its count says, and one question or choice beyond
// what an exam may have, so that the sheet shows as damaged; texts copied
// into the result get blanks for "<" and ">", so the result splits as the
// exam text does.
QString repairAnswers(const QString &damaged, const QString &examText);
