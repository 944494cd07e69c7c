#include "supervision/frmpwd.h"

#include "core/admincommands.h"
#include "core/globals.h"
#include "core/windows.h"
#include "supervision/frmentre.h"
#include "supervision/frmoptions.h"
#include "ui_frmpwd.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>

FrmPwd::FrmPwd(QWidget *parent) : QWidget(parent), ui(new Ui::FrmPwd)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));
    centerOnScreen(this);
}

FrmPwd::~FrmPwd() { delete ui; }

void FrmPwd::on_Luser_returnPressed() { ui->Lpwd->setFocus(); }

void FrmPwd::on_Lpwd_returnPressed() { on_pushButton_clicked(); }

void FrmPwd::on_pushButton_clicked()
{
    // A check already waiting: this press starts nothing.
    if (reply_isRunning)
        return;
    QPointer<FrmPwd> self(this);
    const QString user = ui->Luser->text();
    const QString password = ui->Lpwd->text();
    const bool accepted = EntrePWD(user, password);
    if (!self)
        return;
    if (accepted) {
        admin = user;
        pwd_admin = password;
        Badmin = true;
        frmentre = new FrmEntre(nullptr);
        frmentre->show();
        hide();
        return;
    }
    admin.clear();
    pwd_admin.clear();
    Badmin = false;
    close();
}

void FrmPwd::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QWidget::keyPressEvent(event);
}

void FrmPwd::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmoption)
        frmoption->show();
    deleteLater();
    if (frmpwd == this)
        frmpwd = nullptr;
}
