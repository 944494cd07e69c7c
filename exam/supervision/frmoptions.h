// The local report files: the ".im" files of the ".imtihan" folder that
// belong to this institute, to send again, fetch, save, delete and show, and
// the way to the supervisor login.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

namespace Ui {
class frmOptions;
}

// The record text of a report file; nothing when it cannot be read, is too
// large or does not decompress.
std::optional<QString> readReportFile(const QString &path);

class frmOptions : public QWidget
{
    Q_OBJECT

public:
    explicit frmOptions(QWidget *parent = nullptr);
    ~frmOptions() override;

    // Lists the report files of the folder again.
    void GetList();
    // Copies one report file into the folder when it belongs to this
    // institute; tells why it did not.
    void AddImtihan(const QString &path);

    // Per row of table1: the record text (empty for a damaged file) and
    // the file's path.
    QStringList reportTexts;
    QStringList reportPaths;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_7_clicked();

private:
    // The selected row, or -1 after the no-selection message.
    int selectedRow(const QString &noSelection);
    // The record of row r, or nothing after the damaged-report message.
    std::optional<QString> recordOf(int r);

    Ui::frmOptions *ui;
};

extern const QString kMsgNoReportToSend;
extern const QString kMsgNoReportToSave;
extern const QString kMsgNoReportToDelete;
extern const QString kMsgOtherInstitute; // followed by the report's label
extern const QString kMsgNotAReport;     // followed by the file's path
extern const QString kMsgNameTaken;      // followed by the path kept
extern const QString kMsgCopyFailed;     // followed by the path not written
extern const QString kMsgDeleteFailed;   // followed by the path
extern const QString kDamagedRow;        // table text of a damaged file
