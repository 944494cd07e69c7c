// The supervisor's reply readers, the report row of any file content and
// the pieces of the question entry never read past what they are given; a
// choice stored into a record always lands as its last field.
#include "core/pure/adminreplies.h"
#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"
#include "core/pure/reply.h"
#include "core/pure/report.h"
#include "supervision/pure/examdraft.h"
#include "supervision/pure/reports.h"

#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(bytes);
    const QString payload = TestStr(text);

    for (const QString &input : {payload, text}) {
        const StateReply login = readInfoAdminReply(input);
        check(login.kind != AdminReply::Ok || input.trimmed().startsWith("ok", Qt::CaseInsensitive));
        check(!login.state || login.kind == AdminReply::Ok);
        readUploadReply(input);
        readReportSendReply(input);
        readServerStateReply(input);

        const std::optional<QStringList> fields = reportRecordFields(input);
        check(!fields || fields->size() == kReportRecordFields);
        const FormQuery query = reportSendQuery(QStringLiteral("http://h/velmar.php"),
                                                fields.value_or(QStringList()), size % 2);
        check(query.items().size() == 6 + int(size % 2));
        reportRow(input, QStringLiteral("Velmar"));
    }
    reportRow(decompressReport(bytes), QStringLiteral("Velmar"));

    // A record and a choice from the input: the choice is the last field and
    // the record still reads as one question.
    const int cut = text.size() / 2;
    const QString record = choiceRecord(text.left(cut), 2 + int(size % 2), QStringLiteral("3"));
    const int number = int(size % 5);
    const QString with = withChoice(record, number, text.mid(cut));
    check(with.section(QLatin1Char('|'), -1) == cleanExamFreeText(text.mid(cut)));
    check(readExamText(QStringLiteral("1|") + with).questions.size() == 1);
    check(recordChoiceCount(record) == 3);
    const QStringList records = text.split(QLatin1Char('\n'));
    check(enteredRecords(records, number) <= records.size());
    examTextOf(text.left(3), records);
    QString limit;
    if (readLimit(text, &limit))
        check(limit == QLatin1String("-1") || readInt(limit) > 0);
    check(!cleanHeaderText(text).contains(QLatin1Char('|')));
    return 0;
}
