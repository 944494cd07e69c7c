// The launcher's widget-free core: Base64, the configuration file, the entry
// list with its lock and name rules, the login settings of an entry and the
// version decision.
#include "common/webaddress.h"
#include "startup/pure/base64.h"
#include "startup/pure/config.h"
#include "startup/pure/entries.h"
#include "startup/pure/version.h"

#include <QtTest>

namespace {
// An entry of 16 fields with the given ones replaced.
QString entry(const QMap<int, QString> &fields = {})
{
    QStringList f;
    for (int i = 0; i < kEntryFieldCount; ++i)
        f << fields.value(i, QStringLiteral("f%1").arg(i));
    return f.join(QLatin1Char('|'));
}
} // namespace

class TestLauncherCore : public QObject
{
    Q_OBJECT
private slots:
    void base64Rfc4648_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("f") << QByteArray("f") << QByteArray("Zg==");
        QTest::newRow("fo") << QByteArray("fo") << QByteArray("Zm8=");
        QTest::newRow("foo") << QByteArray("foo") << QByteArray("Zm9v");
        QTest::newRow("foob") << QByteArray("foob") << QByteArray("Zm9vYg==");
        QTest::newRow("fooba") << QByteArray("fooba") << QByteArray("Zm9vYmE=");
        QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
        QTest::newRow("high bits") << QByteArray::fromHex("fbff") << QByteArray("+/8=");
        QTest::newRow("zero bytes") << QByteArray(3, '\0') << QByteArray("AAAA");
    }
    void base64Rfc4648()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, encoded);
        QCOMPARE(base64_encode(plain, plain.size()), encoded);
        QCOMPARE(base64_decode(encoded), plain);
        // Padding is optional for the decoder.
        QByteArray unpadded = encoded;
        unpadded.replace('=', "");
        QCOMPARE(base64_decode(unpadded), plain);
    }

    void base64EncodeLength()
    {
        QCOMPARE(base64_encode("foobar", 3), QByteArray("Zm9v"));
        QCOMPARE(base64_encode("foobar", 0), QByteArray());
        QCOMPARE(base64_encode("foobar", -2), QByteArray());
        QCOMPARE(base64_encode("fo", 40), QByteArray("Zm8="));
    }

    void base64DecodeStops_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("one character") << QByteArray("Z") << QByteArray();
        QTest::newRow("lone last character") << QByteArray("Zm9vY") << QByteArray("foo");
        QTest::newRow("line break ends it") << QByteArray("Zm9v\nYmFy") << QByteArray("foo");
        QTest::newRow("= inside a group") << QByteArray("Zm9vY=mFy") << QByteArray("foo");
        QTest::newRow("= after two") << QByteArray("Zm=9v") << QByteArray("f");
        QTest::newRow("blank after three") << QByteArray("Zm9 vYmFy") << QByteArray("fo");
        QTest::newRow("not skipped") << QByteArray("*Zm9v") << QByteArray();
        QTest::newRow("url alphabet is foreign") << QByteArray("Zm9v-_") << QByteArray("foo");
    }
    void base64DecodeStops()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, plain);
        QCOMPARE(base64_decode(text), plain);
    }

    void configuration_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("entry");
        const QString example = QStringLiteral("http://example.org/info.php");
        QTest::newRow("url and entry")
            << QByteArray("aHR0cDovL2V4YW1wbGUub3JnL2luZm8ucGhwfDI=") << example << 2;
        QTest::newRow("line break at the end")
            << QByteArray("aHR0cDovL2V4YW1wbGUub3JnL2luZm8ucGhwfDI=\n") << example << 2;
        QTest::newRow("NUL inside")
            << QByteArray("aHR0cDovL2V4YW1wbGUub3JnL2luZm8ucGhwfDI=\0fDk5", 44) << example << 2;
        QTest::newRow("no separator")
            << QByteArray("aHR0cDovL2V4YW1wbGUub3JnL2luZm8ucGhw") << example << 0;
        QTest::newRow("no default entry")
            << QByteArray("aHR0cDovL2V4YW1wbGUub3JnL2luZm8ucGhwfC0x") << example << -1;
        QTest::newRow("entry not a number")
            << QByteArray("aHR0cDovL2V4YW1wbGUub3JnL2luZm8ucGhwfGFiYw==") << example << 0;
        QTest::newRow("further fields ignored")
            << QByteArray("aHR0cDovLzEyNy4wLjAuMTo4NDcwL3ZlbG1hci5waHB8MHxleHRyYQ==")
            << QStringLiteral("http://127.0.0.1:8470/velmar.php") << 0;
        QTest::newRow("UTF-8") << QByteArray("aHR0cDovL9mF2KvYp9mELm9yZy98MQ==")
                               << QString::fromUtf8("http://مثال.org/") << 1;
        QTest::newRow("empty file") << QByteArray() << QString() << 0;
        QTest::newRow("not Base64") << QByteArray("%%%%") << QString() << 0;
    }
    void configuration()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, url);
        QFETCH(int, entry);
        const VelmarConfig config = parseConfig(file);
        QCOMPARE(config.baseUrl, url);
        QCOMPARE(config.defaultEntry, entry);
    }

    void usefulPartOfReply_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("part");
        QTest::newRow("both markers") << "head<|a|b|>tail<|c|>" << "a|b";
        QTest::newRow("no markers") << "a|b" << "a|b";
        QTest::newRow("only start") << "x<|a|b" << "a|b";
        QTest::newRow("only end") << "a|b|>x" << "a|b";
        QTest::newRow("end before start") << "x|>y<|a" << "a";
        QTest::newRow("empty") << "" << "";
    }
    void usefulPartOfReply()
    {
        QFETCH(QString, body);
        QFETCH(QString, part);
        QCOMPARE(usefulPart(body), part);
    }

    void entryList()
    {
        const QString a = entry({{0, QStringLiteral("A")}});
        const QString b = entry({{0, QStringLiteral("B")}});
        const QStringList both{a, b};
        QCOMPARE(parseEntryList(QStringLiteral("junk<|") + a + "||" + b + "|>more"), both);
        QCOMPARE(parseEntryList(a + "||" + b), both);
        // Short entries (also a trailing "||") are skipped, not read past.
        QCOMPARE(parseEntryList(a + "||x|y|z||" + b + "||"), both);
        QCOMPARE(parseEntryList(QStringLiteral("<html><body>Error|500|x</body></html>")),
                 QStringList());
        QCOMPARE(parseEntryList(QString()), QStringList());
        // More fields than 16 are kept as they are.
        QCOMPARE(parseEntryList(a + "|extra"), QStringList{a + "|extra"});
        QStringList many;
        for (int i = 0; i < kMaxEntries + 5; ++i)
            many << a;
        QCOMPARE(parseEntryList(many.join("||")).size(), kMaxEntries);
        QCOMPARE(entryFields(QStringLiteral("x|y")).size(), kEntryFieldCount);
    }

    void lockRule_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("lock");
        QTest::addColumn<int>("defaultEntry");
        QTest::addColumn<bool>("locked");
        QTest::newRow("no default entry") << 1 << "1" << -1 << false;
        QTest::newRow("other entry") << 1 << "1" << 2 << true;
        QTest::newRow("the default entry") << 2 << "1" << 2 << false;
        QTest::newRow("01 is 1") << 0 << "01" << 2 << true;
        QTest::newRow("0") << 0 << "0" << 2 << false;
        QTest::newRow("2") << 0 << "2" << 2 << false;
        QTest::newRow("empty") << 0 << "" << 2 << false;
        QTest::newRow("not a number") << 0 << "yes" << 2 << false;
    }
    void lockRule()
    {
        QFETCH(int, index);
        QFETCH(QString, lock);
        QFETCH(int, defaultEntry);
        QFETCH(bool, locked);
        QCOMPARE(isLocked(index, lock, defaultEntry), locked);
    }

    void plainNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("name") << "site1" << true;
        QTest::newRow("picture") << "icon1.png" << true;
        QTest::newRow("three dots") << "..." << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("parent path") << "../x.png" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("sub folder") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("NUL") << QString::fromLatin1("a\0b", 3) << false;
    }
    void plainNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(isPlainName(name), plain);
    }

    void webUrls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("web");
        QTest::newRow("http") << "http://127.0.0.1:80/a.png" << true;
        QTest::newRow("https") << "https://example.org/register?x=1" << true;
        QTest::newRow("upper case") << "HTTP://EXAMPLE.ORG/" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("qrc") << "qrc:/Resources/x.png" << false;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("ftp") << "ftp://example.org/" << false;
        QTest::newRow("no host") << "http://" << false;
        QTest::newRow("relative") << "site/a.png" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("at sign alone") << "http://@" << false;
        QTest::newRow("page name read as host") << "http://@station.php?Idrom=1" << false;
        QTest::newRow("empty user name") << "http://@example.org/" << false;
        QTest::newRow("user and password") << "http://user:pw@example.org/" << false;
        QTest::newRow("user name") << "https://user@example.org/" << false;
        QTest::newRow("password") << "http://:pw@example.org/" << false;
        QTest::newRow("backslash before at") << "http://example.org\\@evil.example/" << false;
        QTest::newRow("three slashes") << "http:///x" << false;
        QTest::newRow("blank in host") << "http://exam ple.org/" << false;
        QTest::newRow("leading blank") << " http://example.org/" << false;
        QTest::newRow("without path") << "http://example.org" << true;
    }
    void webUrls()
    {
        QFETCH(QString, text);
        QFETCH(bool, web);
        QCOMPARE(isWebAddress(text), web);
    }

    // An entry's web path is checked itself, not joined with a page name:
    // the entry keeps no path that fails, and so has no pages, while every
    // page of one that passes stays on its host.
    void entryWebPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("page"); // of "station.php?Idrom=1", empty: none
        QTest::newRow("http") << "http://w.example/s1/" << "http://w.example/s1/station.php?Idrom=1";
        QTest::newRow("https") << "https://h/p/" << "https://h/p/station.php?Idrom=1";
        QTest::newRow("capitals") << "HTTP://W.EXAMPLE/" << "http://w.example/station.php?Idrom=1";
        QTest::newRow("port") << "http://127.0.0.1:8086/" << "http://127.0.0.1:8086/station.php?Idrom=1";
        QTest::newRow("prefix of a name") << "http://h/site-" << "http://h/site-station.php?Idrom=1";
        QTest::newRow("blank in the path") << "http://h/a b/" << "http://h/a%20b/station.php?Idrom=1";
        QTest::newRow("at sign alone") << "http://@" << "";
        QTest::newRow("empty user name") << "http://@h/" << "";
        QTest::newRow("user and password") << "http://user:pw@host/" << "";
        QTest::newRow("user name") << "http://user@host/" << "";
        QTest::newRow("backslash before at") << "http://h\\@evil/" << "";
        QTest::newRow("file") << "file:///x/" << "";
        QTest::newRow("ftp") << "ftp://h/" << "";
        QTest::newRow("three slashes") << "http:///x/" << "";
        QTest::newRow("no host") << "http:h/" << "";
        QTest::newRow("script") << "javascript:" << "";
        QTest::newRow("script with a host") << "javascript://h/%0Aalert(1)" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("leading blank") << " http://h/" << "";
        QTest::newRow("blank in host") << "http://h st/" << "";
        // A page name appended to these would become part of the host.
        QTest::newRow("host left open") << "http://h" << "";
        QTest::newRow("port left open") << "http://h:80" << "";
    }
    void entryWebPaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, page);
        const bool kept = !page.isEmpty();
        QCOMPARE(isWebPath(path), kept);
        QCOMPARE(webPage(path, QStringLiteral("station.php?Idrom=1")).toString(QUrl::FullyEncoded),
                 page);
        // Read from a list, the entry stays, with or without its path (an
        // empty field would end the entry in a list).
        const QString text = entry({{3, path}, {4, QStringLiteral("Station.swf")}});
        if (!path.isEmpty())
            QCOMPARE(parseEntryList(QStringLiteral("<|") + text + "|>"), QStringList{text});
        const QStringList fields = entryFields(text);
        QCOMPARE(entryWebPath(fields), kept ? path : QString());
        const EntrySettings s = entrySettings(fields);
        QCOMPARE(s.webPath, kept ? path : QString());
        QCOMPARE(s.stationPath, kept ? path + QStringLiteral("Station.swf") : QString());
    }

    void choiceClamped()
    {
        QCOMPARE(clampChoice(5, 3), 2);
        QCOMPARE(clampChoice(-1, 3), 0);
        QCOMPARE(clampChoice(1, 3), 1);
        QCOMPARE(clampChoice(4, 0), 0);
    }

    void loginSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected"); // name, group, host, web, station,
                                                   // radio, listen, source
        QTest::addColumn<int>("port");
        QTest::addColumn<QByteArray>("auth");
        QTest::newRow("plain") << entry({{0, "Atlas"}, {1, "10.0.0.5"}, {2, "7000"},
                                         {3, "http://w.example/s1/"}, {4, "station.swf"},
                                         {5, "/live1"}, {12, "10.0.0.6:8000"},
                                         {13, "10.0.0.7:8001"}, {14, "hackme"}, {15, "g1"}})
                               << QStringList{"Atlas", "g1", "10.0.0.5", "http://w.example/s1/",
                                              "http://w.example/s1/station.swf", "/live1",
                                              "10.0.0.6:8000", "10.0.0.7:8001"}
                               << 7000 << QByteArray("c291cmNlOmhhY2ttZQ==");
        // "f3" is no web path: these entries have none, nor a station.
        QTest::newRow("prefixes removed")
            << entry({{2, "port"}, {12, "http://www.stream.example:8000"},
                      {13, "http://host/www.x/http://y"}, {14, ""}})
            << QStringList{"f0", "f15", "f1", "", "", "f5", "stream.example:8000", "host/x/y"}
            << 0 << QByteArray("c291cmNlOg==");
        QTest::newRow("case kept") << entry({{12, "HTTP://WWW.a"}, {14, QString::fromUtf8("كلمة")}})
                                   << QStringList{"f0", "f15", "f1", "", "", "f5",
                                                  "HTTP://WWW.a", "f13"}
                                   << 0 << QByteArray("c291cmNlOtmD2YTZhdip");
    }
    void loginSettings()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QFETCH(int, port);
        QFETCH(QByteArray, auth);
        const EntrySettings s = entrySettings(entryFields(text));
        const QStringList got{s.name,        s.group,     s.directoryHost, s.webPath,
                              s.stationPath, s.radioPath, s.listenHost,    s.sourceHost};
        QCOMPARE(got, expected);
        QCOMPARE(s.directoryPort, port);
        QCOMPARE(s.sourceAuth, auth);
    }

    void registrationLink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("href");
        QTest::newRow("web") << "http://example.org/register?a=1" << "http://example.org/register?a=1";
        QTest::newRow("escaped") << "http://x/?a='b'&c=<i>\"d\""
                                 << "http://x/?a=&#39;b&#39;&amp;c=&lt;i&gt;&quot;d&quot;";
        QTest::newRow("script left out") << "javascript:alert('x')" << "";
        QTest::newRow("password left out") << "http://user:pw@example.org/register" << "";
        QTest::newRow("empty") << "" << "";
    }
    void registrationLink()
    {
        QFETCH(QString, link);
        QFETCH(QString, href);
        const QString html = registrationHtml(link, QStringLiteral("Click <here>"));
        QCOMPARE(html,
                 QStringLiteral("<html><head><style type='text/css'>A{text-decoration:none}"
                                "</style></head><body><p align='center'><a href='")
                     + href
                     + QStringLiteral("'><span style=' font-size:10pt; font-weight:600; "
                                      "color:#0000ff;'>Click &lt;here&gt;</span></a></p>"
                                      "</body></html>"));
    }

    void versionDecision_data()
    {
        const QString qt = QString::fromLatin1(qVersion());
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("exam");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("clientOutdated");
        QTest::addColumn<QStringList>("clientArgs");
        QTest::addColumn<bool>("examOutdated");
        QTest::addColumn<QStringList>("examArgs");
        const QStringList examArgs{"/k", "/n", "Tallivor", "2.0.16", "d7", "d7"};
        QTest::newRow("up to date") << "<|3.0.0|x|d2|d3|" + qt + "|u|2.0.16|d7|>" << "2.0.16"
                                    << "u" << false
                                    << QStringList{"/u", "/r", "Dastrel", "3.0.0", "d2", "d3"}
                                    << false << examArgs;
        QTest::newRow("client with field 3")
            << "<|3.0.1||d2|d3|" + qt + "|u|2.0.16|d7|>" << "2.0.16" << "u" << true
            << QStringList{"/u", "/r", "Dastrel", "3.0.1", "d2", "d3"} << false << examArgs;
        QTest::newRow("client without field 3")
            << "<|3.0.1||d2||" + qt + "|u|2.0.16|d7|>" << "2.0.16" << "u" << true
            << QStringList{"/u", "Dastrel", "3.0.1", "d2"} << false << examArgs;
        QTest::newRow("mode n") << "<|3.0.1||d2||" + qt + "|n|2.0.16|d7|>" << "2.0.16" << "n"
                                << true << QStringList() << false << examArgs;
        QTest::newRow("other Qt turns n into c")
            << "<|3.0.1||d2||4.8.7|n|2.0.16|d7|>" << "2.0.16" << "c" << true
            << QStringList{"/c", "Dastrel", "3.0.1", "d2"} << false << examArgs;
        QTest::newRow("exam line break counts") << "<|3.0.0||d2||" + qt + "|u|2.0.16|d7|>"
                                                << "2.0.16\n" << "u" << false
                                                << QStringList{"/u", "Dastrel", "3.0.0", "d2"}
                                                << true << examArgs;
        QTest::newRow("exam missing") << "<|3.0.0||d2||" + qt + "|u|2.0.16|d7|>" << ""
                                      << "u" << false
                                      << QStringList{"/u", "Dastrel", "3.0.0", "d2"} << true
                                      << examArgs;
        QTest::newRow("exam without data") << "<|3.0.0||d2||" + qt + "|u|2.0.17||>" << "2.0.16"
                                           << "u" << false
                                           << QStringList{"/u", "Dastrel", "3.0.0", "d2"}
                                           << true << QStringList();
        QTest::newRow("no markers, more fields")
            << "3.0.0||d2||" + qt + "|u|2.0.16|d7|more" << "2.0.16" << "u" << false
            << QStringList{"/u", "Dastrel", "3.0.0", "d2"} << false << examArgs;
    }
    void versionDecision()
    {
        QFETCH(QString, record);
        QFETCH(QString, exam);
        const QStringList fields = parseVersionRecord(record);
        const VersionDecision d = decideVersions(fields, QStringLiteral("3.0.0"),
                                                 QString::fromLatin1(qVersion()), exam,
                                                 QStringLiteral("Dastrel"));
        QTEST(d.mode, "mode");
        QTEST(d.clientOutdated, "clientOutdated");
        QTEST(d.clientUpdater, "clientArgs");
        QTEST(d.examOutdated, "examOutdated");
        QTEST(d.examUpdater, "examArgs");
    }

    void shortVersionRecord()
    {
        QCOMPARE(parseVersionRecord(QStringLiteral("<|3.0.1|x|y|>")), QStringList());
        QCOMPARE(parseVersionRecord(QStringLiteral("<html>Error</html>")), QStringList());
        const VersionDecision d = decideVersions({QStringLiteral("3.0.1")}, "3.0.0", "5", "", "D");
        QVERIFY(!d.clientOutdated);
        QVERIFY(!d.examOutdated);
        QVERIFY(d.clientUpdater.isEmpty());
    }

    void updateQuestion()
    {
        QCOMPARE(updateMessage(QStringLiteral("now : 1.0.0\noffered : 1.0.1"), "3.0.0", "3.0.1"),
                 QStringLiteral("now : 3.0.0\noffered : 3.0.1"));
        // Without the placeholders (a language without the text) nothing changes.
        QCOMPARE(updateMessage(QStringLiteral("Message sVervion Update"), "3.0.0", "3.0.1"),
                 QStringLiteral("Message sVervion Update"));
        QCOMPARE(updateMessage(QStringLiteral("1.0.0 1.0.1"), "", "2.0.16"),
                 QStringLiteral(" 2.0.16"));
    }
};

QTEST_APPLESS_MAIN(TestLauncherCore)
#include "tst_launcher_core.moc"
