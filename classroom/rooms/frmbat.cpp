#include "rooms/frmbat.h"

#include "protocol/helpers.h"
#include "protocol/state.h"
#include "rooms/flashplugin.h"
#include "ui_frmbat.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QUrl>
#include <QWebPage>
#include <QWebSettings>

FrmBat::FrmBat(QWidget *parent) : QDialog(parent), ui(new Ui_FrmBat)
{
    ui->setupUi(this);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    ChangeWid();
    setLayoutDirection(QApplication::layoutDirection());
    paintFormBackground(this);
    QWebPage *page = ui->web->page();
    page->setPluginFactory(new FlashPluginFactory(page));
    page->settings()->setAttribute(QWebSettings::PluginsEnabled, true);
    page->settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    const QUrl live = endpointPage(QStringLiteral("PublicLive.php?idroom=")
                                   + QString::number(ChannelRoom));
    if (!live.isEmpty())
        ui->web->load(live);
}

FrmBat::~FrmBat()
{
    delete ui;
    if (frmbat == this)
        frmbat = nullptr;
}

void FrmBat::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void FrmBat::closeEvent(QCloseEvent *event)
{
    ui->web->load(QUrl(QStringLiteral("about:blank")));
    // Hidden and kept; the next opening replaces it.
    event->accept();
}

void openFrmBat()
{
    openCentred(frmbat);
}
