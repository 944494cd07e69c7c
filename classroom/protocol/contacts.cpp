#include "protocol/contacts.h"

#include "admin/frm_adus.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/contactrecords.h"
#include "protocol/state.h"

namespace {

void showMessage(const char *key)
{
    MsgBox(GeTranslate(MyMessage::Getmsg()), GeTranslate(key), QMessageBox::Warning,
           QMessageBox::Ok);
}

} // namespace

void ListUsers(const QString &body)
{
    for (const ContactRecord &record : parseContactList(body)) {
        if (!frmusr)
            return;
        frmusr->RemoveUsr(record.nickname);
        frmusr->AddUsr(record.nickname, record.online ? 1 : 0);
        frmusr->BlockUsr(record.nickname, record.blocked);
    }
}

void StatUsers(const QString &body)
{
    ContactRecord record;
    if (!frmusr || !parseContactRecord(body, &record))
        return;
    const bool blocked = frmusr->isBlocked(record.nickname);
    frmusr->RemoveUsr(record.nickname);
    frmusr->AddUsr(record.nickname, record.online ? 1 : 0);
    frmusr->BlockUsr(record.nickname, blocked);
}

void BlockUsr(const QString &name, const QString &body)
{
    const bool blocked = name.trimmed() == QLatin1String("1");
    if (frmusr)
        frmusr->BlockUsr(body.trimmed(), blocked);
    showMessage(blocked ? MyMessage::GeMsgBlockUsr() : MyMessage::GeMsgUnBlockUsr());
}

void AddUser(const QString &name, const QString &body)
{
    if (name == QLatin1String("Rechercher")) {
        if (!frmserr)
            return;
        frmserr->ClearLst();
        const QStringList found = parseSearchResults(body);
        for (const QString &nick : found)
            frmserr->ADDusr(nick);
        if (found.isEmpty())
            showMessage(MyMessage::GeMsgNoUser());
        // The dialog may have been closed while the message was open.
        if (frmserr)
            frmserr->Enbled();
    }
    if (name == QLatin1String("RechercherCo") && frmadus)
        frmadus->cherch(body);
}

void DelUser(const QString &body)
{
    if (frmusr)
        frmusr->RemoveUsr(body.trimmed());
}
