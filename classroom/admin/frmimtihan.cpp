#include "admin/frmimtihan.h"

#include "protocol/helpers.h"
#include "protocol/imtihan.h"
#include "protocol/pure/examschedule.h"
#include "protocol/state.h"
#include "ui_frmimtihan.h"

#include <QApplication>
#include <QHeaderView>
#include <QPalette>

namespace {

const QString kMember = QStringLiteral("لديك اليوم اختبار في المواد التالية :");
const QString kVisitor = QStringLiteral("الرجاء إن كنت طالب في المعهد أن تدخل بالعضوية\n"
                                        " لأنه لديك اليوم اختبار في المواد التالية :");
const QString kNone = QStringLiteral("عفوا امتحانات اليوم انتهت");

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

FrmImtihan::FrmImtihan(QWidget *parent) : QDialog(parent), ui(new Ui::FrmImtihan)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);

    QTableWidget *table = ui->table1;
    QPalette colours = table->palette();
    colours.setColor(QPalette::Active, QPalette::Base, QColor(170, 255, 127));
    colours.setColor(QPalette::Inactive, QPalette::Base, QColor(170, 255, 127));
    colours.setColor(QPalette::Disabled, QPalette::Base, QColor(240, 240, 240));
    colours.setColor(QPalette::AlternateBase, QColor(255, 255, 127));
    table->setPalette(colours);
    const int widths[] = {0, 280, 100, 70};
    for (int c = 0; c < 4; ++c)
        table->setColumnWidth(c, widths[c]);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnHidden(0, true);

    const ExamSchedule schedule = parseExamSchedule(Imtihan_user);
    const QVector<ExamRecord> listed = examsNotOver(schedule);
    table->setRowCount(qMax(1, listed.size()));
    for (int row = 0; row < listed.size(); ++row) {
        const ExamRecord &exam = listed.at(row);
        table->setItem(row, 0, cell(exam.number));
        table->setItem(row, 1, cell(exam.title));
        table->setItem(row, 2, cell(exam.startText));
        table->setItem(row, 3, cell(exam.minutesText));
    }
    if (listed.isEmpty())
        ui->La->setText(kNone);
    else
        ui->La->setText(type_user != 0 ? kMember : kVisitor);
}

FrmImtihan::~FrmImtihan() { delete ui; }

void FrmImtihan::on_pushButton_2_clicked()
{
    if (type_user == 0)
        return;
    close();
    runImtihan();
}

void FrmImtihan::on_pushButton_clicked() { close(); }
