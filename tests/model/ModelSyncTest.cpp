// The model's mirrors: the subscription it makes once per pairing, the history copy, the device
// poll and the settings it hands to the engine.

#include "ModelTestSupport.h"

#include <QSignalSpy>

namespace {

// Everything sent before `forgetRates` has arrived once the marker has.
void flush(ModelHarness &h, LoopbackPeer &peer)
{
    const int before = int(peer.receivedOfType(QStringLiteral("forgetRates")).size());
    h.switcher().forgetRates();
    ASSERT_TRUE(peer.waitForType(QStringLiteral("forgetRates"), before + 1));
}

qsizetype subscriptions(const LoopbackPeer &peer, bool subscribe = true)
{
    qsizetype count = 0;
    for (const auto &envelope : peer.receivedOfType(QStringLiteral("learnedRatesRequest")))
        count += envelope.payload.value(QLatin1String("subscribe")).toBool() == subscribe;
    return count;
}

PlaybackHistory::Entry play(const QString &title)
{
    PlaybackHistory::Entry entry;
    entry.at = QDateTime::currentDateTimeUtc();
    entry.title = title;
    entry.artist = QStringLiteral("Artist");
    return entry;
}

} // namespace

TEST(ModelSync, SubscribesOncePerPairingAndAgainAfterReconnect)
{
    ModelHarness h;
    h.model->learnedRatesWindowOpen = true;
    EXPECT_FALSE(h.model->subscribedThisPairing);

    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    ASSERT_TRUE(peer.waitForType(QStringLiteral("learnedRatesRequest")));
    EXPECT_TRUE(h.model->subscribedThisPairing);

    // Further syncs and polls in the same pairing send nothing more.
    h.model->sync();
    h.clock->advance(10 * SwitcherModel::devicePollMs);
    flush(h, peer);
    EXPECT_EQ(subscriptions(peer), 1);

    peer.disconnectFromHost();
    ASSERT_TRUE(eventually([&] { return !h.switcher().link().isPeer(); }));
    EXPECT_FALSE(h.model->subscribedThisPairing);

    LoopbackPeer again;
    ASSERT_TRUE(pair(h, again));
    ASSERT_TRUE(again.waitForType(QStringLiteral("learnedRatesRequest")));
    EXPECT_TRUE(again.receivedOfType(QStringLiteral("learnedRatesRequest"))
                    .first()
                    .payload.value(QLatin1String("subscribe"))
                    .toBool());
    EXPECT_TRUE(h.model->subscribedThisPairing);
}

TEST(ModelSync, NoSubscriptionWhileTheWindowIsClosed)
{
    ModelHarness h;
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    flush(h, peer);
    EXPECT_EQ(subscriptions(peer), 0);
    EXPECT_FALSE(h.model->subscribedThisPairing);
    EXPECT_TRUE(std::holds_alternative<SwitcherLink::Peer>(h.model->linkState()));
}

TEST(ModelSync, LearnedRatesReplaceTheCopyAndAnnounceEachMessage)
{
    ModelHarness h;
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    QSignalSpy changed(h.model.get(), &SwitcherModel::changed);

    SwitcherProtocol::LearnedRates rates;
    rates.notice = QStringLiteral("Hello");
    peer.send(QStringLiteral("learnedRates"), rates.toJson());
    ASSERT_TRUE(eventually([&] { return h.model->learnedRates().has_value(); }));
    EXPECT_EQ(h.model->learnedRates()->notice, QStringLiteral("Hello"));
    const qsizetype afterFirst = changed.size();
    EXPECT_GE(afterFirst, 1);

    // The same library again still redraws (the window may have cleared its copy meanwhile).
    peer.send(QStringLiteral("learnedRates"), rates.toJson());
    ASSERT_TRUE(eventually([&] { return changed.size() > afterFirst; }));
}

TEST(ModelSync, HistoryIsCopiedWhenTheStoreChanges)
{
    ModelHarness h;
    QSignalSpy changed(h.model.get(), &SwitcherModel::changed);
    EXPECT_TRUE(h.model->history().isEmpty());

    h.switcher().history().append(play(QStringLiteral("One")));
    ASSERT_EQ(h.model->history().size(), 1);
    EXPECT_EQ(h.model->history().first().title, QStringLiteral("One"));
    EXPECT_EQ(changed.size(), 1);

    h.switcher().history().append(play(QStringLiteral("Two")));
    EXPECT_EQ(h.model->history().last().title, QStringLiteral("Two")); // oldest first
    EXPECT_EQ(changed.size(), 2);

    // A sync that finds the same entries announces nothing.
    h.model->sync();
    EXPECT_EQ(changed.size(), 2);

    h.switcher().history().clear();
    EXPECT_TRUE(h.model->history().isEmpty());
    EXPECT_EQ(changed.size(), 3);
}

TEST(ModelSync, DevicePollRunsEveryTwoSeconds)
{
    ModelHarness h;
    QSignalSpy changed(h.model.get(), &SwitcherModel::changed);
    const int readsAtStart = h.platform.outputDevices.reads;
    EXPECT_EQ(h.clock->dueIn(QStringLiteral("devicePoll")), 2000);

    h.platform.outputDevices.device = FakePlatform::device(QStringLiteral("dac"), {44100, 48000});
    h.platform.musicApp.running = true;
    h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, QStringLiteral("auto")};
    h.clock->advance(1999);
    EXPECT_EQ(h.platform.outputDevices.reads, readsAtStart);
    EXPECT_FALSE(h.model->device());

    h.clock->advance(1);
    EXPECT_EQ(h.platform.outputDevices.reads, readsAtStart + 1);
    ASSERT_TRUE(h.model->device());
    EXPECT_EQ(h.model->device()->uid, QStringLiteral("dac"));
    EXPECT_TRUE(h.model->musicRunning());
    ASSERT_TRUE(h.model->musicQuality());
    EXPECT_TRUE(h.model->musicQuality()->lossless);
    EXPECT_EQ(changed.size(), 1); // one announcement for the whole poll

    // Nothing new: the next poll announces nothing.
    h.clock->advance(2000);
    EXPECT_EQ(h.platform.outputDevices.reads, readsAtStart + 2);
    EXPECT_EQ(changed.size(), 1);

    h.platform.outputDevices.device.reset();
    h.platform.musicApp.running = false;
    h.platform.musicApp.quality.reset();
    h.clock->advance(2000);
    EXPECT_FALSE(h.model->device());
    EXPECT_FALSE(h.model->musicRunning());
    EXPECT_FALSE(h.model->musicQuality());
}

TEST(ModelSync, SettingsGoToTheEngineOnlyWhenTheyDiffer)
{
    ModelHarness h;
    QSignalSpy changed(h.model.get(), &SwitcherModel::changed);

    h.model->setBoundaryMode(QStringLiteral("pause"));
    EXPECT_EQ(h.switcher().boundaryMode(), RateSwitcher::BoundaryMode::pause);
    EXPECT_EQ(h.model->boundaryMode(), QStringLiteral("pause"));
    h.model->setBoundaryMode(QStringLiteral("pause"));
    EXPECT_EQ(changed.size(), 1);

    h.model->setLeadMs(1500);
    EXPECT_EQ(h.switcher().relockLeadMsOverride(), 1500);
    h.model->setLeadMs(100); // below the Relock Time's range
    EXPECT_EQ(h.model->leadMs(), SwitcherModel::leadMsMinimum);
    EXPECT_EQ(h.switcher().relockLeadMsOverride(), SwitcherModel::leadMsMinimum);

    h.model->setQuietWindowSec(3.0);
    h.model->setQuietThresholdDb(-60);
    h.model->setQuietHoldSec(0.8);
    h.model->setPausePointSec(0.2);
    h.model->setFadeExtendPause(!h.model->fadeExtendPause());
    h.model->setAudioTap(false);
    EXPECT_EQ(h.switcher().quietWindowSec(), 3.0);
    EXPECT_EQ(h.switcher().quietThresholdDb(), -60);
    EXPECT_EQ(h.switcher().quietHoldSec(), 0.8);
    EXPECT_EQ(h.switcher().pausePointSec(), 0.2);
    EXPECT_EQ(h.switcher().fadeExtendPause(), h.model->fadeExtendPause());
    EXPECT_FALSE(h.switcher().audioTapEnabled());

    // A new model reads what the engine stored.
    h.settings->sync();
    ModelHarness reread([&](QSettings &settings, const QString &) {
        for (const QString &key : h.settings->allKeys())
            if (key != QLatin1String("switcher.port"))
                settings.setValue(key, h.settings->value(key));
    });
    EXPECT_EQ(reread.model->boundaryMode(), QStringLiteral("pause"));
    EXPECT_EQ(reread.model->leadMs(), SwitcherModel::leadMsMinimum);
    EXPECT_EQ(reread.model->quietWindowSec(), 3.0);
    EXPECT_FALSE(reread.model->audioTap());
}

TEST(ModelSync, HandOverDelayBindingRoundsToFifty)
{
    ModelHarness h;
    EXPECT_FALSE(h.model->handOverDelayMs());
    // Automatic: the engine's figure (0 until five plays have a load time).
    EXPECT_EQ(h.model->handOverDelayBindingValue(), h.switcher().relockLeadMs());

    const std::pair<int, int> cases[] = {{1234, 1250}, {1225, 1250}, {1224, 1200}, {1275, 1300},
                                         {0, 0},       {24, 0},      {25, 50}};
    for (const auto &[written, stored] : cases) {
        h.model->setHandOverDelayBindingValue(written);
        EXPECT_EQ(h.model->handOverDelayMs(), stored) << written;
        EXPECT_EQ(h.switcher().handOverDelayMs(), stored) << written;
        EXPECT_EQ(h.model->handOverDelayBindingValue(), stored) << written;
    }

    h.model->setHandOverDelayMs(std::nullopt);
    EXPECT_FALSE(h.switcher().handOverDelayMs());
}

TEST(ModelSync, FadeSwitchPermissionTipNeedsTapOnFailedAndMusicRunning)
{
    ModelHarness h;
    h.platform.musicApp.tapSupported = false;
    h.model->setAudioTap(true);
    h.clock->advance(SwitcherModel::devicePollMs);
    EXPECT_FALSE(h.model->fadeSwitchPermissionTip()); // Music.app isn't running

    h.platform.musicApp.running = true;
    h.clock->advance(SwitcherModel::devicePollMs);
    ASSERT_TRUE(h.model->fadeSwitchPermissionTip());
    EXPECT_TRUE(
        h.model->fadeSwitchPermissionTip()->startsWith(QStringLiteral("Switching inside a fade-out needs")));

    h.model->setAudioTap(false);
    EXPECT_FALSE(h.model->fadeSwitchPermissionTip());
}

TEST(ModelSync, OpenWindowCountNeverFallsBelowZero)
{
    ModelHarness h;
    EXPECT_EQ(h.model->openWindowCount(), 0);
    h.model->windowAppeared();
    h.model->windowAppeared();
    h.model->windowDisappeared();
    EXPECT_EQ(h.model->openWindowCount(), 1);
    EXPECT_EQ(h.platform.workspace.accessoryPolicyCalls, 0);
    h.model->windowDisappeared();
    EXPECT_EQ(h.model->openWindowCount(), 0);
    EXPECT_EQ(h.platform.workspace.accessoryPolicyCalls, 1);
    h.model->windowDisappeared();
    EXPECT_EQ(h.model->openWindowCount(), 0);
    h.model->windowAppeared();
    EXPECT_EQ(h.model->openWindowCount(), 1);
}
