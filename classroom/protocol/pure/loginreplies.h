// Bodies of the login replies: the directory server's redirect to a chat
// server (code -6) and the chat server's acceptance with the user's
// identity (code 1).
#pragma once

#include <QString>

struct ChatServer
{
    // The third field was empty: log in on the directory server itself.
    bool directory = false;
    QString host;  // as sent ("localhost" included)
    int port = 0;  // 0 when the port is not a decimal number
};

// "<a>|<b>|<host>:<port>|...": the third field names the chat server, the
// others are ignored. False when there are fewer than three fields, or the
// third is neither empty nor holds a ":".
bool parseRedirect(const QString &body, ChatServer *out);

struct LoginIdentity
{
    QString nickname;
    int id = 0;
    int type = 0;
    int group = 0;
    QString email;
};

// Five "key:value" fields joined by "|" (more are ignored): nickname, id,
// type, group, e-mail, by position whatever the keys. A value is the text
// between the first and the second ":" of its field; a number that does not
// parse is 0. False when there are fewer than five fields or one of them has
// no ":".
bool parseLoginIdentity(const QString &body, LoginIdentity *out);
