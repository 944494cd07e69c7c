// Handlers of the room commands: the group and room lists of the chooser
// (code 8, and code 18 for the administration window), refused entries
// (9), the room entry and joins (10), departures (11), room text (12) and
// state changes (13).
#pragma once

#include <QString>

// mode 0: code 8 (the chooser); mode 1: code 18 (room administration).
void ListGroupRooms(const QString &name, const QString &body, int mode);
void ErrorEntre(const QString &name, const QString &body);
void Lst_user_rooms(const QString &name, const QString &body);
void Remove_user(const QString &body);
void GettxtRoom(const QString &name, const QString &body);
void ChangeUSERoom(const QString &name, const QString &body);
