// Printing and PDF files of the pages shown in the exam program's web views.
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWebView;
class QWidget;

// The default PDF file: the home folder, "/", prefix, the date "yyyy-MM-dd",
// "_", the time "hh.mm.ss" (hours 00 to 23) and ".pdf", at hooks::now().
QString defaultPdfName(const QString &prefix);

enum class PdfResult { Cancelled, Written, Failed };

// Asks for a file name (the caption, else QWidget::tr("save file"); filter
// "PDF (*.pdf)"; the default name above), waits for the page to finish loading and prints it into the file as
// A4 PDF at screen resolution, fonts embedded. A cancelled dialog writes
// nothing. A file that could not be written whole is reported with a message
// and not left behind. The event loop runs while the page loads: a view closed
// meanwhile gives Cancelled.
PdfResult savePagePdf(QWidget *parent, QWebView *web, const QString &prefix,
                      const QString &caption = QString());

// The print preview dialog of the page on show, at high resolution, left to
// right, titled "طباعة الامتحان", once the page has finished loading. Its
// paint requests go to print (the window's slot, which prints with
// printShownPage). Nothing opens when the window or the view closed while the
// page loaded.
void previewPagePrint(QWidget *window, QWebView *web,
                      const std::function<void(QPrinter *)> &print);

// Prints the page of the view into the printer the preview hands over.
void printShownPage(QWebView *web, QPrinter *printer);
