#include "supervision/pure/reports.h"

#include "core/pure/adminreplies.h"
#include "core/pure/pagetext.h"

ReportRow reportRow(const std::optional<QString> &text, const QString &label)
{
    ReportRow row;
    const std::optional<QStringList> fields = text ? reportRecordFields(*text) : std::nullopt;
    if (!fields)
        return row;
    const QStringList &f = *fields;
    row.label = f.at(4);
    if (!sameLabel(f.at(4), label)) {
        row.kind = ReportRow::OtherInstitute;
        return row;
    }
    row.kind = ReportRow::Listed;
    row.heading = f.at(9) + QString::fromUtf8("\n[ الفوج:") + f.at(7) + QString::fromUtf8("  الفصل:")
                  + f.at(8) + QStringLiteral(" ]");
    row.student = f.at(1);
    row.saved = QString(f.at(0)).replace(QLatin1Char('_'), QLatin1Char(' ')).replace(QLatin1Char('.'),
                                                                                   QLatin1Char(':'));
    return row;
}
