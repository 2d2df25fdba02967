#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpSocket>

// An in-process companion for tests: connects to the switcher's port, records every envelope it
// receives and sends whatever lines a test gives it. Everything runs on the test's thread.
class LoopbackPeer final : public QObject {
    Q_OBJECT
public:
    struct Envelope {
        int v = 0;
        QString type;
        QJsonObject payload;
    };

    explicit LoopbackPeer(QObject *parent = nullptr);
    ~LoopbackPeer() override;

    // Connects and waits until the TCP connection is up (the switcher may not have taken it yet).
    bool connectTo(quint16 port, int timeoutMs = 5000);
    void disconnectFromHost();
    bool isConnected() const;
    // Waits until the switcher closes the connection; true when it did.
    bool waitForDisconnected(int timeoutMs = 5000);

    // Sends one envelope line; `v` other than 1 for version tests.
    void send(const QString &type, const QJsonObject &payload = {}, int v = 1);
    // Sends bytes exactly as given (add '\n' yourself).
    void sendRaw(const QByteArray &bytes);

    const QList<Envelope> &received() const { return m_received; }
    QList<Envelope> receivedOfType(const QString &type) const;
    QStringList receivedTypes() const;
    // Lines that were not JSON envelopes.
    const QList<QByteArray> &malformedLines() const { return m_malformed; }
    void clearReceived();

    // Waits until at least `count` envelopes (of `type`, when given) have arrived.
    bool waitForEnvelopes(int count, int timeoutMs = 5000);
    bool waitForType(const QString &type, int count = 1, int timeoutMs = 5000);

    QTcpSocket &socket() { return m_socket; }

private:
    void readAvailable();

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QList<Envelope> m_received;
    QList<QByteArray> m_malformed;
};
