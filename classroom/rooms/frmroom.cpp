#include "rooms/frmroom.h"

#include "common/hooks.h"
#include "common/webaddress.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/cuserlist.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmuser.h"
#include "mainwindow/pure/htmlsanitizer.h"
#include "protocol/helpers.h"
#include "protocol/htmflash.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/pure/packet.h"
#include "protocol/pure/privatemessages.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/flashplugin.h"
#include "rooms/frmbat.h"
#include "ui_frmroom.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTcpSocket>
#include <QTimer>
#include <QTreeWidget>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

namespace {

constexpr int kWatchMs = 500;
const QString kBlank = QStringLiteral("about:blank");

QString ownNick() { return frmusr ? frmusr->getUSER() : QString(); }

QAction *makeAction(FrmRoom *window, const QString &text, bool enabled)
{
    auto *action = new QAction(text, window);
    action->setEnabled(enabled);
    return action;
}

// Room windows as guarded pointers, for loops whose steps may close some.
QList<QPointer<FrmRoom>> guardedRooms()
{
    QList<QPointer<FrmRoom>> rooms;
    for (FrmRoom *room : frmRooms)
        rooms.append(room);
    return rooms;
}

} // namespace

int FindRoom(int id) { return indexOfWindow(frmRooms, id, &FrmRoom::getID); }

QString stationPage(const QString &playerAddress)
{
    QString page = htmflash;
    const QString player = isWebAddress(playerAddress) ? playerAddress : QString();
    page.replace(QStringLiteral("Station.swf"), escapeHtml(player));
    return page;
}

FrmRoom::FrmRoom(QWidget *parent, int roomId)
    : QMainWindow(parent), ui(new Ui_FrmRoom), id(roomId)
{
    ui->setupUi(this);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
    paintFormBackground(ui->wTxt);
    if (indexLang == 0)
        QApplication::setLayoutDirection(Qt::RightToLeft);

    // Status bar: room sound, then radio.
    labWav = new QLabel(this);
    labRadio = new QLabel(this);
    for (QLabel *label : {labWav, labRadio}) {
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        label->setMinimumSize(200, 24);
    }
    setStatusLabel(labWav, tr("wav"), QStringLiteral(":/Resources/wav.png"));
    setStatusLabel(labRadio, tr("radio"), QStringLiteral(":/Resources/radio.png"));
    statusBar()->insertWidget(0, labWav, 0);
    statusBar()->insertWidget(1, labRadio, 9);

    // Station view: the player check runs once, here.
    QWebSettings::globalSettings()->setAttribute(QWebSettings::PluginsEnabled, true);
    webFlash = new QWebView(ui->Frameflash);
    webFlash->setGeometry(0, 0, 275, 247);
    webFlash->settings()->setAttribute(QWebSettings::PluginsEnabled, true);
    webFlash->settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    webFlash->page()->setPluginFactory(new FlashPluginFactory(webFlash->page()));
    // The station fills the small view; a page larger than it is cut, not scrolled.
    webFlash->page()->mainFrame()->setScrollBarPolicy(Qt::Vertical, Qt::ScrollBarAlwaysOff);
    webFlash->page()->mainFrame()->setScrollBarPolicy(Qt::Horizontal, Qt::ScrollBarAlwaysOff);
    webFlash->setHtml(stationPage(path_swf), QUrl());
    webFlash->page()->mainFrame()->addToJavaScriptWindowObject(QStringLiteral("myObject"),
                                                               &myObject);
    connect(&myObject, &MyObject::doSom, this, &FrmRoom::DoFSCommand);
    webFlash->page()->mainFrame()->evaluateJavaScript(QStringLiteral("test();"));
    webFlash->hide();
    webFlash->load(QUrl(kBlank));

    ui->Bwav->setCheckable(true);
    ui->Bwav->setChecked(false);
    ui->Bradio->setCheckable(true);
    ui->Bradio->setChecked(false);
    ui->graphicsView->hide();
    ui->Frameflash->hide();
    ui->Bradio->hide();
    ui->Brec->setCheckable(true);
    ui->Brec->setChecked(false);
    ui->frameAdmin->setVisible(isAdmin);

    actPm = makeAction(this, tr("Pm"), true);
    actSendFile = makeAction(this, tr("Send File"), false);
    actAddUser = makeAction(this, tr("Add User"), true);
    actWhisbar = makeAction(this, tr("Whisbar"), true);
    actRed = makeAction(this, tr("Red"), true);
    actUnRed = makeAction(this, tr("UnRed"), true);
    actOnMic = makeAction(this, tr("On Mic"), true);
    actOffMic = makeAction(this, tr("off Mic"), true);
    actBan = makeAction(this, tr("Ban"), false);
    actBannec = makeAction(this, tr("bannec"), false);
    connect(actPm, &QAction::triggered, this, &FrmRoom::menuPm);
    connect(actSendFile, &QAction::triggered, this, &FrmRoom::menuSendfile);
    connect(actAddUser, &QAction::triggered, this, &FrmRoom::menuAddusr);
    connect(actWhisbar, &QAction::triggered, this, &FrmRoom::menuWhisbar);
    connect(actRed, &QAction::triggered, this, &FrmRoom::menuRed);
    connect(actUnRed, &QAction::triggered, this, &FrmRoom::menuUnRed);
    connect(actOnMic, &QAction::triggered, this, &FrmRoom::menuOnMic);
    connect(actOffMic, &QAction::triggered, this, &FrmRoom::menuOffMic);
    connect(actBan, &QAction::triggered, this, &FrmRoom::menuBan);
    connect(actBannec, &QAction::triggered, this, &FrmRoom::menuBannec);
    connect(ui->wList, &CUserList::ContextMenu, this, &FrmRoom::ContextMenu);

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &FrmRoom::slotTime);
    InitAudio();
    if (ui->wList->GetTotalMic() > 0)
        StartStream();
    timer->start(kWatchMs);

    timerAudio = new QTimer(this);
    connect(timerAudio, &QTimer::timeout, this, &FrmRoom::slotTimeAudio);
    InitAudioRec();

    sckRadio = new QTcpSocket(this);
    connect(sckRadio, &QTcpSocket::connected, this, &FrmRoom::whereConnect);
    connect(sckRadio, &QTcpSocket::readyRead, this, &FrmRoom::readsck);
    connect(sckRadio, &QTcpSocket::disconnected, this, &FrmRoom::closed);
    connect(sckRadio, &QTcpSocket::errorOccurred, this, &FrmRoom::errorsck);

    pixVol = new QPixmap(QStringLiteral(":/Resources/vol.png"));
    ui->Brec->hide();

    if (!settings || settings->value(QStringLiteral("Choix"), 0).toInt() != 1)
        ui->pushButton->hide();
    ui->B_bat->setVisible(bat);
}

FrmRoom::~FrmRoom()
{
    frmRooms.removeAll(this);
    delete ui;
    releaseAudio();
    delete timer;
    delete pixVol;
}

void FrmRoom::setStatusLabel(QLabel *label, const QString &text, const QString &icon)
{
    const QString img = QStringLiteral("<img src='%1' Width=16 Height=16>").arg(icon);
    const QString shown = text.toHtmlEscaped();
    label->setText(indexLang == 0 ? shown + QLatin1Char(' ') + img
                                  : img + QLatin1Char(' ') + shown);
}

void FrmRoom::setName(const QString &roomName) { name = roomName; }

QString FrmRoom::getName() const { return name; }

void FrmRoom::setID(int roomId) { id = roomId; }

int FrmRoom::getID() const { return id; }

void FrmRoom::setAdmin(bool on)
{
    isAdmin = on;
    ui->frameAdmin->setVisible(on);
}

void FrmRoom::AddItem(const QString &nick, int type, bool flag)
{
    ui->wList->AddItem(nick, type, flag);
    if (flag && nick == ownNick())
        ui->Brec->show();
}

void FrmRoom::RemoveItem(const QString &nick) { ui->wList->RemoveItem(nick); }

void FrmRoom::ClearItem() { ui->wList->ClearItem(); }

void FrmRoom::ChangeItemImage(const QString &nick, const QString &state)
{
    ui->wList->ChangeItemImage(nick, state);
}

void FrmRoom::CamItem(const QString &nick, bool on) { ui->wList->CamItem(nick, on); }

QString FrmRoom::SelectedItem() const { return ui->wList->SelectedItem(); }

void FrmRoom::ClearText() { ui->wTxt->ClearText(); }

void FrmRoom::ChangeTitre(QString title, const QString &text)
{
    title.replace(QStringLiteral("''"), QStringLiteral("'"));
    ui->wTxt->ChangeTitre(title, text);
}

void FrmRoom::DisplayTxt(const QString &text, const QString &nick, int kind)
{
    ui->wTxt->insertTxt(nick, ui->wTxt->TestHtm(text), kind);
}

void FrmRoom::updatetxt()
{
    ui->wTxt->insertTime();
    ui->wTxt->setFocustxt();
}

void FrmRoom::statActiveWindow()
{
    if (id == Idroom) {
        if (micOn) {
            if (!capturing) {
                QPointer<FrmRoom> self(this);
                // Connecting the source may wait in a nested loop.
                StartRC();
                if (hooks::retired(self))
                    return;
                timer->stop();
                if (reply)
                    StopStream();
            }
            return;
        }
        if (capturing)
            StopRC();
        micFailed = false;
        if (id == IdroomSound && !reply && !ui->Bwav->isChecked()) {
            if (ui->wList->GetTotalMic() > 0)
                StartStream();
            timer->start(kWatchMs);
        }
        return;
    }
    if (id != IdroomSound) {
        timer->stop();
        if (reply)
            StopStream();
    }
    if (micOn)
        SendPacket(outgoing::microphone(id, false));
}

void FrmRoom::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (!isActiveWindow())
        return;
    Idroom = id;
    if (!ui->Bwav->isChecked())
        IdroomSound = id;
    for (const QPointer<FrmRoom> &room : guardedRooms())
        if (!hooks::retired(room))
            room->statActiveWindow();
}

void FrmRoom::closeEvent(QCloseEvent *event)
{
    SendPacket(outgoing::leaveRoom(id));
    SendPacket(outgoing::keepAlive());
    // At once, so that a loop closing every room sees the list shrink.
    frmRooms.removeAll(this);
    if (fileRec.isOpen())
        fileRec.close();
    event->accept();
    hooks::deleteWhenIdle(this);
}

// -- Chat and user commands

void FrmRoom::on_wTxt_Sendtxt(QString txt)
{
    const QString text = outgoing::boldHtml(txt);
    if (red) {
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeRedUser()),
               QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    const QString me = ownNick();
    const QByteArray packet = outgoing::roomText(me, id, htmlForCp1256(text));
    // A body the server would refuse is not sent at all.
    const bool sent = packet.size() - kHeaderSize <= kMaxBodySize && SendPacket(packet);
    const int line = ui->wTxt->insertTxt(me, text, OwnLine);
    if (!sent)
        ui->wTxt->refuseLine(line);
}

QString FrmRoom::commandNick() const { return menuOpen ? menuNick : ui->wList->SelectedItem(); }

void FrmRoom::ContextMenu(QPoint pos)
{
    // The row under the pointer now, whatever the list does while the menu
    // runs.
    QString target;
    if (auto *tree = ui->wList->findChild<QTreeWidget *>(QStringLiteral("treeWidget"))) {
        const QPoint at = tree->viewport()->mapFrom(ui->wList, pos);
        if (QTreeWidgetItem *item = tree->itemAt(at)) {
            target = item->text(0);
            if (target.startsWith(QLatin1Char('@')))
                target.remove(0, 1);
        }
    }
    if (target.isEmpty())
        target = ui->wList->SelectedItem();

    QPointer<QMenu> menu = new QMenu(this);
    menu->setLayoutDirection(QApplication::layoutDirection());
    menu->addAction(actPm);
    menu->addAction(actSendFile);
    menu->addAction(actAddUser);
    menu->addSeparator();
    menu->addAction(actWhisbar);
    if (isAdmin) {
        menu->addSeparator();
        menu->addAction(actRed);
        menu->addAction(actUnRed);
        menu->addSeparator();
        menu->addAction(actOnMic);
        menu->addAction(actOffMic);
        menu->addSeparator();
        menu->addAction(actBan);
        menu->addAction(actBannec);
    }
    QPointer<FrmRoom> self(this);
    menuNick = target;
    menuOpen = true;
    {
        const hooks::NestedLoop loop;
        menu->exec(ui->wList->mapToGlobal(pos));
    }
    if (!self)
        return;
    menuOpen = false;
    menuNick.clear();
    delete menu.data();
}

void FrmRoom::menuPm()
{
    const QString nick = commandNick();
    if (!nick.isEmpty())
        openPM(nick);
}

void FrmRoom::menuSendfile() {}

void FrmRoom::menuAddusr()
{
    const QString nick = commandNick();
    if (!nick.isEmpty())
        askToAddContact(nick);
}

void FrmRoom::menuWhisbar()
{
    const QString nick = commandNick();
    if (nick.isEmpty())
        return;
    if (red) {
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeRedUser()),
               QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    const int room = id;
    QPointer<FrmRoom> self(this);
    QInputDialog box;
    box.setWindowTitle(tr("messages Wisbar"));
    box.setLabelText(tr("Enter Wisbar :"));
    box.setOkButtonText(GeTranslate(MyMessage::GetButtonOk()));
    box.setCancelButtonText(GeTranslate(MyMessage::GetButtonCancel()));
    box.setLayoutDirection(QApplication::layoutDirection());
    widenForTitle(&box);
    // A room left while the box was open gets no whisper.
    if (hooks::execModal(&box) != QDialog::Accepted || hooks::retired(self))
        return;
    const QString text = box.textValue();
    if (Entxt(text).isEmpty())
        return;
    SendPacket(outgoing::whisper(ownNick(), nick, room, htmlForCp1256(text)));
}

void FrmRoom::sendUserAction(int action)
{
    const QString nick = commandNick();
    if (!nick.isEmpty())
        SendPacket(outgoing::userAction(outgoing::UserAction(action), id, nick));
}

void FrmRoom::menuRed() { sendUserAction(int(outgoing::UserAction::Reddot)); }

void FrmRoom::menuUnRed() { sendUserAction(int(outgoing::UserAction::UnReddot)); }

void FrmRoom::menuOnMic() { sendUserAction(int(outgoing::UserAction::ettMic)); }

void FrmRoom::menuOffMic() { sendUserAction(int(outgoing::UserAction::ettNoMic)); }

void FrmRoom::menuBan() {}

void FrmRoom::menuBannec() {}

// -- Microphone and hand

void FrmRoom::on_Bmic_clicked() { SendPacket(outgoing::microphone(id, !micOn)); }

void FrmRoom::on_Bman_clicked() { SendPacket(outgoing::raiseHand(id, !handUp)); }

// -- Station, radio, blackboard, broadcast and attendance

QUrl FrmRoom::stationUrl() const
{
    const QUrl page = endpointPage(QStringLiteral("station.php?Idrom=") + QString::number(id));
    return page.isEmpty() ? QUrl(kBlank) : page;
}

void FrmRoom::DoFSCommand(QString, QString args)
{
    if (args != QLatin1String("no flash"))
        return;
    QPointer<FrmRoom> self(this);
    MsgBox(QStringLiteral("خطأ"),
           QStringLiteral("الفلاش غير مثبت في الجهاز الرجاء تثبيته \nحتى تتمكن من تشغيل الإذاعة"),
           QMessageBox::Information, QMessageBox::Ok);
    if (hooks::retired(self) || !webFlash)
        return;
    webFlash->setGeometry(-2, -2, 1, 1);
    webFlash->close();
}

void FrmRoom::setVisibleFlash(bool on)
{
    ui->B_Stream->setText(GeTranslate(MyMessage::BottonStream()[on ? 1 : 0]));
    ui->Frameflash->setVisible(on);
    ui->Bradio->setVisible(on);
    if (!ui->Frameflash->isVisible() || ui->Bradio->isChecked()) {
        webFlash->hide();
        webFlash->load(QUrl(kBlank));
    } else {
        webFlash->show();
        webFlash->load(stationUrl());
    }
}

bool FrmRoom::getVisibleFlash() const { return ui->Frameflash->isVisible(); }

void FrmRoom::setVisibleSabora(bool on)
{
    ui->graphicsView->setVisible(on);
    if (on) {
        setWindowState(windowState() | Qt::WindowMaximized);
        ui->B_Sabora->setText(GeTranslate(MyMessage::BottonSabora()[1]));
    } else {
        ui->B_Sabora->setText(GeTranslate(MyMessage::BottonSabora()[0]));
    }
}

bool FrmRoom::getVisibleSabora() const { return ui->graphicsView->isVisible(); }

void FrmRoom::on_Bradio_clicked()
{
    if (ui->Bradio->isChecked()) {
        const QString icon = QStringLiteral(":/Resources/radio2.png");
        ui->Bradio->setIcon(QIcon(icon));
        setStatusLabel(labRadio, tr("no radio"), icon);
        webFlash->hide();
        webFlash->load(QUrl(kBlank));
        return;
    }
    const QString icon = QStringLiteral(":/Resources/radio.png");
    ui->Bradio->setIcon(QIcon(icon));
    setStatusLabel(labRadio, tr("radio"), icon);
    if (ui->Frameflash->isVisible()) {
        webFlash->show();
        webFlash->load(stationUrl());
    }
}

void FrmRoom::on_B_Stream_clicked()
{
    const bool start = ui->B_Stream->text() == GeTranslate(MyMessage::BottonStream()[0]);
    SendPacket(outgoing::live(id, start, !ui->Op1->isChecked()));
}

void FrmRoom::on_B_Sabora_clicked()
{
    const bool start = ui->B_Sabora->text() == GeTranslate(MyMessage::BottonSabora()[0]);
    SendPacket(outgoing::blackboard(id, start));
}

void FrmRoom::on_pushButton_clicked()
{
    if (!settings || settings->value(QStringLiteral("Choix"), 0).toInt() != 1 || type_user == 0)
        return;
    const QUrl page = endpointPage(QStringLiteral("ghiyab.php?id=") + QString::number(id_user));
    if (!page.isEmpty())
        hooks::openUrl(page);
}

void FrmRoom::on_B_bat_clicked()
{
    ChannelRoom = id;
    openFrmBat();
}
