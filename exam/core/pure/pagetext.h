// Text helpers shared by the exam program's page builders and formats.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <utility>

// A decimal integer field; empty, not a number or out of range reads as 0.
int readInt(const QString &field);
// A decimal integer field; false when it is not a number.
bool readInt(const QString &field, int *value);
// A single-precision number; not a number (or not finite) reads as 0.
float readFloat(const QString &field);
// At most six significant digits, no trailing zeros: 12.5, 20, 0.3.
QString formatNumber(float value);

// Text made safe to stand as the content of an HTML element.
QString htmlText(const QString &text);
// Text of its own direction inside a page of another: escaped, in an isolate
// that takes the direction of its first letter, left to right when it has
// none (a number, a sign). So "Hello?" keeps its mark after it and "-1" its
// sign before it in a right-to-left page. Empty for an empty text.
QString isolatedHtml(const QString &text);
// The same for text that widgets draw: the text between the Unicode marks
// FIRST STRONG ISOLATE and POP DIRECTIONAL ISOLATE. Empty stays empty.
QString isolatedText(const QString &text);
// A file path inside a right-to-left message: left to right as a whole, each
// stretch of right-to-left letters (with the digits written right after
// them) in a right-to-left isolate of its own, so
// that the digits of a stamp after it keep their order ("11-12-2026_11.53.26"
// never reads "11.53.26_11-12-2026"). Direction marks in the path are shown
// as U+FFFD: a file name cannot turn the message around. Empty stays empty.
QString pathText(const QString &path);
// Text made safe, written at the end of out.
void appendHtmlText(QString *out, const QStringRef &text);
// The same isolate as isolatedHtml, written at the end of out.
void appendIsolatedHtml(QString *out, const QStringRef &text);
// The length of text made safe.
int htmlTextSize(const QStringRef &text);
// An institute label as HTML: its lines ("\n" or "<br />") each escaped in an
// isolate of its own, joined by "<br />".
QString labelHtml(const QString &label);
// An institute label on one line, for a window's title: its lines ("\n" or
// "<br />", which the label holds once a page has shown it) joined by a blank.
QString labelLine(const QString &label);
// True when two institute labels are the same, "<br />" and "\n" taken as equal.
bool sameLabel(const QString &a, const QString &b);

using Substitutions = QVector<std::pair<QString, QString>>;
// One pass over tpl: every occurrence of a key is replaced by its value and the
// inserted values are never searched again. Keys are tried in the given order.
QString fillTemplate(const QString &tpl, const Substitutions &values);
// The same, written at the end of out.
void appendFilled(QString *out, const QString &tpl, const Substitutions &values);
// Fills a header slot of a page: every "<div id='ID'>#ID#</div>" becomes
// "<div id='ID'>" + html + "</div>". html must already be escaped. A page
// handed over (std::move) is filled in place, without a copy.
QString fillSlot(QString page, const QString &id, const QString &html);

// text with a blank in place of each character found in chars.
QString blanked(const QString &text, const QString &chars);

// The first chars UTF-16 units of text, without splitting a surrogate pair.
QString leftChars(const QString &text, int chars);

// The fields of a text as QString::split gives them (empty ones kept), taken
// one after the other: a reader that stops early pays only for what it took.
class FieldCursor
{
public:
    FieldCursor(const QString &text, const QString &separator);

    // A field is left to take.
    bool hasNext() const { return m_from >= 0; }
    // The next field is the text's last one (or none is left).
    bool nextIsLast() const { return m_to < 0; }
    // The next field, without taking it; empty when none is left.
    QString peek() const;
    // The next field, taken; empty when none is left.
    QString take();
    // The same, as a part of the text, which must outlive it.
    QStringRef takeRef();

private:
    void advance();

    const QString &m_text;
    const QString m_sep;
    int m_from = 0; // start of the next field, -1 when none is left
    int m_to = -1;  // the separator after it, -1 when it is the last
};
