// The connecting form shown while the classroom socket looks up and connects
// to a server during a login, and the connection step that every login runs
// under it.
#pragma once

#include "startup/loginforms.h"

#include <QString>

class QCloseEvent;
class QTimer;
class Ui_FrmConnect;

// Time limits of the login; tests shorten them.
struct LoginTimes
{
    // The connecting form's bar counts these seconds.
    int connectTimeoutMs = 30000;
};
extern LoginTimes loginTimes;

class FrmConnect : public LoginForm
{
    Q_OBJECT
public:
    explicit FrmConnect(QWidget *parent = nullptr);
    ~FrmConnect() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void time_out();
    void on_BCancel_clicked();

private:
    Ui_FrmConnect *ui;
    QTimer *timer;
};

// Deletes the connecting form in frmConnect, if any, makes a new one there
// and shows it.
void showConnectingForm();

// The connection of a login, shown by the connecting form: connects the
// socket of sck to host:port and waits in a local event loop until it is
// connected or has failed, the user cancels, or loginTimes.connectTimeoutMs
// has passed (the attempt is then aborted).
// - Connected: a fresh waiting form is shown, the connecting form closed,
//   and the result is true; the caller sends its request.
// - Not connected: the socket is closed; if the connecting form is still
//   open (not cancelled) it is closed, which brings back the member form or
//   the launcher, and "NoConnect" is shown.
// A port outside 0-65535 counts as 0, which fails. An attempt overtaken by a
// newer one during its wait does nothing more.
bool connectForLogin(const QString &host, int port);
