// The chat markup of outgoing lines and titles, the pairing of tokens, the
// link end scan, tag removal and the one-pass placeholder substitution.
#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/chattemplates.h"
#include "mainwindow/pure/htmlsanitizer.h"

#include <QtTest>

namespace {
const MarkupTokens kTokens = arabicMarkupTokens();
QString ar(const char *utf8) { return QString::fromUtf8(utf8); }
} // namespace

class TestChatMarkup : public QObject
{
    Q_OBJECT
private slots:
    void pairs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one pair") << "a [x] b" << "a <X>x</X> b";
        QTest::newRow("two pairs") << "[a][b]" << "<X>a</X><X>b</X>";
        QTest::newRow("no close") << "a [x" << "a [x";
        QTest::newRow("close before open") << "] [x" << "] [x";
        // A close right after the open does not end the pair.
        QTest::newRow("empty pair stays") << "[]" << "[]";
        QTest::newRow("close right after open, later close")
            << "[]x]" << "<X>]x</X>";
        // The search resumes at the content's second character: an open
        // there pairs with the next close after it (nested output).
        QTest::newRow("open inside content")
            << "[a [b] c]" << "<X>a <X>b</X> c</X>";
        QTest::newRow("open inside content, no second close")
            << "[a [b] c" << "<X>a [b</X> c";
        QTest::newRow("open as the content's first character is skipped")
            << "[[a] b]" << "<X>[a</X> b]";
        QTest::newRow("empty then later pair") << "[][y]" << "<X>][y</X>";
        QTest::newRow("content holds the html") << "[<X>]" << "<X><X></X>";
        QTest::newRow("second unclosed stops") << "[a] [b" << "<X>a</X> [b";
        QTest::newRow("first unclosed stops all") << "[a [b" << "[a [b";
        QTest::newRow("one close taken by the outer pair")
            << "[a[b]c]d]" << "<X>a<X>b</X>c</X>d]";
    }
    void pairs()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Chtxt2htm(text, "[", "]", "<X>", "</X>"), expected);
    }

    void emptyTokensConvertNothing()
    {
        QCOMPARE(Chtxt2htm("abc", "", "]", "<X>", "</X>"), QString("abc"));
        QCOMPARE(Chtxt2htm("a[bc", "[", "", "<X>", "</X>"), QString("a[bc"));
    }

    void linkEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("space") << "http://a.b c" << 0 << 10;
        QTest::newRow("end of text") << "http://a.b" << 0 << 10;
        QTest::newRow("tab") << "x http://a\tb" << 2 << 10;
        QTest::newRow("line feed") << "http://a\nb" << 0 << 8;
        QTest::newRow("nbsp entity") << "http://a&nbsp;b" << 0 << 8;
        QTest::newRow("nbsp char") << QString("http://a") + QChar(0xa0) + "b" << 0 << 8;
        QTest::newRow("space in a tag") << "http://a<span style=\" x:1;\">b</span>c d" << 0 << 37;
        QTest::newRow("closing tag left out") << "http://a</span> d" << 0 << 8;
        QTest::newRow("paragraph break") << "http://a</p>\n<p style=\" m:0;\">b" << 0 << 8;
        QTest::newRow("line break tag") << "http://a<br />b" << 0 << 8;
        QTest::newRow("unterminated tag") << "http://a<span" << 0 << 8;
        QTest::newRow("start past end") << "abc" << 9 << 3;
    }
    void linkEnd()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, end);
        QCOMPARE(Tst3(text, start), end);
    }

    void tagRemoval_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << "abc" << "abc";
        QTest::newRow("tags") << "a<b>b</b><span x='1'>c</span>" << "abc";
        QTest::newRow("lone lt stays") << "a<b>b<c" << "ab<c";
        QTest::newRow("gt alone stays") << "a>b" << "a>b";
    }
    void tagRemoval()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Tst4(text), expected);
    }

    void chatLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString a = "<a target='_blank' href='";
        QTest::newRow("http then words")
            << "see http://example.com/a more words"
            << "see " + a + "http://example.com/a'>http://example.com/a</a> more words";
        QTest::newRow("capitals kept")
            << "HTTP://Example.COM/X y" << a + "HTTP://Example.COM/X'>HTTP://Example.COM/X</a> y";
        QTest::newRow("www gets http")
            << "www.example.com" << a + "http://www.example.com'>www.example.com</a>";
        QTest::newRow("http www is one link")
            << "http://www.example.com x"
            << a + "http://www.example.com'>http://www.example.com</a> x";
        QTest::newRow("https is a link")
            << "https://example.com/p x" << a + "https://example.com/p'>https://example.com/p</a> x";
        QTest::newRow("https www is one https link")
            << "https://www.example.com"
            << a + "https://www.example.com'>https://www.example.com</a>";
        QTest::newRow("mailto")
            << "mailto://ali@example.com x" << a + "mailto://ali@example.com'>mailto://ali@example.com</a> x";
        QTest::newRow("two addresses")
            << "http://a.com http://b.com"
            << a + "http://a.com'>http://a.com</a> " + a + "http://b.com'>http://b.com</a>";
        QTest::newRow("runs to the end")
            << "go http://a.com/x?y=1&amp;z=2" << "go " + a + "http://a.com/x?y=1&amp;z=2'>http://a.com/x?y=1&amp;z=2</a>";
        QTest::newRow("styled span around")
            << "<span style=\" font-weight:600;\">http://a.com</span> x"
            << "<span style=\" font-weight:600;\">" + a + "http://a.com'>http://a.com</a></span> x";
        QTest::newRow("styled span inside")
            << "http://a.<span style=\" color:#ff0000;\">com</span>/x y"
            << a + "http://a.com/x'>http://a.<span style=\" color:#ff0000;\">com</span>/x</a> y";
        QTest::newRow("ends at paragraph")
            << "http://a.com</p>\n<p style=\" margin:0px;\">next"
            << a + "http://a.com'>http://a.com</a></p>\n<p style=\" margin:0px;\">next";
        QTest::newRow("apostrophe cannot leave the address")
            << "http://a.com/'onmouseover='x y"
            << a + "http://a.com/&#39;onmouseover=&#39;x'>http://a.com/'onmouseover='x</a> y";
        QTest::newRow("length-changing lower case before")
            << QString::fromUtf8("\xc4\xb0 http://a.com x")
            << QString::fromUtf8("\xc4\xb0 ") + a + "http://a.com'>http://a.com</a> x";
        QTest::newRow("nothing to do") << "hello <b>there</b>" << "hello <b>there</b>";
        QTest::newRow("address inside a tag is not a link")
            << "<span title='www.a.com'>x</span>" << "<span title='www.a.com'>x</span>";

        const QString img = "<p align='center'><img border='0' src='";
        QTest::newRow("image www keeps host")
            << ar(":صورة:www.example.com/p.png:نه:") << img + "http://www.example.com/p.png'></p>";
        QTest::newRow("image http www keeps host")
            << ar(":صورة:http://www.example.com/p.png:نه:")
            << img + "http://www.example.com/p.png'></p>";
        QTest::newRow("image https")
            << ar(":صورة:https://example.com/p.png:نه:") << img + "https://example.com/p.png'></p>";
        QTest::newRow("image https www")
            << ar(":صورة:https://www.example.com/p.png:نه:")
            << img + "https://www.example.com/p.png'></p>";
        QTest::newRow("image http host starting with s")
            << ar(":صورة:http://site.com/p.png:نه:") << img + "http://site.com/p.png'></p>";
        QTest::newRow("image without scheme stays")
            << ar(":صورة:example.com/p.png:نه:") << ar(":صورة:example.com/p.png:نه:");
        QTest::newRow("image without close stays as typed")
            << ar(":صورة:www.a.com/p.png") << ar(":صورة:www.a.com/p.png");
        QTest::newRow("image https without close stays as typed")
            << ar("x :صورة:https://www.a.com/p.png y") << ar("x :صورة:https://www.a.com/p.png y");
        QTest::newRow("image end right after the address start")
            << ar(":صورة:http://:نه:") << ar(":صورة:http://:نه:");
        QTest::newRow("image then link")
            << ar(":صورة:www.a.com/p.png:نه: www.b.com")
            << img + "http://www.a.com/p.png'></p> " + a + "http://www.b.com'>www.b.com</a>";
        // The token must be followed by the address itself; the address is
        // then an ordinary bare link.
        QTest::newRow("image token before a styled span")
            << ar(":صورة:<span style=\" color:#ff0000;\">www.a.com/p.png</span> :نه:")
            << ar(":صورة:<span style=\" color:#ff0000;\">") + a
                   + "http://www.a.com/p.png'>www.a.com/p.png</a></span> " + ar(":نه:");
        QTest::newRow("image inside a styled span")
            << ar("<span style=\" color:#ff0000;\">:صورة:www.a.com/p.png:نه:</span>")
            << "<span style=\" color:#ff0000;\">" + img + "http://www.a.com/p.png'></p></span>";
        QTest::newRow("many images, one end")
            << ar(":صورة:www.a.com/1.png :صورة:www.b.com/2.png :نه:")
            << img + ar("http://www.a.com/1.png :صورة:www.b.com/2.png '></p>");
        QTest::newRow("image address apostrophe")
            << ar(":صورة:www.a.com/p'q.png:نه:") << img + "http://www.a.com/p&#39;q.png'></p>";

        const QString blink = "<span class='css3-blink'>";
        QTest::newRow("blink") << ar(":وميض:hi:ض:") << blink + "hi</span>";
        QTest::newRow("blink unclosed") << ar(":وميض:hi") << ar(":وميض:hi");
        QTest::newRow("blink empty stays") << ar(":وميض::ض:") << ar(":وميض::ض:");
        QTest::newRow("blink closed by a later end")
            << ar(":وميض::ض:x:ض:") << blink + ar(":ض:x</span>");
        QTest::newRow("blink nested")
            << ar(":وميض:a :وميض:b:ض: c:ض:") << blink + "a " + blink + "b</span> c</span>";
        QTest::newRow("blink with link")
            << ar(":وميض:www.a.com :ض:") << blink + a + "http://www.a.com'>www.a.com</a> </span>";
        QTest::newRow("title tokens stay in a line")
            << ar(":عنوان:x:ن: :رابط:http:نص:") << ar(":عنوان:x:ن: :رابط:http:نص:");
    }
    void chatLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(convertChatLine(text, kTokens), expected);
    }

    void title_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("centred title")
            << ar(":عنوان:Hello:ن:") << "<p align=center><font color=#0000FF><b>Hello</b></font></p>";
        QTest::newRow("explicit link")
            << ar(":رابط:http://a.com:نص:Label:ط:") << "<a target='_blank' href='http://a.com'>Label</a>";
        QTest::newRow("stray link token")
            << ar("x:ط:") << "x</a>";
        QTest::newRow("notice") << ar(":رسالة:hi:ة:") << "<div id='msg'>hi</div>";
        QTest::newRow("empty notice stays") << ar(":رسالة::ة:") << ar(":رسالة::ة:");
        QTest::newRow("audio unclosed stays")
            << ar(":صوت:http://r.com/s.mp3") << ar(":صوت:http://r.com/s.mp3");
        QTest::newRow("blink") << ar(":وميض:hi:ض:") << "<span class='css3-blink'>hi</span>";
        QTest::newRow("audio")
            << ar(":صوت:http://r.com/s.mp3:ت:")
            << "<audio id='radio' src='http://r.com/s.mp3' preload='metadata' autoplay></audio>"
               "<div id='player'><a id='btn-play' class='play-btn-disabled'></a>"
               "<a id='btn-pause' class='pause-btn'></a>"
               "<input id='vol-bar' type=range min=0 max=1 value=1 step=0.1></div>";
        QTest::newRow("image tokens stay in a title")
            << ar(":صورة:www.a.com/p.png:نه:") << ar(":صورة:www.a.com/p.png:نه:");
        QTest::newRow("plain") << "Room one" << "Room one";
    }
    void title()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(convertTitle(title, kTokens), expected);
    }

    void header_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no owner")
            << "Room" << "" << "<div id='headerChatWho'><h2>Room</h2></div>\n";
        QTest::newRow("owner")
            << "Room" << "ali"
            << "<div id='headerChatWho'><h2>Room</h2><p>Owner : <font color=Red>ali</font></p></div>\n";
        QTest::newRow("owner is text")
            << "Room" << "<b>a&'"
            << "<div id='headerChatWho'><h2>Room</h2><p>Owner : <font color=Red>&lt;b&gt;a&amp;&#39;"
               "</font></p></div>\n";
        QTest::newRow("title filtered")
            << "<img src=x onerror=alert(1)><b onclick='x()'>R</b>" << ""
            << "<div id='headerChatWho'><h2><b>R</b></h2></div>\n";
        QTest::newRow("title link filtered")
            << ar(":رابط:javascript:alert(1):نص:go:ط:") << ""
            << "<div id='headerChatWho'><h2><a target=\"_blank\">go</a></h2></div>\n";
        QTest::newRow("title link breakout")
            << ar(":رابط:http://a.com' onmouseover='x:نص:go:ط:") << ""
            << "<div id='headerChatWho'><h2><a target=\"_blank\" href=\"http://a.com\">go</a></h2></div>\n";
        QTest::newRow("audio address breakout")
            << ar(":صوت:http://r.com/s.mp3' onplay='x:ت:") << ""
            << "<div id='headerChatWho'><h2><audio id=\"radio\" src=\"http://r.com/s.mp3' onplay='x\" "
               "preload=\"metadata\" autoplay></audio><div id=\"player\"><a id=\"btn-play\" "
               "class=\"play-btn-disabled\"></a><a id=\"btn-pause\" class=\"pause-btn\"></a>"
               "<input id=\"vol-bar\" type=\"range\" min=\"0\" max=\"1\" value=\"1\" step=\"0.1\">"
               "</div></h2></div>\n";
        QTest::newRow("audio of a local file")
            << ar(":صوت:file:///etc/passwd:ت:") << ""
            << "<div id='headerChatWho'><h2><audio id=\"radio\" preload=\"metadata\" autoplay></audio>"
               "<div id=\"player\"><a id=\"btn-play\" class=\"play-btn-disabled\"></a><a id=\"btn-pause\" "
               "class=\"pause-btn\"></a><input id=\"vol-bar\" type=\"range\" min=\"0\" max=\"1\" "
               "value=\"1\" step=\"0.1\"></div></h2></div>\n";
    }
    void header_plainText_data()
    {
        QTest::addColumn<QString>("text");
        // Tokens in a name never convert, alone or with the caption's colon.
        QTest::newRow("audio") << ar(":صوت:http://r.com/s.mp3:ت:");
        QTest::newRow("after the caption's colon") << ar("صوت:http://r.com/s.mp3:ت:");
        QTest::newRow("link") << ar(":رابط:http://a.com:نص:go:ط:");
        QTest::newRow("notice, blink, title")
            << ar(":رسالة:a:ة::وميض:b:ض::عنوان:c:ن:");
        QTest::newRow("markup") << "<b>x</b>&amp;";
    }
    void header_plainText()
    {
        QFETCH(QString, text);
        const QString title = plainTitleText("Chat To :") + isolatedTitleText(text);
        const QString header = titleHeader(title, QString(), "Owner", kTokens);
        QCOMPARE(header, "<div id='headerChatWho'><h2>" + plainTitleText("Chat To :")
                             + "<span dir=\"auto\">" + plainTitleText(text) + "</span></h2></div>\n");
        for (const char *made : {"<audio", "<a ", "<div id='msg'", "css3-blink", "<p ", "<b>"})
            QVERIFY2(!header.contains(QLatin1String(made)), made);
    }

    void header_truncated()
    {
        const QString marker = "<span class=\"truncated\">cut</span>";
        const QString longTitle(kTitleBounds.text + 10, QLatin1Char('t'));
        const QString header = titleHeader(longTitle, QString(), "Owner", kTokens, marker);
        QCOMPARE(header, "<div id='headerChatWho'><h2>" + QString(kTitleBounds.text, QLatin1Char('t'))
                             + marker + "</h2></div>\n");
        QCOMPARE(titleHeader("short", QString(), "Owner", kTokens, marker),
                 QString("<div id='headerChatWho'><h2>short</h2></div>\n"));
    }

    void header()
    {
        QFETCH(QString, title);
        QFETCH(QString, owner);
        QFETCH(QString, expected);
        QCOMPARE(titleHeader(title, owner, "Owner", kTokens), expected);
    }

    void placeholders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "hi" << "[u|12:00:00|hi]";
        QTest::newRow("text holds time") << "at %time%" << "[u|12:00:00|at %time%]";
        QTest::newRow("text holds txt and user") << "%txt%%user%" << "[u|12:00:00|%txt%%user%]";
        QTest::newRow("percent signs") << "50% %" << "[u|12:00:00|50% %]";
    }
    void placeholders()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(substitutePlaceholders("[%user%|%time%|%txt%]",
                                        {{"%user%", "u"}, {"%txt%", text}, {"%time%", "12:00:00"}}),
                 expected);
    }

    void messageBoxEscapesTheName()
    {
        const QString box = messageBox("<i>a&b", "%time%", "<b>%user%</b>");
        QVERIFY(box.contains("<span class='user'>&lt;i&gt;a&amp;b :</span>"));
        QVERIFY(box.contains("<span class='messagetime'>%time%</span><b>%user%</b>"));
        QVERIFY(box.startsWith(msgTop()));
        QVERIFY(box.endsWith(msgBot()));
    }

    void inputParagraph_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        const QString head = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\n<html><head>"
                             "<style type=\"text/css\">\np, li { white-space: pre-wrap; }\n</style>"
                             "</head><body style=\" font-size:10pt;\">\n";
        QTest::newRow("one paragraph")
            << head + "<p dir='rtl' style=\" margin-top:0px;\">hi <span style=\" color:#ff0000;\">x</span></p></body></html>"
            << "hi <span style=\" color:#ff0000;\">x</span>";
        QTest::newRow("two paragraphs")
            << head + "<p style=\" margin:0px;\">a</p>\n<p style=\" margin:0px;\">b</p></body></html>"
            << "a</p>\n<p style=\" margin:0px;\">b";
        QTest::newRow("no paragraph") << "plain" << "plain";
    }
    void inputParagraph()
    {
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QCOMPARE(::inputParagraph(html), expected);
    }
};

QTEST_APPLESS_MAIN(TestChatMarkup)
#include "tst_chatmarkup.moc"
