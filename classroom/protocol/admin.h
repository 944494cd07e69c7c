// Handlers of the administration and permission commands.
#pragma once

#include <QString>

// Code 16: the user's own permissions. Every flag is recomputed from the
// body (bat and zowar keep their value unless named), and the Admin and Bat
// menus of the main window follow the flags: a withdrawal removes them.
void PermissionsUSR(const QString &body);
// Code 18 for the group and room administration window: "Group" and "Rooms".
void ListGroupRoomsAdmin(const QString &name, const QString &body);
// Code 19: result of a group command, for the group administration window.
void EditGroupResult(const QString &name);
// Code 20: "no_admin", the user lacks the rights for a command.
void ShowMsgSystem(const QString &name);
// Code 21: result of a room command, for the room administration window.
void EditRoomsResult(const QString &name);
// Code 22: groups ("Group") or rooms ("Rooms") for the user administration
// window; target 1 names that window, any other does nothing.
void ListGroupRooms2(const QString &name, const QString &body, int target);
// Code 23: the supervisors of a room.
void ListAdmin(const QString &name, const QString &body);
// Code 24: a supervisor or an administrator was added or removed; the list
// concerned is asked for again, also while the window is closed. For the
// supervisors that is the list of the room on screen when the window is open.
void AddDel_Admin(const QString &name, const QString &body);
// Code 28: the administrators' permission sets, or "no-Permissions".
void GetPermissions(const QString &name, const QString &body);
