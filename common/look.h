// Window backgrounds and placement shared by both programs.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

// Paints the widget's background role with the picture, in all colour groups.
void paintBackground(QWidget *widget, const QString &picture);

// The area windows open in: the available area of the primary screen (the
// screen without panels and docks). VELMAR_WINDOW_AREA ("x,y,width,height")
// narrows it to a part of that, so that two copies of a program can share
// one screen side by side.
QRect windowArea();

// Top left corner of a frame moved as little as needed to lie inside area; a
// frame larger than the area keeps its top left corner inside.
QPoint keptInside(const QRect &area, const QRect &frame);

// The borders the window manager puts around a top-level window: its own
// once it has been shown, else those of a visible window of the program, else
// none.
QMargins windowFrame(const QWidget *window);

// Moves a top-level window so that its top left corner (without the frame)
// is at position, then as little as needed for the window and its frame to
// lie inside windowArea(), and on the screen whatever its size. Does not
// show it.
void placeWindow(QWidget *window, const QPoint &position);

// Widens a window so that the window manager's title bar shows its title
// whole: the title in the bold face of the window's font, beside the title
// bar's icon and buttons. For small boxes sized by their contents, message
// boxes included.
void widenForTitle(QWidget *window);

// Moves a top-level window so that it and its frame are centred in
// windowArea(), on the screen whatever its size. Does not show it.
void centreInWindowArea(QWidget *window);

// Dialogs without a parent window (message boxes, input boxes) open centred
// in windowArea() rather than on the whole screen, each time they are shown.
// Call once the application object exists.
void centreDialogsInWindowArea();

// Narrows a resizable window, and its minimum size, to windowArea() with its
// frame when the area is smaller than the window; never below what its
// layout needs. So a room fits in its half of a shared screen. Does not move
// or show it.
void fitToWindowArea(QWidget *window);

// Places a window one title bar down and across from another one that is
// open, so that both titles show; at the area's top left corner when that
// step would leave the area.
void cascadeWindow(QWidget *window, const QWidget *from);
