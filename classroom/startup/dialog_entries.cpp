// The server-entry list, the picture cache under ~/.talvek and the choice of
// an entry for the login.
#include "startup/dialog.h"

#include "common/webaddress.h"
#include "protocol/state.h"
#include "startup/pure/entries.h"
#include "ui_dialog.h"

#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGraphicsProxyWidget>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {
// Replies larger than this are cut off and count as failed.
constexpr qint64 kMaxReplyBytes = 8 * 1024 * 1024;
// Pictures with more pixels than this are not decoded.
constexpr qint64 kMaxPicturePixels = 4096 * 4096;

QString cacheRoot() { return QDir::homePath() + QStringLiteral("/.talvek"); }
} // namespace

QByteArray Dialog::httpGet(const QString &url)
{
    if (!isWebAddress(url))
        return {};
    auto *manager = new QNetworkAccessManager(this);
    QNetworkReply *reply = manager->get(QNetworkRequest(QUrl(url, QUrl::TolerantMode)));
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxReplyBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    limit.start(launcherTimes.httpTimeoutMs);
    if (!reply->isFinished())
        loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QByteArray body;
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300)
        body = reply->readAll();
    reply->deleteLater();
    manager->deleteLater();
    return body;
}

QPixmap Dialog::iconForUrl(const QString &url)
{
    QByteArray body = httpGet(url);
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        return QPixmap();
    return QPixmap::fromImageReader(&reader);
}

void Dialog::setLoginEnabled(bool enabled)
{
    for (QPushButton *b : {form->Bmember, form->Bvisit}) {
        b->setEnabled(enabled);
        b->setStyleSheet(enabled ? QStringLiteral("color: rgb(0, 62, 0);")
                                 : QStringLiteral("color: rgb(200, 200, 200);"));
    }
}

void Dialog::on_pushButton_clicked()
{
    getVersion();
    entries.clear();
    entryIcons.clear();
    const QString root = cacheRoot();
    entries = parseEntryList(
        QString::fromUtf8(httpGet(GethttpServer + QStringLiteral("?Code=info"))));
    if (entries.isEmpty()) {
        setLoginEnabled(false);
        waitProxy->setOpacity(1);
        return;
    }
    setLoginEnabled(true);
    choice = clampChoice(choice, entries.size());

    for (int i = 0; i < entries.size(); ++i) {
        const QStringList f = entryFields(entries.at(i));
        if (isLocked(i, f.at(EntryLock), var_int)) {
            entryIcons << QPixmap(QStringLiteral(":/Resources/anim/lock.png"));
            continue;
        }
        // Server names become file names only as one plain component; an
        // entry whose names are not is shown without caching its pictures.
        const QString folder = f.at(EntryFolder);
        bool cacheable = false;
        if (isPlainName(folder)) {
            QDir(root).mkdir(folder);
            cacheable = QFileInfo(root + QLatin1Char('/') + folder).isDir();
        }
        const QString base = root + QLatin1Char('/') + folder + QLatin1Char('/');
        // Pictures come only from below the entry's checked web path.
        const QString web = entryWebPath(f);
        const auto download = [this, &web](const QString &name) {
            const QUrl page = webPage(web, name);
            return page.isEmpty() ? QPixmap() : iconForUrl(page.toString(QUrl::FullyEncoded));
        };

        QPixmap picture;
        const QString pictureName = f.at(EntryPicture);
        if (cacheable && isPlainName(pictureName)) {
            const QString path = base + pictureName;
            if (QFileInfo::exists(path)) {
                picture.load(path);
            } else {
                picture = download(pictureName);
                if (!picture.isNull())
                    picture.save(path);
            }
        } else {
            picture = download(pictureName);
        }
        entryIcons << picture;

        const QString logoName = f.at(EntryLogo);
        if (cacheable && isPlainName(logoName) && !QFileInfo::exists(base + logoName)) {
            const QPixmap logo = download(logoName);
            if (!logo.isNull())
                logo.save(base + logoName);
        }
    }
    waitProxy->setOpacity(0);
    start3d();
}

void Dialog::GetStringini()
{
    if (entries.isEmpty())
        return;
    choice = clampChoice(choice, entries.size());
    const EntrySettings s = entrySettings(entryFields(entries.at(choice)));
    IPServer2 = s.directoryHost;
    Port_Srv = s.directoryPort;
    path_web = s.webPath;
    path_swf = s.stationPath;
    path_radio = s.radioPath;
    r_radio = s.listenHost;
    w_radio = s.sourceHost;
    pass_radio = s.sourceAuth;
    velmar_group = s.group;
    velmar_name = s.name;
}
