#include "core/pure/examtext.h"

#include "core/pure/pagetext.h"

int ExamQuestion::limit() const
{
    int value = -1;
    if (!hasThird || !readInt(third, &value) || value < 0)
        return -1;
    return value;
}

ExamText readExamText(const QString &text)
{
    FieldCursor fields(text, QStringLiteral("|"));
    ExamText exam;
    exam.countText = fields.take();
    int number = 0;
    // A record needs its text and its type; a single field left over at the
    // end starts none.
    while (fields.hasNext() && !fields.nextIsLast()) {
        if (number == kMaxQuestions) {
            exam.overLimit = true;
            break;
        }
        ExamQuestion q;
        q.number = ++number;
        q.text = fields.take();
        q.typeText = fields.take();
        q.type = readInt(q.typeText);
        if (!q.shown()) {
            exam.questions.append(q);
            continue;
        }
        q.hasThird = fields.hasNext();
        q.third = fields.take();
        if (q.type != 1) {
            const int k = readInt(q.third);
            while (q.choices.size() < k && fields.hasNext()) {
                if (q.choices.size() == kMaxChoices) {
                    exam.overLimit = true;
                    break;
                }
                q.choices.append(fields.take());
            }
        }
        exam.questions.append(q);
        if (exam.overLimit)
            break;
    }
    return exam;
}

bool examHasPage(const ExamText &exam)
{
    return readInt(exam.countText) != 0 && !exam.overLimit;
}

QString cleanExamFreeText(const QString &text)
{
    return blanked(text, QStringLiteral("|<>"));
}
