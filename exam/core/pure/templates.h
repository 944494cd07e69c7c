// Page templates of the exam program: the exam and review page, the question
// blocks and the marks table page.
#pragma once

#include <QString>

// The exam page and the review page: header slots "#mada#", "#userinfo#",
// "#velmarinfo#", "#total#", the question slot "<div id='txtab'></div>" and
// the on-screen keyboard scripts keybordvr, getPosition, keyborddel, textchange.
extern const QString htm_table;
// Free-text question with a letter limit: "#nu#", "#soal#", "#notetxt#", "#mx#".
extern const QString htm_Typ11;
// Free-text question of the review page: "#nu#", "#soal#" and the answer box
// "<textarea id='texarea'></textarea>" that the review page replaces.
extern const QString htm_Typ1;
// Several-of-many question: "#nu#", "#soal#", "#choi#".
extern const QString htm_Typ2;
// One-of-many question: "#nu#", "#soal#", "#choi#".
extern const QString htm_Typ3;
// Shown in place of a written answer that lost its Arabic letters.
extern const QString htm_notxt;
// The marks table page: "#mada#" and the row slot "<div id='tr'></div>\n".
// It and the exam page give each run of one direction a text node of its own
// when they load (splitRuns).
extern const QString htm_table_note;
