#pragma once

#include "LoopbackPeer.h"
#include "ModelHarness.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

// Waits, boundedly, for a condition that the event loop brings about.
inline bool eventually(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

// Connects a test companion and waits until the model has seen the pairing.
inline bool pair(ModelHarness &h, LoopbackPeer &peer)
{
    if (!peer.connectTo(h.port))
        return false;
    return eventually([&] { return std::holds_alternative<SwitcherLink::Peer>(h.model->linkState()); });
}

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

// The bytes of every "rateLibraryImport" piece received so far, joined, and their mode.
inline QByteArray importedBytes(const LoopbackPeer &peer, QString *mode = nullptr)
{
    QByteArray bytes;
    for (const auto &envelope : peer.receivedOfType(QStringLiteral("rateLibraryImport"))) {
        bytes += QByteArray::fromBase64(envelope.payload.value(QLatin1String("data")).toString().toLatin1());
        if (mode)
            *mode = envelope.payload.value(QLatin1String("mode")).toString();
    }
    return bytes;
}

inline SwitcherProtocol::RateLibraryImported importAnswer(const QString &mode, bool ok = true)
{
    SwitcherProtocol::RateLibraryImported answer;
    answer.mode = mode;
    answer.ok = ok;
    answer.newCount = 40;
    answer.updated = 12;
    answer.known = 260;
    return answer;
}
