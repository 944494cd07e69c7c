// The start form against the local institute's exam endpoint: the bodies
// posted, every refusal and ending message, and the login's hand-over to the
// exam clock and the waiting window.
#include "core/msgbox.h"
#include "core/program.h"
#include "core/pure/reply.h"
#include "examtest.h"
#include "support/institute.h"
#include "support/modal.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>

using namespace examtest;

class TestExamStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void handOver_data();
    void handOver();
    void layout_data();
    void layout();
    void escapeDoesNotClose();
    void missingMemberNumber_data();
    void missingMemberNumber();
    void memberLogin();
    void groupConfirmation_data();
    void groupConfirmation();
    void noUser();
    void resultsPost();
    void failures_data();
    void failures();
    void endpointRefused_data();
    void endpointRefused();
    void loginEndings_data();
    void loginEndings();
    void supervisorPassesHeldBackDay();
    void countdownThreshold_data();
    void countdownThreshold();
    void noSecondPost();
    void cancel();

private:
    FrmStart *makeForm();
    QLineEdit *edit(const char *name) { return frmstart->findChild<QLineEdit *>(name); }
    QPushButton *button(const char *name) { return frmstart->findChild<QPushButton *>(name); }
    QString url() const;
    void examDay(const QJsonArray &exams, const QString &released = QStringLiteral("0"));
    QJsonObject exam(int id, int offset, int minutes, const QString &title) const;

    Institute m_institute;
};

void TestExamStart::initTestCase()
{
    dressApplication(*qApp); // as the program starts
    QVERIFY2(m_institute.start(), qPrintable(m_institute.startError()));
}

void TestExamStart::init()
{
    reset();
    Url_php = url();
    m_institute.control({{"command", "exam-reset"}});
    m_institute.control({{"command", "clear-log"}});
}

void TestExamStart::cleanup()
{
    VERIFY_INSTITUTE_CLEAN(m_institute);
    closeWindows();
    QCOMPARE(frmconn, nullptr);
}

QString TestExamStart::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/velmar.php").arg(m_institute.port("exam"));
}

FrmStart *TestExamStart::makeForm()
{
    frmstart = new FrmStart(nullptr);
    frmstart->show();
    return frmstart;
}

QJsonObject TestExamStart::exam(int id, int offset, int minutes, const QString &title) const
{
    return QJsonObject{{"id", id},       {"offset", offset}, {"minutes", minutes},
                       {"title", title}, {"fawj", 2},        {"fasl", 5},
                       {"texts", QJsonArray{QStringLiteral("1|Q|1|-1")}}};
}

void TestExamStart::examDay(const QJsonArray &exams, const QString &released)
{
    m_institute.control({{"command", "exam-day"},
                         {"relative", "reply"},
                         {"released", released},
                         {"exams", exams}});
}

void TestExamStart::handOver_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QStringList>("expected"); // url nickname label mail id group type
    // The endpoint is the script "velmar.php" of the exam host.
    const QString def = QStringLiteral("http://127.0.0.1:8086/velmar.php");
    QTest::newRow("defaults") << QVariantMap()
                              << QStringList{def, "nickname", "nameVelmar", "mail", "0", "", "0"};
    QTest::newRow("classroom hand-over")
        << QVariantMap{{"url", "http://h/velmar.php"}, {"nickname", "Amina"},
                       {"nameVelmar", "::::Ma3had::Al Fursan"}, {"email", "A@B.org"},
                       {"id_user", "1001"}, {"group", "no"}, {"type_user", "-101"}}
        << QStringList{"http://h/velmar.php", "Amina", "Ma3had\nAl Fursan", "A@B.org", "1001",
                       "no", "-101"};
    QTest::newRow("three words") << QVariantMap{{"nameVelmar", "::a::b::c"}}
                                 << QStringList{def, "nickname", "a\nb\nc", "mail", "0", "", "0"};
    QTest::newRow("trailing pair, single colon")
        << QVariantMap{{"nameVelmar", ":word::"}, {"id_user", "12a"}, {"type_user", "x"}}
        << QStringList{def, "nickname", ":word\n", "mail", "0", "", "0"};
}

void TestExamStart::handOver()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QStringList, expected);
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tallivor", "Settings");
        store.clear();
        for (auto it = stored.begin(); it != stored.end(); ++it)
            store.setValue(it.key(), it.value());
    }
    readHandOver();
    QCOMPARE((QStringList{Url_php, nickname, nameVelmar, mail, QString::number(id_user),
                          grpVelmar, QString::number(type_user)}),
             expected);
}

void TestExamStart::layout_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("groupLayout");
    QTest::addColumn<bool>("studentButtons");
    QTest::newRow("member") << "no" << 1 << false << true;
    QTest::newRow("no hand-over") << "" << 0 << true << true;
    QTest::newRow("group account") << "Nour Group" << 1 << true << true;
    QTest::newRow("staff") << "no" << -99 << false << false;
}

void TestExamStart::layout()
{
    QFETCH(QString, group);
    QFETCH(int, type);
    QFETCH(bool, groupLayout);
    QFETCH(bool, studentButtons);
    grpVelmar = group;
    type_user = type;
    id_user = 1001;
    nickname = QStringLiteral("Amina Belkacem");
    mail = QStringLiteral("Amina@Example.org");
    nameVelmar = QStringLiteral("Ma3had\nAl Fursan");
    makeForm();
    QVERIFY(QTest::qWaitForWindowExposed(frmstart));
    QCOMPARE(edit("Tuser")->text(), nickname);
    QCOMPARE(edit("Tmail")->text(), mail);
    QCOMPARE(frmstart->findChild<QLabel *>("LVelmar")->text(), nameVelmar);
    QCOMPARE(frmstart->windowTitle(), QStringLiteral("برنامج الاختبارات"));
    QCOMPARE(frmstart->size(), QSize(329, 409));
    // Everything shows whole in the fixed size: the logo, both lines of the
    // label and every row.
    QVERIFY(frmstart->layout()->minimumSize().height() <= frmstart->height());
    const QLabel *logo = frmstart->findChild<QLabel *>("label");
    QCOMPARE(logo->height() >= logo->pixmap(Qt::ReturnByValue).height(), true);
    QCOMPARE(frmstart->findChild<QLabel *>("Luser")->text(),
             groupLayout ? QStringLiteral("إسم المجموعة :") : QStringLiteral("الإسم :"));
    QCOMPARE(edit("Iduser")->isVisible(), groupLayout);
    QCOMPARE(frmstart->findChild<QLabel *>("LIduser")->isVisible(), groupLayout);
    if (groupLayout) {
        QVERIFY(!edit("Iduser")->isReadOnly());
        QCOMPARE(edit("Iduser")->text(), QString());
        QCOMPARE(QApplication::focusWidget(), edit("Iduser"));
    } else {
        QCOMPARE(edit("Iduser")->text(), QStringLiteral("1001"));
    }
    QCOMPARE(button("B_login")->isVisible(), studentButtons);
    QCOMPARE(button("B_natija")->isVisible(), studentButtons);
    QVERIFY(button("B_options")->isVisible());
}

void TestExamStart::escapeDoesNotClose()
{
    makeForm();
    QVERIFY(QTest::qWaitForWindowExposed(frmstart));
    QTest::keyClick(frmstart, Qt::Key_Escape);
    QVERIFY(frmstart->isVisible());
}

void TestExamStart::missingMemberNumber_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("member with 0, login") << "no" << "" << "B_login";
    QTest::newRow("member with 0, results") << "no" << "" << "B_natija";
    QTest::newRow("member with 0, settings") << "no" << "" << "B_options";
    QTest::newRow("group, empty") << "Nour Group" << "" << "B_login";
    QTest::newRow("group, zero") << "Nour Group" << "0" << "B_natija";
    QTest::newRow("group, letters") << "Nour Group" << "abc" << "B_login";
}

void TestExamStart::missingMemberNumber()
{
    QFETCH(QString, group);
    QFETCH(QString, typed);
    QFETCH(QString, buttonName);
    grpVelmar = group;
    makeForm();
    if (group != QLatin1String("no"))
        edit("Iduser")->setText(typed);
    ModalAnswerer answers;
    QMetaObject::invokeMethod(frmstart, qPrintable("on_" + buttonName + "_clicked"));
    QCOMPARE(answers.texts(), QStringList{kMsgNoMember});
    QCOMPARE(answers.shown.first().title, kMsgTitle);
    QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
    QCOMPARE(answers.shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(postBodies(m_institute.log()).isEmpty());
    QVERIFY(frmstart->isVisible());
}

void TestExamStart::memberLogin()
{
    id_user = 1001;
    examDay({exam(21, 300, 60, QStringLiteral("Écriture")), exam(22, 4000, 30, "Second")});
    makeForm();
    pass(500 * 1000); // the server's time counts from its reply, not before
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join('|')));
    const QString u = url();
    QCOMPARE(postBodies(m_institute.log()),
             (QStringList{"?" + u + "&cmd=infousr&id_user=1001&namegroup=nickname&isgroup=no",
                          "?" + u + "&cmd=login4&id_user=1001&isgroup=no"}));
    // Names come back in their own case.
    QCOMPARE(nickname, QStringLiteral("Amina Belkacem"));
    QCOMPARE(mail, QStringLiteral("Amina.Belkacem@Example.org"));
    QCOMPARE(frmstart, nullptr);
    QVERIFY(frmtime);
    QVERIFY(frmstart2);
    QVERIFY(frmstart2->isVisible());
    QVERIFY(frmtime->isTicking());
    QCOMPARE(frmtime->listId, (QStringList{"21", "22"}));
    QCOMPARE(frmtime->listTitre.first(), QStringLiteral("Écriture<:>2<:>5"));
    QCOMPARE(frmtime->listTxt, (QStringList{"1|Q|1|-1", "1|Q|1|-1"}));
    QCOMPARE(frmtime->listIdTxt, (QStringList{"21", "22"}));
    QCOMPARE(sSecond, 0);
    QCOMPARE(frmtime->GettimeServer(), 300);
    QCOMPARE(frmstart2->getcountList(), 2);
    settle();
    QCOMPARE(frmconn, nullptr);
}

void TestExamStart::groupConfirmation_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
}

void TestExamStart::groupConfirmation()
{
    QFETCH(int, answer);
    grpVelmar = QStringLiteral("Nour Group");
    nickname = QStringLiteral("Nour Group");
    mail = QStringLiteral("group@example.org");
    examDay({exam(31, 600, 60, "Reading")});
    makeForm();
    edit("Iduser")->setText(QStringLiteral("1003"));
    ModalAnswerer answers;
    answers.queue(QMessageBox::StandardButton(answer));
    frmstart ? frmstart->on_B_login_clicked() : void();
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.shown.first().text,
             kMsgConfirmPrefix + QStringLiteral("Nadia Ferhat") + kMsgConfirmSuffix);
    QCOMPARE(answers.shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    const QStringList bodies = postBodies(m_institute.log());
    const QString u = url();
    QCOMPARE(bodies.first(), "?" + u
                                 + "&cmd=infousr&id_user=1003&namegroup=Nour%20Group"
                                   "&isgroup=Nour%20Group");
    QCOMPARE(id_user, 1003);
    if (answer == QMessageBox::Yes) {
        QCOMPARE(bodies.size(), 2);
        QCOMPARE(bodies.at(1), "?" + u + "&cmd=login4&id_user=1003&isgroup=Nour%20Group");
        QCOMPARE(nickname, QStringLiteral("Nadia Ferhat"));
        QCOMPARE(mail, QStringLiteral("nadia.ferhat@example.org"));
        QVERIFY(frmstart2);
    } else {
        // "Not me": nothing further, and neither identity is kept.
        QCOMPARE(bodies.size(), 1);
        QCOMPARE(nickname, QString());
        QCOMPARE(mail, QString());
        QCOMPARE(edit("Tuser")->text(), QStringLiteral("Nour Group"));
        QVERIFY(frmstart->isVisible());
    }
}

void TestExamStart::noUser()
{
    grpVelmar = QStringLiteral("Nour Group");
    nickname = QStringLiteral("Nour Group");
    makeForm();
    edit("Iduser")->setText(QStringLiteral("1001"));
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QCOMPARE(answers.texts(),
             QStringList{kMsgNoUserPrefix + QStringLiteral("Nour Group") + "      "});
    QCOMPARE(postBodies(m_institute.log()).size(), 1);
    QVERIFY(frmstart->isVisible());
    settle();
    QCOMPARE(frmconn, nullptr);
}

void TestExamStart::resultsPost()
{
    id_user = 1002;
    makeForm();
    ModalAnswerer answers;
    frmstart->on_B_natija_clicked();
    QVERIFY(answers.shown.isEmpty());
    const QString u = url();
    QCOMPARE(postBodies(m_institute.log()),
             (QStringList{"?" + u + "&cmd=infousr&id_user=1002&namegroup=nickname&isgroup=no",
                          "?" + u + "&id_user=1002&cmd=getimtihan&isgroup=no"}));
    QCOMPARE(nickname, QStringLiteral("يوسف العلوي"));
    // The results window takes over from the start form.
    QVERIFY(frmnataij);
    QVERIFY(frmnataij->isVisible());
    QVERIFY(!frmstart->isVisible());
    QVERIFY(button("B_natija")->isEnabled());
    settle();
    QCOMPARE(frmconn, nullptr);
}

void TestExamStart::failures_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<int>("posts");
    QTest::addColumn<QString>("message"); // empty: none
    // The second post hides the form while it runs; its message comes before
    // the form is back.
    QTest::addColumn<bool>("hidden");
    QTest::newRow("infousr status") << "B_login" << QJsonObject{{"status", 503}} << 1
                                    << kMsgConnection << false;
    // A connection closed unanswered fails the post: it is never sent again.
    QTest::newRow("infousr dropped") << "B_natija" << QJsonObject{{"drop", true}} << 1
                                     << kMsgConnection << false;
    QTest::newRow("infousr silent") << "B_login" << QJsonObject{{"silent", 30}} << 1
                                    << kMsgConnection << false;
    QTest::newRow("infousr unframed") << "B_login" << QJsonObject{{"unframed", true}} << 1
                                      << kMsgEmptyReply << false;
    QTest::newRow("infousr without separator")
        << "B_login" << QJsonObject{{"raw", "debut|Amina|fin"}} << 1 << kMsgEmptyReply << false;
    QTest::newRow("login4 status") << "B_login"
                                   << QJsonObject{{"cmd", "login4"}, {"status", 500}} << 2
                                   << kMsgConnection << true;
    QTest::newRow("login4 silent") << "B_login" << QJsonObject{{"cmd", "login4"}, {"silent", 30}}
                                   << 2 << kMsgConnection << true;
    QTest::newRow("login4 unframed") << "B_login"
                                     << QJsonObject{{"cmd", "login4"}, {"unframed", true}} << 2
                                     << kMsgEmptyReply << true;
    QTest::newRow("login4 short head")
        << "B_login" << QJsonObject{{"cmd", "login4"}, {"raw", "debut|0<>a<>b|fin"}} << 2
        << kMsgEmptyReply << true;
    QTest::newRow("getimtihan status")
        << "B_natija" << QJsonObject{{"cmd", "getimtihan"}, {"status", 404}} << 2
        << kMsgConnection << true;
    QTest::newRow("getimtihan empty body")
        << "B_natija" << QJsonObject{{"cmd", "getimtihan"}, {"raw", ""}} << 2 << kMsgEmptyReply << true;
    QTest::newRow("getimtihan unframed body")
        << "B_natija" << QJsonObject{{"cmd", "getimtihan"}, {"raw", "nothing framed"}} << 2
        << kMsgEmptyReply << true;
    QTest::newRow("getimtihan unframed payload")
        << "B_natija" << QJsonObject{{"cmd", "getimtihan"}, {"unframed", true}} << 2
        << kMsgEmptyReply << true;
    // A reply past the size bound is dropped unread, whatever its frame.
    QTest::newRow("infousr reply too large")
        << "B_login" << QJsonObject{{"pad", double(kMaxReplySize)}} << 1 << kMsgReplyTooLarge << false;
    QTest::newRow("getimtihan reply too large")
        << "B_natija" << QJsonObject{{"cmd", "getimtihan"}, {"pad", double(kMaxReplySize)}} << 2
        << kMsgReplyTooLarge << true;
    QTest::newRow("getimtihan frame without its end")
        << "B_natija" << QJsonObject{{"cmd", "getimtihan"}, {"raw", "debut|Amina|mail<|>x"}} << 2
        << kMsgEmptyReply << true;
}

void TestExamStart::failures()
{
    QFETCH(QString, buttonName);
    QFETCH(QJsonObject, fault);
    QFETCH(int, posts);
    QFETCH(QString, message);
    QFETCH(bool, hidden);
    // A post gives up on a silent server after a moment; any other reply may
    // take its time on a busy machine (a large one above all).
    FrmURL::timeoutMs = fault.contains("silent") ? 1500 : 60000;
    id_user = 1001;
    QJsonObject command = fault;
    command.insert("command", "exam-fault");
    m_institute.control(command);
    makeForm();
    ModalAnswerer answers;
    bool hiddenDuringMessage = false;
    answers.whileOpen([&](QDialog *) { hiddenDuringMessage = !frmstart->isVisible(); });
    QMetaObject::invokeMethod(frmstart, qPrintable("on_" + buttonName + "_clicked"));
    QCOMPARE(answers.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(postBodies(m_institute.log()).size(), posts);
    QVERIFY(frmstart);
    QVERIFY(frmstart->isVisible());
    if (!message.isEmpty())
        QCOMPARE(hiddenDuringMessage, hidden);
    QCOMPARE(frmtime, nullptr);
    QCOMPARE(frmnataij, nullptr);
    QCOMPARE(quits(), 0);
    QVERIFY(!reply_isRunning);
    settle();
    QCOMPARE(frmconn, nullptr);
    m_institute.control({{"command", "exam-fault"}});
}

void TestExamStart::endpointRefused_data()
{
    QTest::addColumn<QString>("endpoint"); // %1: the institute's exam port
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("user and password") << "http://user:pw@127.0.0.1:%1/velmar.php" << "B_login";
    QTest::newRow("empty user name") << "http://@127.0.0.1:%1/velmar.php" << "B_natija";
    QTest::newRow("local file") << "file:///tmp/velmar.php" << "B_login";
    QTest::newRow("ftp") << "ftp://127.0.0.1:%1/velmar.php" << "B_login";
    QTest::newRow("no host") << "http:///velmar.php" << "B_login";
    QTest::newRow("script") << "javascript:alert(1)" << "B_natija";
    QTest::newRow("none") << "" << "B_login";
}

// An endpoint from the settings that is no http or https address with a host
// gets nothing: the student is told why, and no post is made.
void TestExamStart::endpointRefused()
{
    QFETCH(QString, endpoint);
    QFETCH(QString, buttonName);
    Url_php = endpoint.contains("%1") ? endpoint.arg(m_institute.port("exam")) : endpoint;
    id_user = 1001;
    makeForm();
    ModalAnswerer answers;
    QMetaObject::invokeMethod(frmstart, qPrintable("on_" + buttonName + "_clicked"));
    QCOMPARE(answers.texts(), QStringList{kMsgBadAddress});
    QCOMPARE(answers.shown.first().title, kMsgTitle);
    QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
    QVERIFY(frmstart->isVisible());
    QCOMPARE(frmtime, nullptr);
    QCOMPARE(frmnataij, nullptr);
    QCOMPARE(quits(), 0);
    settle();
    QCOMPARE(frmconn, nullptr);
    // Nor does the post itself go out to such an address.
    FrmURL web;
    int status = -1;
    QCOMPARE(web.OpenURL(Url_php, &status, examQuery()), QByteArray());
    QCOMPARE(status, 0);
    QVERIFY(!reply_isRunning);
    QCOMPARE(postBodies(m_institute.log()), QStringList());
    QCOMPARE(m_institute.log().size(), 0);
}

void TestExamStart::loginEndings_data()
{
    QTest::addColumn<QString>("released");
    QTest::addColumn<QJsonValue>("exams");
    QTest::addColumn<QString>("message");
    const QJsonObject over{{"id", 1}, {"offset", -3600}, {"minutes", 60}, {"title", "Over"}};
    const QJsonObject ending{{"id", 2}, {"offset", -1800}, {"minutes", 30}, {"title", "Ends"}};
    QTest::newRow("held back") << "1" << QJsonValue(QJsonArray{over}) << kMsgNotReleased;
    QTest::newRow("two zeros") << "00" << QJsonValue(QJsonArray{over}) << kMsgNotReleased;
    QTest::newRow("zero and blank") << "0 " << QJsonValue(QJsonArray{over}) << kMsgNotReleased;
    QTest::newRow("no exam today") << "0" << QJsonValue() << kMsgNoExamToday;
    QTest::newRow("all over") << "0" << QJsonValue(QJsonArray{over, ending}) << kMsgExamsOver;
}

void TestExamStart::loginEndings()
{
    QFETCH(QString, released);
    QFETCH(QJsonValue, exams);
    QFETCH(QString, message);
    id_user = 1001;
    m_institute.control({{"command", "exam-day"},
                         {"relative", "reply"},
                         {"released", released},
                         {"exams", exams}});
    makeForm();
    ModalAnswerer answers;
    int quitsDuringMessage = -1;
    answers.whileOpen([&](QDialog *) { quitsDuringMessage = quits(); });
    frmstart->on_B_login_clicked();
    QCOMPARE(answers.texts(), QStringList{message});
    QCOMPARE(quitsDuringMessage, 0);
    QCOMPARE(quits(), 1);
    QVERIFY(frmstart);
    QCOMPARE(frmstart2, nullptr);
    settle();
    QCOMPARE(frmconn, nullptr);
}

void TestExamStart::supervisorPassesHeldBackDay()
{
    id_user = 1001;
    Badmin = true;
    examDay({exam(41, 600, 60, "Held")}, QStringLiteral("1"));
    makeForm();
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(frmstart2);
    QCOMPARE(frmtime->listId, QStringList{"41"});
}

void TestExamStart::countdownThreshold_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("shown");
    QTest::newRow("17:41 ahead") << 1062 << false << "00:17:41";
    QTest::newRow("17:42 ahead") << 1063 << true << "00:17:42";
}

void TestExamStart::countdownThreshold()
{
    QFETCH(int, offset);
    QFETCH(bool, refused);
    QFETCH(QString, shown);
    id_user = 1002;
    examDay({exam(51, offset, 60, "Late start")});
    makeForm();
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(frmtime);
    tick(); // the first tick
    QCOMPARE(frmstart2->windowTitle(), QStringLiteral("لديك اختبار بعد : ") + shown);
    if (refused) {
        QCOMPARE(answers.texts(),
                 QStringList{QStringLiteral("لديك اختبار بعد : ") + shown + "\n"
                             + QStringLiteral("الرجاء تشغيل البرنامج قبل ربع ساعة من موعد "
                                              "الاختبار, سيتوقف البرنامج الان.    ")});
        QCOMPARE(answers.shown.first().title, QStringLiteral("برنامج الاختبار"));
        QCOMPARE(quits(), 1);
    } else {
        QVERIFY(answers.shown.isEmpty());
        QCOMPARE(quits(), 0);
    }
}

void TestExamStart::noSecondPost()
{
    id_user = 1001;
    m_institute.control({{"command", "exam-fault"}, {"cmd", "login4"}, {"silent", 2}});
    makeForm();
    bool disabled = false;
    int refusedStatus = -1;
    QByteArray refusedBody = "unset";
    QTimer::singleShot(400, [&] {
        disabled = !button("B_login")->isEnabled() && !button("B_natija")->isEnabled()
                   && !button("B_options")->isEnabled();
        // A second post while one waits is refused without reaching the server.
        FrmURL web;
        FormQuery query = examQuery();
        query.addQueryItem("cmd", "getimtihan");
        refusedBody = web.OpenURL(Url_php, &refusedStatus, query);
        QVERIFY(reply_isRunning);
    });
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QVERIFY(disabled);
    QCOMPARE(refusedStatus, 0);
    QCOMPARE(refusedBody, QByteArray());
    const QStringList bodies = postBodies(m_institute.log());
    QCOMPARE(bodies.size(), 2);
    QVERIFY(bodies.at(1).contains("cmd=login4"));
    QVERIFY(frmstart2); // the slow login still went through
    m_institute.control({{"command", "exam-fault"}});
}

void TestExamStart::cancel()
{
    id_user = 1001;
    // Cancel with no post running changes nothing.
    frmConnect idle(nullptr);
    idle.on_pushButton_clicked();
    QVERIFY(!reply_isRunning);

    m_institute.control({{"command", "exam-fault"}, {"cmd", "login4"}, {"silent", 4}});
    makeForm();
    QString waitText;
    QTimer::singleShot(300, [&] {
        QVERIFY(frmconn);
        waitText = frmconn->titre();
        QTest::mouseClick(frmconn->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    });
    ModalAnswerer answers;
    frmstart->on_B_login_clicked();
    QCOMPARE(waitText, QStringLiteral("جاري الاتصال بالموقع الرجاء الانتظار"));
    // The server would have answered within the time-out: only the cancel
    // ends the wait without a reply.
    QCOMPARE(answers.texts(), QStringList{kMsgConnection});
    QCOMPARE(frmtime, nullptr);
    QVERIFY(frmstart->isVisible());
    QVERIFY(!reply_isRunning);
    m_institute.control({{"command", "exam-fault"}});
}

QTEST_MAIN(TestExamStart)
#include "tst_exam_start.moc"
