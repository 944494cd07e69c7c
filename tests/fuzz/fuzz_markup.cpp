// One input through what the chat control does with it: as a received line
// (filtered within a line's bounds, then filtered again when shown), as the
// user's own line (the outgoing markup, then the filter of the echo) and as
// a conversation title with its owner. Nothing crashes, the second filter
// changes nothing, and what the filter lets through is canonical markup with
// no script, handler or foreign address.
#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/htmlsanitizer.h"

#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

bool isLower(QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool startsWithAddress(const QStringRef &value)
{
    for (const char *scheme : {"http://", "https://", "mailto:"})
        if (value.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

// Elements that filtered markup never holds; only names of the same length
// are compared.
bool isForbidden(const QStringRef &name)
{
    static const char *const byLength[7][5] = {
        {}, {}, {}, {"svg"}, {"math", "form", "base", "meta", "link"},
        {"style", "embed", "frame"}, {"script", "iframe", "object"}};
    if (name.size() >= 7)
        return false;
    for (const char *forbidden : byLength[name.size()])
        if (forbidden && name == QLatin1String(forbidden))
            return true;
    return false;
}

// One pass over filtered markup: outside tags '<' and '>' never stand alone;
// each tag is written canonically (a lower-case name, double-quoted values),
// is none of the forbidden ones, has no handler, and its addresses are web
// or mail addresses.
void checkFiltered(const QString &filtered)
{
    const QChar *out = filtered.constData();
    const int n = filtered.size();
    for (int k = 0; k < n; ++k) {
        // The text up to the next tag holds no '>'.
        const int lt = filtered.indexOf(QLatin1Char('<'), k);
        const int gt = filtered.indexOf(QLatin1Char('>'), k);
        check(gt < 0 || (lt >= 0 && gt > lt));
        if (lt < 0)
            break;
        k = lt;
        int j = k + 1;
        if (j < n && out[j] == QLatin1Char('/'))
            ++j;
        const int nameStart = j;
        while (j < n && (isLower(out[j]) || isDigit(out[j])))
            ++j;
        check(j > nameStart);
        check(!isForbidden(filtered.midRef(nameStart, j - nameStart)));
        while (j < n && out[j] == QLatin1Char(' ')) {
            ++j;
            const int attrStart = j;
            while (j < n && (isLower(out[j]) || out[j] == QLatin1Char('-')))
                ++j;
            check(j > attrStart);
            const QStringRef attribute = filtered.midRef(attrStart, j - attrStart);
            check(!(j - attrStart >= 2 && out[attrStart] == QLatin1Char('o')
                    && out[attrStart + 1] == QLatin1Char('n')));
            if (j < n && out[j] == QLatin1Char('=')) {
                check(j + 1 < n && out[j + 1] == QLatin1Char('"'));
                const int close = filtered.indexOf(QLatin1Char('"'), j + 2);
                check(close > 0);
                const QStringRef value = filtered.midRef(j + 2, close - j - 2);
                check(!value.contains(QLatin1Char('<')) && !value.contains(QLatin1Char('>')));
                if (attribute == QLatin1String("href") || attribute == QLatin1String("src"))
                    check(startsWithAddress(value));
                j = close + 1;
            }
        }
        check(j < n && out[j] == QLatin1Char('>'));
        k = j;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    static const MarkupTokens tokens = arabicMarkupTokens();

    // Received: TestHtm, then insertTxt.
    bool cut = false;
    const QString received = sanitizeHtml(text, MarkupProfile::Line, kLineBounds, &cut);
    checkFiltered(received);
    check(received.size() <= kLineBounds.output);
    bool again = true;
    check(sanitizeHtml(received, MarkupProfile::Line, kLineBounds, &again) == received);
    check(!again);

    // Sent: TestLink, then the echo.
    const QString echo = sanitizeHtml(convertChatLine(text, tokens), MarkupProfile::Line,
                                      kLineBounds);
    checkFiltered(echo);

    // A title with its owner.
    const QString header = titleHeader(text, text, QStringLiteral("Owner"), tokens,
                                       QStringLiteral("<span class=\"truncated\">cut</span>"));
    check(header.startsWith(QLatin1String("<div id='headerChatWho'><h2>")));
    return 0;
}
