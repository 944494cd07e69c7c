#include "supervision/frmdisplay.h"

#include "common/hooks.h"
#include "common/look.h"
#include "common/webprint.h"
#include "core/frmconnect.h"
#include "core/frmstart.h"
#include "core/frmurl.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "core/windows.h"
#include "supervision/frmentre.h"
#include "supervision/gradedisplay.h"
#include "supervision/pageprint.h"
#include "supervision/pure/gradinglists.h"
#include "supervision/pure/marks.h"
#include "ui_frmdisplay.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QRegularExpression>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QNetworkReply>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <optional>
#include <utility>

const QString kMsgNoAdminList = QStringLiteral("ليس لك صلاحيات للإطلاع على القائمة    ");
const QString kMsgNoExams = QStringLiteral("لا يوجد أي إمتحان يخصك    ");
const QString kMsgChooseExam = QStringLiteral("لم تقم بتحديد الاختبار المراد جلبه      ");
const QString kMsgNoSheets = QStringLiteral("لم يتم إرسال أي اختبار  من طرف الطلبة بعد      ");
const QString kMsgDamaged = QStringLiteral("الامتحان معطوب    ");
const QString kMsgChooseSheet = QStringLiteral("لم تقم بتحديد الاختبار المراد تصحيحه      ");
const QString kAskSave = QStringLiteral("هل تريد حفظ التنقيط ؟      ");
const QString kAskDelete = QStringLiteral("هل تريد حذف التنقيط ؟      ");
const QString kMsgNotANumberMark = QStringLiteral("النقطة يجب أن تكون عددا    ");
const QString kMsgNoSuchMark = QStringLiteral("لا توجد نقطة لهذا السؤال    ");
const QString kMsgChooseExamOstad = QStringLiteral("لم تحدد الإمتحان المراد تغيير الأستاذ له      ");
const QString kAskOstad = QStringLiteral("هل تريد تغيير الأستاذ للمادة ؟      \n");
const QString kMsgBadOstad = QStringLiteral("أخطأت في كتابة اسم الأستاذ    ");
const QString kMsgNoRightOstad = QStringLiteral("ليس لك الصلاحيات للقيام بهذا الأمر    ");
const QString kWaitLists = QStringLiteral("جاري جلب الامتحانات الرجاء الانتظار ...");
const QString kWaitSave = QStringLiteral("جاري حفظ التنقيط الرجاء الانتظار ...");
const QString kWaitOstad = QStringLiteral("جاري حفظ المعلومات الرجاء الانتظار ...");

namespace {

enum ExamColumn { ExamHeading, ExamDate, ExamId };
enum SheetColumn { SheetName, SheetMail, SheetTime, SheetId, SheetColumns };

const QString kPdfCaption = QStringLiteral("حفظ تقرير التنقيط");

// A text asked in an input dialog without parent; nothing when cancelled.
std::optional<QString> askText(const QString &title, const QString &label, const QString &preset)
{
    QInputDialog dialog;
    dialog.setLayoutDirection(Qt::RightToLeft);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setOkButtonText(QStringLiteral("موافق"));
    dialog.setCancelButtonText(QStringLiteral("إلغاء الأمر"));
    dialog.setTextValue(preset);
    widenForTitle(&dialog);
    if (hooks::execModal(&dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QTableWidgetItem *cellItem(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(int(alignment));
    return item;
}

// A text of a heading as page text, in its own direction. Blanks in a row
// would collapse into one anyway; the web engine draws Arabic and digits over
// each other after such a run.
QString headingHtml(const QString &text) { return isolatedHtml(text.simplified()); }

// The y of an element of the page, as the page's script gives it.
int elementY(QWebElement element)
{
    if (element.isNull())
        return 0;
    return element.evaluateJavaScript(QStringLiteral("getPosition(this).y")).toInt();
}

// The page with the style sheets it links put inside it. The engine paints
// nothing while a linked style sheet is still loading (also when another page
// is loading the same one).
QString withStyleSheetsInside(QString html)
{
    static const QRegularExpression link(QStringLiteral("<link\\b[^>]*href=\"qrc:([^\"]+)\"[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString sheets;
    QRegularExpressionMatchIterator it = link.globalMatch(html);
    while (it.hasNext()) {
        QFile file(QLatin1Char(':') + it.next().captured(1));
        if (file.open(QIODevice::ReadOnly))
            sheets += QString::fromUtf8(file.readAll());
    }
    html.remove(link);
    const int head = html.indexOf(QStringLiteral("</head>"));
    if (head >= 0)
        html.insert(head, QStringLiteral("<style type=\"text/css\">") + sheets
                              + QStringLiteral("</style>"));
    return html;
}

} // namespace

// Keeps the window alive while one of its operations runs; a close that came
// meanwhile completes when the last one ends.
class DisplayBusy
{
public:
    explicit DisplayBusy(FrmDisplay *window) : w(window) { ++w->m_busy; }
    ~DisplayBusy()
    {
        if (--w->m_busy == 0 && w->m_closing)
            w->finishClose();
    }

private:
    FrmDisplay *w;
};

FrmDisplay::FrmDisplay(QWidget *parent) : QWidget(parent), ui(new Ui::FrmDisplay)
{
    DisplayBusy busy(this);
    frmdisplay = this;
    ui->setupUi(this);
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowState(windowState() | Qt::WindowMaximized);
    show();
    takeExamLook(this, QStringLiteral(":/Resources/bb.png"));

    for (QWidget *w : {static_cast<QWidget *>(ui->Lnote), static_cast<QWidget *>(ui->B_display),
                       static_cast<QWidget *>(ui->B_ostad), static_cast<QWidget *>(ui->B_edit),
                       static_cast<QWidget *>(ui->B_del_note)})
        w->hide();
    ui->table1->setRowCount(0);
    ui->table2->setRowCount(0);
    ui->groupBox_2->setTitle(QString());
    if (type_user == -101)
        setPlainTitle(ui->groupBox,
                      QStringLiteral(" قائمة الامتحانات للأستاذ ") + isolatedText(nickname));
    drawCellsInTheirDirection(ui->table1);
    drawCellsInTheirDirection(ui->table2);

    ui->table2->setColumnWidth(SheetId, 40);
    ui->table2->setColumnWidth(SheetName, ui->table2->width() - 330);
    ui->table2->setColumnWidth(SheetMail, 160);
    ui->table2->setColumnWidth(SheetTime, 110);

    // A caption wider than its button widens the button instead of being cut.
    ui->B_cherch->ensurePolished();
    ui->B_cherch->setMaximumWidth(qMax(40, ui->B_cherch->sizeHint().width()));

    const auto action = [this](const char *icon, const QString &text, void (FrmDisplay::*slot)()) {
        auto *a = new QAction(QIcon(QString::fromLatin1(icon)), text, this);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actPdf = action(":/Resources/icons/pdf.png", tr("حفظ جدول النقاط في ملف pdf"),
                    &FrmDisplay::menupdf);
    actCopy = action(":/Resources/icons/copy.png", tr("copy"), &FrmDisplay::menucopy);
    actCopy2 = action(":/Resources/icons/doc.png", tr("حفظ جدول النقاط في الذاكرة"),
                      &FrmDisplay::menucopy2);
    actDisplay = action(":/Resources/icons/msg.png", tr("عرض جدول النقاط في الشاشة"),
                        &FrmDisplay::menudisplay);
    actDisplay2 = action(":/Resources/icons/msg.png", tr("عرض أرشيف الامتحان بدون أجوبة"),
                         &FrmDisplay::menudisplay2);

    setWindowTitle(QStringLiteral("عرض وتصحيح امتحانات : ")
                   + labelLine(nameVelmar));

    // The grading bar belongs to the sheet on show: choosing another row, by
    // hand or by the search, closes it.
    connect(ui->table2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.row() != m_shownRow)
                    closeGradingBar();
            });
    connect(ui->web, &QWebView::loadFinished, this, [this](bool ok) {
        if (!ok || !m_scrollTo)
            return;
        const std::function<int()> position = std::move(m_scrollTo);
        m_scrollTo = nullptr;
        ui->web->page()->mainFrame()->setScrollBarValue(Qt::Vertical, position());
    });

    GetlistImtihan();
}

FrmDisplay::~FrmDisplay()
{
    // The web view stops its load as it goes: nothing of this window may
    // answer that.
    m_scrollTo = nullptr;
    disconnect(ui->web, nullptr, this, nullptr);
    delete ui;
}

bool FrmDisplay::mayStart() const { return !m_closing && m_busy == 0 && !reply_isRunning; }

void FrmDisplay::tell(const QString &title, const QString &text)
{
    if (!m_closing)
        MsgBox(title, text, QMessageBox::Information, QMessageBox::Ok);
}

// ---- lists ---------------------------------------------------------------------

// Posts a list command under the wait box; false, with the user told, when no
// list came or the window is closing.
bool FrmDisplay::fetchList(const FormQuery &query, QString *payload)
{
    openWaitBox(kWaitLists);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        tell(kMsgTitle, refusedAddressOr(reply, kMsgConnection));
        closeWaitBox();
        return false;
    }
    *payload = reply.payload();
    switch (listReplyKind(*payload)) {
    case ListReply::Empty:
        tell(kMsgTitle, kMsgEmptyReply);
        closeWaitBox();
        return false;
    case ListReply::Refused:
        tell(kMsgTitle, kMsgNoAdminList);
        closeWaitBox();
        return false;
    case ListReply::List:
        break;
    }
    closeWaitBox();
    return !m_closing;
}

void FrmDisplay::GetlistImtihan()
{
    ui->table1->setRowCount(0);
    for (QWidget *w : {static_cast<QWidget *>(ui->B_display), static_cast<QWidget *>(ui->B_ostad),
                       static_cast<QWidget *>(ui->B_edit), static_cast<QWidget *>(ui->B_del_note)})
        w->hide();
    const FormQuery query = examListQuery(Url_php, id_user, grpVelmar, admin, pwd_admin);
    QString payload;
    if (!fetchList(query, &payload))
        return;
    fillExams(payload);
}

void FrmDisplay::fillExams(const QString &payload)
{
    const ExamList list = readExamList(payload);
    if (type_user == -101)
        setPlainTitle(ui->groupBox, QStringLiteral(" قائمة الامتحانات للأستاذ ")
                                        + isolatedText(nickname) + QStringLiteral("  عددها: ")
                                        + isolatedText(list.countText) + QLatin1Char(' '));
    else
        setPlainTitle(ui->groupBox, QStringLiteral(" قائمة الامتحانات عددها: ")
                                        + isolatedText(list.countText) + QLatin1Char(' '));
    if (list.count == 0) {
        tell(kMsgTitle, kMsgNoExams);
        return;
    }
    listImtihan.clear();
    ui->table1->setRowCount(list.exams.size());
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    for (int row = 0; row < list.exams.size(); ++row) {
        const ExamListEntry &e = list.exams.at(row);
        listImtihan << e.descriptor;
        const ExamDescriptor d = readExamDescriptor(e.descriptor);
        QTableWidgetItem *heading =
            cellItem(examRowHeading(d), Qt::AlignLeft | Qt::AlignVCenter);
        heading->setData(kDrawnTextRole, examRowHeading(d, HeadingForm::Widget));
        ui->table1->setItem(row, ExamHeading, heading);
        ui->table1->setItem(row, ExamDate, cellItem(e.date, centred));
        ui->table1->setItem(row, ExamId, cellItem(e.id, centred));
    }
    // A date too long for its column takes two lines.
    ui->table1->resizeRowsToContents();
    ui->B_display->show();
    ui->B_ostad->show();
}

void FrmDisplay::GetImtihanUser()
{
    const int r = ui->table1->currentRow();
    if (r < 0) {
        tell(kExamTitle, kMsgChooseExam);
        return;
    }
    const QTableWidgetItem *idItem = ui->table1->item(r, ExamId);
    idImtihan = idItem ? idItem->text() : QString();
    const QString descriptor = listImtihan.value(r);
    ui->groupBox_2->setTitle(QString());
    m_sheetsTitleHtml.clear();
    closeGradingBar();
    ui->B_del_note->hide();
    ui->B_edit->hide();
    const FormQuery query =
        sheetListQuery(Url_php, id_user, idImtihan, grpVelmar, admin, pwd_admin);
    QString payload;
    if (!fetchList(query, &payload))
        return;
    fillSheets(payload, descriptor);
}

void FrmDisplay::fillSheets(const QString &payload, const QString &descriptor)
{
    const SheetList list = readSheetList(payload);
    ui->table2->setRowCount(0);
    listSheets.clear();
    listTankit.clear();
    m_shownRow = -1;
    forgetRepair();
    idSheet.clear();
    txtTankit.clear();
    htmlSheet.clear();
    ui->web->setHtml(htmlSheet, QUrl());
    ui->B_edit->hide();
    ui->B_del_note->hide();
    const ExamDescriptor exam = readExamDescriptor(descriptor);
    titreImtihan = examTitle(exam);
    m_titleHtml = examTitle(exam, HeadingForm::Page);
    m_sheetsTitleHtml = sheetListTitle(exam, list.countText, HeadingForm::Page);
    setPlainTitle(ui->groupBox_2, sheetListTitle(exam, list.countText, HeadingForm::Widget));
    if (list.count < 1) {
        tell(kExamTitle, kMsgNoSheets);
        return;
    }
    ui->table2->setRowCount(list.sheets.size());
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    for (int row = 0; row < list.sheets.size(); ++row) {
        const SheetEntry &s = list.sheets.at(row);
        listSheets << s.answers;
        listTankit << s.grading;
        ui->table2->setItem(row, SheetName, cellItem(s.name, centred));
        ui->table2->setItem(row, SheetMail, cellItem(s.mail, centred));
        ui->table2->setItem(row, SheetTime, cellItem(s.time, centred));
        ui->table2->setItem(row, SheetId, cellItem(s.id, centred));
    }
    ui->table2->resizeRowsToContents();
    ui->B_display->show();
    ui->B_ostad->show();
}

void FrmDisplay::on_B_display_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    GetImtihanUser();
}

void FrmDisplay::on_table1_doubleClicked(const QModelIndex &)
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    GetImtihanUser();
}

// ---- the sheet on show ---------------------------------------------------------

void FrmDisplay::on_table2_clicked(const QModelIndex &index)
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    closeGradingBar();
    ui->B_del_note->show();
    ui->B_edit->show();
    if (index.row() < 0 || index.row() >= listTankit.size())
        return;
    txtTankit = listTankit.at(index.row());
    forgetRepair();
    Display();
}

void FrmDisplay::Display() { showSheet(ui->table2->currentRow()); }

void FrmDisplay::showSheet(int row)
{
    m_scrollTo = nullptr;
    // A rebuild serves the sheet it was made for while that stays on show.
    if (row != m_repairedRow)
        forgetRepair();
    htmlSheet.clear();
    ui->web->setHtml(htmlSheet, QUrl());
    if (row < 0 || row >= listSheets.size()) {
        m_shownRow = -1;
        return;
    }
    m_shownRow = row;
    const auto cell = [this, row](int column) {
        const QTableWidgetItem *item = ui->table2->item(row, column);
        return item ? item->text() : QString();
    };
    htmlSheet = listSheets.at(row);
    mailStudent = cell(SheetMail);
    nameStudent = cell(SheetName);
    idSheet = cell(SheetId);
    QString page = ExtracImtDisplay(htmlSheet);
    if (page.isEmpty() && !htmlSheet.isEmpty()) {
        if (m_repairedRow < 0 || htmlSheet != m_repairedFrom) {
            forgetRepair();
            tell(kMsgTitle, kMsgDamaged);
            const QString rebuilt = ChangeError(htmlSheet);
            if (m_closing)
                return;
            m_repairedRow = row;
            m_repairedFrom = htmlSheet;
            m_repaired = rebuilt;
        }
        page = ExtracImtDisplay(m_repaired);
    }
    // Pages show the institute label with "<br />" line breaks from now on.
    nameVelmar.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    page = fillSlot(std::move(page), QStringLiteral("userinfo"),
                    QStringLiteral("الاسم : ") + isolatedHtml(nameStudent)
                        + QStringLiteral("<br />البريد: ") + isolatedHtml(mailStudent));
    page = fillSlot(std::move(page), QStringLiteral("velmarinfo"), labelHtml(nameVelmar));
    htmlSheet = fillSlot(std::move(page), QStringLiteral("mada"), m_titleHtml);
    ChangeTankit();
}

QString FrmDisplay::shownAnswers() const
{
    if (m_shownRow < 0 || m_shownRow >= listSheets.size())
        return QString();
    if (m_shownRow == m_repairedRow && !m_repaired.isEmpty())
        return m_repaired;
    return listSheets.at(m_shownRow);
}

void FrmDisplay::forgetRepair()
{
    m_repairedRow = -1;
    m_repairedFrom.clear();
    m_repaired.clear();
}

void FrmDisplay::ChangeTankit() { showGradedSheet(ui->web, &htmlSheet, txtTankit); }

void FrmDisplay::scrollWhenLoaded(std::function<int()> position)
{
    // The page is there already; its style sheet may still move it, so the
    // scroll is made again once the page has loaded.
    ui->web->page()->mainFrame()->setScrollBarValue(Qt::Vertical, position());
    m_scrollTo = std::move(position);
}

// ---- grading -------------------------------------------------------------------

void FrmDisplay::closeGradingBar()
{
    ui->Lnote->hide();
    ui->Nsoal->setText(QStringLiteral("1"));
}

void FrmDisplay::on_B_edit_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    const int row = ui->table2->currentRow();
    if (row < 0 || row >= listTankit.size()) {
        tell(kExamTitle, kMsgChooseSheet);
        return;
    }
    // A row found by the search is shown before it is graded.
    if (row != m_shownRow) {
        txtTankit = listTankit.at(row);
        showSheet(row);
        if (m_closing)
            return;
    }
    if (gradedByMarks(txtTankit)) {
        changeNoteSoal();
        return;
    }
    ui->Lnote->show();
    ui->Nsoal->setText(QStringLiteral("1"));
    ui->T_note_soal->setFocus();
}

void FrmDisplay::on_B_edraj_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    if (ui->Lnote->isHidden() || m_shownRow < 0)
        return;
    const std::optional<QString> mark = readMark(ui->T_note_soal->text());
    if (!mark) {
        tell(kExamTitle, kMsgNotANumberMark);
        ui->T_note_soal->selectAll();
        ui->T_note_soal->setFocus();
        return;
    }
    const int n = sheetQuestionCount(shownAnswers());
    const int k = readInt(ui->Nsoal->text());
    // Every question has its mark: another one would count in the marks
    // table and not on the sheet.
    const bool full = n > 0 && gradedByMarks(txtTankit) && marksOf(txtTankit).size() >= n;
    if (!full)
        txtTankit = withNextMark(txtTankit, *mark);
    showSheet(m_shownRow);
    if (m_closing)
        return;
    scrollWhenLoaded([this] {
        const QWebElementCollection marks =
            ui->web->page()->currentFrame()->findAllElements(QStringLiteral("#note2"));
        return marks.count() > 0 ? elementY(marks.last()) : 0;
    });
    if (full || n < k + 1) {
        askSave();
        return;
    }
    ui->Nsoal->setText(QString::number(k + 1));
    ui->T_note_soal->clear();
    ui->T_note_soal->setFocus();
}

void FrmDisplay::on_T_note_soal_returnPressed() { on_B_edraj_clicked(); }

void FrmDisplay::changeNoteSoal()
{
    const QStringList marks = marksOf(txtTankit);
    const std::optional<QString> asked = askText(
        QStringLiteral("إدخال "), QStringLiteral("أدخل رقم السؤال المراد تعديله :"), QString());
    if (!asked || m_closing)
        return;
    const std::optional<QString> number = readMark(*asked);
    int q = 0;
    if (!number || !readInt(*number, &q) || q < 1 || q > marks.size()) {
        tell(kExamTitle, kMsgNoSuchMark);
        return;
    }
    const std::optional<QString> typed =
        askText(QStringLiteral("إدخال "), QStringLiteral("عدل نقظة السؤال رقم : ") + QString::number(q),
                marks.at(q - 1));
    if (!typed || m_closing)
        return;
    const std::optional<QString> mark = readMark(*typed);
    if (!mark) {
        tell(kExamTitle, kMsgNotANumberMark);
        return;
    }
    txtTankit = *withMark(txtTankit, q, *mark);
    showSheet(m_shownRow);
    if (m_closing)
        return;
    scrollWhenLoaded([this, q] {
        if (q < 2)
            return 200;
        const QWebElementCollection marks =
            ui->web->page()->currentFrame()->findAllElements(QStringLiteral("#note2"));
        return (q - 2 < marks.count() ? elementY(marks.at(q - 2)) : 0) + 28;
    });
    askSave();
}

void FrmDisplay::on_B_edraj_total_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    const std::optional<QString> asked =
        askText(QStringLiteral("إدخال المجموع"), QStringLiteral("أدخل الإجمالي :"), QString());
    if (!asked || m_closing)
        return;
    const std::optional<QString> number = readMark(*asked);
    const float total = number ? readFloat(*number) : 0.0f;
    if (total <= 0.0f)
        return;
    txtTankit = totalGrading(total);
    // The total replaces the marks entered so far.
    closeGradingBar();
    if (m_shownRow < 0)
        return;
    showSheet(m_shownRow);
    if (m_closing)
        return;
    askSave();
}

void FrmDisplay::on_B_del_note_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    const int row = ui->table2->currentRow();
    if (row < 0 || row >= listTankit.size())
        return;
    if (row != m_shownRow) {
        txtTankit = listTankit.at(row);
        showSheet(row);
        if (m_closing)
            return;
    }
    if (MsgBox(kExamTitle, kAskDelete, QMessageBox::Information, QMessageBox::Yes,
               QMessageBox::No)
        == QMessageBox::Yes) {
        txtTankit.clear();
        SaveTankit(m_shownRow, idSheet, txtTankit);
    }
    if (!m_closing)
        showSheet(m_shownRow);
}

void FrmDisplay::askSave()
{
    if (m_closing || m_shownRow < 0)
        return;
    if (MsgBox(kExamTitle, kAskSave, QMessageBox::Information, QMessageBox::Yes, QMessageBox::No)
        == QMessageBox::Yes)
        SaveTankit(m_shownRow, idSheet, txtTankit);
}

bool FrmDisplay::SaveTankit(int row, const QString &sheetId, const QString &grading)
{
    closeGradingBar();
    const FormQuery query =
        gradingQuery(Url_php, id_user, sheetId, grading, grpVelmar, admin, pwd_admin);
    openWaitBox(kWaitSave);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        tell(kMsgTitle, refusedAddressOr(reply, kMsgConnection));
        closeWaitBox();
        return false;
    }
    if (!replyStored(reply.payload())) {
        tell(kMsgTitle, kMsgEmptyReply);
        closeWaitBox();
        return false;
    }
    // The saved grading goes to the sheet it was posted for.
    const QTableWidgetItem *item = ui->table2->item(row, SheetId);
    if (row >= 0 && row < listTankit.size() && item && item->text() == sheetId)
        listTankit[row] = grading;
    closeWaitBox();
    return true;
}

// ---- teacher -------------------------------------------------------------------

void FrmDisplay::on_B_ostad_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    const int r = ui->table1->currentRow();
    if (r < 0) {
        if (!m_closing)
            MsgBox(kExamTitle, kMsgChooseExamOstad, QMessageBox::Information, QMessageBox::Yes,
                   QMessageBox::No);
        return;
    }
    const ExamDescriptor d = readExamDescriptor(listImtihan.value(r));
    const std::optional<QString> name =
        askText(QStringLiteral("تغيير الأستاذ"), QStringLiteral("أدخل إسم الأستاذ :"), d.teacher);
    if (!name || m_closing || name->trimmed().isEmpty())
        return;
    if (MsgBox(kExamTitle, kAskOstad + d.title, QMessageBox::Information, QMessageBox::Yes,
               QMessageBox::No)
        == QMessageBox::No)
        return;
    if (!m_closing)
        ChangeOstad(*name);
}

void FrmDisplay::ChangeOstad(const QString &teacher)
{
    const int r = ui->table1->currentRow();
    if (r < 0 || r >= listImtihan.size())
        return;
    const QTableWidgetItem *idItem = ui->table1->item(r, ExamId);
    const QString examId = idItem ? idItem->text() : QString();
    const FormQuery query =
        teacherQuery(Url_php, id_user, examId, teacher, grpVelmar, admin, pwd_admin);
    openWaitBox(kWaitOstad);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        tell(kMsgTitle, refusedAddressOr(reply, kMsgConnection));
        closeWaitBox();
        return;
    }
    switch (readTeacherReply(reply.payload())) {
    case TeacherReply::Stored:
        listImtihan[r] = withTeacher(listImtihan.at(r), teacher);
        if (QTableWidgetItem *heading = ui->table1->item(r, ExamHeading)) {
            const ExamDescriptor d = readExamDescriptor(listImtihan.at(r));
            heading->setText(examRowHeading(d));
            heading->setData(kDrawnTextRole, examRowHeading(d, HeadingForm::Widget));
        }
        break;
    case TeacherReply::NoOstad:
        tell(kMsgTitle, kMsgBadOstad);
        break;
    case TeacherReply::Refused:
        tell(kMsgTitle, kMsgNoRightOstad);
        break;
    case TeacherReply::Failed:
        tell(kMsgTitle, kMsgEmptyReply);
        break;
    }
    closeWaitBox();
}

// ---- repair --------------------------------------------------------------------

QString FrmDisplay::ChangeError(const QString &damaged)
{
    const FormQuery query = examTextQuery(Url_php, id_user, idImtihan);
    openWaitBox(kWaitLists);
    const ExamReply reply = postExamCommand(query);
    if (!reply.ok()) {
        tell(kMsgTitle, refusedAddressOr(reply, kMsgConnection));
        closeWaitBox();
        return QString();
    }
    const QString payload = reply.payload();
    if (payload.isEmpty()) {
        tell(kMsgTitle, kMsgEmptyReply);
        closeWaitBox();
        return QString();
    }
    closeWaitBox();
    return repairAnswers(damaged, payload);
}

// ---- marks table, menus, printing, search ---------------------------------------

QString FrmDisplay::ExTable() const
{
    QVector<MarksRow> rows;
    rows.reserve(ui->table2->rowCount());
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem *item = ui->table2->item(row, column);
        return item ? item->data(Qt::DisplayRole).toString() : QString();
    };
    for (int i = 0; i < ui->table2->rowCount(); ++i)
        rows.append({cell(i, SheetName), cell(i, SheetMail), cell(i, SheetTime), cell(i, SheetId),
                     listTankit.value(i)});
    return marksTable(rows);
}

QString FrmDisplay::marksPageHtml() const
{
    return marksPage(ExTable(), m_sheetsTitleHtml);
}

void FrmDisplay::on_table2_customContextMenuRequested(const QPoint &pos)
{
    if (ui->table2->rowCount() == 0 || !mayStart())
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (ui->table2->currentRow() >= 0) {
        menu->setLayoutDirection(Qt::RightToLeft);
        static const char *const copyTexts[SheetColumns] = {"نسخ الإسم", "نسخ البريد",
                                                            "نسخ التوقيت", "نسخ الرقم"};
        const int column = qBound(0, ui->table2->currentColumn(), SheetColumns - 1);
        actCopy->setText(QString::fromUtf8(copyTexts[column]));
        menu->addAction(actCopy);
        menu->addSeparator();
    }
    menu->addAction(actDisplay);
    menu->addAction(actPdf);
    menu->addAction(actCopy2);
    menu->popup(ui->table2->viewport()->mapToGlobal(pos));
}

void FrmDisplay::on_table1_customContextMenuRequested(const QPoint &pos)
{
    if (ui->table1->rowCount() == 0 || ui->table1->currentRow() < 0 || !mayStart())
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(actDisplay2);
    menu->popup(ui->table1->viewport()->mapToGlobal(pos));
}

void FrmDisplay::menucopy()
{
    const QTableWidgetItem *item =
        ui->table2->item(ui->table2->currentRow(), ui->table2->currentColumn());
    if (item)
        QApplication::clipboard()->setText(item->data(Qt::DisplayRole).toString(),
                                           QClipboard::Clipboard);
}

void FrmDisplay::menudisplay()
{
    if (!mayStart())
        return;
    m_scrollTo = nullptr;
    ui->web->setHtml(marksPageHtml(), QUrl());
}

void FrmDisplay::menucopy2()
{
    const QString table = ExTable();
    const QString html = marksClipboardHtml(table, m_sheetsTitleHtml);
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    auto *mime = new QMimeData;
    if (const QMimeData *left = clipboard->mimeData(QClipboard::Clipboard)) {
        for (const QString &format : left->formats())
            mime->setData(format, left->data(format));
    }
    mime->setHtml(html);
    mime->setText(marksClipboardText(table));
    clipboard->setMimeData(mime, QClipboard::Clipboard);
}

void FrmDisplay::menupdf()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    QWebView view;
    view.setHtml(withStyleSheetsInside(marksPageHtml()), QUrl());
    webprint::waitLoaded(&view);
    if (m_closing)
        return;
    savePagePdf(this, &view, QStringLiteral("التنقيط_"), kPdfCaption);
}

void FrmDisplay::menudisplay2()
{
    if (!mayStart())
        return;
    const int r = ui->table1->currentRow();
    if (r < 0 || r >= listImtihan.size())
        return;
    const ExamDescriptor d = readExamDescriptor(listImtihan.at(r));
    QString page = ExtracImtihan(d.examText);
    page = fillSlot(page, QStringLiteral("userinfo"),
                    QStringLiteral("الاسم :<br /><br />البريد:<br />"));
    page = fillSlot(page, QStringLiteral("velmarinfo"), labelHtml(nameVelmar));
    page = fillSlot(page, QStringLiteral("mada"),
                    headingHtml(d.title) + QStringLiteral("<br />الفوح :") + headingHtml(d.cohort)
                        + QStringLiteral(" - الفصل : ") + headingHtml(d.classNo));
    page = fillSlot(page, QStringLiteral("total"), QString());
    m_scrollTo = nullptr;
    ui->web->setHtml(page, QUrl());
    ui->web->page()->mainFrame()->setScrollBarValue(Qt::Vertical, 0);
}

void FrmDisplay::on_B_PDF_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    savePagePdf(this, ui->web, QStringLiteral("تقرير_الامتحان_"), kPdfCaption);
}

void FrmDisplay::on_B_praint_clicked()
{
    if (!mayStart())
        return;
    DisplayBusy busy(this);
    webprint::waitLoaded(ui->web);
    if (m_closing)
        return;
    previewPagePrint(this, ui->web, [this](QPrinter *printer) { printPreview(printer); });
}

void FrmDisplay::printPreview(QPrinter *printer) { printShownPage(ui->web, printer); }

void FrmDisplay::on_B_cherch_clicked()
{
    if (!mayStart())
        return;
    QVector<QStringList> rows;
    rows.reserve(ui->table2->rowCount());
    for (int i = 0; i < ui->table2->rowCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < SheetColumns; ++c) {
            const QTableWidgetItem *item = ui->table2->item(i, c);
            cells << (item ? item->data(Qt::DisplayRole).toString() : QString());
        }
        rows << cells;
    }
    const int row = findRow(rows, ui->table2->currentRow(), ui->T_chrch->text());
    if (row < 0)
        return;
    // The row becomes current as a whole, so the next search goes on after it.
    ui->table2->setCurrentCell(row, qMax(0, ui->table2->currentColumn()));
    ui->table2->scrollToItem(ui->table2->item(row, 0));
}

// ---- window --------------------------------------------------------------------

void FrmDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ui->table1->setColumnWidth(ExamId, 40);
    ui->table1->setColumnWidth(ExamHeading, ui->table1->width() - 170);
    ui->table1->setColumnWidth(ExamDate, 110);
}

void FrmDisplay::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closing)
        return;
    m_closing = true;
    if (frmdisplay == this)
        frmdisplay = nullptr;
    if (frmentre)
        frmentre->show();
    if (m_busy > 0) {
        // The waiting code still runs on this window: its post ends now, and
        // the window goes once that code has returned.
        if (reply_isRunning) {
            reply_isRunning = false;
            if (replyweb)
                replyweb->close();
        }
        return;
    }
    finishClose();
}

void FrmDisplay::finishClose() { deleteLater(); }
