#include "support/desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

VirtualDisplay::~VirtualDisplay()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }
}

bool VirtualDisplay::start()
{
    for (const char *tool : {"Xvfb", "xdotool"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            m_error = QStringLiteral("scripts/install-deps installs Xvfb and xdotool");
            return false;
        }
    }
    m_xvfb.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    if (!m_xvfb.waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb did not start");
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!m_xvfb.canReadLine() && clock.elapsed() < 20000)
        m_xvfb.waitForReadyRead(200);
    m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
    if (m_display.size() < 2) {
        m_error = QStringLiteral("Xvfb gave no display number");
        return false;
    }
    return true;
}

QString VirtualDisplay::xdotool(const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString VirtualDisplay::waitForWindow(const QString &title, QProcess &program, const QSize &size,
                                      int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs && program.state() == QProcess::Running) {
        const QStringList found =
            xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), QLatin1Char('^') + title + QLatin1Char('$')})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &window : found) {
            if (size.width() <= 0 && size.height() <= 0)
                return window;
            const QString geometry =
                xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
            if ((size.width() <= 0 || geometry.contains(QStringLiteral("WIDTH=%1\n").arg(size.width())))
                && (size.height() <= 0
                    || geometry.contains(QStringLiteral("HEIGHT=%1\n").arg(size.height()))))
                return window;
        }
        QTest::qWait(100);
    }
    return QString();
}

void VirtualDisplay::pressReturnIn(const QString &window)
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Return")});
}

void VirtualDisplay::clickIn(const QString &window, int x, int y)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
             window, QString::number(x), QString::number(y)});
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

void VirtualDisplay::type(const QString &text)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

DastrelFolder::DastrelFolder(quint16 webPort)
{
    const QString binFolder = bin();
    m_valid = QDir().mkpath(binFolder)
              && QFile::copy(QStringLiteral(VELMAR_BIN_DIR "/Dastrel"), binFolder + "/Dastrel")
              && QFile::copy(QStringLiteral(VELMAR_BIN_DIR "/Nuvate"), binFolder + "/Nuvate")
              && QFile::link(QStringLiteral(VELMAR_BIN_DIR "/Tallivor"), binFolder + "/Tallivor");
    const QByteArray conf =
        QStringLiteral("http://127.0.0.1:%1/velmar.php|0").arg(webPort).toUtf8();
    write(m_tree.filePath(QStringLiteral("velmar.conf")), conf.toBase64());
}

QString DastrelFolder::bin() const { return m_tree.filePath(QStringLiteral("bin")); }

QString DastrelFolder::home() const { return m_tree.filePath(QStringLiteral("home")); }

void DastrelFolder::writeSettings(const QByteArray &generalKeys)
{
    write(home() + "/.config/Dastrel/Settings.conf", "[General]\n" + generalKeys);
}

QProcessEnvironment DastrelFolder::environment(const VirtualDisplay &display) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display.name());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + "/.config");
    env.remove(QStringLiteral("NUVATE_LOG"));
    return env;
}

bool DastrelFolder::start(QProcess &program, const VirtualDisplay &display) const
{
    program.setProcessEnvironment(environment(display));
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(bin() + "/Dastrel", QStringList());
    return program.waitForStarted(10000);
}

void DastrelFolder::write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray DastrelFolder::read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
