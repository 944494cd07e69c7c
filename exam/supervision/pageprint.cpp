#include "supervision/pageprint.h"

#include "common/hooks.h"
#include "core/msgbox.h"
#include "supervision/gradedisplay.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
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
    QPrinter printer(QPrinter::ScreenResolution);
    const QString file = hooks::getSaveFileName(parent, caption, defaultPdfName(prefix),
                                                QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty())
        return PdfResult::Cancelled;
    printer.setFontEmbeddingEnabled(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    // The PDF engine reports nothing when its file cannot be opened.
    QFile probe(file);
    bool written = probe.open(QIODevice::WriteOnly);
    probe.close();
    if (written) {
        web->print(&printer);
        written = printer.printerState() != QPrinter::Error && QFile(file).size() > 0;
    }
    if (written)
        return PdfResult::Written;
    if (QFile(file).size() == 0)
        QFile::remove(file);
    MsgBox(kExamTitle, kMsgPdfFailed, QMessageBox::Information, QMessageBox::Ok);
    return PdfResult::Failed;
}
