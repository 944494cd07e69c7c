#include "protocol/state.h"

#include <QSettings>
#include <QTranslator>

int id_user = 0;
int type_user = 0;
int Group_user = 0;
QString Email_user;

bool bat = false, zowar = false, create_room = false, edit_room = false, delete_room = false,
     create_group = false, edit_group = false, delete_group = false, create_admin = false,
     delete_admin = false, edit_admin = false, create_co_admin = false, delete_co_admin = false,
     edit_co_admin = false, visible_room = false, info_users = false, modife_users = false,
     ban_users = false, bannes_users = false, close_server = false, pause_server = false,
     start_server = false, msg_system = false, show_pouvoirs_users = false,
     create_pouvoirs = false, delete_pouvoirs = false, edit_pouvoirs = false,
     visible_co_admin = false, super_co_admin = false;

bool *const *permissionFlags()
{
    static bool *const flags[kPermissionCount] = {
        &bat, &zowar, &create_room, &edit_room, &delete_room, &create_group, &edit_group,
        &delete_group, &create_admin, &delete_admin, &edit_admin, &create_co_admin,
        &delete_co_admin, &edit_co_admin, &visible_room, &info_users, &modife_users,
        &ban_users, &bannes_users, &close_server, &pause_server, &start_server, &msg_system,
        &show_pouvoirs_users, &create_pouvoirs, &delete_pouvoirs, &edit_pouvoirs,
        &visible_co_admin, &super_co_admin};
    return flags;
}

QString GethttpServer;
int var_int = 0;
QString velmar_name;
QString velmar_group;
QString IPServer2;
int Port_Srv = 0;
QString IPServer;
QString path_web;
QString path_swf;
QString path_radio;
QString r_radio;
QString w_radio;
QByteArray pass_radio;
QPixmap *logo_Prj = nullptr;

const QString sVersion = QStringLiteral("3.0.0");
int indexLang = 0;
QTranslator *translator = new QTranslator;
QSettings *settings = new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Dastrel"), QStringLiteral("Settings"));
int TypeLogin = 0;
bool wait_frmuser = false;

Wsk *sck = nullptr;
bool PacketTst = false;

QString Imtihan_user;
bool Imtihan_on = false;
int Imtihan_id = 0;
QProcess *Imtihan_pross = nullptr;

int Idroom = 0;
int IdroomSound = 0;
int ChannelRoom = 0;

Dialog *Dialg = nullptr;
FrmMember *frmembre = nullptr;
FrmConnect *frmConnect = nullptr;
FrmWait *frmwait = nullptr;
FrmUser *frmusr = nullptr;
FrmSerr *frmserr = nullptr;
FrmGroup *frmgrup = nullptr;
FrmWait2 *frmwait2 = nullptr;
FrmEdit *frmedit = nullptr;
FrmBat *frmbat = nullptr;
FrmImtihan *frmimtihan = nullptr;
Frm_adRm *frmadrm = nullptr;
Frm_adUs *frmadus = nullptr;

QList<FrmRoom *> frmRooms;
QList<FrmPM *> frmPMs;
