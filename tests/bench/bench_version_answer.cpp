// "Tallivor -v", which the classroom launcher waits for, against a program
// that links QtCore only, run in turn in the same run: the wall time of each
// whole process, from its start to its end, as medians.
#include <QtTest>

#include <algorithm>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    double ms = 0;
    QByteArray output;
    bool ok = false;
};

double nowMs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Starts program with its arguments, output to a pipe, and waits for it.
Run runOnce(const QByteArray &program, const QList<QByteArray> &arguments)
{
    Run run;
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char *> argv{const_cast<char *>(program.constData())};
    for (const QByteArray &a : arguments)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    const double start = nowMs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(),
                                    environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return run;
    }
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        run.output.append(buffer, int(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.ms = nowMs() - start;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

class BenchVersionAnswer : public QObject
{
    Q_OBJECT
private slots:
    void againstQtCore()
    {
        const QByteArray tallivor = QByteArrayLiteral(VELMAR_BIN_DIR "/Tallivor");
        const QByteArray bare =
            QFile::encodeName(QCoreApplication::applicationDirPath() + "/bare_qtcore");
        std::vector<double> msA, msB, ratio;
        // One of each not counted, then in turn.
        runOnce(tallivor, {"-v"});
        runOnce(bare, {});
        for (int i = 0; i < 21; ++i) {
            const Run a = runOnce(tallivor, {"-v"});
            const Run b = runOnce(bare, {});
            QVERIFY(a.ok && b.ok);
            QCOMPARE(a.output, QByteArray("2.0.16"));
            msA.push_back(a.ms);
            msB.push_back(b.ms);
            ratio.push_back(a.ms / b.ms);
        }
        qInfo("Tallivor -v: %.1f ms; a QtCore-only program: %.1f ms; ratio %.2f (medians of 21)",
              median(msA), median(msB), median(ratio));
    }
};

QTEST_GUILESS_MAIN(BenchVersionAnswer)
#include "bench_version_answer.moc"
