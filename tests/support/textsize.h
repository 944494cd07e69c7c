// Text as users see it in a window: fonts drawn too small and texts that do
// not fit the widget that shows them.
#pragma once

#include <QStringList>

class QWidget;

// The visible widgets of the window (itself included) whose text would be
// drawn smaller than kMinTextPixels: widget fonts, the fonts of the visible
// cells and headers of item views, and sizes given in rich text (labels,
// text edits, tool tips). One line per finding: "name (class): N px".
QStringList smallTexts(QWidget *window);

// The visible push and tool buttons, labels, check boxes, radio buttons and
// group box titles of the window whose text does not fit the room the widget
// gives it. One line per finding: "name (class) "text": needs W x H, has w x h".
QStringList cutTexts(QWidget *window);

// Width a title bar needs to show the title whole: the title in the bold face
// of the window's font, and the window manager's icon and three buttons.
int titleBarWidthFor(QWidget *window);

// "title "T" needs W, the box is w wide" when the window is too narrow for
// its title bar to show the title whole; nothing when it fits.
QStringList cutTitle(QWidget *window);
