#include "core/pure/replytext.h"

namespace {

bool isRemovable(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')
           || u == '@' || u == '.' || u == '_' || u == '-';
}

} // namespace

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
        const int runStart = i + 2;
        // An opening CRLF right behind another ("\r\n\r\n") has no run: it stays.
        if (j <= runStart)
            continue;
        bool removable = true;
        for (int k = runStart; k < j && removable; ++k)
            removable = isRemovable(work.at(k));
        if (removable)
            work.remove(work.mid(i, j + 2 - i), Qt::CaseInsensitive);
    }
    return work;
}
