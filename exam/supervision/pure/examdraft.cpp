#include "supervision/pure/examdraft.h"

#include "core/pure/examtext.h"
#include "core/pure/pagetext.h"

QString cleanHeaderText(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char('|'));
    out.remove(QLatin1Char('<'));
    out.remove(QLatin1Char('>'));
    return out;
}

QString freeTextRecord(const QString &question, const QString &limit)
{
    return cleanExamFreeText(question) + QStringLiteral("|1|") + limit;
}

QString choiceRecord(const QString &question, int type, const QString &count)
{
    return cleanExamFreeText(question) + (type == 2 ? QStringLiteral("|2|") : QStringLiteral("|3|"))
           + count;
}

int recordChoiceCount(const QString &record)
{
    return readInt(record.section(QLatin1Char('|'), 2, 2));
}

QString withChoice(const QString &record, int choiceNo, const QString &choice)
{
    const QStringList fields = record.split(QLatin1Char('|'));
    QStringList kept = fields.mid(0, qBound(0, choiceNo + 2, fields.size()));
    kept << cleanExamFreeText(choice);
    return kept.join(QLatin1Char('|'));
}

int enteredRecords(const QStringList &records, int count)
{
    int n = 0;
    while (n < records.size() && !records.at(n).isEmpty() && (count <= 0 || n < count))
        ++n;
    return n;
}

QString examTextOf(const QString &countText, const QStringList &records)
{
    const int n = enteredRecords(records, readInt(countText));
    return countText + QLatin1Char('|') + QStringList(records.mid(0, n)).join(QLatin1Char('|'));
}

bool readLimit(const QString &text, QString *limit)
{
    int value = 0;
    if (!readInt(text.trimmed(), &value) || value == 0)
        return false;
    *limit = value < 0 ? QStringLiteral("-1") : QString::number(value);
    return true;
}
