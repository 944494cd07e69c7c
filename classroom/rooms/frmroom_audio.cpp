// The room window's live audio: microphone capture and encoding, the
// outgoing source stream, the room stream's playback and the recording.
// What the room's activation rules call is here: starting and stopping the
// outgoing audio (capturing, the source socket) and the incoming stream (the
// request); the sound devices, the encoder and the decoder come with the
// audio itself.
#include "rooms/frmroom.h"

#include "common/hooks.h"
#include "mainwindow/cuserlist.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/audiodevices.h"
#include "rooms/playaudio.h"
#include "rooms/pure/pcm.h"
#include "rooms/recordaudio.h"
#include "rooms/roomaudio.h"
#include "ui_frmroom.h"

#include <QAudioInput>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QSettings>
#include <QTcpSocket>
#include <QTimer>
#include <QtDebug>

#include <cstdio>

namespace {

constexpr int kWatchMs = 500;
constexpr int kTearDownMs = 2000;
// Sound held while the source socket is not connected, and sound the
// streaming server has not taken yet: about a minute at 32 kbit/s each.
constexpr int kMaxPending = 256 * 1024;
constexpr qint64 kMaxUnsent = 256 * 1024;
// The room stream's bytes read but not yet taken by the window: the
// download waits while this much is held.
constexpr qint64 kMaxStreamRead = 64 * 1024;

QPixmap meterBand(const QPixmap *strip, qreal level)
{
    return strip->copy(0, meterRow(level), 103, 10);
}

// Hands a sound device to deferred deletion outside the window. Qt's ALSA
// devices run pending events while they are destroyed; as children of a
// window being destroyed they would deliver them to its half-destroyed
// widgets.
void retire(QObject *device)
{
    device->setParent(nullptr);
    device->deleteLater();
}

} // namespace

// -- Microphone capture and encoding

void FrmRoom::InitAudioRec()
{
    formatIn = roomAudioFormat();
    deviceIn = chooseAudioDevice(QAudio::AudioInput, formatIn);
    if (!deviceIn.isFormatSupported(formatIn))
        formatIn = deviceIn.nearestFormat(formatIn);
    recordAudio = new RecordAudio(formatIn, this);
    audioIn = new QAudioInput(deviceIn, formatIn, this);
    connect(recordAudio, &RecordAudio::Record, this, &FrmRoom::readData);
    connect(recordAudio, &RecordAudio::update, this, &FrmRoom::refreshDisplay);
    audioIn->setVolume(ui->horizontalSlider_2->value() / 100.0);

    // Bounds the wait for the streaming server, from the connection attempt
    // to its accepted answer.
    answerTimer = new QTimer(this);
    answerTimer->setSingleShot(true);
    connect(answerTimer, &QTimer::timeout, this, [this] {
        if (sourceAnswer.verdict() == SourceAnswer::Accepted)
            return;
        qDebug("The streaming server did not answer within %d ms", sourceAnswerLimitMs);
        stopCapture();
        closed();
    });
}

void FrmRoom::slotvalueChanged2(int value)
{
    audioIn->setVolume(1.0);
    recordAudio->gain = float(value) / 100.0f * 2.0f;
}

void FrmRoom::refreshDisplay()
{
    ui->labvol1->setPixmap(meterBand(pixVol, recordAudio->level));
}

void FrmRoom::stopCapture()
{
    audioIn->stop();
    recordAudio->stop();
    capturing = false;
    ui->labvol1->setPixmap(meterBand(pixVol, 0.0));
}

void FrmRoom::captureFailed(const QString &why)
{
    qDebug().noquote() << "Microphone not started:" << why;
    answerTimer->stop();
    stopCapture();
    micFailed = true;
    closed();
    // Told once the current handling is over: the caller may be the room's
    // activation.
    QTimer::singleShot(0, this, [] {
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate("Microphone not started"),
               QMessageBox::Warning, QMessageBox::Ok);
    });
}

// -- The outgoing source stream

void FrmRoom::StartRC()
{
    // Entered again through the events processed while it waits, or while
    // capture that could not start is still held: nothing more.
    if (rcStarting || capturing || micFailed)
        return;
    QString host;
    quint16 port = 0;
    if (!splitWriteAddress(w_radio, &host, &port)) {
        qDebug().noquote() << "No port in the streaming server's write address" << w_radio;
        micGivenBack = false;
        closed();
        return;
    }
    if (deviceIn.isNull() || !RecordAudio::canEncode(formatIn)) {
        micGivenBack = false;
        captureFailed(QStringLiteral("no capture device takes 16-bit sound"));
        return;
    }
    rcStarting = true;
    micGivenBack = false;
    sourceAnswer.reset();
    pending.clear();
    answerTimer->start(sourceAnswerLimitMs);
    if (!connectProcessingEvents(sckRadio, host, port, sourceAnswerLimitMs, this))
        return; // the window was destroyed meanwhile
    rcStarting = false;
    if (!frmRooms.contains(this) || !micOn) {
        // Closed, or the microphone was taken back, during the wait: leaving
        // the room gives the microphone back already.
        answerTimer->stop();
        micGivenBack = true;
        sckRadio->abort();
        return;
    }
    const QAbstractSocket::SocketState state = sckRadio->state();
    if (state == QAbstractSocket::ConnectedState) {
        if (!recordAudio->start()) {
            captureFailed(recordAudio->setupError());
            return;
        }
        audioIn->start(recordAudio);
        if (audioIn->error() != QAudio::NoError || audioIn->state() == QAudio::StoppedState) {
            captureFailed(QStringLiteral("the capture device did not open (error %1)")
                              .arg(int(audioIn->error())));
            return;
        }
        capturing = true;
        connect(ui->horizontalSlider_2, &QSlider::valueChanged, this, &FrmRoom::slotvalueChanged2,
                Qt::UniqueConnection);
        sckRadio->write(sourceRequest(roomMount(path_radio, id), pass_radio, IPServer2));
    } else if (state == QAbstractSocket::UnconnectedState) {
        answerTimer->stop();
        stopCapture();
        closed();
    }
}

void FrmRoom::StopRC()
{
    if (!capturing)
        return;
    stopCapture();
    closed();
}

void FrmRoom::readData(const char *data, qint64 len)
{
    if (sckRadio->state() != QAbstractSocket::ConnectedState) {
        if (pending.size() + len <= kMaxPending)
            pending.append(data, int(len));
        return;
    }
    if (!pending.isEmpty()) {
        pending.append(data, int(len));
        sckRadio->write(pending);
        if (fileRec.isOpen())
            fileRec.write(pending);
        pending.clear();
    } else {
        sckRadio->write(data, len);
        if (fileRec.isOpen())
            fileRec.write(data, len);
    }
    if (sckRadio->bytesToWrite() > kMaxUnsent) {
        qDebug("The streaming server takes no more sound");
        // Not from inside the capture device's own push.
        QTimer::singleShot(0, this, [this] {
            if (capturing)
                StopRC();
        });
    }
}

void FrmRoom::whereConnect() {}

void FrmRoom::readsck()
{
    const QByteArray bytes = sckRadio->readAll();
    QByteArray shown = bytes;
    shown.replace('\n', QByteArray()).replace('\r', QByteArray());
    std::fprintf(stdout, "%s\n", shown.constData());
    std::fflush(stdout);
    // Judged once the answer's head is whole, however it was split.
    const SourceAnswer::Verdict verdict = sourceAnswer.feed(bytes);
    if (verdict == SourceAnswer::Accepted) {
        answerTimer->stop();
    } else if (verdict == SourceAnswer::Refused && capturing) {
        stopCapture();
        closed();
    }
}

void FrmRoom::errorsck(QAbstractSocket::SocketError) { closed(); }

void FrmRoom::closed()
{
    const QAbstractSocket::SocketState state = sckRadio->state();
    qDebug("%s", socketStatusText(state));
    if (state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState) {
        sckRadio->close();
        pending.clear();
    }
    answerTimer->stop();
    // Nothing can be sent any more: the capture stops too, once the capture
    // device is out of its own push.
    if (capturing && sckRadio->state() == QAbstractSocket::UnconnectedState) {
        QTimer::singleShot(0, this, [this] {
            if (capturing && sckRadio->state() != QAbstractSocket::ConnectedState)
                stopCapture();
        });
    }
    // Once per stream: closing the socket runs this again.
    if (micOn && !micGivenBack) {
        micGivenBack = true;
        SendPacket(outgoing::microphone(id, false));
    }
}

// -- The room stream's playback

void FrmRoom::InitAudio()
{
    formatOut = roomAudioFormat(int(rateOut), channelsOut);
    deviceOut = chooseAudioDevice(QAudio::AudioOutput, formatOut);
    if (!deviceOut.isFormatSupported(formatOut))
        formatOut = deviceOut.nearestFormat(formatOut);
    playAudio = new PlayAudio(formatOut, this);
    audioOut = new QAudioOutput(deviceOut, formatOut, this);
    connect(playAudio, &PlayAudio::finish, this, &FrmRoom::finishPlay);
    connect(playAudio, &PlayAudio::newFormat, this, &FrmRoom::slotNewFormat);
    connect(playAudio, &PlayAudio::update, this, &FrmRoom::refreshDisplay2);
    playAudio->setVol(100);
    playAudio->gain = float(ui->horizontalSlider->value()) / 100.0f * 2.0f;
}

void FrmRoom::StartStream()
{
    // One request at a time; a second would feed the player twice.
    if (reply)
        return;
    streamStatus = 0;
    manager = new QNetworkAccessManager(this);
    request = listenRequest(r_radio, path_radio, id);
    reply = manager->get(request);
    // A server that sends faster than the sound is decoded is held back
    // instead of filling memory.
    reply->setReadBufferSize(kMaxStreamRead);
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
    reply->disconnect(this);
    reply->close();
    audioOut->stop();
    playAudio->stop();
    playAudio->clear();
    streamData.clear();
    retire(audioOut);
    playAudio->deleteLater();
    manager->deleteLater();
    reply->deleteLater();
    manager = nullptr;
    reply = nullptr;
    ui->labvol2->setPixmap(meterBand(pixVol, 0.0));
    InitAudio();
}

void FrmRoom::StopPlay()
{
    // The output goes with its player, so restarts leave nothing behind.
    audioOut->stop();
    retire(audioOut);
    playAudio->stop();
    playAudio->deleteLater();
}

void FrmRoom::StartPlay()
{
    // The player and output that StopPlay retired are replaced in any case.
    const bool hadSound = playAudio->SizeBuffer() > 0;
    InitAudio();
    if (!hadSound)
        return;
    playAudio->start();
    audioOut->start(playAudio);
    // What the device holds waits too.
    playAudio->setOutputBuffer(audioOut->bufferSize());
}

void FrmRoom::releaseAudio()
{
    // Nothing of the audio calls back into the window being destroyed: the
    // sound devices may run events while they close.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
    for (QAudioInput *input : findChildren<QAudioInput *>()) {
        input->stop();
        retire(input);
    }
    for (QAudioOutput *output : findChildren<QAudioOutput *>()) {
        output->stop();
        retire(output);
    }
    if (!reply)
        return;
    if (playAudio)
        playAudio->deleteLater();
    if (manager)
        manager->deleteLater();
    reply->deleteLater();
}

void FrmRoom::slotReadyRead()
{
    QNetworkReply *source = reply;
    if (!source || sender() != source)
        return;
    const QByteArray bytes = source->readAll();
    if (streamStatus == 0)
        streamStatus = source->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (streamStatus != 200)
        return;
    if (source->rawHeader("Content-Type").contains("text/html")) {
        streamStatus = 2000;
        return;
    }
    streamData += bytes;
    if (fileRec.isOpen())
        fileRec.write(streamData);
    playAudio->AddBuffer(streamData.constData(), streamData.size());
    streamData.clear();
    playAudio->gain = float(ui->horizontalSlider->value()) / 100.0f * 2.0f;
    if (playAudio->SizeBuffer() > 0) {
        if (!playAudio->isStarted()) {
            StopPlay();
            StartPlay();
        }
        if (audioOut->state() == QAudio::IdleState) {
            qDebug() << "state: " << audioOut->state();
            StopPlay();
            StartPlay();
        }
    }
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

void FrmRoom::slotNewFormat(long rate, int channels, int)
{
    if (rate <= 0 || channels < 1 || channels > 2)
        return;
    if (rate == rateOut && channels == channelsOut)
        return;
    rateOut = rate;
    channelsOut = channels;
    audioOut->stop();
    playAudio->stop();
    playAudio->clear();
    retire(audioOut);
    playAudio->deleteLater();
    InitAudio();
    if (fileRec.isOpen()) {
        // The same file again, continued: what was recorded stays.
        QString error;
        if (!reopenRecordingFile(fileRec, &error))
            qDebug().noquote() << "Recording not continued:" << error;
    }
}

void FrmRoom::slotvalueChanged(int value)
{
    if (playAudio)
        playAudio->gain = float(value) / 100.0f * 2.0f;
}

void FrmRoom::refreshDisplay2()
{
    ui->labvol2->setPixmap(meterBand(pixVol, playAudio->level));
}

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
        if (!hooks::retired(room))
            room->statActiveWindow();
}

// -- The lecture recording

void FrmRoom::on_Brec_clicked()
{
    const QIcon idle(QStringLiteral(":/Resources/record.png"));
    if (!ui->Brec->isChecked()) {
        if (fileRec.isOpen())
            fileRec.close();
        ui->Brec->setChecked(false);
        ui->Brec->setIcon(idle);
        return;
    }
    const QString start = settings ? settings->value(QStringLiteral("PathHome"), QDir::homePath()).toString()
                                   : QDir::homePath();
    const QString folder = hooks::getExistingDirectory(this, tr("Open Directory"), start);
    if (folder.isEmpty()) {
        ui->Brec->setChecked(false);
        return;
    }
    if (settings)
        settings->setValue(QStringLiteral("PathHome"), folder);
    if (fileRec.isOpen())
        fileRec.close();
    if (ui->Bwav->isChecked()) {
        timer->stop();
        StopStream();
        if (!micOn) {
            if (ui->wList->GetTotalMic() > 0)
                StartStream();
            timer->start(kWatchMs);
        }
    }
    QString error;
    if (!openRecordingFile(fileRec, folder, name, hooks::now(), &error)) {
        qDebug().noquote() << "Recording not started:" << error;
        ui->Brec->setChecked(false);
        ui->Brec->setIcon(idle);
        MsgBox(GeTranslate(MyMessage::GeTitle()),
               GeTranslate("Recording not started") + QLatin1Char('\n')
                   + QDir::toNativeSeparators(fileRec.fileName()),
               QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    ui->Brec->setChecked(true);
    ui->Brec->setIcon(QIcon(QStringLiteral(":/Resources/stop.png")));
}
