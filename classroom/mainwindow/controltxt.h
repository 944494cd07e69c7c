// The conversation view that room and private-message windows embed: the
// conversation as an HTML page of message boxes, a styled input box below it,
// a tool bar of styling commands and a PDF export. It does no networking: a
// typed line leaves through Sendtxt, and the owning window shows it with
// insertTxt and later confirms or refuses it.
#pragma once

#include "mainwindow/pure/chatmarkup.h"

#include <QMap>
#include <QPixmap>
#include <QTextCharFormat>
#include <QWebElement>
#include <QWidget>

#include <functional>

class QAction;
class QSettings;
class QToolBar;
class QUrl;
class QWebFrame;
class QWebPage;
class QWebView;

namespace Ui {
class ControlTxt;
}

// Kinds of line for insertTxt.
enum ChatLineType {
    OwnLine = 0,       // the user's own line, pending until confirmed
    PeerLine = 1,      // a line relayed by the server
    WhisperLine = 2,   // a whisper received, between start and end notices
    WhisperSent = 3,   // the notice that the user's whisper was delivered
};

// The settings store of the input style (organisation Dastrel, application
// "Settings").
extern QSettings *savestr;

// A copy of pixmap whose magenta (#ff00ff, alpha ignored) pixels take the RGB
// of color; transparency is kept through the pixmap's mask.
QPixmap changecolor(const QPixmap &pixmap, const QColor &color);

class ControlTxt : public QWidget
{
    Q_OBJECT
public:
    explicit ControlTxt(QWidget *parent = nullptr);
    ~ControlTxt() override;

    // Renders the title (chat markup) and the owner (a name, or empty) into
    // the page header and keeps both for ClearText. Server text: filtered.
    void ChangeTitre(const QString &title, const QString &owner);
    // Empties the conversation; the title stays.
    void ClearText();

    // Appends a line. A line of the same sender as the last box joins that
    // box, unless the name holds &, < or > or is too long to show whole.
    // text is filtered and bounded here, user is shown as text. For an own line
    // (type 0) the result is its identity, to confirm or refuse it later;
    // otherwise 0. Also 0 when the page has no message container.
    int insertTxt(const QString &user, const QString &text, int type);
    // Confirms the oldest pending own line with the current time.
    void insertTime();
    // Confirms (with the current time) or marks refused the own line with this
    // identity; false when it is not pending (already settled, or cleared).
    bool confirmLine(int id);
    bool refuseLine(int id);
    // Identities of the own lines still pending, oldest first.
    QList<int> pendingLines() const;

    void setFocustxt();

    // Received HTML made safe: filtered and bounded (a line cut short ends
    // with a marker), then parsed and serialised by the engine with scripts
    // and loading off.
    QString TestHtm(const QString &html);
    // Markup of an outgoing line (pictures, links, blinking text).
    QString TestLink(const QString &text) const;
    // The markup tokens of the installed translation.
    static MarkupTokens markupTokens();

    // Input style in the settings store.
    void loadcoltxt();
    void Savecoltxt();

    QString title() const { return titre; }
    QString titleOwner() const { return owner; }

signals:
    void Sendtxt(QString txt);

public slots:
    void testcolor();

private slots:
    void on_T1_returnPressed();
    void on_BSend_clicked();
    void on_Web_customContextMenuRequested(const QPoint &pos);
    void on_T1_customContextMenuRequested(const QPoint &pos);
    void on_Web_linkClicked(const QUrl &url);
    void on_Web_urlChanged(const QUrl &url);
    void on_T1_currentCharFormatChanged(const QTextCharFormat &format);
    void on_T1_currentColorChanged(const QColor &color);
    void menucopy();
    void menusave();
    void menuclear();
    void menustop(bool checked);
    void menu2copy();
    void menu2cut();
    void menu2paste();
    void bbb();
    void uuu();
    void iii();
    void colorF();
    void colorB();
    void sizeA1();
    void sizeA2();
    void sizeA3();

private:
    QWebFrame *frame() const;
    // Shown after a line or title cut at its bounds.
    QString truncationMarker() const;
    // Puts timeCell in the time cell of a pending own line; false when the
    // line is not pending.
    bool settleLine(int id, const QString &timeCell);
    // A context menu at pos of over; a null item is a separator.
    void popupMenu(QWidget *over, const QPoint &pos, const QList<QAction *> &items);
    void loadPage();
    void scrollToBottom();
    QString timeNow() const;
    // Applies a change of the character format at the input cursor.
    void applyFormat(const std::function<void(QTextCharFormat &)> &change);
    void setSize(int points, QAction *checked);
    // The style properties of a format (colours, weight, slant, underline, size).
    QTextCharFormat styleOf(const QTextCharFormat &format) const;
    void resetInput();
    void setForegroundIcon(const QColor &color);
    void setBackgroundIcon(const QColor &color);
    QColor backgroundIconColor(const QTextCharFormat &format) const;
    bool exportPdf(const QString &file);

    Ui::ControlTxt *ui;
    QString htmPage;
    QString htmInput;
    QString titre;
    QString owner;
    QWebPage *webParse = nullptr;
    QWebView *webPrint = nullptr;
    QToolBar *toolBar = nullptr;
    QAction *actBold = nullptr, *actItalic = nullptr, *actUnderline = nullptr,
            *actSize1 = nullptr, *actSize2 = nullptr, *actSize3 = nullptr,
            *actForeground = nullptr, *actBackground = nullptr;
    // The commands of the drop-down button, in menu order.
    QAction *ACT1 = nullptr, *ACT2 = nullptr, *ACT3 = nullptr;
    QList<QAction *> actList;
    QAction *actCopy = nullptr, *actSave = nullptr, *actClear = nullptr, *actStop = nullptr,
            *actCopy2 = nullptr, *actCut = nullptr, *actPaste = nullptr;

    // Where the page grows: the message container, the group that takes new
    // boxes, the insert point of the last box, the group of that box that
    // takes its further lines, and the name cell of that box.
    QWebElement m_container;
    QWebElement m_group;
    int m_groupSize = 0;
    QWebElement m_insert;
    QWebElement m_lines;
    int m_linesSize = 0;
    QWebElement m_userSpan;
    // Time cells of the own lines still pending, by identity.
    QMap<int, QWebElement> m_pending;
    int m_nextId = 0;
};
