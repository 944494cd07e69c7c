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
    const QStringList fields = text.split(QLatin1Char('|'));
    const int n = fields.size();
    ExamText exam;
    exam.countText = fields.at(0);
    int p = 1;
    int number = 0;
    // A record needs its text and its type; a single field left over at the
    // end starts none.
    while (p < n - 1) {
        ExamQuestion q;
        q.number = ++number;
        q.text = fields.at(p);
        q.typeText = fields.at(p + 1);
        q.type = readInt(q.typeText);
        if (!q.shown()) {
            p += 2;
            exam.questions.append(q);
            continue;
        }
        q.hasThird = p + 2 < n;
        if (q.hasThird)
            q.third = fields.at(p + 2);
        p += 3;
        if (q.type != 1) {
            const int k = readInt(q.third);
            while (q.choices.size() < k && p < n)
                q.choices.append(fields.at(p++));
        }
        exam.questions.append(q);
    }
    return exam;
}

bool examHasPage(const ExamText &exam)
{
    return readInt(exam.countText) != 0;
}

QString cleanExamFreeText(const QString &text)
{
    return blanked(text, QStringLiteral("|<>"));
}
