#include "core/pure/pages.h"

#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"
#include "core/pure/reply.h"
#include "core/pure/templates.h"

#include <QStringList>

#include <utility>

namespace {

const QString kSoal = QStringLiteral("#soal#");
const QString kNu = QStringLiteral("#nu#");
const QString kChoi = QStringLiteral("#choi#");

// The page template with its question area, written into one text as the
// blocks come: the page is never copied whole.
class QuestionPage
{
public:
    // expected: about how long the blocks will be.
    explicit QuestionPage(int expected)
    {
        static const QString slot = QStringLiteral("<div id='txtab'></div>");
        m_slot = htm_table.indexOf(slot);
        m_tail = m_slot < 0 ? htm_table.size() : m_slot + slot.size();
        m_out.reserve(htm_table.size() + expected + 64);
        if (m_slot < 0)
            return;
        m_out.append(htm_table.midRef(0, m_slot));
        m_out.append(QStringLiteral("<div id='txtab'>\n"));
    }

    // Blocks go here, one after the other.
    QString *blocks() { return m_slot < 0 ? &m_spare : &m_out; }

    QString finish()
    {
        if (m_slot >= 0)
            m_out.append(QStringLiteral("\n</div>"));
        m_out.append(htm_table.midRef(m_tail));
        return std::move(m_out);
    }

private:
    QString m_out;
    QString m_spare; // blocks of a template without a question area
    int m_slot = -1;
    int m_tail = 0;
};

void appendExamBlock(QString *out, const ExamQuestion &q)
{
    const QString number = QString::number(q.number);
    const QString text = isolatedHtml(q.text);
    if (q.type == 1) {
        const int limit = q.limit();
        const QString note = limit < 0 ? QString()
                                       : QString::fromUtf8("ملاحظة : غير مسموح بتخطي ")
                                             + QString::number(limit) + QString::fromUtf8(" حرف");
        appendFilled(out, htm_Typ11, {{kSoal, text},
                                      {kNu, number},
                                      {QStringLiteral("#notetxt#"), note},
                                      {QStringLiteral("#mx#"), QString::number(limit)}});
        return;
    }
    const QString input = q.type == 2 ? QStringLiteral("<input type=checkbox> ")
                                      : QStringLiteral("<input type=radio name=R1> ");
    QString lines;
    for (const QString &choice : q.choices)
        lines += input + isolatedHtml(choice) + QStringLiteral("<BR>\n");
    appendFilled(out, q.type == 2 ? htm_Typ2 : htm_Typ3,
                 {{kSoal, text}, {kNu, number}, {kChoi, lines}});
}

} // namespace

QString ExtracImtihan(const QString &examText)
{
    const ExamText exam = readExamText(examText);
    if (!examHasPage(exam))
        return QString();
    QuestionPage page(examText.size() + exam.questions.size() * htm_Typ11.size());
    for (const ExamQuestion &q : exam.questions) {
        if (q.shown())
            appendExamBlock(page.blocks(), q);
    }
    return page.finish();
}

QString ExtracImtDisplay(const QString &answers)
{
    const QString clean = TestImtDisplay(answers);
    if (clean.isEmpty() || clean.size() > kMaxSheetChars)
        return QString();
    FieldCursor f(clean, QStringLiteral("<:>"));
    const int count = readInt(f.take());
    if (!f.hasNext())
        return QString();
    const QString on = QStringLiteral("[on]");
    // The answer box of a written answer; the answer is written into the
    // page where the template has it, without a copy of its own.
    static const QStringList typ1Parts =
        htm_Typ1.split(QStringLiteral("<textarea id='texarea'></textarea>"));
    // Room for the blocks' markup; the texts grow it as they come, so a
    // sheet refused on the way has not taken room for all of it.
    const int slots = qBound(1, count, kMaxQuestions);
    QuestionPage page(slots * (qMax(htm_Typ1.size(), htm_Typ2.size()) + htm_notxt.size()));
    QString *blocks = page.blocks();
    int n = 0;
    // The first record is read whatever the count says.
    while (f.hasNext() && !f.nextIsLast() && (n == 0 || n < count)) {
        // More questions than an exam may have: a damaged sheet.
        if (n == kMaxQuestions)
            return QString();
        const QString question = f.take();
        if (question.size() > kMaxSheetFieldChars)
            return QString();
        const QString text = isolatedHtml(question);
        const int type = readInt(f.take());
        const Substitutions numbered = {{kSoal, text}, {kNu, QString::number(++n)}};
        if (type == 1) {
            const QStringRef answer = f.takeRef();
            if (answer.size() > kMaxSheetFieldChars)
                return QString();
            const bool lost = answer.contains(QStringLiteral("???"));
            for (int i = 0; i < typ1Parts.size(); ++i) {
                if (i > 0) {
                    if (lost)
                        blocks->append(htm_notxt);
                    else
                        appendIsolatedHtml(blocks, answer);
                    blocks->append(QLatin1Char('\n'));
                }
                appendFilled(blocks, typ1Parts.at(i), numbered);
            }
        } else if (type == 2 || type == 3) {
            const int k = readInt(f.take());
            QString lines;
            for (int taken = 0; taken < k && f.hasNext(); ++taken) {
                if (taken == kMaxChoices)
                    return QString();
                const QStringRef choice = f.takeRef();
                if (choice.size() > kMaxSheetFieldChars)
                    return QString();
                const bool chosen = choice.left(4).compare(on, Qt::CaseInsensitive) == 0;
                if (type == 2)
                    lines += chosen ? QStringLiteral("<input disabled checked type=checkbox>")
                                    : QStringLiteral("<input disabled         type=checkbox>");
                else
                    lines += chosen ? QStringLiteral("<input checked  type=radio name=R1>")
                                    : QStringLiteral("<input disabled type=radio name=R1>");
                appendIsolatedHtml(&lines, choice.mid(4));
                lines += QStringLiteral("<BR>\n");
            }
            appendFilled(blocks, type == 2 ? htm_Typ2 : htm_Typ3, numbered + Substitutions{{kChoi, lines}});
        }
    }
    return page.finish();
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
