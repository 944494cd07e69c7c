// The administration and exam bodies (codes 16, 18, 22, 23, 27, 28) parse
// any text without reading past it; every record kept has the fields its
// window reads.
#include "admin/pure/adminlists.h"
#include "protocol/pure/examschedule.h"
#include "protocol/pure/ownpermissions.h"
#include "protocol/pure/packet.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString body = decodeCp1256(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const int bars = body.count(QLatin1Char('|'));
    for (bool trim : {false, true})
        if (parseIdNameList(body, trim).size() > bars + 1)
            __builtin_trap();
    // Each room keeps its own record: one "|" part of the body, whose first
    // ":" field is the room's id.
    for (const AdminRoom &room : parseAdminRooms(body))
        if (room.id != room.id.trimmed() || room.name != room.name.trimmed()
            || room.record.contains(QLatin1Char('|'))
            || room.record.section(QLatin1Char(':'), 0, 0).trimmed() != room.id)
            __builtin_trap();
    if (parseSupervisors(body).size() != bars)
        __builtin_trap();
    for (const AdminRecord &admin : parseAdminRecords(body))
        if (!admin.record.startsWith(admin.name) || admin.record.count(QStringLiteral("::")) < 3)
            __builtin_trap();
    const OwnPermissions own = parseOwnPermissions(body);
    for (int value : own.values)
        if (value < -1 || value > 1 || (value >= 0 && !own.anyKey))
            __builtin_trap();
    const ExamSchedule schedule = parseExamSchedule(body);
    for (const ExamRecord &exam : schedule.exams) {
        if (exam.position < 1 || (exam.start.isValid() && exam.startText.isEmpty()))
            __builtin_trap();
        examRunning(exam, schedule.serverTime);
    }
    if (examsNotOver(schedule).size() > schedule.exams.size())
        __builtin_trap();
    scheduleChanged(body, body.left(int(size) / 2));
    return 0;
}
