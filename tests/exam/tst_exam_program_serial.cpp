// The exam program as a process: the version answer and the single-instance
// guard on the shared-memory key (system-wide, so this test runs alone).
#include "common/guardkey.h"
#include "core/program.h"
#include "core/msgbox.h"
#include "examtest.h"
#include "support/modal.h"

#include <QProcess>
#include <QSharedMemory>
#include <QtTest>

static const QString kProgram = QStringLiteral(VELMAR_BIN_DIR "/Tallivor");

class TestExamProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void versionAnswer();
    void versionAnswerLoadsNoLibrary();
    void otherArgumentsStartNormally_data();
    void otherArgumentsStartNormally();
    void guard();

private:
    static bool guardHeld();
    static bool waitForGuard(bool held);
    void startCopy(QProcess &process, const QStringList &arguments);
};

void TestExamProgram::initTestCase()
{
    examtest::reset();
    // A leftover of an earlier killed copy is cleared; a live copy is not.
    QSharedMemory probe;
    QVERIFY2(takeInstanceGuard(probe), "another exam program holds the guard; run the test again");
    probe.detach();
}

bool TestExamProgram::guardHeld()
{
    QSharedMemory probe(examGuardKey());
    if (!probe.attach())
        return false;
    probe.detach();
    return true;
}

bool TestExamProgram::waitForGuard(bool held)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000) {
        if (guardHeld() == held)
            return true;
        QTest::qWait(50);
    }
    return false;
}

void TestExamProgram::startCopy(QProcess &process, const QStringList &arguments)
{
    process.setProgram(kProgram);
    process.setArguments(arguments);
    process.start();
    QVERIFY(process.waitForStarted(10000));
}

void TestExamProgram::versionAnswer()
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(kProgram, {QStringLiteral("-v")});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("2.0.16"));
    QCOMPARE(process.readAllStandardError(), QByteArray());
    QVERIFY(!guardHeld());
}

void TestExamProgram::versionAnswerLoadsNoLibrary()
{
    // The dynamic loader lists every file it opens: neither the program's
    // library nor any Qt library is among them for the version answer.
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    process.setProcessEnvironment(env);
    process.start(kProgram, {QStringLiteral("-v")});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray("2.0.16"));
    const QByteArray loaded = process.readAllStandardError();
    QVERIFY2(loaded.contains("libc.so"), loaded.constData());
    QVERIFY2(!loaded.contains("libtallivor") && !loaded.contains("libQt5"), loaded.constData());
}

void TestExamProgram::otherArgumentsStartNormally_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("capital") << QStringList{"-V"};
    QTest::newRow("two dashes") << QStringList{"--v"};
    QTest::newRow("second of two") << QStringList{"x", "-v"};
}

void TestExamProgram::otherArgumentsStartNormally()
{
    QFETCH(QStringList, arguments);
    QProcess process;
    startCopy(process, arguments);
    QVERIFY2(waitForGuard(true), process.readAllStandardError().constData());
    QCOMPARE(process.state(), QProcess::Running);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    process.terminate();
    QVERIFY(process.waitForFinished(10000));
    QVERIFY(waitForGuard(false));
}

void TestExamProgram::guard()
{
    QProcess first;
    startCopy(first, {});
    QVERIFY(waitForGuard(true));

    // A second copy is refused with the one-copy message.
    {
        ModalAnswerer answers;
        QSharedMemory second;
        QVERIFY(!takeGuardOrRefuse(second));
        QCOMPARE(answers.texts(), QStringList{kMsgSecondCopy});
        QCOMPARE(answers.shown.first().title, kMsgTitle);
    }
    // The version answer works while a copy runs.
    QProcess version;
    version.start(kProgram, {QStringLiteral("-v")});
    QVERIFY(version.waitForFinished(10000));
    QCOMPARE(version.readAllStandardOutput(), QByteArray("2.0.16"));
    QCOMPARE(version.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // A killed copy leaves its segment behind; the next start clears it.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(guardHeld());
    {
        QSharedMemory next;
        QVERIFY(takeInstanceGuard(next));
        QCOMPARE(next.size() >= kGuardSize, true);
        next.detach();
    }
    QVERIFY(!guardHeld());

    // After that a copy starts normally again.
    QProcess again;
    startCopy(again, {});
    QVERIFY(waitForGuard(true));
    QVERIFY(QDir::home().exists(QStringLiteral(".imtihan")));
    again.terminate();
    QVERIFY(again.waitForFinished(10000));
    QVERIFY(waitForGuard(false));
}

QTEST_MAIN(TestExamProgram)
#include "tst_exam_program_serial.moc"
