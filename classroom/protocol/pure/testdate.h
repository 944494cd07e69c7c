#pragma once

#include <QDateTime>

// Seconds from now until start plus the given minutes; positive while that
// moment lies ahead.
qint64 TestDate(int minutes, const QDateTime &start, const QDateTime &now);
