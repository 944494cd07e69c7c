// The body-field reader: splitting, bounds and numbers.
#include "protocol/pure/fields.h"

#include <QtTest>

class TestFields : public QObject
{
    Q_OBJECT
private slots:
    void splitting_data();
    void splitting();
    void numbers_data();
    void numbers();
    void missingFields();
    void nested();
};

void TestFields::splitting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("maxParts");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("bar, empty parts kept") << "a|b||c" << "|" << 0 << QStringList{"a", "b", "", "c"};
    QTest::newRow("trailing bar") << "ali|omar|" << "|" << 0 << QStringList{"ali", "omar", ""};
    QTest::newRow("empty text is one empty field") << "" << "|" << 0 << QStringList{""};
    QTest::newRow("no separator") << "abc" << "|" << 0 << QStringList{"abc"};
    QTest::newRow("double colon") << "ali::bat:1|zowar:0" << "::" << 0
                                  << QStringList{"ali", "bat:1|zowar:0"};
    QTest::newRow("double colon, no overlap") << "a:::b" << "::" << 0 << QStringList{"a", ":b"};
    QTest::newRow("double bar") << "room|x||u1<>u2" << "||" << 0
                                << QStringList{"room|x", "u1<>u2"};
    QTest::newRow("angle pair") << "u1<>u2<>" << "<>" << 0 << QStringList{"u1", "u2", ""};
    QTest::newRow("schedule records") << "t<|||>e1<||>f<|||>e2" << "<|||>" << 0
                                      << QStringList{"t", "e1<||>f", "e2"};
    QTest::newRow("at most two parts") << "host:1:2" << ":" << 2 << QStringList{"host", "1:2"};
    QTest::newRow("at most one part") << "a|b" << "|" << 1 << QStringList{"a|b"};
    QTest::newRow("empty separator") << "a|b" << "" << 0 << QStringList{"a|b"};
    QTest::newRow("arabic") << QString::fromUtf8("علي|عمر") << "|" << 0
                            << QStringList{QString::fromUtf8("علي"), QString::fromUtf8("عمر")};
}

void TestFields::splitting()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(int, maxParts);
    QFETCH(QStringList, parts);
    const Fields f(text, separator, maxParts);
    QCOMPARE(f.count(), parts.size());
    QStringList read;
    for (int i = 0; i < f.count(); ++i)
        read << f.text(i);
    QCOMPARE(read, parts);
    QCOMPARE(f.rest(0), text);
}

void TestFields::numbers_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "12" << 12;
    QTest::newRow("negative") << "-101" << -101;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("surrounding spaces") << " 3 " << 3;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("trailing letters") << "12a" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("hexadecimal") << "0x10" << 0;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("overflow") << "2147483648" << 0;
    QTest::newRow("fraction") << "1.5" << 0;
}

void TestFields::numbers()
{
    QFETCH(QString, field);
    QFETCH(int, value);
    QCOMPARE(Fields("x|" + field, "|").number(1), value);
}

void TestFields::missingFields()
{
    const Fields f("a|b", "|");
    for (int i : {-1, 2, 100}) {
        QCOMPARE(f.has(i), false);
        QCOMPARE(f.text(i), QString());
        QCOMPARE(f.trimmed(i), QString());
        QCOMPARE(f.number(i), 0);
        QCOMPARE(f.rest(i), QString());
        QCOMPARE(f.split(i, ":").count(), 0);
        QCOMPARE(f.split(i, ":").text(0), QString());
    }
    const Fields none;
    QCOMPARE(none.count(), 0);
    QCOMPARE(none.text(0), QString());
    QCOMPARE(none.number(0), 0);
}

void TestFields::nested()
{
    // A login reply: each field is key ":" value; the value is the second part.
    const Fields f("n:ali|i:12|t:-101|g:3|e:mail", "|");
    QCOMPARE(f.split(0, ":").text(1), QStringLiteral("ali"));
    QCOMPARE(f.split(1, ":").number(1), 12);
    QCOMPARE(f.split(2, ":").number(1), -101);
    QCOMPARE(f.split(4, ":").text(1), QStringLiteral("mail"));
    QCOMPARE(f.split(4, ":").text(2), QString());
    QCOMPARE(f.rest(3), QStringLiteral("g:3|e:mail"));
    QCOMPARE(Fields(" id | name ", "|").trimmed(1), QStringLiteral("name"));
}

QTEST_GUILESS_MAIN(TestFields)
#include "tst_fields.moc"
