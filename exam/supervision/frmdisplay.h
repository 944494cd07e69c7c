// The supervisor's list-and-grading window: the exams the endpoint holds for
// the supervisor, the answer sheets of one exam, the sheet on show with its
// grades; grading, the teacher change, the rebuild of a damaged sheet, the
// marks table and its outlets, printing, PDF and the search.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class FormQuery;
class QAction;
class QModelIndex;
class QPoint;
class QPrinter;

namespace Ui {
class FrmDisplay;
}

class FrmDisplay : public QWidget
{
    Q_OBJECT

public:
    // Builds and shows the window, registers it in frmdisplay and asks for
    // the exam list.
    explicit FrmDisplay(QWidget *parent = nullptr);
    ~FrmDisplay() override;

    void GetlistImtihan();
    void GetImtihanUser();
    // The exam list from a "listimtihan" payload.
    bool fetchList(const FormQuery &query, QString *payload);
    void fillExams(const QString &payload);
    // The sheet list from an "imtihanuser" payload, for the exam of the
    // descriptor.
    void fillSheets(const QString &payload, const QString &descriptor);
    // Shows the sheet of the current row of table2.
    void Display();
    // Writes the grades of txtTankit into htmlSheet and shows the page.
    void ChangeTankit();
    // The answers text rebuilt against the exam text the endpoint holds for
    // idImtihan; "" when it cannot be fetched.
    QString ChangeError(const QString &damaged);
    void ChangeOstad(const QString &teacher);
    // The marks table of the listed sheets.
    QString ExTable() const;
    // The row of table2 whose sheet is on show, -1 for none.
    int shownRow() const { return m_shownRow; }
    // True while the window waits for the endpoint or a question.
    bool busy() const { return m_busy > 0; }

    QStringList listSheets;
    QStringList listTankit;
    QString idImtihan;
    QString idSheet;
    QString titreImtihan;
    QStringList listImtihan;
    QString nameStudent;
    QString mailStudent;
    QString txtTankit;
    QString htmlSheet;
    QAction *actCopy = nullptr;
    QAction *actCopy2 = nullptr;
    QAction *actDisplay = nullptr;
    QAction *actPdf = nullptr;
    QAction *actDisplay2 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public slots:
    void on_B_display_clicked();
    void on_table1_doubleClicked(const QModelIndex &index);
    void on_table2_clicked(const QModelIndex &index);
    void on_B_edit_clicked();
    void on_B_edraj_clicked();
    void on_T_note_soal_returnPressed();
    void on_B_edraj_total_clicked();
    void on_B_del_note_clicked();
    void on_B_ostad_clicked();
    void on_table2_customContextMenuRequested(const QPoint &pos);
    void on_B_PDF_clicked();
    void on_B_praint_clicked();
    void on_B_cherch_clicked();
    void menucopy();
    void menudisplay();
    void menudisplay2();
    void menucopy2();
    void menupdf();
    void printPreview(QPrinter *printer);
    void on_table1_customContextMenuRequested(const QPoint &pos);

private:
    friend class DisplayBusy;
    void changeNoteSoal();
    // Posts grading for the sheet sheetId of row; true when stored.
    bool SaveTankit(int row, const QString &sheetId, const QString &grading);
    // Asks whether to save txtTankit for the sheet on show, and saves it.
    void askSave();
    // Shows the sheet of row with txtTankit as its grading. A damaged sheet
    // is warned about and rebuilt once while it stays on show: the grading
    // operations show it again with the same rebuild.
    void showSheet(int row);
    // The answers text of the sheet on show as its page shows it: the rebuilt
    // one for a damaged sheet.
    QString shownAnswers() const;
    // The next showing of a damaged sheet warns and rebuilds it again.
    void forgetRepair();
    // The marks page with the sheet list's title as heading.
    QString marksPageHtml() const;
    // Closes the grading bar.
    void closeGradingBar();
    // Scrolls the page to the y that script gives once it is loaded.
    void scrollWhenLoaded(std::function<int()> position);
    // A message, unless the window is closing.
    void tell(const QString &title, const QString &text);
    // Whether a request may start now: none waits, the window is not closing.
    bool mayStart() const;
    void finishClose();

    Ui::FrmDisplay *ui;
    // The listed exam's title and the sheet list's title as page text.
    QString m_titleHtml;
    QString m_sheetsTitleHtml;
    int m_shownRow = -1;
    // The damaged sheet on show, rebuilt: its row, its stored text and the
    // rebuilt text ("" when the rebuild failed).
    int m_repairedRow = -1;
    QString m_repairedFrom;
    QString m_repaired;
    int m_busy = 0;
    bool m_closing = false;
    std::function<int()> m_scrollTo;
};

// Texts of the grading window's messages.
extern const QString kMsgNoAdminList;    // "no admin" for a list
extern const QString kMsgNoExams;        // exam count 0
extern const QString kMsgChooseExam;     // sheets asked with no exam chosen
extern const QString kMsgNoSheets;       // sheet count below 1
extern const QString kMsgDamaged;        // a sheet that does not render
extern const QString kMsgChooseSheet;    // grading with no sheet chosen
extern const QString kAskSave;           // save the grading?
extern const QString kAskDelete;         // delete the grading?
extern const QString kMsgNotANumberMark; // a mark that is not a number
extern const QString kMsgNoSuchMark;     // a question number without a mark
extern const QString kMsgChooseExamOstad;
extern const QString kAskOstad;          // change the teacher? (then the subject)
extern const QString kMsgBadOstad;       // "no ostad"
extern const QString kMsgNoRightOstad;   // "no admin"
extern const QString kWaitLists;
extern const QString kWaitSave;
extern const QString kWaitOstad;
