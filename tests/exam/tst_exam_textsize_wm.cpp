// Text in every window of the exam program as the program draws it, on a
// display of the test's own (one point one pixel, the compiled-in faces, the
// floor under every font): no text smaller than the floor and no caption or
// label cut by its widget; and the student's results table showing its rows
// in the room it has.
#include "common/fonts.h"
#include "core/frmconnect.h"
#include "core/msgbox.h"
#include "core/program.h"
#include "core/pure/loginreply.h"
#include "drawncells.h"
#include "examtest.h"
#include "grading_window.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/textsize.h"
#include "support/wmdesktop.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextLayout>
#include <QtTest>

#include <functional>

using namespace examtest;

namespace {

bool showLaidOut(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    return true;
}

QStringList faultsOf(QWidget *window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return smallTexts(window) + cutTexts(window);
}

ExamRecord examRecord(const QString &id, const QString &start, const QString &header)
{
    ExamRecord r;
    r.id = id;
    r.start = start;
    r.duration = QStringLiteral("60");
    r.header = header;
    r.texts = QStringList{QStringLiteral("1|Q|1|-1")};
    return r;
}

const QString kFiqhText = QStringLiteral("3|Q1|1|-1|Q2|2|2|A|B|Q3|3|2|C|D");
const QString kAnswers = QStringLiteral("3<:>Q1<:>1<:>first answer<:>Q2<:>2<:>2<:>[on]A<:>[no]B"
                                        "<:>Q3<:>3<:>2<:>[no]C<:>[on]D");

// A results reply of the student with the given number of exams, oldest first.
QString resultsPayload(int exams)
{
    QStringList records{QStringLiteral("Amina Belkacem|amina@example.org")};
    for (int i = 1; i <= exams; ++i)
        records << QStringList{QStringLiteral("امتحان الفقه رقم %1<:>3<:>2").arg(i),
                               QString::number(20 + i),
                               QStringLiteral("2015-03-%1 10:00:00").arg(i, 2, 10, QLatin1Char('0')),
                               QStringLiteral("2<:>Q1<:>1<:>a<:>Q2<:>3<:>2<:>[on]yes<:>[no]no"),
                               QString()}
                       .join(QLatin1Char('|'));
    return records.join(QStringLiteral("<|>"));
}

using Opener = std::function<QWidget *()>;

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestExamTextSize : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windows_data();
    void windows();
    void gradingWindow();
    void gradingInputBox();
    void messageBox();
    void addressesWrapInTheirCells_data();
    void addressesWrapInTheirCells();
    void resultsUseTheirRoom_data();
    void resultsUseTheirRoom();

private:
    void openGradingBar(const QString &studentMail = QString());

    Institute m_institute;
};

void TestExamTextSize::initTestCase()
{
    dressApplication(*qApp);
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
}

void TestExamTextSize::init()
{
    reset();
    nameVelmar = QStringLiteral("معهد الفرسال\nللعلوم الشرعية");
    nickname = QStringLiteral("Amina Belkacem");
    mail = QStringLiteral("amina.belkacem@example.org");
    id_user = 1001;
}

void TestExamTextSize::cleanup() { closeWindows(); }

void TestExamTextSize::windows_data()
{
    QTest::addColumn<Opener>("open");
    QTest::newRow("start, member") << Opener([] { return frmstart = new FrmStart(nullptr); });
    QTest::newRow("start, group account") << Opener([] {
        grpVelmar = QStringLiteral("1");
        return frmstart = new FrmStart(nullptr);
    });
    QTest::newRow("connecting") << Opener([] { return frmconn = new frmConnect(nullptr); });
    QTest::newRow("countdown") << Opener([] {
        sDateServer = QStringLiteral("2015-05-25 14:00:00");
        frmtime = new FrmTimer(nullptr);
        frmtime->addExam(examRecord("1", "2015-05-25 14:10:00",
                                    QStringLiteral("امتحان التجويد والقراءات<:>2<:>5")));
        frmtime->addExam(examRecord("2", "2015-05-25 16:05:00",
                                    QStringLiteral("امتحان النحو<:>1<:>3")));
        frmstart2 = new FrmStart2(nullptr);
        frmstart2->changeTm(QStringLiteral("2015-05-25 14:00:00"), QStringLiteral("00:10:00"));
        return frmstart2;
    });
    QTest::newRow("exam sheet") << Opener([] { return frmweb = new FrmWeb(nullptr); });
    QTest::newRow("results") << Opener([] {
        frmnataij = new FrmNataij(nullptr);
        frmnataij->ExtracTxt(resultsPayload(3));
        return frmnataij;
    });
    QTest::newRow("reports") << Opener([] { return frmoption = new frmOptions(nullptr); });
    QTest::newRow("supervisor login") << Opener([] { return frmpwd = new FrmPwd(nullptr); });
    QTest::newRow("authoring") << Opener([] {
        type_user = -100;
        return frmentre = new FrmEntre(nullptr);
    });
    QTest::newRow("report viewer") << Opener([] { return frmview = new FrmView(nullptr); });
}

void TestExamTextSize::windows()
{
    QFETCH(Opener, open);
    ModalAnswerer answers;
    QPointer<QWidget> window = open();
    QVERIFY(window);
    QVERIFY(showLaidOut(window));
    const QStringList faults = faultsOf(window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestExamTextSize::openGradingBar(const QString &studentMail)
{
    // A supervisor's grading window with a sheet on show and the grading bar
    // open: every control of it is on screen.
    Url_php = QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    signInAsSupervisor();
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control(
        {{"command", "exam-day"},
         {"relative", "start"},
         {"exams", QJsonArray{QJsonObject{{"id", 21}, {"offset", -600}, {"minutes", 60},
                                          {"title", "امتحان الفقه"}, {"fawj", 3}, {"fasl", 2},
                                          {"texts", QJsonArray{kFiqhText}}}}}});
    m_institute.control(
        {{"command", "exam-sheets"},
         {"sheets", QJsonArray{QJsonObject{{"id", 501}, {"exam", 21}, {"id_user", 1001},
                                           {"answers", kAnswers}, {"grading", ""},
                                           {"time", "2015-05-25 10:01:00"}}}}});
    if (!studentMail.isEmpty())
        m_institute.control(
            {{"command", "exam-sheets"},
             {"sheets", QJsonArray{QJsonObject{{"id", 501}, {"exam", 21}, {"id_user", 1001},
                                               {"mail", studentMail}, {"answers", kAnswers},
                                               {"grading", ""}, {"time", "2015-05-25 10:01:00"}}}}});
    ScriptedDialogs dialogs;
    new FrmDisplay(nullptr);
    QVERIFY(frmdisplay);
    QVERIFY(showLaidOut(frmdisplay));
    clickRow("table1", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(displayChild<QTableWidget>("table2")->rowCount(), 1, 20000);
    clickRow("table2", 0);
    QTRY_VERIFY(displayChild<QPushButton>("B_edit")->isVisible());
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    QTRY_VERIFY(displayChild<QWidget>("Lnote")->isVisible());
    QVERIFY2(dialogs.texts().isEmpty(), qPrintable(dialogs.texts().join('|')));
}

void TestExamTextSize::gradingWindow()
{
    openGradingBar();
    if (QTest::currentTestFailed())
        return;
    const QStringList faults = faultsOf(frmdisplay);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestExamTextSize::gradingInputBox()
{
    // The box that asks for a total is wide enough for its title.
    openGradingBar();
    if (QTest::currentTestFailed())
        return;
    QStringList faults;
    int boxes = 0;
    hooks::setModalHandler([&](QDialog *box) {
        if (qobject_cast<QInputDialog *>(box) && showLaidOut(box)) {
            ++boxes;
            faults << faultsOf(box);
            faults << cutTitle(box);
        }
        box->hide();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(displayChild<QPushButton>("B_edraj_total"), Qt::LeftButton);
    hooks::setModalHandler(nullptr);
    QCOMPARE(boxes, 1);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestExamTextSize::messageBox()
{
    QStringList faults;
    hooks::setModalHandler([&](QDialog *box) {
        if (showLaidOut(box))
            faults << faultsOf(box);
        box->hide();
        return int(QMessageBox::Ok);
    });
    MsgBox(QStringLiteral("برنامج الاختبار"),
           QStringLiteral("عذرا .. لم تستقبل منك الإدارة أي امتحان من قبل   "),
           QMessageBox::Information, QMessageBox::Ok);
    // A short text under a longer title: the title bar shows the title whole.
    hooks::setModalHandler([&](QDialog *box) {
        if (showLaidOut(box) && box->width() < titleBarWidthFor(box))
            faults << QStringLiteral("title \"%1\" needs %2, the box is %3 wide")
                          .arg(box->windowTitle())
                          .arg(titleBarWidthFor(box))
                          .arg(box->width());
        box->hide();
        return int(QMessageBox::Ok);
    });
    MsgBox(QStringLiteral("برنامج الاختبار"), QStringLiteral("تم"), QMessageBox::Information,
           QMessageBox::Ok);
    hooks::setModalHandler(nullptr);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestExamTextSize::addressesWrapInTheirCells_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("dotted name") << QStringLiteral("abdelkader.benmoussa.alhassani@institute-example.org");
    QTest::newRow("one long name")
        << QStringLiteral("abdelkaderbenmoussaalhassanialtilimsani@example.org");
}

void TestExamTextSize::addressesWrapInTheirCells()
{
    // A student's e-mail address wider than its column wraps inside its
    // cell, every line of it within the cell's width and height.
    QFETCH(QString, address);
    openGradingBar(address);
    if (QTest::currentTestFailed())
        return;
    auto *table = displayChild<QTableWidget>("table2");
    QCOMPARE(table->item(0, 1)->text(), address);
    CellRecorder recorder;
    table->setStyle(&recorder);
    recorder.record(table);
    table->setStyle(nullptr);
    QVERIFY(recorder.cells.contains({0, 1}));
    const CellRecorder::Cell cell = recorder.cells.value({0, 1});
    const QRect rect = table->visualItemRect(table->item(0, 1));
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    // Laid out as the style lays out a wrapped cell.
    QTextLayout layout(cell.text, cell.font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    option.setTextDirection(cell.direction);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    QStringList faults;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(rect.width() - 2 * margin);
        height += line.height();
        if (line.naturalTextWidth() > rect.width() - 2 * margin)
            faults << QStringLiteral("\"%1\" is %2 wide in a cell of %3")
                          .arg(cell.text.mid(line.textStart(), line.textLength()))
                          .arg(line.naturalTextWidth())
                          .arg(rect.width() - 2 * margin);
    }
    layout.endLayout();
    if (height > rect.height())
        faults << QStringLiteral("%1 px of lines in a cell %2 high").arg(height).arg(rect.height());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestExamTextSize::resultsUseTheirRoom_data()
{
    QTest::addColumn<int>("exams");
    QTest::addColumn<int>("rowsShown");
    QTest::newRow("one exam") << 1 << 1;
    QTest::newRow("three exams") << 3 << 3;
    QTest::newRow("eight exams") << 8 << 4;
}

void TestExamTextSize::resultsUseTheirRoom()
{
    // The table takes the room its rows need (beside the page that stays
    // empty until one is clicked), and the newest exam, the last row, is in
    // view without scrolling.
    QFETCH(int, exams);
    QFETCH(int, rowsShown);
    frmnataij = new FrmNataij(nullptr);
    QVERIFY(showLaidOut(frmnataij));
    frmnataij->ExtracTxt(resultsPayload(exams));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    auto *table = frmnataij->findChild<QTableWidget *>(QStringLiteral("table1"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), exams);
    const QRect viewport = table->viewport()->rect();
    int whole = 0;
    for (int row = 0; row < exams; ++row)
        whole += viewport.contains(table->visualItemRect(table->item(row, 0))) ? 1 : 0;
    QVERIFY2(whole >= rowsShown, qPrintable(QStringLiteral("%1 whole rows in a viewport %2 high")
                                                 .arg(whole)
                                                 .arg(viewport.height())));
    const QRect last = table->visualItemRect(table->item(exams - 1, 0));
    QVERIFY2(viewport.contains(last),
             qPrintable(QStringLiteral("the newest exam at %1,%2 %3x%4 of a viewport %5 high")
                            .arg(last.x())
                            .arg(last.y())
                            .arg(last.width())
                            .arg(last.height())
                            .arg(viewport.height())));
    // No band of the table is left empty below its rows.
    if (whole == exams)
        QVERIFY2(viewport.bottom() - last.bottom() < last.height() / 2,
                 qPrintable(QStringLiteral("rows end at %1 of %2").arg(last.bottom()).arg(viewport.bottom())));
}

// Point sizes drawn as the program draws them.
Q_CONSTRUCTOR_FUNCTION(useFormFontResolution)

VELMAR_WM_TEST_MAIN(TestExamTextSize, 1366, 768)
#include "tst_exam_textsize_wm.moc"
