#include "rooms/pure/recordingname.h"

QString recordingRoomPart(const QString &roomName)
{
    QString out;
    out.reserve(roomName.size());
    for (const QChar c : roomName) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            continue;
        if (c.category() == QChar::Other_Control)
            continue;
        if (out.isEmpty() && c == QLatin1Char('.'))
            continue;
        out += c;
    }
    // Keep a surrogate pair whole when cutting.
    if (out.size() > kMaxRoomPart) {
        int cut = kMaxRoomPart;
        if (out.at(cut - 1).isHighSurrogate())
            --cut;
        out.truncate(cut);
    }
    return out;
}

QString recordingFileName(const QString &roomName, const QDateTime &when, int n)
{
    QString name = recordingRoomPart(roomName) + QLatin1Char('_')
                   + when.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('_')
                   + when.toString(QStringLiteral("HH.mm.ss"));
    if (n >= 2)
        name += QLatin1Char('-') + QString::number(n);
    return name + QStringLiteral(".mp3");
}
