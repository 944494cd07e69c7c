// Whitelist filter for the markup of chat lines and conversation titles.
// Text that comes from other users or from the server passes through here
// before it reaches the conversation page: what leaves is balanced markup
// made only of the tags and attributes that our own chat markup and the
// styled input produce, with no script, no event handler and no address
// other than http, https (and mailto for links).
#pragma once

#include <QString>

enum class MarkupProfile {
    Line,  // a chat line: text styling, paragraphs, links, pictures, blinking text
    Title, // a conversation title: the above plus the audio player and notices
};

// Filters html. Linear in the input; nesting deeper than kMaxMarkupDepth is
// flattened. The result is a fixed point: filtering it again changes nothing.
QString sanitizeHtml(const QString &html, MarkupProfile profile = MarkupProfile::Line);
constexpr int kMaxMarkupDepth = 64;

// Escapes text for use in markup, quotes included.
QString escapeHtml(const QString &text);

// Addresses that a link may open: http, https and mailto.
bool isSafeLinkUrl(const QString &url);
// Addresses that a picture or the audio player may load: http and https.
bool isSafePictureUrl(const QString &url);
