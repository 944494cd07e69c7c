// Framing of the exam endpoint's replies: the payload between "debut|" and
// "|fin", and the cleaning of CRLF-enclosed runs of plain Latin characters.
#pragma once

#include <QString>

// A reply body longer than this is refused whole: the post stops reading it.
constexpr qint64 kMaxReplySize = 4 << 20;
inline bool replyTooLarge(qint64 size) { return size > kMaxReplySize; }

// Characters that may form a removable run: digits, lower-case Latin letters
// and "@._-". Upper-case letters count as their lower-case forms.
extern const QString kAlfa;

// The cleaned payload of a reply text: from just after the first "debut|" up
// to the last "|fin" that follows it; empty when either marker is missing.
// Case is kept; compare reply words with replyIs() / replyStartsWith().
QString TestStr(const QString &text);
// True when text holds the frame that TestStr reads: a "debut|" and after it
// a "|fin". An unframed reply is a fault, not an empty payload.
bool replyHasFrame(const QString &text);

// Removes every CRLF-enclosed segment whose run consists only of kAlfa
// characters (compared without regard to case). The rest keeps its case.
QString TestImtDisplay(const QString &text);

// Reply words are matched without regard to case.
bool replyIs(const QString &payload, const QString &word);
bool replyTrimmedIs(const QString &payload, const QString &word);
bool replyStartsWith(const QString &payload, const QString &word);
