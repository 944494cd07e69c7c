// The results reply of "getimtihan": records, headings, short records, the
// reply frame, and the graded sheet of a record.
#include "core/pure/grading.h"
#include "core/pure/reply.h"
#include "supervision/pure/results.h"

#include <QtTest>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// One record as "heading/number/date/answers/grading".
QStringList rows(const ResultsReply &reply)
{
    QStringList out;
    for (const ResultRecord &r : reply.records)
        out << QStringList{resultHeading(r), r.number, r.date, r.answers, r.grading}.join('/');
    return out;
}

const QString kTwoQuestions = "2<:>Q1<:>1<:>first<:>Q2<:>3<:>2<:>[on]yes<:>[no]no";

} // namespace

class TestExamResults : public QObject
{
    Q_OBJECT

private slots:
    void reply_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QStringList>("records");
        const QString fiqh = u("Fiqh\n[ الفوج:3 - الفصل:2 ]");
        const QString bare = u("\n[ الفوج: - الفصل: ]");
        QTest::newRow("empty") << "" << "" << "" << QStringList();
        QTest::newRow("head only") << "Amina|a@b.org" << "Amina" << "a@b.org" << QStringList();
        QTest::newRow("one record")
            << "Amina|a@b.org<|>Fiqh<:>3<:>2|17|2015-03-01 10:00:00|T|G" << "Amina" << "a@b.org"
            << QStringList{fiqh + "/17/2015-03-01 10:00:00/T/G"};
        QTest::newRow("three in reply order")
            << "n|m<|>A<:>1<:>1|1|d1|T1|<|>B<:>2<:>2|2|d2|T2|0::1<|>C<:>3<:>3|3|d3|T3|15::"
            << "n" << "m"
            << QStringList{u("A\n[ الفوج:1 - الفصل:1 ]/1/d1/T1/"),
                           u("B\n[ الفوج:2 - الفصل:2 ]/2/d2/T2/0::1"),
                           u("C\n[ الفوج:3 - الفصل:3 ]/3/d3/T3/15::")};
        QTest::newRow("further fields ignored")
            << "n|m|x|y<|>Fiqh<:>3<:>2<:>z|17|d|T|G|more|fields" << "n" << "m"
            << QStringList{fiqh + "/17/d/T/G"};
        QTest::newRow("head without bar") << "Amina<|>Fiqh<:>3<:>2|17|d|T|G" << "Amina" << ""
                                          << QStringList{fiqh + "/17/d/T/G"};
        QTest::newRow("heading without cohort and class")
            << "n|m<|>Fiqh|17|d|T|G" << "n" << "m"
            << QStringList{u("Fiqh\n[ الفوج: - الفصل: ]/17/d/T/G")};
        // Missing fields read as empty texts; every record is a row.
        QTest::newRow("short records")
            << "n|m<|>Short|1|d|T<|>Fiqh<:>3<:>2|17|d|T|G<|>x" << "n" << "m"
            << QStringList{u("Short\n[ الفوج: - الفصل: ]/1/d/T/"), fiqh + "/17/d/T/G",
                           u("x\n[ الفوج: - الفصل: ]////")};
        QTest::newRow("blank records") << "n|m<|><|>  " << "n" << "m"
                                       << QStringList{bare + "////", u("  \n[ الفوج: - الفصل: ]////")};
        QTest::newRow("trailing separator")
            << "n|m<|>Fiqh<:>3<:>2|17|d|T|G<|>" << "n" << "m"
            << QStringList{fiqh + "/17/d/T/G", bare + "////"};
        QTest::newRow("empty fields kept") << "|<|>||||" << "" << "" << QStringList{bare + "////"};
    }
    void reply()
    {
        QFETCH(QString, payload);
        QFETCH(QString, name);
        QFETCH(QString, mail);
        QFETCH(QStringList, records);
        const ResultsReply reply = readResultsReply(payload);
        QCOMPARE(reply.name, name);
        QCOMPARE(reply.mail, mail);
        QCOMPARE(rows(reply), records);
        QCOMPARE(reply.skipped, 0);
    }

    void recordLimit()
    {
        QStringList parts{"n|m"};
        for (int i = 0; i < kMaxResultRecords + 3; ++i)
            parts << QString("S<:>1<:>2|%1|d|T|G").arg(i);
        const ResultsReply reply = readResultsReply(parts.join("<|>"));
        QCOMPARE(reply.records.size(), kMaxResultRecords);
        QCOMPARE(reply.records.last().number, QString::number(kMaxResultRecords - 1));
        QCOMPARE(reply.skipped, 3);
    }

    void frame_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("framed");
        QTest::addColumn<QString>("payload");
        QTest::newRow("empty payload") << "debut||fin" << true << "";
        QTest::newRow("payload") << "debut|n|m<|>x|fin" << true << "n|m<|>x";
        QTest::newRow("text around") << "<html>debut|n|m|fin</html>" << true << "n|m";
        QTest::newRow("nothing") << "" << false << "";
        QTest::newRow("plain text") << "n|m<|>Fiqh|17|d|T|G" << false << "";
        QTest::newRow("no end") << "debut|n|m" << false << "";
        QTest::newRow("no start") << "n|m|fin" << false << "";
        QTest::newRow("end before start") << "|fin debut|x" << false << "";
        QTest::newRow("markers overlap") << "debut|fin" << false << "";
    }
    void frame()
    {
        QFETCH(QString, text);
        QFETCH(bool, framed);
        QFETCH(QString, payload);
        QCOMPARE(replyHasFrame(text), framed);
        QCOMPARE(TestStr(text), payload);
    }

    void sheetHeader()
    {
        const QString page = resultSheet(kTwoQuestions, u("Fiqh\n[ الفوج:3 - الفصل:2 ]"),
                                         "Amina <b>B</b>", "a&b@x.org", "Line <1>\nLine 2");
        // Every text in an isolate of its own direction, each line of the
        // heading and of the label too.
        const QString iso = "<span dir='auto'>";
        QVERIFY(page.contains(u("<div id='userinfo'>الاسم : ") + iso + "Amina &lt;b&gt;B&lt;/b&gt;</span>"
                              + u("<br />البريد: ") + iso + "a&amp;b@x.org</span></div>"));
        QVERIFY(page.contains("<div id='velmarinfo'>" + iso + "Line &lt;1&gt;</span><br />" + iso
                              + "Line 2</span></div>"));
        QVERIFY(page.contains("<div id='mada'>" + iso + "Fiqh</span>\n" + iso
                              + u("[ الفوج:3 - الفصل:2 ]</span></div>")));
        QVERIFY(page.contains("<div id='total'>#total#</div>"));
        QCOMPARE(page.count("<div id='note'></div>"), 2);
        // A label already holding "<br />" reads the same.
        QCOMPARE(resultSheet(kTwoQuestions, "h", "n", "m", "Line <1><br />Line 2"),
                 resultSheet(kTwoQuestions, "h", "n", "m", "Line <1>\nLine 2"));
    }

    // Texts that look like slots fill nothing twice.
    void sheetTextsStayText()
    {
        const QString page = resultSheet(kTwoQuestions, "<div id='total'>#total#</div>",
                                         "<div id='mada'>#mada#</div>", "#velmarinfo#", "#userinfo#");
        QCOMPARE(page.count("<div id='total'>#total#</div>"), 1);
        QCOMPARE(page.count("<div id='mada'>"), 1);
        QCOMPARE(page.count("<script"), 1);
        QVERIFY(page.contains("&lt;div id='total'&gt;#total#&lt;/div&gt;"));
    }

    void sheetOfDamagedAnswers_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::newRow("empty") << "";
        QTest::newRow("no separator") << "garbage";
    }
    void sheetOfDamagedAnswers()
    {
        QFETCH(QString, answers);
        QCOMPARE(resultSheet(answers, "h", "n", "m", "l"), QString());
    }

    // The grades of a record on its own sheet.
    void sums_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("grading");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QString>("total"); // "" for not graded
        QTest::addColumn<bool>("overTwenty");
        const QString three = "3<:>A<:>1<:>a<:>B<:>2<:>1<:>[on]x<:>C<:>3<:>1<:>[no]y";
        QTest::newRow("not graded") << kTwoQuestions << "" << QStringList() << "" << false;
        QTest::newRow("blank grading") << kTwoQuestions << "  " << QStringList() << "" << false;
        QTest::newRow("marks") << kTwoQuestions << "0::5:7.5" << QStringList{"5", "7.5"} << "12.5"
                               << false;
        QTest::newRow("mark beyond the questions") << kTwoQuestions << "0::5:7.5:3"
                                                   << QStringList{"5", "7.5"} << "12.5" << false;
        QTest::newRow("questions beyond the marks") << three << "0::5" << QStringList{"5"} << "5"
                                                    << false;
        QTest::newRow("direct total") << three << "15::4:4:4" << QStringList() << "15" << false;
        QTest::newRow("word total") << kTwoQuestions << "x::4:4" << QStringList{"4", "4"} << "8"
                                    << false;
        QTest::newRow("no marks") << kTwoQuestions << "0::" << QStringList{"0"} << "0" << false;
        QTest::newRow("over twenty") << kTwoQuestions << "0::18:3" << QStringList{"18", "3"}
                                     << "21" << true;
        QTest::newRow("twenty") << kTwoQuestions << "0::18:2" << QStringList{"18", "2"} << "20"
                                << false;
        QTest::newRow("single precision") << kTwoQuestions << "0::0.1:0.2"
                                          << QStringList{"0.1", "0.2"} << "0.3" << false;
        QTest::newRow("zero alone") << kTwoQuestions << "0" << QStringList() << "0" << false;
    }
    void sums()
    {
        QFETCH(QString, answers);
        QFETCH(QString, grading);
        QFETCH(QStringList, marks);
        QFETCH(QString, total);
        QFETCH(bool, overTwenty);
        const QString page = resultSheet(answers, "h", "n", "m", "l");
        const GradedSheet sheet = fillGrades(page, grading);
        QStringList shown;
        const QString open = u("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>");
        for (int at = sheet.html.indexOf(open); at >= 0; at = sheet.html.indexOf(open, at + 1)) {
            const int from = at + open.size();
            shown << sheet.html.mid(from, sheet.html.indexOf("</span>", from) - from);
        }
        QCOMPARE(shown, marks);
        QCOMPARE(sheet.html.count("<div id='note'></div>"), page.count("<div id='note'></div>") - marks.size());
        QCOMPARE(sheet.graded, !total.isEmpty());
        QCOMPARE(sheet.overTwenty, overTwenty);
        if (total.isEmpty())
            QVERIFY(sheet.html.contains(u("<div id='total'>لم يتم تصحيح هذا الامتحان بعد</div>")));
        else
            QVERIFY(sheet.html.contains(u("المجموع : <span id='nokta' dir='rtl'> 20 / <span dir='ltr'>")
                                        + total + "</span></span>"));
    }
};

QTEST_GUILESS_MAIN(TestExamResults)
#include "tst_exam_results.moc"
