#include "mainwindow/cuserlist.h"

#include "ui_cuserlist.h"

#include "common/celldirection.h"

#include <QBrush>
#include <QHeaderView>
#include <QHash>
#include <QIcon>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>

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
// cameras first. Three stable passes (cameras, then hands, then microphones
// to the top) give the list sorted stably by this rank.
int rankOf(const QString &state, bool cam)
{
    const int group = isMic(state) ? 0 : isHand(state) ? 1 : 2;
    return group * 2 + (cam ? 0 : 1);
}

constexpr int kLastRank = 5;

QString iconName(const QString &state, bool cam)
{
    if (!cam)
        return state;
    return state == kNull ? kCam : QStringLiteral("cam-") + state;
}

// While it lives, the view does not draw, nor work out what to draw, for
// a change of the selection; it is drawn whole afterwards. (Blocking the
// selection's signals instead would leave the items' own selected marks
// behind.)
class UpdatesOff
{
public:
    explicit UpdatesOff(QWidget *widget)
        : m_widget(widget && widget->updatesEnabled() ? widget : nullptr)
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesOff()
    {
        if (m_widget)
            m_widget->setUpdatesEnabled(true);
    }
    UpdatesOff(const UpdatesOff &) = delete;
    UpdatesOff &operator=(const UpdatesOff &) = delete;

private:
    QWidget *m_widget;
};

} // namespace

CUserList::CUserList(QWidget *parent)
    : QWidget(parent), ui(new Ui::CUserList), m_turn(new QTimer(this))
{
    ui->setupUi(this);
    // Columns 2 to 4 hold the row's state for the code only.
    ui->treeWidget->header()->setMinimumSectionSize(0);
    ui->treeWidget->setItemDelegateForColumn(0, new IsolatingDelegate(ui->treeWidget));
    const int widths[] = {200, 53, 0, 0, 0};
    for (int c = 0; c < 5; ++c)
        ui->treeWidget->setColumnWidth(c, widths[c]);
    m_turn->setSingleShot(true);
    m_turn->setInterval(0);
    connect(m_turn, &QTimer::timeout, this, [this] {
        m_relayoutDue = false;
        m_shifted = 0;
    });
}

CUserList::~CUserList()
{
    qDeleteAll(m_rows);
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

CUserList::Row *CUserList::find(const QString &nick) const
{
    Row *first = nullptr;
    for (const QString &text : {nick, QLatin1Char('@') + nick}) {
        for (auto it = m_byText.constFind(text); it != m_byText.cend() && it.key() == text; ++it) {
            if (!first || it.value()->pos < first->pos)
                first = it.value();
        }
    }
    return first;
}

QVector<CUserList::Row *> CUserList::rowsOf(const QString &nick) const
{
    QVector<Row *> rows = m_byText.values(nick).toVector()
                          + m_byText.values(QLatin1Char('@') + nick).toVector();
    std::sort(rows.begin(), rows.end(), [](const Row *a, const Row *b) { return a->pos < b->pos; });
    return rows;
}

// True when the nickname surely takes one line beside the state icon: such
// rows are all as high as each other.
bool CUserList::fitsOneLine(const QString &text) const
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return false;
    }
    const QTreeWidget *tree = ui->treeWidget;
    // Less the margins of the icon and of the text, with some to spare.
    const int room = tree->columnWidth(0) - tree->iconSize().width() - 30;
    return text.size() <= room && tree->fontMetrics().horizontalAdvance(text) <= room;
}

// True when the row is surely out of sight. Its changes then need not reach
// the view: telling the view makes it measure every row down to this one,
// which in a large room costs more than the change itself. The row is drawn
// from its data when it scrolls in.
bool CUserList::offScreen(int pos) const
{
    const QTreeWidget *tree = ui->treeWidget;
    if (!tree->isVisible() || !m_attendance.isEmpty())
        return false;
    if (pos < tree->verticalScrollBar()->value())
        return true;
    const QModelIndex bottom = tree->indexAt(
        QPoint(tree->columnViewportPosition(0) + 1, tree->viewport()->height() - 1));
    return bottom.isValid() && !bottom.parent().isValid() && pos > bottom.row() + 1;
}

void CUserList::turnStarted()
{
    if (!m_turn->isActive())
        m_turn->start();
}

void CUserList::renumber(int first, int last)
{
    for (int p = std::max(first, 0); p <= last && p < m_rows.size(); ++p)
        m_rows.at(p)->pos = p;
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
    auto *row = new Row{text, kNull, false, kLastRank, fitsOneLine(text), int(m_rows.size())};
    m_rows.append(row);
    m_items.append(item);
    m_byText.insert(text, row);
    ++m_ranks[kLastRank];
    m_tall += !row->oneLine;
    // The new row is last and of the last rank: the order holds.
    m_relayoutDue = true;
    turnStarted();
}

void CUserList::deleteRow(int pos)
{
    QTreeWidgetItem *item = m_items.at(pos);
    Row *row = m_rows.at(pos);
    // Its attendance rows go with it, whatever parent name they were given.
    for (int i = m_attendance.size() - 1; i >= 0; --i) {
        if (m_attendance.at(i).item->parent() == item)
            m_attendance.remove(i);
    }
    m_byText.remove(row->text, row);
    --m_ranks[row->rank];
    m_tall -= !row->oneLine;
    m_rows.remove(pos);
    m_items.remove(pos);
    renumber(pos, m_rows.size() - 1);
    delete row;
    delete item;
    m_relayoutDue = true;
    turnStarted();
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
    if (Row *row = find(name))
        deleteRow(row->pos);
}

void CUserList::ChangeItemImage(const QString &nick, const QString &state)
{
    if (Row *row = find(stripped(nick)))
        setState(row, state, row->cam);
    else
        Filier();
}

void CUserList::CamItem(const QString &nick, bool on)
{
    if (Row *row = find(stripped(nick)))
        setState(row, row->state, on);
}

// Writes the row's state word, camera mark and icon, then moves the row to
// its place in the order.
void CUserList::setState(Row *row, const QString &state, bool cam)
{
    const int from = row->pos;
    const int rank = rankOf(state, cam);
    --m_ranks[row->rank];
    ++m_ranks[rank];
    row->rank = rank;
    row->state = state;
    row->cam = cam;
    // In a sorted list the row goes after the rows of lower ranks and among
    // those of its own rank where it stands, which keeps every group in the
    // order it had.
    int to = from;
    if (m_sorted) {
        int first = 0;
        for (int r = 0; r < rank; ++r)
            first += m_ranks[r];
        const int last = first + m_ranks[rank] - 1;
        to = std::min(std::max(from, first), last);
    }
    {
        // A row that moves reaches the view with its move.
        QAbstractItemModel *model = ui->treeWidget->model();
        const bool quiet = to != from || m_relayoutDue || offScreen(from);
        const QSignalBlocker blocker(quiet ? model : nullptr);
        QTreeWidgetItem *item = m_items.at(from);
        item->setIcon(0, stateIcon(iconName(state, cam)));
        item->setText(2, state);
        item->setText(3, cam ? kCam : QString());
    }
    if (m_sorted)
        moveRow(from, to);
    else
        Filier();
}

void CUserList::ClearItem()
{
    m_attendance.clear();
    m_items.clear();
    m_byText.clear();
    qDeleteAll(m_rows);
    m_rows.clear();
    std::fill(std::begin(m_ranks), std::end(m_ranks), 0);
    m_tall = 0;
    m_sorted = true;
    ui->treeWidget->clear();
    m_relayoutDue = true;
    turnStarted();
}

QString CUserList::SelectedItem() const
{
    const QTreeWidgetItem *item = ui->treeWidget->currentItem();
    return item ? stripped(item->text(0)) : QString();
}

int CUserList::GetTotalMic() const
{
    return m_ranks[0] + m_ranks[1];
}

void CUserList::Filier()
{
    if (m_sorted)
        return;
    // Three stable passes, each bringing its rows to the top in their order.
    const auto pass = [this](auto test) {
        int k = 0;
        for (int p = 0; p < m_rows.size(); ++p) {
            if (test(m_rows.at(p))) {
                moveRow(p, k);
                ++k;
            }
        }
    };
    pass([](const Row *r) { return r->cam; });
    pass([](const Row *r) { return isHand(r->state); });
    pass([](const Row *r) { return isMic(r->state); });
    m_sorted = true;
}

void CUserList::MvChange(int row)
{
    if (row <= 0 || row >= m_rows.size())
        return;
    moveRow(row, row - 1);
}

void CUserList::Mv(int a, int b)
{
    const int to = std::max(std::min(a, b), 0);
    const int from = std::min(std::max(a, b), int(m_rows.size()) - 1);
    if (from > to)
        moveRow(from, to);
}

// Shows the row at from at index to; the rows between shift by one.
void CUserList::moveRow(int from, int to)
{
    if (from == to)
        return;
    const int low = std::min(from, to), high = std::max(from, to);
    bool shift = !m_relayoutDue && m_attendance.isEmpty()
                 && m_shifted + high - low + 1 <= std::max(int(m_rows.size()), 64);
    // Only rows of one height may trade contents under the view's measures.
    for (int p = low; shift && m_tall > 0 && p <= high; ++p)
        shift = m_rows.at(p)->oneLine;
    if (shift) {
        m_shifted += high - low + 1;
        shiftContents(from, to);
    } else {
        reinsert(from, to);
        m_relayoutDue = true;
    }
    turnStarted();
    // A move by the order keeps the order; any other may break it.
    if (m_sorted) {
        const int rank = m_rows.at(to)->rank;
        m_sorted = (to == 0 || m_rows.at(to - 1)->rank <= rank)
                   && (to == m_rows.size() - 1 || rank <= m_rows.at(to + 1)->rank);
    }
}

// The items stay in place and trade contents; the current row keeps its
// index and the selection goes with the contents.
void CUserList::shiftContents(int from, int to)
{
    QTreeWidget *tree = ui->treeWidget;
    m_scratch = *m_items.at(from);
    if (from > to) {
        for (int p = from; p > to; --p)
            *m_items.at(p) = *m_items.at(p - 1);
    } else {
        for (int p = from; p < to; ++p)
            *m_items.at(p) = *m_items.at(p + 1);
    }
    *m_items.at(to) = m_scratch;
    m_rows.move(from, to);
    const int low = std::min(from, to), high = std::max(from, to);
    renumber(low, high);

    QItemSelectionModel *selection = tree->selectionModel();
    QVector<int> selected;
    for (const QModelIndex &index : selection->selectedIndexes()) {
        if (!index.parent().isValid() && index.row() >= low && index.row() <= high
            && !selected.contains(index.row()))
            selected << index.row();
    }
    if (!selected.isEmpty()) {
        const QAbstractItemModel *model = tree->model();
        const int lastColumn = model->columnCount() - 1;
        QItemSelection before, after;
        for (int p : selected) {
            const int moved = p == from ? to : from > to ? p + 1 : p - 1;
            before.select(model->index(p, 0), model->index(p, lastColumn));
            after.select(model->index(moved, 0), model->index(moved, lastColumn));
        }
        // Drawn with the rest below; drawn here, each row would be measured
        // down from the top of the view.
        const UpdatesOff off(tree);
        selection->select(before, QItemSelectionModel::Deselect);
        selection->select(after, QItemSelectionModel::Select);
    }
    tree->viewport()->update();
}

// The item itself moves. The view lays out every row again at the next turn
// of the event loop, however many rows move before it.
void CUserList::reinsert(int from, int to)
{
    QTreeWidget *tree = ui->treeWidget;
    QItemSelectionModel *selection = tree->selectionModel();
    QAbstractItemModel *model = tree->model();
    QTreeWidgetItem *current = tree->currentItem();
    const QModelIndex currentIndex = tree->currentIndex();
    const int currentRow = currentIndex.isValid() && !currentIndex.parent().isValid()
                               ? currentIndex.row()
                               : -1;
    const int scroll = tree->verticalScrollBar()->value();
    // The view hears nothing of the current row moving here: it would lay
    // out every row at once to draw it, and draws everything with its next
    // layout anyway. Taking out the current row would make it choose another.
    if (current) {
        const QSignalBlocker quiet(selection);
        selection->clearCurrentIndex();
    }
    QTreeWidgetItem *item = m_items.at(from);
    const bool selected = selection->isSelected(model->index(from, 0));
    const bool expanded = item->isExpanded();
    {
        const UpdatesOff off(selected ? tree : nullptr);
        tree->takeTopLevelItem(from);
        tree->insertTopLevelItem(to, item);
        if (selected)
            selection->select(model->index(to, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (expanded)
        item->setExpanded(true);
    m_items.move(from, to);
    m_rows.move(from, to);
    renumber(std::min(from, to), std::max(from, to));

    // The current row keeps its index; the contents moved under it.
    if (current) {
        QTreeWidgetItem *back = currentRow >= 0 ? m_items.at(currentRow) : current;
        const QSignalBlocker quiet(selection);
        tree->setCurrentItem(back, currentIndex.column(), QItemSelectionModel::NoUpdate);
    }
    if (tree->verticalScrollBar()->value() != scroll)
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
    for (const Row *r : rowsOf(parent)) {
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
        m_items.at(r->pos)->addChild(item);
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
