// All the sound of MP3 bytes through a room's player, fed in small reads and
// pulled as soon as it can play, as an output would: none of it waits long
// enough to be skipped. Header only: it needs the classroom client's library.
#pragma once

#include "rooms/playaudio.h"

#include <QByteArray>

inline QByteArray playedSound(PlayAudio &player, const QByteArray &mp3, int piece = 512)
{
    player.start();
    QByteArray out;
    for (int pos = 0; pos < mp3.size(); pos += piece) {
        player.AddBuffer(mp3.constData() + pos, qMin(piece, mp3.size() - pos));
        if (player.prebuffer() > 0 && player.SizeBuffer() >= player.prebuffer())
            out += player.read(player.SizeBuffer());
    }
    // Playing already: the rest comes out whole.
    if (!out.isEmpty() && player.SizeBuffer() > 0)
        out += player.read(player.SizeBuffer());
    return out;
}
