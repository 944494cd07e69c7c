// The member login form: user name and password, with the choices to
// remember the password and to show it while it is edited.
#pragma once

#include <QDialog>
#include <QString>

class QCloseEvent;
class QKeyEvent;
class Ui_FrmMember;

class FrmMember : public QDialog
{
    Q_OBJECT
public:
    explicit FrmMember(QWidget *parent = nullptr);
    ~FrmMember() override;

    // The fields as typed (not trimmed).
    QString getUser();
    QString getPass();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void keyPressEvent(QKeyEvent *event) override;
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
