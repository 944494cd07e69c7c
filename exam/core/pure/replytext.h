#pragma once

#include <QString>

// Removes every piece "\r\n" + run + "\r\n" whose run (one or more characters)
// is made of digits, Latin letters and "@", ".", "_", "-" only. The text keeps
// its case; letters are compared without regard to case.
QString TestImtDisplay(const QString &text);
