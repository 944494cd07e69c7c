// A classroom client that sits in room 12 with one other user, each on a
// chat server of its own (a loopback peer): what the audio tests and
// benchmarks run in their speaking and listening processes. Header only.
#pragma once

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "rooms/frmroom.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QtTest>

// The entry of room 12 with other (microphone otherMic) and me in it.
inline QByteArray roomEntryWith(const QByteArray &me, const QByteArray &other, int otherMic)
{
    auto user = [](const QByteArray &nick, int mic) {
        return "nick:" + nick + "|admin:0|type:1|red:0|cam:0|mic:" + QByteArray::number(mic)
               + "|hand:0|granted:0";
    };
    return wirePacket(10, "Lst_room",
                      "id:12|name:Lesson|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0|mobachir:0||"
                          + user(other, otherMic) + "<>" + user(me, 0));
}

// Logs in a client of its own chat server (peer) as nick and enters room
// 12; its window, or null when it did not open within 20 s.
inline FrmRoom *enterRoom12(LoopbackPeer &peer, const QString &nick, const QByteArray &other,
                            int otherMic)
{
    hooks::setQuitHandler([] {});
    if (!peer.connectClient())
        return nullptr;
    FrmUser::keepAlivePeriod = 3600 * 1000;
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER(nick);
    Idroom = IdroomSound = 12;
    peer.send(roomEntryWith(nick.toUtf8(), other, otherMic));
    (void)QTest::qWaitFor([] { return FindRoom(12) >= 0; }, 20000);
    const int i = FindRoom(12);
    return i < 0 ? nullptr : frmRooms.at(i);
}
