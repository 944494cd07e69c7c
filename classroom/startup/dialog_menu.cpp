// The animated menu of server entries: door cards on a ring, two arrows, the
// about button and card, and the choice of an entry.
#include "startup/dialog.h"

#include "protocol/state.h"
#include "startup/pictureitem.h"
#include "startup/pure/entries.h"
#include "ui_dialog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QSettings>
#include <QTimer>

namespace {
enum CardKey { KeyId = 0, KeyCurrent = 1, KeyPrevious = 2, KeyNext = 3, KeyAbout = 4, KeyLink = 5 };
} // namespace

PictureItem *Dialog::card(int index) const { return menuItems.value(index, nullptr); }

PictureItem *Dialog::currentCard() const
{
    for (PictureItem *c : menuItems)
        if (c->data(KeyCurrent).toInt() == 1)
            return c;
    return menuItems.value(0, nullptr);
}

QList<PictureItem *> Dialog::fixedPictures() const
{
    QList<PictureItem *> list;
    for (PictureItem *item : {leftArrow.data(), rightArrow.data(), aboutButton.data()})
        if (item)
            list << item;
    return list;
}

bool Dialog::atFrontOrSide(const PictureItem *c) const
{
    const int x = int(c->pos().x());
    return x == leftX || x == centreX || x == rightX;
}

bool Dialog::entryLocked(int index) const
{
    return isLocked(index, entryFields(entries.value(index)).at(EntryLock), var_int);
}

void Dialog::waitFor(PictureItem *item)
{
    if (!item || !item->isAnimating())
        return;
    QEventLoop loop;
    connect(item, &PictureItem::Finished, &loop, &QEventLoop::quit);
    connect(item, &PictureItem::stopped, &loop, &QEventLoop::quit);
    connect(item, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void Dialog::waitFor(QAbstractAnimation *animation)
{
    if (!animation || animation->state() == QAbstractAnimation::Stopped)
        return;
    QEventLoop loop;
    connect(animation, &QAbstractAnimation::stateChanged, &loop,
            [&loop](QAbstractAnimation::State now) {
                if (now == QAbstractAnimation::Stopped)
                    loop.quit();
            });
    connect(animation, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void Dialog::animatePanel(double from, double to)
{
    auto *animation = new QPropertyAnimation(panelProxy, "opacity");
    animation->setDuration(menuMs(1000));
    animation->setStartValue(from);
    animation->setEndValue(to);
    if (to > from)
        animation->setEasingCurve(QEasingCurve::InQuad);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    waitFor(animation);
}

void Dialog::start3d()
{
    const int W = form->graphicsView->width();
    const int H = form->graphicsView->height();
    panelProxy->setOpacity(0);
    panelProxy->setZValue(0);
    leftX = -65;
    centreX = W / 2 - 130;
    rightX = W - 165;
    leftY = 70;
    centreY = 30;
    rightY = 70;

    auto fixedPicture = [this](const char *resource, const char *key) {
        auto *item = new PictureItem(QPixmap(QString::fromLatin1(resource)));
        item->setCursor(Qt::PointingHandCursor);
        item->setData(KeyId, QString::fromLatin1(key));
        scene->addItem(item);
        item->setFade(0);
        return item;
    };
    leftArrow = fixedPicture(":/Resources/anim/left3d.png", "m_left");
    rightArrow = fixedPicture(":/Resources/anim/right3d.png", "m_right");
    aboutButton = fixedPicture(":/Resources/anim/about.png", "m_about");
    const int h = leftArrow->pixmap().height();
    leftArrow->setPos(4, H - 10 - h);
    rightArrow->setPos(W - 54, H - 10 - h);
    const QSize about = aboutButton->pixmap().size();
    aboutButton->setPos(W / 2 - about.width() / 2, H - 20 - about.height());
    form->graphicsView->setFocus();

    for (int i = 0; i < entries.size(); ++i) {
        const QStringList f = entryFields(entries.at(i));
        if (entryLocked(i))
            AddItem(createPix(tr("::::doors are locked"), entryIcons.value(i)),
                    QString::number(i), i == choice,
                    tr("::::These doors are locked, you can not access it"), QString());
        else
            AddItem(createPix(f.at(EntryName), entryIcons.value(i)), QString::number(i),
                    i == choice, f.at(EntryAbout), f.at(EntryRegister));
    }
    for (PictureItem *item : fixedPictures())
        connect(item, &PictureItem::pressed, this, &Dialog::slot_pressed3d);
    leftArrow->setZValue(menuItems.size() + 1);
    rightArrow->setZValue(menuItems.size() + 1);
    aboutButton->setZValue(100);
    aboutButton->setFade(0);
    tree3d();
    fadeTimer->start(menuMs(100));
}

void Dialog::AddItem(QPixmap picture, QString id, int current, QString aboutText, QString link)
{
    const int n = menuItems.size();
    auto *item = new PictureItem(picture);
    item->setData(KeyId, id);
    item->setData(KeyCurrent, current);
    item->setData(KeyAbout, aboutText);
    item->setData(KeyLink, link);
    menuItems << item;
    item->setCursor(Qt::PointingHandCursor);
    scene->addItem(item);
    if (!current)
        item->setScale(0.75);
    connect(item, &PictureItem::pressed, this, &Dialog::slot_pressed);
    item->setFade(0);
    if (n == 0) {
        item->setData(KeyPrevious, -1);
        item->setData(KeyNext, -1);
    } else {
        item->setData(KeyPrevious, n - 1);
        item->setData(KeyNext, 0);
        menuItems.at(n - 1)->setData(KeyNext, n);
        menuItems.at(0)->setData(KeyPrevious, n);
    }
}

void Dialog::tree3d()
{
    if (menuItems.isEmpty())
        return;
    const int N = menuItems.size();
    PictureItem *K = currentCard();
    K->setScale(1.0);
    K->setPos(frontPos());
    K->setData(KeyCurrent, 1);
    K->setZValue(N);
    PictureItem *P = card(K->data(KeyPrevious).toInt());
    PictureItem *X = card(K->data(KeyNext).toInt());
    if (!P || !X)
        return;
    for (PictureItem *c : qAsConst(menuItems)) {
        if (c == K || c == P || c == X)
            continue;
        c->setScale(0.5);
        c->setPos(backPos());
        c->setZValue(0);
        c->setRotationAngleY(180);
    }
    X->setPos(rightPos());
    X->setZValue(N - 1);
    X->setRotationAngleY(295);
    X->setScale(0.75);
    P->setPos(leftPos());
    P->setZValue(N - 1);
    P->setRotationAngleY(65);
    P->setScale(0.75);
    for (PictureItem *c : qAsConst(menuItems))
        c->setFade(0);
    for (PictureItem *item : fixedPictures())
        item->setFade(0);
}

void Dialog::mvLeft3d() { turnRing(true); }

void Dialog::mvRight3d() { turnRing(false); }

// One step of the ring. To the left the right card comes to the front, the
// current one goes left and the left one to the back, with In curves; to the
// right the mirror image, with Out curves.
void Dialog::turnRing(bool toLeft)
{
    if (menuItems.size() < 2 || overlayShown || menuBusy)
        return;
    menuBusy = true;
    const int N = menuItems.size();
    PictureItem *K = currentCard();
    K->setData(KeyCurrent, 0);
    PictureItem *P = card(K->data(KeyPrevious).toInt());
    PictureItem *X = card(K->data(KeyNext).toInt());
    for (PictureItem *c : qAsConst(menuItems)) {
        if (c == K || c == P || c == X)
            continue;
        c->setZValue(0);
        c->setScale(0);
        c->setPos(0, 0);
    }
    const bool out = !toLeft;
    PictureItem *toBack = toLeft ? P : X;
    PictureItem *toFront = toLeft ? X : P;

    toBack->animateScale(toBack->scale(), 0.5);
    toBack->animatePosAndAngle(toBack->pos(), backPos(), int(toBack->rotationAngleY()), 180, out);
    toBack->setZValue(1);
    const int start = toLeft ? 0 : 360;
    K->setRotationAngleY(start);
    K->animateScale(K->scale(), 0.75);
    K->animatePosAndAngle(K->pos(), toLeft ? leftPos() : rightPos(), start, toLeft ? 65 : 295,
                          out);
    K->setZValue(N - 1);
    toFront->animateScale(toFront->scale(), 1.0);
    toFront->animatePosAndAngle(toFront->pos(), frontPos(), int(toFront->rotationAngleY()),
                                toLeft ? 360 : 0, out);
    toFront->setZValue(N);
    toFront->setData(KeyCurrent, 1);
    // The card that comes in on the side the current one has not taken.
    PictureItem *incoming = toLeft ? card(toFront->data(KeyNext).toInt())
                                   : card(toFront->data(KeyPrevious).toInt());
    if (N > 3) {
        incoming->setScale(0.5);
        incoming->setPos(backPos());
    }
    incoming->animateScale(incoming->scale(), 0.75);
    incoming->animatePosAndAngle(incoming->pos(), toLeft ? rightPos() : leftPos(),
                                 int(incoming->rotationAngleY()), toLeft ? 295 : 65, out);
    incoming->setZValue(1);

    aboutButton->setFade(0);
    waitFor(incoming);
    if (aboutButton) {
        aboutButton->animateFadeOut(200);
        waitFor(aboutButton);
    }
    menuBusy = false;
}

void Dialog::mvAbout3d()
{
    if (menuBusy || overlayShown || menuItems.isEmpty())
        return;
    menuBusy = true;
    overlayShown = true;
    const int W = form->graphicsView->width();
    const int H = form->graphicsView->height();
    PictureItem *K = currentCard();
    const int e = K->data(KeyId).toString().toInt();
    aboutCard = new PictureItem(createPix2(K->data(KeyAbout).toString(), entryIcons.value(e)));
    aboutCard->setCursor(Qt::PointingHandCursor);
    scene->addItem(aboutCard);
    aboutCard->setScale(0.2);
    connect(aboutCard, &PictureItem::pressed, this, &Dialog::slot_pressed2);
    aboutCard->setPos(aboutButton->pos());
    aboutCard->setZValue(200);
    for (PictureItem *item : fixedPictures())
        item->animateFadeIn(200);
    const QSize size = aboutCard->pixmap().size();
    aboutCard->animateScale(0.2, 1.0);
    aboutCard->animatePosAndAngle(aboutCard->pos(),
                                  QPointF(W / 2 - size.width() / 2, H - 60 - size.height()),
                                  360, 0, false);
    waitFor(aboutCard);
    menuBusy = false;
}

void Dialog::slot_pressed2()
{
    if (menuBusy || !overlayShown || !aboutCard)
        return;
    menuBusy = true;
    aboutCard->animateScale(1.0, 0.3);
    aboutCard->animatePosAndAngle(aboutCard->pos(), aboutButton->pos(), 360, 0, false);
    waitFor(aboutCard);
    if (aboutCard)
        aboutCard->animateFadeIn(400);
    for (PictureItem *item : fixedPictures())
        item->animateFadeOut(400);
    waitFor(aboutButton);
    if (aboutCard)
        aboutCard->deleteLater();
    aboutCard = nullptr;
    menuBusy = false;
    overlayShown = false;
}

void Dialog::showRegisterLink()
{
    form->reg->setText(registrationHtml(registerLink, tr("Click here to register")));
}

void Dialog::return3d(PictureItem *chosen)
{
    if (!chosen || overlayShown || menuBusy)
        return;
    choice = chosen->data(KeyId).toString().toInt();
    if (entryLocked(choice)) {
        mvAbout3d();
        return;
    }
    menuBusy = true;
    registerLink = chosen->data(KeyLink).toString();
    showRegisterLink();

    // The logo comes from the cache only under plain names; otherwise, and
    // when it is missing, the entry's name stands in for it.
    const QStringList f = entryFields(entries.value(choice));
    QPixmap logo;
    if (isPlainName(f.at(EntryFolder)) && isPlainName(f.at(EntryLogo))) {
        const QString path = QDir::homePath() + QStringLiteral("/.talvek/") + f.at(EntryFolder)
                             + QLatin1Char('/') + f.at(EntryLogo);
        if (QFileInfo::exists(path))
            logo.load(path);
    }
    if (logo.isNull())
        logo = createPix3(f.at(EntryName), QPixmap());
    if (!logo_Prj)
        logo_Prj = new QPixmap;
    *logo_Prj = logo;
    form->Logo->setPixmap(*logo_Prj);
    settings->setValue(QStringLiteral("Choix"), choice);
    settings->sync();

    QPointer<PictureItem> picked(chosen);
    picked->animateAngle(360, 0);
    for (PictureItem *item : fixedPictures())
        item->animateFadeIn(1000);
    waitFor(picked);
    if (picked)
        picked->setRotationAngleY(0);
    for (PictureItem *c : qAsConst(menuItems)) {
        if (atFrontOrSide(c))
            c->animateFadeIn(1000);
        else
            c->setFade(0);
    }
    waitFor(picked);
    panelProxy->setPos(0, 0);
    animatePanel(0, 1);
    menuBusy = false;
    overlayShown = true;
}

void Dialog::slot_pressed()
{
    auto *c = qobject_cast<PictureItem *>(sender());
    if (!c)
        return;
    const int x = int(c->pos().x());
    if (x == centreX)
        return3d(c);
    else if (x == leftX)
        mvRight3d();
    else if (x == rightX)
        mvLeft3d();
}

void Dialog::slot_pressed3d()
{
    auto *item = qobject_cast<PictureItem *>(sender());
    if (!item)
        return;
    const QString key = item->data(KeyId).toString();
    if (key == QLatin1String("m_left"))
        mvLeft3d();
    else if (key == QLatin1String("m_right"))
        mvRight3d();
    else if (key == QLatin1String("m_about"))
        mvAbout3d();
}

void Dialog::slot_keyPress(QKeyEvent *event)
{
    if (menuItems.isEmpty())
        return;
    const int key = event->key();
    if (key == Qt::Key_Left)
        mvLeft3d();
    else if (key == Qt::Key_Right)
        mvRight3d();
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return3d(currentCard());
}

void Dialog::slot_keyRelease(QKeyEvent *) {}

void Dialog::slot_timeout()
{
    fadeTimer->stop();
    if (menuBusy)
        return;
    menuBusy = true;
    for (PictureItem *c : qAsConst(menuItems)) {
        if (atFrontOrSide(c))
            c->animateFadeOut(1000);
        else
            c->setFade(0);
    }
    for (PictureItem *item : fixedPictures())
        item->animateFadeOut(1000);
    waitFor(aboutButton);
    for (PictureItem *c : qAsConst(menuItems))
        c->setFade(255);
    menuBusy = false;
}
