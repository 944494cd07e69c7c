#include "core/frmtimer.h"

#include "common/hooks.h"
#include "core/frmstart2.h"
#include "core/frmurl.h"
#include "core/frmweb.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/examdate.h"
#include "core/pure/loginreply.h"
#include "core/pure/reply.h"
#include "core/pure/report.h"
#include "core/reportfile.h"
#include "core/windows.h"

#include <QCloseEvent>
#include <QTimer>

int FrmTimer::tickMs = 1000;

static const QString kClockTitle = QStringLiteral("برنامج الاختبار");
static const QString kWaitSend = QStringLiteral("جاري إرسال الامتحان للإدارة الرجاء الانتظار ...");
static const QString kAskConnection =
    QStringLiteral("فشل الاتصال لانقطاع الخط هل تريد المحاولة من جديد    ");
static const QString kAskEmptyReply =
    QStringLiteral("حدث خلل ما الرجاء المحاولة من جديد هل تريد المحاولة من جديد    ");
static const QString kMsgAlreadySent =
    QStringLiteral("لقد تم استقبال امتحانك من قبل لا يمكنك إرساله مجددا    ");
static const QString kMsgSent = QStringLiteral("تم بحمد الله إرسال الامتحان بنجاح    ");
static const QString kMsgReportNotSaved =
    QStringLiteral("تعذر حفظ نسخة الامتحان على جهازك في :\n");
static const QString kMsgCopyKept =
    QStringLiteral("لم يتم إرسال الامتحان، وقد حفظت نسخة منه على جهازك في :\n");
static const QString kMsgSendLater =
    QStringLiteral("\nيمكنك إرسالها لاحقا من زر «إعدادات» في برنامج الاختبار    ");

FrmTimer::FrmTimer(QWidget *parent) : QWidget(parent), timer(new QTimer(this))
{
    // Never early, so each tick reads the second it is meant for.
    timer->setTimerType(Qt::PreciseTimer);
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(timer, &QTimer::timeout, this, &FrmTimer::slotTime);
}

FrmTimer::~FrmTimer() = default;

FrmTimer::TickHold::TickHold(FrmTimer *clock) : m_clock(clock) { ++m_clock->holds; }

FrmTimer::TickHold::~TickHold() { --m_clock->holds; }

void FrmTimer::addExam(const ExamRecord &record)
{
    listId << record.id;
    listDate << record.start;
    listModa << record.duration;
    listTitre << record.header;
    listField4 << record.field4;
    for (const QString &text : record.texts) {
        listIdTxt << record.id;
        listTxt << text;
    }
}

void FrmTimer::StarTm() { timer->start(tickMs); }

bool FrmTimer::isTicking() const { return timer->isActive(); }

int FrmTimer::GettimeServer() const
{
    if (listDate.isEmpty())
        return 0;
    return int(serverNow().secsTo(parseServerTime(listDate.first())));
}

int FrmTimer::GettimeServer2(const QDateTime &start, int minutes) const
{
    return int(serverNow().secsTo(start.addSecs(qint64(minutes) * 60)));
}

void FrmTimer::slotTime()
{
    // The server's time is read, not counted: ticks lost to a box or a held
    // event loop cost nothing.
    serverSeconds();
    if (holds > 0)
        return;
    if (running) {
        const int r = GettimeServer2(dateImtihan, moda);
        if (r < 1 && frmweb && frmweb->hasOpenBox()) {
            // The sheet is never pulled away under an open box: the box goes
            // first, and the next tick submits.
            frmweb->closeBoxes();
            return;
        }
        if (r < 1)
            Sendtxt();
        else if (frmweb)
            frmweb->changeTm(remainingText(r), moda);
        // After a submission the same tick goes on to the next exam.
        if (running)
            return;
    }
    const int r = GettimeServer();
    if (listDate.isEmpty()) {
        // No exam left: the window shows the time, not a countdown that stopped.
        if (frmstart2 && !frmstart2->isHidden())
            frmstart2->noExamLeft(serverNow().toString(format));
        return;
    }
    if (r < 1) {
        startDueExam(r);
        return;
    }
    const QString remaining = remainingText(r);
    if (frmstart2)
        frmstart2->changeTm(serverNow().toString(format), remaining);
    if (startChecked)
        return;
    startChecked = true;
    if (r < kEarlyLimit)
        return;
    {
        TickHold hold(this);
        MsgBox(kClockTitle,
               QStringLiteral("لديك اختبار بعد : ") + remaining + QStringLiteral("\n")
                   + QStringLiteral("الرجاء تشغيل البرنامج قبل ربع ساعة من موعد الاختبار, سيتوقف "
                                    "البرنامج الان.    "),
               QMessageBox::Information, QMessageBox::Ok);
    }
    hooks::quit();
}

void FrmTimer::startDueExam(int secondsToStart)
{
    const int id = listId.first().toInt();
    const QString startText = listDate.first();
    const int minutes = listModa.first().toInt();
    const ExamHeader header = splitExamHeader(listTitre.first());
    const int late = Changenegative(secondsToStart / 60);
    if (late > 0) {
        TickHold hold(this);
        MsgBox(kClockTitle,
               QStringLiteral("مدة الامتحان ") + QString::number(minutes)
                   + QStringLiteral(" دقيقة ,بقي منها فقط  (") + QString::number(minutes - late)
                   + QStringLiteral(")      "),
               QMessageBox::Information, QMessageBox::Ok);
    }
    dateImtihan = parseServerTime(startText);
    moda = minutes;
    running = true;
    startChecked = true;
    QString text;
    for (int i = 0; i < listIdTxt.size(); ++i) {
        if (listIdTxt.at(i).toInt() == id) {
            text = listTxt.at(i);
            break;
        }
    }
    openExamSheet(id, moda, header.title, dateImtihan, text, header.fawj, header.fasl);
    // The exam has started once, with or without its text: it leaves the
    // lists either way.
    listId.removeFirst();
    listDate.removeFirst();
    listModa.removeFirst();
    listTitre.removeFirst();
    listField4.removeFirst();
    if (frmstart2)
        frmstart2->RemoveAt(0);
}

void FrmTimer::openExamSheet(int id, int minutes, const QString &title, const QDateTime &start,
                             const QString &text, int fawj, int fasl)
{
    if (frmweb)
        frmweb->closeSheet();
    frmweb = new FrmWeb(nullptr);
    if (frmstart2)
        frmstart2->hide();
    frmweb->ExtracIm(id, minutes, title, start, text, fawj, fasl);
}

void FrmTimer::Sendtxt()
{
    TickHold hold(this);
    running = false;
    moda = 0;
    FrmWeb *sheet = frmweb;
    if (!sheet) {
        if (frmstart2)
            frmstart2->show();
        return;
    }
    const QString answers = sheet->GetHtm2Im();
    const int id = sheet->examId();
    const QString title = sheet->examTitle();
    QStringList saved;
    const QStringList unsaved =
        SaveImtihan(id, sheet->cohort(), sheet->classNo(), title, answers, &saved);

    openWaitBox(kWaitSend);
    sheet->closeSheet();

    // The answers are posted first; what went wrong with the copies is told
    // afterwards, so a student who has walked away still submits.
    FormQuery query = examQuery();
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("send"));
    query.addQueryItem(QStringLiteral("id_user"), QString::number(id_user));
    query.addQueryItem(QStringLiteral("isgroup"), grpVelmar);
    query.addQueryItem(QStringLiteral("txt"), answers);
    query.addQueryItem(QStringLiteral("id"), QString::number(id));
    query.addQueryItem(QStringLiteral("titre"), title);
    bool taken = false;
    for (;;) {
        const ExamReply reply = postExamCommand(query);
        const QString payload = reply.ok() ? reply.payload() : QString();
        if (reply.ok() && replyIs(payload, QStringLiteral("deja"))) {
            showMessage(kMsgAlreadySent);
            taken = true;
            break;
        }
        if (reply.ok() && replyIs(payload, QStringLiteral("ok"))) {
            showMessage(kMsgSent);
            taken = true;
            break;
        }
        // Any other reply leaves the exam unsent, as an empty one does.
        const int again = MsgBox(kMsgTitle, reply.ok() ? kAskEmptyReply : kAskConnection,
                                 QMessageBox::Information, QMessageBox::Yes, QMessageBox::No);
        if (again != QMessageBox::Yes)
            break;
    }
    if (frmstart2) {
        if (listDate.isEmpty())
            frmstart2->noExamLeft(serverNow().toString(format));
        frmstart2->show();
    }
    closeWaitBox();
    if (!unsaved.isEmpty())
        showMessage(kMsgReportNotSaved + unsaved.join(QLatin1Char('\n')) + QStringLiteral("    "));
    if (!taken && !saved.isEmpty())
        showMessage(kMsgCopyKept + saved.join(QLatin1Char('\n')) + kMsgSendLater);
    if (taken && (frmstart2 ? frmstart2->getcountList() == 0 : listDate.isEmpty()))
        hooks::quit();
}

QStringList FrmTimer::SaveImtihan(int id, int fawj, int fasl, const QString &title,
                                  const QString &answers, QStringList *saved)
{
    const ReportRecord record{reportStamp(hooks::now()),
                              nickname,
                              mail,
                              QString::number(id_user),
                              nameVelmar,
                              grpVelmar,
                              QString::number(id),
                              QString::number(fawj),
                              QString::number(fasl),
                              title,
                              answers};
    QStringList failed;
    writeReportFile(record, &failed, saved);
    return failed;
}

void FrmTimer::closeEvent(QCloseEvent *event)
{
    event->accept();
    timer->stop();
    if (frmtime == this)
        frmtime = nullptr;
    deleteLater();
}
