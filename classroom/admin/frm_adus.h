// Administration of room supervisors (first tab) and of the server's
// administrators with their permissions (second tab), with a member search
// shared by both. Every list comes from the server and every change is a
// request to it. One window exists at a time, held in frmadus.
#pragma once

#include "admin/pure/adminlists.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

class QCheckBox;
class QCloseEvent;
class QKeyEvent;
class QModelIndex;
class QListWidget;
class QTimer;

namespace Ui {
class Frm_adUs;
}

class Frm_adUs : public QDialog
{
    Q_OBJECT
public:
    // Time in ms after which a search without an answer frees its button.
    static int searchTimeout;

    // Builds the window and asks for the groups, then the administrators.
    explicit Frm_adUs(QWidget *parent = nullptr);
    ~Frm_adUs() override;

    // Code 22 "Group": lists the groups; the first one asks for its rooms.
    void ListGroup(const QString &body);
    // Code 22 "Rooms": lists the rooms of the chosen group.
    void ListRooms(const QString &body);
    // Code 23: the supervisors of the room that leads the body; shown only
    // when that room is the one on screen.
    void ListAdmin(const QString &body);
    // Id of the room at the current row of the room list; empty when none.
    QString currentRoomId() const;
    // Code 5 "RechercherCo": the members found.
    void cherch(const QString &body);
    void clear_moshrif();
    // Code 28: the administrators and their permission sets; with allowed
    // false the tab is emptied and disabled.
    void PermissionsUsr(const QString &body, bool allowed);

    // The 29 permission boxes in the order of the save body.
    QList<QCheckBox *> permissionBoxes() const;

public slots:
    void Clear_Checked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_comboBox_currentIndexChanged(int index);
    void on_list_Room_clicked(const QModelIndex &index);
    void on_list_Room_currentRowChanged(int currentRow);
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_8_clicked();
    void on_list_admin_clicked(const QModelIndex &index);
    void on_list_admin_currentRowChanged(int currentRow);
    void on_pushButton_3_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_4_clicked();

private:
    void askSupervisors(int row);
    void showPermissions(int row);
    // Text of the list's current row; empty when there is none.
    static QString currentName(const QListWidget *list);
    // Sends the request for the current room and the name current in names,
    // when there are both.
    void sendForRoom(const QListWidget *names,
                     QByteArray (*request)(const QString &, const QString &));

    Ui::Frm_adUs *ui;
    QStringList idGroups;
    QStringList idRooms;
    QStringList admRecords;
    QVector<AdminRecord> m_admins;
    QTimer *m_searchTimer;
    // Room row whose supervisors were asked for since the last mouse press.
    int m_askedRoomRow = -1;
};
