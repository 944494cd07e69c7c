#include "core/pure/reply.h"

#include <utility>

const QString kAlfa = QStringLiteral("0123456789azertyuiopqsdfghjklmwxcvbn@._-");

namespace {

// The payload's place in a reply text: from, length; length -1 when unframed.
std::pair<int, int> framedPayload(const QString &text)
{
    static const QString open = QStringLiteral("debut|");
    static const QString close = QStringLiteral("|fin");
    const int start = text.indexOf(open);
    if (start < 0)
        return {0, -1};
    const int from = start + open.size();
    const int end = text.lastIndexOf(close);
    if (end < from)
        return {0, -1};
    return {from, end - from};
}

} // namespace

QString TestStr(const QString &text)
{
    const auto frame = framedPayload(text);
    if (frame.second < 0)
        return QString();
    return TestImtDisplay(text.mid(frame.first, frame.second));
}

bool replyHasFrame(const QString &text)
{
    return framedPayload(text).second >= 0;
}

static bool runPasses(const QString &text, int from, int to)
{
    if (from >= to)
        return false;
    for (int k = from; k < to; ++k) {
        if (!kAlfa.contains(text.at(k).toLower()))
            return false;
    }
    return true;
}

QString TestImtDisplay(const QString &text)
{
    static const QString crlf = QStringLiteral("\r\n");
    QString work = text;
    int p = 0;
    for (;;) {
        const int i = work.indexOf(crlf, p);
        if (i < 0)
            break;
        p = i + 1;
        const int j = work.indexOf(crlf, p);
        if (j < 0)
            break;
        if (runPasses(work, i + 2, j))
            work.remove(work.mid(i, j + 2 - i), Qt::CaseInsensitive);
    }
    return work;
}

bool replyIs(const QString &payload, const QString &word)
{
    return payload.compare(word, Qt::CaseInsensitive) == 0;
}

bool replyTrimmedIs(const QString &payload, const QString &word)
{
    return payload.trimmed().compare(word, Qt::CaseInsensitive) == 0;
}

bool replyStartsWith(const QString &payload, const QString &word)
{
    return payload.startsWith(word, Qt::CaseInsensitive);
}
