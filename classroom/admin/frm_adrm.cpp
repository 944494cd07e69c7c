#include "admin/frm_adrm.h"

#include "admin/pure/typedfields.h"
#include "common/hooks.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "ui_frm_adrm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QPointer>

#include <initializer_list>
#include <utility>

namespace {

void showMessage(const char *key, QMessageBox::Icon icon = QMessageBox::Information)
{
    MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(key), icon, QMessageBox::Ok);
}

using TagTable = std::initializer_list<std::pair<const char *, const char *>>;

// The message key of a result tag, or null.
const char *resultKey(const QString &tag, const TagTable &table)
{
    for (const auto &row : table)
        if (tag == QLatin1String(row.first))
            return row.second;
    return nullptr;
}

// Whole numbers from bottom to top; a number above top is refused as typed,
// not kept as an unfinished entry.
class RangeValidator : public QIntValidator
{
public:
    RangeValidator(int bottom, int top, QObject *parent) : QIntValidator(bottom, top, parent) {}
    State validate(QString &input, int &pos) const override
    {
        const State state = QIntValidator::validate(input, pos);
        bool ok = false;
        if (state == Intermediate && input.toInt(&ok) > top() && ok)
            return Invalid;
        return state;
    }
};

bool anyBreaksFields(const QStringList &texts)
{
    for (const QString &text : texts)
        if (breaksFields(text))
            return true;
    return false;
}

} // namespace

Frm_adRm::Frm_adRm(QWidget *parent) : QDialog(parent), ui(new Ui::Frm_adRm)
{
    ui->setupUi(this);
    ui->tabWidget->setCurrentIndex(0);
    setWindowFlags(Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::CustomizeWindowHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
    ui->tabWidget->setCurrentIndex(0);
    ui->T_max->setValidator(new RangeValidator(0, 1000, this));
    on_pushButton_3_clicked();
}

Frm_adRm::~Frm_adRm()
{
    delete ui;
    if (frmadrm == this)
        frmadrm = nullptr;
}

void Frm_adRm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void Frm_adRm::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (frmadrm == this)
        frmadrm = nullptr;
    hooks::deleteWhenIdle(this);
}

// -- groups

void Frm_adRm::on_pushButton_3_clicked() { SendPacket(outgoing::groupListAdmin()); }

void Frm_adRm::ListGroup(const QString &body)
{
    filling = true;
    idGroups.clear();
    idRooms.clear();
    roomRecords.clear();
    m_rooms.clear();
    ui->listGroup->clear();
    ui->listRoom->clear();
    ui->comboBox->clear();
    ui->comboBox2->clear();
    clearFields();
    for (const IdName &group : parseIdNameList(body, false)) {
        idGroups << group.id;
        ui->listGroup->addItem(group.name);
        ui->comboBox->addItem(group.name);
        ui->comboBox2->addItem(group.name);
    }
    filling = false;
    m_askedByChange = -1;
}

void Frm_adRm::on_listGroup_clicked(const QModelIndex &)
{
    if (ui->listGroup->count() > 0)
        on_listGroup_currentRowChanged(ui->listGroup->currentRow());
}

// The name box always shows the group that the commands act on, however
// the row became current.
void Frm_adRm::on_listGroup_currentRowChanged(int currentRow)
{
    if (filling)
        return;
    const QListWidgetItem *item = ui->listGroup->item(currentRow);
    ui->T2->setText(item ? item->text() : QString());
}

void Frm_adRm::on_pushButton_4_clicked()
{
    const QString name = ui->T1->text();
    if (name.trimmed().isEmpty()) {
        showMessage(MyMessage::GeMsgNoChoixGroup());
        return;
    }
    if (breaksFields(name)) {
        showMessage(MyMessage::GeMsgSeparatorChar(), QMessageBox::Warning);
        return;
    }
    SendPacket(outgoing::newGroup(name));
}

bool Frm_adRm::chosenGroup(QString *id, QString *name)
{
    *name = ui->T2->text();
    const int row = ui->listGroup->currentRow();
    if (name->trimmed().isEmpty() || row < 0 || row >= idGroups.size()) {
        showMessage(MyMessage::GeMsgNoChoixGroup());
        return false;
    }
    if (breaksFields(*name)) {
        showMessage(MyMessage::GeMsgSeparatorChar(), QMessageBox::Warning);
        return false;
    }
    *id = idGroups.at(row);
    return true;
}

void Frm_adRm::on_pushButton_clicked()
{
    QString id, name;
    if (chosenGroup(&id, &name))
        SendPacket(outgoing::editGroup(id, name));
}

void Frm_adRm::on_pushButton_2_clicked()
{
    QString id, name;
    if (chosenGroup(&id, &name))
        SendPacket(outgoing::deleteGroup(id, name));
}

void Frm_adRm::EditGroup(const QString &tag)
{
    const char *key = resultKey(tag, {{"Edit_Group", MyMessage::GeMsgEditGroup()},
                                      {"Del_Group", MyMessage::GeMsgDelGroup()},
                                      {"New_Group", MyMessage::GeMsgNewGroup()},
                                      {"No_DelGroup", MyMessage::GeMsgNoDelGroup()},
                                      {"Group_deja", MyMessage::GeMsgGroupDeja()}});
    if (key) {
        // The window may be closed while the box is open.
        QPointer<Frm_adRm> self(this);
        showMessage(key);
        if (hooks::retired(self))
            return;
    }
    on_pushButton_3_clicked();
}

// -- rooms

QString Frm_adRm::groupId(int index) const
{
    return index >= 0 && index < idGroups.size() ? idGroups.at(index) : QString();
}

void Frm_adRm::clearFields()
{
    ui->T1->clear();
    ui->T2->clear();
    ui->T_affiche->clear();
    ui->T_max->clear();
    ui->T_ownar->clear();
    ui->T_pass->clear();
    ui->T_pass2->clear();
    ui->T_room->clear();
}

void Frm_adRm::askRooms(int index)
{
    clearFields();
    ui->comboBox2->setCurrentIndex(index);
    if (index >= 0 && index < idGroups.size())
        SendPacket(outgoing::roomListAdmin(idGroups.at(index), ui->comboBox->itemText(index)));
}

void Frm_adRm::on_comboBox_currentIndexChanged(int index)
{
    if (index == -1 || filling)
        return;
    m_askedByChange = index;
    askRooms(index);
}

void Frm_adRm::on_comboBox_activated(int index)
{
    // A choice that changed the group has asked already.
    if (index == m_askedByChange) {
        m_askedByChange = -1;
        return;
    }
    m_askedByChange = -1;
    if (index == -1 || filling)
        return;
    askRooms(index);
}

void Frm_adRm::on_tabWidget_tabBarClicked(int index)
{
    if (index != 1)
        return;
    if (idGroups.isEmpty()) {
        clearFields();
        return;
    }
    askRooms(0);
}

void Frm_adRm::ListRooms(const QString &body)
{
    ui->listRoom->clear();
    idRooms.clear();
    roomRecords.clear();
    m_rooms.clear();
    m_rooms = parseAdminRooms(body);
    // Rows are added with the records already known, so that a row made
    // current meanwhile finds its record.
    for (const AdminRoom &room : qAsConst(m_rooms)) {
        idRooms << room.id;
        roomRecords << room.record;
    }
    for (const AdminRoom &room : qAsConst(m_rooms))
        ui->listRoom->addItem(room.name);
    ui->listRoom->setCurrentRow(-1);
}

void Frm_adRm::showRoom(int row)
{
    if (row < 0 || row >= m_rooms.size())
        return;
    const AdminRoom &room = m_rooms.at(row);
    ui->T_room->setText(ui->listRoom->item(row) ? ui->listRoom->item(row)->text() : room.name);
    ui->T_pass->setText(room.password);
    ui->T_pass2->setText(room.adminPassword);
    ui->T_ownar->setText(room.owner);
    ui->T_max->setText(room.maximum);
    ui->T_affiche->setPlainText(room.banner);
}

void Frm_adRm::on_listRoom_currentRowChanged(int currentRow) { showRoom(currentRow); }

void Frm_adRm::on_listRoom_clicked(const QModelIndex &)
{
    if (ui->listRoom->count() > 0)
        showRoom(ui->listRoom->currentRow());
}

void Frm_adRm::on_pushButton_7_clicked()
{
    const int row = ui->listRoom->currentRow();
    if (row < 0 || row >= idRooms.size())
        return;
    SendPacket(outgoing::deleteRoom(idRooms.at(row)));
}

void Frm_adRm::on_pushButton_5_clicked()
{
    const int row = ui->listRoom->currentRow();
    const QString target = groupId(ui->comboBox2->currentIndex());
    if (row < 0 || row >= idRooms.size() || target.isEmpty())
        return;
    SendPacket(outgoing::moveRoom(idRooms.at(row), target));
}

bool Frm_adRm::roomFieldsAccepted()
{
    if (ui->T_room->text().trimmed().isEmpty()) {
        showMessage(MyMessage::GeMsgNoChoixRoom());
        return false;
    }
    if (groupId(ui->comboBox->currentIndex()).isEmpty()) {
        showMessage(MyMessage::GeMsgNoChoixGrRoom());
        return false;
    }
    return true;
}

bool Frm_adRm::roomFieldsFit()
{
    if (!anyBreaksFields({ui->T_room->text(), ui->T_ownar->text(), ui->T_pass->text(),
                          ui->T_pass2->text()}))
        return true;
    showMessage(MyMessage::GeMsgSeparatorChar(), QMessageBox::Warning);
    return false;
}

outgoing::RoomFields Frm_adRm::roomFields() const
{
    return {groupId(ui->comboBox->currentIndex()),
            ui->T_room->text(),
            ui->T_ownar->text(),
            ui->T_max->text(),
            ui->T_affiche->toPlainText(),
            ui->T_pass->text(),
            ui->T_pass2->text()};
}

void Frm_adRm::on_pushButton_8_clicked()
{
    if (!roomFieldsAccepted())
        return;
    if (!roomFieldsFit())
        return;
    if (ui->T_max->text().toInt() == 0)
        ui->T_max->setText(QStringLiteral("200"));
    SendPacket(outgoing::newRoom(roomFields()));
}

void Frm_adRm::on_pushButton_6_clicked()
{
    if (!roomFieldsAccepted())
        return;
    const int row = ui->listRoom->currentRow();
    if (row < 0 || row >= idRooms.size())
        return;
    if (!roomFieldsFit())
        return;
    SendPacket(outgoing::editRoom(idRooms.at(row), roomFields()));
}

void Frm_adRm::EditRooms(const QString &tag)
{
    const char *key = resultKey(tag, {{"New_Room", MyMessage::GeMsgNewRoom()},
                                      {"Move_Room", MyMessage::GeMsgMoveRoom()},
                                      {"Edit_Room", MyMessage::GeMsgEditRoom()},
                                      {"Del_Room", MyMessage::GeMsgDelRoom()},
                                      {"No_Owner", MyMessage::GeMsgNoOwner()},
                                      {"Room_deja", MyMessage::GeMsgRoomdeja()}});
    if (key) {
        QPointer<Frm_adRm> self(this);
        showMessage(key);
        if (hooks::retired(self))
            return;
    }
    const int index = ui->comboBox->currentIndex();
    if (index != -1 && !filling)
        askRooms(index);
}
