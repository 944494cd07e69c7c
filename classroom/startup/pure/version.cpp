#include "startup/pure/version.h"

#include "startup/pure/entries.h"

QStringList parseVersionRecord(const QString &body)
{
    const QStringList fields = usefulPart(body).split(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (fields.size() < kVersionFieldCount)
        return {};
    return fields;
}

VersionDecision decideVersions(const QStringList &fields, const QString &clientVersion,
                               const QString &qtVersion, const QString &examOutput,
                               const QString &ownFileName)
{
    VersionDecision d;
    if (fields.size() < kVersionFieldCount)
        return d;
    d.mode = fields.at(4) != qtVersion ? QStringLiteral("c") : fields.at(5);
    d.clientOffered = fields.at(0);
    d.clientOutdated = fields.at(0) != clientVersion;
    if (d.mode != QLatin1String("n")) {
        d.clientUpdater << QLatin1Char('/') + d.mode;
        if (!fields.at(3).isEmpty())
            d.clientUpdater << QStringLiteral("/r");
        d.clientUpdater << ownFileName << fields.at(0) << fields.at(2);
        if (!fields.at(3).isEmpty())
            d.clientUpdater << fields.at(3);
    }
    d.examOffered = fields.at(6);
    d.examOutdated = examOutput != fields.at(6);
    if (!fields.at(7).isEmpty())
        d.examUpdater << QStringLiteral("/k") << QStringLiteral("/n") << QStringLiteral("Tallivor")
                      << fields.at(6) << fields.at(7) << fields.at(7);
    return d;
}

QString updateMessage(QString text, const QString &installed, const QString &offered)
{
    text.replace(QLatin1String("1.0.0"), installed);
    text.replace(QLatin1String("1.0.1"), offered);
    return text;
}
