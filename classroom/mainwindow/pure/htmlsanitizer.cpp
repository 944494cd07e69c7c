#include "mainwindow/pure/htmlsanitizer.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <array>

namespace {

enum class AttrKind {
    Style,    // filtered declarations
    LinkUrl,  // http, https, mailto
    MediaUrl, // http, https
    Number,   // digits, optionally a percentage
    Decimal,  // signed decimal number
    Color,    // a colour name or #hex
    FontSize, // 1..7, optionally signed
    Face,     // font family names
    Align,
    Dir,
    Target,   // _blank only
    Preload,
    Boolean,  // present without a value
    RangeType,
    Class,    // words from the class list of the element
    Id,       // one of the ids of the element
    Text,     // plain short text (alt)
};

struct AttrRule
{
    AttrKind kind;
    QStringList words; // allowed class or id values
};

using ElementRules = QHash<QString, AttrRule>;

// An element that a profile lets through, with what writing it takes.
struct Element
{
    Element(ElementRules attributes = {}) : rules(std::move(attributes)) {}
    ElementRules rules;
    QString open;  // "<" and the name
    QString close; // its end tag
    bool isVoid = false;
    bool closesParagraph = false; // p and div close an open paragraph
    bool closesLink = false;      // a closes an open link
    bool needsSource = false;     // img shows nothing without an address
    bool needsRange = false;      // input is only the volume bar
    double sizeFactor = 1;        // its text's size against its parent's (big, small)
    double pagePx = 0;            // the size that the page gives it, when it does
};

struct Profile
{
    QHash<QString, Element> elements;
    double contextPx = 0; // size of the page's text around the markup
};

// Size of the text around a line (the conversation's 10pt) and around a
// title (the header's 13pt heading) in the conversation page, in pixels; the
// page gives a paragraph of the header 9pt.
constexpr double kLineContextPx = 10 * 4.0 / 3;
constexpr double kTitleContextPx = 13 * 4.0 / 3;
constexpr double kTitleParagraphPx = 9 * 4.0 / 3;
// How the engine makes text larger and smaller (big, small, sub, sup, the
// keywords larger and smaller).
constexpr double kLargerFactor = 1.2;

// Fills in what each element of the profile takes to write.
Profile finished(Profile p)
{
    for (auto it = p.elements.begin(); it != p.elements.end(); ++it) {
        const QString &name = it.key();
        Element &e = it.value();
        e.open = QLatin1Char('<') + name;
        e.close = QLatin1String("</") + name + QLatin1Char('>');
        e.isVoid = name == QLatin1String("br") || name == QLatin1String("img")
                   || name == QLatin1String("input");
        e.closesParagraph = name == QLatin1String("p") || name == QLatin1String("div");
        e.closesLink = name == QLatin1String("a");
        e.needsSource = name == QLatin1String("img");
        e.needsRange = name == QLatin1String("input");
        if (name == QLatin1String("big"))
            e.sizeFactor = kLargerFactor;
        else if (name == QLatin1String("small") || name == QLatin1String("sub")
                 || name == QLatin1String("sup"))
            e.sizeFactor = 1 / kLargerFactor;
    }
    return p;
}

ElementRules styled(ElementRules rules = {})
{
    rules.insert(QStringLiteral("style"), {AttrKind::Style, {}});
    return rules;
}

const Profile &lineProfile()
{
    static const Profile profile = [] {
        Profile p;
        const QString blink = QStringLiteral("css3-blink");
        for (const char *tag : {"b", "i", "u", "s", "em", "strong", "sub", "sup", "small", "big",
                                "strike"})
            p.elements.insert(QLatin1String(tag), styled());
        p.elements.insert(QStringLiteral("br"), {});
        p.elements.insert(QStringLiteral("a"),
                          styled({{QStringLiteral("href"), {AttrKind::LinkUrl, {}}},
                                  {QStringLiteral("target"), {AttrKind::Target, {}}}}));
        p.elements.insert(QStringLiteral("font"),
                          styled({{QStringLiteral("color"), {AttrKind::Color, {}}},
                                  {QStringLiteral("size"), {AttrKind::FontSize, {}}},
                                  {QStringLiteral("face"), {AttrKind::Face, {}}}}));
        p.elements.insert(QStringLiteral("img"),
                          ElementRules{{QStringLiteral("src"), {AttrKind::MediaUrl, {}}},
                           {QStringLiteral("border"), {AttrKind::Number, {}}},
                           {QStringLiteral("width"), {AttrKind::Number, {}}},
                           {QStringLiteral("height"), {AttrKind::Number, {}}},
                           {QStringLiteral("align"), {AttrKind::Align, {}}},
                           {QStringLiteral("alt"), {AttrKind::Text, {}}}});
        const ElementRules block = styled({{QStringLiteral("align"), {AttrKind::Align, {}}},
                                           {QStringLiteral("dir"), {AttrKind::Dir, {}}}});
        p.elements.insert(QStringLiteral("p"), block);
        ElementRules span =
            styled({{QStringLiteral("dir"), {AttrKind::Dir, {}}},
                    {QStringLiteral("class"), {AttrKind::Class, {blink, QStringLiteral("truncated")}}}});
        p.elements.insert(QStringLiteral("span"), span);
        ElementRules div = block;
        div.insert(QStringLiteral("class"), {AttrKind::Class, {blink}});
        p.elements.insert(QStringLiteral("div"), div);
        p.contextPx = kLineContextPx;
        return finished(p);
    }();
    return profile;
}

const Profile &titleProfile()
{
    static const Profile profile = [] {
        Profile p = lineProfile();
        p.elements[QStringLiteral("div")].rules.insert(
            QStringLiteral("id"), {AttrKind::Id, {QStringLiteral("msg"), QStringLiteral("player")}});
        ElementRules &a = p.elements[QStringLiteral("a")].rules;
        a.insert(QStringLiteral("id"),
                 {AttrKind::Id, {QStringLiteral("btn-play"), QStringLiteral("btn-pause")}});
        a.insert(QStringLiteral("class"),
                 {AttrKind::Class,
                  {QStringLiteral("play-btn"), QStringLiteral("play-btn-disabled"),
                   QStringLiteral("pause-btn"), QStringLiteral("pause-btn-disabled")}});
        p.elements.insert(QStringLiteral("audio"),
                          ElementRules{{QStringLiteral("id"), {AttrKind::Id, {QStringLiteral("radio")}}},
                           {QStringLiteral("src"), {AttrKind::MediaUrl, {}}},
                           {QStringLiteral("preload"), {AttrKind::Preload, {}}},
                           {QStringLiteral("autoplay"), {AttrKind::Boolean, {}}}});
        p.elements.insert(QStringLiteral("input"),
                          ElementRules{{QStringLiteral("id"), {AttrKind::Id, {QStringLiteral("vol-bar")}}},
                           {QStringLiteral("type"), {AttrKind::RangeType, {}}},
                           {QStringLiteral("min"), {AttrKind::Decimal, {}}},
                           {QStringLiteral("max"), {AttrKind::Decimal, {}}},
                           {QStringLiteral("value"), {AttrKind::Decimal, {}}},
                           {QStringLiteral("step"), {AttrKind::Decimal, {}}}});
        p.contextPx = kTitleContextPx;
        p = finished(p);
        p.elements[QStringLiteral("p")].pagePx = kTitleParagraphPx;
        return p;
    }();
    return profile;
}


// Elements whose content is not text to show: dropped with all they hold.
bool isRawText(const QString &tag)
{
    static const QSet<QString> raw = {
        QStringLiteral("script"),   QStringLiteral("style"),   QStringLiteral("textarea"),
        QStringLiteral("title"),    QStringLiteral("xmp"),     QStringLiteral("iframe"),
        QStringLiteral("noembed"),  QStringLiteral("noframes"), QStringLiteral("noscript")};
    return raw.contains(tag);
}

bool isSkippedContainer(const QString &tag)
{
    static const QSet<QString> skipped = {QStringLiteral("svg"), QStringLiteral("math"),
                                          QStringLiteral("template"), QStringLiteral("head"),
                                          QStringLiteral("select"), QStringLiteral("object"),
                                          QStringLiteral("applet")};
    return skipped.contains(tag);
}

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isAsciiAlnum(QChar c)
{
    const ushort u = c.unicode();
    return isAsciiLetter(c) || (u >= '0' && u <= '9');
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return isDigit(c) || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

bool isHtmlSpace(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

// Classes of the characters that the filter's loops stop at, one look per
// character (the loops run over every character of a line several times).
enum CharClass : quint8 {
    kSpace = 1,       // white space between the parts of a tag
    kNameEnd = 2,     // '/' and '>', which end a tag or attribute name
    kEquals = 4,      // '='
    kSpecial = 8,     // '<', '>', '&', NUL and surrogates: not plain text
    kControl = 16,    // what no style value may hold
    kDeclaration = 32, // quotes and ';' in a style
    kEscaped = 64,    // what an attribute value writes as a reference
    kGreater = 128,   // '>'
};

const quint8 *charClasses()
{
    static const std::array<quint8, 0x10000> table = [] {
        std::array<quint8, 0x10000> t{};
        for (ushort u : {ushort(' '), ushort('\t'), ushort('\n'), ushort('\r'), ushort('\f')})
            t[u] |= kSpace;
        t['/'] |= kNameEnd;
        t['>'] |= kNameEnd | kGreater;
        t['='] |= kEquals;
        for (ushort u : {ushort('<'), ushort('>'), ushort('&'), ushort(0)})
            t[u] |= kSpecial;
        for (int u = 0xd800; u <= 0xdfff; ++u)
            t[u] |= kSpecial;
        for (int u = 0; u < 0x20; ++u)
            t[u] |= kControl;
        for (int u = 0x7f; u <= 0x9f; ++u)
            t[u] |= kControl;
        t[0x2028] |= kControl;
        t[0x2029] |= kControl;
        for (ushort u : {ushort('"'), ushort('\''), ushort(';')})
            t[u] |= kDeclaration;
        for (ushort u : {ushort('&'), ushort('"'), ushort('<'), ushort('>'), ushort(0)})
            t[u] |= kEscaped;
        return t;
    }();
    return table.data();
}

// Sets into the lower-case form of text[start, start + length), reusing the
// room it already has.
void lowerInto(QString &into, const QString &text, int start, int length)
{
    into.resize(length);
    const ushort *from = reinterpret_cast<const ushort *>(text.constData()) + start;
    ushort *to = reinterpret_cast<ushort *>(into.data());
    ushort any = 0;
    for (int i = 0; i < length; ++i) {
        const ushort u = from[i];
        any |= u;
        to[i] = u | (ushort(u - 'A') < 26 ? 0x20 : 0);
    }
    if (any >= 0x80) // as the toolkit lowers it: some letters change length
        into = text.mid(start, length).toLower();
}

// Length of a character reference at text[i] ('&'), 0 when there is none.
int entityLength(const QString &text, int i)
{
    const int n = text.size();
    const QChar *d = text.constData();
    int k = i + 1;
    if (k < n && d[k] == QLatin1Char('#')) {
        ++k;
        bool hex = false;
        if (k < n && (d[k] == QLatin1Char('x') || d[k] == QLatin1Char('X'))) {
            hex = true;
            ++k;
        }
        const int start = k;
        while (k < n && k - start < 8 && (hex ? isHexDigit(d[k]) : isDigit(d[k])))
            ++k;
        if (k == start || k >= n || d[k] != QLatin1Char(';'))
            return 0;
        return k - i + 1;
    }
    const int start = k;
    while (k < n && k - start < 32 && isAsciiAlnum(d[k]))
        ++k;
    if (k == start || !isAsciiLetter(d[start]) || k >= n || d[k] != QLatin1Char(';'))
        return 0;
    return k - i + 1;
}

QString decodeEntities(const QString &value)
{
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},   {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},    {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},  {QStringLiteral("nbsp"), QString(QChar(0xa0))},
        {QStringLiteral("colon"), QStringLiteral(":")}, {QStringLiteral("tab"), QStringLiteral("\t")},
        {QStringLiteral("newline"), QStringLiteral("\n")}};
    if (!value.contains(QLatin1Char('&'))) // nothing to decode; never a null text
        return value.isNull() ? QStringLiteral("") : value;
    QString out;
    out.reserve(value.size());
    const int n = value.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('&')) {
            out += c;
            continue;
        }
        const int len = entityLength(value, i);
        if (len == 0) {
            out += c;
            continue;
        }
        const QString body = value.mid(i + 1, len - 2);
        if (body.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex = body.size() > 1 && (body.at(1) == QLatin1Char('x')
                                                  || body.at(1) == QLatin1Char('X'));
            const uint code = hex ? body.mid(2).toUInt(&ok, 16) : body.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff))
                out += QString::fromUcs4(&code, 1);
            else
                out += QChar(QChar::ReplacementCharacter);
        } else {
            const auto it = named.constFind(body.toLower());
            if (it == named.constEnd()) {
                out += value.mid(i, len);
            } else {
                out += it.value();
            }
        }
        i += len - 1;
    }
    return out;
}

void appendEscapedAttribute(QString &out, const QString &value)
{
    const quint8 *classes = charClasses();
    const QChar *d = value.constData();
    const int n = value.size();
    int from = 0; // start of the run of characters that stay as they are
    for (int i = 0; i < n; ++i) {
        if (!(classes[d[i].unicode()] & kEscaped))
            continue;
        const char *replacement = nullptr;
        switch (d[i].unicode()) {
        case '&': replacement = "&amp;"; break;
        case '"': replacement = "&quot;"; break;
        case '<': replacement = "&lt;"; break;
        case '>': replacement = "&gt;"; break;
        case 0: replacement = ""; break;
        default: continue;
        }
        out.append(d + from, i - from);
        out += QLatin1String(replacement);
        from = i + 1;
    }
    out.append(d + from, n - from);
}

QString escapeAttribute(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    appendEscapedAttribute(out, value);
    return out;
}

// The address as the engine would read it: no surrounding blanks or controls,
// no tabs or line breaks inside.
QString cleanUrl(const QString &url)
{
    QString out;
    out.reserve(url.size());
    for (const QChar c : url)
        if (c.unicode() > 0x20 || c == QLatin1Char(' '))
            out += c;
    return out.trimmed();
}

bool hasScheme(const QString &url, std::initializer_list<const char *> schemes)
{
    const QString clean = cleanUrl(url);
    for (const char *scheme : schemes)
        if (clean.startsWith(QLatin1String(scheme), Qt::CaseInsensitive)
            && clean.size() > int(qstrlen(scheme)))
            return true;
    return false;
}

bool matches(const QString &value, const QRegularExpression &re)
{
    return re.match(value).hasMatch();
}

// Characters that end a string or a declaration in the engine's style
// parser, or that no style of ours holds.
bool hasControl(const QString &value)
{
    const quint8 *classes = charClasses();
    const QChar *d = value.constData();
    for (int i = 0, n = value.size(); i < n; ++i)
        if (classes[d[i].unicode()] & kControl)
            return true;
    return false;
}

// Calls each(start, end) for every declaration of style: the parts between
// the ';' that stand outside quotes.
template<typename Each>
void forEachDeclaration(const QString &style, Each each)
{
    const quint8 *classes = charClasses();
    const QChar *d = style.constData();
    QChar quote;
    int start = 0;
    const int n = style.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = d[i];
        if (!(classes[c.unicode()] & kDeclaration))
            continue;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            each(start, i);
            start = i + 1;
        }
    }
    each(start, n);
}

// Number of ASCII digits from k on, at most max + 1 of them.
int digitsAt(const QString &text, int k, int max)
{
    int count = 0;
    while (k + count < text.size() && count <= max && isDigit(text.at(k + count)))
        ++count;
    return count;
}

// A length of at most maxPx pixels and not negative: 0, or a number with
// the unit px, pt or em (percent too when maxPercent is above 0). The number
// has one to four digits and up to four decimals.
bool isLength(const QString &value, double maxPx, double maxPercent = 0)
{
    int k = digitsAt(value, 0, 4);
    if (k > 4)
        return false;
    if (k < value.size() && value.at(k) == QLatin1Char('.')) {
        const int decimals = digitsAt(value, k + 1, 4);
        if (decimals < 1 || decimals > 4)
            return false;
        k += 1 + decimals;
    } else if (k == 0) {
        return false;
    }
    const QStringRef unit = value.midRef(k);
    const double number = value.leftRef(k).toDouble();
    if (unit.isEmpty())
        return number == 0;
    if (unit == QLatin1String("%"))
        return number <= maxPercent;
    if (unit != QLatin1String("px") && unit != QLatin1String("pt") && unit != QLatin1String("em"))
        return false;
    const double px = unit == QLatin1String("pt") ? number * 4 / 3
                      : unit == QLatin1String("em") ? number * 16
                                                    : number;
    return px <= maxPx;
}

bool isOneOf(const QString &value, std::initializer_list<const char *> words)
{
    for (const char *word : words)
        if (value == QLatin1String(word))
            return true;
    return false;
}

bool isColour(const QString &value)
{
    static const QRegularExpression colour(QStringLiteral(
        "^(#[0-9a-f]{3,8}|[a-z]{1,20}|rgba?\\(\\s*[0-9.%]{1,6}(\\s*,\\s*[0-9.%]{1,6}){2,3}\\s*\\))$"));
    return matches(value, colour);
}

// Whether value (lower case, trimmed) may stand for property. The list keeps
// out positioning, transforms, negative and large lengths and anything else
// with which a line could reach beyond its own place in the page.
bool isAllowedStyle(const QString &property, const QString &value)
{
    static const QRegularExpression family(QStringLiteral("^[\\w ,'\"\\-]{1,200}$"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression qtValue(QStringLiteral("^[\\w\\-]{1,40}$"));
    static const QRegularExpression lineHeight(QStringLiteral("^(\\d{1,3})(\\.\\d{1,3})?(%?)$"));
    if (property == QLatin1String("color") || property == QLatin1String("background-color"))
        return isColour(value);
    if (property == QLatin1String("font-family"))
        return matches(value, family);
    if (property == QLatin1String("font-size"))
        return isOneOf(value, {"xx-small", "x-small", "small", "medium", "large", "x-large",
                               "xx-large", "smaller", "larger"})
               || (value != QLatin1String("0") && isLength(value, 48, 300));
    if (property == QLatin1String("font-weight"))
        return isOneOf(value, {"normal", "bold", "bolder", "lighter", "100", "200", "300", "400",
                               "500", "600", "700", "800", "900"});
    if (property == QLatin1String("font-style"))
        return isOneOf(value, {"normal", "italic", "oblique"});
    if (property == QLatin1String("text-decoration")) {
        const QStringList words = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty() || words.size() > 3)
            return false;
        for (const QString &word : words)
            if (!isOneOf(word, {"none", "underline", "overline", "line-through"}))
                return false;
        return true;
    }
    if (property == QLatin1String("text-align"))
        return isOneOf(value, {"left", "right", "center", "justify", "start", "end"});
    if (property == QLatin1String("text-indent"))
        return isLength(value, 64);
    if (property == QLatin1String("margin")) {
        const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.isEmpty() || parts.size() > 4)
            return false;
        for (const QString &part : parts)
            if (!isLength(part, 64))
                return false;
        return true;
    }
    if (property.startsWith(QLatin1String("margin-")))
        return isLength(value, 64);
    if (property == QLatin1String("white-space"))
        return isOneOf(value, {"normal", "pre", "nowrap", "pre-wrap", "pre-line"});
    if (property == QLatin1String("vertical-align"))
        return isOneOf(value, {"baseline", "sub", "super", "top", "text-top", "middle", "bottom",
                               "text-bottom"});
    if (property == QLatin1String("direction"))
        return isOneOf(value, {"ltr", "rtl"});
    if (property == QLatin1String("line-height")) {
        if (value == QLatin1String("normal"))
            return true;
        const QRegularExpressionMatch m = lineHeight.match(value);
        if (!m.hasMatch())
            return false;
        const double number = (m.captured(1) + m.captured(2)).toDouble();
        return m.captured(3).isEmpty() ? number >= 1 && number <= 3
                                       : number >= 100 && number <= 300;
    }
    if (property.startsWith(QLatin1String("-qt-")))
        return matches(value, qtValue); // read by rich-text editors only
    return false;
}

// A family list that is the generic monospace alone makes the engine size
// text by other rules (keywords by another table, sizes scaled when the text
// leaves the family), which the filter's bound on the size of the text does
// not follow: the list names it twice, which draws the same face by the
// usual rules.
QString sizedAsOtherFamilies(const QString &family)
{
    return family.trimmed().compare(QLatin1String("monospace"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("monospace, monospace")
               : family;
}

QString filterStyle(const QString &style)
{
    static const QSet<QString> properties = {
        QStringLiteral("color"),          QStringLiteral("background-color"),
        QStringLiteral("font-family"),    QStringLiteral("font-size"),
        QStringLiteral("font-weight"),    QStringLiteral("font-style"),
        QStringLiteral("text-decoration"), QStringLiteral("text-align"),
        QStringLiteral("text-indent"),    QStringLiteral("margin"),
        QStringLiteral("margin-top"),     QStringLiteral("margin-bottom"),
        QStringLiteral("margin-left"),    QStringLiteral("margin-right"),
        QStringLiteral("white-space"),    QStringLiteral("vertical-align"),
        QStringLiteral("direction"),      QStringLiteral("line-height"),
        QStringLiteral("-qt-block-indent"), QStringLiteral("-qt-paragraph-type"),
        QStringLiteral("-qt-list-indent"), QStringLiteral("-qt-user-state")};
    // A control character would end a string in the engine's parser and let
    // what follows be read as declarations of their own: the whole attribute
    // goes.
    if (hasControl(style))
        return QString();
    struct Kept
    {
        QString property;
        QString value;
    };
    QVarLengthArray<Kept, 8> kept; // in the order of first use; the last value counts
    QString property;
    forEachDeclaration(style, [&](int start, int end) {
        const QStringRef declaration = style.midRef(start, end - start);
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return;
        const QStringRef name = declaration.left(colon).trimmed();
        lowerInto(property, style, name.position(), name.size());
        const auto known = properties.constFind(property);
        if (known == properties.constEnd())
            return;
        const QStringRef valueRef = declaration.mid(colon + 1).trimmed();
        if (valueRef.isEmpty() || valueRef.count(QLatin1Char('"')) % 2
            || valueRef.count(QLatin1Char('\'')) % 2)
            return;
        const bool family = *known == QLatin1String("font-family");
        QString value = family ? valueRef.toString() : valueRef.toString().toLower();
        if (!isAllowedStyle(*known, value))
            return;
        if (family)
            value = sizedAsOtherFamilies(value);
        for (Kept &k : kept) {
            if (k.property == *known) {
                k.value = value;
                return;
            }
        }
        kept.append({*known, value});
    });
    QString out;
    for (const Kept &k : kept) {
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += k.property;
        out += QLatin1Char(':');
        out += k.value;
        out += QLatin1Char(';');
    }
    return out;
}

// The value to keep for an attribute, or a null text to drop it.
QString filterAttribute(const AttrRule &rule, const QString &raw)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,5}%?$"));
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]{1,6}(\\.[0-9]{1,6})?$"));
    static const QRegularExpression color(QStringLiteral("^#?[A-Za-z0-9]{1,20}$"));
    static const QRegularExpression fontSize(QStringLiteral("^[+-]?[1-7]$"));
    static const QRegularExpression face(QStringLiteral("^[\\w ,'\\-]{1,100}$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    const QString value = decodeEntities(raw);
    const QString low = value.trimmed().toLower();
    switch (rule.kind) {
    case AttrKind::Style: {
        const QString style = filterStyle(value);
        return style.isEmpty() ? QString() : style;
    }
    case AttrKind::LinkUrl:
        return value.size() <= kMaxAddressLength && isSafeLinkUrl(value) ? cleanUrl(value)
                                                                         : QString();
    case AttrKind::MediaUrl:
        return value.size() <= kMaxAddressLength && isSafePictureUrl(value) ? cleanUrl(value)
                                                                            : QString();
    case AttrKind::Number: return matches(low, number) ? low : QString();
    case AttrKind::Decimal: return matches(low, decimal) ? low : QString();
    case AttrKind::Color: return matches(low, color) ? value.trimmed() : QString();
    case AttrKind::FontSize: return matches(low, fontSize) ? low : QString();
    case AttrKind::Face:
        return matches(value.trimmed(), face) ? sizedAsOtherFamilies(value.trimmed()) : QString();
    case AttrKind::Align:
        return (low == QLatin1String("left") || low == QLatin1String("right")
                || low == QLatin1String("center") || low == QLatin1String("justify"))
                   ? low
                   : QString();
    case AttrKind::Dir:
        return (low == QLatin1String("rtl") || low == QLatin1String("ltr")
                || low == QLatin1String("auto"))
                   ? low
                   : QString();
    case AttrKind::Target: return low == QLatin1String("_blank") ? low : QString();
    case AttrKind::Preload:
        return (low == QLatin1String("metadata") || low == QLatin1String("none")
                || low == QLatin1String("auto"))
                   ? low
                   : QString();
    case AttrKind::Boolean: return QStringLiteral("");
    case AttrKind::RangeType: return low == QLatin1String("range") ? low : QString();
    case AttrKind::Class: {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        QStringList kept;
        for (const QString &word : low.split(blanks, Qt::SkipEmptyParts))
            if (rule.words.contains(word) && !kept.contains(word))
                kept << word;
        return kept.isEmpty() ? QString() : kept.join(QLatin1Char(' '));
    }
    case AttrKind::Id: return rule.words.contains(value.trimmed()) ? value.trimmed() : QString();
    case AttrKind::Text: return value.left(200);
    }
    return QString();
}

// A text size as an element declares it: none (its parent's), a size of its
// own, or a factor of its parent's.
struct FontSize
{
    enum Kind : quint8 { Inherited, Absolute, Relative };
    Kind kind = Inherited;
    double value = 0;

    double of(double parentPx) const
    {
        return kind == Absolute ? value : kind == Relative ? parentPx * value : parentPx;
    }
};

// The engine's sizes of the keywords xx-small to xx-large and of the font
// element's sizes 1 to 7, in pixels.
constexpr double kKeywordPx[] = {9, 10, 13, 16, 18, 24, 32};
constexpr double kFontElementPx[] = {10, 13, 16, 18, 24, 32, 48};

// A font-size value that the style filter kept (lower case).
FontSize parseFontSize(const QStringRef &value)
{
    static const char *const keywords[] = {"xx-small", "x-small", "small", "medium",
                                           "large",    "x-large", "xx-large"};
    for (int i = 0; i < 7; ++i)
        if (value == QLatin1String(keywords[i]))
            return {FontSize::Absolute, kKeywordPx[i]};
    if (value == QLatin1String("larger"))
        return {FontSize::Relative, kLargerFactor};
    if (value == QLatin1String("smaller"))
        return {FontSize::Relative, 1 / kLargerFactor};
    int digits = 0;
    while (digits < value.size()
           && (isDigit(value.at(digits)) || value.at(digits) == QLatin1Char('.')))
        ++digits;
    const double number = value.left(digits).toDouble();
    const QStringRef unit = value.mid(digits);
    if (unit == QLatin1String("%"))
        return {FontSize::Relative, number / 100};
    if (unit == QLatin1String("em"))
        return {FontSize::Relative, number};
    if (unit == QLatin1String("pt"))
        return {FontSize::Absolute, number * 4 / 3};
    return {FontSize::Absolute, number}; // px
}

const QLatin1String kFontSizeProperty("font-size:");

// Where the value of the font-size declaration of a filtered style starts and
// ends, or -1.
int fontSizeAt(const QString &style, int *end)
{
    // No kept value holds a colon, so the property stands at the start or
    // after a blank.
    int at = style.startsWith(kFontSizeProperty) ? 0 : style.indexOf(QLatin1String(" font-size:"));
    if (at < 0)
        return -1;
    if (at > 0)
        ++at;
    at += kFontSizeProperty.size();
    *end = style.indexOf(QLatin1Char(';'), at);
    return at;
}

FontSize fontSizeOfStyle(const QString &style)
{
    int end = 0;
    const int at = fontSizeAt(style, &end);
    return at < 0 ? FontSize() : parseFontSize(style.midRef(at, end - at));
}

// The filtered style with its font size set to px.
QString withFontSize(const QString &style, double px)
{
    const QString value = QString::number(px) + QLatin1String("px");
    int end = 0;
    const int at = fontSizeAt(style, &end);
    if (at >= 0)
        return style.left(at) + value + style.mid(end);
    return style + (style.isEmpty() ? QString() : QStringLiteral(" ")) + kFontSizeProperty + value
           + QLatin1Char(';');
}

// The size of a font element's kept size attribute: 1 to 7, or 3 plus or
// minus 1 to 7, kept within 1 to 7.
double fontElementPx(const QString &size)
{
    const int n = size.right(1).toInt();
    int index = size.startsWith(QLatin1Char('+'))   ? 3 + n
                : size.startsWith(QLatin1Char('-')) ? 3 - n
                                                    : n;
    index = qBound(1, index, 7);
    return kFontElementPx[index - 1];
}

// An attribute as it stands in the input: where its name and its value are.
struct AttributeSpan
{
    int nameStart;
    int nameLength;
    int valueStart;
    int valueLength; // -1 when the attribute has no value
};

class Sanitizer
{
public:
    Sanitizer(const QString &html, const Profile &profile, const MarkupBounds &bounds)
        : m_in(html), m_d(html.constData()),
          m_u(reinterpret_cast<const ushort *>(html.constData())), m_class(charClasses()),
          m_profile(profile),
          m_bounds(bounds)
    {
    }

    bool truncated() const { return m_truncated; }

    QString run()
    {
        m_out.reserve(qMin(m_in.size(), m_bounds.output));
        const int n = m_in.size();
        while (m_pos < n) {
            const QChar c = m_d[m_pos];
            if (c == QLatin1Char('<'))
                tag();
            else if (isPlain(c))
                plainText();
            else
                text(c);
        }
        while (!m_stack.isEmpty())
            closeTop();
        return m_out;
    }

private:
    bool skipping() const { return !m_skipTag.isEmpty(); }

    // Whether adding this much output (and closing what is open) stays
    // within the bounds; if not, the rest of the input is dropped.
    bool fits(int output, int text = 0, int elements = 0)
    {
        if (m_out.size() + output + m_closing > m_bounds.output || m_text + text > m_bounds.text
            || m_elements + elements > m_bounds.elements) {
            m_truncated = true;
            m_pos = m_in.size();
            return false;
        }
        m_text += text;
        m_elements += elements;
        return true;
    }

    // Characters that stand for themselves in the output, one text character
    // each.
    bool isPlain(QChar c) const { return !(m_class[c.unicode()] & kSpecial); }

    // The run of plain characters at m_pos, copied at once as far as the
    // bounds let it.
    void plainText()
    {
        const int n = m_in.size();
        const QChar *in = m_in.constData();
        int end = m_pos;
        while (end < n && !(m_class[m_u[end]] & kSpecial))
            ++end;
        if (skipping()) {
            m_pos = end;
            return;
        }
        const int room = qMin(m_bounds.output - m_closing - m_out.size(), m_bounds.text - m_text);
        const int length = qMin(end - m_pos, qMax(room, 0));
        m_out.append(in + m_pos, length);
        m_text += length;
        m_pos += length;
        if (m_pos < end) { // the bound falls inside the run
            m_truncated = true;
            m_pos = n;
        }
    }

    void text(QChar c)
    {
        if (skipping()) {
            ++m_pos;
            return;
        }
        switch (c.unicode()) {
        case '>':
            if (fits(4, 1))
                m_out += QLatin1String("&gt;");
            break;
        case '&': {
            const int len = entityLength(m_in, m_pos);
            if (len > 0) {
                if (fits(len, 1)) {
                    m_out += m_in.midRef(m_pos, len);
                    m_pos += len;
                }
                return;
            }
            if (fits(5, 1))
                m_out += QLatin1String("&amp;");
            break;
        }
        case 0: break;
        default:
            // A surrogate pair is one character.
            if (c.isHighSurrogate() && m_pos + 1 < m_in.size() && m_d[m_pos + 1].isLowSurrogate()) {
                if (fits(2, 1)) {
                    m_out += m_in.midRef(m_pos, 2);
                    m_pos += 2;
                }
                return;
            }
            if (fits(1, 1))
                m_out += c;
        }
        if (m_pos < m_in.size())
            ++m_pos;
    }

    // Advances past the next '>' (or to the end).
    void skipPastGreater(int from)
    {
        const int gt = m_in.indexOf(QLatin1Char('>'), from);
        m_pos = gt < 0 ? m_in.size() : gt + 1;
    }

    // The tag name at k in lower case, in m_name; k ends after it.
    const QString &readName(int &k)
    {
        const int start = k;
        const int n = m_in.size();
        while (k < n && !(m_class[m_u[k]] & (kSpace | kNameEnd)))
            ++k;
        lowerInto(m_name, m_in, start, k - start);
        return m_name;
    }

    // The profile's element of that name, or null.
    const Element *elementOf(const QString &name) const
    {
        const auto element = m_profile.elements.constFind(name);
        return element == m_profile.elements.constEnd() ? nullptr : &element.value();
    }

    void tag()
    {
        const int n = m_in.size();
        const int k0 = m_pos + 1;
        if (m_in.midRef(k0, 3) == QLatin1String("!--")) {
            const int end = m_in.indexOf(QLatin1String("-->"), k0 + 3);
            m_pos = end < 0 ? n : end + 3;
            return;
        }
        if (k0 < n && (m_d[k0] == QLatin1Char('!') || m_d[k0] == QLatin1Char('?'))) {
            skipPastGreater(k0);
            return;
        }
        if (k0 + 1 < n && m_d[k0] == QLatin1Char('/') && isAsciiLetter(m_d[k0 + 1])) {
            int k = k0 + 1;
            const QString &name = readName(k);
            skipPastGreater(k);
            endTag(name);
            return;
        }
        if (k0 >= n || !isAsciiLetter(m_d[k0])) {
            if (!skipping() && !fits(4, 1)) // a lone '<' is text
                return;
            if (!skipping())
                m_out += QLatin1String("&lt;");
            ++m_pos;
            return;
        }
        int k = k0;
        const QString &name = readName(k);
        if (!readAttributes(k)) {
            m_pos = n; // unterminated tag at the end: dropped
            return;
        }
        m_pos = k;
        startTag(name);
    }

    // Reads attributes into m_attributes up to and including '>'; false when
    // the tag never ends.
    bool readAttributes(int &k)
    {
        m_attributes.resize(0);
        const int n = m_in.size();
        while (true) {
            while (k < n && (m_class[m_u[k]] & kSpace || m_u[k] == '/'))
                ++k;
            if (k >= n)
                return false;
            if (m_d[k] == QLatin1Char('>')) {
                ++k;
                return true;
            }
            const int nameStart = k;
            ++k; // a name may begin with any character, '=' included
            while (k < n && !(m_class[m_u[k]] & (kSpace | kNameEnd | kEquals)))
                ++k;
            AttributeSpan attribute{nameStart, k - nameStart, 0, -1};
            int j = k;
            while (j < n && isHtmlSpace(m_d[j]))
                ++j;
            if (j < n && m_d[j] == QLatin1Char('=')) {
                ++j;
                while (j < n && isHtmlSpace(m_d[j]))
                    ++j;
                if (j >= n)
                    return false;
                const QChar q = m_d[j];
                if (q == QLatin1Char('"') || q == QLatin1Char('\'')) {
                    const int close = m_in.indexOf(q, j + 1);
                    if (close < 0)
                        return false;
                    attribute.valueStart = j + 1;
                    attribute.valueLength = close - j - 1;
                    k = close + 1;
                } else {
                    const int start = j;
                    while (j < n && !(m_class[m_u[j]] & (kSpace | kGreater)))
                        ++j;
                    attribute.valueStart = start;
                    attribute.valueLength = j - start;
                    k = j;
                }
            }
            m_attributes.append(attribute);
        }
    }

    void startTag(const QString &name)
    {
        if (skipping()) {
            if (name == m_skipTag)
                ++m_skipDepth;
            return;
        }
        const Element *element = elementOf(name);
        if (!element) {
            // None of these is an element of a profile.
            if (isRawText(name)) {
                skipRawText(name);
            } else if (name == QLatin1String("plaintext")) {
                m_pos = m_in.size();
            } else if (isSkippedContainer(name)) {
                m_skipTag = name;
                m_skipDepth = 1;
            }
            return;
        }
        const Element &e = *element;
        // Written so that the engine builds what it reads: a paragraph or a
        // division closes an open paragraph, a link an open link.
        if (e.closesParagraph)
            endElement(QStringLiteral("p"));
        else if (e.closesLink)
            endElement(QStringLiteral("a"));
        if (!e.isVoid && m_stack.size() >= kMaxMarkupDepth)
            return;
        QString &out = m_tag;
        out.resize(0);
        out += e.open;
        // Rules already used: the first of a repeated attribute counts.
        QVarLengthArray<const AttrRule *, 16> seen;
        bool hasSource = false;
        bool hasRange = false;
        // The style goes in at its place once the size of the text is known.
        int stylePlace = -1;
        QString style;
        FontSize declared;
        const double parentPx = m_sizes.isEmpty() ? m_profile.contextPx : m_sizes.last();
        double px = e.pagePx > 0 ? e.pagePx : parentPx * e.sizeFactor;
        for (const AttributeSpan &attribute : qAsConst(m_attributes)) {
            lowerInto(m_attributeName, m_in, attribute.nameStart, attribute.nameLength);
            const auto rule = e.rules.constFind(m_attributeName);
            if (rule == e.rules.constEnd())
                continue;
            const AttrRule *used = &rule.value();
            if (std::find(seen.cbegin(), seen.cend(), used) != seen.cend())
                continue;
            seen.append(used);
            FontSize fontSize;
            const QString value = filteredValue(*rule, attribute, &fontSize);
            if (value.isNull())
                continue;
            if (rule->kind == AttrKind::Style) {
                stylePlace = out.size();
                style = value;
                declared = fontSize;
                continue;
            }
            const QString &attributeName = rule.key();
            if (attributeName == QLatin1String("src"))
                hasSource = true;
            if (attributeName == QLatin1String("type"))
                hasRange = true;
            if (rule->kind == AttrKind::FontSize)
                px = fontElementPx(value);
            out += QLatin1Char(' ');
            out += attributeName;
            if (rule->kind != AttrKind::Boolean) {
                out += QLatin1String("=\"");
                appendEscapedAttribute(out, value);
                out += QLatin1Char('"');
            }
        }
        if (e.needsSource && !hasSource)
            return; // a picture with no allowed address shows nothing
        if (e.needsRange && !hasRange)
            return; // the only input is the volume bar
        // The size at which the text is drawn, through the nesting of
        // relative sizes, stays within the bound.
        if (declared.kind != FontSize::Inherited)
            px = declared.of(parentPx);
        if (px > kMaxFontPx && !e.isVoid) {
            px = kMaxFontPx;
            style = withFontSize(style, px);
            if (stylePlace < 0)
                stylePlace = out.size();
        }
        if (stylePlace >= 0) {
            QString attribute = QStringLiteral(" style=\"");
            appendEscapedAttribute(attribute, style);
            attribute += QLatin1Char('"');
            out.insert(stylePlace, attribute);
        }
        out += QLatin1Char('>');
        const int closing = e.isVoid ? 0 : e.close.size();
        if (!fits(out.size() + closing, 0, 1))
            return;
        m_out += out;
        if (!e.isVoid) {
            m_stack.append(&e);
            m_sizes.append(px);
            m_closing += closing;
        }
    }

    // filterAttribute of the attribute's value. Lines repeat the same
    // attributes (every span of a styled line has the same style), so the
    // last few results are kept. A style's font size comes with it, in
    // fontSize.
    QString filteredValue(const AttrRule &rule, const AttributeSpan &attribute,
                          FontSize *fontSize)
    {
        if (attribute.valueLength < 0)
            return filterAttribute(rule, QString());
        const QStringRef raw = m_in.midRef(attribute.valueStart, attribute.valueLength);
        for (const Memo &memo : m_memo)
            if (memo.rule == &rule && memo.raw == raw) {
                *fontSize = memo.fontSize;
                return memo.value;
            }
        Memo &memo = m_memo[m_nextMemo];
        m_nextMemo = (m_nextMemo + 1) % kMemoSize;
        memo.rule = &rule;
        memo.raw = raw.toString();
        memo.value = filterAttribute(rule, memo.raw);
        memo.fontSize = rule.kind == AttrKind::Style ? fontSizeOfStyle(memo.value) : FontSize();
        *fontSize = memo.fontSize;
        return memo.value;
    }

    void endTag(const QString &name)
    {
        if (skipping()) {
            if (name == m_skipTag && --m_skipDepth == 0)
                m_skipTag.clear();
            return;
        }
        endElement(name);
    }

    // Closes the innermost open element of that name and what is open
    // inside it; nothing when none is open.
    void endElement(const QString &name)
    {
        // Open elements are held as the profile's own: one look-up finds the
        // one that may stand in the stack.
        const Element *open = elementOf(name);
        if (!open)
            return;
        if (std::find(m_stack.cbegin(), m_stack.cend(), open) == m_stack.cend())
            return;
        while (m_stack.last() != open)
            closeTop();
        closeTop();
    }

    void closeTop()
    {
        const Element *e = m_stack.last();
        m_stack.removeLast();
        m_sizes.removeLast();
        m_closing -= e->close.size();
        m_out += e->close;
    }

    void skipRawText(const QString &name)
    {
        const QString close = QLatin1String("</") + name;
        int from = m_pos;
        while (true) {
            const int at = m_in.indexOf(close, from, Qt::CaseInsensitive);
            if (at < 0) {
                m_pos = m_in.size();
                return;
            }
            const int after = at + close.size();
            if (after >= m_in.size() || isHtmlSpace(m_d[after])
                || m_d[after] == QLatin1Char('>') || m_d[after] == QLatin1Char('/')) {
                skipPastGreater(after);
                return;
            }
            from = after;
        }
    }

    const QString &m_in;
    const QChar *const m_d; // m_in's characters, read without a call each
    const ushort *const m_u; // the same as code units
    const quint8 *const m_class; // charClasses()
    const Profile &m_profile;
    const MarkupBounds m_bounds;
    int m_text = 0;
    int m_elements = 0;
    int m_closing = 0; // length of the end tags of what is open
    bool m_truncated = false;
    QString m_out;
    int m_pos = 0;
    QVarLengthArray<const Element *, kMaxMarkupDepth + 1> m_stack; // of the profile
    QVarLengthArray<double, kMaxMarkupDepth + 1> m_sizes; // text size in each, in pixels
    QString m_skipTag;
    // Room reused from tag to tag.
    QString m_name;
    QString m_attributeName;
    QString m_tag;
    QVector<AttributeSpan> m_attributes;
    struct Memo
    {
        const AttrRule *rule = nullptr;
        QString raw;
        QString value;
        FontSize fontSize;
    };
    static constexpr int kMemoSize = 16;
    Memo m_memo[kMemoSize];
    int m_nextMemo = 0;
    int m_skipDepth = 0;
};

} // namespace

QString sanitizeHtml(const QString &html, MarkupProfile profile, const MarkupBounds &bounds,
                     bool *truncated)
{
    Sanitizer sanitizer(html,
                        profile == MarkupProfile::Title ? titleProfile() : lineProfile(), bounds);
    const QString out = sanitizer.run();
    if (truncated)
        *truncated = sanitizer.truncated();
    return out;
}

QString sanitizeHtml(const QString &html, MarkupProfile profile)
{
    return sanitizeHtml(html, profile,
                        profile == MarkupProfile::Title ? kTitleBounds : kLineBounds);
}

QString escapeHtml(const QString &text)
{
    QString out = escapeAttribute(text);
    out.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    return out;
}

bool isSafeLinkUrl(const QString &url)
{
    return hasScheme(url, {"http://", "https://", "mailto:"});
}

bool isSafePictureUrl(const QString &url) { return hasScheme(url, {"http://", "https://"}); }
