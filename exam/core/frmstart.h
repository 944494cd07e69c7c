// The exam program's first window: who sits the exams, and the buttons to
// enter the exam, see the results and open the settings.
#pragma once

#include <QDialog>

namespace Ui {
class FrmStart;
}

// Texts of the start form's messages.
extern const QString kMsgNoMember;      // missing member number
extern const QString kMsgConnection;    // status other than 200
extern const QString kMsgEmptyReply;    // empty or unreadable reply
extern const QString kMsgNoUserPrefix;  // "no user", before the group name
extern const QString kMsgConfirmPrefix; // group account confirmation
extern const QString kMsgConfirmSuffix;
extern const QString kMsgNotReleased;   // the day's exams are held back
extern const QString kMsgNoExamToday;
extern const QString kMsgExamsOver;

class FrmStart : public QDialog
{
    Q_OBJECT

public:
    explicit FrmStart(QWidget *parent = nullptr);
    ~FrmStart() override;

    // True (after a message) when no usable member number was given;
    // otherwise stores it in id_user and returns false.
    bool testuser();
    // Posts "infousr"; true when the endpoint knows the student and a group
    // account's student confirmed.
    bool InfoUsr();
    // Reads the "login4" payload: server time, the day's exams, the clock
    // and the waiting window.
    void ExtracTxt(const QString &payload);

public slots:
    void on_B_login_clicked();
    void on_B_natija_clicked();
    void on_B_options_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setButtonsEnabled(bool enabled);
    // Member number, wait box and "infousr"; the wait box stays open on
    // success and is closed on failure.
    bool identifyStudent();
    // A failed post: its message, the form back, the wait box closed.
    void postFailed(const QString &message);
    // Opens the results window on the payload of "getimtihan".
    void openResultsWindow(const QString &payload);
    // The local reports window opens here.
    void openReportsWindow();

    Ui::FrmStart *ui;
};
