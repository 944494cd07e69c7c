#include "rooms/frmwait2.h"

#include "protocol/helpers.h"
#include "protocol/state.h"
#include "rooms/frmgroup.h"
#include "ui_frmwait2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

namespace {
constexpr int kStepMs = 500;
} // namespace

FrmWait2::FrmWait2(QWidget *parent) : QDialog(parent), ui(new Ui_FrmWait2)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &FrmWait2::time_out);
    timer->start(kStepMs);
}

FrmWait2::~FrmWait2()
{
    delete ui;
    if (frmwait2 == this)
        frmwait2 = nullptr;
}

void FrmWait2::time_out()
{
    static const char *const dots[] = {"", ".", "..", "..."};
    if (step >= 0 && step <= 3) {
        ui->LWait->setText(QLatin1String(dots[step]));
        if (step == 3)
            step = -1;
    }
    ++step;
}

void FrmWait2::on_BCancel_clicked() { close(); }

void FrmWait2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmWait2::closeEvent(QCloseEvent *event)
{
    hide();
    event->accept();
    if (quiet)
        return;
    if (frmgrup)
        frmgrup->show();
    setResult(QDialog::Accepted);
}
