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

QString htmlText(const QString &text)
{
    return text.toHtmlEscaped();
}

QString isolatedHtml(const QString &text)
{
    if (text.isEmpty())
        return QString();
    return QStringLiteral("<span dir='auto'>") + htmlText(text) + QStringLiteral("</span>");
}

QString isolatedText(const QString &text)
{
    if (text.isEmpty())
        return QString();
    return QChar(0x2068) + text + QChar(0x2069);
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
    // The next place of each key at or after i; the nearest wins, and at one
    // place the first key in order. Text between places is copied in runs.
    const int count = values.size();
    QVarLengthArray<int, 8> next(count);
    for (int k = 0; k < count; ++k)
        next[k] = values.at(k).first.isEmpty() ? -1 : tpl.indexOf(values.at(k).first);
    QString out;
    out.reserve(tpl.size());
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
        out += tpl.midRef(i, next[best] - i);
        out += values.at(best).second;
        i = next[best] + values.at(best).first.size();
    }
    out += tpl.midRef(i);
    return out;
}

QString fillSlot(const QString &page, const QString &id, const QString &html)
{
    const QString open = QStringLiteral("<div id='") + id + QStringLiteral("'>");
    const QString close = QStringLiteral("</div>");
    const QString slot = open + QLatin1Char('#') + id + QLatin1Char('#') + close;
    return fillTemplate(page, {{slot, open + html + close}});
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
