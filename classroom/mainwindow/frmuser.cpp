#include "mainwindow/frmuser.h"

#include "admin/frm_adrm.h"
#include "admin/frm_adus.h"
#include "common/hooks.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/windowlists.h"
#include "protocol/helpers.h"
#include "protocol/imtihan.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/frmbat.h"
#include "rooms/frmroom.h"
#include "ui_frmuser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QScopedPointer>
#include <QStatusBar>
#include <QTcpSocket>
#include <QTimer>

int FrmUser::keepAlivePeriod = 30000;

namespace {

const QColor kBlockedColor(QStringLiteral("#C0C0C0"));
// Ticks in a row without a keep-alive from the server; shared by successive
// main windows.
int keepAliveMisses = 0;
constexpr int kMaxMisses = 3;

bool socketUnconnected()
{
    return !sck || sck->socket()->state() == QAbstractSocket::UnconnectedState;
}

QAction *makeAction(QWidget *parent, const QString &icon, const QString &text)
{
    auto *action = new QAction(text, parent);
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    return action;
}

void showPlaceholderBox(const QString &text)
{
    QMessageBox box(QMessageBox::Information, QString(), text, QMessageBox::Ok);
    hooks::execModal(&box);
}

// Every room and private-message window of the login.
void closeConversationWindows()
{
    closeWindowList(frmRooms);
    closeWindowList(frmPMs);
}

} // namespace

FrmUser::FrmUser(QWidget *parent) : QWidget(parent), ui(new Ui::FrmUser)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());

    paintFormBackground(this);

    m_statusBar = new QStatusBar;
    ui->gridLayout->addWidget(m_statusBar, 1, 0);
    m_menuBar = new QMenuBar(this);
    ui->gridLayout->setMenuBar(m_menuBar);

    m_actFind = makeAction(this, QStringLiteral(":/Resources/icons/Search.png"), tr("Find User"));
    m_actEdit = makeAction(this, QStringLiteral(":/Resources/icons/edit.png"), tr("Edit Data"));
    m_actRoom = makeAction(this, QStringLiteral(":/Resources/icons/rooms.png"), tr("Entre Room"));
    m_actImtihan = makeAction(this, QStringLiteral(":/Resources/icons/Sheet_of_paper.png"),
                              tr("Program Imtihan"));
    m_actExit = makeAction(this, QString(), tr("Exit"));
    m_actAdminGR = makeAction(this, QStringLiteral(":/Resources/icons/rooms.png"),
                              tr("Admin Groups Rooms"));
    m_actAdminUsers = makeAction(this, QStringLiteral(":/Resources/icons/users.png"),
                                 tr("Admin Users"));
    m_actAdminServer = makeAction(this, QStringLiteral(":/Resources/icons/server.png"),
                                  tr("Admin Server"));
    m_actAdminMsg = makeAction(this, QStringLiteral(":/Resources/icons/msg1.png"),
                               tr("Admin Msg System"));
    m_actBat = makeAction(this, QString(), tr("Live Bat"));
    connect(m_actExit, &QAction::triggered, this, &FrmUser::MenuExit);
    connect(m_actFind, &QAction::triggered, this, &FrmUser::MenuFind);
    connect(m_actRoom, &QAction::triggered, this, &FrmUser::MenuRoom);
    connect(m_actEdit, &QAction::triggered, this, &FrmUser::MenuEdit);
    connect(m_actAdminMsg, &QAction::triggered, this, &FrmUser::MenuAdminMsg);
    connect(m_actAdminServer, &QAction::triggered, this, &FrmUser::MenuAdminServer);
    connect(m_actImtihan, &QAction::triggered, this, &FrmUser::MenuImtihan);
    connect(m_actAdminGR, &QAction::triggered, this, &FrmUser::MenuAdminGR);
    connect(m_actAdminUsers, &QAction::triggered, this, &FrmUser::MenuAdminUsers);
    connect(m_actBat, &QAction::triggered, this, &FrmUser::MenuBat);

    m_menuFile = m_menuBar->addMenu(tr("File"));
    m_menuFile->addAction(m_actFind);
    m_menuFile->addAction(m_actEdit);
    m_menuFile->addSeparator();
    m_menuFile->addAction(m_actRoom);
    m_menuFile->addAction(m_actImtihan);
    m_menuFile->addSeparator();
    m_menuFile->addAction(m_actExit);

    if (indexLang == 0)
        QApplication::setLayoutDirection(Qt::RightToLeft);

    m_statusPrefix = tr("user on line :");
    m_statusBar->showMessage(m_statusPrefix);

    onlineGroup()->setExpanded(true);
    offlineGroup()->setExpanded(true);

    m_actSendMsg = new QAction(tr("SendMsg"), this);
    m_actSendFile = new QAction(tr("SendFile"), this);
    m_actBlock = new QAction(tr("BlockUser"), this);
    m_actUnBlock = new QAction(tr("UnBlockUser"), this);
    m_actDel = new QAction(tr("DelUser"), this);
    m_actSendFile->setEnabled(false);
    connect(m_actSendMsg, &QAction::triggered, this, &FrmUser::menuMsg);
    connect(m_actSendFile, &QAction::triggered, this, &FrmUser::menuSend);
    connect(m_actBlock, &QAction::triggered, this, &FrmUser::menuBlock);
    connect(m_actUnBlock, &QAction::triggered, this, &FrmUser::menuUnBlock);
    connect(m_actDel, &QAction::triggered, this, &FrmUser::menuDel);

    PacketTst = false;
    m_keepAlive = new QTimer(this);
    connect(m_keepAlive, &QTimer::timeout, this, &FrmUser::time_out);
    m_keepAlive->start(keepAlivePeriod);

    ui->treeWidget->headerItem()->setIcon(0, QIcon(QStringLiteral(":/Resources/Os/mac3.png")));

    // Where the menu bar is not the system's it takes room inside the window,
    // which then grows by what its contents need beyond the form's height.
    ensurePolished();
    const int needed = minimumSizeHint().height();
    if (needed > height())
        setFixedHeight(needed);

    SendPacket(outgoing::keepAlive());
}

FrmUser::~FrmUser()
{
    delete ui;
    if (frmusr == this)
        frmusr = nullptr;
}

FrmUser *FrmUser::replaceMainWindow()
{
    if (frmusr)
        frmusr->retire();
    frmusr = new FrmUser(nullptr);
    return frmusr;
}

void FrmUser::retire()
{
    m_keepAlive->stop();
    hide();
    if (frmusr == this)
        frmusr = nullptr;
    hooks::deleteWhenIdle(this);
}

void FrmUser::closeEvent(QCloseEvent *event)
{
    CloseSocket();
    hooks::quit();
    event->accept();
}

QTreeWidgetItem *FrmUser::onlineGroup() const { return ui->treeWidget->topLevelItem(0); }

QTreeWidgetItem *FrmUser::offlineGroup() const { return ui->treeWidget->topLevelItem(1); }

void FrmUser::setUSER(const QString &nick) { ui->treeWidget->headerItem()->setText(0, nick); }

QString FrmUser::getUSER() const { return ui->treeWidget->headerItem()->text(0); }

void FrmUser::setLa(const QString &text)
{
    m_statusBar->showMessage(m_statusPrefix + QLatin1Char(' ') + text);
}

void FrmUser::ChangeLogo()
{
    if (logo_Prj)
        ui->Logo->setPixmap(*logo_Prj);
}

void FrmUser::AddUsr(const QString &nick, int online)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, nick);
    item->setData(0, BlockedRole, false);
    if (online != 0) {
        item->setIcon(0, QIcon(QStringLiteral(":/Resources/Os/win.png")));
        onlineGroup()->addChild(item);
    } else {
        item->setIcon(0, QIcon(QStringLiteral(":/Resources/Os/null.png")));
        offlineGroup()->addChild(item);
    }
}

QTreeWidgetItem *FrmUser::findContact(const QString &nick) const
{
    for (QTreeWidgetItem *group : {onlineGroup(), offlineGroup()})
        for (int i = 0; i < group->childCount(); ++i)
            if (group->child(i)->text(0) == nick)
                return group->child(i);
    return nullptr;
}

void FrmUser::RemoveUsr(const QString &nick) { delete findContact(nick); }

bool FrmUser::Find(const QString &nick) const { return findContact(nick) != nullptr; }

void FrmUser::BlockUsr(const QString &nick, bool blocked)
{
    QTreeWidgetItem *item = findContact(nick);
    if (!item)
        return;
    item->setData(0, BlockedRole, blocked);
    item->setData(0, Qt::ForegroundRole, blocked ? QVariant(QBrush(kBlockedColor)) : QVariant());
}

bool FrmUser::isBlocked(const QString &nick) const
{
    const QTreeWidgetItem *item = findContact(nick);
    return item && item->data(0, BlockedRole).toBool();
}

void FrmUser::SetAdmin(bool on)
{
    if (on && !m_menuAdmin) {
        m_menuAdmin = m_menuBar->addMenu(tr("Admin"));
        m_menuAdmin->addAction(m_actAdminGR);
        m_menuAdmin->addAction(m_actAdminUsers);
        m_menuAdmin->addSeparator();
        m_menuAdmin->addAction(m_actAdminServer);
        m_menuAdmin->addAction(m_actAdminMsg);
    } else if (!on && m_menuAdmin) {
        withdrawMenu(m_menuAdmin);
    }
}

void FrmUser::SetBat(bool on)
{
    if (on && !m_menuBat) {
        m_menuBat = m_menuBar->addMenu(tr("Bat"));
        m_menuBat->addAction(m_actBat);
    } else if (!on && m_menuBat) {
        withdrawMenu(m_menuBat);
    }
}

void FrmUser::withdrawMenu(QMenu *&menu)
{
    // One of its entries may be running a box: the menu leaves the bar now
    // and is deleted once no box or menu runs.
    m_menuBar->removeAction(menu->menuAction());
    menu->hide();
    hooks::deleteWhenIdle(menu);
    menu = nullptr;
}

void FrmUser::msgRec() {}

QString FrmUser::currentContact() const
{
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    if (!item || !item->parent() || !item->isSelected())
        return QString();
    return item->text(0);
}

QString FrmUser::menuContact() const
{
    if (!m_menuRuns)
        return currentContact();
    return findContact(m_menuContact) ? m_menuContact : QString();
}

QMenu *FrmUser::contactMenu()
{
    QTreeWidgetItem *item = ui->treeWidget->currentItem();
    if (!item || !item->parent() || !item->isSelected())
        return nullptr;
    auto *menu = new QMenu(this);
    menu->addAction(m_actSendMsg);
    menu->addAction(m_actSendFile);
    menu->addSeparator();
    menu->addAction(item->data(0, BlockedRole).toBool() ? m_actUnBlock : m_actBlock);
    menu->addSeparator();
    menu->addAction(m_actDel);
    return menu;
}

void FrmUser::on_treeWidget_customContextMenuRequested(const QPoint &pos)
{
    // A login that replaces this window while the menu runs deletes it once
    // the menu has ended.
    QScopedPointer<QMenu> menu(contactMenu());
    if (!menu)
        return;
    QPoint at = pos;
    if (QApplication::layoutDirection() == Qt::RightToLeft)
        at.rx() -= menu->width();
    else
        at.rx() -= menu->widthMM();
    // The entries act on this contact, whatever row becomes current while
    // the menu runs.
    m_menuContact = currentContact();
    m_menuRuns = true;
    const hooks::NestedLoop loop;
    menu->exec(ui->treeWidget->mapToGlobal(at));
    m_menuRuns = false;
}

void FrmUser::on_treeWidget_itemSelectionChanged()
{
    QTreeWidgetItem *item = ui->treeWidget->currentItem();
    if (item && !item->parent())
        item->setSelected(false);
}

void FrmUser::menuMsg()
{
    const QString nick = menuContact();
    if (!nick.isEmpty())
        openPM(nick);
}

void FrmUser::menuSend() {}

void FrmUser::menuBlock()
{
    const QString nick = menuContact();
    if (!nick.isEmpty())
        SendPacket(outgoing::blockContact(nick));
}

void FrmUser::menuUnBlock()
{
    const QString nick = menuContact();
    if (!nick.isEmpty())
        SendPacket(outgoing::unblockContact(nick));
}

void FrmUser::menuDel()
{
    const QString nick = menuContact();
    if (!nick.isEmpty())
        SendPacket(outgoing::deleteContact(nick));
}

void FrmUser::on_Brooms_clicked() { SendPacket(outgoing::groupList()); }

void FrmUser::MenuRoom() { on_Brooms_clicked(); }

void FrmUser::MenuBat()
{
    ChannelRoom = 0;
    openFrmBat();
}

void FrmUser::openSearch()
{
    openCentred(frmserr);
}

void FrmUser::on_Bsearch_clicked() { openSearch(); }

void FrmUser::MenuFind() { openSearch(); }

void FrmUser::on_pushButton_3_clicked() { close(); }

void FrmUser::MenuExit() { close(); }

void FrmUser::MenuEdit() { showPlaceholderBox(QStringLiteral("MenuEdit")); }

void FrmUser::MenuAdminMsg() { showPlaceholderBox(QStringLiteral("MenuAdminMsg")); }

void FrmUser::MenuAdminServer() { showPlaceholderBox(QStringLiteral("MenuAdminServer")); }

void FrmUser::MenuImtihan()
{
    if (type_user != 0)
        runImtihan();
}

void FrmUser::on_Bimtihan_clicked() { MenuImtihan(); }

void FrmUser::MenuAdminGR()
{
    openCentred(frmadrm);
}

void FrmUser::MenuAdminUsers()
{
    openCentred(frmadus);
}

void FrmUser::time_out()
{
    if (socketUnconnected())
        return;
    if (!PacketTst) {
        keepAliveMisses = 0;
        PacketTst = true;
        return;
    }
    ++keepAliveMisses;
    if (keepAliveMisses < kMaxMisses) {
        SendPacket(outgoing::keepAlive());
        return;
    }
    keepAliveMisses = 0;
    declareConnectionLost();
}

void FrmUser::declareConnectionLost()
{
    m_keepAlive->stop();
    sck->socket()->close();
    CloseSocket();
    closeConversationWindows();
    // This window may be replaced and deleted while the box is open: nothing
    // of it is used after the box.
    MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgSabib()),
           QMessageBox::Warning, QMessageBox::Ok);
    hooks::quit();
}

void askToAddContact(const QString &nick)
{
    const QString title = GeTranslate(MyMessage::GeTitle());
    if (frmusr && nick == frmusr->getUSER()) {
        MsgBox(title, GeTranslate(MyMessage::GeMsgNoAddMe()), QMessageBox::Warning,
               QMessageBox::Ok);
        return;
    }
    if (frmusr && frmusr->Find(nick)) {
        MsgBox(title, GeTranslate(MyMessage::GeMsgUsrDeja()), QMessageBox::Warning,
               QMessageBox::Ok);
        return;
    }
    if (MsgBox(title, GeTranslate(MyMessage::GeMsgAddUsrLst()), QMessageBox::Information,
               QMessageBox::Yes, QMessageBox::No)
        != QMessageBox::No)
        SendPacket(outgoing::addContact(nick));
}
