// corvane-companion-standin: plays Corvane Mac Remote's role on the link for tests and the demo.
//
//   --port N           connect to this port (else the port file of the data folder)
//   --library FILE     the Rate Library to serve, shaped like a "learnedRates" payload
//   --exit-after-ms N  quit after this long, whatever happens
//   --log              print every received message to stderr
//
// It connects, answers messages from its in-memory library, and exits when the switcher closes
// the connection.

#include "AppPaths.h"
#include "PortFile.h"
#include "StandinCompanion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

constexpr int connectTimeoutMs = 10000;
constexpr int retryMs = 100;

void logLine(const QString &text)
{
    std::fprintf(stderr, "companion: %s\n", qPrintable(text));
}

class Session final : public QObject {
public:
    Session(StandinCompanion companion, std::optional<quint16> port, bool log)
        : m_companion(std::move(companion)), m_port(port), m_log(log)
    {
        connect(&m_socket, &QTcpSocket::connected, this, [this] {
            m_everConnected = true;
            if (m_log)
                logLine(QStringLiteral("connected to port %1").arg(m_socket.peerPort()));
        });
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { readAvailable(); });
        connect(&m_socket, &QTcpSocket::disconnected, this, [] { QCoreApplication::exit(0); });
        connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
            if (m_socket.state() != QAbstractSocket::ConnectedState && !m_everConnected)
                QTimer::singleShot(retryMs, this, [this] { tryConnect(); });
        });
        m_clock.start();
    }

    void tryConnect()
    {
        if (m_clock.elapsed() > connectTimeoutMs) {
            logLine(QStringLiteral("could not reach the switcher"));
            QCoreApplication::exit(1);
            return;
        }
        const std::optional<quint16> port =
            m_port ? m_port
                   : PortFile::read(
                         QDir(AppPaths::dataDirectory()).filePath(QString::fromLatin1(PortFile::fileName)));
        if (!port) {
            QTimer::singleShot(retryMs, this, [this] { tryConnect(); });
            return;
        }
        m_socket.abort();
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), *port);
    }

private:
    void readAvailable()
    {
        m_buffer += m_socket.readAll();
        qsizetype newline;
        while ((newline = m_buffer.indexOf('\n')) >= 0) {
            const QByteArray line = m_buffer.left(newline);
            m_buffer.remove(0, newline + 1);
            handleLine(line);
        }
    }

    void handleLine(const QByteArray &line)
    {
        const QJsonObject envelope = QJsonDocument::fromJson(line).object();
        const QString type = envelope.value(QLatin1String("type")).toString();
        const QJsonObject payload = envelope.value(QLatin1String("payload")).toObject();
        if (envelope.value(QLatin1String("v")).toInt() != 1 || type.isEmpty()) {
            logLine(QStringLiteral("ignored a line that is not a version 1 envelope"));
            return;
        }
        if (m_log)
            logLine(QStringLiteral("received %1 %2")
                        .arg(type, QString::fromUtf8(
                                       QJsonDocument(payload).toJson(QJsonDocument::Compact).left(200))));
        for (const auto &[answerType, answer] : m_companion.handle(type, payload)) {
            const QJsonObject out{{QLatin1String("v"), 1},
                                  {QLatin1String("type"), answerType},
                                  {QLatin1String("payload"), answer}};
            m_socket.write(QJsonDocument(out).toJson(QJsonDocument::Compact) + '\n');
            if (m_log)
                logLine(QStringLiteral("sent %1").arg(answerType));
        }
    }

    StandinCompanion m_companion;
    std::optional<quint16> m_port;
    bool m_log;
    bool m_everConnected = false;
    QTcpSocket m_socket;
    QByteArray m_buffer;
    QElapsedTimer m_clock;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to connect to."),
                                        QStringLiteral("N"));
    const QCommandLineOption libraryOption(QStringLiteral("library"),
                                           QStringLiteral("Rate Library JSON file."), QStringLiteral("FILE"));
    const QCommandLineOption exitOption(QStringLiteral("exit-after-ms"), QStringLiteral("Quit after N ms."),
                                        QStringLiteral("N"));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Print received messages to stderr."));
    parser.addOptions({portOption, libraryOption, exitOption, logOption});
    parser.process(app);

    std::optional<quint16> port;
    if (parser.isSet(portOption)) {
        bool ok = false;
        const uint value = parser.value(portOption).toUInt(&ok);
        if (!ok || value == 0 || value > 65535) {
            logLine(QStringLiteral("--port needs a port number"));
            return 2;
        }
        port = quint16(value);
    }

    QJsonObject library{{QLatin1String("rows"), QJsonArray()}, {QLatin1String("outputs"), QJsonArray()}};
    if (parser.isSet(libraryOption)) {
        QFile file(parser.value(libraryOption));
        QJsonParseError error;
        const QJsonDocument doc = file.open(QIODevice::ReadOnly)
                                      ? QJsonDocument::fromJson(file.readAll(), &error)
                                      : QJsonDocument();
        if (!doc.isObject()) {
            logLine(QStringLiteral("cannot read the library %1").arg(file.fileName()));
            return 2;
        }
        library = doc.object();
    }

    if (parser.isSet(exitOption)) {
        const int ms = parser.value(exitOption).toInt();
        QTimer::singleShot(ms, &app, [] { QCoreApplication::exit(0); });
    }

    Session session(StandinCompanion(library), port, parser.isSet(logOption));
    session.tryConnect();
    return app.exec();
}
