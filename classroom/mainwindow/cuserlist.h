// Who is in a room: one row per user with a state icon (microphone, raised
// hand, camera, red dot), the nickname coloured by user type and the type's
// picture, ordered microphone holders first, then raised hands, then cameras,
// then everyone else. A pure view: it never talks to the network.
//
// Rows are looked up by nickname: the first row whose text is the nickname or
// "@" followed by it (a marked user shows with the "@"). Arguments marked
// "stripped" lose one leading "@" before the lookup.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QWidget>

class QTreeWidgetItem;

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
    // Rows whose state is "mic" or "cam-mic", recounted on every add, remove,
    // clear and state change.
    int GetTotalMic() const;

    // Attendance rows under a user row (parent nicknames are not stripped).
    // States: 0 present, 1 absent, 2 late, -1 none.
    void AddChild(const QString &text, const QString &parent, int state);
    void ChangeChild(const QString &text, const QString &fromParent, const QString &toParent);
    void ChangeChildState(const QString &text, const QString &parent, int state);

    // Reorders (stable: microphones, then raised hands, then cameras, the
    // camera breaking ties) and recounts the microphones. Rows change place;
    // the selection and expansion go with them while the current row stays
    // at its index. A single state change moves one row, never all of them.
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
        QTreeWidgetItem *item;
        QString text;    // column 0: nickname, "@" first when marked
        QString state;   // column 2
        bool cam;        // column 3 reads "cam"
    };
    struct Attendance
    {
        QTreeWidgetItem *item;
        QString parent;  // the parent nickname given to AddChild
    };

    int findRow(const QString &nick) const;
    int findAttendance(const QString &text, const QString &parent) const;
    bool offScreen(int row) const;
    void deleteRow(int index);
    void applyOrder(const QVector<int> &order);
    void recount();

    Ui::CUserList *ui;
    QVector<Row> m_rows;            // in the order the tree shows them
    QVector<Attendance> m_attendance;
    int m_mic = 0;
};
