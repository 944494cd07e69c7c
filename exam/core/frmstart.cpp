#include "core/frmstart.h"
#include "common/hooks.h"

#include "core/frmstart2.h"
#include "core/frmtimer.h"
#include "core/frmurl.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/examdate.h"
#include "core/pure/loginreply.h"
#include "core/pure/reply.h"
#include "core/windows.h"
#include "supervision/frmnataij.h"
#include "supervision/frmoptions.h"
#include "ui_frmstart.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>

const QString kMsgNoMember = QStringLiteral("لم تقم بإدخال رقم العضوية    ");
const QString kMsgConnection = QStringLiteral("فشل الاتصال لانقطاع الخط حاول من جديد    ");
const QString kMsgEmptyReply = QStringLiteral("حدث خلل ما الرجاء المحاولة من جديد    ");
const QString kMsgNoUserPrefix =
    QStringLiteral("رقم العضوية الذي أدخلت لا ينتمي للمجموعة التالية       :\n");
const QString kMsgConfirmPrefix = QStringLiteral("هل أنت الطالب :    \n");
const QString kMsgConfirmSuffix = QStringLiteral("\nإن كنت أنت الطالب إضغط نعم     ");
const QString kMsgNotReleased = QStringLiteral("سيتم عرض الامتحان لاحقا إن شاء الله    ");
const QString kMsgNoExamToday = QStringLiteral("لا يوجد أي اختبار هذا اليوم    ");
const QString kMsgExamsOver = QStringLiteral("عفوا امتحانات اليوم انتهت.    ");

namespace {
// The form's buttons stay disabled while one of them runs, so no second
// post can start while one waits.
class ButtonsBusy
{
public:
    explicit ButtonsBusy(FrmStart *form, void (FrmStart::*set)(bool)) : m_form(form), m_set(set)
    {
        (m_form->*m_set)(false);
    }
    ~ButtonsBusy()
    {
        if (m_form)
            (m_form->*m_set)(true);
    }

private:
    QPointer<FrmStart> m_form;
    void (FrmStart::*m_set)(bool);
};
} // namespace

FrmStart::FrmStart(QWidget *parent) : QDialog(parent), ui(new Ui::FrmStart)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));
    ui->Iduser->setText(QString::number(id_user));
    ui->Tmail->setText(mail);
    ui->Tuser->setText(nickname);
    ui->LVelmar->setText(nameVelmar);
    if (grpVelmar != QLatin1String("no")) {
        ui->Luser->setText(QStringLiteral("إسم المجموعة :"));
        ui->Iduser->setReadOnly(false);
        ui->Iduser->clear();
        ui->Iduser->setFocus();
    } else {
        ui->Luser->setText(QStringLiteral("الإسم :"));
        ui->LIduser->hide();
        ui->Iduser->hide();
    }
    if (type_user < 0) {
        ui->B_login->hide();
        ui->B_natija->hide();
    }
}

FrmStart::~FrmStart() { delete ui; }

void FrmStart::setButtonsEnabled(bool enabled)
{
    ui->B_login->setEnabled(enabled);
    ui->B_natija->setEnabled(enabled);
    ui->B_options->setEnabled(enabled);
}

void FrmStart::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmStart::closeEvent(QCloseEvent *event) { event->accept(); }

bool FrmStart::testuser()
{
    const int number = ui->Iduser->text().toInt();
    if (number == 0) {
        showMessage(kMsgNoMember);
        ui->Iduser->setFocus();
        return true;
    }
    id_user = number;
    return false;
}

bool FrmStart::InfoUsr()
{
    FormQuery query = examQuery();
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("infousr"));
    query.addQueryItem(QStringLiteral("id_user"), id_user);
    query.addQueryItem(QStringLiteral("namegroup"), ui->Tuser->text());
    query.addQueryItem(QStringLiteral("isgroup"), grpVelmar);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        showMessage(failedPostMessage(reply, kMsgConnection));
        return false;
    }
    const StudentInfo info = parseStudentInfo(reply.payload());
    if (info.kind == StudentInfo::Empty) {
        showMessage(kMsgEmptyReply);
        return false;
    }
    if (info.kind == StudentInfo::NoUser) {
        showMessage(kMsgNoUserPrefix + ui->Tuser->text() + QStringLiteral("      "));
        return false;
    }
    if (grpVelmar == QLatin1String("no")) {
        nickname = info.name;
        mail = info.mail;
        return true;
    }
    const int answer = MsgBox(kMsgTitle, kMsgConfirmPrefix + info.name + kMsgConfirmSuffix,
                              QMessageBox::Information, QMessageBox::Yes, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        // Not this student: the identity is unknown again.
        nickname.clear();
        mail.clear();
        return false;
    }
    nickname = info.name;
    mail = info.mail;
    return true;
}

bool FrmStart::identifyStudent()
{
    if (testuser())
        return false;
    openWaitBox();
    if (InfoUsr())
        return true;
    closeWaitBox();
    return false;
}

void FrmStart::postFailed(const QString &message)
{
    showMessage(message);
    show();
    closeWaitBox();
}

void FrmStart::on_B_login_clicked()
{
    ButtonsBusy busy(this, &FrmStart::setButtonsEnabled);
    if (!identifyStudent())
        return;
    hide();
    FormQuery query = examQuery();
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("login4"));
    query.addQueryItem(QStringLiteral("id_user"), id_user);
    query.addQueryItem(QStringLiteral("isgroup"), grpVelmar);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok())
        return postFailed(failedPostMessage(reply, kMsgConnection));
    const QString payload = reply.payload();
    if (payload.isEmpty() || parseLoginReply(payload).malformed)
        return postFailed(kMsgEmptyReply);
    ExtracTxt(payload);
    closeWaitBox();
}

void FrmStart::on_B_natija_clicked()
{
    ButtonsBusy busy(this, &FrmStart::setButtonsEnabled);
    if (!identifyStudent())
        return;
    FormQuery query = examQuery();
    query.addQueryItem(QStringLiteral("id_user"), id_user);
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("getimtihan"));
    query.addQueryItem(QStringLiteral("isgroup"), grpVelmar);
    hide();
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok())
        return postFailed(failedPostMessage(reply, kMsgConnection));
    // A reply without its frame is a fault, not a student without results.
    if (reply.body.isEmpty() || !replyHasFrame(reply.text()))
        return postFailed(kMsgEmptyReply);
    const QString payload = reply.payload();
    closeWaitBox();
    openResultsWindow(payload);
}

void FrmStart::openResultsWindow(const QString &payload)
{
    frmnataij = new FrmNataij(nullptr);
    frmnataij->show();
    hide();
    frmnataij->ExtracTxt(payload);
}

void FrmStart::on_B_options_clicked()
{
    ButtonsBusy busy(this, &FrmStart::setButtonsEnabled);
    if (testuser())
        return;
    openReportsWindow();
}

void FrmStart::openReportsWindow()
{
    frmoption = new frmOptions(nullptr);
    frmoption->show();
    hide();
}

// Nothing to sit today: the reason, then the program ends.
static void endProgram(const QString &message)
{
    showMessage(message);
    hooks::quit();
}

void FrmStart::ExtracTxt(const QString &payload)
{
    const LoginReply reply = parseLoginReply(payload);
    if (reply.headPresent) {
        sDateServer = reply.serverTime;
        markServerTime();
    }
    if (reply.flag != QLatin1String("0") && !Badmin) {
        return endProgram(kMsgNotReleased);
    }
    if (!reply.hasExams) {
        return endProgram(kMsgNoExamToday);
    }
    if (frmtime)
        frmtime->close();
    frmtime = new FrmTimer(nullptr);
    for (const ExamRecord &record : reply.records) {
        if (TestDate(record.duration.toInt(), parseServerTime(record.start)) <= 0)
            continue;
        frmtime->addExam(record);
    }
    if (frmtime->listDate.isEmpty()) {
        return endProgram(kMsgExamsOver);
    }
    if (frmstart2)
        frmstart2->close();
    frmstart2 = new FrmStart2(nullptr);
    frmstart2->show();
    close();
    if (frmstart == this)
        frmstart = nullptr;
}
