// Printing the pages shown in the programs' web views, shared by both
// programs: every print, print preview and PDF file goes through here.
#pragma once

#include <QString>

class QPrinter;
class QWebFrame;
class QWebView;

namespace webprint {

// How long a page may take to finish loading before it is printed as it is.
extern int loadWaitMs;

// Waits until the view has finished the load it is doing (a page set a moment
// ago still loads its style sheets and pictures, and the engine prints
// nothing of it until they are in), at most loadWaitMs. The event loop runs
// meanwhile: the view may be gone on return. True when nothing is loading.
bool waitLoaded(QWebView *view);

// Prints the frame's page into the printer as it is now.
void printPage(QWebFrame *frame, QPrinter *printer);

// Prints the frame's page as an A4 PDF at screen resolution into file. The
// file is written only when the whole document came out: a print that fails
// or stops half way leaves no file of that name and returns false.
bool printPdf(QWebFrame *frame, const QString &file);

// A complete PDF document: its header at the start, its end-of-file mark at
// the end.
bool isCompletePdf(const QByteArray &bytes);

} // namespace webprint
