// The user search dialog: the search request, adding a result to the
// contacts, the answer to a search (code 5), and the dialog's life.
#include "contacttree.h"

#include "common/hooks.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "protocol/contacts.h"
#include "protocol/state.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

QListWidget *results() { return frmserr->findChild<QListWidget *>(QStringLiteral("listWidget")); }

QPushButton *button(const char *name) { return frmserr->findChild<QPushButton *>(name); }

QStringList resultTexts()
{
    QStringList out;
    for (int i = 0; i < results()->count(); ++i)
        out << results()->item(i)->text();
    return out;
}

void fillResults(const QStringList &nicks)
{
    for (const QString &nick : nicks)
        frmserr->ADDusr(nick);
}

void deleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

class TestFrmSerr : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void search_data();
    void search();
    void add_data();
    void add();
    void addWhileDialogCloses();
    void answer_data();
    void answer();
    void answerWithoutDialog();
    void dialogClosedDuringNoResultMessage();
    void answerDispatched();
    void escapeAndIdleButtons();
    void reopenedFromMainWindow();
    void closeButton();
    void arabicCaptions();

private:
    LoopbackPeer m_peer;
};

void TestFrmSerr::initTestCase()
{
    hooks::setQuitHandler([] {});
    indexLang = 2;
    QVERIFY(m_peer.connectClient());
}

void TestFrmSerr::init()
{
    frmusr = new FrmUser(nullptr);
    frmusr->setUSER("ali");
    frmserr = new FrmSerr(nullptr);
    frmserr->show();
    m_peer.sent();
}

void TestFrmSerr::cleanup()
{
    delete frmserr;
    delete frmusr;
    deleteLaterNow();
    QVERIFY(!frmserr);
    QVERIFY(!frmusr);
}

void TestFrmSerr::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("two letters") << "ab" << QByteArray();
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("three letters") << "abc" << literalPacket("0300" "03000000", "Rechercher", "abc");
    QTest::newRow("three spaces, untrimmed")
        << "   " << literalPacket("0300" "03000000", "Rechercher", "   ");
    QTest::newRow("arabic") << QString::fromUtf8("أحمد")
                            << literalPacket("0300" "04000000", "Rechercher",
                                             QByteArray::fromHex("c3cde3cf"));
}

void TestFrmSerr::search()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, packet);
    ModalAnswerer answers;
    fillResults({"kept"});
    frmserr->findChild<QLineEdit *>("lineEdit")->setText(text);
    QTest::mouseClick(button("BSearch"), Qt::LeftButton);
    QCOMPARE(m_peer.sent(), packet);
    QCOMPARE(answers.texts(),
             packet.isEmpty() ? QStringList{"search word is too short"} : QStringList());
    if (!answers.shown.isEmpty())
        QCOMPARE(answers.shown.first().title, QStringLiteral("Title App"));
    // The list waits for the answer; the button stays enabled.
    QCOMPARE(resultTexts(), QStringList{"kept"});
    QVERIFY(button("BSearch")->isEnabled());
}

void TestFrmSerr::add_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QMessageBox::StandardButton>("reply");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("packet");
    // Results: ali (the own nickname), sara (online contact), omar (offline
    // contact), مريم (not a contact).
    QTest::newRow("no current row") << -1 << QMessageBox::Yes << QStringList() << QByteArray();
    QTest::newRow("own nickname") << 0 << QMessageBox::Yes << QStringList{"No Add Me !"}
                                  << QByteArray();
    QTest::newRow("online contact") << 1 << QMessageBox::Yes << QStringList{"User Deja list"}
                                    << QByteArray();
    QTest::newRow("offline contact") << 2 << QMessageBox::Yes << QStringList{"User Deja list"}
                                     << QByteArray();
    QTest::newRow("confirmed") << 3 << QMessageBox::Yes << QStringList{"Add User On List ?"}
                               << literalPacket("0300" "04000000", "Add",
                                                QByteArray::fromHex("e3d1ede3"));
    QTest::newRow("declined") << 3 << QMessageBox::No << QStringList{"Add User On List ?"}
                              << QByteArray();
}

void TestFrmSerr::add()
{
    QFETCH(int, row);
    QFETCH(QMessageBox::StandardButton, reply);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, packet);
    ListUsers("sara:1:0|omar:0:1");
    fillResults({"ali", "sara", "omar", QString::fromUtf8("مريم")});
    results()->setCurrentRow(row);
    ModalAnswerer answers;
    answers.queue(reply);
    QTest::mouseClick(button("B_Add"), Qt::LeftButton);
    QCOMPARE(answers.texts(), messages);
    for (const ShownDialog &box : answers.shown)
        QCOMPARE(box.title, QStringLiteral("Title App"));
    if (messages == QStringList{"Add User On List ?"}) {
        QCOMPARE(answers.shown.first().icon, QMessageBox::Information);
        QCOMPARE(answers.shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QCOMPARE(m_peer.sent(), packet);
    // The tree waits for the server.
    QCOMPARE(contactTree(frmusr), QStringLiteral("on=sara off=omar*"));
}

void TestFrmSerr::addWhileDialogCloses()
{
    fillResults({"omar"});
    results()->setCurrentRow(0);
    QPointer<FrmSerr> dialog = frmserr;
    ModalAnswerer answers;
    answers.queue(QMessageBox::Yes);
    answers.whileOpen([&](QDialog *) {
        dialog->close();
        deleteLaterNow();
    });
    QTest::mouseClick(button("B_Add"), Qt::LeftButton);
    // Deleted once the question has ended.
    deleteLaterNow();
    QVERIFY(!dialog);
    QVERIFY(!frmserr);
    QCOMPARE(m_peer.sent(), literalPacket("0300" "04000000", "Add", "omar"));
}

void TestFrmSerr::answer_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("two found") << "Rechercher" << "omar|sara" << QStringList{"omar", "sara"}
                               << QStringList();
    QTest::newRow("empty part kept") << "Rechercher" << "omar||sara"
                                     << QStringList{"omar", "", "sara"} << QStringList();
    QTest::newRow("untrimmed") << "Rechercher" << " omar " << QStringList{" omar "} << QStringList();
    QTest::newRow("nobody") << "Rechercher" << "" << QStringList() << QStringList{"No User Search"};
    QTest::newRow("administration search") << "RechercherCo" << "omar" << QStringList{"old"}
                                           << QStringList();
    QTest::newRow("other name") << "Other" << "omar" << QStringList{"old"} << QStringList();
}

void TestFrmSerr::answer()
{
    QFETCH(QString, name);
    QFETCH(QString, body);
    QFETCH(QStringList, list);
    QFETCH(QStringList, messages);
    fillResults({"old"});
    button("BSearch")->setEnabled(false);
    ModalAnswerer answers;
    bool enabledDuringBox = true;
    answers.whileOpen([&](QDialog *) { enabledDuringBox = button("BSearch")->isEnabled(); });
    AddUser(name, body);
    QCOMPARE(resultTexts(), list);
    QCOMPARE(answers.texts(), messages);
    if (!messages.isEmpty()) {
        QCOMPARE(answers.shown.first().title, QStringLiteral("message"));
        QVERIFY(!enabledDuringBox);
    }
    QCOMPARE(button("BSearch")->isEnabled(), name == "Rechercher");
}

void TestFrmSerr::answerWithoutDialog()
{
    delete frmserr;
    QVERIFY(!frmserr);
    ModalAnswerer answers;
    AddUser("Rechercher", "");
    AddUser("Rechercher", "omar");
    QVERIFY(answers.shown.isEmpty());
    QVERIFY(!frmserr);
}

void TestFrmSerr::dialogClosedDuringNoResultMessage()
{
    QPointer<FrmSerr> dialog = frmserr;
    ModalAnswerer answers;
    answers.whileOpen([&](QDialog *) {
        dialog->close();
        deleteLaterNow();
    });
    AddUser("Rechercher", "");
    QCOMPARE(answers.texts(), QStringList{"No User Search"});
    deleteLaterNow();
    QVERIFY(!dialog);
    QVERIFY(!frmserr);
}

void TestFrmSerr::answerDispatched()
{
    m_peer.send(wirePacket(5, "Rechercher", "omar|" + QByteArray::fromHex("e3d1ede3")));
    QTRY_COMPARE(resultTexts(), (QStringList{"omar", QString::fromUtf8("مريم")}));
}

void TestFrmSerr::escapeAndIdleButtons()
{
    ModalAnswerer answers;
    fillResults({"omar"});
    results()->setCurrentRow(0);
    QTest::keyClick(frmserr, Qt::Key_Escape);
    QVERIFY(frmserr);
    QVERIFY(frmserr->isVisible());
    QTest::mouseClick(button("B_Block"), Qt::LeftButton);
    QTest::mouseClick(button("BUnBlock"), Qt::LeftButton);
    QVERIFY(answers.shown.isEmpty());
    QCOMPARE(m_peer.sent(), QByteArray());
    QVERIFY(button("BSend_Msg")->isEnabled());
}

void TestFrmSerr::reopenedFromMainWindow()
{
    fillResults({"omar"});
    frmserr->findChild<QLineEdit *>("lineEdit")->setText("oma");
    QPointer<FrmSerr> old = frmserr;
    QTest::mouseClick(frmusr->findChild<QPushButton *>("Bsearch"), Qt::LeftButton);
    QVERIFY(frmserr);
    QVERIFY(frmserr != old);
    QVERIFY(frmserr->isVisible());
    QCOMPARE(resultTexts(), QStringList());
    QCOMPARE(frmserr->findChild<QLineEdit *>("lineEdit")->text(), QString());
    deleteLaterNow();
    QVERIFY(!old);
    // The old dialog's end leaves the new one registered.
    QVERIFY(frmserr);
}

void TestFrmSerr::closeButton()
{
    QPointer<FrmSerr> dialog = frmserr;
    QTest::mouseClick(button("pushButton_5"), Qt::LeftButton);
    QVERIFY(!frmserr);
    deleteLaterNow();
    QVERIFY(!dialog);
}

void TestFrmSerr::arabicCaptions()
{
    QTranslator translator;
    QVERIFY(translator.load(":/Resources/Languages/arabic.qm"));
    QCoreApplication::installTranslator(&translator);
    FrmSerr dialog(nullptr);
    QCoreApplication::removeTranslator(&translator);
    const QStringList captions{dialog.windowTitle(),
                               dialog.findChild<QPushButton *>("BSearch")->text(),
                               dialog.findChild<QPushButton *>("B_Add")->text(),
                               dialog.findChild<QPushButton *>("B_Block")->text(),
                               dialog.findChild<QPushButton *>("BUnBlock")->text(),
                               dialog.findChild<QPushButton *>("BSend_Msg")->text(),
                               dialog.findChild<QPushButton *>("pushButton_5")->text()};
    QCOMPARE(captions, (QStringList{"الفلمور العلمية", "البحث عن الأعضاء", "إضافة", "حظر",
                                    "إلغاء الحظر", "إرسال رسالة", "الخروج"}));
}

QTEST_MAIN(TestFrmSerr)
#include "tst_frmserr.moc"
