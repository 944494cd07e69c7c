// Helpers of the room window's live audio: the incoming stream's request,
// the source connection's wait, and the recording file.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QNetworkRequest>
#include <QPointer>
#include <QString>

class QTcpSocket;

// The GET of a room's stream: "http://" + readAddress + "/" + pathPrefix +
// room id (tolerant parsing), with the headers User-Agent "MyBrowser 1.0"
// and Connection "Keep-Alive".
QNetworkRequest listenRequest(const QString &readAddress, const QString &pathPrefix, int roomId);

// How long a source connection may take from the connection attempt to the
// streaming server's accepted answer, in milliseconds.
extern int sourceAnswerLimitMs;

// Connects socket to host and port and processes pending events while it
// looks the host up or connects, writing "Status: %d" to the debug log; so
// the windows stay live. An attempt still going after limitMs is aborted.
// False when owner was destroyed during the wait: the caller must then touch
// nothing of it. True otherwise, whatever the socket's state.
bool connectProcessingEvents(QTcpSocket *socket, const QString &host, quint16 port, int limitMs,
                             const QPointer<QObject> &owner);

// Opens a new recording file for the room in folder, write-only, named by
// recordingFileName; a file of that name is never replaced: a second one in
// the same second gets the next counter. False, with the reason in error,
// when no file could be made.
bool openRecordingFile(QFile &file, const QString &folder, const QString &roomName,
                       const QDateTime &when, QString *error);

// Closes the recording and opens the same file again, appending, so what was
// recorded before stays. False with the reason in error when it cannot be
// opened again.
bool reopenRecordingFile(QFile &file, QString *error);
