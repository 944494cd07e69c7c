// Message catalogue: the keys of translation context "MyMessage". Windows
// show a message as GeTranslate(key); only the Arabic translation has this
// context, so French and English show the keys themselves.
#pragma once

#include <array>

class MyMessage
{
public:
    using Key = const char *;
    using Pair = std::array<Key, 2>;
    using Four = std::array<Key, 4>;

    static constexpr Key GeTitle() { return "Title App"; }
    static constexpr Key Getmsg() { return "message"; }
    static constexpr Key GetButtonOk() { return "Ok"; }
    static constexpr Key GetButtonYes() { return "Yes"; }
    static constexpr Key GetButtonNo() { return "No"; }
    static constexpr Key GetButtonCancel() { return "Cancel"; }
    static constexpr Key GeMsgNoConnect() { return "NoConnect"; }
    static constexpr Key GeMsgSabib() { return "no connection"; }
    static constexpr Key GetMsgErrUsrPwd() { return "MsgErrUsrPwd"; }
    static constexpr Key GetMsgBan() { return "MsgBan"; }
    static constexpr Key GetMsgBanRoom() { return "MsgBanRoom"; }
    static constexpr Key GetMsgErr() { return "MsgErr"; }
    static constexpr Key GetMsgRec() { return "MsgRec"; }
    static constexpr Key GetMsgzowarRoom() { return "MsgzowarRoom"; }
    static constexpr Key GeErrNoAdmin() { return "Err No Admin"; }
    static constexpr Key GeErrPassAdmin() { return "Err Pass Admin"; }
    static constexpr Key GeErrPassLogin() { return "Err Pass Login"; }
    static constexpr Key GeErrNoAdminSystem() { return "Err No Admin System"; }
    static constexpr Key GePMLock() { return "User Lock PM"; }
    static constexpr Key GeNoMsgPM() { return "No Msg PM"; }
    static constexpr Key GeMsgNoUser() { return "No User Search"; }
    static constexpr Key GeMsgBlockUsr() { return "block user"; }
    static constexpr Key GeMsgUnBlockUsr() { return "Unblock user"; }
    static constexpr Key GeMsgAddUsrLst() { return "Add User On List ?"; }
    static constexpr Key GeMsgNoAddMe() { return "No Add Me !"; }
    static constexpr Key GeMsgShort() { return "search word is too short"; }
    static constexpr Key GeMsgUsrDeja() { return "User Deja list"; }
    static constexpr Key GeRedUser() { return "Sorry No Send text Red"; }
    // Captions of the blackboard button: {start, stop}.
    static constexpr Pair BottonSabora() { return {"start Sabora", "stop Sabora"}; }
    // Captions of the stream button: {start, stop}.
    static constexpr Pair BottonStream() { return {"start Stream", "stop Stream"}; }
    static constexpr Key GeMsgNoChoixGrRoom() { return "No Choix Group Room"; }
    static constexpr Key GeMsgNoChoixRoom() { return "No Choix Room"; }
    static constexpr Key GeMsgNoChoixGroup() { return "No Choix Group"; }
    static constexpr Key GeMsgRoomdeja() { return "Room deja"; }
    static constexpr Key GeMsgNoOwner() { return "No Owner"; }
    static constexpr Key GeMsgNewRoom() { return "New Room"; }
    static constexpr Key GeMsgEditRoom() { return "Edit Room"; }
    static constexpr Key GeMsgDelRoom() { return "Del Room"; }
    static constexpr Key GeMsgMoveRoom() { return "Move Room"; }
    static constexpr Key GeMsgGroupDeja() { return "Group Deja"; }
    static constexpr Key GeMsgNoDelGroup() { return "No Del Group"; }
    static constexpr Key GeMsgNewGroup() { return "New Group"; }
    static constexpr Key GeMsgEditGroup() { return "Edit Group"; }
    static constexpr Key GeMsgDelGroup() { return "Del Group"; }
    // Client update: {title, text}.
    static constexpr Pair GeMsgVervion() { return {"sVervion", "Message sVervion Update"}; }
    // Exam program update: {title, text}.
    static constexpr Pair GeMsgVervion2() { return {"sVervion2", "Message sVervion Update2"}; }
    static constexpr Key GetMsgNoImtihan() { return "MsgNoImtihan"; }
    // The exam program could not be started.
    static constexpr Key GeMsgImtihanNotStarted() { return "Imtihan not started"; }
    // No browser could be started for a link.
    static constexpr Key GeMsgBrowserNotStarted() { return "Browser not started"; }
    // A typed name or password holds "|" or ":", which the requests use as
    // separators.
    static constexpr Key GeMsgSeparatorChar() { return "No Separator Char"; }
    // Exam start: {member title, member text, visitor title, visitor text}.
    static constexpr Four GetMsgImthan()
    {
        return {"Start Imtihan", "msg start imtihan ?", "Zair Imtihan",
                "msg Information zair start imtihan ?"};
    }
};
