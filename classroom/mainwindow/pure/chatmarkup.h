// The chat markup: colon-delimited tokens that users type as plain text and
// that become HTML in chat lines (pictures, blinking text, bare addresses made
// links) and in conversation titles (audio player, notices, blinking text,
// explicit links, centred titles). Widget-free; the chat control supplies the
// tokens from its translation catalogue.
#pragma once

#include <QPair>
#include <QString>
#include <QVector>

#include <functional>

struct MarkupTokens
{
    QString audio, audioEnd;   // title: audio address
    QString notice, noticeEnd; // title: framed notice
    QString flash, flashEnd;   // title and line: blinking text
    QString link, linkText, linkEnd; // title: explicit link, its label, its end
    QString titre, titreEnd;   // title: centred title
    QString image, imageEnd;   // line: picture address
};

// The tokens, each looked up by its key (":audio:", ":o:", ...).
MarkupTokens markupTokens(const std::function<QString(const char *key)> &lookup);
// The tokens that every catalogue gives (":صوت:", ":ت:", ...).
MarkupTokens arabicMarkupTokens();

// Pairs open ... close from left to right: each open token with the first
// close token from the second character of its content on, so a close token
// right after the open one does not end the pair. The search for the next
// pair resumes at that second character, inside the converted content, so an
// open token there pairs with a later close token (nested output). An open
// token with no close after it stays as typed and ends the conversion. Empty
// tokens convert nothing. Linear; exact while the HTML given never holds or
// forms a token.
QString Chtxt2htm(const QString &text, const QString &open, const QString &close,
                  const QString &openHtml, const QString &closeHtml);

// End (exclusive) of the bare address that starts at start in an HTML
// fragment: the first white space outside a tag, the first paragraph or line
// break tag, or the end of the text; tags at the end of the address are left
// out of it.
int Tst3(const QString &text, int start);

// The text with its tags removed; a '<' with no '>' after it stays, with all
// that follows.
QString Tst4(const QString &text);

// Converts an outgoing chat line (an HTML fragment of the input box):
// pictures, then bare http, https, mailto and www. addresses made links, then
// blinking text.
QString convertChatLine(const QString &html, const MarkupTokens &tokens);

// Converts a title: audio players, notices, blinking text, then the plain
// replacements of the link and title tokens. The result is not yet filtered.
QString convertTitle(const QString &title, const MarkupTokens &tokens);

// The page header for a title and an owner: the converted title, filtered
// and bounded (with truncationMarker after a title cut short), and, unless
// the owner is empty, the caption and the owner's name as text.
QString titleHeader(const QString &title, const QString &owner, const QString &ownerCaption,
                    const MarkupTokens &tokens, const QString &truncationMarker = QString());

// Text for a title that shows as typed: escaped, and with no colon left from
// which a token could form, alone or with the text around it.
QString plainTitleText(const QString &text);
// The same, in an element of its own direction (a name within a title).
QString isolatedTitleText(const QString &text);

// Replaces the placeholders of a template in one pass: a value that itself
// holds a placeholder stays as it is.
QString substitutePlaceholders(const QString &tmpl,
                               const QVector<QPair<QString, QString>> &values);

// The paragraph content of the input box's rich text: everything after the
// opening tag of the first paragraph, without the closing of the document.
QString inputParagraph(const QString &html);
