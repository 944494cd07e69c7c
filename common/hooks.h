// Seams between the programs and the desktop: modal dialogs, the system
// browser, process start, file choosers and the clock. The programs call
// these; tests install handlers so that nothing blocks or leaves the sandbox.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QDialog;
class QObject;
class QWidget;

namespace hooks {

// Marks a nested event loop for as long as it lives: a menu's exec(), a
// synchronous wait. execModal and the file choosers mark theirs themselves.
class NestedLoop
{
public:
    NestedLoop();
    ~NestedLoop();
    NestedLoop(const NestedLoop &) = delete;
    NestedLoop &operator=(const NestedLoop &) = delete;
};

// Deletes an object once no marked nested loop runs any more. A box or menu
// opened by one of its own slots may still be on the stack, and deleteLater()
// alone would delete it as soon as control is back in that inner loop. The
// object is retired at once.
void deleteWhenIdle(QObject *object);
// True for null and for an object handed to deleteWhenIdle.
bool retired(const QObject *object);

// Runs a dialog modally and returns its result. A handler, when set, is called
// in place of QDialog::exec(); it may inspect the dialog, click its buttons or
// spin the event loop, and returns the result the dialog would have returned.
using ModalHandler = std::function<int(QDialog *dialog)>;
void setModalHandler(ModalHandler handler);
int execModal(QDialog *dialog);

// Opens an address in the system browser.
using UrlHandler = std::function<bool(const QUrl &url)>;
void setUrlHandler(UrlHandler handler);
bool openUrl(const QUrl &url);

// Starts a program detached from this one.
using StartHandler = std::function<bool(const QString &program, const QStringList &arguments)>;
void setStartHandler(StartHandler handler);
bool startDetached(const QString &program, const QStringList &arguments);

// File and folder choosers; an empty result means cancelled.
using SaveFileHandler = std::function<QString(const QString &caption, const QString &path,
                                              const QString &filter)>;
void setSaveFileHandler(SaveFileHandler handler);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &path,
                        const QString &filter);

// The folder chooser shows folders only and does not resolve symbolic links.
using DirectoryHandler = std::function<QString(const QString &caption, const QString &path)>;
void setDirectoryHandler(DirectoryHandler handler);
QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &path);

// Several existing files; an empty list means cancelled.
using OpenFilesHandler = std::function<QStringList(const QString &caption, const QString &path,
                                                   const QString &filter)>;
void setOpenFilesHandler(OpenFilesHandler handler);
QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &path,
                             const QString &filter);

// Leaves the application's event loop once the current handling returns.
// A handler, when set, runs instead, so tests can see the quit without ending
// their own event loops.
using QuitHandler = std::function<void()>;
void setQuitHandler(QuitHandler handler);
void quit();

// The wall clock, local time.
using ClockHandler = std::function<QDateTime()>;
void setClock(ClockHandler handler);
QDateTime now();

// A monotonic clock in milliseconds: it never goes back and keeps counting
// while the event loop is held or the machine sleeps. A handler, when set, answers instead.
using MonotonicHandler = std::function<qint64()>;
void setMonotonicClock(MonotonicHandler handler);
qint64 monotonicMs();

} // namespace hooks
