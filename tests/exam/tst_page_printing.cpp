// Printing a loaded page under the exam program's application style sheet:
// every kind of form control comes out on paper with the page's text, the
// page on screen is left as it was, a PDF is written whole or not at all, and
// the wait for a page that still loads; the Arabic drawn in every face that
// pages use is in the PDF's text.
#include "common/fonts.h"
#include "common/webprint.h"
#include "core/program.h"
#include "support/pdftext.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QPrinter>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

const QString kQuestion = QString::fromUtf8("<p>سؤال الامتحان</p><p>Question text</p>");

QString page(const QString &controls)
{
    return QStringLiteral("<html dir='rtl'><head><meta charset='utf-8'></head><body>")
           + kQuestion + QStringLiteral("<form>") + controls
           + QStringLiteral("</form><p>after the controls</p></body></html>");
}

} // namespace

class TestPagePrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyControl_data();
    void everyControl();
    void arabicTextInEveryFace_data();
    void arabicTextInEveryFace();
    void completePdf_data();
    void completePdf();
    void fileWrittenWholeOrNotAtAll();
    void cutShortIsNoSuccess();
    void waitsForTheLoad();
    void pageThatNeverLoads();

private:
    QTemporaryDir m_dir;
};

void TestPagePrinting::initTestCase()
{
    dressApplication(*qApp); // the style sheet that made text fields crash
    QVERIFY(!qApp->styleSheet().isEmpty());
    QVERIFY(m_dir.isValid());
}

void TestPagePrinting::everyControl_data()
{
    QTest::addColumn<QString>("controls");
    QTest::newRow("answer box") << "<textarea id='texarea'></textarea>";
    QTest::newRow("answer box with a limit")
        << "<textarea id='texarea' onkeyup='textchange(this);' maxlength='40'></textarea>";
    QTest::newRow("answer box with text") << "<textarea>typed answer</textarea>";
    QTest::newRow("disabled and read-only boxes")
        << "<textarea disabled>a</textarea><textarea readonly>b</textarea>";
    QTest::newRow("styled box") << "<textarea style='color: red'></textarea>";
    QTest::newRow("text inputs")
        << "<input value='x'><input type=text><input type=password value=p>"
           "<input type=search><input type=number value=3><input disabled value=d>";
    QTest::newRow("lists") << "<select multiple><option>a</option></select>"
                              "<select size=3><option>b</option></select><select><option>c</option></select>";
    QTest::newRow("several of many")
        << "<input type=checkbox>one<BR>\n<input type=checkbox checked>two<BR>\n";
    QTest::newRow("one of many") << "<input type=radio name=R1>one<BR>\n"
                                    "<input type=radio name=R1 checked>two<BR>\n";
    QTest::newRow("disabled choices")
        << "<input disabled checked type=checkbox>a<BR>\n<input disabled         type=checkbox>b<BR>\n"
           "<input checked  type=radio name=R1>c<BR>\n<input disabled type=radio name=R1>d<BR>\n";
    QTest::newRow("buttons") << "<button>b</button><input type=submit><input type=range>";
}

void TestPagePrinting::everyControl()
{
    QFETCH(QString, controls);
    QWebView view;
    view.resize(800, 600);
    view.setHtml(page(controls), QUrl());
    QVERIFY(webprint::waitLoaded(&view));
    QWebFrame *frame = view.page()->mainFrame();
    const QString before = frame->toHtml();

    const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".pdf");
    QVERIFY(webprint::printPdf(frame, file));
    const QString text = pdfText(file);
    QVERIFY2(text.contains(QString::fromUtf8("سؤال الامتحان")) && text.contains("Question text")
                 && text.contains("after the controls"),
             qPrintable(text));
    // What a print preview hands over: a printer of its own, high resolution.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath("preview.pdf"));
    webprint::printPage(frame, &printer);
    QVERIFY2(pdfText(m_dir.filePath("preview.pdf")).contains("Question text"),
             qPrintable(pdfText(m_dir.filePath("preview.pdf"))));
    // The page on screen is as it was.
    QCOMPARE(frame->toHtml(), before);
}

void TestPagePrinting::arabicTextInEveryFace_data()
{
    // The faces that pages draw Arabic with: the programs' Kufi face, and
    // the one that stands for Tahoma.
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("weight");
    QTest::newRow("Kufi") << kKufiFamily << "normal";
    QTest::newRow("Kufi, bold") << kKufiFamily << "bold";
    QTest::newRow("Tahoma") << "Tahoma" << "normal";
    QTest::newRow("Tahoma, bold") << "Tahoma" << "bold";
}

void TestPagePrinting::arabicTextInEveryFace()
{
    // The letters in their joined forms, and the lam-alef ligature.
    QFETCH(QString, family);
    QFETCH(QString, weight);
    const QStringList lines = {QString::fromUtf8("السلام عليكم يا طلاب"),
                               QString::fromUtf8("لا تنسوا موعد الامتحان غدا"),
                               QString::fromUtf8("ذهب ثلاثة ضيوف إلى قصر شيخ غني"),
                               QString::fromUtf8("حظ طيب جعل كل مدرسة تزدهر")};
    QString body;
    for (const QString &line : lines)
        body += QStringLiteral("<p>") + line + QStringLiteral("</p>");
    QWebView view;
    view.setHtml(QStringLiteral("<html dir='rtl'><head><meta charset='utf-8'></head>"
                                "<body style=\"font-family: '%1'; font-weight: %2\">%3</body></html>")
                     .arg(family, weight, body),
                 QUrl());
    QVERIFY(webprint::waitLoaded(&view));
    const QString file = m_dir.filePath(QStringLiteral("face.pdf"));
    QVERIFY(webprint::printPdf(view.page()->mainFrame(), file));
    const QString text = pdfText(file);
    for (const QString &line : lines)
        QVERIFY2(text.contains(line), qPrintable(line + "\n---\n" + text));
}

void TestPagePrinting::completePdf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("header only") << QByteArray("%PDF-1.4\n") << false;
    QTest::newRow("cut in a stream") << QByteArray("%PDF-1.4\n1 0 obj\n<< /Length 90 >>\nstream\nBT")
                                     << false;
    QTest::newRow("end mark") << QByteArray("%PDF-1.4\n...\nstartxref\n123\n%%EOF") << true;
    QTest::newRow("end mark and line break") << QByteArray("%PDF-1.4\n...\n%%EOF\r\n") << true;
    QTest::newRow("no header") << QByteArray("<html>%%EOF\n") << false;
}

void TestPagePrinting::completePdf()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QCOMPARE(webprint::isCompletePdf(bytes), complete);
}

void TestPagePrinting::fileWrittenWholeOrNotAtAll()
{
    QWebView view;
    view.setHtml(page("<textarea></textarea>"), QUrl());
    QVERIFY(webprint::waitLoaded(&view));
    QTemporaryDir dir;
    // A file of that name is replaced whole, and nothing else is left.
    const QString file = dir.filePath("exam.pdf");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older file, much longer than nothing");
    old.close();
    QVERIFY(webprint::printPdf(view.page()->mainFrame(), file));
    QVERIFY(pdfText(file).contains("Question text"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"exam.pdf"});
    // A folder that does not exist: nothing written, failure told.
    const QString lost = dir.filePath("no such folder/exam.pdf");
    QVERIFY(!webprint::printPdf(view.page()->mainFrame(), lost));
    QVERIFY(!QFile::exists(lost));
}

void TestPagePrinting::cutShortIsNoSuccess()
{
    // The file system takes only the first 4 KB of any file (as a full disk
    // would): the document is cut short.
    QWebView view;
    view.setHtml(page("<textarea></textarea>"), QUrl());
    QVERIFY(webprint::waitLoaded(&view));
    QTemporaryDir dir;
    const QString file = dir.filePath("exam.pdf");
    struct rlimit before;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = webprint::printPdf(view.page()->mainFrame(), file);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!written);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestPagePrinting::waitsForTheLoad()
{
    // A linked style sheet loads after setHtml returns; printed before it is
    // in, the page comes out blank.
    QWebView view;
    view.setHtml(QStringLiteral("<html><head><link href='qrc:/Resources/html/style.css' "
                                "rel='stylesheet' type='text/css' /></head><body>")
                     + kQuestion + QStringLiteral("<textarea></textarea></body></html>"),
                 QUrl());
    QVERIFY(view.page()->action(QWebPage::Stop)->isEnabled());
    QVERIFY(webprint::waitLoaded(&view));
    QVERIFY(!view.page()->action(QWebPage::Stop)->isEnabled());
    const QString file = m_dir.filePath("loaded.pdf");
    QVERIFY(webprint::printPdf(view.page()->mainFrame(), file));
    QVERIFY2(pdfText(file).contains("Question text"), qPrintable(pdfText(file)));
}

void TestPagePrinting::pageThatNeverLoads()
{
    // A style sheet that never comes keeps the page loading.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QPointer<QWebView> view = new QWebView;
    view->setHtml(QStringLiteral("<html><head><link href='http://127.0.0.1:%1/never.css' "
                                 "rel='stylesheet' /></head><body>x</body></html>")
                      .arg(silent.serverPort()),
                  QUrl());
    QVERIFY(view->page()->action(QWebPage::Stop)->isEnabled());
    // The wait ends at its bound; the page is printed as it is then.
    const int bound = webprint::loadWaitMs;
    webprint::loadWaitMs = 200;
    const bool loaded = webprint::waitLoaded(view);
    webprint::loadWaitMs = bound;
    QVERIFY(!loaded);
    QVERIFY(view && view->page()->action(QWebPage::Stop)->isEnabled());
    // The view closed meanwhile: the wait ends with it.
    QTimer::singleShot(0, view, &QObject::deleteLater);
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!webprint::waitLoaded(view));
    QVERIFY(!view);
    QVERIFY2(waited.elapsed() < webprint::loadWaitMs, qPrintable(QString::number(waited.elapsed())));
}

QTEST_MAIN(TestPagePrinting)
#include "tst_page_printing.moc"
