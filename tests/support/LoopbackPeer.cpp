#include "LoopbackPeer.h"

#include <QJsonDocument>
#include <QTest>

LoopbackPeer::LoopbackPeer(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &LoopbackPeer::readAvailable);
}

LoopbackPeer::~LoopbackPeer()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

bool LoopbackPeer::connectTo(quint16 port, int timeoutMs)
{
    m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    return QTest::qWaitFor(
               [this] {
                   return m_socket.state() == QAbstractSocket::ConnectedState ||
                          m_socket.state() == QAbstractSocket::UnconnectedState;
               },
               timeoutMs) &&
           m_socket.state() == QAbstractSocket::ConnectedState;
}

void LoopbackPeer::disconnectFromHost()
{
    m_socket.disconnectFromHost();
}

bool LoopbackPeer::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

bool LoopbackPeer::waitForDisconnected(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::UnconnectedState; },
                           timeoutMs);
}

void LoopbackPeer::send(const QString &type, const QJsonObject &payload, int v)
{
    const QJsonObject envelope{
        {QStringLiteral("v"), v}, {QStringLiteral("type"), type}, {QStringLiteral("payload"), payload}};
    sendRaw(QJsonDocument(envelope).toJson(QJsonDocument::Compact) + '\n');
}

void LoopbackPeer::sendRaw(const QByteArray &bytes)
{
    m_socket.write(bytes);
}

QList<LoopbackPeer::Envelope> LoopbackPeer::receivedOfType(const QString &type) const
{
    QList<Envelope> out;
    for (const Envelope &e : m_received) {
        if (e.type == type)
            out.append(e);
    }
    return out;
}

QStringList LoopbackPeer::receivedTypes() const
{
    QStringList out;
    for (const Envelope &e : m_received)
        out.append(e.type);
    return out;
}

void LoopbackPeer::clearReceived()
{
    m_received.clear();
    m_malformed.clear();
}

bool LoopbackPeer::waitForEnvelopes(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_received.size() >= count; }, timeoutMs);
}

bool LoopbackPeer::waitForType(const QString &type, int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return receivedOfType(type).size() >= count; }, timeoutMs);
}

void LoopbackPeer::readAvailable()
{
    m_buffer += m_socket.readAll();
    qsizetype newline;
    while ((newline = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(newline);
        m_buffer.remove(0, newline + 1);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        const QJsonObject object = doc.object();
        if (error.error != QJsonParseError::NoError || !doc.isObject() ||
            !object.value(QStringLiteral("type")).isString() ||
            !object.value(QStringLiteral("payload")).isObject()) {
            m_malformed.append(line);
            continue;
        }
        m_received.append({object.value(QStringLiteral("v")).toInt(),
                           object.value(QStringLiteral("type")).toString(),
                           object.value(QStringLiteral("payload")).toObject()});
    }
}
