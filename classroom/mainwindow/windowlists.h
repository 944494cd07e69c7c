// Closing the windows of a registry list (frmRooms, frmPMs).
#pragma once

#include <QList>

// Closes every window of the list, front first. A window removes itself from
// its list while it closes, so the next one moves to the front; one that does
// not is taken out here, so no window is skipped and the loop always ends.
template <class Window>
void closeWindowList(QList<Window *> &list)
{
    while (!list.isEmpty()) {
        Window *window = list.first();
        window->close();
        list.removeAll(window);
    }
}
