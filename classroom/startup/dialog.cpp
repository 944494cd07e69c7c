#include "startup/dialog.h"

#include "common/hooks.h"
#include "common/webaddress.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/outgoing.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/frmconnect.h"
#include "startup/frmmember.h"
#include "startup/pictureitem.h"
#include "startup/program.h"
#include "startup/pure/entries.h"
#include "ui_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QMovie>
#include <QSettings>
#include <QTimer>
#include <QTranslator>

LauncherTimes launcherTimes;
QString launcherFolder;

QString applicationFolder()
{
    return launcherFolder.isEmpty() ? QCoreApplication::applicationDirPath() : launcherFolder;
}

namespace {
const char kGrey[] = "color: rgb(200, 200, 200);";

// Qt's own texts (standard buttons, the colour, file and print dialogs) in
// the chosen language, from the translations installed with Qt.
QTranslator *qtTexts()
{
    static QTranslator *translator = new QTranslator(qApp);
    return translator;
}
} // namespace

Dialog::Dialog(QWidget *parent)
    : QDialog(parent), form(new Ui_Dialog), scene(new QGraphicsScene)
{
    form->setupUi(this);
    // A little room around the register link: the ink of a bold Latin
    // caption reaches past its letters' advance.
    form->reg->setMargin(2);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    for (QPushButton *b : {form->Bmember, form->Bvisit}) {
        b->setEnabled(false);
        b->setStyleSheet(QLatin1String(kGrey));
    }

    versionTimer = new QTimer(this);
    connect(versionTimer, &QTimer::timeout, this, &Dialog::slotTime);
    fadeTimer = new QTimer(this);
    connect(fadeTimer, &QTimer::timeout, this, &Dialog::slot_timeout);

    form->gridLayout_3->removeWidget(form->widget2);
    form->widget2->setParent(nullptr);
    QGView *view = form->graphicsView;
    view->setCacheMode(QGraphicsView::CacheBackground);
    view->setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setScene(scene);
    scene->setSceneRect(0, 0, view->width(), view->height());

    QLinearGradient gradient(0, 0, 0, 400);
    gradient.setColorAt(0.47, QColor(255, 255, 255, 200));
    gradient.setColorAt(0.5, QColor(204, 204, 204, 200));
    gradient.setColorAt(0.55, QColor(204, 204, 204, 150));
    gradient.setColorAt(1.0, QColor(255, 255, 255));
    scene->setBackgroundBrush(gradient);

    connect(view, &QGView::keyPress, this, &Dialog::slot_keyPress);
    connect(view, &QGView::keyRelease, this, &Dialog::slot_keyRelease);

    panelProxy = scene->addWidget(form->widget2);
    panelProxy->setOpacity(0);
    paintFormBackground(form->widget2);

    auto *waitLabel = new QLabel;
    auto *movie = new QMovie(QStringLiteral(":/Resources/images/wait3.gif"), QByteArray(),
                             waitLabel);
    waitLabel->setMovie(movie);
    movie->start();
    waitLabel->adjustSize();
    waitProxy = scene->addWidget(waitLabel);
    waitProxy->setPos(int(scene->width() * 0.5) - waitLabel->width() / 2, 140);

    const int language = settings->value(QStringLiteral("Languages"), 0).toInt();
    form->comboBox->setCurrentIndex(language);
    choice = var_int == -1 ? 0 : var_int;
    choice = settings->value(QStringLiteral("Choix"), choice).toInt();
    if (language == 0)
        ChangeLanguages(0);

    firstPass = true;
    QCoreApplication::processEvents();
    on_pushButton_clicked();
    versionTimer->start(launcherTimes.versionDelayMs);
    if (!logo_Prj)
        logo_Prj = new QPixmap;
}

Dialog::~Dialog()
{
    delete scene; // takes the login panel and the menu pictures with it
    delete form;
    if (Dialg == this)
        Dialg = nullptr;
}

void Dialog::ChangeLanguages(int index)
{
    indexLang = index;
    QCoreApplication::removeTranslator(translator);
    QString sheet = QStringLiteral(":/Resources/stylesheet.qss");
    if (index == 1) {
        translator->load(QStringLiteral(":/Resources/Languages/french"));
    } else if (index == 0) {
        translator->load(QStringLiteral(":/Resources/Languages/arabic"));
        sheet = QStringLiteral(":/Resources/stylesheetR.qss");
    } else {
        translator->load(QStringLiteral(":/Resources/Languages/english"));
    }
    qApp->setStyleSheet(readStyleSheet(sheet));
    QCoreApplication::removeTranslator(qtTexts());
    if (qtTexts()->load(QLatin1String("qt_")
                            + QLatin1String(index == 0 ? "ar" : index == 1 ? "fr" : "en"),
                        QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts());
    QCoreApplication::installTranslator(translator);
    form->retranslateUi(this);
    showRegisterLink();
    form->comboBox->setCurrentIndex(index);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    form->widget2->setLayoutDirection(QApplication::layoutDirection());
    QCoreApplication::processEvents();
    paintFormBackground(form->widget2);
}

void Dialog::on_comboBox_currentIndexChanged(int index)
{
    ChangeLanguages(index);
    settings->setValue(QStringLiteral("Languages"), form->comboBox->currentIndex());
    settings->sync();
}

void Dialog::on_Bmember_clicked()
{
    GetStringini();
    hide();
    // The old form may still be inside its own login step: it goes later.
    if (frmembre) {
        frmembre->hide();
        frmembre->deleteLater();
    }
    frmembre = new FrmMember(nullptr);
    CenterWidget(frmembre);
    frmembre->show();
}

void Dialog::on_Bvisit_clicked()
{
    GetStringini();
    TypeLogin = 0;
    showConnectingForm();
    hide();
    if (connectForLogin(IPServer2, Port_Srv))
        SendPacket(outgoing::directoryVisitor());
}

void Dialog::on_Bclose_clicked() { mvReturn3d(); }

void Dialog::mvReturn3d()
{
    if (menuBusy) // a second click while the panel fades out
        return;
    menuBusy = true;
    qDeleteAll(menuItems);
    menuItems.clear();
    delete leftArrow;
    delete rightArrow;
    delete aboutButton;
    animatePanel(1, 0);
    menuBusy = false;
    overlayShown = false;
    start3d();
}

void Dialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void Dialog::on_reg_linkActivated(const QString &link)
{
    if (isWebAddress(link) && !hooks::openUrl(QUrl(link, QUrl::TolerantMode)))
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgBrowserNotStarted()),
               QMessageBox::Warning, QMessageBox::Ok);
}

void Dialog::ClearAll(const QString &folder)
{
    QDir dir(folder);
    const QFileInfoList list = dir.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &info : list) {
        if (info.isDir() && !info.isSymLink()) {
            ClearAll(info.absoluteFilePath());
            dir.rmdir(info.fileName());
        } else {
            dir.remove(info.fileName());
        }
    }
}
