#include "supervision/pageprint.h"

#include "common/hooks.h"
#include "common/webprint.h"
#include "core/msgbox.h"
#include "supervision/gradedisplay.h"

#include <QDir>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebFrame>
#include <QWebView>

namespace {
const QString kMsgPdfFailed = QStringLiteral("تعذر حفظ الملف    ");
}

QString defaultPdfName(const QString &prefix)
{
    const QDateTime now = hooks::now();
    return QDir::homePath() + QLatin1Char('/') + prefix + now.toString(QStringLiteral("yyyy-MM-dd"))
           + QLatin1Char('_') + now.toString(QStringLiteral("HH.mm.ss")) + QStringLiteral(".pdf");
}

PdfResult savePagePdf(QWidget *parent, QWebView *web, const QString &prefix,
                      const QString &caption)
{
    const QString file =
        hooks::getSaveFileName(parent, caption.isEmpty() ? QWidget::tr("save file") : caption,
                               defaultPdfName(prefix), QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty())
        return PdfResult::Cancelled;
    QPointer<QWebView> view(web);
    webprint::waitLoaded(view);
    if (!view)
        return PdfResult::Cancelled;
    if (webprint::printPdf(view->page()->mainFrame(), file))
        return PdfResult::Written;
    MsgBox(kExamTitle, kMsgPdfFailed, QMessageBox::Information, QMessageBox::Ok);
    return PdfResult::Failed;
}

void previewPagePrint(QWidget *window, QWebView *web,
                      const std::function<void(QPrinter *)> &print)
{
    QPointer<QWidget> alive(window);
    QPointer<QWebView> view(web);
    webprint::waitLoaded(view);
    if (!alive || !view)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, window, Qt::Window);
    preview.setLayoutDirection(Qt::LeftToRight);
    preview.setWindowTitle(QStringLiteral("طباعة الامتحان"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, window, print);
    hooks::execModal(&preview);
}

void printShownPage(QWebView *web, QPrinter *printer)
{
    webprint::printPage(web->page()->mainFrame(), printer);
}
