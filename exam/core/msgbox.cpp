#include "core/msgbox.h"

#include "common/hooks.h"
#include "core/globals.h"
#include "core/pure/examdate.h"
#include "core/windows.h"

#include <QAbstractButton>

const QString kMsgTitle = QStringLiteral("رسالة");

int MsgBox(const QString &title, const QString &text, QMessageBox::Icon icon,
           QMessageBox::StandardButton button0, QMessageBox::StandardButton button1,
           QMessageBox::StandardButton button2, QWidget *parent)
{
    QMessageBox box(icon, title, text, QMessageBox::StandardButtons(button0 | button1 | button2),
                    parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.setLayoutDirection(Qt::RightToLeft);
    const QPair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Ok, QStringLiteral("موافق")},
        {QMessageBox::Yes, QStringLiteral("نعم")},
        {QMessageBox::No, QStringLiteral("لا")},
        {QMessageBox::Cancel, QStringLiteral("إلغاء الأمر")},
    };
    for (const auto &caption : captions) {
        if (QAbstractButton *button = box.button(caption.first))
            button->setText(caption.second);
    }
    takeExamLook(&box, QStringLiteral(":/Resources/bb.png"));
    box.setLayoutDirection(Qt::RightToLeft);
    box.setWindowModality(Qt::ApplicationModal);
    return hooks::execModal(&box);
}

void showMessage(const QString &text)
{
    MsgBox(kMsgTitle, text, QMessageBox::Information, QMessageBox::Ok);
}

qint64 TestDate(int minutes, const QDateTime &start)
{
    return secondsToExamEnd(sDateServer, minutes, start);
}
