#include "support/wmdesktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QWindow>
#include <cstdio>
#include <signal.h>

namespace {

const char kChildFlag[] = "VELMAR_UNDER_WM";
// The window manager's process, for the child to hold it.
const char kWindowManagerPid[] = "VELMAR_WM_PID";

QString runOn(const QString &display, const QString &program, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    // A tool may take its time to start on a busy machine.
    if (!p.waitForFinished(60000))
        qWarning("%s %s did not finish: %s", qPrintable(program),
                 qPrintable(arguments.value(0).left(40)), qPrintable(p.errorString()));
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

int fail(const char *message)
{
    std::fprintf(stderr, "FAIL: %s\n", message);
    return 1;
}

// The parent: a display and a window manager of our own, then the child.
int runParent(int argc, char **argv, const QSize &screen)
{
    QCoreApplication app(argc, argv);
    for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return fail("scripts/install-deps installs Xvfb, openbox, xdotool, xprop and xwininfo");
    }
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"),
                QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!xvfb.waitForStarted(20000))
        return fail("Xvfb did not start");
    while (!xvfb.canReadLine() && xvfb.state() == QProcess::Running)
        xvfb.waitForReadyRead(1000);
    const QString display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
    if (display.size() < 2)
        return fail("Xvfb gave no display number");

    // The window manager is ready once it announces itself on the root
    // window. One that ends before (seen on a busy machine) is started again;
    // what it wrote is shown.
    QProcess openbox;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    openbox.setProcessEnvironment(env);
    // Its words go to a file: a pipe that nobody reads could stop it.
    QTemporaryFile openboxLog;
    if (!openboxLog.open())
        return fail("no file for openbox's output");
    openbox.setProcessChannelMode(QProcess::MergedChannels);
    openbox.setStandardOutputFile(openboxLog.fileName());
    bool ready = false;
    for (int attempt = 0; attempt < 3 && !ready; ++attempt) {
        openbox.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (!openbox.waitForStarted(20000))
            return fail("openbox did not start");
        QElapsedTimer waited;
        waited.start();
        while (!(ready = runOn(display, QStringLiteral("xprop"),
                               {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                             .contains(QStringLiteral("window id")))
               && openbox.state() == QProcess::Running && !openbox.waitForFinished(50)
               && waited.elapsed() < 120000) {
        }
        if (!ready) {
            std::fprintf(stderr, "openbox %s after %lld ms; it wrote: %s\n",
                         openbox.state() == QProcess::Running ? "not ready" : "ended",
                         qint64(waited.elapsed()),
                         (openboxLog.seek(0) ? openboxLog.readAll() : QByteArray()).constData());
            stop(openbox);
        }
    }
    if (!ready)
        return fail("openbox did not take the display");

    QProcess child;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QString::fromLatin1(kChildFlag), QStringLiteral("1"));
    env.insert(QString::fromLatin1(kWindowManagerPid), QString::number(openbox.processId()));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), app.arguments().mid(1));
    if (!child.waitForStarted(20000))
        return fail("the test did not start on the display");
    child.waitForFinished(-1);
    const int code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
    if (child.exitStatus() != QProcess::NormalExit)
        std::fprintf(stderr, "FAIL: the test crashed\n");
    stop(openbox);
    stop(xvfb);
    return code;
}

} // namespace

int runUnderWindowManager(int argc, char **argv, const QSize &screen,
                          const std::function<int(int, char **)> &test)
{
    if (qEnvironmentVariableIsSet(kChildFlag))
        return test(argc, argv);
    return runParent(argc, argv, screen);
}

namespace wm {

QString run(const QString &program, const QStringList &arguments)
{
    return runOn(QString(), program, arguments);
}

QList<WId> stacking()
{
    const QString out = run(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QList<WId> windows;
    const QRegularExpression id(QStringLiteral("0x[0-9a-fA-F]+"));
    auto it = id.globalMatch(out.section(QLatin1Char('#'), 1));
    while (it.hasNext())
        windows << WId(it.next().captured().toULongLong(nullptr, 16));
    return windows;
}

bool above(WId a, WId b)
{
    const QList<WId> order = stacking();
    return order.contains(a) && order.contains(b) && order.indexOf(a) > order.indexOf(b);
}

static QStringList property(WId window, const char *name)
{
    const QString out = run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                      QString::fromLatin1(name)});
    if (!out.contains(QLatin1Char('=')))
        return {};
    QStringList values = out.section(QLatin1Char('='), 1).split(QLatin1Char(','));
    for (QString &v : values)
        v = v.trimmed();
    return values;
}

QRect frameOf(WId window)
{
    // Where the X server has the window itself (xdotool's geometry of a
    // framed window is off by the window's place inside its frame).
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    auto value = [&info](const char *key) {
        const QRegularExpression re(QString::fromLatin1(key) + QStringLiteral(":\\s*(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    QRect r(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
            value("Height"));
    // left, right, top, bottom
    const QStringList extents = property(window, "_NET_FRAME_EXTENTS");
    if (extents.size() == 4)
        r.adjust(-extents.at(0).toInt(), -extents.at(2).toInt(), extents.at(1).toInt(),
                 extents.at(3).toInt());
    return r;
}

bool framed(WId window) { return property(window, "_NET_FRAME_EXTENTS").size() == 4; }

QStringList allowedActions(WId window) { return property(window, "_NET_WM_ALLOWED_ACTIONS"); }

QList<quint32> motifHints(WId window)
{
    QList<quint32> out;
    for (const QString &value : property(window, "_MOTIF_WM_HINTS"))
        out << value.toUInt(nullptr, 16);
    return out;
}

QString windowType(WId window) { return property(window, "_NET_WM_WINDOW_TYPE").value(0); }

void moveTo(const QPoint &global)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                    QString::number(global.x()), QString::number(global.y())});
}

void askToClose(WId window)
{
    // The client message a window manager sends for its close button.
    static const char script[] = R"PY(
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
class Message(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("message", Message), ("pad", ctypes.c_long * 24)]
d = x.XOpenDisplay(None)
window = int(sys.argv[1])
e = Event()
e.message.type = 33  # ClientMessage
e.message.window = window
e.message.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
e.message.format = 32
e.message.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, window, 0, 0, ctypes.byref(e))
x.XFlush(d)
x.XCloseDisplay(d)
)PY";
    run(QStringLiteral(VELMAR_PYTHON),
        {QStringLiteral("-c"), QString::fromLatin1(script), QString::number(window)});
}

void click(const QPoint &global)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
         QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void clickOn(const QWidget *widget)
{
    click(widget->mapToGlobal(widget->rect().center()));
}

HeldWindowManager::HeldWindowManager()
    : m_pid(qEnvironmentVariableIntValue(kWindowManagerPid))
{
    if (m_pid > 0 && ::kill(m_pid, SIGSTOP) == 0)
        m_held = true;
}

HeldWindowManager::~HeldWindowManager() { release(); }

void HeldWindowManager::release()
{
    if (m_held)
        ::kill(m_pid, SIGCONT);
    m_held = false;
}

void key(const QString &name)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), name});
}

} // namespace wm

wm::ModalWatch::ModalWatch(std::function<void(QWidget *)> action) : m_action(std::move(action))
{
    startTimer(20);
}

void wm::ModalWatch::timerEvent(QTimerEvent *)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_last || !modal->isVisible() || !modal->windowHandle()
        || !modal->windowHandle()->isExposed())
        return;
    m_last = modal;
    ++m_count;
    m_action(modal);
}
