// The whitelist filter for chat lines and titles: what our own markup and the
// styled input produce survives; scripts, handlers and foreign addresses do not.
#include "mainwindow/pure/htmlsanitizer.h"

#include <QtTest>

Q_DECLARE_METATYPE(MarkupProfile)

class TestHtmlSanitizer : public QObject
{
    Q_OBJECT
private slots:
    void kept_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("formatting") << "<b>a</b><i>b</i><u>c</u><br>" << "<b>a</b><i>b</i><u>c</u><br>";
        QTest::newRow("styled input")
            << "<span style=\" font-family:'Droid Arabic Kufi'; font-size:12pt; font-weight:600; "
               "color:#ff0000; background-color:rgba(0,0,0,0);\">x</span>"
            << "<span style=\"font-family:'Droid Arabic Kufi'; font-size:12pt; font-weight:600; "
               "color:#ff0000; background-color:rgba(0,0,0,0);\">x</span>";
        QTest::newRow("paragraph")
            << "<p dir='rtl' align=center style=\"-qt-block-indent:0; margin-top:0px;\">x</p>"
            << "<p dir=\"rtl\" align=\"center\" style=\"-qt-block-indent:0; margin-top:0px;\">x</p>";
        QTest::newRow("link")
            << "<a target='_blank' href='http://a.com/x?y=1&amp;z=2'>x</a>"
            << "<a target=\"_blank\" href=\"http://a.com/x?y=1&amp;z=2\">x</a>";
        QTest::newRow("mail link") << "<a href='mailto:a@b.c'>m</a>" << "<a href=\"mailto:a@b.c\">m</a>";
        QTest::newRow("picture")
            << "<p align='center'><img border='0' src='https://a.com/p.png'></p>"
            << "<p align=\"center\"><img border=\"0\" src=\"https://a.com/p.png\"></p>";
        QTest::newRow("blink") << "<span class='css3-blink'>x</span>" << "<span class=\"css3-blink\">x</span>";
        QTest::newRow("whisper frame")
            << "<b><i><font color='#800000'>s</font><br><font color='#000000'>t</font></i></b>"
            << "<b><i><font color=\"#800000\">s</font><br><font color=\"#000000\">t</font></i></b>";
        QTest::newRow("entities stay") << "&lt;script&gt; &amp; &nbsp; &#1587;" << "&lt;script&gt; &amp; &nbsp; &#1587;";
        QTest::newRow("arabic") << QString::fromUtf8("<b>سلام</b>") << QString::fromUtf8("<b>سلام</b>");
        QTest::newRow("upper case tags") << "<B>x</B><A HREF='HTTP://A.COM'>y</A>" << "<b>x</b><a href=\"HTTP://A.COM\">y</a>";
        // One value under two rules is judged by each rule.
        QTest::newRow("same value, other rules")
            << "<p align=\"Left\" dir=\"Left\">x</p><p dir=\"Left\">y</p>"
            << "<p align=\"left\">x</p><p>y</p>";
        QTest::newRow("first of a repeated attribute")
            << "<b style=\"color:red\" style=\"color:blue\">x</b>" << "<b style=\"color:red;\">x</b>";
        QTest::newRow("style in other cases")
            << "<span style='COLOR: Red ; Font-Size:12PX;margin:0 4px'>x</span>"
            << "<span style=\"color:red; font-size:12px; margin:0 4px;\">x</span>";
        QTest::newRow("name that lowers to a kept one")
            << QString::fromUtf8("<stri\u212Ae>x</stri\u212Ae>") << "<strike>x</strike>";
        QTest::newRow("attribute without a value")
            << "<img src='http://a/b.png' alt>" << "<img src=\"http://a/b.png\" alt=\"\">";
        QString many, manyKept;
        for (int i = 0; i < 40; ++i) {
            const QString colour = QStringLiteral("#%1").arg(i % 20, 3, 10, QLatin1Char('0'));
            many += QStringLiteral("<span style='color:%1'>x</span>").arg(colour);
            manyKept += QStringLiteral("<span style=\"color:%1;\">x</span>").arg(colour);
        }
        QTest::newRow("many styles, each again") << many << manyKept;
    }
    void kept()
    {
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QCOMPARE(sanitizeHtml(html), expected);
    }

    void removed_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("script") << "<script>alert(1)</script>hi" << "hi";
        QTest::newRow("script upper") << "<SCRIPT type=text/javascript>alert(1)</SCRIPT >hi" << "hi";
        QTest::newRow("script with close inside string")
            << "<script>var s='</scr'+'ipt>';</script>after" << "after";
        QTest::newRow("unclosed script") << "a<script>alert(1)" << "a";
        QTest::newRow("handler on picture") << "<img src=x onerror=alert(1)>" << "";
        QTest::newRow("handler kept picture")
            << "<img src='http://a/b.png' onerror='alert(1)'>" << "<img src=\"http://a/b.png\">";
        QTest::newRow("handler on text") << "<b onmouseover=\"alert(1)\">x</b>" << "<b>x</b>";
        QTest::newRow("javascript link") << "<a href='javascript:alert(1)'>x</a>" << "<a>x</a>";
        QTest::newRow("entity javascript")
            << "<a href=' jav&#x61;script&colon;alert(1)'>x</a>" << "<a>x</a>";
        QTest::newRow("tab in scheme") << "<a href='java\tscript:alert(1)'>x</a>" << "<a>x</a>";
        QTest::newRow("vbscript") << "<a href='vbscript:msgbox'>x</a>" << "<a>x</a>";
        QTest::newRow("data picture") << "<img src='data:image/png;base64,AAAA'>" << "";
        QTest::newRow("file picture") << "<img src='file:///etc/passwd'>" << "";
        QTest::newRow("relative picture") << "<img src='/p.png'>" << "";
        QTest::newRow("qrc picture") << "<img src='qrc:/Resources/images/logo.png'>" << "";
        QTest::newRow("data link") << "<a href='data:text/html,<script>x</script>'>x</a>" << "<a>x</a>";
        QTest::newRow("style url") << "<span style='background:url(http://x)'>t</span>" << "<span>t</span>";
        QTest::newRow("style expression")
            << "<p style=\"color:expression(alert(1))\">t</p>" << "<p>t</p>";
        QTest::newRow("style position")
            << "<span style='color:red; position:fixed; top:0'>t</span>" << "<span style=\"color:red;\">t</span>";
        QTest::newRow("style escape")
            << "<span style='color:\\72 ed'>t</span>" << "<span>t</span>";
        QTest::newRow("style comment")
            << "<span style='color:red/**/;font-size:1px'>t</span>" << "<span style=\"font-size:1px;\">t</span>";
        // A line break ends a quoted value in the engine's style parser, and
        // what follows would be read as declarations: the attribute goes.
        QTest::newRow("style line break in quotes")
            << "<span style=\"font-family:'a&#10;;position:fixed;top:0;left:0;width:100%;height:100%'\">t</span>"
            << "<span>t</span>";
        QTest::newRow("style raw line break in quotes")
            << "<span style=\"color:red; font-family:'a\n;position:fixed;z-index:99'\">t</span>"
            << "<span>t</span>";
        QTest::newRow("style carriage return and form feed")
            << "<span style=\"font-family:'a&#13;b&#12;'\">t</span>" << "<span>t</span>";
        QTest::newRow("style control character")
            << "<span style=\"color:red&#1;\">t</span>" << "<span>t</span>";
        QTest::newRow("style negative margin")
            << "<p style='margin-top:-5000px; margin:-10px 0; margin-left:0px'>t</p>"
            << "<p style=\"margin-left:0px;\">t</p>";
        QTest::newRow("style large margin") << "<p style='margin-bottom:3000px'>t</p>" << "<p>t</p>";
        QTest::newRow("style user modify")
            << "<span style='-webkit-user-modify:read-write; color:red'>t</span>"
            << "<span style=\"color:red;\">t</span>";
        QTest::newRow("style negative indent") << "<p style='text-indent:-9999px'>t</p>" << "<p>t</p>";
        QTest::newRow("style huge font") << "<span style='font-size:5000px'>t</span>" << "<span>t</span>";
        QTest::newRow("style vertical shift")
            << "<span style='vertical-align:-900px'>t</span><span style='vertical-align:super'>u</span>"
            << "<span>t</span><span style=\"vertical-align:super;\">u</span>";
        QTest::newRow("style squeezed lines") << "<p style='line-height:0'>t</p>" << "<p>t</p>";
        QTest::newRow("style transform and display")
            << "<span style='-webkit-transform:translate(0,-500px); display:block; float:left; "
               "opacity:0; z-index:9; top:0; width:9999px; pointer-events:none'>t</span>"
            << "<span>t</span>";
        QTest::newRow("style last value counts")
            << "<span style='color:red; color:blue'>t</span>" << "<span style=\"color:blue;\">t</span>";
        QTest::newRow("address too long")
            << "<a href='http://a.com/" + QString(kMaxAddressLength, 'x') + "'>t</a>" << "<a>t</a>";
        QTest::newRow("comment") << "<!-- <script>alert(1)</script> -->x" << "x";
        QTest::newRow("style element") << "<style>body{display:none}</style>x" << "x";
        QTest::newRow("iframe") << "<iframe src='http://x'>in</iframe>y" << "y";
        QTest::newRow("svg") << "<svg onload=alert(1)><script>alert(1)</script></svg>z" << "z";
        QTest::newRow("math") << "<math><mi xlink:href='javascript:x'>m</mi></math>z" << "z";
        QTest::newRow("object") << "<object data='http://x/y.swf'><embed src='y.swf'></object>z" << "z";
        QTest::newRow("meta refresh") << "<meta http-equiv='refresh' content='0;url=http://x'>m" << "m";
        QTest::newRow("base") << "<base href='http://evil/'>b" << "b";
        QTest::newRow("link element") << "<link rel=stylesheet href='http://x/a.css'>l" << "l";
        QTest::newRow("form") << "<form action='http://x'><input name=a><button>b</button></form>" << "b";
        QTest::newRow("audio in a line") << "<audio src='http://x/a.mp3' autoplay></audio>a" << "a";
        QTest::newRow("page ids") << "<div id='insert'>x</div>" << "<div>x</div>";
        QTest::newRow("page classes")
            << "<span class='messagetime css3-blink user'>x</span>" << "<span class=\"css3-blink\">x</span>";
        QTest::newRow("target other than blank")
            << "<a target='_self' href='http://a'>x</a>" << "<a href=\"http://a\">x</a>";
        QTest::newRow("doctype and pi") << "<!DOCTYPE html><?xml x?>t" << "t";
    }
    void removed()
    {
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QCOMPARE(sanitizeHtml(html), expected);
    }

    void broken_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unclosed") << "<b>x" << "<b>x</b>";
        QTest::newRow("stray close") << "</i>x" << "x";
        QTest::newRow("crossed") << "<b><i>x</b>y</i>" << "<b><i>x</i></b>y";
        QTest::newRow("lone lt gt amp") << "a < b > c & d" << "a &lt; b &gt; c &amp; d";
        QTest::newRow("double lt") << "<<b>>" << "&lt;<b>&gt;</b>";
        QTest::newRow("unterminated tag") << "x<a href='http://x>text" << "x";
        QTest::newRow("unterminated unquoted") << "x<b" << "x";
        QTest::newRow("attribute without value") << "<b foo bar=>x</b>" << "<b>x</b>";
        QTest::newRow("repeated attribute first wins")
            << "<a href='http://a' href='javascript:x'>x</a>" << "<a href=\"http://a\">x</a>";
        QTest::newRow("slash between attributes")
            << "<img/src='http://a/p.png'/onerror=x>" << "<img src=\"http://a/p.png\">";
        QTest::newRow("quote in value") << "<font face='a\"b'>x</font>" << "<font>x</font>";
        QTest::newRow("nul") << QString("a") + QChar(0) + "b" << "ab";
        // Nested as the engine would build it, so that it builds nothing more.
        QTest::newRow("paragraph closes paragraph")
            << "<p>a<b>b<p>c</b>d" << "<p>a<b>b</b></p><p>cd</p>";
        QTest::newRow("division closes paragraph")
            << "<p><i>a<div>b</div>c</i></p>" << "<p><i>a</i></p><div>b</div>c";
        QTest::newRow("division in division stays") << "<div><div>a</div></div>" << "<div><div>a</div></div>";
        QTest::newRow("link closes link")
            << "<a href='http://a'>x<b><a href='http://b'>y</a></b></a>"
            << "<a href=\"http://a\">x<b></b></a><a href=\"http://b\">y</a>";
        QTest::newRow("empty") << "" << "";
    }
    void broken()
    {
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QCOMPARE(sanitizeHtml(html), expected);
    }

    void profiles_data()
    {
        QTest::addColumn<MarkupProfile>("profile");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("title audio")
            << MarkupProfile::Title
            << "<audio id='radio' src='https://r.com/s.mp3' preload='metadata' autoplay onplay='x'></audio>"
            << "<audio id=\"radio\" src=\"https://r.com/s.mp3\" preload=\"metadata\" autoplay></audio>";
        QTest::newRow("title audio bad address")
            << MarkupProfile::Title << "<audio src='javascript:x' autoplay></audio>"
            << "<audio autoplay></audio>";
        QTest::newRow("title notice") << MarkupProfile::Title << "<div id='msg'>n</div>" << "<div id=\"msg\">n</div>";
        QTest::newRow("title other id") << MarkupProfile::Title << "<div id='insert'>n</div>" << "<div>n</div>";
        QTest::newRow("title volume")
            << MarkupProfile::Title << "<input id='vol-bar' type=range min=0 max=1 value=1 step=0.1 oninput='x'>"
            << "<input id=\"vol-bar\" type=\"range\" min=\"0\" max=\"1\" value=\"1\" step=\"0.1\">";
        QTest::newRow("title text input")
            << MarkupProfile::Title << "<input type=text value='javascript:x'>" << "";
        QTest::newRow("line player buttons")
            << MarkupProfile::Line << "<a id='btn-play' class='play-btn'>p</a>" << "<a>p</a>";
    }
    void profiles()
    {
        QFETCH(MarkupProfile, profile);
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QCOMPARE(sanitizeHtml(html, profile), expected);
    }

    // Where the nesting would draw text larger than the bound, the element
    // gets the bound as its size, in its style at the style's place; the
    // result filters to itself.
    void drawnSize_data()
    {
        QTest::addColumn<MarkupProfile>("profile");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        const QString percent = QStringLiteral("<span style='font-size:300%'>");
        QTest::newRow("second 300%") << MarkupProfile::Line << percent + percent + "x"
                                     << "<span style=\"font-size:300%;\"><span style=\"font-size:48px;\">x</span></span>";
        QTest::newRow("first 300% of a title") << MarkupProfile::Title << percent + "x"
                                               << "<span style=\"font-size:48px;\">x</span>";
        QTest::newRow("other declarations stay")
            << MarkupProfile::Line
            << percent + "<span style='color:red; font-size:3em; font-weight:bold'>x"
            << "<span style=\"font-size:300%;\"><span style=\"color:red; font-size:48px; "
               "font-weight:bold;\">x</span></span>";
        QTest::newRow("style before other attributes")
            << MarkupProfile::Line << percent + "<font style='font-size:200%' color=red>x"
            << "<span style=\"font-size:300%;\"><font style=\"font-size:48px;\" color=\"red\">x</font></span>";
        QTest::newRow("an element without a style")
            << MarkupProfile::Line << "<font size=7><big title=t>x"
            << "<font size=\"7\"><big style=\"font-size:48px;\">x</big></font>";
        QTest::newRow("within the bound") << MarkupProfile::Line << "<font size=7><small>x"
                                          << "<font size=\"7\"><small>x</small></font>";
        QTest::newRow("lone monospace named twice")
            << MarkupProfile::Line << "<span style='font-family: MONOSPACE'>a</span><font face=monospace>b"
            << "<span style=\"font-family:monospace, monospace;\">a</span>"
               "<font face=\"monospace, monospace\">b</font>";
        QTest::newRow("monospace among others")
            << MarkupProfile::Line << "<span style=\"font-family:'a', monospace\">a"
            << "<span style=\"font-family:'a', monospace;\">a</span>";
    }
    void drawnSize()
    {
        QFETCH(MarkupProfile, profile);
        QFETCH(QString, html);
        QFETCH(QString, expected);
        const QString out = sanitizeHtml(html, profile);
        QCOMPARE(out, expected);
        QCOMPARE(sanitizeHtml(out, profile), out);
    }

    void bounds_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("truncated");
        const MarkupBounds small{8, 3, 60};
        Q_UNUSED(small);
        QTest::newRow("within") << "<b>abc</b>" << "<b>abc</b>" << false;
        QTest::newRow("text exactly") << "12345678" << "12345678" << false;
        QTest::newRow("text over") << "123456789" << "12345678" << true;
        QTest::newRow("a reference is one character")
            << "&amp;&#1587;&lt;&gt;&nbsp;678x" << "&amp;&#1587;&lt;&gt;&nbsp;678" << true;
        QTest::newRow("escaped text is one character") << "<>&<>&<>&" << "&lt;&gt;&amp;&lt;&gt;&amp;&lt;&gt;" << true;
        QTest::newRow("surrogate pair is one character")
            << QString::fromUtf8("1234567\U0001F600x") << QString::fromUtf8("1234567\U0001F600") << true;
        QTest::newRow("elements over, open ones closed")
            << "<b><i><u>a<s>b</s></u></i></b>" << "<b><i><u>a</u></i></b>" << true;
        QTest::newRow("output over")
            << "<span style='font-family:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'>x</span>y"
            << "" << true;
        QTest::newRow("dropped markup costs nothing")
            << "<x><y><z><script>s</script>" + QString(50, ' ').replace(" ", "<q>") + "abc"
            << "abc" << false;
    }
    void bounds()
    {
        QFETCH(QString, html);
        QFETCH(QString, expected);
        QFETCH(bool, truncated);
        const MarkupBounds small{8, 3, 60};
        bool cut = !truncated;
        const QString out = sanitizeHtml(html, MarkupProfile::Line, small, &cut);
        QCOMPARE(out, expected);
        QCOMPARE(cut, truncated);
        QVERIFY(out.size() <= small.output);
        // Filtering the result again with the same bounds cuts nothing more.
        cut = true;
        QCOMPARE(sanitizeHtml(out, MarkupProfile::Line, small, &cut), out);
        QVERIFY(!cut);
    }

    void lineBoundsOfAHugeLine_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("truncated");
        QTest::newRow("ampersands") << "&" << true;
        QTest::newRow("bold") << "<b>x</b>" << true;
        // Nesting stops at the depth bound; what is left is its text.
        QTest::newRow("nested styled blocks")
            << "<div style='margin-left:10px'><p style='font-size:12pt'><span style='color:red'>x"
            << false;
        QTest::newRow("words") << QString::fromUtf8("مرحبا Hello ") << true;
    }
    void lineBoundsOfAHugeLine()
    {
        QFETCH(QString, unit);
        QFETCH(bool, truncated);
        const QString huge = unit.repeated(1024 * 1024 / unit.size());
        bool cut = false;
        const QString out = sanitizeHtml(huge, MarkupProfile::Line, kLineBounds, &cut);
        QCOMPARE(cut, truncated);
        QVERIFY(out.size() <= kLineBounds.output);
        QVERIFY(out.count(QLatin1Char('<')) / 2 <= kLineBounds.elements);
        QCOMPARE(sanitizeHtml(out, MarkupProfile::Line, kLineBounds, &cut), out);
        QVERIFY(!cut);
    }

    void nestingIsBounded()
    {
        const QString deep = QString("<b>").repeated(1000) + "x";
        const QString out = sanitizeHtml(deep);
        QCOMPARE(out.count("<b>"), kMaxMarkupDepth);
        QCOMPARE(out.count("</b>"), kMaxMarkupDepth);
        QVERIFY(out.contains("x"));
    }

    void fixedPoint_data()
    {
        removed_data();
    }
    void fixedPoint()
    {
        QFETCH(QString, html);
        const QString once = sanitizeHtml(html, MarkupProfile::Title);
        QCOMPARE(sanitizeHtml(once, MarkupProfile::Title), once);
        const QString line = sanitizeHtml(html);
        QCOMPARE(sanitizeHtml(line), line);
    }

    void urls_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("picture");
        QTest::newRow("http") << "http://a.com" << true << true;
        QTest::newRow("https upper") << "HTTPS://a.com" << true << true;
        QTest::newRow("mailto") << "mailto:a@b.c" << true << false;
        QTest::newRow("javascript") << "javascript:alert(1)" << false << false;
        QTest::newRow("leading blank") << "  http://a.com" << true << true;
        QTest::newRow("control inside") << "ht\ntp://a.com" << true << true;
        QTest::newRow("scheme only") << "http://" << false << false;
        QTest::newRow("file") << "file:///etc/passwd" << false << false;
        QTest::newRow("ftp") << "ftp://a.com" << false << false;
        QTest::newRow("relative") << "a.com" << false << false;
    }
    void urls()
    {
        QFETCH(QString, url);
        QFETCH(bool, link);
        QFETCH(bool, picture);
        QCOMPARE(isSafeLinkUrl(url), link);
        QCOMPARE(isSafePictureUrl(url), picture);
    }

    void escaping()
    {
        QCOMPARE(escapeHtml("<a href=\"x\">'&"), QString("&lt;a href=&quot;x&quot;&gt;&#39;&amp;"));
    }
};

QTEST_APPLESS_MAIN(TestHtmlSanitizer)
#include "tst_htmlsanitizer.moc"
