// A wall clock (common/hooks.h) that the test moves by hand; the real clock
// comes back when it goes out of scope.
#pragma once

#include "common/hooks.h"

#include <QDateTime>

struct ManualClock
{
    QDateTime t = QDateTime::fromMSecsSinceEpoch(1700000000000LL);
    ManualClock() { hooks::setClock([this] { return t; }); }
    ~ManualClock() { hooks::setClock(nullptr); }
    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;
    void advance(int ms) { t = t.addMSecs(ms); }
};
