// Who is in a room: one row per user with a state icon (microphone, raised
// hand, camera, red dot), the nickname coloured by user type and the type's
// picture, ordered microphone holders first, then raised hands, then cameras,
// then everyone else. A pure view: it never talks to the network.
//
// Rows are looked up by nickname: the first row whose text is the nickname or
// "@" followed by it (a marked user shows with the "@"). Arguments marked
// "stripped" lose one leading "@" before the lookup.
#pragma once

#include <QMultiHash>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTreeWidgetItem>
#include <QVector>
#include <QWidget>

class QTimer;

namespace Ui {
class CUserList;
}

class CUserList : public QWidget
{
    Q_OBJECT
public:
    explicit CUserList(QWidget *parent = nullptr);
    ~CUserList() override;

    // Replaces any row of nick (stripped lookup) by a new last row: "@"nick
    // when marked, coloured and pictured by type, state "null". No reordering.
    void AddItem(const QString &nick, int type, bool marked);
    // Deletes the first row of nick (stripped) with its attendance rows.
    void RemoveItem(const QString &nick);
    // Sets the state word and icon of nick's row (stripped), then reorders;
    // an unknown nick changes no row but still reorders.
    void ChangeItemImage(const QString &nick, const QString &state);
    // Camera mark of nick's row (stripped); recomputes its icon and reorders.
    void CamItem(const QString &nick, bool on);
    // Removes every row.
    void ClearItem();
    // Nickname of the current row without its "@" mark; empty when none.
    QString SelectedItem() const;
    // Rows whose state is "mic" or "cam-mic", counted as rows come, go and
    // change.
    int GetTotalMic() const;

    // Attendance rows under a user row (parent nicknames are not stripped).
    // States: 0 present, 1 absent, 2 late, -1 none.
    void AddChild(const QString &text, const QString &parent, int state);
    void ChangeChild(const QString &text, const QString &fromParent, const QString &toParent);
    void ChangeChildState(const QString &text, const QString &parent, int state);

    // Reorders (stable: microphones, then raised hands, then cameras, the
    // camera breaking ties). Rows change place; the selection and expansion
    // go with them while the current row stays at its index. The list is
    // kept in that order, so a state change moves one row, never all of them.
    void Filier();
    // Swaps the row at index row with the one above it; nothing for row <= 0.
    void MvChange(int row);
    // Moves the row at the larger index up to the smaller one.
    void Mv(int a, int b);

    // The member badge: the cohort label with text in red over it, 50 x 26.
    static QPixmap createPix(const QString &text);

signals:
    // A right click on the list; pos in this widget's coordinates.
    void ContextMenu(QPoint pos);

private slots:
    void on_treeWidget_customContextMenuRequested(const QPoint &pos);

private:
    struct Row
    {
        QString text;       // column 0: nickname, "@" first when marked
        QString state;      // column 2
        bool cam = false;   // column 3 reads "cam"
        int rank = 0;       // place in the order, see rankOf
        bool oneLine = true; // as high as every other one-line row
        int pos = 0;        // index in the list
    };
    struct Attendance
    {
        QTreeWidgetItem *item;
        QString parent;  // the parent nickname given to AddChild
    };

    // The first row of a nickname (already stripped), or none.
    Row *find(const QString &nick) const;
    // Every row of a nickname, in list order.
    QVector<Row *> rowsOf(const QString &nick) const;
    int findAttendance(const QString &text, const QString &parent) const;
    bool fitsOneLine(const QString &text) const;
    bool offScreen(int pos) const;
    void deleteRow(int pos);
    void setState(Row *row, const QString &state, bool cam);
    void moveRow(int from, int to);
    void shiftContents(int from, int to);
    void reinsert(int from, int to);
    void renumber(int first, int last);
    void turnStarted();

    Ui::CUserList *ui;
    QVector<Row *> m_rows;               // in the order the tree shows them
    QVector<QTreeWidgetItem *> m_items;  // the tree's items, same order
    QMultiHash<QString, Row *> m_byText; // rows by their column-0 text
    int m_ranks[6] = {};                 // rows of each rank
    bool m_sorted = true;                // ranks never decrease down the list
    QVector<Attendance> m_attendance;
    // Moving a row either shifts the contents of the rows it passes (cheap
    // for the view, costly per row) or takes its item out and puts it back
    // (the view then lays out every row once, at the next turn of the event
    // loop). Within one turn the contents of at most about a list's worth
    // of rows are shifted; then items are moved.
    bool m_relayoutDue = false;
    int m_shifted = 0;
    int m_tall = 0;                      // rows of more than one line
    QTimer *m_turn;
    QTreeWidgetItem m_scratch;
};
