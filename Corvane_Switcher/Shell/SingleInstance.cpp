#include "SingleInstance.h"

#include "Logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(Shell)
};

const QByteArray accepted = "ok\n";
const QByteArray refused = "refused\n";
} // namespace

QString SingleInstance::serverName(const QString &dataDirectory)
{
    // The runtime folder is the user's own; the data folder's path tells apart a demo or a test
    // with a folder of its own from the user's app.
    const QByteArray folder = QDir::cleanPath(QFileInfo(dataDirectory).absoluteFilePath()).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime).filePath(QStringLiteral("corvane-zuvaradi-") + QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(QString serverName, QObject *parent)
    : QObject(parent), m_serverName(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

SingleInstance::Start SingleInstance::start(const LaunchRequest &request, QString *error)
{
    // Two launches at once must not both find no app and both start listening.
    QLockFile lock(m_serverName + QStringLiteral(".lock"));
    if (!lock.tryLock(connectWaitMs + answerWaitMs))
        qCWarning(lcUi) << "cannot lock" << lock.error() << "- starting anyway";

    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(connectWaitMs))
        return handOver(socket, request, error);

    // No app answers: whatever socket is there was left by one that crashed.
    QLocalServer::removeServer(m_serverName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::accept);
    if (!m_server->listen(m_serverName)) {
        // Running unguarded beats not running at all.
        qCWarning(lcUi).noquote() << "cannot listen for later launches at" << m_serverName << ":"
                                  << m_server->errorString();
        m_server.reset();
    }
    return Start::running;
}

SingleInstance::Start SingleInstance::handOver(QLocalSocket &socket, const LaunchRequest &request,
                                               QString *error)
{
    socket.write(request.encoded());
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(answerWaitMs))
        answer += socket.readAll();
    answer += socket.readAll();
    if (answer == accepted) {
        qCInfo(lcUi, "handed the launch to the app already running");
        return Start::handedOver;
    }
    const QString reason = answer.isEmpty() ? socket.errorString() : QString::fromUtf8(answer.trimmed());
    if (error) {
        //: Printed when a second launch cannot reach the app already running; the placeholder
        //: is the reason.
        *error = Tr::tr("Corvane Zuvaradi is already running but did not take this launch's request (%1).")
                     .arg(reason);
    }
    qCWarning(lcUi).noquote() << "the app already running did not take the launch:" << reason;
    return Start::failed;
}

void SingleInstance::accept()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection())
        serve(peer);
}

void SingleInstance::serve(QLocalSocket *peer)
{
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    const auto read = [this, peer, buffer] {
        buffer->append(peer->readAll());
        const qsizetype end = buffer->indexOf('\n');
        if (end < 0) {
            if (buffer->size() > maximumRequestBytes) {
                qCWarning(lcUi, "a later launch sent more than a request; dropped");
                peer->abort();
            }
            return;
        }
        const std::optional<LaunchRequest> request = LaunchRequest::decoded(buffer->left(end));
        buffer->clear();
        peer->write(request ? accepted : refused);
        peer->disconnectFromServer();
        if (!request) {
            qCWarning(lcUi, "a later launch sent a request that cannot be read; ignored");
            return;
        }
        qCInfo(lcUi, "a later launch asks for windows [%s] and document \"%s\"",
               qUtf8Printable(request->windowIds.join(QLatin1Char(','))),
               qUtf8Printable(request->document.value_or(QString())));
        if (onRequest)
            onRequest(*request);
    };
    connect(peer, &QLocalSocket::readyRead, this, read);
    if (peer->bytesAvailable() > 0)
        read();
}
