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

// One pass over filtered markup: outside tags '<' and '>' never stand alone;
// each tag is written canonically (a lower-case name, double-quoted values),
// is none of the forbidden ones, has no handler, and its addresses are web
// or mail addresses.
void checkFiltered(const QString &out)
{
    const int n = out.size();
    for (int k = 0; k < n; ++k) {
        if (out.at(k) == QLatin1Char('>'))
            check(false);
        if (out.at(k) != QLatin1Char('<'))
            continue;
        int j = k + 1;
        if (j < n && out.at(j) == QLatin1Char('/'))
            ++j;
        const int nameStart = j;
        while (j < n && (isLower(out.at(j)) || isDigit(out.at(j))))
            ++j;
        check(j > nameStart);
        const QStringRef name = out.midRef(nameStart, j - nameStart);
        for (const char *forbidden : {"script", "style", "iframe", "object", "embed", "svg", "math",
                                      "form", "base", "meta", "link", "frame"})
            check(name != QLatin1String(forbidden));
        while (j < n && out.at(j) == QLatin1Char(' ')) {
            ++j;
            const int attrStart = j;
            while (j < n && (isLower(out.at(j)) || out.at(j) == QLatin1Char('-')))
                ++j;
            check(j > attrStart);
            const QStringRef attribute = out.midRef(attrStart, j - attrStart);
            check(!attribute.startsWith(QLatin1String("on")));
            if (j < n && out.at(j) == QLatin1Char('=')) {
                check(j + 1 < n && out.at(j + 1) == QLatin1Char('"'));
                const int close = out.indexOf(QLatin1Char('"'), j + 2);
                check(close > 0);
                const QStringRef value = out.midRef(j + 2, close - j - 2);
                check(!value.contains(QLatin1Char('<')) && !value.contains(QLatin1Char('>')));
                if (attribute == QLatin1String("href") || attribute == QLatin1String("src"))
                    check(startsWithAddress(value));
                j = close + 1;
            }
        }
        check(j < n && out.at(j) == QLatin1Char('>'));
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
