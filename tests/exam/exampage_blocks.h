// The question blocks of the exam and review pages, written out literally, and
// the question area of a built page.
#pragma once

#include "core/pure/templates.h"

#include <QString>

inline QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Page text of its own direction, as the builders insert every text.
inline QString iso(const QString &html)
{
    return html.isEmpty() ? QString() : "<span dir='auto'>" + html + "</span>";
}

inline QString limitedBlock(const QString &nu, const QString &soal, const QString &note,
                            const QString &mx)
{
    return u("<div id='soal'>السؤال رقم : ") + nu + "</div>\n<div id='soal2'>" + iso(soal)
           + "</div>\n<div id='soaltxt'>\n<div id='notetxt'>" + note
           + "</div>\n    <form>\n    <div id='msgtxt'></div>\n        <textarea id='texarea' "
             "onkeyup='textchange(this);' maxlength='"
           + mx + "'></textarea>\n        <div id='note'></div>\n    </form>\n</div>\n";
}

inline QString answerBlock(const QString &nu, const QString &soal, const QString &answer)
{
    return u("<div id='soal'>السؤال رقم : ") + nu + "</div>\n<div id='soal2'>" + iso(soal)
           + "</div>\n<div id='soaltxt'>\n    <form>\n        " + answer
           + "\n        <div id='note'></div>\n    </form>\n</div>\n";
}

inline QString checkBlock(const QString &nu, const QString &soal, const QString &choices)
{
    return u("<div id='soal'>السؤال رقم : ") + nu
           + u("</div>\n<div id='soal2'>أشر على الأجوبة الصحيحة</div>\n<div id='soal2'>") + iso(soal)
           + "</div>\n<div id='soaltxt'>\n    <form>\n        " + choices
           + "        <div id='note'></div>\n    </form>\n</div>\n";
}

inline QString radioBlock(const QString &nu, const QString &soal, const QString &choices)
{
    return u("<div id='soal'>السؤال رقم : ") + nu
           + u("</div>\n<div id='soal2'>اختر الجواب الصحيح</div>\n<div id='soal2'>") + iso(soal)
           + "</div>\n<div id='soaltxt'>\n    <form>\n        " + choices
           + "\n        <div id='note'></div>\n    </form>\n</div>\n";
}

inline QString limitNote(int limit)
{
    return u("ملاحظة : غير مسموح بتخطي ") + QString::number(limit) + u(" حرف");
}

inline QString lostAnswerNotice()
{
    return u("<font color='#0000FF'>الإدارة : لم تصل أجوبتك بالعربية لأن جهازك لا يدعم "
             "العربية وقد ألغي من التنقيط</font>");
}

// The blocks of a page built on the page template; "<not a page>" when the
// page is not the template with its question slot filled.
inline QString questionArea(const QString &page)
{
    const QString slot = "<div id='txtab'></div>";
    const int at = htm_table.indexOf(slot);
    const QString head = htm_table.left(at) + "<div id='txtab'>\n";
    const QString tail = "\n</div>" + htm_table.mid(at + slot.size());
    if (!page.startsWith(head) || !page.endsWith(tail) || page.size() < head.size() + tail.size())
        return "<not a page>";
    return page.mid(head.size(), page.size() - head.size() - tail.size());
}
