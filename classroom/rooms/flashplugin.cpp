#include "rooms/flashplugin.h"

#include <QLabel>

const QString FlashPluginFactory::kMimeType = QStringLiteral("application/x-shockwave-flash");

FlashPluginFactory::FlashPluginFactory(QObject *parent) : QWebPluginFactory(parent) {}

QList<QWebPluginFactory::Plugin> FlashPluginFactory::plugins() const
{
    MimeType type;
    type.name = kMimeType;
    type.description = QStringLiteral("Flash");
    type.fileExtensions = QStringList{QStringLiteral("swf")};
    Plugin plugin;
    plugin.name = QStringLiteral("Flash placeholder");
    plugin.description = QStringLiteral("Stands in for the flash player");
    plugin.mimeTypes = QList<MimeType>{type};
    return QList<Plugin>{plugin};
}

QObject *FlashPluginFactory::create(const QString &mimeType, const QUrl &, const QStringList &,
                                    const QStringList &) const
{
    if (mimeType != kMimeType)
        return nullptr;
    auto *placeholder = new QLabel;
    placeholder->setObjectName(QStringLiteral("flashPlaceholder"));
    placeholder->setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 128);"));
    return placeholder;
}
