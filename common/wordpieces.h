// Cutting of long words into pieces for the web view, shared by the pages
// of both programs.
#pragma once

#include <QString>

// Script that defines kWordPiece and appendCut(parts, data, from, to, blank):
// a word longer than kWordPiece letters costs the view time for every letter
// when it has to break it at the end of a line, and the view may draw the
// rest of such a word past the edge of its box. The word is cut into pieces
// of at most that many letters, to become text nodes of their own with a
// <wbr> between them; the text itself is unchanged. Each piece is shaped on
// its own, so a cut falls after a letter that does not join the next one
// whenever the word has one in reach.
inline QString wordPiecesScript()
{
    return QString::fromUtf8(R"JS(var kWordPiece = 16;
// A character that belongs to the one before it: a combining mark, a joiner,
// a variation selector or the second half of a surrogate pair.
function clings(u) {
    return (u >= 0x300 && u <= 0x36f) || (u >= 0x483 && u <= 0x489) || (u >= 0x591 && u <= 0x5c7)
        || (u >= 0x610 && u <= 0x61a) || (u >= 0x64b && u <= 0x65f) || u == 0x670
        || (u >= 0x6d6 && u <= 0x6ed) || (u >= 0x8d3 && u <= 0x8ff) || (u >= 0x1ab0 && u <= 0x1aff)
        || (u >= 0x1dc0 && u <= 0x1dff) || (u >= 0x200b && u <= 0x200f) || (u >= 0x20d0 && u <= 0x20ff)
        || (u >= 0xdc00 && u <= 0xdfff) || (u >= 0xfe00 && u <= 0xfe0f) || (u >= 0xfe20 && u <= 0xfe2f);
}
// An Arabic letter that joins the letter after it (the tatweel too).
function joinsNext(u) {
    if (u >= 0x626 && u <= 0x64a)
        return !(u == 0x627 || u == 0x629 || (u >= 0x62f && u <= 0x632) || u == 0x648);
    return u == 0x620 || u == 0x66e || u == 0x66f || (u >= 0x678 && u <= 0x687)
        || (u >= 0x69a && u <= 0x6bf) || u == 0x6c1 || u == 0x6c2 || u == 0x6cc || u == 0x6ce
        || u == 0x6d0 || u == 0x6d1 || (u >= 0x6fa && u <= 0x6fc) || u == 0x6ff
        || (u >= 0x750 && u <= 0x77f) || (u >= 0x8a0 && u <= 0x8bd);
}
// An Arabic letter that joins the letter before it.
function joinsPrevious(u) {
    return (u >= 0x620 && u <= 0x64a && u != 0x621) || (u >= 0x66e && u <= 0x6d3 && u != 0x674)
        || u == 0x6d5 || u == 0x6ee || u == 0x6ef || (u >= 0x6fa && u <= 0x6fc) || u == 0x6ff
        || (u >= 0x750 && u <= 0x77f) || (u >= 0x8a0 && u <= 0x8bd);
}
// Where to cut data, whose unbroken stretch starts at from, at the latest at
// end: after a letter that does not join the next one when there is such a
// place, else at the latest place that splits no character.
function pieceEnd(data, from, end) {
    var fallback = -1;
    for (var c = end; c > from; --c) {
        var next = data.charCodeAt(c);
        if (clings(next))
            continue;
        var b = c - 1;
        while (b > from && clings(data.charCodeAt(b)))
            --b;
        if (!(joinsNext(data.charCodeAt(b)) && joinsPrevious(next)))
            return c;
        if (fallback < 0)
            fallback = c;
    }
    return fallback > 0 ? fallback : end;
}
// The text data[from, to) into parts: texts, with a null (a <wbr>) between the
// pieces of a word longer than kWordPiece letters (marks not counted); blank
// tells the characters that end a word.
function appendCut(parts, data, from, to, blank) {
    var stretch = from;
    var piece = from;
    var letters = 0;
    for (var k = from; k < to; ++k) {
        var u = data.charCodeAt(k);
        if (blank(u)) {
            stretch = k + 1;
            letters = 0;
            continue;
        }
        if (clings(u))
            continue;
        if (letters < kWordPiece) {
            ++letters;
            continue;
        }
        var cut = pieceEnd(data, stretch, k);
        parts.push(data.substring(piece, cut));
        parts.push(null);
        piece = stretch = cut;
        letters = 0;
        for (var c = cut; c <= k; ++c) {
            if (!clings(data.charCodeAt(c)))
                ++letters;
        }
    }
    parts.push(data.substring(piece, to));
}
)JS");
}
