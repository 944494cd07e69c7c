#include "mainwindow/pure/chatmarkup.h"

#include "mainwindow/pure/htmlsanitizer.h"

#include <QHash>

#include <functional>

namespace {

// The pairs of one pair conversion, as positions in the text: where each
// opening token starts and where its closing token starts.
struct Pairs
{
    QVector<int> opens;
    QVector<int> closes;
};

// Pairs opening and closing tokens exactly as the pair conversion does on
// the text it keeps rewriting (see Chtxt2htm), in one pass over the original
// text: the search resumes at the second character of each pair's content,
// a closing token already taken is gone, and so is any token that overlaps
// it. Exact as long as the markup put in the tokens' place never holds or
// forms a token, which holds for the chat markup's tokens and HTML.
// findOpen(from) gives the next opening token at or after from, or -1.
template<typename FindOpen>
Pairs findPairs(const QString &text, FindOpen findOpen, int openSize, const QString &close)
{
    Pairs pairs;
    if (openSize <= 0 || close.isEmpty())
        return pairs;
    int pos = 0;
    int closeFloor = 0; // closing tokens before this are taken or cut
    int taken = 0;      // first taken closing token that may overlap a later opening one
    while (true) {
        int i = findOpen(pos);
        while (i >= 0) {
            while (taken < pairs.closes.size() && pairs.closes.at(taken) + close.size() <= i)
                ++taken;
            if (taken == pairs.closes.size() || pairs.closes.at(taken) >= i + openSize)
                break;
            i = findOpen(i + 1); // this one overlaps a taken closing token
        }
        if (i < 0)
            break;
        const int b = i + openSize;
        const int j = text.indexOf(close, qMax(b + 1, closeFloor));
        if (j < 0)
            break;
        pairs.opens << i;
        pairs.closes << j;
        closeFloor = j + close.size();
        pos = b + 1;
    }
    return pairs;
}

// Characters of an address inside a single-quoted attribute.
void appendAddressChar(QString &out, QChar c)
{
    switch (c.unicode()) {
    case '\'': out += QLatin1String("&#39;"); break;
    case '<': out += QLatin1String("&lt;"); break;
    case '>': out += QLatin1String("&gt;"); break;
    default: out += c;
    }
}

// The text with each paired opening token replaced by openHtml(its position)
// and each closing token by closeHtml. With addresses set, the characters of
// the contents are written as an address in an attribute.
template<typename OpenHtml>
QString applyPairs(const QString &text, const Pairs &pairs, int openSize, int closeSize,
                   OpenHtml openHtml, const QString &closeHtml, bool addresses)
{
    if (pairs.opens.isEmpty())
        return text;
    QString out;
    out.reserve(text.size() + pairs.opens.size() * 64);
    int o = 0, c = 0, depth = 0, at = 0;
    const QChar *d = text.constData();
    auto copyTo = [&](int end) {
        if (depth > 0 && addresses) {
            int from = at; // the run of characters that stay as they are
            for (int k = at; k < end; ++k) {
                const ushort u = d[k].unicode();
                if (u != '\'' && u != '<' && u != '>')
                    continue;
                out.append(d + from, k - from);
                appendAddressChar(out, d[k]);
                from = k + 1;
            }
            out.append(d + from, end - from);
        } else {
            out += text.midRef(at, end - at);
        }
        at = end;
    };
    while (o < pairs.opens.size() || c < pairs.closes.size()) {
        if (o < pairs.opens.size() && pairs.opens.at(o) < pairs.closes.at(c)) {
            copyTo(pairs.opens.at(o));
            out += openHtml(pairs.opens.at(o));
            at += openSize;
            ++depth;
            ++o;
        } else {
            copyTo(pairs.closes.at(c));
            out += closeHtml;
            at += closeSize;
            --depth;
            ++c;
        }
    }
    copyTo(text.size());
    return out;
}

// Every occurrence of before, left to right, replaced by after; one pass.
QString replaceEach(const QString &text, const QString &before, const QString &after)
{
    if (before.isEmpty())
        return text;
    int i = text.indexOf(before);
    if (i < 0)
        return text;
    QString out;
    out.reserve(text.size());
    int at = 0;
    for (; i >= 0; i = text.indexOf(before, at)) {
        out += text.midRef(at, i - at);
        out += after;
        at = i + before.size();
    }
    out += text.midRef(at);
    return out;
}

// Pair conversion of one opening and one closing token.
QString convertPairs(const QString &text, const QString &open, const QString &close,
                     const QString &openHtml, const QString &closeHtml, bool addresses = false)
{
    if (open.isEmpty() || close.isEmpty())
        return text;
    const Pairs pairs =
        findPairs(text, [&](int from) { return text.indexOf(open, from); }, open.size(), close);
    return applyPairs(
        text, pairs, open.size(), close.size(), [&](int) { return openHtml; }, closeHtml,
        addresses);
}

bool startsWithNoCase(const QString &text, int at, const QLatin1String &what)
{
    return text.midRef(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

bool isBreakTag(const QString &text, int lt, int gt)
{
    int k = lt + 1;
    while (k < gt && (text.at(k).isSpace() || text.at(k) == QLatin1Char('/')))
        ++k;
    const int start = k;
    while (k < gt && !text.at(k).isSpace() && text.at(k) != QLatin1Char('/'))
        ++k;
    const QStringRef name = text.midRef(start, k - start);
    for (const char *block : {"p", "br", "div", "li"})
        if (name.compare(QLatin1String(block), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

const QLatin1String kAddressStarts[] = {QLatin1String("http://"), QLatin1String("https://"),
                                        QLatin1String("mailto://"), QLatin1String("www.")};

// Finds the next bare address at or after pos, outside tags; returns its
// position and which start it has, or -1.
int findAddress(const QString &text, int pos, int &kind)
{
    const int n = text.size();
    const QChar *d = text.constData();
    for (int k = pos; k < n; ++k) {
        const QChar c = d[k];
        if (c == QLatin1Char('<')) {
            const int gt = text.indexOf(QLatin1Char('>'), k);
            if (gt < 0)
                return -1;
            k = gt;
            continue;
        }
        const ushort u = c.unicode() | 0x20;
        if (u != 'h' && u != 'm' && u != 'w')
            continue;
        for (int s = 0; s < 4; ++s)
            if (startsWithNoCase(text, k, kAddressStarts[s])) {
                kind = s;
                return k;
            }
    }
    return -1;
}

QString makeLinks(const QString &text)
{
    QString out;
    int pos = 0;
    int kind = 0;
    while (true) {
        const int i = findAddress(text, pos, kind);
        if (i < 0)
            break;
        const int e = Tst3(text, i);
        const QString piece = text.mid(i, e - i);
        QString target = Tst4(piece).trimmed();
        if (kind == 3)
            target.prepend(QLatin1String("http://"));
        target.replace(QLatin1Char('\''), QLatin1String("&#39;"));
        out += text.midRef(pos, i - pos);
        out += QLatin1String("<a target='_blank' href='") + target + QLatin1String("'>") + piece
               + QLatin1String("</a>");
        pos = e;
    }
    if (pos == 0)
        return text;
    out += text.midRef(pos);
    return out;
}

// Picture addresses are hidden from the link rules behind a marker that
// follows the picture token and records how the address began.
struct PictureStart
{
    QChar marker;
    QLatin1String typed;  // what the marker stands for
    QLatin1String source; // how the picture's address begins
    bool secure;
};

// In the order in which they are put in: "www." first, so that "http://www."
// is not taken for "http://".
const PictureStart kPictureStarts[] = {
    {QChar(0xE000), QLatin1String("www."), QLatin1String("http://www."), false},
    {QChar(0xE001), QLatin1String("http://www."), QLatin1String("http://www."), false},
    {QChar(0xE002), QLatin1String("http://"), QLatin1String("http://"), false},
    {QChar(0xE003), QLatin1String("https://www."), QLatin1String("https://www."), true},
    {QChar(0xE004), QLatin1String("https://"), QLatin1String("https://"), true},
};

const PictureStart *pictureStart(QChar marker)
{
    for (const PictureStart &s : kPictureStarts)
        if (s.marker == marker)
            return &s;
    return nullptr;
}

// Every occurrence of token followed by one of the strings of from (tried in
// order) becomes token + the matching string of to; one pass.
QString replaceAfterToken(const QString &text, const QString &token,
                          const std::function<int(const QString &, int)> &match,
                          const std::function<QString(int)> &replacement,
                          const std::function<int(int)> &length)
{
    QString out;
    int at = 0;
    int i = text.indexOf(token);
    if (i < 0)
        return text;
    while (i >= 0) {
        const int after = i + token.size();
        const int which = match(text, after);
        if (which >= 0) {
            out += text.midRef(at, after - at);
            out += replacement(which);
            at = after + length(which);
        }
        i = text.indexOf(token, after);
    }
    out += text.midRef(at);
    return out;
}

QString hidePictureAddresses(const QString &text, const QString &image)
{
    const int count = int(sizeof kPictureStarts / sizeof kPictureStarts[0]);
    return replaceAfterToken(
        text, image,
        [count](const QString &t, int at) {
            for (int s = 0; s < count; ++s)
                if (t.midRef(at, kPictureStarts[s].typed.size()) == kPictureStarts[s].typed)
                    return s;
            return -1;
        },
        [](int s) { return QString(kPictureStarts[s].marker); },
        [](int s) { return int(kPictureStarts[s].typed.size()); });
}

QString restorePictureAddresses(const QString &text, const QString &image)
{
    return replaceAfterToken(
        text, image,
        [](const QString &t, int at) {
            if (at >= t.size())
                return -1;
            const PictureStart *s = pictureStart(t.at(at));
            return s ? int(s - kPictureStarts) : -1;
        },
        [](int s) { return QString(kPictureStarts[s].typed); }, [](int) { return 1; });
}

// One pair conversion of the pictures whose marker says secure (or not).
QString convertPictures(const QString &text, const QString &image, const QString &imageEnd,
                        bool secure)
{
    auto findOpen = [&](int from) {
        for (int i = text.indexOf(image, from); i >= 0; i = text.indexOf(image, i + 1)) {
            const int m = i + image.size();
            const PictureStart *s = m < text.size() ? pictureStart(text.at(m)) : nullptr;
            if (s && s->secure == secure)
                return i;
        }
        return -1;
    };
    const int openSize = image.size() + 1;
    const Pairs pairs = findPairs(text, findOpen, openSize, imageEnd);
    return applyPairs(
        text, pairs, openSize, imageEnd.size(),
        [&](int i) {
            return QLatin1String("<p align='center'><img border='0' src='")
                   + pictureStart(text.at(i + image.size()))->source;
        },
        QStringLiteral("'></p>"), true);
}

} // namespace

MarkupTokens markupTokens(const std::function<QString(const char *key)> &lookup)
{
    MarkupTokens t;
    const std::pair<QString *, const char *> fields[] = {
        {&t.audio, ":audio:"}, {&t.audioEnd, ":o:"},      {&t.notice, ":msg:"},
        {&t.noticeEnd, ":g:"}, {&t.flash, ":flash:"},     {&t.flashEnd, ":h:"},
        {&t.link, ":link:"},   {&t.linkText, ":txt:"},    {&t.linkEnd, ":k:"},
        {&t.titre, ":titre:"}, {&t.titreEnd, ":e:"},      {&t.image, ":image:"},
        {&t.imageEnd, ":fin:"}};
    for (const auto &field : fields)
        *field.first = lookup(field.second);
    return t;
}

MarkupTokens arabicMarkupTokens()
{
    static const QHash<QString, QString> arabic = {
        {QStringLiteral(":audio:"), QStringLiteral(":صوت:")},
        {QStringLiteral(":o:"), QStringLiteral(":ت:")},
        {QStringLiteral(":msg:"), QStringLiteral(":رسالة:")},
        {QStringLiteral(":g:"), QStringLiteral(":ة:")},
        {QStringLiteral(":flash:"), QStringLiteral(":وميض:")},
        {QStringLiteral(":h:"), QStringLiteral(":ض:")},
        {QStringLiteral(":link:"), QStringLiteral(":رابط:")},
        {QStringLiteral(":txt:"), QStringLiteral(":نص:")},
        {QStringLiteral(":k:"), QStringLiteral(":ط:")},
        {QStringLiteral(":titre:"), QStringLiteral(":عنوان:")},
        {QStringLiteral(":e:"), QStringLiteral(":ن:")},
        {QStringLiteral(":image:"), QStringLiteral(":صورة:")},
        {QStringLiteral(":fin:"), QStringLiteral(":نه:")}};
    return markupTokens([](const char *key) { return arabic.value(QLatin1String(key)); });
}

QString Chtxt2htm(const QString &text, const QString &open, const QString &close,
                  const QString &openHtml, const QString &closeHtml)
{
    return convertPairs(text, open, close, openHtml, closeHtml);
}

int Tst3(const QString &text, int start)
{
    const int n = text.size();
    int k = qBound(0, start, n);
    int end = n;
    while (k < n) {
        const QChar c = text.at(k);
        if (c == QLatin1Char('<')) {
            const int gt = text.indexOf(QLatin1Char('>'), k);
            if (gt < 0 || isBreakTag(text, k, gt)) {
                end = k;
                break;
            }
            k = gt + 1;
            continue;
        }
        if (c.isSpace() || text.midRef(k, 6) == QLatin1String("&nbsp;")) {
            end = k;
            break;
        }
        ++k;
    }
    // Tags that close the address's surroundings stay outside the link.
    while (end > start && text.at(end - 1) == QLatin1Char('>')) {
        const int lt = text.lastIndexOf(QLatin1Char('<'), end - 1);
        if (lt <= start)
            break;
        end = lt;
    }
    return end;
}

QString Tst4(const QString &text)
{
    QString out;
    out.reserve(text.size());
    int pos = 0;
    while (true) {
        const int m = text.indexOf(QLatin1Char('<'), pos);
        if (m < 0)
            break;
        const int r = text.indexOf(QLatin1Char('>'), m + 1);
        if (r < 0)
            break;
        out += text.midRef(pos, m - pos);
        pos = r + 1;
    }
    out += text.midRef(pos);
    return out;
}

QString convertChatLine(const QString &html, const MarkupTokens &tokens)
{
    const bool pictures = !tokens.image.isEmpty() && !tokens.imageEnd.isEmpty();
    // Picture addresses lose their start behind a marker, so that the link
    // rules do not see them.
    QString s = pictures ? hidePictureAddresses(html, tokens.image) : html;
    s = makeLinks(s);
    if (pictures) {
        s = convertPictures(s, tokens.image, tokens.imageEnd, true);
        s = convertPictures(s, tokens.image, tokens.imageEnd, false);
        // A picture token that found no end stays as typed.
        s = restorePictureAddresses(s, tokens.image);
    }
    return Chtxt2htm(s, tokens.flash, tokens.flashEnd, QStringLiteral("<span class='css3-blink'>"),
                     QStringLiteral("</span>"));
}

QString convertTitle(const QString &title, const MarkupTokens &tokens)
{
    QString s = convertPairs(title, tokens.audio, tokens.audioEnd,
                             QStringLiteral("<audio id='radio' src='"),
                             QStringLiteral("' preload='metadata' autoplay></audio><div id='player'>"
                                            "<a id='btn-play' class='play-btn-disabled'></a>"
                                            "<a id='btn-pause' class='pause-btn'></a>"
                                            "<input id='vol-bar' type=range min=0 max=1 value=1 "
                                            "step=0.1></div>"),
                             true);
    s = Chtxt2htm(s, tokens.notice, tokens.noticeEnd, QStringLiteral("<div id='msg'>"),
                  QStringLiteral("</div>"));
    s = Chtxt2htm(s, tokens.flash, tokens.flashEnd, QStringLiteral("<span class='css3-blink'>"),
                  QStringLiteral("</span>"));
    const QPair<QString, QString> replacements[] = {
        {tokens.link, QStringLiteral("<a target='_blank' href='")},
        {tokens.linkText, QStringLiteral("'>")},
        {tokens.linkEnd, QStringLiteral("</a>")},
        {tokens.titre, QStringLiteral("<p align=center><font color=#0000FF><b>")},
        {tokens.titreEnd, QStringLiteral("</b></font></p>")}};
    for (const auto &r : replacements)
        s = replaceEach(s, r.first, r.second);
    return s;
}

QString plainTitleText(const QString &text)
{
    // Without a colon no token can form, with the text around it or not.
    return escapeHtml(text).replace(QLatin1Char(':'), QLatin1String("&#58;"));
}

QString isolatedTitleText(const QString &text)
{
    return QLatin1String("<span dir='auto'>") + plainTitleText(text) + QLatin1String("</span>");
}

QString titleHeader(const QString &title, const QString &owner, const QString &ownerCaption,
                    const MarkupTokens &tokens, const QString &truncationMarker)
{
    bool cut = false;
    QString header = QLatin1String("<div id='headerChatWho'><h2>")
                     + sanitizeHtml(convertTitle(title, tokens), MarkupProfile::Title,
                                    kTitleBounds, &cut);
    if (cut)
        header += truncationMarker;
    header += QLatin1String("</h2>");
    if (!owner.isEmpty())
        header += QLatin1String("<p>") + escapeHtml(ownerCaption)
                  + QLatin1String(" : <font color=Red>")
                  + escapeHtml(owner.left(kTitleBounds.text)) + QLatin1String("</font></p>");
    return header + QLatin1String("</div>\n");
}

QString substitutePlaceholders(const QString &tmpl, const QVector<QPair<QString, QString>> &values)
{
    QString out;
    out.reserve(tmpl.size());
    const int n = tmpl.size();
    for (int k = 0; k < n;) {
        bool replaced = false;
        for (const auto &v : values)
            if (!v.first.isEmpty() && tmpl.midRef(k, v.first.size()) == v.first) {
                out += v.second;
                k += v.first.size();
                replaced = true;
                break;
            }
        if (!replaced)
            out += tmpl.at(k++);
    }
    return out;
}

QString inputParagraph(const QString &html)
{
    QString out = html;
    const int p = out.indexOf(QLatin1String("<p"));
    if (p >= 0) {
        const int gt = out.indexOf(QLatin1Char('>'), p);
        out = gt < 0 ? QString() : out.mid(gt + 1);
    }
    out.remove(QLatin1String("</p></body></html>"));
    return out;
}
