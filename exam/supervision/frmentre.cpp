#include "supervision/frmentre.h"

#include "common/hooks.h"
#include "core/admincommands.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/examtext.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "core/windows.h"
#include "supervision/frmdisplay.h"
#include "supervision/frmpwd.h"
#include "supervision/gradedisplay.h"
#include "supervision/pageprint.h"
#include "supervision/pure/examdraft.h"
#include "ui_frmentre.h"

#include <QCloseEvent>
#include <QLocale>
#include <QPointer>
#include <QUrl>
#include <QWebFrame>

const QString kMsgExamComplete = QStringLiteral(" لقد اكتمل الاختبار    ");
const QString kServerOnText = QStringLiteral("لا يعرض أي امتحان للطلبة الآن");
const QString kServerOffText = QStringLiteral("عرض الامتحان متاح للطلبة الآن");
const QString kServerOnStyle =
    QStringLiteral("color: rgb(255, 0, 0);min-width: 180px;max-width: 180px;min-height: 20px;");
const QString kServerOffStyle =
    QStringLiteral("color: rgb(0, 0, 255);min-width: 180px;max-width: 180px;min-height: 20px;");
const QString kMsgNotANumber = QStringLiteral("الرجاء كتابة %1 عددا صحيحا أكبر من الصفر    ");
const QString kMsgCountRange = QStringLiteral("عدد الأسئلة يجب أن يكون بين 1 و %1    ");
const QString kAskIncomplete = QStringLiteral(
    "الاختبار غير مكتمل : أدخلت %1 من أصل %2 أسئلة    \nهل تريد إرساله على حاله ؟    ");

namespace {

void tell(const QString &text)
{
    MsgBox(kExamTitle, text, QMessageBox::Information, QMessageBox::Ok);
}

} // namespace

FrmEntre::FrmEntre(QWidget *parent) : QWidget(parent), ui(new Ui::FrmEntre)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowState(windowState() | Qt::WindowMaximized);
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));

    ui->Tdate->setMinimumDateTime(QDateTime(QDate(2015, 5, 1), QTime(0, 0)));
    ui->Tdate->setMaximumDate(QDate(2050, 12, 31));
    // Digits and dashes read left to right whatever the window's direction;
    // a format set under right to left comes out reversed, so it is set again.
    ui->Tdate->setLayoutDirection(Qt::LeftToRight);
    ui->Tdate->setLocale(QLocale::c());
    ui->Tdate->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    ui->Tdate->setCurrentSection(QDateTimeEdit::DaySection);
    connect(ui->web, &QWebView::loadFinished, this, [this] {
        if (!scrollToEnd)
            return;
        QWebFrame *frame = ui->web->page()->mainFrame();
        frame->setScrollBarValue(Qt::Vertical, frame->scrollBarMaximum(Qt::Vertical));
    });

    efface();
    ui->web->load(QUrl(QStringLiteral("qrc:///Resources/html/index2.html")));

    drawServerButton();
    if (type_user >= 0 || type_user == -101)
        ui->B_stat->hide();

    setWindowTitle(QStringLiteral("إدخال الامتحانات : ")
                   + labelLine(nameVelmar));
}

FrmEntre::~FrmEntre()
{
    // The web view ends its load as it goes, after ui: nothing of this
    // window may answer that.
    disconnect(ui->web, nullptr, this, nullptr);
    delete ui;
}

QString FrmEntre::testxt(const QString &text) const { return cleanHeaderText(text); }

QString FrmEntre::examText() const { return examTextOf(ui->Tcount->text(), listSoal); }

QString FrmEntre::dateText() const
{
    return QLocale::c().toString(ui->Tdate->dateTime(), QStringLiteral("yyyy-MM-dd HH:mm"));
}

int FrmEntre::questionCount() const
{
    return qMin(readInt(ui->Tcount->text()), listSoal.size());
}

void FrmEntre::storeRecord(int index, const QString &record)
{
    if (index < 0 || index >= listSoal.size())
        return;
    listSoal[index] = record;
    for (int j = index + 1; j < listSoal.size(); ++j)
        listSoal[j].clear();
}

void FrmEntre::reveal(QLabel *label, QLineEdit *field, const QString &text)
{
    label->show();
    field->show();
    refocus(field, text);
}

void FrmEntre::refocus(QLineEdit *field, const QString &text)
{
    if (!text.isNull())
        field->setText(text);
    field->selectAll();
    field->setFocus();
}

// ---- header ---------------------------------------------------------------

void FrmEntre::on_Tmada_returnPressed()
{
    if (ui->Tmada->text().trimmed().isEmpty())
        return;
    ui->Ldate->show();
    ui->Tdate->show();
    ui->Tdate->setDate(hooks::now().date());
    ui->Tdate->setFocus();
    // Typing replaces the day, then runs on into the hour and the minute.
    ui->Tdate->setSelectedSection(QDateTimeEdit::DaySection);
}

void FrmEntre::on_Tdate_editingFinished()
{
    // Hiding the editor (reset) takes its focus away: that confirms nothing.
    if (resetting || ui->Tdate->isHidden())
        return;
    reveal(ui->Lmoda, ui->Tmoda, QStringLiteral("60"));
}

void FrmEntre::on_Tmoda_returnPressed()
{
    if (readInt(ui->Tmoda->text()) < 1)
        return refocus(ui->Tmoda);
    reveal(ui->Lcount, ui->Tcount, QStringLiteral("0"));
}

void FrmEntre::on_Tcount_returnPressed()
{
    const int count = readInt(ui->Tcount->text());
    if (count < 1 || count > kMaxQuestions)
        return refocus(ui->Tcount, QStringLiteral("0"));
    ui->Lostad->show();
    ui->Tostad->show();
    if (type_user == -101) {
        ui->Tostad->setText(nickname);
        ui->Tostad->setReadOnly(true);
    } else {
        ui->Tostad->clear();
        ui->Tostad->setReadOnly(false);
    }
    refocus(ui->Tostad);
}

void FrmEntre::on_Tostad_returnPressed()
{
    reveal(ui->Lfawj, ui->Tfawj, QStringLiteral("0"));
}

void FrmEntre::on_Tfawj_returnPressed()
{
    if (readInt(ui->Tfawj->text()) < 1)
        return refocus(ui->Tfawj, QStringLiteral("0"));
    reveal(ui->Lfasl, ui->Tfasl, QStringLiteral("0"));
}

void FrmEntre::on_Tfasl_returnPressed()
{
    if (readInt(ui->Tfasl->text()) < 1)
        return refocus(ui->Tfasl, QStringLiteral("0"));
    // The count may have been edited since it was confirmed.
    const int count = readInt(ui->Tcount->text());
    if (count < 1 || count > kMaxQuestions)
        return refocus(ui->Tcount, QStringLiteral("0"));
    ui->Lsoal->show();
    ui->Nsoal->show();
    ui->Tsoal->show();
    // The questions start again: no type, count or choice of before.
    for (QWidget *w : {static_cast<QWidget *>(ui->frame_type), static_cast<QWidget *>(ui->frame_choix),
                       static_cast<QWidget *>(ui->Lchoix), static_cast<QWidget *>(ui->Nchoix),
                       static_cast<QWidget *>(ui->Tchoix)})
        w->hide();
    refocus(ui->Tsoal);
    listSoal.clear();
    numSoal = 1;
    numChoix = 0;
    ui->Nchoix->setText(QStringLiteral("0"));
    for (int i = 0; i < count; ++i)
        listSoal << QString();
    ChangeImtihan();
    ui->Nsoal->setText(QString::number(numSoal));
}

// ---- questions ------------------------------------------------------------

void FrmEntre::on_Tsoal_returnPressed()
{
    if (listSoal.isEmpty())
        return;
    ui->frame_type->show();
    ui->R1->setChecked(true);
    ui->R1->setFocus();
}

void FrmEntre::typeChosen(const QString &title, const QString &defaultText)
{
    ui->grpChoix->setTitle(title);
    ui->frame_choix->show();
    refocus(ui->Tcountchoix, defaultText);
    ui->Tchoix->hide();
    ui->Lchoix->hide();
    ui->Nchoix->hide();
}

void FrmEntre::on_R1_clicked(bool checked)
{
    if (checked)
        typeChosen(QStringLiteral("حجم الحروف المتاحة للكتابة"), QStringLiteral("-1"));
}

void FrmEntre::on_R2_clicked(bool checked)
{
    if (checked)
        typeChosen(QStringLiteral("عدد الخيارات"), QStringLiteral("2"));
}

void FrmEntre::on_R3_clicked(bool checked)
{
    if (checked)
        typeChosen(QStringLiteral("عدد الخيارات"), QStringLiteral("2"));
}

void FrmEntre::on_R1_returnPressed() { on_R1_clicked(true); }
void FrmEntre::on_R2_returnPressed() { on_R2_clicked(true); }
void FrmEntre::on_R3_returnPressed() { on_R3_clicked(true); }

void FrmEntre::on_Tcountchoix_returnPressed()
{
    numSoal = ui->Nsoal->text().toInt();
    if (numSoal < 1 || numSoal > listSoal.size())
        return; // no question is being entered
    if (ui->R1->isChecked()) {
        QString limit;
        if (!readLimit(ui->Tcountchoix->text(), &limit))
            return refocus(ui->Tcountchoix);
        storeRecord(numSoal - 1, freeTextRecord(ui->Tsoal->text(), limit));
        ChangeImtihan();
        numSoal += 1;
        if (numSoal <= questionCount()) {
            ui->frame_choix->hide();
            ui->frame_type->hide();
            ui->Nsoal->setText(QString::number(numSoal));
            ui->Tsoal->clear();
            ui->Tsoal->setFocus();
        } else {
            finishImtihan();
        }
        return;
    }
    int count = 0;
    if (!readInt(ui->Tcountchoix->text().trimmed(), &count) || count < 1 || count > kMaxChoices)
        return refocus(ui->Tcountchoix);
    const int type = ui->R2->isChecked() ? 2 : 3;
    storeRecord(numSoal - 1, choiceRecord(ui->Tsoal->text(), type, QString::number(count)));
    ChangeImtihan();
    numSoal += 1;
    numChoix = 1;
    ui->Tchoix->show();
    ui->Lchoix->show();
    ui->Nchoix->show();
    ui->Nchoix->setText(QStringLiteral("1"));
    refocus(ui->Tchoix, QStringLiteral(""));
}

void FrmEntre::on_Tchoix_returnPressed()
{
    const QString choice = cleanExamFreeText(ui->Tchoix->text());
    if (ui->Nchoix->text().toInt() < 1)
        return;
    if (choice.trimmed().isEmpty())
        return refocus(ui->Tchoix);
    const int index = numSoal - 2;
    if (index < 0 || index >= listSoal.size() || listSoal.at(index).isEmpty())
        return;
    // The record keeps the choice count it was stored with.
    const int count = recordChoiceCount(listSoal.at(index));
    if (numChoix < 1 || numChoix > count)
        return;
    listSoal[index] = withChoice(listSoal.at(index), numChoix, choice);
    ChangeImtihan();
    if (numChoix < count) {
        numChoix += 1;
        ui->Nchoix->setText(QString::number(numChoix));
        ui->Tchoix->clear();
        ui->Tchoix->setFocus();
        return;
    }
    for (QWidget *w : {static_cast<QWidget *>(ui->frame_choix), static_cast<QWidget *>(ui->frame_type),
                       static_cast<QWidget *>(ui->Nchoix), static_cast<QWidget *>(ui->Tchoix),
                       static_cast<QWidget *>(ui->Lchoix)})
        w->hide();
    if (questionCount() < numSoal) {
        finishImtihan();
    } else {
        ui->Nsoal->setText(QString::number(numSoal));
        ui->Tsoal->clear();
        ui->Tsoal->setFocus();
    }
}

void FrmEntre::finishImtihan()
{
    tell(kMsgExamComplete);
    for (QWidget *w : {static_cast<QWidget *>(ui->Nsoal), static_cast<QWidget *>(ui->Tsoal),
                       static_cast<QWidget *>(ui->Lsoal), static_cast<QWidget *>(ui->Nchoix),
                       static_cast<QWidget *>(ui->Tchoix), static_cast<QWidget *>(ui->Lchoix),
                       static_cast<QWidget *>(ui->frame_choix), static_cast<QWidget *>(ui->frame_type)})
        w->hide();
}

void FrmEntre::efface()
{
    resetting = true;
    const QList<QWidget *> hidden = {
        ui->Tdate, ui->Ldate,  ui->Tmoda, ui->Lmoda, ui->Tcount, ui->Lcount, ui->Lostad,
        ui->Tostad, ui->Tfawj, ui->Lfawj, ui->Tfasl, ui->Lfasl, ui->Nsoal, ui->Tsoal,
        ui->Lsoal, ui->Nchoix, ui->Tchoix, ui->Lchoix, ui->frame_choix, ui->frame_type};
    for (QWidget *w : hidden)
        w->hide();
    ui->Tmada->setFocus();
    listSoal.clear();
    numSoal = 0;
    numChoix = 0;
    ui->txt1->clear();
    scrollToEnd = false;
    ui->web->setHtml(QString(), QUrl());
    resetting = false;
}

// ---- exam text and preview ---------------------------------------------------

void FrmEntre::ChangeImtihan()
{
    ui->txt1->setPlainText(examText());
    // Pages show the institute label with "<br />" line breaks from now on.
    nameVelmar.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    showPreview(ui->txt1->toPlainText(), nameVelmar, QStringLiteral("<br />الفوج :"));
}

void FrmEntre::showPreview(const QString &text, const QString &label, const QString &cohortWord)
{
    QString html = ExtracImtihan(text);
    html = fillSlot(html, QStringLiteral("userinfo"), QStringLiteral("الاسم :<br /><br />البريد:<br />"));
    html = fillSlot(html, QStringLiteral("velmarinfo"), labelHtml(label));
    html = fillSlot(html, QStringLiteral("mada"),
                    isolatedHtml(ui->Tmada->text()) + cohortWord + isolatedHtml(ui->Tfawj->text())
                        + QStringLiteral(" - الفصل : ") + isolatedHtml(ui->Tfasl->text()));
    html = fillSlot(html, QStringLiteral("total"), QString());
    scrollToEnd = true;
    ui->web->setHtml(html, QUrl());
}

void FrmEntre::on_pushButton_3_clicked()
{
    // The label is copied: the global keeps its line breaks here.
    showPreview(ui->txt1->toPlainText(), QString(nameVelmar), QStringLiteral("<br />الفوح :"));
}

void FrmEntre::on_pushButton_5_clicked()
{
    efface();
    ui->Tmada->selectAll();
    ui->Tmada->setFocus();
}

void FrmEntre::on_pushButton_6_clicked()
{
    savePagePdf(this, ui->web, QStringLiteral("imtihan_"));
}

// ---- sending ----------------------------------------------------------------

bool FrmEntre::readyToSend(int *moda, int *fawj, int *fasl)
{
    const struct
    {
        QLineEdit *field;
        int *value;
        const char *name;
    } numbers[] = {
        {ui->Tmoda, moda, "مدة الاختبار بالدقائق"},
        {ui->Tfawj, fawj, "رقم الفوج"},
        {ui->Tfasl, fasl, "رقم الفصل"},
    };
    for (const auto &n : numbers) {
        if (!readInt(n.field->text().trimmed(), n.value) || *n.value < 1) {
            tell(kMsgNotANumber.arg(QString::fromUtf8(n.name)));
            n.field->setFocus();
            return false;
        }
    }
    int count = 0;
    if (!readInt(ui->Tcount->text().trimmed(), &count) || count < 1 || count > kMaxQuestions) {
        tell(kMsgCountRange.arg(kMaxQuestions));
        ui->Tcount->setFocus();
        return false;
    }
    const int entered = enteredRecords(listSoal, count);
    if (entered < count) {
        const int answer = MsgBox(kExamTitle, kAskIncomplete.arg(entered).arg(count),
                                  QMessageBox::Question, QMessageBox::Yes, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    return true;
}

void FrmEntre::on_pushButton_2_clicked()
{
    // A post already waiting: this press starts nothing.
    if (reply_isRunning)
        return;
    int moda = 0, fawj = 0, fasl = 0;
    if (!readyToSend(&moda, &fawj, &fasl))
        return;
    SendImtihan(examText(), id_user, testxt(ui->Tostad->text()), dateText(), fawj, fasl, moda,
                testxt(ui->Tmada->text()), 0);
}

// ---- availability switch and grading window -----------------------------------

void FrmEntre::drawServerButton()
{
    ui->B_stat->setText(ServerStat ? kServerOnText : kServerOffText);
    ui->B_stat->setStyleSheet(ServerStat ? kServerOnStyle : kServerOffStyle);
}

void FrmEntre::ChangeServer(bool on)
{
    if (reply_isRunning)
        return;
    QPointer<FrmEntre> self(this);
    ::ChangeServer(on);
    if (self)
        drawServerButton();
}

void FrmEntre::on_B_stat_clicked() { ChangeServer(!ServerStat); }

void FrmEntre::on_pushButton_clicked() { openGradingWindow(); }

void FrmEntre::openGradingWindow()
{
    // A grading window already open makes way for the new one; this window
    // hides until the new one closes (also when it closed while it opened).
    if (frmdisplay)
        frmdisplay->close();
    auto *display = new FrmDisplay(nullptr);
    if (frmdisplay == display)
        hide();
}

// ---- window -------------------------------------------------------------------

void FrmEntre::keyPressEvent(QKeyEvent *) {}

void FrmEntre::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmpwd)
        frmpwd->close();
    deleteLater();
    if (frmentre == this)
        frmentre = nullptr;
}
