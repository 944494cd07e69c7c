#include "supervision/frmview.h"

#include "core/admincommands.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/windows.h"
#include "supervision/frmoptions.h"
#include "supervision/gradedisplay.h"
#include "supervision/pure/results.h"
#include "ui_frmview.h"

#include <QCloseEvent>
#include <QUrl>

const QString kMsgDamagedExam = QStringLiteral("الامتحان معطوب    ");

FrmView::FrmView(QWidget *parent) : QWidget(parent), ui(new Ui::FrmView)
{
    ui->setupUi(this);
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));
    setLayoutDirection(Qt::RightToLeft);
    showMaximized();
    htmlSheet.clear();
    ui->web->setHtml(htmlSheet, QUrl());
}

FrmView::~FrmView() { delete ui; }

void FrmView::ShowViewIm(const QString &text)
{
    record = text;
    const QStringList f = text.split(QStringLiteral("<::>"));
    const auto field = [&f](int i) { return i < f.size() ? f.at(i) : QString(); };
    nameStudent = field(1);
    mailStudent = field(2);
    title = field(9);
    htmlSheet = field(10);
    Display();
}

void FrmView::Display()
{
    const QString answers = htmlSheet;
    // Pages show the institute label with "<br />" line breaks from now on.
    nameVelmar.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    // Every text of the record is escaped into the page.
    htmlSheet = resultSheet(answers, title, nameStudent, mailStudent, nameVelmar);
    if (htmlSheet.isEmpty() && !answers.isEmpty())
        MsgBox(kMsgTitle, kMsgDamagedExam, QMessageBox::Information, QMessageBox::Ok);
    ChangeTankit();
}

void FrmView::ChangeTankit() { showGradedSheet(ui->web, &htmlSheet, txtTankit); }

void FrmView::on_pushButton_clicked() { Sendtxt(record, true); }

void FrmView::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmoption)
        frmoption->show();
    deleteLater();
    if (frmview == this)
        frmview = nullptr;
}
