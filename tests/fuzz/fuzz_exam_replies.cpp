// The exam endpoint's reply parsers and the form-post body never read out of
// bounds, never grow a reply, and the body always decodes back to the items.
#include "core/pure/examdate.h"
#include "core/pure/formbody.h"
#include "core/pure/loginreply.h"
#include "core/pure/reply.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(bytes);

    const QString payload = TestStr(text);
    if (payload.size() > text.size())
        __builtin_trap();

    const LoginReply reply = parseLoginReply(payload);
    for (const ExamRecord &record : reply.records) {
        const ExamHeader header = splitExamHeader(record.header);
        secondsToExamEnd(reply.serverTime, record.duration.toInt(), parseServerTime(record.start));
        remainingText(header.fawj);
    }
    parseStudentInfo(payload);
    Changenegative(int(size) - 100);

    // Items typed as they come must decode back exactly.
    const int cut = text.size() / 2;
    FormQuery query(QStringLiteral("http://127.0.0.1:8086/velmar.php"));
    query.addQueryItem(text.left(cut), text.mid(cut));
    const QByteArray body = query.toBody();
    const QList<QByteArray> items = body.mid(1).split('&');
    if (items.size() != 2 || body.contains('+') || body.contains(' '))
        __builtin_trap();
    const int eq = items.at(1).indexOf('=');
    if (eq < 0 || QByteArray::fromPercentEncoding(items.at(1).left(eq)) != text.left(cut).toUtf8()
        || QByteArray::fromPercentEncoding(items.at(1).mid(eq + 1)) != text.mid(cut).toUtf8())
        __builtin_trap();
    return 0;
}
