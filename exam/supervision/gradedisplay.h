// What the results window, the grading window and the report viewer share
// when they show a graded answer sheet.
#pragma once

#include <QString>

class QWebView;

// Title of the exam program's grade messages.
extern const QString kExamTitle;            // "برنامج الاختبار"
extern const QString kMsgNotGraded;         // sheet without grading
extern const QString kMsgOverTwenty;        // total above twenty

// Fills the grade slots and the total of htmlSheet from the grading text,
// shows the page in web (empty base URL) and, once it is shown, warns when
// the total exceeds twenty. Returns whether the sheet is graded; a sheet
// without grading gets the not-graded total text and no message.
bool showGradedSheet(QWebView *web, QString *htmlSheet, const QString &txtTankit);
