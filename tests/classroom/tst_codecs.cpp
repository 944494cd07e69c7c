// Byte codecs, escaping and the packet layout, against literal vectors.
#include "protocol/pure/packet.h"

#include <QTextCodec>
#include <QtTest>

#include <random>

class TestCodecs : public QObject
{
    Q_OBJECT
private slots:
    void integers_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("shortBytes");
        QTest::addColumn<QByteArray>("intBytes");
        QTest::newRow("-3") << -3 << QByteArray::fromHex("fdff") << QByteArray::fromHex("fdffffff");
        QTest::newRow("5") << 5 << QByteArray::fromHex("0500") << QByteArray::fromHex("05000000");
        QTest::newRow("45") << 45 << QByteArray::fromHex("2d00") << QByteArray::fromHex("2d000000");
        QTest::newRow("-32768") << -32768 << QByteArray::fromHex("0080")
                                << QByteArray::fromHex("0080ffff");
        QTest::newRow("258") << 258 << QByteArray::fromHex("0201") << QByteArray::fromHex("02010000");
    }
    void integers()
    {
        QFETCH(int, value);
        QFETCH(QByteArray, shortBytes);
        QFETCH(QByteArray, intBytes);
        QCOMPARE(stc(qint16(value)), shortBytes);
        QCOMPARE(itc(value), intBytes);
        QCOMPARE(int(cts(shortBytes)), value);
        QCOMPARE(cti(intBytes), value);
    }

    void intExtremes()
    {
        QCOMPARE(itc(1048577), QByteArray::fromHex("01001000"));
        QCOMPARE(cti(QByteArray::fromHex("ffffff7f")), 2147483647);
        QCOMPARE(cti(QByteArray::fromHex("00000080")), qint32(-2147483647 - 1));
        // Only the first bytes count.
        QCOMPARE(int(cts(QByteArray::fromHex("fdff99"))), -3);
    }

    void spaces()
    {
        QCOMPARE(Spaces(0, ' '), QByteArray());
        QCOMPARE(Spaces(-4, ' '), QByteArray());
        QCOMPARE(Spaces(3, 'x'), QByteArray("xxx"));
    }

    void escaping_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("all three") << "a@b:c|d" << "a@arp;b@n;c@l;d";
        QTest::newRow("escape lookalike") << "@n;" << "@arp;n;";
        QTest::newRow("arp lookalike") << "@arp;" << "@arp;arp;";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("arabic") << QString::fromUtf8("سلام:|") << QString::fromUtf8("سلام@n;@l;");
    }
    void escaping()
    {
        QFETCH(QString, plain);
        QFETCH(QString, escaped);
        QCOMPARE(Entxt(plain), escaped);
        QCOMPARE(Detxt(escaped), plain);
        QCOMPARE(Entxt(plain.toUtf8()), escaped.toUtf8());
        QCOMPARE(Detxt(escaped.toUtf8()), plain.toUtf8());
    }

    void keepAliveHeader()
    {
        const QByteArray expected = QByteArray::fromHex("2d0000000000") + "KW.TOVEN" + "test"
                                    + QByteArray(28, ' ');
        QCOMPARE(expected.size(), 46);
        QCOMPARE(buildPacket(45, "test", QByteArray()), expected);
    }

    void arabicBodyIsCp1256()
    {
        // "سمرل" is D3 E3 D1 E1 in CP-1256: four bytes, length field 4.
        const QByteArray packet = buildPacket(4, "pm", QString::fromUtf8("سمرل"),
                                              BodyEncoding::Cp1256);
        QCOMPARE(packet.mid(2, 4), QByteArray::fromHex("04000000"));
        QCOMPARE(packet.mid(46), QByteArray::fromHex("d3e3d1e1"));
        const QByteArray utf8 = buildPacket(4, "pm", QString::fromUtf8("سمرل"),
                                            BodyEncoding::Utf8);
        QCOMPARE(utf8.mid(2, 4), QByteArray::fromHex("08000000"));
    }

    void fullNameGetsNoPadding()
    {
        const QByteArray name(32, 'N');
        const QByteArray packet = buildPacket(1, name, QByteArray("x"));
        QCOMPARE(packet.size(), 47);
        QCOMPARE(packet.mid(14, 32), name);
    }

    void headerParse()
    {
        const QByteArray header = QByteArray::fromHex("faff05000000") + "KW.TOVEN" + "  usr"
                                  + QByteArray(27, ' ');
        const PacketHeader h = parseHeader(header);
        QCOMPARE(int(h.code), -6);
        QCOMPARE(h.length, 5);
        QCOMPARE(h.marker, QByteArray("KW.TOVEN"));
        QCOMPARE(h.name, QStringLiteral("usr"));
    }

    // The fast decoder reads every byte as the system's CP-1256 codec does,
    // in long bodies (decoded in blocks) and in their tails alike.
    // Which characters CP-1256 carries, as the codec says, surrogates never.
    void cp1256Encodable()
    {
        QTextCodec *codec = QTextCodec::codecForName("CP-1256");
        QVERIFY(codec);
        int encodable = 0;
        for (uint u = 0; u < 0x10000; ++u) {
            const QChar c{ushort(u)};
            const bool expected = !c.isSurrogate() && codec->canEncode(c);
            QVERIFY2(cp1256CanEncode(c) == expected, qPrintable(QString::number(u, 16)));
            encodable += expected;
        }
        QCOMPARE(encodable, 256);
    }

    void cp1256DecodingAsTheCodec_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        QTest::newRow("every byte") << all;
        QTest::newRow("every byte, shifted") << all.mid(1) + all.left(1) + all;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("white space at both ends") << QByteArray(" \t\xa0usr\xa0 x\r\n\x0b");
        QTest::newRow("only white space") << QByteArray(" \xa0\t ");
        std::mt19937 rng(7);
        for (int size : {1, 7, 8, 9, 63, 64, 65, 127, 129, 1000}) {
            QByteArray mixed;
            for (int i = 0; i < size; ++i)
                mixed += char(rng() % 4 ? 0x20 + rng() % 0x5f : 0x80 + rng() % 0x80);
            QTest::addRow("%d mixed bytes", size) << mixed;
            QTest::addRow("%d ASCII bytes", size) << QByteArray(size, 'a');
        }
    }
    void cp1256DecodingAsTheCodec()
    {
        QFETCH(QByteArray, bytes);
        QTextCodec *codec = QTextCodec::codecForName("CP-1256");
        QVERIFY(codec);
        QCOMPARE(decodeCp1256(bytes), codec->toUnicode(bytes));
        QCOMPARE(decodeCp1256Trimmed(bytes.constData(), bytes.size()),
                 codec->toUnicode(bytes).trimmed());
    }
};

QTEST_GUILESS_MAIN(TestCodecs)
#include "tst_codecs.moc"
