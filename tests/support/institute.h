// Runs the local institute (tools/institute) for one test and talks to its
// control port: knobs, the request log and the protocol errors it saw.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

class Institute
{
public:
    explicit Institute(const QStringList &extraArguments = {});
    ~Institute();

    // Starts the server and waits for its READY line; false on failure.
    bool start();
    QString startError() const { return m_error; }

    // Port of a service named in the READY line ("directory", "chat", "web",
    // "exam", "control", ...); 0 when unknown.
    quint16 port(const QString &service) const;
    // http://127.0.0.1:<web port>/
    QString webBase() const;

    // POST /control with a JSON command; returns the JSON reply ({} on failure).
    QJsonObject control(const QJsonObject &command);
    // Everything the institute received, in order (GET /log).
    QJsonArray log();
    // Protocol faults it saw in what the client sent (GET /errors).
    QStringList errors();

private:
    QByteArray http(const QByteArray &method, const QByteArray &path, const QByteArray &body);

    QProcess m_process;
    QStringList m_arguments;
    QMap<QString, quint16> m_ports;
    QString m_error;
};

// A control command: {"command": name} with the given fields.
inline QJsonObject instituteCommand(const QString &name, const QJsonObject &fields = {})
{
    QJsonObject c = fields;
    c.insert(QStringLiteral("command"), name);
    return c;
}

// Fails the current test when the institute saw a malformed packet or request.
#define VERIFY_INSTITUTE_CLEAN(inst)                                                      \
    do {                                                                                 \
        const QStringList _errs = (inst).errors();                                       \
        QVERIFY2(_errs.isEmpty(), qPrintable(_errs.join(QLatin1Char('\n'))));            \
    } while (0)
