// The exam authoring window: the question entry road key by key with the
// exam text each road yields, the preview, sending, the availability switch
// and the window's life, against the local institute.
#include "common/hooks.h"
#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"
#include "core/program.h"
#include "examtest.h"
#include "supervision/pure/examdraft.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/pdftext.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

const QString kComplete = QStringLiteral(" لقد اكتمل الاختبار    ");
const QString kOnText = QStringLiteral("لا يعرض أي امتحان للطلبة الآن");
const QString kOffText = QStringLiteral("عرض الامتحان متاح للطلبة الآن");
const QString kOnStyle =
    QStringLiteral("color: rgb(255, 0, 0);min-width: 180px;max-width: 180px;min-height: 20px;");
const QString kOffStyle =
    QStringLiteral("color: rgb(0, 0, 255);min-width: 180px;max-width: 180px;min-height: 20px;");
const QString kSent = QStringLiteral("لقد تم إرسال الامتحان بنجاح    ");

// The header of a two-question exam, up to the first question's text.
const QStringList kHeader = {"Tmada=Fiqh", "Tdate", "Tmoda=45", "Tcount=2",
                             "Tostad=karim", "Tfawj=1", "Tfasl=2"};

QStringList operator+(const QStringList &a, const char *b) { return a + QStringList{b}; }

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestExamAuthoring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void firstState();
    void entryRoad_data();
    void entryRoad();
    void anyOrderStaysInTheList();
    void nothingEnteredAfterAReset();
    void dateAndTeacher();
    void dateTextIsLatin();
    void resetKeepsTexts();
    void keysDoNothing();
    void preview();
    void renderTextBox();
    void send_data();
    void send();
    void sendChecks_data();
    void sendChecks();
    void switchButton_data();
    void switchButton();
    void switchPosts();
    void closedDuringItsPost();
    void closedDuringItsSwitchPost();
    void loginClosedDuringItsPost();
    void pdf();
    void pdfRightAfterAChange();
    void closedWhileThePdfWaits();
    void closeShowsTheReports();

private:
    FrmEntre *open();
    template <typename T = QWidget> T *w(const char *name)
    {
        T *found = frmentre->findChild<T *>(name);
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    // Runs the steps; false (with a message) when the focus is not where a
    // step expects it.
    bool play(const QStringList &steps, QString *failure);
    QString txt1() { return w<QPlainTextEdit>("txt1")->toPlainText(); }
    QString url() const;
    QStringList uploads();

    Institute m_institute;
};

void TestExamAuthoring::initTestCase()
{
    dressApplication(*qApp); // as the program starts
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
    hooks::setClock([] { return QDateTime(QDate(2015, 5, 25), QTime(9, 30, 12)); });
}

void TestExamAuthoring::cleanupTestCase() { hooks::setClock({}); }

void TestExamAuthoring::init()
{
    reset();
    Url_php = url();
    signInAsSupervisor();
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
}

void TestExamAuthoring::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
    QCOMPARE(frmentre, nullptr);
    QCOMPARE(frmconn, nullptr);
}

QString TestExamAuthoring::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
}

QStringList TestExamAuthoring::uploads()
{
    QStringList out;
    for (const QString &body : postBodies(m_institute.log())) {
        if (body.contains("cmd=sendim"))
            out << body.mid(1 + url().size());
    }
    return out;
}

FrmEntre *TestExamAuthoring::open()
{
    frmentre = new FrmEntre(nullptr);
    frmentre->show();
    QApplication::setActiveWindow(frmentre);
    if (!QTest::qWaitForWindowActive(frmentre))
        qWarning("authoring window not active");
    return frmentre;
}

bool TestExamAuthoring::play(const QStringList &steps, QString *failure)
{
    for (const QString &step : steps) {
        QWidget *focus = QApplication::focusWidget();
        const QString name = step.section('=', 0, 0);
        if (step.startsWith("click:")) {
            QTest::mouseClick(w(qPrintable(step.mid(6))), Qt::LeftButton);
        } else if (step.startsWith("focus:")) {
            auto *field = w<QLineEdit>(qPrintable(step.mid(6)));
            field->setFocus();
            field->selectAll();
        } else if (step.startsWith("set:")) {
            w<QLineEdit>(qPrintable(name.mid(4)))->setText(step.section('=', 1));
        } else if (step == "Down") {
            QTest::keyClick(focus, Qt::Key_Down);
        } else {
            if (!focus || focus->objectName() != name) {
                *failure = QStringLiteral("step %1: the focus is on %2")
                               .arg(step, focus ? focus->objectName() : QStringLiteral("nothing"));
                return false;
            }
            if (step.contains('='))
                QTest::keyClicks(focus, step.section('=', 1));
            QTest::keyClick(focus, Qt::Key_Return);
        }
    }
    return true;
}

void TestExamAuthoring::firstState()
{
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
    open();
    QCOMPARE(frmentre->windowTitle(), QStringLiteral("إدخال الامتحانات : Ma3had Al Fursan"));
    QVERIFY(frmentre->windowState() & Qt::WindowMaximized);
    QCOMPARE(frmentre->layoutDirection(), Qt::RightToLeft);
    for (const char *name : {"Tmada", "Lmada", "txt1", "web", "B_stat", "pushButton",
                             "pushButton_5", "pushButton_2", "pushButton_3", "pushButton_6"})
        QVERIFY2(w(name)->isVisible(), name);
    for (const char *name : {"Tdate", "Ldate", "Tmoda", "Lmoda", "Tcount", "Lcount", "Tostad",
                             "Lostad", "Tfawj", "Lfawj", "Tfasl", "Lfasl", "Nsoal", "Tsoal",
                             "Lsoal", "Nchoix", "Tchoix", "Lchoix", "frame_choix", "frame_type"})
        QVERIFY2(!w(name)->isVisible(), name);
    QCOMPARE(QApplication::focusWidget(), w("Tmada"));
    QCOMPARE(txt1(), QString());
    const QStringList texts = {w<QPushButton>("pushButton")->text(),
                               w<QPushButton>("pushButton_5")->text(),
                               w<QPushButton>("pushButton_2")->text(),
                               w<QPushButton>("pushButton_3")->text(),
                               w<QPushButton>("pushButton_6")->text()};
    QCOMPARE(texts, (QStringList{"عرض نتائج الطلبة", "إعادة ضبط", "إرسال الامتحان", "جلب إمتحان",
                                 "حفظ pdf"}));
    QVERIFY(!w<QRadioButton>("R1")->isChecked() && !w<QRadioButton>("R2")->isChecked()
            && !w<QRadioButton>("R3")->isChecked());
    QCOMPARE(w<QDateTimeEdit>("Tdate")->displayFormat(), QStringLiteral("yyyy-MM-dd HH:mm"));
    QCOMPARE(w<QDateTimeEdit>("Tdate")->minimumDateTime(),
             QDateTime(QDate(2015, 5, 1), QTime(0, 0)));
    QCOMPARE(w<QDateTimeEdit>("Tdate")->maximumDate(), QDate(2050, 12, 31));
}

void TestExamAuthoring::entryRoad_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("examText");
    QTest::addColumn<int>("completions");

    QTest::newRow("free text and one of two")
        << kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix" + "Tsoal=Q2" + "click:R3"
               + "Tcountchoix=2" + "Tchoix=A" + "Tchoix=B"
        << "2|Q1|1|-1|Q2|3|2|A|B" << 1;
    QTest::newRow("three announced, none entered")
        << QStringList{"Tmada=X", "Tdate", "Tmoda=30", "Tcount=3", "Tostad", "Tfawj=1", "Tfasl=1"}
        << "3|" << 0;
    QTest::newRow("arrow to several of many, then a limit")
        << kHeader + "Tsoal=Pick" + "Down" + "R2" + "Tcountchoix=3" + "Tchoix=a" + "Tchoix=b"
               + "Tchoix=c" + "Tsoal=Say" + "R1" + "Tcountchoix=10"
        << "2|Pick|2|3|a|b|c|Say|1|10" << 1;
    QTest::newRow("free texts cleaned")
        << kHeader + "Tsoal=a|b<c>" + "R1" + "Tcountchoix" + "Tsoal=Q" + "click:R2"
               + "Tcountchoix=1" + "Tchoix=x|y"
        << "2|a b c |1|-1|Q|2|1|x y" << 1;
    QTest::newRow("refused header fields")
        << QStringList{"Tmada=   ", "Tmada=Fiqh", "Tdate",  "Tmoda=abc", "Tmoda=30",
                       "Tcount=0",  "Tcount=201", "Tcount=x", "Tcount=1", "Tostad",
                       "Tfawj=x",   "Tfawj=1",    "Tfasl=0",  "Tfasl=3",  "Tsoal=Q",
                       "R1",        "Tcountchoix=abc", "Tcountchoix=0", "Tcountchoix=-7"}
        << "1|Q|1|-1" << 1;
    QTest::newRow("blank choice refused, blank question accepted")
        << kHeader + "Tsoal=   " + "click:R2" + "Tcountchoix=2" + "Tchoix=   " + "Tchoix=A"
               + "Tchoix=B" + "Tsoal=Q" + "R1" + "Tcountchoix"
        << "2|   |2|2|A|B|Q|1|-1" << 1;
    QTest::newRow("choice count confirmed again")
        << kHeader + "Tsoal=Q" + "click:R3" + "Tcountchoix=3" + "Tchoix=A" + "focus:Tcountchoix"
               + "Tcountchoix=2" + "Tchoix=C" + "Tchoix=D" + "Tsoal=Z" + "R1" + "Tcountchoix"
        << "2|Q|3|2|C|D|Z|1|-1" << 1;
    QTest::newRow("choice count above the cap refused")
        << kHeader + "Tsoal=Q" + "click:R3" + "Tcountchoix=51" + "Tcountchoix=1" + "Tchoix=A"
        << "2|Q|3|1|A" << 0;
    QTest::newRow("count raised during the entry")
        << kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix" + "set:Tcount=5" + "Tsoal=Q2" + "R1"
               + "Tcountchoix"
        << "5|Q1|1|-1|Q2|1|-1" << 1;
    QTest::newRow("count lowered during the entry")
        << kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix" + "set:Tcount=1" + "Tsoal=Q2" + "R1"
               + "Tcountchoix"
        << "1|Q1|1|-1" << 1;
    QTest::newRow("choice count raised during the choices")
        << kHeader + "Tsoal=Q" + "click:R2" + "Tcountchoix=2" + "set:Tcountchoix=4" + "Tchoix=A"
               + "Tchoix=B"
        << "2|Q|2|2|A|B" << 0;
    QTest::newRow("class confirmed again restarts the questions")
        << kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix" + "focus:Tfasl" + "Tfasl=2" + "Tsoal=N1"
               + "R1" + "Tcountchoix" + "Tsoal=N2" + "R1" + "Tcountchoix=5"
        << "2|N1|1|-1|N2|1|5" << 1;
    QTest::newRow("class confirmed again during the choices")
        << kHeader + "Tsoal=Q1" + "click:R3" + "Tcountchoix=2" + "Tchoix=A" + "focus:Tfasl"
               + "Tfasl=2" + "Tsoal=N1" + "R1" + "Tcountchoix"
        << "2|N1|1|-1" << 0;
}

void TestExamAuthoring::entryRoad()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, examText);
    QFETCH(int, completions);
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(steps, &failure), qPrintable(failure));
    QCOMPARE(txt1(), examText);
    QCOMPARE(frmentre->examText(), examText);
    QStringList expected;
    for (int i = 0; i < completions; ++i)
        expected << kComplete;
    QCOMPARE(answers.texts(), expected);
    for (const ShownDialog &shown : answers.shown)
        QCOMPARE(shown.title, QStringLiteral("برنامج الاختبار"));
    if (completions) {
        for (const char *name : {"Nsoal", "Tsoal", "Lsoal", "Nchoix", "Tchoix", "Lchoix",
                                 "frame_choix", "frame_type"})
            QVERIFY2(!w(name)->isVisible(), name);
        QVERIFY(w("Tmada")->isVisible() && w("Tfasl")->isVisible());
    }
}

void TestExamAuthoring::anyOrderStaysInTheList()
{
    open();
    ModalAnswerer answers;
    const char *names[] = {"on_Tmada_returnPressed",  "on_Tdate_editingFinished",
                           "on_Tmoda_returnPressed",  "on_Tcount_returnPressed",
                           "on_Tostad_returnPressed", "on_Tfawj_returnPressed",
                           "on_Tfasl_returnPressed",  "on_Tsoal_returnPressed",
                           "on_R1_returnPressed",     "on_R2_returnPressed",
                           "on_R3_returnPressed",     "on_Tcountchoix_returnPressed",
                           "on_Tchoix_returnPressed"};
    const char *fields[] = {"Tmada", "Tmoda", "Tcount", "Tfawj", "Tfasl",
                            "Tsoal", "Tcountchoix", "Tchoix"};
    const QString values[] = {"", "0", "1", "2", "3", "-1", "abc", "250", "x|y", "3", "2"};
    QRandomGenerator random(16);
    int mostRecords = 0;
    int choicesStored = 0;
    for (int i = 0; i < 4000; ++i) {
        const int kind = random.bounded(6);
        if (random.bounded(300) == 0) {
            QVERIFY(QMetaObject::invokeMethod(frmentre, "on_pushButton_5_clicked"));
        } else if (kind == 0) {
            const char *types[] = {"R1", "R2", "R3"};
            w<QRadioButton>(types[random.bounded(3)])->click();
        } else if (kind <= 2) {
            w<QLineEdit>(fields[random.bounded(int(std::size(fields)))])
                ->setText(values[random.bounded(int(std::size(values)))]);
        } else {
            const char *slot = names[random.bounded(int(std::size(names)))];
            QVERIFY(QMetaObject::invokeMethod(frmentre, slot));
        }
        QVERIFY(frmentre->listSoal.size() <= kMaxQuestions);
        // No record runs into the next: the records read back as as many
        // questions.
        const int records = enteredRecords(frmentre->listSoal, 0);
        const QString text = "1|" + frmentre->listSoal.mid(0, records).join('|');
        const ExamText exam = readExamText(text);
        QCOMPARE(exam.questions.size(), records);
        mostRecords = qMax(mostRecords, records);
        for (const ExamQuestion &q : exam.questions)
            choicesStored = qMax(choicesStored, q.choices.size());
    }
    // The walk went deep into the entry.
    QVERIFY(mostRecords >= 2);
    QVERIFY(choicesStored >= 2);
}

// A reset in the middle of the choices leaves the labels' numbers as they
// were but no question: a Return that reaches the count or choice field then
// stores nothing, says nothing and reads nothing of the emptied list.
void TestExamAuthoring::nothingEnteredAfterAReset()
{
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix" + "Tsoal=Q2" + "click:R2"
                      + "Tcountchoix=2" + "Tchoix=A",
                  &failure),
             qPrintable(failure));
    QCOMPARE(txt1(), QStringLiteral("2|Q1|1|-1|Q2|2|2|A"));
    QTest::mouseClick(w("pushButton_5"), Qt::LeftButton);
    QCOMPARE(w<QLabel>("Nsoal")->text(), QStringLiteral("2"));
    QCOMPARE(w<QLabel>("Nchoix")->text(), QStringLiteral("2"));
    w<QLineEdit>("Tchoix")->setText("B");
    for (const char *slot : {"on_Tchoix_returnPressed", "on_Tcountchoix_returnPressed",
                             "on_R2_returnPressed", "on_Tcountchoix_returnPressed",
                             "on_Tchoix_returnPressed"})
        QVERIFY(QMetaObject::invokeMethod(frmentre, slot));
    QCOMPARE(answers.texts(), QStringList());
    QCOMPARE(frmentre->listSoal, QStringList());
    QCOMPARE(txt1(), QString());
}

void TestExamAuthoring::dateAndTeacher()
{
    nickname = QStringLiteral("karim");
    const QList<int> types = {-101, -100};
    for (int type : types) {
        type_user = type;
        open();
        auto *date = w<QDateTimeEdit>("Tdate");
        date->setTime(QTime(10, 45));
        ModalAnswerer answers;
        QString failure;
        QVERIFY2(play({"Tmada=Fiqh"}, &failure), qPrintable(failure));
        // Today, the time kept.
        QCOMPARE(date->dateTime(), QDateTime(QDate(2015, 5, 25), QTime(10, 45)));
        QCOMPARE(QApplication::focusWidget(), date);
        // Digits typed replace the day and run on into the hour and minute.
        QTest::keyClicks(date, "260930");
        QCOMPARE(date->dateTime(), QDateTime(QDate(2015, 5, 26), QTime(9, 30)));
        // Leaving the date confirms it as Return does.
        w("Tmada")->setFocus();
        QCOMPARE(w<QLineEdit>("Tmoda")->text(), QStringLiteral("60"));
        QVERIFY(w("Tmoda")->isVisible());
        QVERIFY2(play({"Tmoda=30", "Tcount=2"}, &failure), qPrintable(failure));
        auto *teacher = w<QLineEdit>("Tostad");
        QCOMPARE(teacher->text(), type == -101 ? QStringLiteral("karim") : QString());
        QCOMPARE(teacher->isReadOnly(), type == -101);
        QCOMPARE(QApplication::focusWidget(), teacher);
        frmentre->close();
        settle();
    }
}

void TestExamAuthoring::dateTextIsLatin()
{
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    open();
    w<QDateTimeEdit>("Tdate")->setDateTime(QDateTime(QDate(2016, 2, 3), QTime(7, 5)));
    const QString text = frmentre->dateText();
    const QString shown = w<QDateTimeEdit>("Tdate")->text();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(text, QStringLiteral("2016-02-03 07:05"));
    QCOMPARE(shown, text);
}

void TestExamAuthoring::resetKeepsTexts()
{
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix", &failure), qPrintable(failure));
    w("Tmada")->setFocus();
    QTest::mouseClick(w("pushButton_5"), Qt::LeftButton);
    QCOMPARE(txt1(), QString());
    QCOMPARE(frmentre->listSoal, QStringList());
    QCOMPARE(frmentre->numSoal, 0);
    QVERIFY(!w("Tmoda")->isVisible() && !w("Tsoal")->isVisible() && !w("frame_type")->isVisible());
    QCOMPARE(w<QLineEdit>("Tmoda")->text(), QStringLiteral("45"));
    QCOMPARE(w<QLineEdit>("Tmada")->selectedText(), QStringLiteral("Fiqh"));
    QCOMPARE(QApplication::focusWidget(), w("Tmada"));
    // The count and the one "|" of an exam without records.
    QCOMPARE(frmentre->examText(), QStringLiteral("2|"));
}

void TestExamAuthoring::keysDoNothing()
{
    open();
    QTest::keyClick(frmentre, Qt::Key_Escape);
    QTest::keyClick(w("Tmada"), Qt::Key_Escape);
    settle();
    QVERIFY(frmentre);
    QVERIFY(frmentre->isVisible());
}

void TestExamAuthoring::preview()
{
    nameVelmar = QStringLiteral("Ma3had\nAl & Fursan");
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play({"Tmada=<b>Fiqh</b> & co", "Tdate", "Tmoda=45", "Tcount=2", "Tostad",
                   "Tfawj=1", "Tfasl=<i>2", "Tfasl=2", "Tsoal=x & <y>", "R1", "Tcountchoix"},
                  &failure),
              qPrintable(failure));
    QWebFrame *frame = w<QWebView>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 1);
    QCOMPARE(frame->findFirstElement("#mada").toPlainText(),
             QStringLiteral("<b>Fiqh</b> & co\nالفوج :1 - الفصل : 2"));
    QVERIFY(frame->findAllElements("#mada b").count() == 0);
    QCOMPARE(frame->findFirstElement("#velmarinfo").toPlainText(),
             QStringLiteral("Ma3had\nAl & Fursan"));
    QCOMPARE(frame->findFirstElement("#userinfo").toPlainText(),
             QStringLiteral("الاسم :\n\nالبريد:\n"));
    QCOMPARE(frame->findFirstElement("#total").toPlainText(), QString());
    QCOMPARE(txt1(), QStringLiteral("2|x &  y |1|-1"));
    QCOMPARE(frame->findFirstElement("#soal2").toPlainText(), QStringLiteral("x & y"));
    // The global label keeps "<br />" from the first preview on.
    QCOMPARE(nameVelmar, QStringLiteral("Ma3had<br />Al & Fursan"));
}

void TestExamAuthoring::renderTextBox()
{
    nameVelmar = QStringLiteral("A\nB");
    open();
    w<QLineEdit>("Tmada")->setText("Fiqh");
    w<QLineEdit>("Tfawj")->setText("3");
    w<QLineEdit>("Tfasl")->setText("4");
    w<QPlainTextEdit>("txt1")->setPlainText("2|Q1|1|-1|Q2|3|2|A|B");
    QTest::mouseClick(w("pushButton_3"), Qt::LeftButton);
    QWebFrame *frame = w<QWebView>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 2);
    QCOMPARE(frame->findAllElements("input[type=radio]").count(), 2);
    QCOMPARE(frame->findFirstElement("#mada").toPlainText(),
             QStringLiteral("Fiqh\nالفوح :3 - الفصل : 4"));
    QCOMPARE(frame->findFirstElement("#velmarinfo").toPlainText(), QStringLiteral("A\nB"));
    QCOMPARE(nameVelmar, QStringLiteral("A\nB"));
    QCOMPARE(frmentre->listSoal, QStringList());
    QCOMPARE(frmentre->examText(), QStringLiteral("0|"));
}

void TestExamAuthoring::send_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("message");

    const QStringList exam = QStringList{"Tmada=Fi|q<h>", "Tdate", "Tmoda=45", "Tcount=2",
                                         "Tostad=ka|r<im>", "Tfawj=1", "Tfasl=2", "Tsoal=Q1", "R1",
                                         "Tcountchoix", "Tsoal=Q2", "click:R3", "Tcountchoix=2",
                                         "Tchoix=A", "Tchoix=B"};
    QTest::newRow("complete exam")
        << exam
        << "&cmd=sendim&isgroup=no&id_user=7&ostad=karim&fawj=1&fasl=2&user_admin=admin"
           "&pwd=admin123&titre=Fiqh&txt=2%7CQ1%7C1%7C-1%7CQ2%7C3%7C2%7CA%7CB&moda=45"
           "&dateim=2015-05-25%2000:00"
        << kSent;
    QTest::newRow("unknown teacher")
        << QStringList{"Tmada=Fiqh", "Tdate", "Tmoda=45", "Tcount=1", "Tostad=Zed", "Tfawj=1",
                       "Tfasl=2", "Tsoal=Q", "R1", "Tcountchoix"}
        << "&cmd=sendim&isgroup=no&id_user=7&ostad=Zed&fawj=1&fasl=2&user_admin=admin"
           "&pwd=admin123&titre=Fiqh&txt=1%7CQ%7C1%7C-1&moda=45&dateim=2015-05-25%2000:00"
        << "لا يوجد أي أستاذ بهذا الإسم الذي عينته    ";
}

void TestExamAuthoring::send()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, items);
    QFETCH(QString, message);
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(steps, &failure), qPrintable(failure));
    answers.shown.clear();
    QTest::mouseClick(w("pushButton_2"), Qt::LeftButton);
    QCOMPARE(uploads(), QStringList{items});
    QCOMPARE(answers.texts(), QStringList{message});
    // Nothing is reset: the same exam can be sent again.
    QCOMPARE(txt1(), frmentre->examText());
    QVERIFY(frmentre->isVisible());
}

void TestExamAuthoring::sendChecks_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("fields"); // name=text set before the press
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("txt"); // posted exam text, empty: nothing posted

    const QStringList oneOfTwo = {"Tmada=Fiqh", "Tdate", "Tmoda=45", "Tcount=2", "Tostad",
                                  "Tfawj=1", "Tfasl=2", "Tsoal=Q1", "R1", "Tcountchoix"};
    const QString ask = QStringLiteral(
        "الاختبار غير مكتمل : أدخلت 1 من أصل 2 أسئلة    \nهل تريد إرساله على حاله ؟    ");
    QTest::newRow("incomplete, no") << oneOfTwo << QStringList() << QMessageBox::No
                                    << QStringList{ask} << "";
    QTest::newRow("incomplete, yes") << oneOfTwo << QStringList() << QMessageBox::Yes
                                     << QStringList{ask, kSent} << "2%7CQ1%7C1%7C-1";
    QTest::newRow("after a reset, yes")
        << oneOfTwo + "click:pushButton_5" << QStringList() << QMessageBox::Yes
        << QStringList{QStringLiteral("الاختبار غير مكتمل : أدخلت 0 من أصل 2 أسئلة    \n"
                                      "هل تريد إرساله على حاله ؟    "),
                       kSent}
        << "2%7C";
    const QString notNumber = QStringLiteral("الرجاء كتابة %1 عددا صحيحا أكبر من الصفر    ");
    QTest::newRow("duration not a number")
        << oneOfTwo << QStringList{"Tmoda=4 5"} << QMessageBox::Yes
        << QStringList{notNumber.arg("مدة الاختبار بالدقائق")} << "";
    QTest::newRow("cohort emptied") << oneOfTwo << QStringList{"Tfawj="} << QMessageBox::Yes
                                    << QStringList{notNumber.arg("رقم الفوج")} << "";
    QTest::newRow("class zero") << oneOfTwo << QStringList{"Tfasl=0"} << QMessageBox::Yes
                                << QStringList{notNumber.arg("رقم الفصل")} << "";
    QTest::newRow("count not a number")
        << oneOfTwo << QStringList{"Tcount=two"} << QMessageBox::Yes
        << QStringList{QStringLiteral("عدد الأسئلة يجب أن يكون بين 1 و 200    ")} << "";
    QTest::newRow("nothing entered yet") << QStringList() << QStringList() << QMessageBox::Yes
                                         << QStringList{notNumber.arg("مدة الاختبار بالدقائق")}
                                         << "";
}

void TestExamAuthoring::sendChecks()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, fields);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, txt);
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(steps, &failure), qPrintable(failure));
    for (const QString &field : fields)
        w<QLineEdit>(qPrintable(field.section('=', 0, 0)))->setText(field.section('=', 1));
    answers.shown.clear();
    answers.queue(answer);
    QTest::mouseClick(w("pushButton_2"), Qt::LeftButton);
    QCOMPARE(answers.texts(), messages);
    const QStringList posted = uploads();
    if (txt.isEmpty()) {
        QCOMPARE(posted, QStringList());
    } else {
        QCOMPARE(posted.size(), 1);
        QVERIFY2(posted.first().contains("&txt=" + txt + "&"), qPrintable(posted.first()));
    }
}

void TestExamAuthoring::switchButton_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("state");
    QTest::addColumn<bool>("shown");
    QTest::newRow("supervisor, on") << -100 << true << true;
    QTest::newRow("administration, off") << -104 << false << true;
    QTest::newRow("teacher") << -101 << true << false;
    QTest::newRow("student") << 0 << false << false;
    QTest::newRow("member") << 5 << true << false;
}

void TestExamAuthoring::switchButton()
{
    QFETCH(int, type);
    QFETCH(bool, state);
    QFETCH(bool, shown);
    type_user = type;
    ServerStat = state;
    open();
    auto *button = w<QPushButton>("B_stat");
    QCOMPARE(button->isVisible(), shown);
    QCOMPARE(button->text(), state ? kOnText : kOffText);
    QCOMPARE(button->styleSheet(), state ? kOnStyle : kOffStyle);
}

void TestExamAuthoring::switchPosts()
{
    open();
    auto *button = w<QPushButton>("B_stat");
    ModalAnswerer answers;
    const QString changed = QStringLiteral("لقد تم تغيير الحالة للسيرفور    ");
    // Off: a press asks for on.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ServerStat, true);
    QCOMPARE(button->text(), kOnText);
    QCOMPARE(button->styleSheet(), kOnStyle);
    QCOMPARE(m_institute.control({{"command", "exam-published"}})["closed"].toBool(), true);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ServerStat, false);
    QCOMPARE(button->text(), kOffText);
    // A refusal leaves the state and redraws the button as it was.
    pwd_admin = QStringLiteral("wrong");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ServerStat, false);
    QCOMPARE(button->text(), kOffText);
    QCOMPARE(answers.texts(), (QStringList{changed, changed,
                                           "نأسف كلمة المرور أو اسم المستخدم خطأ    "}));
    QStringList stats;
    for (const QString &body : postBodies(m_institute.log()))
        stats << body.section("&stat=", 1).section('&', 0, 0);
    QCOMPARE(stats, (QStringList{"1", "0", "1"}));
}

void TestExamAuthoring::closedDuringItsPost()
{
    frmpwd = new FrmPwd(nullptr);
    frmpwd->hide();
    open();
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(kHeader + "Tsoal=Q1" + "R1" + "Tcountchoix" + "Tsoal=Q2" + "R1" + "Tcountchoix",
                  &failure),
              qPrintable(failure));
    answers.shown.clear();
    m_institute.control({{"command", "exam-fault"}, {"cmd", "sendim"}, {"silent", 30}});
    QPointer<FrmEntre> window(frmentre);
    int shownDuring = -1;
    QTimer::singleShot(0, [&] {
        (void)QTest::qWaitFor([&] { return !uploads().isEmpty(); }, 20000);
        QCOMPARE(uploads().size(), 1);
        // A second press and a switch press start nothing.
        QTest::mouseClick(w("pushButton_2"), Qt::LeftButton);
        QMetaObject::invokeMethod(frmentre, "on_B_stat_clicked");
        shownDuring = answers.shown.size();
        frmentre->close();
        frmconn->on_pushButton_clicked();
    });
    QTest::mouseClick(w("pushButton_2"), Qt::LeftButton);
    QCOMPARE(shownDuring, 0);
    QCOMPARE(answers.texts(), QStringList{"فشل الاتصال لانقطاع الخط حاول من جديد    "});
    QCOMPARE(postBodies(m_institute.log()).size(), 1);
    settle();
    QVERIFY(!window);
    QCOMPARE(frmentre, nullptr);
    QCOMPARE(frmpwd, nullptr); // the login closed with it
    m_institute.control({{"command", "exam-fault"}});
}

// The window closed while its availability post waits, and gone before the
// post returns: nothing of it is touched afterwards.
void TestExamAuthoring::closedDuringItsSwitchPost()
{
    frmpwd = new FrmPwd(nullptr);
    frmpwd->hide();
    open();
    ModalAnswerer answers;
    m_institute.control({{"command", "exam-fault"}, {"cmd", "changetat"}, {"silent", 30}});
    QPointer<FrmEntre> window(frmentre);
    bool waited = false;
    QTimer::singleShot(0, [&] {
        QTRY_COMPARE(postBodies(m_institute.log()).size(), 1);
        waited = reply_isRunning && frmconn;
        frmentre->close();
        // The window goes while the post still waits.
        QTRY_VERIFY(!window);
        frmconn->on_pushButton_clicked();
    });
    QTest::mouseClick(w<QPushButton>("B_stat"), Qt::LeftButton);
    QVERIFY(waited);
    QVERIFY(!window);
    QCOMPARE(answers.texts(), QStringList{"فشل الاتصال لانقطاع الخط حاول من جديد    "});
    QCOMPARE(ServerStat, false);
    settle();
    QCOMPARE(frmentre, nullptr);
    QCOMPARE(frmpwd, nullptr);
    m_institute.control({{"command", "exam-fault"}});
}

// The supervisor login closed while its check waits: the answer, whatever
// it is, opens nothing.
void TestExamAuthoring::loginClosedDuringItsPost()
{
    frmoption = new frmOptions(nullptr);
    frmpwd = new FrmPwd(nullptr);
    frmpwd->show();
    frmpwd->findChild<QLineEdit *>("Luser")->setText("admin");
    frmpwd->findChild<QLineEdit *>("Lpwd")->setText("admin123");
    m_institute.control({{"command", "exam-fault"}, {"cmd", "infoadmin"}, {"silent", 2}});
    ModalAnswerer answers;
    QPointer<FrmPwd> login(frmpwd);
    bool waited = false;
    QTimer::singleShot(0, [&] {
        QTRY_COMPARE(postBodies(m_institute.log()).size(), 1);
        waited = reply_isRunning && frmconn;
        frmpwd->close();
    });
    // The answer comes, accepting the supervisor, after the login is gone.
    QTest::mouseClick(login->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(waited);
    QVERIFY(!login);
    QCOMPARE(answers.texts(), QStringList());
    QCOMPARE(frmentre, nullptr);
    QVERIFY(frmoption->isVisible());
    m_institute.control({{"command", "exam-fault"}});
}

void TestExamAuthoring::pdf()
{
    open();
    QStringList asked;
    const QString file = QDir::homePath() + "/preview.pdf";
    hooks::setSaveFileHandler([&](const QString &caption, const QString &path, const QString &filter) {
        asked << caption << path << filter;
        return asked.size() > 3 ? file : QString();
    });
    QTest::mouseClick(w("pushButton_6"), Qt::LeftButton); // cancelled
    QVERIFY(!QFile::exists(file));
    QTest::mouseClick(w("pushButton_6"), Qt::LeftButton);
    hooks::setSaveFileHandler({});
    QCOMPARE(asked.mid(0, 3), (QStringList{QString::fromUtf8("حفظ الملف"),
                                           QDir::homePath() + "/imtihan_2015-05-25_09.30.12.pdf",
                                           "PDF (*.pdf)"}));
    QFile out(file);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(out.read(5) == "%PDF-");
}

// The preview holds every kind of question (answer boxes with and without a
// limit, several of many, one of many) under the program's style sheet, and
// the PDF is asked while the page of the last change still loads.
void TestExamAuthoring::pdfRightAfterAChange()
{
    open();
    const QString file = QDir::homePath() + "/exam.pdf";
    hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) { return file; });
    ModalAnswerer answers;
    QString failure;
    QVERIFY2(play(QStringList{"Tmada=Fiqh", "Tdate", "Tmoda=45", "Tcount=4", "Tostad=karim",
                              "Tfawj=3", "Tfasl=2", "set:Tsoal=ما هو الوضوء", "Tsoal", "R1",
                              "Tcountchoix", "Tsoal=Describe the prayer", "R1", "Tcountchoix=40",
                              "set:Tsoal=اختر أركان الصلاة", "Tsoal", "click:R2", "Tcountchoix=3",
                              "set:Tchoix=القيام", "Tchoix", "set:Tchoix=الركوع", "Tchoix",
                              "Tchoix=Sujud", "Tsoal=Pick one answer", "click:R3",
                              "Tcountchoix=2", "set:Tchoix=نعم", "Tchoix"},
                  &failure),
              qPrintable(failure));
    // The last choice, with the page's style sheet and pictures to be read
    // again (as on the first page of a run).
    QWebSettings::clearMemoryCaches();
    QVERIFY2(play({"Tchoix=Never"}, &failure), qPrintable(failure));
    QCOMPARE(answers.texts(), QStringList{kComplete});
    QWebView *web = w<QWebView>("web");
    QVERIFY(web->page()->action(QWebPage::Stop)->isEnabled()); // still loading
    QTest::mouseClick(w("pushButton_6"), Qt::LeftButton);
    QString text = pdfText(file);
    for (const char *shown : {"ما هو الوضوء", "Describe the prayer", "اختر أركان الصلاة", "القيام",
                              "الركوع", "Sujud", "Pick one answer", "نعم", "Never", "Fiqh"})
        QVERIFY2(text.contains(QString::fromUtf8(shown)), qPrintable(shown + ("\n" + text)));
    const QWebFrame *frame = web->page()->mainFrame();
    QCOMPARE(frame->findAllElements("textarea").count(), 2);
    QCOMPARE(frame->findAllElements("input[type=checkbox]").count(), 3);
    QCOMPARE(frame->findAllElements("input[type=radio]").count(), 2);

    // Another exam pasted and shown: the PDF made at once holds it alone.
    w<QPlainTextEdit>("txt1")->setPlainText("2|Second exam question|1|-1|السؤال الثاني|3|2|A|B");
    QWebSettings::clearMemoryCaches();
    QTest::mouseClick(w("pushButton_3"), Qt::LeftButton);
    QVERIFY(web->page()->action(QWebPage::Stop)->isEnabled());
    QTest::mouseClick(w("pushButton_6"), Qt::LeftButton);
    text = pdfText(file);
    QVERIFY2(text.contains("Second exam question") && text.contains(QString::fromUtf8("السؤال الثاني")),
             qPrintable(text));
    QVERIFY2(!text.contains("Describe the prayer"), qPrintable(text));
    QCOMPARE(answers.texts(), QStringList{kComplete});
}

void TestExamAuthoring::closedWhileThePdfWaits()
{
    open();
    QPointer<FrmEntre> window(frmentre);
    w<QLineEdit>("Tmada")->setText("Fiqh");
    w<QPlainTextEdit>("txt1")->setPlainText("1|Q1|1|-1");
    QWebSettings::clearMemoryCaches();
    QTest::mouseClick(w("pushButton_3"), Qt::LeftButton);
    QVERIFY(w<QWebView>("web")->page()->action(QWebPage::Stop)->isEnabled());
    const QString file = QDir::homePath() + "/closed.pdf";
    hooks::setSaveFileHandler([&](const QString &, const QString &, const QString &) {
        // The window is closed while the page still loads.
        QTimer::singleShot(0, window, [&] { window->close(); });
        return file;
    });
    ModalAnswerer answers;
    QTest::mouseClick(w("pushButton_6"), Qt::LeftButton);
    hooks::setSaveFileHandler({});
    settle();
    QVERIFY(!window);
    QCOMPARE(frmentre, nullptr);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(answers.texts(), QStringList());
}

void TestExamAuthoring::closeShowsTheReports()
{
    type_user = -100;
    frmoption = new frmOptions(nullptr);
    frmpwd = new FrmPwd(nullptr);
    open();
    QVERIFY(!frmoption->isVisible());
    frmentre->close();
    settle();
    QCOMPARE(frmentre, nullptr);
    QCOMPARE(frmpwd, nullptr);
    QVERIFY(frmoption && frmoption->isVisible());
}

QTEST_MAIN(TestExamAuthoring)
#include "tst_exam_authoring.moc"
