#include "protocol/pure/examschedule.h"

#include "protocol/pure/fields.h"
#include "protocol/pure/testdate.h"

namespace {

const QString kRecordSeparator = QStringLiteral("<|||>");
const QString kFieldSeparator = QStringLiteral("<||>");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int kExamFields = 4;

} // namespace

ExamSchedule parseExamSchedule(const QString &body)
{
    ExamSchedule schedule;
    const Fields records(body, kRecordSeparator);
    schedule.serverTimeText = records.text(0);
    schedule.serverTime = QDateTime::fromString(schedule.serverTimeText, kDateFormat);
    for (int i = 1; i < records.count(); ++i) {
        const Fields fields = records.split(i, kFieldSeparator);
        if (fields.count() < kExamFields)
            continue;
        ExamRecord exam;
        exam.position = i;
        exam.number = fields.text(0);
        exam.startText = fields.text(1);
        exam.minutesText = fields.text(2);
        exam.title = fields.text(3);
        exam.start = QDateTime::fromString(exam.startText, kDateFormat);
        exam.minutes = fields.number(2);
        schedule.exams << exam;
    }
    return schedule;
}

bool examRunning(const ExamRecord &exam, const QDateTime &now)
{
    return TestDate(0, exam.start, now) < 1 && TestDate(exam.minutes, exam.start, now) > 0;
}

bool examNotOver(const ExamRecord &exam, const QDateTime &now)
{
    return TestDate(exam.minutes, exam.start, now) > 0;
}

QVector<ExamRecord> examsNotOver(const ExamSchedule &schedule)
{
    QVector<ExamRecord> listed;
    for (const ExamRecord &exam : schedule.exams)
        if (examNotOver(exam, schedule.serverTime))
            listed << exam;
    return listed;
}

bool scheduleChanged(const QString &kept, const QString &received)
{
    const int from = Fields(received, kRecordSeparator).text(0).size();
    return kept.mid(from) != received.mid(from);
}
