// Small helpers shared by the exam program's windows.
#pragma once

#include "common/celldirection.h"

#include <QString>

class QAbstractItemView;
class QGroupBox;
class QWidget;

// Takes the application's layout direction and paints the window background
// with the picture (the brush of the window role in all colour groups).
void takeExamLook(QWidget *window, const QString &picture);

// Moves a window to the middle of the screen it will show on.
void centerOnScreen(QWidget *window);

// Keeps a window that shows while the exam sheet is up above the sheet,
// which itself stays above all other windows.
void keepAboveExamSheet(QWidget *window);

// Sets a group box's title as written: an "&" in it shows, it is never taken
// for the mark of a shortcut.
void setPlainTitle(QGroupBox *box, const QString &title);

// Draws each line of each cell of the view in the direction of its own first
// letter, left to right when it has none: a Latin name with signs at its
// ends, a date or "-1" reads in its order in a right-to-left table. Only the
// drawing changes; the cells' texts stay as they are. A cell composed of
// fixed words and other texts gives the form to draw, with those texts in
// isolates of their own, in the role kDrawnTextRole. A word wider than its
// cell (an e-mail address) wraps inside it rather than being cut.
void drawCellsInTheirDirection(QAbstractItemView *view);
