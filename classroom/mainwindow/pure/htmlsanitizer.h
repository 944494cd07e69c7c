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

// What one line or title may bring into the page: characters of text (a
// character reference counts as one), elements, and characters of output.
struct MarkupBounds
{
    int text;
    int elements;
    int output;
};
constexpr MarkupBounds kLineBounds{16384, 1024, 262144};
constexpr MarkupBounds kTitleBounds{2048, 128, 32768};
constexpr MarkupBounds kUnbounded{0x7fffffff, 0x7fffffff, 0x7fffffff};

// Filters html. Linear in the input. Nesting deeper than kMaxMarkupDepth is
// flattened. Past a bound the rest of the input is dropped and truncated (when
// given) is set. Elements come out nested so that the web engine builds them
// as written: a paragraph or division closes an open paragraph first, a link
// closes an open link. Text is drawn at most kMaxFontPx high in the
// conversation page: an element whose size, through the nesting of relative
// sizes (em, %, larger, big...), would be larger is given that size. The
// result is a fixed point: filtering it again with the same bounds changes
// nothing.
QString sanitizeHtml(const QString &html, MarkupProfile profile, const MarkupBounds &bounds,
                     bool *truncated = nullptr);
// With the bounds of the profile: kLineBounds or kTitleBounds.
QString sanitizeHtml(const QString &html, MarkupProfile profile = MarkupProfile::Line);
constexpr int kMaxMarkupDepth = 16;
// Largest size of the text of a line or a title, in pixels.
constexpr double kMaxFontPx = 48;

// Longest address kept in a link, picture or audio player.
constexpr int kMaxAddressLength = 2048;

// Escapes text for use in markup, quotes included.
QString escapeHtml(const QString &text);

// Addresses that a link may open: http, https and mailto.
bool isSafeLinkUrl(const QString &url);
// Addresses that a picture or the audio player may load: http and https.
bool isSafePictureUrl(const QString &url);
