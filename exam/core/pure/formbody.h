// The body of an exam form post: "?", the endpoint URL read as a query
// string, then the command's items as key=value, joined by "&".
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class FormQuery
{
public:
    // The first item(s): the endpoint URL text read as a query string.
    explicit FormQuery(const QString &endpoint = QString());

    void addQueryItem(const QString &key, const QString &value);
    void addQueryItem(const QString &key, int value);

    QString endpoint() const { return m_endpoint; }
    const QList<QPair<QString, QString>> &items() const { return m_items; }

    // The request body. Items are UTF-8 and percent-encoded: everything but
    // letters, digits and "-._~!$'()*,;:@/?[]" is escaped, so "+", "%",
    // "&", "=", "#" and blanks reach the server as typed.
    QByteArray toBody() const;

private:
    QString m_endpoint;
    QList<QPair<QString, QString>> m_items;
};

// Percent-encoding of one key or value as toBody() writes it.
QByteArray encodeFormText(const QString &text);
