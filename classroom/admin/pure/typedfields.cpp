#include "admin/pure/typedfields.h"

bool breaksFields(const QString &text)
{
    return text.contains(QLatin1Char('|')) || text.contains(QLatin1Char(':'));
}
