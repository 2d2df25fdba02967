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

// A loopback port nobody listens on right now; other test binaries listen too, so never hard-code one.
inline quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

inline bool eventually(const std::function<bool()> &condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}
