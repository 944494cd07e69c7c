#include "startup/loginforms.h"

#include "protocol/helpers.h"

#include <QApplication>
#include <QKeyEvent>

LoginForm::LoginForm(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
}

void LoginForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
