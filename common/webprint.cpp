#include "common/webprint.h"

#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QPalette>
#include <QPointer>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTimer>
#include <QVector>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

namespace webprint {

int loadWaitMs = 20000;

bool waitLoaded(QWebView *view)
{
    // The page's stop action is enabled exactly while it loads.
    const auto loading = [](QWebView *v) { return v->page()->action(QWebPage::Stop)->isEnabled(); };
    if (!view || !loading(view))
        return view != nullptr;
    QPointer<QWebView> guard(view);
    QEventLoop loop;
    QObject::connect(view, &QWebView::loadFinished, &loop, &QEventLoop::quit);
    QObject::connect(view, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(loadWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return guard && !loading(guard);
}

namespace {

// The text fields of a page and of the frames inside it, as the engine will
// draw them: through the widget style.
void collectTextFields(QWebFrame *frame, QVector<QWebElement> *out)
{
    static const QStringList fieldLooks = {
        QStringLiteral("textfield"), QStringLiteral("textarea"), QStringLiteral("listbox"),
        QStringLiteral("searchfield"), QStringLiteral("menulist-textfield")};
    for (const QWebElement &e : frame->findAllElements(QStringLiteral("textarea, input, select"))) {
        if (fieldLooks.contains(e.styleProperty(QStringLiteral("-webkit-appearance"),
                                                QWebElement::ComputedStyle)))
            out->append(e);
    }
    for (QWebFrame *child : frame->childFrames())
        collectTextFields(child, out);
}

// While it lives, the page's text fields are drawn by the engine itself as
// plain boxes in the colours the style gives them on screen. On a printer the
// engine hands the widget style no widget, and the style that an application
// style sheet puts on every widget reads the widget of a text field without
// looking whether there is one: the program would crash.
class PlainTextFields
{
public:
    PlainTextFields(QWebFrame *frame, const QPalette &palette)
    {
        collectTextFields(frame, &m_fields);
        const QString important = QStringLiteral(" !important");
        const QColor frameColour = palette.color(QPalette::Window).darker(140);
        for (QWebElement &e : m_fields) {
            const bool had = e.hasAttribute(QStringLiteral("style"));
            m_styles.append(had ? e.attribute(QStringLiteral("style")) : QString());
            e.setStyleProperty(QStringLiteral("-webkit-appearance"), QStringLiteral("none") + important);
            e.setStyleProperty(QStringLiteral("background-color"),
                               palette.color(QPalette::Base).name() + important);
            e.setStyleProperty(QStringLiteral("border"),
                               QStringLiteral("1px solid ") + frameColour.name() + important);
            e.setStyleProperty(QStringLiteral("border-radius"), QStringLiteral("2px") + important);
        }
    }
    ~PlainTextFields()
    {
        for (int i = 0; i < m_fields.size(); ++i) {
            m_fields[i].setAttribute(QStringLiteral("style"), m_styles.at(i));
            if (m_styles.at(i).isNull())
                m_fields[i].removeAttribute(QStringLiteral("style"));
        }
    }
    PlainTextFields(const PlainTextFields &) = delete;
    PlainTextFields &operator=(const PlainTextFields &) = delete;

private:
    QVector<QWebElement> m_fields;
    QStringList m_styles; // null: the field had no style attribute
};

} // namespace

void printPage(QWebFrame *frame, QPrinter *printer)
{
    QWebView *view = qobject_cast<QWebView *>(frame->page()->view());
    const QPalette palette = view ? view->palette() : frame->page()->palette();
    PlainTextFields plain(frame, palette);
    frame->print(printer);
}

bool isCompletePdf(const QByteArray &bytes)
{
    if (!bytes.startsWith("%PDF-"))
        return false;
    // The end-of-file mark may be followed by a line break and nothing else.
    const QByteArray tail = bytes.right(16).trimmed();
    return tail.endsWith("%%EOF");
}

bool printPdf(QWebFrame *frame, const QString &file)
{
    // The document is made in a file of its own beside the chosen one and
    // copied there whole once it is known to be complete.
    QTemporaryFile part(file + QStringLiteral(".XXXXXX"));
    if (!part.open())
        return false;
    part.close();
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setFontEmbeddingEnabled(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part.fileName());
    printPage(frame, &printer);
    QFile made(part.fileName());
    if (printer.printerState() == QPrinter::Error || !made.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = made.readAll();
    if (!isCompletePdf(bytes))
        return false;
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

} // namespace webprint
