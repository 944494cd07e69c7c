#include "mainwindow/pure/chatmarkup.h"

#include "mainwindow/pure/htmlsanitizer.h"

#include <QHash>
#include <QRegularExpression>

#include <functional>

namespace {

using PairBuilder = std::function<QString(const QString &content)>;

// Pairs open ... close (see Chtxt2htm); build makes the markup of one pair
// from its content.
QString convertPairs(const QString &text, const QString &open, const QString &close,
                     const PairBuilder &build)
{
    if (open.isEmpty() || close.isEmpty())
        return text;
    QString out;
    int pos = 0;
    while (true) {
        const int i = text.indexOf(open, pos);
        if (i < 0)
            break;
        const int b = i + open.size();
        const int j = text.indexOf(close, b);
        if (j < 0)
            break;
        out += text.midRef(pos, i - pos);
        out += build(text.mid(b, j - b));
        pos = j + close.size();
    }
    out += text.midRef(pos);
    return out;
}

// An address for use inside a single-quoted attribute.
QString attributeAddress(const QString &content)
{
    QString address = Tst4(content).trimmed();
    address.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    address.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    address.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return address;
}

bool startsWithNoCase(const QString &text, int at, const QLatin1String &what)
{
    return text.midRef(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

bool isBreakTag(const QString &text, int lt, int gt)
{
    QString name = text.mid(lt + 1, gt - lt - 1).trimmed().toLower();
    if (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    const int end = name.indexOf(QRegularExpression(QStringLiteral("[\\s/]")));
    if (end >= 0)
        name.truncate(end);
    return name == QLatin1String("p") || name == QLatin1String("br")
           || name == QLatin1String("div") || name == QLatin1String("li");
}

const QLatin1String kAddressStarts[] = {QLatin1String("http://"), QLatin1String("https://"),
                                        QLatin1String("mailto://"), QLatin1String("www.")};

// Finds the next bare address at or after pos, outside tags; returns its
// position and which start it has, or -1.
int findAddress(const QString &text, int pos, int &kind)
{
    const int n = text.size();
    for (int k = pos; k < n; ++k) {
        if (text.at(k) == QLatin1Char('<')) {
            const int gt = text.indexOf(QLatin1Char('>'), k);
            if (gt < 0)
                return -1;
            k = gt;
            continue;
        }
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
    out += text.midRef(pos);
    return out;
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
    return convertPairs(text, open, close,
                        [&](const QString &content) { return openHtml + content + closeHtml; });
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
    // Pictures are cut out first, so that the link rules never see their
    // addresses; a picture token whose address is not http, https or www.
    // stays as typed.
    QString out;
    int done = 0; // html before this has been converted
    if (!tokens.image.isEmpty() && !tokens.imageEnd.isEmpty()) {
        int pos = 0;
        while (true) {
            const int i = html.indexOf(tokens.image, pos);
            if (i < 0)
                break;
            const int b = i + tokens.image.size();
            const int j = html.indexOf(tokens.imageEnd, b);
            if (j < 0)
                break;
            QString address = attributeAddress(html.mid(b, j - b));
            if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
                address.prepend(QLatin1String("http://"));
            if (!startsWithNoCase(address, 0, QLatin1String("http://"))
                && !startsWithNoCase(address, 0, QLatin1String("https://"))) {
                pos = b;
                continue;
            }
            out += makeLinks(html.mid(done, i - done));
            out += QLatin1String("<p align='center'><img border='0' src='") + address
                   + QLatin1String("'></p>");
            done = pos = j + tokens.imageEnd.size();
        }
    }
    out += makeLinks(html.mid(done));
    return Chtxt2htm(out, tokens.flash, tokens.flashEnd, QStringLiteral("<span class='css3-blink'>"),
                     QStringLiteral("</span>"));
}

QString convertTitle(const QString &title, const MarkupTokens &tokens)
{
    QString s = convertPairs(title, tokens.audio, tokens.audioEnd, [](const QString &content) {
        return QLatin1String("<audio id='radio' src='") + attributeAddress(content)
               + QLatin1String("' preload='metadata' autoplay></audio><div id='player'>"
                               "<a id='btn-play' class='play-btn-disabled'></a>"
                               "<a id='btn-pause' class='pause-btn'></a>"
                               "<input id='vol-bar' type=range min=0 max=1 value=1 step=0.1>"
                               "</div>");
    });
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
        if (!r.first.isEmpty())
            s.replace(r.first, r.second);
    return s;
}

QString titleHeader(const QString &title, const QString &owner, const QString &ownerCaption,
                    const MarkupTokens &tokens)
{
    QString header = QLatin1String("<div id='headerChatWho'><h2>")
                     + sanitizeHtml(convertTitle(title, tokens), MarkupProfile::Title)
                     + QLatin1String("</h2>");
    if (!owner.isEmpty())
        header += QLatin1String("<p>") + escapeHtml(ownerCaption)
                  + QLatin1String(" : <font color=Red>") + escapeHtml(owner)
                  + QLatin1String("</font></p>");
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
