#include "protocol/pure/framing.h"

#include "protocol/pure/packet.h"

#include <cstring>

void PacketReassembler::feed(const QByteArray &bytes)
{
    m_buffer.append(bytes);
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
        const qint32 length = cti(QByteArray::fromRawData(start + 2, 4));
        if (length < 0 || length > kMaxBodySize) {
            clear();
            if (m_fault)
                m_fault(Fault::BadLength);
            return;
        }
        if (m_buffer.size() - m_offset - kHeaderSize < length)
            break;
        const QByteArray header(start, kHeaderSize);
        const QByteArray body(start + kHeaderSize, length);
        m_offset += kHeaderSize + length;
        if (m_offset == m_buffer.size())
            clear();
        if (m_sink)
            m_sink(header, body);
    }
    if (m_offset > 0) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
}

void PacketReassembler::clear()
{
    m_buffer.clear();
    m_offset = 0;
}
