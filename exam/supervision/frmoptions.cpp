#include "supervision/frmoptions.h"

#include "common/hooks.h"
#include "core/admincommands.h"
#include "core/frmstart.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/pagetext.h"
#include "core/pure/report.h"
#include "core/reportfile.h"
#include "core/windows.h"
#include "supervision/frmpwd.h"
#include "supervision/frmview.h"
#include "supervision/gradedisplay.h"
#include "supervision/pure/reports.h"
#include "ui_frmoptions.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>

const QString kMsgNoReportToSend = QStringLiteral("لم تقم بتحديد التقرير المراد إرساله      ");
const QString kMsgNoReportToSave = QStringLiteral("لم تقم بتحديد التقرير المراد حفظه      ");
const QString kMsgNoReportToDelete = QStringLiteral("لم تقم بتحديد التقرير المراد حذفه      ");
const QString kMsgOtherInstitute =
    QStringLiteral("عذرا .. التقرير المحدد لاينتمي لهذا المعهد   \nينتمي لمعهد : ");
const QString kMsgNotAReport = QStringLiteral("عذرا .. الملف المحدد ليس تقريرا سليما   \n");
const QString kMsgNameTaken = QStringLiteral("يوجد ملف بنفس الاسم ولم يتم استبداله   \n");
const QString kMsgCopyFailed = QStringLiteral("تعذر حفظ نسخة التقرير في :   \n");
const QString kMsgDeleteFailed = QStringLiteral("تعذر حذف التقرير :   \n");
const QString kDamagedRow = QStringLiteral("تقرير معطوب");

namespace {

const QString kAskDelete = QStringLiteral("سيتم حذف التقرير التالي   \n");
const QString kAskDeleteEnd = QStringLiteral("\nهل أنت موافق ؟             ");
const QString kFilter = QStringLiteral("تقارير الامتحان (*.im)");

void tell(const QString &text)
{
    MsgBox(kExamTitle, text, QMessageBox::Information, QMessageBox::Ok);
}

QString folderPath() { return QDir::homePath() + QStringLiteral("/.imtihan/"); }

// Copies a file without replacing one of the same name; tells a failure.
bool copyKeeping(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to)) {
        tell(kMsgNameTaken + pathText(to));
        return false;
    }
    if (!QFile::copy(from, to)) {
        tell(kMsgCopyFailed + pathText(to));
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> readReportFile(const QString &path)
{
    QFile file(path);
    if (file.size() > kMaxReportFileSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // What the file holds (one byte more tells one that grew), not the bound.
    return decompressReport(file.read(file.size() + 1));
}

frmOptions::frmOptions(QWidget *parent) : QWidget(parent), ui(new Ui::frmOptions)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));

    if (type_user >= 0) {
        ui->pushButton->hide();
        ui->pushButton_7->hide();
    } else if (type_user == -101) {
        ui->pushButton_7->hide();
    }

    QTableWidget *table = ui->table1;
    table->setColumnCount(3);
    table->setHorizontalHeaderLabels(
        {QStringLiteral("تقاير الاختبار"), QStringLiteral("اسم الطالب"), QStringLiteral("تاريخ الحفظ")});
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setCascadingSectionResizes(true);
    table->horizontalHeader()->setMinimumSectionSize(40);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setMinimumSectionSize(40);
    table->verticalHeader()->setDefaultSectionSize(50);
    const int widths[] = {300, 80, 100};
    for (int c = 0; c < 3; ++c)
        table->setColumnWidth(c, widths[c]);
    table->setRowCount(0);
    drawCellsInTheirDirection(table);

    setWindowTitle(QStringLiteral("إعدادات : ")
                   + labelLine(nameVelmar));
    GetList();
    centerOnScreen(this);
}

frmOptions::~frmOptions() { delete ui; }

void frmOptions::GetList()
{
    reportTexts.clear();
    reportPaths.clear();
    ui->table1->setRowCount(0);
    const QString folder = folderPath();
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() || !entry.fileName().endsWith(QLatin1String(".im")))
            continue;
        const QString path = folder + entry.fileName();
        const std::optional<QString> text = readReportFile(path);
        const ReportRow row = reportRow(text, nameVelmar);
        if (row.kind == ReportRow::OtherInstitute)
            continue;
        // A damaged file stays listed so that it can be saved or deleted.
        const bool damaged = row.kind == ReportRow::Damaged;
        reportTexts << (damaged ? QString() : *text);
        reportPaths << path;
        const QString cells[3] = {
            damaged ? kDamagedRow + QLatin1Char('\n') + entry.fileName() : row.heading,
            row.student, row.saved};
        const int r = ui->table1->rowCount();
        ui->table1->insertRow(r);
        for (int c = 0; c < 3; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            ui->table1->setItem(r, c, item);
        }
    }
}

void frmOptions::AddImtihan(const QString &path)
{
    if (path.isEmpty())
        return;
    const ReportRow row = reportRow(readReportFile(path), nameVelmar);
    if (row.kind == ReportRow::Damaged) {
        tell(kMsgNotAReport + pathText(path));
        return;
    }
    if (row.kind == ReportRow::OtherInstitute) {
        tell(kMsgOtherInstitute + QString(row.label).replace(QStringLiteral("<br />"),
                                                             QStringLiteral("\n")));
        return;
    }
    const QString target = folderPath() + path.section(QLatin1Char('/'), -1);
    if (QFileInfo(path).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return; // already this folder's own file
    QDir().mkpath(folderPath());
    copyKeeping(path, target);
}

int frmOptions::selectedRow(const QString &noSelection)
{
    const int r = ui->table1->currentRow();
    if (r < 0 || r >= reportPaths.size() || !ui->table1->selectionModel()->hasSelection()) {
        tell(noSelection);
        return -1;
    }
    return r;
}

std::optional<QString> frmOptions::recordOf(int r)
{
    if (reportTexts.at(r).isEmpty()) {
        tell(kMsgReportDamaged);
        return std::nullopt;
    }
    return reportTexts.at(r);
}

void frmOptions::on_pushButton_2_clicked()
{
    if (reply_isRunning)
        return;
    const int r = selectedRow(kMsgNoReportToSend);
    if (r < 0)
        return;
    if (const std::optional<QString> record = recordOf(r))
        Sendtxt(*record);
}

void frmOptions::on_pushButton_4_clicked()
{
    const QStringList paths = hooks::getOpenFileNames(
        this, QStringLiteral("الرجاء تحديد الملفات المراد جلبها   "), QDir::homePath(), kFilter);
    for (const QString &path : paths)
        AddImtihan(path);
    GetList();
}

void frmOptions::on_pushButton_5_clicked()
{
    const int r = selectedRow(kMsgNoReportToSave);
    if (r < 0)
        return;
    const QString source = reportPaths.at(r);
    const QString target = hooks::getSaveFileName(
        this, QStringLiteral("تحديد مكان حفظ الملف   "),
        QDir::homePath() + QLatin1Char('/') + QFileInfo(source).fileName(), kFilter);
    if (target.isEmpty())
        return;
    copyKeeping(source, target);
}

void frmOptions::on_pushButton_6_clicked()
{
    const QString folder = hooks::getExistingDirectory(
        this, QStringLiteral("تحديد مكان حفظ الملفات   "), QDir::homePath());
    if (folder.isEmpty())
        return;
    const QStringList paths = reportPaths;
    for (const QString &source : paths)
        copyKeeping(source, folder + QLatin1Char('/') + QFileInfo(source).fileName());
}

void frmOptions::on_pushButton_3_clicked()
{
    const int r = selectedRow(kMsgNoReportToDelete);
    if (r < 0)
        return;
    const QString path = reportPaths.at(r);
    const int answer = MsgBox(kExamTitle, kAskDelete + pathText(path) + kAskDeleteEnd,
                              QMessageBox::Information, QMessageBox::Yes, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    reportPaths.removeAt(r);
    reportTexts.removeAt(r);
    if (!QFile::remove(path))
        tell(kMsgDeleteFailed + pathText(path));
    GetList();
}

void frmOptions::on_pushButton_7_clicked()
{
    const int r = selectedRow(kMsgNoReportToSend);
    if (r < 0)
        return;
    const std::optional<QString> record = recordOf(r);
    if (!record)
        return;
    if (!frmview)
        frmview = new FrmView(nullptr);
    frmview->show();
    hide();
    frmview->ShowViewIm(*record);
}

void frmOptions::on_pushButton_clicked()
{
    frmpwd = new FrmPwd(nullptr);
    frmpwd->show();
    hide();
}

void frmOptions::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QWidget::keyPressEvent(event);
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmstart)
        frmstart->show();
    deleteLater();
    if (frmoption == this)
        frmoption = nullptr;
}
