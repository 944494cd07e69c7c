// The broadcast window: the public live page of a room (or of the whole
// institute) from the institute's web endpoint.
#pragma once

#include <QDialog>

class QCloseEvent;
class QKeyEvent;
class Ui_FrmBat;

class FrmBat : public QDialog
{
    Q_OBJECT
public:
    // Loads path_web + "PublicLive.php?idroom=" + ChannelRoom when path_web
    // is an http or https address.
    explicit FrmBat(QWidget *parent = nullptr);
    ~FrmBat() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Ui_FrmBat *ui;
};

// Deletes the window in frmbat, makes a new one for ChannelRoom there,
// centres and shows it.
void openFrmBat();
