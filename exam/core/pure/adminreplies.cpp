#include "core/pure/adminreplies.h"

#include "core/pure/pagetext.h"

FormQuery infoAdminQuery(const QString &endpoint, int idUser, const QString &user,
                         const QString &group, const QString &password)
{
    FormQuery query(endpoint);
    query.addQueryItem(QStringLiteral("id_user"), idUser);
    query.addQueryItem(QStringLiteral("user_admin"), user);
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("infoadmin"));
    query.addQueryItem(QStringLiteral("isgroup"), group);
    query.addQueryItem(QStringLiteral("pwd"), password);
    return query;
}

FormQuery uploadQuery(const QString &endpoint, const ExamUpload &exam, const QString &group,
                      const QString &admin, const QString &password)
{
    FormQuery query(endpoint);
    if (exam.id >= 1) {
        query.addQueryItem(QStringLiteral("id"), exam.id);
        query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("sendedit"));
    } else {
        query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("sendim"));
    }
    query.addQueryItem(QStringLiteral("isgroup"), group);
    query.addQueryItem(QStringLiteral("id_user"), exam.idUser);
    query.addQueryItem(QStringLiteral("ostad"), exam.ostad);
    query.addQueryItem(QStringLiteral("fawj"), exam.fawj);
    query.addQueryItem(QStringLiteral("fasl"), exam.fasl);
    query.addQueryItem(QStringLiteral("user_admin"), admin);
    query.addQueryItem(QStringLiteral("pwd"), password);
    query.addQueryItem(QStringLiteral("titre"), exam.titre);
    query.addQueryItem(QStringLiteral("txt"), exam.txt);
    query.addQueryItem(QStringLiteral("moda"), exam.moda);
    query.addQueryItem(QStringLiteral("dateim"), exam.dateim);
    return query;
}

FormQuery serverStateQuery(const QString &endpoint, const QString &group, bool on,
                           const QString &admin, const QString &password, int idUser)
{
    FormQuery query(endpoint);
    query.addQueryItem(QStringLiteral("isgroup"), group);
    query.addQueryItem(QStringLiteral("stat"), on ? QStringLiteral("1") : QStringLiteral("0"));
    query.addQueryItem(QStringLiteral("user_admin"), admin);
    query.addQueryItem(QStringLiteral("pwd"), password);
    query.addQueryItem(QStringLiteral("id_user"), idUser);
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("changetat"));
    return query;
}

std::optional<QStringList> reportRecordFields(const QString &record)
{
    static const QString sep = QStringLiteral("<::>");
    QStringList fields;
    int from = 0;
    while (fields.size() < kReportRecordFields) {
        const int at = record.indexOf(sep, from);
        if (at < 0) {
            fields << record.mid(from);
            break;
        }
        fields << record.mid(from, at - from);
        from = at + sep.size();
    }
    if (fields.size() < kReportRecordFields)
        return std::nullopt;
    return fields;
}

FormQuery reportSendQuery(const QString &endpoint, const QStringList &fields, bool edit)
{
    const auto field = [&fields](int i) { return i < fields.size() ? fields.at(i) : QString(); };
    FormQuery query(endpoint);
    query.addQueryItem(QStringLiteral("cmd"), QStringLiteral("send"));
    if (edit)
        query.addQueryItem(QStringLiteral("cmd2"), QStringLiteral("edit"));
    query.addQueryItem(QStringLiteral("id_user"), field(3));
    query.addQueryItem(QStringLiteral("isgroup"), field(5));
    query.addQueryItem(QStringLiteral("txt"), field(10));
    query.addQueryItem(QStringLiteral("id"), field(6));
    query.addQueryItem(QStringLiteral("titre"), field(9));
    return query;
}

namespace {

bool is(const QString &trimmed, const char *word)
{
    return trimmed.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool startsOk(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1String("ok"), Qt::CaseInsensitive);
}

// "ok|n...": the switch is on when field 1 reads as a number other than 0
// (a field that is not a number reads as 0); no field 1, no state.
StateReply okWithState(const QString &trimmed)
{
    StateReply reply;
    reply.kind = AdminReply::Ok;
    const int bar = trimmed.indexOf(QLatin1Char('|'));
    if (bar >= 0) {
        const QString field = trimmed.mid(bar + 1).section(QLatin1Char('|'), 0, 0);
        reply.state = readInt(field.trimmed()) != 0;
    }
    return reply;
}

} // namespace

StateReply readInfoAdminReply(const QString &payload)
{
    const QString p = payload.trimmed();
    if (p.isEmpty())
        return {AdminReply::Empty, std::nullopt};
    if (startsOk(p))
        return okWithState(p);
    if (is(p, "no admin"))
        return {AdminReply::Refused, std::nullopt};
    return {AdminReply::Unknown, std::nullopt};
}

AdminReply readUploadReply(const QString &payload)
{
    const QString p = payload.trimmed();
    if (p.isEmpty())
        return AdminReply::Empty;
    if (startsOk(p))
        return AdminReply::Ok;
    if (is(p, "no ostad"))
        return AdminReply::NoOstad;
    if (is(p, "no admin"))
        return AdminReply::Refused;
    if (is(p, "deja"))
        return AdminReply::Deja;
    return AdminReply::Unknown;
}

AdminReply readReportSendReply(const QString &payload)
{
    const QString p = payload.trimmed();
    if (p.isEmpty())
        return AdminReply::Empty;
    if (is(p, "ok"))
        return AdminReply::Ok;
    if (is(p, "deja"))
        return AdminReply::Deja;
    return AdminReply::Unknown;
}

StateReply readServerStateReply(const QString &payload)
{
    const QString p = payload.trimmed();
    if (p.isEmpty())
        return {AdminReply::Empty, std::nullopt};
    if (startsOk(p))
        return okWithState(p);
    if (is(p, "no admin"))
        return {AdminReply::Refused, std::nullopt};
    return {AdminReply::Unknown, std::nullopt};
}
