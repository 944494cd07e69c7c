// The web page behind a conversation view: it never navigates (a clicked
// link only comes out as linkClicked) and it loads nothing but our resources
// and, when allowed, http and https addresses.
#pragma once

#include <QWebPage>

class QWebElement;

class ChatPage : public QWebPage
{
    Q_OBJECT
public:
    enum class Role {
        View,  // the conversation: scripts, our resources, http and https
        Parse, // parsing only: no script, no picture, no network at all
        Print, // printing: no script; our resources, http and https pictures
    };
    ChatPage(Role role, QObject *parent);

protected:
    bool acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request,
                                 NavigationType type) override;
    QWebPage *createWindow(WebWindowType type) override;
};

// Gives each run of one writing direction in the text under element a text
// node of its own, and in text with right-to-left characters each word and
// each run of two or more white-space characters too (text without them
// stays as it is). The engine measures a text node whose characters resolve
// to several directions wrongly, and draws its words over each other or past
// the edge of the line; it measures an Arabic word followed by white space
// that it collapses (two spaces, as around an element the filter removed)
// wrongly too, and draws it over the words before it; and it never breaks a
// line inside a node of Arabic text, so a long Arabic line would run past its
// box. A word longer than kWordPiece letters (common/wordpieces.h) is cut
// into pieces with a <wbr> between them: the engine draws the rest of such a
// word that it had to break itself, and a blank-led word after an element
// whole, past the edge of the box. A joiner or non-joiner at the edge of a
// word gets a node of its own: the engine draws nothing of a node that starts
// with one or ends with one before its blanks. Works whether scripts are enabled in the page or not.
void separateDirectionRuns(const QWebElement &element);
