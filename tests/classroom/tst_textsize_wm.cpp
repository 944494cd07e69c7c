// Text in every window of the classroom client as the program draws it, on a
// display of the test's own (one point one pixel, the compiled-in faces, the
// floor under every font), in each language: no text smaller than the floor,
// no caption or label cut by its widget, and input boxes wide enough for
// their titles.
#include "admin/frm_adrm.h"
#include "admin/frm_adus.h"
#include "admin/frmimtihan.h"
#include "common/fonts.h"
#include "common/hooks.h"
#include "mainwindow/controltxt.h"
#include "mainwindow/frmpm.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/state.h"
#include "rooms/frmbat.h"
#include "rooms/frmgroup.h"
#include "rooms/frmroom.h"
#include "rooms/frmwait2.h"
#include "startup/dialog.h"
#include "startup/frmconnect.h"
#include "startup/frmmember.h"
#include "startup/frmwait.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/textsize.h"
#include "support/wmdesktop.h"

#include <QComboBox>
#include <QGraphicsProxyWidget>
#include <QInputDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QSignalSpy>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>
#include <QtTest>

#include <functional>

namespace {

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// The window shown and laid out, as a user first sees it.
bool showLaidOut(QWidget *window)
{
    window->show();
    // A widget in a graphics scene has no window of its own.
    if (!window->graphicsProxyWidget() && !QTest::qWaitForWindowExposed(window))
        return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    return true;
}

// Small and cut texts of the window, every page of its tab widgets included.
QStringList faultsOf(QWidget *window)
{
    QStringList faults;
    const QList<QTabWidget *> tabs = window->findChildren<QTabWidget *>();
    auto look = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (const QString &f : smallTexts(window) + cutTexts(window))
            if (!faults.contains(f))
                faults << f;
    };
    look();
    for (QTabWidget *tab : tabs) {
        const int shown = tab->currentIndex();
        for (int i = 0; i < tab->count(); ++i) {
            tab->setCurrentIndex(i);
            look();
        }
        tab->setCurrentIndex(shown);
    }
    return faults;
}

// Chooses the smallest input size (8 points) in every conversation input of
// the window, as a user may.
QWidget *smallestInputSize(QWidget *window)
{
    for (ControlTxt *input : window->findChildren<ControlTxt *>())
        QMetaObject::invokeMethod(input, "sizeA1");
    return window;
}

const QString kSchedule = QStringLiteral(
    "2020-05-10 09:30:00<|||>7<||>2020-05-10 09:00:00<||>60<||>امتحان التجويد والقراءات");

using Opener = std::function<QWidget *()>;

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestTextSize : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void floorRaisesSmallFonts_data();
    void floorRaisesSmallFonts();
    void floorFollowsLaterChanges();
    void pagesHaveTheFloor();

    void windows_data();
    void windows();
    void inputBoxes_data();
    void inputBoxes();
    void messageBoxTitles();
    void memberFormBoxes_data();
    void memberFormBoxes();

private:
    void useLanguage(int index);

    LoopbackPeer m_peer;
    QPointer<Dialog> m_launcher;
};

void TestTextSize::initTestCase()
{
    hooks::setQuitHandler([] {});
    hooks::setUrlHandler([](const QUrl &) { return true; });
    useProgramFonts();
    launcherFolder = QDir::currentPath() + QStringLiteral("/no-programs-here");
    GethttpServer.clear(); // no entry list: the launcher stands on its own
    QVERIFY(m_peer.connectClient());
    // The launcher sets the language, its style sheet and direction, as at a start.
    m_launcher = new Dialog;
}

void TestTextSize::cleanup()
{
    while (!frmRooms.isEmpty())
        delete frmRooms.first();
    while (!frmPMs.isEmpty())
        delete frmPMs.first();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != m_launcher && !w->graphicsProxyWidget())
            w->hide();
    deleteLaterNow();
}

void TestTextSize::useLanguage(int index) { m_launcher->ChangeLanguages(index); }

void TestTextSize::floorRaisesSmallFonts_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("pixels");
    QFont points(kKufiFamily);
    points.setPointSize(8);
    QFont tiny(kSansFamily);
    tiny.setPixelSize(6);
    QFont large(kKufiFamily);
    large.setPointSize(12);
    QTest::newRow("8 points at 72 dpi") << points << 72 << kMinTextPixels;
    QTest::newRow("6 pixels") << tiny << 72 << kMinTextPixels;
    QTest::newRow("12 points stay") << large << 72 << 12;
}

void TestTextSize::floorRaisesSmallFonts()
{
    QFETCH(QFont, font);
    QFETCH(int, dpi);
    QFETCH(int, pixels);
    const QFont raised = fontAtLeastMinimum(font, dpi);
    QCOMPARE(QFontInfo(raised).pixelSize(), pixels);
    QCOMPARE(raised.family(), font.family());
    QCOMPARE(raised.bold(), font.bold());
}

void TestTextSize::floorFollowsLaterChanges()
{
    // Fonts given after the widgets are on screen come out at the floor all
    // the same, and so does a font a child takes from its parent.
    QWidget window;
    auto *label = new QLabel(QStringLiteral("نص"), &window);
    auto *inner = new QLabel(QStringLiteral("نص"), label);
    QVERIFY(showLaidOut(&window));
    auto pixels = [](QWidget *w) { return QFontInfo(w->font()).pixelSize(); };
    QFont small = window.font();
    small.setPointSize(6);
    window.setFont(small);
    QCOMPARE(pixels(&window), kMinTextPixels);
    small.setPointSize(5);
    label->setFont(small);
    QCOMPARE(pixels(label), kMinTextPixels);
    QVERIFY2(pixels(inner) >= kMinTextPixels, qPrintable(QString::number(pixels(inner))));
    QFont large = small;
    large.setPointSize(14);
    label->setFont(large);
    QCOMPARE(pixels(label), 14);
}

void TestTextSize::pagesHaveTheFloor()
{
    // Text a page asks to be 6 pixels high is drawn at the floor.
    QWebView view;
    QSignalSpy loaded(&view, &QWebView::loadFinished);
    view.setHtml(QStringLiteral("<p><span id='small' style='font-size:6px'>نص صغير</span>"
                                "<span id='chat' style='font-size:8pt'>نص</span></p>"));
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    for (const char *id : {"small", "chat"}) {
        const QString size = view.page()->mainFrame()->evaluateJavaScript(
            QStringLiteral("getComputedStyle(document.getElementById('%1')).fontSize")
                .arg(QLatin1String(id))).toString();
        QVERIFY2(size.endsWith(QLatin1String("px")), qPrintable(size));
        QVERIFY2(size.chopped(2).toDouble() >= kMinTextPixels, qPrintable(id + (": " + size)));
    }
}

void TestTextSize::windows_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<Opener>("open");

    const Opener launcherPanel = []() -> QWidget * {
        // The login panel, which lives in the launcher's scene.
        for (QWidget *w : QApplication::allWidgets())
            if (w->objectName() == QLatin1String("widget2") && w->graphicsProxyWidget())
                return w;
        return nullptr;
    };
    const Opener launcher = [this]() -> QWidget * { return m_launcher; };
    const Opener member = [] { return new FrmMember; };
    const Opener connecting = [] { return new FrmConnect; };
    const Opener waiting = [] { return new FrmWait; };
    const Opener mainWindow = [] {
        FrmUser::keepAlivePeriod = 3600 * 1000;
        auto *w = FrmUser::replaceMainWindow();
        w->setUSER(QStringLiteral("ali"));
        w->AddUsr(QStringLiteral("sara"), 1);
        w->AddUsr(QStringLiteral("أحمد"), 0);
        w->SetAdmin(true);
        w->SetBat(true);
        w->setLa(QStringLiteral("12"));
        return w;
    };
    const Opener search = [] {
        frmserr = new FrmSerr(nullptr);
        for (const char *nick : {"sara", "أحمد", "omar"})
            frmserr->ADDusr(QString::fromUtf8(nick));
        return frmserr;
    };
    const Opener conversation = [] { return smallestInputSize(openPM(QStringLiteral("sara"))); };
    const Opener chooser = [] {
        frmgrup = new FrmGroup(nullptr);
        frmgrup->groupIds = {1};
        frmgrup->AddCombo(QStringLiteral("الحلقات العامة"));
        frmgrup->AddList(QStringLiteral("1"), QStringLiteral("المجلس العام"), QStringLiteral("2"), 0);
        frmgrup->AddList(QStringLiteral("3"), QStringLiteral("حلقة خاصة"), QStringLiteral("0"), 1);
        auto *table = frmgrup->findChild<QTableWidget *>(QStringLiteral("table1"));
        table->setCurrentCell(1, 2); // the locked room: its password panel shows
        return frmgrup;
    };
    const Opener enteringRoom = [] { return frmwait2 = new FrmWait2(nullptr); };
    // A supervisor's room with every button and status text, in the state
    // whose captions are longest, then the other.
    auto room = [](bool on) {
        return [on]() -> QWidget * {
            bat = true;
            settings->setValue(QStringLiteral("Choix"), 1);
            auto *w = new FrmRoom(nullptr, on ? 11 : 12);
            frmRooms.append(w);
            w->setAdmin(true);
            w->AddItem(QStringLiteral("ali"), 1, true);
            w->setVisibleSabora(on);
            w->setVisibleFlash(on);
            if (on) {
                w->findChild<QPushButton *>(QStringLiteral("Bwav"))->click();
                w->findChild<QPushButton *>(QStringLiteral("Bradio"))->click();
            }
            w->setWindowState(Qt::WindowNoState);
            return smallestInputSize(w);
        };
    };
    const Opener broadcast = [] { return frmbat = new FrmBat(nullptr); };
    const Opener notice = [] {
        Imtihan_user = kSchedule;
        return new FrmImtihan(nullptr);
    };
    const Opener adminRooms = [] {
        frmadrm = new Frm_adRm(nullptr);
        frmadrm->ListGroup(QStringLiteral("3:الحلقات العامة|7:حلقات التحفيظ"));
        return frmadrm;
    };
    const Opener adminUsers = [] { return frmadus = new Frm_adUs(nullptr); };

    const struct
    {
        const char *name;
        Opener open;
    } windows[] = {{"launcher", launcher},
                   {"launcher panel", launcherPanel},
                   {"member login", member},
                   {"connecting", connecting},
                   {"waiting for the login", waiting},
                   {"main window", mainWindow},
                   {"user search", search},
                   {"conversation", conversation},
                   {"room chooser", chooser},
                   {"entering a room", enteringRoom},
                   {"room, captions to start", room(false)},
                   {"room, captions to stop", room(true)},
                   {"broadcast", broadcast},
                   {"exam notice", notice},
                   {"room administration", adminRooms},
                   {"user administration", adminUsers}};
    const struct
    {
        const char *name;
        int index;
    } languages[] = {{"Arabic", 0}, {"French", 1}, {"English", 2}};
    for (const auto &language : languages)
        for (const auto &window : windows)
            QTest::addRow("%s, %s", language.name, window.name) << language.index << window.open;
}

void TestTextSize::windows()
{
    QFETCH(int, language);
    QFETCH(Opener, open);
    useLanguage(language);
    QPointer<QWidget> window = open();
    QVERIFY(window);
    QVERIFY(showLaidOut(window->window()));
    const QStringList faults = faultsOf(window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    if (window != m_launcher && !window->graphicsProxyWidget())
        delete window.data();
}

void TestTextSize::inputBoxes_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("whisper");
    for (int language : {0, 1, 2}) {
        QTest::addRow("whisper, language %d", language) << language << true;
        QTest::addRow("supervisor password, language %d", language) << language << false;
    }
}

void TestTextSize::inputBoxes()
{
    QFETCH(int, language);
    QFETCH(bool, whisper);
    useLanguage(language);
    QStringList faults;
    int boxes = 0;
    hooks::setModalHandler([&](QDialog *dialog) {
        auto *box = qobject_cast<QInputDialog *>(dialog);
        if (!box || !showLaidOut(box))
            return int(QDialog::Rejected);
        ++boxes;
        faults << faultsOf(box);
        faults << cutTitle(box);
        box->hide();
        return int(QDialog::Rejected);
    });
    if (whisper) {
        frmusr = FrmUser::replaceMainWindow();
        frmusr->setUSER(QStringLiteral("ali"));
        auto *room = new FrmRoom(nullptr, 21);
        frmRooms.append(room);
        room->AddItem(QStringLiteral("sara"), 1, false);
        auto *list = room->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
        list->setCurrentItem(list->topLevelItem(0));
        QMetaObject::invokeMethod(room, "menuWhisbar");
    } else {
        frmgrup = new FrmGroup(nullptr);
        frmgrup->groupIds = {1};
        frmgrup->AddCombo(QStringLiteral("الحلقات العامة"));
        frmgrup->AddList(QStringLiteral("1"), QStringLiteral("المجلس العام"), QStringLiteral("2"), 0);
        frmgrup->findChild<QTableWidget *>(QStringLiteral("table1"))->setCurrentCell(0, 2);
        QMetaObject::invokeMethod(frmgrup, "menuAdmin");
        delete frmgrup;
    }
    hooks::setModalHandler(nullptr);
    QCOMPARE(boxes, 1);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTextSize::messageBoxTitles()
{
    // A short message under the program's title: the title bar shows the
    // title whole, in each language.
    QStringList faults;
    int boxes = 0;
    hooks::setModalHandler([&](QDialog *box) {
        if (!showLaidOut(box))
            return int(QDialog::Rejected);
        ++boxes;
        faults << faultsOf(box);
        if (box->width() < titleBarWidthFor(box))
            faults << QStringLiteral("title \"%1\" needs %2, the box is %3 wide")
                          .arg(box->windowTitle())
                          .arg(titleBarWidthFor(box))
                          .arg(box->width());
        box->hide();
        return int(QMessageBox::Ok);
    });
    for (int language : {0, 1, 2}) {
        useLanguage(language);
        MsgBox(GeTranslate(MyMessage::GeTitle()), GeTranslate(MyMessage::GeMsgShort()),
               QMessageBox::Warning, QMessageBox::Ok);
    }
    hooks::setModalHandler(nullptr);
    QCOMPARE(boxes, 3);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTextSize::memberFormBoxes_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("sideBySide");
    QTest::newRow("Arabic") << 0 << true;
    QTest::newRow("French") << 1 << false;
    QTest::newRow("English") << 2 << true;
}

void TestTextSize::memberFormBoxes()
{
    // The two check boxes stand side by side where their captions fit so,
    // else one under the other; either way every field of the frame has its
    // own place.
    QFETCH(int, language);
    QFETCH(bool, sideBySide);
    useLanguage(language);
    FrmMember form;
    QVERIFY(showLaidOut(&form));
    auto *save = form.findChild<QWidget *>(QStringLiteral("chSave"));
    auto *show = form.findChild<QWidget *>(QStringLiteral("chShow"));
    QCOMPARE(save->y() == show->y(), sideBySide);
    auto *frame = form.findChild<QWidget *>(QStringLiteral("mainFrame"));
    QList<QWidget *> fields;
    for (QWidget *w : frame->findChildren<QWidget *>())
        if (w->isVisible() && w->parentWidget() == frame)
            fields << w;
    QCOMPARE(fields.size(), 6);
    for (int i = 0; i < fields.size(); ++i) {
        QVERIFY2(frame->rect().contains(fields.at(i)->geometry()),
                 qPrintable(fields.at(i)->objectName()));
        // No row squeezed below the least height its layout allows it.
        const QWidget *w = fields.at(i);
        const int least = w->minimumHeight() > 0 ? w->minimumHeight() : w->minimumSizeHint().height();
        QVERIFY2(w->height() >= least, qPrintable(w->objectName()));
        for (int j = i + 1; j < fields.size(); ++j)
            QVERIFY2(!fields.at(i)->geometry().intersects(fields.at(j)->geometry()),
                     qPrintable(fields.at(i)->objectName() + QLatin1Char('/')
                                + fields.at(j)->objectName()));
    }
    QVERIFY2(cutTexts(&form).isEmpty(), qPrintable(cutTexts(&form).join(QLatin1Char('\n'))));
}

// Point sizes drawn as the program draws them.
Q_CONSTRUCTOR_FUNCTION(useFormFontResolution)

VELMAR_WM_TEST_MAIN(TestTextSize, 1366, 768)
#include "tst_textsize_wm.moc"
