// Test helpers for room windows: the window of a room id, its chat page and
// a one-line picture of each line, its user list rows, and the chat's input.
#pragma once

#include "mainwindow/controltxt.h"
#include "mainwindow/cuserlist.h"
#include "protocol/state.h"
#include "rooms/frmroom.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringList>
#include <QTreeWidget>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

inline FrmRoom *roomWindow(int id)
{
    const int i = FindRoom(id);
    return i < 0 ? nullptr : frmRooms.at(i);
}

inline ControlTxt *chatOf(FrmRoom *w) { return w->findChild<ControlTxt *>(QStringLiteral("wTxt")); }

inline QWebFrame *chatPageOf(FrmRoom *w)
{
    return chatOf(w)->findChild<QWebView *>(QStringLiteral("Web"))->page()->mainFrame();
}

// The page header (title and owner) as plain text.
inline QString headerOf(FrmRoom *w)
{
    return chatPageOf(w)
        ->findFirstElement(QStringLiteral("div[id=headerChatWho]"))
        .toPlainText()
        .simplified();
}

// The lines of the chat, "sender:state:text": state "wait" while an own line
// waits for the server's echo, "no" when it was refused, "time" when it
// shows the time (the tests fix the clock at 10:20:30), "?" otherwise.
inline QStringList chatLinesOf(FrmRoom *w)
{
    QStringList out;
    if (!w)
        return out;
    for (const QWebElement &cell :
         chatPageOf(w)->findAllElements(QStringLiteral("span.messagetime"))) {
        QWebElement box = cell;
        while (!box.isNull() && !box.hasClass(QStringLiteral("messagebox")))
            box = box.parent();
        QString user = box.findFirst(QStringLiteral("span.user")).toPlainText();
        user.chop(2);
        QString state = QStringLiteral("?");
        if (cell.toInnerXml().contains(QLatin1String("wait4.gif")))
            state = QStringLiteral("wait");
        else if (!cell.findFirst(QStringLiteral("span.refused")).isNull())
            state = QStringLiteral("no");
        else if (cell.toPlainText() == QLatin1String("10:20:30"))
            state = QStringLiteral("time");
        out << user + QLatin1Char(':') + state + QLatin1Char(':')
                   + cell.parent().toPlainText().mid(cell.toPlainText().size()).trimmed();
    }
    return out;
}

inline QTreeWidget *treeOf(FrmRoom *w)
{
    return w->findChild<CUserList *>(QStringLiteral("wList"))
        ->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
}

// The user rows in the order shown: "<column 0>/<state word>", with "+cam"
// while the camera is on.
inline QStringList rowsOf(FrmRoom *w)
{
    QStringList out;
    if (!w)
        return out;
    QTreeWidget *tree = treeOf(w);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = tree->topLevelItem(i);
        QString row = item->text(0) + QLatin1Char('/') + item->text(2);
        if (item->text(3) == QLatin1String("cam"))
            row += QStringLiteral("+cam");
        out << row;
    }
    return out;
}

inline int totalMicOf(FrmRoom *w)
{
    return w->findChild<CUserList *>(QStringLiteral("wList"))->GetTotalMic();
}

// True while the room fetches its stream: a request of the room's own
// network manager is in progress (the web views have managers of their own).
inline bool fetchesStream(FrmRoom *w)
{
    for (QNetworkAccessManager *m :
         w->findChildren<QNetworkAccessManager *>(QString(), Qt::FindDirectChildrenOnly))
        if (!m->findChildren<QNetworkReply *>().isEmpty())
            return true;
    return false;
}

inline void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
