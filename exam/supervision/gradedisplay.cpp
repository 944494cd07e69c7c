#include "supervision/gradedisplay.h"

#include "core/msgbox.h"
#include "core/pure/grading.h"

#include <QUrl>
#include <QWebView>
#include <utility>

const QString kExamTitle = QStringLiteral("برنامج الاختبار");
const QString kMsgNotGraded = QStringLiteral("لم يتم تصحيح هذا الامتحان بعد    ");
const QString kMsgOverTwenty = QStringLiteral("انتبه .. تجاوزت النقطة عشرون    ");

bool showGradedSheet(QWebView *web, QString *htmlSheet, const QString &txtTankit)
{
    GradedSheet sheet = fillGrades(std::move(*htmlSheet), txtTankit);
    *htmlSheet = std::move(sheet.html);
    web->setHtml(*htmlSheet, QUrl());
    if (sheet.overTwenty)
        MsgBox(kExamTitle, kMsgOverTwenty, QMessageBox::Information, QMessageBox::Ok);
    return sheet.graded;
}
