#include "core/frmurl.h"

#include "common/webaddress.h"
#include "core/frmconnect.h"
#include "core/globals.h"
#include "core/pure/reply.h"
#include "core/windows.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

int FrmURL::timeoutMs = 10000;

namespace {

// The body of one post, readable once: the network library cannot rewind it,
// so a connection closed before the answer fails the post instead of sending
// it a second time.
class OneShotBody : public QIODevice
{
public:
    explicit OneShotBody(const QByteArray &data) : m_data(data)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    qint64 size() const override { return m_data.size(); }
    bool seek(qint64 pos) override
    {
        // Only where the reading stands; never back to bytes already sent.
        return pos == m_read && QIODevice::seek(pos);
    }
    bool reset() override { return m_read == 0 && QIODevice::reset(); }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = qMin(max, qint64(m_data.size()) - m_read);
        if (n <= 0)
            return m_read >= m_data.size() ? -1 : 0;
        memcpy(out, m_data.constData() + m_read, size_t(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_read = 0;
};

} // namespace

const QString kMsgReplyTooLarge =
    QStringLiteral("رد الموقع أكبر من الحجم المسموح به فلم تتم قراءته    ");
const QString kMsgBadAddress =
    QStringLiteral("عنوان موقع الاختبار في إعدادات البرنامج غير صالح فلم يتم الاتصال به    ");

FrmURL::FrmURL(QObject *parent) : QObject(parent) {}

QByteArray FrmURL::OpenURL(const QString &url, int *status, const FormQuery &query)
{
    *status = 0;
    m_tooLarge = false;
    if (reply_isRunning) {
        qWarning("Exam post refused: another post is waiting.");
        return QByteArray();
    }
    if (!isWebAddress(url)) {
        qWarning("Exam post refused: the endpoint is no http or https address.");
        return QByteArray();
    }
    // The body outlives the manager, which may still read it as it goes.
    OneShotBody body(query.toBody());
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded;charset=utf8"));
    reply_isRunning = true;
    QNetworkReply *reply = manager.post(request, &body);
    replyweb = reply;
    // A reply announced or grown past the bound is dropped at once.
    const auto tooLarge = [this, reply] {
        if (m_tooLarge)
            return true;
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        m_tooLarge = replyTooLarge(reply->bytesAvailable())
                     || (announced.isValid() && replyTooLarge(announced.toLongLong()));
        if (m_tooLarge && !reply->isFinished())
            reply->abort();
        return m_tooLarge;
    };
    if (!reply->isFinished()) {
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        connect(reply, &QNetworkReply::metaDataChanged, &loop, tooLarge);
        connect(reply, &QNetworkReply::readyRead, &loop, tooLarge);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QByteArray answer;
    if (tooLarge()) {
        qWarning("Exam reply refused: longer than %lld bytes.", kMaxReplySize);
    } else {
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // A cancelled reply is closed and holds nothing.
        answer = reply->isOpen() ? reply->readAll() : QByteArray();
    }
    // A reply still running is abandoned with its manager.
    reply->deleteLater();
    replyweb = nullptr;
    reply_isRunning = false;
    return answer;
}

FormQuery examQuery() { return FormQuery(Url_php); }

QString ExamReply::text() const
{
    if (replyTooLarge(body.size()))
        return QString();
    const int nul = body.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? body : body.left(nul));
}

QString ExamReply::payload() const { return TestStr(text()); }

ExamReply postExamCommand(const FormQuery &query)
{
    ExamReply reply;
    if (!isWebAddress(Url_php)) {
        reply.badAddress = true;
        return reply;
    }
    FrmURL web;
    reply.body = web.OpenURL(Url_php, &reply.status, query);
    reply.tooLarge = web.tooLarge();
    return reply;
}

const QString &failedPostMessage(const ExamReply &reply, const QString &connectionMessage)
{
    return reply.tooLarge ? kMsgReplyTooLarge : refusedAddressOr(reply, connectionMessage);
}

const QString &refusedAddressOr(const ExamReply &reply, const QString &connectionMessage)
{
    return reply.badAddress ? kMsgBadAddress : connectionMessage;
}

frmConnect *openWaitBox(const QString &text)
{
    frmconn = new frmConnect(nullptr);
    if (!text.isEmpty())
        frmconn->ChangeTitre(text);
    keepAboveExamSheet(frmconn);
    frmconn->show();
    return frmconn;
}

void closeWaitBox()
{
    if (frmconn)
        frmconn->close();
}
