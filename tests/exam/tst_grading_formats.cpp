// What the grading window reads and writes without its widgets: the bodies
// of its five commands, the exam and sheet lists, marks typed and changed,
// the marks table with its clipboard form, the search and the rebuild of a
// damaged answer sheet.
#include "core/pure/examtext.h"
#include "core/pure/pages.h"
#include "core/pure/templates.h"
#include "supervision/pure/gradinglists.h"
#include "supervision/pure/firstfound.h"
#include "supervision/pure/marks.h"

#include <QtTest>

#include <random>

Q_DECLARE_METATYPE(FormQuery)

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kUrl = QStringLiteral("http://127.0.0.1:8086/velmar.php");

// The rebuild as its rule reads, one search at a time with QString::indexOf,
// for exam texts within the bounds of an exam.
QString repairedStepByStep(const QString &damaged, const QString &examText)
{
    const QStringList L = examText.split('|');
    const auto field = [&](int i) { return i < L.size() ? L.at(i) : QString(); };
    const auto plain = [](QString t) { return t.replace('<', ' ').replace('>', ' '); };
    QString out = plain(L.at(0));
    int i = 1;
    for (int q = 0; q < L.at(0).toInt() && i < L.size() - 1; ++q) {
        const QString t = field(i);
        const int type = field(i + 1).toInt();
        const int k = field(i + 2).toInt();
        out += "<:>" + plain(t) + "<:>" + QString::number(type);
        i += 3;
        if (type == 2 || type == 3) {
            const int present = qMax(0, qMin(k, L.size() - i));
            out += "<:>" + QString::number(present);
            const QString u = field(i + present);
            const int p = damaged.indexOf(":" + t);
            const int r = u.isEmpty() ? -1 : damaged.indexOf(":" + u, p + 1);
            for (int j = 0; j < present; ++j) {
                const QString h = field(i + j);
                int found = damaged.indexOf(":[on]" + h, p + 1);
                if (r >= 0 && r < found)
                    found = -1;
                out += (found >= 0 ? "<:>[on]" : "<:>[no]") + plain(h);
            }
            i += present;
        } else if (type == 1) {
            QString answer;
            const int p = damaged.indexOf(t);
            if (p >= 0) {
                const int a = p + 3 + t.size();
                const int e = i < L.size() ? damaged.indexOf(L.at(i), p + 1) : -1;
                if (a <= damaged.size())
                    answer = e < 0 || e < a + 1 ? damaged.mid(a) : damaged.mid(a, e - 1 - a);
            }
            out += "<:>" + plain(answer);
        }
    }
    return out;
}

} // namespace

class TestGradingFormats : public QObject
{
    Q_OBJECT

private slots:
    void postBodies_data()
    {
        QTest::addColumn<FormQuery>("query");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("listimtihan")
            << examListQuery(kUrl, 7, "no", "admin", "admin123")
            << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=listimtihan&id_user=7&isgroup=no"
                          "&user_admin=admin&pwd=admin123");
        QTest::newRow("imtihanuser")
            << sheetListQuery(kUrl, 7, "21", "no", "admin", "admin123")
            << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=imtihanuser&id_user=7&id=21"
                          "&isgroup=no&user_admin=admin&pwd=admin123");
        QTest::newRow("tankit")
            << gradingQuery(kUrl, 7, "503", "0::2:3.5:1", "no", "admin", "admin123")
            << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=tankit&id_user=7&id=503"
                          "&txt=0::2:3.5:1&isgroup=no&user_admin=admin&pwd=admin123");
        QTest::newRow("tankit direct total")
            << gradingQuery(kUrl, 7, "503", "12.5::", "no", "admin", "admin123")
            << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=tankit&id_user=7&id=503"
                          "&txt=12.5::&isgroup=no&user_admin=admin&pwd=admin123");
        QTest::newRow("tankit deleted")
            << gradingQuery(kUrl, 7, "503", "", "Nour Group", "admin", "a&b")
            << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=tankit&id_user=7&id=503&txt="
                          "&isgroup=Nour%20Group&user_admin=admin&pwd=a%26b");
        QTest::newRow("changeostad")
            << teacherQuery(kUrl, 7, "21", u(" ليلى "), "no", "admin", "admin123")
            << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=changeostad&id_user=7&id=21"
                          "&ostad=%20%D9%84%D9%8A%D9%84%D9%89%20&isgroup=no&user_admin=admin"
                          "&pwd=admin123");
        QTest::newRow("getimt") << examTextQuery(kUrl, 7, "21")
                                << QByteArray("?http://127.0.0.1:8086/velmar.php&cmd=getimt"
                                              "&id_user=7&id=21");
    }
    void postBodies()
    {
        QFETCH(FormQuery, query);
        QFETCH(QByteArray, body);
        QCOMPARE(query.toBody(), body);
    }

    void examList()
    {
        // A count of 2 with one record; every record present is read.
        const ExamList list =
            readExamList("2<::>7<:>2015-05-30<:>maths<>1<>2<>prof<>exam<::>8<::>");
        QCOMPARE(list.countText, QString("2"));
        QCOMPARE(list.count, 2);
        QCOMPARE(list.exams.size(), 3);
        QCOMPARE(list.exams.at(0).id, QString("7"));
        QCOMPARE(list.exams.at(0).date, QString("2015-05-30"));
        QCOMPARE(list.exams.at(0).descriptor, QString("maths<>1<>2<>prof<>exam"));
        const ExamDescriptor d = readExamDescriptor(list.exams.at(0).descriptor);
        QCOMPARE(examRowHeading(d),
                 u("maths [ الفوج:1  الفصل:2 ]   للأستاذ : prof"));
        QCOMPARE(examTitle(d), u("maths [ الفوج:1  الفصل:2 ]"));
        QCOMPARE(d.examText, QString("exam"));
        // Short records give empty fields.
        QCOMPARE(list.exams.at(1).id, QString("8"));
        QCOMPARE(list.exams.at(1).date, QString());
        QCOMPARE(list.exams.at(2).descriptor, QString());
        const ExamDescriptor none = readExamDescriptor("only a title");
        QCOMPARE(none.title, QString("only a title"));
        QCOMPARE(none.teacher, QString());
        QCOMPARE(none.examText, QString());

        QCOMPARE(readExamList("x").count, 0);
        QCOMPARE(readExamList("x").countText, QString("x"));
        QCOMPARE(readExamList("-3<::>a").exams.size(), 1);
        QCOMPARE(readExamList("").exams.size(), 0);
    }

    void sheetList()
    {
        const SheetList list =
            readSheetList("3<::>1<:>q<:>1<:>a<|>2015-05-30 10:00:00<|>ali<|>a@b.c<|>9<|>0::2"
                          "<::>1<:>q<:>1<:>b<|>t<|>omar");
        QCOMPARE(list.count, 3);
        QCOMPARE(list.sheets.size(), 2);
        const SheetEntry &s = list.sheets.at(0);
        QCOMPARE(s.answers, QString("1<:>q<:>1<:>a"));
        QCOMPARE(s.time, QString("2015-05-30 10:00:00"));
        QCOMPARE(s.name, QString("ali"));
        QCOMPARE(s.mail, QString("a@b.c"));
        QCOMPARE(s.id, QString("9"));
        QCOMPARE(s.grading, QString("0::2"));
        QCOMPARE(list.sheets.at(1).name, QString("omar"));
        QCOMPARE(list.sheets.at(1).id, QString());
        QCOMPARE(list.sheets.at(1).grading, QString());
        QCOMPARE(readSheetList("3").sheets.size(), 0);
    }

    void listBound()
    {
        QString payload = "1";
        for (int i = 0; i < kMaxListRecords + 5; ++i)
            payload += "<::>a<|>b";
        const SheetList list = readSheetList(payload);
        QCOMPARE(list.sheets.size(), kMaxListRecords);
        QCOMPARE(list.skipped, 5);
    }

    void replies_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<int>("list");    // ListReply
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("teacher"); // TeacherReply
        QTest::newRow("empty") << "" << int(ListReply::Empty) << false << int(TeacherReply::Failed);
        QTest::newRow("no admin") << "no admin" << int(ListReply::Refused) << false
                                  << int(TeacherReply::Refused);
        QTest::newRow("NO ADMIN") << "NO Admin" << int(ListReply::Refused) << false
                                  << int(TeacherReply::Refused);
        QTest::newRow("edit") << "edit" << int(ListReply::List) << true << int(TeacherReply::Stored);
        QTest::newRow("edit, line end") << "edit\r\n" << int(ListReply::List) << true
                                        << int(TeacherReply::Stored);
        QTest::newRow("no ostad") << "no ostad" << int(ListReply::List) << false
                                  << int(TeacherReply::NoOstad);
        QTest::newRow("edited") << "edited" << int(ListReply::List) << false
                                << int(TeacherReply::Failed);
        QTest::newRow("a list") << "0" << int(ListReply::List) << false << int(TeacherReply::Failed);
    }
    void replies()
    {
        QFETCH(QString, payload);
        QFETCH(int, list);
        QFETCH(bool, stored);
        QFETCH(int, teacher);
        QCOMPARE(int(listReplyKind(payload)), list);
        QCOMPARE(replyStored(payload), stored);
        QCOMPARE(int(readTeacherReply(payload)), teacher);
    }

    void teacherInDescriptor_data()
    {
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QString>("changed");
        QTest::newRow("five") << "t<>1<>2<>old<>1|Q|1|-1" << "t<>1<>2<> new <>1|Q|1|-1";
        QTest::newRow("more") << "t<>1<>2<>old<>x<>y" << "t<>1<>2<> new <>x<>y";
        QTest::newRow("short") << "t<>1" << "t<>1<><> new ";
    }
    void teacherInDescriptor()
    {
        QFETCH(QString, descriptor);
        QFETCH(QString, changed);
        QCOMPARE(withTeacher(descriptor, " new "), changed);
        QCOMPARE(readExamDescriptor(changed).teacher, QString(" new "));
    }

    void typedMarks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // "<refused>" when refused
        QTest::newRow("whole") << "5" << "5";
        QTest::newRow("fraction") << "3.5" << "3.5";
        QTest::newRow("blanks around") << " 2 " << "2";
        QTest::newRow("arabic-indic digits") << u("٣٫٥") << "3.5";
        QTest::newRow("eastern digits") << u("۱۲") << "12";
        QTest::newRow("empty") << "" << "<refused>";
        QTest::newRow("blank") << "  " << "<refused>";
        QTest::newRow("word") << "a" << "<refused>";
        QTest::newRow("two marks") << "2:3" << "<refused>";
        QTest::newRow("swallowing") << "2::" << "<refused>";
        QTest::newRow("comma") << "3,5" << "<refused>";
        QTest::newRow("not finite") << "inf" << "<refused>";
    }
    void typedMarks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const std::optional<QString> mark = readMark(typed);
        QCOMPARE(mark ? *mark : QString("<refused>"), stored);
    }

    void gradingEdits_data()
    {
        QTest::addColumn<QString>("grading");
        QTest::addColumn<bool>("byMarks");
        QTest::addColumn<QString>("next");    // after one more mark 4
        QTest::addColumn<QString>("second");  // mark 2 changed to 9, "<none>" when refused
        QTest::newRow("not graded") << "" << false << "0::4" << "<none>";
        QTest::newRow("marks") << "0::2:3.5:1" << true << "0::2:3.5:1:4" << "0::2:9:1";
        QTest::newRow("one mark") << "0::2" << true << "0::2:4" << "<none>";
        QTest::newRow("one empty mark") << "0::" << true << "0::0:4" << "<none>";
        QTest::newRow("empty last mark") << "0::5:" << true << "0::5:0:4" << "0::5:9";
        QTest::newRow("empty first mark") << "0:::5" << true << "0::0:5:4" << "0::0:9";
        QTest::newRow("direct total") << "15::" << false << "0::4" << "<none>";
        QTest::newRow("total without pair") << "17.5" << false << "0::4" << "<none>";
        QTest::newRow("zero without pair") << "0" << false << "0::4" << "<none>";
        QTest::newRow("word total") << "x::1:2" << true << "0::1:2:4" << "0::1:9";
        QTest::newRow("marks end at the next pair") << "0::1:2::7" << true << "0::1:2:4"
                                                    << "0::1:9";
    }
    void gradingEdits()
    {
        QFETCH(QString, grading);
        QFETCH(bool, byMarks);
        QFETCH(QString, next);
        QFETCH(QString, second);
        QCOMPARE(gradedByMarks(grading), byMarks);
        QCOMPARE(withNextMark(grading, "4"), next);
        const std::optional<QString> changed = withMark(grading, 2, "9");
        QCOMPARE(changed ? *changed : QString("<none>"), second);
        QVERIFY(!withMark(grading, 0, "9"));
        QVERIFY(!withMark(grading, -1, "9"));
        QVERIFY(!withMark(grading, 1000, "9"));
    }

    void totals()
    {
        QCOMPARE(totalGrading(12.5f), QString("12.5::"));
        QCOMPARE(totalGrading(15.0f), QString("15::"));
        QCOMPARE(totalGrading(1.0f / 3.0f), QString("0.333333::"));
        QCOMPARE(sheetQuestionCount("3<:>q<:>1<:>a"), 3);
        QCOMPARE(sheetQuestionCount("12"), 12);
        QCOMPARE(sheetQuestionCount("x<:>q"), 0);
        QCOMPARE(sheetQuestionCount(""), 0);
    }

    void marksTableForms()
    {
        const QVector<MarksRow> rows = {
            {"ali", "a@b.c", "2015-05-30 10:00:00", "9", "0::2:3.5:1"},
            {u("مريم"), "m@b.c", "t", "10", ""},
            {"x<:>y<::>z", "tab\there", "line\nend", "11", "12.5::"},
        };
        const QString table = marksTable(rows);
        QCOMPARE(table, u("ali<:>a@b.c<:>2015-05-30 10:00:00<:>9<:>6.5"
                          "<::>مريم<:>m@b.c<:>t<:>10<:>"
                          "<::>x< :>y< ::>z<:>tab here<:>line end<:>11<:>12.5"));
        QCOMPARE(marksClipboardText(table),
                 u("ali\ta@b.c\t2015-05-30 10:00:00\t9\t6.5\n"
                   "مريم\tm@b.c\tt\t10\t\n"
                   "x< :>y< ::>z\ttab here\tline end\t11\t12.5"));
        QCOMPARE(marksTable({}), QString());
        QCOMPARE(marksClipboardText(marksTable(rows.mid(0, 2))).count('\n'), 1);
    }

    void marksPageHeading()
    {
        const ExamDescriptor d = readExamDescriptor("  Fiqh <b>  & co <>3<>x  y<>t<>e");
        const QString page = marksPage("ali<:>9<:>6.5", sheetListTitle(d, "2", HeadingForm::Page));
        // Each text of the heading escaped in its own isolate, blanks in a
        // row made one.
        QVERIFY2(page.contains(u("<div align='center'><strong><span dir='auto'>Fiqh &lt;b&gt; &amp; "
                                 "co</span> [ الفوج:<span dir='auto'>3</span> الفصل:<span "
                                 "dir='auto'>x y</span> ] عدد التقارير: <span "
                                 "dir='auto'>2</span></strong></div>")),
                 qPrintable(page));
        QVERIFY(!page.contains("#mada#"));
        QVERIFY(page.contains("    <td id='note'><span dir='auto'>6.5</span></td>\n"));
        QVERIFY(page.contains("    <td><span dir='auto'>ali</span></td>\n"));
        // The same title for the sheet list's group box: the texts in Unicode
        // isolates, nothing else changed.
        QCOMPARE(sheetListTitle(d, "2", HeadingForm::Widget),
                 u("  \u2068  Fiqh <b>  & co \u2069 [ الفوج:\u20683\u2069  الفصل:\u2068x  y\u2069 ]  "
                   "عدد التقارير: \u20682\u2069  "));
        QCOMPARE(sheetListTitle(d, "2"), u("    Fiqh <b>  & co  [ الفوج:3  الفصل:x  y ]  عدد التقارير: 2  "));
        QCOMPARE(examRowHeading(d, HeadingForm::Widget),
                 u("\u2068  Fiqh <b>  & co \u2069 [ الفوج:\u20683\u2069  الفصل:\u2068x  y\u2069 ]   "
                   "للأستاذ : \u2068t\u2069"));
    }

    void search_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found");
        // Rows: ali, omar, Ali; the key is matched case-sensitively in any cell.
        QTest::newRow("from the start") << -1 << "li" << 0;
        QTest::newRow("after the current row") << 0 << "li" << 2;
        QTest::newRow("case") << 0 << "Ali" << 2;
        QTest::newRow("wraps to the top") << 2 << "li" << 0;
        QTest::newRow("current comes last") << 1 << "omar" << 1;
        QTest::newRow("e-mail cell") << -1 << "@o.c" << 1;
        QTest::newRow("number cell") << 0 << "12" << 2;
        QTest::newRow("blank key") << 0 << "   " << -1;
        QTest::newRow("leading blank kept") << -1 << " ali" << -1;
        QTest::newRow("no match") << 1 << "zaid" << -1;
    }
    void search()
    {
        QFETCH(int, current);
        QFETCH(QString, key);
        QFETCH(int, found);
        const QVector<QStringList> rows = {{"ali", "a@b.c", "t1", "10"},
                                           {"omar", "m@o.c", "t2", "11"},
                                           {"Ali", "x@b.c", "t3", "12"}};
        QCOMPARE(findRow(rows, current, key), found);
        QCOMPARE(findRow({}, -1, "a"), -1);
    }

    void repair_data()
    {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<QString>("examText");
        QTest::addColumn<QString>("rebuilt");
        const QString damaged = "2:q1:::my answer:q2:::[on]b:[on]c";
        QTest::newRow("text and choices")
            << damaged << "2|q1|1|-1|q2|3|2|b|c"
            << "2<:>q1<:>1<:>my answer<:>q2<:>3<:>2<:>[on]b<:>[on]c";
        QTest::newRow("count 0") << damaged << "0|q1|1|-1" << "0";
        QTest::newRow("count not a number") << damaged << "x|q1|1|-1" << "x";
        QTest::newRow("other type")
            << damaged << "2|q9|9|0|q2|2|1|b" << "2<:>q9<:>9<:>q2<:>2<:>1<:>[on]b";
        QTest::newRow("choice marked only after the next question")
            << "2:q1:::[no]a:q2:::[on]a" << "2|q1|2|1|a|q2|2|1|a"
            << "2<:>q1<:>2<:>1<:>[no]a<:>q2<:>2<:>1<:>[on]a";
        QTest::newRow("last text runs to the end")
            << "1:q1:::the end" << "1|q1|1|-1" << "1<:>q1<:>1<:>the end";
        QTest::newRow("question not found")
            << "1:Q1:::x" << "1|q1|1|-1" << "1<:>q1<:>1<:>";
        QTest::newRow("count beyond the text")
            << damaged << "5|q1|1|-1" << "5<:>q1<:>1<:>my answer:q2:::[on]b:[on]c";
        QTest::newRow("choices beyond the text")
            << ":q:::[on]a" << "1|q|2|9|a" << "1<:>q<:>2<:>1<:>[on]a";
        QTest::newRow("separators in the damaged answer")
            << "1:q:::a<:>b" << "1|q|1|-1" << "1<:>q<:>1<:>a : b";
        QTest::newRow("markup in the exam text")
            << ":<q>:::a" << "1|<q>|1|-1" << "1<:> q <:>1<:>a";
        QTest::newRow("type field last") << "" << "1|q|1" << "1<:>q<:>1<:>";
        QTest::newRow("empty") << "" << "" << "";
    }
    void repair()
    {
        QFETCH(QString, damaged);
        QFETCH(QString, examText);
        QFETCH(QString, rebuilt);
        QCOMPARE(repairAnswers(damaged, examText), rebuilt);
    }

    // A rebuild against an exam text that holds more than an exam may stops
    // one question or choice past the bound: the sheet stays damaged, and
    // the rest is never looked up.
    void repairBounds_data()
    {
        QTest::addColumn<QString>("examText");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("shown"); // questions of the rebuilt sheet, -1: damaged
        QString questions;
        for (int i = 0; i < 300; ++i)
            questions += QString("|q%1|1|-1").arg(i);
        QTest::newRow("300 questions") << "300" + questions << 201 << -1;
        QTest::newRow("200 of them") << "200" + questions << 200 << 200;
        QString choices = "|q|3|60";
        for (int i = 0; i < 60; ++i)
            choices += QString("|c%1").arg(i);
        QTest::newRow("60 choices") << "2" + choices + "|z|1|-1" << 1 << -1;
    }
    void repairBounds()
    {
        QFETCH(QString, examText);
        QFETCH(int, records);
        QFETCH(int, shown);
        const QString rebuilt = repairAnswers(":q1:::a:[on]c3", examText);
        QCOMPARE(rebuilt.count("<:>1<:>") + rebuilt.count("<:>3<:>"), records);
        QVERIFY(rebuilt.count("<:>[") <= kMaxChoices + 1);
        const QString page = ExtracImtDisplay(rebuilt);
        QCOMPARE(page.isEmpty() ? -1 : page.count("<div id='note'></div>"), shown);
    }

    // The searches of the rebuild, all answered in one pass over the text,
    // find what QString::indexOf finds: words that overlap, end inside one
    // another or repeat, empty words, and starts past the end.
    void firstFoundAsIndexOf()
    {
        std::mt19937 rng(7);
        const QString letters = QStringLiteral("ab:");
        const auto word = [&](int most) {
            QString w;
            for (int n = int(rng() % (most + 1)); n > 0; --n)
                w += letters.at(int(rng() % letters.size()));
            return w;
        };
        int found = 0;
        for (int round = 0; round < 300; ++round) {
            const QString text = word(60);
            FirstFound searches;
            QVector<std::pair<QString, int>> asked;
            for (int n = int(rng() % 40); n > 0; --n) {
                const QString w = word(6);
                const int from = int(rng() % (text.size() + 3));
                asked.append({w, from});
                QCOMPARE(searches.add(w, from), asked.size() - 1);
            }
            searches.run(text);
            for (int i = 0; i < asked.size(); ++i) {
                const int expected = text.indexOf(asked.at(i).first, asked.at(i).second);
                QVERIFY2(searches.at(i) == expected,
                         qPrintable(QStringLiteral("\"%1\" from %2 in \"%3\": %4, not %5")
                                        .arg(asked.at(i).first)
                                        .arg(asked.at(i).second)
                                        .arg(text)
                                        .arg(searches.at(i))
                                        .arg(expected)));
                found += expected >= 0;
            }
        }
        QVERIFY(found > 1000);
    }

    // The rebuild gives what its searches one by one give, on damaged texts
    // and exam texts of a few letters that hold one another's pieces.
    void repairAsSearchBySearch()
    {
        std::mt19937 rng(11);
        const QStringList pieces = {"q", "a", ":", "[on]", "b", "qa", ":q"};
        const auto text = [&](int most) {
            QString t;
            for (int n = int(rng() % (most + 1)); n > 0; --n)
                t += pieces.at(int(rng() % pieces.size()));
            return t;
        };
        for (int round = 0; round < 2000; ++round) {
            const int questions = 1 + int(rng() % 4);
            QString exam = QString::number(questions);
            for (int q = 0; q < questions; ++q) {
                const int type = 1 + int(rng() % 4);
                exam += "|" + text(3) + "|" + QString::number(type);
                if (type == 2 || type == 3) {
                    const int k = int(rng() % 4);
                    exam += "|" + QString::number(k);
                    for (int c = 0; c < k; ++c)
                        exam += "|" + text(2);
                } else {
                    exam += "|-1";
                }
            }
            const QString damaged = text(30);
            QCOMPARE(repairAnswers(damaged, exam), repairedStepByStep(damaged, exam));
        }
    }

    // The rebuilt text renders as a sheet.
    void repairedSheetRenders()
    {
        const QString damaged = "2:q1:::my answer:q2:::[on]b:[on]c";
        QVERIFY(ExtracImtDisplay(damaged).isEmpty());
        const QString page = ExtracImtDisplay(repairAnswers(damaged, "2|q1|1|-1|q2|3|2|b|c"));
        QCOMPARE(page.count("<div id='note'></div>"), 2);
        QVERIFY(page.contains("<span dir='auto'>my answer</span>\n"));
        QVERIFY(page.contains("<input checked  type=radio name=R1><span dir='auto'>b</span><BR>\n"));
    }
};

QTEST_GUILESS_MAIN(TestGradingFormats)
#include "tst_grading_formats.moc"
