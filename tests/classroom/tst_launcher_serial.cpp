// The launcher against the local institute's web endpoint: the entry list and
// picture cache, the choice and login settings, the languages, the version
// questions with the probe of the exam program's shared memory (a key of the
// whole system, hence serial), and the animated menu (with shortened
// animation times).
#include "common/fonts.h"
#include "common/hooks.h"
#include "protocol/helpers.h"
#include "protocol/state.h"
#include "startup/dialog.h"
#include "startup/pictureitem.h"
#include "startup/program.h"
#include "common/guardkey.h"
#include "support/institute.h"
#include "support/modal.h"
#include "support/programs.h"

#include <QComboBox>
#include <QDirIterator>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QPropertyAnimation>
#include <QSettings>
#include <QSharedMemory>
#include <QTcpServer>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QAbstractItemView>
#include <QtTest>
#include <memory>
#include <sys/ipc.h>
#include <sys/shm.h>

using Starts = QList<QStringList>; // program followed by its arguments

namespace {
const char kHoldArgument[] = "--hold-exam-segment";

// Run as "<test> --hold-exam-segment": holds the exam program's segment the
// way a running exam program does, until killed.
int holdExamSegment()
{
    QSharedMemory memory(examGuardKey());
    if (!memory.create(512))
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

// Whether the segment exists, looked up the way Qt's System V shared memory
// names it, without attaching (a detach by the last user would remove it).
bool segmentExists()
{
    const QSharedMemory memory(examGuardKey());
    const key_t key = ftok(QFile::encodeName(memory.nativeKey()).constData(), 'Q');
    return key != -1 && shmget(key, 0, 0400) != -1;
}
} // namespace

class DialogTest : public QObject
{
    Q_OBJECT
    Institute inst;
    FakeProgramFolder programs;
    std::unique_ptr<ModalAnswerer> answers;
    Starts started;
    bool startSucceeds = true;
    bool browserStarts = true;
    QList<QUrl> opened;

    QString talvek() const { return QDir::homePath() + QStringLiteral("/.talvek"); }

    void web(const QJsonObject &command)
    {
        const QJsonObject reply = inst.control(command);
        QVERIFY2(reply.value(QStringLiteral("ok")).toBool(),
                 qPrintable(QJsonDocument(reply).toJson()));
    }
    void entries(const QJsonObject &shape)
    {
        QJsonObject command = shape;
        command.insert(QStringLiteral("command"), QStringLiteral("web-entries"));
        web(command);
    }
    void versions(const QJsonObject &fields)
    {
        QJsonObject command = fields;
        command.insert(QStringLiteral("command"), QStringLiteral("web-versions"));
        web(command);
    }
    void fault(const QString &target, const QString &mode, int status = 500)
    {
        web({{"command", "web-fault"}, {"target", target}, {"mode", mode}, {"status", status}});
    }
    // Paths the web endpoint was asked for, in order.
    QStringList requests()
    {
        QStringList out;
        for (const QJsonValue &v : inst.log())
            if (v.toObject().value(QStringLiteral("service")).toString() == QLatin1String("web"))
                out << v.toObject().value(QStringLiteral("path")).toString();
        return out;
    }
    static int countContaining(const QStringList &list, const QString &part)
    {
        return int(std::count_if(list.begin(), list.end(),
                                 [&](const QString &s) { return s.contains(part); }));
    }
    // Opens the launcher and lets its menu appear.
    std::unique_ptr<Dialog> open()
    {
        auto d = std::make_unique<Dialog>();
        settle(*d);
        return d;
    }
    static void settle(Dialog &d)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!d.fadeTimer->isActive() && !d.menuBusy, 60000);
    }
    // A widget of the launcher's form, in the dialog or in its login panel.
    template <class T = QWidget>
    static T *w(Dialog &d, const char *name)
    {
        const QString n = QString::fromLatin1(name);
        if (T *found = d.findChild<T *>(n))
            return found;
        QWidget *panel = d.panelProxy->widget();
        if (panel->objectName() == n)
            return qobject_cast<T *>(panel);
        return panel->findChild<T *>(n);
    }
    static QString cardId(PictureItem *card) { return card ? card->data(0).toString() : "none"; }
    static QPointF at(Dialog &d, int index) { return d.menuItems.at(index)->pos(); }
    static void key(Dialog &d, Qt::Key k)
    {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        d.slot_keyPress(&event);
    }
    static QString readFile(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(inst.start(), qPrintable(inst.startError()));
        installFonts();
        launcherFolder = programs.path();
        hooks::setStartHandler([this](const QString &program, const QStringList &args) {
            started << (QStringList{program} + args);
            return startSucceeds;
        });
        hooks::setUrlHandler([this](const QUrl &url) {
            opened << url;
            return browserStarts;
        });
    }

    void init()
    {
        answers.reset();
        web({{"command", "web-reset"}});
        inst.control({{"command", "clear-log"}});
        settings->clear();
        settings->sync();
        QDir(talvek()).removeRecursively();
        QDir::home().mkdir(QStringLiteral(".talvek"));
        GethttpServer = inst.webBase() + QStringLiteral("velmar.php");
        var_int = 0;
        menuTimeScale = 0.01;
        launcherTimes = LauncherTimes();
        launcherTimes.versionDelayMs = 3600000; // the tests run the check themselves
        // Bounds a busy machine never reaches: each wait ends with its reply
        // or its program; the tests of the bounds set short ones.
        launcherTimes.httpTimeoutMs = 60000;
        launcherTimes.examVersionTimeoutMs = 60000;
        programs.setExamVersion("2.0.16");
        programs.setExamDelay(0);
        programs.clearRuns();
        answers = std::make_unique<ModalAnswerer>();
        started.clear();
        opened.clear();
        startSucceeds = true;
    }

    void cleanup()
    {
        answers.reset();
        VERIFY_INSTITUTE_CLEAN(inst);
    }

    void entryListAndPictureCache()
    {
        auto d = open();
        QCOMPARE(d->entries.size(), 3);
        QVERIFY(w<QPushButton>(*d, "Bmember")->isEnabled());
        QVERIFY(w<QPushButton>(*d, "Bvisit")->isEnabled());
        QCOMPARE(w<QPushButton>(*d, "Bmember")->styleSheet(), QStringLiteral("color: rgb(0, 62, 0);"));
        QCOMPARE(d->waitProxy->opacity(), 0.0);
        for (int n = 1; n <= 3; ++n) {
            const QString folder = talvek() + QStringLiteral("/site%1/").arg(n);
            QVERIFY(QFile::exists(folder + QStringLiteral("icon%1.png").arg(n)));
            QVERIFY(QFile::exists(folder + QStringLiteral("logo%1.png").arg(n)));
            QCOMPARE(d->entryIcons.at(n - 1).size(), QSize(36, 36));
        }
        QStringList log = requests();
        QCOMPARE(countContaining(log, QStringLiteral("?Ver=MacOS")), 1);
        QCOMPARE(countContaining(log, QStringLiteral("?Code=info")), 1);
        QCOMPARE(countContaining(log, QStringLiteral("/site")), 6);
        QVERIFY(log.indexOf(QRegularExpression(".*\\?Ver=MacOS"))
                < log.indexOf(QRegularExpression(".*\\?Code=info")));

        // The next start takes the pictures from the cache, even when the
        // server has changed them, and downloads only a new name.
        d.reset();
        inst.control({{"command", "clear-log"}});
        entries({{"override", QJsonObject{{"0", QJsonObject{{"7", "icon2.png"}}}}}});
        d = open();
        log = requests();
        QCOMPARE(countContaining(log, QStringLiteral("/site")), 1);
        QCOMPARE(countContaining(log, QStringLiteral("/site1/icon2.png")), 1);
        QVERIFY(QFile::exists(talvek() + QStringLiteral("/site1/icon2.png")));
    }

    void lockedEntries_data()
    {
        QTest::addColumn<int>("defaultEntry");
        QTest::addColumn<QJsonArray>("lockFlags");
        QTest::addColumn<QList<int>>("locked");
        QTest::newRow("others locked") << 2 << QJsonArray{1, 2, 3} << QList<int>{1, 3};
        QTest::newRow("no default entry") << -1 << QJsonArray{0, 1, 2, 3} << QList<int>{};
        QTest::newRow("default entry 0") << 0 << QJsonArray{0, 3} << QList<int>{3};
    }
    void lockedEntries()
    {
        QFETCH(int, defaultEntry);
        QFETCH(QJsonArray, lockFlags);
        QFETCH(QList<int>, locked);
        var_int = defaultEntry;
        entries({{"count", 4}, {"locked", lockFlags}});
        auto d = open();
        const QStringList log = requests();
        const QString lockedText =
            QString::fromUtf8("::::هذه البوابة مقفلة لا تستطيع الدخول إليها");
        for (int i = 0; i < 4; ++i) {
            const QString site = QStringLiteral("site%1").arg(i + 1);
            const bool isLocked = locked.contains(i);
            QCOMPARE(QDir(talvek()).exists(site), !isLocked);
            QCOMPARE(countContaining(log, QLatin1Char('/') + site + QLatin1Char('/')) > 0,
                     !isLocked);
            QCOMPARE(d->menuItems.at(i)->data(4).toString() == lockedText, isLocked);
            QCOMPARE(d->menuItems.at(i)->data(5).toString().isEmpty(), isLocked);
        }
    }

    void noEntries_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("status");
        QTest::addColumn<QJsonObject>("shape");
        QTest::newRow("server error") << "list" << "status" << 500 << QJsonObject();
        QTest::newRow("not found") << "list" << "status" << 404 << QJsonObject();
        QTest::newRow("fewer fields") << "" << "" << 0 << QJsonObject{{"fields", 15}};
        QTest::newRow("error page with 200")
            << "" << "" << 0
            << QJsonObject{{"raw", "<html><body>Fatal error|line 3|x</body></html>"}};
        QTest::newRow("empty list") << "" << "" << 0 << QJsonObject{{"count", 0}};
        QTest::newRow("silent endpoint") << "list" << "silent" << 0 << QJsonObject();
        QTest::newRow("all silent") << "all" << "silent" << 0 << QJsonObject();
    }
    void noEntries()
    {
        QFETCH(QString, target);
        QFETCH(QString, mode);
        QFETCH(int, status);
        QFETCH(QJsonObject, shape);
        launcherTimes.httpTimeoutMs = 300;
        if (target == QLatin1String("all")) {
            fault(QStringLiteral("list"), mode);
            fault(QStringLiteral("version"), mode);
        } else if (!target.isEmpty()) {
            fault(target, mode, status);
        }
        if (!shape.isEmpty())
            entries(shape);
        settings->setValue(QStringLiteral("Choix"), 1);
        auto d = std::make_unique<Dialog>();
        QCOMPARE(d->entries.size(), 0);
        QVERIFY(!w<QPushButton>(*d, "Bmember")->isEnabled());
        QVERIFY(!w<QPushButton>(*d, "Bvisit")->isEnabled());
        QCOMPARE(w<QPushButton>(*d, "Bvisit")->styleSheet(), QStringLiteral("color: rgb(200, 200, 200);"));
        QCOMPARE(d->waitProxy->opacity(), 1.0);
        QVERIFY(d->menuItems.isEmpty());
        QVERIFY(!d->leftArrow);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        // The login settings stay as they were.
        IPServer2 = QStringLiteral("unchanged");
        Port_Srv = 17;
        d->GetStringini();
        QCOMPARE(IPServer2, QStringLiteral("unchanged"));
        QCOMPARE(Port_Srv, 17);
        // The version check later finds nothing to offer either.
        QVERIFY(!askedToQuit([&] { d->slotTime(); }));
        QVERIFY(answers->shown.isEmpty());
        web({{"command", "web-reset"}});
    }

    // An error status carries the very body a success would: the list, the
    // version record or the picture is refused all the same.
    void errorStatusWithAGoodBody_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("status");
        for (const char *target : {"list", "version", "pictures"}) {
            for (int status : {302, 404, 500})
                QTest::addRow("%s %d", target, status) << QString::fromLatin1(target) << status;
        }
    }
    void errorStatusWithAGoodBody()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        versions({{"client", "3.0.1"}});
        fault(target, QStringLiteral("status-body"), status);
        auto d = std::make_unique<Dialog>();
        QCOMPARE(d->entries.size(), target == QLatin1String("list") ? 0 : 3);
        for (int n = 1; n <= d->entries.size(); ++n) {
            const bool refused = target == QLatin1String("pictures");
            QCOMPARE(d->entryIcons.at(n - 1).isNull(), refused);
            QCOMPARE(QFile::exists(talvek() + QStringLiteral("/site%1/icon%1.png").arg(n)), !refused);
        }
        const bool offered = askedToQuit([&] { d->slotTime(); });
        QCOMPARE(offered, target != QLatin1String("version"));
        QCOMPARE(!answers->shown.isEmpty(), offered);
        web({{"command", "web-reset"}});
    }

    // Only http and https addresses are fetched: an ftp address of the
    // configuration or of an entry is never contacted.
    void onlyWebAddressesAreFetched_data()
    {
        QTest::addColumn<bool>("configured"); // the web endpoint itself, or an entry's web path
        QTest::newRow("web endpoint") << true;
        QTest::newRow("pictures of an entry") << false;
    }
    void onlyWebAddressesAreFetched()
    {
        QFETCH(bool, configured);
        QTcpServer elsewhere;
        QVERIFY(elsewhere.listen(QHostAddress::LocalHost));
        const QString ftp = QStringLiteral("ftp://127.0.0.1:%1/").arg(elsewhere.serverPort());
        // Bounds the wait of a fetch that should never have been made.
        launcherTimes.httpTimeoutMs = 2000;
        if (configured)
            GethttpServer = ftp + QStringLiteral("velmar.php");
        else
            entries({{"override", QJsonObject{{"0", QJsonObject{{"3", ftp}}}}}});
        auto d = std::make_unique<Dialog>();
        askedToQuit([&] { d->slotTime(); });
        QCOMPARE(d->entries.size(), configured ? 0 : 3);
        // The fetches are over: a connection would be waiting by now.
        QVERIFY(!elsewhere.waitForNewConnection(0));
        QVERIFY(!elsewhere.hasPendingConnections());
        if (!configured)
            QVERIFY(d->entryIcons.at(0).isNull());
    }

    // An entry's web path is checked itself: one that fails is never joined
    // with a picture's name into an address, even one that would reach the
    // institute, and the entry logs in without web pages.
    void entryWebPathChecked_data()
    {
        QTest::addColumn<QJsonObject>("fields");
        const QString host = QStringLiteral("127.0.0.1:%1").arg(inst.port(QStringLiteral("web")));
        QTest::newRow("user and password")
            << QJsonObject{{"3", "http://user:pw@" + host + "/site1/"}};
        QTest::newRow("empty user name") << QJsonObject{{"3", "http://@" + host + "/site1/"}};
        QTest::newRow("at sign alone")
            << QJsonObject{{"3", "http://@"}, {"7", host + "/site1/icon1.png"}};
        QTest::newRow("host left open")
            << QJsonObject{{"3", "http://127.0.0.1"},
                           {"7", host.mid(int(strlen("127.0.0.1"))) + "/site1/icon1.png"}};
    }
    void entryWebPathChecked()
    {
        QFETCH(QJsonObject, fields);
        entries({{"override", QJsonObject{{"0", fields}}}});
        auto d = open();
        QCOMPARE(d->entries.size(), 3);
        QVERIFY(d->entryIcons.at(0).isNull());
        QVERIFY(!d->entryIcons.at(1).isNull());
        const QStringList log = requests();
        QVERIFY2(countContaining(log, QStringLiteral("/site1/")) == 0, qPrintable(log.join(' ')));
        QCOMPARE(countContaining(log, QStringLiteral("/site2/")), 2);
        d->choice = 0;
        path_web = path_swf = QStringLiteral("before");
        d->GetStringini();
        QCOMPARE(path_web, QString());
        QCOMPARE(path_swf, QString());
        QCOMPARE(IPServer2, QStringLiteral("127.0.0.1"));
    }

    void unsafeServerNames()
    {
        const QJsonObject overrides{
            {"0", QJsonObject{{"6", "../escape"}}},
            {"1", QJsonObject{{"7", "../../evil.png"}, {"11", ".."}}},
            {"2", QJsonObject{{"11", "/tmp/abs-logo.png"}}},
            {"3", QJsonObject{{"3", "file:///tmp/"}, {"7", "icon1.png"}}}};
        entries({{"count", 4}, {"override", overrides}});
        auto d = open();
        QCOMPARE(d->entries.size(), 4);
        // The unsafe folder is not created; its picture is shown, not cached.
        QVERIFY(!QFileInfo::exists(QDir::homePath() + QStringLiteral("/escape")));
        QCOMPARE(d->entryIcons.at(0).size(), QSize(36, 36));
        QVERIFY(d->entryIcons.at(1).isNull());
        QVERIFY(d->entryIcons.at(3).isNull()); // not a web address: never fetched
        QStringList inHome;
        QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            inHome << QDir(QDir::homePath()).relativeFilePath(it.next());
        inHome = inHome.filter(QRegularExpression(QStringLiteral("^(?!\\.config/)")));
        inHome.sort();
        QCOMPARE(inHome, QStringList{".talvek/site3/icon3.png"});
        QVERIFY(QDir(talvek()).exists(QStringLiteral("site4")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/abs-logo.png")));
        const QStringList log = requests();
        QCOMPARE(countContaining(log, QStringLiteral("abs-logo")), 0);
        QCOMPARE(countContaining(log, QStringLiteral("/site1/icon1.png")), 1);

        // The entry with the unsafe folder gets the text logo.
        key(*d, Qt::Key_Return);
        QCOMPARE(logo_Prj->size(), QSize(481, 258));
    }

    void choice_data()
    {
        QTest::addColumn<int>("defaultEntry");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("default entry") << 2 << QVariant() << 2;
        QTest::newRow("no default entry") << -1 << QVariant() << 0;
        QTest::newRow("stored wins") << 2 << QVariant(1) << 1;
        QTest::newRow("beyond the list") << 0 << QVariant(7) << 2;
        QTest::newRow("negative") << 0 << QVariant(-3) << 0;
        QTest::newRow("default beyond the list") << 9 << QVariant() << 2;
    }
    void choice()
    {
        QFETCH(int, defaultEntry);
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        var_int = defaultEntry;
        if (stored.isValid())
            settings->setValue(QStringLiteral("Choix"), stored);
        auto d = open();
        QCOMPARE(d->choice, expected);
        QCOMPARE(cardId(d->currentCard()), QString::number(expected));
        QCOMPARE(d->currentCard()->pos(), QPointF(107, 30));
        d->GetStringini();
        QCOMPARE(path_web, inst.webBase() + QStringLiteral("site%1/").arg(expected + 1));
    }

    void loginSettingsOfTheChosenEntry()
    {
        settings->setValue(QStringLiteral("Choix"), 1);
        auto d = open();
        d->show();
        d->on_Bmember_clicked();
        QVERIFY(!d->isVisible());
        QCOMPARE(IPServer2, QStringLiteral("127.0.0.1"));
        QCOMPARE(Port_Srv, int(inst.port(QStringLiteral("directory"))));
        QCOMPARE(path_web, inst.webBase() + QStringLiteral("site2/"));
        QCOMPARE(path_swf, inst.webBase() + QStringLiteral("site2/station.swf"));
        QCOMPARE(path_radio, QStringLiteral("live2-room"));
        const QString stream = QStringLiteral("127.0.0.1:%1").arg(inst.port(QStringLiteral("stream")));
        QCOMPARE(r_radio, stream);
        QCOMPARE(w_radio, stream);
        QCOMPARE(pass_radio, QByteArray("c291cmNlOmhhY2ttZQ=="));
        QCOMPARE(velmar_group, QStringLiteral("group2"));
        QCOMPARE(velmar_name, QString::fromUtf8("قاعة النور::Nour"));

        IPServer2.clear();
        d->show();
        d->on_Bvisit_clicked();
        QVERIFY(!d->isVisible());
        QCOMPARE(IPServer2, QStringLiteral("127.0.0.1"));
    }

    void languages_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("rightToLeft");
        const QString arabicTitle = QString::fromUtf8("الفلمور العلمية");
        QTest::newRow("nothing stored") << QVariant() << 0 << arabicTitle
                                        << QString::fromUtf8("الدخول بالعضوية")
                                        << QString::fromUtf8("اللغة :") << true;
        QTest::newRow("Arabic") << QVariant(0) << 0 << arabicTitle
                                << QString::fromUtf8("الدخول بالعضوية")
                                << QString::fromUtf8("اللغة :") << true;
        QTest::newRow("French") << QVariant(1) << 1 << "Velmar" << "Membres" << "langue :" << false;
        QTest::newRow("English") << QVariant(2) << 2 << "Velmar" << "Login Member" << "Language :"
                                 << false;
        QTest::newRow("out of range") << QVariant(5) << -1 << "Velmar" << "Login Member"
                                      << "Language :" << false;
    }
    void languages()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QString, member);
        QFETCH(QString, language);
        QFETCH(bool, rightToLeft);
        if (stored.isValid())
            settings->setValue(QStringLiteral("Languages"), stored);
        auto d = open();
        QCOMPARE(w<QComboBox>(*d, "comboBox")->currentIndex(), index);
        QCOMPARE(indexLang, index);
        QCOMPARE(d->windowTitle(), title);
        QCOMPARE(w<QPushButton>(*d, "Bmember")->text(), member);
        QCOMPARE(w<QLabel>(*d, "Llangue")->text(), language);
        const Qt::LayoutDirection direction = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
        QCOMPARE(QApplication::layoutDirection(), direction);
        QCOMPARE(d->layoutDirection(), direction);
        QCOMPARE(w<QWidget>(*d, "widget2")->layoutDirection(), direction);
        const QString sheet = QStringLiteral(VELMAR_SOURCE_DIR "/classroom/resources/styles/")
                              + (rightToLeft ? "stylesheetR.qss" : "stylesheet.qss");
        QCOMPARE(qApp->styleSheet(), readFile(sheet));
        QCOMPARE(w<QComboBox>(*d, "comboBox")->itemText(0), QString::fromUtf8("العربية"));
        QCOMPARE(w<QComboBox>(*d, "comboBox")->itemText(1), QStringLiteral("français"));
    }

    void languageChoiceIsStored()
    {
        auto d = open();
        w<QComboBox>(*d, "comboBox")->setCurrentIndex(1);
        QCOMPARE(QSettings(QStringLiteral("Dastrel"), QStringLiteral("Settings"))
                     .value(QStringLiteral("Languages")).toInt(),
                 1);
        QCOMPARE(w<QPushButton>(*d, "Bclose")->text(), QStringLiteral("Sortie"));
        QCOMPARE(QApplication::layoutDirection(), Qt::LeftToRight);
        // Only the Arabic catalogue carries the message texts.
        QCOMPARE(GeTranslate("sVervion"), QStringLiteral("sVervion"));
        w<QComboBox>(*d, "comboBox")->setCurrentIndex(0);
        QCOMPARE(GeTranslate("sVervion"), QString::fromUtf8("تحديثات"));
        QCOMPARE(GeTranslate("MsgNoImtihan"),
                 QString::fromUtf8("لا يمكن التحديث يجب عليك إغلاق برنامج الاختبار   "));
        QCOMPARE(w<QPushButton>(*d, "Bclose")->text(), QString::fromUtf8("الخروج"));
        QCOMPARE(w<QPushButton>(*d, "Bvisit")->text(), QString::fromUtf8("الدخول بالزيارة"));
    }

    void qtTextsSpeakTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("colourTitle");
        QTest::newRow("Arabic") << 0 << QString::fromUtf8("ألغِ") << QString::fromUtf8("اختر لونًا");
        QTest::newRow("French") << 1 << "Annuler" << QString::fromUtf8("Sélectionner une couleur");
        QTest::newRow("English") << 2 << "Cancel" << "Select Color";
    }
    void qtTextsSpeakTheLanguage()
    {
        // Qt's own dialogs and standard buttons, from Qt's translations.
        QFETCH(int, language);
        QFETCH(QString, cancel);
        QFETCH(QString, colourTitle);
        settings->setValue(QStringLiteral("Languages"), language == 2 ? 0 : 2);
        auto d = open();
        w<QComboBox>(*d, "comboBox")->setCurrentIndex(language);
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);
        QColorDialog colours;
        QCOMPARE(colours.windowTitle(), colourTitle);
    }

    void highlightedLanguageReadable_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Arabic") << 0;
        QTest::newRow("English") << 2;
    }
    void highlightedLanguageReadable()
    {
        // Each row of the open language list, highlighted, shows its text.
        QFETCH(int, language);
        settings->setValue(QStringLiteral("Languages"), language);
        auto d = open();
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        key(*d, Qt::Key_Return);
        auto *combo = w<QComboBox>(*d, "comboBox");
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        QTRY_VERIFY(list->isVisible());
        for (int row = 0; row < combo->count(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            list->setCurrentIndex(index);
            // Inside the row, away from any frame around it.
            const QImage shown =
                list->viewport()->grab(list->visualRect(index).adjusted(4, 3, -4, -3)).toImage();
            QVERIFY(!shown.isNull());
            // Readable: both light and dark pixels, text on its background.
            int light = 0, dark = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const int grey = qGray(shown.pixel(x, y));
                    light += grey > 160;
                    dark += grey < 96;
                }
            QVERIFY2(qMin(light, dark) > 50,
                     qPrintable(QStringLiteral("row %1: %2 light and %3 dark pixels")
                                    .arg(row).arg(light).arg(dark)));
        }
        combo->hidePopup();
    }

    void languageShownWhole_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Arabic") << 0;
        QTest::newRow("French") << 1;
        QTest::newRow("English") << 2;
    }
    void languageShownWhole()
    {
        // The chosen language's name is drawn whole in the combo of the login
        // panel, which lives in the scene, and the buttons' texts fit.
        QFETCH(int, language);
        settings->setValue(QStringLiteral("Languages"), language);
        const QFont font = QApplication::font();
        QApplication::setFont(QFont(kKufiFamily, 12)); // the program's font
        auto restore = qScopeGuard([&] { QApplication::setFont(font); });
        auto d = open();
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        key(*d, Qt::Key_Return);
        QCOMPARE(d->panelProxy->opacity(), 1.0);
        auto *combo = w<QComboBox>(*d, "comboBox");
        auto *view = w<QGraphicsView>(*d, "graphicsView");
        const QPointF inScene =
            d->panelProxy->mapToScene(combo->mapTo(w<QWidget>(*d, "widget2"), QPoint()));
        const QImage shown =
            view->grab(QRect(view->mapFromScene(inScene), combo->size())).toImage();
        // Dark grey ink, away from the arrow at either end.
        int first = shown.width(), last = -1;
        for (int x = 22; x < shown.width() - 22; ++x)
            for (int y = 0; y < shown.height(); ++y) {
                const QColor c = shown.pixelColor(x, y);
                if (qMax(c.red(), qMax(c.green(), c.blue())) < 150
                    && qMax(c.red(), qMax(c.green(), c.blue()))
                               - qMin(c.red(), qMin(c.green(), c.blue()))
                           < 30) {
                    first = qMin(first, x);
                    last = qMax(last, x);
                }
            }
        const int inked = last - first + 1;
        const int text = combo->fontMetrics().horizontalAdvance(combo->currentText());
        QVERIFY2(inked >= text * 4 / 5, qPrintable(QStringLiteral("%1 of %2 pixels drawn")
                                                        .arg(inked).arg(text)));
        // The buttons and the label have room for their texts.
        for (const char *name : {"Bmember", "Bvisit", "Bclose"}) {
            auto *b = w<QPushButton>(*d, name);
            QVERIFY2(b->width() >= b->sizeHint().width(), name);
        }
        auto *label = w<QLabel>(*d, "Llangue");
        QVERIFY(label->width() >= label->sizeHint().width());
    }

    void escapeDoesNotClose()
    {
        auto d = open();
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        QTest::keyClick(d.get(), Qt::Key_Escape);
        QVERIFY(d->isVisible());
        QCOMPARE(d->result(), 0);
    }

    void formLayout()
    {
        auto d = open();
        QCOMPARE(d->minimumSize(), QSize(474, 400));
        QCOMPARE(d->maximumSize(), QSize(474, 400));
        QCOMPARE(d->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
                 Qt::WindowFlags());
        QCOMPARE(w<QGraphicsView>(*d, "graphicsView")->size(), QSize(474, 400));
        QCOMPARE(d->scene->sceneRect(), QRectF(0, 0, 474, 400));
        QCOMPARE(w<QWidget>(*d, "widget2")->parentWidget(), nullptr);
        QCOMPARE(d->panelProxy->widget(), w<QWidget>(*d, "widget2"));
        QCOMPARE(w<QLabel>(*d, "Logo")->size(), QSize(400, 240));
        QVERIFY(!w<QLabel>(*d, "reg")->openExternalLinks()); // links go through the desktop seam
        QCOMPARE(d->waitProxy->pos().y(), 140.0);
    }

    void cardPositions()
    {
        entries({{"count", 5}});
        auto d = open();
        PictureItem *K = d->menuItems.at(0), *X = d->menuItems.at(1), *P = d->menuItems.at(4);
        QCOMPARE(K->pos(), QPointF(107, 30));
        QCOMPARE(K->scale(), 1.0);
        QCOMPARE(K->zValue(), 5.0);
        QCOMPARE(P->pos(), QPointF(-65, 70));
        QCOMPARE(P->rotationAngleY(), 65.0);
        QCOMPARE(P->scale(), 0.75);
        QCOMPARE(P->zValue(), 4.0);
        QCOMPARE(X->pos(), QPointF(309, 70));
        QCOMPARE(X->rotationAngleY(), 295.0);
        QCOMPARE(X->zValue(), 4.0);
        for (int i : {2, 3}) {
            QCOMPARE(at(*d, i), QPointF(43, 46));
            QCOMPARE(d->menuItems.at(i)->scale(), 0.5);
            QCOMPARE(d->menuItems.at(i)->rotationAngleY(), 180.0);
            QCOMPARE(d->menuItems.at(i)->zValue(), 0.0);
        }
        // Once the menu has appeared every card and fixed picture is shown.
        for (PictureItem *c : d->menuItems)
            QCOMPARE(c->fade(), 255);
        for (PictureItem *p : {d->leftArrow.data(), d->rightArrow.data(), d->aboutButton.data()})
            QCOMPARE(p->fade(), 255);
        QCOMPARE(d->leftArrow->pos(), QPointF(4, 342));
        QCOMPARE(d->rightArrow->pos(), QPointF(420, 342));
        QCOMPARE(d->aboutButton->pos(), QPointF(174, 294));
        QCOMPARE(d->leftArrow->zValue(), 6.0);
        QCOMPARE(d->aboutButton->zValue(), 100.0);
        QCOMPARE(d->leftArrow->data(0).toString(), QStringLiteral("m_left"));
        QCOMPARE(d->aboutButton->data(0).toString(), QStringLiteral("m_about"));
        // The ring.
        QCOMPARE(K->data(2).toInt(), 4);
        QCOMPARE(K->data(3).toInt(), 1);
        QCOMPARE(P->data(3).toInt(), 0);
    }

    void moves_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("back");
        QTest::newRow("one card, left") << 1 << int(Qt::Key_Left) << "0" << "" << "" << "";
        QTest::newRow("one card, right") << 1 << int(Qt::Key_Right) << "0" << "" << "" << "";
        QTest::newRow("two cards, left") << 2 << int(Qt::Key_Left) << "1" << "" << "0" << "";
        QTest::newRow("two cards, right") << 2 << int(Qt::Key_Right) << "1" << "0" << "" << "";
        QTest::newRow("three cards, left") << 3 << int(Qt::Key_Left) << "1" << "0" << "2" << "";
        QTest::newRow("three cards, right") << 3 << int(Qt::Key_Right) << "2" << "1" << "0" << "";
        QTest::newRow("five cards, left") << 5 << int(Qt::Key_Left) << "1" << "0" << "2" << "4";
        QTest::newRow("five cards, right") << 5 << int(Qt::Key_Right) << "4" << "3" << "0" << "1";
    }
    void moves()
    {
        QFETCH(int, count);
        QFETCH(int, key);
        entries({{"count", count}});
        auto d = open();
        if (count == 2)
            QCOMPARE(at(*d, 1), QPointF(-65, 70)); // the other card starts on the left
        DialogTest::key(*d, Qt::Key(key));
        QVERIFY(!d->menuBusy);
        QStringList front, left, right, back, gone;
        for (PictureItem *c : d->menuItems) {
            const QPointF p = c->pos();
            const QString id = cardId(c);
            if (p == QPointF(107, 30) && c->scale() == 1.0)
                front << id;
            else if (p == QPointF(-65, 70) && c->scale() == 0.75)
                left << id;
            else if (p == QPointF(309, 70) && c->scale() == 0.75)
                right << id;
            else if (p == QPointF(43, 46) && c->scale() == 0.5)
                back << id;
            else if (c->scale() == 0)
                gone << id;
            else
                QFAIL(qPrintable(QStringLiteral("card %1 stopped at %2,%3 scale %4")
                                     .arg(id).arg(p.x()).arg(p.y()).arg(c->scale())));
        }
        QTEST(front.join(','), "front");
        QTEST(left.join(','), "left");
        QTEST(right.join(','), "right");
        QTEST(back.join(','), "back");
        QCOMPARE(front.size() + left.size() + right.size() + back.size() + gone.size(), count);
        QCOMPARE(cardId(d->currentCard()), front.value(0));
        QCOMPARE(d->aboutButton->fade(), 255);
    }

    void presses()
    {
        entries({{"count", 5}});
        auto d = open();
        emit d->menuItems.at(2)->pressed(); // at the back
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("0"));
        emit d->menuItems.at(4)->pressed(); // on the left: turns right
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("4"));
        emit d->menuItems.at(0)->pressed(); // now on the right: turns left
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("0"));
        emit d->rightArrow->pressed();
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("4"));
        emit d->leftArrow->pressed();
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("0"));
        emit d->menuItems.at(0)->pressed(); // the front card is chosen
        QVERIFY(d->overlayShown);
        QCOMPARE(d->panelProxy->opacity(), 1.0);
        // With the panel in front the menu stays still.
        key(*d, Qt::Key_Left);
        emit d->aboutButton->pressed();
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("0"));
        QVERIFY(!d->aboutCard);
    }

    void inputDuringAMoveIsIgnored()
    {
        entries({{"count", 5}});
        auto d = open();
        QTimer::singleShot(0, d.get(), [&] {
            QVERIFY(d->menuBusy);
            key(*d, Qt::Key_Right);
            key(*d, Qt::Key_Return);
            emit d->leftArrow->pressed();
            emit d->aboutButton->pressed();
            emit d->menuItems.at(1)->pressed();
        });
        key(*d, Qt::Key_Left);
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("1"));
        QCOMPARE(at(*d, 1), QPointF(107, 30));
        QVERIFY(!d->aboutCard);
        QVERIFY(!d->overlayShown);
        QVERIFY(!settings->contains(QStringLiteral("Choix")));
    }

    void aboutCard()
    {
        entries({{"count", 3}});
        auto d = open();
        emit d->aboutButton->pressed();
        QVERIFY(d->aboutCard);
        QVERIFY(d->overlayShown);
        QVERIFY(!d->menuBusy);
        QCOMPARE(d->aboutCard->pos(), QPointF(11, 36));
        QCOMPARE(d->aboutCard->scale(), 1.0);
        QCOMPARE(d->aboutCard->zValue(), 200.0);
        QCOMPARE(d->aboutCard->pixmap().size(), QSize(452, 304));
        QTRY_COMPARE(d->leftArrow->fade(), 0);
        // Arrows and keys wait while it is shown.
        key(*d, Qt::Key_Left);
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("0"));
        // A press closes it; a second press meanwhile is ignored.
        QPointer<PictureItem> card = d->aboutCard.data();
        QTimer::singleShot(0, d.get(), [&] { emit card->pressed(); });
        emit card->pressed();
        QVERIFY(!d->overlayShown);
        QVERIFY(!d->aboutCard);
        QTRY_VERIFY(!card);
        QCOMPARE(d->aboutButton->fade(), 255);
        key(*d, Qt::Key_Left);
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("1"));
    }

    void lockedEntryShowsItsText()
    {
        var_int = 0;
        entries({{"count", 2}, {"locked", QJsonArray{1}}});
        auto d = open();
        key(*d, Qt::Key_Left);
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("1"));
        key(*d, Qt::Key_Return);
        QVERIFY(d->aboutCard);
        QVERIFY(d->overlayShown);
        QCOMPARE(d->panelProxy->opacity(), 0.0);
        QVERIFY(!settings->contains(QStringLiteral("Choix")));
    }

    void choosingStoresTheChoice()
    {
        entries({{"override", QJsonObject{{"2", QJsonObject{{"9", "http://x.example/?a='b'&c"}}}}}});
        auto d = open();
        key(*d, Qt::Key_Right);
        key(*d, Qt::Key_Return);
        QCOMPARE(d->choice, 2);
        QVERIFY(d->overlayShown);
        QVERIFY(!d->menuBusy);
        QCOMPARE(d->panelProxy->opacity(), 1.0);
        QCOMPARE(d->panelProxy->pos(), QPointF(0, 0));
        QCOMPARE(QSettings(QStringLiteral("Dastrel"), QStringLiteral("Settings"))
                     .value(QStringLiteral("Choix")).toInt(),
                 2);
        QCOMPARE(logo_Prj->size(), QSize(400, 240)); // the cached logo
        QCOMPARE(w<QLabel>(*d, "Logo")->pixmap(Qt::ReturnByValue).size(), QSize(400, 240));
        const QString reg = w<QLabel>(*d, "reg")->text();
        QVERIFY2(reg.contains(QStringLiteral("href='http://x.example/?a=&#39;b&#39;&amp;c'")),
                 qPrintable(reg));
        QVERIFY(reg.contains(QString::fromUtf8("إضغط هنا للتسجيل")));
        for (PictureItem *p : {d->leftArrow.data(), d->rightArrow.data(), d->aboutButton.data()})
            QCOMPARE(p->fade(), 0);
        QCOMPARE(d->menuItems.at(2)->rotationAngleY(), 0.0);
        // A change of language captions the same link in the new language at
        // once, and back.
        QString english = reg;
        english.replace(QString::fromUtf8("إضغط هنا للتسجيل"), QStringLiteral("Click here to register"));
        QVERIFY(english != reg);
        for (int language : {2, 0, 1, 2}) {
            w<QComboBox>(*d, "comboBox")->setCurrentIndex(language);
            QCOMPARE(w<QLabel>(*d, "reg")->text(), language == 0 ? reg : english);
        }

        // Only web addresses are opened, through the desktop seam.
        d->on_reg_linkActivated(QStringLiteral("javascript:alert(1)"));
        d->on_reg_linkActivated(QStringLiteral("file:///etc/passwd"));
        QVERIFY(opened.isEmpty());
        d->on_reg_linkActivated(QStringLiteral("http://x.example/?a='b'&c"));
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://x.example/?a='b'&c"))});
        QVERIFY(answers->shown.isEmpty());
        // No browser to open it: the user is told so, in the language shown.
        browserStarts = false;
        d->on_reg_linkActivated(QStringLiteral("http://x.example/register"));
        browserStarts = true;
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown.at(0).text,
                 QStringLiteral("The browser could not be opened for this link"));
        QCOMPARE(answers->shown.at(0).icon, QMessageBox::Warning);
        QCOMPARE(answers->shown.at(0).title, QStringLiteral("Title App"));

        // The next start has the chosen entry in front.
        d.reset();
        d = open();
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("2"));
    }

    void missingLogoGivesTheTextLogo()
    {
        // A logo the server does not have is not cached; the name stands in.
        entries({{"override", QJsonObject{{"0", QJsonObject{{"11", "missing.png"}}}}}});
        auto d = open();
        QVERIFY(!QFileInfo::exists(talvek() + QStringLiteral("/site1/missing.png")));
        key(*d, Qt::Key_Return);
        QCOMPARE(logo_Prj->size(), QSize(481, 258));
    }

    void doubleClicksDeleteNothingTwice()
    {
        auto d = open();
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        // On the card's icon, which is opaque whatever the door picture.
        const QPoint front = w<QGraphicsView>(*d, "graphicsView")
                                 ->mapFromScene(d->currentCard()->mapToScene(QPointF(128, 68)));
        QTest::mouseDClick(w<QGraphicsView>(*d, "graphicsView")->viewport(), Qt::LeftButton, {}, front);
        QTRY_VERIFY(d->overlayShown && !d->menuBusy);
        QCOMPARE(d->panelProxy->opacity(), 1.0);

        QTimer::singleShot(0, d.get(), [&] { w<QPushButton>(*d, "Bclose")->click(); });
        w<QPushButton>(*d, "Bclose")->click();
        QVERIFY(!d->overlayShown);
        QCOMPARE(d->panelProxy->opacity(), 0.0);
        settle(*d);
        int pictures = 0;
        for (QGraphicsItem *item : d->scene->items())
            pictures += item->type() == PictureItem::Type;
        QCOMPARE(d->menuItems.size(), 3);
        QCOMPARE(pictures, 3 + 3);
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("0"));
        key(*d, Qt::Key_Left);
        QCOMPARE(cardId(d->currentCard()), QStringLiteral("1"));
    }

    void waitsEndWhenTheAnimationStops()
    {
        auto d = open();
        QPixmap picture(10, 10);
        picture.fill(Qt::red);
        auto *item = new PictureItem(picture);
        d->scene->addItem(item);
        // Replaced by an animation that does not report its end.
        item->animateScale(1.0, 0.5);
        QTimer::singleShot(0, d.get(), [item] {
            auto *plain = new QPropertyAnimation(item, "scale");
            plain->setDuration(3600000);
            plain->setEndValue(2.0);
            plain->start(QAbstractAnimation::DeleteWhenStopped);
        });
        d->waitFor(item);
        QVERIFY(item->scale() != 0.5);
        // Deleted while waited for.
        item->animateFadeIn(3600000);
        QTimer::singleShot(0, d.get(), [item] { delete item; });
        d->waitFor(item);
        // The panel's fade, stopped from outside.
        auto *fade = new QPropertyAnimation(d->panelProxy, "opacity");
        fade->setDuration(3600000);
        fade->setEndValue(1.0);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
        QTimer::singleShot(0, fade, &QAbstractAnimation::stop);
        d->waitFor(fade);
    }

    void versionQuestions_data()
    {
        QTest::addColumn<QJsonObject>("record");
        QTest::addColumn<QByteArray>("exam");
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<Starts>("starts");
        QTest::addColumn<bool>("quits");
        const QString qt = QString::fromLatin1(qVersion());
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        const QString nuvate = QStringLiteral("NUVATE");
        const QString client = QString::fromUtf8("تحديثات");
        const QString exam = QString::fromUtf8("تحديثات في برنامج الاختبار");
        const int yes = QMessageBox::Yes, no = QMessageBox::No;
        QTest::newRow("up to date") << QJsonObject{{"qt", qt}} << QByteArray("2.0.16")
                                    << QList<int>() << true << QStringList() << Starts() << false;
        QTest::newRow("client, yes")
            << QJsonObject{{"client", "3.0.1"}, {"qt", qt}} << QByteArray("2.0.16")
            << QList<int>{yes} << true << QStringList{client}
            << Starts{{nuvate, "/u", self, "3.0.1", "dastrel-3.0.0.zip"}} << true;
        QTest::newRow("client, yes, further data")
            << QJsonObject{{"client", "3.0.1"}, {"qt", qt}, {"client_extra", "patch"}}
            << QByteArray("2.0.16") << QList<int>{yes} << true << QStringList{client}
            << Starts{{nuvate, "/u", "/r", self, "3.0.1", "dastrel-3.0.0.zip", "patch"}} << true;
        QTest::newRow("client, no") << QJsonObject{{"client", "3.0.1"}, {"qt", qt}}
                                    << QByteArray("2.0.16") << QList<int>{no} << true
                                    << QStringList{client} << Starts() << true;
        QTest::newRow("client, yes, mode n")
            << QJsonObject{{"client", "3.0.1"}, {"qt", qt}, {"mode", "n"}} << QByteArray("2.0.16")
            << QList<int>{yes} << true << QStringList{client} << Starts() << true;
        QTest::newRow("client, other Qt")
            << QJsonObject{{"client", "3.0.1"}, {"qt", "4.8.7"}, {"mode", "n"}}
            << QByteArray("2.0.16") << QList<int>{yes} << true << QStringList{client}
            << Starts{{nuvate, "/c", self, "3.0.1", "dastrel-3.0.0.zip"}} << true;
        QTest::newRow("client, updater fails")
            << QJsonObject{{"client", "3.0.1"}, {"qt", qt}} << QByteArray("2.0.16")
            << QList<int>{yes} << false << QStringList{client, client}
            << Starts{{nuvate, "/u", self, "3.0.1", "dastrel-3.0.0.zip"}} << true;
        QTest::newRow("exam, no") << QJsonObject{{"qt", qt}} << QByteArray("2.0.15")
                                  << QList<int>{no} << true << QStringList{exam} << Starts()
                                  << true;
        QTest::newRow("exam line break") << QJsonObject{{"qt", qt}} << QByteArray("2.0.16\n")
                                         << QList<int>{no} << true << QStringList{exam}
                                         << Starts() << true;
        QTest::newRow("both, no to the client")
            << QJsonObject{{"client", "3.0.1"}, {"qt", qt}} << QByteArray("2.0.15")
            << QList<int>{no, no} << true << QStringList{client, exam} << Starts() << true;
    }
    void versionQuestions()
    {
        QFETCH(QJsonObject, record);
        QFETCH(QByteArray, exam);
        QFETCH(QList<int>, buttons);
        QFETCH(bool, startWorks);
        QFETCH(QStringList, titles);
        QFETCH(Starts, starts);
        QFETCH(bool, quits);
        versions(record);
        programs.setExamVersion(exam);
        startSucceeds = startWorks;
        for (int b : buttons)
            answers->queue(QMessageBox::StandardButton(b));
        auto d = open();
        QVERIFY(answers->shown.isEmpty()); // nothing is asked while constructing
        QCOMPARE(askedToQuit([&] { d->slotTime(); }), quits);
        QStringList shownTitles;
        for (const ShownDialog &s : answers->shown)
            shownTitles << s.title;
        QCOMPARE(shownTitles, titles);
        for (QStringList &s : started)
            s[0].replace(programs.path() + QStringLiteral("/Nuvate"), QStringLiteral("NUVATE"));
        QCOMPARE(started, starts);
        QVERIFY(!d->firstPass);
    }

    void versionQuestionTexts()
    {
        versions({{"client", "3.0.1"}, {"qt", QString::fromLatin1(qVersion())}});
        programs.setExamVersion("2.0.15");
        answers->queue(QMessageBox::Yes);
        answers->queue(QMessageBox::No);
        auto d = open();
        askedToQuit([&] { d->slotTime(); });
        QCOMPARE(answers->shown.size(), 2);
        QCOMPARE(answers->shown.at(0).text,
                 QString::fromUtf8("توجد تحديثات جديدة في البرنامج يجب تحميلها هل تريد تحميلها "
                                   "الآن؟\nالنسخة الحالية هي : 3.0.0\nالنسخة المتوفرة في الموقع "
                                   "هي : 3.0.1"));
        QCOMPARE(answers->shown.at(1).text,
                 QString::fromUtf8("توجد تحديثات جديدة في برنامج الاختبار يجب تحميلها هل تريد "
                                   "تحميلها الآن؟\nالنسخة الحالية هي : 2.0.15\nالنسخة المتوفرة "
                                   "في الموقع هي : 2.0.16"));
        for (const ShownDialog &s : answers->shown) {
            QCOMPARE(s.icon, QMessageBox::Information);
            QCOMPARE(s.buttons, QMessageBox::Yes | QMessageBox::No);
        }
        // In French the keys themselves are shown.
        settings->setValue(QStringLiteral("Languages"), 1);
        answers.reset(); // before the next one installs itself
        answers = std::make_unique<ModalAnswerer>();
        d.reset();
        d = open();
        askedToQuit([&] { d->slotTime(); });
        QCOMPARE(answers->texts(), (QStringList{"Message sVervion Update",
                                                "Message sVervion Update2"}));
    }

    void versionRecordFetchedOnce()
    {
        auto d = open();
        QCOMPARE(programs.examRuns(), 1);
        askedToQuit([&] { d->slotTime(); });
        QCOMPARE(countContaining(requests(), QStringLiteral("?Ver=MacOS")), 1);
        QCOMPARE(programs.examRuns(), 2);
        QVERIFY(!d->versionTimer->isActive());
    }

    void firstVersionFetchFailed()
    {
        versions({{"client", "3.0.1"}});
        fault(QStringLiteral("version"), QStringLiteral("status"), 500);
        auto d = open();
        fault(QStringLiteral("version"), QStringLiteral("none"));
        QVERIFY(!askedToQuit([&] { d->slotTime(); }));
        // Fetched again, but no update is offered in this run.
        QCOMPARE(countContaining(requests(), QStringLiteral("?Ver=MacOS")), 2);
        QVERIFY(answers->shown.isEmpty());
        QVERIFY(!d->firstPass);
    }

    void slowExamProgramIsCutShort()
    {
        launcherTimes.examVersionTimeoutMs = 300;
        programs.setExamDelay(30);
        answers->queue(QMessageBox::No);
        auto d = open();
        askedToQuit([&] { d->slotTime(); });
        QCOMPARE(answers->shown.size(), 1);
        QVERIFY(answers->shown.at(0).text.contains(QString::fromUtf8("النسخة الحالية هي : \n")));
    }

    void examUpdate_data()
    {
        QTest::addColumn<QString>("examData");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<Starts>("starts");
        QTest::addColumn<bool>("quits");
        const QString question = QString::fromUtf8(
            "توجد تحديثات جديدة في برنامج الاختبار يجب تحميلها هل تريد تحميلها الآن؟\nالنسخة "
            "الحالية هي : 2.0.15\nالنسخة المتوفرة في الموقع هي : 2.0.16");
        const QString running =
            QString::fromUtf8("لا يمكن التحديث يجب عليك إغلاق برنامج الاختبار   ");
        const Starts update{{"NUVATE", "/k", "/n", "Tallivor", "2.0.16", "tallivor-2.0.16.zip",
                             "tallivor-2.0.16.zip"}};
        QTest::newRow("no exam program") << "tallivor-2.0.16.zip" << "none"
                                         << QStringList{question} << update << false;
        QTest::newRow("no data") << "" << "none" << QStringList{question} << Starts() << false;
        QTest::newRow("exam program running") << "tallivor-2.0.16.zip" << "running"
                                              << QStringList{question, running} << Starts() << true;
        QTest::newRow("left by a dead exam program") << "tallivor-2.0.16.zip" << "dead"
                                                     << QStringList{question} << update << false;
    }
    void examUpdate()
    {
        QFETCH(QString, examData);
        QFETCH(QString, holder);
        QFETCH(QStringList, texts);
        QFETCH(Starts, starts);
        QFETCH(bool, quits);
        {
            QSharedMemory earlier(examGuardKey()); // left by an earlier run
            if (earlier.attach())
                earlier.detach();
        }
        QVERIFY(!segmentExists());
        QSharedMemory live(examGuardKey());
        if (holder == QLatin1String("running")) {
            QVERIFY(live.create(512));
        } else if (holder == QLatin1String("dead")) {
            QProcess exam;
            exam.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldArgument)});
            QVERIFY(exam.waitForReadyRead(10000));
            QCOMPARE(exam.readAll(), QByteArray("held\n"));
            exam.kill(); // the segment outlives it
            QVERIFY(exam.waitForFinished(10000));
            QVERIFY(segmentExists());
        }
        versions({{"qt", QString::fromLatin1(qVersion())}, {"exam_data", examData}});
        programs.setExamVersion("2.0.15");
        answers->queue(QMessageBox::Yes);
        auto d = open();
        QCOMPARE(askedToQuit([&] { d->slotTime(); }), quits);
        QCOMPARE(answers->texts(), texts);
        for (QStringList &s : started)
            s[0].replace(programs.path() + QStringLiteral("/Nuvate"), QStringLiteral("NUVATE"));
        QCOMPARE(started, starts);
        // The probe leaves no segment behind, and a running program's alone.
        QCOMPARE(segmentExists(), holder == QLatin1String("running"));
        live.detach();
        QVERIFY(!segmentExists());
    }

    void clearAll()
    {
        QTemporaryDir outside;
        QFile(outside.filePath("keep")).open(QIODevice::WriteOnly);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("sub/deeper");
        for (const char *name : {"a.png", ".hidden", "sub/b.png", "sub/deeper/c"})
            QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        QFile::link(outside.path(), dir.filePath("link"));
        Dialog::ClearAll(dir.path());
        QVERIFY(QDir(dir.path()).exists());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{".hidden"});
        QVERIFY(QFile::exists(outside.filePath("keep")));
    }

    void copyFiles()
    {
        QTemporaryDir dir;
        auto write = [&](const char *name, const QByteArray &bytes) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
        };
        write("source", "new");
        write("target", "old");
        copyfiles(dir.filePath("source"), dir.filePath("target"));
        QCOMPARE(readFile(dir.filePath("target")), QStringLiteral("old"));
        copyfiles(dir.filePath("source"), dir.filePath("fresh"));
        QCOMPARE(readFile(dir.filePath("fresh")), QStringLiteral("new"));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], kHoldArgument) == 0)
        return holdExamSegment();
    useFormFontResolution(); // as the program does
    QApplication app(argc, argv);
    DialogTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_launcher_serial.moc"
