// The Dastrel program itself, started from a copy of bin/ with its own
// velmar.conf and home folder, on a virtual X display: it fetches the version
// record and the entry list from the local institute, caches the pictures in
// .talvek, asks both update questions and starts the Nuvate stand-in with the
// updater's arguments. (Serial: the exam program's shared memory is probed.)
#include "support/desktop.h"
#include "support/institute.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

class TestLauncherProcess : public QObject
{
    Q_OBJECT
    Institute inst;
    VirtualDisplay display;

private slots:
    void initTestCase()
    {
        QVERIFY2(display.start(), qPrintable(display.error()));
        QVERIFY2(inst.start(), qPrintable(inst.startError()));
    }

    void updateRoadReachesTheUpdater()
    {
        // A program folder of its own: Dastrel copied (its folder is where it
        // really lies), the exam program and the updater stand-in beside it,
        // velmar.conf one level up.
        DastrelFolder tree(inst.port(QStringLiteral("web")));
        QVERIFY(tree.isValid());
        const QString bin = tree.bin();
        const QString home = tree.home();
        // English, so that the message boxes carry their keys as titles.
        tree.writeSettings("Languages=2\n");

        QCOMPARE(inst.control({{"command", "web-versions"},
                               {"client", "3.0.1"},
                               {"client_extra", "patch"},
                               {"qt", QString::fromLatin1(qVersion())},
                               {"mode", "u"},
                               {"exam", "2.0.17"},
                               {"exam_data", "tallivor.zip"}})
                     .value("ok")
                     .toBool(),
                 true);

        QProcess dastrel;
        QVERIFY(tree.start(dastrel, display));

        QVERIFY2(!display.waitForWindow(QStringLiteral("Velmar"), dastrel).isEmpty(), "no launcher");
        const QString clientQuestion = display.waitForWindow(QStringLiteral("sVervion"), dastrel);
        QVERIFY2(!clientQuestion.isEmpty(), "no client update question");
        display.pressReturnIn(clientQuestion); // Yes
        const QString examQuestion = display.waitForWindow(QStringLiteral("sVervion2"), dastrel);
        QVERIFY2(!examQuestion.isEmpty(), "no exam program update question");
        display.pressReturnIn(examQuestion); // Yes
        // The client update ends the client once the pass is over.
        QVERIFY(dastrel.waitForFinished(30000));
        QCOMPARE(dastrel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(dastrel.exitCode(), 0);

        // The updater runs detached; its record arrives on its own time.
        const QString record = bin + "/nuvate.log";
        const QByteArray expected = "call 6\narg /u\narg /r\narg Dastrel\narg 3.0.1\n"
                                    "arg dastrel-3.0.0.zip\narg patch\n"
                                    "call 6\narg /k\narg /n\narg Tallivor\narg 2.0.17\n"
                                    "arg tallivor.zip\narg tallivor.zip\n";
        QTRY_COMPARE_WITH_TIMEOUT(DastrelFolder::read(record), expected, 20000);

        QStringList requests;
        for (const QJsonValue &v : inst.log())
            if (v.toObject().value("service").toString() == QLatin1String("web"))
                requests << v.toObject().value("path").toString();
        QCOMPARE(requests.filter(QStringLiteral("/velmar.php?Ver=MacOS")).size(), 1);
        QCOMPARE(requests.filter(QStringLiteral("/velmar.php?Code=info")).size(), 1);
        for (int n = 1; n <= 3; ++n) {
            const QString folder = home + QStringLiteral("/.talvek/site%1/").arg(n);
            QVERIFY(QFile::exists(folder + QStringLiteral("icon%1.png").arg(n)));
            QVERIFY(QFile::exists(folder + QStringLiteral("logo%1.png").arg(n)));
        }
        VERIFY_INSTITUTE_CLEAN(inst);
    }
};

QTEST_GUILESS_MAIN(TestLauncherProcess)
#include "tst_launcher_process_serial.moc"
