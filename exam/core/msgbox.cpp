#include "core/msgbox.h"

#include "common/hooks.h"
#include "common/look.h"
#include "core/globals.h"
#include "core/pure/examdate.h"
#include "core/windows.h"

#include "core/frmconnect.h"

#include <QAbstractButton>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

const QString kMsgTitle = QStringLiteral("رسالة");

namespace {

// Room kept between a box and the wait box beside it.
constexpr int kGap = 16;

// A message box that opens beside the wait box rather than over it, so that
// a click meant for one never lands on the other.
class ExamMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (event->spontaneous())
            return;
        placeBesideWaitBox(this);
        // On a busy machine the window manager may frame or move the wait box
        // after this box was placed: follow it while both are shown. It has
        // framed the wait box, shown first, by the time it shows this box.
        if (frmconn) {
            m_waitBox = frmconn;
            m_waitBox->installEventFilter(this);
            m_onScreen = false;
            if (QWindow *window = windowHandle())
                window->installEventFilter(this);
        }
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_waitBox && isVisible()
            && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            placeBesideWaitBox(this);
        if (watched == windowHandle() && event->type() == QEvent::Expose && !m_onScreen
            && windowHandle()->isExposed()) {
            m_onScreen = true;
            placeBesideWaitBox(this);
        }
        return QMessageBox::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> m_waitBox;
    bool m_onScreen = false;
};

} // namespace

// The frame that the window manager put around a window; none while it has
// not framed it yet.
static QMargins frameMarginsOf(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle && window->isVisible() ? handle->frameMargins() : QMargins();
}

void placeBesideWaitBox(QWidget *box)
{
    if (!frmconn || !frmconn->isVisible() || frmconn == box)
        return;
    const QMargins waitFrame = frameMarginsOf(frmconn);
    const QRect wait = frmconn->geometry().marginsAdded(waitFrame);
    // A box not framed yet is taken to get the wait box's frame.
    QMargins frame = frameMarginsOf(box);
    if (frame.isNull())
        frame = waitFrame;
    const QSize outer = box->size().grownBy(frame);
    const QScreen *screen = frmconn->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    // The frame's top-left corner.
    const int x = wait.center().x() - outer.width() / 2;
    int y = wait.bottom() + 1 + kGap;
    if (room.isValid() && y + outer.height() > room.bottom() + 1)
        y = wait.top() - kGap - outer.height();
    // The box inside the frame is placed: move() would count a frame that
    // the box may not have yet.
    box->setGeometry(QRect(QPoint(x + frame.left(), y + frame.top()), box->size()));
}

int MsgBox(const QString &title, const QString &text, QMessageBox::Icon icon,
           QMessageBox::StandardButton button0, QMessageBox::StandardButton button1,
           QMessageBox::StandardButton button2, QWidget *parent)
{
    ExamMessageBox box(icon, title, text,
                       QMessageBox::StandardButtons(button0 | button1 | button2), parent,
                       Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    dressMessageBox(&box);
    return hooks::execModal(&box);
}

void dressMessageBox(QMessageBox *box)
{
    box->setLayoutDirection(Qt::RightToLeft);
    const QPair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Ok, QStringLiteral("موافق")},
        {QMessageBox::Yes, QStringLiteral("نعم")},
        {QMessageBox::No, QStringLiteral("لا")},
        {QMessageBox::Cancel, QStringLiteral("إلغاء الأمر")},
    };
    for (const auto &caption : captions) {
        if (QAbstractButton *button = box->button(caption.first))
            button->setText(caption.second);
    }
    takeExamLook(box, QStringLiteral(":/Resources/bb.png"));
    box->setLayoutDirection(Qt::RightToLeft);
    box->setWindowModality(Qt::ApplicationModal);
    keepAboveExamSheet(box);
    widenForTitle(box);
}

void showMessage(const QString &text)
{
    MsgBox(kMsgTitle, text, QMessageBox::Information, QMessageBox::Ok);
}

qint64 TestDate(int minutes, const QDateTime &start)
{
    return secondsToExamEnd(sDateServer, minutes, start);
}
