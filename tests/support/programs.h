// Stand-ins for the programs beside a client under test, and a way to see
// whether code asked the application to quit.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>

// A temporary program folder holding a "Tallivor" script that answers "-v"
// with a settable text (after a settable delay) and counts its runs.
class FakeProgramFolder
{
public:
    FakeProgramFolder();
    QString path() const { return m_dir.path(); }
    // What "Tallivor -v" prints (no line break added).
    void setExamVersion(const QByteArray &output);
    // Seconds "Tallivor -v" sleeps before answering.
    void setExamDelay(int seconds);
    // How often "Tallivor" ran since the last clearRuns().
    int examRuns() const;
    void clearRuns();

private:
    void write(const QString &name, const QByteArray &content);
    QTemporaryDir m_dir;
};

// Runs action inside the application's event loop and reports whether it
// asked the application to quit.
bool askedToQuit(const std::function<void()> &action);
