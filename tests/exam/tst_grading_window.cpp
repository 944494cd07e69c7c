// The grading window against the local institute: its lists, grading
// question by question and by a total, changing and deleting a grading, the
// search while grading, the teacher change with each reply, the rebuild of a
// damaged sheet, the marks table and its outlets, PDF files read back, and a
// window that is asked again or closed while it waits.
#include "common/hooks.h"
#include "core/program.h"
#include "examtest.h"
#include "drawncells.h"
#include "grading_window.h"
#include "support/institute.h"
#include "support/pdftext.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>
#include <QtTest>

using namespace examtest;

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kFiqhText = QStringLiteral("3|Q1|1|-1|Q2|2|2|A|B|Q3|3|2|C|D");
const QString kAmina = QStringLiteral("3<:>Q1<:>1<:>first answer<:>Q2<:>2<:>2<:>[on]A<:>[no]B"
                                      "<:>Q3<:>3<:>2<:>[no]C<:>[on]D");
const QString kYoussef = QStringLiteral("3<:>Q1<:>1<:>second<:>Q2<:>2<:>2<:>[on]A<:>[on]B"
                                        "<:>Q3<:>3<:>2<:>[on]C<:>[no]D");
const QString kNadia = QStringLiteral("3<:>Q1<:>1<:>third<:>Q2<:>2<:>2<:>[no]A<:>[no]B"
                                      "<:>Q3<:>3<:>2<:>[on]C<:>[no]D");
const QString kFailedLine = QStringLiteral("فشل الاتصال لانقطاع الخط حاول من جديد    ");
const QString kSomethingWrong = QStringLiteral("حدث خلل ما الرجاء المحاولة من جديد    ");
const QString kMarkOpen = u("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>");

// Every kind of question, in Arabic and in Latin letters: answer boxes without
// and with a limit, several of many, one of many.
const QString kRichExam = u("4|ما هو الوضوء|1|-1|Describe the prayer|1|40|اختر أركان الصلاة|2|3|"
                            "القيام|الركوع|Sujud|Pick one answer|3|2|نعم|Never");
// Its sheet: both boxes written, two of three ticked, the second of two chosen.
const QString kRichSheet = u("4<:>ما هو الوضوء<:>1<:>طهارة بالماء<:>Describe the prayer<:>1<:>"
                             "standing and bowing<:>اختر أركان الصلاة<:>2<:>3<:>[on]القيام<:>"
                             "[no]الركوع<:>[on]Sujud<:>Pick one answer<:>3<:>2<:>[no]نعم<:>[on]Never");

QJsonObject sheet(int id, int user, const QString &answers, const QString &grading,
                  const QString &name = QString())
{
    QJsonObject s{{"id", id},           {"exam", 21},          {"id_user", user},
                  {"answers", answers}, {"grading", grading}, {"time", "2015-05-25 10:0" + QString::number(id % 10) + ":00"}};
    if (!name.isEmpty()) {
        s.insert("name", name);
        s.insert("mail", "nadia@example.org");
    }
    return s;
}

// The marks shown on a page, in order.
QStringList shownMarks(const QString &html)
{
    QStringList out;
    for (int at = html.indexOf(kMarkOpen); at >= 0; at = html.indexOf(kMarkOpen, at + 1)) {
        const int from = at + kMarkOpen.size();
        out << html.mid(from, html.indexOf("</span>", from) - from);
    }
    return out;
}

QString shownTotal(const QString &html)
{
    const QString open = u("المجموع : <span id='nokta' dir='rtl'> 20 / <span dir='ltr'>");
    const int at = html.indexOf(open);
    if (at < 0)
        return html.contains(u("لم يتم تصحيح هذا الامتحان بعد")) ? "<not graded>" : "<none>";
    const int from = at + open.size();
    return html.mid(from, html.indexOf("</span>", from) - from);
}

} // namespace

class TestGradingWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void windowAndLists();
    void teacherAccount();
    void titleOnceAPageShowedTheLabel();
    void listFailures_data();
    void listFailures();
    void listsFromARefusedEndpoint();
    void gradeThreeQuestionsAndSave();
    void marksAreNumbers();
    void noMarkBeyondTheQuestions();
    void gradingOverTwenty();
    void directTotal_data();
    void directTotal();
    void gradeByMarksAfterATotal();
    void changeOneMark_data();
    void changeOneMark();
    void deleteGrading_data();
    void deleteGrading();
    void saveFailures_data();
    void saveFailures();
    void saveGoesToItsSheet();
    void searchWhileGrading();
    void search();
    void teacherChange_data();
    void teacherChange();
    void teacherChangeWithoutExam();
    void repair();
    void repairedSheetGradedWhole();
    void repairFetchFails();
    void marksTableAndClipboard();
    void escapedEverywhere();
    void textsAsTyped();
    void menus();
    void archiveCopy();
    void archiveCopyHeadingIsText();
    void pdfExports();
    void everyPagePrinted_data();
    void everyPagePrinted();
    void pdfCancelledOrFailed();
    void printPreview();
    void secondRequestWhileOneWaits();
    void closedDuringItsRequest();
    void closedWhileItOpens();

private:
    FrmDisplay *open();
    // Lists the sheets of the exam in row examRow.
    void listSheets(int examRow = 0);
    QString url() const;
    QStringList bodies(const QString &cmd);
    QString body(const QString &cmd, const QString &items) const;
    QString storedGrading(const QString &sheetId);
    void fault(const QString &cmd, const QJsonObject &fault);
    QTableWidget *table1() { return displayChild<QTableWidget>("table1"); }
    QTableWidget *table2() { return displayChild<QTableWidget>("table2"); }
    bool barOpen() { return displayChild<QWidget>("Lnote")->isVisible(); }
    QString nsoal() { return displayChild<QLabel>("Nsoal")->text(); }
    void typeMark(const QString &mark);

    Institute m_institute;
    QTemporaryDir m_dir;
};

void TestGradingWindow::initTestCase()
{
    dressApplication(*qApp);
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    hooks::setClock([] { return QDateTime(QDate(2015, 5, 25), QTime(9, 30, 12)); });
}

void TestGradingWindow::cleanupTestCase()
{
    hooks::setClock({});
    hooks::setSaveFileHandler({});
}

void TestGradingWindow::init()
{
    reset();
    Url_php = url();
    signInAsSupervisor();
    nickname = QStringLiteral("admin");
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control(
        {{"command", "exam-day"},
         {"relative", "start"},
         {"exams", QJsonArray{QJsonObject{{"id", 21}, {"offset", -600}, {"minutes", 60},
                                          {"title", "Fiqh"}, {"fawj", 3}, {"fasl", 2},
                                          {"texts", QJsonArray{kFiqhText}}},
                              QJsonObject{{"id", 22}, {"offset", 600}, {"minutes", 30},
                                          {"title", "Sira"}, {"fawj", 1}, {"fasl", 1},
                                          {"ostad", "Leila Haddad"},
                                          {"texts", QJsonArray{"1|Q|1|5"}}}}}});
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{sheet(501, 1001, kAmina, ""),
                                               sheet(502, 1002, kYoussef, "0::5:4:3"),
                                               sheet(503, 1003, kNadia, "15::", "Nadia Ferhat")}}});
    m_institute.control({{"command", "clear-log"}});
}

void TestGradingWindow::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
    QCOMPARE(frmdisplay, nullptr);
    QCOMPARE(frmconn, nullptr);
    hooks::setSaveFileHandler({});
}

QString TestGradingWindow::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
}

QStringList TestGradingWindow::bodies(const QString &cmd)
{
    QStringList out;
    for (const QString &b : postBodies(m_institute.log())) {
        if (b.contains("&cmd=" + cmd + "&"))
            out << b;
    }
    return out;
}

QString TestGradingWindow::body(const QString &cmd, const QString &items) const
{
    return "?" + url() + "&cmd=" + cmd + "&id_user=7" + items;
}

QString TestGradingWindow::storedGrading(const QString &sheetId)
{
    const QJsonArray sheets = m_institute.control({{"command", "exam-sheets"}})["sheets"].toArray();
    for (const QJsonValue &s : sheets) {
        if (s["id"].toString() == sheetId)
            return s["grading"].toString();
    }
    return "<no sheet>";
}

void TestGradingWindow::fault(const QString &cmd, const QJsonObject &fault)
{
    QJsonObject command = fault;
    command.insert("command", "exam-fault");
    command.insert("cmd", cmd);
    m_institute.control(command);
}

FrmDisplay *TestGradingWindow::open()
{
    ModalAnswerer answers;
    auto *window = new FrmDisplay(nullptr);
    if (!answers.shown.isEmpty())
        qWarning("messages while opening: %s", qPrintable(answers.texts().join('|')));
    if (frmdisplay != window)
        qFatal("the window did not register itself");
    return window;
}

void TestGradingWindow::listSheets(int examRow)
{
    clickRow("table1", examRow);
    ModalAnswerer answers;
    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join('|')));
}

void TestGradingWindow::typeMark(const QString &mark)
{
    auto *edit = displayChild<QLineEdit>("T_note_soal");
    edit->setText(mark);
    QTest::keyClick(edit, Qt::Key_Return);
}

void TestGradingWindow::windowAndLists()
{
    nameVelmar = QStringLiteral("Velmar\nInstitute");
    FrmDisplay *w = open();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), u("عرض وتصحيح امتحانات : Velmar Institute"));
    QCOMPARE(w->layoutDirection(), Qt::RightToLeft);
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QCOMPARE(bodies("listimtihan"),
             QStringList{body("listimtihan", "&isgroup=no&user_admin=admin&pwd=admin123")});
    QCOMPARE(shownTitle("groupBox"), u(" قائمة الامتحانات عددها: 2 "));
    QCOMPARE(shownTitle("groupBox_2"), QString());
    QTableWidget *t1 = table1();
    QCOMPARE(t1->rowCount(), 2);
    QCOMPARE(t1->item(0, 0)->text(), u("Fiqh [ الفوج:3  الفصل:2 ]   للأستاذ : karim"));
    QCOMPARE(t1->item(0, 0)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
    QCOMPARE(t1->item(0, 2)->text(), QString("21"));
    QCOMPARE(t1->item(0, 2)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    QCOMPARE(t1->item(1, 0)->text(), u("Sira [ الفوج:1  الفصل:1 ]   للأستاذ : Leila Haddad"));
    QCOMPARE(w->listImtihan.at(0), "Fiqh<>3<>2<>karim<>" + kFiqhText);
    QCOMPARE(t1->columnWidth(0), t1->width() - 170);
    QCOMPARE(t1->columnWidth(1), 110);
    QVERIFY(displayChild<QPushButton>("B_display")->isVisible());
    QVERIFY(displayChild<QPushButton>("B_ostad")->isVisible());
    QVERIFY(!displayChild<QPushButton>("B_edit")->isVisible());
    QVERIFY(!barOpen());

    // Sheets asked with no exam chosen.
    ScriptedDialogs none;
    w->on_B_display_clicked();
    QCOMPARE(none.texts(), QStringList{u("لم تقم بتحديد الاختبار المراد جلبه      ")});
    QCOMPARE(none.answers.shown.first().title, u("برنامج الاختبار"));
    QVERIFY(bodies("imtihanuser").isEmpty());

    listSheets(0);
    QCOMPARE(bodies("imtihanuser"),
             QStringList{body("imtihanuser", "&id=21&isgroup=no&user_admin=admin&pwd=admin123")});
    QCOMPARE(w->idImtihan, QString("21"));
    QCOMPARE(shownTitle("groupBox_2"),
             u("  Fiqh [ الفوج:3  الفصل:2 ]  عدد التقارير: 3  "));
    QTableWidget *t2 = table2();
    QCOMPARE(t2->rowCount(), 3);
    QCOMPARE(t2->item(0, 0)->text(), QString("Amina Belkacem"));
    QCOMPARE(t2->item(0, 1)->text(), QString("Amina.Belkacem@Example.org"));
    QCOMPARE(t2->item(0, 2)->text(), QString("2015-05-25 10:01:00"));
    QCOMPARE(t2->item(2, 3)->text(), QString("503"));
    QCOMPARE(w->listSheets, (QStringList{kAmina, kYoussef, kNadia}));
    QCOMPARE(w->listTankit, (QStringList{"", "0::5:4:3", "15::"}));

    // An ungraded sheet: its page, no message.
    ScriptedDialogs shown;
    clickRow("table2", 0);
    QVERIFY(shown.answers.shown.isEmpty());
    QVERIFY(displayChild<QPushButton>("B_edit")->isVisible());
    QVERIFY(displayChild<QPushButton>("B_del_note")->isVisible());
    QCOMPARE(w->idSheet, QString("501"));
    QCOMPARE(w->nameStudent, QString("Amina Belkacem"));
    QCOMPARE(shownTotal(w->htmlSheet), QString("<not graded>"));
    // Each text in an isolate of its own direction.
    QVERIFY(w->htmlSheet.contains(u("<div id='userinfo'>الاسم : <span dir='auto'>Amina Belkacem</span>"
                                    "<br />البريد: <span dir='auto'>Amina.Belkacem@Example.org</span>"
                                    "</div>")));
    QVERIFY(w->htmlSheet.contains(u("<div id='mada'><span dir='auto'>Fiqh</span> [ الفوج:<span "
                                    "dir='auto'>3</span> الفصل:<span dir='auto'>2</span> ]</div>")));
    QVERIFY(w->htmlSheet.contains("<div id='velmarinfo'><span dir='auto'>Velmar</span><br /><span "
                                  "dir='auto'>Institute</span></div>"));
    QCOMPARE(nameVelmar, QString("Velmar<br />Institute"));
    QTRY_VERIFY(w->findChild<QWebView *>("web")->page()->mainFrame()->toPlainText().contains(
        "first answer"));

    // A graded one: its marks and total.
    clickRow("table2", 1);
    QCOMPARE(shownMarks(w->htmlSheet), (QStringList{"5", "4", "3"}));
    QCOMPARE(shownTotal(w->htmlSheet), QString("12"));
    clickRow("table2", 2);
    QCOMPARE(shownMarks(w->htmlSheet), QStringList());
    QCOMPARE(shownTotal(w->htmlSheet), QString("15"));
    QVERIFY(shown.answers.shown.isEmpty());

    // Another exam without sheets.
    ScriptedDialogs noSheets;
    clickRow("table1", 1);
    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    QCOMPARE(noSheets.texts(), QStringList{u("لم يتم إرسال أي اختبار  من طرف الطلبة بعد      ")});
    QCOMPARE(t2->rowCount(), 0);
    QVERIFY(w->htmlSheet.isEmpty());
    QVERIFY(!displayChild<QPushButton>("B_edit")->isVisible());
    QCOMPARE(w->shownRow(), -1);
}

void TestGradingWindow::titleOnceAPageShowedTheLabel()
{
    // Pages leave "<br />" in the label for its line breaks; the title reads
    // the label on one line all the same.
    nameVelmar = QStringLiteral("Velmar<br />Institute");
    FrmDisplay *w = open();
    QCOMPARE(w->windowTitle(), u("عرض وتصحيح امتحانات : Velmar Institute"));
}

void TestGradingWindow::teacherAccount()
{
    type_user = -101;
    nickname = QStringLiteral("karim");
    admin = QStringLiteral("karim");
    pwd_admin = QStringLiteral("karim123");
    FrmDisplay *w = open();
    QCOMPARE(shownTitle("groupBox"),
             u(" قائمة الامتحانات للأستاذ karim  عددها: 1 "));
    QCOMPARE(w->listImtihan.size(), 1);
    QCOMPARE(table1()->item(0, 2)->text(), QString("21"));
}

void TestGradingWindow::listFailures_data()
{
    QTest::addColumn<QString>("cmd");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("exams: status") << "listimtihan" << QJsonObject{{"status", 503}} << kFailedLine;
    QTest::newRow("exams: empty") << "listimtihan" << QJsonObject{{"raw", "debut||fin"}} << kSomethingWrong;
    QTest::newRow("exams: unframed") << "listimtihan" << QJsonObject{{"unframed", true}} << kSomethingWrong;
    QTest::newRow("exams: no admin") << "listimtihan" << QJsonObject{{"raw", "debut|No Admin|fin"}}
                                     << u("ليس لك صلاحيات للإطلاع على القائمة    ");
    QTest::newRow("exams: none") << "listimtihan" << QJsonObject{{"raw", "debut|0|fin"}}
                                 << u("لا يوجد أي إمتحان يخصك    ");
    QTest::newRow("sheets: status") << "imtihanuser" << QJsonObject{{"status", 500}} << kFailedLine;
    QTest::newRow("sheets: empty") << "imtihanuser" << QJsonObject{{"raw", "debut||fin"}} << kSomethingWrong;
    QTest::newRow("sheets: no admin") << "imtihanuser" << QJsonObject{{"raw", "debut|no admin|fin"}}
                                      << u("ليس لك صلاحيات للإطلاع على القائمة    ");
}

void TestGradingWindow::listFailures()
{
    QFETCH(QString, cmd);
    QFETCH(QJsonObject, fault);
    QFETCH(QString, message);
    if (cmd == "listimtihan")
        this->fault(cmd, fault);
    ScriptedDialogs dialogs;
    FrmDisplay *w = new FrmDisplay(nullptr);
    if (cmd == "listimtihan") {
        QCOMPARE(dialogs.texts(), QStringList{message});
        QCOMPARE(table1()->rowCount(), 0);
        QVERIFY(!displayChild<QPushButton>("B_display")->isVisible());
        return;
    }
    QVERIFY(dialogs.answers.shown.isEmpty());
    // The sheets listed before stay.
    m_institute.control({{"command", "exam-fault"}});
    listSheets(0);
    QCOMPARE(table2()->rowCount(), 3);
    this->fault(cmd, fault);
    ScriptedDialogs failing;
    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    QCOMPARE(failing.texts(), QStringList{message});
    QCOMPARE(table2()->rowCount(), 3);
    QCOMPARE(w->listSheets.size(), 3);
    QCOMPARE(shownTitle("groupBox_2"), QString());
}

// An endpoint with an empty user name before its host is refused: the lists
// are not asked for, and the supervisor is told why.
void TestGradingWindow::listsFromARefusedEndpoint()
{
    Url_php = QStringLiteral("http://@127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    ScriptedDialogs dialogs;
    new FrmDisplay(nullptr);
    QCOMPARE(dialogs.texts(), QStringList{kMsgBadAddress});
    QCOMPARE(table1()->rowCount(), 0);
    QCOMPARE(m_institute.log().size(), 0);
}

void TestGradingWindow::gradeThreeQuestionsAndSave()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    ScriptedDialogs dialogs;
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QVERIFY(barOpen());
    QCOMPARE(nsoal(), QString("1"));
    QCOMPARE(w->focusWidget(), displayChild<QWidget>("T_note_soal"));

    typeMark("2");
    QCOMPARE(w->txtTankit, QString("0::2"));
    QCOMPARE(nsoal(), QString("2"));
    QCOMPARE(displayChild<QLineEdit>("T_note_soal")->text(), QString());
    QCOMPARE(shownMarks(w->htmlSheet), QStringList{"2"});
    displayChild<QLineEdit>("T_note_soal")->setText("3.5");
    QTest::mouseClick(displayChild<QPushButton>("B_edraj"), Qt::LeftButton);
    QCOMPARE(w->txtTankit, QString("0::2:3.5"));
    QVERIFY(dialogs.answers.shown.isEmpty());
    QVERIFY(bodies("tankit").isEmpty());

    dialogs.press(QMessageBox::Yes);
    typeMark("1");
    // The save question right after the third mark.
    QCOMPARE(dialogs.texts(), QStringList{u("هل تريد حفظ التنقيط ؟      ")});
    QCOMPARE(dialogs.answers.shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(bodies("tankit"),
             QStringList{body("tankit", "&id=501&txt=0::2:3.5:1&isgroup=no&user_admin=admin"
                                        "&pwd=admin123")});
    QCOMPARE(storedGrading("501"), QString("0::2:3.5:1"));
    QCOMPARE(w->listTankit.at(0), QString("0::2:3.5:1"));
    QVERIFY(!barOpen());
    QCOMPARE(nsoal(), QString("1"));
    QCOMPARE(shownMarks(w->htmlSheet), (QStringList{"2", "3.5", "1"}));
    QCOMPARE(shownTotal(w->htmlSheet), QString("6.5"));
    // The page scrolls to the last mark.
    QWebFrame *frame = w->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("#note2").count(), 3);
    QTRY_VERIFY(frame->scrollBarValue(Qt::Vertical) > 0);

    // The marks show again when the row is clicked again.
    clickRow("table2", 1);
    clickRow("table2", 0);
    QCOMPARE(w->txtTankit, QString("0::2:3.5:1"));
}

void TestGradingWindow::marksAreNumbers()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    for (const QString &typed : {QString(), QString(" "), QString("a"), QString("2:3"),
                                 QString("2::")}) {
        ScriptedDialogs dialogs;
        typeMark(typed);
        QCOMPARE(dialogs.texts(), QStringList{u("النقطة يجب أن تكون عددا    ")});
        QCOMPARE(w->txtTankit, QString());
        QCOMPARE(nsoal(), QString("1"));
        QVERIFY(barOpen());
    }
    typeMark(u("٤"));
    QCOMPARE(w->txtTankit, QString("0::4"));
}

void TestGradingWindow::noMarkBeyondTheQuestions()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    typeMark("1");
    typeMark("2");
    ScriptedDialogs dialogs;
    dialogs.press(QMessageBox::No);
    typeMark("3");
    QCOMPARE(dialogs.texts().size(), 1);
    // Declined: the bar stays; a fourth mark is not added, the question comes again.
    QVERIFY(barOpen());
    dialogs.press(QMessageBox::Yes);
    typeMark("9");
    QCOMPARE(dialogs.texts().size(), 2);
    QCOMPARE(bodies("tankit").size(), 1);
    QVERIFY(bodies("tankit").first().contains("&txt=0::1:2:3&"));
    QCOMPARE(w->listTankit.at(0), QString("0::1:2:3"));
}

void TestGradingWindow::gradingOverTwenty()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    typeMark("10");
    ScriptedDialogs dialogs;
    typeMark("11");
    QCOMPARE(dialogs.texts(), QStringList{u("انتبه .. تجاوزت النقطة عشرون    ")});
    QCOMPARE(shownTotal(w->htmlSheet), QString("21"));
}

void TestGradingWindow::directTotal_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // "" when nothing changes
    QTest::newRow("fraction") << "12.5" << "12.5::";
    QTest::newRow("whole") << "15" << "15::";
    QTest::newRow("arabic digits") << u("١٤") << "14::";
    QTest::newRow("zero") << "0" << "";
    QTest::newRow("negative") << "-3" << "";
    QTest::newRow("word") << "abc" << "";
}

void TestGradingWindow::directTotal()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    typeMark("3"); // dropped by a total
    ScriptedDialogs dialogs;
    dialogs.type(typed);
    dialogs.press(QMessageBox::Yes);
    QTest::mouseClick(displayChild<QPushButton>("B_edraj_total"), Qt::LeftButton);
    QCOMPARE(dialogs.inputTitles, QStringList{u("إدخال المجموع")});
    QCOMPARE(dialogs.labels, QStringList{u("أدخل الإجمالي :")});
    if (stored.isEmpty()) {
        QVERIFY(dialogs.answers.shown.size() == 1); // the input dialog only
        QCOMPARE(w->txtTankit, QString("0::3"));
        QVERIFY(bodies("tankit").isEmpty());
        QVERIFY(barOpen());
        return;
    }
    QCOMPARE(dialogs.texts().last(), u("هل تريد حفظ التنقيط ؟      "));
    QCOMPARE(bodies("tankit"),
             QStringList{body("tankit", "&id=501&txt=" + stored
                                            + "&isgroup=no&user_admin=admin&pwd=admin123")});
    QCOMPARE(w->listTankit.at(0), stored);
    QCOMPARE(storedGrading("501"), stored);
    QCOMPARE(shownMarks(w->htmlSheet), QStringList());
    QCOMPARE(shownTotal(w->htmlSheet), stored.chopped(2));
    QVERIFY(!barOpen());
}

void TestGradingWindow::gradeByMarksAfterATotal()
{
    // Sheet 503 carries the total 15: marks entered for it make a grading of
    // their own, which the sheet and the marks table read alike.
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 2);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QVERIFY(barOpen());
    typeMark("4");
    QCOMPARE(w->txtTankit, QString("0::4"));
    QCOMPARE(shownTotal(w->htmlSheet), QString("4"));
    typeMark("5");
    ScriptedDialogs dialogs;
    dialogs.press(QMessageBox::Yes);
    typeMark("6");
    QCOMPARE(storedGrading("503"), QString("0::4:5:6"));
    QVERIFY(w->ExTable().endsWith("<:>503<:>15"));
}

void TestGradingWindow::changeOneMark_data()
{
    QTest::addColumn<QStringList>("typed"); // "<cancel>" cancels a dialog
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("posted"); // "" for no post
    QTest::newRow("second mark") << QStringList{"2", "7"} << "" << "0::5:7:3";
    QTest::newRow("first mark") << QStringList{" 1 ", "0.5"} << "" << "0::0.5:4:3";
    QTest::newRow("cancel the number") << QStringList{"<cancel>"} << "" << "";
    QTest::newRow("cancel the mark") << QStringList{"3", "<cancel>"} << "" << "";
    QTest::newRow("question 0") << QStringList{"0"} << u("لا توجد نقطة لهذا السؤال    ") << "";
    QTest::newRow("question 4") << QStringList{"4"} << u("لا توجد نقطة لهذا السؤال    ") << "";
    QTest::newRow("not a number") << QStringList{"two"} << u("لا توجد نقطة لهذا السؤال    ") << "";
    QTest::newRow("mark not a number") << QStringList{"2", ""} << u("النقطة يجب أن تكون عددا    ")
                                       << "";
}

void TestGradingWindow::changeOneMark()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, message);
    QFETCH(QString, posted);
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 1);
    ScriptedDialogs dialogs;
    for (const QString &t : typed) {
        if (t == "<cancel>")
            dialogs.cancel();
        else
            dialogs.type(t);
    }
    dialogs.press(QMessageBox::Yes);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QVERIFY(!barOpen());
    QCOMPARE(dialogs.labels.first(), u("أدخل رقم السؤال المراد تعديله :"));
    QCOMPARE(dialogs.inputTitles.first(), u("إدخال "));
    if (!message.isEmpty())
        QVERIFY(dialogs.texts().contains(message));
    if (posted.isEmpty()) {
        QVERIFY(bodies("tankit").isEmpty());
        QCOMPARE(w->txtTankit, QString("0::5:4:3"));
        return;
    }
    const int q = typed.first().trimmed().toInt();
    QCOMPARE(dialogs.labels.at(1), u("عدل نقظة السؤال رقم : ") + QString::number(q));
    QCOMPARE(dialogs.presets.at(1), QString("5:4:3").split(':').at(q - 1));
    QCOMPARE(dialogs.texts().last(), u("هل تريد حفظ التنقيط ؟      "));
    QCOMPARE(bodies("tankit"), QStringList{body("tankit", "&id=502&txt=" + posted
                                                              + "&isgroup=no&user_admin=admin"
                                                                "&pwd=admin123")});
    QCOMPARE(w->listTankit.at(1), posted);
}

void TestGradingWindow::deleteGrading_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("yes") << QMessageBox::Yes;
    QTest::newRow("no") << QMessageBox::No;
}

void TestGradingWindow::deleteGrading()
{
    QFETCH(QMessageBox::StandardButton, answer);
    FrmDisplay *w = open();
    listSheets(0);
    // No row: nothing at all.
    ScriptedDialogs nothing;
    w->on_B_del_note_clicked();
    QVERIFY(nothing.answers.shown.isEmpty());
    clickRow("table2", 1);
    ScriptedDialogs dialogs;
    dialogs.press(answer);
    QTest::mouseClick(displayChild<QPushButton>("B_del_note"), Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{u("هل تريد حذف التنقيط ؟      ")});
    if (answer == QMessageBox::No) {
        QVERIFY(bodies("tankit").isEmpty());
        QCOMPARE(shownTotal(w->htmlSheet), QString("12"));
        QCOMPARE(storedGrading("502"), QString("0::5:4:3"));
        return;
    }
    QCOMPARE(bodies("tankit"),
             QStringList{body("tankit", "&id=502&txt=&isgroup=no&user_admin=admin&pwd=admin123")});
    QCOMPARE(w->listTankit.at(1), QString());
    QCOMPARE(storedGrading("502"), QString());
    QCOMPARE(shownTotal(w->htmlSheet), QString("<not graded>"));
}

void TestGradingWindow::saveFailures_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("status") << QJsonObject{{"status", 503}} << kFailedLine;
    QTest::newRow("refused") << QJsonObject{{"raw", "debut|no admin|fin"}} << kSomethingWrong;
    QTest::newRow("empty") << QJsonObject{{"raw", "debut||fin"}} << kSomethingWrong;
}

void TestGradingWindow::saveFailures()
{
    QFETCH(QJsonObject, fault);
    QFETCH(QString, message);
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 1);
    this->fault("tankit", fault);
    ScriptedDialogs dialogs;
    dialogs.type("1");
    dialogs.type("9");
    dialogs.press(QMessageBox::Yes);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QCOMPARE(dialogs.texts().last(), message);
    // The change stays on the page, not in the list.
    QCOMPARE(w->txtTankit, QString("0::9:4:3"));
    QCOMPARE(w->listTankit.at(1), QString("0::5:4:3"));
    QCOMPARE(shownTotal(w->htmlSheet), QString("16"));
    m_institute.control({{"command", "exam-fault"}});
    clickRow("table2", 1);
    QCOMPARE(shownTotal(w->htmlSheet), QString("12"));
}

// Another row clicked while the save waits: the stored grading is the one
// of the sheet it was posted for, in that sheet's row.
void TestGradingWindow::saveGoesToItsSheet()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 1);
    fault("tankit", {{"silent", 2}});
    ScriptedDialogs dialogs;
    dialogs.type("1");
    dialogs.type("9");
    dialogs.press(QMessageBox::Yes);
    int rowDuring = -1;
    QTimer::singleShot(0, w, [&] {
        QTRY_COMPARE(bodies("tankit").size(), 1);
        clickRow("table2", 0);
        rowDuring = table2()->currentRow();
    });
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QCOMPARE(rowDuring, 0);
    QCOMPARE(dialogs.texts(), QStringList{u("هل تريد حفظ التنقيط ؟      ")});
    QVERIFY(bodies("tankit").first().contains("&id=502&txt=0::9:4:3&"));
    QCOMPARE(storedGrading("502"), QString("0::9:4:3"));
    QCOMPARE(w->listTankit, (QStringList{"", "0::9:4:3", "15::"}));
    m_institute.control({{"command", "exam-fault"}});
    clickRow("table2", 0);
    QCOMPARE(shownTotal(w->htmlSheet), QString("<not graded>"));
    clickRow("table2", 1);
    QCOMPARE(shownTotal(w->htmlSheet), QString("16"));
}

void TestGradingWindow::searchWhileGrading()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    typeMark("2");
    QCOMPARE(w->txtTankit, QString("0::2"));

    // The search selects another sheet: the grading bar closes and its marks
    // cannot reach that sheet.
    displayChild<QLineEdit>("T_chrch")->setText("Nadia");
    QTest::mouseClick(displayChild<QPushButton>("B_cherch"), Qt::LeftButton);
    QCOMPARE(table2()->currentRow(), 2);
    QVERIFY(!barOpen());
    QCOMPARE(w->shownRow(), 0);
    ScriptedDialogs dialogs;
    w->on_B_edraj_clicked();
    w->on_T_note_soal_returnPressed();
    QVERIFY(dialogs.answers.shown.isEmpty());
    QCOMPARE(w->txtTankit, QString("0::2"));

    // Grading now starts on the sheet found, which shows first.
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QCOMPARE(w->shownRow(), 2);
    QCOMPARE(w->idSheet, QString("503"));
    QCOMPARE(w->nameStudent, QString("Nadia Ferhat"));
    QVERIFY(barOpen());
    QCOMPARE(nsoal(), QString("1"));
    typeMark("1");
    typeMark("1");
    dialogs.press(QMessageBox::Yes);
    typeMark("1");
    QCOMPARE(bodies("tankit").size(), 1);
    QVERIFY(bodies("tankit").first().contains("&id=503&txt=0::1:1:1&"));
    QCOMPARE(storedGrading("503"), QString("0::1:1:1"));
    QCOMPARE(storedGrading("501"), QString());
    QCOMPARE(w->listTankit, (QStringList{"", "0::5:4:3", "0::1:1:1"}));

    // Deleting after a search deletes the sheet found, which shows first.
    displayChild<QLineEdit>("T_chrch")->setText("Youssef");
    w->on_B_cherch_clicked();
    QCOMPARE(table2()->currentRow(), 2); // not found: unchanged
    displayChild<QLineEdit>("T_chrch")->setText(u("يوسف"));
    w->on_B_cherch_clicked();
    QCOMPARE(table2()->currentRow(), 1);
    dialogs.press(QMessageBox::Yes);
    QTest::mouseClick(displayChild<QPushButton>("B_del_note"), Qt::LeftButton);
    QVERIFY(bodies("tankit").last().contains("&id=502&txt=&"));
    QCOMPARE(storedGrading("502"), QString());
    QCOMPARE(storedGrading("503"), QString("0::1:1:1"));
}

void TestGradingWindow::search()
{
    FrmDisplay *w = open();
    listSheets(0);
    QLineEdit *key = displayChild<QLineEdit>("T_chrch");
    const auto find = [&](const QString &text) {
        key->setText(text);
        w->on_B_cherch_clicked();
        return table2()->currentRow();
    };
    QCOMPARE(find("   "), -1);
    QCOMPARE(find("example.org"), 1);
    QCOMPARE(find("example.org"), 2);
    QCOMPARE(find("example.org"), 1); // after the last row, from the top
    QCOMPARE(find("503"), 2);
    QCOMPARE(find("503"), 2);
    QCOMPARE(find(" Ferhat"), 2);
    QCOMPARE(find("amina"), 2); // case-sensitive: no match
    QVERIFY(table2()->selectionModel()->isRowSelected(2, QModelIndex()));
    // Selecting shows no sheet.
    QVERIFY(w->htmlSheet.isEmpty());
}

void TestGradingWindow::teacherChange_data()
{
    QTest::addColumn<QString>("typed"); // "<cancel>" cancels
    QTest::addColumn<QMessageBox::StandardButton>("confirm");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<QString>("message"); // after the question
    QTest::addColumn<QString>("teacher"); // shown afterwards
    QTest::addColumn<bool>("posted");
    const QJsonObject none;
    QTest::newRow("stored") << " Leila Haddad " << QMessageBox::Yes << "admin" << none << ""
                            << " Leila Haddad " << true;
    QTest::newRow("no ostad") << "nobody" << QMessageBox::Yes << "admin" << none
                              << u("أخطأت في كتابة اسم الأستاذ    ") << "karim" << true;
    QTest::newRow("no admin") << "Leila Haddad" << QMessageBox::Yes << "karim" << none
                              << u("ليس لك الصلاحيات للقيام بهذا الأمر    ") << "karim" << true;
    QTest::newRow("other reply") << "Leila Haddad" << QMessageBox::Yes << "admin"
                                 << QJsonObject{{"raw", "debut|oops|fin"}} << kSomethingWrong << "karim"
                                 << true;
    QTest::newRow("status") << "Leila Haddad" << QMessageBox::Yes << "admin"
                            << QJsonObject{{"status", 503}} << kFailedLine << "karim" << true;
    QTest::newRow("answered no") << "Leila Haddad" << QMessageBox::No << "admin" << none << ""
                                 << "karim" << false;
    QTest::newRow("blank name") << "   " << QMessageBox::Yes << "admin" << none << "" << "karim"
                                << false;
    QTest::newRow("cancelled") << "<cancel>" << QMessageBox::Yes << "admin" << none << ""
                               << "karim" << false;
}

void TestGradingWindow::teacherChange()
{
    QFETCH(QString, typed);
    QFETCH(QMessageBox::StandardButton, confirm);
    QFETCH(QString, account);
    QFETCH(QJsonObject, fault);
    QFETCH(QString, message);
    QFETCH(QString, teacher);
    QFETCH(bool, posted);
    admin = account;
    pwd_admin = account + "123";
    FrmDisplay *w = open();
    clickRow("table1", 0);
    if (!fault.isEmpty())
        this->fault("changeostad", fault);
    ScriptedDialogs dialogs;
    if (typed == "<cancel>")
        dialogs.cancel();
    else
        dialogs.type(typed);
    dialogs.press(confirm);
    QTest::mouseClick(displayChild<QPushButton>("B_ostad"), Qt::LeftButton);
    QCOMPARE(dialogs.inputTitles, QStringList{u("تغيير الأستاذ")});
    QCOMPARE(dialogs.labels, QStringList{u("أدخل إسم الأستاذ :")});
    QCOMPARE(dialogs.presets, QStringList{"karim"});
    QStringList expected;
    if (typed != "<cancel>" && !typed.trimmed().isEmpty())
        expected << u("هل تريد تغيير الأستاذ للمادة ؟      \nFiqh");
    if (!message.isEmpty())
        expected << message;
    QCOMPARE(dialogs.texts(), expected);
    QCOMPARE(bodies("changeostad").size(), posted ? 1 : 0);
    if (posted)
        QCOMPARE(bodies("changeostad").first(),
                 body("changeostad", "&id=21&ostad=" + QUrl::toPercentEncoding(typed)
                                         + "&isgroup=no&user_admin=" + account + "&pwd=" + account
                                         + "123"));
    QCOMPARE(table1()->item(0, 0)->text(),
             u("Fiqh [ الفوج:3  الفصل:2 ]   للأستاذ : ") + teacher);
    QCOMPARE(w->listImtihan.at(0), "Fiqh<>3<>2<>" + teacher + "<>" + kFiqhText);
    // A reply word in place of the payload does not stop the endpoint.
    if (fault.isEmpty())
        QCOMPARE(m_institute.control({{"command", "exam-teachers"}})["teachers"].toObject().size(),
                 message.isEmpty() && posted ? 1 : 0);
}

void TestGradingWindow::teacherChangeWithoutExam()
{
    FrmDisplay *w = open();
    for (QMessageBox::StandardButton button : {QMessageBox::Yes, QMessageBox::No}) {
        ScriptedDialogs dialogs;
        dialogs.press(button);
        w->on_B_ostad_clicked();
        QCOMPARE(dialogs.texts(), QStringList{u("لم تحدد الإمتحان المراد تغيير الأستاذ له      ")});
        QCOMPARE(dialogs.answers.shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QVERIFY(bodies("changeostad").isEmpty());
}

void TestGradingWindow::repair()
{
    // A sheet stored in a form the display cannot read.
    const QString damaged = "3:Q1:::my own words:Q2:::[on]B:Q3:::[on]C";
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{sheet(501, 1001, damaged, "0::1:2:3")}}});
    FrmDisplay *w = open();
    listSheets(0);
    ScriptedDialogs dialogs;
    clickRow("table2", 0);
    QCOMPARE(dialogs.texts(), QStringList{u("الامتحان معطوب    ")});
    QCOMPARE(bodies("getimt"), QStringList{body("getimt", "&id=21")});
    QCOMPARE(shownMarks(w->htmlSheet), (QStringList{"1", "2", "3"}));
    QVERIFY(w->htmlSheet.contains("<span dir='auto'>my own words</span>\n"));
    QVERIFY(w->htmlSheet.contains("<input disabled checked type=checkbox><span dir='auto'>B</span><BR>\n"));
    QVERIFY(w->htmlSheet.contains("<input checked  type=radio name=R1><span dir='auto'>C</span><BR>\n"));
    // The stored sheet is not changed.
    QCOMPARE(w->listSheets.first(), damaged);
    // A changed mark shows the sheet again with the same rebuild.
    dialogs.type("2");
    dialogs.type("5");
    dialogs.press(QMessageBox::No);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QCOMPARE(dialogs.texts(), (QStringList{u("الامتحان معطوب    "), u("هل تريد حفظ التنقيط ؟      ")}));
    QCOMPARE(bodies("getimt").size(), 1);
    QCOMPARE(shownMarks(w->htmlSheet), (QStringList{"1", "5", "3"}));
    // Chosen again, it is warned about and rebuilt again.
    clickRow("table2", 0);
    QCOMPARE(dialogs.texts().size(), 3);
    QCOMPARE(dialogs.texts().last(), u("الامتحان معطوب    "));
    QCOMPARE(bodies("getimt").size(), 2);
    QCOMPARE(shownMarks(w->htmlSheet), (QStringList{"1", "2", "3"}));
}

void TestGradingWindow::repairedSheetGradedWhole()
{
    // Its own first field is no question count; the rebuilt sheet has three.
    const QString damaged = "3:Q1:::my own words:Q2:::[on]B:Q3:::[on]C";
    const QString warning = u("الامتحان معطوب    ");
    const QString askSave = u("هل تريد حفظ التنقيط ؟      ");
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{sheet(501, 1001, damaged, ""),
                                               sheet(502, 1002, kYoussef, "0::1:1:1")}}});
    FrmDisplay *w = open();
    listSheets(0);
    ScriptedDialogs dialogs;
    clickRow("table2", 0);
    QCOMPARE(dialogs.texts(), QStringList{warning});
    QCOMPARE(bodies("getimt").size(), 1);
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QVERIFY(barOpen());

    // Every question's mark is asked for, the sheet shown after each.
    const QStringList marks{"3", "4", "5"};
    dialogs.press(QMessageBox::Yes);
    for (int q = 0; q < marks.size(); ++q) {
        QCOMPARE(nsoal(), QString::number(q + 1));
        QVERIFY2(bodies("tankit").isEmpty(), qPrintable(dialogs.texts().join('|')));
        typeMark(marks.at(q));
        QCOMPARE(shownMarks(w->htmlSheet), marks.mid(0, q + 1));
    }
    QCOMPARE(dialogs.texts(), (QStringList{warning, askSave}));
    QCOMPARE(bodies("getimt").size(), 1);
    QCOMPARE(bodies("tankit"),
             QStringList{body("tankit", "&id=501&txt=0::3:4:5&isgroup=no&user_admin=admin"
                                        "&pwd=admin123")});
    QCOMPARE(storedGrading("501"), QString("0::3:4:5"));
    QCOMPARE(w->listTankit.at(0), QString("0::3:4:5"));
    QCOMPARE(shownTotal(w->htmlSheet), QString("12"));
    QVERIFY(!barOpen());

    // The marks table and its page give the whole total.
    QVERIFY2(w->ExTable().contains("<:>501<:>12<::>"), qPrintable(w->ExTable()));
    w->menudisplay();
    QWebFrame *frame = w->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("#note").count(), 2);
    QCOMPARE(frame->findAllElements("#note").at(0).toPlainText(), QString("12"));

    // Declining a deletion shows it again, from the same rebuild.
    dialogs.press(QMessageBox::No);
    QTest::mouseClick(displayChild<QPushButton>("B_del_note"), Qt::LeftButton);
    QCOMPARE(dialogs.texts(), (QStringList{warning, askSave, u("هل تريد حذف التنقيط ؟      ")}));
    QCOMPARE(bodies("getimt").size(), 1);
    QCOMPARE(shownMarks(w->htmlSheet), marks);

    // Another sheet, then this one again: shown anew, warned and fetched once.
    clickRow("table2", 1);
    clickRow("table2", 0);
    QCOMPARE(dialogs.texts().size(), 4);
    QCOMPARE(dialogs.texts().last(), warning);
    QCOMPARE(bodies("getimt").size(), 2);
    QCOMPARE(shownMarks(w->htmlSheet), marks);

    // The same when the search brings the other sheet and then this one on show.
    QLineEdit *key = displayChild<QLineEdit>("T_chrch");
    key->setText("502");
    w->on_B_cherch_clicked();
    dialogs.press(QMessageBox::No);
    QTest::mouseClick(displayChild<QPushButton>("B_del_note"), Qt::LeftButton);
    QCOMPARE(w->idSheet, QString("502"));
    key->setText("501");
    w->on_B_cherch_clicked();
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton); // cancelled
    QCOMPARE(w->idSheet, QString("501"));
    QCOMPARE(dialogs.texts().size(), 6);
    QCOMPARE(dialogs.texts().last(), warning);
    QCOMPARE(bodies("getimt").size(), 3);
    QCOMPARE(shownMarks(w->htmlSheet), marks);
}

void TestGradingWindow::repairFetchFails()
{
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{sheet(501, 1001, "garbage", "")}}});
    FrmDisplay *w = open();
    listSheets(0);
    fault("getimt", {{"status", 503}});
    ScriptedDialogs dialogs;
    clickRow("table2", 0);
    QCOMPARE(dialogs.texts(), (QStringList{u("الامتحان معطوب    "), kFailedLine}));
    QVERIFY(w->htmlSheet.isEmpty());
    QCOMPARE(bodies("getimt").size(), 1);
    // Graded as it is, it is not fetched again until it is chosen again.
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    dialogs.press(QMessageBox::No);
    typeMark("2");
    QCOMPARE(dialogs.texts(), (QStringList{u("الامتحان معطوب    "), kFailedLine,
                                           u("هل تريد حفظ التنقيط ؟      ")}));
    QCOMPARE(bodies("getimt").size(), 1);
    fault("getimt", {{"raw", "debut||fin"}});
    ScriptedDialogs again;
    clickRow("table2", 0);
    QCOMPARE(again.texts(), (QStringList{u("الامتحان معطوب    "), kSomethingWrong}));
    QCOMPARE(frmconn, nullptr);
}

void TestGradingWindow::marksTableAndClipboard()
{
    FrmDisplay *w = open();
    listSheets(0);
    QCOMPARE(w->ExTable(),
             QString("Amina Belkacem<:>Amina.Belkacem@Example.org<:>2015-05-25 10:01:00<:>501<:>"
                     "<::>") + u("يوسف العلوي")
                 + "<:>youssef.alaoui@example.org<:>2015-05-25 10:02:00<:>502<:>12"
                   "<::>Nadia Ferhat<:>nadia@example.org<:>2015-05-25 10:03:00<:>503<:>15");
    clickRow("table2", 0);
    w->menucopy2();
    const QMimeData *mime = QApplication::clipboard()->mimeData(QClipboard::Clipboard);
    QVERIFY(mime);
    QCOMPARE(mime->text(),
             QString("Amina Belkacem\tAmina.Belkacem@Example.org\t2015-05-25 10:01:00\t501\t\n")
                 + u("يوسف العلوي")
                 + "\tyoussef.alaoui@example.org\t2015-05-25 10:02:00\t502\t12\n"
                   "Nadia Ferhat\tnadia@example.org\t2015-05-25 10:03:00\t503\t15");
    const QString html = mime->html();
    QVERIFY(html.contains(u("<div align='center'><strong><span dir='auto'>Fiqh</span> [ الفوج:<span "
                            "dir='auto'>3</span> الفصل:<span dir='auto'>2</span> ] عدد التقارير: "
                            "<span dir='auto'>3</span></strong></div>")));
    QVERIFY(html.contains("    <td><span dir='auto'>Nadia Ferhat</span></td>\n"));
    QVERIFY(html.contains("  <tr align='center' bgcolor='#99CCFF'>\n"));
    QVERIFY(html.contains("    <td id='note'><span dir='auto'>15</span></td>\n"));
    // The table alone in a plain document: nothing of the page that only the
    // program can read or run.
    QCOMPARE(mime->formats(), (QStringList{"text/html", "text/plain"}));
    for (const char *part : {"<script", "qrc:", "<link", "<style", "stylemac.css"})
        QVERIFY2(!html.contains(QLatin1String(part)), part);
    QVERIFY(html.contains("charset=utf-8"));
    QWebPage pasted;
    pasted.mainFrame()->setHtml(html);
    const QWebElementCollection tables = pasted.mainFrame()->findAllElements("table");
    QCOMPARE(tables.count(), 1);
    QCOMPARE(tables.at(0).attribute("border"), QString("1"));
    QStringList rows;
    for (const QWebElement &tr : tables.at(0).findAll("tr")) {
        QStringList cells;
        for (const QWebElement &td : tr.findAll("td"))
            cells << td.toPlainText();
        rows << cells.join('|');
    }
    QCOMPARE(rows, (QStringList{u("الاسم|البريد|التاريخ|رقمه|النقطة"),
                                "Amina Belkacem|Amina.Belkacem@Example.org|2015-05-25 10:01:00|501|",
                                u("يوسف العلوي") + "|youssef.alaoui@example.org|2015-05-25 10:02:00|502|12",
                                "Nadia Ferhat|nadia@example.org|2015-05-25 10:03:00|503|15"}));

    // On screen; the sheet's state is kept.
    const QString sheetHtml = w->htmlSheet;
    w->menudisplay();
    QTRY_VERIFY(w->findChild<QWebView *>("web")->page()->mainFrame()->toPlainText().contains(
        "Nadia Ferhat"));
    QCOMPARE(w->htmlSheet, sheetHtml);

    // One cell.
    table2()->setCurrentCell(2, 1);
    w->menucopy();
    QCOMPARE(QApplication::clipboard()->text(), QString("nadia@example.org"));
}

void TestGradingWindow::escapedEverywhere()
{
    const QString name = "<b>Zaid</b> & <script>x()</script>";
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{sheet(501, 1001, "1<:><i>Q</i><:>1<:><u>a</u>",
                                                     "0::2", name)}}});
    FrmDisplay *w = open();
    listSheets(0);
    QCOMPARE(table2()->item(0, 0)->text(), name);
    clickRow("table2", 0);
    const QString escaped = "&lt;b&gt;Zaid&lt;/b&gt; &amp; &lt;script&gt;x()&lt;/script&gt;";
    QVERIFY(w->htmlSheet.contains(u("الاسم : <span dir='auto'>") + escaped + "</span><br />"));
    QVERIFY(!w->htmlSheet.contains("<b>Zaid"));
    QVERIFY(!w->htmlSheet.contains("<i>Q</i>"));
    QVERIFY(!w->htmlSheet.contains("<u>a</u>"));
    w->menucopy2();
    const QString html = QApplication::clipboard()->mimeData()->html();
    QVERIFY(html.contains("<td><span dir='auto'>" + escaped + "</span></td>"));
    QVERIFY(!html.contains("<script>"));
    // The PDF shows the text as it came, markup and all, also while the
    // sheet's own page is still loading.
    clickRow("table2", 0);
    QTemporaryDir dir;
    hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) {
        return dir.filePath("marks.pdf");
    });
    w->menupdf();
    const QString printed = pdfText(dir.filePath("marks.pdf"));
    // (In the right-to-left cell the closing ">" is drawn first.)
    QVERIFY2(printed.contains("<b>Zaid</b> & <script>x()</script"), qPrintable(printed));
    clickRow("table2", 0);
    w->on_B_PDF_clicked();
    const QString sheet = pdfText(dir.filePath("marks.pdf"));
    QVERIFY2(sheet.contains("<b>Zaid</b> & <script>x()</script"), qPrintable(sheet));
}

void TestGradingWindow::textsAsTyped()
{
    // An "&" in an exam's title or a teacher's name is no shortcut mark in
    // the group boxes' titles, and texts with signs at their ends keep their
    // order in the right-to-left tables.
    type_user = -101;
    nickname = u("ققه & iUsul");
    admin = QStringLiteral("karim");
    pwd_admin = QStringLiteral("karim123");
    m_institute.control(
        {{"command", "exam-day"},
         {"relative", "start"},
         {"exams", QJsonArray{QJsonObject{{"id", 21}, {"offset", -600}, {"minutes", 60},
                                          {"title", "<b>Evil</b> & Co"}, {"fawj", 3}, {"fasl", 2},
                                          {"texts", QJsonArray{kFiqhText}}}}}});
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{sheet(501, 1001, kAmina, "-1::", "<b>Zaid</b> & Co")}}});
    FrmDisplay *w = open();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(shownTitle("groupBox"), u(" قائمة الامتحانات للأستاذ ققه & iUsul  عددها: 1 "));
    listSheets(0);
    QCOMPARE(shownTitle("groupBox_2"), u("  <b>Evil</b> & Co [ الفوج:3  الفصل:2 ]  عدد التقارير: 1  "));
    QCOMPARE(table1()->item(0, 0)->text(), u("<b>Evil</b> & Co [ الفوج:3  الفصل:2 ]   للأستاذ : karim"));

    CellRecorder exams, sheets;
    const QPair<QTableWidget *, CellRecorder *> tables[] = {{table1(), &exams}, {table2(), &sheets}};
    for (const auto &t : tables) {
        t.first->setStyle(t.second);
        t.second->record(t.first);
        t.first->setStyle(nullptr);
    }
    // The exam's line reads from the right, its title from the left.
    QCOMPARE(drawnOrder(exams.cells.value({0, 0}), {"<", "Evil", "&", "Co", u("للأستاذ"), "karim"}),
             (QStringList{"karim", u("للأستاذ"), "<", "Evil", "&", "Co"}));
    QCOMPARE(drawnOrder(sheets.cells.value({0, 0}), {"<", "Zaid", "&", "Co"}),
             (QStringList{"<", "Zaid", "&", "Co"}));
    QCOMPARE(drawnOrder(sheets.cells.value({0, 2}), {"2015-05-25", "10:01:00"}),
             (QStringList{"2015-05-25", "10:01:00"}));

    // The marks page's heading shows the title once, as typed.
    w->menudisplay();
    QWebFrame *frame = w->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findFirstElement("strong").toPlainText(),
                 u("<b>Evil</b> & Co [ الفوج:3 الفصل:2 ] عدد التقارير: 1"));
}

void TestGradingWindow::menus()
{
    FrmDisplay *w = open();
    const auto popup = [] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); };
    const auto entries = [](QMenu *menu) {
        QStringList out;
        for (QAction *a : menu->actions())
            out << (a->isSeparator() ? QString("|") : a->text());
        return out;
    };
    // No rows: no menu.
    w->on_table2_customContextMenuRequested(QPoint(5, 5));
    QVERIFY(!popup());
    w->on_table1_customContextMenuRequested(QPoint(5, 5));
    QVERIFY(!popup()); // rows, but none current
    clickRow("table1", 0);
    w->on_table1_customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(popup());
    QCOMPARE(entries(popup()), QStringList{u("عرض أرشيف الامتحان بدون أجوبة")});
    popup()->close();
    QTRY_VERIFY(!popup());

    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    QCOMPARE(table2()->currentRow(), -1);
    w->on_table2_customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(popup());
    QCOMPARE(entries(popup()), (QStringList{u("عرض جدول النقاط في الشاشة"),
                                            u("حفظ جدول النقاط في ملف pdf"),
                                            u("حفظ جدول النقاط في الذاكرة")}));
    popup()->close();
    QTRY_VERIFY(!popup());
    const QStringList copyTexts = {u("نسخ الإسم"), u("نسخ البريد"), u("نسخ التوقيت"), u("نسخ الرقم")};
    for (int column = 0; column < 4; ++column) {
        table2()->setCurrentCell(1, column);
        w->on_table2_customContextMenuRequested(QPoint(5, 5));
        QTRY_VERIFY(popup());
        QCOMPARE(entries(popup()), (QStringList{copyTexts.at(column), "|",
                                                u("عرض جدول النقاط في الشاشة"),
                                                u("حفظ جدول النقاط في ملف pdf"),
                                                u("حفظ جدول النقاط في الذاكرة")}));
        QCOMPARE(popup()->layoutDirection(), Qt::RightToLeft);
        popup()->close();
        QTRY_VERIFY(!popup());
    }
    QCOMPARE(w->actPdf->icon().isNull(), false);
}

void TestGradingWindow::archiveCopy()
{
    nameVelmar = QStringLiteral("Velmar\nInstitute");
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 1);
    const QString sheetHtml = w->htmlSheet;
    nameVelmar = QStringLiteral("Velmar\nInstitute");
    w->menudisplay2();
    QWebFrame *frame = w->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 3);
    const QString page = frame->toHtml();
    QCOMPARE(frame->findFirstElement("#mada").toPlainText(), u("Fiqh\nالفوح :3 - الفصل : 2"));
    QCOMPARE(frame->findAllElements("#mada span[dir=auto]").count(), 3);
    QVERIFY(page.contains(u("الاسم :<br><br>البريد:<br>")));
    QCOMPARE(frame->findFirstElement("#velmarinfo").toPlainText(), QString("Velmar\nInstitute"));
    QCOMPARE(frame->findFirstElement("#total").toPlainText(), QString());
    QCOMPARE(frame->findAllElements("#note2").count(), 0);
    // The global keeps its line break; the sheet state is kept.
    QCOMPARE(nameVelmar, QString("Velmar\nInstitute"));
    QCOMPARE(w->htmlSheet, sheetHtml);
    QCOMPARE(frame->scrollBarValue(Qt::Vertical), 0);
}

void TestGradingWindow::archiveCopyHeadingIsText()
{
    m_institute.control(
        {{"command", "exam-day"},
         {"exams", QJsonArray{QJsonObject{{"id", 21}, {"offset", -600}, {"minutes", 60},
                                          {"title", "<b>Fiqh</b> & <i>co"}, {"fawj", "<u>3"},
                                          {"fasl", "2</div>x"}, {"texts", QJsonArray{kFiqhText}}}}}});
    FrmDisplay *w = open();
    clickRow("table1", 0);
    w->menudisplay2();
    QWebFrame *frame = displayChild<QWebView>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 3);
    QCOMPARE(frame->findFirstElement("#mada").toPlainText().toLower(),
             u("<b>fiqh</b> & <i>co\nالفوح :<u>3 - الفصل : 2</div>x"));
    // Only the line break and the direction isolates are elements.
    QCOMPARE(frame->findAllElements("#mada b, #mada i, #mada u, #mada div").count(), 0);
    QCOMPARE(frame->findAllElements("#mada *").count(),
             frame->findAllElements("#mada br, #mada span[dir=auto]").count());
}

void TestGradingWindow::pdfExports()
{
    FrmDisplay *w = open();
    listSheets(0);
    QStringList captions, defaults;
    QString target;
    hooks::setSaveFileHandler([&](const QString &caption, const QString &path, const QString &filter) {
        captions << caption;
        defaults << path;
        if (filter != "PDF (*.pdf)")
            return QString();
        return target;
    });
    ScriptedDialogs dialogs;
    // The marks table.
    target = m_dir.filePath("marks.pdf");
    w->menupdf();
    QCOMPARE(captions, QStringList{u("حفظ تقرير التنقيط")});
    QCOMPARE(defaults, QStringList{QDir::homePath() + u("/التنقيط_2015-05-25_09.30.12.pdf")});
    QString text = pdfText(target);
    QVERIFY2(text.contains("Amina Belkacem") && text.contains("Nadia Ferhat"), qPrintable(text));
    QVERIFY(text.contains("nadia@example.org"));

    // The sheet on show.
    clickRow("table2", 2);
    target = m_dir.filePath("sheet.pdf");
    w->on_B_PDF_clicked();
    QCOMPARE(captions.last(), u("حفظ تقرير التنقيط"));
    QCOMPARE(defaults.last(), QDir::homePath() + u("/تقرير_الامتحان_2015-05-25_09.30.12.pdf"));
    text = pdfText(target);
    QVERIFY2(text.contains("Nadia Ferhat") && text.contains("third"), qPrintable(text));
    QVERIFY(!text.contains("Amina"));
    QVERIFY(dialogs.answers.shown.isEmpty());
}

// Every page the window shows, printed and saved as PDF under the program's
// style sheet, asked while the page still loads: the sheet with its answers
// and its ticked and unticked disabled boxes, the blank archive copy with its
// answer boxes, and the marks page.
void TestGradingWindow::everyPagePrinted_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("outlet");
    QTest::addColumn<QStringList>("texts");
    const QStringList questions = {u("ما هو الوضوء"), "describe the prayer", u("اختر أركان الصلاة"),
                                   u("القيام"), u("الركوع"), "sujud", "pick one answer", u("نعم"),
                                   "never"};
    const QStringList answers = questions + QStringList{u("طهارة بالماء"), "standing and bowing"};
    const QStringList marks = {u("رضا العباسي"), "Nadia Ferhat", "nadia@example.org"};
    for (const char *outlet : {"pdf", "print"}) {
        QTest::addRow("sheet %s", outlet) << "sheet" << outlet << answers;
        QTest::addRow("archive copy %s", outlet) << "archive" << outlet << questions;
        QTest::addRow("marks page %s", outlet) << "marks" << outlet << marks;
    }
    QTest::addRow("marks table pdf") << "marks table" << "pdf" << marks;
}

void TestGradingWindow::everyPagePrinted()
{
    QFETCH(QString, page);
    QFETCH(QString, outlet);
    QFETCH(QStringList, texts);
    m_institute.control(
        {{"command", "exam-day"},
         {"exams", QJsonArray{QJsonObject{{"id", 21}, {"offset", -600}, {"minutes", 60},
                                          {"title", "Fiqh"}, {"fawj", 3}, {"fasl", 2},
                                          {"texts", QJsonArray{kRichExam}}}}}});
    QJsonObject named = sheet(502, 1002, kRichSheet, "0::5:4:3:2", u("رضا العباسي"));
    named.insert("mail", "rida@example.org");
    m_institute.control({{"command", "exam-sheets"},
                         {"sheets", QJsonArray{named, sheet(503, 1003, kRichSheet, "",
                                                            "Nadia Ferhat")}}});
    FrmDisplay *w = open();
    listSheets(0);
    QWebView *web = displayChild<QWebView>("web");
    // The page's style sheet and pictures are read again.
    QWebSettings::clearMemoryCaches();
    if (page == "sheet")
        clickRow("table2", 0);
    else if (page == "archive")
        w->menudisplay2();
    else if (page == "marks")
        w->menudisplay();
    if (page != "marks table")
        QVERIFY(web->page()->action(QWebPage::Stop)->isEnabled());

    const QString file = m_dir.filePath("printed.pdf");
    QFile::remove(file);
    ScriptedDialogs dialogs;
    if (outlet == "pdf") {
        hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) { return file; });
        if (page == "marks table")
            w->menupdf();
        else
            QTest::mouseClick(displayChild<QPushButton>("B_PDF"), Qt::LeftButton);
    } else {
        dialogs.answers.whileOpen([&](QDialog *d) {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(d);
            QVERIFY(preview);
            printPreviewToPdf(preview, file, QPrinter::HighResolution);
        });
        QTest::mouseClick(displayChild<QPushButton>("B_praint"), Qt::LeftButton);
    }
    QCOMPARE(dialogs.texts(), QStringList());
    const QString text = pdfText(file);
    for (const QString &shown : texts)
        QVERIFY2(text.contains(shown, Qt::CaseInsensitive), qPrintable(shown + "\n---\n" + text));
    QCOMPARE(web->page()->mainFrame()->findAllElements("textarea").count(),
             page == "archive" ? 2 : 0);
    QCOMPARE(web->page()->mainFrame()->findAllElements("input[disabled]").count(),
             page == "sheet" ? 4 : 0);
    QVERIFY(w);
}

void TestGradingWindow::pdfCancelledOrFailed()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    QTemporaryDir dir;
    QString target;
    hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) { return target; });
    ScriptedDialogs dialogs;
    const QString shown = w->htmlSheet;
    w->on_B_PDF_clicked();
    w->menupdf();
    QVERIFY(dialogs.answers.shown.isEmpty());
    QCOMPARE(w->htmlSheet, shown);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());

    target = dir.filePath("no such folder/marks.pdf");
    w->menupdf();
    w->on_B_PDF_clicked();
    QCOMPARE(dialogs.texts(), (QStringList{u("تعذر حفظ الملف    "), u("تعذر حفظ الملف    ")}));
    QVERIFY(!QFile::exists(target));
}

void TestGradingWindow::printPreview()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 0);
    ScriptedDialogs dialogs;
    const QString file = m_dir.filePath("printed.pdf");
    dialogs.answers.whileOpen([&](QDialog *d) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(d);
        QVERIFY(preview);
        QCOMPARE(preview->layoutDirection(), Qt::LeftToRight);
        QVERIFY(preview->windowFlags() & Qt::Window);
        printPreviewToPdf(preview, file);
    });
    QTest::mouseClick(displayChild<QPushButton>("B_praint"), Qt::LeftButton);
    QCOMPARE(dialogs.answers.shown.size(), 1);
    QCOMPARE(dialogs.answers.shown.first().title, u("طباعة الامتحان"));
    QVERIFY(pdfText(file).contains("Amina Belkacem"));
    QVERIFY(w);
}

void TestGradingWindow::secondRequestWhileOneWaits()
{
    FrmDisplay *w = open();
    listSheets(0);
    clickRow("table2", 1);
    clickRow("table1", 0);
    fault("imtihanuser", {{"silent", 30}});
    const int postsBefore = postBodies(m_institute.log()).size();
    ScriptedDialogs dialogs;
    bool waited = false;
    QTimer::singleShot(0, w, [&] {
        // Each look asks the institute for its log: the wait counts time.
        (void)QTest::qWaitFor(
            [&] { return postBodies(m_institute.log()).size() > postsBefore; }, 20000);
        QCOMPARE(postBodies(m_institute.log()).size(), postsBefore + 1);
        waited = reply_isRunning && frmconn;
        // Each of these would post or change the sheet on show.
        w->on_B_display_clicked();
        w->on_table1_doubleClicked(QModelIndex());
        w->on_B_ostad_clicked();
        w->on_B_edit_clicked();
        w->on_B_del_note_clicked();
        w->on_B_edraj_total_clicked();
        w->menupdf();
        frmconn->on_pushButton_clicked(); // Cancel
    });
    w->on_B_display_clicked();
    QVERIFY(waited);
    QCOMPARE(dialogs.texts(), QStringList{kFailedLine});
    QCOMPARE(postBodies(m_institute.log()).size(), postsBefore + 1);
    QCOMPARE(w->txtTankit, QString("0::5:4:3"));
    QCOMPARE(table2()->rowCount(), 3);
    m_institute.control({{"command", "exam-fault"}});
}

void TestGradingWindow::closedDuringItsRequest()
{
    QPointer<FrmDisplay> w = open();
    listSheets(0);
    clickRow("table2", 1);
    fault("tankit", {{"silent", 10}});
    ScriptedDialogs dialogs;
    dialogs.type("1");
    dialogs.type("9");
    dialogs.press(QMessageBox::Yes);
    bool closedWhileWaiting = false;
    QTimer::singleShot(0, w, [&] {
        (void)QTest::qWaitFor([&] { return !bodies("tankit").isEmpty(); }, 8000);
        QCOMPARE(bodies("tankit").size(), 1);
        closedWhileWaiting = reply_isRunning;
        w->close();
        QCOMPARE(frmdisplay, nullptr);
    });
    w->on_B_edit_clicked();
    QVERIFY(closedWhileWaiting);
    // The waiting code returned on a window still alive; it told nothing.
    QVERIFY(w);
    QCOMPARE(dialogs.texts(), QStringList{u("هل تريد حفظ التنقيط ؟      ")});
    QVERIFY(!w->isVisible());
    settle();
    QVERIFY(!w);
    QCOMPARE(frmconn, nullptr);
    QVERIFY(!reply_isRunning);
    m_institute.control({{"command", "exam-fault"}});
}

void TestGradingWindow::closedWhileItOpens()
{
    fault("listimtihan", {{"silent", 10}});
    ScriptedDialogs dialogs;
    FrmDisplay *created = nullptr;
    QTimer::singleShot(0, [&] {
        (void)QTest::qWaitFor([&] { return !bodies("listimtihan").isEmpty(); }, 8000);
        QCOMPARE(bodies("listimtihan").size(), 1);
        QVERIFY(frmdisplay);
        frmdisplay->close();
    });
    created = new FrmDisplay(nullptr);
    QPointer<FrmDisplay> w = created;
    QCOMPARE(frmdisplay, nullptr);
    QVERIFY(dialogs.answers.shown.isEmpty());
    settle();
    QVERIFY(!w);
    m_institute.control({{"command", "exam-fault"}});
}

QTEST_MAIN(TestGradingWindow)
#include "tst_grading_window.moc"
