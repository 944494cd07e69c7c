// Names of lecture recordings: one plain file name inside the chosen folder.
#pragma once

#include <QDateTime>
#include <QString>

// The room name as it goes into a file name: spaces removed, and also "/",
// "\", control characters and leading dots, so the name never leaves the
// folder, hides or names a parent; at most kMaxRoomPart characters.
QString recordingRoomPart(const QString &roomName);
constexpr int kMaxRoomPart = 100;

// "<room part>_yyyy-MM-dd_hh.mm.ss.mp3" (24-hour clock), or with a counter
// "-n" before ".mp3" when n is 2 or more, for a second recording started
// within the same second.
QString recordingFileName(const QString &roomName, const QDateTime &when, int n = 1);
