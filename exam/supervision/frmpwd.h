// The supervisor login: the endpoint checks the name and password; once
// accepted they are kept for the run and the exam authoring window opens.
#pragma once

#include <QWidget>

namespace Ui {
class FrmPwd;
}

class FrmPwd : public QWidget
{
    Q_OBJECT

public:
    explicit FrmPwd(QWidget *parent = nullptr);
    ~FrmPwd() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_Luser_returnPressed();
    void on_Lpwd_returnPressed();

private:
    Ui::FrmPwd *ui;
};
