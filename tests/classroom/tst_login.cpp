// The login road offscreen against loopback servers: the member form, its
// settings and keys, the connecting and waiting forms, the directory request
// and the redirect with the credentials that follow, the refusals, the
// acceptance, Cancel at each stage, and the failures of the connection.
#include "contacttree.h"
#include "loginworld.h"

#include "protocol/helpers.h"
#include "support/peer.h"
#include "support/unanswered.h"
#include "support/wire.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// Requests and logins, as the protocol lays them out.
const QByteArray kMemberDirectory = literalPacket("fdff" "00000000", "3odaw");
const QByteArray kVisitorDirectory = literalPacket("fdff" "05000000", "zaire", "MacOS");
const QByteArray kAliLogin =
    literalPacket("0100" "2c000000", "", "nickname:ali|Password:ali123|stat:1|Os:MacOS");
const QByteArray kGuestLogin =
    literalPacket("feff" "2b000000", "",
                  "nickname:" + QByteArray::fromHex("d3e3d1e1") + "|Password:"
                      + QByteArray::fromHex("d3e3d1e1") + "|stat:1|Os:MacOS");
const QByteArray kKeepAlive = literalPacket("2d00" "00000000", "test");

template <class T = QWidget>
T *child(QWidget *form, const char *name)
{
    return form ? form->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

template <class Form>
int visibleForms()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<Form *>(w) && w->isVisible())
            ++count;
    return count;
}

QAbstractSocket::SocketState socketState() { return sck->socket()->state(); }

void tick(QObject *form) { QVERIFY(QMetaObject::invokeMethod(form, "time_out")); }

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The forms.
    void memberFormLayout();
    void translations_data();
    void translations();
    void escapeIsSwallowed();
    void returnKeys();
    void blankFieldsNeverConnect_data();
    void blankFieldsNeverConnect();
    void connectingBarCountsToThirty();
    void waitingDotsCycle();
    void launcherOpensTheMemberForm();

    // Directory request and settings.
    void memberDirectoryRequest();
    void visitorDirectoryRequest();
    void savedSettings_data();
    void savedSettings();
    void savedSettingsReadBack();

    // Redirect.
    void redirect_data();
    void redirect();
    void invalidRedirectIgnored_data();
    void invalidRedirectIgnored();

    // Refusal and acceptance.
    void refusals_data();
    void refusals();
    void refusalInArabic();
    void visitorRefusalShowsLauncher();
    void loggedInElsewhereEndsProgram();
    void keepAliveAnsweredDuringMessageBox();
    void acceptance();
    void acceptanceFields();
    void invalidAcceptanceIgnored_data();
    void invalidAcceptanceIgnored();

    // Cancel, closing and failures.
    void cancelWhileConnecting_data();
    void cancelWhileConnecting();
    void cancelWhileWaiting_data();
    void cancelWhileWaiting();
    void connectingFormClosedWhenConnected_data();
    void connectingFormClosedWhenConnected();
    void silentCloseLeavesEverything();
    void unreachableServer_data();
    void unreachableServer();
    void connectTimeLimit();

private:
    FrmMember *memberForm(const QString &user, const QString &pass);
    Dialog *launcher();
    // Clicks the member form's login button (the connection runs inside).
    void clickLogin();
    // Logs the member form in on the directory peer up to the waiting form.
    bool atDirectory(const QString &user = QStringLiteral("ali"),
                     const QString &pass = QStringLiteral("ali123"));
    // The client connected to the chat peer, waiting for its answer.
    bool atChatServer(int typeLogin);
    void useTranslation(const char *language);

    std::unique_ptr<LoopbackPeer> m_directory;
    std::unique_ptr<LoopbackPeer> m_chat;
    LoginWorld m_world;
};

void TestLogin::initTestCase()
{
    m_world.start();
    logo_Prj = new QPixmap(40, 30);
    logo_Prj->fill(Qt::red);
}

void TestLogin::init()
{
    settings->clear();
    settings->sync();
    m_directory = std::make_unique<LoopbackPeer>();
    m_chat = std::make_unique<LoopbackPeer>();
    IPServer2 = QStringLiteral("127.0.0.1");
    Port_Srv = m_directory->port();
    IPServer.clear();
    TypeLogin = -1;
    m_world.open();
    loginTimes.connectTimeoutMs = 10000;
}

void TestLogin::cleanup()
{
    m_world.close();
    if (translator)
        QCoreApplication::removeTranslator(translator);
    indexLang = 2;
    ChangeWid();
    m_chat.reset();
    m_directory.reset();
}

FrmMember *TestLogin::memberForm(const QString &user, const QString &pass)
{
    delete frmembre;
    frmembre = new FrmMember(nullptr);
    child<QLineEdit>(frmembre, "TUser")->setText(user);
    child<QLineEdit>(frmembre, "TPass")->setText(pass);
    frmembre->show();
    return frmembre;
}

Dialog *TestLogin::launcher()
{
    GethttpServer.clear(); // no entry list: the login state is the test's
    settings->setValue(QStringLiteral("Languages"), 2);
    return m_world.showLauncher();
}

void TestLogin::clickLogin() { child<QPushButton>(frmembre, "BLogin")->click(); }

bool TestLogin::atDirectory(const QString &user, const QString &pass)
{
    memberForm(user, pass);
    clickLogin();
    return m_directory->acceptClient() && m_directory->sent() == kMemberDirectory
           && frmwait && frmwait->isVisible();
}

bool TestLogin::atChatServer(int typeLogin)
{
    TypeLogin = typeLogin;
    if (!m_chat->connectClient())
        return false;
    showWaitingForm();
    return true;
}

void TestLogin::useTranslation(const char *language)
{
    QCoreApplication::removeTranslator(translator);
    QVERIFY(translator->load(QStringLiteral(":/Resources/Languages/") + QLatin1String(language)));
    QCoreApplication::installTranslator(translator);
}

// -- The forms ---------------------------------------------------------------

void TestLogin::memberFormLayout()
{
    FrmMember *form = memberForm(QString(), QString());
    QCOMPARE(form->objectName(), QStringLiteral("FrmMember"));
    QCOMPARE(form->minimumSize(), QSize(300, 380));
    QCOMPARE(form->maximumSize(), QSize(300, 380));
    QCOMPARE(form->font().pointSize(), 12);
    QVERIFY(!(form->windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(!form->windowIcon().isNull());
    QVERIFY(child<QWidget>(form, "mainFrame"));

    auto *logo = child<QLabel>(form, "Logo");
    QCOMPARE(logo->minimumSize(), QSize(230, 160));
    QCOMPARE(logo->maximumSize(), QSize(230, 160));
    QVERIFY(logo->hasScaledContents());
    QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(40, 30));

    auto *pass = child<QLineEdit>(form, "TPass");
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
    QVERIFY(pass->font().bold());
    QCOMPARE(pass->alignment(), Qt::AlignCenter);
    for (const char *name : {"BLogin", "BCansel"}) {
        auto *button = child<QPushButton>(form, name);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QCOMPARE(button->minimumHeight(), 26);
        QVERIFY(!button->isDefault());
    }
    // The tab order: the six widgets in the focus chain, from TUser on.
    const QStringList six{"TUser", "TPass", "chSave", "chShow", "BLogin", "BCansel"};
    QStringList order;
    QWidget *start = child<QLineEdit>(form, "TUser");
    QWidget *w = start;
    do {
        if (six.contains(w->objectName()))
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != start);
    QCOMPARE(order, six);

    FrmConnect connecting;
    QCOMPARE(connecting.size(), QSize(300, 135));
    auto *bar = child<QProgressBar>(&connecting, "Bar");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 30);
    QCOMPARE(bar->value(), 0);
    FrmWait waiting;
    QCOMPARE(waiting.size(), QSize(300, 100));
    QVERIFY(!waiting.silentClose);
    QVERIFY(child<QLabel>(&waiting, "LMsg")->font().bold());
}

void TestLogin::translations_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QByteArray>("widget"); // empty: the window title
    QTest::addColumn<QString>("text");

    const QString title = QString::fromUtf8("الفلمور العلمية");
    const QString cancel = QString::fromUtf8("إلغاء الأمر");
    const struct
    {
        const char *form, *widget, *arabic, *english, *french;
    } rows[] = {
        {"FrmMember", "", nullptr, "Velmar", "Velmar"},
        {"FrmMember", "label", "إسم المستخدم", "UserName", "Nom d'utilisateur"},
        {"FrmMember", "label_2", "كلمة السر", "Password", "Mot de Passe"},
        {"FrmMember", "chSave", "حفظ كلمة السر", "Remember Password", "Se souvenir de mot de passe"},
        {"FrmMember", "chShow", "إظهار كلمة السر", "Show Password", "Voir Mot de passe"},
        {"FrmMember", "BLogin", "الدخول", "Login", "Membre"},
        {"FrmMember", "BCansel", nullptr, "Cancel", "Annuler"},
        {"FrmConnect", "", nullptr, "Velmar", "Velmar"},
        {"FrmConnect", "label", "جاري الإتصال بالمعهد", "Please wait ...", "Please wait ..."},
        {"FrmConnect", "Bar", "0 الوقت بالثانية", "0 Time", "0 Time"},
        {"FrmConnect", "BCancel", nullptr, "Cancel", "Cancel"},
        {"FrmWait", "", nullptr, "Velmar", "Velmar"},
        {"FrmWait", "LMsg", "الرجاء الانتظار جاري وصلك بالمعهد", "Please Wait connect velmar",
         "Please Wait connect velmar"},
        {"FrmWait", "BCancel", nullptr, "Cancel", "Cancel"},
    };
    for (const auto &r : rows) {
        const QString arabic = r.arabic ? QString::fromUtf8(r.arabic)
                               : *r.widget ? cancel
                                           : title;
        const QString english = QString::fromUtf8(r.english);
        const QString french = QString::fromUtf8(r.french);
        for (const auto &lang : {std::make_pair("arabic", arabic), std::make_pair("english", english),
                                 std::make_pair("french", french)})
            QTest::addRow("%s %s %s", lang.first, r.form, *r.widget ? r.widget : "title")
                << QByteArray(lang.first) << QByteArray(r.form) << QByteArray(r.widget)
                << lang.second;
    }
}

void TestLogin::translations()
{
    QFETCH(QByteArray, language);
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, widget);
    QFETCH(QString, text);
    useTranslation(language.constData());
    std::unique_ptr<QDialog> dialog;
    if (form == "FrmMember")
        dialog.reset(new FrmMember);
    else if (form == "FrmConnect")
        dialog.reset(new FrmConnect);
    else
        dialog.reset(new FrmWait);
    QString shown;
    if (widget.isEmpty())
        shown = dialog->windowTitle();
    else if (auto *bar = child<QProgressBar>(dialog.get(), widget.constData()))
        shown = bar->text();
    else if (auto *button = child<QAbstractButton>(dialog.get(), widget.constData()))
        shown = button->text();
    else
        shown = child<QLabel>(dialog.get(), widget.constData())->text();
    QCOMPARE(shown, text);
}

void TestLogin::escapeIsSwallowed()
{
    memberForm(QString(), QString());
    FrmConnect connecting;
    FrmWait waiting;
    for (QDialog *form : {static_cast<QDialog *>(frmembre), static_cast<QDialog *>(&connecting),
                          static_cast<QDialog *>(&waiting)}) {
        form->show();
        QTest::keyClick(form, Qt::Key_Escape);
        QVERIFY2(form->isVisible(), qPrintable(form->objectName()));
    }
    QVERIFY(!frmConnect && !frmwait);
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
}

void TestLogin::returnKeys()
{
    FrmMember *form = memberForm(QStringLiteral("   "), QString());
    auto *user = child<QLineEdit>(form, "TUser");
    auto *pass = child<QLineEdit>(form, "TPass");
    user->setFocus();
    QTest::keyClick(user, Qt::Key_Return);
    QCOMPARE(form->focusWidget(), user); // a blank name keeps the focus
    user->setText(QStringLiteral("ali"));
    QTest::keyClick(user, Qt::Key_Return);
    QCOMPARE(form->focusWidget(), pass);
    QTest::keyClick(pass, Qt::Key_Return); // blank password: nothing
    QCOMPARE(form->focusWidget(), pass);
    QCOMPARE(TypeLogin, -1);

    // Return in the password starts the login even without a user name,
    // which only moves the focus back.
    user->clear();
    pass->setText(QStringLiteral("secret"));
    QTest::keyClick(pass, Qt::Key_Return);
    QCOMPARE(form->focusWidget(), user);
    QCOMPARE(TypeLogin, -1);
    QVERIFY(!frmConnect);
    QVERIFY(form->isVisible());
    QVERIFY(!m_directory->hasPendingClient());
}

void TestLogin::blankFieldsNeverConnect_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::newRow("both empty") << QString() << QString();
    QTest::newRow("blank name") << QStringLiteral("  \t") << QStringLiteral("ali123");
    QTest::newRow("blank password") << QStringLiteral("ali") << QStringLiteral("   ");
}

void TestLogin::blankFieldsNeverConnect()
{
    QFETCH(QString, user);
    QFETCH(QString, pass);
    FrmMember *form = memberForm(user, pass);
    child<QCheckBox>(form, "chSave")->setChecked(true);
    clickLogin();
    QCOMPARE(form->focusWidget(), child<QWidget>(form, "TUser"));
    QVERIFY(form->isVisible());
    QCOMPARE(TypeLogin, -1);
    QVERIFY(!frmConnect);
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(settings->allKeys().isEmpty());
    QVERIFY(m_world.answers->shown.isEmpty());
}

void TestLogin::connectingBarCountsToThirty()
{
    FrmConnect form;
    form.show();
    auto *bar = child<QProgressBar>(&form, "Bar");
    auto *timer = form.findChild<QTimer *>();
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    for (int i = 1; i <= 29; ++i)
        tick(&form);
    QCOMPARE(bar->value(), 29);
    QVERIFY(timer->isActive());
    tick(&form);
    QCOMPARE(bar->value(), 30);
    QCOMPARE(bar->text(), QStringLiteral("30 Time"));
    QVERIFY(!timer->isActive());
    QVERIFY(form.isVisible()); // reaching 30 ends nothing else
}

void TestLogin::waitingDotsCycle()
{
    FrmWait form;
    auto *dots = child<QLabel>(&form, "LWait");
    auto *timer = form.findChild<QTimer *>();
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 500);
    QStringList seen{dots->text()};
    for (int i = 0; i < 9; ++i) {
        tick(&form);
        seen << dots->text();
    }
    QCOMPARE(seen, (QStringList{"...", "...", "", ".", "..", "...", "", ".", "..", "..."}));
}

void TestLogin::launcherOpensTheMemberForm()
{
    Dialog *dialog = launcher();
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bmember_clicked"));
    QVERIFY(!dialog->isVisible());
    QPointer<FrmMember> first = frmembre;
    QVERIFY(first && first->isVisible());

    // A second one replaces the first, which goes once its slots are done.
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bmember_clicked"));
    QVERIFY(frmembre && frmembre != first);
    QVERIFY(first && !first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    QVERIFY(frmembre);

    // Cancel brings the launcher back and keeps the form; deleting the form
    // closes the search dialog.
    frmserr = new FrmSerr;
    frmserr->show();
    child<QPushButton>(frmembre, "BCansel")->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(frmembre && !frmembre->isVisible());
    QPointer<FrmSerr> search = frmserr;
    delete frmembre;
    QVERIFY(!frmembre);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!search);
}

// -- Directory request and settings ---------------------------------------

void TestLogin::memberDirectoryRequest()
{
    FrmMember *form = memberForm(QStringLiteral("ali"), QStringLiteral("ali123"));
    clickLogin();
    QCOMPARE(TypeLogin, 1);
    QVERIFY(m_directory->acceptClient());
    QCOMPARE(m_directory->sent().toHex(), kMemberDirectory.toHex());
    QVERIFY(!form->isVisible());
    QVERIFY(frmConnect && !frmConnect->isVisible());
    QCOMPARE(visibleForms<FrmWait>(), 1);
    QCOMPARE(socketState(), QAbstractSocket::ConnectedState);
    QVERIFY(m_world.answers->shown.isEmpty());
}

void TestLogin::visitorDirectoryRequest()
{
    Dialog *dialog = launcher();
    QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
    QCOMPARE(TypeLogin, 0);
    QVERIFY(!dialog->isVisible());
    QVERIFY(m_directory->acceptClient());
    QCOMPARE(m_directory->sent().toHex(), kVisitorDirectory.toHex());
    QCOMPARE(visibleForms<FrmWait>(), 1);
    QVERIFY(frmConnect && !frmConnect->isVisible());
    for (const char *key : {"User", "Pass", "chSave", "chShow"})
        QVERIFY2(!settings->contains(QLatin1String(key)), key);
}

void TestLogin::savedSettings_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("storedUser");
    QTest::addColumn<QString>("storedPass");

    QTest::newRow("saved, name trimmed")
        << QStringLiteral("  ali ") << QStringLiteral("ali123") << true << false
        << QStringLiteral("ali") << QStringLiteral("YWxpMTIz");
    QTest::newRow("password as typed")
        << QStringLiteral("ali") << QStringLiteral(" p w ") << true << true
        << QStringLiteral("ali") << QStringLiteral("IHAgdyA=");
    QTest::newRow("arabic password in CP-1256")
        << QString::fromUtf8("أحمد") << QString::fromUtf8("كلمة") << true << false
        << QString::fromUtf8("أحمد") << QStringLiteral("3+HjyQ==");
    QTest::newRow("not saved: erased") << QStringLiteral("ali") << QStringLiteral("ali123") << false
                                       << true << QString() << QString();
}

void TestLogin::savedSettings()
{
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(bool, save);
    QFETCH(bool, show);
    QFETCH(QString, storedUser);
    QFETCH(QString, storedPass);
    // What an earlier login saved.
    settings->setValue(QStringLiteral("User"), QStringLiteral("old"));
    settings->setValue(QStringLiteral("Pass"), QStringLiteral("b2xk"));

    FrmMember *form = memberForm(user, pass);
    child<QCheckBox>(form, "chSave")->setChecked(save);
    child<QCheckBox>(form, "chShow")->setChecked(show);
    clickLogin();
    QVERIFY(m_directory->acceptClient());
    QCOMPARE(m_directory->sent(), kMemberDirectory);

    const QSettings stored(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("Dastrel"), QStringLiteral("Settings"));
    QCOMPARE(stored.value(QStringLiteral("User")).toString(), storedUser);
    QCOMPARE(stored.value(QStringLiteral("Pass")).toString(), storedPass);
    QCOMPARE(stored.value(QStringLiteral("chSave")).toBool(), save);
    QCOMPARE(stored.value(QStringLiteral("chShow")).toBool(), show);
}

void TestLogin::savedSettingsReadBack()
{
    settings->setValue(QStringLiteral("User"), QString::fromUtf8("أحمد"));
    settings->setValue(QStringLiteral("Pass"), QStringLiteral("3+HjyQ=="));
    settings->setValue(QStringLiteral("chSave"), true);
    settings->setValue(QStringLiteral("chShow"), true);
    FrmMember form;
    QCOMPARE(child<QLineEdit>(&form, "TUser")->text(), QString::fromUtf8("أحمد"));
    QCOMPARE(child<QLineEdit>(&form, "TPass")->text(), QString::fromUtf8("كلمة"));
    QVERIFY(child<QCheckBox>(&form, "chSave")->isChecked());
    QCOMPARE(child<QLineEdit>(&form, "TPass")->echoMode(), QLineEdit::PasswordEchoOnEdit);
    child<QCheckBox>(&form, "chShow")->setChecked(false);
    QCOMPARE(child<QLineEdit>(&form, "TPass")->echoMode(), QLineEdit::Password);

    settings->clear();
    FrmMember empty;
    QVERIFY(child<QLineEdit>(&empty, "TUser")->text().isEmpty());
    QVERIFY(child<QLineEdit>(&empty, "TPass")->text().isEmpty());
    QVERIFY(!child<QCheckBox>(&empty, "chSave")->isChecked());
    QCOMPARE(child<QLineEdit>(&empty, "TPass")->echoMode(), QLineEdit::Password);
}

// -- Redirect ------------------------------------------------------------

void TestLogin::redirect_data()
{
    QTest::addColumn<QString>("body"); // %1: the chat peer's port
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<bool>("toChat"); // else back to the directory peer
    QTest::addColumn<QByteArray>("login");

    QTest::newRow("member") << QStringLiteral("Velmar|chat|127.0.0.1:%1") << QByteArray("3odaw")
                            << "ali" << "ali123" << true << kAliLogin;
    QTest::newRow("visitor, whatever the form holds")
        << QStringLiteral("Velmar|chat|127.0.0.1:%1|more") << QByteArray("zaire") << "ali"
        << "ali123" << true << kGuestLogin;
    QTest::newRow("empty name logs the member in")
        << QStringLiteral("a|b|127.0.0.1:%1") << QByteArray() << "ali" << "ali123" << true
        << kAliLogin;
    QTest::newRow("localhost is the directory's host")
        << QStringLiteral("a|b|localhost:%1") << QByteArray("3odaw") << "ali" << "ali123" << true
        << kAliLogin;
    QTest::newRow("empty target: the directory server")
        << QStringLiteral("a|b||c") << QByteArray("3odaw") << "ali" << "ali123" << false
        << kAliLogin;
    QTest::newRow("credentials unescaped, as typed")
        << QStringLiteral("a|b|127.0.0.1:%1") << QByteArray("3odaw") << " a|b" << "p:q " << true
        << literalPacket("0100" "2b000000", "", "nickname: a|b|Password:p:q |stat:1|Os:MacOS");
}

void TestLogin::redirect()
{
    QFETCH(QString, body);
    QFETCH(QByteArray, name);
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(bool, toChat);
    QFETCH(QByteArray, login);

    QVERIFY(atDirectory(user, pass));
    QPointer<FrmWait> firstWait = frmwait;
    Imtihan_user = QStringLiteral("old");
    Imtihan_on = true;
    Imtihan_id = 3;
    if (body.contains(QLatin1String("%1")))
        body = body.arg(m_chat->port());
    m_directory->send(wirePacket(-6, name, body.toUtf8()));

    LoopbackPeer &target = toChat ? *m_chat : *m_directory;
    QVERIFY(target.acceptClient());
    QCOMPARE(target.sent().toHex(), login.toHex());
    QCOMPARE(IPServer, QStringLiteral("127.0.0.1"));
    QCOMPARE(sck->socket()->peerPort(), toChat ? m_chat->port() : m_directory->port());
    QVERIFY(!firstWait);
    QCOMPARE(visibleForms<FrmWait>(), 1);
    QVERIFY(frmwait && !frmwait->silentClose);
    QVERIFY(frmConnect && !frmConnect->isVisible());
    QVERIFY(Imtihan_user.isEmpty() && !Imtihan_on && Imtihan_id == 0);
    QVERIFY(!frmembre->isVisible());
    QVERIFY(m_world.answers->shown.isEmpty());
}

void TestLogin::invalidRedirectIgnored_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("name");
    // The login the answer comes to: "member", "visitor" (no member form ever
    // made) or "visitor after member" (a member form left from a cancelled
    // member login, still holding its credentials).
    QTest::addColumn<QString>("login");
    QTest::newRow("two fields") << QByteArray("a|b") << QByteArray("3odaw") << "member";
    QTest::newRow("empty body") << QByteArray() << QByteArray("zaire") << "member";
    QTest::newRow("target without a colon") << QByteArray("a|b|127.0.0.1") << QByteArray("3odaw")
                                            << "member";
    QTest::newRow("member answer without a member form")
        << QByteArray("a|b|127.0.0.1:1") << QByteArray("3odaw") << "visitor";
    QTest::newRow("empty name without a member form")
        << QByteArray("a|b|127.0.0.1:1") << QByteArray() << "visitor";
    QTest::newRow("member answer to a visitor, member form left open")
        << QByteArray("a|b|127.0.0.1:1") << QByteArray("3odaw") << "visitor after member";
}

void TestLogin::invalidRedirectIgnored()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, name);
    QFETCH(QString, login);
    if (login == QLatin1String("member")) {
        QVERIFY(atDirectory());
    } else {
        // A visitor login whose directory answer names a member login.
        Dialog *dialog = launcher();
        if (login == QLatin1String("visitor after member")) {
            memberForm(QStringLiteral("ali"), QStringLiteral("ali123"));
            child<QPushButton>(frmembre, "BCansel")->click();
            QVERIFY(dialog->isVisible());
        }
        QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
        QVERIFY(m_directory->acceptClient());
        QCOMPARE(m_directory->sent(), kVisitorDirectory);
        QCOMPARE(bool(frmembre), login == QLatin1String("visitor after member"));
    }
    QPointer<FrmWait> waiting = frmwait;
    QPointer<FrmConnect> connecting = frmConnect;
    m_directory->send(wirePacket(-6, name, body));
    // The next packet is handled: the first was passed over, not waited on.
    m_directory->send(wirePacket(45, "test", "7"));
    QCOMPARE(m_directory->takeAtLeast(kKeepAlive.size()), kKeepAlive);
    QCOMPARE(socketState(), QAbstractSocket::ConnectedState);
    QVERIFY(waiting && waiting->isVisible() && waiting == frmwait);
    QVERIFY(connecting == frmConnect);
    QVERIFY(!m_chat->hasPendingClient());
    QVERIFY(m_world.answers->shown.isEmpty());
}

// -- Refusal and acceptance ---------------------------------------------

void TestLogin::refusals_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QString>("message"); // empty: no message
    QTest::newRow("usr") << QByteArray("usr") << QStringLiteral("MsgErrUsrPwd");
    QTest::newRow("pwd") << QByteArray("pwd") << QStringLiteral("MsgErrUsrPwd");
    QTest::newRow("ban") << QByteArray("ban") << QStringLiteral("MsgBan");
    QTest::newRow("bne") << QByteArray("bne") << QStringLiteral("MsgBan");
    QTest::newRow("banRoom") << QByteArray("banRoom") << QStringLiteral("MsgBanRoom");
    QTest::newRow("bneRoom") << QByteArray("bneRoom") << QStringLiteral("MsgBanRoom");
    QTest::newRow("err") << QByteArray("err") << QStringLiteral("MsgErr");
    QTest::newRow("Ban, other case") << QByteArray("Ban") << QString();
    QTest::newRow("unknown word") << QByteArray("nope") << QString();
    QTest::newRow("empty word") << QByteArray() << QString();
}

void TestLogin::refusals()
{
    QFETCH(QByteArray, word);
    QFETCH(QString, message);
    memberForm(QStringLiteral("ali"), QStringLiteral("wrong"))->hide();
    QVERIFY(atChatServer(1));
    m_chat->send(wirePacket(-5, word, QByteArray()));
    QVERIFY(m_chat->clientClosed());
    QTRY_VERIFY(frmembre->isVisible());
    if (message.isEmpty()) {
        QVERIFY(m_world.answers->shown.isEmpty());
    } else {
        QCOMPARE(m_world.answers->shown.size(), 1);
        QCOMPARE(m_world.answers->shown[0].title, QStringLiteral("Title App"));
        QCOMPARE(m_world.answers->shown[0].text, message);
        QCOMPARE(m_world.answers->shown[0].icon, QMessageBox::Warning);
        QCOMPARE(m_world.answers->shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(frmwait && !frmwait->isVisible());
    QVERIFY(!frmusr->isVisible());
    QCOMPARE(m_world.quits, 0);
}

void TestLogin::refusalInArabic()
{
    indexLang = 0;
    useTranslation("arabic");
    memberForm(QStringLiteral("ali"), QStringLiteral("wrong"))->hide();
    QVERIFY(atChatServer(1));
    m_chat->send(wirePacket(-5, "ban", QByteArray()));
    QTRY_COMPARE(m_world.answers->shown.size(), 1);
    QCOMPARE(m_world.answers->shown[0].title, QString::fromUtf8("الفلمور العلمية"));
    QCOMPARE(m_world.answers->shown[0].text,
             QString::fromUtf8("لا يمكنك الدخول تم وضعك في قائمة الحظر\n"
                               "يمكن الاتصال بالمسؤول لمعرفة السبب"));
}

void TestLogin::visitorRefusalShowsLauncher()
{
    Dialog *dialog = launcher();
    dialog->hide();
    memberForm(QStringLiteral("ali"), QStringLiteral("ali123"))->hide();
    QVERIFY(atChatServer(0));
    m_chat->send(wirePacket(-5, "err", QByteArray()));
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(!frmembre->isVisible());
    QCOMPARE(m_world.answers->texts(), QStringList{"MsgErr"});
}

void TestLogin::loggedInElsewhereEndsProgram()
{
    QVERIFY(atChatServer(1));
    frmusr->show();
    hooks::setQuitHandler({});
    // The application's own loop ends with status 0.
    const bool quit = askedToQuit([] { Protocole_ZQV(wirePacket(-5, "rec", QByteArray())); });
    hooks::setQuitHandler([this] { ++m_world.quits; });
    QVERIFY(quit);
    QCOMPARE(m_world.answers->texts(), QStringList{"MsgRec"});
    QVERIFY(wait_frmuser);
    QVERIFY(frmusr && !frmusr->isVisible()); // hidden, not closed
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(m_chat->clientClosed());
}

void TestLogin::keepAliveAnsweredDuringMessageBox()
{
    memberForm(QStringLiteral("ali"), QStringLiteral("wrong"))->hide();
    QVERIFY(atChatServer(1));
    QByteArray answered;
    bool connectedMeanwhile = false;
    m_world.answers->whileOpen([&](QDialog *) {
        m_chat->send(wirePacket(45, "test", "17"));
        answered = m_chat->takeAtLeast(kKeepAlive.size());
        connectedMeanwhile = socketState() == QAbstractSocket::ConnectedState;
    });
    m_chat->send(wirePacket(-5, "usr", QByteArray()));
    QTRY_COMPARE(m_world.answers->shown.size(), 1);
    QCOMPARE(answered.toHex(), kKeepAlive.toHex());
    QVERIFY(connectedMeanwhile);
    QVERIFY(frmusr->findChild<QStatusBar *>()->currentMessage().endsWith(QStringLiteral(" 17")));
    QTRY_COMPARE(socketState(), QAbstractSocket::UnconnectedState);
}

void TestLogin::acceptance()
{
    QVERIFY(atChatServer(1));
    QPointer<FrmUser> startWindow = frmusr;
    QPointer<FrmWait> waiting = frmwait;
    m_chat->send(wirePacket(1, "login", "n:ali|i:12|t:-101|g:3|e:mail"));
    QTRY_VERIFY(frmusr != startWindow);
    QVERIFY(frmusr->isVisible());
    QCOMPARE(frmusr->getUSER(), QStringLiteral("ali"));
    QCOMPARE(id_user, 12);
    QCOMPARE(type_user, -101);
    QCOMPARE(Group_user, 3);
    QCOMPARE(Email_user, QStringLiteral("mail"));
    const QLabel *logo = child<QLabel>(frmusr, "Logo");
    QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(40, 30));
    // The waiting form closed silently: the login stays.
    QVERIFY(waiting && waiting->silentClose && !waiting->isVisible());
    QCOMPARE(socketState(), QAbstractSocket::ConnectedState);
    QVERIFY(!frmembre || !frmembre->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!startWindow);
    // The new window's first keep-alive, then the contact list reaches it.
    QCOMPARE(m_chat->takeAtLeast(kKeepAlive.size()).toHex(), kKeepAlive.toHex());
    m_chat->send(wirePacket(2, "list", "sara:1:0|omar:0:1"));
    QTRY_COMPARE(contactTree(frmusr), QStringLiteral("on=sara off=omar*"));
}

void TestLogin::acceptanceFields()
{
    QVERIFY(atChatServer(0));
    frmusr->show();
    QPointer<FrmUser> startWindow = frmusr;
    // Keys are not read; the value ends at a second ":"; a NUL ends the body.
    Protocole_ZQV(wirePacket(1, "login",
                             QByteArray("x:\xd2\xc7\xc6\xd1" "1|y:abc|z:|w:3:9|v:a@b|more\0junk", 38)));
    // The replaced window is hidden and goes once control is back in the
    // event loop, never under a slot of its own that may still run.
    QVERIFY(startWindow && !startWindow->isVisible());
    QCOMPARE(m_world.quits, 0);
    QVERIFY(frmusr != startWindow && frmusr->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!startWindow);
    QCOMPARE(frmusr->getUSER(), QString::fromUtf8("زائر1"));
    QCOMPARE(id_user, 0);
    QCOMPARE(type_user, 0);
    QCOMPARE(Group_user, 3);
    QCOMPARE(Email_user, QStringLiteral("a@b"));
}

void TestLogin::invalidAcceptanceIgnored_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("four fields") << QByteArray("n:ali|i:12|t:1|g:3");
    QTest::newRow("a field without a colon") << QByteArray("n:ali|i:12|t1|g:3|e:m");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut by a NUL") << QByteArray("n:ali|i:1\0|t:1|g:3|e:m", 22);
}

void TestLogin::invalidAcceptanceIgnored()
{
    QFETCH(QByteArray, body);
    QVERIFY(atChatServer(1));
    QPointer<FrmUser> startWindow = frmusr;
    id_user = 77;
    m_chat->send(wirePacket(1, "login", body));
    m_chat->send(wirePacket(45, "test", "1"));
    QCOMPARE(m_chat->takeAtLeast(kKeepAlive.size()), kKeepAlive);
    QVERIFY(frmusr == startWindow && !frmusr->isVisible());
    QCOMPARE(id_user, 77);
    QVERIFY(frmwait && frmwait->isVisible() && !frmwait->silentClose);
    QCOMPARE(socketState(), QAbstractSocket::ConnectedState);
}

// -- Cancel, closing and failures --------------------------------------

void TestLogin::cancelWhileConnecting_data()
{
    QTest::addColumn<QString>("stage");
    QTest::newRow("member, directory") << QStringLiteral("member");
    QTest::newRow("visitor, directory") << QStringLiteral("visitor");
    QTest::newRow("member, chat server") << QStringLiteral("redirect");
}

void TestLogin::cancelWhileConnecting()
{
    QFETCH(QString, stage);
    UnansweredPort nowhere;
    QVERIFY(nowhere.port());
    Dialog *dialog = launcher();
    dialog->hide();
    memberForm(QStringLiteral("ali"), QStringLiteral("ali123"))->hide();
    if (stage == QLatin1String("redirect"))
        QVERIFY(atDirectory());
    else
        Port_Srv = nowhere.port();

    // Cancel once the connection is under way. The time limit is far away:
    // without Cancel ending the wait, the limit would end it with "NoConnect".
    loginTimes.connectTimeoutMs = 3600 * 1000;
    bool connecting = false;
    QObject context;
    QObject::connect(sck->socket(), &QAbstractSocket::stateChanged, &context,
                     [&](QAbstractSocket::SocketState state) {
                         if (state != QAbstractSocket::ConnectingState)
                             return;
                         QTimer::singleShot(0, &context, [&] {
                             connecting = socketState() == QAbstractSocket::ConnectingState;
                             if (frmConnect)
                                 child<QPushButton>(frmConnect, "BCancel")->click();
                         });
                     });
    if (stage == QLatin1String("member"))
        clickLogin();
    else if (stage == QLatin1String("visitor"))
        QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
    else
        Protocole_ZQV(wirePacket(-6, "3odaw",
                                 QStringLiteral("a|b|127.0.0.1:%1").arg(nowhere.port()).toUtf8()));
    QVERIFY(connecting);
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(frmConnect && !frmConnect->isVisible());
    QCOMPARE(visibleForms<FrmWait>(), 0);
    QVERIFY(m_world.answers->shown.isEmpty());
    const bool visitor = stage == QLatin1String("visitor");
    QCOMPARE(dialog->isVisible(), visitor);
    QCOMPARE(frmembre->isVisible(), !visitor);
    if (stage != QLatin1String("redirect"))
        QVERIFY(!settings->contains(QStringLiteral("chSave")));
    QVERIFY(!m_chat->hasPendingClient());
}

void TestLogin::cancelWhileWaiting_data()
{
    QTest::addColumn<bool>("silentBefore");
    QTest::newRow("waiting") << false;
    QTest::newRow("after a silent close was asked") << true;
}

void TestLogin::cancelWhileWaiting()
{
    QFETCH(bool, silentBefore);
    QVERIFY(atDirectory());
    frmusr->show(); // a shown main window goes with the connection
    frmwait->silentClose = silentBefore;
    child<QPushButton>(frmwait, "BCancel")->click();
    QVERIFY(m_directory->clientClosed());
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(frmembre->isVisible());
    QVERIFY(!frmwait->isVisible());
    QVERIFY(!frmusr->isVisible());
    QCOMPARE(m_world.quits, 1);
}

void TestLogin::connectingFormClosedWhenConnected_data()
{
    QTest::addColumn<bool>("waitingBefore");
    QTest::newRow("no waiting form yet") << false;
    QTest::newRow("a waiting form open") << true;
}

void TestLogin::connectingFormClosedWhenConnected()
{
    QFETCH(bool, waitingBefore);
    QVERIFY(m_chat->connectClient());
    if (waitingBefore)
        showWaitingForm();
    QPointer<FrmWait> before = frmwait;
    showConnectingForm();
    frmConnect->close();
    QCOMPARE(visibleForms<FrmWait>(), 1);
    QVERIFY(frmwait && frmwait->isVisible());
    QVERIFY(!before); // replaced by a fresh one
    QCOMPARE(socketState(), QAbstractSocket::ConnectedState);
}

void TestLogin::silentCloseLeavesEverything()
{
    QVERIFY(atDirectory());
    frmwait->silentClose = true;
    frmwait->close();
    QVERIFY(!frmwait->isVisible());
    QCOMPARE(socketState(), QAbstractSocket::ConnectedState);
    QVERIFY(!frmembre->isVisible());
    m_directory->send(wirePacket(45, "test", "1"));
    QCOMPARE(m_directory->takeAtLeast(kKeepAlive.size()), kKeepAlive);
}

void TestLogin::unreachableServer_data()
{
    QTest::addColumn<QString>("stage");
    QTest::newRow("member, directory") << QStringLiteral("member");
    QTest::newRow("visitor, directory") << QStringLiteral("visitor");
    QTest::newRow("member, chat server") << QStringLiteral("redirect");
    QTest::newRow("redirect port not a number") << QStringLiteral("no port");
}

void TestLogin::unreachableServer()
{
    QFETCH(QString, stage);
    quint16 closedPort = 0;
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        closedPort = server.serverPort();
    }
    Dialog *dialog = launcher();
    dialog->hide();
    memberForm(QStringLiteral("ali"), QStringLiteral("ali123"))->hide();
    if (stage == QLatin1String("member")) {
        Port_Srv = closedPort;
        clickLogin();
    } else if (stage == QLatin1String("visitor")) {
        Port_Srv = closedPort;
        QVERIFY(QMetaObject::invokeMethod(dialog, "on_Bvisit_clicked"));
    } else {
        QVERIFY(atDirectory());
        const QString target = stage == QLatin1String("no port")
                                   ? QStringLiteral("127.0.0.1:x")
                                   : QStringLiteral("127.0.0.1:%1").arg(closedPort);
        m_directory->send(wirePacket(-6, "3odaw", ("a|b|" + target).toUtf8()));
        QVERIFY(m_directory->clientClosed());
    }
    QTRY_COMPARE(m_world.answers->texts(), QStringList{"NoConnect"});
    QCOMPARE(m_world.answers->shown[0].title, QStringLiteral("Title App"));
    QCOMPARE(m_world.answers->shown[0].icon, QMessageBox::Warning);
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(frmConnect && !frmConnect->isVisible());
    QCOMPARE(visibleForms<FrmWait>(), 0);
    const bool visitor = stage == QLatin1String("visitor");
    QCOMPARE(dialog->isVisible(), visitor);
    QCOMPARE(frmembre->isVisible(), !visitor);
    if (stage == QLatin1String("member"))
        QVERIFY(!settings->contains(QStringLiteral("chSave")));
}

void TestLogin::connectTimeLimit()
{
    UnansweredPort nowhere;
    QVERIFY(nowhere.port());
    Port_Srv = nowhere.port();
    loginTimes.connectTimeoutMs = 300;
    // The port answers once the connecting form has counted its first second:
    // only the login's own limit ends the attempt before that (the network
    // library's own ends it after 30 s).
    QTimer opener;
    connect(&opener, &QTimer::timeout, [&] {
        if (frmConnect && frmConnect->findChild<QProgressBar *>(QStringLiteral("Bar"))->value() > 0) {
            nowhere.answerFromNowOn();
            opener.stop();
        }
    });
    opener.start(10);
    memberForm(QStringLiteral("ali"), QStringLiteral("ali123"));
    clickLogin();
    QCOMPARE(m_world.answers->texts(), QStringList{"NoConnect"});
    QCOMPARE(socketState(), QAbstractSocket::UnconnectedState);
    QVERIFY(frmembre->isVisible());
    QVERIFY(frmConnect && !frmConnect->isVisible());
    QVERIFY(!settings->contains(QStringLiteral("chSave")));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
