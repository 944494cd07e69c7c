#pragma once

#include <QString>

class QSharedMemory;

// The exam program's start; returns the exit code.
int tallivorMain(int argc, char **argv);

// Single-instance guard: key and size of the shared-memory segment.
extern const QString kGuardKey; // "Velmar_imtihan"
const int kGuardSize = 512;

// Creates the guard segment; false while another live copy holds it. A
// segment left behind by a killed copy is cleared first.
bool takeInstanceGuard(QSharedMemory &guard);

// takeInstanceGuard, and the one-copy message when it fails.
extern const QString kMsgSecondCopy;
bool takeGuardOrRefuse(QSharedMemory &guard);

// Reads the hand-over keys of the settings store into the login state.
void readHandOver();

// The institute label as shown: leading "::" pairs dropped, every other
// "::" a line break.
QString labelFromSettings(QString label);
