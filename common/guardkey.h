// Key of the exam program's single-instance guard, shared by the exam program
// and the classroom launcher's probe.
#pragma once

#include <QString>

// "Velmar_imtihan". A test run sets VELMAR_EXAM_GUARD_KEY to a key of its own,
// so that it never meets an exam program running elsewhere on the machine.
QString examGuardKey();
