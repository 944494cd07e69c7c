// Small helpers shared by the exam program's windows.
#pragma once

#include <QString>

class QWidget;

// Takes the application's layout direction and paints the window background
// with the picture (the brush of the window role in all colour groups).
void takeExamLook(QWidget *window, const QString &picture);


// Moves a window to the middle of the screen it will show on.
void centerOnScreen(QWidget *window);

// Keeps a window that shows while the exam sheet is up above the sheet,
// which itself stays above all other windows.
void keepAboveExamSheet(QWidget *window);
