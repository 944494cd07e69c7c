#include "rooms/frmgroup.h"

#include "common/hooks.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/frmwait2.h"
#include "ui_frmgroup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QSignalBlocker>
#include <QTableWidgetItem>

namespace {

const QString kLocked = QStringLiteral(" ");

// A password that holds a field or key separator of the entry request would
// shift its fields; no room or supervisor password can hold one.
bool fitsEntryBody(const QString &password)
{
    return !password.contains(QLatin1Char('|')) && !password.contains(QLatin1Char(':'));
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(int(alignment));
    return item;
}

} // namespace

FrmGroup::FrmGroup(QWidget *parent) : QDialog(parent), ui(new Ui_FrmGroup)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);

    actAdmin = new QAction(tr("Login on Admin"), this);
    connect(actAdmin, &QAction::triggered, this, &FrmGroup::menuAdmin);
    actEntre = new QAction(tr("Entre room"), this);
    connect(actEntre, &QAction::triggered, this, &FrmGroup::menuEntre);

    if (logo_Prj && !logo_Prj->isNull())
        ui->Logo->setPixmap(*logo_Prj);
    ui->widget_2->hide();
    QHeaderView *header = ui->table1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(0);
    header->setStretchLastSection(true);
    ui->table1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidths();
    ui->table1->setRowCount(0);

    retireWindow(frmwait2);
}

FrmGroup::~FrmGroup()
{
    delete ui;
    if (frmgrup == this)
        frmgrup = nullptr;
}

void FrmGroup::setColumnWidths()
{
    ui->table1->setColumnWidth(0, 0);
    ui->table1->setColumnWidth(1, 30);
    ui->table1->setColumnWidth(2, 250);
    ui->table1->setColumnWidth(3, 40);
}

void FrmGroup::ClearCombo() { ui->comboBox->clear(); }

void FrmGroup::AddCombo(const QString &name) { ui->comboBox->addItem(name); }

void FrmGroup::ClearList()
{
    ui->table1->clearContents();
    ui->table1->setRowCount(0);
}

void FrmGroup::AddList(const QString &id, const QString &name, const QString &count, int lock)
{
    const int row = ui->table1->rowCount();
    ui->table1->insertRow(row);
    fillRow(row, id, name, count, lock);
}

void FrmGroup::AddList(const QVector<RoomItem> &rooms)
{
    QTableWidget *table = ui->table1;
    const int first = table->rowCount();
    table->setRowCount(first + rooms.size());
    {
        // Told of each cell, the view would work out where each one is
        // drawn; the rows are all new and drawn below.
        const QSignalBlocker quiet(table->model());
        for (int i = 0; i < rooms.size(); ++i) {
            const RoomItem &room = rooms.at(i);
            fillRow(first + i, room.id, room.name, room.count, room.locked);
        }
    }
    table->viewport()->update();
}

void FrmGroup::fillRow(int row, const QString &id, const QString &name, const QString &count,
                       int lock)
{
    static const QIcon lockedIcon(QStringLiteral(":/Resources/icons/lck.png"));
    static const QIcon openIcon(QStringLiteral(":/Resources/icons/nolck.png"));
    QTableWidget *table = ui->table1;
    QFont plain = table->font();
    plain.setBold(false);

    QTableWidgetItem *idCell = cell(id, Qt::AlignCenter);
    idCell->setForeground(Qt::blue);
    idCell->setFont(plain);
    table->setItem(row, 0, idCell);

    const bool locked = lock >= 1;
    QTableWidgetItem *lockCell =
        cell(locked ? kLocked : QString(), Qt::AlignRight | Qt::AlignVCenter);
    lockCell->setIcon(locked ? lockedIcon : openIcon);
    lockCell->setForeground(Qt::blue);
    lockCell->setFont(plain);
    table->setItem(row, 1, lockCell);

    table->setItem(row, 2, cell(name, Qt::AlignCenter));
    table->setItem(row, 3, cell(count, Qt::AlignCenter));
}

void FrmGroup::on_comboBox_currentIndexChanged(int index)
{
    if (index < 0 || index >= groupIds.size())
        return;
    SendPacket(outgoing::roomList(QString::number(groupIds.at(index)),
                                  ui->comboBox->currentText()));
}

void FrmGroup::on_table1_currentCellChanged(int, int, int, int) { setColumnWidths(); }

bool FrmGroup::currentRoom(int *id, bool *locked)
{
    QTableWidget *table = ui->table1;
    const int row = table->currentRow();
    if (table->rowCount() == 0 || row < 0)
        return false;
    // Selected again without moving the current cell (selectRow would move
    // it to a column that right to left can be none, losing the row).
    QItemSelectionModel *selection = table->selectionModel();
    if (!selection->isRowSelected(row, QModelIndex()))
        selection->select(table->model()->index(row, 0),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QTableWidgetItem *idCell = table->item(row, 0);
    const QTableWidgetItem *lockCell = table->item(row, 1);
    bool ok = false;
    *id = idCell ? idCell->text().toInt(&ok) : 0;
    if (!ok)
        *id = 0;
    *locked = lockCell && lockCell->text() == kLocked;
    return true;
}

void FrmGroup::showPassword()
{
    ui->widget_2->show();
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void FrmGroup::on_table1_doubleClicked(const QModelIndex &) { menuEntre(); }

void FrmGroup::menuEntre() { enterChosen(QString()); }

void FrmGroup::enterChosen(const QString &pwdAdmin)
{
    int id = 0;
    bool locked = false;
    if (!currentRoom(&id, &locked))
        return;
    if (locked)
        showPassword(); // the supervisor's password is dropped
    else
        DblClick_MS(id, pwdAdmin, QString());
}

void FrmGroup::menuAdmin()
{
    QPointer<FrmGroup> self(this);
    QInputDialog prompt;
    prompt.setWindowTitle(tr("Password Admin"));
    prompt.setLabelText(tr("Enter Password :"));
    prompt.setTextEchoMode(QLineEdit::Password);
    prompt.setOkButtonText(GeTranslate(MyMessage::GetButtonOk()));
    prompt.setCancelButtonText(GeTranslate(MyMessage::GetButtonCancel()));
    prompt.setLayoutDirection(QApplication::layoutDirection());
    widenForTitle(&prompt);
    const int result = hooks::execModal(&prompt);
    // The chooser may have been replaced while the prompt was open.
    if (hooks::retired(self) || result != QDialog::Accepted)
        return;
    const QString password = prompt.textValue();
    if (!password.isEmpty())
        enterChosen(password);
}

void FrmGroup::on_B1_clicked()
{
    int id = 0;
    bool locked = false;
    if (!currentRoom(&id, &locked))
        return;
    if (locked)
        DblClick_MS(id, QString(), ui->T1->text());
    else
        ui->widget_2->hide();
}

void FrmGroup::on_table1_itemSelectionChanged()
{
    int id = 0;
    bool locked = false;
    if (!currentRoom(&id, &locked))
        return;
    if (locked)
        showPassword();
    else
        ui->widget_2->hide();
}

void FrmGroup::on_table1_customContextMenuRequested(const QPoint &pos)
{
    int id = 0;
    bool locked = false;
    if (!currentRoom(&id, &locked))
        return;
    // Owned by the chooser, which may be deleted while the menu runs.
    QPointer<QMenu> menu = new QMenu(this);
    menu->addAction(actAdmin);
    menu->addSeparator();
    menu->addAction(actEntre);
    QPoint at = pos;
    // Right to left the menu ends at the pointer; left to right it starts there.
    if (QApplication::layoutDirection() == Qt::RightToLeft)
        at.rx() -= menu->sizeHint().width();
    {
        const hooks::NestedLoop loop;
        menu->exec(ui->table1->viewport()->mapToGlobal(at));
    }
    delete menu.data();
}

void FrmGroup::DblClick_MS(int id, const QString &pwdAdmin, const QString &pwdLock)
{
    if (!fitsEntryBody(pwdAdmin) || !fitsEntryBody(pwdLock)) {
        // Such a password cannot be right: refused here as the server would.
        MsgBox(GeTranslate(MyMessage::GeTitle()),
               GeTranslate(fitsEntryBody(pwdAdmin) ? MyMessage::GeErrPassLogin()
                                                   : MyMessage::GeErrPassAdmin()),
               QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    SendPacket(outgoing::enterRoom(QString::number(id), pwdAdmin, pwdLock));
    retireWindow(frmwait2);
    frmwait2 = new FrmWait2(nullptr);
    CenterWidget(frmwait2);
    frmwait2->show();
    hide();
}

void FrmGroup::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmGroup::closeEvent(QCloseEvent *event)
{
    event->accept();
    hide();
    if (frmgrup == this)
        frmgrup = nullptr;
    // Deferred: a slot of the chooser may still be running under a prompt.
    hooks::deleteWhenIdle(this);
}
