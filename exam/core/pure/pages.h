// Page builders: the exam page, the read-only answer sheet and the marks page.
// Every text taken from their input is HTML-escaped into an isolate of its
// own direction (see isolatedHtml), and placeholder words inside such a text
// stay as written.
#pragma once

#include <QString>

// The exam page of an exam text, with one form per question of type 1, 2 or
// 3, in order; the empty text when field 0 does not read as a non-zero number
// or the text holds more questions or choices than an exam may have.
// The header slots "#mada#", "#userinfo#", "#velmarinfo#", "#total#" are left
// for the caller (see fillSlot).
QString ExtracImtihan(const QString &examText);

// The read-only answer sheet of an answers text, one block and one empty grade
// slot "<div id='note'></div>" per question shown; the empty text for a text
// that is empty or has no "<:>", and for a damaged one that holds more
// questions or choices than an exam may have, or more characters in all or
// in one field than a sheet may (kMaxSheetChars, kMaxSheetFieldChars).
// Header slots as for ExtracImtihan.
QString ExtracImtDisplay(const QString &answers);

// The marks page of a marks table (rows joined by "<::>", cells by "<:>", the
// last cell the grade). "#mada#" is left for the caller.
QString ExtracNote(const QString &table);
