// Running the Dastrel program itself in a test: a virtual X display with
// xdotool to find its windows and press keys, and a program folder of its
// own (Dastrel copied, the exam program and the updater stand-in beside it,
// velmar.conf one level up, a home folder with its settings).
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class VirtualDisplay
{
public:
    ~VirtualDisplay();
    // Starts Xvfb; false (see error()) when it or xdotool is missing or the
    // display does not come up.
    bool start();
    QString error() const { return m_error; }
    QString name() const { return m_display; }

    // Runs xdotool on the display and returns what it printed.
    QString xdotool(const QStringList &arguments);
    // The first shown window whose title is exactly title (and whose width
    // and height are those of size, where they are above 0), waiting up to
    // timeoutMs while program runs; empty when none came.
    QString waitForWindow(const QString &title, QProcess &program, const QSize &size = QSize(),
                          int timeoutMs = 60000);
    void pressReturnIn(const QString &window);
    // Clicks at x, y inside the window.
    void clickIn(const QString &window, int x, int y);
    // Types text into the window that has the keyboard focus.
    void type(const QString &text);

private:
    QProcess m_xvfb;
    QString m_display;
    QString m_error;
};

class DastrelFolder
{
public:
    // Copies the programs; webPort is the local institute's web endpoint.
    explicit DastrelFolder(quint16 webPort);
    bool isValid() const { return m_valid; }
    QString bin() const;
    QString home() const;
    // Written before the start, e.g. "Languages=2\n" for English.
    void writeSettings(const QByteArray &generalKeys);
    // Environment of the program on display: its own home, the xcb platform.
    QProcessEnvironment environment(const VirtualDisplay &display) const;
    // Starts Dastrel on display; false when it did not start.
    bool start(QProcess &program, const VirtualDisplay &display) const;

    static void write(const QString &path, const QByteArray &bytes);
    static QByteArray read(const QString &path);

private:
    QTemporaryDir m_tree;
    bool m_valid = false;
};
