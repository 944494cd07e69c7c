#include "core/frmconnect.h"

#include "core/globals.h"
#include "core/windows.h"
#include "ui_frmconnect.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QNetworkReply>

frmConnect::frmConnect(QWidget *parent) : QDialog(parent), ui(new Ui::frmConnect)
{
    ui->setupUi(this);
    // A title bar and nothing else: without the customise hint the window
    // manager would still offer close, minimise and maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));
    // Closing the box never ends the program by itself.
    setAttribute(Qt::WA_QuitOnClose, false);
}

frmConnect::~frmConnect() { delete ui; }

void frmConnect::ChangeTitre(const QString &text) { ui->label->setText(text); }

QString frmConnect::titre() const { return ui->label->text(); }

void frmConnect::on_pushButton_clicked()
{
    if (!reply_isRunning)
        return;
    reply_isRunning = false;
    if (replyweb)
        replyweb->close();
}

void frmConnect::closeEvent(QCloseEvent *event)
{
    // Only the command that waits closes the box; Cancel stops the post.
    if (event->spontaneous() && reply_isRunning) {
        event->ignore();
        return;
    }
    event->accept();
    if (frmconn == this)
        frmconn = nullptr;
    deleteLater();
}

void frmConnect::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
