// Small helpers shared by the exam program's windows.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Takes the application's layout direction and paints the window background
// with the picture (the brush of the window role in all colour groups).
void takeExamLook(QWidget *window, const QString &picture);

// Ends the exam program's event loop once the current handling returns.
// Tests install a handler in place of the real quit.
void quitProgram();
void setQuitHandler(std::function<void()> handler);
