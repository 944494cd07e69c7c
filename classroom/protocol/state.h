// Program-wide state of the classroom client: the login, the permission
// flags, server and stream settings, language, framing and the window
// registry. Everything here is used on the GUI thread only.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QPixmap;
class QProcess;
class QSettings;
class QTranslator;

class Wsk;
class Dialog;
class FrmMember;
class FrmConnect;
class FrmWait;
class FrmUser;
class FrmSerr;
class FrmGroup;
class FrmWait2;
class FrmEdit;
class FrmBat;
class FrmImtihan;
class Frm_adRm;
class Frm_adUs;
class FrmRoom;
class FrmPM;

// Login identity (code 1).
extern int id_user;
extern int type_user;
extern int Group_user;
extern QString Email_user;

// Own permission flags (code 16), in their wire order.
extern bool bat, zowar, create_room, edit_room, delete_room, create_group, edit_group,
    delete_group, create_admin, delete_admin, edit_admin, create_co_admin, delete_co_admin,
    edit_co_admin, visible_room, info_users, modife_users, ban_users, bannes_users,
    close_server, pause_server, start_server, msg_system, show_pouvoirs_users,
    create_pouvoirs, delete_pouvoirs, edit_pouvoirs, visible_co_admin, super_co_admin;
constexpr int kPermissionCount = 29;
// The flags above in wire order, for loops over all of them.
bool *const *permissionFlags();

// Server and stream settings of the chosen entry.
extern QString GethttpServer;
extern int var_int;
extern QString velmar_name;
extern QString velmar_group;
extern QString IPServer2;
extern int Port_Srv;
extern QString IPServer;
extern QString path_web;
extern QString path_swf;
extern QString path_radio;
extern QString r_radio;
extern QString w_radio;
extern QByteArray pass_radio;
extern QPixmap *logo_Prj;

// Program and language.
extern const QString sVersion; // "3.0.0"
extern int indexLang;          // 0 Arabic, 1 French, 2 English
extern QTranslator *translator;
extern QSettings *settings;    // organisation "Dastrel", application "Settings"
extern int TypeLogin;          // 1 member, 0 visitor
extern bool wait_frmuser;

// Protocol and keep-alive. The pending incoming bytes live in the framing
// (incomingFraming() in protocol/wsk.h).
extern Wsk *sck;
extern bool PacketTst;

// Exam hand-over.
extern QString Imtihan_user;
extern bool Imtihan_on;
extern int Imtihan_id;
extern QProcess *Imtihan_pross;

// Rooms.
extern int Idroom;
extern int IdroomSound;
extern int ChannelRoom;

// Window registry: null while the window does not exist.
extern Dialog *Dialg;
extern FrmMember *frmembre;
extern FrmConnect *frmConnect;
extern FrmWait *frmwait;
extern FrmUser *frmusr;
extern FrmSerr *frmserr;
extern FrmGroup *frmgrup;
extern FrmWait2 *frmwait2;
extern FrmEdit *frmedit;
extern FrmBat *frmbat;
extern FrmImtihan *frmimtihan;
extern Frm_adRm *frmadrm;
extern Frm_adUs *frmadus;

extern QList<FrmRoom *> frmRooms;
extern QList<FrmPM *> frmPMs;

// Index of the first window in list whose key (read by getter) equals key,
// or -1. Earlier windows win when two share a key.
template <class Window, class Key, class Getter>
int indexOfWindow(const QList<Window *> &list, const Key &key, Getter getter)
{
    for (int i = 0; i < list.size(); ++i)
        if ((list.at(i)->*getter)() == key)
            return i;
    return -1;
}
