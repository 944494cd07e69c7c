// The results window offscreen: the table from a reply, graded and ungraded
// sheets in the web view, messages, print preview, PDF files, closing back to
// the start form, and the whole road from the start form's results button
// against the local institute.
#include "common/hooks.h"
#include "core/msgbox.h"
#include "core/program.h"
#include "drawncells.h"
#include "examtest.h"
#include "supervision/gradedisplay.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/pdftext.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const QString kHead = "Amina Belkacem|amina@example.org";
// Two questions: a written answer and a one-of-two choice.
const QString kSheet = "2<:>Q1<:>1<:>first answer<:>Q2<:>3<:>2<:>[on]yes<:>[no]no";

QString record(const QString &heading, const QString &number, const QString &grading,
               const QString &answers = kSheet)
{
    return QStringList{heading, number, "2015-03-01 10:00:00", answers, grading}.join('|');
}

QString payload(const QStringList &records)
{
    return (QStringList{kHead} + records).join("<|>");
}

bool isPdf(const QString &file, QString *pageSize)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || !f.read(5).startsWith("%PDF-"))
        return false;
    QProcess info;
    info.start("pdfinfo", {file});
    if (!info.waitForFinished(20000) || info.exitCode() != 0)
        return false;
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("Page size:"))
            *pageSize = line.mid(10).trimmed();
    }
    return true;
}

} // namespace

class TestExamResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout();
    void rows_data();
    void rows();
    void cellsInTheirDirection_data();
    void cellsInTheirDirection();
    void noExam_data();
    void noExam();
    void gradedSheet();
    void ungradedSheet();
    void overTwenty();
    void secondRowTakesItsOwnGrading();
    void hostileTexts();
    void damagedSheet_data();
    void damagedSheet();
    void pdf();
    void pdfCancelled();
    void pdfUnwritable();
    void saveDialogInArabic();
    void printPreview();
    void printedRightAfterTheClick_data();
    void printedRightAfterTheClick();
    void escapeAndClose();
    void fromTheResultsButton();
    void studentWithoutResults();

private:
    FrmNataij *open(const QString &payload);
    QTableWidget *table() { return frmnataij->findChild<QTableWidget *>("table1"); }
    QWebFrame *frame()
    {
        return frmnataij->findChild<QWebView *>("web")->page()->mainFrame();
    }
    void click(int row);
    bool pageLoaded();
    QStringList marks();
    QString total() { return frame()->findFirstElement("#total").toPlainText().trimmed(); }

    Institute m_institute;
    QTemporaryDir m_dir;
};

void TestExamResultsWindow::initTestCase()
{
    dressApplication(*qApp); // as the program starts
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    QVERIFY(m_dir.isValid());
}

void TestExamResultsWindow::init()
{
    reset();
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
    Url_php = QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
}

void TestExamResultsWindow::cleanup()
{
    hooks::setSaveFileHandler({});
    hooks::setClock({});
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
    QCOMPARE(frmnataij, nullptr);
}

FrmNataij *TestExamResultsWindow::open(const QString &payload)
{
    frmstart = new FrmStart(nullptr);
    frmnataij = new FrmNataij(nullptr);
    frmnataij->show();
    frmstart->hide();
    frmnataij->ExtracTxt(payload);
    return frmnataij;
}

// Clicks a row and waits until the page it shows has loaded (the page waits
// for its style sheet before it runs its script).
void TestExamResultsWindow::click(int row)
{
    QTableWidget *t = table();
    const QRect cell = t->visualRect(t->model()->index(row, 0));
    QVERIFY(cell.isValid());
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(pageLoaded());
}

// What a message box's own event loop does meanwhile: the page finishes.
bool TestExamResultsWindow::pageLoaded()
{
    QDeadlineTimer deadline(10000);
    while (frame()->evaluateJavaScript("document.readyState").toString() != "complete") {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

QStringList TestExamResultsWindow::marks()
{
    QStringList out;
    for (const QWebElement &slot : frame()->findAllElements("div"))
        if (slot.attribute("id") == "note2")
            out << slot.findFirst("span").toPlainText();
    return out;
}

void TestExamResultsWindow::cellsInTheirDirection_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("tokens"); // in the text's order
    QTest::addColumn<QStringList>("drawn");  // left to right
    QTest::newRow("latin subject with signs at its ends")
        << "<b>Evil</b> & Co<:>3<:>2" << "17" << 0 << QStringList{"<", "Evil", "&", "Co"}
        << QStringList{"<", "Evil", "&", "Co"};
    QTest::newRow("arabic subject, latin after it")
        << u("فقه Grammar<:>3<:>2") << "17" << 0 << QStringList{u("فقه"), "Grammar"}
        << QStringList{"Grammar", u("فقه")};
    QTest::newRow("date and time") << "Fiqh<:>3<:>2" << "17" << 1
                                   << QStringList{"2015-03-01", "10:00:00"}
                                   << QStringList{"2015-03-01", "10:00:00"};
    QTest::newRow("negative number") << "Fiqh<:>3<:>2" << "-1" << 2 << QStringList{"-", "1"}
                                     << QStringList{"-", "1"};
}

void TestExamResultsWindow::cellsInTheirDirection()
{
    // Each line of a cell in its own direction in the right-to-left table.
    QFETCH(QString, heading);
    QFETCH(QString, number);
    QFETCH(int, column);
    QFETCH(QStringList, tokens);
    QFETCH(QStringList, drawn);
    open(payload({record(heading, number, "")}));
    QVERIFY(QTest::qWaitForWindowExposed(frmnataij));
    QCOMPARE(table()->layoutDirection(), Qt::RightToLeft);
    CellRecorder style;
    table()->setStyle(&style);
    style.record(table());
    table()->setStyle(nullptr);
    QVERIFY(style.cells.contains({0, column}));
    QCOMPARE(drawnOrder(style.cells.value({0, column}), tokens), drawn);
    // The cell's own text is what came.
    QCOMPARE(table()->item(0, 2)->text(), number);
}

void TestExamResultsWindow::layout()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "")}));
    QVERIFY(QTest::qWaitForWindowExposed(frmnataij));
    QCOMPARE(frmnataij->windowTitle(), u("عرض النتائج : Ma3had Al Fursan"));
    QVERIFY(frmnataij->windowState() & Qt::WindowMaximized);
    QVERIFY(frmnataij->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(frmnataij->windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(frmnataij->layoutDirection(), Qt::RightToLeft);
    QTableWidget *t = table();
    const QStringList headers{u("الامتحان"), u("تاريخه"), u("رقمه"), u("النص"), u("التنقيط")};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(t->horizontalHeaderItem(c)->text(), headers.at(c));
        QCOMPARE(t->horizontalHeader()->sectionResizeMode(c), QHeaderView::Fixed);
        QCOMPARE(t->isColumnHidden(c), c >= 3);
    }
    QCOMPARE(t->columnWidth(0), 300);
    QCOMPARE(t->columnWidth(1), 140);
    // The number column is the last one shown and takes the rest.
    QVERIFY(t->columnWidth(2) >= 40);
    QCOMPARE(t->columnWidth(0) + t->columnWidth(1) + t->columnWidth(2), t->viewport()->width());
    QVERIFY(t->horizontalHeader()->stretchLastSection());
    QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(!t->verticalHeader()->isVisible());
    QCOMPARE(frmnataij->findChild<QPushButton *>("B_print")->text(), u("طباعة ورقة الامتحان"));
    QCOMPARE(frmnataij->findChild<QPushButton *>("B_pdf")->text(), u("حفظ ورقة الامتحان pdf"));
    // The captions fit their buttons, which stand one above the other at
    // one width of at least 160.
    const QPushButton *print = frmnataij->findChild<QPushButton *>("B_print");
    const QPushButton *pdf = frmnataij->findChild<QPushButton *>("B_pdf");
    QVERIFY(print->width() >= 160);
    QCOMPARE(pdf->width(), print->width());
    QVERIFY(print->sizeHint().width() <= print->width());
    QVERIFY(pdf->sizeHint().width() <= pdf->width());
    // The title keeps the label's line break as a blank; the global is untouched.
    QCOMPARE(nameVelmar, QStringLiteral("Ma3had\nAl Fursan"));
}

void TestExamResultsWindow::rows_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QList<QStringList>>("cells");
    QTest::newRow("one record")
        << payload({"Fiqh<:>3<:>2|17|2015-03-01 10:00:00|T|G"})
        << QList<QStringList>{{u("Fiqh\n[ الفوج:3 - الفصل:2 ]"), "2015-03-01 10:00:00", "17", "T", "G"}};
    QTest::newRow("four in reply order, a short one with empty cells")
        << payload({"A<:>1<:>1|1|d1|T1|", "Short|9|d9", "B<:>2<:>2|2|d2|T2|0::1",
                    "C|3|d3|T3|15::"})
        << QList<QStringList>{{u("A\n[ الفوج:1 - الفصل:1 ]"), "d1", "1", "T1", ""},
                              {u("Short\n[ الفوج: - الفصل: ]"), "d9", "9", "", ""},
                              {u("B\n[ الفوج:2 - الفصل:2 ]"), "d2", "2", "T2", "0::1"},
                              {u("C\n[ الفوج: - الفصل: ]"), "d3", "3", "T3", "15::"}};
}

void TestExamResultsWindow::rows()
{
    QFETCH(QString, payload);
    QFETCH(QList<QStringList>, cells);
    ModalAnswerer answers;
    open(payload);
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(frmnataij->isVisible());
    QVERIFY(!frmstart->isVisible());
    QCOMPARE(frmnataij->nameStudent, QStringLiteral("Amina Belkacem"));
    QCOMPARE(frmnataij->mailStudent, QStringLiteral("amina@example.org"));
    QTableWidget *t = table();
    QCOMPARE(t->rowCount(), cells.size());
    for (int r = 0; r < cells.size(); ++r) {
        // Both lines of the heading and of the date show.
        for (int c = 0; c < 3; ++c) {
            const QRect text = t->fontMetrics().boundingRect(
                QRect(0, 0, t->columnWidth(c), 1000), Qt::AlignCenter | Qt::TextWordWrap,
                t->item(r, c)->text());
            QVERIFY(t->rowHeight(r) >= text.height());
        }
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(t->item(r, c)->text(), cells.at(r).at(c));
            QCOMPARE(t->item(r, c)->textAlignment(), int(Qt::AlignCenter));
        }
    }
    QVERIFY(t->selectedItems().isEmpty());
    QVERIFY(frmnataij->htmlSheet.isEmpty());
}

void TestExamResultsWindow::noExam_data()
{
    QTest::addColumn<QString>("payload");
    QTest::newRow("empty") << "";
    QTest::newRow("head only") << kHead;
    QTest::newRow("name alone") << "Amina";
}

void TestExamResultsWindow::noExam()
{
    QFETCH(QString, payload);
    ModalAnswerer answers;
    bool closedFirst = false;
    answers.whileOpen([&](QDialog *) { closedFirst = !frmnataij && frmstart->isVisible(); });
    QPointer<FrmNataij> window = open(payload);
    QCOMPARE(answers.texts(), QStringList{kMsgNoResults});
    QCOMPARE(answers.shown.first().title, kExamTitle);
    QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
    QCOMPARE(answers.shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(closedFirst);
    settle();
    QVERIFY(!window);
}

void TestExamResultsWindow::gradedSheet()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5:7.5")}));
    ModalAnswerer answers;
    click(0);
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join('|')));
    QCOMPARE(frmnataij->txtTankit, QStringLiteral("0::5:7.5"));
    QCOMPARE(marks(), (QStringList{"5", "7.5"}));
    QCOMPARE(frame()->findAllElements("#note2").count(), 2);
    QCOMPARE(total(), u("المجموع : 20 / 12.5"));
    QCOMPARE(frame()->findFirstElement("#userinfo").toPlainText(),
             u("الاسم : Amina Belkacem\nالبريد: amina@example.org"));
    QCOMPARE(frame()->findFirstElement("#mada").toPlainText(), u("Fiqh [ الفوج:3 - الفصل:2 ]"));
    QCOMPARE(frame()->findFirstElement("#velmarinfo").toPlainText(), QString("Ma3had\nAl Fursan"));
    // The label keeps its "<br />" form from now on.
    QCOMPARE(nameVelmar, QStringLiteral("Ma3had<br />Al Fursan"));
    QCOMPARE(frame()->findAllElements("textarea").count(), 0);
    QCOMPARE(frame()->findFirstElement("#soal2").toPlainText(), QString("Q1"));
    QVERIFY(frame()->toPlainText().contains("first answer"));
    const QWebElementCollection inputs = frame()->findAllElements("input");
    QCOMPARE(inputs.count(), 2);
    QVERIFY(inputs.at(0).hasAttribute("checked"));
    QVERIFY(!inputs.at(1).hasAttribute("checked"));
}

void TestExamResultsWindow::ungradedSheet()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "")}));
    ModalAnswerer answers;
    bool shownFirst = false;
    answers.whileOpen([&](QDialog *) {
        shownFirst = pageLoaded() && total() == u("لم يتم تصحيح هذا الامتحان بعد");
    });
    click(0);
    QCOMPARE(answers.texts(), QStringList{kMsgNotGraded});
    QCOMPARE(answers.shown.first().title, kExamTitle);
    QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
    QVERIFY(shownFirst);
    QCOMPARE(marks(), QStringList());
    QCOMPARE(frame()->findAllElements("#note").count(), 2);
}

void TestExamResultsWindow::overTwenty()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "0::18:3")}));
    ModalAnswerer answers;
    QString totalDuringMessage;
    answers.whileOpen([&](QDialog *) {
        if (pageLoaded())
            totalDuringMessage = total();
    });
    click(0);
    QCOMPARE(answers.texts(), QStringList{kMsgOverTwenty});
    QCOMPARE(answers.shown.first().title, kExamTitle);
    QCOMPARE(totalDuringMessage, u("المجموع : 20 / 21"));
}

void TestExamResultsWindow::secondRowTakesItsOwnGrading()
{
    const QString three = "3<:>A<:>1<:>a<:>B<:>1<:>b<:>C<:>1<:>c";
    open(payload({record("First<:>1<:>1", "1", "0::1:2"), record("Second<:>2<:>2", "2", "15::4:4:4", three)}));
    ModalAnswerer answers;
    click(0);
    QCOMPARE(marks(), (QStringList{"1", "2"}));
    click(1);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(frmnataij->txtTankit, QStringLiteral("15::4:4:4"));
    QCOMPARE(marks(), QStringList());
    QCOMPARE(frame()->findAllElements("#note").count(), 3);
    QCOMPARE(total(), u("المجموع : 20 / 15"));
    QVERIFY(frame()->findFirstElement("#mada").toPlainText().startsWith("Second"));
}

void TestExamResultsWindow::hostileTexts()
{
    const QString answers = "1<:><img src=x onerror='window.hit=1'><:>1<:><script>window.hit=2</script>";
    open("<b>Amina</b>|<i>m</i><|>" + record("<u>S</u><:>1<:>1", "1", "0::3", answers));
    nameVelmar = QStringLiteral("<script>window.hit=3</script>\nline");
    ModalAnswerer answers2;
    click(0);
    QVERIFY(answers2.shown.isEmpty());
    QCOMPARE(frame()->findAllElements("script").count(), 1); // the page's own
    QCOMPARE(frame()->findAllElements("img").count(), 1);    // the page's own picture
    QCOMPARE(frame()->findAllElements("b").count(), 0);
    QCOMPARE(frame()->findAllElements("u").count(), 0);
    QVERIFY(frame()->evaluateJavaScript("window.hit === undefined").toBool());
    QCOMPARE(frame()->findFirstElement("#userinfo").toPlainText(),
             u("الاسم : <b>Amina</b>\nالبريد: <i>m</i>"));
    QVERIFY(frame()->findFirstElement("#velmarinfo").toPlainText().startsWith("<script>"));
    QCOMPARE(marks(), QStringList{"3"});
}

void TestExamResultsWindow::damagedSheet_data()
{
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("grading");
    QTest::addColumn<QStringList>("messages");
    // A sheet that cannot be read is an empty page; the grading text alone
    // decides the message.
    QTest::newRow("not an answers text") << "garbage" << "" << QStringList{kMsgNotGraded};
    QTest::newRow("empty, marks") << "" << "0::30" << QStringList();
    QTest::newRow("empty, total over twenty") << "" << "25::" << QStringList{kMsgOverTwenty};
    QTest::newRow("missing fields") << QString() << QString() << QStringList{kMsgNotGraded};
}

void TestExamResultsWindow::damagedSheet()
{
    QFETCH(QString, answers);
    QFETCH(QString, grading);
    QFETCH(QStringList, messages);
    open(payload({answers.isNull() ? QString("S<:>1<:>1|1")
                                   : record("S<:>1<:>1", "1", grading, answers)}));
    ModalAnswerer modal;
    click(0);
    QCOMPARE(modal.texts(), messages);
    QCOMPARE(frmnataij->htmlSheet, QString());
    QCOMPARE(frame()->findAllElements("div").count(), 0);
}

void TestExamResultsWindow::pdf()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5:7.5")}));
    click(0);
    hooks::setClock([] { return QDateTime(QDate(2015, 3, 1), QTime(14, 5, 9)); });
    const QString file = m_dir.filePath("sheet.pdf");
    QStringList asked;
    hooks::setSaveFileHandler([&](const QString &caption, const QString &path, const QString &filter) {
        asked << caption << path << filter;
        return file;
    });
    ModalAnswerer answers;
    QTest::mouseClick(frmnataij->findChild<QPushButton *>("B_pdf"), Qt::LeftButton);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(asked, (QStringList{u("حفظ الملف"), QDir::homePath() + "/imtihan_2015-03-01_14.05.09.pdf",
                                 "PDF (*.pdf)"}));
    QString pageSize;
    QVERIFY(isPdf(file, &pageSize));
    QVERIFY2(pageSize.contains("A4"), qPrintable(pageSize));
}

void TestExamResultsWindow::pdfCancelled()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5")}));
    click(0);
    int asked = 0;
    hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) {
        ++asked;
        return QString();
    });
    ModalAnswerer answers;
    frmnataij->on_B_pdf_clicked();
    QCOMPARE(asked, 1);
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(QDir(QDir::homePath()).entryList({"*.pdf"}, QDir::Files).isEmpty());
}

void TestExamResultsWindow::pdfUnwritable()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5")}));
    click(0);
    const QString file = m_dir.filePath("no/such/folder/sheet.pdf");
    hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) { return file; });
    ModalAnswerer answers;
    frmnataij->on_B_pdf_clicked();
    QCOMPARE(answers.texts(), QStringList{u("تعذر حفظ الملف    ")});
    QCOMPARE(answers.shown.first().title, kExamTitle);
    QVERIFY(!QFile::exists(file));
}

void TestExamResultsWindow::saveDialogInArabic()
{
    // The save dialog is Qt's own: its texts in Arabic, the file name as
    // proposed, the folder's path read from the left. It is answered with
    // Cancel as soon as it shows.
    hooks::setClock([] { return QDateTime(QDate(2015, 3, 1), QTime(14, 5, 9)); });
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5")}));
    click(0);
    QString title, lookIn, fileName, proposed, folder;
    QStringList buttons;
    // A path drawn by the folder box's style with a painter that takes the
    // right-to-left direction of the application, and the same path drawn
    // left to right and right to left.
    const QString path = QStringLiteral("/tmp/folder");
    QImage drawn, leftToRight, rightToLeft;
    const auto draw = [&](QStyle *style, const QFont &font, Qt::LayoutDirection direction) {
        QImage image(240, 30, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.setLayoutDirection(direction);
        const QRect rect = image.rect().adjusted(4, 0, -4, 0);
        const int flags = Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter;
        if (style)
            style->drawItemText(&painter, rect, flags, QPalette(), true, path);
        else
            painter.drawText(rect, flags, path);
        return image;
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            poll.stop();
            title = dialog->windowTitle();
            lookIn = dialog->findChild<QLabel *>("lookInLabel")->text();
            fileName = dialog->findChild<QLabel *>("fileNameLabel")->text();
            proposed = dialog->findChild<QLineEdit *>("fileNameEdit")->text();
            auto *combo = dialog->findChild<QComboBox *>("lookInCombo");
            folder = combo->currentText();
            drawn = draw(combo->style(), combo->font(), Qt::RightToLeft);
            leftToRight = draw(nullptr, combo->font(), Qt::LeftToRight);
            rightToLeft = draw(nullptr, combo->font(), Qt::RightToLeft);
            for (QAbstractButton *b : dialog->findChild<QDialogButtonBox *>("buttonBox")->buttons())
                buttons << b->text().remove('&');
            dialog->reject();
        }
    });
    poll.start(20);
    ModalAnswerer answers;
    QTest::mouseClick(frmnataij->findChild<QPushButton *>("B_pdf"), Qt::LeftButton);
    QVERIFY2(!title.isEmpty(), "no save dialog showed");
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(title, u("حفظ الملف"));
    QCOMPARE(lookIn, u("اعثر في:"));
    QCOMPARE(fileName.remove('&'), u("اسم الملفّ:"));
    QStringList arabic{u("احفظ"), u("ألغِ")};
    buttons.sort();
    arabic.sort();
    QCOMPARE(buttons, arabic);
    QCOMPARE(proposed, QStringLiteral("imtihan_2015-03-01_14.05.09.pdf"));
    QCOMPARE(folder, QDir::homePath());
    QVERIFY(leftToRight != rightToLeft);
    QVERIFY2(drawn == leftToRight, "the folder's path is not drawn from the left");
    QVERIFY(QDir(QDir::homePath()).entryList({"*.pdf"}, QDir::Files).isEmpty());
}

void TestExamResultsWindow::printPreview()
{
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5:7.5")}));
    click(0);
    const QString file = m_dir.filePath("preview.pdf");
    ModalAnswerer answers;
    answers.whileOpen([&](QDialog *dialog) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(dialog);
        QVERIFY(preview);
        QCOMPARE(preview->layoutDirection(), Qt::LeftToRight);
        QCOMPARE(preview->parentWidget(), frmnataij);
        QCOMPARE(preview->printer()->resolution(), QPrinter(QPrinter::HighResolution).resolution());
        printPreviewToPdf(preview, file);
    });
    QTest::mouseClick(frmnataij->findChild<QPushButton *>("B_print"), Qt::LeftButton);
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().title, u("طباعة الامتحان"));
    QCOMPARE(answers.shown.first().className, QString("QPrintPreviewDialog"));
    QString pageSize;
    QVERIFY(isPdf(file, &pageSize));
}

void TestExamResultsWindow::printedRightAfterTheClick_data()
{
    QTest::addColumn<bool>("preview");
    QTest::newRow("pdf") << false;
    QTest::newRow("print") << true;
}

// A sheet of every kind of question (written answers, ticked and unticked
// disabled boxes, the chosen answer of one of many), printed under the
// program's style sheet while its page still loads.
void TestExamResultsWindow::printedRightAfterTheClick()
{
    QFETCH(bool, preview);
    const QString sheet = u("4<:>ما هو الوضوء<:>1<:>طهارة بالماء<:>Describe the prayer<:>1<:>"
                            "standing<:>اختر أركان الصلاة<:>2<:>3<:>[on]القيام<:>[no]الركوع<:>"
                            "[on]Sujud<:>Pick one answer<:>3<:>2<:>[no]نعم<:>[on]Never");
    open(payload({record("Fiqh<:>3<:>2", "17", "0::5:4:3:2", sheet)}));
    QWebSettings::clearMemoryCaches();
    QTableWidget *t = table();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                      t->visualRect(t->model()->index(0, 0)).center());
    QWebView *web = frmnataij->findChild<QWebView *>("web");
    QVERIFY(web->page()->action(QWebPage::Stop)->isEnabled());

    const QString file = m_dir.filePath("right-away.pdf");
    QFile::remove(file);
    ModalAnswerer answers;
    if (preview) {
        answers.whileOpen([&](QDialog *dialog) {
            auto *d = qobject_cast<QPrintPreviewDialog *>(dialog);
            QVERIFY(d);
            printPreviewToPdf(d, file, QPrinter::HighResolution);
        });
        QTest::mouseClick(frmnataij->findChild<QPushButton *>("B_print"), Qt::LeftButton);
    } else {
        hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) { return file; });
        QTest::mouseClick(frmnataij->findChild<QPushButton *>("B_pdf"), Qt::LeftButton);
    }
    for (const ShownDialog &shown : answers.shown)
        QCOMPARE(shown.className, QString("QPrintPreviewDialog"));
    const QString text = pdfText(file);
    for (const char *shown : {"ما هو الوضوء", "طهارة بالماء", "Describe the prayer", "standing",
                              "اختر أركان الصلاة", "القيام", "الركوع", "Sujud", "Pick one answer",
                              "نعم", "Never"})
        QVERIFY2(text.contains(QString::fromUtf8(shown), Qt::CaseInsensitive),
                 qPrintable(shown + ("\n---\n" + text)));
    QCOMPARE(frame()->findAllElements("input[disabled]").count(), 4);
}

void TestExamResultsWindow::escapeAndClose()
{
    QPointer<FrmNataij> window = open(payload({record("Fiqh<:>3<:>2", "17", "")}));
    QVERIFY(QTest::qWaitForWindowExposed(frmnataij));
    QTest::keyClick(frmnataij, Qt::Key_Escape);
    QVERIFY(frmnataij);
    QVERIFY(frmnataij->isVisible());
    QVERIFY(!frmstart->isVisible());
    frmnataij->close();
    QCOMPARE(frmnataij, nullptr);
    QVERIFY(frmstart->isVisible());
    settle();
    QVERIFY(!window);
}

void TestExamResultsWindow::fromTheResultsButton()
{
    id_user = 1001;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    ModalAnswerer answers;
    frmstart->on_B_natija_clicked();
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join('|')));
    QVERIFY(frmnataij);
    QVERIFY(frmnataij->isVisible());
    QVERIFY(!frmstart->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(frmnataij));
    QCOMPARE(frmnataij->nameStudent, QStringLiteral("Amina Belkacem"));
    QTableWidget *t = table();
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(t->item(0, 0)->text(), u("Grammar I\n[ الفوج:1 - الفصل:2 ]"));
    QCOMPARE(t->item(0, 2)->text(), QString("11"));
    QCOMPARE(t->item(1, 1)->text(), QString("2015-03-08 09:30:00"));

    click(0);
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join('|')));
    QCOMPARE(marks(), (QStringList{"6", "5.5", "4"}));
    QCOMPARE(total(), u("المجموع : 20 / 15.5"));
    QVERIFY(frame()->toPlainText().contains("Al kitabu : jadidun + 100%"));
    QCOMPARE(frame()->findAllElements("input").count(), 5);

    click(1);
    QCOMPARE(answers.texts(), QStringList{kMsgNotGraded});
    QCOMPARE(total(), u("لم يتم تصحيح هذا الامتحان بعد"));
    // The written answer was cut to the question's ten letters.
    QVERIFY(frame()->toPlainText().contains("a summary"));
    QVERIFY(!frame()->toPlainText().contains("longer"));

    frmnataij->close();
    QVERIFY(frmstart->isVisible());
    QCOMPARE(frmnataij, nullptr);
    settle();
    QCOMPARE(frmconn, nullptr);
}

void TestExamResultsWindow::studentWithoutResults()
{
    grpVelmar = QStringLiteral("Nour Group");
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    frmstart->findChild<QLineEdit *>("Iduser")->setText("1003");
    ModalAnswerer answers;
    answers.queue(QMessageBox::Yes); // "are you this student?"
    frmstart->on_B_natija_clicked();
    QCOMPARE(answers.texts().size(), 2);
    QCOMPARE(answers.texts().last(), kMsgNoResults);
    QCOMPARE(frmnataij, nullptr);
    QVERIFY(frmstart->isVisible());
    QVERIFY(postBodies(m_institute.log()).last().contains("cmd=getimtihan"));
    settle();
    QCOMPARE(frmconn, nullptr);
}

QTEST_MAIN(TestExamResultsWindow)
#include "tst_exam_results_window.moc"
