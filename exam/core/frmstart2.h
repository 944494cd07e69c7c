// The waiting window: the day's exams still to come, the server's date and
// time, and the countdown to the next exam. Closing it ends the program.
#pragma once

#include <QWidget>

namespace Ui {
class FrmStart2;
}

class FrmStart2 : public QWidget
{
    Q_OBJECT

public:
    explicit FrmStart2(QWidget *parent = nullptr);
    ~FrmStart2() override;

    // Server now ("yyyy-MM-dd hh:mm:ss") and the remaining time.
    void changeTm(const QString &now, const QString &remaining);
    // Once no exam is left: the server time, and no countdown.
    void noExamLeft(const QString &now);
    void RemoveAt(int row);
    int getcountList() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::FrmStart2 *ui;
};
