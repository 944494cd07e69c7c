// The main window after login: the own nickname, the contact tree with its
// online and offline groups, the menus, the status bar and the keep-alive
// watchdog that ends a dead login.
#pragma once

#include <QString>
#include <QWidget>

class QAction;
class QCloseEvent;
class QMenu;
class QMenuBar;
class QPoint;
class QStatusBar;
class QTimer;
class QTreeWidgetItem;

namespace Ui {
class FrmUser;
}

class FrmUser : public QWidget
{
    Q_OBJECT
public:
    // The window made at program start (hidden, before any login) and the one
    // made at each accepted login are built alike; the caller stores it in
    // frmusr. It sends one keep-alive and starts the watchdog.
    explicit FrmUser(QWidget *parent = nullptr);
    ~FrmUser() override;

    // Item data of a contact: true while it is blocked.
    static constexpr int BlockedRole = Qt::UserRole;

    // Period of the keep-alive watchdog in ms, read when a window is made.
    static int keepAlivePeriod;

    // Replaces the main window at a login: the window in frmusr stops its
    // watchdog, hides and is deleted once no box or menu runs (a slot of it
    // may still be running under one); a new window is made and stored in frmusr.
    // The caller centres and shows it.
    static FrmUser *replaceMainWindow();

    // The own nickname is the header item's text.
    void setUSER(const QString &nick);
    QString getUSER() const;
    // Status bar: the online caption, a space, then text.
    void setLa(const QString &text);
    // Shows the chosen entry's logo (logo_Prj).
    void ChangeLogo();

    // Contacts. A nickname is looked up in the online group first, then in the
    // offline group; the first exact match counts.
    void AddUsr(const QString &nick, int online);
    void RemoveUsr(const QString &nick);
    bool Find(const QString &nick) const;
    void BlockUsr(const QString &nick, bool blocked);
    bool isBlocked(const QString &nick) const;

    // Permission menus; true adds the menu once, false removes it.
    void SetAdmin(bool on);
    void SetBat(bool on);
    void msgRec();

    // The contact menu for the tree's current item, a child of the window
    // owned by the caller; null when no menu is offered.
    QMenu *contactMenu();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void time_out();
    void on_Bsearch_clicked();
    void on_pushButton_3_clicked();
    void on_Brooms_clicked();
    void on_treeWidget_itemSelectionChanged();
    void on_treeWidget_customContextMenuRequested(const QPoint &pos);
    void menuMsg();
    void menuSend();
    void menuBlock();
    void menuUnBlock();
    void menuDel();
    void MenuExit();
    void MenuRoom();
    void MenuBat();
    void MenuFind();
    void MenuEdit();
    void MenuImtihan();
    void MenuAdminGR();
    void MenuAdminMsg();
    void MenuAdminServer();
    void MenuAdminUsers();
    void on_Bimtihan_clicked();

private:
    QTreeWidgetItem *onlineGroup() const;
    QTreeWidgetItem *offlineGroup() const;
    QTreeWidgetItem *findContact(const QString &nick) const;
    void withdrawMenu(QMenu *&menu);
    // Nickname of the selected contact, empty when a group or nothing is current.
    QString currentContact() const;
    // The contact the menu's entries act on: the one the menu was opened for
    // while it runs (empty once that contact has left the list), else the
    // selected one.
    QString menuContact() const;
    void retire();
    void openSearch();
    void declareConnectionLost();

    Ui::FrmUser *ui;
    QStatusBar *m_statusBar;
    QString m_statusPrefix;
    QString m_menuContact;
    bool m_menuRuns = false;
    QAction *m_actSendMsg;
    QAction *m_actSendFile;
    QAction *m_actBlock;
    QAction *m_actUnBlock;
    QAction *m_actDel;
    QTimer *m_keepAlive;
    QMenuBar *m_menuBar;
    QMenu *m_menuFile;
    QMenu *m_menuAdmin = nullptr;
    QMenu *m_menuBat = nullptr;
    QAction *m_actFind;
    QAction *m_actEdit;
    QAction *m_actRoom;
    QAction *m_actImtihan;
    QAction *m_actExit;
    QAction *m_actAdminGR;
    QAction *m_actAdminUsers;
    QAction *m_actAdminServer;
    QAction *m_actAdminMsg;
    QAction *m_actBat;
};

// Asks the server to add nick to the own contacts, after the checks and the
// question: never oneself, never a user already listed. The caller may be
// gone once the question is answered; only the nickname is used.
void askToAddContact(const QString &nick);
