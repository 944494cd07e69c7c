// The student's results: one row per exam the endpoint received from this
// student and, for the row clicked, the graded answer sheet, which can be
// printed or saved as a PDF file.
#pragma once

#include <QDialog>
#include <QString>

class QModelIndex;
class QPrinter;

namespace Ui {
class FrmNataij;
}

class FrmNataij : public QDialog
{
    Q_OBJECT

public:
    explicit FrmNataij(QWidget *parent = nullptr);
    ~FrmNataij() override;

    // Fills the table from the payload of "getimtihan"; without an exam
    // record the window closes and says so.
    void ExtracTxt(const QString &payload);
    // Puts the grades of txtTankit into htmlSheet and shows the page.
    void ChangeTankit();

    QString nameStudent;
    QString mailStudent;
    QString txtTankit; // grading text of the row last clicked
    QString htmlSheet; // page of the row last clicked

public slots:
    void on_table1_clicked(const QModelIndex &index);
    void printPreview(QPrinter *printer);
    void on_B_pdf_clicked();
    void on_B_print_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::FrmNataij *ui;
};

// Text of the message shown when the endpoint has no exam of this student.
extern const QString kMsgNoResults;
