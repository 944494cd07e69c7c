#include "startup/loginforms.h"

#include "protocol/helpers.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPixmap>

void dressLoginForm(QDialog *form)
{
    form->setWindowFlags(form->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ChangeWid();
    form->setLayoutDirection(QApplication::layoutDirection());
    QPalette palette = form->palette();
    palette.setBrush(QPalette::All, form->backgroundRole(),
                     QBrush(QPixmap(QStringLiteral(":/Resources/frm/bb.png"))));
    form->setPalette(palette);
}

bool isEscape(const QKeyEvent *event) { return event->key() == Qt::Key_Escape; }
