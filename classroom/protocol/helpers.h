// Small helpers shared by every window of the classroom client.
#pragma once

#include "common/hooks.h"
#include "common/look.h"

#include <QList>
#include <QMessageBox>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QUrl>

class QWidget;

// Application layout direction from the chosen language.
void ChangeWid();
// Centres a top-level widget on the primary screen's available area (the
// part windows open in, common/look.h), moved as little as needed for its
// window manager frame to lie inside too.
void CenterWidget(QWidget *widget);
// Places a window of which several may be open (rooms, conversations): one
// title bar down and across from the last one shown, centred when none is.
template<typename Window>
void placeAmong(QWidget *window, const QList<Window *> &open)
{
    for (int i = open.size() - 1; i >= 0; --i) {
        const QWidget *other = open.at(i);
        if (other != window && other->isVisible()) {
            cascadeWindow(window, other);
            return;
        }
    }
    CenterWidget(window);
}
// Where CenterWidget puts a window of that geometry in that area: each half
// from the inclusive edges, truncated.
QPoint centredPosition(const QRect &area, const QRect &geometry);
// Takes a single window out of its registry pointer and deletes it once no
// box or menu runs: it may be inside a slot of its own, under a message box.
// Nothing when the pointer is null.
template<typename Window>
void retireWindow(Window *&registered)
{
    if (!registered)
        return;
    Window *old = registered;
    registered = nullptr;
    old->hide();
    hooks::deleteWhenIdle(old);
}
// Replaces a single window by a new one, without parent, centred and shown.
template<typename Window>
Window *openCentred(Window *&registered)
{
    retireWindow(registered);
    registered = new Window(nullptr);
    CenterWidget(registered);
    registered->show();
    return registered;
}
// Paints the forms' background picture (":/Resources/frm/bb.png") behind a
// window, in all colour groups; a plain background when it cannot be loaded.
void paintFormBackground(QWidget *form);
// A page of the institute's web endpoint: path_web + file when path_web is a
// web path (isWebPath), else an empty address (nothing to load or open).
QUrl endpointPage(const QString &file);
// Translation of a key in context "MyMessage"; the key itself when none.
QString GeTranslate(const char *key);
// Modal message box with the catalogue's button captions; returns the button.
QMessageBox::StandardButton MsgBox(const QString &title, const QString &text,
                                   QMessageBox::Icon icon,
                                   QMessageBox::StandardButton b1 = QMessageBox::NoButton,
                                   QMessageBox::StandardButton b2 = QMessageBox::NoButton,
                                   QMessageBox::StandardButton b3 = QMessageBox::NoButton);
