// The wait box shown while an exam command waits for the endpoint; its
// button cancels the running post.
#pragma once

#include <QDialog>

namespace Ui {
class frmConnect;
}

class frmConnect : public QDialog
{
    Q_OBJECT

public:
    explicit frmConnect(QWidget *parent = nullptr);
    ~frmConnect() override;

    void ChangeTitre(const QString &text);
    QString titre() const;

public slots:
    void on_pushButton_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Ui::frmConnect *ui;
};
