#pragma once

#include "CompanionAnswers.h"
#include "LoopbackPeer.h"
#include "ModelHarness.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A model with a companion already paired.
struct Paired {
    ModelHarness h;
    LoopbackPeer peer;
    Paired() { EXPECT_TRUE(pair(h, peer)); }

    // The link keeps order: once this marker has arrived, so has everything sent before it.
    void flush()
    {
        const auto before = peer.receivedOfType(u"forgetRates"_s).size();
        h.switcher().forgetRates();
        EXPECT_TRUE(peer.waitForType(u"forgetRates"_s, int(before) + 1));
    }
};

// Incoming lines are handled in order: once this marker has landed, so has every earlier one.
inline void incomingHandled(ModelHarness &h, LoopbackPeer &peer)
{
    SwitcherProtocol::LearnedRates marker;
    marker.notice = QUuid::createUuid().toString();
    peer.send(u"learnedRates"_s, marker.toJson());
    EXPECT_TRUE(eventually(
        [&] { return h.model->learnedRates() && h.model->learnedRates()->notice == marker.notice; }));
}
