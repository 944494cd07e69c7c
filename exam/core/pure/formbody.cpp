#include "core/pure/formbody.h"

#include <QUrl>
#include <QUrlQuery>

FormQuery::FormQuery(const QString &endpoint) : m_endpoint(endpoint) {}

void FormQuery::addQueryItem(const QString &key, const QString &value)
{
    m_items.append(qMakePair(key, value));
}

void FormQuery::addQueryItem(const QString &key, int value)
{
    addQueryItem(key, QString::number(value));
}

QByteArray encodeFormText(const QString &text)
{
    static const QByteArray keep = "-._~!$'()*,;:@/?[]";
    return text.toUtf8().toPercentEncoding(keep);
}

QByteArray FormQuery::toBody() const
{
    // The endpoint is ours (settings), written the way the URL library writes
    // a query string: an ordinary URL stays as it is.
    QByteArray body = QUrlQuery(m_endpoint).toString(QUrl::FullyEncoded).toUtf8();
    for (const auto &item : m_items) {
        if (!body.isEmpty())
            body += '&';
        body += encodeFormText(item.first) + '=' + encodeFormText(item.second);
    }
    return '?' + body;
}
