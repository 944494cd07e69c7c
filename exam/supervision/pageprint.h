// Printing and PDF files of the pages shown in the exam program's web views.
#pragma once

#include <QString>

class QWebView;
class QWidget;

// The default PDF file: the home folder, "/", prefix, the date "yyyy-MM-dd",
// "_", the time "hh.mm.ss" (hours 00 to 23) and ".pdf", at hooks::now().
QString defaultPdfName(const QString &prefix);

enum class PdfResult { Cancelled, Written, Failed };

// Asks for a file name (the caption, filter "PDF (*.pdf)", the default name
// above) and prints the web view's page into it as A4 PDF at screen
// resolution, fonts embedded. A cancelled dialog writes nothing. A file that
// could not be written is reported with a message.
PdfResult savePagePdf(QWidget *parent, QWebView *web, const QString &prefix,
                      const QString &caption = QStringLiteral("save file"));
