#include "core/pure/answers.h"

#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"

namespace {

const QString kSep = QStringLiteral("<:>");

QString copied(const QString &token)
{
    return blanked(token, QStringLiteral("<>"));
}

} // namespace

QString cleanTypedAnswer(const QString &typed)
{
    QString out = typed;
    out.replace(QLatin1Char('|'), QLatin1Char(':'));
    return copied(out);
}

QString cutAnswer(const QString &text, int limit)
{
    return limit < 0 ? text : leftChars(text, limit);
}

QString composeAnswers(const QString &examText, const QVector<PageForm> &forms)
{
    const ExamText exam = readExamText(examText);
    QString out = copied(exam.countText);
    int form = 0;
    for (const ExamQuestion &q : exam.questions) {
        if (!q.shown())
            continue;
        if (form >= forms.size())
            break;
        const PageForm &page = forms.at(form++);
        out += kSep + copied(q.text) + kSep + copied(q.typeText) + kSep;
        if (q.type == 1) {
            out += cutAnswer(cleanTypedAnswer(page.hasTextArea ? page.text : QString()), q.limit());
            continue;
        }
        out += copied(q.third);
        for (int i = 0; i < q.choices.size(); ++i) {
            const bool on = i < page.checked.size() && page.checked.at(i);
            out += kSep + (on ? QStringLiteral("[on]") : QStringLiteral("[no]"))
                   + copied(q.choices.at(i));
        }
    }
    return out;
}
