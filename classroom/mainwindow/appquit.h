// Ending the program from a window or a handler. Tests replace the action so
// that the quit can be seen without leaving their own event loops.
#pragma once

#include <functional>

// Asks the application to leave its event loop (QCoreApplication::quit), or
// runs the handler that a test installed.
void quitApplication();
// An empty function restores the real quit.
void setQuitHandler(std::function<void()> handler);
