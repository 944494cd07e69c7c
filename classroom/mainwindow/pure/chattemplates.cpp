#include "mainwindow/pure/chattemplates.h"

#include "mainwindow/pure/chatmarkup.h"
#include "mainwindow/pure/htmlsanitizer.h"

QString chatPageBegin(const QString &listStyleUrl, bool rightToLeft)
{
    QString page = QStringLiteral(
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" dir=\"%1\">\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n"
        "<meta http-equiv=\"Content-Language\" content=\"ar\" />\n"
        "<LINK href='qrc:/Resources/images/format.css' rel='stylesheet' type='text/css'>\n")
        .arg(rightToLeft ? QLatin1String("rtl") : QLatin1String("ltr"));
    if (!listStyleUrl.isEmpty())
        page += QLatin1String("<LINK href='") + escapeHtml(listStyleUrl)
                + QLatin1String("' rel='stylesheet' type='text/css'>\n");
    page += QStringLiteral(
        "<style>ul{target: _balank;}</style>\n</head>\n"
        "<body  style='margin-top: 118px!important;'>\n"
        "<div id='togglebutton'></div>\n"
        "<div id='header'>"
        "<div id='headerImage'><img width='40' height='40' src='qrc:/Resources/images/logo.png'></div>"
        "<div id='headerChatWho'><nobr><h2>velmar</h2></nobr></div>"
        "<div id='headerFill'></div></div>\n"
        "<div class='in content'>\n<div class='messagecontainer'>\n");
    return page;
}

QString chatPageEnd(const QStringList &scriptUrls)
{
    QString page = QStringLiteral("</div>\n</div>\n");
    for (const QString &url : scriptUrls)
        page += QLatin1String("<script type='text/javascript' defer='defer' src='") + escapeHtml(url)
                + QLatin1String("'></script>\n");
    return page + QLatin1String("</body>\n</html>\n");
}

QString messageGroup() { return QStringLiteral("<div class='messagegroup'></div>"); }

QString lineGroup() { return QStringLiteral("<div class='messagelines'></div>"); }

QString msgTop()
{
    return QStringLiteral("<div class='messagebox'>\n<div class='messagetop'>"
                          "<div class='messagetopleft'></div><div class='messagetopcenter'></div>"
                          "<div class='messagetopright'></div></div>\n");
}

QString msgTxt()
{
    return QStringLiteral("<div class='messagemid'>\n<div class='messagemidleft'></div>\n"
                          "<div class='messagemidcenter'>\n<div class='messagetextcontainer'>\n"
                          "<p><b><span class='user'>%user% :</span></b></p>\n"
                          "<div class='message'>\n<div class='nextmessageline'></div>\n"
                          "<p><span class='messagetime'>%time%</span>%txt%</p>\n"
                          "<div id='insert'></div>\n</div>\n</div>\n</div>\n"
                          "<div class='messagemidright'></div>\n</div>\n");
}

QString msgBot()
{
    return QStringLiteral("<div class='messagebot'><div class='messagebotleft'></div>"
                          "<div class='messagebotcenter'></div><div class='messagebotright'></div>"
                          "</div>\n</div>\n");
}

QString messageBox(const QString &user, const QString &timeCell, const QString &text)
{
    return msgTop()
           + substitutePlaceholders(msgTxt(), {{QStringLiteral("%user%"), escapeHtml(user)},
                                               {QStringLiteral("%txt%"), text},
                                               {QStringLiteral("%time%"), timeCell}})
           + msgBot();
}

QString joinedLine(const QString &timeCell, const QString &text)
{
    return QLatin1String("<div class='nextmessageline'></div>\n<p><span class='messagetime'>")
           + timeCell + QLatin1String("</span>") + text + QLatin1String("</p>\n");
}

QString pendingMarker()
{
    return QStringLiteral("<img width='16' height='16' src='qrc:///Resources/images/wait4.gif'>");
}
