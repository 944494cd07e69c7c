// The rows of the report files window: what it shows of a report record and
// whether the report belongs to the running institute.
#pragma once

#include <QString>
#include <optional>

struct ReportRow
{
    enum Kind {
        Listed,         // a report of this institute
        OtherInstitute, // not listed; its label says whose it is
        Damaged,        // unreadable or fewer than eleven fields
    };
    Kind kind = Damaged;
    QString heading; // title, then "[ الفوج:" cohort "  الفصل:" class " ]"
    QString student;
    QString saved;   // the save time as "yyyy-MM-dd hh:mm:ss"
    QString label;   // the record's institute label
};

// text: the decompressed record text of a report file, nothing when the file
// could not be read. label: the running program's institute label.
ReportRow reportRow(const std::optional<QString> &text, const QString &label);
