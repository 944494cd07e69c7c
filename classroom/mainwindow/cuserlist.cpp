#include "mainwindow/cuserlist.h"

#include "ui_cuserlist.h"

#include <QBrush>
#include <QHeaderView>
#include <QHash>
#include <QIcon>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>
#include <numeric>

namespace {

const QString kNull = QStringLiteral("null");
const QString kCam = QStringLiteral("cam");

QString stripped(const QString &nick)
{
    return nick.startsWith(QLatin1Char('@')) ? nick.mid(1) : nick;
}

// Row text of a user matches nick as itself or with the "@" mark.
bool matches(const QString &text, const QString &nick)
{
    if (text.size() == nick.size())
        return text == nick;
    return text.size() == nick.size() + 1 && text.at(0) == QLatin1Char('@')
        && text.midRef(1) == nick;
}

bool isMic(const QString &state)
{
    return state == QLatin1String("mic") || state == QLatin1String("cam-mic");
}

bool isHand(const QString &state)
{
    return state == QLatin1String("man") || state == QLatin1String("cam-man");
}

// Only the pictures that exist: any other word (the server's) gives no icon
// and never names a path.
QIcon stateIcon(const QString &name)
{
    static QHash<QString, QIcon> icons;
    if (icons.isEmpty()) {
        for (const char *n : {"null", "mic", "mic-n", "man", "red", "cam", "cam-mic", "cam-mic-n",
                              "cam-man", "cam-red"}) {
            const QString word = QLatin1String(n);
            icons.insert(word, QIcon(QStringLiteral(":/Resources/icons/usr/%1.png").arg(word)));
        }
    }
    return icons.value(name);
}

QIcon attendanceIcon(int state)
{
    switch (state) {
    case 0: return QIcon(QStringLiteral(":/Resources/users/ha.png"));
    case 1: return QIcon(QStringLiteral(":/Resources/users/gha.png"));
    case 2: return QIcon(QStringLiteral(":/Resources/users/mo.png"));
    case -1: return QIcon(QStringLiteral(":/Resources/users/null.png"));
    default: return QIcon();
    }
}

struct TypeLook
{
    QIcon icon;
    Qt::GlobalColor color;
};

TypeLook typeLook(int type)
{
    auto picture = [](const char *name) {
        return QIcon(QStringLiteral(":/Resources/users/%1.png").arg(QLatin1String(name)));
    };
    if (type > 0) {
        // Badges are drawn once per cohort; a server sending endless
        // cohorts only costs drawing, not memory.
        static QHash<int, QIcon> badges;
        auto it = badges.constFind(type);
        if (it != badges.constEnd())
            return {it.value(), Qt::blue};
        QIcon badge(CUserList::createPix(QString::number(type)));
        if (badges.size() < 64)
            badges.insert(type, badge);
        return {badge, Qt::blue};
    }
    switch (type) {
    case 0: return {picture("za"), Qt::black};
    case -99: return {picture("ta"), Qt::blue};
    case -100: return {picture("mosh"), Qt::red};
    case -101: return {picture("ostad"), Qt::darkGreen};
    case -102: return {picture("ti"), Qt::darkGreen};
    case -103: return {picture("adm"), Qt::darkGreen};
    case -104: return {picture("idar"), Qt::red};
    default: return {picture("null"), Qt::black};
    }
}

// Position in the order: microphones, raised hands, the rest; within each,
// cameras first.
int rank(const QString &state, bool cam)
{
    const int group = isMic(state) ? 0 : isHand(state) ? 1 : 2;
    return group * 2 + (cam ? 0 : 1);
}

// Draws each nickname isolated in the direction of its own first letter, so
// that it reads in its own order in a list of either direction ("@ostad"
// keeps its mark before the name). Only the drawing changes: the row's text
// stays the nickname.
class NicknameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!option->text.isEmpty())
            option->text = QChar(0x2068) + option->text + QChar(0x2069);
    }
};

} // namespace

CUserList::CUserList(QWidget *parent) : QWidget(parent), ui(new Ui::CUserList)
{
    ui->setupUi(this);
    // Columns 2 to 4 hold the row's state for the code only.
    ui->treeWidget->header()->setMinimumSectionSize(0);
    ui->treeWidget->setItemDelegateForColumn(0, new NicknameDelegate(ui->treeWidget));
    const int widths[] = {200, 53, 0, 0, 0};
    for (int c = 0; c < 5; ++c)
        ui->treeWidget->setColumnWidth(c, widths[c]);
}

CUserList::~CUserList()
{
    delete ui;
}

QPixmap CUserList::createPix(const QString &text)
{
    QPixmap pix(50, 26);
    pix.fill(Qt::transparent);
    QPainter painter(&pix);
    painter.drawPixmap(0, 0, QPixmap(QStringLiteral(":/Resources/users/0.png")));
    QFont font(QStringLiteral("tahoma"));
    font.setPixelSize(11);
    font.setWeight(QFont::Bold);
    painter.setFont(font);
    painter.setPen(Qt::red);
    painter.drawText(QRect(4, 6, 20, 26), Qt::AlignHCenter | Qt::AlignTop, text);
    return pix;
}

int CUserList::findRow(const QString &nick) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (matches(m_rows.at(i).text, nick))
            return i;
    }
    return -1;
}

// True when the row is surely out of sight. Its changes then need not reach
// the view: telling the view makes it measure every row down to this one,
// which in a large room costs more than the change itself. The row is drawn
// from its data when it scrolls in.
bool CUserList::offScreen(int row) const
{
    const QTreeWidget *tree = ui->treeWidget;
    if (!tree->isVisible() || !m_attendance.isEmpty())
        return false;
    if (row < tree->verticalScrollBar()->value())
        return true;
    QTreeWidgetItem *bottom = tree->itemAt(QPoint(0, tree->viewport()->height() - 1));
    return bottom && row > tree->indexOfTopLevelItem(bottom) + 1;
}

void CUserList::AddItem(const QString &nick, int type, bool marked)
{
    RemoveItem(nick);
    const TypeLook look = typeLook(type);
    const QString text = marked ? QLatin1Char('@') + nick : nick;
    // Filled before it joins the tree, so the view hears of it once.
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setForeground(0, QBrush(look.color));
    item->setIcon(0, stateIcon(kNull));
    item->setIcon(1, look.icon);
    item->setText(2, kNull);
    ui->treeWidget->addTopLevelItem(item);
    m_rows.append({item, text, kNull, false});
}

void CUserList::deleteRow(int index)
{
    QTreeWidgetItem *item = m_rows.at(index).item;
    // Its attendance rows go with it, whatever parent name they were given.
    for (int i = m_attendance.size() - 1; i >= 0; --i) {
        if (m_attendance.at(i).item->parent() == item)
            m_attendance.remove(i);
    }
    m_rows.remove(index);
    delete item;
}

void CUserList::RemoveItem(const QString &nick)
{
    const QString name = stripped(nick);
    for (int i = 0; i < m_attendance.size();) {
        if (m_attendance.at(i).parent == name) {
            delete m_attendance.at(i).item;
            m_attendance.remove(i);
            i = 0;
        } else {
            ++i;
        }
    }
    const int row = findRow(name);
    if (row >= 0)
        deleteRow(row);
    recount();
}

void CUserList::ChangeItemImage(const QString &nick, const QString &state)
{
    const int row = findRow(stripped(nick));
    if (row >= 0) {
        Row &r = m_rows[row];
        QString name = state;
        if (r.cam)
            name = state == kNull ? kCam : QStringLiteral("cam-") + state;
        const QSignalBlocker quiet(offScreen(row) ? ui->treeWidget->model() : nullptr);
        r.item->setIcon(0, stateIcon(name));
        r.item->setText(2, state);
        r.state = state;
    }
    Filier();
}

void CUserList::CamItem(const QString &nick, bool on)
{
    const int row = findRow(stripped(nick));
    if (row < 0)
        return;
    Row &r = m_rows[row];
    r.cam = on;
    {
        const QSignalBlocker quiet(offScreen(row) ? ui->treeWidget->model() : nullptr);
        r.item->setText(3, on ? kCam : QString());
    }
    const QString state = r.state;
    ChangeItemImage(nick, state);
}

void CUserList::ClearItem()
{
    m_rows.clear();
    m_attendance.clear();
    ui->treeWidget->clear();
    recount();
}

QString CUserList::SelectedItem() const
{
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    return item ? stripped(item->text(0)) : QString();
}

int CUserList::GetTotalMic() const
{
    return m_mic;
}

void CUserList::recount()
{
    int count = 0;
    for (const Row &r : qAsConst(m_rows))
        count += isMic(r.state);
    m_mic = count;
}

void CUserList::Filier()
{
    const int n = m_rows.size();
    QVector<int> order;
    order.reserve(n);
    bool sorted = true;
    int last = 0;
    QVector<int> ranks(n);
    for (int i = 0; i < n; ++i) {
        ranks[i] = rank(m_rows.at(i).state, m_rows.at(i).cam);
        sorted = sorted && ranks[i] >= last;
        last = ranks[i];
    }
    if (!sorted) {
        for (int k = 0; k < 6; ++k) {
            for (int i = 0; i < n; ++i) {
                if (ranks.at(i) == k)
                    order.append(i);
            }
        }
        applyOrder(order);
    }
    recount();
}

void CUserList::MvChange(int row)
{
    if (row <= 0 || row >= m_rows.size())
        return;
    QVector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::swap(order[row], order[row - 1]);
    applyOrder(order);
}

void CUserList::Mv(int a, int b)
{
    const int to = std::max(std::min(a, b), 0);
    const int from = std::min(std::max(a, b), m_rows.size() - 1);
    if (from <= to)
        return;
    QVector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    order.remove(from);
    order.insert(to, from);
    applyOrder(order);
}

// order[p] is the present index of the row that goes to position p. Only the
// rows outside a longest already-ordered run are taken out and put back, so
// one row changing place costs one move whatever the size of the room.
void CUserList::applyOrder(const QVector<int> &order)
{
    const int n = m_rows.size();
    QVector<int> target(n);
    for (int p = 0; p < n; ++p)
        target[order.at(p)] = p;

    QVector<int> tails, tailAt, previous(n, -1);
    for (int i = 0; i < n; ++i) {
        const int at = int(std::lower_bound(tails.begin(), tails.end(), target.at(i)) - tails.begin());
        if (at > 0)
            previous[i] = tailAt.at(at - 1);
        if (at == tails.size()) {
            tails.append(target.at(i));
            tailAt.append(i);
        } else {
            tails[at] = target.at(i);
            tailAt[at] = i;
        }
    }
    if (tails.size() == n)
        return;
    QVector<bool> stays(n, false);
    for (int i = tailAt.isEmpty() ? -1 : tailAt.last(); i >= 0; i = previous.at(i))
        stays[i] = true;

    QTreeWidget *tree = ui->treeWidget;
    QTreeWidgetItem *current = tree->currentItem();
    const int currentRow = current ? tree->indexOfTopLevelItem(current) : -1;
    const int currentColumn = tree->currentColumn();
    const int scroll = tree->verticalScrollBar()->value();
    // Taking out the current row would make the view select another one.
    if (current)
        tree->selectionModel()->clearCurrentIndex();

    struct Look
    {
        bool selected = false;
        bool expanded = false;
    };
    QVector<Look> looks(n);
    for (int i = n - 1; i >= 0; --i) {
        if (stays.at(i))
            continue;
        QTreeWidgetItem *item = m_rows.at(i).item;
        looks[i] = {item->isSelected(), item->isExpanded()};
        tree->takeTopLevelItem(i);
    }
    QVector<Row> rows(n);
    for (int p = 0; p < n; ++p) {
        const int from = order.at(p);
        rows[p] = m_rows.at(from);
        if (stays.at(from))
            continue;
        tree->insertTopLevelItem(p, rows.at(p).item);
        if (looks.at(from).expanded)
            rows.at(p).item->setExpanded(true);
        if (looks.at(from).selected)
            rows.at(p).item->setSelected(true);
    }
    m_rows = rows;

    // The current row keeps its index; the contents moved under it.
    if (current) {
        QTreeWidgetItem *back = currentRow >= 0 ? tree->topLevelItem(currentRow) : current;
        const bool autoScroll = tree->hasAutoScroll();
        tree->setAutoScroll(false);
        tree->setCurrentItem(back, currentColumn, QItemSelectionModel::NoUpdate);
        tree->setAutoScroll(autoScroll);
    }
    tree->verticalScrollBar()->setValue(scroll);
}

int CUserList::findAttendance(const QString &text, const QString &parent) const
{
    for (int i = 0; i < m_attendance.size(); ++i) {
        const QTreeWidgetItem *item = m_attendance.at(i).item;
        if (item->text(0) == text && item->parent() && matches(item->parent()->text(0), parent))
            return i;
    }
    return -1;
}

void CUserList::AddChild(const QString &text, const QString &parent, int state)
{
    for (const Row &r : qAsConst(m_rows)) {
        if (!matches(r.text, parent))
            continue;
        for (const Attendance &a : qAsConst(m_attendance)) {
            if (a.parent == parent && a.item->text(0) == text)
                return;
        }
        auto *item = new QTreeWidgetItem;
        item->setText(0, text);
        item->setIcon(0, stateIcon(kNull));
        item->setFlags(Qt::ItemIsEnabled);
        item->setIcon(1, attendanceIcon(state));
        item->setText(2, QString::number(state));
        m_attendance.append({item, parent});
        r.item->addChild(item);
    }
}

void CUserList::ChangeChild(const QString &text, const QString &fromParent, const QString &toParent)
{
    const int i = findAttendance(text, fromParent);
    if (i < 0)
        return;
    QTreeWidgetItem *item = m_attendance.at(i).item;
    const int state = item->text(2).toInt();
    m_attendance.remove(i);
    delete item;
    AddChild(text, toParent, state);
}

void CUserList::ChangeChildState(const QString &text, const QString &parent, int state)
{
    const int i = findAttendance(text, parent);
    if (i < 0)
        return;
    QTreeWidgetItem *item = m_attendance.at(i).item;
    item->setText(2, QString::number(state));
    item->setIcon(1, attendanceIcon(state));
}

void CUserList::on_treeWidget_customContextMenuRequested(const QPoint &pos)
{
    emit ContextMenu(ui->treeWidget->viewport()->mapTo(this, pos));
}
