// The report files window, the supervisor login and the report viewer:
// the files listed, fetched, saved, deleted, sent and shown, through the
// dialog and file seams and against the local institute.
#include "common/hooks.h"
#include "core/program.h"
#include "core/pure/report.h"
#include "examtest.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTextLayout>
#include <QTableWidget>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

using namespace examtest;

namespace {

const QString kLabel = QStringLiteral("Ma3had\nAl Fursan");
const QString kAnswers = QStringLiteral("2<:>Q1<:>1<:>my answer<:>Q2<:>3<:>2<:>[on]A<:>[no]B");
const QString kNotGraded = QStringLiteral("لم يتم تصحيح هذا الامتحان بعد");
const QString kTitle = QStringLiteral("برنامج الاختبار");

ReportRecord record(const QString &title, const QString &label = QStringLiteral("Ma3had<br />Al Fursan"),
                    const QString &answers = kAnswers)
{
    return ReportRecord{"2015-05-25_14.12.18", "Amina", "amina@example.org", "1001", label,
                        "no", "41", "1", "2", title, answers};
}

QString folder() { return QDir::homePath() + "/.imtihan"; }

// A path of Latin letters as the window's messages show it: in a
// left-to-right isolate.
QString ltr(const QString &path) { return QChar(0x2066) + path + QChar(0x2069); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray reportBytes(const ReportRecord &r) { return compressReport(reportRecordText(r)); }

} // namespace

class TestExamReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listing();
    void emptyFolder();
    void roles_data();
    void roles();
    void fetch();
    void fetchNothingStillReloads();
    void saveOne();
    void saveAll();
    void remove();
    void removeQuestionReadsThePathLeftToRight();
    void send();
    void showAndBack();
    void startFormOpensIt();

    void loginKeys();
    void loginAccepted();
    void loginRefused();

    void viewer();
    void viewerEscapes();
    void viewerDamaged_data();
    void viewerDamaged();
    void viewerResends();

private:
    frmOptions *open();
    QTableWidget *table() { return frmoption->findChild<QTableWidget *>("table1"); }
    QPushButton *button(const char *name) { return frmoption->findChild<QPushButton *>(name); }
    QStringList column(int c);
    void select(int row);
    QString url() const;
    QStringList sendBodies();

    Institute m_institute;
};

void TestExamReports::initTestCase()
{
    dressApplication(*qApp);
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
}

void TestExamReports::init()
{
    reset();
    Url_php = url();
    nameVelmar = kLabel;
    type_user = -100;
    id_user = 1001;
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
    QDir(folder()).removeRecursively();
    QVERIFY(QDir().mkpath(folder()));
}

void TestExamReports::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    hooks::setOpenFilesHandler({});
    hooks::setSaveFileHandler({});
    hooks::setDirectoryHandler({});
    closeWindows();
    QCOMPARE(frmoption, nullptr);
    QCOMPARE(frmview, nullptr);
    QCOMPARE(frmpwd, nullptr);
}

QString TestExamReports::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
}

QStringList TestExamReports::sendBodies()
{
    QStringList out;
    for (const QString &body : postBodies(m_institute.log()))
        out << body.mid(1 + url().size());
    return out;
}

frmOptions *TestExamReports::open()
{
    frmoption = new frmOptions(nullptr);
    frmoption->show();
    return frmoption;
}

QStringList TestExamReports::column(int c)
{
    QStringList out;
    for (int r = 0; r < table()->rowCount(); ++r)
        out << table()->item(r, c)->text();
    out.sort();
    return out;
}

void TestExamReports::select(int row)
{
    table()->setCurrentCell(row, 0);
    QVERIFY(table()->selectionModel()->isRowSelected(row, QModelIndex()));
}

void TestExamReports::listing()
{
    writeFile(folder() + "/a.im", reportBytes(record("Fiqh")));
    // The label as the global holds it after a page was shown.
    writeFile(folder() + "/b.im", reportBytes(record("Nahw", "Ma3had\nAl Fursan")));
    writeFile(folder() + "/other.im", reportBytes(record("Other", "Another Institute")));
    writeFile(folder() + "/upper.IM", reportBytes(record("Upper")));
    writeFile(folder() + "/c.im.bak", reportBytes(record("Backup")));
    QVERIFY(QDir(folder()).mkdir("dir.im"));
    writeFile(folder() + "/garbage.im", "not compressed at all");
    writeFile(folder() + "/empty.im", "");
    QByteArray huge = reportBytes(record("Huge"));
    huge[0] = '\x7f'; // declares far more than the file can hold
    writeFile(folder() + "/huge.im", huge);
    writeFile(folder() + "/short.im", compressReport("a<::>b<::>c<::>d<::>Ma3had<br />Al Fursan"));
    writeFile(folder() + "/big.im", QByteArray(kMaxReportFileSize + 1, 'x'));

    open();
    QCOMPARE(frmoption->windowTitle(), QStringLiteral("إعدادات : Ma3had Al Fursan"));
    QCOMPARE(frmoption->size(), QSize(720, 500));
    QCOMPARE(table()->rowCount(), 7);
    QCOMPARE(frmoption->reportPaths.size(), 7);
    QCOMPARE(frmoption->reportTexts.size(), 7);
    const QString damaged = QStringLiteral("تقرير معطوب\n");
    QCOMPARE(column(0), (QStringList{"Fiqh\n[ الفوج:1  الفصل:2 ]", "Nahw\n[ الفوج:1  الفصل:2 ]",
                                     damaged + "big.im", damaged + "empty.im",
                                     damaged + "garbage.im", damaged + "huge.im",
                                     damaged + "short.im"}));
    QCOMPARE(column(1), (QStringList{"", "", "", "", "", "Amina", "Amina"}));
    QCOMPARE(column(2).mid(5), (QStringList{"2015-05-25 14:12:18", "2015-05-25 14:12:18"}));
    for (int r = 0; r < table()->rowCount(); ++r) {
        const bool isDamaged = table()->item(r, 0)->text().startsWith(damaged);
        QCOMPARE(frmoption->reportTexts.at(r).isEmpty(), isDamaged);
        QCOMPARE(table()->item(r, 0)->textAlignment(), int(Qt::AlignCenter));
        if (!isDamaged)
            QCOMPARE(frmoption->reportTexts.at(r), reportRecordText(record(
                table()->item(r, 0)->text().section('\n', 0, 0),
                table()->item(r, 0)->text().startsWith("Nahw") ? "Ma3had\nAl Fursan"
                                                                : "Ma3had<br />Al Fursan")));
    }
    QVERIFY(table()->horizontalHeader()->isHidden() && table()->verticalHeader()->isHidden());

    // A damaged report is neither sent nor shown.
    ModalAnswerer answers;
    const int row = frmoption->reportPaths.indexOf(folder() + "/garbage.im");
    select(row);
    button("pushButton_2")->click();
    button("pushButton_7")->click();
    QCOMPARE(answers.texts(), (QStringList{"التقرير المحدد معطوب لا يمكن قراءته    ",
                                           "التقرير المحدد معطوب لا يمكن قراءته    "}));
    QCOMPARE(sendBodies(), QStringList());
    QCOMPARE(frmview, nullptr);
}

void TestExamReports::emptyFolder()
{
    QDir(folder()).removeRecursively();
    open();
    QCOMPARE(table()->rowCount(), 0);
    ModalAnswerer answers;
    for (const char *name : {"pushButton_2", "pushButton_5", "pushButton_3", "pushButton_7"})
        button(name)->click();
    QCOMPARE(answers.texts(), (QStringList{"لم تقم بتحديد التقرير المراد إرساله      ",
                                           "لم تقم بتحديد التقرير المراد حفظه      ",
                                           "لم تقم بتحديد التقرير المراد حذفه      ",
                                           "لم تقم بتحديد التقرير المراد إرساله      "}));
    for (const ShownDialog &shown : answers.shown)
        QCOMPARE(shown.title, kTitle);
    // Escape does not close the window.
    QTest::keyClick(frmoption, Qt::Key_Escape);
    settle();
    QVERIFY(frmoption && frmoption->isVisible());
}

void TestExamReports::roles_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("login");
    QTest::addColumn<bool>("show");
    QTest::newRow("visitor") << 0 << false << false;
    QTest::newRow("member") << 12 << false << false;
    QTest::newRow("teacher") << -101 << true << false;
    QTest::newRow("supervisor") << -100 << true << true;
    QTest::newRow("administration") << -104 << true << true;
}

void TestExamReports::roles()
{
    QFETCH(int, type);
    QFETCH(bool, login);
    QFETCH(bool, show);
    type_user = type;
    open();
    QCOMPARE(button("pushButton")->isVisible(), login);
    QCOMPARE(button("pushButton_7")->isVisible(), show);
    for (const char *name : {"pushButton_2", "pushButton_3", "pushButton_4", "pushButton_5",
                             "pushButton_6"})
        QVERIFY(button(name)->isVisible());
}

void TestExamReports::fetch()
{
    const QString elsewhere = QDir::homePath() + "/elsewhere";
    QVERIFY(QDir().mkpath(elsewhere));
    writeFile(elsewhere + "/mine.im", reportBytes(record("Mine")));
    writeFile(elsewhere + "/other.im", reportBytes(record("Other", "Another<br />Institute")));
    writeFile(elsewhere + "/broken.im", "xx");
    writeFile(elsewhere + "/kept.im", reportBytes(record("New")));
    writeFile(folder() + "/kept.im", reportBytes(record("Old")));
    open();
    QStringList asked;
    hooks::setOpenFilesHandler([&](const QString &caption, const QString &path, const QString &filter) {
        asked << caption << path << filter;
        return QStringList{elsewhere + "/mine.im", elsewhere + "/other.im",
                           elsewhere + "/broken.im", elsewhere + "/kept.im", QString()};
    });
    ModalAnswerer answers;
    button("pushButton_4")->click();
    QCOMPARE(asked, (QStringList{"الرجاء تحديد الملفات المراد جلبها   ", QDir::homePath(),
                                 "تقارير الامتحان (*.im)"}));
    QCOMPARE(answers.texts(),
             (QStringList{"عذرا .. التقرير المحدد لاينتمي لهذا المعهد   \nينتمي لمعهد : Another\nInstitute",
                          "عذرا .. الملف المحدد ليس تقريرا سليما   \n" + ltr(elsewhere + "/broken.im"),
                          "يوجد ملف بنفس الاسم ولم يتم استبداله   \n" + ltr(folder() + "/kept.im")}));
    QCOMPARE(readFile(folder() + "/mine.im"), readFile(elsewhere + "/mine.im"));
    QVERIFY(!QFile::exists(folder() + "/other.im"));
    QVERIFY(!QFile::exists(folder() + "/broken.im"));
    QCOMPARE(readFile(folder() + "/kept.im"), reportBytes(record("Old")));
    QCOMPARE(column(0), (QStringList{"Mine\n[ الفوج:1  الفصل:2 ]", "Old\n[ الفوج:1  الفصل:2 ]"}));
}

void TestExamReports::fetchNothingStillReloads()
{
    open();
    QCOMPARE(table()->rowCount(), 0);
    writeFile(folder() + "/late.im", reportBytes(record("Late")));
    hooks::setOpenFilesHandler([](const QString &, const QString &, const QString &) {
        return QStringList();
    });
    button("pushButton_4")->click();
    QCOMPARE(table()->rowCount(), 1);
}

void TestExamReports::saveOne()
{
    writeFile(folder() + "/a.im", reportBytes(record("Fiqh")));
    open();
    select(0);
    QStringList asked;
    QString answer;
    hooks::setSaveFileHandler([&](const QString &caption, const QString &path, const QString &filter) {
        asked = QStringList{caption, path, filter};
        return answer;
    });
    ModalAnswerer answers;
    button("pushButton_5")->click(); // cancelled
    QCOMPARE(asked, (QStringList{"تحديد مكان حفظ الملف   ", QDir::homePath() + "/a.im",
                                 "تقارير الامتحان (*.im)"}));
    answer = QDir::homePath() + "/copy.im";
    button("pushButton_5")->click();
    QCOMPARE(readFile(answer), readFile(folder() + "/a.im"));
    // An existing file is kept, a place that cannot be written is told.
    writeFile(answer, "mine");
    button("pushButton_5")->click();
    answer = QDir::homePath() + "/no/such/folder/copy.im";
    button("pushButton_5")->click();
    QCOMPARE(answers.texts(), (QStringList{
                                  "يوجد ملف بنفس الاسم ولم يتم استبداله   \n" + ltr(QDir::homePath() + "/copy.im"),
                                  "تعذر حفظ نسخة التقرير في :   \n" + ltr(answer)}));
    QCOMPARE(readFile(QDir::homePath() + "/copy.im"), QByteArray("mine"));
}

void TestExamReports::saveAll()
{
    writeFile(folder() + "/a.im", reportBytes(record("Fiqh")));
    writeFile(folder() + "/b.im", reportBytes(record("Nahw")));
    writeFile(folder() + "/other.im", reportBytes(record("Other", "Elsewhere")));
    const QString target = QDir::homePath() + "/safe";
    QVERIFY(QDir().mkpath(target));
    writeFile(target + "/b.im", "kept");
    open();
    QString answer;
    QStringList asked;
    hooks::setDirectoryHandler([&](const QString &caption, const QString &path) {
        asked = QStringList{caption, path};
        return answer;
    });
    ModalAnswerer answers;
    button("pushButton_6")->click(); // cancelled
    QCOMPARE(asked, (QStringList{"تحديد مكان حفظ الملفات   ", QDir::homePath()}));
    QCOMPARE(QDir(target).entryList(QDir::Files), QStringList{"b.im"});
    answer = target;
    button("pushButton_6")->click();
    QCOMPARE(QDir(target).entryList(QDir::Files, QDir::Name), (QStringList{"a.im", "b.im"}));
    QCOMPARE(readFile(target + "/a.im"), readFile(folder() + "/a.im"));
    QCOMPARE(readFile(target + "/b.im"), QByteArray("kept"));
    QCOMPARE(answers.texts(),
             QStringList{"يوجد ملف بنفس الاسم ولم يتم استبداله   \n" + ltr(target + "/b.im")});
}

void TestExamReports::remove()
{
    writeFile(folder() + "/a.im", reportBytes(record("Fiqh")));
    open();
    select(0);
    ModalAnswerer answers;
    answers.queue(QMessageBox::No);
    button("pushButton_3")->click();
    QVERIFY(QFile::exists(folder() + "/a.im"));
    QCOMPARE(table()->rowCount(), 1);
    answers.queue(QMessageBox::Yes);
    button("pushButton_3")->click();
    QVERIFY(!QFile::exists(folder() + "/a.im"));
    QCOMPARE(table()->rowCount(), 0);
    const QString ask = "سيتم حذف التقرير التالي   \n" + ltr(folder() + "/a.im") + "\nهل أنت موافق ؟             ";
    QCOMPARE(answers.texts(), (QStringList{ask, ask}));
    QCOMPARE(answers.shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(answers.shown.first().title, kTitle);
}

void TestExamReports::removeQuestionReadsThePathLeftToRight()
{
    // A report named as the program names them: title, cohort, class and
    // the stamp. The question is drawn right to left (the message box of the
    // Arabic interface); its path line reads left to right, the stamp as
    // written and the title's Arabic words right to left.
    const QString name = QString::fromUtf8("امتحان_التجويد_الفوج1_الفصل2_11-12-2026_11.53.26.im");
    writeFile(folder() + "/" + name, reportBytes(record("Tajwid")));
    // A name that holds direction marks cannot turn the question around.
    const QString marked = QString::fromUtf8("b\u202Emi.gnp_\u2067x.im");
    writeFile(folder() + "/" + marked, reportBytes(record("Marked")));
    open();
    const int row = frmoption->reportPaths.indexOf(folder() + "/" + name);
    QVERIFY(row >= 0);
    select(row);
    ModalAnswerer answers;
    answers.queue(QMessageBox::No);
    button("pushButton_3")->click();
    QCOMPARE(answers.shown.size(), 1);
    const QStringList lines = answers.shown.at(0).text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    const QString line = lines.at(1);
    QTextLayout layout(line, QApplication::font());
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine drawn = layout.createLine();
    drawn.setLineWidth(100000);
    layout.endLayout();
    // The left edge of a piece of Latin letters or digits as drawn.
    auto x = [&](const QString &piece) {
        const int at = line.lastIndexOf(piece);
        return at < 0 ? -1.0 : drawn.cursorToX(at);
    };
    const QString seen = QStringLiteral("home %1, date %2, time %3, suffix %4")
                             .arg(x(QDir::homePath())).arg(x("11-12-2026")).arg(x("11.53.26"))
                             .arg(x(".im"));
    QVERIFY2(x(QDir::homePath()) >= 0 && x(QDir::homePath()) < x("11-12-2026")
                 && x("11-12-2026") < x("11.53.26") && x("11.53.26") < x(".im"),
             qPrintable(seen));
    // The Arabic words, each with its number, read right to left: each
    // word's first letter at its right, the first word right of the next.
    QList<qreal> words;
    for (const char *word : {"امتحان", "التجويد", "الفوج", "الفصل"}) {
        const int at = line.indexOf(QString::fromUtf8(word));
        QVERIFY(at >= 0);
        words << drawn.cursorToX(at);
    }
    QVERIFY2(words.at(0) > words.at(1) && words.at(1) > words.at(2) && words.at(2) > words.at(3),
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(words.at(0)).arg(words.at(1))
                            .arg(words.at(2)).arg(words.at(3))));

    select(frmoption->reportPaths.indexOf(folder() + "/" + marked));
    answers.queue(QMessageBox::No);
    button("pushButton_3")->click();
    QCOMPARE(answers.shown.size(), 2);
    const QString question = answers.shown.at(1).text;
    QCOMPARE(question.section(QLatin1Char('\n'), 1, 1),
             ltr(folder() + QString::fromUtf8("/b\uFFFDmi.gnp_\uFFFDx.im")));
    QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 2);
}

void TestExamReports::send()
{
    writeFile(folder() + "/a.im", reportBytes(record("Fiqh")));
    open();
    select(0);
    ModalAnswerer answers;
    button("pushButton_2")->click();
    button("pushButton_2")->click();
    QCOMPARE(answers.texts(), (QStringList{"تم بحمد الله إرسال الامتحان بنجاح    ",
                                           "لقد تم استقبال امتحانك من قبل لا يمكنك إرساله مجددا    "}));
    const QString items = "&cmd=send&id_user=1001&isgroup=no&txt=2%3C:%3EQ1%3C:%3E1%3C:%3Emy%20answer"
                          "%3C:%3EQ2%3C:%3E3%3C:%3E2%3C:%3E[on]A%3C:%3E[no]B&id=41&titre=Fiqh";
    QCOMPARE(sendBodies(), (QStringList{items, items}));
    QCOMPARE(table()->rowCount(), 1);
}

void TestExamReports::showAndBack()
{
    writeFile(folder() + "/a.im", reportBytes(record("Fiqh")));
    open();
    select(0);
    button("pushButton_7")->click();
    QVERIFY(frmview);
    QVERIFY(frmview->isVisible());
    QVERIFY(!frmoption->isVisible());
    QWebFrame *frame = frmview->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 2);
    frmview->close();
    settle();
    QCOMPARE(frmview, nullptr);
    QVERIFY(frmoption->isVisible());
    // The supervisor login hides the window too, and its close brings it back.
    button("pushButton")->click();
    QVERIFY(frmpwd && frmpwd->isVisible());
    QVERIFY(!frmoption->isVisible());
    frmpwd->close();
    settle();
    QCOMPARE(frmpwd, nullptr);
    QVERIFY(frmoption->isVisible());
}

void TestExamReports::startFormOpensIt()
{
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    frmstart->on_B_options_clicked();
    QVERIFY(frmoption && frmoption->isVisible());
    QVERIFY(!frmstart->isVisible());
    frmoption->close();
    settle();
    QCOMPARE(frmoption, nullptr);
    QVERIFY(frmstart->isVisible());
}

void TestExamReports::loginKeys()
{
    frmpwd = new FrmPwd(nullptr);
    frmpwd->show();
    QApplication::setActiveWindow(frmpwd);
    QVERIFY(QTest::qWaitForWindowActive(frmpwd));
    QCOMPARE(frmpwd->windowTitle(), QStringLiteral("الدخول بصلاحيات المشرف"));
    QCOMPARE(frmpwd->size(), QSize(340, 132));
    auto *user = frmpwd->findChild<QLineEdit *>("Luser");
    auto *password = frmpwd->findChild<QLineEdit *>("Lpwd");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    user->setFocus();
    QTest::keyClicks(user, "admin");
    QTest::keyClick(user, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), password);
    QTest::keyClick(password, Qt::Key_Escape);
    settle();
    QVERIFY(frmpwd && frmpwd->isVisible());
    QCOMPARE(user->text(), QStringLiteral("admin"));
    QCOMPARE(postBodies(m_institute.log()), QStringList());
}

void TestExamReports::loginAccepted()
{
    open();
    m_institute.control({{"command", "exam-switch"}, {"closed", true}});
    button("pushButton")->click();
    frmpwd->findChild<QLineEdit *>("Luser")->setText("admin");
    auto *password = frmpwd->findChild<QLineEdit *>("Lpwd");
    password->setText("admin123");
    ModalAnswerer answers;
    QTest::keyClick(password, Qt::Key_Return);
    QCOMPARE(answers.texts(), QStringList());
    QCOMPARE(admin, QStringLiteral("admin"));
    QCOMPARE(pwd_admin, QStringLiteral("admin123"));
    QVERIFY(Badmin);
    QVERIFY(ServerStat);
    QVERIFY(frmentre && frmentre->isVisible());
    QVERIFY(frmpwd && !frmpwd->isVisible()); // hidden, not closed
    QVERIFY(!frmoption->isVisible());
    QCOMPARE(sendBodies(),
             QStringList{"&id_user=1001&user_admin=admin&cmd=infoadmin&isgroup=no&pwd=admin123"});
}

void TestExamReports::loginRefused()
{
    open();
    admin = QStringLiteral("before");
    pwd_admin = QStringLiteral("before");
    Badmin = true;
    button("pushButton")->click();
    ModalAnswerer answers;
    frmpwd->findChild<QPushButton *>("pushButton")->click(); // empty name and password
    QCOMPARE(answers.texts(), QStringList{"نأسف كلمة المرور أو اسم المستخدم فيه خطأ    "});
    QCOMPARE(admin, QString());
    QCOMPARE(pwd_admin, QString());
    QVERIFY(!Badmin);
    settle();
    QCOMPARE(frmpwd, nullptr);
    QCOMPARE(frmentre, nullptr);
    QVERIFY(frmoption->isVisible());
    QCOMPARE(sendBodies(), QStringList{"&id_user=1001&user_admin=&cmd=infoadmin&isgroup=no&pwd="});
}

void TestExamReports::viewer()
{
    frmview = new FrmView(nullptr);
    QCOMPARE(frmview->windowTitle(), QStringLiteral("عرض التقارير"));
    QVERIFY(frmview->isVisible());
    QVERIFY(frmview->windowState() & Qt::WindowMaximized);
    QCOMPARE(frmview->layoutDirection(), Qt::RightToLeft);
    QWebFrame *frame = frmview->findChild<QWebView *>("web")->page()->mainFrame();
    ModalAnswerer answers;
    for (int pass = 0; pass < 2; ++pass) {
        frmview->ShowViewIm(reportRecordText(record("Fiqh")));
        QTRY_COMPARE(frame->findAllElements("form").count(), 2);
        QCOMPARE(frame->findFirstElement("#userinfo").toPlainText(),
                 QStringLiteral("الاسم : Amina\nالبريد: amina@example.org"));
        QCOMPARE(frame->findFirstElement("#velmarinfo").toPlainText(), QStringLiteral("Ma3had\nAl Fursan"));
        QCOMPARE(frame->findFirstElement("#mada").toPlainText(), QStringLiteral("Fiqh"));
        QCOMPARE(frame->findFirstElement("#total").toPlainText(), kNotGraded);
        QCOMPARE(frame->findFirstElement("form").toPlainText().trimmed(), QStringLiteral("my answer"));
        QCOMPARE(nameVelmar, QStringLiteral("Ma3had<br />Al Fursan"));
        frame->setHtml(QString());
    }
    QCOMPARE(answers.texts(), QStringList());
}

void TestExamReports::viewerEscapes()
{
    frmview = new FrmView(nullptr);
    ReportRecord r = record("<b>Fiqh</b>");
    r.nickname = QStringLiteral("<i>Amina</i>");
    r.mail = QStringLiteral("a&b@example.org");
    r.answers = QStringLiteral("1<:>Q<:>1<:><script>document.title='x'</script>");
    frmview->ShowViewIm(reportRecordText(r));
    QWebFrame *frame = frmview->findChild<QWebView *>("web")->page()->mainFrame();
    QTRY_COMPARE(frame->findAllElements("form").count(), 1);
    QCOMPARE(frame->findFirstElement("#mada").toPlainText(), QStringLiteral("<b>Fiqh</b>"));
    QCOMPARE(frame->findFirstElement("#userinfo").toPlainText(),
             QStringLiteral("الاسم : <i>Amina</i>\nالبريد: a&b@example.org"));
    QCOMPARE(frame->findAllElements("#mada b").count(), 0);
    QCOMPARE(frame->findAllElements("#userinfo i").count(), 0);
    QCOMPARE(frame->findFirstElement("form").toPlainText().trimmed(),
             QStringLiteral("<script>document.title='x'</script>"));
    QCOMPARE(frame->findAllElements("form script").count(), 0);
    QVERIFY(frame->title() != QLatin1String("x"));
}

void TestExamReports::viewerDamaged_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("empty answers") << reportRecordText(record("Fiqh", "L", "")) << QStringList();
    QTest::newRow("damaged answers") << reportRecordText(record("Fiqh", "L", "garbled"))
                                     << QStringList{"الامتحان معطوب    "};
    QTest::newRow("fewer than eleven fields") << "a<::>b<::>c" << QStringList();
    QTest::newRow("nothing") << "" << QStringList();
}

void TestExamReports::viewerDamaged()
{
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    frmview = new FrmView(nullptr);
    ModalAnswerer answers;
    frmview->ShowViewIm(text);
    QCOMPARE(answers.texts(), messages);
    QCOMPARE(frmview->htmlSheet, QString());
    QWebFrame *frame = frmview->findChild<QWebView *>("web")->page()->mainFrame();
    QCOMPARE(frame->findAllElements("form").count(), 0);
}

void TestExamReports::viewerResends()
{
    frmview = new FrmView(nullptr);
    frmview->ShowViewIm(reportRecordText(record("Fiqh")));
    ModalAnswerer answers;
    QPushButton *resend = frmview->findChild<QPushButton *>("pushButton");
    QCOMPARE(resend->text(), QStringLiteral("إرسال التقرير لتعديله"));
    resend->click();
    resend->click();
    QCOMPARE(answers.texts(), (QStringList{"تم بحمد الله إرسال الامتحان بنجاح    ",
                                           "تم بحمد الله إرسال الامتحان بنجاح    "}));
    const QStringList bodies = sendBodies();
    QCOMPARE(bodies.size(), 2);
    QVERIFY(bodies.at(0).startsWith("&cmd=send&cmd2=edit&id_user=1001&isgroup=no&txt="));
    QVERIFY(frmview->isVisible());
}

QTEST_MAIN(TestExamReports)
#include "tst_exam_reports.moc"
