#include "core/pure/answers.h"

#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"

namespace {

const QString kSep = QStringLiteral("<:>");

} // namespace

QString cleanTypedAnswer(const QString &typed)
{
    QString out = typed;
    out.replace(QLatin1Char('|'), QLatin1Char(':'));
    return blanked(out, QStringLiteral("<>"));
}

QString cutAnswer(const QString &text, int limit)
{
    return limit < 0 ? text : leftChars(text, limit);
}

QString composeAnswers(const QString &examText, const QVector<PageForm> &forms)
{
    const ExamText exam = readExamText(examText);
    QString out = exam.countText;
    int form = 0;
    for (const ExamQuestion &q : exam.questions) {
        if (!q.shown())
            continue;
        if (form >= forms.size())
            break;
        const PageForm &page = forms.at(form++);
        out += kSep + q.text + kSep + q.typeText + kSep;
        if (q.type == 1) {
            out += cutAnswer(cleanTypedAnswer(page.hasTextArea ? page.text : QString()), q.limit());
            continue;
        }
        out += q.third;
        for (int i = 0; i < q.choices.size(); ++i) {
            const bool on = i < page.checked.size() && page.checked.at(i);
            out += kSep + (on ? QStringLiteral("[on]") : QStringLiteral("[no]"))
                   + q.choices.at(i);
        }
    }
    return out;
}
