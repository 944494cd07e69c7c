// One classroom as the user sees it: the room's chat, its user list, the
// blackboard, the station view, the teacher's and the live-broadcast buttons,
// the raised hand, the room sound and the microphone. The room handlers find
// the window by id and drive it through the operations below; the window
// sends the room commands of its own buttons and menus.
#pragma once

#include "rooms/myobject.h"
#include "rooms/pure/livestream.h"

#include <QAbstractSocket>
#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QByteArray>
#include <QFile>
#include <QMainWindow>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>

class QAction;
class QAudioInput;
class QAudioOutput;
class QCloseEvent;
class QEvent;
class QLabel;
class QNetworkAccessManager;
class QPixmap;
class QTcpSocket;
class QTimer;
class QWebView;
class PlayAudio;
class RecordAudio;
class Ui_FrmRoom;

class FrmRoom : public QMainWindow
{
    Q_OBJECT
public:
    FrmRoom(QWidget *parent, int roomId);
    ~FrmRoom() override;

    // The own user in this room, as the server last said: written by the
    // room handlers, read by the window's buttons and audio.
    bool handUp = false;  // hand raised
    bool isAdmin = false; // may supervise the room
    bool micOn = false;   // holds the microphone
    bool red = false;     // barred from writing
    bool noMic = false;   // set by the "NoMic" state; not read here

    void setName(const QString &roomName);
    QString getName() const;
    void setID(int roomId);
    int getID() const;

    // Stores isAdmin and shows or hides the supervisor buttons.
    void setAdmin(bool on);
    // The user list; AddItem also shows the record button for the own user
    // when flag is set.
    void AddItem(const QString &nick, int type, bool flag);
    void RemoveItem(const QString &nick);
    void ClearItem();
    void ChangeItemImage(const QString &nick, const QString &state);
    void CamItem(const QString &nick, bool on);
    QString SelectedItem() const;

    // The chat.
    void ClearText();
    // Every "''" of title becomes "'"; the chat control renders both safely.
    void ChangeTitre(QString title, const QString &text);
    // A received line: cleaned, then appended as kind (1 peer, 2 whisper
    // received, 3 own whisper delivered).
    void DisplayTxt(const QString &text, const QString &nick, int kind);
    // The server's echo of an own line: confirms the oldest pending one.
    void updatetxt();

    // Starts or stops this room's outgoing and incoming audio from its flags
    // and from which room is active (Idroom) and heard (IdroomSound).
    void statActiveWindow();

    // Live broadcast: the stream button's caption, the station frame and
    // the radio button, the station page.
    void setVisibleFlash(bool on);
    bool getVisibleFlash() const;
    // Blackboard: shown maximises the window.
    void setVisibleSabora(bool on);
    bool getVisibleSabora() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

public slots:
    // The station page's player commands; "no flash" tells that no player
    // is installed.
    void DoFSCommand(QString command, QString args);

private slots:
    void ContextMenu(QPoint pos);
    void on_Bwav_clicked();
    void on_Bradio_clicked();
    void on_B_Stream_clicked();
    void menuPm();
    void menuSendfile();
    void menuAddusr();
    void menuWhisbar();
    void menuRed();
    void menuUnRed();
    void menuOnMic();
    void menuOffMic();
    void menuBan();
    void menuBannec();
    void on_wTxt_Sendtxt(QString txt);
    void on_Bman_clicked();
    void on_Bmic_clicked();
    void on_Brec_clicked();
    void on_B_Sabora_clicked();
    void slotReadyRead();
    void slotFinished();
    void slotDownloadProgress(qint64 received, qint64 total);
    void finishPlay(qint64 ov, qint64 len);
    void slotNewFormat(long rate, int channels, int enc);
    void slotvalueChanged(int value);
    void slotvalueChanged2(int value);
    void slotError(QNetworkReply::NetworkError code);
    void slotTime();
    void readData(const char *data, qint64 len);
    void refreshDisplay();
    void refreshDisplay2();
    void whereConnect();
    void readsck();
    void errorsck(QAbstractSocket::SocketError error);
    void closed();
    void on_pushButton_clicked();
    void on_B_bat_clicked();
    void slotTimeAudio();

private:
    // Audio (frmroom_audio.cpp).
    void InitAudio();
    void InitAudioRec();
    void StartRC();
    void StopRC();
    void StartStream();
    void StopStream();
    void StartPlay();
    void StopPlay();
    // Stops the sound devices and hands them and the stream to deferred
    // deletion outside the window (destructor).
    void releaseAudio();
    // Stops the microphone's capture and encoder.
    void stopCapture();
    // Capture could not start: gives the microphone back and tells the user.
    void captureFailed(const QString &why);

    // The nickname a user command acts on: the one under the pointer when the
    // context menu opened while it runs, else the list's selection.
    QString commandNick() const;
    void sendUserAction(int action);
    void setStatusLabel(QLabel *label, const QString &text, const QString &icon);
    // The station page, or the blank page when path_web is no web address.
    QUrl stationUrl() const;

    Ui_FrmRoom *ui;
    MyObject myObject;
    QString name;
    int id;
    QLabel *labWav;
    QLabel *labRadio;
    QWebView *webFlash;
    QAction *actPm, *actSendFile, *actAddUser, *actWhisbar, *actRed, *actUnRed, *actOnMic,
        *actOffMic, *actBan, *actBannec;
    QTimer *timer;
    QNetworkReply *reply = nullptr;
    QNetworkRequest request;
    QNetworkAccessManager *manager = nullptr;
    QByteArray streamData;
    QAudioFormat formatOut;
    QAudioDeviceInfo deviceOut;
    QAudioOutput *audioOut = nullptr;
    PlayAudio *playAudio = nullptr;
    qint64 rateOut = 22050;
    int channelsOut = 2;
    int streamStatus = 0;
    QTcpSocket *sckRadio;
    QAudioInput *audioIn = nullptr;
    RecordAudio *recordAudio = nullptr;
    QAudioFormat formatIn;
    QAudioDeviceInfo deviceIn;
    QByteArray pending;
    bool capturing = false;
    QFile fileRec;
    QPixmap *pixVol;
    QTimer *timerAudio;
    // The outgoing stream's guards: StartRC is waiting for its connection;
    // the streaming server's answer and the limit on waiting for it; the
    // microphone already given back for this stream; capture that could not
    // start while the microphone is still held.
    bool rcStarting = false;
    SourceAnswer sourceAnswer;
    QTimer *answerTimer = nullptr;
    bool micGivenBack = false;
    bool micFailed = false;

    // The context menu's target while the menu runs.
    QString menuNick;
    bool menuOpen = false;
};

// Index in frmRooms of the first window of room id, or -1.
int FindRoom(int id);

// The station page with the player's address (from the server-entry list)
// in place of "Station.swf", escaped for the attributes it lands in; an
// address that is no web address (isWebAddress) leaves the place empty.
QString stationPage(const QString &playerAddress);
