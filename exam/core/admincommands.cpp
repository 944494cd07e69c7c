#include "core/admincommands.h"

#include "core/frmstart.h"
#include "core/frmurl.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/adminreplies.h"
#include "supervision/frmpwd.h"


const QString kMsgAdminRefused = QStringLiteral("نأسف كلمة المرور أو اسم المستخدم فيه خطأ    ");
const QString kMsgAdminFault = QStringLiteral("حدث خطأ ما الرجاء إعادة المحاولة    ");
const QString kMsgExamSent = QStringLiteral("لقد تم إرسال الامتحان بنجاح    ");
const QString kMsgNoOstad = QStringLiteral("لا يوجد أي أستاذ بهذا الإسم الذي عينته    ");
const QString kMsgNoRight = QStringLiteral("ليس لك الصلاحيات لإرسال الامتحان    ");
const QString kMsgExamDeja =
    QStringLiteral("لقد تم إرسال الامتحان سابقا فلا داعي لإرساله مرة أخرى    ");
const QString kMsgReportSent = QStringLiteral("تم بحمد الله إرسال الامتحان بنجاح    ");
const QString kMsgReportDeja =
    QStringLiteral("لقد تم استقبال امتحانك من قبل لا يمكنك إرساله مجددا    ");
const QString kMsgReportDamaged = QStringLiteral("التقرير المحدد معطوب لا يمكن قراءته    ");
const QString kMsgStateChanged = QStringLiteral("لقد تم تغيير الحالة للسيرفور    ");
const QString kMsgStateRefused = QStringLiteral("نأسف كلمة المرور أو اسم المستخدم خطأ    ");

namespace {

const QString kWaitCheck = QStringLiteral("جاري التحقق من المعلومات الرجاء الانتظار");
const QString kWaitExam = QStringLiteral("جاري إرسال الامتحان الرجاء الانتظار");
const QString kWaitReport = QStringLiteral("جاري إرسال الامتحان للإدارة الرجاء الانتظار ...");
const QString kWaitState = QStringLiteral("جاري تغيير الحالة للسيرفور");

void showLogin(bool visible)
{
    if (frmpwd)
        frmpwd->setVisible(visible);
}

// Posts under the wait box, which is closed after; a failed exchange is told
// before it closes, and gives false.
bool postUnderWaitBox(const FormQuery &query, const QString &wait, ExamReply *reply)
{
    openWaitBox(wait);
    *reply = postExamCommand(query);
    if (!reply->ok()) {
        showMessage(refusedAddressOr(*reply, kMsgConnection));
        closeWaitBox();
        return false;
    }
    closeWaitBox();
    return true;
}

} // namespace

bool EntrePWD(QString user, QString password)
{
    if (reply_isRunning)
        return false;
    const FormQuery query = infoAdminQuery(Url_php, id_user, user, grpVelmar, password);
    openWaitBox(kWaitCheck);
    showLogin(false);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        showMessage(refusedAddressOr(reply, kMsgConnection));
        showLogin(true);
        closeWaitBox();
        return false;
    }
    showLogin(true);
    closeWaitBox();
    const StateReply answer = readInfoAdminReply(reply.payload());
    switch (answer.kind) {
    case AdminReply::Ok:
        if (answer.state)
            ServerStat = *answer.state;
        return true;
    case AdminReply::Refused:
        showMessage(kMsgAdminRefused);
        return false;
    case AdminReply::Empty:
        showMessage(kMsgEmptyReply);
        return false;
    default:
        showMessage(kMsgAdminFault);
        return false;
    }
}

bool SendImtihan(QString txt, int idUser, QString ostad, QString dateim, int fawj, int fasl,
                 int moda, QString titre, int id)
{
    if (reply_isRunning)
        return false;
    const ExamUpload exam{txt, idUser, ostad, dateim, fawj, fasl, moda, titre, id};
    const FormQuery query = uploadQuery(Url_php, exam, grpVelmar, admin, pwd_admin);
    ExamReply reply;
    if (!postUnderWaitBox(query, kWaitExam, &reply))
        return false;
    switch (readUploadReply(reply.payload())) {
    case AdminReply::Ok:
        showMessage(kMsgExamSent);
        return true;
    case AdminReply::NoOstad:
        showMessage(kMsgNoOstad);
        break;
    case AdminReply::Refused:
        showMessage(kMsgNoRight);
        break;
    case AdminReply::Deja:
        showMessage(kMsgExamDeja);
        break;
    case AdminReply::Empty:
        showMessage(kMsgEmptyReply);
        break;
    default:
        showMessage(kMsgAdminFault);
        break;
    }
    return false;
}

bool ChangeServer(bool on)
{
    if (reply_isRunning)
        return false;
    const FormQuery query = serverStateQuery(Url_php, grpVelmar, on, admin, pwd_admin, id_user);
    ExamReply reply;
    if (!postUnderWaitBox(query, kWaitState, &reply))
        return false;
    const StateReply answer = readServerStateReply(reply.payload());
    switch (answer.kind) {
    case AdminReply::Ok:
        showMessage(kMsgStateChanged);
        // An "ok" without the new state leaves the known one.
        if (answer.state)
            ServerStat = *answer.state;
        return true;
    case AdminReply::Refused:
        showMessage(kMsgStateRefused);
        return false;
    case AdminReply::Empty:
        showMessage(kMsgEmptyReply);
        return false;
    default:
        showMessage(kMsgAdminFault);
        return false;
    }
}

void Sendtxt(QString record, bool edit)
{
    if (reply_isRunning)
        return;
    const std::optional<QStringList> fields = reportRecordFields(record);
    if (!fields) {
        showMessage(kMsgReportDamaged);
        return;
    }
    const FormQuery query = reportSendQuery(Url_php, *fields, edit);
    openWaitBox(kWaitReport);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        showMessage(refusedAddressOr(reply, kMsgConnection));
        closeWaitBox();
        return;
    }
    switch (readReportSendReply(reply.payload())) {
    case AdminReply::Ok:
        showMessage(kMsgReportSent);
        break;
    case AdminReply::Deja:
        showMessage(kMsgReportDeja);
        break;
    case AdminReply::Empty:
        showMessage(kMsgEmptyReply);
        break;
    default:
        showMessage(kMsgAdminFault);
        break;
    }
    closeWaitBox();
}
