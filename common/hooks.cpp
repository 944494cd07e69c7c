#include "hooks.h"

#include <ctime>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QVariant>

#include <utility>

namespace hooks {
namespace {
ModalHandler modalHandler;
UrlHandler urlHandler;
StartHandler startHandler;
SaveFileHandler saveFileHandler;
DirectoryHandler directoryHandler;
OpenFilesHandler openFilesHandler;
ClockHandler clockHandler;
MonotonicHandler monotonicHandler;
QuitHandler quitHandler;

int nestedLoops = 0;
QList<QPointer<QObject>> awaitingDeletion;
const char *const kRetired = "retiredObject";
} // namespace

NestedLoop::NestedLoop() { ++nestedLoops; }

NestedLoop::~NestedLoop()
{
    if (--nestedLoops > 0)
        return;
    // Posted from the outermost loop's caller: deleted once control is back
    // in the loop below it.
    const QList<QPointer<QObject>> due = std::exchange(awaitingDeletion, {});
    for (const QPointer<QObject> &object : due)
        if (object)
            object->deleteLater();
}

void deleteWhenIdle(QObject *object)
{
    if (!object || retired(object))
        return;
    object->setProperty(kRetired, true);
    if (nestedLoops > 0)
        awaitingDeletion.append(object);
    else
        object->deleteLater();
}

bool retired(const QObject *object)
{
    return !object || object->property(kRetired).toBool();
}

void setModalHandler(ModalHandler handler) { modalHandler = std::move(handler); }

int execModal(QDialog *dialog)
{
    const NestedLoop loop;
    if (modalHandler)
        return modalHandler(dialog);
    return dialog->exec();
}

void setUrlHandler(UrlHandler handler) { urlHandler = std::move(handler); }

bool openUrl(const QUrl &url)
{
    if (urlHandler)
        return urlHandler(url);
    return QDesktopServices::openUrl(url);
}

void setStartHandler(StartHandler handler) { startHandler = std::move(handler); }

bool startDetached(const QString &program, const QStringList &arguments)
{
    if (startHandler)
        return startHandler(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void setSaveFileHandler(SaveFileHandler handler) { saveFileHandler = std::move(handler); }

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &path,
                        const QString &filter)
{
    const NestedLoop loop;
    if (saveFileHandler)
        return saveFileHandler(caption, path, filter);
    return QFileDialog::getSaveFileName(parent, caption, path, filter);
}

void setDirectoryHandler(DirectoryHandler handler) { directoryHandler = std::move(handler); }

QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &path)
{
    const NestedLoop loop;
    if (directoryHandler)
        return directoryHandler(caption, path);
    return QFileDialog::getExistingDirectory(parent, caption, path,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

void setOpenFilesHandler(OpenFilesHandler handler) { openFilesHandler = std::move(handler); }

QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &path,
                             const QString &filter)
{
    const NestedLoop loop;
    if (openFilesHandler)
        return openFilesHandler(caption, path, filter);
    return QFileDialog::getOpenFileNames(parent, caption, path, filter);
}

void setQuitHandler(QuitHandler handler) { quitHandler = std::move(handler); }

void quit()
{
    if (quitHandler) {
        const QuitHandler handler = quitHandler; // may replace itself
        handler();
        return;
    }
    QCoreApplication::quit();
}

void setClock(ClockHandler handler) { clockHandler = std::move(handler); }

QDateTime now()
{
    if (clockHandler)
        return clockHandler();
    return QDateTime::currentDateTime();
}

void setMonotonicClock(MonotonicHandler handler) { monotonicHandler = std::move(handler); }

qint64 monotonicMs()
{
    if (monotonicHandler)
        return monotonicHandler();
#ifdef CLOCK_BOOTTIME
    // Counts a suspended machine's sleep too, as the server's clock does.
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#endif
    static QElapsedTimer elapsed;
    if (!elapsed.isValid())
        elapsed.start();
    return elapsed.elapsed();
}

} // namespace hooks
