// The exam notice: the day's exams that are not over yet, as the chat server
// last announced them, and the button that opens the exam program.
#pragma once

#include <QDialog>

namespace Ui {
class FrmImtihan;
}

class FrmImtihan : public QDialog
{
    Q_OBJECT
public:
    // Reads the schedule kept in Imtihan_user once; the rows never change.
    explicit FrmImtihan(QWidget *parent = nullptr);
    // Leaves frmimtihan alone: whoever replaces the notice clears it.
    ~FrmImtihan() override;

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();

private:
    Ui::FrmImtihan *ui;
};
