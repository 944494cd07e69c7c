// The pieces of an exam text as the authoring window writes it, question by
// question: records, their choices, and the exam text of a partly entered
// exam.
#pragma once

#include "core/pure/examtext.h"

#include <QString>
#include <QStringList>

// A subject or teacher name without "|", "<" and ">".
QString cleanHeaderText(const QString &text);

// A free-text record: the question, "1", the letter limit.
QString freeTextRecord(const QString &question, const QString &limit);
// A choice record without its choices yet: the question, the type (2 or 3),
// the choice count.
QString choiceRecord(const QString &question, int type, const QString &count);
// The choice count of a choice record (field 2), 0 when it has none.
int recordChoiceCount(const QString &record);
// record with its choices from number choiceNo on replaced by choice: the
// first choiceNo + 2 fields that exist, then the cleaned choice.
QString withChoice(const QString &record, int choiceNo, const QString &choice);

// Records entered: those before the first empty one, at most count when
// count is above 0.
int enteredRecords(const QStringList &records, int count);
// The count text, "|", then the entered records joined by "|".
QString examTextOf(const QString &countText, const QStringList &records);

// A letter limit as the page takes it: a whole number other than 0; a
// negative one means no limit and is written "-1". False for anything else.
bool readLimit(const QString &text, QString *limit);
