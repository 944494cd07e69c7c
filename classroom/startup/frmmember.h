// The member login form: user name and password, with the choices to
// remember the password and to show it while it is edited.
#pragma once

#include "startup/loginforms.h"

#include <QString>

class QCloseEvent;
class Ui_FrmMember;

class FrmMember : public LoginForm
{
    Q_OBJECT
public:
    explicit FrmMember(QWidget *parent = nullptr);
    ~FrmMember() override;

    // The fields as typed (not trimmed).
    QString getUser() const;
    QString getPass() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_BCansel_clicked();
    void on_BLogin_clicked();
    void on_TUser_returnPressed();
    void on_TPass_returnPressed();
    void on_chSave_stateChanged(int state);
    void on_chShow_stateChanged(int state);

private:
    void saveLogin();

    Ui_FrmMember *ui;
};
