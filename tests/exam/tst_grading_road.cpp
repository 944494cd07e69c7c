// The whole grading road through the local institute: two students take an
// exam and send it, the teacher logs in, opens the grading window from the
// authoring window and grades both sheets, and each student's results
// window shows that student's own grade.
#include "common/hooks.h"
#include "core/program.h"
#include "examtest.h"
#include "grading_window.h"
#include "support/institute.h"

#include <QDir>
#include <QLineEdit>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kExamText = QStringLiteral("2|Write|1|-1|Pick|2|2|A|B");
const QString kMsgSent = QStringLiteral("تم بحمد الله إرسال الامتحان بنجاح    ");
const QString kSaveQuestion = QStringLiteral("هل تريد حفظ التنقيط ؟      ");

} // namespace

class TestGradingRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void twoStudentsOneTeacher();

private:
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    }
    void takeExam(int student, const QString &answer);
    void gradeAsTeacher();
    // The results window of a student, on the row of exam 31; its page.
    void results(int student, QString *html, QStringList *messages);

    Institute m_institute;
};

void TestGradingRoad::initTestCase()
{
    dressApplication(*qApp);
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    hooks::setClock([] { return QDateTime::fromString("2015-05-25 14:12:18", format); });
    QDir(QDir::homePath()).mkpath("Desktop");
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "exam-day"},
                         {"relative", "reply"},
                         {"released", "0"},
                         {"exams", QJsonArray{QJsonObject{{"id", 31},
                                                          {"offset", 3},
                                                          {"minutes", 60},
                                                          {"title", "Tajwid"},
                                                          {"fawj", 2},
                                                          {"fasl", 5},
                                                          {"ostad", "karim"},
                                                          {"texts", QJsonArray{kExamText}}}}}});
}

void TestGradingRoad::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
}

void TestGradingRoad::takeExam(int student, const QString &answer)
{
    reset();
    Url_php = url();
    id_user = student;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    {
        ModalAnswerer answers;
        frmstart->on_B_login_clicked();
        QCOMPARE(answers.texts(), QStringList());
    }
    QVERIFY(frmtime);
    for (int i = 0; i < 10 && !frmweb; ++i)
        tick();
    QVERIFY(frmweb);
    QWebFrame *frame = frmweb->frame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 2);
    frame->findAllElements("textarea").at(0).evaluateJavaScript("this.value = '" + answer + "';");
    frame->findAllElements("input").at(1).evaluateJavaScript("this.click();");
    ModalAnswerer answers;
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), QStringList{kMsgSent});
    closeWindows();
}

void TestGradingRoad::gradeAsTeacher()
{
    reset();
    Url_php = url();
    type_user = -101;
    nickname = QStringLiteral("karim");
    id_user = 9001;
    frmpwd = new FrmPwd(nullptr);
    frmpwd->show();
    frmpwd->findChild<QLineEdit *>("Luser")->setText("karim");
    frmpwd->findChild<QLineEdit *>("Lpwd")->setText("karim123");
    ScriptedDialogs dialogs;
    QTest::mouseClick(frmpwd->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(frmentre);
    QCOMPARE(admin, QStringLiteral("karim"));

    // The authoring window's grading button opens the grading window.
    QTest::mouseClick(frmentre->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(frmdisplay);
    QVERIFY(frmdisplay->isVisible());
    QVERIFY(!frmentre->isVisible());
    QCOMPARE(dialogs.texts(), QStringList());
    auto *exams = displayChild<QTableWidget>("table1");
    QCOMPARE(exams->rowCount(), 1);
    QCOMPARE(exams->item(0, 2)->text(), QString("31"));
    clickRow("table1", 0);
    QTest::mouseClick(displayChild<QPushButton>("B_display"), Qt::LeftButton);
    auto *sheets = displayChild<QTableWidget>("table2");
    QCOMPARE(sheets->rowCount(), 2);
    QCOMPARE(sheets->item(0, 0)->text(), QString("Amina Belkacem"));
    QCOMPARE(sheets->item(1, 0)->text(), u("يوسف العلوي"));

    // The first sheet question by question, the second by a total.
    clickRow("table2", 0);
    QVERIFY(frmdisplay->htmlSheet.contains("<span dir='auto'>first words</span>\n"));
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    auto *mark = displayChild<QLineEdit>("T_note_soal");
    mark->setText("7");
    QTest::keyClick(mark, Qt::Key_Return);
    dialogs.press(QMessageBox::Yes);
    mark->setText("8");
    QTest::keyClick(mark, Qt::Key_Return);
    clickRow("table2", 1);
    QVERIFY(frmdisplay->htmlSheet.contains("<span dir='auto'>second words</span>\n"));
    QTest::mouseClick(displayChild<QPushButton>("B_edit"), Qt::LeftButton);
    dialogs.type("14.5");
    dialogs.press(QMessageBox::Yes);
    QTest::mouseClick(displayChild<QPushButton>("B_edraj_total"), Qt::LeftButton);
    QCOMPARE(dialogs.texts(), (QStringList{kSaveQuestion, kSaveQuestion}));
    QCOMPARE(frmdisplay->listTankit, (QStringList{"0::7:8", "14.5::"}));

    frmdisplay->close();
    QVERIFY(frmentre->isVisible());
    settle();
}

void TestGradingRoad::results(int student, QString *html, QStringList *messages)
{
    reset();
    Url_php = url();
    id_user = student;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    ModalAnswerer answers;
    frmstart->on_B_natija_clicked();
    QVERIFY(frmnataij);
    auto *table = frmnataij->findChild<QTableWidget *>("table1");
    int row = -1;
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->item(r, 2)->text() == "31")
            row = r;
    }
    QVERIFY(row >= 0);
    QCOMPARE(table->item(row, 0)->text(), u("Tajwid\n[ الفوج:2 - الفصل:5 ]"));
    frmnataij->on_table1_clicked(table->model()->index(row, 0));
    *html = frmnataij->htmlSheet;
    *messages = answers.texts();
}

void TestGradingRoad::twoStudentsOneTeacher()
{
    takeExam(1001, "first words");
    takeExam(1002, "second words");
    gradeAsTeacher();

    QString html;
    QStringList messages;
    results(1001, &html, &messages);
    QCOMPARE(messages, QStringList());
    QVERIFY(html.contains("<span dir='auto'>first words</span>\n"));
    QVERIFY(html.contains(u("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>7</span></div>")));
    QVERIFY(html.contains(u("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>8</span></div>")));
    QVERIFY(html.contains(u("المجموع : <span id='nokta' dir='rtl'> 20 / <span dir='ltr'>15</span>")));
    QTRY_VERIFY(frmnataij->findChild<QWebView *>("web")->page()->mainFrame()->toPlainText().contains(
        "20 / 15"));

    results(1002, &html, &messages);
    QCOMPARE(messages, QStringList());
    QVERIFY(html.contains("<span dir='auto'>second words</span>\n"));
    QVERIFY(!html.contains("<div id='note2'>"));
    QVERIFY(html.contains(u("المجموع : <span id='nokta' dir='rtl'> 20 / <span dir='ltr'>14.5</span>")));
}

QTEST_MAIN(TestGradingRoad)
#include "tst_grading_road.moc"
