// Every reader of the classroom servers' text, timed per KB from 1 KB to
// 1 MB: the contact and login bodies, the field reader the handlers share,
// and the web endpoint's server-entry list and version record.
#include "perkb.h"
#include "protocol/pure/contactrecords.h"
#include "protocol/pure/fields.h"
#include "protocol/pure/loginreplies.h"
#include "protocol/pure/packet.h"
#include "protocol/pure/privatemessages.h"
#include "startup/pure/entries.h"
#include "startup/pure/version.h"

#include <QtTest>

namespace {

const QString kArabicName = QString::fromUtf8("أحمد");

QString entry(int n)
{
    return QStringLiteral("Server %1|127.0.0.1|%2|/web/|station.php|radio/|folder%1|pic.png|"
                          "about|http://example.org/register|0|logo.png|listen.example.org|"
                          "source.example.org|secret|group")
        .arg(n)
        .arg(5000 + n % 1000);
}

} // namespace

class BenchClassroomReaders : public QObject
{
    Q_OBJECT
private slots:
    void perKb()
    {
        reportPerKb("contact list (code 2)",
                    [](int bytes) {
                        return repeatedText(bytes, QString(), QStringLiteral("|"), [](int n) {
                            return kArabicName + QString::number(n) + (n % 3 ? ":1:0" : ":0:1");
                        });
                    },
                    [](const QString &t) { parseContactList(t); });
        reportPerKb("contact state (code 3)",
                    [](int bytes) { return QString(bytes / 2, QChar(0x0628)) + ":1:0"; },
                    [](const QString &t) {
                        ContactRecord record;
                        parseContactRecord(t, &record);
                    });
        reportPerKb("search results (code 5)",
                    [](int bytes) {
                        return repeatedText(bytes, QString(), QStringLiteral("|"), [](int n) {
                            return kArabicName + QString::number(n);
                        });
                    },
                    [](const QString &t) { parseSearchResults(t); });
        reportPerKb("private message (code 7)",
                    [](int bytes) {
                        return Entxt(kArabicName) + QLatin1Char('|')
                               + Entxt(repeatedText(bytes, QString(), QString(), [](int n) {
                                     return QString::fromUtf8("<p>مرحبا: كيف الحال | @%1</p>")
                                         .arg(n);
                                 }));
                    },
                    [](const QString &t) {
                        IncomingMessage message;
                        parseIncomingMessage(t, &message);
                    });
        reportPerKb("redirect (code -6)",
                    [](int bytes) {
                        return QStringLiteral("a|b|127.0.0.1:5001|")
                               + repeatedText(bytes, QString(), QStringLiteral("|"),
                                              [](int n) { return QString::number(n); });
                    },
                    [](const QString &t) {
                        ChatServer server;
                        parseRedirect(t, &server);
                    });
        reportPerKb("login identity (code 1)",
                    [](int bytes) {
                        return QStringLiteral("nickname:ali|id:101|type:1|group:1|email:")
                               + QString(bytes, QLatin1Char('a')) + QStringLiteral("@b.org");
                    },
                    [](const QString &t) {
                        LoginIdentity identity;
                        parseLoginIdentity(t, &identity);
                    });
        reportPerKb("field reader, every field of a body",
                    [](int bytes) {
                        return repeatedText(bytes, QString(), QStringLiteral("|"), [](int n) {
                            return QStringLiteral("key%1:%1").arg(n);
                        });
                    },
                    [](const QString &t) {
                        const Fields f(t, QStringLiteral("|"));
                        for (int i = 0; i < f.count(); ++i)
                            f.split(i, QStringLiteral(":")).number(1);
                    });
        reportPerKb("server-entry list (?Code=info)",
                    [](int bytes) {
                        return repeatedText(bytes, QStringLiteral("<html><|"),
                                            QStringLiteral("||"), entry,
                                            QStringLiteral("|></html>"));
                    },
                    [](const QString &t) {
                        const QStringList entries = parseEntryList(t);
                        for (const QString &e : entries)
                            entrySettings(entryFields(e));
                    });
        reportPerKb("version record (?Ver=)",
                    [](int bytes) {
                        return QStringLiteral("<|2.0.1|Dastrel|http://example.org/d|r|5.15.8|n|"
                                              "2.0.16|http://example.org/t")
                               + QString(bytes, QLatin1Char('x')) + QStringLiteral("|>");
                    },
                    [](const QString &t) {
                        const QStringList fields = parseVersionRecord(t);
                        decideVersions(fields, QStringLiteral("2.0.1"),
                                       QString::fromLatin1(qVersion()), QStringLiteral("2.0.16"),
                                       QStringLiteral("Dastrel"));
                    });
    }
};

QTEST_GUILESS_MAIN(BenchClassroomReaders)
#include "bench_classroom_readers.moc"
