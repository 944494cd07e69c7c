// Reply framing, the form-post body, the exam-date test and the login reply.
#include "core/globals.h"
#include "core/msgbox.h"
#include "core/pure/examdate.h"
#include "core/pure/formbody.h"
#include "core/pure/loginreply.h"
#include "core/pure/reply.h"

#include <QtTest>

#include <random>

class TestExamReplies : public QObject
{
    Q_OBJECT

private slots:
    void testStr_data();
    void testStr();
    void testImtDisplay_data();
    void testImtDisplay();
    void cleaningAsStepByStep();
    void replyWords();
    void formBody_data();
    void formBody();
    void testDate_data();
    void testDate();
    void clockTexts();
    void studentInfo_data();
    void studentInfo();
    void loginReply();
    void loginReplyShortParts_data();
    void loginReplyShortParts();
};

static const QString CRLF = QStringLiteral("\r\n");

namespace {

// The cleaning done step by step, each removal a search of the whole text:
// what the one-pass cleaning must give on every input.
QString cleanedStepByStep(const QString &text)
{
    QString work = text;
    int p = 0;
    for (;;) {
        const int i = work.indexOf(CRLF, p);
        if (i < 0)
            break;
        p = i + 1;
        const int j = work.indexOf(CRLF, p);
        if (j < 0)
            break;
        bool passes = j > i + 2;
        for (int k = i + 2; k < j && passes; ++k)
            passes = kAlfa.contains(work.at(k).toLower());
        if (passes)
            work.remove(work.mid(i, j + 2 - i), Qt::CaseInsensitive);
    }
    return work;
}

QString visible(QString text)
{
    return text.replace("\r", "<CR>").replace("\n", "<LF>");
}

} // namespace

void TestExamReplies::testStr_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("payload");
    QTest::newRow("plain") << "debut|ok|fin" << "ok";
    QTest::newRow("surrounded, case kept") << "xxdebut|OK|1|finyy" << "OK|1";
    QTest::newRow("no debut") << "ok|fin" << "";
    QTest::newRow("no fin") << "debut|abc" << "";
    QTest::newRow("empty frame") << "debut||fin" << "";
    QTest::newRow("debut|fin is empty") << "debut|fin" << "";
    QTest::newRow("debut|fin and more") << "debut|fin and more" << "";
    QTest::newRow("fin only before debut") << "|fin debut|x" << "";
    QTest::newRow("field starting with fin") << "debut|2|fin de phrase|x|fin"
                                             << "2|fin de phrase|x";
    QTest::newRow("finx") << "debut|finx|fin" << "finx";
    QTest::newRow("last fin counts") << "debut|debut|x|fin|fin" << "debut|x|fin";
    QTest::newRow("names keep their case")
        << "debut|Amina Belkacem<:>Amina.Belkacem@Example.org|fin"
        << "Amina Belkacem<:>Amina.Belkacem@Example.org";
    QTest::newRow("cleaned") << "debut|a" + CRLF + "1f4" + CRLF + "b|fin" << "ab";
    QTest::newRow("markers are case-sensitive") << "DEBUT|x|FIN" << "";
}

void TestExamReplies::testStr()
{
    QFETCH(QString, text);
    QFETCH(QString, payload);
    QCOMPARE(TestStr(text), payload);
}

void TestExamReplies::testImtDisplay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cleaned");
    QTest::newRow("run removed") << "a" + CRLF + "1f4" + CRLF + "b" << "ab";
    QTest::newRow("blank keeps it") << "a" + CRLF + "x y" + CRLF + "b"
                                    << "a" + CRLF + "x y" + CRLF + "b";
    QTest::newRow("case kept") << "A" + CRLF + "B C" + CRLF + "D" << "A" + CRLF + "B C" + CRLF + "D";
    QTest::newRow("capitals count as letters") << "a" + CRLF + "AbC" + CRLF + "b" << "ab";
    QTest::newRow("every occurrence") << CRLF + "12" + CRLF + "x" + CRLF + "12" + CRLF << "x";
    QTest::newRow("occurrences of any case") << CRLF + "AB" + CRLF + "x" + CRLF + "ab" + CRLF
                                             << "x";
    QTest::newRow("scan resumes after removal")
        << "a" + CRLF + "xyz" + CRLF + CRLF + "abc" + CRLF << "a" + CRLF + "abc" + CRLF;
    QTest::newRow("empty run stays") << "a" + CRLF + CRLF + "b" << "a" + CRLF + CRLF + "b";
    QTest::newRow("one CRLF") << "Nadia" + CRLF << "Nadia" + CRLF;
    QTest::newRow("no CRLF") << QStringLiteral("Hello") << QStringLiteral("Hello");
    QTest::newRow("a removal before the scan shifts it")
        << CRLF + CRLF + "ab" + CRLF + "xy" + CRLF + " zz" + CRLF + "xy" + CRLF << " zz";
    QTest::newRow("a row of equal lines loses every second one")
        << "x" + CRLF + "ab" + CRLF + "ab" + CRLF + "ab" + CRLF + "y" << "xaby";
    QTest::newRow("CR and LF meeting make a CRLF")
        << "x\r" + CRLF + "ab" + CRLF + "\ny" + CRLF + "z" << "x" + CRLF + "y" + CRLF + "z";
    QTest::newRow("long s only folds like s")
        << CRLF + QString(QChar(0x17f)) + CRLF + "s" + CRLF << "s" + CRLF;
    QTest::newRow("arabic run stays") << "x" + CRLF + QStringLiteral("سلام") + CRLF
                                      << "x" + CRLF + QStringLiteral("سلام") + CRLF;
}

void TestExamReplies::testImtDisplay()
{
    QFETCH(QString, text);
    QFETCH(QString, cleaned);
    QCOMPARE(TestImtDisplay(text), cleaned);
    QCOMPARE(ALFA, kAlfa);
}

void TestExamReplies::cleaningAsStepByStep()
{
    // Every text of up to six pieces, then texts of random lines: removals
    // that shorten the text before the scan, rows of equal lines, "\r" and
    // "\n" meeting where a segment went, letters that only fold alike.
    const QStringList pieces = {"\r", "\n", "a", "A", " ", QString(QChar(0x17f))};
    int checked = 0;
    for (int len = 0; len <= 6; ++len) {
        QVector<int> digit(len, 0);
        for (;;) {
            QString text;
            for (int d : digit)
                text += pieces.at(d);
            QCOMPARE(visible(TestImtDisplay(text)), visible(cleanedStepByStep(text)));
            ++checked;
            int k = 0;
            while (k < len && ++digit[k] == pieces.size())
                digit[k++] = 0;
            if (k == len)
                break;
        }
    }
    const QStringList lines = {"", "a", "A", "ab", "aB", "s", QString(QChar(0x17f)), " ",
                               "a b", "\r", "\n", "x\r", "\ny", "12", QString(QChar(0x212a)),
                               "k", QString(QChar(0x130)), "i", QString::fromUtf8("😀"),
                               QString::fromUtf8("سلام")};
    std::mt19937 rng(12);
    for (int n = 0; n < 20000; ++n) {
        QString text;
        const int count = int(rng() % 30);
        // Mostly a few kinds of line, so that lines repeat.
        const int kinds = 2 + int(rng() % (lines.size() - 1));
        for (int k = 0; k < count; ++k) {
            if (k)
                text += rng() % 8 ? CRLF : QStringLiteral("\r");
            text += lines.at(int(rng() % kinds));
        }
        QCOMPARE(visible(TestImtDisplay(text)), visible(cleanedStepByStep(text)));
        ++checked;
    }
    QVERIFY(checked > 70000);
}

void TestExamReplies::replyWords()
{
    QVERIFY(replyIs(QStringLiteral("No User"), QStringLiteral("no user")));
    QVERIFY(!replyIs(QStringLiteral("no user "), QStringLiteral("no user")));
    QVERIFY(replyTrimmedIs(QStringLiteral(" DEJA\n"), QStringLiteral("deja")));
    QVERIFY(replyStartsWith(QStringLiteral("OK|1"), QStringLiteral("ok")));
    QVERIFY(!replyStartsWith(QStringLiteral("o"), QStringLiteral("ok")));
}

void TestExamReplies::formBody_data()
{
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QStringList>("items"); // key, value, key, value ...
    QTest::addColumn<QByteArray>("body");
    const QString url = QStringLiteral("http://127.0.0.1:8086/velmar.php");
    QTest::newRow("infousr") << url
                             << QStringList{"cmd", "infousr", "id_user", "1001", "namegroup",
                                            "Nour Group", "isgroup", "no"}
                             << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=infousr"
                                           "&id_user=1001&namegroup=Nour%20Group&isgroup=no");
    QTest::newRow("reserved characters")
        << url << QStringList{"v", "a+b%c&d=e#f"}
        << QByteArray("?http://127.0.0.1:8086/velmar.php&v=a%2Bb%25c%26d%3De%23f");
    QTest::newRow("percent sequence stays typed")
        << url << QStringList{"v", "%41%2B"}
        << QByteArray("?http://127.0.0.1:8086/velmar.php&v=%2541%252B");
    QTest::newRow("arabic, utf-8") << url << QStringList{"namegroup", QStringLiteral("طالب")}
                                   << QByteArray("?http://127.0.0.1:8086/velmar.php"
                                                 "&namegroup=%D8%B7%D8%A7%D9%84%D8%A8");
    QTest::newRow("url-like value") << url << QStringList{"mail", "A.b@x.org/?q"}
                                    << QByteArray("?http://127.0.0.1:8086/velmar.php"
                                                  "&mail=A.b@x.org/?q");
    QTest::newRow("key encoded too") << url << QStringList{"a b", ""}
                                     << QByteArray("?http://127.0.0.1:8086/velmar.php&a%20b=");
    QTest::newRow("no endpoint") << QString() << QStringList{"cmd", "x"}
                                 << QByteArray("?cmd=x");
    QTest::newRow("endpoint only") << url << QStringList{}
                                   << QByteArray("?http://127.0.0.1:8086/velmar.php");
}

void TestExamReplies::formBody()
{
    QFETCH(QString, endpoint);
    QFETCH(QStringList, items);
    QFETCH(QByteArray, body);
    FormQuery query(endpoint);
    for (int i = 0; i + 1 < items.size(); i += 2)
        query.addQueryItem(items.at(i), items.at(i + 1));
    QCOMPARE(query.toBody(), body);
}

void TestExamReplies::testDate_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<qint64>("seconds");
    QTest::newRow("running") << "2020-01-01 10:00:00" << "2020-01-01 09:30:00" << 60 << 1800LL;
    QTest::newRow("just over") << "2020-01-01 10:00:00" << "2020-01-01 09:30:00" << 30 << 0LL;
    QTest::newRow("over") << "2020-01-01 10:00:00" << "2020-01-01 09:30:00" << 29 << -60LL;
    QTest::newRow("tomorrow") << "2020-01-01 10:00:00" << "2020-01-02 10:00:00" << 0 << 86400LL;
    QTest::newRow("no server time") << "" << "2020-01-01 09:30:00" << 60 << 0LL;
    QTest::newRow("bad start") << "2020-01-01 10:00:00" << "soon" << 60 << 0LL;
    QTest::newRow("huge duration") << "2020-01-01 10:00:00" << "2020-01-01 10:00:00"
                                   << 40000000 << 2400000000LL;
}

void TestExamReplies::testDate()
{
    QFETCH(QString, server);
    QFETCH(QString, start);
    QFETCH(int, minutes);
    QFETCH(qint64, seconds);
    sDateServer = server;
    QCOMPARE(TestDate(minutes, QDateTime::fromString(start, format)), seconds);
    sDateServer.clear();
}

void TestExamReplies::clockTexts()
{
    QCOMPARE(remainingText(1061), QStringLiteral("00:17:41"));
    QCOMPARE(remainingText(1062), QStringLiteral("00:17:42"));
    QCOMPARE(remainingText(86400 + 5), QStringLiteral("00:00:05"));
    QCOMPARE(remainingText(3 * 3600 + 61), QStringLiteral("03:01:01"));
    QCOMPARE(Changenegative(5), -5);
    QCOMPARE(Changenegative(-3), 3);
    QCOMPARE(Changenegative(0), 0);
}

void TestExamReplies::studentInfo_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mail");
    QTest::newRow("empty") << "" << int(StudentInfo::Empty) << "" << "";
    QTest::newRow("no user") << "no user" << int(StudentInfo::NoUser) << "" << "";
    QTest::newRow("No User") << "No User" << int(StudentInfo::NoUser) << "" << "";
    QTest::newRow("known, case kept") << "Amina Belkacem<:>Amina.B@Example.org"
                                      << int(StudentInfo::Known) << "Amina Belkacem"
                                      << "Amina.B@Example.org";
    QTest::newRow("extra part") << "a<:>b<:>c" << int(StudentInfo::Known) << "a" << "b";
    QTest::newRow("no separator") << "Amina" << int(StudentInfo::Empty) << "" << "";
}

void TestExamReplies::studentInfo()
{
    QFETCH(QString, payload);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, mail);
    const StudentInfo info = parseStudentInfo(payload);
    QCOMPARE(int(info.kind), kind);
    QCOMPARE(info.name, name);
    QCOMPARE(info.mail, mail);
}

void TestExamReplies::loginReply()
{
    const LoginReply r = parseLoginReply(QStringLiteral(
        "0<>a<>b<>2020-01-01 10:00:00<>c<>dX<|||>"
        "7<||>2020-01-01 10:30:00<||>60<||>Écriture<:>1<:>2<||>f4<||>3|Q|1|-1<||>second"
        "<|||>8<||>2020-01-01 11:00:00<||>30<||>T<:>3<:>4<||><||>"));
    QVERIFY(!r.malformed);
    QVERIFY(r.headPresent);
    QVERIFY(r.hasExams);
    QCOMPARE(r.flag, QStringLiteral("0"));
    QCOMPARE(r.serverTime, QStringLiteral("2020-01-01 10:00:00"));
    QCOMPARE(r.records.size(), 2);
    QCOMPARE(r.records[0].id, QStringLiteral("7"));
    QCOMPARE(r.records[0].start, QStringLiteral("2020-01-01 10:30:00"));
    QCOMPARE(r.records[0].duration, QStringLiteral("60"));
    QCOMPARE(r.records[0].header, QStringLiteral("Écriture<:>1<:>2"));
    QCOMPARE(r.records[0].field4, QStringLiteral("f4"));
    QCOMPARE(r.records[0].texts, (QStringList{"3|Q|1|-1", "second"}));
    QCOMPARE(r.records[1].texts, QStringList{QString()});

    const ExamHeader h = splitExamHeader(r.records[0].header);
    QCOMPARE(h.title, QStringLiteral("Écriture"));
    QCOMPARE(h.fawj, 1);
    QCOMPARE(h.fasl, 2);
    const ExamHeader bare = splitExamHeader(QStringLiteral("Only a title"));
    QCOMPARE(bare.title, QStringLiteral("Only a title"));
    QCOMPARE(bare.fawj, 0);
    QCOMPARE(bare.faslText, QString());

    const LoginReply noExams =
        parseLoginReply(QStringLiteral("1<>a<>b<>2020-01-01 10:00:00<>c<>d"));
    QVERIFY(!noExams.hasExams);
    QCOMPARE(noExams.flag, QStringLiteral("1"));
    QCOMPARE(noExams.serverTime, QStringLiteral("2020-01-01 10:00:00"));

    const LoginReply blank = parseLoginReply(QStringLiteral("X<|||>1<||>2<||>3<||>4<||>5"));
    QVERIFY(!blank.headPresent);
    QVERIFY(!blank.malformed);
    QCOMPARE(blank.flag, QString());
    QCOMPARE(blank.records.size(), 1);
}

void TestExamReplies::loginReplyShortParts_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<bool>("malformed");
    QTest::addColumn<int>("records");
    QTest::newRow("short head") << "0<>a<>b" << true << 0;
    QTest::newRow("short head with exams") << "0<>a<>b<>cX<|||>1<||>2<||>3<||>4<||>5" << true
                                           << 0;
    QTest::newRow("short record skipped")
        << "0<>a<>b<>2020-01-01 10:00:00<>c<>dX<|||>1<||>2020-01-01 10:30:00<||>60" << false << 0;
    QTest::newRow("trailing separator") << "0<>a<>b<>2020-01-01 10:00:00<>c<>dX<|||>1<||>2<||>3"
                                           "<||>4<||>5<|||>"
                                        << false << 1;
    QTest::newRow("five fields kept") << "0<>a<>b<>t<>c<>dX<|||>1<||>2<||>3<||>4<||>5" << false
                                      << 1;
}

void TestExamReplies::loginReplyShortParts()
{
    QFETCH(QString, payload);
    QFETCH(bool, malformed);
    QFETCH(int, records);
    const LoginReply r = parseLoginReply(payload);
    QCOMPARE(r.malformed, malformed);
    QCOMPARE(r.records.size(), records);
}

QTEST_GUILESS_MAIN(TestExamReplies)
#include "tst_exam_replies.moc"
