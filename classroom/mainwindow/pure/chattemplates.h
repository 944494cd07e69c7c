// The conversation page of the chat control: the page around the messages,
// the message box of one sender and the line that joins a box.
#pragma once

#include <QString>
#include <QStringList>

// The page up to the open message container (the list style sheet is linked
// when its address is not empty; the page runs right to left or left to
// right), and the rest of it with the scripts.
QString chatPageBegin(const QString &listStyleUrl, bool rightToLeft = true);
QString chatPageEnd(const QStringList &scriptUrls);

// Boxes are kept in groups of this many, so that appending a line lays out
// one small group and not the whole history.
constexpr int kBoxesPerGroup = 64;
QString messageGroup(); // an empty group: <div class='messagegroup'></div>
// The further lines of one box are kept in groups the same way.
constexpr int kLinesPerGroup = 64;
QString lineGroup(); // an empty group: <div class='messagelines'></div>

// One message box: the sender's name (escaped here), then the first line.
// text must already be filtered.
QString messageBox(const QString &user, const QString &timeCell, const QString &text);
// A further line of the same sender, appended to a line group that stands
// before the box's insert point.
QString joinedLine(const QString &timeCell, const QString &text);

// The marker that stands in the time cell of an own line until it is confirmed.
QString pendingMarker();

// The three parts of a box as templates (%user%, %time%, %txt%).
QString msgTop();
QString msgTxt();
QString msgBot();
