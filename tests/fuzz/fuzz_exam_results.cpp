// The results reply as the results window reads it: the framed payload, the
// table of every record, and the sheet of the one record the student opens,
// with its grades. The reader never reads past a list, keeps only whole
// records within its limit, and no sheet carries markup of its own.
#include "core/pure/grading.h"
#include "core/pure/reply.h"
#include "core/pure/templates.h"
#include "supervision/pure/results.h"

#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

int count(const QString &text, const char *what)
{
    return text.count(QLatin1String(what));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(bytes);
    const QString payload = TestStr(text);
    check(replyHasFrame(text) || payload.isEmpty());

    const ResultsReply reply = readResultsReply(payload);
    check(reply.records.size() <= kMaxResultRecords);
    check(reply.records.size() + reply.skipped <= payload.count(QStringLiteral("<|>")));
    for (const ResultRecord &r : reply.records)
        resultHeading(r);
    if (reply.records.isEmpty())
        return 0;

    const ResultRecord &r = reply.records.at(int(size % size_t(reply.records.size())));
    const QString sheet = resultSheet(r.answers, resultHeading(r), reply.name, reply.mail,
                                      r.subject);
    if (sheet.isEmpty())
        return 0;
    // Every header slot is filled once, and no text adds an element.
    check(!sheet.contains(QLatin1String("<div id='userinfo'>#userinfo#</div>"))
          && !sheet.contains(QLatin1String("<div id='mada'>#mada#</div>")));
    check(count(sheet, "<script") == count(htm_table, "<script"));
    check(count(sheet, "<div id='userinfo'>") == 1 && count(sheet, "<div id='mada'>") == 1);
    const int slots = count(sheet, "<div id='note'></div>");
    const GradedSheet graded = fillGrades(sheet, r.grading);
    check(count(graded.html, "<div id='note2'>") <= slots);
    check(count(graded.html, "<div id='total'>") >= 1);
    return 0;
}
