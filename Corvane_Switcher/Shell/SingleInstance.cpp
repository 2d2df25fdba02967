#include "SingleInstance.h"

#include "Logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

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

SingleInstance::~SingleInstance()
{
    // The sockets still served count themselves out as they go.
    m_server.reset();
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::setWaitMs(int ms)
{
    m_waitMs = ms;
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
    // Whatever answers on the socket is read only up to a short line and within one wait.
    const QDeadlineTimer deadline(m_waitMs);
    QByteArray answer;
    bool timedOut = false;
    while (!answer.contains('\n') && answer.size() <= maximumAnswerBytes) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime()))) {
            timedOut = deadline.hasExpired();
            break;
        }
        answer += socket.read(maximumAnswerBytes + 1 - answer.size());
    }
    if (answer == accepted) {
        qCInfo(lcUi, "handed the launch to the app already running");
        return Start::handedOver;
    }
    QString reason;
    if (answer.size() > maximumAnswerBytes) {
        //: Why a second launch gave up on the app already running: what answered sent a line longer
        //: than any answer.
        reason = Tr::tr("an overlong answer");
    } else if (timedOut) {
        //: Why a second launch gave up on the app already running.
        reason = Tr::tr("no answer in time");
    } else if (answer.isEmpty()) {
        reason = socket.errorString();
    } else if (const QByteArray text = answer.trimmed();
               std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; })) {
        reason = QString::fromLatin1(text); // "refused"
    } else {
        //: Why a second launch gave up on the app already running.
        reason = Tr::tr("an answer that cannot be read");
    }
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
    // What later launches cost stays bounded whatever connects: a few at once, each for one wait
    // and one request's bytes.
    if (m_laterLaunches >= maximumLaterLaunches) {
        qCWarning(lcUi, "too many later launches at once; one was closed");
        peer->abort();
        peer->deleteLater();
        return;
    }
    ++m_laterLaunches;
    connect(peer, &QObject::destroyed, this, [this] { --m_laterLaunches; });
    QTimer::singleShot(m_waitMs, peer, [peer] {
        qCWarning(lcUi, "a later launch sent no request in time; dropped");
        peer->abort();
        peer->deleteLater();
    });
    auto buffer = std::make_shared<QByteArray>();
    const auto read = [this, peer, buffer] {
        buffer->append(peer->readAll());
        const qsizetype end = buffer->indexOf('\n');
        if (end < 0) {
            if (buffer->size() > maximumRequestBytes) {
                qCWarning(lcUi, "a later launch sent more than a request; dropped");
                peer->abort();
                peer->deleteLater();
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
