#include "mainwindow/frmserr.h"

#include "common/hooks.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "ui_frmserr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPixmap>

namespace {

// Minimum length of a search text, in UTF-16 code units.
constexpr int kMinSearchLength = 3;

QMessageBox::StandardButton warn(const char *key)
{
    return MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(key), QMessageBox::Warning,
                  QMessageBox::Ok);
}

} // namespace

FrmSerr::FrmSerr(QWidget *parent) : QDialog(parent), ui(new Ui::FrmSerr)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
    if (indexLang == 0)
        QApplication::setLayoutDirection(Qt::RightToLeft);
}

FrmSerr::~FrmSerr()
{
    delete ui;
    if (frmserr == this)
        frmserr = nullptr;
}

void FrmSerr::ClearLst() { ui->listWidget->clear(); }

void FrmSerr::ADDusr(const QString &nick) { ui->listWidget->addItem(nick); }

void FrmSerr::Enbled() { ui->BSearch->setEnabled(true); }

void FrmSerr::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmSerr::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmserr == this)
        frmserr = nullptr;
    hooks::deleteWhenIdle(this);
}

bool FrmSerr::currentResult(QString *nick) const
{
    const QListWidgetItem *item = ui->listWidget->currentItem();
    if (ui->listWidget->currentRow() < 0 || !item)
        return false;
    *nick = item->text();
    return true;
}

void FrmSerr::on_BSearch_clicked()
{
    const QString text = ui->lineEdit->text();
    if (text.size() >= kMinSearchLength)
        SendPacket(outgoing::searchUsers(text));
    else
        warn(MyMessage::GeMsgShort());
}

void FrmSerr::on_B_Add_clicked()
{
    QString nick;
    if (currentResult(&nick))
        askToAddContact(nick);
}

void FrmSerr::on_BSend_Msg_clicked()
{
    QString nick;
    if (currentResult(&nick))
        openPM(nick);
}

void FrmSerr::on_pushButton_5_clicked() { close(); }
