#include "startup/pure/config.h"

#include "startup/pure/base64.h"

#include <QStringList>

VelmarConfig parseConfig(const QByteArray &fileBytes)
{
    const int nul = fileBytes.indexOf('\0');
    const QByteArray text = nul < 0 ? fileBytes : fileBytes.left(nul);
    const QStringList fields =
        QString::fromUtf8(base64_decode(text)).split(QLatin1Char('|'), Qt::KeepEmptyParts);
    VelmarConfig config;
    config.baseUrl = fields.value(0);
    if (fields.size() > 1)
        config.defaultEntry = fields.at(1).toInt(); // 0 when not a number
    return config;
}
