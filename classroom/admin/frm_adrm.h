// Administration of groups (first tab) and of the rooms of a group (second
// tab). Every change is a request to the chat server; every result brings a
// fresh list. One window exists at a time, held in frmadrm.
#pragma once

#include "admin/pure/adminlists.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

class QCloseEvent;
class QKeyEvent;
class QModelIndex;

namespace Ui {
class Frm_adRm;
}

class Frm_adRm : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and asks for the groups.
    explicit Frm_adRm(QWidget *parent = nullptr);
    ~Frm_adRm() override;

    // Code 18 "Group": empties both tabs and lists the groups.
    void ListGroup(const QString &body);
    // Code 19: shows the result of a group command, then asks for the groups.
    void EditGroup(const QString &tag);
    // Code 18 "Rooms": lists the rooms of the shown group; no row current.
    void ListRooms(const QString &body);
    // Code 21: shows the result of a room command, then empties the room
    // fields and asks for the rooms of the shown group.
    void EditRooms(const QString &tag);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_3_clicked();
    void on_listGroup_clicked(const QModelIndex &index);
    void on_listGroup_currentRowChanged(int currentRow);
    void on_pushButton_4_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_comboBox_currentIndexChanged(int index);
    void on_comboBox_activated(int index);
    void on_tabWidget_tabBarClicked(int index);
    void on_listRoom_currentRowChanged(int currentRow);
    void on_listRoom_clicked(const QModelIndex &index);
    void on_pushButton_7_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_6_clicked();

private:
    // Empties the room fields, moves the move target to the group and asks
    // for its rooms (id and name of that same group).
    void askRooms(int index);
    void clearFields();
    void showRoom(int row);
    // Id of the group at index of the group lists; empty when none.
    QString groupId(int index) const;
    // Checks of "new room" and "save room"; false after the message.
    bool roomFieldsAccepted();
    // Names, teacher and passwords without the requests' separators; a
    // message otherwise.
    bool roomFieldsFit();
    // The group that rename and delete act on: the current row's id and the
    // name typed for it; a message and false when there is none.
    bool chosenGroup(QString *id, QString *name);
    outgoing::RoomFields roomFields() const;

    Ui::Frm_adRm *ui;
    QStringList idGroups;
    QStringList idRooms;
    QStringList roomRecords;
    QVector<AdminRoom> m_rooms;
    bool filling = false;
    // Set when a change of the group box already asked for its rooms, so the
    // activation that follows it does not ask twice.
    int m_askedByChange = -1;
};
