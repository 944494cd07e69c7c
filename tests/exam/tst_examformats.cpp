// The exam program's text formats: exam text, answers text, report record and
// file, grading text, and the cleaning of reply pieces.
#include "core/pure/answers.h"
#include "core/pure/examtext.h"
#include "core/pure/grading.h"
#include "core/pure/pages.h"
#include "core/pure/reply.h"
#include "core/pure/pagetext.h"
#include "core/pure/report.h"
#include "support/allocations.h"

#include <QtEndian>
#include <QtTest>
#include <sys/resource.h>
#include <zlib.h>

Q_DECLARE_METATYPE(QVector<PageForm>)
Q_DECLARE_METATYPE(ReportRecord)

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

PageForm box(const QString &text)
{
    PageForm f;
    f.hasTextArea = true;
    f.text = text;
    return f;
}

PageForm buttons(std::initializer_list<bool> states)
{
    PageForm f;
    f.checked = QVector<bool>(states);
    return f;
}

// The qCompress form of zeros bytes of zeros, declaring declared bytes; made
// a piece at a time, so the test itself never holds the zeros.
QByteArray zerosDeclaredAs(qint64 zeros, quint32 declared)
{
    QByteArray out(4, '\0');
    qToBigEndian(declared, out.data());
    z_stream zs = {};
    deflateInit(&zs, Z_BEST_COMPRESSION);
    QByteArray piece(1 << 20, '\0');
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (qint64 left = zeros; left >= 0; left -= piece.size()) {
        const bool last = left <= piece.size();
        zs.next_in = reinterpret_cast<Bytef *>(piece.data());
        zs.avail_in = uInt(last ? left : piece.size());
        int result;
        do {
            zs.next_out = reinterpret_cast<Bytef *>(buffer.data());
            zs.avail_out = uInt(buffer.size());
            result = deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer.constData(), buffer.size() - int(zs.avail_out));
        } while (zs.avail_out == 0 || (last && result != Z_STREAM_END));
        if (last)
            break;
    }
    deflateEnd(&zs);
    return out;
}

// The most memory this process has held so far.
long peakMemoryKb()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

ReportRecord sampleRecord()
{
    return ReportRecord{"2015-05-25_14.12.18",
                        "ali",
                        "ali@x.org",
                        "12",
                        "velmar<br />rabat",
                        "no",
                        "5",
                        "3",
                        "7",
                        "Math test: part 1/2",
                        "2<:>Q1<:>1<:>x y<:>Q2<:>2<:>2<:>[on]A<:>[no]B"};
}

QStringList fieldsOf(const ReportRecord &r)
{
    return {r.stamp, r.nickname, r.mail, r.idUser, r.label, r.group,
            r.examId, r.cohort, r.classNo, r.title, r.answers};
}

} // namespace

class TestExamFormats : public QObject
{
    Q_OBJECT
private slots:
    void examText()
    {
        const ExamText exam = readExamText("4|Q1|1|-1|X|7|Q2|3|2|A|B|Q3|2|3|c");
        QCOMPARE(exam.countText, QString("4"));
        QCOMPARE(exam.questions.size(), 4);
        const ExamQuestion &q1 = exam.questions.at(0);
        QCOMPARE(q1.number, 1);
        QCOMPARE(q1.text, QString("Q1"));
        QCOMPARE(q1.type, 1);
        QCOMPARE(q1.limit(), -1);
        QVERIFY(!exam.questions.at(1).shown());
        QCOMPARE(exam.questions.at(1).number, 2);
        const ExamQuestion &q2 = exam.questions.at(2);
        QCOMPARE(q2.number, 3);
        QCOMPARE(q2.third, QString("2"));
        QCOMPARE(q2.choices, QStringList({"A", "B"}));
        const ExamQuestion &q3 = exam.questions.at(3);
        QCOMPARE(q3.choices, QStringList({"c"}));
        QVERIFY(examHasPage(exam));
        QVERIFY(!examHasPage(readExamText("0|Q|1|-1")));
        QVERIFY(readExamText("3|").questions.isEmpty());
    }

    // The fields as QString::split gives them, one after the other.
    void fieldCursor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::newRow("empty") << "" << "<:>";
        QTest::newRow("one field") << "abc" << "<:>";
        QTest::newRow("empty fields") << "<:>a<:><:>" << "<:>";
        QTest::newRow("overlapping separators") << "a<:<:>:>b<:>>" << "<:>";
        QTest::newRow("bars") << "3|q|1||" << "|";
    }
    void fieldCursor()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        const QStringList expected = text.split(separator);
        FieldCursor cursor(text, separator);
        QStringList taken;
        while (cursor.hasNext()) {
            QCOMPARE(cursor.nextIsLast(), taken.size() == expected.size() - 1);
            const QString peeked = cursor.peek();
            taken << (taken.size() % 2 ? cursor.takeRef().toString() : cursor.take());
            QCOMPARE(taken.last(), peeked);
        }
        QCOMPARE(taken, expected);
        QCOMPARE(cursor.take(), QString());
    }

    void limits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::newRow("none") << "1|Q|1|-1" << -1;
        QTest::newRow("ten") << "1|Q|1|10" << 10;
        QTest::newRow("zero") << "1|Q|1|0" << 0;
        QTest::newRow("word") << "1|Q|1|ten" << -1;
        QTest::newRow("empty") << "1|Q|1|" << -1;
        QTest::newRow("missing") << "1|Q|1" << -1;
        QTest::newRow("negative") << "1|Q|1|-3" << -1;
    }
    void limits()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QCOMPARE(readExamText(text).questions.value(0).limit(), limit);
    }

    void cleanFreeText()
    {
        QCOMPARE(cleanExamFreeText("a|b<c>d"), QString("a b c d"));
        QCOMPARE(cleanExamFreeText("  x  "), QString("  x  "));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("exam");
        QTest::addColumn<QVector<PageForm>>("forms");
        QTest::addColumn<QString>("answers");
        QTest::newRow("worked example")
            << "2|Q1|1|10|Q2|2|2|A|B" << QVector<PageForm>{box("x<y"), buttons({true, false})}
            << "2<:>Q1<:>1<:>x y<:>Q2<:>2<:>2<:>[on]A<:>[no]B";
        QTest::newRow("no question") << "0|" << QVector<PageForm>{} << "0";
        QTest::newRow("untouched box") << "1|Q|1|-1" << QVector<PageForm>{box("")} << "1<:>Q<:>1<:>";
        QTest::newRow("limit zero") << "1|Q|1|0" << QVector<PageForm>{box("abc")} << "1<:>Q<:>1<:>";
        QTest::newRow("no limit") << "1|Q|1|-1" << QVector<PageForm>{box("abcdefgh")}
                                  << "1<:>Q<:>1<:>abcdefgh";
        QTest::newRow("limit five") << "1|Q|1|5" << QVector<PageForm>{box("abcdefgh")}
                                    << "1<:>Q<:>1<:>abcde";
        QTest::newRow("word limit cuts nothing")
            << "1|Q|1|five" << QVector<PageForm>{box("abcdefgh")} << "1<:>Q<:>1<:>abcdefgh";
        QTest::newRow("empty limit cuts nothing")
            << "1|Q|1|" << QVector<PageForm>{box("abcdefgh")} << "1<:>Q<:>1<:>abcdefgh";
        QTest::newRow("missing limit cuts nothing")
            << "1|Q|1" << QVector<PageForm>{box("abc")} << "1<:>Q<:>1<:>abc";
        QTest::newRow("cleaning") << "1|Q|1|-1" << QVector<PageForm>{box("a|b<c>d")}
                                  << "1<:>Q<:>1<:>a:b c d";
        QTest::newRow("separator typed") << "1|Q|1|-1" << QVector<PageForm>{box("x<:>y<::>z")}
                                         << "1<:>Q<:>1<:>x : y :: z";
        QTest::newRow("cut after cleaning") << "1|Q|1|3" << QVector<PageForm>{box("<|>x")}
                                            << "1<:>Q<:>1<:> : ";
        QTest::newRow("line break kept") << "1|Q|1|-1" << QVector<PageForm>{box("a\nb")}
                                         << "1<:>Q<:>1<:>a\nb";
        QTest::newRow("cut keeps surrogate pairs whole")
            << "1|Q|1|1" << QVector<PageForm>{box(u("😀x"))} << "1<:>Q<:>1<:>";
        QTest::newRow("no choices") << "1|Q|2|0" << QVector<PageForm>{buttons({})} << "1<:>Q<:>2<:>0";
        QTest::newRow("all unticked") << "1|Q|3|2|a|b" << QVector<PageForm>{buttons({false, false})}
                                      << "1<:>Q<:>3<:>2<:>[no]a<:>[no]b";
        QTest::newRow("several ticked") << "1|Q|2|3|a|b|c" << QVector<PageForm>{buttons({true, false, true})}
                                        << "1<:>Q<:>2<:>3<:>[on]a<:>[no]b<:>[on]c";
        QTest::newRow("fewer choices than the count")
            << "1|Q|3|3|a|b" << QVector<PageForm>{buttons({false, true})}
            << "1<:>Q<:>3<:>3<:>[no]a<:>[on]b";
        QTest::newRow("fewer states than choices")
            << "1|Q|2|2|a|b" << QVector<PageForm>{buttons({true})} << "1<:>Q<:>2<:>2<:>[on]a<:>[no]b";
        QTest::newRow("other type has no form")
            << "3|X|9|Q|1|-1|R|3|1|r" << QVector<PageForm>{box("ans"), buttons({true})}
            << "3<:>Q<:>1<:>ans<:>R<:>3<:>1<:>[on]r";
        QTest::newRow("more forms than questions")
            << "1|Q|1|-1" << QVector<PageForm>{box("a"), box("b"), buttons({true})} << "1<:>Q<:>1<:>a";
        QTest::newRow("fewer forms than questions")
            << "2|A|1|-1|B|1|-1" << QVector<PageForm>{box("x")} << "2<:>A<:>1<:>x";
        // What the endpoint sent comes back as it was; only typed text is cleaned.
        QTest::newRow("copied texts unchanged")
            << "2|x < y?|1|-1|<b>c</b>|2|1|a>b" << QVector<PageForm>{box("<i>"), buttons({true})}
            << "2<:>x < y?<:>1<:> i <:><b>c</b><:>2<:>1<:>[on]a>b";
        QTest::newRow("arabic") << u("1|سؤال|1|4") << QVector<PageForm>{box(u("جواب طويل"))}
                                << u("1<:>سؤال<:>1<:>جواب");
    }
    void answers()
    {
        QFETCH(QString, exam);
        QFETCH(QVector<PageForm>, forms);
        QFETCH(QString, answers);
        QCOMPARE(composeAnswers(exam, forms), answers);
    }

    // An answers text reads back into one sheet block per question shown.
    void answersReadBack()
    {
        const QString exam = "4|Q1|1|-1|X|8|Q2|2|2|A|B|Q3|3|2|C|D";
        const QString answers =
            composeAnswers(exam, {box("one"), buttons({true, true}), buttons({false, true})});
        QCOMPARE(answers, QString("4<:>Q1<:>1<:>one<:>Q2<:>2<:>2<:>[on]A<:>[on]B"
                                  "<:>Q3<:>3<:>2<:>[no]C<:>[on]D"));
        const QString sheet = ExtracImtDisplay(answers);
        QCOMPARE(sheet.count("<div id='note'></div>"), 3);
        QCOMPARE(sheet.count("<input disabled checked type=checkbox>"), 2);
        QCOMPARE(sheet.count("<input checked  type=radio name=R1><span dir='auto'>D</span>"), 1);
    }

    void stamp()
    {
        QCOMPARE(reportStamp(QDateTime(QDate(2015, 5, 25), QTime(14, 12, 18))),
                 QString("2015-05-25_14.12.18"));
        QCOMPARE(reportStamp(QDateTime(QDate(2015, 3, 1), QTime(0, 5, 9))),
                 QString("2015-03-01_00.05.09"));
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("example") << "Math test: part 1/2"
                                 << u("Math_test__part_1_2_الفوج3_الفصل7_2015-05-25_14.12.18.im");
        QTest::newRow("all cleaned characters")
            << "a:b;c,d\\e?f/g" << u("a_b_c_d_e_f_g_الفوج3_الفصل7_2015-05-25_14.12.18.im");
        QTest::newRow("arabic") << u("الفقه الإسلامي") << u("الفقه_الإسلامي_الفوج3_الفصل7_2015-05-25_14.12.18.im");
        QTest::newRow("climbing out") << "../../etc/passwd"
                                      << u("_._.._etc_passwd_الفوج3_الفصل7_2015-05-25_14.12.18.im");
        QTest::newRow("hidden") << ".x" << u("_x_الفوج3_الفصل7_2015-05-25_14.12.18.im");
        QTest::newRow("control characters") << QString("a\nb") + QChar(0) + "c\t"
                                            << u("a_b_c__الفوج3_الفصل7_2015-05-25_14.12.18.im");
        QTest::newRow("empty") << "" << u("_الفوج3_الفصل7_2015-05-25_14.12.18.im");
    }
    void fileName()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(reportFileName(title, "3", "7", "2015-05-25_14.12.18"), name);
    }

    void longTitleFitsTheFileSystem_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("limit"); // the file system's longest name, 0: the default
        QTest::newRow("latin") << QString(400, 'a') << 0;
        QTest::newRow("arabic") << QString(300, QChar(0x0641)) << 0;
        QTest::newRow("wide") << QString(200, QChar(0x4E00)) << 0;
        QTest::newRow("pairs") << u("😀").repeated(100) << 0;
        QTest::newRow("arabic, 143 bytes") << QString(300, QChar(0x0641)) << 143;
        QTest::newRow("pairs, 143 bytes") << u("😀").repeated(100) << 143;
    }
    void longTitleFitsTheFileSystem()
    {
        QFETCH(QString, title);
        QFETCH(int, limit);
        const QString tail = u("_الفوج3_الفصل7_2015-05-25_14.12.18.im");
        const QString name = limit ? reportFileName(title, "3", "7", "2015-05-25_14.12.18", limit)
                                   : reportFileName(title, "3", "7", "2015-05-25_14.12.18");
        const int most = limit ? limit : 255;
        QVERIFY(name.endsWith(tail));
        QVERIFY(name.toUtf8().size() <= most);
        QVERIFY(name.toUtf8().size() > most - 10);
        const QString kept = name.left(name.size() - tail.size());
        QVERIFY(title.startsWith(kept));
        QVERIFY(!kept.isEmpty() && !kept.back().isHighSurrogate());
    }

    void recordText()
    {
        QCOMPARE(reportRecordText(sampleRecord()),
                 QString("2015-05-25_14.12.18<::>ali<::>ali@x.org<::>12<::>velmar<br />rabat<::>no"
                         "<::>5<::>3<::>7<::>Math test: part 1/2<::>2<:>Q1<:>1<:>x y<:>Q2<:>2<:>2"
                         "<:>[on]A<:>[no]B"));
    }

    void recordRoundTrip_data()
    {
        QTest::addColumn<ReportRecord>("record");
        QTest::addColumn<ReportRecord>("readBack");
        const ReportRecord plain = sampleRecord();
        QTest::newRow("plain") << plain << plain;
        ReportRecord empty;
        QTest::newRow("all empty") << empty << empty;
        ReportRecord hostile = sampleRecord();
        hostile.nickname = "a<::>b";
        hostile.title = "<::><::::>>";
        ReportRecord cleaned = sampleRecord();
        cleaned.nickname = "a<:>b";
        cleaned.title = "<:><::::>>";
        QTest::newRow("separator in a field") << hostile << cleaned;
        ReportRecord inAnswers = sampleRecord();
        inAnswers.answers = "1<:>q<::>x<:>1<:>a";
        QTest::newRow("separator in the answers") << inAnswers << inAnswers;
        // Whatever a page can hold comes back whole, a typed NUL included.
        ReportRecord anyCharacter = sampleRecord();
        anyCharacter.answers = QString::fromUtf16(u"1<:>q<:>1<:>a\0b\x01\r\n\t\x7f\xfeff\xffff\U0001F600\0");
        QTest::newRow("any character in the answers") << anyCharacter << anyCharacter;
    }
    void recordRoundTrip()
    {
        QFETCH(ReportRecord, record);
        QFETCH(ReportRecord, readBack);
        const QString text = reportRecordText(record);
        const auto read = readReportRecord(text);
        QVERIFY(read.has_value());
        QCOMPARE(fieldsOf(*read), fieldsOf(readBack));
        const auto fromFile = decompressReport(compressReport(text));
        QVERIFY(fromFile.has_value());
        QCOMPARE(*fromFile, text);
    }

    void shortRecords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("ten fields") << "0<::>1<::>2<::>3<::>4<::>5<::>6<::>7<::>8<::>9";
        QTest::newRow("other separator") << "0<:>1<:>2<:>3<:>4<:>5<:>6<:>7<:>8<:>9<:>10";
    }
    void shortRecords()
    {
        QFETCH(QString, text);
        QVERIFY(!readReportRecord(text).has_value());
    }

    void elevenFields()
    {
        const auto r = readReportRecord("0<::>1<::>2<::>3<::>4<::>5<::>6<::>7<::>8<::>9<::>");
        QVERIFY(r.has_value());
        QCOMPARE(r->title, QString("9"));
        QCOMPARE(r->answers, QString());
    }

    void compression()
    {
        QCOMPARE(compressReport("abc"), QByteArray::fromHex("00000003789c4b4c4a0600024d0127"));
        QCOMPARE(compressReport(u("سلام")), QByteArray::fromHex("00000008789cbbb1f966cb8de5375b011ae305c6"));
    }

    void decompression_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::newRow("abc") << QByteArray::fromHex("00000003789c4b4c4a0600024d0127") << true << "abc";
        QTest::newRow("arabic") << QByteArray::fromHex("00000008789cbbb1f966cb8de5375b011ae305c6") << true
                                << u("سلام");
        QTest::newRow("nul kept") << qCompress(QByteArray("ab\0cd", 5)) << true
                                  << QString::fromLatin1("ab\0cd", 5);
        QTest::newRow("empty") << QByteArray() << false << "";
        QTest::newRow("header only") << QByteArray::fromHex("00000003") << false << "";
        QTest::newRow("truncated") << QByteArray::fromHex("00000003789c4b4c4a06") << false << "";
        QTest::newRow("wrong size") << QByteArray::fromHex("00000009789c4b4c4a0600024d0127") << false << "";
        QTest::newRow("huge size") << QByteArray::fromHex("7fffffff789c4b4c4a0600024d0127") << false << "";
        QTest::newRow("not compressed") << QByteArray("plain text, not a report") << false << "";
        QTest::newRow("too large") << qCompress(QByteArray(2 << 20, 'a')) + QByteArray(1 << 20, 'x') << false
                                   << "";
    }
    void decompression()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        const auto read = decompressReport(file);
        QCOMPARE(read.has_value(), ok);
        if (ok)
            QCOMPARE(*read, text);
    }

    void boundedUncompress_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("cap");
        QTest::addColumn<bool>("ok");
        const QByteArray abc = QByteArray::fromHex("00000003789c4b4c4a0600024d0127");
        QTest::newRow("within the cap") << abc << 10 << true;
        QTest::newRow("at the cap") << abc << 3 << true;
        QTest::newRow("one past the cap") << abc << 2 << false;
        QTest::newRow("cap zero") << abc << 0 << false;
        QTest::newRow("declared length ignored")
            << QByteArray::fromHex("00000001789c4b4c4a0600024d0127") << 3 << true;
        QTest::newRow("bad checksum") << QByteArray::fromHex("00000003789c4b4c4a0600024d0128") << 3
                                      << false;
        QTest::newRow("unfinished") << QByteArray::fromHex("00000003789c4b4c4a06") << 3 << false;
        QTest::newRow("not zlib") << QByteArray("0000plain text") << 100 << false;
        QTest::newRow("empty stream") << QByteArray::fromHex("00000000") << 100 << false;
    }
    void boundedUncompress()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, cap);
        QFETCH(bool, ok);
        const auto out = uncompressBounded(data, cap);
        QCOMPARE(out.has_value(), ok);
        if (ok)
            QCOMPARE(*out, QByteArray("abc"));
    }

    // A small file that inflates far past its declared length is refused
    // without ever holding what it would inflate to.
    void inflationBomb()
    {
        const QByteArray bomb = zerosDeclaredAs(256 << 20, 100);
        QVERIFY(bomb.size() < kMaxReportFileSize);
        const long before = peakMemoryKb();
        QVERIFY(!decompressReport(bomb).has_value());
        QVERIFY(!uncompressBounded(bomb, kMaxReportTextSize).has_value());
        QVERIFY2(peakMemoryKb() - before < 64 * 1024,
                 qPrintable(QString("peak grew by %1 KB").arg(peakMemoryKb() - before)));
    }

    // What inflating allocates follows what the stream yields, not the length
    // its first four bytes announce.
    void declaredLengthAllocatesNothing()
    {
        const QByteArray small = compressReport(QStringLiteral("abc"));
        QByteArray announcing = small;
        qToBigEndian(quint32(kMaxReportTextSize), announcing.data());
        const allocations::Count before = allocations::sofar();
        QCOMPARE(uncompressBounded(small, kMaxReportTextSize).value_or(QByteArray()),
                 QByteArray("abc"));
        QVERIFY(!decompressReport(announcing).has_value());
        const qint64 asked = (allocations::sofar() - before).bytes;
        QVERIFY2(asked < kMaxReportTextSize / 8, qPrintable(QString("%1 bytes asked").arg(asked)));
    }

    // The stamp in the file name is the first field of the file's record.
    void fileAndRecordAgree()
    {
        const ReportRecord r = sampleRecord();
        const QString name = reportFileName(r.title, r.cohort, r.classNo, r.stamp);
        const auto text = decompressReport(compressReport(reportRecordText(r)));
        QVERIFY(text.has_value());
        QCOMPARE(text->split("<::>").size(), 11);
        QVERIFY(name.endsWith("_" + text->split("<::>").first() + ".im"));
    }

    void grading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("graded");
        QTest::addColumn<float>("grade");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << "" << false << 0.0f << QStringList() << "";
        QTest::newRow("blank") << " \t " << false << 0.0f << QStringList() << "";
        QTest::newRow("marks") << "0::2:3.5:1" << true << 6.5f << QStringList({"2", "3.5", "1"}) << "6.5";
        QTest::newRow("total wins") << "15::2:3" << true << 15.0f << QStringList() << "15";
        QTest::newRow("no marks") << "0::" << true << 0.0f << QStringList({""}) << "0";
        QTest::newRow("word mark") << "0::a:2" << true << 2.0f << QStringList({"a", "2"}) << "2";
        QTest::newRow("direct total") << "12.5::" << true << 12.5f << QStringList() << "12.5";
        QTest::newRow("word total") << "x::4:4" << true << 8.0f << QStringList({"4", "4"}) << "8";
        QTest::newRow("zero without marks") << "0" << true << 0.0f << QStringList() << "0";
        QTest::newRow("word alone") << "abc" << true << 0.0f << QStringList() << "0";
        QTest::newRow("total without marks") << "17.5" << true << 17.5f << QStringList() << "17.5";
        QTest::newRow("marks end at the next pair") << "0::1:2::9" << true << 3.0f
                                                    << QStringList({"1", "2"}) << "3";
        QTest::newRow("single precision") << "0::0.1:0.2" << true << 0.1f + 0.2f
                                          << QStringList({"0.1", "0.2"}) << "0.3";
        QTest::newRow("not finite") << "inf::nan:3" << true << 3.0f << QStringList({"nan", "3"}) << "3";
    }
    void grading()
    {
        QFETCH(QString, text);
        QFETCH(bool, graded);
        QFETCH(float, grade);
        QFETCH(QStringList, marks);
        QFETCH(QString, shown);
        const Grading g = readGrading(text);
        QCOMPARE(g.graded, graded);
        QCOMPARE(g.grade, grade);
        QCOMPARE(g.marks, marks);
        QCOMPARE(ExtracTotaltankit(text), shown);
    }

    void gradeDisplay_data()
    {
        QTest::addColumn<QString>("grading");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<QStringList>("marks"); // "" for a slot left empty
        QTest::addColumn<QString>("total");     // "" for not graded
        QTest::addColumn<bool>("overTwenty");
        QTest::newRow("not graded") << "" << 2 << QStringList({"", ""}) << "" << false;
        QTest::newRow("two marks") << "0::5:7.5" << 2 << QStringList({"5", "7.5"}) << "12.5" << false;
        QTest::newRow("mark beyond the slots") << "0::5:7.5:3" << 2 << QStringList({"5", "7.5"}) << "12.5"
                                               << false;
        QTest::newRow("slots beyond the marks") << "0::5" << 3 << QStringList({"5", "", ""}) << "5" << false;
        QTest::newRow("direct total") << "15::4:4:4" << 3 << QStringList({"", "", ""}) << "15" << false;
        QTest::newRow("word total") << "x::4:4" << 2 << QStringList({"4", "4"}) << "8" << false;
        QTest::newRow("empty marks") << "0::" << 2 << QStringList({"0", ""}) << "0" << false;
        QTest::newRow("over twenty") << "0::18:3" << 2 << QStringList({"18", "3"}) << "21" << true;
        QTest::newRow("twenty") << "0::18:2" << 2 << QStringList({"18", "2"}) << "20" << false;
        QTest::newRow("six digits") << "0::0.1:0.2" << 2 << QStringList({"0.1", "0.2"}) << "0.3" << false;
        QTest::newRow("no slots") << "0::4" << 0 << QStringList() << "0" << false;
        QTest::newRow("zero alone") << "0" << 1 << QStringList({""}) << "0" << false;
        QTest::newRow("word mark") << "0::abc:1" << 2 << QStringList({"0", "1"}) << "1" << false;
    }
    void gradeDisplay()
    {
        QFETCH(QString, grading);
        QFETCH(int, slotCount);
        QFETCH(QStringList, marks);
        QFETCH(QString, total);
        QFETCH(bool, overTwenty);
        QString page = "<div id='total'>#total#</div>";
        QString expected = total.isEmpty()
                               ? u("<div id='total'>لم يتم تصحيح هذا الامتحان بعد</div>")
                               : u("<div id='total'><div id='total'>المجموع : <span id='nokta' "
                                   "dir='rtl'> 20 / <span dir='ltr'>")
                                     + total + "</span></span></div></div>";
        for (int i = 0; i < slotCount; ++i) {
            page += QString("<p>%1</p><div id='note'></div>").arg(i);
            expected += QString("<p>%1</p>").arg(i)
                        + (marks.at(i).isEmpty()
                               ? QString("<div id='note'></div>")
                               : u("<div id='note2'>النقطة : <span id='nokta' dir='ltr'>") + marks.at(i)
                                     + "</span></div>");
        }
        const GradedSheet sheet = fillGrades(page, grading);
        QCOMPARE(sheet.html, expected);
        QCOMPARE(sheet.graded, !total.isEmpty());
        QCOMPARE(sheet.overTwenty, overTwenty);
    }

    // A typed answer that looks like a grade slot takes no mark.
    void gradesGoIntoTheSlots()
    {
        const QString sheet =
            ExtracImtDisplay("2<:>Q1<:>1<:><div id='note'></div><:>Q2<:>2<:>1<:>[on]<div id='note'></div>");
        const GradedSheet graded = fillGrades(sheet, "0::3:4");
        QCOMPARE(graded.html.count("<div id='note2'>"), 2);
        QCOMPARE(graded.html.count("&lt;div id='note'&gt;&lt;/div&gt;"), 2);
        QCOMPARE(graded.total, 7.0f);
    }
};

QTEST_GUILESS_MAIN(TestExamFormats)
#include "tst_examformats.moc"
