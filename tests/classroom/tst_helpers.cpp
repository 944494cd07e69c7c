// Shared helpers: the message box and its catalogue, layout direction,
// window look-ups, time differences and the station page template.
#include "protocol/helpers.h"
#include "protocol/htmflash.h"
#include "protocol/mymessage.h"
#include "protocol/pure/testdate.h"
#include "protocol/state.h"
#include "support/modal.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QWebFrame>
#include <QWebView>
#include <QtTest>

namespace {

// Stands in for a room or private-message window in the look-ups.
class FakeWindow
{
public:
    FakeWindow(int id, const QString &nick) : m_id(id), m_nick(nick) {}
    int getID() const { return m_id; }
    QString getNick() const { return m_nick; }

private:
    int m_id;
    QString m_nick;
};

// The page's script object.
class ScriptObject : public QObject
{
    Q_OBJECT
public:
    QStringList calls;
public slots:
    void doSomethingWithWebElement(const QString &command, const QString &args)
    {
        calls << command + QLatin1Char('|') + args;
    }
};

// Shows a message box and returns the captions of its buttons.
QMap<int, QString> showAndReadCaptions(ModalAnswerer &answerer, QMessageBox::StandardButton b1,
                                       QMessageBox::StandardButton b2 = QMessageBox::NoButton,
                                       QMessageBox::StandardButton b3 = QMessageBox::NoButton)
{
    QMap<int, QString> captions;
    answerer.whileOpen([&](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        for (QAbstractButton *b : box->buttons())
            captions.insert(int(box->standardButton(b)), b->text());
    });
    MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgNoConnect()),
           QMessageBox::Warning, b1, b2, b3);
    return captions;
}

} // namespace

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void messageBoxFrenchShowsKeys();
    void messageBoxArabic();
    void arabicCatalogue_data();
    void arabicCatalogue();
    void changeWid_data();
    void changeWid();
    void centring_data();
    void centring();
    void windowLookup();
    void testDate_data();
    void testDate();
    void stationPage();

private:
    QTranslator *m_arabic = nullptr;
};

void TestHelpers::cleanup()
{
    if (m_arabic) {
        QCoreApplication::removeTranslator(m_arabic);
        delete m_arabic;
        m_arabic = nullptr;
    }
    indexLang = 0;
}

void TestHelpers::messageBoxFrenchShowsKeys()
{
    indexLang = 1;
    ModalAnswerer answerer;
    const QMap<int, QString> captions = showAndReadCaptions(answerer, QMessageBox::Ok);
    QCOMPARE(answerer.shown.size(), 1);
    QCOMPARE(answerer.shown[0].title, QStringLiteral("Title App"));
    QCOMPARE(answerer.shown[0].text, QStringLiteral("NoConnect"));
    QCOMPARE(answerer.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(captions.value(QMessageBox::Ok), QStringLiteral("Ok"));
    QCOMPARE(captions.size(), 1);
}

void TestHelpers::messageBoxArabic()
{
    m_arabic = new QTranslator;
    QVERIFY(m_arabic->load(QStringLiteral(":/Resources/Languages/arabic.qm")));
    QCoreApplication::installTranslator(m_arabic);
    ModalAnswerer answerer;
    answerer.queue(QMessageBox::No);
    QMap<int, QString> captions =
        showAndReadCaptions(answerer, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel);
    QCOMPARE(answerer.shown[0].title, QString::fromUtf8("الفلمور العلمية"));
    QCOMPARE(answerer.shown[0].text,
             QString::fromUtf8("فشل الاتصال الرجاء التأكد من خط الإنترنيت أو ربما يوجد مشكل الخادم"));
    QCOMPARE(captions.value(QMessageBox::Yes), QString::fromUtf8("نعم"));
    QCOMPARE(captions.value(QMessageBox::No), QString::fromUtf8("لا"));
    QCOMPARE(captions.value(QMessageBox::Cancel), QString::fromUtf8("إلغاء الأمر"));

    captions = showAndReadCaptions(answerer, QMessageBox::Ok);
    QCOMPARE(captions.value(QMessageBox::Ok), QString::fromUtf8("موافق"));

    // The box returns the button that closed it.
    answerer.whileOpen({});
    answerer.queue(QMessageBox::No);
    QCOMPARE(MsgBox("t", "x", QMessageBox::Question, QMessageBox::Yes, QMessageBox::No),
             QMessageBox::No);
}

void TestHelpers::arabicCatalogue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("arabic"); // empty: any Arabic text
    auto add = [](const char *key, const char *arabic = "") {
        QTest::newRow(key) << QString::fromLatin1(key) << QString::fromUtf8(arabic);
    };
    using M = MyMessage;
    add(M::GeTitle(), "الفلمور العلمية");
    add(M::Getmsg(), "رسالة");
    add(M::GetButtonOk(), "موافق");
    add(M::GetButtonYes(), "نعم");
    add(M::GetButtonNo(), "لا");
    add(M::GetButtonCancel(), "إلغاء الأمر");
    add(M::GeMsgNoConnect(), "فشل الاتصال الرجاء التأكد من خط الإنترنيت أو ربما يوجد مشكل الخادم");
    add(M::GeMsgSabib(), "لقد انقطع الاتصال بينك وبين الخادم قد تكون الأسباب :\n لضعف صبيب النت "
                         "عندك\n أو لعدم استجابة الخادم\n أعد الاتصال مجددا");
    add(M::GetMsgErrUsrPwd(), "خطأ في اسم المستخدم أو كلمة المرور\nحاول مرة أخرى");
    add(M::GetMsgBan(), "لا يمكنك الدخول تم وضعك في قائمة الحظر\nيمكن الاتصال بالمسؤول لمعرفة السبب");
    add(M::GetMsgBanRoom(), "لا يمكنك الدخول للغرفة تم وضعك في البان\nيمكن الاتصال بالمسؤول عن "
                            "الغرفة لمعرفة السبب");
    add(M::GetMsgErr(), "حدث خلل ما\nالرجاء الاتصال بالمسؤول وإخباره بالخطأ");
    add(M::GetMsgRec(), "تم تسجيل الدخول بهذا الإسم من طرف شخص أخر\nإن كان لا أحد يدخل بهذا الاسم "
                        "غيرك\nيرجى تغيير كلمة المرور");
    add(M::GetMsgzowarRoom());
    add(M::GeErrNoAdmin());
    add(M::GeErrPassAdmin());
    add(M::GeErrPassLogin());
    add(M::GeErrNoAdminSystem());
    add(M::GePMLock());
    add(M::GeNoMsgPM());
    add(M::GeMsgNoUser());
    add(M::GeMsgBlockUsr());
    add(M::GeMsgUnBlockUsr());
    add(M::GeMsgAddUsrLst());
    add(M::GeMsgNoAddMe());
    add(M::GeMsgShort());
    add(M::GeMsgUsrDeja());
    add(M::GeRedUser());
    for (const char *key : M::BottonSabora())
        add(key);
    for (const char *key : M::BottonStream())
        add(key);
    add(M::GeMsgNoChoixGrRoom());
    add(M::GeMsgNoChoixRoom());
    add(M::GeMsgNoChoixGroup());
    add(M::GeMsgRoomdeja());
    add(M::GeMsgNoOwner());
    add(M::GeMsgNewRoom());
    add(M::GeMsgEditRoom());
    add(M::GeMsgDelRoom());
    add(M::GeMsgMoveRoom());
    add(M::GeMsgGroupDeja());
    add(M::GeMsgNoDelGroup());
    add(M::GeMsgNewGroup());
    add(M::GeMsgEditGroup());
    add(M::GeMsgDelGroup());
    add(M::GeMsgVervion()[0]);
    add(M::GeMsgVervion()[1], "توجد تحديثات جديدة في البرنامج يجب تحميلها هل تريد تحميلها الآن؟\n"
                              "النسخة الحالية هي : 1.0.0\nالنسخة المتوفرة في الموقع هي : 1.0.1");
    add(M::GeMsgVervion2()[0]);
    add(M::GeMsgVervion2()[1]);
    add(M::GetMsgNoImtihan(), "لا يمكن التحديث يجب عليك إغلاق برنامج الاختبار   ");
    add(M::GetMsgImthan()[0], "بدء الاختبار");
    add(M::GetMsgImthan()[1], "\"لقد بدء الامتحان الان هل تريد فتح برنامج الاختبار ؟");
    add(M::GetMsgImthan()[2], "تنبيه");
    add(M::GetMsgImthan()[3], "الرجاء إن كنت طالب في المعهد أن تدخل بالعضوية\n لأنه لديك اليوم اختبار");
}

void TestHelpers::arabicCatalogue()
{
    QFETCH(QString, key);
    QFETCH(QString, arabic);
    const QByteArray latin = key.toLatin1();
    QCOMPARE(GeTranslate(latin.constData()), key); // no translation installed
    m_arabic = new QTranslator;
    QVERIFY(m_arabic->load(QStringLiteral(":/Resources/Languages/arabic.qm")));
    QCoreApplication::installTranslator(m_arabic);
    const QString shown = GeTranslate(latin.constData());
    if (arabic.isEmpty()) {
        QVERIFY(shown != key);
        QVERIFY(shown.contains(QRegularExpression(QStringLiteral("^[\\x{0600}-\\x{06FF}]"))));
    } else {
        QCOMPARE(shown, arabic);
    }
}

void TestHelpers::changeWid_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("Arabic") << 0 << Qt::RightToLeft;
    QTest::newRow("French") << 1 << Qt::LeftToRight;
    QTest::newRow("English") << 2 << Qt::LeftToRight;
}

void TestHelpers::changeWid()
{
    QFETCH(int, lang);
    QFETCH(Qt::LayoutDirection, direction);
    // Start from the other direction so the call has to change it.
    QApplication::setLayoutDirection(direction == Qt::RightToLeft ? Qt::LeftToRight
                                                                  : Qt::RightToLeft);
    indexLang = lang;
    ChangeWid();
    QCOMPARE(QApplication::layoutDirection(), direction);
}

void TestHelpers::centring_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QPoint>("position");
    // Areas by their inclusive edges.
    QTest::newRow("launcher below a menu bar")
        << QRect(QPoint(0, 22), QPoint(1439, 899)) << QRect(0, 0, 474, 400) << QPoint(483, 261);
    QTest::newRow("window moved before") << QRect(QPoint(0, 22), QPoint(1439, 899))
                                         << QRect(900, 700, 474, 400) << QPoint(483, 261);
    QTest::newRow("odd sizes") << QRect(0, 0, 801, 601) << QRect(0, 0, 311, 531)
                               << QPoint(245, 35);
    QTest::newRow("negative origin truncates towards zero")
        << QRect(QPoint(-1440, 0), QPoint(-1, 899)) << QRect(0, 0, 310, 530)
        << QPoint(-874, 185);
}

void TestHelpers::centring()
{
    QFETCH(QRect, area);
    QFETCH(QRect, window);
    QFETCH(QPoint, position);
    QCOMPARE(centredPosition(area, window), position);
}

void TestHelpers::windowLookup()
{
    FakeWindow a(3, "Ali"), b(5, "omar"), c(5, "ali");
    const QList<FakeWindow *> windows{&a, &b, &c};
    QCOMPARE(indexOfWindow(windows, 5, &FakeWindow::getID), 1);
    QCOMPARE(indexOfWindow(windows, 3, &FakeWindow::getID), 0);
    QCOMPARE(indexOfWindow(windows, 4, &FakeWindow::getID), -1);
    QCOMPARE(indexOfWindow(windows, QStringLiteral("ali"), &FakeWindow::getNick), 2);
    QCOMPARE(indexOfWindow(windows, QStringLiteral("OMAR"), &FakeWindow::getNick), -1);
    QCOMPARE(indexOfWindow(QList<FakeWindow *>(), 5, &FakeWindow::getID), -1);
}

void TestHelpers::testDate_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<qint64>("seconds");
    const QDateTime t(QDate(2024, 3, 10), QTime(9, 0, 0));
    QTest::newRow("start is now") << 0 << t << t << qint64(0);
    QTest::newRow("90 minutes from now") << 90 << t << t << qint64(5400);
    QTest::newRow("start passed") << 0 << t << t.addSecs(30) << qint64(-30);
    QTest::newRow("running exam") << 60 << t << t.addSecs(600) << qint64(3000);
    QTest::newRow("exam over") << 60 << t << t.addSecs(3601) << qint64(-1);
    QTest::newRow("past 32 bits") << 0 << t.addYears(80) << t
                                  << qint64(t.secsTo(t.addYears(80)));
    QTest::newRow("huge minutes") << 2147483647 << t << t << qint64(2147483647) * 60;
}

void TestHelpers::testDate()
{
    QFETCH(int, minutes);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, now);
    QFETCH(qint64, seconds);
    QCOMPARE(TestDate(minutes, start, now), seconds);
}

void TestHelpers::stationPage()
{
    QWebView view;
    ScriptObject object;
    QWebFrame *frame = view.page()->mainFrame();
    connect(frame, &QWebFrame::javaScriptWindowObjectCleared, &object, [&] {
        frame->addToJavaScriptWindowObject(QStringLiteral("myObject"), &object);
    });
    QString page = htmflash;
    page.replace(QLatin1String("Station.swf"), QLatin1String("http://127.0.0.1:1/player.swf"));
    QSignalSpy loaded(&view, &QWebView::loadFinished);
    view.setHtml(page);
    // The engine may finish parsing the page later, after its script, on a
    // busy machine.
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 60000);

    frame->evaluateJavaScript(QStringLiteral("test();"));
    QCOMPARE(object.calls, QStringList{"error|no flash"});
    frame->evaluateJavaScript(QStringLiteral("sample_DoFSCommand('Idrom', '12');"));
    QCOMPARE(object.calls.last(), QStringLiteral("Idrom|12"));
    // No player: changetext reaches nothing and raises nothing.
    QCOMPARE(frame->evaluateJavaScript(QStringLiteral("changetext('5'); 'ok';")).toString(),
             QStringLiteral("ok"));

    QCOMPARE(frame->title(), QStringLiteral("Station"));
    const QString embed = QStringLiteral("document.getElementsByName('sample')[0].getAttribute");
    QCOMPARE(frame->evaluateJavaScript(embed + "('src')").toString(),
             QStringLiteral("http://127.0.0.1:1/player.swf?Idrom=10"));
    QCOMPARE(frame->evaluateJavaScript(embed + "('flashvars')").toString(),
             QStringLiteral("Idrom=10"));
    QCOMPARE(frame->evaluateJavaScript(QStringLiteral("document.getElementById('sample').tagName"))
                 .toString(),
             QStringLiteral("OBJECT"));
}

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
