#include "core/frmweb.h"

#include "core/frmtimer.h"
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/mywidget.h"
#include "core/pure/answers.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "ui_frmweb.h"

#include "common/hooks.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QMouseEvent>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

const QString FrmWeb::kKeyboardLink = QStringLiteral("#OpenKeyboard");
const QString FrmWeb::kBasePicture = QStringLiteral(":/Resources/html/ky1.png");
const QString FrmWeb::kShiftPicture = QStringLiteral(":/Resources/html/ky2.png");

namespace {

const QString kIndexPage = QStringLiteral("qrc:/Resources/html/index2.html");
const QString kSheetTitle = QStringLiteral("برنامج الاختبار");

const QString kKeyboardLinkHtml = QStringLiteral(
    "<p align='center'><a href='#OpenKeyboard'><img border='0' "
    "src='qrc:/Resources/html/clavi.jpg' width='68' height='33' alt='إضغط هنا لفتح لوحة "
    "المفاتيح العربية'><br><b>لوحة المفاتيح العربية</b></a></p>");

// The exam page: links are only reported, never followed, and its alerts
// are boxes of the sheet, above it.
class ExamPage : public QWebPage
{
public:
    explicit ExamPage(FrmWeb *sheet) : QWebPage(sheet), m_sheet(sheet)
    {
        setLinkDelegationPolicy(QWebPage::DelegateAllLinks);
    }

protected:
    void javaScriptAlert(QWebFrame *, const QString &message) override
    {
        QMessageBox box(QMessageBox::Information, kSheetTitle, message, QMessageBox::Ok, nullptr,
                        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        dressMessageBox(&box);
        m_sheet->runBox(&box);
    }

private:
    FrmWeb *m_sheet;
};

// A script string literal: every character other than a letter, a digit or a
// blank of ASCII is written as a \u escape.
QString scriptString(const QString &text)
{
    QString out = QStringLiteral("'");
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == ' ')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
    }
    return out + QLatin1Char('\'');
}

} // namespace

FrmWeb::FrmWeb(QWidget *parent) : QWidget(parent), ui(new Ui::FrmWeb)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_QuitOnClose, false);
    ui->web->setPage(new ExamPage(this));
    // The student goes on in another box, which the open keyboard covers:
    // the keyboard makes way.
    connect(ui->web->page(), &QWebPage::microFocusChanged, this, [this] {
        if (!ui->widget->isVisible())
            return;
        const TypingBox box = typingBox();
        if (box.index >= 0 && box.index != keyboardFor
            && ui->widget->geometry().intersects(box.rect))
            placeKeyboard(box);
    });
    ui->web->setUrl(QUrl(kIndexPage));
    picture = kBasePicture;
    setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    setWindowState(windowState() | Qt::WindowMaximized);
    // Maximised means nothing to a window without frame: it is given the
    // whole screen it is on, and follows that screen.
    fillScreen();
    show();
    if (QWindow *window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &FrmWeb::fillScreen);
    ui->widget->hide();
    const QList<mywidget *> keys = ui->widget->findChildren<mywidget *>();
    for (mywidget *key : keys)
        connect(key, &mywidget::mousePress, this, &FrmWeb::mapkey);
}

FrmWeb::~FrmWeb()
{
    delete ui;
    if (frmweb == this)
        frmweb = nullptr;
}

QWebFrame *FrmWeb::frame() const { return ui->web->page()->mainFrame(); }

void FrmWeb::ExtracIm(int id, int duration, const QString &title, const QDateTime &start,
                      const QString &content, int fawj, int fasl)
{
    this->id = id;
    this->duration = duration;
    this->title = title;
    this->start = start;
    this->content = content;
    this->fawj = fawj;
    this->fasl = fasl;

    QString html = ExtracImtihan(content);
    html = fillSlot(html, QStringLiteral("userinfo"),
                    QStringLiteral("الاسم : ") + isolatedHtml(nickname)
                        + QStringLiteral("<br />البريد: ") + isolatedHtml(mail));
    // The label keeps "<br />" for its line breaks from here on.
    nameVelmar.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    html = fillSlot(html, QStringLiteral("velmarinfo"), labelHtml(nameVelmar));
    html = fillSlot(html, QStringLiteral("mada"),
                    isolatedHtml(title) + QStringLiteral(" [ الفوح:") + QString::number(fawj)
                        + QStringLiteral(" - الفصل:") + QString::number(fasl)
                        + QStringLiteral(" ]"));
    html = fillSlot(html, QStringLiteral("total"), kKeyboardLinkHtml);
    ui->web->setHtml(html, QUrl());
}

void FrmWeb::changeTm(const QString &remaining, int duration)
{
    ui->label->setText(QStringLiteral("مدة الامتحان (بالدقائق) : ") + QString::number(duration)
                       + QLatin1Char('\n') + remaining);
}

QString FrmWeb::GetHtm2Im() const
{
    QVector<PageForm> forms;
    const QWebElementCollection all = frame()->findAllElements(QStringLiteral("form"));
    for (const QWebElement &form : all) {
        PageForm page;
        const QWebElementCollection areas = form.findAll(QStringLiteral("textarea"));
        page.hasTextArea = areas.count() > 0;
        if (page.hasTextArea) {
            QWebElement area = areas.at(0);
            page.text = area.evaluateJavaScript(QStringLiteral("this.value")).toString();
        }
        const QWebElementCollection inputs = form.findAll(QStringLiteral("input"));
        for (QWebElement input : inputs) {
            const QString checked = input.evaluateJavaScript(QStringLiteral("this.checked")).toString();
            page.checked << (checked == QLatin1String("true"));
        }
        forms << page;
    }
    return composeAnswers(content, forms);
}

void FrmWeb::fillScreen()
{
    QScreen *screen = windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (screen != m_screen) {
        if (m_screen)
            disconnect(m_screen, nullptr, this, nullptr);
        m_screen = screen;
        connect(screen, &QScreen::geometryChanged, this, &FrmWeb::fillScreen);
    }
    setGeometry(screen->geometry());
}

int FrmWeb::runBox(QDialog *box)
{
    boxes << box;
    const int result = hooks::execModal(box);
    boxes.removeAll(box);
    boxes.removeAll(nullptr);
    if (deleteWhenBoxesClose && boxes.isEmpty())
        deleteLater();
    return result;
}

void FrmWeb::closeBoxes()
{
    const QList<QPointer<QDialog>> open = boxes;
    for (const QPointer<QDialog> &box : open) {
        if (box)
            box->done(QDialog::Rejected);
    }
}

void FrmWeb::closeSheet()
{
    closing = true;
    close();
}

QString FrmWeb::runScript(const QString &script)
{
    return frame()->evaluateJavaScript(script).toString();
}

void FrmWeb::toggleShift()
{
    shift = !shift;
    picture = shift ? kShiftPicture : kBasePicture;
    ui->Lkeybord->setPixmap(QPixmap(picture));
}

void FrmWeb::mapkey(QMouseEvent *event)
{
    Q_UNUSED(event);
    auto *key = qobject_cast<QWidget *>(sender());
    if (!key)
        return;
    const QString tip = key->toolTip();
    ui->web->setFocus(Qt::OtherFocusReason);
    if (tip == QLatin1String("shift")) {
        toggleShift();
        return;
    }
    if (tip == QLatin1String("close")) {
        ui->widget->hide();
        return;
    }

    QString result;
    if (tip == QLatin1String("del")) {
        result = runScript(QStringLiteral("keyborddel();"));
    } else if (tip == QLatin1String("space")) {
        result = runScript(QStringLiteral("keybordvr(' ');"));
    } else {
        const QStringList parts = tip.split(QLatin1Char(':'));
        // A key without a shifted part types its base character.
        const QString typed = shift && parts.size() > 1 ? parts.at(1) : parts.at(0);
        result = runScript(QStringLiteral("keybordvr(") + scriptString(typed)
                           + QStringLiteral(");"));
        if (shift) {
            // A shift holds for one character.
            ui->web->setFocus(Qt::OtherFocusReason);
            toggleShift();
            return;
        }
    }
    if (result == QLatin1String("no"))
        ui->web->setFocus(Qt::OtherFocusReason);
}

void FrmWeb::openKeyboard()
{
    // The link took the focus from the box the student was typing in.
    ui->web->setFocus(Qt::OtherFocusReason);
    runScript(QStringLiteral("typingboxback();"));
    placeKeyboard(typingBox());
    ui->widget->show();
}

FrmWeb::TypingBox FrmWeb::typingBox()
{
    const QStringList edges = runScript(QStringLiteral("typingboxrect();")).split(QLatin1Char(','));
    if (edges.size() != 4)
        return {};
    qreal e[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        e[i] = edges.at(i).toDouble(&ok);
        if (!ok)
            return {};
    }
    const QRect rect = QRectF(QPointF(e[0], e[1]), QPointF(e[2], e[3])).toAlignedRect();
    const QVariant index = frame()->evaluateJavaScript(QStringLiteral(
        "Array.prototype.indexOf.call(document.querySelectorAll('textarea, input[type=text]'),"
        " document.activeElement)"));
    return {index.toInt(), rect.translated(ui->web->pos())};
}

void FrmWeb::placeKeyboard(const TypingBox &box)
{
    const int gap = 8;
    const QSize size = ui->widget->size();
    const int x = width() / 2 - size.width() / 2;
    keyboardFor = box.index;
    const QRect home(QPoint(x, 250), size);
    if (box.index < 0 || !home.intersects(box.rect)) {
        ui->widget->move(home.topLeft());
        return;
    }
    for (const int y : {box.rect.bottom() + 1 + gap, box.rect.top() - gap - size.height()}) {
        if (y >= 0 && y + size.height() <= height()) {
            ui->widget->move(x, y);
            return;
        }
    }
    // No room beside the box: the edge of the window where the panel
    // covers the least of it.
    const QRect top(QPoint(x, 0), size);
    const QRect bottom(QPoint(x, height() - size.height()), size);
    const int coverTop = (top & box.rect).height();
    const int coverBottom = (bottom & box.rect).height();
    ui->widget->move((coverTop <= coverBottom ? top : bottom).topLeft());
}

void FrmWeb::on_widget_mousePress(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        return;
    dragging = true;
    dragOffset = event->globalPos() - ui->widget->pos();
}

void FrmWeb::on_widget_mouseMove(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton || !dragging)
        return;
    ui->widget->move(event->globalPos() - dragOffset);
}

void FrmWeb::on_widget_mouseRelease(QMouseEvent *event)
{
    Q_UNUSED(event);
    dragging = false;
}

void FrmWeb::on_pushButton_clicked()
{
    if (frmtime)
        frmtime->Sendtxt();
}

void FrmWeb::on_web_linkClicked(const QUrl &url)
{
    if (url.toString().contains(kKeyboardLink))
        openKeyboard();
}

void FrmWeb::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ui->web->setGeometry(0, 0, width(), height());
}

void FrmWeb::closeEvent(QCloseEvent *event)
{
    // The answers leave only through a submission.
    if (!closing && frmtime && frmtime->examRunning() && frmweb == this) {
        event->ignore();
        return;
    }
    event->accept();
    if (frmweb == this)
        frmweb = nullptr;
    if (hasOpenBox()) {
        // The sheet goes once its boxes have returned: a box, and the page
        // script that opened it, never lose the sheet under them.
        deleteWhenBoxesClose = true;
        closeBoxes();
        return;
    }
    deleteLater();
}
