#include "protocol/pure/privatemessages.h"

#include "protocol/pure/packet.h"


bool parseIncomingMessage(const QString &body, IncomingMessage *out)
{
    const int bar = body.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return false;
    const QString sender = Detxt(body.left(bar));
    if (sender.isEmpty())
        return false;
    out->sender = sender;
    out->text = Detxt(body.mid(bar + 1));
    return true;
}

QString htmlForCp1256(const QString &html)
{
    QString out;
    out.reserve(html.size());
    for (int i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (c.unicode() < 0x80) {
            out += c;
            continue;
        }
        const bool pair =
            c.isHighSurrogate() && i + 1 < html.size() && html.at(i + 1).isLowSurrogate();
        if (!pair && cp1256CanEncode(c)) {
            out += c;
            continue;
        }
        // A lone surrogate stands for no character: the replacement character.
        uint code = c.isSurrogate() ? QChar::ReplacementCharacter : c.unicode();
        if (pair)
            code = QChar::surrogateToUcs4(c, html.at(++i));
        out += QLatin1String("&#") + QString::number(code) + QLatin1Char(';');
    }
    return out;
}

void PendingMessages::sent(const QString &peer, quint64 window, int line)
{
    m_entries.append(Entry{peer, window, line});
}

bool PendingMessages::answer(const QString &peer, bool anyPeer, Entry *out)
{
    int index = -1;
    for (int i = 0; i < m_entries.size() && index < 0; ++i)
        if (m_entries.at(i).peer == peer)
            index = i;
    if (index < 0 && anyPeer && !m_entries.isEmpty())
        index = 0;
    if (index < 0)
        return false;
    *out = m_entries.takeAt(index);
    return true;
}

QList<PendingMessages::Entry> PendingMessages::takeAll()
{
    QList<Entry> all;
    all.swap(m_entries);
    return all;
}
