// The version check: the record of the web endpoint against the client's
// own version and the exam program's "-v" answer, and the updater start.
#include "startup/dialog.h"

#include "common/guardkey.h"
#include "common/hooks.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/state.h"
#include "startup/pure/version.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QSharedMemory>
#include <QTimer>

namespace {
// Only the start of the exam program's answer is read.
constexpr qint64 kMaxVersionOutput = 4096;
} // namespace

void Dialog::slotTime()
{
    versionTimer->stop();
    getVersion();
    firstPass = false;
}

QString Dialog::examVersion()
{
    QProcess process;
    process.start(applicationFolder() + QStringLiteral("/Tallivor"), {QStringLiteral("-v")},
                  QIODevice::ReadWrite);
    QString output;
    if (process.waitForStarted(launcherTimes.examVersionTimeoutMs)) {
        process.waitForFinished(launcherTimes.examVersionTimeoutMs);
        output = QString::fromUtf8(process.readAllStandardOutput().left(kMaxVersionOutput));
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return output;
}

bool Dialog::examProgramRunning()
{
    QSharedMemory memory(examGuardKey());
    // A segment left by an exam program that died has no one attached: this
    // removes it, and leaves a running program's segment alone.
    if (memory.attach())
        memory.detach();
    if (!memory.create(512, QSharedMemory::ReadWrite))
        return true;
    memory.detach();
    return false;
}

void Dialog::startUpdater(const QStringList &arguments)
{
    if (!hooks::startDetached(applicationFolder() + QStringLiteral("/Nuvate"), arguments))
        MsgBox(GeTranslate(MyMessage::GeMsgVervion()[0]), GeTranslate("Updater not started"),
               QMessageBox::Warning, QMessageBox::Ok);
}

void Dialog::getVersion()
{
    QString text;
    if (firstPass && !versionReply.isEmpty()) {
        text = versionReply;
        firstPass = false;
    } else {
        text = QString::fromUtf8(httpGet(GethttpServer + QStringLiteral("?Ver=MacOS")));
        if (firstPass)
            versionReply = text;
    }
    if (text.isEmpty())
        return;
    const QStringList fields = parseVersionRecord(text);
    if (fields.isEmpty())
        return;
    const QString installedExam = examVersion();
    const VersionDecision d =
        decideVersions(fields, sVersion, QString::fromLatin1(qVersion()), installedExam,
                       QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (firstPass)
        return;

    // Quitting ends the event loop once the whole pass has run: a quit made
    // at once would end the modal loop of the next question as well.
    bool quit = false;
    if (d.clientOutdated) {
        const auto answer = MsgBox(
            GeTranslate(MyMessage::GeMsgVervion()[0]),
            updateMessage(GeTranslate(MyMessage::GeMsgVervion()[1]), sVersion, d.clientOffered),
            QMessageBox::Information, QMessageBox::Yes, QMessageBox::No);
        // A failed start is reported; the client quits all the same.
        if (answer == QMessageBox::Yes && !d.clientUpdater.isEmpty())
            startUpdater(d.clientUpdater);
        quit = true;
    }
    if (d.examOutdated) {
        const auto answer = MsgBox(
            GeTranslate(MyMessage::GeMsgVervion2()[0]),
            updateMessage(GeTranslate(MyMessage::GeMsgVervion2()[1]), installedExam,
                          d.examOffered),
            QMessageBox::Information, QMessageBox::Yes, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            quit = true;
        } else if (examProgramRunning()) {
            MsgBox(GeTranslate(MyMessage::GeMsgVervion2()[0]),
                   GeTranslate(MyMessage::GetMsgNoImtihan()), QMessageBox::Information,
                   QMessageBox::Ok);
            quit = true;
        } else if (!d.examUpdater.isEmpty()) {
            startUpdater(d.examUpdater);
        }
    }
    if (quit)
        hooks::quit();
}
