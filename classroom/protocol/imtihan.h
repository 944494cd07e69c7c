// The day's exam schedule (code 27) and the hand-over to the exam program.
#pragma once

#include <QString>

// Code 27: keeps the schedule, asks to open the exam program once for each
// exam that runs now, and shows a new exam notice when the schedule changed
// and an exam in it is not over. The name "No" is ignored.
void GetImtihan(const QString &name, const QString &body);

// Hands a member over to the exam program: writes every key of the exam
// program's settings store, then starts Tallivor from the programs' own
// folder, detached, without arguments. A running exam program is never
// stopped (its own guard refuses a second copy). A visitor gets nothing
// written and nothing started. A start or a store that fails is reported.
void runImtihan();
