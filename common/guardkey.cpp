#include "common/guardkey.h"

QString examGuardKey()
{
    const QString key = qEnvironmentVariable("VELMAR_EXAM_GUARD_KEY");
    return key.isEmpty() ? QStringLiteral("Velmar_imtihan") : key;
}
