#include "rooms/roomaudio.h"

#include "common/hooks.h"
#include "rooms/pure/livestream.h"
#include "rooms/pure/recordingname.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

int sourceAnswerLimitMs = 10000;

QNetworkRequest listenRequest(const QString &readAddress, const QString &pathPrefix, int roomId)
{
    QNetworkRequest request(
        QUrl(listenAddress(readAddress, pathPrefix, roomId), QUrl::TolerantMode));
    request.setRawHeader("User-Agent", "MyBrowser 1.0");
    request.setRawHeader("Connection", "Keep-Alive");
    return request;
}

bool connectProcessingEvents(QTcpSocket *socket, const QString &host, quint16 port, int limitMs,
                             const QPointer<QObject> &owner)
{
    const QPointer<QTcpSocket> guard(socket);
    const hooks::NestedLoop nested;
    // Wakes the wait when the limit passes with no event at all.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(limitMs);
    QElapsedTimer elapsed;
    elapsed.start();
    socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    for (;;) {
        if (hooks::retired(owner) || !guard)
            return false;
        const QAbstractSocket::SocketState state = socket->state();
        if (state != QAbstractSocket::HostLookupState
            && state != QAbstractSocket::ConnectingState)
            return true;
        if (elapsed.elapsed() >= limitMs) {
            qDebug("Status: %d (no connection after %d ms)", int(state), limitMs);
            socket->abort();
            return true;
        }
        qDebug("Status: %d", int(state));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool openRecordingFile(QFile &file, const QString &folder, const QString &roomName,
                       const QDateTime &when, QString *error)
{
    if (file.isOpen())
        file.close();
    const QDir dir(folder);
    for (int n = 1; n <= 1000; ++n) {
        file.setFileName(dir.filePath(recordingFileName(roomName, when, n)));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!file.exists())
            break;
    }
    if (error)
        *error = file.fileName() + QStringLiteral(": ") + file.errorString();
    return false;
}

bool reopenRecordingFile(QFile &file, QString *error)
{
    file.close();
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    if (error)
        *error = file.fileName() + QStringLiteral(": ") + file.errorString();
    return false;
}
