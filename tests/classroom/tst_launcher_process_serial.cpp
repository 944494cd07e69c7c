// The Dastrel program itself, started from a copy of bin/ with its own
// velmar.conf and home folder, on a virtual X display: it fetches the version
// record and the entry list from the local institute, caches the pictures in
// .talvek, asks both update questions and starts the Nuvate stand-in with the
// updater's arguments. (Serial: the exam program's shared memory is probed.)
#include "startup/pure/base64.h"
#include "support/institute.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestLauncherProcess : public QObject
{
    Q_OBJECT
    Institute inst;
    QProcess xvfb;
    QString display;

    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Runs xdotool on the virtual display and returns what it printed.
    QString xdotool(const QStringList &arguments)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), arguments);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // The first window whose title is exactly title, waiting for it.
    QString waitForWindow(const QString &title, QProcess &program)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && program.state() == QProcess::Running) {
            const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--name"),
                                           QLatin1Char('^') + title + QLatin1Char('$')});
            if (!found.isEmpty())
                return found.section(QLatin1Char('\n'), 0, 0);
            QTest::qWait(100);
        }
        return QString();
    }
    void pressReturnIn(const QString &window)
    {
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Return")});
    }

private slots:
    void initTestCase()
    {
        for (const char *tool : {"Xvfb", "xdotool"})
            QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                     "scripts/install-deps installs Xvfb and xdotool");
        QVERIFY2(inst.start(), qPrintable(inst.startError()));
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1024x768x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(xvfb.waitForStarted(10000));
        QElapsedTimer clock;
        clock.start();
        while (!xvfb.canReadLine() && clock.elapsed() < 20000)
            xvfb.waitForReadyRead(200);
        display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
        QVERIFY2(display.size() > 1, "Xvfb gave no display number");
    }

    void cleanupTestCase()
    {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }

    void updateRoadReachesTheUpdater()
    {
        // A program folder of its own: Dastrel copied (its folder is where it
        // really lies), the exam program and the updater stand-in beside it,
        // velmar.conf one level up.
        QTemporaryDir tree;
        const QString bin = tree.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::copy(QStringLiteral(VELMAR_BIN_DIR "/Dastrel"), bin + "/Dastrel"));
        QVERIFY(QFile::copy(QStringLiteral(VELMAR_BIN_DIR "/Nuvate"), bin + "/Nuvate"));
        QVERIFY(QFile::link(QStringLiteral(VELMAR_BIN_DIR "/Tallivor"), bin + "/Tallivor"));
        const QByteArray conf = QStringLiteral("http://127.0.0.1:%1/velmar.php|0")
                                    .arg(inst.port(QStringLiteral("web")))
                                    .toUtf8();
        write(tree.filePath(QStringLiteral("velmar.conf")), base64_encode(conf, conf.size()));
        // English, so that the message boxes carry their keys as titles.
        const QString home = tree.filePath(QStringLiteral("home"));
        write(home + "/.config/Dastrel/Settings.conf", "[General]\nLanguages=2\n");

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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + "/.config");
        env.remove(QStringLiteral("NUVATE_LOG"));
        dastrel.setProcessEnvironment(env);
        dastrel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        dastrel.start(bin + "/Dastrel", QStringList());
        QVERIFY(dastrel.waitForStarted(10000));

        QVERIFY2(!waitForWindow(QStringLiteral("Velmar"), dastrel).isEmpty(), "no launcher");
        const QString clientQuestion = waitForWindow(QStringLiteral("sVervion"), dastrel);
        QVERIFY2(!clientQuestion.isEmpty(), "no client update question");
        pressReturnIn(clientQuestion); // Yes
        const QString examQuestion = waitForWindow(QStringLiteral("sVervion2"), dastrel);
        QVERIFY2(!examQuestion.isEmpty(), "no exam program update question");
        pressReturnIn(examQuestion); // Yes
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
        QTRY_COMPARE_WITH_TIMEOUT(read(record), expected, 20000);

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
