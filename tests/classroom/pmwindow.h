// Test helpers for private-message windows: their page and a one-line
// picture of each line in it.
#pragma once

#include "mainwindow/frmpm.h"
#include "protocol/state.h"

#include <QStringList>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

inline QWebFrame *pageOf(FrmPM *w)
{
    return w->findChild<QWebView *>(QStringLiteral("Web"))->page()->mainFrame();
}

inline FrmPM *windowOf(const QString &nick)
{
    const int i = FindPM(nick);
    return i < 0 ? nullptr : frmPMs.at(i);
}

// The lines of the page, "sender:state:text": the state is "wait" while the
// line waits for its answer, "no" when it was not delivered and "time" when
// it shows the time, which the tests fix at 10:20:30.
inline QStringList linesOf(FrmPM *w)
{
    QStringList out;
    if (!w)
        return out;
    for (const QWebElement &cell : pageOf(w)->findAllElements(QStringLiteral("span.messagetime"))) {
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
                   + cell.parent().toPlainText().mid(cell.toPlainText().size());
    }
    return out;
}
