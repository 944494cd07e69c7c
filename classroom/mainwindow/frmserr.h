// The user search dialog: looks users up by nickname, adds a result to the
// contacts or opens a private conversation with it. One exists at a time,
// held in frmserr.
#pragma once

#include <QDialog>
#include <QString>

class QCloseEvent;
class QKeyEvent;

namespace Ui {
class FrmSerr;
}

class FrmSerr : public QDialog
{
    Q_OBJECT
public:
    explicit FrmSerr(QWidget *parent = nullptr);
    ~FrmSerr() override;

    // Filled by the answer to a search (code 5 "Rechercher").
    void ClearLst();
    void ADDusr(const QString &nick);
    void Enbled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_BSearch_clicked();
    void on_B_Add_clicked();
    void on_BSend_Msg_clicked();
    void on_pushButton_5_clicked();

private:
    // Text of the current result; false when no row is current.
    bool currentResult(QString *nick) const;

    Ui::FrmSerr *ui;
};
