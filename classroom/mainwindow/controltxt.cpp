#include "mainwindow/controltxt.h"

#include "common/hooks.h"
#include "common/webaddress.h"
#include "common/webprint.h"
#include "mainwindow/chatpage.h"
#include "mainwindow/pure/chattemplates.h"
#include "mainwindow/pure/htmlsanitizer.h"
#include "protocol/helpers.h"
#include "protocol/state.h"
#include "ui_controltxt.h"

#include <QApplication>
#include <QBitmap>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>
#include <QWebFrame>
#include <QWebView>

QSettings *savestr = new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                   QStringLiteral("Dastrel"), QStringLiteral("Settings"));

namespace {

// What insertTxt lets through: the bounds of a received line, with room for
// the engine's own way of writing what TestHtm let through.
constexpr MarkupBounds kShownBounds{kLineBounds.text, kLineBounds.elements,
                                    kLineBounds.output * 4};
// Longest sender name shown; a longer name is cut and never joins a box.
constexpr int kMaxNameShown = 256;

// A background colour that stands for none: white, and black as the store
// keeps "none".
bool isNoBackground(const QColor &colour)
{
    return !colour.isValid() || colour == QColor(Qt::white) || colour == QColor(Qt::black);
}

// Address of a file that the institute's web endpoint serves for the page:
// below the entry's web path, or below the configured base while no entry
// gave one; an empty text when neither is a web address.
QString endpointFile(const QString &file)
{
    if (!path_web.isEmpty()) {
        const QUrl url = endpointPage(file);
        return url.isEmpty() ? QString() : url.toString();
    }
    if (!isWebAddress(GethttpServer))
        return QString();
    const QUrl url = QUrl(GethttpServer, QUrl::TolerantMode).resolved(QUrl(file));
    return isWebAddress(url.toString()) ? url.toString() : QString();
}

// The blank document of the input box.
QString blankInput()
{
    const QString ht = QStringLiteral(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
        "\"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
        "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
        "p, li { white-space: pre-wrap; }\n</style></head>"
        "<body style=\" $$$$$$$$ font-style:normal;\">\n"
        "<p dir='rtl' style=\"-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; "
        "margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;\"><br /></p>"
        "</body></html>");
    QString input = ht;
    return input.replace(QStringLiteral("$$$$$$$$"),
                         QStringLiteral("font-family:'Droid Arabic Kufi';font-size:10pt;"
                                        "font-weight:bold;"));
}

QColor brushColour(const QBrush &brush, const QColor &none)
{
    return brush.style() == Qt::NoBrush ? none : brush.color();
}

} // namespace

QPixmap changecolor(const QPixmap &pixmap, const QColor &color)
{
    const QImage source = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage image(source.size(), QImage::Format_RGB16);
    const QRgb magenta = qRgb(0xff, 0x00, 0xff);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            const QRgb rgb = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
            image.setPixel(x, y, rgb == magenta ? color.rgb() : rgb);
        }
    QPixmap result = QPixmap::fromImage(image);
    if (!pixmap.isNull())
        result.setMask(pixmap.mask());
    return result;
}

ControlTxt::ControlTxt(QWidget *parent)
    : QWidget(parent), ui(new Ui::ControlTxt)
{
    webParse = new ChatPage(ChatPage::Role::Parse, this);
    ui->setupUi(this);
    // The actions first: the input's slots follow its format into them.
    toolBar = new QToolBar(ui->Bar);
    toolBar->setStyleSheet(QStringLiteral("border-style: none;"));
    auto *barLayout = new QHBoxLayout(ui->Bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->addWidget(toolBar);
    auto addStyleAction = [this](const char *key, const char *icon, bool checkable,
                                 void (ControlTxt::*slot)()) {
        QAction *action = toolBar->addAction(
            QIcon(QLatin1String(":/Resources/icons/") + QLatin1String(icon)), tr(key));
        action->setObjectName(QLatin1String(key));
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    actBold = addStyleAction("Bold", "B.png", true, &ControlTxt::bbb);
    actItalic = addStyleAction("Italic", "I.png", true, &ControlTxt::iii);
    actUnderline = addStyleAction("Underline", "U.png", true, &ControlTxt::uuu);
    toolBar->addSeparator();
    actSize1 = addStyleAction("Size1", "a1.png", true, &ControlTxt::sizeA1);
    actSize2 = addStyleAction("Size2", "a2.png", true, &ControlTxt::sizeA2);
    actSize3 = addStyleAction("Size3", "a3.png", true, &ControlTxt::sizeA3);
    actSize2->setChecked(true);
    toolBar->addSeparator();
    actForeground = addStyleAction("Foreground", "coA.png", false, &ControlTxt::colorF);
    actBackground = addStyleAction("Background", "coB.png", false, &ControlTxt::colorB);
    // A drop-down button of three commands that do nothing yet.
    auto *actMenu = new QMenu(toolBar);
    for (const char *key : {"ACT1", "ACT2", "ACT3"}) {
        QAction *act = actMenu->addAction(QIcon(), tr(key));
        act->setObjectName(QLatin1String(key));
        actList << act;
    }
    ACT1 = actList.at(0);
    ACT2 = actList.at(1);
    ACT3 = actList.at(2);
    auto *actButton = new QToolButton(toolBar);
    actButton->setObjectName(QStringLiteral("actButton"));
    actButton->setPopupMode(QToolButton::MenuButtonPopup);
    // Room for the arrow part, which the bar's button style would draw over
    // the caption.
    actButton->setStyleSheet(QStringLiteral("QToolButton { padding-right: 14px; }"));
    actButton->setMenu(actMenu);
    actButton->setDefaultAction(ACT3);
    toolBar->addWidget(actButton);

    auto addContextAction = [this](const char *name, const char *key, const char *icon,
                                   void (ControlTxt::*slot)()) {
        auto *action = new QAction(tr(key), this);
        action->setObjectName(QLatin1String(name));
        if (icon)
            action->setIcon(QIcon(QLatin1String(":/Resources/icons/") + QLatin1String(icon)));
        if (slot)
            connect(action, &QAction::triggered, this, slot);
        return action;
    };
    actCopy = addContextAction("viewCopy", "copy", "copy.png", &ControlTxt::menucopy);
    actSave = addContextAction("save", "save", "save.png", &ControlTxt::menusave);
    actClear = addContextAction("delText", "del text", "clear.png", &ControlTxt::menuclear);
    actStop = addContextAction("stopText", "stop text", nullptr, nullptr);
    actStop->setCheckable(true);
    connect(actStop, &QAction::toggled, this, &ControlTxt::menustop);
    actCopy2 = addContextAction("inputCopy", "copy", "copy.png", &ControlTxt::menu2copy);
    actCut = addContextAction("cut", "cut", "cut.png", &ControlTxt::menu2cut);
    actPaste = addContextAction("paste", "paste", "paste.png", &ControlTxt::menu2paste);

    htmInput = blankInput();

    webPrint = new QWebView(this);
    webPrint->setPage(new ChatPage(ChatPage::Role::Print, webPrint));
    webPrint->hide();

    ui->Web->setPage(new ChatPage(ChatPage::Role::View, ui->Web));
    htmPage = chatPageBegin(endpointFile(QStringLiteral("chat/list.css")),
                            QApplication::layoutDirection() == Qt::RightToLeft);
    QStringList scripts{QStringLiteral("qrc:/Resources/images/chat.js")};
    const QString endpointScript = endpointFile(QStringLiteral("chat/chat.js"));
    if (!endpointScript.isEmpty())
        scripts << endpointScript;
    htmPage += chatPageEnd(scripts);
    loadPage();

    ui->T1->setAcceptRichText(false);
    ui->T1->setAcceptDrops(false);
    ui->T1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->T1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->T1->setFont(QFont(QStringLiteral("Droid Arabic Kufi"), 10));

    ChangeTitre(titre, owner);

    ui->T1->setHtml(htmInput);
    loadcoltxt();
    testcolor();
}

ControlTxt::~ControlTxt()
{
    Savecoltxt();
    delete ui;
}

QWebFrame *ControlTxt::frame() const { return ui->Web->page()->mainFrame(); }

void ControlTxt::loadPage()
{
    ui->Web->setHtml(htmPage, QUrl());
    m_container = frame()->findFirstElement(QStringLiteral("div.messagecontainer"));
    m_group = QWebElement();
    m_groupSize = 0;
    m_insert = QWebElement();
    m_lines = QWebElement();
    m_userSpan = QWebElement();
    m_pending.clear();
}

MarkupTokens ControlTxt::markupTokens()
{
    return ::markupTokens([](const char *key) { return tr(key); });
}

void ControlTxt::ChangeTitre(const QString &title, const QString &ownerName)
{
    QWebElement header = frame()->findFirstElement(QStringLiteral("div[id=headerChatWho]"));
    if (header.isNull())
        return;
    titre = title;
    owner = ownerName;
    header.setOuterXml(
        titleHeader(title, ownerName, tr("Owner"), markupTokens(), truncationMarker()));
    separateDirectionRuns(frame()->findFirstElement(QStringLiteral("div[id=headerChatWho]")));
}

QString ControlTxt::truncationMarker() const
{
    // Isolated in the direction of its own words, whatever the line's.
    return QLatin1String("<span class=\"truncated\" dir=\"auto\">")
           + escapeHtml(tr("[Message too long, the rest was cut]")) + QLatin1String("</span>");
}

void ControlTxt::ClearText()
{
    loadPage();
    ChangeTitre(titre, owner);
}

QString ControlTxt::timeNow() const
{
    return hooks::now().toString(QStringLiteral("HH:mm:ss"));
}

int ControlTxt::insertTxt(const QString &user, const QString &text, int type)
{
    QWebFrame *f = frame();
    const int maximum = f->scrollBarMaximum(Qt::Vertical);
    const int value = f->scrollBarValue(Qt::Vertical);

    // A line that TestHtm cut comes with the marker, which is ours.
    const QString marker = truncationMarker();
    const bool marked = text.endsWith(marker);
    bool cut = false;
    QString safe = sanitizeHtml(marked ? text.left(text.size() - marker.size()) : text,
                                MarkupProfile::Line, kShownBounds, &cut);
    if (marked || cut)
        safe += marker;
    QString timeText = timeNow();
    QString shown = safe;
    switch (type) {
    case OwnLine: timeText = pendingMarker(); break;
    case WhisperLine:
        shown = QLatin1String("<b><i><font color='#800000'>") + escapeHtml(tr("Start Wisbar"))
                + QLatin1String("</font><br><font color='#000000'>") + safe
                + QLatin1String("</font><br><font color='#800000'>") + escapeHtml(tr("End Wisbar"))
                + QLatin1String("</font></i></b>");
        break;
    case WhisperSent:
        timeText.clear();
        shown = QLatin1String("<font color='#800000'>") + escapeHtml(tr("Send Wisbar"))
                + QLatin1String("</font>");
        break;
    default: break;
    }

    int id = 0;
    if (!m_container.isNull()) {
        QWebElement timeCell;
        // A line joins the last box when that box's name, as the page holds
        // it, reads the sender's name: a name that the page writes with
        // entities (&, <, >) never joins.
        if (!m_insert.isNull() && m_userSpan.toInnerXml() == user + QLatin1String(" :")) {
            if (m_lines.isNull() || m_linesSize >= kLinesPerGroup) {
                m_insert.prependOutside(lineGroup());
                m_lines = m_insert.previousSibling();
                m_linesSize = 0;
            }
            m_lines.appendInside(joinedLine(timeText, shown));
            ++m_linesSize;
            separateDirectionRuns(m_lines);
            // The text may hold blocks that split the paragraph: the cell is
            // the group's last, and the group is small.
            timeCell = m_lines.findAll(QStringLiteral("span.messagetime")).last();
        } else {
            if (m_group.isNull() || m_groupSize >= kBoxesPerGroup) {
                m_container.appendInside(messageGroup());
                m_group = m_container.lastChild();
                m_groupSize = 0;
            }
            const QString shownUser = user.size() > kMaxNameShown
                                          ? user.left(kMaxNameShown) + QChar(0x2026)
                                          : user;
            m_group.appendInside(messageBox(shownUser, timeText, shown));
            ++m_groupSize;
            const QWebElement box = m_group.lastChild();
            separateDirectionRuns(box);
            m_insert = box.findFirst(QStringLiteral("div[id=insert]"));
            m_lines = QWebElement();
            m_userSpan = box.findFirst(QStringLiteral("span.user"));
            timeCell = box.findFirst(QStringLiteral("span.messagetime"));
        }
        if (type == OwnLine) {
            id = ++m_nextId;
            m_pending.insert(id, timeCell);
        }
    }

    // Lay the page out now (no event loop: nothing may re-enter meanwhile).
    f->evaluateJavaScript(QStringLiteral("document.documentElement.offsetHeight"));
    if (!actStop->isChecked() && (maximum <= value + 100 || type == OwnLine))
        scrollToBottom();
    return id;
}

void ControlTxt::scrollToBottom()
{
    QWebFrame *f = frame();
    f->setScrollBarValue(Qt::Vertical, f->scrollBarMaximum(Qt::Vertical));
}

void ControlTxt::insertTime()
{
    if (!m_pending.isEmpty())
        confirmLine(m_pending.firstKey());
}

bool ControlTxt::settleLine(int id, const QString &timeCell)
{
    auto it = m_pending.find(id);
    if (it == m_pending.end())
        return false;
    QWebElement cell = it.value();
    m_pending.erase(it);
    cell.setInnerXml(timeCell);
    separateDirectionRuns(cell);
    return true;
}

bool ControlTxt::confirmLine(int id) { return settleLine(id, escapeHtml(timeNow())); }

bool ControlTxt::refuseLine(int id)
{
    return settleLine(id, QLatin1String("<span class='refused'>") + escapeHtml(tr("Not delivered"))
                              + QLatin1String("</span>"));
}

QList<int> ControlTxt::pendingLines() const { return m_pending.keys(); }

void ControlTxt::setFocustxt() { ui->T1->setFocus(Qt::OtherFocusReason); }

QString ControlTxt::TestHtm(const QString &html)
{
    QWebFrame *parser = webParse->mainFrame();
    bool cut = false;
    parser->setHtml(sanitizeHtml(html, MarkupProfile::Line, kLineBounds, &cut), QUrl());
    const QWebElement body = parser->findFirstElement(QStringLiteral("body"));
    QString out = body.toInnerXml();
    if (cut)
        out += truncationMarker();
    parser->setHtml(QString(), QUrl());
    return out;
}

QString ControlTxt::TestLink(const QString &text) const
{
    return convertChatLine(text, markupTokens());
}

void ControlTxt::on_T1_returnPressed()
{
    if (ui->T1->toPlainText().trimmed().isEmpty()) {
        resetInput();
        return;
    }
    const QString line = TestLink(inputParagraph(ui->T1->toHtml()));
    resetInput();
    setFocustxt();
    testcolor();
    emit Sendtxt(line);
}

void ControlTxt::on_BSend_clicked() { on_T1_returnPressed(); }

void ControlTxt::resetInput()
{
    const QTextCharFormat style = styleOf(ui->T1->currentCharFormat());
    ui->T1->setHtml(htmInput);
    QTextCursor cursor = ui->T1->textCursor();
    QTextCharFormat format = cursor.charFormat();
    format.merge(style);
    cursor.setCharFormat(format);
    ui->T1->setTextCursor(cursor);
    on_T1_currentCharFormatChanged(ui->T1->currentCharFormat());
}

QTextCharFormat ControlTxt::styleOf(const QTextCharFormat &format) const
{
    QTextCharFormat style;
    if (format.foreground().style() != Qt::NoBrush)
        style.setForeground(format.foreground());
    if (format.background().style() != Qt::NoBrush)
        style.setBackground(format.background());
    style.setFontWeight(format.fontWeight() >= QFont::Bold ? QFont::Bold : QFont::Normal);
    style.setFontItalic(format.fontItalic());
    style.setFontUnderline(format.fontUnderline());
    if (format.fontPointSize() > 0)
        style.setFontPointSize(format.fontPointSize());
    return style;
}

void ControlTxt::popupMenu(QWidget *over, const QPoint &pos, const QList<QAction *> &items)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setLayoutDirection(QApplication::layoutDirection());
    for (QAction *item : items) {
        if (item)
            menu->addAction(item);
        else
            menu->addSeparator();
    }
    menu->popup(over->mapToGlobal(pos));
}

void ControlTxt::on_Web_customContextMenuRequested(const QPoint &pos)
{
    popupMenu(ui->Web, pos, {actCopy, nullptr, actStop, nullptr, actSave});
}

void ControlTxt::on_T1_customContextMenuRequested(const QPoint &pos)
{
    popupMenu(ui->T1, pos, {actCopy2, actCut, actPaste});
}

void ControlTxt::menucopy() { QApplication::clipboard()->setText(ui->Web->selectedText()); }

void ControlTxt::menusave()
{
    const QDateTime now = hooks::now();
    const QString proposed = QDir::homePath() + QLatin1String("/velmar_")
                             + now.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('_')
                             + now.toString(QStringLiteral("hh.mm.ss")) + QLatin1String(".pdf");
    const QString file =
        hooks::getSaveFileName(this, tr("save file"), proposed, QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty())
        return;
    if (!exportPdf(file))
        MsgBox(GeTranslate("Title App"), tr("The conversation could not be saved:") +
                                             QLatin1Char('\n') + QDir::toNativeSeparators(file),
               QMessageBox::Warning, QMessageBox::Ok);
}

bool ControlTxt::exportPdf(const QString &file)
{
    QString html = frame()->toHtml();
    html.replace(QLatin1String("/Resources/images/format.css"),
                 QLatin1String("/Resources/images/formatN.css"));
    html.replace(QLatin1String("/Resources/images/formatT.css"),
                 QLatin1String("/Resources/images/formatN.css"));
    // The engine paints nothing while a linked style sheet is still loading,
    // and printing does not wait: the plain style sheet goes in the page
    // itself, and no other is linked.
    html.remove(QRegularExpression(QStringLiteral("<link\\b[^>]*>"),
                                   QRegularExpression::CaseInsensitiveOption));
    QFile plain(QStringLiteral(":/Resources/images/formatN.css"));
    const QString css =
        plain.open(QIODevice::ReadOnly) ? QString::fromUtf8(plain.readAll()) : QString();
    html.replace(QLatin1String("</head>"),
                 QLatin1String("<style type='text/css'>") + css + QLatin1String("</style></head>"));
    QWebFrame *print = webPrint->page()->mainFrame();
    print->setHtml(html, QUrl());
    // The audio player does not belong on paper.
    for (const QString &selector : {QStringLiteral("audio"), QStringLiteral("div[id=player]")})
        for (QWebElement element : print->findAllElements(selector))
            element.removeFromDocument();
    separateDirectionRuns(print->findFirstElement(QStringLiteral("body")));
    const bool ok = webprint::printPdf(print, file);
    print->setHtml(QString(), QUrl());
    return ok;
}

void ControlTxt::menuclear() { ClearText(); }

void ControlTxt::menustop(bool checked)
{
    if (!checked)
        scrollToBottom();
}

void ControlTxt::menu2copy() { ui->T1->copy(); }
void ControlTxt::menu2cut() { ui->T1->cut(); }
void ControlTxt::menu2paste() { ui->T1->paste(); }

void ControlTxt::on_Web_urlChanged(const QUrl &) {}

void ControlTxt::on_Web_linkClicked(const QUrl &url)
{
    if (url.toString() == QLatin1String("about:blank"))
        return;
    ui->Web->stop();
    if (isSafeLinkUrl(url.toString()))
        hooks::openUrl(url);
}

// Styling of the input --------------------------------------------------

void ControlTxt::applyFormat(const std::function<void(QTextCharFormat &)> &change)
{
    QTextCursor cursor = ui->T1->textCursor();
    QTextCharFormat format = cursor.charFormat();
    change(format);
    cursor.setCharFormat(format);
    ui->T1->setTextCursor(cursor);
}

void ControlTxt::bbb()
{
    const bool on = actBold->isChecked();
    applyFormat([on](QTextCharFormat &f) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void ControlTxt::uuu()
{
    const bool on = actUnderline->isChecked();
    applyFormat([on](QTextCharFormat &f) {
        f.setUnderlineStyle(on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
    });
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void ControlTxt::iii()
{
    const bool on = actItalic->isChecked();
    applyFormat([on](QTextCharFormat &f) { f.setFontItalic(on); });
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void ControlTxt::setSize(int points, QAction *checked)
{
    applyFormat([points](QTextCharFormat &f) { f.setFontPointSize(points); });
    for (QAction *a : {actSize1, actSize2, actSize3})
        a->setChecked(a == checked);
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void ControlTxt::sizeA1() { setSize(8, actSize1); }
void ControlTxt::sizeA2() { setSize(10, actSize2); }
void ControlTxt::sizeA3() { setSize(12, actSize3); }

void ControlTxt::colorF()
{
    const QTextCharFormat current = ui->T1->currentCharFormat();
    QColorDialog dialog(brushColour(current.foreground(), Qt::black));
    if (hooks::execModal(&dialog) == QDialog::Accepted) {
        const QColor c = dialog.currentColor();
        applyFormat([c](QTextCharFormat &f) {
            if (c == QColor(Qt::black))
                f.clearForeground();
            else
                f.setForeground(QBrush(c));
        });
        setForegroundIcon(c);
    }
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void ControlTxt::colorB()
{
    QColorDialog dialog(Qt::white);
    if (hooks::execModal(&dialog) == QDialog::Accepted) {
        const QColor c = dialog.currentColor();
        applyFormat([c](QTextCharFormat &f) {
            if (c == QColor(Qt::white))
                f.clearBackground();
            else
                f.setBackground(QBrush(c));
        });
        setBackgroundIcon(c);
    }
    ui->T1->setFocus(Qt::OtherFocusReason);
}

void ControlTxt::setForegroundIcon(const QColor &color)
{
    actForeground->setIcon(
        QIcon(changecolor(QPixmap(QStringLiteral(":/Resources/icons/coA.png")), color)));
}

void ControlTxt::setBackgroundIcon(const QColor &color)
{
    actBackground->setIcon(
        QIcon(changecolor(QPixmap(QStringLiteral(":/Resources/icons/coB.png")), color)));
}

QColor ControlTxt::backgroundIconColor(const QTextCharFormat &format) const
{
    const QColor colour = brushColour(format.background(), Qt::black);
    return isNoBackground(colour) ? QColor(Qt::white) : colour;
}

void ControlTxt::testcolor()
{
    const QTextCharFormat format = ui->T1->currentCharFormat();
    setForegroundIcon(brushColour(format.foreground(), Qt::black));
    setBackgroundIcon(backgroundIconColor(format));
}

void ControlTxt::on_T1_currentCharFormatChanged(const QTextCharFormat &format)
{
    actBold->setChecked(format.fontWeight() >= QFont::Bold);
    actUnderline->setChecked(format.fontUnderline());
    actItalic->setChecked(format.fontItalic());
    const int size = int(format.fontPointSize());
    QAction *checked = (size == 0 || size == 8) ? actSize1 : size == 10 ? actSize2 : actSize3;
    for (QAction *a : {actSize1, actSize2, actSize3})
        a->setChecked(a == checked);
}

void ControlTxt::on_T1_currentColorChanged(const QColor &color)
{
    setForegroundIcon(color);
    setBackgroundIcon(backgroundIconColor(ui->T1->currentCharFormat()));
}

void ControlTxt::loadcoltxt()
{
    const QColor foreground =
        savestr->value(QStringLiteral("colortxtforeground"), QColor(Qt::black)).value<QColor>();
    const QColor background =
        savestr->value(QStringLiteral("colortxtbackground"), QColor(Qt::white)).value<QColor>();
    actBold->setChecked(savestr->value(QStringLiteral("colortxtBold"), false).toBool());
    actUnderline->setChecked(savestr->value(QStringLiteral("colortxtUnderline"), false).toBool());
    actItalic->setChecked(savestr->value(QStringLiteral("colortxtItalic"), false).toBool());
    const bool bold = actBold->isChecked();
    const bool underline = actUnderline->isChecked();
    const bool italic = actItalic->isChecked();
    applyFormat([&](QTextCharFormat &f) {
        if (!foreground.isValid() || foreground == QColor(Qt::black))
            f.clearForeground();
        else
            f.setForeground(QBrush(foreground));
        if (isNoBackground(background))
            f.clearBackground();
        else
            f.setBackground(QBrush(background));
        f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        f.setUnderlineStyle(underline ? QTextCharFormat::SingleUnderline
                                      : QTextCharFormat::NoUnderline);
        f.setFontItalic(italic);
    });
    setForegroundIcon(foreground.isValid() ? foreground : QColor(Qt::black));
    setBackgroundIcon(isNoBackground(background) ? QColor(Qt::white) : background);
    const int size = savestr->value(QStringLiteral("colortxtPointSize"), 10).toInt();
    if (size == 0 || size == 8)
        sizeA1();
    else if (size == 10)
        sizeA2();
    else
        sizeA3();
}

void ControlTxt::Savecoltxt()
{
    const QTextCharFormat format = ui->T1->currentCharFormat();
    savestr->setValue(QStringLiteral("colortxtforeground"),
                       brushColour(format.foreground(), Qt::black));
    // No background is kept as black.
    savestr->setValue(QStringLiteral("colortxtbackground"),
                       brushColour(format.background(), Qt::black));
    savestr->setValue(QStringLiteral("colortxtBold"), actBold->isChecked());
    savestr->setValue(QStringLiteral("colortxtUnderline"), actUnderline->isChecked());
    savestr->setValue(QStringLiteral("colortxtItalic"), actItalic->isChecked());
    const int size = int(format.fontPointSize());
    savestr->setValue(QStringLiteral("colortxtPointSize"),
                       (size == 0 || size == 8) ? 8 : size == 10 ? 10 : 12);
}
