#include "core/frmstart2.h"
#include "common/hooks.h"

#include "core/frmtimer.h"
#include "core/globals.h"
#include "core/pure/loginreply.h"
#include "core/windows.h"
#include "ui_frmstart2.h"

#include <QCloseEvent>
#include <QStyle>

FrmStart2::FrmStart2(QWidget *parent) : QWidget(parent), ui(new Ui::FrmStart2)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    takeExamLook(this, QStringLiteral(":/Resources/lg.png"));
    ui->LVelmar->setText(nameVelmar);
    ui->Ldate->clear();
    if (!frmtime)
        return;
    frmtime->StarTm();
    ui->table1->setColumnWidth(0, 260);
    drawCellsInTheirDirection(ui->table1);
    // The time column takes what is left beside the titles, also once the
    // scroll bar shows (the hidden header does not stretch it by itself).
    ui->table1->viewport()->installEventFilter(this);
    ui->table1->setRowCount(frmtime->listDate.size());
    for (int i = 0; i < frmtime->listDate.size(); ++i) {
        const ExamHeader header = splitExamHeader(frmtime->listTitre.value(i));
        auto *title = new QTableWidgetItem(header.title + QStringLiteral("\n[ الفوج:")
                                           + header.fawjText + QStringLiteral(" الفصل:")
                                           + header.faslText + QStringLiteral(" ]"));
        auto *time = new QTableWidgetItem(
            frmtime->listDate.at(i).section(QLatin1Char(' '), 1, 1).left(5));
        title->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        time->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        ui->table1->setItem(i, 0, title);
        ui->table1->setItem(i, 1, time);
    }
}

FrmStart2::~FrmStart2()
{
    delete ui;
    if (frmstart2 == this)
        frmstart2 = nullptr;
}

bool FrmStart2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->table1->viewport() && event->type() == QEvent::Resize) {
        // The titles take 260 and wrap; the times always show whole.
        QTableWidget *table = ui->table1;
        const int margin =
            table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
        const int time =
            table->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 2 * margin;
        const int width = table->viewport()->width();
        table->setColumnWidth(1, qMax(time, width - 260));
        table->setColumnWidth(0, width - table->columnWidth(1));
    }
    return QWidget::eventFilter(watched, event);
}

void FrmStart2::changeTm(const QString &now, const QString &remaining)
{
    const QString date = now.section(QLatin1Char(' '), 0, 0);
    const QString time = now.section(QLatin1Char(' '), 1, 1);
    ui->Ldate->setText(QStringLiteral("<html><head/><body><div align='center'>") + date
                       + QStringLiteral("<br><span style=' color:#0000ff;'>") + time
                       + QStringLiteral("</span></div></body></html>"));
    ui->label->setText(remaining);
    setWindowTitle(QStringLiteral("لديك اختبار بعد : ") + remaining);
}

void FrmStart2::noExamLeft(const QString &now)
{
    changeTm(now, QString());
    setWindowTitle(QStringLiteral("لا يوجد اختبار آخر"));
}

void FrmStart2::RemoveAt(int row) { ui->table1->removeRow(row); }

int FrmStart2::getcountList() const { return ui->table1->rowCount(); }

void FrmStart2::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmstart2 == this)
        frmstart2 = nullptr;
    deleteLater();
    hooks::quit();
}
