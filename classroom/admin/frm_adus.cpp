#include "admin/frm_adus.h"

#include "common/hooks.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "ui_frm_adus.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

int Frm_adUs::searchTimeout = 15000;

namespace {

// Minimum length of a search text after trimming.
constexpr int kMinSearchLength = 3;

// Caption colours of the permission boxes; the others keep the default.
const struct
{
    const char *box;
    QRgb colour;
} kBoxColours[] = {
    {"ch_admin_new", qRgb(0, 0, 255)},       {"ch_admin_del", qRgb(0, 0, 255)},
    {"ch_admin_edit", qRgb(0, 0, 255)},      {"ch_co_admin_new", qRgb(170, 0, 0)},
    {"ch_co_admin_del", qRgb(170, 0, 0)},    {"ch_co_admin_edit", qRgb(170, 0, 0)},
    {"ch_usr_info", qRgb(0, 102, 0)},        {"ch_usr_edit", qRgb(0, 102, 0)},
    {"ch_system_stop", qRgb(170, 0, 0)},     {"ch_system_pause", qRgb(170, 0, 0)},
    {"ch_system_play", qRgb(170, 0, 0)},     {"ch_system_msg", qRgb(0, 0, 127)},
    {"ch_pouvoirs_show", qRgb(0, 0, 255)},   {"ch_pouvoirs_new", qRgb(0, 0, 255)},
    {"ch_pouvoirs_del", qRgb(0, 0, 255)},    {"ch_pouvoirs_edit", qRgb(0, 0, 255)},
    {"ch_co_admin_visible", qRgb(255, 0, 0)}, {"ch_co_admin", qRgb(255, 0, 0)},
};

} // namespace

Frm_adUs::Frm_adUs(QWidget *parent)
    : QDialog(parent), ui(new Ui::Frm_adUs), m_searchTimer(new QTimer(this))
{
    ui->setupUi(this);
    ui->tabWidget->setCurrentIndex(0);
    // The group and room boxes share the width of the tab.
    ui->gridLayout_tab->setColumnStretch(0, 1);
    ui->gridLayout_tab->setColumnStretch(1, 1);
    // The ten rows of permission boxes share the box's fixed height evenly
    // (a check box would otherwise keep the height of a text line of the
    // font and give way to the spacing).
    for (QCheckBox *box : ui->groupBox_5->findChildren<QCheckBox *>())
        box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
    for (const auto &entry : kBoxColours) {
        auto *box = findChild<QCheckBox *>(QLatin1String(entry.box));
        QPalette colours = box->palette();
        colours.setColor(QPalette::Active, QPalette::WindowText, QColor(entry.colour));
        colours.setColor(QPalette::Inactive, QPalette::WindowText, QColor(entry.colour));
        colours.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
        box->setPalette(colours);
    }
    m_searchTimer->setSingleShot(true);
    connect(m_searchTimer, &QTimer::timeout, this, [this] { ui->pushButton->setEnabled(true); });
    ui->list_Room->viewport()->installEventFilter(this);
    ui->groupBox_admin->setEnabled(false);
    SendPacket(outgoing::groupListUsers());
    SendPacket(outgoing::permissionSets());
}

Frm_adUs::~Frm_adUs()
{
    delete ui;
    if (frmadus == this)
        frmadus = nullptr;
}

void Frm_adUs::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void Frm_adUs::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmadus == this)
        frmadus = nullptr;
    hooks::deleteWhenIdle(this);
}

bool Frm_adUs::eventFilter(QObject *watched, QEvent *event)
{
    // A press starts a new choice: the click that ends it asks for the room's
    // supervisors unless the change of row has asked already.
    if (watched == ui->list_Room->viewport() && event->type() == QEvent::MouseButtonPress)
        m_askedRoomRow = -1;
    return QDialog::eventFilter(watched, event);
}

// -- groups, rooms and supervisors

void Frm_adUs::ListGroup(const QString &body)
{
    idGroups.clear();
    idRooms.clear();
    ui->list_Room->clear();
    ui->list_moshrif->clear();
    ui->comboBox->clear();
    // The first group added becomes current and asks for its rooms.
    for (const IdName &group : parseIdNameList(body, false)) {
        idGroups << group.id;
        ui->comboBox->addItem(group.name);
    }
}

void Frm_adUs::on_comboBox_currentIndexChanged(int index)
{
    if (index < 0 || index >= idGroups.size())
        return;
    SendPacket(outgoing::roomListUsers(idGroups.at(index), ui->comboBox->itemText(index)));
}

void Frm_adUs::ListRooms(const QString &body)
{
    ui->list_Room->clear();
    idRooms.clear();
    ui->list_moshrif->clear();
    m_askedRoomRow = -1;
    const QVector<IdName> rooms = parseIdNameList(body, true);
    for (const IdName &room : rooms)
        idRooms << room.id;
    for (const IdName &room : rooms)
        ui->list_Room->addItem(room.name);
}

void Frm_adUs::askSupervisors(int row)
{
    if (row < 0 || row >= idRooms.size())
        return;
    m_askedRoomRow = row;
    ui->list_moshrif->clear();
    SendPacket(outgoing::listAdmins(idRooms.at(row)));
}

// The supervisors shown always belong to the current room, however the row
// became current.
void Frm_adUs::on_list_Room_currentRowChanged(int currentRow) { askSupervisors(currentRow); }

void Frm_adUs::on_list_Room_clicked(const QModelIndex &index)
{
    const int row = index.row();
    if (row < 0)
        return;
    if (row == m_askedRoomRow) {
        m_askedRoomRow = -1;
        return;
    }
    askSupervisors(row);
}

void Frm_adUs::ListAdmin(const QString &body)
{
    // A late answer for a room left since would be shown, and acted on, as
    // the supervisors of the room on screen.
    const QString room = body.section(QLatin1Char('|'), 0, 0).trimmed();
    if (room.isEmpty() || room != currentRoomId())
        return;
    ui->list_moshrif->clear();
    ui->list_moshrif->addItems(parseSupervisors(body));
}

void Frm_adUs::clear_moshrif() { ui->list_moshrif->clear(); }

QString Frm_adUs::currentRoomId() const
{
    const int row = ui->list_Room->currentRow();
    return row >= 0 && row < idRooms.size() ? idRooms.at(row) : QString();
}

QString Frm_adUs::currentName(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return list->currentRow() < 0 || !item ? QString() : item->text();
}

void Frm_adUs::sendForRoom(const QListWidget *names,
                           QByteArray (*request)(const QString &, const QString &))
{
    const QString name = currentName(names);
    const QString room = currentRoomId();
    if (!room.isEmpty() && !name.isEmpty())
        SendPacket(request(room, name));
}

void Frm_adUs::on_pushButton_2_clicked() { sendForRoom(ui->list_cherch, &outgoing::addRoomAdmin); }

void Frm_adUs::on_pushButton_8_clicked()
{
    sendForRoom(ui->list_moshrif, &outgoing::deleteRoomAdmin);
}

// -- search

void Frm_adUs::on_pushButton_clicked()
{
    const QString text = ui->lineEdit->text();
    if (text.trimmed().size() < kMinSearchLength) {
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgShort()),
               QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    ui->list_cherch->clear();
    ui->pushButton->setEnabled(false);
    SendPacket(outgoing::searchUsersAdmin(text));
    m_searchTimer->start(searchTimeout);
}

void Frm_adUs::cherch(const QString &body)
{
    m_searchTimer->stop();
    ui->pushButton->setEnabled(true);
    if (!body.isEmpty()) {
        ui->list_cherch->addItems(body.split(QLatin1Char('|')));
        return;
    }
    MsgBox(GeTranslate(MyMessage::Getmsg()), GeTranslate(MyMessage::GeMsgNoUser()),
           QMessageBox::Warning, QMessageBox::Ok);
}

// -- administrators and permissions

QList<QCheckBox *> Frm_adUs::permissionBoxes() const
{
    return {ui->ch_bat,          ui->ch_zowar,           ui->ch_room_new,
            ui->ch_room_edit,    ui->ch_room_del,        ui->ch_group_new,
            ui->ch_group_edit,   ui->ch_group_del,       ui->ch_admin_new,
            ui->ch_admin_del,    ui->ch_admin_edit,      ui->ch_co_admin_new,
            ui->ch_co_admin_del, ui->ch_co_admin_edit,   ui->ch_room_visible,
            ui->ch_usr_info,     ui->ch_usr_edit,        ui->ch_ban,
            ui->ch_banne,        ui->ch_system_stop,     ui->ch_system_pause,
            ui->ch_system_play,  ui->ch_system_msg,      ui->ch_pouvoirs_show,
            ui->ch_pouvoirs_new, ui->ch_pouvoirs_del,    ui->ch_pouvoirs_edit,
            ui->ch_co_admin_visible, ui->ch_co_admin};
}

void Frm_adUs::Clear_Checked()
{
    for (QCheckBox *box : permissionBoxes())
        box->setChecked(false);
}

void Frm_adUs::PermissionsUsr(const QString &body, bool allowed)
{
    ui->list_admin->clear();
    admRecords.clear();
    m_admins.clear();
    Clear_Checked();
    if (!allowed) {
        ui->groupBox_admin->setEnabled(false);
        return;
    }
    ui->groupBox_admin->setEnabled(true);
    m_admins = parseAdminRecords(body);
    for (const AdminRecord &admin : qAsConst(m_admins))
        admRecords << admin.record;
    for (const AdminRecord &admin : qAsConst(m_admins))
        ui->list_admin->addItem(admin.name);
}

void Frm_adUs::showPermissions(int row)
{
    if (row < 0 || row >= m_admins.size())
        return;
    const QList<QCheckBox *> boxes = permissionBoxes();
    const PermissionSet &set = m_admins.at(row).permissions;
    for (int i = 0; i < boxes.size(); ++i)
        boxes.at(i)->setChecked(set[size_t(i)]);
}

// The boxes always show the administrator that a save would write, however
// the row became current.
void Frm_adUs::on_list_admin_currentRowChanged(int currentRow) { showPermissions(currentRow); }

void Frm_adUs::on_list_admin_clicked(const QModelIndex &index) { showPermissions(index.row()); }

void Frm_adUs::on_pushButton_4_clicked()
{
    const QString admin = currentName(ui->list_admin);
    if (admin.isEmpty())
        return;
    PermissionSet values{};
    const QList<QCheckBox *> boxes = permissionBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        values[size_t(i)] = boxes.at(i)->checkState() != Qt::Unchecked;
    if (!SendPacket(outgoing::savePermissions(admin, values)))
        return;
    // Nothing answers a save: the record follows what was saved, so that
    // choosing the administrator again shows it, and a second save keeps it.
    const int row = ui->list_admin->currentRow();
    if (row >= 0 && row < m_admins.size() && row < admRecords.size()) {
        applySavedPermissions(m_admins[row], values);
        admRecords[row] = m_admins.at(row).record;
    }
}

void Frm_adUs::on_pushButton_3_clicked()
{
    const QString member = currentName(ui->list_cherch);
    if (!member.isEmpty())
        SendPacket(outgoing::addAdmin(member));
}

void Frm_adUs::on_pushButton_5_clicked()
{
    const QString admin = currentName(ui->list_admin);
    if (!admin.isEmpty())
        SendPacket(outgoing::deleteAdmin(admin));
}
