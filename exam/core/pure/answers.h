// The answers text: the exam text's count, then per question of the page
// "<:>" text "<:>" type "<:>" answer (type 1) or "<:>" text "<:>" type "<:>"
// count and "<:>[on]" or "<:>[no]" followed by each choice (types 2 and 3).
#pragma once

#include <QString>
#include <QVector>

// What the page walk reads from one form of the exam page, in document order.
struct PageForm
{
    bool hasTextArea = false;
    QString text;          // the value of the form's first text area
    QVector<bool> checked; // the checked state of each input of the form
};

// A typed answer made safe for the format: "|" becomes ":", "<" and ">" blanks.
QString cleanTypedAnswer(const QString &typed);
// The first limit characters of text, or the whole text for a negative limit.
QString cutAnswer(const QString &text, int limit);

// The answers text of an exam text and the forms of its page. The forms pair
// with the questions of types 1, 2 and 3 in order, as the exam page shows
// them; forms beyond those questions are ignored, and the walk never reads
// past the exam text. Texts taken from the exam text are copied unchanged;
// only the typed answers are cleaned.
QString composeAnswers(const QString &examText, const QVector<PageForm> &forms);
