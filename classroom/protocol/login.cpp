#include "protocol/login.h"

#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"

void SendPackettest(const QByteArray &body)
{
    // The body text goes to the main window's status bar (FrmUser::setLa)
    // once the main window is built.
    Q_UNUSED(body)
    SendPacket(outgoing::keepAlive());
    PacketTst = false;
}
