// The supervisor's road and the student's, end to end through the local
// institute: a supervisor logs in from the report files window, enters a
// two-question exam and publishes it; a student logs in, finds it in the
// day's list and takes it; the report file it leaves is listed, shown and
// sent again from the report files window.
#include "core/program.h"
#include "examtest.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

using namespace examtest;

class TestExamSupervisionRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void road();

private:
    void supervisorPublishes();
    void studentTakes();
    void reportFiles();
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
    }
    QStringList commands();

    Institute m_institute;
};

void TestExamSupervisionRoad::initTestCase()
{
    dressApplication(*qApp);
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    // Only the exam the supervisor publishes is on today's list.
    m_institute.control({{"command", "exam-day"}, {"released", "0"}, {"exams", QJsonArray()}});
}

QStringList TestExamSupervisionRoad::commands()
{
    QStringList out;
    for (const QString &body : postBodies(m_institute.log()))
        out << body.section("cmd=", 1).section('&', 0, 0);
    return out;
}

void TestExamSupervisionRoad::road()
{
    reset();
    Url_php = url();
    nameVelmar = QStringLiteral("Velmar\nInstitute");
    supervisorPublishes();
    if (QTest::currentTestFailed())
        return;
    studentTakes();
    if (QTest::currentTestFailed())
        return;
    reportFiles();
    VERIFY_INSTITUTE_CLEAN(m_institute);
    QCOMPARE(commands(), (QStringList{"infoadmin", "sendim", "infousr", "login4", "send", "send",
                                      "send"}));
    closeWindows();
}

void TestExamSupervisionRoad::supervisorPublishes()
{
    type_user = -100;
    id_user = 7;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    frmstart->findChild<QPushButton *>("B_options")->click();
    QVERIFY(frmoption && frmoption->isVisible());
    frmoption->findChild<QPushButton *>("pushButton")->click();
    QVERIFY(frmpwd);
    frmpwd->findChild<QLineEdit *>("Luser")->setText("admin");
    frmpwd->findChild<QLineEdit *>("Lpwd")->setText("admin123");
    ModalAnswerer answers;
    frmpwd->findChild<QPushButton *>("pushButton")->click();
    QVERIFY(frmentre);
    QApplication::setActiveWindow(frmentre);
    QVERIFY(QTest::qWaitForWindowActive(frmentre));

    const auto type = [](const char *text) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        // Arabic is put in as a whole; the test keyboard types Latin only.
        if (auto *field = qobject_cast<QLineEdit *>(focus); field && *text)
            field->insert(QString::fromUtf8(text));
        QTest::keyClick(focus, Qt::Key_Return);
    };
    type("فقه");
    // The exam starts this minute and lasts an hour.
    frmentre->findChild<QDateTimeEdit *>("Tdate")->setTime(QTime::currentTime());
    for (const char *text : {"", "60", "2", "", "1", "2", "Q1", "", ""})
        type(text);
    type("Q2");
    QTest::mouseClick(frmentre->findChild<QWidget *>("R3"), Qt::LeftButton);
    for (const char *text : {"2", "A", "B"})
        type(text);
    QCOMPARE(frmentre->examText(), QStringLiteral("2|Q1|1|-1|Q2|3|2|A|B"));
    QTest::mouseClick(frmentre->findChild<QPushButton *>("pushButton_2"), Qt::LeftButton);
    QCOMPARE(answers.texts(), (QStringList{" لقد اكتمل الاختبار    ", "لقد تم إرسال الامتحان بنجاح    "}));
    const QJsonArray published =
        m_institute.control({{"command", "exam-published"}})["published"].toArray();
    QCOMPARE(published.size(), 1);
    QCOMPARE(published.at(0)["titre"].toString(), QStringLiteral("فقه"));
    QCOMPARE(published.at(0)["dateim"].toString(), frmentre->dateText());

    // The supervisor leaves: authoring, login and report files close.
    frmentre->close();
    settle();
    QCOMPARE(frmpwd, nullptr);
    QVERIFY(frmoption->isVisible());
    frmoption->close();
    settle();
    QVERIFY(frmstart->isVisible());
    delete frmstart;
    frmstart = nullptr;
}

void TestExamSupervisionRoad::studentTakes()
{
    // Another run of the program: the student's.
    type_user = 1;
    id_user = 1001;
    admin.clear();
    pwd_admin.clear();
    Badmin = false;
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QVERIFY(frmtime);
    QCOMPARE(frmtime->listId, QStringList{"101"});
    QCOMPARE(frmtime->listTitre, QStringList{QStringLiteral("فقه<:>1<:>2")});
    QCOMPARE(frmtime->listTxt, QStringList{"2|Q1|1|-1|Q2|3|2|A|B"});
    for (int i = 0; i < 5 && !frmweb; ++i)
        tick();
    QVERIFY(frmweb);
    QWebFrame *frame = frmweb->frame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 2);
    frame->evaluateJavaScript("document.getElementsByTagName('textarea')[0].value = 'my answer';"
                              "document.getElementsByTagName('input')[1].click();");
    answers.shown.clear();
    QTest::mouseClick(frmweb->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(answers.texts(), QStringList{"تم بحمد الله إرسال الامتحان بنجاح    "});
    const QJsonArray sent = m_institute.control({{"command", "exam-sent"}})["sent"].toArray();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0)["post"]["txt"].toString(),
             QStringLiteral("2<:>Q1<:>1<:>my answer<:>Q2<:>3<:>2<:>[no]A<:>[on]B"));
    QCOMPARE(sent.at(0)["post"]["id"].toString(), QStringLiteral("101"));
    closeWindows();
}

void TestExamSupervisionRoad::reportFiles()
{
    const QStringList files = QDir(QDir::homePath() + "/.imtihan").entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    type_user = -100;
    frmoption = new frmOptions(nullptr);
    frmoption->show();
    auto *table = frmoption->findChild<QTableWidget *>("table1");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("فقه\n[ الفوج:1  الفصل:2 ]"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("Amina Belkacem"));
    table->setCurrentCell(0, 0);

    ModalAnswerer answers;
    // Sent again as it is: the endpoint has it already.
    frmoption->findChild<QPushButton *>("pushButton_2")->click();
    frmoption->findChild<QPushButton *>("pushButton_7")->click();
    QVERIFY(frmview && frmview->isVisible());
    QWebFrame *frame = frmview->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 2);
    QCOMPARE(frame->findFirstElement("#mada").toPlainText(), QStringLiteral("فقه"));
    QCOMPARE(frame->findAllElements("input[checked]").count(), 1);
    QVERIFY(frame->findFirstElement("form").toPlainText().contains("my answer"));
    // Sent again as an edit: taken in place of the first.
    frmview->findChild<QPushButton *>("pushButton")->click();
    QCOMPARE(answers.texts(), (QStringList{"لقد تم استقبال امتحانك من قبل لا يمكنك إرساله مجددا    ",
                                           "تم بحمد الله إرسال الامتحان بنجاح    "}));
    const QJsonArray sent = m_institute.control({{"command", "exam-sent"}})["sent"].toArray();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.at(2)["post"]["cmd2"].toString(), QStringLiteral("edit"));
    QCOMPARE(sent.at(2)["post"]["txt"], sent.at(0)["post"]["txt"]);
    frmview->close();
    settle();
    QVERIFY(frmoption->isVisible());
}

QTEST_MAIN(TestExamSupervisionRoad)
#include "tst_exam_supervision_road.moc"
