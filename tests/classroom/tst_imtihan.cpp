// The day's exam schedule (code 27), the exam notice and the hand-over to the
// exam program: the settings store written before the start, the start by
// path and argument list, members, staff and visitors, and the notice's
// filtering by the server's time.
#include "admin/frmimtihan.h"
#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/imtihan.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/dialog.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

const char *const kKeys[] = {"url", "nickname", "nameVelmar", "email", "id_user", "type_user",
                             "group"};

QString settingsPath()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tallivor/Settings.conf");
}

// "key=value" of the hand-over keys in the store, as the file on disk holds
// them.
QStringList storedKeys()
{
    QStringList out;
    if (!QFile::exists(settingsPath()))
        return out;
    QSettings file(settingsPath(), QSettings::IniFormat);
    for (const char *key : kKeys)
        if (file.contains(QLatin1String(key)))
            out << QLatin1String(key) + QLatin1Char('=') + file.value(QLatin1String(key)).toString();
    return out;
}

struct Start
{
    QString program;
    QStringList arguments;
    QStringList settings; // the store when the program started
};

QString schedule(const QString &now, const QStringList &exams)
{
    QStringList records{now};
    for (const QString &exam : exams)
        records << exam;
    return records.join(QStringLiteral("<|||>"));
}

QString exam(const char *number, const char *start, const char *minutes, const char *title)
{
    return QStringList{QLatin1String(number), QLatin1String(start), QLatin1String(minutes),
                       QString::fromUtf8(title)}
        .join(QStringLiteral("<||>"));
}

const QString kNow = QStringLiteral("2020-05-10 09:30:00");
const QString kRunning = exam("7", "2020-05-10 09:00:00", "60", "جبر");
const QString kRunning2 = exam("8", "2020-05-10 09:15:00", "60", "فقه");
const QString kOver = exam("9", "2020-05-10 09:00:00", "30", "نحو");
const QString kLater = exam("10", "2020-05-10 11:00:00", "30", "تجويد");

QStringList tableRows(FrmImtihan *notice)
{
    auto *table = notice->findChild<QTableWidget *>("table1");
    QStringList out;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

class TestImtihan : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void handOver_data();
    void handOver();
    void handedOverAddress_data();
    void handedOverAddress();
    void failedStart_data();
    void failedStart();
    void standInKeepsRunningCopies();
    void schedules_data();
    void schedules();
    void dispatched();
    void notice_data();
    void notice();
    void noticeButtons_data();
    void noticeButtons();
    void mainWindowEntries_data();
    void mainWindowEntries();

private:
    void setUser(int type);
    QList<Start> m_starts;
    bool m_startResult = true;
    LoopbackPeer m_peer;
};

void TestImtihan::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    QVERIFY(m_peer.connectClient());
}

void TestImtihan::init()
{
    QFile::remove(settingsPath());
    m_starts.clear();
    m_startResult = true;
    hooks::setStartHandler([this](const QString &program, const QStringList &arguments) {
        m_starts << Start{program, arguments, storedKeys()};
        return m_startResult;
    });
    launcherFolder = QStringLiteral("/opt/velmar/bin");
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER("ali");
    setUser(1);
    path_web = QStringLiteral("http://127.0.0.1:8086/");
    velmar_name = QStringLiteral("::Velmar::Institute");
    velmar_group = QStringLiteral("no");
    Imtihan_user.clear();
    Imtihan_on = false;
    Imtihan_id = 0;
}

void TestImtihan::cleanup()
{
    hooks::setStartHandler({});
    launcherFolder.clear();
    delete frmimtihan;
    frmimtihan = nullptr;
    delete frmusr;
    deleteLaterNow();
}

void TestImtihan::setUser(int type)
{
    type_user = type;
    id_user = type == 0 ? 0 : 101;
    Email_user = type == 0 ? QString() : QStringLiteral("ali@velmar.test");
}

void TestImtihan::handOver_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("stored");
    const QStringList common{"url=http://127.0.0.1:8086/imtihan.php", "nickname=ali",
                             "nameVelmar=::Velmar::Institute", "email=ali@velmar.test",
                             "id_user=101"};
    QTest::newRow("member") << 1 << "no" << common + QStringList{"type_user=1", "group=no"};
    QTest::newRow("member of a group account")
        << 3 << "1003" << common + QStringList{"type_user=3", "group=1003"};
    QTest::newRow("staff") << -101 << "1003" << common + QStringList{"type_user=-101", "group=no"};
    QTest::newRow("visitor") << 0 << "no" << QStringList();
}

void TestImtihan::handOver()
{
    QFETCH(int, type);
    QFETCH(QString, group);
    QFETCH(QStringList, stored);
    ModalAnswerer answers;
    setUser(type);
    velmar_group = group;
    runImtihan();
    QCOMPARE(storedKeys(), stored);
    QVERIFY(answers.shown.isEmpty());
    if (stored.isEmpty()) {
        QVERIFY(m_starts.isEmpty());
        QVERIFY(!QFile::exists(settingsPath()));
        return;
    }
    QCOMPARE(m_starts.size(), 1);
    QCOMPARE(m_starts.first().program, QStringLiteral("/opt/velmar/bin/Tallivor"));
    QCOMPARE(m_starts.first().arguments, QStringList());
    // Every key is on disk before the program starts.
    QCOMPARE(m_starts.first().settings, stored);
    // Opening again starts again; a running copy is never stopped.
    runImtihan();
    QCOMPARE(m_starts.size(), 2);
}

void TestImtihan::handedOverAddress_data()
{
    QTest::addColumn<QString>("web");
    QTest::addColumn<QString>("url");
    QTest::newRow("http") << "http://127.0.0.1:8086/site1/" << "http://127.0.0.1:8086/site1/imtihan.php";
    QTest::newRow("https") << "https://h/p/" << "https://h/p/imtihan.php";
    // The page's name would be read as the host.
    QTest::newRow("at sign alone") << "http://@" << "";
    QTest::newRow("user and password") << "http://user:pw@127.0.0.1:8086/" << "";
    QTest::newRow("local folder") << "file:///tmp/" << "";
    QTest::newRow("ftp") << "ftp://h/" << "";
    QTest::newRow("host left open") << "http://127.0.0.1" << "";
    QTest::newRow("none") << "" << "";
}

// Only a checked address reaches the exam program's store; without one the
// store holds none, never an address of an earlier hand-over.
void TestImtihan::handedOverAddress()
{
    QFETCH(QString, web);
    QFETCH(QString, url);
    {
        QSettings store(settingsPath(), QSettings::IniFormat);
        store.setValue(QStringLiteral("url"), QStringLiteral("http://127.0.0.1:8086/old/imtihan.php"));
    }
    path_web = web;
    runImtihan();
    QCOMPARE(storedKeys().value(0), QStringLiteral("url=") + url);
    QCOMPARE(m_starts.size(), 1);
    QCOMPARE(m_starts.first().settings.value(0), QStringLiteral("url=") + url);
}

void TestImtihan::failedStart_data()
{
    QTest::addColumn<bool>("storeWritable");
    QTest::addColumn<bool>("startResult");
    QTest::addColumn<int>("starts");
    QTest::newRow("program not started") << true << false << 1;
    // The exam program would start without the user's identity: it is not
    // started at all.
    QTest::newRow("store not written") << false << true << 0;
}

void TestImtihan::failedStart()
{
    QFETCH(bool, storeWritable);
    QFETCH(bool, startResult);
    QFETCH(int, starts);
    // A folder where the store's file should be cannot be written over.
    const QString blocked = settingsPath();
    if (!storeWritable)
        QVERIFY(QDir().mkpath(blocked));
    ModalAnswerer answers;
    m_startResult = startResult;
    runImtihan();
    if (!storeWritable)
        QVERIFY(QDir(blocked).removeRecursively());
    QCOMPARE(m_starts.size(), starts);
    QCOMPARE(answers.texts(), QStringList{"Imtihan not started"});
    QCOMPARE(answers.shown.first().icon, QMessageBox::Warning);
}

void TestImtihan::standInKeepsRunningCopies()
{
    // A stand-in exam program that notes each start with the store as it
    // found it, and runs until told to stop. It leaves the test's output
    // alone and ends by itself when its folder goes, when this test process
    // is gone, or after ten minutes, so that a failing test leaves nothing
    // running.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString dir = folder.path();
    {
        QFile script(dir + QStringLiteral("/Tallivor"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "exec </dev/null >/dev/null 2>&1\n"
                     "dir=$(dirname \"$0\")\n"
                     "cp \"$XDG_CONFIG_HOME/Tallivor/Settings.conf\" \"$dir/store.$$\"\n"
                     "echo \"$$ $#\" >>\"$dir/starts\"\n"
                     "i=0\n"
                     "while [ ! -e \"$dir/stop\" ] && [ -d \"$dir\" ] && [ $i -lt 6000 ] \\\n"
                     "      && kill -0 " + QByteArray::number(QCoreApplication::applicationPid())
                     + " 2>/dev/null; do\n"
                     "  sleep 0.1; i=$((i + 1))\n"
                     "done\n");
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    }
    hooks::setStartHandler({});
    launcherFolder = dir;
    const auto starts = [&dir] {
        QFile file(dir + QStringLiteral("/starts"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).split(
                   QLatin1Char('\n'), Qt::SkipEmptyParts)
                                              : QStringList();
    };
    const auto running = [](const QString &run) {
        return ::kill(run.section(QLatin1Char(' '), 0, 0).toInt(), 0) == 0;
    };
    // Whatever happens below, the stand-ins are stopped before the folder goes.
    struct StopStandIns
    {
        std::function<QStringList()> starts;
        ~StopStandIns()
        {
            for (const QString &run : starts()) {
                const int pid = run.section(QLatin1Char(' '), 0, 0).toInt();
                if (pid > 1)
                    ::kill(pid, SIGTERM);
            }
        }
    } stopStandIns{starts};
    constexpr int kWait = 60000;
    runImtihan();
    QTRY_COMPARE_WITH_TIMEOUT(starts().size(), 1, kWait);
    runImtihan();
    QTRY_COMPARE_WITH_TIMEOUT(starts().size(), 2, kWait);
    const QStringList runs = starts();
    for (const QString &run : runs) {
        const QStringList fields = run.split(QLatin1Char(' '));
        // Started without arguments, and still running.
        QCOMPARE(fields.value(1), QStringLiteral("0"));
        QVERIFY2(running(run), qPrintable(run));
        QFile store(dir + QStringLiteral("/store.") + fields.value(0));
        QVERIFY(store.open(QIODevice::ReadOnly));
        const QByteArray text = store.readAll();
        QVERIFY(text.contains("nickname=ali"));
        QVERIFY(text.contains("group=no"));
        QVERIFY(text.contains("url=\"http://127.0.0.1:8086/imtihan.php\"")
                || text.contains("url=http://127.0.0.1:8086/imtihan.php"));
    }
    QFile stop(dir + QStringLiteral("/stop"));
    QVERIFY(stop.open(QIODevice::WriteOnly));
    stop.close();
    for (const QString &run : runs)
        QTRY_VERIFY2_WITH_TIMEOUT(!running(run), qPrintable(run + " still runs"), kWait);
}

void TestImtihan::schedules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("packets"); // "name:body"
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("starts");
    QTest::addColumn<int>("notices");
    QTest::addColumn<int>("kept"); // the packet whose body Imtihan_user keeps, -1 none
    using B = QList<QMessageBox::StandardButton>;
    const QString ask = QStringLiteral("msg start imtihan ?");
    const QString zair = QStringLiteral("msg Information zair start imtihan ?");
    const QString running = "t:" + schedule(kNow, {kRunning});
    QTest::newRow("running, member opens") << 1 << QStringList{running} << B{QMessageBox::Yes}
                                           << QStringList{ask} << 1 << 1 << 0;
    QTest::newRow("running, member declines") << 1 << QStringList{running} << B{QMessageBox::No}
                                              << QStringList{ask} << 0 << 1 << 0;
    QTest::newRow("running, visitor opens") << 0 << QStringList{running} << B{QMessageBox::Yes}
                                            << QStringList{ask, zair} << 0 << 1 << 0;
    QTest::newRow("asked once for the same exam")
        << 1 << QStringList{running, running} << B{QMessageBox::No} << QStringList{ask} << 0 << 1
        << 1;
    QTest::newRow("only the server time changed")
        << 1 << QStringList{running, "t:" + schedule("2020-05-10 09:31:00", {kRunning})}
        << B{QMessageBox::No} << QStringList{ask} << 0 << 1 << 0;
    QTest::newRow("over") << 1 << QStringList{"t:" + schedule(kNow, {kOver})} << B()
                          << QStringList() << 0 << 0 << 0;
    QTest::newRow("not started yet") << 1 << QStringList{"t:" + schedule(kNow, {kLater})} << B()
                                     << QStringList() << 0 << 1 << 0;
    QTest::newRow("two running") << 1 << QStringList{"t:" + schedule(kNow, {kRunning, kRunning2})}
                                 << B{QMessageBox::No, QMessageBox::No} << QStringList{ask, ask}
                                 << 0 << 1 << 0;
    QTest::newRow("asked again after another exam")
        << 1
        << QStringList{running, "t:" + schedule(kNow, {kOver, kRunning2}), running}
        << B{QMessageBox::No, QMessageBox::No, QMessageBox::No} << QStringList{ask, ask, ask} << 0
        << 3 << 2;
    QTest::newRow("name No") << 1 << QStringList{"No:" + schedule(kNow, {kRunning})} << B()
                             << QStringList() << 0 << 0 << -1;
    QTest::newRow("short record") << 1
                                  << QStringList{"t:" + kNow
                                                 + "<|||>7<||>2020-05-10 09:00:00<||>60"}
                                  << B() << QStringList() << 0 << 0 << 0;
    QTest::newRow("unreadable times") << 1
                                      << QStringList{"t:10/05/2020<|||>" + kRunning,
                                                     "t:" + schedule(kNow, {exam("1", "soon", "60",
                                                                                  "x")})}
                                      << B() << QStringList() << 0 << 0 << 1;
    QTest::newRow("empty body") << 1 << QStringList{"t:"} << B() << QStringList() << 0 << 0 << 0;
}

void TestImtihan::schedules()
{
    QFETCH(int, type);
    QFETCH(QStringList, packets);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QStringList, messages);
    QFETCH(int, starts);
    QFETCH(int, notices);
    QFETCH(int, kept);
    setUser(type);
    ModalAnswerer boxes;
    for (QMessageBox::StandardButton answer : answers)
        boxes.queue(answer);
    int made = 0;
    FrmImtihan *last = nullptr;
    for (const QString &packet : packets) {
        const QString name = packet.section(QLatin1Char(':'), 0, 0);
        const QString body = packet.section(QLatin1Char(':'), 1);
        GetImtihan(name, body);
        if (frmimtihan != last) {
            ++made;
            last = frmimtihan;
            QVERIFY(frmimtihan->isVisible());
        }
    }
    QCOMPARE(boxes.texts(), messages);
    for (const ShownDialog &shown : boxes.shown)
        QCOMPARE(shown.title, shown.text == messages.value(0) ? QStringLiteral("Start Imtihan")
                                                              : QStringLiteral("Zair Imtihan"));
    QCOMPARE(m_starts.size(), starts);
    QCOMPARE(made, notices);
    if (type == 0)
        QVERIFY(!QFile::exists(settingsPath()));
    QCOMPARE(Imtihan_user, kept < 0 ? QString() : packets.at(kept).section(QLatin1Char(':'), 1));
    deleteLaterNow();
}

void TestImtihan::dispatched()
{
    ModalAnswerer boxes;
    boxes.queue(QMessageBox::Yes);
    bool handled = false;
    setDispatchObserver([&handled](const IncomingCommand &c) { handled = c.code == 27; });
    m_peer.send(wirePacket(27, "imtihan", schedule(kNow, {kRunning}).toUtf8()));
    // The body is read as CP-1256: the UTF-8 title arrives garbled, the
    // times do not.
    QTRY_VERIFY(handled);
    setDispatchObserver({});
    QCOMPARE(boxes.texts(), QStringList{"msg start imtihan ?"});
    QCOMPARE(m_starts.size(), 1);
    QVERIFY(frmimtihan && frmimtihan->isVisible());
}

void TestImtihan::notice_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("schedule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    const QString now = QStringLiteral("2020-05-10 10:00:00");
    const QString member = QString::fromUtf8("لديك اليوم اختبار في المواد التالية :");
    const QString none = QString::fromUtf8("عفوا امتحانات اليوم انتهت");
    QTest::newRow("running, ends now, later")
        << 1
        << schedule(now, {exam("1", "2020-05-10 09:30:00", "60", "a"),
                          exam("2", "2020-05-10 09:00:00", "60", "b"),
                          exam("3", "2020-05-10 11:00:00", "30", "c")})
        << member
        << QStringList{"1|a|2020-05-10 09:30:00|60", "3|c|2020-05-10 11:00:00|30"};
    QTest::newRow("visitor") << 0 << schedule(now, {exam("3", "2020-05-10 11:00:00", "30", "c")})
                             << QString::fromUtf8("الرجاء إن كنت طالب في المعهد أن تدخل بالعضوية\n"
                                                  " لأنه لديك اليوم اختبار في المواد التالية :")
                             << QStringList{"3|c|2020-05-10 11:00:00|30"};
    QTest::newRow("time only") << 1 << now << none << QStringList{"|||"};
    QTest::newRow("all over") << 1 << schedule(now, {exam("2", "2020-05-10 09:00:00", "60", "b")})
                              << none << QStringList{"|||"};
    QTest::newRow("short and unreadable records leave no gap")
        << 1
        << schedule(now, {QStringLiteral("4<||>2020-05-10 09:30:00<||>60"),
                          exam("5", "later", "60", "x"), exam("6", "2020-05-10 09:59:00", "x", "y"),
                          exam("7", "2020-05-10 09:59:00", "2", "z")})
        << member << QStringList{"7|z|2020-05-10 09:59:00|2"};
    QTest::newRow("huge duration") << -101
                                   << schedule(now, {exam("8", "2020-05-10 08:00:00",
                                                          "2147483647", "w")})
                                   << member << QStringList{"8|w|2020-05-10 08:00:00|2147483647"};
    QTest::newRow("the local clock plays no part")
        << 1
        << schedule(QStringLiteral("1999-01-01 00:00:00"),
                    {exam("9", "1999-01-01 00:10:00", "5", "old")})
        << member << QStringList{"9|old|1999-01-01 00:10:00|5"};
}

void TestImtihan::notice()
{
    QFETCH(int, type);
    QFETCH(QString, schedule);
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    setUser(type);
    Imtihan_user = schedule;
    FrmImtihan notice(nullptr);
    QCOMPARE(notice.findChild<QLabel *>("La")->text(), text);
    QCOMPARE(tableRows(&notice), rows);
    auto *table = notice.findChild<QTableWidget *>("table1");
    QVERIFY(table->isColumnHidden(0));
    QCOMPARE(table->columnWidth(1), 280);
    QCOMPARE(table->columnWidth(2), 100);
    if (table->item(0, 1))
        QCOMPARE(table->item(0, 1)->textAlignment(), int(Qt::AlignCenter));
    // The rows are read once.
    Imtihan_user.clear();
    QCOMPARE(tableRows(&notice), rows);
}

void TestImtihan::noticeButtons_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("starts");
    QTest::addColumn<bool>("visible");
    QTest::newRow("member opens") << 1 << "pushButton_2" << 1 << false;
    QTest::newRow("visitor opens") << 0 << "pushButton_2" << 0 << true;
    QTest::newRow("member closes") << 1 << "pushButton" << 0 << false;
}

void TestImtihan::noticeButtons()
{
    QFETCH(int, type);
    QFETCH(QString, button);
    QFETCH(int, starts);
    QFETCH(bool, visible);
    ModalAnswerer answers;
    setUser(type);
    GetImtihan(QStringLiteral("t"), schedule(kNow, {kLater}));
    QVERIFY(frmimtihan && frmimtihan->isVisible());
    FrmImtihan *shown = frmimtihan;
    QTest::mouseClick(frmimtihan->findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(m_starts.size(), starts);
    QCOMPARE(frmimtihan->isVisible(), visible);
    // Closing only hides: the notice lives until a changed schedule replaces it.
    QCOMPARE(frmimtihan, shown);
    QVERIFY(answers.shown.isEmpty());
    GetImtihan(QStringLiteral("t"), schedule(kNow, {kLater, kRunning2}));
    QVERIFY(frmimtihan != shown);
}

void TestImtihan::mainWindowEntries_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("button");
    QTest::addColumn<int>("starts");
    QTest::newRow("member, button") << 1 << true << 1;
    QTest::newRow("member, menu") << 1 << false << 1;
    QTest::newRow("staff, menu") << -104 << false << 1;
    QTest::newRow("visitor, button") << 0 << true << 0;
    QTest::newRow("visitor, menu") << 0 << false << 0;
}

void TestImtihan::mainWindowEntries()
{
    QFETCH(int, type);
    QFETCH(bool, button);
    QFETCH(int, starts);
    ModalAnswerer answers;
    setUser(type);
    frmusr->show();
    if (button) {
        QTest::mouseClick(frmusr->findChild<QPushButton *>("Bimtihan"), Qt::LeftButton);
    } else {
        QAction *entry = nullptr;
        for (QAction *menu : frmusr->findChild<QMenuBar *>()->actions())
            if (menu->menu())
                for (QAction *action : menu->menu()->actions())
                    if (action->text() == QLatin1String("Program Imtihan"))
                        entry = action;
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
    }
    QCOMPARE(m_starts.size(), starts);
    QCOMPARE(QFile::exists(settingsPath()), starts > 0);
    QVERIFY(answers.shown.isEmpty());
}

QTEST_MAIN(TestImtihan)
#include "tst_imtihan.moc"
