// The grading window's server side: the supervisor's exam list
// ("listimtihan"), the answer sheets of one exam ("imtihanuser"), saving a
// grading ("tankit"), changing an exam's teacher ("changeostad") and the
// exam text of one exam ("getimt"): their form items, in order, and the
// reading of their replies.
#pragma once

#include "core/pure/formbody.h"

#include <QString>
#include <QStringList>
#include <QVector>

// At most this many records of a list reply are read; the rest count as
// skipped.
constexpr int kMaxListRecords = 20000;

// The exam descriptor: title, cohort, class, teacher and exam text joined by
// "<>". Sub-fields that are missing read as empty.
struct ExamDescriptor
{
    QString title;
    QString cohort;
    QString classNo;
    QString teacher;
    QString examText;
};
ExamDescriptor readExamDescriptor(const QString &descriptor);
// descriptor with its teacher (sub-field 3) replaced; the other sub-fields,
// also any after the fifth, stay as they are. Missing ones before it are
// added empty.
QString withTeacher(const QString &descriptor, const QString &teacher);
// How the descriptor's texts stand in a composed heading: as they are, each
// in a Unicode isolate of its own direction (for widgets), or each escaped in
// an isolate of page text with its blanks in a row made one (for pages).
enum class HeadingForm { Plain, Widget, Page };
// The exam list's heading: title, cohort, class, then the teacher.
QString examRowHeading(const ExamDescriptor &d, HeadingForm form = HeadingForm::Plain);
// The sheet list's title of an exam: title, cohort and class.
QString examTitle(const ExamDescriptor &d, HeadingForm form = HeadingForm::Plain);
// The title of the sheet list of an exam: "  ", its title, "  عدد التقارير: ",
// the sheet count as the reply gave it and "  ".
QString sheetListTitle(const ExamDescriptor &d, const QString &count,
                       HeadingForm form = HeadingForm::Plain);

struct ExamListEntry
{
    QString id;         // field 0
    QString date;       // field 1, as sent
    QString descriptor; // field 2
};
struct ExamList
{
    QString countText; // record 0 as sent
    int count = 0;     // record 0 read as a number
    QVector<ExamListEntry> exams;
    int skipped = 0;
};
// Records separated by "<::>", record 0 the count, each further one
// id "<:>" date "<:>" descriptor. Every record present is read (the count
// neither bounds nor checks them); missing fields read as empty.
ExamList readExamList(const QString &payload);

struct SheetEntry
{
    QString answers; // field 0
    QString time;    // field 1, as sent
    QString name;    // field 2
    QString mail;    // field 3
    QString id;      // field 4: the sheet's number
    QString grading; // field 5: empty while not graded
};
struct SheetList
{
    QString countText;
    int count = 0;
    QVector<SheetEntry> sheets;
    int skipped = 0;
};
// Records separated by "<::>", record 0 the count, each further one six
// fields separated by "<|>"; missing fields read as empty.
SheetList readSheetList(const QString &payload);

// What the two list replies can be besides a list.
enum class ListReply { List, Empty, Refused };
ListReply listReplyKind(const QString &payload);

FormQuery examListQuery(const QString &endpoint, int idUser, const QString &group,
                        const QString &admin, const QString &password);
FormQuery sheetListQuery(const QString &endpoint, int idUser, const QString &examId,
                         const QString &group, const QString &admin, const QString &password);
FormQuery gradingQuery(const QString &endpoint, int idUser, const QString &sheetId,
                       const QString &grading, const QString &group, const QString &admin,
                       const QString &password);
FormQuery teacherQuery(const QString &endpoint, int idUser, const QString &examId,
                       const QString &teacher, const QString &group, const QString &admin,
                       const QString &password);
FormQuery examTextQuery(const QString &endpoint, int idUser, const QString &examId);

// "edit": the grading or the teacher was stored.
bool replyStored(const QString &payload);
enum class TeacherReply { Stored, NoOstad, Refused, Failed };
TeacherReply readTeacherReply(const QString &payload);

// The row of the sheet list that holds key in one of its cells (case
// sensitive), searched from the row after current (from 0 when there is no
// current row or it is the last one) to the end and then from 0, so the
// current row comes last; -1 when no row holds it or key is blank.
int findRow(const QVector<QStringList> &rows, int current, const QString &key);
