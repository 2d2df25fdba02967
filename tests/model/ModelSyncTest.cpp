// The model's mirrors: the subscription it makes once per pairing, the device poll and the
// settings it hands to the engine.

#include "HistoryFixtures.h"
#include "ModelTestSupport.h"

#include <QSignalSpy>

TEST(ModelSync, SubscribesOncePerPairingAndAgainAfterReconnect)
{
    Paired c;
    c.flush();
    EXPECT_TRUE(c.peer.receivedOfType(u"learnedRatesRequest"_s).isEmpty()); // the window is closed

    c.h.model->learnedRatesWindowOpen = true;
    c.h.model->sync();
    c.h.model->sync();
    c.h.clock->advance(10 * SwitcherModel::devicePollMs);
    c.flush();
    EXPECT_EQ(c.peer.receivedOfType(u"learnedRatesRequest"_s).size(), 1);

    c.peer.disconnectFromHost();
    ASSERT_TRUE(eventually([&] { return !c.h.switcher().link().isPeer(); }));
    LoopbackPeer again;
    ASSERT_TRUE(pair(c.h, again));
    ASSERT_TRUE(again.waitForType(u"learnedRatesRequest"_s));
    EXPECT_TRUE(
        again.receivedOfType(u"learnedRatesRequest"_s).first().payload.value("subscribe"_L1).toBool());
}

TEST(ModelSync, EveryLearnedRatesMessageAnnouncesEvenAnIdenticalOne)
{
    Paired c;
    QSignalSpy changed(c.h.model.get(), &SwitcherModel::changed);
    const QJsonObject rates = SwitcherProtocol::LearnedRates{}.toJson();
    c.peer.send(u"learnedRates"_s, rates);
    c.peer.send(u"learnedRates"_s, rates);
    EXPECT_TRUE(eventually([&] { return changed.size() == 2; })) << changed.size();
}

// The fade switch's permission tip needs the tap on, the tap failing and Music.app running.
TEST(ModelSync, DevicePollAnnouncesOnlyChangesAndDrivesThePermissionTip)
{
    ModelHarness h;
    h.platform.musicApp.tapSupported = false;
    h.model->setAudioTap(true);
    QSignalSpy changed(h.model.get(), &SwitcherModel::changed);
    h.platform.outputDevices.device = FakePlatform::device(u"dac"_s, {44100, 48000});
    h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, u"auto"_s};
    h.clock->advance(SwitcherModel::devicePollMs);
    EXPECT_FALSE(h.model->fadeSwitchPermissionTip()); // Music.app isn't running
    h.platform.musicApp.running = true;
    h.clock->advance(SwitcherModel::devicePollMs);
    EXPECT_EQ(h.model->device(), h.platform.outputDevices.device);
    EXPECT_EQ(h.model->musicQuality(), h.platform.musicApp.quality);
    EXPECT_TRUE(h.model->fadeSwitchPermissionTip());
    EXPECT_EQ(changed.size(), 2); // one announcement a poll, and only for a change
    h.clock->advance(SwitcherModel::devicePollMs);
    EXPECT_EQ(changed.size(), 2);
    h.model->setAudioTap(false);
    EXPECT_FALSE(h.model->fadeSwitchPermissionTip());
}

TEST(ModelSync, HandOverDelayBindingRoundsToFiftyHalvesAwayFromZero)
{
    ModelHarness h;
    HistoryFixtures::appendStarts(h.switcher().history(), {900, 700, 1100, 800, 1000});
    EXPECT_EQ(h.model->handOverDelayBindingValue(), 500)
        << "automatic: a 1200 ms relock less the fastest load";
    const std::pair<int, int> cases[] = {{1234, 1250}, {1225, 1250}, {1224, 1200}, {0, 0}, {24, 0}, {25, 50}};
    for (const auto &[written, stored] : cases) {
        SCOPED_TRACE(written);
        h.model->setHandOverDelayBindingValue(written);
        EXPECT_EQ(h.switcher().handOverDelayMs(), stored);
        EXPECT_EQ(h.model->handOverDelayBindingValue(), stored);
    }
}

// When the count reaches 0 is the window scenes' test; a close too many never takes it below 0.
TEST(ModelSync, OpenWindowCountNeverFallsBelowZero)
{
    ModelHarness h;
    h.model->windowDisappeared();
    h.model->windowAppeared();
    EXPECT_EQ(h.model->openWindowCount(), 1);
}
