#include "fonts.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QWebSettings>
#include <QWidget>

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

namespace {

// Raises widget fonts below the minimum; an application-wide event filter.
class FontFloor : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Polish || type == QEvent::FontChange) && object->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(object);
            const QFont font = widget->font();
            const QFont raised = fontAtLeastMinimum(font, widget->logicalDpiY());
            // The raised font sends a change of its own, which finds it large enough.
            if (raised != font)
                widget->setFont(raised);
        }
        return false;
    }
};

} // namespace

QFont fontAtLeastMinimum(const QFont &font, int dpi)
{
    if (QFontInfo(font).pixelSize() >= kMinTextPixels)
        return font;
    QFont raised = font;
    if (font.pixelSize() > 0 || dpi <= 0)
        raised.setPixelSize(kMinTextPixels);
    else
        raised.setPointSizeF(kMinTextPixels * 72.0 / dpi);
    return raised;
}

void installFontFloor()
{
    static FontFloor *floor = nullptr;
    if (floor || !qApp)
        return;
    floor = new FontFloor(qApp);
    qApp->installEventFilter(floor);
    QWebSettings::globalSettings()->setFontSize(QWebSettings::MinimumFontSize, kMinTextPixels);
}

void useProgramFonts()
{
    installFonts();
    QApplication::setFont(QFont(kKufiFamily, 12));
    installFontFloor();
}

QString substituteFamily(const QString &family)
{
    return QFont::substitute(family);
}
