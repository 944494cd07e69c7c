#pragma once

#include <QString>

class QApplication;
class QSharedMemory;

// The exam program's start; returns the exit code.
int tallivorMain(int argc, char **argv);
// The same, by an unmangled name for the entry point that loads the library.
extern "C" int tallivor_main(int argc, char **argv);

// Single-instance guard (key: examGuardKey()): size of the shared-memory segment.
const int kGuardSize = 512;

// Creates the guard segment; false while another live copy holds it. A
// segment left behind by a killed copy is cleared first.
bool takeInstanceGuard(QSharedMemory &guard);

// takeInstanceGuard, and the one-copy message when it fails.
extern const QString kMsgSecondCopy;
bool takeGuardOrRefuse(QSharedMemory &guard);

// Reads the hand-over keys of the settings store into the login state.
void readHandOver();

// Dresses the application: window icon, style sheet, Qt's own texts in
// Arabic (the file dialogs' folder path read left to right), right-to-left
// layout and the fonts, the regular Kufi face at 12 points in force.
void dressApplication(QApplication &app);

// The institute label as shown: leading "::" pairs dropped, every other
// "::" a line break.
QString labelFromSettings(QString label);
