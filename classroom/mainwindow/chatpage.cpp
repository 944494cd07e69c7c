#include "mainwindow/chatpage.h"

#include "common/wordpieces.h"

#include <QNetworkAccessManager>
#include <QWebElement>
#include <QNetworkRequest>
#include <QWebSettings>

namespace {

// Refuses every request whose scheme is not allowed; the engine then gets an
// error reply and shows nothing.
class FilteringNetwork : public QNetworkAccessManager
{
public:
    FilteringNetwork(bool remote, QObject *parent)
        : QNetworkAccessManager(parent), m_remote(remote)
    {
    }

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *data) override
    {
        const QString scheme = request.url().scheme().toLower();
        const bool allowed =
            op == GetOperation
            && (scheme == QLatin1String("qrc")
                || (m_remote && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))));
        if (allowed)
            return QNetworkAccessManager::createRequest(op, request, data);
        QNetworkRequest refused(request);
        refused.setUrl(QUrl(QStringLiteral("refused:")));
        return QNetworkAccessManager::createRequest(GetOperation, refused, nullptr);
    }

private:
    bool m_remote;
};

} // namespace

ChatPage::ChatPage(Role role, QObject *parent) : QWebPage(parent)
{
    setNetworkAccessManager(new FilteringNetwork(role != Role::Parse, this));
    setLinkDelegationPolicy(DelegateAllLinks);
    QWebSettings *s = settings();
    s->setAttribute(QWebSettings::JavascriptEnabled, role == Role::View);
    s->setAttribute(QWebSettings::PluginsEnabled, false);
    s->setAttribute(QWebSettings::JavaEnabled, false);
    s->setAttribute(QWebSettings::DeveloperExtrasEnabled, false);
    s->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebSettings::AutoLoadImages, role != Role::Parse);
    s->setAttribute(QWebSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebSettings::OfflineStorageDatabaseEnabled, false);
    s->setAttribute(QWebSettings::OfflineWebApplicationCacheEnabled, false);
}

bool ChatPage::acceptNavigationRequest(QWebFrame *, const QNetworkRequest &request,
                                       NavigationType type)
{
    // The page's own content is set with setHtml, which does not come here.
    if (type == NavigationTypeLinkClicked)
        emit linkClicked(request.url());
    return false;
}

QWebPage *ChatPage::createWindow(WebWindowType) { return nullptr; }

namespace {

// Direction class of a UTF-16 code unit, as the run separation groups them:
// L left to right, R right to left, E European and A Arabic digits, S space,
// M marks that stay with the character before them, O everything else.
char directionGroup(ushort u)
{
    if (QChar::isSurrogate(u))
        return 'O';
    switch (QChar::direction(uint(u))) {
    case QChar::DirL: return 'L';
    case QChar::DirR:
    case QChar::DirAL: return 'R';
    case QChar::DirEN: return 'E';
    case QChar::DirAN: return 'A';
    case QChar::DirWS:
    case QChar::DirS:
    case QChar::DirB: return 'S';
    case QChar::DirNSM:
    case QChar::DirBN: return 'M';
    default: return 'O';
    }
}

// Defines window.__velmarRuns(root) with the direction classes of Qt's
// Unicode tables as ranges.
QString runsScript()
{
    QString starts;
    QString groups;
    char previous = 0;
    for (uint u = 0; u <= 0xffff; ++u) {
        const char g = directionGroup(ushort(u));
        if (g == previous)
            continue;
        if (!starts.isEmpty())
            starts += QLatin1Char(',');
        starts += QString::number(u);
        groups += QLatin1Char(g);
        previous = g;
    }
    return QStringLiteral("(function () {") + wordPiecesScript()
           + QStringLiteral(
               "var starts = [%1], groups = '%2';"
               "function group(u) {"
               "  var lo = 0, hi = starts.length - 1;"
               "  while (lo < hi) { var mid = (lo + hi + 1) >> 1;"
               "    if (starts[mid] <= u) lo = mid; else hi = mid - 1; }"
               "  return groups.charAt(lo); }"
               // The engine draws nothing of a node that starts with a joiner
               // (U+200C, U+200D) or ends with one before its blanks: such a
               // joiner gets a node of its own.
               "function blank(u) { return group(u) === 'S'; }"
               "function joiner(u) { return u === 0x200c || u === 0x200d; }"
               "function pushJoinersApart(out, p) {"
               "  var a = 0, b = p.length, e;"
               "  while (a < b && joiner(p.charCodeAt(a))) ++a;"
               "  while (b > a && blank(p.charCodeAt(b - 1))) --b;"
               "  e = b;"
               "  while (e > a && joiner(p.charCodeAt(e - 1))) --e;"
               "  if (e === a || (a === 0 && e === b)) { out.push(p); return; }"
               "  if (a > 0) out.push(p.substring(0, a));"
               "  out.push(p.substring(a, e === b ? p.length : e));"
               "  if (e < b) out.push(p.substring(e)); }"
               "window.__velmarRuns = function (root) {"
               "  var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT, null, false);"
               "  var nodes = [], n;"
               "  while ((n = walker.nextNode())) nodes.push(n);"
               "  for (var i = 0; i < nodes.length; ++i) {"
               "    var t = nodes[i], s = t.data, k, g, rtl = false;"
               "    for (k = 0; k < s.length && !rtl; ++k) {"
               "      g = group(s.charCodeAt(k)); rtl = g === 'R' || g === 'A'; }"
               "    if (!rtl) continue;"
               "    var pieces = [], from = 0, last = '', run = -1;"
               "    for (k = 0; k <= s.length; ++k) {"
               "      g = k < s.length ? group(s.charCodeAt(k)) : '';"
               "      if (g === 'S') { if (run < 0) run = k; continue; }"
               "      if (g === 'M') continue;"
               "      if (run >= 0 && k - run > 1) {"
               "        if (run > from) pieces.push(s.substring(from, run));"
               "        pieces.push(s.substring(run, k)); from = k;"
               "      } else if (g && last && (g !== last || run >= 0)) {"
               "        pieces.push(s.substring(from, k)); from = k; }"
               "      last = g; run = -1; }"
               "    if (from < s.length) pieces.push(s.substring(from));"
               // Long words in pieces, a null standing for a <wbr>.
               "    var cut = [];"
               "    for (k = 0; k < pieces.length; ++k)"
               "      appendCut(cut, pieces[k], 0, pieces[k].length, blank);"
               "    pieces = [];"
               "    for (k = 0; k < cut.length; ++k) {"
               "      if (cut[k] === null) pieces.push(null);"
               "      else pushJoinersApart(pieces, cut[k]); }"
               "    if (pieces.length < 2) continue;"
               "    var parts = document.createDocumentFragment();"
               "    for (k = 0; k < pieces.length; ++k)"
               "      parts.appendChild(pieces[k] === null ? document.createElement('wbr')"
               "                                           : document.createTextNode(pieces[k]));"
               "    t.parentNode.replaceChild(parts, t); } };"
               "})();")
        .arg(starts, groups);
}

} // namespace

void separateDirectionRuns(const QWebElement &element)
{
    if (element.isNull())
        return;
    QWebElement target = element;
    const QString call = QStringLiteral("window.__velmarRuns ? (window.__velmarRuns(this), true) : false");
    if (target.evaluateJavaScript(call).toBool())
        return;
    static const QString script = runsScript();
    target.evaluateJavaScript(script);
    target.evaluateJavaScript(call);
}
