// The text of a PDF file as pdftotext reads it back.
#pragma once

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

// The text of every page, or an empty text when the file is no readable PDF
// (pdftotext fails on a truncated one). Blanks and line breaks as pdftotext
// lays them out. Arabic comes out in its contextual letter forms, each run
// between direction marks: the letters are given back in their plain forms
// (lam-alef as two letters) and the marks dropped, so that a text searched
// for is found as it was written.
inline QString pdfText(const QString &file)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file,
                                             QStringLiteral("-")});
    if (!text.waitForFinished(60000) || text.exitStatus() != QProcess::NormalExit
        || text.exitCode() != 0)
        return QString();
    QString out =
        QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    out.remove(QRegularExpression(QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]")));
    return out;
}

// What a print preview's print action does, into a PDF file: the preview
// paints on a printer that writes the file.
inline void printPreviewToPdf(QPrintPreviewDialog *preview, const QString &file,
                              QPrinter::PrinterMode mode = QPrinter::ScreenResolution)
{
    QPrinter printer(mode);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    emit preview->paintRequested(&printer);
}
