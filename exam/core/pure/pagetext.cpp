#include "core/pure/pagetext.h"

#include <QVarLengthArray>

#include <QtGlobal>
#include <cmath>

int readInt(const QString &field)
{
    int value = 0;
    readInt(field, &value);
    return value;
}

bool readInt(const QString &field, int *value)
{
    bool ok = false;
    const int v = field.toInt(&ok, 10);
    *value = ok ? v : 0;
    return ok;
}

float readFloat(const QString &field)
{
    bool ok = false;
    const float v = field.toFloat(&ok);
    return ok && std::isfinite(v) ? v : 0.0f;
}

QString formatNumber(float value)
{
    return QString::number(double(value), 'g', 6);
}

namespace {

// The entity of a character that HTML text cannot hold as it is.
QLatin1String htmlEntity(QChar c)
{
    switch (c.unicode()) {
    case '<':
        return QLatin1String("&lt;");
    case '>':
        return QLatin1String("&gt;");
    case '&':
        return QLatin1String("&amp;");
    case '"':
        return QLatin1String("&quot;");
    default:
        return QLatin1String();
    }
}

} // namespace

QString htmlText(const QString &text)
{
    QString out;
    appendHtmlText(&out, QStringRef(&text));
    return out;
}

int htmlTextSize(const QStringRef &text)
{
    int size = text.size();
    for (const QChar c : text)
        size += qMax(0, htmlEntity(c).size() - 1);
    return size;
}

void appendHtmlText(QString *out, const QStringRef &text)
{
    // Room made once (growing as appends do), then written in runs between
    // the characters replaced.
    const int needed = out->size() + htmlTextSize(text);
    if (out->capacity() < needed)
        out->reserve(qMax(needed, out->capacity() + out->capacity() / 2));
    const QChar *s = text.unicode();
    const int n = text.size();
    int run = 0;
    for (int i = 0; i < n; ++i) {
        const QLatin1String entity = htmlEntity(s[i]);
        if (!entity.size())
            continue;
        out->append(s + run, i - run);
        out->append(entity);
        run = i + 1;
    }
    out->append(s + run, n - run);
}

void appendIsolatedHtml(QString *out, const QStringRef &text)
{
    if (text.isEmpty())
        return;
    out->append(QLatin1String("<span dir='auto'>"));
    appendHtmlText(out, text);
    out->append(QLatin1String("</span>"));
}

QString isolatedHtml(const QString &text)
{
    QString out;
    appendIsolatedHtml(&out, QStringRef(&text));
    return out;
}

QString isolatedText(const QString &text)
{
    if (text.isEmpty())
        return QString();
    return QChar(0x2068) + text + QChar(0x2069);
}

QString pathText(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const auto rightToLeft = [](QChar c) {
        return c.direction() == QChar::DirR || c.direction() == QChar::DirAL;
    };
    // What ends a stretch: a left-to-right letter, a European digit, a folder.
    const auto leftToRight = [](QChar c) {
        return c.direction() == QChar::DirL || c.direction() == QChar::DirEN
               || c == QLatin1Char('/');
    };
    const auto directionMark = [](QChar c) {
        const ushort u = c.unicode();
        return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E
               || u == 0x200F || u == 0x061C;
    };
    QString shown = path;
    for (QChar &c : shown) {
        if (directionMark(c))
            c = QChar(QChar::ReplacementCharacter);
    }
    QString out(QChar(0x2066)); // LEFT-TO-RIGHT ISOLATE
    const int n = shown.size();
    for (int i = 0; i < n;) {
        if (!rightToLeft(shown.at(i))) {
            out += shown.at(i++);
            continue;
        }
        // Digits written right after a letter of it ("الفوج1") belong to it.
        int end = i + 1;
        for (int j = i + 1; j < n; ++j) {
            const QChar c = shown.at(j);
            const bool digit = c.direction() == QChar::DirEN || c.direction() == QChar::DirAN;
            if (rightToLeft(c) || (digit && end == j))
                end = j + 1;
            else if (leftToRight(c))
                break;
        }
        out += QChar(0x2067); // RIGHT-TO-LEFT ISOLATE
        out += shown.midRef(i, end - i);
        out += QChar(0x2069);
        i = end;
    }
    out += QChar(0x2069); // POP DIRECTIONAL ISOLATE
    return out;
}

namespace {

QStringList labelLines(const QString &label)
{
    QString plain = label;
    plain.replace(QStringLiteral("<br />"), QStringLiteral("\n"));
    return plain.split(QLatin1Char('\n'));
}

} // namespace

QString labelHtml(const QString &label)
{
    QStringList lines = labelLines(label);
    for (QString &line : lines)
        line = isolatedHtml(line);
    return lines.join(QStringLiteral("<br />"));
}

QString labelLine(const QString &label)
{
    return labelLines(label).join(QLatin1Char(' '));
}

bool sameLabel(const QString &a, const QString &b)
{
    return labelLines(a) == labelLines(b);
}

QString fillTemplate(const QString &tpl, const Substitutions &values)
{
    QString out;
    out.reserve(tpl.size());
    appendFilled(&out, tpl, values);
    return out;
}

void appendFilled(QString *out, const QString &tpl, const Substitutions &values)
{
    // The next place of each key at or after i; the nearest wins, and at one
    // place the first key in order. Text between places is copied in runs.
    const int count = values.size();
    QVarLengthArray<int, 8> next(count);
    for (int k = 0; k < count; ++k)
        next[k] = values.at(k).first.isEmpty() ? -1 : tpl.indexOf(values.at(k).first);
    int i = 0;
    for (;;) {
        int best = -1;
        for (int k = 0; k < count; ++k) {
            if (next[k] >= 0 && next[k] < i)
                next[k] = tpl.indexOf(values.at(k).first, i);
            if (next[k] >= 0 && (best < 0 || next[k] < next[best]))
                best = k;
        }
        if (best < 0)
            break;
        out->append(tpl.midRef(i, next[best] - i));
        out->append(values.at(best).second);
        i = next[best] + values.at(best).first.size();
    }
    out->append(tpl.midRef(i));
}

QString fillSlot(QString page, const QString &id, const QString &html)
{
    const QString open = QStringLiteral("<div id='") + id + QStringLiteral("'>");
    const QString close = QStringLiteral("</div>");
    // QString::replace does not search what it has put in.
    page.replace(open + QLatin1Char('#') + id + QLatin1Char('#') + close, open + html + close);
    return page;
}

QString blanked(const QString &text, const QString &chars)
{
    QString out = text;
    for (QChar &c : out) {
        if (chars.contains(c))
            c = QLatin1Char(' ');
    }
    return out;
}

QString leftChars(const QString &text, int chars)
{
    if (chars <= 0)
        return QString();
    if (chars >= text.size())
        return text;
    if (text.at(chars - 1).isHighSurrogate() && text.at(chars).isLowSurrogate())
        --chars;
    return text.left(chars);
}

FieldCursor::FieldCursor(const QString &text, const QString &separator)
    : m_text(text), m_sep(separator)
{
    m_to = m_sep.isEmpty() ? -1 : m_text.indexOf(m_sep);
}

QString FieldCursor::peek() const
{
    if (m_from < 0)
        return QString();
    return m_text.mid(m_from, m_to < 0 ? -1 : m_to - m_from);
}

QStringRef FieldCursor::takeRef()
{
    QStringRef field;
    if (m_from >= 0)
        field = m_text.midRef(m_from, m_to < 0 ? -1 : m_to - m_from);
    advance();
    return field;
}

QString FieldCursor::take()
{
    const QString field = peek();
    advance();
    return field;
}

void FieldCursor::advance()
{
    if (m_to < 0) {
        m_from = -1;
    } else {
        m_from = m_to + m_sep.size();
        m_to = m_text.indexOf(m_sep, m_from);
    }
}
