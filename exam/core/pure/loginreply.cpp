#include "core/pure/loginreply.h"

#include "core/pure/reply.h"

StudentInfo parseStudentInfo(const QString &payload)
{
    StudentInfo info;
    if (replyIs(payload, QStringLiteral("no user"))) {
        info.kind = StudentInfo::NoUser;
        return info;
    }
    const QStringList parts = payload.split(QStringLiteral("<:>"));
    if (parts.size() < 2)
        return info;
    info.kind = StudentInfo::Known;
    info.name = parts.at(0);
    info.mail = parts.at(1);
    return info;
}

LoginReply parseLoginReply(const QString &payload)
{
    static const QString recordMark = QStringLiteral("<|||>");
    LoginReply reply;
    QString head = payload;
    QStringList records;
    const int mark = payload.indexOf(recordMark);
    if (mark >= 0) {
        reply.hasExams = true;
        head = payload.left(mark);
        head.chop(1);
        records = payload.mid(mark + recordMark.size()).split(recordMark);
    }
    if (!head.trimmed().isEmpty()) {
        const QStringList fields = head.split(QStringLiteral("<>"));
        if (fields.size() < 6) {
            reply.malformed = true;
            return reply;
        }
        reply.headPresent = true;
        reply.flag = fields.at(0);
        reply.serverTime = fields.at(3);
    }
    for (const QString &text : qAsConst(records)) {
        const QStringList f = text.split(QStringLiteral("<||>"));
        if (f.size() < 5)
            continue;
        ExamRecord r;
        r.id = f.at(0);
        r.start = f.at(1);
        r.duration = f.at(2);
        r.header = f.at(3);
        r.field4 = f.at(4);
        r.texts = f.mid(5);
        reply.records.append(r);
    }
    return reply;
}

ExamHeader splitExamHeader(const QString &header)
{
    const QStringList parts = header.split(QStringLiteral("<:>"));
    ExamHeader h;
    h.title = parts.value(0);
    h.fawjText = parts.value(1);
    h.faslText = parts.value(2);
    h.fawj = h.fawjText.toInt();
    h.fasl = h.faslText.toInt();
    return h;
}
