#include "core/frmtimer.h"

#include "core/frmstart2.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/examdate.h"
#include "core/pure/loginreply.h"
#include "core/windows.h"

#include <QCloseEvent>
#include <QTimer>

int FrmTimer::tickMs = 1000;

static const QString kClockTitle = QStringLiteral("برنامج الاختبار");

FrmTimer::FrmTimer(QWidget *parent) : QWidget(parent), timer(new QTimer(this))
{
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

static QDateTime serverNow() { return parseServerTime(sDateServer).addSecs(sSecond); }

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
    ++sSecond;
    if (holds > 0)
        return;
    // The running exam belongs to its sheet, which counts its time down and
    // submits it.
    if (running)
        return;
    const int r = GettimeServer();
    if (listDate.isEmpty())
        return;
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
    quitProgram();
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
    Q_UNUSED(id);
    Q_UNUSED(minutes);
    Q_UNUSED(title);
    Q_UNUSED(start);
    Q_UNUSED(text);
    Q_UNUSED(fawj);
    Q_UNUSED(fasl);
}

void FrmTimer::closeEvent(QCloseEvent *event)
{
    event->accept();
    timer->stop();
    if (frmtime == this)
        frmtime = nullptr;
    deleteLater();
}
