#pragma once

#include "SwitcherLink.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

// Waits on the event loop for a condition, within a bound.
#define EXPECT_EVENTUALLY(cond) EXPECT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << #cond
#define ASSERT_EVENTUALLY(cond) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << #cond

// A port nobody listens on right now; other test binaries listen too, so never hard-code one.
inline quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

inline std::optional<quint16> listeningPort(const SwitcherLink &link)
{
    if (const auto *listening = std::get_if<SwitcherLink::Listening>(&link.state()))
        return listening->port;
    return std::nullopt;
}
