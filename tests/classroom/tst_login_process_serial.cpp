// The Dastrel program itself on a virtual X display, logging in through the
// local institute as a newcomer would: the launcher's entry, the member form
// typed into (or the visitor button), the main window; then the same account
// logs in elsewhere, the message is confirmed and the program ends with
// status 0. (Serial: the launcher probes the exam program's shared memory.)
#include "support/desktop.h"
#include "support/institute.h"

#include <QJsonArray>
#include <QProcess>
#include <QtTest>

namespace {
// Places on the launcher's login panel (English, left to right).
const QPoint kMemberButton(90, 360);
const QPoint kVisitorButton(237, 360);
const QSize kLauncher(474, 400);
const QSize kMemberForm(300, 380);
const QSize kMainWindow(310, 0); // its height follows its menu bar
} // namespace

class TestLoginProcess : public QObject
{
    Q_OBJECT
    Institute inst{{QStringLiteral("--keepalive"), QStringLiteral("0")}};
    VirtualDisplay display;

    // Nickname of the one logged-in user who is not scripted, or empty.
    QString onlineUser()
    {
        const QJsonArray sessions = inst.control({{"command", "sessions"}}).value("sessions").toArray();
        for (const QJsonValue &v : sessions) {
            const QJsonObject s = v.toObject();
            if (!s.value("scripted").toBool() && s.value("service").toString() == QLatin1String("chat"))
                return s.value("user").toString();
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(display.start(), qPrintable(display.error()));
        QVERIFY2(inst.start(), qPrintable(inst.startError()));
    }

    void loginThenElsewhere_data()
    {
        QTest::addColumn<bool>("member");
        QTest::addColumn<QString>("nickname");
        QTest::newRow("member") << true << "ali";
        QTest::newRow("visitor") << false << QString::fromUtf8("زائر");
    }

    void loginThenElsewhere()
    {
        QFETCH(bool, member);
        QFETCH(QString, nickname);
        DastrelFolder tree(inst.port(QStringLiteral("web")));
        QVERIFY(tree.isValid());
        tree.writeSettings("Languages=2\n");
        QProcess dastrel;
        QVERIFY(tree.start(dastrel, display));

        const QString launcher = display.waitForWindow(QStringLiteral("Velmar"), dastrel, kLauncher);
        QVERIFY2(!launcher.isEmpty(), "no launcher");
        // Return chooses the entry in front once the menu has come to rest
        // (earlier presses are ignored); the choice is then stored.
        const QString stored = tree.home() + QStringLiteral("/.config/Dastrel/Settings.conf");
        for (int i = 0; i < 40 && !DastrelFolder::read(stored).contains("Choix="); ++i) {
            display.pressReturnIn(launcher);
            QTest::qWait(500);
        }
        QVERIFY2(DastrelFolder::read(stored).contains("Choix="), "no entry chosen");
        // The login panel fades in over the menu.
        QTest::qWait(3000);
        const QPoint button = member ? kMemberButton : kVisitorButton;
        display.clickIn(launcher, button.x(), button.y());
        const QString memberForm =
            member ? display.waitForWindow(QStringLiteral("Velmar"), dastrel, kMemberForm, 10000)
                   : QString();
        QVERIFY2(!member || !memberForm.isEmpty(), "no member form");
        if (member) {
            // The member form has the focus in its user name.
            display.xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), memberForm});
            display.type(QStringLiteral("ali"));
            display.xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
            display.type(QStringLiteral("ali123"));
            display.xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        }
        QVERIFY(QTest::qWaitFor([&] { return onlineUser().startsWith(nickname); }, 20000));
        QVERIFY2(!display.waitForWindow(QStringLiteral("Velmar"), dastrel, kMainWindow, 20000).isEmpty(),
                 "no main window");

        // The same account logs in elsewhere: the message, then the end.
        QVERIFY(inst.control({{"command", "login-elsewhere"}, {"user", onlineUser()}})
                    .value("ok")
                    .toBool());
        const QString box = display.waitForWindow(QStringLiteral("Title App"), dastrel);
        QVERIFY2(!box.isEmpty(), "no message");
        QVERIFY(display.waitForWindow(QStringLiteral("Velmar"), dastrel, kMainWindow, 500).isEmpty());
        display.pressReturnIn(box);
        QVERIFY(dastrel.waitForFinished(20000));
        QCOMPARE(dastrel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(dastrel.exitCode(), 0);
        VERIFY_INSTITUTE_CLEAN(inst);
    }
};

QTEST_GUILESS_MAIN(TestLoginProcess)
#include "tst_login_process_serial.moc"
