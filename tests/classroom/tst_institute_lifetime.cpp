// A test program that dies, even by SIGKILL, leaves no local institute and no
// Icecast behind: the institute ends when the process that started it is
// gone, and Icecast when the institute is gone.
#include "support/institute.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <optional>
#include <unistd.h>

namespace {

// Set in the environment of this program's second copy, which only starts
// an institute and waits to be killed.
const char kHolderVariable[] = "VELMAR_INSTITUTE_HOLDER";

struct Proc
{
    qint64 pid = 0;
    qint64 parent = 0;
    QByteArray name;    // the kernel's short command name
    QByteArray started; // start time since boot, against a reused pid
    char state = '?';
};

// /proc/<pid>/stat: "pid (name) state ppid ... starttime(22nd) ...".
std::optional<Proc> readProc(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = file.read(4096);
    const int open = stat.indexOf('(');
    const int close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return std::nullopt;
    const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
    if (rest.size() < 20)
        return std::nullopt;
    Proc p;
    p.pid = pid;
    p.name = stat.mid(open + 1, close - open - 1);
    p.state = rest.at(0).isEmpty() ? '?' : rest.at(0).at(0);
    p.parent = rest.at(1).toLongLong();
    p.started = rest.at(19);
    return p;
}

// Every process below root, root excluded.
QList<Proc> descendants(qint64 root)
{
    QList<Proc> all;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &name : pids) {
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        if (!number)
            continue;
        if (const auto p = readProc(pid))
            all << *p;
    }
    QList<Proc> found;
    QList<qint64> parents{root};
    while (!parents.isEmpty()) {
        const qint64 parent = parents.takeFirst();
        for (const Proc &p : all) {
            if (p.parent == parent) {
                found << p;
                parents << p.pid;
            }
        }
    }
    return found;
}

// Still running: the same process (not a reused pid) and not a zombie.
bool running(const Proc &p)
{
    const auto now = readProc(p.pid);
    return now && now->started == p.started && now->state != 'Z';
}

QString describe(const QList<Proc> &list)
{
    QStringList out;
    for (const Proc &p : list)
        out << QStringLiteral("%1 %2 (%3)").arg(p.pid).arg(QString::fromLatin1(p.name)).arg(p.state);
    return out.join(QStringLiteral(", "));
}

int holdInstitute(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Institute institute;
    if (!institute.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(institute.startError()));
        return 1;
    }
    std::printf("READY\n");
    std::fflush(stdout);
    for (;;)
        pause();
}

} // namespace

class TestInstituteLifetime : public QObject
{
    Q_OBJECT

private slots:
    void endsWithWhatStartedIt_data();
    void endsWithWhatStartedIt();
};

void TestInstituteLifetime::endsWithWhatStartedIt_data()
{
    QTest::addColumn<bool>("killInstitute"); // else the program that started it
    QTest::newRow("the test program killed") << false;
    QTest::newRow("the institute killed") << true;
}

void TestInstituteLifetime::endsWithWhatStartedIt()
{
    QFETCH(bool, killInstitute);
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kHolderVariable), QStringLiteral("1"));
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY2(holder.waitForStarted(60000), qPrintable(holder.errorString()));
    QTRY_VERIFY2_WITH_TIMEOUT(holder.canReadLine() || holder.state() == QProcess::NotRunning,
                              "the holder neither started the institute nor ended", 180000);
    QVERIFY2(holder.readLine() == "READY\n", holder.readAllStandardError().constData());

    const qint64 holderPid = holder.processId();
    const QList<Proc> watched = descendants(holderPid);
    // Whatever is left when this test fails is ended here, not left behind.
    const auto leftovers = qScopeGuard([&] {
        for (const Proc &p : watched)
            if (running(p))
                ::kill(pid_t(p.pid), SIGKILL);
        holder.kill();
        holder.waitForFinished(60000);
    });
    const auto institute = std::find_if(watched.begin(), watched.end(),
                                        [&](const Proc &p) { return p.parent == holderPid; });
    QVERIFY2(institute != watched.end(), qPrintable(describe(watched)));
    QVERIFY2(institute->name.startsWith("python3"), qPrintable(describe(watched)));
    QVERIFY2(std::any_of(watched.begin(), watched.end(),
                         [](const Proc &p) { return p.name == "icecast2"; }),
             qPrintable(describe(watched)));

    const qint64 victim = killInstitute ? institute->pid : holderPid;
    QCOMPARE(::kill(pid_t(victim), SIGKILL), 0);
    QList<Proc> left;
    QTRY_VERIFY2_WITH_TIMEOUT(
        (left.clear(),
         std::copy_if(watched.begin(), watched.end(), std::back_inserter(left), running),
         left.isEmpty()),
        qPrintable(QStringLiteral("still running after the kill of %1: %2")
                       .arg(victim)
                       .arg(describe(left))),
        120000);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kHolderVariable))
        return holdInstitute(argc, argv);
    QCoreApplication app(argc, argv);
    TestInstituteLifetime test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_institute_lifetime.moc"
