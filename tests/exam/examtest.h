// Shared set-up of the exam program's widget tests: the login state back to
// its start values, no windows left, quits counted instead of done.
#pragma once

#include "core/frmconnect.h"
#include "common/hooks.h"
#include "core/frmstart.h"
#include "core/frmstart2.h"
#include "core/frmtimer.h"
#include "core/frmurl.h"
#include "core/frmweb.h"
#include "core/globals.h"
#include "core/windows.h"
#include "supervision/frmdisplay.h"
#include "supervision/frmentre.h"
#include "supervision/frmnataij.h"
#include "supervision/frmoptions.h"
#include "supervision/frmpwd.h"
#include "supervision/frmview.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QJsonArray>
#include <QJsonObject>

namespace examtest {

inline int &quits()
{
    static int count = 0;
    return count;
}

// The monotonic clock the exam clock reads, moved by hand.
inline qint64 &monotonicMs()
{
    static qint64 ms = 0;
    return ms;
}

// Time that passes without a tick: a box of the clock's own or a held event
// loop.
inline void pass(qint64 ms) { monotonicMs() += ms; }

// One tick of the exam clock, a second after the last.
inline void tick()
{
    pass(1000);
    frmtime->slotTime();
}

// Runs deferred deletions.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void closeWindows()
{
    if (frmdisplay)
        frmdisplay->close();
    if (frmentre)
        frmentre->close();
    if (frmview)
        frmview->close();
    if (frmpwd)
        frmpwd->close();
    if (frmoption)
        frmoption->close();
    if (frmweb)
        frmweb->closeSheet();
    if (frmnataij)
        frmnataij->close();
    if (frmstart2)
        frmstart2->close();
    if (frmtime)
        frmtime->close();
    if (frmconn)
        frmconn->close();
    delete frmstart;
    frmstart = nullptr;
    settle();
}

// Start values of the login state and of the test seams.
inline void reset()
{
    closeWindows();
    QApplication::setQuitOnLastWindowClosed(false);
    hooks::setQuitHandler([] { ++quits(); });
    quits() = 0;
    nickname = QStringLiteral("nickname");
    mail = QStringLiteral("mail");
    nameVelmar = QStringLiteral("nameVelmar");
    grpVelmar = QStringLiteral("no");
    id_user = 0;
    type_user = 0;
    Badmin = false;
    admin.clear();
    pwd_admin.clear();
    ServerStat = false;
    sDateServer.clear();
    hooks::setMonotonicClock([] { return monotonicMs(); });
    monotonicMs() = 0;
    markServerTime();
    reply_isRunning = false;
    FrmURL::timeoutMs = 60000; // a post may take its time on a busy machine
    FrmTimer::tickMs = 3600 * 1000; // tests tick by hand
}

// The login state of the local institute's supervisor (member 7).
inline void signInAsSupervisor()
{
    id_user = 7;
    type_user = -100;
    admin = QStringLiteral("admin");
    pwd_admin = QStringLiteral("admin123");
}

// The raw bodies of the exam posts in an institute log, in order.
inline QStringList postBodies(const QJsonArray &log)
{
    QStringList out;
    for (const QJsonValue &entry : log) {
        const QJsonObject o = entry.toObject();
        if (o.value(QStringLiteral("service")).toString() == QLatin1String("exam")
            && o.value(QStringLiteral("kind")).toString() == QLatin1String("post"))
            out << o.value(QStringLiteral("body")).toString();
    }
    return out;
}

} // namespace examtest
