#include "support/textsize.h"

#include "common/fonts.h"

#include <QAbstractItemView>
#include <functional>
#include <QApplication>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTableView>
#include <QTextBlock>
#include <QTextDocument>
#include <QAbstractTextDocumentLayout>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QWidget>

namespace {

// Rows of an item view looked at; the forms show far fewer.
constexpr int kRowsLooked = 200;

// The title bar of openbox's default theme, as measured on screen: the
// window icon, the iconify, maximise and close buttons and the gaps between.
constexpr int kTitleBarDecoration = 124;

QString nameOf(const QWidget *w)
{
    return (w->objectName().isEmpty() ? QStringLiteral("(unnamed)") : w->objectName())
           + QStringLiteral(" (") + QLatin1String(w->metaObject()->className())
           + QLatin1Char(')');
}

int pixelsOf(const QFont &font) { return QFontInfo(font).pixelSize(); }

// Pixels of a font of the document as its layout draws it: at the resolution
// of the layout's own device when it has one.
int pixelsIn(const QTextDocument &doc, const QFont &font)
{
    const QPaintDevice *device = doc.documentLayout()->paintDevice();
    return device ? QFontInfo(QFont(font, device)).pixelSize() : pixelsOf(font);
}

// The smallest size that rich text sets inside a document, in pixels; 0 when
// it sets none.
int smallestRichSize(const QTextDocument &doc)
{
    int smallest = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.text().trimmed().isEmpty())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::FontPointSize)
                && !format.hasProperty(QTextFormat::FontPixelSize))
                continue;
            const int px = pixelsIn(doc, format.font().resolve(doc.defaultFont()));
            if (smallest == 0 || px < smallest)
                smallest = px;
        }
    }
    return smallest;
}

int smallestRichSize(const QString &text, const QFont &font)
{
    if (!Qt::mightBeRichText(text))
        return 0;
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setHtml(text);
    return smallestRichSize(doc);
}

void addSmall(QStringList &out, const QWidget *w, const QString &what, int px)
{
    if (px > 0 && px < kMinTextPixels)
        out << nameOf(w) + QLatin1Char(' ') + what + QStringLiteral(": %1 px").arg(px);
}

void itemViewFonts(QStringList &out, const QAbstractItemView *view)
{
    const QAbstractItemModel *model = view->model();
    if (!model)
        return;
    const auto *table = qobject_cast<const QTableView *>(view);
    auto columnShown = [&](int column) {
        if (const auto *tree = qobject_cast<const QTreeView *>(view))
            return !tree->isColumnHidden(column) && tree->columnWidth(column) > 0;
        if (table)
            return !table->isColumnHidden(column) && table->columnWidth(column) > 0;
        return column == 0;
    };
    std::function<void(const QModelIndex &, int)> rows = [&](const QModelIndex &parent,
                                                             int budget) {
        const int count = qMin(model->rowCount(parent), budget);
        for (int row = 0; row < count; ++row) {
            for (int column = 0; column < model->columnCount(parent); ++column) {
                if (!columnShown(column))
                    continue;
                const QModelIndex index = model->index(row, column, parent);
                const QVariant font = index.data(Qt::FontRole);
                if (font.isValid())
                    addSmall(out, view, QStringLiteral("cell %1,%2").arg(row).arg(column),
                             pixelsOf(qvariant_cast<QFont>(font)));
                if (column == 0 && model->hasChildren(index))
                    rows(index, budget);
            }
        }
    };
    rows(QModelIndex(), kRowsLooked);
    const QHeaderView *header = nullptr;
    if (const auto *tree = qobject_cast<const QTreeView *>(view))
        header = tree->header();
    else if (table)
        header = table->horizontalHeader();
    if (!header || !header->isVisibleTo(view))
        return;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (!columnShown(column))
            continue;
        const QVariant font = model->headerData(column, Qt::Horizontal, Qt::FontRole);
        if (font.isValid())
            addSmall(out, view, QStringLiteral("header %1").arg(column),
                     pixelsOf(qvariant_cast<QFont>(font)));
    }
}

QList<QWidget *> visibleWidgets(QWidget *window)
{
    QList<QWidget *> out;
    if (window->isVisible())
        out << window;
    for (QWidget *w : window->findChildren<QWidget *>())
        if (w->isVisibleTo(window) && w->isVisible())
            out << w;
    return out;
}

QString plainCaption(QString text)
{
    // A single "&" marks a mnemonic and is not drawn; "&&" draws one.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

void addCut(QStringList &out, const QWidget *w, const QString &text, QSize needs, QSize has)
{
    if (needs.width() <= has.width() && needs.height() <= has.height())
        return;
    out << nameOf(w) + QStringLiteral(" \"") + text
               + QStringLiteral("\": needs %1 x %2, has %3 x %4")
                     .arg(needs.width())
                     .arg(needs.height())
                     .arg(has.width())
                     .arg(has.height());
}

// Height of the letters of text as drawn, without the font's empty lines.
int inkHeight(const QFontMetrics &metrics, const QString &text)
{
    return metrics.tightBoundingRect(plainCaption(text)).height();
}

// The part of a widget that its box (a parent that does not scroll) shows:
// the rest is cut off by the box's edge.
QSize shownSize(const QWidget *w)
{
    const QWidget *box = w->parentWidget();
    if (!box || w->isWindow() || qobject_cast<const QAbstractScrollArea *>(box->parentWidget()))
        return w->size();
    return (box->rect() & w->geometry()).size();
}

void pushButtonFits(QStringList &out, QPushButton *b)
{
    const QString text = plainCaption(b->text());
    if (text.isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(b);
    option.text = b->text();
    option.icon = b->icon();
    option.iconSize = b->iconSize();
    if (b->isFlat())
        option.features |= QStyleOptionButton::Flat;
    if (b->menu())
        option.features |= QStyleOptionButton::HasMenu;
    const QRect contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
    int needs = b->fontMetrics().horizontalAdvance(text);
    if (!b->icon().isNull())
        needs += b->iconSize().width() + 4;
    // The height of a line is the face's, far above its letters: only the
    // width decides whether a caption is cut.
    addCut(out, b, text, QSize(needs, 0), contents.size());
}

// Columns of the label's contents in which its text leaves ink: where a
// picture of it with the text differs from one without.
std::pair<int, int> inkColumns(QLabel *label)
{
    const QString text = label->text();
    const QImage with = label->grab().toImage();
    label->setText(QString());
    const QImage without = label->grab().toImage();
    label->setText(text);
    int first = -1, last = -1;
    for (int x = 0; x < with.width() && x < without.width(); ++x) {
        for (int y = 0; y < with.height() && y < without.height(); ++y) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

void labelFits(QStringList &out, QLabel *label)
{
    if (label->text().isEmpty() || label->pixmap() || label->movie())
        return;
    const QRect room = label->contentsRect();
    if (label->wordWrap()) {
        const int needs = label->heightForWidth(label->width());
        addCut(out, label, label->text(), QSize(0, needs), QSize(0, label->height()));
        return;
    }
    if (label->textFormat() == Qt::PlainText
        || (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()))) {
        int width = 0;
        for (const QString &line : label->text().split(QLatin1Char('\n')))
            width = qMax(width, label->fontMetrics().horizontalAdvance(line));
        addCut(out, label, label->text(), QSize(width, 0), room.size());
        return;
    }
    // Rich text is laid out by its document: what it draws tells whether it
    // fits. Text that runs to an edge of the room is cut there.
    const auto ink = inkColumns(label);
    if (ink.first >= 0 && (ink.first <= room.left() || ink.second >= room.right()))
        out << nameOf(label) + QStringLiteral(" \"") + label->text()
                   + QStringLiteral("\": drawn from column %1 to %2 of %3 to %4")
                         .arg(ink.first)
                         .arg(ink.second)
                         .arg(room.left())
                         .arg(room.right());
}

void groupTitleFits(QStringList &out, QGroupBox *box)
{
    const QString title = plainCaption(box->title());
    if (title.trimmed().isEmpty())
        return;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const int needs = box->fontMetrics().horizontalAdvance(title);
    addCut(out, box, title, QSize(needs, 0),
           QSize((label & box->rect()).width(), 0));
}

} // namespace

QStringList smallTexts(QWidget *window)
{
    QStringList out;
    for (QWidget *w : visibleWidgets(window)) {
        addSmall(out, w, QStringLiteral("font"), pixelsOf(w->font()));
        if (auto *view = qobject_cast<QAbstractItemView *>(w))
            itemViewFonts(out, view);
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->textFormat() != Qt::PlainText)
                addSmall(out, w, QStringLiteral("rich text"),
                         smallestRichSize(label->text(), label->font()));
        }
        if (auto *edit = qobject_cast<QTextEdit *>(w)) {
            const QTextDocument &doc = *edit->document();
            addSmall(out, w, QStringLiteral("document"), smallestRichSize(doc));
            // What is typed next takes the format at the cursor.
            if (!edit->isReadOnly())
                addSmall(out, w, QStringLiteral("typing"),
                         pixelsIn(doc, edit->currentCharFormat().font().resolve(doc.defaultFont())));
        }
        if (!w->toolTip().isEmpty())
            addSmall(out, w, QStringLiteral("tool tip"),
                     smallestRichSize(w->toolTip(), QToolTip::font()));
    }
    return out;
}

QStringList cutTexts(QWidget *window)
{
    QStringList out;
    for (QWidget *w : visibleWidgets(window)) {
        if (auto *b = qobject_cast<QPushButton *>(w)) {
            pushButtonFits(out, b);
        } else if (auto *t = qobject_cast<QToolButton *>(w)) {
            if (t->toolButtonStyle() != Qt::ToolButtonIconOnly && !t->text().isEmpty())
                addCut(out, t, t->text(), QSize(t->sizeHint().width(), 0), QSize(t->width(), 0));
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
            auto *a = static_cast<QAbstractButton *>(w);
            if (!a->text().isEmpty())
                addCut(out, a, a->text(),
                       QSize(a->sizeHint().width(), inkHeight(a->fontMetrics(), a->text())),
                       shownSize(a));
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            labelFits(out, label);
        } else if (auto *box = qobject_cast<QGroupBox *>(w)) {
            groupTitleFits(out, box);
        }
    }
    return out;
}

int titleBarWidthFor(QWidget *window)
{
    QFont bold = window->font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + kTitleBarDecoration;
}

QStringList cutTitle(QWidget *window)
{
    const int needed = titleBarWidthFor(window);
    if (window->width() >= needed)
        return {};
    return {QStringLiteral("title \"%1\" needs %2, the box is %3 wide")
                .arg(window->windowTitle())
                .arg(needed)
                .arg(window->width())};
}
