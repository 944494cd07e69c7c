#pragma once

#include <QString>

// Page template of a room's station view. The room window replaces every
// "Station.swf" by path_swf, exposes its script object as "myObject" and
// evaluates "test();".
extern const QString htmflash;
