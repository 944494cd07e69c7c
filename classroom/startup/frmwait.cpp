#include "startup/frmwait.h"

#include "protocol/helpers.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/dialog.h"
#include "startup/frmmember.h"
#include "ui_frmwait.h"

#include <QCloseEvent>
#include <QTimer>

namespace {
constexpr int kDotPeriodMs = 500;
} // namespace

FrmWait::FrmWait(QWidget *parent) : LoginForm(parent), ui(new Ui_FrmWait)
{
    ui->setupUi(this);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &FrmWait::time_out);
    timer->start(kDotPeriodMs);
}

FrmWait::~FrmWait()
{
    delete timer;
    delete ui;
    if (frmwait == this)
        frmwait = nullptr;
}

void FrmWait::time_out()
{
    static const char *const dots[] = {"", ".", "..", "..."};
    if (dotStep >= 0 && dotStep <= 3) {
        ui->LWait->setText(QLatin1String(dots[dotStep]));
        dotStep = (dotStep + 1) % 4;
    } else {
        ++dotStep;
    }
}

void FrmWait::on_BCancel_clicked()
{
    silentClose = false;
    close();
}

void FrmWait::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (silentClose)
        return;
    CloseSocket();
    showLoginWindow();
}

void showWaitingForm()
{
    delete frmwait;
    frmwait = new FrmWait(nullptr);
    CenterWidget(frmwait);
    frmwait->show();
}

void showLoginWindow()
{
    if (TypeLogin != 0) {
        if (frmembre)
            frmembre->show();
    } else if (Dialg) {
        Dialg->show();
    }
}
