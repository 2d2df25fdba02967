#pragma once

#include "SwitcherLink.h"
#include "TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

// Waits on the event loop for a condition, within a bound.
#define EXPECT_EVENTUALLY(cond) EXPECT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << #cond
#define ASSERT_EVENTUALLY(cond) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(cond); }, 5000)) << #cond

inline std::optional<quint16> listeningPort(const SwitcherLink &link)
{
    if (const auto *listening = std::get_if<SwitcherLink::Listening>(&link.state()))
        return listening->port;
    return std::nullopt;
}
