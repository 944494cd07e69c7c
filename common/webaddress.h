// The one check of the web addresses that both programs load, open or post
// to, and of the web paths that page names are appended to.
#pragma once

#include <QString>
#include <QUrl>

// An absolute http or https address with a host and without a user name or
// password (nor an empty one: no "@" before the host).
inline bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
           && !url.host().isEmpty() && !url.authority().contains(QLatin1Char('@'));
}

// A web address to which page names are appended as text: its host ends
// with a "/", so that no appended name can change where it points.
inline bool isWebPath(const QString &path)
{
    return isWebAddress(path) && QUrl(path, QUrl::TolerantMode).path().startsWith(QLatin1Char('/'));
}

// The page: path followed by name when path is a web path, else an empty
// address (nothing to load, open or post to).
inline QUrl webPage(const QString &path, const QString &name)
{
    if (!isWebPath(path))
        return QUrl();
    const QString joined = path + name;
    const QUrl base(path, QUrl::TolerantMode);
    const QUrl page(joined, QUrl::TolerantMode);
    if (!isWebAddress(joined) || page.scheme() != base.scheme()
        || page.host() != base.host() || page.port() != base.port())
        return QUrl();
    return page;
}
