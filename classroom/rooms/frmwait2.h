// The small form that stands in for the room chooser while the server
// answers a room entry.
#pragma once

#include <QDialog>

class QCloseEvent;
class QKeyEvent;
class QTimer;
class Ui_FrmWait2;

class FrmWait2 : public QDialog
{
    Q_OBJECT
public:
    explicit FrmWait2(QWidget *parent = nullptr);
    ~FrmWait2() override;

    // The next close must not bring the chooser back (the room opened).
    bool quiet = false;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void time_out();
    void on_BCancel_clicked();

private:
    Ui_FrmWait2 *ui;
    QTimer *timer;
    int step = -1;
};
