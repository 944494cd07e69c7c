// Administration and the exam hand-over against the local institute: the
// administrator's menus, a group and a room created in the window and seen
// by a second client, supervisors and administrators managed through the
// search, a withdrawal of rights that removes the menus and a refusal that
// follows it; a member's exam notice that hands over to a stand-in exam
// program, and a visitor for whom the same button does nothing.
#include "admin/frm_adrm.h"
#include "admin/frm_adus.h"
#include "admin/frmimtihan.h"
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/pure/outgoing.h"
#include "protocol/pure/packet.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/dialog.h"
#include "support/chatlogin.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/wire.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

QString ar(const char *text) { return QString::fromUtf8(text); }

QStringList menuTitles()
{
    QStringList out;
    if (frmusr)
        for (QAction *action : frmusr->findChild<QMenuBar *>()->actions())
            out << action->text();
    return out;
}

void triggerEntry(const QString &text)
{
    for (QAction *menu : frmusr->findChild<QMenuBar *>()->actions())
        if (menu->menu())
            for (QAction *action : menu->menu()->actions())
                if (action->text() == text) {
                    action->trigger();
                    return;
                }
    QFAIL(qPrintable(text));
}

QStringList rows(QWidget *window, const char *name)
{
    QStringList out;
    auto *view = window->findChild<QListWidget *>(name);
    for (int i = 0; i < view->count(); ++i)
        out << view->item(i)->text();
    return out;
}

void clickRow(QWidget *window, const char *name, const QString &text)
{
    auto *view = window->findChild<QListWidget *>(name);
    const QList<QListWidgetItem *> found = view->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualItemRect(found.first()).center());
}

void press(QWidget *window, const char *name)
{
    QTest::mouseClick(window->findChild<QPushButton *>(name), Qt::LeftButton);
}

QLineEdit *edit(QWidget *window, const char *name) { return window->findChild<QLineEdit *>(name); }

// A second classroom client that speaks the protocol itself.
class SecondClient
{
public:
    bool logIn(quint16 port, const QString &user, const QString &password)
    {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!m_socket.waitForConnected(5000))
            return false;
        m_socket.write(outgoing::memberLogin(user, password));
        return next(2).code == 2;
    }

    struct Packet
    {
        int code = 0;
        QString name;
        QString body;
    };

    // The next packet of that code; the others are skipped.
    Packet next(int code)
    {
        Packet packet;
        (void)QTest::qWaitFor([&] {
            m_buffer += m_socket.readAll();
            while (m_buffer.size() >= 46) {
                const int length = int(quint8(m_buffer[2]) | quint8(m_buffer[3]) << 8
                                       | quint8(m_buffer[4]) << 16 | quint8(m_buffer[5]) << 24);
                if (m_buffer.size() < 46 + length)
                    return false;
                const int got = qint16(quint8(m_buffer[0]) | quint8(m_buffer[1]) << 8);
                if (got == code) {
                    packet.code = got;
                    packet.name = QString::fromLatin1(m_buffer.mid(14, 32)).trimmed();
                    packet.body = decodeCp1256(m_buffer.mid(46, length));
                }
                m_buffer.remove(0, 46 + length);
                if (packet.code == code)
                    return true;
            }
            m_socket.waitForReadyRead(50);
            return false;
        }, 5000);
        return packet;
    }

    void send(const QByteArray &packet) { m_socket.write(packet); }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

// A stand-in exam program: notes each start and the settings it found.
class StandIn
{
public:
    StandIn()
    {
        QFile script(m_dir.path() + QStringLiteral("/Tallivor"));
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write("#!/bin/sh\n"
                     "dir=$(dirname \"$0\")\n"
                     "cp \"$XDG_CONFIG_HOME/Tallivor/Settings.conf\" \"$dir/store\"\n"
                     "echo \"$#\" >>\"$dir/starts\"\n");
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    }
    QString path() const { return m_dir.path(); }
    QByteArray file(const char *name) const
    {
        QFile f(m_dir.path() + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

QString settingsPath()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tallivor/Settings.conf");
}

} // namespace

class TestAdminInstitute : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void administratorRoad();
    void savedRightsShowWhenChosenAgain();
    void memberGoesToTheExam();
    void visitorGetsNothing();

private:
    QJsonObject control(const QString &name, const QJsonObject &fields = {})
    {
        return m_institute->control(instituteCommand(name, fields));
    }
    QJsonObject room(int id);
    void scheduleRunningExam();
    std::unique_ptr<Institute> m_institute;
};

void TestAdminInstitute::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    sck = new Wsk;
}

void TestAdminInstitute::init()
{
    m_institute.reset(new Institute);
    QVERIFY2(m_institute->start(), qPrintable(m_institute->startError()));
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    for (int i = 0; i < kPermissionCount; ++i)
        *permissionFlags()[i] = false;
    QFile::remove(settingsPath());
    // As each chat-server login does.
    Imtihan_user.clear();
    Imtihan_on = false;
    Imtihan_id = 0;
}

void TestAdminInstitute::cleanup()
{
    delete frmadrm;
    delete frmadus;
    delete frmimtihan;
    frmimtihan = nullptr;
    delete frmusr;
    CloseSocket();
    launcherFolder.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    VERIFY_INSTITUTE_CLEAN(*m_institute);
    m_institute.reset();
}

QJsonObject TestAdminInstitute::room(int id)
{
    for (const QJsonValue &group : control("rooms").value("groups").toArray())
        for (const QJsonValue &r : group.toObject().value("rooms").toArray())
            if (r.toObject().value("id").toInt() == id)
                return r.toObject();
    return {};
}

void TestAdminInstitute::administratorRoad()
{
    ModalAnswerer answers;
    QVERIFY(logInToChat(*m_institute, ar("مدير"), QStringLiteral("admin123")));
    QTRY_COMPARE(menuTitles(), (QStringList{"File", "Admin", "Bat"}));
    QVERIFY(create_room && super_co_admin && bat);

    // A group and a room in it.
    triggerEntry(QStringLiteral("Admin Groups Rooms"));
    QVERIFY(frmadrm);
    frmadrm->show();
    QTRY_COMPARE(rows(frmadrm, "listGroup").size(), 3);
    edit(frmadrm, "T1")->setText(ar("حلقات الفقه"));
    press(frmadrm, "pushButton_4");
    QTRY_COMPARE(rows(frmadrm, "listGroup").size(), 4);
    QCOMPARE(rows(frmadrm, "listGroup").last(), ar("حلقات الفقه"));
    QVERIFY(answers.texts().contains("New Group"));
    frmadrm->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    QTest::keyClick(frmadrm->findChild<QComboBox *>("comboBox"), Qt::Key_End);
    edit(frmadrm, "T_room")->setText(ar("حلقة الفقه الأولى"));
    edit(frmadrm, "T_ownar")->setText(QStringLiteral("ostad"));
    edit(frmadrm, "T_max")->setText(QStringLiteral("30"));
    edit(frmadrm, "T_pass")->setText(QStringLiteral("sirr2"));
    edit(frmadrm, "T_pass2")->setText(QStringLiteral("adm2"));
    frmadrm->findChild<QTextEdit *>("T_affiche")->setPlainText(ar("درس :عنوان:الفقه:ن: | @ مرحبا"));
    press(frmadrm, "pushButton_8");
    QTRY_COMPARE(rows(frmadrm, "listRoom"), QStringList{ar("حلقة الفقه الأولى")});
    QVERIFY(answers.texts().contains("New Room"));
    const QJsonObject created = room(7);
    QCOMPARE(created.value("group").toInt(), 4);
    QCOMPARE(created.value("owner").toString(), QStringLiteral("ostad"));
    QCOMPARE(created.value("limit").toInt(), 30);
    QCOMPARE(created.value("banner").toString(), ar("درس :عنوان:الفقه:ن: | @ مرحبا"));
    QCOMPARE(created.value("password").toString(), QStringLiteral("sirr2"));
    QCOMPARE(created.value("admin_password").toString(), QStringLiteral("adm2"));

    // A second client lists them with the room chooser's requests.
    SecondClient sara;
    QVERIFY(sara.logIn(m_institute->port("chat"), "sara", "sara123"));
    sara.send(outgoing::groupList());
    const SecondClient::Packet groups = sara.next(8);
    QCOMPARE(groups.name, QStringLiteral("Group"));
    QVERIFY(groups.body.endsWith(ar("|4:حلقات الفقه")));
    sara.send(outgoing::roomList(QStringLiteral("4"), ar("حلقات الفقه")));
    const SecondClient::Packet rooms = sara.next(8);
    QCOMPARE(rooms.name, QStringLiteral("Rooms"));
    QCOMPARE(rooms.body, ar("7:حلقة الفقه الأولى:0:1"));

    // Supervisors of a room, found through the search.
    triggerEntry(QStringLiteral("Admin Users"));
    QVERIFY(frmadus);
    frmadus->show();
    QTRY_COMPARE(rows(frmadus, "list_Room").size(), 3);
    clickRow(frmadus, "list_Room", ar("حلقة التجويد"));
    QTRY_COMPARE(rows(frmadus, "list_moshrif"), (QStringList{"ostad", ar("أحمد")}));
    edit(frmadus, "lineEdit")->setText(QStringLiteral("sar"));
    press(frmadus, "pushButton");
    QTRY_COMPARE(rows(frmadus, "list_cherch"), QStringList{"sara"});
    clickRow(frmadus, "list_cherch", QStringLiteral("sara"));
    press(frmadus, "pushButton_2");
    QTRY_COMPARE(rows(frmadus, "list_moshrif"), (QStringList{"ostad", ar("أحمد"), "sara"}));
    clickRow(frmadus, "list_moshrif", ar("أحمد"));
    press(frmadus, "pushButton_8");
    QTRY_COMPARE(rows(frmadus, "list_moshrif"), (QStringList{"ostad", "sara"}));
    QCOMPARE(room(2).value("supervisors").toArray().size(), 2);

    // An administrator added and given a permission.
    frmadus->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    QTRY_COMPARE(rows(frmadus, "list_admin"), QStringList{ar("مدير")});
    edit(frmadus, "lineEdit")->setText(QStringLiteral("ali"));
    press(frmadus, "pushButton");
    QTRY_COMPARE(rows(frmadus, "list_cherch"), QStringList{"ali"});
    clickRow(frmadus, "list_cherch", QStringLiteral("ali"));
    press(frmadus, "pushButton_3");
    QTRY_COMPARE(rows(frmadus, "list_admin"), (QStringList{ar("مدير"), "ali"}));
    clickRow(frmadus, "list_admin", QStringLiteral("ali"));
    frmadus->findChild<QCheckBox *>("ch_room_new")->setChecked(true);
    press(frmadus, "pushButton_4");
    const auto rights = [this] {
        return control("admins").value("admins").toObject().value("ali").toArray();
    };
    (void)QTest::qWaitFor([&] { return rights() == QJsonArray{"new_room"}; }, 60000);
    QCOMPARE(rights(), QJsonArray{"new_room"});

    // The administrator withdraws its own rights but the live broadcast: the
    // Admin menu goes, and the next request is refused.
    clickRow(frmadus, "list_admin", ar("مدير"));
    frmadus->Clear_Checked();
    frmadus->findChild<QCheckBox *>("ch_bat")->setChecked(true);
    press(frmadus, "pushButton_4");
    QTRY_COMPARE(menuTitles(), (QStringList{"File", "Bat"}));
    QVERIFY(!create_room && !super_co_admin && bat);
    const int shown = answers.shown.size();
    press(frmadrm, "pushButton_3");
    QTRY_COMPARE(answers.shown.size(), shown + 1);
    QCOMPARE(answers.shown.last().text, QStringLiteral("Err No Admin System"));
    QCOMPARE(answers.shown.last().icon, QMessageBox::Warning);
}

// The server does not answer a save: choosing the administrator again shows
// what was saved, and a second save keeps it.
void TestAdminInstitute::savedRightsShowWhenChosenAgain()
{
    ModalAnswerer answers;
    control(QStringLiteral("admin-set"), {{"user", "sara"}, {"permissions", QJsonObject()}});
    QVERIFY(logInToChat(*m_institute, ar("مدير"), QStringLiteral("admin123")));
    QTRY_VERIFY_WITH_TIMEOUT(menuTitles().contains(QStringLiteral("Admin")), 60000);
    const auto checked = [] {
        QStringList out;
        for (QCheckBox *box : frmadus->permissionBoxes())
            if (box->isChecked())
                out << box->objectName();
        return out;
    };
    const auto rights = [this] {
        QStringList out;
        for (const QJsonValue &key : control("admins").value("admins").toObject().value("sara").toArray())
            out << key.toString();
        return out;
    };

    triggerEntry(QStringLiteral("Admin Users"));
    QVERIFY(frmadus);
    frmadus->show();
    frmadus->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(rows(frmadus, "list_admin"), (QStringList{ar("مدير"), "sara"}), 60000);
    clickRow(frmadus, "list_admin", QStringLiteral("sara"));
    QCOMPARE(checked(), QStringList());
    frmadus->findChild<QCheckBox *>("ch_room_new")->setChecked(true);
    frmadus->findChild<QCheckBox *>("ch_group_new")->setChecked(true);
    press(frmadus, "pushButton_4");
    const QStringList saved{"new_room", "new_group"};
    (void)QTest::qWaitFor([&] { return rights() == saved; }, 60000);
    QCOMPARE(rights(), saved);

    // Another administrator, then sara again.
    clickRow(frmadus, "list_admin", ar("مدير"));
    QCOMPARE(checked().size(), 29);
    clickRow(frmadus, "list_admin", QStringLiteral("sara"));
    QCOMPARE(checked(), (QStringList{"ch_room_new", "ch_group_new"}));

    // A second save, with one right more, keeps the first two.
    frmadus->findChild<QCheckBox *>("ch_zowar")->setChecked(true);
    press(frmadus, "pushButton_4");
    const QStringList more{"zowar", "new_room", "new_group"};
    (void)QTest::qWaitFor([&] { return rights() == more; }, 60000);
    QCOMPARE(rights(), more);
    clickRow(frmadus, "list_admin", ar("مدير"));
    clickRow(frmadus, "list_admin", QStringLiteral("sara"));
    QCOMPARE(checked(), (QStringList{"ch_zowar", "ch_room_new", "ch_group_new"}));

    // A window opened again shows the same from the server's list.
    frmadus->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    triggerEntry(QStringLiteral("Admin Users"));
    QVERIFY(frmadus);
    frmadus->show();
    frmadus->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    QTRY_COMPARE_WITH_TIMEOUT(rows(frmadus, "list_admin"), (QStringList{ar("مدير"), "sara"}), 60000);
    clickRow(frmadus, "list_admin", QStringLiteral("sara"));
    QCOMPARE(checked(), (QStringList{"ch_zowar", "ch_room_new", "ch_group_new"}));
    QVERIFY2(answers.shown.isEmpty(), qPrintable(answers.texts().join(", ")));
}

void TestAdminInstitute::scheduleRunningExam()
{
    const QJsonObject reading{{"number", 41}, {"offset", -300}, {"minutes", 60},
                              {"title", "Reading"}};
    QVERIFY(control("schedule", {{"exams", QJsonArray{reading}}}).value("ok").toBool());
}

void TestAdminInstitute::memberGoesToTheExam()
{
    StandIn exam;
    launcherFolder = exam.path();
    path_web = m_institute->webBase() + QStringLiteral("site1/");
    velmar_name = ar("قاعة الأطلس::Atlas");
    velmar_group = QStringLiteral("group1");
    scheduleRunningExam();
    ModalAnswerer answers;
    answers.queue(QMessageBox::No);
    QVERIFY(logInToChat(*m_institute, QStringLiteral("ali"), QStringLiteral("ali123")));
    QTRY_VERIFY(frmimtihan && frmimtihan->isVisible());
    QCOMPARE(answers.texts(), QStringList{"msg start imtihan ?"});
    QCOMPARE(frmimtihan->findChild<QLabel *>("La")->text(),
             ar("لديك اليوم اختبار في المواد التالية :"));
    QVERIFY(exam.file("starts").isEmpty());

    press(frmimtihan, "pushButton_2");
    QTRY_COMPARE(exam.file("starts"), QByteArray("0\n"));
    QVERIFY(!frmimtihan->isVisible());
    const QByteArray store = exam.file("store");
    const QString url = path_web + QStringLiteral("imtihan.php");
    for (const QByteArray &line : {QByteArray("nickname=ali"), QByteArray("id_user=101"),
                                   QByteArray("type_user=1"), QByteArray("group=group1"),
                                   QByteArray("email=ali@velmar.test"), url.toUtf8()})
        QVERIFY2(store.contains(line), line.constData());

    // The handed-over address is the exam endpoint, and it knows the member.
    QNetworkAccessManager web;
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArray("application/x-www-form-urlencoded;charset=utf8"));
    QNetworkReply *reply = web.post(
        request, "?" + url.toUtf8() + "&cmd=infousr&id_user=101&namegroup=ali&isgroup=group1");
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->readAll(), QByteArray("debut|ali<:>ali@velmar.test|fin"));
    reply->deleteLater();
}

void TestAdminInstitute::visitorGetsNothing()
{
    StandIn exam;
    launcherFolder = exam.path();
    scheduleRunningExam();
    ModalAnswerer answers;
    answers.queue(QMessageBox::Yes);
    sck->socket()->abort();
    sck->socket()->connectToHost(QStringLiteral("127.0.0.1"), m_institute->port("chat"));
    QTRY_COMPARE(sck->socket()->state(), QAbstractSocket::ConnectedState);
    SendPacket(outgoing::visitorLogin());
    QTRY_VERIFY(frmimtihan && frmimtihan->isVisible());
    QCOMPARE(type_user, 0);
    // Yes to the question only asks the visitor to log in as a member.
    QCOMPARE(answers.texts(), (QStringList{"msg start imtihan ?",
                                           "msg Information zair start imtihan ?"}));
    QVERIFY(frmimtihan->findChild<QLabel *>("La")->text().startsWith(
        ar("الرجاء إن كنت طالب في المعهد أن تدخل بالعضوية")));
    press(frmimtihan, "pushButton_2");
    QVERIFY(frmimtihan->isVisible());
    QVERIFY(!QFile::exists(settingsPath()));
    QVERIFY(exam.file("starts").isEmpty());
}

QTEST_MAIN(TestAdminInstitute)
#include "tst_admin_institute.moc"
