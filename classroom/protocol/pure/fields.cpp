#include "protocol/pure/fields.h"

Fields::Fields(const QString &text, const QString &separator, int maxParts)
    : m_text(text), m_separator(separator)
{
    int start = 0;
    if (!separator.isEmpty()) {
        for (;;) {
            if (maxParts > 0 && m_parts.size() == maxParts - 1)
                break;
            const int at = text.indexOf(separator, start);
            if (at < 0)
                break;
            m_parts.append({start, at - start});
            start = at + separator.size();
        }
    }
    m_parts.append({start, text.size() - start});
}

QString Fields::text(int index) const
{
    if (!has(index))
        return QString();
    const auto &part = m_parts.at(index);
    return m_text.mid(part.first, part.second);
}

QString Fields::trimmed(int index) const { return text(index).trimmed(); }

int Fields::number(int index) const
{
    if (!has(index))
        return 0;
    const auto &part = m_parts.at(index);
    bool ok = false;
    const int value = m_text.midRef(part.first, part.second).toInt(&ok);
    return ok ? value : 0;
}

Fields Fields::split(int index, const QString &separator, int maxParts) const
{
    if (!has(index))
        return Fields();
    return Fields(text(index), separator, maxParts);
}

QString Fields::rest(int index) const
{
    if (!has(index))
        return QString();
    return m_text.mid(m_parts.at(index).first);
}
