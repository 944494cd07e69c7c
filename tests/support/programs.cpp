#include "support/programs.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

FakeProgramFolder::FakeProgramFolder()
{
    write(QStringLiteral("Tallivor"),
          "#!/bin/sh\n"
          "dir=$(dirname \"$0\")\n"
          "echo run >>\"$dir/exam-runs\"\n"
          "sleep \"$(cat \"$dir/exam-delay\")\"\n"
          "cat \"$dir/exam-version\"\n");
    QFile::setPermissions(path() + QStringLiteral("/Tallivor"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner);
    setExamVersion("2.0.16");
    setExamDelay(0);
}

void FakeProgramFolder::write(const QString &name, const QByteArray &content)
{
    QFile file(path() + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void FakeProgramFolder::setExamVersion(const QByteArray &output)
{
    write(QStringLiteral("exam-version"), output);
}

void FakeProgramFolder::setExamDelay(int seconds)
{
    write(QStringLiteral("exam-delay"), QByteArray::number(seconds));
}

void FakeProgramFolder::clearRuns() { QFile::remove(path() + QStringLiteral("/exam-runs")); }

int FakeProgramFolder::examRuns() const
{
    QFile file(path() + QStringLiteral("/exam-runs"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

bool askedToQuit(const std::function<void()> &action)
{
    // The application's own loop: a quit ends it, and leaving it resets the
    // quit state, so that later event loops of the test run normally. Timers
    // still pending then go with the context object.
    QObject context;
    QTimer::singleShot(0, &context, [&context, action] {
        action();
        // Runs only when the action left the loop running.
        QTimer::singleShot(0, &context, [] { QCoreApplication::exit(1); });
    });
    return QCoreApplication::exec() == 0;
}
