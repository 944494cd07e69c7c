#include "protocol/login.h"

#include "mainwindow/frmuser.h"
#include "protocol/pure/incoming.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"

void SendPackettest(const QByteArray &body)
{
    SendPacket(outgoing::keepAlive());
    if (frmusr)
        frmusr->setLa(textBeforeNul(body));
    PacketTst = false;
}
