#include "core/pure/pages.h"

#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"
#include "core/pure/reply.h"
#include "core/pure/templates.h"

#include <QStringList>

namespace {

const QString kSoal = QStringLiteral("#soal#");
const QString kNu = QStringLiteral("#nu#");
const QString kChoi = QStringLiteral("#choi#");

QString questionPage(const QString &blocks)
{
    return fillTemplate(htm_table, {{QStringLiteral("<div id='txtab'></div>"),
                                     QStringLiteral("<div id='txtab'>\n") + blocks
                                         + QStringLiteral("\n</div>")}});
}

QString examBlock(const ExamQuestion &q)
{
    const QString number = QString::number(q.number);
    const QString text = isolatedHtml(q.text);
    if (q.type == 1) {
        const int limit = q.limit();
        const QString note = limit < 0 ? QString()
                                       : QString::fromUtf8("ملاحظة : غير مسموح بتخطي ")
                                             + QString::number(limit) + QString::fromUtf8(" حرف");
        return fillTemplate(htm_Typ11, {{kSoal, text},
                                        {kNu, number},
                                        {QStringLiteral("#notetxt#"), note},
                                        {QStringLiteral("#mx#"), QString::number(limit)}});
    }
    const QString input = q.type == 2 ? QStringLiteral("<input type=checkbox> ")
                                      : QStringLiteral("<input type=radio name=R1> ");
    QString lines;
    for (const QString &choice : q.choices)
        lines += input + isolatedHtml(choice) + QStringLiteral("<BR>\n");
    return fillTemplate(q.type == 2 ? htm_Typ2 : htm_Typ3,
                        {{kSoal, text}, {kNu, number}, {kChoi, lines}});
}

} // namespace

QString ExtracImtihan(const QString &examText)
{
    const ExamText exam = readExamText(examText);
    if (!examHasPage(exam))
        return QString();
    QString blocks;
    for (const ExamQuestion &q : exam.questions) {
        if (q.shown())
            blocks += examBlock(q);
    }
    return questionPage(blocks);
}

QString ExtracImtDisplay(const QString &answers)
{
    const QString clean = TestImtDisplay(answers);
    if (clean.isEmpty())
        return QString();
    const QStringList f = clean.split(QStringLiteral("<:>"));
    const int size = f.size();
    if (size < 2)
        return QString();
    const int count = readInt(f.at(0));
    const QString on = QStringLiteral("[on]");
    QString blocks;
    int p = 1;
    int n = 0;
    // The first record is read whatever the count says.
    while (p < size - 1 && (n == 0 || n < count)) {
        const QString text = isolatedHtml(f.at(p));
        const int type = readInt(f.at(p + 1));
        const QString number = QString::number(++n);
        const QString third = p + 2 < size ? f.at(p + 2) : QString();
        if (type == 1) {
            const QString box = third.contains(QStringLiteral("???")) ? htm_notxt : isolatedHtml(third);
            blocks += fillTemplate(htm_Typ1, {{kSoal, text},
                                              {kNu, number},
                                              {QStringLiteral("<textarea id='texarea'></textarea>"),
                                               box + QLatin1Char('\n')}});
            p += 3;
        } else if (type == 2 || type == 3) {
            const int k = readInt(third);
            QString lines;
            int taken = 0;
            for (int c = p + 3; taken < k && c < size; ++c, ++taken) {
                const QString &choice = f.at(c);
                const bool chosen = choice.leftRef(4).compare(on, Qt::CaseInsensitive) == 0;
                QString tag;
                if (type == 2)
                    tag = chosen ? QStringLiteral("<input disabled checked type=checkbox>")
                                 : QStringLiteral("<input disabled         type=checkbox>");
                else
                    tag = chosen ? QStringLiteral("<input checked  type=radio name=R1>")
                                 : QStringLiteral("<input disabled type=radio name=R1>");
                lines += tag + isolatedHtml(choice.mid(4)) + QStringLiteral("<BR>\n");
            }
            blocks += fillTemplate(type == 2 ? htm_Typ2 : htm_Typ3,
                                   {{kSoal, text}, {kNu, number}, {kChoi, lines}});
            p += 3 + taken;
        } else {
            p += 2;
        }
    }
    return questionPage(blocks);
}

QString ExtracNote(const QString &table)
{
    const QStringList rows = table.split(QStringLiteral("<::>"));
    QString out;
    for (int i = 0; i < rows.size(); ++i) {
        out += i % 2 == 0 ? QStringLiteral("  <tr align='center'>\n")
                          : QStringLiteral("  <tr align='center' bgcolor='#99CCFF'>\n");
        const QStringList cells = rows.at(i).split(QStringLiteral("<:>"));
        for (int j = 0; j < cells.size(); ++j) {
            const bool grade = j == cells.size() - 1;
            out += (grade ? QStringLiteral("    <td id='note'>") : QStringLiteral("    <td>"))
                   + isolatedHtml(cells.at(j)) + QStringLiteral("</td>\n");
        }
        out += QStringLiteral("  </tr>\n");
    }
    return fillTemplate(htm_table_note, {{QStringLiteral("<div id='tr'></div>\n"), out}});
}
