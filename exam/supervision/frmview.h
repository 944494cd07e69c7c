// The report viewer: one stored report as its read-only answer sheet, and
// the button that sends it to the endpoint again as an edit.
#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class FrmView;
}

class FrmView : public QWidget
{
    Q_OBJECT

public:
    explicit FrmView(QWidget *parent = nullptr);
    ~FrmView() override;

    // Keeps the record (eleven fields joined by "<::>") and shows it.
    void ShowViewIm(const QString &record);
    // Builds the sheet of the record's answers and shows it.
    void Display();
    // The total line of an ungraded sheet, then the page into the view.
    void ChangeTankit();

    QString txtTankit; // a stored report carries no grading
    QString htmlSheet;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();

private:
    QString title;
    QString nameStudent;
    QString mailStudent;
    QString record;
    Ui::FrmView *ui;
};

extern const QString kMsgDamagedExam; // "الامتحان معطوب    "
