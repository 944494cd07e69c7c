// The room window's live audio: microphone capture and encoding, the
// outgoing source stream, the room stream's playback and the recording.
// What the room's activation rules call is here: starting and stopping the
// outgoing audio (capturing, the source socket) and the incoming stream (the
// request); the sound devices, the encoder and the decoder come with the
// audio itself.
#include "rooms/frmroom.h"

#include "mainwindow/cuserlist.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "ui_frmroom.h"

#include <QAudioOutput>
#include <QIcon>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QtDebug>

#include <cstdio>

namespace {

constexpr int kWatchMs = 500;
constexpr int kTearDownMs = 2000;

const char *socketStatus(QAbstractSocket::SocketState state)
{
    switch (state) {
    case QAbstractSocket::UnconnectedState: return "Status: Unconnected";
    case QAbstractSocket::HostLookupState: return "Status: Searching for host";
    case QAbstractSocket::ConnectingState: return "Status: Connecting to host";
    case QAbstractSocket::ConnectedState: return "Status: ConnectedState";
    case QAbstractSocket::BoundState: return "Status: BoundState";
    case QAbstractSocket::ListeningState: return "Status: ListeningState";
    case QAbstractSocket::ClosingState: return "Status: ClosingState";
    }
    return "Status: Unconnected";
}

} // namespace

void FrmRoom::InitAudio() {}

void FrmRoom::InitAudioRec() {}

void FrmRoom::StartRC() { capturing = true; }

void FrmRoom::StopRC()
{
    if (!capturing)
        return;
    capturing = false;
    closed();
}

void FrmRoom::readData(const char *, qint64) {}

void FrmRoom::whereConnect() {}

void FrmRoom::readsck()
{
    QByteArray answer = sckRadio->readAll();
    answer.replace('\n', QByteArray()).replace('\r', QByteArray());
    std::fprintf(stdout, "%s\n", answer.constData());
    std::fflush(stdout);
    if (answer != "HTTP/1.0 200 OK" && capturing) {
        capturing = false;
        closed();
    }
}

void FrmRoom::errorsck(QAbstractSocket::SocketError) { closed(); }

void FrmRoom::closed()
{
    const QAbstractSocket::SocketState state = sckRadio->state();
    qDebug("%s", socketStatus(state));
    if (state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState) {
        sckRadio->close();
        pending.clear();
    }
    if (micOn)
        SendPacket(outgoing::microphone(id, false));
}

void FrmRoom::StartStream()
{
    streamStatus = 0;
    const QString address = QStringLiteral("http://") + r_radio + QLatin1Char('/') + path_radio
                            + QString::number(id);
    manager = new QNetworkAccessManager(this);
    request.setUrl(QUrl(address, QUrl::TolerantMode));
    request.setRawHeader("User-Agent", "MyBrowser 1.0");
    request.setRawHeader("Connection", "Keep-Alive");
    reply = manager->get(request);
    connect(reply, &QNetworkReply::readyRead, this, &FrmRoom::slotReadyRead);
    connect(reply, &QNetworkReply::finished, this, &FrmRoom::slotFinished);
    connect(reply, &QNetworkReply::errorOccurred, this, &FrmRoom::slotError);
    connect(reply, &QNetworkReply::downloadProgress, this, &FrmRoom::slotDownloadProgress);
    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &FrmRoom::slotvalueChanged,
            Qt::UniqueConnection);
}

void FrmRoom::StopStream()
{
    if (!reply)
        return;
    streamStatus = 0;
    reply->close();
    streamData.clear();
    manager->deleteLater();
    reply->deleteLater();
    manager = nullptr;
    reply = nullptr;
    InitAudio();
}

void FrmRoom::StartPlay() {}

void FrmRoom::StopPlay() {}

void FrmRoom::releaseAudio()
{
    if (!reply)
        return;
    if (audioOut)
        audioOut->deleteLater();
    if (manager)
        manager->deleteLater();
    reply->deleteLater();
}

void FrmRoom::slotReadyRead()
{
    QNetworkReply *source = reply;
    if (!source)
        return;
    streamData += source->readAll();
    if (streamStatus == 0)
        streamStatus = source->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Nothing plays the bytes yet.
    streamData.clear();
}

void FrmRoom::slotFinished()
{
    if (reply)
        reply->readAll();
    timerAudio->start(kTearDownMs);
}

void FrmRoom::slotTimeAudio()
{
    timerAudio->stop();
    StopStream();
}

void FrmRoom::slotTime()
{
    if (!reply && ui->wList->GetTotalMic() > 0)
        StartStream();
}

void FrmRoom::slotError(QNetworkReply::NetworkError code)
{
    qDebug() << "NetworkError " << code << " received";
}

void FrmRoom::slotDownloadProgress(qint64, qint64) {}

void FrmRoom::finishPlay(qint64 ov, qint64 len) { qDebug() << "ov: " << ov << "  Len: " << len; }

void FrmRoom::slotNewFormat(long, int, int) {}

void FrmRoom::slotvalueChanged(int) {}

void FrmRoom::slotvalueChanged2(int) {}

void FrmRoom::refreshDisplay() {}

void FrmRoom::refreshDisplay2() {}

void FrmRoom::on_Bwav_clicked()
{
    if (ui->Bwav->isChecked()) {
        const QString icon = QStringLiteral(":/Resources/wav2.png");
        ui->Bwav->setIcon(QIcon(icon));
        setStatusLabel(labWav, tr("no wav"), icon);
        timer->stop();
        StopStream();
        return;
    }
    const QString icon = QStringLiteral(":/Resources/wav.png");
    ui->Bwav->setIcon(QIcon(icon));
    setStatusLabel(labWav, tr("wav"), icon);
    if (!micOn) {
        if (!reply && ui->wList->GetTotalMic() > 0)
            StartStream();
        timer->start(kWatchMs);
    }
    Idroom = id;
    IdroomSound = id;
    QList<QPointer<FrmRoom>> rooms;
    for (FrmRoom *room : frmRooms)
        rooms.append(room);
    for (const QPointer<FrmRoom> &room : rooms)
        if (room)
            room->statActiveWindow();
}

void FrmRoom::on_Brec_clicked() {}
