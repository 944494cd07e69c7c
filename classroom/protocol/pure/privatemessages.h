// Private messages on the wire: the body of a received message (code 7
// "pm"), the text of a sent one, and the own messages still waiting for the
// server's answer.
#pragma once

#include <QList>
#include <QString>

// A received message: "<escaped sender>|<escaped text>". Only the first
// unescaped "|" separates the two; each half is unescaped. False for a body
// without "|" or with an empty sender.
struct IncomingMessage
{
    QString sender;
    QString text;
};
bool parseIncomingMessage(const QString &body, IncomingMessage *out);

// The message HTML with every character that CP-1256 cannot carry written
// as a numeric character reference, so that it reaches the peer intact.
QString htmlForCp1256(const QString &html);

// Own messages sent and not yet answered, oldest first. The server answers
// every message with exactly one status (code 7 "ok", "block", "non" or
// "lock"), in the order the messages were sent.
class PendingMessages
{
public:
    struct Entry
    {
        QString peer;
        quint64 window = 0; // the conversation window that sent it
        int line = 0;       // the line that shows it there
    };

    void sent(const QString &peer, quint64 window, int line);

    // Takes the entry an answer belongs to: the oldest one to peer; when no
    // entry is to peer and anyPeer is set, the oldest one of all. False when
    // none is left to take.
    bool answer(const QString &peer, bool anyPeer, Entry *out);

    // Takes every entry (the answers will never come).
    QList<Entry> takeAll();

    int size() const { return m_entries.size(); }

private:
    QList<Entry> m_entries;
};
