// Reassembly of classroom packets from the bytes of successive reads.
//
// feed() takes the bytes of one read and hands every complete packet, in
// arrival order, to the sink as a view into the received bytes (nothing is
// copied for a packet that arrives within one read). A packet is handed over
// once, only when its whole body is there; the tail of a packet may come over
// several reads and one read may carry several packets.
//
// The sink may run a nested event loop during which more reads are fed:
// such a nested feed appends to the same pending bytes and dispatches from
// where the outer pass stands, and the outer pass then goes on with what is
// left, so every packet is still handed over once and in order. A view is
// only valid until then: the sink decodes or copies what it keeps first.
//
// A header whose marker is not "KW.TOVEN", or whose body length is negative
// or above kMaxBodySize, is a fault: the pending bytes (the rest of that read
// included) are dropped and the fault handler is called.
#pragma once

#include "protocol/pure/packet.h"

#include <QByteArray>

#include <functional>

class PacketReassembler
{
public:
    enum class Fault { BadMarker, BadLength };
    using Sink = std::function<void(const PacketView &packet)>;
    using FaultHandler = std::function<void(Fault fault)>;

    void setSink(Sink sink) { m_sink = std::move(sink); }
    void setFaultHandler(FaultHandler handler) { m_fault = std::move(handler); }

    void feed(const QByteArray &bytes);
    // Drops the pending bytes (a new connection starts from its first byte).
    void clear();
    // Bytes received but not yet handed over.
    int pendingSize() const { return m_buffer.size() - m_offset; }

private:
    QByteArray m_buffer;
    int m_offset = 0; // start of the first packet not yet handed over
    Sink m_sink;
    FaultHandler m_fault;
};
