#include "protocol/rooms.h"

// The groups-and-rooms administration window takes its lists here: "Group"
// to its group list, "Rooms" to its room list.
void adminGroupRoomLists(const QString &, const QString &) {}
