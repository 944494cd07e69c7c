// The exam page, the answer sheet and the marks page, built from their texts.
#include "core/pure/examtext.h"
#include "core/pure/pages.h"
#include "core/pure/pagetext.h"
#include "core/pure/templates.h"
#include "exampage_blocks.h"

#include <QtTest>

namespace {

const QString check = "<input type=checkbox> ";
const QString radio = "<input type=radio name=R1> ";
const QString onBox = "<input disabled checked type=checkbox>";
const QString offBox = "<input disabled         type=checkbox>";
const QString onRadio = "<input checked  type=radio name=R1>";
const QString offRadio = "<input disabled type=radio name=R1>";

} // namespace

class TestExamPages : public QObject
{
    Q_OBJECT
private slots:
    void noExam_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("zero count") << "0|Q|1|5";
        QTest::newRow("empty count") << "|Q|1|5";
        QTest::newRow("word count") << "x";
        QTest::newRow("empty text") << "";
    }
    void noExam()
    {
        QFETCH(QString, text);
        QCOMPARE(ExtracImtihan(text), QString());
    }

    void examPage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("blocks");
        QTest::newRow("count alone") << "1" << "";
        QTest::newRow("count and bar") << "3|" << "";
        QTest::newRow("no limit") << "1|Q|1|-1" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("limit 200") << "1|Q|1|200" << limitedBlock("1", "Q", limitNote(200), "200");
        QTest::newRow("limit 0") << "1|Q|1|0" << limitedBlock("1", "Q", limitNote(0), "0");
        QTest::newRow("other negative limit") << "1|Q|1|-7" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("word limit means none") << "1|Q|1|abc" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("empty limit means none") << "1|Q|1|" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("missing limit means none") << "1|Q|1" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("overflowing limit means none")
            << "1|Q|1|99999999999" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("check then radio")
            << "2|A|2|2|x|y|B|3|1|z"
            << checkBlock("1", "A", check + iso("x") + "<BR>\n" + check + iso("y") + "<BR>\n")
                   + radioBlock("2", "B", radio + iso("z") + "<BR>\n");
        QTest::newRow("other type takes a number")
            << "3|A|9|B|1|-1" << limitedBlock("2", "B", "", "-1");
        QTest::newRow("word type takes a number")
            << "3|A|x|B|1|-1" << limitedBlock("2", "B", "", "-1");
        QTest::newRow("count beyond the text")
            << "1|A|2|5|x|y" << checkBlock("1", "A", check + iso("x") + "<BR>\n" + check + iso("y") + "<BR>\n");
        QTest::newRow("huge count") << "1|A|3|2147483647|x" << radioBlock("1", "A", radio + iso("x") + "<BR>\n");
        QTest::newRow("zero count then question")
            << "1|A|2|0|B|1|-1" << checkBlock("1", "A", "") + limitedBlock("2", "B", "", "-1");
        QTest::newRow("negative count") << "1|A|3|-4|B|1|-1"
                                        << radioBlock("1", "A", "") + limitedBlock("2", "B", "", "-1");
        QTest::newRow("word count") << "1|A|2|x|B|1|-1"
                                    << checkBlock("1", "A", "") + limitedBlock("2", "B", "", "-1");
        QTest::newRow("missing count") << "1|A|2" << checkBlock("1", "A", "");
        QTest::newRow("count is not a bound")
            << "1|Q1|1|-1|Q2|1|-1|Q3|1|-1"
            << limitedBlock("1", "Q1", "", "-1") + limitedBlock("2", "Q2", "", "-1")
                   + limitedBlock("3", "Q3", "", "-1");
        QTest::newRow("final bar") << "1|Q|1|-1|" << limitedBlock("1", "Q", "", "-1");
        QTest::newRow("arabic") << u("1|ما هو؟|3|2|نعم|لا")
                                << radioBlock("1", u("ما هو؟"),
                                              radio + iso(u("نعم")) + "<BR>\n" + radio + iso(u("لا")) + "<BR>\n");
    }
    void examPage()
    {
        QFETCH(QString, text);
        QFETCH(QString, blocks);
        QCOMPARE(questionArea(ExtracImtihan(text)), blocks);
    }

    // Texts from the server are shown as text, never as markup, and placeholder
    // words inside them stay as written.
    void examPageEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("blocks");
        QTest::newRow("script question")
            << "1|<script>alert(1)</script>|1|-1"
            << limitedBlock("1", "&lt;script&gt;alert(1)&lt;/script&gt;", "", "-1");
        QTest::newRow("markup choices")
            << "1|Q \"x\" & y|2|2|<b>a</b>|<input type=checkbox>"
            << checkBlock("1", "Q &quot;x&quot; &amp; y",
                          check + iso("&lt;b&gt;a&lt;/b&gt;") + "<BR>\n" + check
                              + iso("&lt;input type=checkbox&gt;") + "<BR>\n");
        QTest::newRow("placeholders in question")
            << "1|#soal# #nu# #notetxt# #mx#|1|5"
            << limitedBlock("1", "#soal# #nu# #notetxt# #mx#", limitNote(5), "5");
        QTest::newRow("placeholder in choice")
            << "1|#choi#|3|1|#nu#" << radioBlock("1", "#choi#", radio + iso("#nu#") + "<BR>\n");
        QTest::newRow("slot markup in question")
            << "1|<div id='txtab'></div>|1|-1"
            << limitedBlock("1", "&lt;div id='txtab'&gt;&lt;/div&gt;", "", "-1");
    }
    void examPageEscapes()
    {
        QFETCH(QString, text);
        QFETCH(QString, blocks);
        QCOMPARE(questionArea(ExtracImtihan(text)), blocks);
    }

    void examPageKeepsHeaderSlots()
    {
        const QString page = ExtracImtihan("1|Q|1|-1");
        for (const char *id : {"mada", "userinfo", "velmarinfo", "total"}) {
            const QString slot = QString("<div id='%1'>#%1#</div>").arg(id);
            QCOMPARE(page.count(slot), 1);
        }
        QVERIFY(page.contains("qrc:/Resources/html/stylemac.css"));
    }

    void noSheet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("no separator") << "abc";
        QTest::newRow("cleaned to nothing") << "\r\nab\r\n";
    }
    void noSheet()
    {
        QFETCH(QString, text);
        QCOMPARE(ExtracImtDisplay(text), QString());
    }

    void answerSheet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("blocks");
        QTest::newRow("count alone") << "1<:>" << "";
        QTest::newRow("written") << "1<:>Q<:>1<:>yes" << answerBlock("1", "Q", iso("yes") + "\n");
        QTest::newRow("lost letters")
            << "1<:>Q<:>1<:>a???b" << answerBlock("1", "Q", lostAnswerNotice() + "\n");
        QTest::newRow("check boxes")
            << "1<:>Q<:>2<:>2<:>[on]x<:>[no]y"
            << checkBlock("1", "Q", onBox + iso("x") + "<BR>\n" + offBox + iso("y") + "<BR>\n");
        QTest::newRow("radio buttons")
            << "1<:>Q<:>3<:>2<:>[no]x<:>[on]y"
            << radioBlock("1", "Q", offRadio + iso("x") + "<BR>\n" + onRadio + iso("y") + "<BR>\n");
        QTest::newRow("mark in capitals")
            << "1<:>Q<:>2<:>1<:>[ON]X" << checkBlock("1", "Q", onBox + iso("X") + "<BR>\n");
        QTest::newRow("other mark") << "1<:>Q<:>2<:>1<:>[ok]x" << checkBlock("1", "Q", offBox + iso("x") + "<BR>\n");
        QTest::newRow("short choice fields")
            << "1<:>Q<:>2<:>2<:>[on]<:>ab" << checkBlock("1", "Q", onBox + iso("") + "<BR>\n" + offBox + iso("") + "<BR>\n");
        QTest::newRow("count limits the sheet")
            << "2<:>Q1<:>1<:>a<:>Q2<:>1<:>b<:>Q3<:>1<:>c"
            << answerBlock("1", "Q1", iso("a") + "\n") + answerBlock("2", "Q2", iso("b") + "\n");
        QTest::newRow("first record always read")
            << "0<:>A<:>1<:>a<:>B<:>1<:>b" << answerBlock("1", "A", iso("a") + "\n");
        QTest::newRow("count beyond the records")
            << "5<:>A<:>1<:>a" << answerBlock("1", "A", iso("a") + "\n");
        QTest::newRow("choices beyond the fields")
            << "3<:>Q<:>2<:>5<:>[on]x" << checkBlock("1", "Q", onBox + iso("x") + "<BR>\n");
        QTest::newRow("huge choice count")
            << "3<:>Q<:>3<:>2147483647<:>[on]x<:>[no]y"
            << radioBlock("1", "Q", onRadio + iso("x") + "<BR>\n" + offRadio + iso("y") + "<BR>\n");
        QTest::newRow("zero choices then question")
            << "2<:>A<:>2<:>0<:>B<:>1<:>b" << checkBlock("1", "A", "") + answerBlock("2", "B", iso("b") + "\n");
        QTest::newRow("other type takes a number")
            << "2<:>A<:>9<:>B<:>1<:>b" << answerBlock("2", "B", iso("b") + "\n");
        QTest::newRow("missing answer") << "1<:>Q<:>1" << answerBlock("1", "Q", iso("") + "\n");
        QTest::newRow("missing count") << "1<:>Q<:>3" << radioBlock("1", "Q", "");
        QTest::newRow("case kept") << "1<:>Quiz<:>1<:>Yes" << answerBlock("1", "Quiz", iso("Yes") + "\n");
        QTest::newRow("reply pieces removed")
            << "1<:>Q<:>1<:>a\r\n1f4\r\nb" << answerBlock("1", "Q", iso("ab") + "\n");
    }
    void answerSheet()
    {
        QFETCH(QString, text);
        QFETCH(QString, blocks);
        QCOMPARE(questionArea(ExtracImtDisplay(text)), blocks);
    }

    void answerSheetEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("blocks");
        QTest::newRow("script answer")
            << "1<:>Q<:>1<:><img src=x onerror=alert(1)>"
            << answerBlock("1", "Q", iso("&lt;img src=x onerror=alert(1)&gt;") + "\n");
        QTest::newRow("script question")
            << "1<:><script>x()</script><:>1<:>a"
            << answerBlock("1", "&lt;script&gt;x()&lt;/script&gt;", iso("a") + "\n");
        QTest::newRow("markup choice")
            << "1<:>Q<:>3<:>1<:>[on]<b>&</b>"
            << radioBlock("1", "Q", onRadio + iso("&lt;b&gt;&amp;&lt;/b&gt;") + "<BR>\n");
        QTest::newRow("grade slot in answer")
            << "1<:>Q<:>1<:><div id='note'></div>"
            << answerBlock("1", "Q", iso("&lt;div id='note'&gt;&lt;/div&gt;") + "\n");
        QTest::newRow("placeholders")
            << "1<:>#soal# #nu#<:>1<:>#nu#" << answerBlock("1", "#soal# #nu#", iso("#nu#") + "\n");
        QTest::newRow("quotes and ampersands")
            << "1<:>Q<:>2<:>1<:>[on]say \"hi\" & go"
            << checkBlock("1", "Q", onBox + iso("say &quot;hi&quot; &amp; go") + "<BR>\n");
    }
    void answerSheetEscapes()
    {
        QFETCH(QString, text);
        QFETCH(QString, blocks);
        QCOMPARE(questionArea(ExtracImtDisplay(text)), blocks);
    }

    // An exam holds at most 200 questions of at most 50 choices; a sheet or
    // an exam text that holds more is damaged: no page. Counts that announce
    // more than the text holds do not make it damaged.
    void pageBounds_data()
    {
        QTest::addColumn<QString>("examText");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("questions"); // -1: no page
        QTest::addColumn<int>("choices");   // choice lines in all
        const auto written = [](int from, int n) {
            QString exam, sheet;
            for (int i = from; i < from + n; ++i) {
                exam += QString("|q%1|1|-1").arg(i);
                sheet += QString("<:>q%1<:>1<:>a%1").arg(i);
            }
            return std::make_pair(exam, sheet);
        };
        const auto choice = [](int k, int present) {
            QString exam = QString("|q|2|%1").arg(k), sheet = QString("<:>q<:>2<:>%1").arg(k);
            for (int i = 0; i < present; ++i) {
                exam += QString("|c%1").arg(i);
                sheet += QString("<:>[on]c%1").arg(i);
            }
            return std::make_pair(exam, sheet);
        };
        const auto row = [](const char *name, const QString &count,
                            const std::pair<QString, QString> &records, int questions, int choices) {
            QTest::newRow(name) << count + records.first << count + records.second << questions
                                << choices;
        };
        row("200 questions", "200", written(1, 200), 200, 0);
        row("201 questions", "201", written(1, 201), -1, 0);
        row("count 201, 200 present", "201", written(1, 200), 200, 0);
        const auto others = std::make_pair(QString("|x|9").repeated(200) + "|q|1|-1",
                                           QString("<:>x<:>9").repeated(200) + "<:>q<:>1<:>a");
        row("200 of another type, then one", "201", others, -1, 0);
        row("50 choices", "1", choice(50, 50), 1, 50);
        row("51 choices", "1", choice(51, 51), -1, 0);
        row("51 announced, 50 present", "1", choice(51, 50), 1, 50);
        row("huge choice count, 3 present", "1", choice(2147483647, 3), 1, 3);
    }
    void pageBounds()
    {
        QFETCH(QString, examText);
        QFETCH(QString, answers);
        QFETCH(int, questions);
        QFETCH(int, choices);
        const QString sheet = ExtracImtDisplay(answers);
        // The exam page shows every record present, whatever the count says.
        const QString exam = ExtracImtihan(examText);
        if (questions < 0) {
            QCOMPARE(sheet, QString());
            QCOMPARE(exam, QString());
            QVERIFY(!examHasPage(readExamText(examText)));
            QVERIFY(readExamText(examText).overLimit);
            return;
        }
        QCOMPARE(sheet.count("<div id='note'></div>"), questions);
        QCOMPARE(sheet.count("<input disabled checked type=checkbox>"), choices);
        QCOMPARE(exam.count("<form>"), questions);
        QCOMPARE(exam.count("<input type=checkbox>"), choices);
        QVERIFY(!readExamText(examText).overLimit);
    }

    // A sheet shows only while the web view can lay it out in a moment: at
    // most kMaxSheetChars characters once cleaned, and kMaxSheetFieldChars in
    // any one question, answer or choice. Past either it is damaged.
    void sheetSizeBounds_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("forms"); // -1: no page
        const QString field(kMaxSheetFieldChars, QChar(0x0628));
        const QString over = field + QChar(0x0628);
        // Whole answers of the field bound and one of what is left, up to
        // exactly size characters in all.
        const auto sheetOf = [&](int size) {
            QString text = QStringLiteral("9");
            int n = 0;
            while (text.size() < size) {
                const QString head = QStringLiteral("<:>q%1<:>1<:>").arg(++n);
                text += head + field.left(size - text.size() - head.size());
            }
            return text;
        };
        const QString atBound = sheetOf(kMaxSheetChars);
        QCOMPARE(atBound.size(), kMaxSheetChars);
        QTest::newRow("sheet at the bound") << atBound << int(atBound.count("<:>1<:>"));
        QTest::newRow("one character more") << atBound + "x" << -1;
        // The bound counts what is left after the cleaning.
        QTest::newRow("longer before the cleaning")
            << QStringLiteral("\r\nab\r\n").repeated(64) + atBound << int(atBound.count("<:>1<:>"));
        QTest::newRow("answer at the bound") << "1<:>q<:>1<:>" + field << 1;
        QTest::newRow("answer over it") << "1<:>q<:>1<:>" + over << -1;
        QTest::newRow("answer over it, not the first")
            << "2<:>q<:>1<:>a<:>q<:>1<:>" + over << -1;
        QTest::newRow("question over it") << "1<:>" + over + "<:>1<:>a" << -1;
        QTest::newRow("question of another type over it") << "2<:>" + over + "<:>9<:>q<:>1<:>a" << -1;
        QTest::newRow("choice at the bound") << "1<:>q<:>2<:>1<:>[on]" + field.left(kMaxSheetFieldChars - 4)
                                             << 1;
        QTest::newRow("choice over it") << "1<:>q<:>3<:>2<:>[no]a<:>[on]" + field << -1;
    }
    void sheetSizeBounds()
    {
        QFETCH(QString, answers);
        QFETCH(int, forms);
        const QString sheet = ExtracImtDisplay(answers);
        if (forms < 0)
            QCOMPARE(sheet, QString());
        else
            QCOMPARE(sheet.count("<form>"), forms);
    }

    void marksPage_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows");
        const QString plain = "  <tr align='center'>\n";
        const QString blue = "  <tr align='center' bgcolor='#99CCFF'>\n";
        const QString end = "  </tr>\n";
        const auto cell = [](const QString &html) { return "    <td>" + iso(html) + "</td>\n"; };
        const auto grade = [](const QString &html) {
            return "    <td id='note'>" + iso(html) + "</td>\n";
        };
        QTest::newRow("empty") << "" << plain + grade("") + end;
        QTest::newRow("single cell") << "12" << plain + grade("12") + end;
        QTest::newRow("three rows")
            << "a<:>x@y.z<:>1<::>b<:>2<::>c<:>3"
            << plain + cell("a") + cell("x@y.z") + grade("1") + end + blue + cell("b") + grade("2")
                   + end + plain + cell("c") + grade("3") + end;
        QTest::newRow("markup in a name")
            << "<b>ali</b> & co<:>"
            << plain + cell("&lt;b&gt;ali&lt;/b&gt; &amp; co") + grade("") + end;
    }
    void marksPage()
    {
        QFETCH(QString, table);
        QFETCH(QString, rows);
        const QString slot = "<div id='tr'></div>\n";
        const int at = htm_table_note.indexOf(slot);
        QVERIFY(at > 0);
        QCOMPARE(ExtracNote(table), htm_table_note.left(at) + rows + htm_table_note.mid(at + slot.size()));
        QVERIFY(ExtracNote(table).contains("#mada#"));
    }

    void headerSlots_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("html");
        // Each line in an isolate of its own direction.
        QTest::newRow("one line") << "velmar" << iso("velmar");
        QTest::newRow("line breaks") << "a\nb" << iso("a") + "<br />" + iso("b");
        QTest::newRow("already broken")
            << "a<br />b\nc" << iso("a") + "<br />" + iso("b") + "<br />" + iso("c");
        QTest::newRow("markup") << "<i>x</i>\n&"
                                << iso("&lt;i&gt;x&lt;/i&gt;") + "<br />" + iso("&amp;");
        QTest::newRow("empty line") << "a\n\nb" << iso("a") + "<br /><br />" + iso("b");
    }
    void headerSlots()
    {
        QFETCH(QString, label);
        QFETCH(QString, html);
        QCOMPARE(labelHtml(label), html);
        const QString page = "<div id='velmarinfo'>#velmarinfo#</div>|<div id='mada'>#mada#</div>"
                             "|<div id='velmarinfo'>#velmarinfo#</div>";
        const QString filled = fillSlot(page, "velmarinfo", labelHtml(label));
        QCOMPARE(filled, "<div id='velmarinfo'>" + html + "</div>|<div id='mada'>#mada#</div>"
                             + "|<div id='velmarinfo'>" + html + "</div>");
        // A value holding another slot's placeholder is not filled again.
        QCOMPARE(fillSlot(fillSlot(page, "mada", "#velmarinfo#"), "velmarinfo", "v"),
                 QString("<div id='velmarinfo'>v</div>|<div id='mada'>#velmarinfo#</div>"
                         "|<div id='velmarinfo'>v</div>"));
    }

    // One pass: the nearest key wins, at one place the first key in order;
    // inserted values are never searched again.
    void filling_data()
    {
        QTest::addColumn<QString>("tpl");
        QTest::addColumn<QStringList>("pairs"); // key, value, key, value, ...
        QTest::addColumn<QString>("filled");
        QTest::newRow("no key") << "abc" << QStringList{"x", "y"} << "abc";
        QTest::newRow("every place") << "#a#-#a#-#b#" << QStringList{"#a#", "1", "#b#", "2"}
                                     << "1-1-2";
        QTest::newRow("first key in order at one place")
            << "#ab#" << QStringList{"#a", "A", "#ab#", "AB"} << "Ab#";
        QTest::newRow("longer key first in order") << "#ab#" << QStringList{"#ab#", "AB", "#a", "A"}
                                                   << "AB";
        QTest::newRow("the nearest place wins") << "xyBA" << QStringList{"A", "1", "B", "2"}
                                                << "xy21";
        QTest::newRow("overlap: the first place takes its text")
            << "aab" << QStringList{"ab", "X", "aa", "Y"} << "Yb";
        QTest::newRow("values not searched") << "#a##b#" << QStringList{"#a#", "#b#", "#b#", "B"}
                                             << "#b#B";
        QTest::newRow("empty key ignored") << "ab" << QStringList{"", "X", "b", "B"} << "aB";
        QTest::newRow("key at both ends") << "#x#mid#x#" << QStringList{"#x#", ""} << "mid";
        QTest::newRow("empty template") << "" << QStringList{"a", "b"} << "";
    }
    void filling()
    {
        QFETCH(QString, tpl);
        QFETCH(QStringList, pairs);
        QFETCH(QString, filled);
        Substitutions values;
        for (int i = 0; i + 1 < pairs.size(); i += 2)
            values.append({pairs.at(i), pairs.at(i + 1)});
        QCOMPARE(fillTemplate(tpl, values), filled);
    }

    // A window's title shows the label on one line, also once a page has
    // turned its line breaks into "<br />".
    void labelLines_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("line");
        QTest::newRow("one line") << "Velmar" << "Velmar";
        QTest::newRow("line breaks") << "Velmar\nInstitute" << "Velmar Institute";
        QTest::newRow("as pages leave it") << "Velmar<br />Institute<br />Rabat" << "Velmar Institute Rabat";
        QTest::newRow("both") << "a<br />b\nc" << "a b c";
        QTest::newRow("other markup stays") << "a <b>b</b>" << "a <b>b</b>";
    }
    void labelLines()
    {
        QFETCH(QString, label);
        QFETCH(QString, line);
        QCOMPARE(labelLine(label), line);
    }

    void sameLabels_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("same");
        QTest::newRow("equal") << "x\ny" << "x\ny" << true;
        QTest::newRow("break forms") << "x<br />y" << "x\ny" << true;
        QTest::newRow("case matters") << "X" << "x" << false;
        QTest::newRow("other") << "x y" << "x\ny" << false;
    }
    void sameLabels()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, same);
        QCOMPARE(sameLabel(a, b), same);
    }

    void templates()
    {
        QCOMPARE(htm_table.count("<div id='txtab'></div>"), 1);
        QVERIFY(!htm_table.contains("<form"));
        QCOMPARE(htm_table_note.count("<div id='tr'></div>\n"), 1);
        for (const QString *block : {&htm_Typ1, &htm_Typ11, &htm_Typ2, &htm_Typ3}) {
            QCOMPARE(block->count("<form>"), 1);
            QCOMPARE(block->count("<div id='note'></div>"), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestExamPages)
#include "tst_exampages.moc"
