#include "core/frmurl.h"

#include "core/frmconnect.h"
#include "core/globals.h"
#include "core/pure/reply.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

int FrmURL::timeoutMs = 10000;

FrmURL::FrmURL(QObject *parent) : QObject(parent) {}

QByteArray FrmURL::OpenURL(const QString &url, int *status, const FormQuery &query)
{
    *status = 0;
    if (reply_isRunning) {
        qWarning("Exam post refused: another post is waiting.");
        return QByteArray();
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded;charset=utf8"));
    reply_isRunning = true;
    QNetworkReply *reply = manager.post(request, query.toBody());
    replyweb = reply;
    if (!reply->isFinished()) {
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    // A reply still running is abandoned with its manager.
    reply->deleteLater();
    replyweb = nullptr;
    reply_isRunning = false;
    return body;
}

FormQuery examQuery() { return FormQuery(Url_php); }

QString ExamReply::text() const
{
    const int nul = body.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? body : body.left(nul));
}

QString ExamReply::payload() const { return TestStr(text()); }

ExamReply postExamCommand(const FormQuery &query)
{
    ExamReply reply;
    FrmURL web;
    reply.body = web.OpenURL(Url_php, &reply.status, query);
    return reply;
}

frmConnect *openWaitBox(const QString &text)
{
    frmconn = new frmConnect(nullptr);
    if (!text.isEmpty())
        frmconn->ChangeTitre(text);
    frmconn->show();
    return frmconn;
}

void closeWaitBox()
{
    if (frmconn)
        frmconn->close();
}
