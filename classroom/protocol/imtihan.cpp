#include "protocol/imtihan.h"

#include "admin/frmimtihan.h"
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/examschedule.h"
#include "protocol/state.h"
#include "startup/dialog.h"

#include <QSettings>

namespace {

void replaceNotice()
{
    retireWindow(frmimtihan);
    frmimtihan = new FrmImtihan(nullptr);
    CenterWidget(frmimtihan);
    frmimtihan->show();
}

void askToOpen()
{
    const MyMessage::Four keys = MyMessage::GetMsgImthan();
    const QMessageBox::StandardButton answer =
        MsgBox(GeTranslate(keys[0]), GeTranslate(keys[1]), QMessageBox::Information,
               QMessageBox::Yes, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (type_user != 0)
        runImtihan();
    else
        MsgBox(GeTranslate(keys[2]), GeTranslate(keys[3]), QMessageBox::Information,
               QMessageBox::Ok);
}

void reportFailure()
{
    MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgImtihanNotStarted()),
           QMessageBox::Warning, QMessageBox::Ok);
}

} // namespace

void GetImtihan(const QString &name, const QString &body)
{
    if (name == QLatin1String("No"))
        return;
    const ExamSchedule schedule = parseExamSchedule(body);
    int notOver = 0;
    for (const ExamRecord &exam : schedule.exams) {
        if (examRunning(exam, schedule.serverTime)
            && !(Imtihan_on && Imtihan_id == exam.position)) {
            Imtihan_id = exam.position;
            Imtihan_on = true;
            // A nested loop runs while the question is open: a later schedule
            // may be handled before this one goes on.
            askToOpen();
        }
        if (examNotOver(exam, schedule.serverTime))
            ++notOver;
    }
    if (!scheduleChanged(Imtihan_user, body))
        return;
    Imtihan_user = body;
    if (notOver > 0)
        replaceNotice();
}

void runImtihan()
{
    if (type_user == 0)
        return;
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tallivor"),
                        QStringLiteral("Settings"));
        // Only a checked address: without one the exam program is given
        // none, and refuses to post rather than use an older one.
        const QUrl url = endpointPage(QStringLiteral("imtihan.php"));
        store.setValue(QStringLiteral("url"), url.isEmpty() ? QString() : url.toString());
        store.setValue(QStringLiteral("nickname"), frmusr ? frmusr->getUSER() : QString());
        store.setValue(QStringLiteral("nameVelmar"), velmar_name);
        store.setValue(QStringLiteral("email"), Email_user);
        store.setValue(QStringLiteral("id_user"), id_user);
        store.setValue(QStringLiteral("type_user"), type_user);
        store.setValue(QStringLiteral("group"),
                       type_user < 0 ? QStringLiteral("no") : velmar_group);
        // The exam program reads the store as it starts.
        store.sync();
        if (store.status() != QSettings::NoError) {
            reportFailure();
            return;
        }
    }
    if (!hooks::startDetached(applicationFolder() + QStringLiteral("/Tallivor"), {}))
        reportFailure();
}
