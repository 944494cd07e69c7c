// The room chooser: the groups of the institute, the rooms of the chosen
// group with their lock and head count, and the entry into one room, as an
// ordinary user, with the room's password or with the supervisor's.
#pragma once

#include "protocol/pure/rooms.h"

#include <QDialog>
#include <QList>
#include <QString>

class QAction;
class QCloseEvent;
class QKeyEvent;
class QModelIndex;
class QPoint;
class Ui_FrmGroup;

class FrmGroup : public QDialog
{
    Q_OBJECT
public:
    explicit FrmGroup(QWidget *parent = nullptr);
    ~FrmGroup() override;

    // Ids of the groups, parallel to the group combo's items; the code 8
    // handler fills it, each id before its combo item.
    QList<int> groupIds;

    void ClearCombo();
    void AddCombo(const QString &name);
    void ClearList();
    // locked: 1 or more shows the room locked.
    void AddList(const QString &id, const QString &name, const QString &count, int lock);
    // The same for every room of a list, in its order, drawn once.
    void AddList(const QVector<RoomItem> &rooms);

    // Sends the entry request and puts a new wait form in place of the chooser.
    void DblClick_MS(int id, const QString &pwdAdmin, const QString &pwdLock);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_comboBox_currentIndexChanged(int index);
    void on_table1_currentCellChanged(int row, int column, int previousRow, int previousColumn);
    void on_table1_itemSelectionChanged();
    void on_table1_customContextMenuRequested(const QPoint &pos);
    void on_table1_doubleClicked(const QModelIndex &index);
    void on_B1_clicked();
    void menuAdmin();
    void menuEntre();

private:
    // The current row selected again, its room id and lock; false when the
    // table has no rows or no current row.
    bool currentRoom(int *id, bool *locked);
    void showPassword();
    // The chosen room entered with that supervisor password, or its
    // password panel shown when it is locked.
    void enterChosen(const QString &pwdAdmin);
    void setColumnWidths();
    void fillRow(int row, const QString &id, const QString &name, const QString &count, int lock);

    Ui_FrmGroup *ui;
    QAction *actAdmin;
    QAction *actEntre;
};
