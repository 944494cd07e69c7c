// The exam program's one way to its endpoint: a synchronous HTTP form post,
// and the steps every exam command shares (wait box, status, payload).
#pragma once

#include "core/pure/formbody.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class frmConnect;

class FrmURL : public QObject
{
    Q_OBJECT

public:
    explicit FrmURL(QObject *parent = nullptr);

    // Posts query to url and waits for the reply, at most timeoutMs; writes
    // the HTTP status (0 when none arrived) and returns the body. A post that
    // starts while another one waits is refused: status 0, empty body. So is
    // a post to a url that is no web address (isWebAddress), and a reply
    // longer than kMaxReplySize, which is dropped as soon as it is known to
    // be (tooLarge() then tells).
    QByteArray OpenURL(const QString &url, int *status, const FormQuery &query);
    // The last post's reply was refused for its size.
    bool tooLarge() const { return m_tooLarge; }

    static int timeoutMs; // 10000

private:
    bool m_tooLarge = false;
};

// A query for the exam endpoint: its first item is Url_php.
FormQuery examQuery();

// The outcome of one exam command's post.
struct ExamReply
{
    int status = 0;
    QByteArray body;
    bool tooLarge = false; // refused for its size (status 0)
    bool badAddress = false; // not posted: Url_php is no web address (status 0)

    bool ok() const { return status == 200 && !tooLarge; }
    // The body as UTF-8 text up to its first NUL byte.
    QString text() const;
    // The framed, cleaned payload of text().
    QString payload() const;
};

// Posts query to Url_php through FrmURL; posts nothing when Url_php is no
// http or https address with a host (badAddress).
ExamReply postExamCommand(const FormQuery &query);

extern const QString kMsgReplyTooLarge;
extern const QString kMsgBadAddress;
// What a command shows for a post that did not bring status 200: the
// refused address, the size refusal, or its own connection-failure message.
const QString &failedPostMessage(const ExamReply &reply, const QString &connectionMessage);
// The same for commands that tell a refused size as a failed connection.
const QString &refusedAddressOr(const ExamReply &reply, const QString &connectionMessage);

// Makes a new wait box (no parent) into frmconn, with the given text when
// not empty, and shows it (not modal).
frmConnect *openWaitBox(const QString &text = QString());
// Closes the wait box in frmconn, if any; its closing frees it.
void closeWaitBox();
