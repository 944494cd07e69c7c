#include "protocol/login.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/incoming.h"
#include "protocol/pure/loginreplies.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/frmconnect.h"
#include "startup/frmmember.h"
#include "startup/frmwait.h"

namespace {

const QString kVisitor = QStringLiteral("zaire");
const QString kElsewhere = QStringLiteral("rec");

// Message of each refusal word; other words close the login silently.
const char *refusalMessage(const QString &word)
{
    static const struct
    {
        const char *word;
        const char *key;
    } table[] = {{"usr", MyMessage::GetMsgErrUsrPwd()}, {"pwd", MyMessage::GetMsgErrUsrPwd()},
                 {"ban", MyMessage::GetMsgBan()},        {"bne", MyMessage::GetMsgBan()},
                 {"banRoom", MyMessage::GetMsgBanRoom()}, {"bneRoom", MyMessage::GetMsgBanRoom()},
                 {"err", MyMessage::GetMsgErr()},        {"rec", MyMessage::GetMsgRec()}};
    for (const auto &row : table)
        if (word == QLatin1String(row.word))
            return row.key;
    return nullptr;
}

} // namespace

void sVERSION(const QString &body, const QString &name)
{
    ChatServer server;
    if (!parseRedirect(body, &server))
        return;
    const bool visitor = name == kVisitor;
    // The member's credentials as typed. A visitor login has none, even when a
    // member form was left open earlier; without a member form there are none.
    if (!visitor && (TypeLogin == 0 || !frmembre))
        return;
    const QByteArray login = visitor ? outgoing::visitorLogin()
                                     : outgoing::memberLogin(frmembre->getUser(),
                                                             frmembre->getPass());
    int port = server.port;
    if (server.directory) {
        IPServer = IPServer2;
        port = Port_Srv;
    } else {
        IPServer = server.host == QLatin1String("localhost") ? IPServer2 : server.host;
    }

    if (frmwait)
        frmwait->silentClose = true;
    CloseSocket();
    showConnectingForm();
    if (frmwait)
        frmwait->close();
    if (!connectForLogin(IPServer, port))
        return;
    Imtihan_user.clear();
    Imtihan_on = false;
    Imtihan_id = 0;
    SendPacket(login);
}

void USER_PWD(const QString &name)
{
    const bool elsewhere = name == kElsewhere;
    if (elsewhere) {
        wait_frmuser = true;
        if (frmusr)
            frmusr->hide();
    }
    if (const char *key = refusalMessage(name)) {
        const ExplainedEnd explained;
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(key), QMessageBox::Warning,
               QMessageBox::Ok);
    }
    if (elsewhere)
        hooks::quit();
    CloseSocket();
    if (frmwait)
        frmwait->close();
}

void ShowFrmUser(const QByteArray &body)
{
    LoginIdentity identity;
    if (!parseLoginIdentity(textBeforeNul(body), &identity))
        return;
    FrmUser *window = FrmUser::replaceMainWindow();
    CenterWidget(window);
    window->show();
    window->ChangeLogo();
    if (frmwait) {
        frmwait->silentClose = true;
        frmwait->close();
    }
    id_user = identity.id;
    type_user = identity.type;
    Group_user = identity.group;
    Email_user = identity.email;
    if (frmusr)
        frmusr->setUSER(identity.nickname);
}

void SendPackettest(const QByteArray &body)
{
    SendPacket(outgoing::keepAlive());
    if (frmusr)
        frmusr->setLa(textBeforeNul(body));
    PacketTst = false;
}
