// Bounded reader of the fields of a packet body.
//
// Every handler reads its body through Fields: split the text at a separator,
// then read fields by position. Reading never goes past the list: a field
// that is not there reads as the empty text, as 0, or as an empty Fields.
//
//   const Fields f(body, "|");          // "a|b||c" -> "a", "b", "", "c"
//   f.count();                          // 4
//   f.text(1);                          // "b"
//   f.text(9);                          // "" (missing)
//   f.number(0);                        // 0 ("a" is not a number)
//   f.split(0, ":").text(1);            // second ":" part of field 0
//   Fields(hostPort, ":", 2);           // at most 2 parts: "h:1:2" -> "h", "1:2"
//
// Splitting follows QString::split with empty parts kept: the empty text is
// one empty field, "a|" is "a" and "". A separator of several characters
// ("::", "<>", "||", "<|||>") is matched whole, left to right, without overlap;
// the empty separator gives the whole text as one field.
//
// number(i) reads a decimal int (optional sign, surrounding white space
// allowed, as QString::toInt); anything else, an overflow included, reads 0.
#pragma once

#include <QPair>
#include <QString>
#include <QVector>

class Fields
{
public:
    Fields() = default;
    // maxParts > 0 stops splitting after maxParts - 1 separators; the last
    // field then holds the rest of the text, separators included.
    Fields(const QString &text, const QString &separator, int maxParts = 0);

    int count() const { return m_parts.size(); }
    bool has(int index) const { return index >= 0 && index < m_parts.size(); }

    QString text(int index) const;
    // text(index) with white space removed at both ends.
    QString trimmed(int index) const;
    int number(int index) const;
    // Field index split again at separator (empty Fields when missing).
    Fields split(int index, const QString &separator, int maxParts = 0) const;
    // Every field from index to the end, joined again with the separator.
    QString rest(int index) const;

private:
    QString m_text;
    QString m_separator;
    QVector<QPair<int, int>> m_parts; // start and length of each field in m_text
};
