#include "SwitcherLink.h"

#include "AppPaths.h"
#include "ArrivingRows.h"
#include "HeapMemory.h"
#include "LineDecoder.h"
#include "Logging.h"
#include "PortFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <deque>

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitcherLink)
};

constexpr auto peerThreadName = "dulvarin.CorvaneSwitcher.link.peer";
constexpr auto pieceThreadName = "dulvarin.CorvaneSwitcher.link.pieces";
constexpr int piecePoolThreads = 3;
// One buffer of this size per connection takes what the socket holds, a little at a time.
constexpr qsizetype readChunkBytes = 256 * 1024;
// How much a connection lets wait in its socket before it makes the next queued message.
constexpr qint64 writeAheadBytes = 4 * 1024 * 1024;

using Incoming = std::variant<SwitcherProtocol::LearnedRates, SwitcherProtocol::RateLibraryImported,
                              SwitcherProtocol::LocalFilesResult, SwitcherProtocol::RateLibraryFile>;

// A short, printable head of a line for the log; a Rate Library line can be 28 MB.
QByteArray preview(const QByteArray &line)
{
    constexpr qsizetype shown = 80;
    QByteArray head = line.left(shown);
    for (char &c : head) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    }
    return line.size() > shown ? head + "…" : head;
}

template <class Record> std::optional<Incoming> decodeObjectPayload(std::string_view payload, QString *error)
{
    const auto object = SwitcherProtocol::payloadObject(payload);
    if (!object) {
        *error = object.error.text();
        return std::nullopt;
    }
    auto record = Record::fromJson(*object.value);
    if (!record) {
        *error = record.error.text();
        return std::nullopt;
    }
    return Incoming(std::move(*record.value));
}

// Lives on the peer thread: owns the socket, cuts the stream into lines, decodes each line and
// posts the finished records to the main thread in the order they arrived.
class PeerWorker final : public QObject {
public:
    struct Sinks {
        QObject *context = nullptr; // lives on the main thread
        std::function<void(Incoming &&)> deliver;
        std::function<void()> closed;
    };

    PeerWorker(qsizetype maximumLineBytes, Sinks sinks)
        : m_decoder(maximumLineBytes), m_sinks(std::move(sinks)),
          m_readBuffer(readChunkBytes, Qt::Uninitialized)
    {
        // A few threads read the pieces of a Rate Library as it arrives, about as fast as it
        // comes.
        m_piecePool.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, piecePoolThreads));
        m_piecePool.setObjectName(QString::fromLatin1(pieceThreadName));
    }

    void open(qintptr descriptor)
    {
        m_socket = new QTcpSocket(this);
        // Unbuffered: writes go straight to the system (those it does not take at once are still
        // kept by the socket).
        if (!m_socket->setSocketDescriptor(descriptor, QAbstractSocket::ConnectedState,
                                           QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            qCWarning(lcLink) << "Could not take the companion connection:" << m_socket->errorString();
            closeConnection();
            return;
        }
        // Reads still pass through the socket's own buffer (Qt 6.4 fills it whatever the open
        // mode). Unbounded, it would take all the system holds of a Rate Library line at each
        // wake-up, in fresh memory each time, several MB given back and asked for again.
        m_socket->setReadBufferSize(readChunkBytes);
        connect(m_socket, &QTcpSocket::readyRead, this, [this] { readAvailable(); });
        connect(m_socket, &QTcpSocket::bytesWritten, this, [this] { pump(); });
        connect(m_socket, &QTcpSocket::disconnected, this, [this] { closeConnection(); });
        connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::RemoteHostClosedError)
                qCWarning(lcLink) << "Companion connection error:" << m_socket->errorString();
            if (m_socket->state() != QAbstractSocket::ConnectedState)
                closeConnection();
        });
        readAvailable(); // bytes may have come before the notifier existed
    }

    void write(const QByteArray &bytes)
    {
        m_outgoing.push_back({bytes, {}});
        pump();
    }

    // A message made only when the socket has taken what was written before it: a large file's
    // chunks are encoded as the companion reads them, not all at once into the socket's buffer.
    void writeMade(std::function<QByteArray()> make)
    {
        m_outgoing.push_back({{}, std::move(make)});
        pump();
    }

    // Runs on the peer thread, last: the socket goes with it. The thread itself is ended by the
    // main thread (see SwitcherLink::Private::retire), never from here.
    void shutdown()
    {
        // Whatever was sent before the end still goes, as far as the socket takes it without
        // waiting; the rest of a large import is dropped rather than made for nothing.
        do
            pump();
        while (!m_outgoing.empty() && m_socket && m_socket->flush());
        m_closed = true;
        if (m_socket) {
            m_socket->disconnect(this);
            m_socket->flush();
            m_socket->abort();
            delete m_socket;
            m_socket = nullptr;
        }
    }

private:
    struct Outgoing {
        QByteArray bytes;
        std::function<QByteArray()> make; // when set, makes the bytes
    };

    // Writes queued messages in order while the socket holds less than `writeAheadBytes` not yet
    // sent.
    void pump()
    {
        while (!m_closed && m_socket && !m_outgoing.empty() && m_socket->bytesToWrite() < writeAheadBytes) {
            Outgoing next = std::move(m_outgoing.front());
            m_outgoing.pop_front();
            const QByteArray bytes = next.make ? next.make() : std::move(next.bytes);
            if (!bytes.isEmpty())
                m_socket->write(bytes);
        }
    }

    void readAvailable()
    {
        while (!m_closed && m_socket->bytesAvailable() > 0) {
            // The first line out, if any, is the one held so far, which may have been read as it
            // arrived.
            const bool wasHolding = m_decoder.pendingBytes() > 0;
            QList<LineDecoder::Line> lines;
            if (wasHolding) {
                // Straight into the line held so far, which can be 28 MB.
                QByteArray &held = m_decoder.heldLine();
                const qsizetype at = held.size();
                const qsizetype padding = qsizetype(SwitcherProtocol::jsonPadding);
                // Into the room there is while it is not too little, rather than into more room
                // made by moving what is held.
                if (held.capacity() - at - padding < readChunkBytes / 2)
                    m_decoder.makeRoom(readChunkBytes + padding);
                const qsizetype room = std::min(held.capacity() - at - padding, readChunkBytes);
                held.resize(at + room);
                const qint64 got = m_socket->read(held.data() + at, room);
                held.resize(at + std::max<qint64>(got, 0));
                if (got <= 0)
                    return;
                lines = m_decoder.feedHeld(at);
            } else {
                const qint64 got = m_socket->read(m_readBuffer.data(), m_readBuffer.size());
                if (got <= 0)
                    return;
                lines = m_decoder.feed(QByteArrayView(m_readBuffer.data(), got));
            }
            for (qsizetype i = 0; i < lines.size(); ++i) {
                LineDecoder::Line &line = lines[i];
                SwitcherProtocol::ArrivingRows arriving;
                if (i == 0 && wasHolding)
                    arriving = std::exchange(m_arriving, {});
                if (line.tooLong) {
                    qCWarning(lcLink) << "A companion line grew beyond" << m_decoder.maximumLineBytes()
                                      << "bytes; closing the connection";
                    closeConnection();
                    return;
                }
                handleLine(std::move(line.text), arriving);
                if (m_closed)
                    return;
            }
            if (m_decoder.pendingBytes() > 0)
                m_arriving.read(m_decoder.heldLine(), m_decoder.lastLongLineBytes(), m_lastRows,
                                &m_piecePool);
            else
                m_arriving = {}; // none held, or an over-long one being thrown away
        }
    }

    void handleLine(QByteArray line, SwitcherProtocol::ArrivingRows &arriving)
    {
        // One scratch for the head and the payload: the line is indexed once, not twice.
        SwitcherProtocol::JsonScratch scratch;
        scratch.shareTextsWith(m_lastRows);
        // A Rate Library whose rows were read as it arrived; when the one-pass reader gives up
        // on the rest of it, the line with a stand-in for the rows taken out of it.
        std::optional<SwitcherProtocol::Detail::LearnedRatesLine> readAsItCame;
        if (arriving.started()) {
            readAsItCame = arriving.finish(line, m_lastRows);
            if (!readAsItCame && arriving.tookRows())
                arriving.standIn(line, scratch);
        }
        const std::size_t capacity = SwitcherProtocol::padForDecoding(line);
        const std::string_view text(line.constData(), size_t(line.size()));
        SwitcherProtocol::Decoded<SwitcherProtocol::EnvelopeHead> head;
        if (readAsItCame)
            head.value = SwitcherProtocol::EnvelopeHead{readAsItCame->v, readAsItCame->type, {}, 0};
        else
            head = SwitcherProtocol::decodeEnvelopeHead(text, capacity, &scratch);
        if (!head) {
            qCWarning(lcLink).noquote()
                << "Skipped a companion line:" << head.error.text() << "—" << preview(line);
            return;
        }
        if (head.value->v != SwitcherProtocol::version) {
            qCWarning(lcLink) << "The companion speaks protocol version" << head.value->v << "instead of"
                              << SwitcherProtocol::version << "; closing the connection";
            closeConnection();
            return;
        }
        const QString &type = head.value->type;
        QString error;
        std::optional<Incoming> record;
        if (type == QLatin1String("learnedRates")) {
            SwitcherProtocol::Decoded<SwitcherProtocol::LearnedRates> rates;
            if (readAsItCame)
                rates.value = std::move(readAsItCame->rates);
            else
                rates = SwitcherProtocol::LearnedRates::fromJsonText(head.value->payload,
                                                                     head.value->payloadCapacity, &scratch);
            if (rates) {
                if (const int dropped = rates.value->dropImplausibleRows())
                    qCWarning(lcLink) << "Dropped" << dropped << "Rate Library rows with an implausible rate";
                m_lastRows = rates.value->rows;
                record = Incoming(std::move(*rates.value));
            } else {
                error = rates.error.text();
            }
        } else if (type == QLatin1String("rateLibraryImported")) {
            record = decodeObjectPayload<SwitcherProtocol::RateLibraryImported>(head.value->payload, &error);
        } else if (type == QLatin1String("localFilesResult")) {
            record = decodeObjectPayload<SwitcherProtocol::LocalFilesResult>(head.value->payload, &error);
        } else if (type == QLatin1String("rateLibraryFile")) {
            record = decodeObjectPayload<SwitcherProtocol::RateLibraryFile>(head.value->payload, &error);
        } else {
            qCInfo(lcLink).noquote() << "Skipped a companion message of unknown type" << type;
            return;
        }
        if (!record) {
            qCWarning(lcLink).noquote() << "Skipped a companion" << type << "message:" << error;
            return;
        }
        QMetaObject::invokeMethod(
            m_sinks.context,
            [deliver = m_sinks.deliver, record = std::move(*record)]() mutable {
                deliver(std::move(record));
            },
            Qt::QueuedConnection);
        // The pieces' rows were made and freed by the threads that read them.
        if (readAsItCame)
            HeapMemory::giveBackFreedPages();
    }

    // Reports the end once; the main thread then retires this worker and its thread.
    void closeConnection()
    {
        if (m_closed)
            return;
        m_closed = true;
        if (m_decoder.pendingBytes() > 0)
            qCWarning(lcLink) << "The companion connection ended inside a line of" << m_decoder.pendingBytes()
                              << "bytes; it was dropped";
        if (m_socket)
            m_socket->abort();
        QMetaObject::invokeMethod(m_sinks.context, m_sinks.closed, Qt::QueuedConnection);
    }

    QTcpSocket *m_socket = nullptr;
    LineDecoder m_decoder;
    Sinks m_sinks;
    QByteArray m_readBuffer;
    std::deque<Outgoing> m_outgoing;
    // The rows of the last Rate Library delivered, shared with the model's copy: the companion
    // sends the whole library after every change, and the next one takes its unchanged texts
    // from these instead of holding a second copy of them.
    QList<SwitcherProtocol::LearnedRates::Row> m_lastRows;
    // The line being received, read as it arrives.
    SwitcherProtocol::ArrivingRows m_arriving;
    QThreadPool m_piecePool;
    bool m_closed = false;
};

// The thread of one connection. Its loop is told to end by the main thread once that has posted
// the connection's last call; what was posted before still runs, in order, before the thread ends.
class PeerThread final : public QThread {
protected:
    void run() override
    {
        exec();
        QCoreApplication::sendPostedEvents();
    }
};

class LinkServer final : public QTcpServer {
public:
    std::function<void(qintptr)> onIncoming;

protected:
    void incomingConnection(qintptr descriptor) override { onIncoming(descriptor); }
};

} // namespace

struct SwitcherLink::Private {
    struct Connection {
        quint64 id = 0;
        QThread *thread = nullptr;
        PeerWorker *worker = nullptr;
    };

    explicit Private(SwitcherLink *link) : q(link)
    {
        server.onIncoming = [this](qintptr descriptor) { accept(descriptor); };
    }

    ~Private()
    {
        if (connection)
            retire(true);
        for (QThread *thread : std::as_const(retiring)) {
            thread->wait();
            delete thread;
        }
    }

    void accept(qintptr descriptor)
    {
        if (connection) {
            // One companion at a time; the open connection is left alone.
            auto *refused = new QTcpSocket;
            if (refused->setSocketDescriptor(descriptor))
                refused->close();
            refused->deleteLater();
            qCInfo(lcLink) << "Refused a second companion connection";
            return;
        }
        const quint64 id = ++lastConnectionId;
        PeerWorker::Sinks sinks;
        sinks.context = q;
        sinks.deliver = [this, id](Incoming &&record) { deliver(id, std::move(record)); };
        sinks.closed = [this, id] { peerClosed(id); };

        auto *thread = new PeerThread;
        thread->setObjectName(QString::fromLatin1(peerThreadName));
        auto *worker = new PeerWorker(maximumLineBytes, std::move(sinks));
        worker->moveToThread(thread);
        QObject::connect(thread, &QThread::finished, worker, &QObject::deleteLater);
        thread->start();
        QMetaObject::invokeMethod(
            worker, [worker, descriptor] { worker->open(descriptor); }, Qt::QueuedConnection);
        connection = Connection{id, thread, worker};
        qCInfo(lcLink) << "Companion connected";
        q->setState(Peer{});
    }

    void deliver(quint64 id, Incoming &&record)
    {
        if (!connection || connection->id != id)
            return; // a connection that has since been closed
        std::visit(
            [this](auto &&value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, SwitcherProtocol::LearnedRates>) {
                    if (q->onLearnedRates)
                        q->onLearnedRates(value);
                } else if constexpr (std::is_same_v<T, SwitcherProtocol::RateLibraryImported>) {
                    if (q->onRateLibraryImported)
                        q->onRateLibraryImported(value);
                } else if constexpr (std::is_same_v<T, SwitcherProtocol::LocalFilesResult>) {
                    if (q->onLocalFilesResult)
                        q->onLocalFilesResult(value);
                } else {
                    if (q->onRateLibraryFile)
                        q->onRateLibraryFile(value);
                }
            },
            std::move(record));
    }

    void peerClosed(quint64 id)
    {
        if (!connection || connection->id != id)
            return;
        retire(false);
        qCInfo(lcLink) << "Companion disconnected";
        q->setState(Listening{listeningPort});
    }

    // Ends the current connection on its own thread. `wait` blocks until the thread is gone
    // (stop and destruction); otherwise the thread is reaped when it finishes.
    void retire(bool wait)
    {
        const Connection ending = *std::exchange(connection, std::nullopt);
        if (!wait) {
            retiring.append(ending.thread);
            QObject::connect(ending.thread, &QThread::finished, q, [this, thread = ending.thread] {
                if (retiring.removeOne(thread)) {
                    thread->wait();
                    delete thread;
                }
            });
        }
        QMetaObject::invokeMethod(
            ending.worker, [worker = ending.worker] { worker->shutdown(); }, Qt::QueuedConnection);
        // Only once the post above has returned: Qt's postEvent wakes the receiving thread's event
        // dispatcher after it has queued the event, so a thread that ended itself on that event
        // could free its dispatcher while the post still uses it.
        ending.thread->quit();
        if (wait) {
            ending.thread->wait();
            delete ending.thread;
        }
    }

    void send(const QString &type, const QJsonObject &payload)
    {
        if (!connection)
            return;
        QByteArray bytes = SwitcherProtocol::encodeEnvelope(type, payload);
        if (bytes.isEmpty()) {
            qCWarning(lcLink).noquote() << "Could not encode a" << type << "message";
            return;
        }
        QMetaObject::invokeMethod(
            connection->worker,
            [worker = connection->worker, bytes = std::move(bytes)] { worker->write(bytes); },
            Qt::QueuedConnection);
    }

    // The payload is made and encoded on the connection's thread; the queue keeps the order
    // of everything sent before and after.
    void sendMadeLater(const QString &type, std::function<QJsonObject()> makePayload)
    {
        if (!connection)
            return;
        QMetaObject::invokeMethod(
            connection->worker,
            [worker = connection->worker, type, makePayload = std::move(makePayload)]() mutable {
                worker->writeMade([type, makePayload = std::move(makePayload)] {
                    QByteArray bytes = SwitcherProtocol::encodeEnvelope(type, makePayload());
                    if (bytes.isEmpty())
                        qCWarning(lcLink).noquote() << "Could not encode a" << type << "message";
                    return bytes;
                });
            },
            Qt::QueuedConnection);
    }

    SwitcherLink *q;
    LinkServer server;
    std::optional<Connection> connection;
    QList<QThread *> retiring;
    quint64 lastConnectionId = 0;
    qsizetype maximumLineBytes = SwitcherLink::maximumLineBytes;
    quint16 listeningPort = 0;
    QString writtenPortFile;
};

SwitcherLink::SwitcherLink(std::optional<quint16> configuredPort, QString portFileDirectory, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>(this)),
      m_configuredPort(configuredPort == quint16(0) ? std::nullopt : configuredPort),
      m_portFileDirectory(std::move(portFileDirectory))
{
}

SwitcherLink::~SwitcherLink()
{
    // Handlers must not run during teardown.
    onState = nullptr;
    stop();
}

void SwitcherLink::setMaximumLineBytes(qsizetype bytes)
{
    d->maximumLineBytes = bytes;
}

QString SwitcherLink::portFilePath() const
{
    const QString dir = m_portFileDirectory.isEmpty() ? AppPaths::dataDirectory() : m_portFileDirectory;
    return QDir(dir).filePath(QString::fromLatin1(PortFile::fileName));
}

void SwitcherLink::start()
{
    if (std::holds_alternative<Listening>(m_state) || std::holds_alternative<Peer>(m_state))
        return;

    QString failure;
    if (m_configuredPort) {
        const quint16 port = *m_configuredPort;
        if (!d->server.listen(QHostAddress::LocalHost, port)) {
            if (d->server.serverError() == QAbstractSocket::AddressInUseError) {
                //: The link to the companion could not start. The placeholder is a port number.
                failure = Tr::tr("Port %1 is in use by another app.").arg(port);
            } else {
                //: The link to the companion could not start. %1 is a port number, %2 the system's reason.
                failure = Tr::tr("Could not listen on port %1: %2").arg(port).arg(d->server.errorString());
            }
        }
    } else {
        bool otherError = false;
        QString lastError;
        for (quint16 port = firstPort; port <= lastPort; ++port) {
            if (d->server.listen(QHostAddress::LocalHost, port))
                break;
            if (d->server.serverError() != QAbstractSocket::AddressInUseError) {
                otherError = true;
                lastError = d->server.errorString();
            }
        }
        if (!d->server.isListening()) {
            if (otherError) {
                //: The link to the companion could not start. %1 and %2 are port numbers, %3 the system's
                //: reason.
                failure = Tr::tr("Could not listen on ports %1 to %2: %3")
                              .arg(firstPort)
                              .arg(lastPort)
                              .arg(lastError);
            } else {
                //: The link to the companion could not start. The placeholders are port numbers.
                failure = Tr::tr("No free port between %1 and %2 — another app is using them.")
                              .arg(firstPort)
                              .arg(lastPort);
            }
        }
    }

    if (!failure.isEmpty()) {
        qCWarning(lcLink).noquote() << "Listener failed:" << failure;
        setState(Failed{failure});
        return;
    }

    d->listeningPort = d->server.serverPort();
    qCInfo(lcLink) << "Listening on 127.0.0.1 port" << d->listeningPort;

    const QString dir = m_portFileDirectory.isEmpty() ? AppPaths::ensureDataDirectory() : m_portFileDirectory;
    QString error;
    if (dir.isEmpty()) {
        qCWarning(lcLink) << "No data folder for the port file; the companion must be told the port";
    } else if (const QString path = QDir(dir).filePath(QString::fromLatin1(PortFile::fileName));
               !PortFile::write(path, d->listeningPort, &error)) {
        qCWarning(lcLink).noquote() << "Could not write the port file" << path << ":" << error;
    } else {
        d->writtenPortFile = path;
    }
    setState(Listening{d->listeningPort});
}

void SwitcherLink::stop()
{
    if (d->connection)
        d->retire(true);
    if (d->server.isListening()) {
        d->server.close();
        qCInfo(lcLink) << "Stopped listening";
    }
    if (!d->writtenPortFile.isEmpty()) {
        PortFile::remove(d->writtenPortFile, d->listeningPort);
        d->writtenPortFile.clear();
    }
    setState(Idle{});
}

void SwitcherLink::setState(State state)
{
    if (state == m_state)
        return;
    m_state = std::move(state);
    if (onState)
        onState(m_state);
}

void SwitcherLink::send(const QString &type, const QJsonObject &payload)
{
    if (!isPeer())
        return;
    d->send(type, payload);
}

void SwitcherLink::sendLearnedRatesRequest(const SwitcherProtocol::LearnedRatesRequest &payload)
{
    send(QStringLiteral("learnedRatesRequest"), payload.toJson());
}

void SwitcherLink::sendPinLearnedRate(const SwitcherProtocol::PinLearnedRate &payload)
{
    send(QStringLiteral("pinLearnedRate"), payload.toJson());
}

void SwitcherLink::sendUnpinLearnedRate(const SwitcherProtocol::RowRef &payload)
{
    send(QStringLiteral("unpinLearnedRate"), payload.toJson());
}

void SwitcherLink::sendForgetLearnedRate(const SwitcherProtocol::RowRef &payload)
{
    send(QStringLiteral("forgetLearnedRate"), payload.toJson());
}

void SwitcherLink::sendForgetRates()
{
    send(QStringLiteral("forgetRates"), {});
}

void SwitcherLink::sendResetStore()
{
    send(QStringLiteral("resetStore"), {});
}

void SwitcherLink::sendRemoveAllPins()
{
    send(QStringLiteral("removeAllPins"), {});
}

void SwitcherLink::sendSetDeviceAtmos(const SwitcherProtocol::SetDeviceAtmos &payload)
{
    send(QStringLiteral("setDeviceAtmos"), payload.toJson());
}

void SwitcherLink::sendResetOutput(const SwitcherProtocol::ResetOutput &payload)
{
    send(QStringLiteral("resetOutput"), payload.toJson());
}

void SwitcherLink::sendRateLibraryImport(const SwitcherProtocol::RateLibraryChunk &payload)
{
    send(QStringLiteral("rateLibraryImport"), payload.toJson());
}

void SwitcherLink::sendRateLibraryImport(std::function<SwitcherProtocol::RateLibraryChunk()> makeChunk)
{
    if (!isPeer())
        return;
    d->sendMadeLater(QStringLiteral("rateLibraryImport"),
                     [makeChunk = std::move(makeChunk)] { return makeChunk().toJson(); });
}

void SwitcherLink::sendDismissRateLibraryNotice()
{
    send(QStringLiteral("dismissRateLibraryNotice"), {});
}

void SwitcherLink::sendLocalFiles(const SwitcherProtocol::LocalFilesBatch &payload)
{
    send(QStringLiteral("localFiles"), payload.toJson());
}

void SwitcherLink::sendRateLibraryExport(const SwitcherProtocol::RateLibraryExportRequest &payload)
{
    send(QStringLiteral("rateLibraryExport"), payload.toJson());
}
