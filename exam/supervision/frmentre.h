// The supervisor's exam authoring window: the exam header and its questions
// entered step by step, the preview of the page students will see, the
// exam text, sending, PDF, the availability switch and the way to the
// grading window.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace Ui {
class FrmEntre;
}

class FrmEntre : public QWidget
{
    Q_OBJECT

public:
    explicit FrmEntre(QWidget *parent = nullptr);
    ~FrmEntre() override;

    // Back to the first state: only the subject shown, no question.
    void efface();
    // A subject or teacher name without "|", "<" and ">".
    QString testxt(const QString &text) const;
    // The exam text into txt1, and the preview drawn from it.
    void ChangeImtihan();
    // The last question is in: says so and hides the question fields.
    void finishImtihan();
    // Asks the endpoint to turn its availability switch, then redraws it.
    void ChangeServer(bool on);

    // The exam text of the header's count and the questions entered.
    QString examText() const;
    // The exam's date and time as sent: "yyyy-MM-dd HH:mm", Latin digits.
    QString dateText() const;

    QStringList listSoal; // one record per question, "" while not entered
    int numSoal = 0;
    int numChoix = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_Tmoda_returnPressed();
    void on_Tmada_returnPressed();
    void on_Tcount_returnPressed();
    void on_Tostad_returnPressed();
    void on_Tfawj_returnPressed();
    void on_Tfasl_returnPressed();
    void on_Tsoal_returnPressed();
    void on_R1_clicked(bool checked);
    void on_R2_clicked(bool checked);
    void on_R3_clicked(bool checked);
    void on_Tcountchoix_returnPressed();
    void on_pushButton_5_clicked();
    void on_Tchoix_returnPressed();
    void on_Tdate_editingFinished();
    void on_pushButton_2_clicked();
    void on_R1_returnPressed();
    void on_R2_returnPressed();
    void on_R3_returnPressed();
    void on_pushButton_3_clicked();
    void on_pushButton_6_clicked();
    void on_B_stat_clicked();
    void on_pushButton_clicked();

private:
    // Shows a field with its label, gives it text, selects and focuses it.
    void reveal(QLabel *label, QLineEdit *field, const QString &text);
    void refocus(QLineEdit *field, const QString &text = QString());
    void typeChosen(const QString &title, const QString &defaultText);
    // The questions the entry walks: the header's count, never more than
    // the list holds.
    int questionCount() const;
    // Stores a record at index and empties the later ones.
    void storeRecord(int index, const QString &record);
    void showPreview(const QString &text, const QString &label, const QString &cohortWord);
    void drawServerButton();
    // The checks of the send button; false after telling what is wrong.
    bool readyToSend(int *moda, int *fawj, int *fasl);
    // Opens the grading window and hides this one.
    void openGradingWindow();

    bool resetting = false;
    bool scrollToEnd = false;
    Ui::FrmEntre *ui;
};

extern const QString kMsgExamComplete;  // " لقد اكتمل الاختبار    "
extern const QString kServerOnText;     // ServerStat true
extern const QString kServerOffText;    // ServerStat false
extern const QString kServerOnStyle;
extern const QString kServerOffStyle;
extern const QString kMsgNotANumber;    // %1: the field
extern const QString kMsgCountRange;    // %1: the most questions
extern const QString kAskIncomplete;    // %1 entered, %2 announced
