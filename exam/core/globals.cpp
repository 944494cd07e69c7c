#include "core/globals.h"

#include "common/hooks.h"
#include "core/pure/examdate.h"
#include "core/version.h"

#include <QSettings>

#include <limits>

const QString kDefaultExamUrl = QStringLiteral("http://127.0.0.1:8086/velmar.php");

QSettings *settings = new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Tallivor"), QStringLiteral("Settings"));

QString Url_php = kDefaultExamUrl;
const QString ver = QStringLiteral(TALLIVOR_VERSION);
const QString ALFA = QStringLiteral("0123456789azertyuiopqsdfghjklmwxcvbn@._-");
const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString grpVelmar = QStringLiteral("no");
QString nameVelmar = QStringLiteral("velmar");
QString nickname;
QString mail;
int id_user = 0;
int type_user = 0;

QString admin;
QString pwd_admin;
bool Badmin = false;
bool ServerStat = false;

QString sDateServer;
int sSecond = 0;

// Monotonic time of the mark; none before the first login reply.
static qint64 serverMarkMs = -1;

void markServerTime()
{
    sSecond = 0;
    serverMarkMs = hooks::monotonicMs();
}

int serverSeconds()
{
    if (serverMarkMs >= 0) {
        const qint64 elapsed = (hooks::monotonicMs() - serverMarkMs) / 1000;
        sSecond = int(qBound<qint64>(0, elapsed, std::numeric_limits<int>::max()));
    }
    return sSecond;
}

QDateTime serverNow() { return parseServerTime(sDateServer).addSecs(serverSeconds()); }

bool reply_isRunning = false;
QNetworkReply *replyweb = nullptr;

FrmStart *frmstart = nullptr;
frmConnect *frmconn = nullptr;
FrmTimer *frmtime = nullptr;
FrmStart2 *frmstart2 = nullptr;
FrmWeb *frmweb = nullptr;
FrmNataij *frmnataij = nullptr;
frmOptions *frmoption = nullptr;
FrmPwd *frmpwd = nullptr;
FrmEntre *frmentre = nullptr;
FrmDisplay *frmdisplay = nullptr;
FrmView *frmview = nullptr;
