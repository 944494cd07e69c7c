// The chat markup and its whitelist filter never crash, and what the filter
// lets through is a fixed point holding no script, handler or foreign address.
#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/chattemplates.h"
#include "mainwindow/pure/htmlsanitizer.h"

#include <QRegularExpression>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void checkFiltered(const QString &out, MarkupProfile profile)
{
    check(sanitizeHtml(out, profile) == out);
    // Outside tags '<' and '>' are always escaped, so each match is one tag,
    // written canonically: lower-case names, double-quoted values.
    check(out.count(QLatin1Char('<')) == out.count(QLatin1Char('>')));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression canonical(
        QStringLiteral("^<(/?)([a-z0-9]+)((?: [a-z-]+(?:=\"[^\"]*\")?)*)>$"));
    static const QRegularExpression attribute(QStringLiteral(" ([a-z-]+)(?:=\"([^\"]*)\")?"));
    static const QRegularExpression forbidden(
        QStringLiteral("^(script|style|iframe|object|embed|svg|math|form|base|meta|link|frame)$"));
    static const QRegularExpression address(QStringLiteral("^(https?://|mailto:)"),
                                            QRegularExpression::CaseInsensitiveOption);
    auto it = tag.globalMatch(out);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = canonical.match(it.next().captured());
        check(m.hasMatch());
        check(!forbidden.match(m.captured(2)).hasMatch());
        auto attributes = attribute.globalMatch(m.captured(3));
        while (attributes.hasNext()) {
            const QRegularExpressionMatch a = attributes.next();
            check(!a.captured(1).startsWith(QLatin1String("on")));
            if (a.captured(1) == QLatin1String("href") || a.captured(1) == QLatin1String("src"))
                check(address.match(a.captured(2)).hasMatch());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const MarkupTokens tokens = arabicMarkupTokens();

    checkFiltered(sanitizeHtml(text), MarkupProfile::Line);
    checkFiltered(sanitizeHtml(text, MarkupProfile::Title), MarkupProfile::Title);

    const QString line = convertChatLine(text, tokens);
    checkFiltered(sanitizeHtml(line), MarkupProfile::Line);
    const QString header = titleHeader(text, text, QStringLiteral("Owner"), tokens);
    check(header.startsWith(QLatin1String("<div id='headerChatWho'><h2>")));

    for (int start : {0, int(size) / 3, int(size) / 2, int(size)}) {
        const int end = Tst3(text, start);
        check(end >= qMin(start, text.size()) && end <= text.size());
    }
    check(Tst4(text).size() <= text.size());
    const QString box = messageBox(text, text, text);
    check(box.count(QStringLiteral("<div class='messagebox'>")) >= 1);
    inputParagraph(text);
    return 0;
}
