// The room pages embed a flash player, which this platform does not have.
// This factory declares its type, so the pages find it and go on, and puts a
// quiet placeholder where the player would be.
#pragma once

#include <QWebPluginFactory>

class FlashPluginFactory : public QWebPluginFactory
{
    Q_OBJECT
public:
    static const QString kMimeType; // "application/x-shockwave-flash"

    explicit FlashPluginFactory(QObject *parent = nullptr);

    QList<Plugin> plugins() const override;
    QObject *create(const QString &mimeType, const QUrl &url, const QStringList &argumentNames,
                    const QStringList &argumentValues) const override;
};
