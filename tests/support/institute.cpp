#include "support/institute.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTcpSocket>

namespace {

// How long the institute may take to start or to answer on a busy machine;
// each wait ends as soon as it is done.
constexpr int kStartMs = 120000;
constexpr int kAnswerMs = 60000;

} // namespace

Institute::Institute(const QStringList &extraArguments) : m_arguments(extraArguments) {}

Institute::~Institute()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

bool Institute::start()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardOutput);
    QStringList args;
    args << QStringLiteral(VELMAR_INSTITUTE) << QStringLiteral("--host")
         << QStringLiteral("127.0.0.1") << m_arguments;
    m_process.start(QStringLiteral(VELMAR_PYTHON), args);
    if (!m_process.waitForStarted(kAnswerMs)) {
        m_error = QStringLiteral("institute did not start: ") + m_process.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    QByteArray seen; // what it printed before READY
    while (timer.elapsed() < kStartMs) {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (!line.startsWith("READY ")) {
                seen += line + '\n';
                continue;
            }
            const QJsonObject ports = QJsonDocument::fromJson(line.mid(6)).object();
            for (auto it = ports.begin(); it != ports.end(); ++it)
                m_ports.insert(it.key(), quint16(it.value().toInt()));
            return true;
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        m_process.waitForReadyRead(200);
    }
    m_error = QStringLiteral("institute gave no READY line in %1 ms (%2): %3%4")
                  .arg(timer.elapsed())
                  .arg(m_process.state() == QProcess::NotRunning
                           ? QStringLiteral("exit code %1").arg(m_process.exitCode())
                           : QStringLiteral("still running"))
                  .arg(QString::fromLocal8Bit(seen + m_process.readAllStandardOutput()),
                       QString::fromLocal8Bit(m_process.readAllStandardError()));
    return false;
}

quint16 Institute::port(const QString &service) const { return m_ports.value(service, 0); }

QString Institute::webBase() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port(QStringLiteral("web")));
}

QByteArray Institute::http(const QByteArray &method, const QByteArray &path,
                           const QByteArray &body)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port(QStringLiteral("control")));
    if (!socket.waitForConnected(kAnswerMs)) {
        qWarning("institute control port %d: %s", port(QStringLiteral("control")),
                 qPrintable(socket.errorString()));
        return {};
    }
    QByteArray request = method + ' ' + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                         + "Content-Type: application/json\r\nContent-Length: "
                         + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    socket.write(request);
    socket.waitForBytesWritten(kAnswerMs);
    QByteArray reply;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kAnswerMs) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(200)) {
            if (socket.state() != QAbstractSocket::ConnectedState)
                break;
            continue;
        }
        reply += socket.readAll();
    }
    reply += socket.readAll();
    const int split = reply.indexOf("\r\n\r\n");
    if (split < 0)
        qWarning("institute gave no answer to %s %s in %lld ms: \"%s\"", method.constData(),
                 path.constData(), timer.elapsed(), reply.left(200).constData());
    return split < 0 ? QByteArray() : reply.mid(split + 4);
}

QJsonObject Institute::control(const QJsonObject &command)
{
    return QJsonDocument::fromJson(
               http("POST", "/control", QJsonDocument(command).toJson(QJsonDocument::Compact)))
        .object();
}

QJsonArray Institute::log()
{
    return QJsonDocument::fromJson(http("GET", "/log", {})).array();
}

QStringList Institute::errors()
{
    QStringList out;
    const QJsonArray list = QJsonDocument::fromJson(http("GET", "/errors", {})).array();
    for (const QJsonValue &v : list)
        out << v.toString();
    return out;
}
