#pragma once

// Helpers every test folder shares: whole files written and read, a free port, a bounded wait.

#include <QByteArray>
#include <QFile>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTest>

#include <functional>

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A loopback port nobody listens on right now; other test binaries listen too, so never hard-code
// one. Someone may take it before it is used: a listener starts on it with startOnAFreePort.
inline quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Starts a listener on a free port and gives the port, or 0 when none could be had: `start`
// tries one and says whether it listens there. A port found free may be taken by a test binary
// running beside this one before the listener gets it; then `start` tries another.
inline quint16 startOnAFreePort(const std::function<bool(quint16 port)> &start)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (const quint16 port = freePort(); port != 0 && start(port))
            return port;
    }
    return 0;
}

inline bool eventually(const std::function<bool()> &condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}
