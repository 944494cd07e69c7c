#include "protocol/pure/framing.h"

#include <cstring>

void PacketReassembler::feed(const QByteArray &bytes)
{
    // With nothing pending the read itself is framed: it is shared, not copied.
    if (m_offset == m_buffer.size()) {
        m_buffer = bytes;
        m_offset = 0;
    } else {
        m_buffer.append(bytes);
    }
    // The members are read afresh on every turn: the sink may feed more
    // bytes (nested read) or clear everything (connection closed).
    while (m_buffer.size() - m_offset >= kHeaderSize) {
        const char *start = m_buffer.constData() + m_offset;
        if (std::memcmp(start + 6, kMarker.constData(), 8) != 0) {
            clear();
            if (m_fault)
                m_fault(Fault::BadMarker);
            return;
        }
        const qint32 length = headerLength(start);
        if (length < 0 || length > kMaxBodySize) {
            clear();
            if (m_fault)
                m_fault(Fault::BadLength);
            return;
        }
        if (m_buffer.size() - m_offset - kHeaderSize < length) {
            // The rest of the body comes later: room for it once.
            m_buffer.reserve(m_offset + kHeaderSize + length);
            break;
        }
        const PacketView packet{start, start + kHeaderSize, headerCode(start), length};
        m_offset += kHeaderSize + length;
        if (m_sink)
            m_sink(packet);
    }
    if (m_offset == m_buffer.size())
        clear();
    else if (m_offset > 0) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
}

void PacketReassembler::clear()
{
    m_buffer.clear();
    m_offset = 0;
}
