#include "startup/frmmember.h"

#include "mainwindow/frmserr.h"
#include "protocol/pure/outgoing.h"
#include "protocol/pure/packet.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/dialog.h"
#include "startup/frmconnect.h"
#include "startup/pure/base64.h"
#include "ui_frmmember.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QPixmap>
#include <QPointer>
#include <QSettings>

namespace {
const QString kUser = QStringLiteral("User");
const QString kPass = QStringLiteral("Pass");
const QString kSave = QStringLiteral("chSave");
const QString kShow = QStringLiteral("chShow");
} // namespace

FrmMember::FrmMember(QWidget *parent) : LoginForm(parent), ui(new Ui_FrmMember)
{
    ui->setupUi(this);
    if (logo_Prj)
        ui->Logo->setPixmap(*logo_Prj);
    ui->chSave->setChecked(settings->value(kSave, false).toBool());
    // Runs on_chShow_stateChanged, which sets the echo mode.
    ui->chShow->setChecked(settings->value(kShow, false).toBool());
    ui->TUser->setText(settings->value(kUser).toString());
    const QByteArray saved = settings->value(kPass).toString().toLatin1();
    ui->TPass->setText(decodeCp1256(base64_decode(saved)));

    // Side by side, the boxes of a long translation are wider than the form:
    // the second one goes under the first then. The layouts are laid out
    // here, before the form is first shown, to know the room.
    for (QWidget *w : {static_cast<QWidget *>(this), ui->widget, static_cast<QWidget *>(ui->mainFrame)})
        w->layout()->setGeometry(w->contentsRect());
    QBoxLayout *checks = ui->horizontalLayout_checks;
    if (checks->minimumSize().width() > checks->geometry().width()) {
        checks->removeWidget(ui->chShow);
        ui->verticalLayout_frame->addWidget(ui->chShow, 0, Qt::AlignHCenter);
        // The form keeps its height: the new row takes the gaps between rows.
        ui->verticalLayout_frame->setSpacing(0);
        ui->verticalLayout->setSpacing(2);
    }
}

FrmMember::~FrmMember()
{
    delete ui;
    if (frmembre == this)
        frmembre = nullptr;
    if (frmserr)
        frmserr->close();
}

QString FrmMember::getUser() const { return ui->TUser->text(); }

QString FrmMember::getPass() const { return ui->TPass->text(); }

void FrmMember::closeEvent(QCloseEvent *event)
{
    if (Dialg)
        Dialg->show();
    event->accept();
}

void FrmMember::on_BCansel_clicked() { close(); }

void FrmMember::on_TUser_returnPressed()
{
    if (!ui->TUser->text().trimmed().isEmpty())
        ui->TPass->setFocus(Qt::OtherFocusReason);
}

void FrmMember::on_TPass_returnPressed()
{
    if (!ui->TPass->text().trimmed().isEmpty())
        on_BLogin_clicked();
}

void FrmMember::on_chSave_stateChanged(int) {}

void FrmMember::on_chShow_stateChanged(int state)
{
    ui->TPass->setEchoMode(state != 0 ? QLineEdit::PasswordEchoOnEdit : QLineEdit::Password);
}

void FrmMember::on_BLogin_clicked()
{
    if (ui->TUser->text().trimmed().isEmpty() || ui->TPass->text().trimmed().isEmpty()) {
        ui->TUser->setFocus(Qt::OtherFocusReason);
        return;
    }
    TypeLogin = 1;
    showConnectingForm();
    hide();
    QPointer<FrmMember> self(this);
    if (!connectForLogin(IPServer2, Port_Srv) || !self)
        return;
    saveLogin();
    SendPacket(outgoing::directoryMember());
}

void FrmMember::saveLogin()
{
    const bool save = ui->chSave->isChecked();
    settings->setValue(kSave, save);
    settings->setValue(kShow, ui->chShow->isChecked());
    QString user, pass;
    if (save) {
        user = ui->TUser->text().trimmed();
        const QByteArray bytes = encodeCp1256(ui->TPass->text());
        pass = QString::fromLatin1(base64_encode(bytes, bytes.size()));
    }
    // Unchecked, the empty texts erase what an earlier login saved.
    settings->setValue(kUser, user);
    settings->setValue(kPass, pass);
    settings->sync();
}
