#include "supervision/frmnataij.h"

#include "core/frmstart.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/pagetext.h"
#include "core/windows.h"
#include "supervision/gradedisplay.h"
#include "supervision/pageprint.h"
#include "supervision/pure/results.h"
#include "ui_frmnataij.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QUrl>

const QString kMsgNoResults = QStringLiteral("عذرا .. لم تستقبل منك الإدارة أي امتحان من قبل   ");

namespace {
enum Column { Heading, Date, Number, Answers, Grading, ColumnCount };

// The exams take the room they need, up to a third of the screen's height; more
// rows scroll, with the newest (the last) in view.
void fitToRows(QTableWidget *table)
{
    const QScreen *screen = table->screen();
    const int room = screen ? screen->availableGeometry().height() / 3 : 250;
    int height = 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (row > 0 && height + table->rowHeight(row) > room)
            break;
        height += table->rowHeight(row);
    }
    table->setFixedHeight(height);
    table->scrollToBottom();
}
} // namespace

FrmNataij::FrmNataij(QWidget *parent) : QDialog(parent), ui(new Ui::FrmNataij)
{
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowState(windowState() | Qt::WindowMaximized);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));

    const int widths[ColumnCount] = {300, 140, 40, 0, 0};
    QHeaderView *header = ui->table1->horizontalHeader();
    for (int c = 0; c < ColumnCount; ++c) {
        ui->table1->setColumnWidth(c, widths[c]);
        header->setSectionResizeMode(c, QHeaderView::Fixed);
    }
    ui->table1->setColumnHidden(Answers, true);
    drawCellsInTheirDirection(ui->table1);
    ui->table1->setColumnHidden(Grading, true);
    header->setStretchLastSection(true);

    // A caption wider than its button (in a font other than the form's)
    // widens the button instead of being cut.
    for (QPushButton *button : {ui->B_print, ui->B_pdf}) {
        button->ensurePolished();
        button->setMinimumWidth(qMax(button->minimumWidth(), button->sizeHint().width()));
    }

    ui->web->load(QUrl(QStringLiteral("qrc:///Resources/html/index2.html")));
    setWindowTitle(QStringLiteral("عرض النتائج : ")
                   + labelLine(nameVelmar));
}

FrmNataij::~FrmNataij() { delete ui; }

void FrmNataij::ExtracTxt(const QString &payload)
{
    const ResultsReply reply = readResultsReply(payload);
    if (reply.records.isEmpty()) {
        close();
        MsgBox(kExamTitle, kMsgNoResults, QMessageBox::Information, QMessageBox::Ok);
        return;
    }
    nameStudent = reply.name;
    mailStudent = reply.mail;
    ui->table1->setRowCount(reply.records.size());
    for (int row = 0; row < reply.records.size(); ++row) {
        const ResultRecord &r = reply.records.at(row);
        const QString cells[ColumnCount] = {resultHeading(r), r.date, r.number, r.answers,
                                            r.grading};
        for (int c = 0; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignCenter);
            ui->table1->setItem(row, c, item);
        }
    }
    // The heading and the date take two lines each.
    ui->table1->resizeRowsToContents();
    fitToRows(ui->table1);
}

void FrmNataij::on_table1_clicked(const QModelIndex &index)
{
    const auto cell = [this, &index](int column) {
        const QTableWidgetItem *item = ui->table1->item(index.row(), column);
        return item ? item->text() : QString();
    };
    txtTankit = cell(Grading);
    const QString heading = cell(Heading);
    // Pages show the institute label with "<br />" line breaks from now on.
    nameVelmar.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    // A sheet that cannot be read gives an empty page.
    htmlSheet = resultSheet(cell(Answers), heading, nameStudent, mailStudent, nameVelmar);
    ChangeTankit();
}

void FrmNataij::ChangeTankit()
{
    if (!showGradedSheet(ui->web, &htmlSheet, txtTankit))
        MsgBox(kExamTitle, kMsgNotGraded, QMessageBox::Information, QMessageBox::Ok);
}

void FrmNataij::on_B_print_clicked()
{
    previewPagePrint(this, ui->web, [this](QPrinter *printer) { printPreview(printer); });
}

void FrmNataij::printPreview(QPrinter *printer) { printShownPage(ui->web, printer); }

void FrmNataij::on_B_pdf_clicked()
{
    savePagePdf(this, ui->web, QStringLiteral("imtihan_"));
}

void FrmNataij::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmNataij::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmstart)
        frmstart->show();
    deleteLater();
    if (frmnataij == this)
        frmnataij = nullptr;
}
