#include "startup/pure/entries.h"

#include "common/webaddress.h"
#include "mainwindow/pure/htmlsanitizer.h"
#include "startup/pure/base64.h"

QString usefulPart(const QString &body)
{
    int start = body.indexOf(QLatin1String("<|"));
    start = start < 0 ? 0 : start + 2;
    const int end = body.indexOf(QLatin1String("|>"), start);
    return end < 0 ? body.mid(start) : body.mid(start, end - start);
}

QStringList parseEntryList(const QString &body)
{
    QStringList entries;
    const QStringList parts = usefulPart(body).split(QLatin1String("||"), Qt::KeepEmptyParts);
    for (const QString &entry : parts) {
        if (entries.size() >= kMaxEntries)
            break;
        if (entry.count(QLatin1Char('|')) + 1 >= kEntryFieldCount)
            entries << entry;
    }
    return entries;
}

QStringList entryFields(const QString &entry)
{
    QStringList fields = entry.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    while (fields.size() < kEntryFieldCount)
        fields << QString();
    return fields;
}

bool isLocked(int index, const QString &lockField, int defaultEntry)
{
    return defaultEntry != -1 && index != defaultEntry && lockField.toInt() == 1;
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && !name.contains(QChar(0));
}

QString entryWebPath(const QStringList &fields)
{
    const QString path = fields.value(EntryWebPath);
    return isWebPath(path) ? path : QString();
}

int clampChoice(int choice, int count)
{
    if (count <= 0)
        return 0;
    return qBound(0, choice, count - 1);
}

QString cleanStreamHost(QString host)
{
    host.remove(QStringLiteral("http://"));
    host.remove(QStringLiteral("www."));
    return host;
}

EntrySettings entrySettings(const QStringList &fields)
{
    EntrySettings s;
    s.directoryHost = fields.value(EntryHost);
    s.directoryPort = fields.value(EntryPort).toInt();
    s.webPath = entryWebPath(fields);
    if (!s.webPath.isEmpty())
        s.stationPath = s.webPath + fields.value(EntryStation);
    s.radioPath = fields.value(EntryRadioPath);
    const QByteArray credentials = "source:" + fields.value(EntrySourcePassword).toUtf8();
    s.sourceAuth = base64_encode(credentials, credentials.size());
    s.listenHost = cleanStreamHost(fields.value(EntryListenHost));
    s.sourceHost = cleanStreamHost(fields.value(EntrySourceHost));
    s.group = fields.value(EntryGroup);
    s.name = fields.value(EntryName);
    return s;
}

QString registrationHtml(const QString &link, const QString &caption)
{
    const QString href = isWebAddress(link) ? escapeHtml(link) : QString();
    return QStringLiteral("<html><head><style type='text/css'>A{text-decoration:none}</style>"
                          "</head><body><p align='center'><a href='")
           + href
           + QStringLiteral("'><span style=' font-size:10pt; font-weight:600; "
                            "color:#0000ff;'>")
           + escapeHtml(caption) + QStringLiteral("</span></a></p></body></html>");
}
