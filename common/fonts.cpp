#include "fonts.h"

#include <QFont>
#include <QFontDatabase>

const QString kKufiFamily = QStringLiteral("Noto Kufi Arabic");
const QString kNaskhFamily = QStringLiteral("Noto Naskh Arabic");
const QString kSansFamily = QStringLiteral("DejaVu Sans");

QStringList installFonts()
{
    static QStringList families;
    if (!families.isEmpty())
        return families;
    static const char *const files[] = {
        ":/Resources/font/DejaVuSans.ttf",         ":/Resources/font/DejaVuSans-Bold.ttf",
        ":/Resources/font/NotoKufiArabic-Bold.ttf", ":/Resources/font/NotoKufiArabic-Regular.ttf",
        ":/Resources/font/NotoNaskhArabic-Regular.ttf",
        ":/Resources/font/NotoNaskhArabic-Bold.ttf"};
    for (const char *file : files) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        const QStringList names = QFontDatabase::applicationFontFamilies(id);
        families << (names.isEmpty() ? QString() : names.first());
    }
    QFont::insertSubstitution(QStringLiteral("Tahoma"), kSansFamily);
    QFont::insertSubstitution(QStringLiteral("Droid Arabic Kufi"), kKufiFamily);
    QFont::insertSubstitution(QStringLiteral("DroidKufi"), kKufiFamily);
    QFont::insertSubstitution(QStringLiteral("Granada"), kNaskhFamily);
    QFont::insertSubstitution(QStringLiteral("ae_Granada"), kNaskhFamily);
    QFont::insertSubstitution(QStringLiteral("Al-Jazeera Arabic"), kKufiFamily);
    QFont::insertSubstitution(QStringLiteral("Al-Jazeera-Arabic"), kKufiFamily);
    return families;
}

void useFormFontResolution()
{
    if (!qEnvironmentVariableIsSet("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "72");
}

QString substituteFamily(const QString &family)
{
    return QFont::substitute(family);
}
