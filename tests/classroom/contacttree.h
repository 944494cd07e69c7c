// Test helpers for the main window's contact tree: a one-line picture of the
// two groups, and packets written out byte by byte.
#pragma once

#include "mainwindow/frmuser.h"

#include <QByteArray>
#include <QColor>
#include <QMenu>
#include <QStringList>
#include <QTreeWidget>

// "on=a,b* off=c": the contacts of the online and the offline group in tree
// order, a "*" after each blocked one. A blocked contact is drawn grey, and
// only a blocked one: a "!" marks an item whose colour disagrees.
inline QString contactTree(FrmUser *window)
{
    auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    QStringList groups;
    const char *names[] = {"on=", "off="};
    for (int g = 0; g < 2; ++g) {
        QStringList nicks;
        QTreeWidgetItem *group = tree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            const QTreeWidgetItem *item = group->child(i);
            const bool grey = item->foreground(0).color() == QColor(QStringLiteral("#C0C0C0"));
            const bool blocked = item->data(0, FrmUser::BlockedRole).toBool();
            QString entry = item->text(0);
            if (blocked)
                entry += QLatin1Char('*');
            if (grey != blocked)
                entry += QLatin1Char('!');
            nicks << entry;
        }
        groups << QLatin1String(names[g]) + nicks.join(QLatin1Char(','));
    }
    return groups.join(QLatin1Char(' '));
}

// Code and length as little-endian hex, then the marker, the name padded
// with spaces to 32 bytes and the body.
inline QByteArray literalPacket(const char *codeAndLengthHex, const char *name,
                                const QByteArray &body = QByteArray())
{
    return QByteArray::fromHex(codeAndLengthHex) + "KW.TOVEN" + QByteArray(name).leftJustified(32, ' ')
           + body;
}
