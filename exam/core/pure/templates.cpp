#include "core/pure/templates.h"

#include "common/wordpieces.h"

namespace {

const QString kRunsScript = QString::fromUtf8(R"JS(// The web view measures a right-to-left run that shares its text node with
// another run (a number, a Latin word, a sign before a number) as if it had
// no width, and draws it over its neighbours: Arabic words, numbers, Latin
// words and signs get text nodes of their own, each starting with its first
// character; blanks stay with what precedes them. It never breaks a line
// inside a right-to-left node either, so each Arabic word after a blank
// starts a node of its own too.
// Long words are cut into pieces by the shared appendCut (wordpieces.h). The
// view lays out each line of an isolate by walking its pieces from the
// isolate's start: the isolate (dir='auto') of a word of thousands of pieces
// becomes an embedding of the same direction.
// Blank 0, right-to-left letter 1, digit 2, left-to-right letter 3, other 4.
function runKind(u) {
    if (u == 32 || (u >= 9 && u <= 13) || u == 0xa0 || u == 0x1680 || (u >= 0x2000 && u <= 0x200a)
        || u == 0x2028 || u == 0x2029 || u == 0x202f || u == 0x205f || u == 0x3000 || u == 0xfeff)
        return 0;
    if ((u >= 48 && u <= 57) || (u >= 0x660 && u <= 0x669) || (u >= 0x6f0 && u <= 0x6f9))
        return 2;
    if (u == 0x60c || u == 0x61b || u == 0x61f || (u >= 0x66a && u <= 0x66d) || u == 0x6d4)
        return 4;
    if ((u >= 0x590 && u <= 0x8ff) || (u >= 0xfb1d && u <= 0xfdff) || (u >= 0xfe70 && u <= 0xfefc))
        return 1;
    if ((u >= 65 && u <= 90) || (u >= 97 && u <= 122) || (u >= 0xc0 && u <= 0x24f)
        || (u >= 0x370 && u <= 0x4ff))
        return 3;
    return 4;
}
var kIsolatePieces = 64;
)JS") + wordPiecesScript() + QString::fromUtf8(R"JS(function isBlank(u) { return runKind(u) == 0; }
function splitRuns(root) {
    var texts = [];
    var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT, null, false);
    while (walker.nextNode()) {
        var name = walker.currentNode.parentNode.nodeName;
        if (name != 'TEXTAREA' && name != 'SCRIPT' && name != 'STYLE')
            texts.push(walker.currentNode);
    }
    // The runs of a node are cut out in one pass: every run but the last
    // becomes a new node (or a <wbr>) before it, and the node keeps the last.
    for (var i = 0; i < texts.length; ++i) {
        var node = texts[i];
        var data = node.data;
        var side = 0;
        var from = 0;
        var parts = [];
        var blank = false;
        for (var k = 0; k < data.length; ++k) {
            var now = runKind(data.charCodeAt(k));
            if (now == 0) {
                blank = true;
                continue;
            }
            var word = blank && now == 1;
            blank = false;
            if (now == side && !word)
                continue;
            if (k > 0) {
                appendCut(parts, data, from, k, isBlank);
                from = k;
            }
            side = now;
        }
        appendCut(parts, data, from, data.length, isBlank);
        if (parts.length < 2)
            continue;
        var before = document.createDocumentFragment();
        var cuts = 0;
        for (var p = 0; p + 1 < parts.length; ++p) {
            if (parts[p] === null) {
                before.appendChild(document.createElement('wbr'));
                ++cuts;
            } else {
                before.appendChild(document.createTextNode(parts[p]));
            }
        }
        var parent = node.parentNode;
        parent.insertBefore(before, node);
        node.data = parts[parts.length - 1];
        if (cuts >= kIsolatePieces && parent.getAttribute('dir') == 'auto')
            parent.style.unicodeBidi = 'embed';
    }
}
document.addEventListener('DOMContentLoaded', function () { splitRuns(document.body); });
)JS");

} // namespace

const QString htm_table = QString::fromUtf8(R"HTML(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml" dir="rtl">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />
<title></title>
<link href="qrc:/Resources/html/stylemac.css" rel="stylesheet" type="text/css" />
</head>
<script type="text/javascript">
function keybordvr(txt) {
    var box = document.activeElement;
    if (box && (box.type == 'text' || box.type == 'textarea')) {
        box.value = box.value + txt;
        var max = parseInt(box.getAttribute('maxlength'), 10);
        if (!isNaN(max) && max > -1 && box.value.length > max)
            box.value = box.value.substring(0, max);
        textchange(box);
        return 'ok';
    }
    alert('من فضلك : ضع المؤشر حيث تريد الكتابة');
    return 'no';
}
function getPosition(element) {
    var x = 0;
    var y = 0;
    while (element) {
        x += element.offsetLeft - element.scrollLeft + element.clientLeft;
        y += element.offsetTop - element.scrollTop + element.clientTop;
        element = element.offsetParent;
    }
    return { x: x, y: y };
}
// The answer box the student types in. The keyboard link takes the focus
// when it is clicked; opening the keyboard gives it back to that box.
var typingBox = null;
document.addEventListener('focus', function (event) {
    var box = event.target;
    if (box && (box.type == 'text' || box.type == 'textarea'))
        typingBox = box;
}, true);
function typingboxback() {
    if (typingBox && document.activeElement !== typingBox)
        typingBox.focus();
}
// Where the focused answer box lies in the view: "left,top,right,bottom",
// or nothing when no answer box has the focus.
function typingboxrect() {
    var box = document.activeElement;
    if (!box || (box.type != 'text' && box.type != 'textarea'))
        return '';
    var r = box.getBoundingClientRect();
    return [r.left, r.top, r.right, r.bottom].join(',');
}
function keyborddel() {
    var box = document.activeElement;
    if (box && (box.type == 'text' || box.type == 'textarea')) {
        box.value = box.value.substring(0, box.value.length - 1);
        textchange(box);
        return 'ok';
    }
    return 'no';
}
function textchange(element) {
    var max = parseInt(element.getAttribute('maxlength'), 10);
    var parent = element.parentNode;
    if (!parent)
        return;
    for (var child = parent.firstChild; child; child = child.nextSibling) {
        if (child.id == 'msgtxt') {
            if (!isNaN(max) && max > -1) {
                child.innerHTML = 'عدد الحروف المتبقية :' + (max - element.value.length);
                splitRuns(child);
            }
            break;
        }
    }
}
)HTML") + kRunsScript + QString::fromUtf8(R"HTML(</script>
<body>
<table id="table1" width="100%" border="0" cellspacing="0" cellpadding="0">
  <tr>
    <td id="top_left"></td>
    <td id="top"></td>
    <td id="top_right"></td>
  </tr>
  <tr>
    <td id="left"></td>
    <td valign="top" dir="rtl">
<div id="txt">
<div id="headtab">
<div id="basmal"><img src="qrc:/Resources/Basmala.png" alt="" /></div>
<div id="title">
<div id='mada'>#mada#</div>
<div id='userinfo'>#userinfo#</div>
<div id='velmarinfo'>#velmarinfo#</div>
<div id='total'>#total#</div>
</div>
</div>
<div id='txtab'></div>
</div>
    </td>
    <td id="right"></td>
  </tr>
  <tr>
    <td id="bot_left"></td>
    <td id="bot"></td>
    <td id="bot_right"></td>
  </tr>
</table>
</body>
</html>
)HTML");

const QString htm_Typ11 = QString::fromUtf8(
    "<div id='soal'>السؤال رقم : #nu#</div>\n"
    "<div id='soal2'>#soal#</div>\n"
    "<div id='soaltxt'>\n"
    "<div id='notetxt'>#notetxt#</div>\n"
    "    <form>\n"
    "    <div id='msgtxt'></div>\n"
    "        <textarea id='texarea' onkeyup='textchange(this);' maxlength='#mx#'></textarea>\n"
    "        <div id='note'></div>\n"
    "    </form>\n"
    "</div>\n");

const QString htm_Typ1 = QString::fromUtf8(
    "<div id='soal'>السؤال رقم : #nu#</div>\n"
    "<div id='soal2'>#soal#</div>\n"
    "<div id='soaltxt'>\n"
    "    <form>\n"
    "        <textarea id='texarea'></textarea>\n"
    "        <div id='note'></div>\n"
    "    </form>\n"
    "</div>\n");

const QString htm_Typ2 = QString::fromUtf8(
    "<div id='soal'>السؤال رقم : #nu#</div>\n"
    "<div id='soal2'>أشر على الأجوبة الصحيحة</div>\n"
    "<div id='soal2'>#soal#</div>\n"
    "<div id='soaltxt'>\n"
    "    <form>\n"
    "        #choi#        <div id='note'></div>\n"
    "    </form>\n"
    "</div>\n");

const QString htm_Typ3 = QString::fromUtf8(
    "<div id='soal'>السؤال رقم : #nu#</div>\n"
    "<div id='soal2'>اختر الجواب الصحيح</div>\n"
    "<div id='soal2'>#soal#</div>\n"
    "<div id='soaltxt'>\n"
    "    <form>\n"
    "        #choi#\n"
    "        <div id='note'></div>\n"
    "    </form>\n"
    "</div>\n");

const QString htm_notxt = QString::fromUtf8(
    "<font color='#0000FF'>الإدارة : لم تصل أجوبتك بالعربية لأن جهازك لا يدعم العربية وقد "
    "ألغي من التنقيط</font>");

const QString htm_table_note = QString::fromUtf8(R"HTML(<!DOCTYPE html>
<html dir="rtl">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />
<title></title>
<link href="qrc:/Resources/html/stylemac.css" rel="stylesheet" type="text/css" />
<script type="text/javascript">
)HTML") + kRunsScript + QString::fromUtf8(R"HTML(</script>
<style type="text/css">
table { border-collapse: collapse; border-spacing: 0; background: #FFC; table-layout: fixed; }
td { border: 1px solid #006; word-wrap: break-word; }
body { font-family: tahoma; font-size: 12px; }
#note { color: #F00; font-weight: bold; }
</style>
</head>
<body dir="rtl">
<div align='center'><strong>#mada#</strong></div><br />
<table width="600" border="0" align="center">
  <tr align="center" bgcolor='#0099FF'>
    <td width="260"><strong>الاسم</strong></td>
    <td width="140"><strong>البريد</strong></td>
    <td width="100"><strong>التاريخ</strong></td>
    <td width="50"><strong>رقمه</strong></td>
    <td width="50" height="40"><strong>النقطة</strong></td>
  </tr>
<div id='tr'></div>
</table>
</body>
</html>
)HTML");
