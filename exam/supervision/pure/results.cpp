#include "supervision/pure/results.h"

#include "core/pure/loginreply.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"

#include <QStringList>

#include <utility>

ResultsReply readResultsReply(const QString &payload)
{
    ResultsReply reply;
    const QStringList parts = payload.split(QStringLiteral("<|>"));
    const QStringList head = parts.first().split(QLatin1Char('|'));
    reply.name = head.value(0);
    reply.mail = head.value(1);
    for (int i = 1; i < parts.size(); ++i) {
        if (reply.records.size() >= kMaxResultRecords) {
            reply.skipped = parts.size() - i;
            break;
        }
        const QStringList f = parts.at(i).split(QLatin1Char('|'));
        const ExamHeader heading = splitExamHeader(f.at(0));
        ResultRecord r;
        r.subject = heading.title;
        r.cohort = heading.fawjText;
        r.classNo = heading.faslText;
        r.number = f.value(1);
        r.date = f.value(2);
        r.answers = f.value(3);
        r.grading = f.value(4);
        reply.records.append(r);
    }
    return reply;
}

QString resultHeading(const ResultRecord &record)
{
    return record.subject + QString::fromUtf8("\n[ الفوج:") + record.cohort
           + QString::fromUtf8(" - الفصل:") + record.classNo + QStringLiteral(" ]");
}

QString resultSheet(const QString &answers, const QString &heading, const QString &name,
                    const QString &mail, const QString &label)
{
    QString page = ExtracImtDisplay(answers);
    if (page.isEmpty())
        return page;
    page = fillSlot(std::move(page), QStringLiteral("userinfo"),
                    QString::fromUtf8("الاسم : ") + isolatedHtml(name)
                        + QString::fromUtf8("<br />البريد: ") + isolatedHtml(mail));
    page = fillSlot(std::move(page), QStringLiteral("velmarinfo"), labelHtml(label));
    // Each line of the heading (the subject, then cohort and class) in its
    // own direction; the line break stays.
    QStringList lines = heading.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = isolatedHtml(line);
    return fillSlot(std::move(page), QStringLiteral("mada"), lines.join(QLatin1Char('\n')));
}
