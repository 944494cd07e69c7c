// Tests that need a real window manager: the test program runs itself again
// as a child on a virtual X display of its own (Xvfb, a free display number)
// under openbox, with the xcb platform, so stacking, window decorations,
// placement and clicks are those a user meets. The helpers drive and read
// that display with xdotool, xprop and xwininfo.
#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

// In the parent: starts the display and the window manager, runs the child
// and returns its exit code (1 when it crashed). In the child: runs test.
int runUnderWindowManager(int argc, char **argv, const QSize &screen,
                          const std::function<int(int, char **)> &test);

#define VELMAR_WM_TEST_MAIN(TestObject, width, height)                                           \
    int main(int argc, char **argv)                                                              \
    {                                                                                            \
        return runUnderWindowManager(argc, argv, QSize(width, height), [](int c, char **v) {     \
            QApplication app(c, v);                                                              \
            TestObject test;                                                                     \
            return QTest::qExec(&test, c, v);                                                    \
        });                                                                                      \
    }

namespace wm {

// Runs a tool (xdotool, xprop, xwininfo) on this display; what it printed.
QString run(const QString &program, const QStringList &arguments);

// The managed windows, bottom to top (_NET_CLIENT_LIST_STACKING).
QList<WId> stacking();
// True when window a lies above window b in the stacking order.
bool above(WId a, WId b);
// The window and its frame on the screen (the frame extents that the window
// manager puts around it included).
QRect frameOf(WId window);
// True once the window manager has framed the window (_NET_FRAME_EXTENTS).
bool framed(WId window);
// The actions the window manager offers for the window
// (_NET_WM_ALLOWED_ACTIONS), e.g. "_NET_WM_ACTION_CLOSE".
QStringList allowedActions(WId window);
// The window's requests to the window manager (_MOTIF_WM_HINTS): flags,
// functions, decorations, input mode, status; empty when it has none.
QList<quint32> motifHints(WId window);
// The window manager's type of the window (_NET_WM_WINDOW_TYPE).
QString windowType(WId window);

// Moves the pointer to a point of the screen (and clicks the left button).
void moveTo(const QPoint &global);
void click(const QPoint &global);
// Clicks the middle of a widget, where the X server has it.
void clickOn(const QWidget *widget);
// Asks the window to close the way a window manager does (WM_DELETE_WINDOW),
// whatever the window manager itself offers.
void askToClose(WId window);
// Presses a key (xdotool's names, e.g. "Return", "alt+F4") into the window
// that has the focus.
void key(const QString &name);

// Stops the window manager until release() or the end of the scope, as a
// busy machine may keep it from handling the windows shown meanwhile.
class HeldWindowManager
{
public:
    HeldWindowManager();
    ~HeldWindowManager();
    HeldWindowManager(const HeldWindowManager &) = delete;
    HeldWindowManager &operator=(const HeldWindowManager &) = delete;
    bool isHeld() const { return m_held; }
    void release();

private:
    qint64 m_pid;
    bool m_held = false;
};

// Calls action with each modal widget that comes up, once it is on the
// screen, from within the loop of the code that opened it. The action runs
// in a timer: what it opens in turn is not watched by the same watch.
class ModalWatch : public QObject
{
public:
    explicit ModalWatch(std::function<void(QWidget *modal)> action);
    // How many modal widgets were handed to the action.
    int count() const { return m_count; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    std::function<void(QWidget *)> m_action;
    QPointer<QWidget> m_last;
    int m_count = 0;
};

} // namespace wm
