#include "mainwindow/chatpage.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QWebSettings>

namespace {

// Refuses every request whose scheme is not allowed; the engine then gets an
// error reply and shows nothing.
class FilteringNetwork : public QNetworkAccessManager
{
public:
    FilteringNetwork(bool remote, QObject *parent)
        : QNetworkAccessManager(parent), m_remote(remote)
    {
    }

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *data) override
    {
        const QString scheme = request.url().scheme().toLower();
        const bool allowed =
            op == GetOperation
            && (scheme == QLatin1String("qrc")
                || (m_remote && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))));
        if (allowed)
            return QNetworkAccessManager::createRequest(op, request, data);
        QNetworkRequest refused(request);
        refused.setUrl(QUrl(QStringLiteral("refused:")));
        return QNetworkAccessManager::createRequest(GetOperation, refused, nullptr);
    }

private:
    bool m_remote;
};

} // namespace

ChatPage::ChatPage(Role role, QObject *parent) : QWebPage(parent)
{
    setNetworkAccessManager(new FilteringNetwork(role != Role::Parse, this));
    setLinkDelegationPolicy(DelegateAllLinks);
    QWebSettings *s = settings();
    s->setAttribute(QWebSettings::JavascriptEnabled, role == Role::View);
    s->setAttribute(QWebSettings::PluginsEnabled, false);
    s->setAttribute(QWebSettings::JavaEnabled, false);
    s->setAttribute(QWebSettings::DeveloperExtrasEnabled, false);
    s->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebSettings::AutoLoadImages, role != Role::Parse);
    s->setAttribute(QWebSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebSettings::OfflineStorageDatabaseEnabled, false);
    s->setAttribute(QWebSettings::OfflineWebApplicationCacheEnabled, false);
}

bool ChatPage::acceptNavigationRequest(QWebFrame *, const QNetworkRequest &request,
                                       NavigationType type)
{
    // The page's own content is set with setHtml, which does not come here.
    if (type == NavigationTypeLinkClicked)
        emit linkClicked(request.url());
    return false;
}

QWebPage *ChatPage::createWindow(WebWindowType) { return nullptr; }
