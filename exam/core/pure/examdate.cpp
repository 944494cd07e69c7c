#include "core/pure/examdate.h"

#include <QTime>

const QString kServerFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QDateTime parseServerTime(const QString &text)
{
    return QDateTime::fromString(text, kServerFormat);
}

qint64 secondsToExamEnd(const QString &serverNow, int minutes, const QDateTime &start)
{
    const QDateTime now = parseServerTime(serverNow);
    if (!now.isValid() || !start.isValid())
        return 0;
    return now.secsTo(start.addSecs(qint64(minutes) * 60));
}

QString remainingText(qint64 seconds)
{
    const qint64 day = 24 * 3600;
    const int wrapped = int(((seconds % day) + day) % day);
    return QTime(0, 0).addSecs(wrapped).toString(QStringLiteral("hh:mm:ss"));
}

int Changenegative(int n)
{
    QString text = QString::number(n);
    if (text.startsWith(QLatin1Char('-')))
        text.remove(0, 1);
    else
        text.prepend(QLatin1Char('-'));
    return text.toInt();
}
