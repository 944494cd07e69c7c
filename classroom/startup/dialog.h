// The launcher: the animated menu of server entries, then the login panel
// with the entry's logo, the registration link, the language choice and the
// member, visitor and close buttons. It also runs the version check.
#pragma once

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

class QAbstractAnimation;
class QGraphicsProxyWidget;
class QGraphicsScene;
class QKeyEvent;
class QTimer;
class PictureItem;
class Ui_Dialog;

// Delays and time limits of the launcher; tests shorten them.
struct LauncherTimes
{
    int httpTimeoutMs = 10000;        // every HTTP wait
    int examVersionTimeoutMs = 30000; // "Tallivor -v"
    int versionDelayMs = 1000;        // from construction to the version check
};
extern LauncherTimes launcherTimes;

// Folder of Tallivor and Nuvate; empty means the running program's folder.
extern QString launcherFolder;
QString applicationFolder();

class Dialog : public QDialog
{
    Q_OBJECT
    friend class DialogTest;

public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

    void ChangeLanguages(int index);
    void GetStringini();
    void mvReturn3d();
    static void ClearAll(const QString &folder);

    QPixmap createPix(QString text, QPixmap icon);
    QPixmap createPix2(QString text, QPixmap icon);
    QPixmap createPix3(QString text, QPixmap icon);

private slots:
    void slot_pressed();
    void slot_pressed2();
    void slot_pressed3d();
    void slot_keyPress(QKeyEvent *event);
    void slot_keyRelease(QKeyEvent *event);
    void slot_timeout();
    void keyPressEvent(QKeyEvent *event) override;
    void on_comboBox_currentIndexChanged(int index);
    void on_Bmember_clicked();
    void on_Bclose_clicked();
    void on_Bvisit_clicked();
    void slotTime();
    void on_reg_linkActivated(const QString &link);

private:
    // Entry list and picture cache.
    void on_pushButton_clicked();
    QPixmap iconForUrl(const QString &url);
    QByteArray httpGet(const QString &url);
    void setLoginEnabled(bool enabled);

    // Version check.
    void getVersion();
    QString examVersion();
    bool examProgramRunning();
    // Starts Nuvate detached; a failed start is reported.
    void startUpdater(const QStringList &arguments);

    // Menu.
    void start3d();
    void AddItem(QPixmap picture, QString id, int current, QString aboutText, QString link);
    void tree3d();
    void mvLeft3d();
    void mvRight3d();
    void turnRing(bool toLeft);
    void mvAbout3d();
    void return3d(PictureItem *card);
    PictureItem *currentCard() const;
    PictureItem *card(int index) const;
    // The arrows and the about button, where they exist.
    QList<PictureItem *> fixedPictures() const;
    // Standing at the front or at a side, not at the back.
    bool atFrontOrSide(const PictureItem *c) const;
    bool entryLocked(int index) const;
    void waitFor(PictureItem *item);
    void waitFor(QAbstractAnimation *animation);
    void animatePanel(double from, double to);
    // The registration link of the chosen entry, captioned in the language
    // shown.
    void showRegisterLink();
    QPointF frontPos() const { return QPointF(centreX, centreY); }
    QPointF leftPos() const { return QPointF(leftX, leftY); }
    QPointF rightPos() const { return QPointF(rightX, rightY); }
    QPointF backPos() const { return QPointF(centreX - 64, centreY + 16); }

    Ui_Dialog *form;
    QStringList entries;
    QList<QPixmap> entryIcons;
    QTimer *versionTimer;
    QTimer *fadeTimer;
    bool firstPass = false;
    QString versionReply;
    QGraphicsScene *scene;
    QGraphicsProxyWidget *panelProxy = nullptr;
    QGraphicsProxyWidget *waitProxy = nullptr;
    QList<PictureItem *> menuItems;
    QPointer<PictureItem> leftArrow, rightArrow, aboutButton;
    QPointer<PictureItem> aboutCard;
    int leftX = 0, centreX = 0, rightX = 0, leftY = 0, centreY = 0, rightY = 0;
    bool menuBusy = false, overlayShown = false;
    int choice = 0;
    QString registerLink; // of the chosen entry, kept for a change of language
};
