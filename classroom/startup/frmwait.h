// The waiting form shown from the moment the socket is connected until the
// server answers the login.
#pragma once

#include "startup/loginforms.h"

class QCloseEvent;
class QTimer;
class Ui_FrmWait;

class FrmWait : public LoginForm
{
    Q_OBJECT
public:
    explicit FrmWait(QWidget *parent = nullptr);
    ~FrmWait() override;

    // Set by the steps that close the form as a success of the login, so
    // that closing it neither closes the socket nor brings a login window
    // back. Cancel clears it.
    bool silentClose = false;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void time_out();
    void on_BCancel_clicked();

private:
    Ui_FrmWait *ui;
    QTimer *timer;
    int dotStep = -1;
};

// Deletes the waiting form in frmwait, if any, makes a new one there and
// shows it.
void showWaitingForm();

// Shows the window a cancelled or failed login returns to: the member form
// after a member login, else the launcher.
void showLoginWindow();
