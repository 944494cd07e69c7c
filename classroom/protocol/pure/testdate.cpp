#include "protocol/pure/testdate.h"

qint64 TestDate(int minutes, const QDateTime &start, const QDateTime &now)
{
    return now.secsTo(start.addSecs(qint64(minutes) * 60));
}
