// Login state and window registry of the exam program: process-wide, set
// before the entry point runs; start-up overwrites the identity from the
// settings store. Only the GUI thread touches them.
#pragma once

#include <QDateTime>
#include <QString>

class QNetworkReply;
class QSettings;

class FrmStart;
class frmConnect;
class FrmTimer;
class FrmStart2;
class FrmWeb;
class FrmNataij;
class frmOptions;
class FrmPwd;
class FrmEntre;
class FrmDisplay;
class FrmView;

// The store the classroom client fills (organisation "Tallivor",
// application "Settings", native format, user scope).
extern QSettings *settings;

extern QString Url_php;    // exam endpoint every command is posted to
extern const QString ver;  // "2.0.16"
extern const QString ALFA; // removable run characters of TestImtDisplay
extern const QString format; // "yyyy-MM-dd hh:mm:ss"

extern QString grpVelmar;  // group account, "no" for none
extern QString nameVelmar; // institute label
extern QString nickname;
extern QString mail;
extern int id_user;
extern int type_user; // 0 visitor, > 0 member, < 0 staff

extern QString admin;     // supervisor name, sent as "user_admin"
extern QString pwd_admin; // supervisor password, sent as "pwd"
extern bool Badmin;       // a supervisor is logged in
extern bool ServerStat;   // the endpoint's availability switch

extern QString sDateServer; // server time of the login reply, in format
extern int sSecond;         // seconds elapsed since sDateServer arrived

// Marks the arrival of sDateServer: sSecond is 0 and counts from here.
void markServerTime();
// sSecond brought up to the whole seconds elapsed on the monotonic clock
// (hooks::monotonicMs) since the mark, so boxes, posts and a held event loop
// never slow the server's time.
int serverSeconds();
// The server's time now: sDateServer plus serverSeconds().
QDateTime serverNow();

extern bool reply_isRunning;   // a form post is waiting for its reply
extern QNetworkReply *replyweb; // the reply of the running post

extern FrmStart *frmstart;
extern frmConnect *frmconn;
extern FrmTimer *frmtime;
extern FrmStart2 *frmstart2;
extern FrmWeb *frmweb;
extern FrmNataij *frmnataij;
extern frmOptions *frmoption;
extern FrmPwd *frmpwd;
extern FrmEntre *frmentre;
extern FrmDisplay *frmdisplay;
extern FrmView *frmview;

// The default exam endpoint: the local institute's exam address.
extern const QString kDefaultExamUrl;
