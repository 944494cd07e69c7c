// Bodies of the room commands the chat server sends (codes 8 to 13), read
// into plain values. Every reader is bounded: a record with fewer fields than
// it needs, or a key-value field without its ":", is skipped as a whole and
// nothing past the text is read. Integers that do not parse read 0.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Code 8 "Group": "<id>:<name>|..."; an empty body holds no groups.
struct GroupItem
{
    int id = 0;
    QString name;
};
QVector<GroupItem> parseGroupList(const QString &body);

// Code 8 "Rooms": "<id>:<name>:<count>:<locked>|..."; an empty item ends the
// list.
struct RoomItem
{
    QString id;
    QString name;
    QString count;
    int locked = 0;
};
QVector<RoomItem> parseRoomList(const QString &body);

// Code 10 "Lst_room": the room record, "||", then user records joined by
// "<>". Every field is "<key>:<value>"; only the value is read.
struct RoomUser
{
    QString nick;
    bool admin = false;
    int type = 0;
    bool red = false;
    bool cam = false;
    bool mic = false;
    bool hand = false;
    bool micGranted = false;
};
struct RoomEntry
{
    int id = 0;
    QString name;
    QString owner;
    QString banner; // unescaped
    bool sabora = false;
    bool flash = false;
    QVector<RoomUser> users;
};
// Empty when the body has no "||" or a room record of fewer than ten fields.
std::optional<RoomEntry> parseRoomEntry(const QString &body);

// Code 10 "Lst_user": one user joined an open room.
struct JoinedUser
{
    int roomId = 0;
    QString nick;
    int type = 0;
    bool admin = false;
    bool micGranted = false;
    bool red = false;
};
std::optional<JoinedUser> parseJoinedUser(const QString &body);

// Code 11: "<nick>|<room id>".
struct Departure
{
    QString nick;
    int roomId = 0;
};
std::optional<Departure> parseDeparture(const QString &body);

// Code 12 "all", "wisbar" and "ChangeTitle". Escaped fields come unescaped.
struct RoomLine
{
    QString sender;
    int roomId = 0;
    QString text;
};
// "<sender>|<room id>|<text>": the text is all after the second "|".
std::optional<RoomLine> parseRoomLine(const QString &body);

struct Whisper
{
    QString from;
    QString to;
    int roomId = 0;
    QString text;
};
// "<from>|<to>|<room id>|<text>": the text is all after the third "|".
std::optional<Whisper> parseWhisper(const QString &body);

struct RoomTitle
{
    int roomId = 0;
    QString name;   // as sent
    QString owner;  // unescaped
    QString banner; // unescaped
};
std::optional<RoomTitle> parseRoomTitle(const QString &body);

// Code 13: one change of a user's state or of the room, read together with
// the own nickname into what the room window must do. State words are set
// in order; a flag left empty keeps its value.
struct StateChange
{
    enum Kind { Live, Board, Camera, User };
    Kind kind = User;
    int roomId = 0;
    QString nick;
    bool on = false;      // Live, Board, Camera
    QStringList words;    // state words for the row of nick, in order
    bool own = false;     // nick is the own nickname
    std::optional<bool> handUp, micOn, red, noMic;
    bool allRooms = false; // re-run the audio rules of every open room
    bool audio = false;    // re-run the audio rules of this room
};
// Empty for an unknown status word or a body too short for the word.
std::optional<StateChange> parseStateChange(const QString &word, const QString &body,
                                            const QString &ownNick);
